#include "si/atompath.h"

#include <string>

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS_CORE(ZuAtomPath, "si/atompath", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuAtomPath, ZuiContainer)

namespace {

const char* const src_file = "si/atompath";

// The 8-bit text of a string; false when a character has no 8-bit form or
// the text is far longer than any path.
bool Latin(const ZuStringRef& text, std::string& out)
{
    unsigned n = text->CharacterCount();
    if (n > ZU_ATOM_PATH_LEN * 100)
        return false;
    out.clear();
    out.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        unsigned short c = text->RetCharacter(i);
        if (c > 0xFF || c == 0)
            return false;
        out += static_cast<char>(c);
    }
    return true;
}

// Segments of dotted text: a non-empty text of k dots has k + 1 segments,
// an empty segment standing for a null atom. Answers false for text that
// cannot be a path: a segment of 100 characters or more, or more than
// ZU_ATOM_PATH_LEN segments.
bool SplitDotted(const std::string& text, std::string (&segments)[ZU_ATOM_PATH_LEN],
                 unsigned int& count)
{
    count = 0;
    if (text.empty())
        return true;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type dot = text.find('.', start);
        std::string::size_type end = dot == std::string::npos ? text.size() : dot;
        if (end - start >= 100 || count >= ZU_ATOM_PATH_LEN)
            return false;
        segments[count++] = text.substr(start, end - start);
        if (dot == std::string::npos)
            return true;
        start = dot + 1;
    }
}

bool IsWild(const ZuAtom* atom, char c)
{
    const char* text = atom != nullptr ? atom->RetText() : nullptr;
    return text != nullptr && text[0] == c && text[1] == '\0';
}

} // namespace

ZuAtomPath::ZuAtomPath() : num(0)
{
    for (auto& a : atoms)
        a = nullptr;
}

ZuAtomPath::~ZuAtomPath() {}

// ---------------------------------------------------------------- text

ZuStringRef ZuAtomPath::RetString()
{
    std::string text;
    for (unsigned int i = 0; i < num; ++i) {
        if (i != 0)
            text += '.';
        if (atoms[i] != nullptr)
            text += atoms[i]->RetText();
    }
    return ZuStringRef(text.c_str());
}

unsigned ZuAtomPath::CharacterCount()
{
    if (num == 0)
        return 0;
    unsigned int count = num - 1;
    for (unsigned int i = 0; i < num; ++i)
        if (atoms[i] != nullptr)
            count += atoms[i]->CharacterCount();
    return count;
}

bool ZuAtomPath::SetString(const ZuStringRef& text)
{
    Clear();
    if (text.IsInvalid())
        return true;
    std::string latin;
    std::string segments[ZU_ATOM_PATH_LEN];
    unsigned int count = 0;
    if (!Latin(text, latin) || !SplitDotted(latin, segments, count))
        return false;
    for (unsigned int i = 0; i < count; ++i)
        atoms[i] = segments[i].empty() ? nullptr : ZuAtom::Intern(segments[i].c_str());
    num = count;
    return true;
}

// ---------------------------------------------------------------- atoms

void ZuAtomPath::Clear()
{
    for (auto& a : atoms)
        a = nullptr;
    num = 0;
}

bool ZuAtomPath::AddAtom(const ZuAtomRef& atom)
{
    if (num >= ZU_ATOM_PATH_LEN)
        return false;
    atoms[num++] = atom.Resolve();
    return true;
}

bool ZuAtomPath::SetAtom(unsigned int index, const ZuAtomRef& atom)
{
    if (index >= num)
        return false;
    atoms[index] = atom.Resolve();
    return true;
}

bool ZuAtomPath::GetAtom(unsigned int index, ZuAtomRef& atom)
{
    if (index >= num)
        return false;
    atom = atoms[index];
    return true;
}

ZuAtomRef ZuAtomPath::RetAtom(unsigned int index)
{
    if (index >= num)
        return ZuAtomNull;
    return ZuAtomRef(atoms[index]);
}

ZuAtomArray ZuAtomPath::RetArray()
{
    ZuAtomArray array(ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, src_file)));
    array->SetSize(num);
    for (unsigned int i = 0; i < num; ++i)
        array[i] = static_cast<ZuObject*>(atoms[i]);
    return array;
}

bool ZuAtomPath::ExtractAtomPath(unsigned int start, unsigned int count, ZuAtomPathRef& out)
{
    if (start >= num)
        return false;
    ZuAtomPathRef path(NewPath(""));
    unsigned int end = count > num - start ? num : start + count;
    for (unsigned int i = start; i < end; ++i)
        path->AddAtom(ZuAtomRef(atoms[i]));
    out = path;
    return true;
}

bool ZuAtomPath::TrimHead(unsigned int count, ZuAtomPathRef& out)
{
    unsigned int k = count < num ? count : num;
    return ExtractAtomPath(k, num - k, out);
}

