#include "si/atom.h"

#include <atomic>
#include <cstring>
#include <string>

#include "si/error.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/globallock.h"
#include "si/string.h"
#include "si/values.h"

namespace {

const char kFile[] = "si/atom";

// Atoms made and not destroyed: none once Kill freed the table's, unless
// one was left outside the table.
std::atomic<unsigned> live_atoms{0};

} // namespace

ZU_IMPLEMENT_CLASS_CORE(ZuAtom, kFile, ZU_CLASS_SPECIAL)

ZuMemZone* ZuAtom::zone = nullptr;
ZuAtom* ZuAtom::table[ZuAtom::TABLE_SIZE] = {};

// ---------------------------------------------------------------------------
// The atom object
// ---------------------------------------------------------------------------

ZuAtom::ZuAtom() : next(nullptr), text(nullptr), length(0)
{
    ZU_ASSERT(ZuAtom::zone);
    self = this;
    mem_zone = ZuAtom::zone;
    ++live_atoms;
}

ZuAtom::~ZuAtom()
{
    --live_atoms;
}

unsigned ZuAtom::Hash(const char* text, unsigned num)
{
    if (!text)
        return 0;
    ZU_ASSERT(num);
    unsigned sum = 0;
    for (unsigned i = 1; text[i - 1]; ++i) {
        int c = static_cast<signed char>(text[i - 1]);
        sum += unsigned(c) ^ (13u * i);
    }
    return sum % num;
}

unsigned ZuAtom::CharacterCount()
{
    return length;
}

ZuStringRef ZuAtom::RetString()
{
    ZU_ASSERT(this->text != 0);
    return ZuStringRef(text);
}

bool ZuAtom::SetString(const ZuStringRef&)
{
    Zuvi_ErrorAbort("ZuAtom::SetString cannot be used", __LINE__, kFile);
}

unsigned ZuAtom::ComputeHashValue(unsigned num) const
{
    ZU_ASSERT(num);
    return Hash(text, num);
}

bool ZuAtom::IsEqual(const ZuObjectRef& other) const
{
    const ZuObject* o = other.Resolve();
    if (!o)
        return false;
    if (o->ZuObject::IsKindOf(ZuAtomRef::RetRuntime()))
        return static_cast<const ZuAtom*>(o)->text == text;
    return ZuObject::IsEqual(other);
}

int ZuAtom::CompareWith(const ZuObjectRef& other) const
{
    const ZuObject* o = other.Resolve();
    if (!o)
        return 0;
    if (!o->ZuObject::IsKindOf(ZuAtomRef::RetRuntime()))
        return ZuObject::CompareWith(other);
    const char* text_a = text;
    const char* text_b = static_cast<const ZuAtom*>(o)->text;
    if (text_a == text_b)
        return 0;
    ZU_ASSERT(text_a);
    ZU_ASSERT(text_b);
    for (;; ++text_a, ++text_b) {
        signed char a = static_cast<signed char>(*text_a);
        signed char b = static_cast<signed char>(*text_b);
        if (a != b)
            return a < b ? -1 : 1;
        if (!a)
            return 0;
    }
}

void ZuAtom::SetName(const char* name)
{
    ZU_ASSERT(name && name[0]);
    size_t n = strlen(name);
    AllocText(unsigned(n + 1));
    memcpy(text, name, n + 1);
    char* t = text;
    text = nullptr;
    SetText(t);
}

void ZuAtom::SetName(const ZuStringRef& name)
{
    unsigned n = name->CharacterCount();
    AllocText(n + 2);
    name->GetStringCopy(text, n + 1);
    text[n + 1] = 0;
    char* t = text;
    text = nullptr;
    SetText(t);
}

void ZuAtom::SetName(const unsigned short* name)
{
    ZU_ASSERT(name && name[0]);
    std::string latin;
    for (; *name; ++name) {
        ZU_ASSERT(*name <= 0xFF);
        latin += char(*name);
    }
    SetName(latin.c_str());
}

void ZuAtom::AllocText(unsigned size)
{
    if (!ZuAtom::zone)
        ZuMemZone::NullAllocZone("ZuAtom::zone", __LINE__, kFile);
    text =
        static_cast<char*>(ZuAtom::zone->Alloc(size, "LatinChar[]", __LINE__, kFile, ZU_MEM_BIN));
}

void ZuAtom::SetText(char* t)
{
    ZU_ASSERT(this->text == 0);
    unsigned bucket = Hash(t, TABLE_SIZE);
    text = t;
    length = unsigned(strlen(t));
    next = table[bucket];
    table[bucket] = this;
}

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------