bool ZuAtomPath::TrimTail(unsigned int count, ZuAtomPathRef& out)
{
    unsigned int k = count < num ? count : num;
    return ExtractAtomPath(0, num - k, out);
}

// ----------------------------------------------------------- comparison

bool ZuAtomPath::Matches(const ZuAtomPath& other) const
{
    // match[i][j]: atoms i.. of this path match atoms j.. of the other. Kept
    // as a table so that paths full of wildcards cost n*m steps, not 3^n.
    const unsigned int na = num;
    const unsigned int nb = other.num;
    bool match[ZU_ATOM_PATH_LEN + 1][ZU_ATOM_PATH_LEN + 1];
    for (unsigned int i = na + 1; i-- > 0;) {
        for (unsigned int j = nb + 1; j-- > 0;) {
            if (i == na || j == nb) {
                match[i][j] = i == na && j == nb;
                continue;
            }
            const ZuAtom* a = atoms[i];
            const ZuAtom* b = other.atoms[j];
            bool m;
            if (IsWild(a, '*'))
                m = match[i + 1][j] || match[i][j + 1] || match[i + 1][j + 1];
            else if (IsWild(a, '?'))
                m = match[i + 1][j + 1] || (IsWild(b, '*') && match[i + 1][j]);
            else if (IsWild(b, '*'))
                m = match[i][j + 1] || match[i + 1][j] || match[i + 1][j + 1];
            else if (IsWild(b, '?'))
                m = match[i + 1][j + 1];
            else
                m = a == b && match[i + 1][j + 1];
            match[i][j] = m;
        }
    }
    return match[0][0];
}

int ZuAtomPath::Compare(const ZuAtomPath& other) const
{
    if (Matches(other))
        return 0;
    unsigned int n = num < other.num ? num : other.num;
    for (unsigned int i = 0; i < n; ++i) {
        ZuAtom* a = atoms[i];
        ZuAtom* b = other.atoms[i];
        if (a == b)
            continue;
        if (a == nullptr)
            return -1;
        if (b == nullptr)
            return 1;
        int c = a->CompareWith(ZuAtomRef(b));
        if (c != 0)
            return c;
    }
    if (num == other.num)
        return 0;
    return num < other.num ? -1 : 1;
}

int ZuAtomPath::CompareWith(const ZuAtomPathRef& other)
{
    if (other.IsInvalid())
        return num != 0 ? 1 : 0;
    return Compare(*other.Resolve());
}

bool ZuAtomPath::IsEqual(const ZuAtomPathRef& other)
{
    return CompareWith(other) == 0;
}

int ZuAtomPath::CompareWith(const ZuObjectRef& other) const
{
    if (other.IsInvalid())
        return 1;
    if (other->IsKindOf(ZuAtomPathRef::RetRuntime()))
        return Compare(*static_cast<ZuAtomPath*>(other.Resolve()));
    if (other->IsKindOf(ZuTextRef::RetRuntime())) {
        ZuAtomPathRef parsed{ZuTextRef(other)};
        return Compare(*parsed.Resolve());
    }
    return ZuText::CompareWith(other);
}

bool ZuAtomPath::IsEqual(const ZuObjectRef& other) const
{
    if (other.IsInvalid())
        return false;
    if (!other->IsKindOf(ZuTextRef::RetRuntime()))
        return false;
    return CompareWith(other) == 0;
}

ZuObjectRef ZuAtomPath::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuStringRef::RetRuntime())) {
        SetString(ZuStringRef(source));
    } else if (source.IsValid() && source->IsKindOf(ZuAtomPathRef::RetRuntime())) {
        const ZuAtomPath* path = static_cast<const ZuAtomPath*>(source.Resolve());
        if (path != this) {
            Clear();
            for (unsigned int i = 0; i < path->num; ++i)
                AddAtom(ZuAtomRef(path->atoms[i]));
        }
    } else {
        Clear();
    }
    return ZuObjectRef(this);
}

unsigned ZuAtomPath::ComputeHashValue(unsigned m) const
{
    unsigned int h = num;
    for (unsigned int i = 0; i < num; ++i) {
        if (i != 0)
            h = (h << 1) | (h >> 31);
        if (atoms[i] != nullptr)
            h += atoms[i]->ComputeHashValue(m);
    }
    return h % m;
}

unsigned int ZuAtomPath::TotalCount() const
{
    return num;
}

bool ZuAtomPath::Get(unsigned int index, ZuObjectRef& out)
{
    if (index >= num)
        return false;
    out = ZuAtomRef(atoms[index]);
    return true;
}

// -------------------------------------------------------------- storage

void ZuAtomPath::StoreInstance(const ZuStorageRef& storage)
{
    ZuText::StoreInstance(storage);
    static ZuStorageSync record("<ZuAtomPath num { atom }>");
    storage << record << ZuStorageSync::begin;
    storage->StoreCard(num);
    storage << ZuStorageSync::repeat;
    for (unsigned int i = 0; i < num; ++i)
        storage->StoreAtom(ZuAtomRef(atoms[i]));
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuAtomPath::RestoreInstance(const ZuStorageRef& storage)
{
    ZuText::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    Clear();
    unsigned long long stored = storage->RestoreCard(0);
    storage >> ZuStorageSync::repeat;
    // A count beyond the path's capacity is corrupt data: read what fits and
    // skip the rest with the block.
    unsigned int count =
        stored > ZU_ATOM_PATH_LEN ? ZU_ATOM_PATH_LEN : static_cast<unsigned int>(stored);
    for (unsigned int i = 0; i < count; ++i) {
        ZuAtomRef atom;
        storage->RestoreAtom(atom);
        atoms[i] = atom.Resolve();
    }
    num = count;
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}

// -------------------------------------------------------------- handles

ZuAtomPath* ZuAtomPath::NewPath(const char* text)
{
    ZuAtomPath* path = static_cast<ZuAtomPath*>(
        ZuClassFactory::New(ZuAtomPathRef::RetRuntime(), Zuvi_app_zone, __LINE__, src_file));
    if (text != nullptr && *text != '\0')
        path->SetString(ZuStringRef(text));
    return path;
}

namespace {

// A new path parsed from the text of any object (empty handle when the
// object has no text).
ZuAtomPath* PathFor(const ZuObjectRef& object)
{
    if (object.IsInvalid())
        return nullptr;
    ZuStringRef text(object);
    if (text.IsInvalid())
        return nullptr;
    ZuAtomPath* path = ZuAtomPath::NewPath("");
    path->SetString(text);
    return path;
}

ZuAtomPath* PathForWide(const unsigned short* text)
{
    std::string latin;
    for (; text != nullptr && *text != 0; ++text) {
        if (*text > 0xFF)
            return ZuAtomPath::NewPath(""); // no 8-bit form: no path
        latin += static_cast<char>(*text);
    }
    return ZuAtomPath::NewPath(latin.c_str());
}

} // namespace

ZuAtomPathRef::ZuAtomPathRef(ZuAtomPath* path) : ZuTextRef(static_cast<ZuText*>(path)) {}

ZuAtomPathRef::ZuAtomPathRef(const char* text)
    : ZuTextRef(ZuAtomPathRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(static_cast<ZuObject*>(ZuAtomPath::NewPath(text)), nullptr);
}

ZuAtomPathRef::ZuAtomPathRef(const unsigned short* text)
    : ZuTextRef(ZuAtomPathRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(static_cast<ZuObject*>(PathForWide(text)), nullptr);
}

ZuAtomPathRef::ZuAtomPathRef(const ZuTextRef& text)
    : ZuTextRef(ZuAtomPathRef::RetRuntime(), Zuvi_CallFrame::head)
{
    ZuAtomPath* path = ZuAtomPath::NewPath("");
    _Set(static_cast<ZuObject*>(path), nullptr);
    path->SetString(text.IsValid() ? text->RetString() : ZuStringNull);
}

ZuAtomPathRef::ZuAtomPathRef(const ZuValueRef& value)
    : ZuTextRef(ZuAtomPathRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(static_cast<ZuObject*>(PathFor(value)), nullptr);
}

ZuAtomPathRef::ZuAtomPathRef(const ZuObjectRef& object)
    : ZuTextRef(ZuAtomPathRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(static_cast<ZuObject*>(PathFor(object)), nullptr);
}

ZuAtomPathRef& ZuAtomPathRef::operator=(ZuAtomPath* path)
{
    _Set(static_cast<ZuObject*>(path), nullptr);
    return *this;
}

ZuAtomPathRef& ZuAtomPathRef::operator=(const ZuAtomPathRef& other)
{
    _Set(other, nullptr);
    return *this;
}

ZuAtomPathRef& ZuAtomPathRef::operator=(const char* text)
{
    _Set(static_cast<ZuObject*>(ZuAtomPath::NewPath(text)), nullptr);
    return *this;
}

ZuAtomPathRef& ZuAtomPathRef::operator=(const ZuTextRef& text)
{
    ZuStringRef string = text.IsValid() ? text->RetString() : ZuStringNull;
    if (IsInvalid())
        _Set(static_cast<ZuObject*>(ZuAtomPath::NewPath("")), nullptr);
    Resolve()->SetString(string);
    return *this;
}

ZuAtomPathRef& ZuAtomPathRef::operator=(const ZuValueRef& value)
{
    _Set(static_cast<ZuObject*>(PathFor(value)), nullptr);
    return *this;
}

ZuAtomPathRef& ZuAtomPathRef::operator=(const ZuObjectRef& object)
{
    _Set(static_cast<ZuObject*>(PathFor(object)), nullptr);
    return *this;
}