void ZuAtom::Initialise()
{
    ZU_ASSERT(ZuAtom::zone == 0);
    void* mem = Zuvi_app_zone->Alloc(sizeof(ZuMemZone), "ZuMemZone", __LINE__, kFile, ZU_MEM_BIN);
    ZuMemZone* z = ::new (mem) ZuMemZone();
    ZuAtom::zone = z;
    z->Initialise("AtomZone");
}

void ZuAtom::Kill()
{
    ZU_ASSERT(ZuAtom::zone);
    for (unsigned b = 0; b < TABLE_SIZE; ++b) {
        ZuAtom* atom = table[b];
        while (atom) {
            ZuAtom* following = atom->next;
            ZU_ASSERT_TEXT(atom->RetMemZone() == ZuAtom::zone,
                           "atom->RetMemZone () == ZuAtom::zone");
            // Every handle lets go of the atom; the atom is destroyed here,
            // not by a later deletion pass, so it is not queued.
            atom->DetachAllHandles(nullptr);
            atom->Delete();
            if (!ZuAtom::zone)
                ZuMemZone::NullFreeZone("ZuAtom::zone", __LINE__, kFile);
            ZuAtom::zone->Free(atom->text, __LINE__, kFile);
            atom->text = nullptr;
            atom->_Destroy();
            ZuAtom::zone->Free(atom, __LINE__, kFile);
            atom = following;
        }
        table[b] = nullptr;
    }
    // Every atom and its text are freed: the zone holds no object, so no
    // handle lies in it (an atom's own went with the atom) or leads into it
    // (the others were emptied above). The walk over every live handle that
    // destroying a zone makes would find nothing; with many objects alive
    // at shut-down it is most of this step, and it is left out.
    ZuMemZone* z = ZuAtom::zone;
    if (live_atoms != 0) {
        // An atom outside the table (one whose making failed half way):
        // the zone's handles are cut the usual way.
        z->~ZuMemZone();
    } else {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
        const ZuMemZone::ObjectHooks hooks = ZuMemZone::object_hooks;
        ZuMemZone::object_hooks.kill_ref_from = nullptr;
        ZuMemZone::object_hooks.kill_ref_to = nullptr;
        ZuMemZone::object_hooks.kill_refs_in_ranges = nullptr;
        z->~ZuMemZone();
        ZuMemZone::object_hooks = hooks;
    }
    ZuMemZone::FreeAnyZone(z, __LINE__, kFile);
    ZuAtom::zone = nullptr;
}

ZuAtom* ZuAtom::NewAtom()
{
    ZU_ASSERT(ZuAtom::zone);
    return static_cast<ZuAtom*>(
        ZuClassFactory::New(ZuAtomRef::RetRuntime(), ZuAtom::zone, __LINE__, kFile));
}

ZuAtom* ZuAtom::FindAtom(const char* text)
{
    if (!text || !text[0])
        return nullptr;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_ATOM);
    for (ZuAtom* atom = table[Hash(text, TABLE_SIZE)]; atom; atom = atom->next)
        if (strcmp(atom->text, text) == 0)
            return atom;
    return nullptr;
}

ZuAtom* ZuAtom::FromWide(const unsigned short* wide, bool create)
{
    if (!wide || !wide[0])
        return nullptr;
    std::string latin;
    for (; *wide; ++wide) {
        if (*wide > 0xFF)
            return nullptr;
        latin += char(*wide);
    }
    return create ? Intern(latin.c_str()) : FindAtom(latin.c_str());
}

ZuAtom* ZuAtom::FindAtom(const unsigned short* text)
{
    return FromWide(text, false);
}

namespace {

// The 8-bit text of a string that an atom can hold, or false: an empty
// handle, an empty text, or 255 characters or more (text from outside is
// refused, never a reason to stop).
bool AtomText(const ZuStringRef& string, char (&buffer)[256])
{
    ZuString* s = string.Resolve();
    if (!s)
        return false;
    unsigned len = s->CharacterCount();
    if (len == 0 || len + 1 >= 256)
        return false;
    s->GetStringCopy(buffer, sizeof buffer);
    return buffer[0] != 0;
}

} // namespace

ZuAtom* ZuAtom::FindAtom(const ZuStringRef& string)
{
    char buffer[256];
    return AtomText(string, buffer) ? FindAtom(buffer) : nullptr;
}

ZuAtom* ZuAtom::Intern(const char* text)
{
    if (!text || !text[0])
        return nullptr;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_ATOM);
    ZuAtom* atom = FindAtom(text);
    if (!atom) {
        atom = NewAtom();
        atom->SetName(text);
    }
    return atom;
}

// ---------------------------------------------------------------------------
// ZuAtomRef
// ---------------------------------------------------------------------------

namespace {

ZuAtom* AtomOfString(const ZuStringRef& string)
{
    char buffer[256];
    return AtomText(string, buffer) ? ZuAtom::Intern(buffer) : nullptr;
}

ZuAtom* AtomOfValue(const ZuValueRef& value)
{
    ZuValue* v = value.Resolve();
    ZuAtomRef out;
    if (!v || !v->ConvertToAtom(out, ZuStringNull))
        return nullptr;
    return out.RetRawObject();
}

ZuAtom* AtomOf(const ZuObjectRef& obj)
{
    ZuObject* o = obj.Resolve();
    if (!o)
        return nullptr;
    if (o->ZuObject::IsKindOf(ZuAtomRef::RetRuntime()))
        return static_cast<ZuAtom*>(o);
    if (o->ZuObject::IsKindOf(ZuStringRef::RetRuntime()))
        return AtomOfString(ZuStringRef(static_cast<ZuString*>(o)));
    if (o->ZuObject::IsKindOf(ZuTextRef::RetRuntime()))
        return AtomOfString(static_cast<ZuText*>(o)->RetString());
    if (o->ZuObject::IsKindOf(ZuValueRef::RetRuntime()))
        return AtomOfValue(ZuValueRef(static_cast<ZuValue*>(o)));
    return nullptr;
}

} // namespace

ZuAtomRef::ZuAtomRef(ZuAtom* atom) : ZuTextRef(static_cast<ZuText*>(atom)) {}

ZuAtomRef::ZuAtomRef(const char* text) : ZuTextRef(static_cast<ZuText*>(ZuAtom::Intern(text))) {}

ZuAtomRef::ZuAtomRef(const unsigned short* text)
    : ZuTextRef(static_cast<ZuText*>(ZuAtom::FromWide(text, true)))
{}

ZuAtomRef::ZuAtomRef(const ZuStringRef& text) : ZuTextRef(static_cast<ZuText*>(AtomOfString(text)))
{}

ZuAtomRef::ZuAtomRef(const ZuValueRef& value) : ZuTextRef(static_cast<ZuText*>(AtomOfValue(value)))
{}

ZuAtomRef::ZuAtomRef(const ZuObjectRef& obj) : ZuTextRef(static_cast<ZuText*>(AtomOf(obj))) {}

ZuAtomRef& ZuAtomRef::operator=(const ZuStringRef& text)
{
    _Set(AtomOfString(text), nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(const ZuValueRef& value)
{
    _Set(AtomOfValue(value), nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(ZuAtom* atom)
{
    _Set(atom, nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(const ZuAtomRef& other)
{
    _Set(other, nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(const char* text)
{
    _Set(ZuAtom::Intern(text), nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(const unsigned short* text)
{
    _Set(ZuAtom::FromWide(text, true), nullptr);
    return *this;
}

ZuAtomRef& ZuAtomRef::operator=(const ZuObjectRef& obj)
{
    _Set(AtomOf(obj), nullptr);
    return *this;
}

bool ZuAtomRef::operator==(const char* text) const
{
    const ZuAtom* atom = RetRawObject();
    const char* mine = atom && atom->text ? atom->text : "";
    return strcmp(mine, text ? text : "") == 0;
}

bool ZuAtomRef::operator==(const ZuStringRef& text) const
{
    ZuString* s = text.Resolve();
    const ZuAtom* atom = RetRawObject();
    const char* mine = atom && atom->text ? atom->text : "";
    if (!s)
        return mine[0] == 0;
    return s->CompareWith(mine, true) == 0;
}

bool ZuAtomRef::operator==(const unsigned short* text) const
{
    const ZuAtom* atom = RetRawObject();
    ZuStringRef mine(atom && atom->text ? atom->text : "");
    return mine->CompareWith(text, true) == 0;
}

ZuAtomRef Zuvi_ValueToZuAtom(const ZuValueRef& value)
{
    return ZuAtomRef(value);
}

ZuAtomRef::operator const char*() const
{
    const ZuAtom* atom = RetRawObject();
    return atom && atom->text ? atom->text : "";
}
