#include "si/string.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/resman.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/values.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kMadeStringLine = 1364; // a string made for a result
} // namespace

namespace {

const char kEmptyLatin[] = "";
const unsigned short kEmptyUnicode[1] = {0};

unsigned LatinLength(const char* text, unsigned max)
{
    if (text == nullptr)
        return 0;
    unsigned n = 0;
    while ((max == 0 || n < max) && text[n] != 0)
        ++n;
    return n;
}

unsigned UnicodeLength(const unsigned short* text, unsigned max)
{
    if (text == nullptr)
        return 0;
    unsigned n = 0;
    while ((max == 0 || n < max) && text[n] != 0)
        ++n;
    return n;
}

[[noreturn]] void Abort(const char* message, int line)
{
    Zuvi_ErrorAbort(message, line, ZU_SRC_FILE);
}

// Compares two character sequences (16-bit codes), exactly or after
// upper-casing both; -1, 0 or 1.
template <class A, class B>
int CompareChars(A a, unsigned alen, B b, unsigned blen, bool exact)
{
    unsigned n = std::min(alen, blen);
    for (unsigned i = 0; i < n; ++i) {
        unsigned short ca = a(i), cb = b(i);
        if (!exact) {
            ca = ZuString::ConvertToUpper(ca);
            cb = ZuString::ConvertToUpper(cb);
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (alen == blen)
        return 0;
    return alen < blen ? -1 : 1;
}

} // namespace

ZuString::ZuString() : data(nullptr), type(TEXT_IS_LATIN), len(0), reserve(0), res_id(nullptr) {}

ZuString::~ZuString()
{
    FreeMemory();
}

// ---------------------------------------------------------------------------
// Case and width of single characters
// ---------------------------------------------------------------------------

unsigned short ZuString::ConvertToUpper(unsigned short c)
{
    if (c >= 0x61 && c <= 0x7A)
        return static_cast<unsigned short>(c - 0x20);
    if (c >= 0xE4 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned short>(c - 0x20);
    return c;
}

unsigned short ZuString::ConvertToLower(unsigned short c)
{
    if (c >= 0x41 && c <= 0x5A)
        return static_cast<unsigned short>(c + 0x20);
    if (c >= 0xC4 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned short>(c + 0x20);
    return c;
}

char ZuString::UnicodeToLatin(unsigned short c)
{
    return static_cast<char>(c < 0x100 ? c : 0x7F);
}

// ---------------------------------------------------------------------------
// Buffers
// ---------------------------------------------------------------------------

unsigned short ZuString::At(unsigned i) const
{
    if (IsWide())
        return static_cast<const unsigned short*>(data)[i];
    return static_cast<unsigned char>(static_cast<const char*>(data)[i]);
}

bool ZuString::OwnsPointer(const void* p) const
{
    if (!IsOwned() || data == nullptr || p == nullptr)
        return false;
    const char* begin = static_cast<const char*>(data);
    const char* end = begin + static_cast<size_t>(reserve) * (IsWide() ? 2 : 1);
    const char* q = static_cast<const char*>(p);
    return q >= begin && q < end;
}

void* ZuString::AllocChars(bool wide, unsigned n)
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("zone", __LINE__, ZU_SRC_FILE);
    ZU_ASSERT(n <= 0x7FFFFFFFu);
    return zone->Alloc(wide ? n * 2 : n, wide ? "UnicodeChar[]" : "LatinChar[]", __LINE__,
                       ZU_SRC_FILE);
}

void ZuString::FreeChars(void* p)
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullFreeZone("zone", __LINE__, ZU_SRC_FILE);
    zone->Free(p, __LINE__, ZU_SRC_FILE);
}

void ZuString::ReportChange()
{
    QuickReportChange(0);
}

void ZuString::FreeMemory()
{
    if (IsOwned() && data != nullptr)
        FreeChars(data);
    data = nullptr;
    len = 0;
    reserve = 0;
}

void ZuString::AllocMemory(AnyTextType new_type, unsigned n)
{
    if (n == 0)
        Abort("Failed assertion: len > 0", __LINE__);
    if (new_type == TEXT_IS_SOLID_LATIN)
        Abort("Failed assertion: type != TEXT_IS_SOLID_LATIN", __LINE__);
    if (new_type == TEXT_IS_SOLID_UNICODE)
        Abort("Failed assertion: type != TEXT_IS_SOLID_UNICODE", __LINE__);
    if (new_type != TEXT_IS_LATIN && new_type != TEXT_IS_UNICODE)
        Abort("Illegal type", __LINE__);
    if (data != nullptr && type == new_type && reserve >= n && reserve - n <= 40)
        return;
    void* buffer = AllocChars(new_type == TEXT_IS_UNICODE, n);
    if (IsOwned() && data != nullptr)
        FreeChars(data);
    data = buffer;
    len = 0;
    reserve = n;
    type = new_type;
}

void ZuString::ResizeMemory(unsigned n)
{
    QuickResolveResID();
    if (n <= len)
        return;
    bool wide = IsWide();
    void* buffer = AllocChars(wide, n);
    size_t size = wide ? 2 : 1;
    if (data != nullptr)
        std::memcpy(buffer, data, static_cast<size_t>(len) * size);
    std::memset(static_cast<char*>(buffer) + static_cast<size_t>(len) * size, 0, size);
    if (IsOwned() && data != nullptr)
        FreeChars(data);
    data = buffer;
    reserve = n;
    type = wide ? TEXT_IS_UNICODE : TEXT_IS_LATIN;
}

void ZuString::Desolidify()
{
    QuickResolveResID();
    if (type != TEXT_IS_SOLID_LATIN && type != TEXT_IS_SOLID_UNICODE)
        return;
    bool wide = IsWide();
    const void* old_data = data;
    unsigned old_len = len;
    size_t size = wide ? 2 : 1;
    AllocMemory(wide ? TEXT_IS_UNICODE : TEXT_IS_LATIN, old_len + 1);
    if (old_data != nullptr)
        std::memcpy(data, old_data, old_len * size);
    std::memset(static_cast<char*>(data) + old_len * size, 0, size);
    len = old_len;
}

// ---------------------------------------------------------------------------
// Resource binding
// ---------------------------------------------------------------------------

bool ZuString::ResolveResID()
{
    if (res_id == nullptr)
        return false;
    const void* resource = nullptr;
    unsigned size = 0;
    ZuResType resource_type = ZU_RES_TYPE_NONE;
    if (!ZuResMan::LockResource(res_id, resource, size, resource_type))
        return false;
    // A resource's text ends at its size or at a 0 character, whichever
    // comes first. The type comes from a bundle file: any other type leaves
    // the string empty.
    if (resource_type == ZU_RES_TYPE_LATIN_TEXT && resource != nullptr) {
        type = TEXT_IS_SOLID_LATIN;
        len = static_cast<unsigned>(strnlen(static_cast<const char*>(resource), size));
        data = const_cast<void*>(resource);
        reserve = 0;
    } else if (resource_type == ZU_RES_TYPE_UNICODE_TEXT && resource != nullptr) {
        const unsigned char* bytes = static_cast<const unsigned char*>(resource);
        const unsigned n = size / 2;
        unsigned count = 0;
        while (count < n) {
            unsigned short c;
            std::memcpy(&c, bytes + 2 * count, 2);
            if (c == 0)
                break;
            ++count;
        }
        if (reinterpret_cast<std::uintptr_t>(resource) % alignof(unsigned short) == 0) {
            type = TEXT_IS_SOLID_UNICODE;
            data = const_cast<void*>(resource);
            reserve = 0;
        } else {
            // A text at an odd place in its bundle is read from a copy, so
            // that characters are never loaded unaligned.
            ZuResIDDef* definition = res_id;
            AllocMemory(TEXT_IS_UNICODE, count + 1);
            std::memcpy(data, bytes, static_cast<size_t>(count) * 2);
            static_cast<unsigned short*>(data)[count] = 0;
            res_id = definition;
            ZuResMan::UnlockResource(res_id);
        }
        len = count;
    } else {
        ZuResMan::UnlockResource(res_id);
        return false;
    }
    return true;
}

bool ZuString::SetString(ZuResIDDef* definition)
{
    res_id = definition;
    Invalidate();
    return true;
}

void ZuString::Invalidate()
{
    if (res_id == nullptr)
        return;
    ZuResIDDef* definition = res_id;
    ClearString();
    type = TEXT_IS_RESOURCE;
    res_id = definition;
}

ZuResIDDef* ZuString::RetResID()
{
    return res_id;
}

// ---------------------------------------------------------------------------
// Setting text
// ---------------------------------------------------------------------------

bool ZuString::SetString(const char* text, unsigned max)
{
    res_id = nullptr;
    unsigned n = LatinLength(text, max);
    if (n == 0)
        return SetSolidString(kEmptyLatin);
    // The text may lie in this string's own buffer, which is about to be replaced.
    std::vector<char> copy;
    if (OwnsPointer(text)) {
        copy.assign(text, text + n);
        text = copy.data();
    }
    AllocMemory(TEXT_IS_LATIN, n + 21);
    std::memcpy(data, text, n);
    static_cast<char*>(data)[n] = 0;
    len = n;
    ReportChange();
    return true;
}

bool ZuString::SetString(const unsigned short* text, unsigned max)
{
    res_id = nullptr;
    unsigned n = UnicodeLength(text, max);
    if (n == 0)
        return SetSolidString(kEmptyUnicode);
    std::vector<unsigned short> copy;
    if (OwnsPointer(text)) {
        copy.assign(text, text + n);
        text = copy.data();
    }
    AllocMemory(TEXT_IS_UNICODE, n + 21);
    std::memcpy(data, text, n * 2);
    static_cast<unsigned short*>(data)[n] = 0;
    len = n;
    ReportChange();
    return true;
}

bool ZuString::SetString(const ZuStringRef& other, unsigned max)
{
    ZuString* source = other.Resolve();
    if (source == nullptr)
        return SetString(kEmptyLatin, 0);
    if (source->res_id != nullptr)
        return SetString(source->res_id);
    res_id = nullptr;
    unsigned n = source->len;
    if (max != 0 && n > max)
        n = max;
    switch (source->type) {
    case TEXT_IS_LATIN:
    case TEXT_IS_UNICODE: {
        bool wide = source->type == TEXT_IS_UNICODE;
        size_t size = wide ? 2 : 1;
        // Setting a string from itself: take the characters before the buffer moves.
        std::vector<char> copy(static_cast<const char*>(source->data),
                               static_cast<const char*>(source->data) + n * size);
        AllocMemory(source->type, n + 1);
        if (n != 0)
            std::memcpy(data, copy.data(), n * size);
        std::memset(static_cast<char*>(data) + n * size, 0, size);
        len = n;
        ReportChange();
        return true;
    }
    case TEXT_IS_SOLID_LATIN:
    case TEXT_IS_SOLID_UNICODE: {
        AnyTextType source_type = source->type;
        void* borrowed = source->data;
        FreeMemory();
        type = source_type;
        data = borrowed;
        len = n;
        ReportChange();
        return true;
    }
    default:
        return SetString(kEmptyLatin, 0);
    }
}

bool ZuString::SetString(const ZuStringRef& other)
{
    return SetString(other, 0);
}

bool ZuString::SetString(const ZuAtomRef& atom)
{
    const char* text = atom.IsValid() ? static_cast<const char*>(atom) : nullptr;
    return SetString(text, 0);
}

bool ZuString::SetSolidString(const char* text)
{
    res_id = nullptr;
    FreeMemory();
    type = TEXT_IS_SOLID_LATIN;
    data = const_cast<char*>(text);
    len = LatinLength(text, 0);
    ReportChange();
    return true;
}

bool ZuString::SetSolidString(const unsigned short* text)
{
    res_id = nullptr;
    FreeMemory();
    type = TEXT_IS_SOLID_UNICODE;
    data = const_cast<unsigned short*>(text);
    len = UnicodeLength(text, 0);
    ReportChange();
    return true;
}

bool ZuString::GetString(ZuStringRef& out)
{
    out = kEmptyLatin;
    out->SetString(ZuStringRef(this));
    return true;
}

ZuStringRef ZuString::RetString()
{
    ZuStringRef out;
    GetString(out);
    return out;
}

ZuObjectRef ZuString::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuStringRef::RetRuntime()))
        SetString(ZuStringRef(source));
    return ZuObjectRef(this);
}

// ---------------------------------------------------------------------------
// Editing
// ---------------------------------------------------------------------------

namespace {

// Builds before + inserted + after in the width of the string, then sets it.
template <class Char, class Inserted>
std::vector<Char> Spliced(unsigned short (*at)(const void*, unsigned), const void* data,
                          unsigned len, unsigned pos, const Inserted* text, unsigned n)
{
    std::vector<Char> out;
    out.reserve(len + n + 1);
    for (unsigned i = 0; i < pos; ++i)
        out.push_back(static_cast<Char>(at(data, i)));
    for (unsigned i = 0; i < n; ++i) {
        unsigned short c = sizeof(Inserted) == 1 ? static_cast<unsigned char>(text[i])
                                                 : static_cast<unsigned short>(text[i]);
        out.push_back(sizeof(Char) == 1 ? static_cast<Char>(ZuString::UnicodeToLatin(c))
                                        : static_cast<Char>(c));
    }
    for (unsigned i = pos; i < len; ++i)
        out.push_back(static_cast<Char>(at(data, i)));
    out.push_back(0);
    return out;
}

unsigned short AtLatin(const void* data, unsigned i)
{
    return static_cast<unsigned char>(static_cast<const char*>(data)[i]);
}
unsigned short AtUnicode(const void* data, unsigned i)
{
    return static_cast<const unsigned short*>(data)[i];
}

} // namespace

bool ZuString::SetCounted(const char* text, unsigned n)
{
    res_id = nullptr;
    if (n == 0)
        return SetSolidString(kEmptyLatin);
    std::vector<char> copy(text, text + n);
    AllocMemory(TEXT_IS_LATIN, n + 21);
    std::memcpy(data, copy.data(), n);
    static_cast<char*>(data)[n] = 0;
    len = n;
    ReportChange();
    return true;
}

bool ZuString::SetCounted(const unsigned short* text, unsigned n)
{
    res_id = nullptr;
    if (n == 0)
        return SetSolidString(kEmptyUnicode);
    std::vector<unsigned short> copy(text, text + n);
    AllocMemory(TEXT_IS_UNICODE, n + 21);
    std::memcpy(data, copy.data(), size_t(n) * 2);
    static_cast<unsigned short*>(data)[n] = 0;
    len = n;
    ReportChange();
    return true;
}

bool ZuString::InsertCounted(unsigned pos, const char* text, unsigned n)
{
    if (IsEmpty())
        return SetCounted(text, n);
    pos = std::min(pos, len);
    if (IsWide()) {
        std::vector<unsigned short> spliced =
            Spliced<unsigned short>(AtUnicode, data, len, pos, text, n);
        return SetCounted(spliced.data(), len + n);
    }
    std::vector<char> spliced = Spliced<char>(AtLatin, data, len, pos, text, n);
    return SetCounted(spliced.data(), len + n);
}

bool ZuString::InsertCounted(unsigned pos, const unsigned short* text, unsigned n)
{
    if (IsEmpty())
        return SetCounted(text, n);
    pos = std::min(pos, len);
    if (IsWide()) {
        std::vector<unsigned short> spliced =
            Spliced<unsigned short>(AtUnicode, data, len, pos, text, n);
        return SetCounted(spliced.data(), len + n);
    }
    std::vector<char> spliced = Spliced<char>(AtLatin, data, len, pos, text, n);
    return SetCounted(spliced.data(), len + n);
}

bool ZuString::InsertString(unsigned pos, const char* text, unsigned max)
{
    if (IsEmpty())
        return SetString(text, max);
    return InsertCounted(pos, text, LatinLength(text, max));
}

bool ZuString::InsertString(unsigned pos, const unsigned short* text, unsigned max)
{
    if (IsEmpty())
        return SetString(text, max);
    return InsertCounted(pos, text, UnicodeLength(text, max));
}

bool ZuString::InsertString(unsigned pos, const ZuStringRef& other, unsigned max)
{
    ZuString* source = other.Resolve();
    if (source == nullptr)
        return false;
    source->QuickResolveResID();
    unsigned n = source->len;
    if (max != 0 && n > max)
        n = max;
    // A copy of the other's characters (it may be this very string), taken
    // by count: a zero among them is inserted too.
    if (source->IsWide()) {
        std::vector<unsigned short> text(n + 1, 0);
        for (unsigned i = 0; i < n; ++i)
            text[i] = source->At(i);
        return InsertCounted(pos, text.data(), n);
    }
    std::vector<char> text(n + 1, 0);
    for (unsigned i = 0; i < n; ++i)
        text[i] = static_cast<char>(source->At(i));
    return InsertCounted(pos, text.data(), n);
}

bool ZuString::AppendString(const char* text, unsigned max)
{
    return InsertString(CharacterCount(), text, max);
}

bool ZuString::AppendString(const unsigned short* text, unsigned max)
{
    return InsertString(CharacterCount(), text, max);
}

bool ZuString::AppendString(const ZuStringRef& other, unsigned max)
{
    ZuString* source = other.Resolve();
    if (source == nullptr)
        return false;
    if (max == 0)
        max = source->CharacterCount();
    if (max == 0)
        return true; // nothing to append
    return InsertString(CharacterCount(), other, max);
}

bool ZuString::ClearString()
{
    res_id = nullptr;
    FreeMemory();
    ReportChange();
    return true;
}

bool ZuString::DeleteString(unsigned pos, unsigned count)
{
    QuickResolveResID();
    res_id = nullptr;
    if (pos >= len)
        return false;
    if (pos == 0 && count >= len)
        return ClearString();
    count = std::min(count, len - pos);
    Desolidify();
    size_t size = IsWide() ? 2 : 1;
    char* chars = static_cast<char*>(data);
    std::memmove(chars + pos * size, chars + (pos + count) * size, (len - pos - count) * size);
    len -= count;
    std::memset(chars + len * size, 0, size);
    ReportChange();
    return true;
}

bool ZuString::SetCharacter(unsigned i, unsigned short c)
{
    QuickResolveResID();
    if (i >= len)
        return false;
    Desolidify();
    res_id = nullptr;
    if (IsWide())
        static_cast<unsigned short*>(data)[i] = c;
    else
        static_cast<char*>(data)[i] = UnicodeToLatin(c);
    return true;
}

void ZuString::MapCharacters(unsigned short (*map)(unsigned short))
{
    Desolidify();
    res_id = nullptr;
    for (unsigned i = 0; i < len; ++i) {
        unsigned short c = map(At(i));
        if (IsWide())
            static_cast<unsigned short*>(data)[i] = c;
        else
            static_cast<char*>(data)[i] = static_cast<char>(c);
    }
}

void ZuString::ConvertToUpper()
{
    MapCharacters(&ZuString::ConvertToUpper);
}

void ZuString::ConvertToLower()
{
    MapCharacters(&ZuString::ConvertToLower);
}

void ZuString::ConvertToLatin()
{
    QuickResolveResID();
    if (!IsWide())
        return;
    Abort("NIY", __LINE__);
}

void ZuString::ConvertToUnicode()
{
    QuickResolveResID();
    if (IsWide())
        return;
    Abort("NIY", __LINE__);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

unsigned ZuString::CharacterCount()
{
    QuickResolveResID();
    return len;
}

bool ZuString::IsEmpty()
{
    return CharacterCount() == 0;
}

bool ZuString::IsDefaultLatin()
{
    QuickResolveResID();
    return type == TEXT_IS_LATIN || type == TEXT_IS_SOLID_LATIN;
}

bool ZuString::IsDefaultUnicode()
{
    QuickResolveResID();
    return type == TEXT_IS_UNICODE || type == TEXT_IS_SOLID_UNICODE;
}

const char* ZuString::AccessLatin()
{
    QuickResolveResID();
    return IsDefaultLatin() ? static_cast<const char*>(data) : nullptr;
}

const unsigned short* ZuString::AccessUnicode()
{
    QuickResolveResID();
    return IsDefaultUnicode() ? static_cast<const unsigned short*>(data) : nullptr;
}

bool ZuString::GetCharacter(unsigned i, char& c)
{
    QuickResolveResID();
    if (i >= len)
        return false;
    c = UnicodeToLatin(At(i));
    return true;
}

bool ZuString::GetCharacter(unsigned i, unsigned short& c)
{
    QuickResolveResID();
    if (i >= len)
        return false;
    c = At(i);
    return true;
}

unsigned short ZuString::RetCharacter(unsigned i)
{
    unsigned short c = 0;
    return GetCharacter(i, c) ? c : 0;
}

bool ZuString::GetStringCopy(char* buffer, unsigned size)
{
    if (buffer == nullptr)
        Abort("Failed assertion: buffer", __LINE__);
    if (size == 0)
        return true;
    QuickResolveResID();
    unsigned n = std::min(len, size - 1);
    for (unsigned i = 0; i < n; ++i)
        buffer[i] = UnicodeToLatin(At(i));
    buffer[n] = 0;
    return len < size;
}

bool ZuString::GetStringCopy(unsigned short*, unsigned)
{
    Abort("NIY", __LINE__);
}

bool ZuString::ExtractStringCopy(char* buffer, unsigned start, unsigned count)
{
    if (buffer == nullptr)
        Abort("Failed assertion: buffer", __LINE__);
    buffer[0] = 0;
    QuickResolveResID();
    if (count == 0 || start >= len)
        return true;
    unsigned n = std::min(count, len - start);
    for (unsigned i = 0; i < n; ++i)
        buffer[i] = UnicodeToLatin(At(start + i));
    buffer[n] = 0;
    return true;
}

bool ZuString::ExtractStringCopy(unsigned short*, unsigned, unsigned)
{
    Abort("NIY", __LINE__);
}

bool ZuString::MakeMiddle(unsigned start, unsigned count, ZuStringRef& out)
{
    out = ZuNew<ZuString>(Zuvi_app_zone, kMadeStringLine, ZU_SRC_FILE);
    QuickResolveResID();
    if (type == TEXT_IS_RESOURCE)
        return false;
    start = std::min(start, len);
    count = std::min(count, len - start);
    if (count > 0) {
        if (IsWide())
            out->SetCounted(static_cast<const unsigned short*>(data) + start, count);
        else
            out->SetCounted(static_cast<const char*>(data) + start, count);
    }
    return true;
}

bool ZuString::MakeLeft(unsigned n, ZuStringRef& out)
{
    return MakeMiddle(0, n, out);
}

bool ZuString::MakeRight(unsigned n, ZuStringRef& out)
{
    unsigned total = CharacterCount();
    unsigned m = std::min(n, total);
    return MakeMiddle(total - m, m, out);
}

bool ZuString::Find(unsigned short c, unsigned& pos, int direction)
{
    QuickResolveResID();
    unsigned start = std::min(pos, len);
    if (direction >= 0) {
        for (unsigned i = start; i < len; ++i)
            if (At(i) == c) {
                pos = i;
                return true;
            }
    } else {
        for (unsigned i = start; i-- > 0;)
            if (At(i) == c) {
                pos = i;
                return true;
            }
    }
    return false;
}

bool ZuString::Find(const ZuStringRef& what, unsigned& pos, int direction)
{
    QuickResolveResID();
    unsigned start = std::min(pos, len);
    ZuString* needle = what.Resolve();
    unsigned wlen = needle != nullptr ? needle->CharacterCount() : 0;
    if (wlen == 0) {
        pos = start;
        return true;
    }
    if (wlen > len)
        return false;
    auto matches = [&](unsigned p) {
        for (unsigned i = 0; i < wlen; ++i)
            if (At(p + i) != needle->At(i))
                return false;
        return true;
    };
    if (direction >= 0) {
        for (unsigned p = start; p + wlen <= len; ++p)
            if (matches(p)) {
                pos = p;
                return true;
            }
    } else {
        if (start + wlen > len)
            start = len - wlen;
        for (unsigned p = start + 1; p-- > 0;)
            if (matches(p)) {
                pos = p;
                return true;
            }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Comparison and hashing
// ---------------------------------------------------------------------------

int ZuString::CompareWith(const ZuStringRef& other, bool exact)
{
    unsigned mine = CharacterCount();
    ZuString* that = other.Resolve();
    unsigned theirs = that != nullptr ? that->CharacterCount() : 0;
    if (theirs == 0)
        return mine != 0 ? 1 : 0;
    if (mine == 0)
        return -1;
    return CompareChars([this](unsigned i) { return At(i); }, mine,
                        [that](unsigned i) { return that->At(i); }, theirs, exact);
}

int ZuString::CompareWith(const char* text, bool exact)
{
    unsigned mine = CharacterCount();
    unsigned theirs = LatinLength(text, 0);
    if (theirs == 0)
        return mine != 0 ? 1 : 0;
    if (mine == 0)
        return -1;
    return CompareChars([this](unsigned i) { return At(i); }, mine,
                        [text](unsigned i) {
                            return static_cast<unsigned short>(static_cast<unsigned char>(text[i]));
                        },
                        theirs, exact);
}

int ZuString::CompareWith(const unsigned short* text, bool exact)
{
    unsigned mine = CharacterCount();
    unsigned theirs = UnicodeLength(text, 0);
    if (theirs == 0)
        return mine != 0 ? 1 : 0;
    if (mine == 0)
        return -1;
    return CompareChars([this](unsigned i) { return At(i); }, mine,
                        [text](unsigned i) { return text[i]; }, theirs, exact);
}

int ZuString::CompareSubsetWith(unsigned start, unsigned count, const ZuStringRef& other,
                                unsigned other_start, bool exact)
{
    if (count == 0)
        return 1;
    unsigned mine = CharacterCount();
    ZuString* that = other.Resolve();
    unsigned theirs = that != nullptr ? that->CharacterCount() : 0;
    if (theirs == 0)
        return mine != 0 ? 1 : 0;
    if (mine == 0)
        return -1;
    unsigned a = start < mine ? std::min(count, mine - start) : 0;
    unsigned b = other_start < theirs ? std::min(count, theirs - other_start) : 0;
    return CompareChars([this, start](unsigned i) { return At(start + i); }, a,
                        [that, other_start](unsigned i) { return that->At(other_start + i); }, b,
                        exact);
}

int ZuString::CompareWith(const ZuObjectRef& other) const
{
    if (!other.IsValid())
        throw ZuExcObject(ZuExcObject::Error(1), this);
    if (!other->IsKindOf(ZuStringRef::RetRuntime()))
        throw ZuExcObject(ZuExcObject::Error(0), other.Resolve());
    return const_cast<ZuString*>(this)->CompareWith(ZuStringRef(other), true);
}

unsigned ZuString::ComputeHashValue(unsigned num) const
{
    if (num == 0)
        Abort("Failed assertion: num", __LINE__);
    ZuString* self = const_cast<ZuString*>(this);
    unsigned n = self->CharacterCount();
    unsigned sum = 0;
    for (unsigned i = 0; i < n; ++i) {
        int c = static_cast<signed char>(UnicodeToLatin(At(i)));
        sum += static_cast<unsigned>(c) ^ (13u * (i + 1));
    }
    return sum % num;
}

// ---------------------------------------------------------------------------
// Stored form
// ---------------------------------------------------------------------------

namespace {

ZuStorageSync string_record("<ZuString type len res_id : (data) >");

// Reads `total` bytes of character data. The stored length is outside data:
// the bytes are taken in bounded pieces, and the data running out before
// the length is reached is refused, so a bad length neither allocates what
// the stream does not hold nor leaves the string half set.
std::vector<unsigned char> RestoreCharacters(const ZuStorageRef& storage, size_t total)
{
    const size_t kPiece = 64 * 1024;
    std::vector<unsigned char> bytes;
    size_t done = 0;
    while (done < total) {
        if (storage->CheckForEnd() || storage->CheckForMark())
            Zuvi_StorageFormat::BadData("String shorter than its length", __LINE__);
        size_t n = std::min(kPiece, total - done);
        // The last byte is read on its own, after checking that data follows.
        if (n > 1 && done + n == total)
            n -= 1;
        bytes.resize(done + n);
        storage->RestoreBinData(bytes.data() + done, static_cast<unsigned>(n));
        done += n;
    }
    return bytes;
}

} // namespace

void ZuString::StoreInstance(const ZuStorageRef& storage)
{
    ZuText::StoreInstance(storage);
    QuickResolveResID();
    storage << string_record << ZuStorageSync::begin;
    storage << static_cast<unsigned>(type);
    storage << len;
    Zuvi_StoreResID(storage, res_id);
    storage << ZuStorageSync::mark;
    if (len != 0 && type >= TEXT_IS_LATIN && type <= TEXT_IS_SOLID_UNICODE) {
        if (IsWide()) {
            std::vector<unsigned char> bytes(static_cast<size_t>(len) * 2);
            for (unsigned i = 0; i < len; ++i) {
                unsigned short c = At(i);
                bytes[2 * i] = static_cast<unsigned char>(c & 0xFF);
                bytes[2 * i + 1] = static_cast<unsigned char>(c >> 8);
            }
            storage->StoreBinData(bytes.data(), static_cast<unsigned>(bytes.size()));
        } else {
            storage->StoreBinData(data, len);
        }
    }
    storage << ZuStorageSync::end;
}

void ZuString::RestoreInstance(const ZuStorageRef& storage)
{
    ZuText::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    unsigned char stored_type = 0;
    storage >> stored_type;
    unsigned stored_len = 0;
    storage >> stored_len;
    ZuResIDDef* stored_res_id = Zuvi_RestoreResID(storage);
    storage >> ZuStorageSync::mark;
    if (stored_len != 0) {
        if (stored_type < TEXT_IS_LATIN || stored_type > TEXT_IS_SOLID_UNICODE)
            Zuvi_StorageFormat::BadData("Bad string type", __LINE__);
        if (stored_len >= 0x7FFFFFFFu)
            Zuvi_StorageFormat::BadData("Bad string length", __LINE__);
        bool wide = stored_type == TEXT_IS_UNICODE || stored_type == TEXT_IS_SOLID_UNICODE;
        std::vector<unsigned char> bytes =
            RestoreCharacters(storage, static_cast<size_t>(stored_len) * (wide ? 2 : 1));
        res_id = nullptr;
        AllocMemory(wide ? TEXT_IS_UNICODE : TEXT_IS_LATIN, stored_len + 1);
        if (wide) {
            unsigned short* chars = static_cast<unsigned short*>(data);
            for (unsigned i = 0; i < stored_len; ++i)
                chars[i] = static_cast<unsigned short>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
            chars[stored_len] = 0;
        } else {
            std::memcpy(data, bytes.data(), stored_len);
            static_cast<char*>(data)[stored_len] = 0;
        }
        len = stored_len;
    } else if (stored_res_id != nullptr) {
        SetString(stored_res_id);
    }
    storage >> ZuStorageSync::end;
}

// ---------------------------------------------------------------------------
// The handle
// ---------------------------------------------------------------------------

ZU_IMPLEMENT_CLASS_CORE(ZuString, "si/string", ZU_CLASS_PLAIN)

// Every change of the text through SetString, SetSolidString, ClearString or
// DeleteString is reported as "Changed" of the data "string".
static Zuvi_NotifyExport zuvi_notify_ZuString_changed(&ZuStringRef::RetRuntime(), "Changed",
                                                      "string", nullptr);

namespace {

ZuString* NewString(unsigned line)
{
    return static_cast<ZuString*>(
        ZuClassFactory::New(ZuStringRef::RetRuntime(), Zuvi_app_zone, line, ZU_SRC_FILE));
}

// The string a handle of any class stands for: a string itself, the string
// of another text, the text of a value; otherwise none.
ZuStringRef StringFor(const ZuObjectRef& object)
{
    ZuObject* held = object.Resolve();
    if (held == nullptr)
        return ZuStringRef();
    if (held->IsKindOf(ZuStringRef::RetRuntime()))
        return ZuStringRef(static_cast<ZuString*>(held));
    if (held->IsKindOf(ZuAtomRef::RetRuntime()))
        return ZuStringRef(ZuAtomRef(object));
    if (held->IsKindOf(ZuTextRef::RetRuntime()))
        return static_cast<ZuText*>(held)->RetString();
    if (held->IsKindOf(ZuValueRef::RetRuntime())) {
        ZuStringRef out;
        if (!static_cast<ZuValue*>(held)->ConvertToString(out, ZuStringNull))
            return ZuStringRef();
        return out;
    }
    return ZuStringRef();
}

} // namespace

ZuStringRef::ZuStringRef(ZuString* string) : ZuTextRef(static_cast<ZuText*>(string)) {}

ZuStringRef& ZuStringRef::operator=(ZuString* string)
{
    _Set(static_cast<ZuObject*>(string), nullptr);
    return *this;
}

ZuStringRef& ZuStringRef::operator=(const ZuStringRef& other)
{
    _Set(other, nullptr);
    return *this;
}

ZuStringRef::ZuStringRef(const char* text)
    : ZuTextRef(ZuStringRef::RetRuntime(), Zuvi_CallFrame::head)
{
    ZuString* string = NewString(2321);
    _Set(static_cast<ZuObject*>(string), nullptr);
    string->SetString(text, 0);
}

ZuStringRef::ZuStringRef(const unsigned short*)
    : ZuTextRef(ZuStringRef::RetRuntime(), Zuvi_CallFrame::head)
{
    Abort("NIY", __LINE__);
}

ZuStringRef::ZuStringRef(const ZuAtomRef& atom)
    : ZuTextRef(ZuStringRef::RetRuntime(), Zuvi_CallFrame::head)
{
    ZuString* string = NewString(2303);
    _Set(static_cast<ZuObject*>(string), nullptr);
    string->SetString(atom);
}

ZuStringRef& ZuStringRef::operator=(const char* text)
{
    ZuString* string = NewString(2367);
    ZuStringRef keep(string);
    string->SetString(text, 0);
    _Set(static_cast<ZuObject*>(string), nullptr);
    return *this;
}

ZuStringRef& ZuStringRef::operator=(const unsigned short* text)
{
    ZuString* string = NewString(2386);
    ZuStringRef keep(string);
    string->SetString(text, 0);
    _Set(static_cast<ZuObject*>(string), nullptr);
    return *this;
}

ZuStringRef& ZuStringRef::operator=(const ZuAtomRef& atom)
{
    ZuString* string = NewString(2348);
    ZuStringRef keep(string);
    string->SetString(atom);
    _Set(static_cast<ZuObject*>(string), nullptr);
    return *this;
}

ZuStringRef::ZuStringRef(const ZuObjectRef& object)
    : ZuTextRef(ZuStringRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(StringFor(object), nullptr);
}

ZuStringRef::ZuStringRef(const ZuValueRef& value)
    : ZuTextRef(ZuStringRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(StringFor(value), nullptr);
}

ZuStringRef& ZuStringRef::operator=(const ZuObjectRef& object)
{
    _Set(StringFor(object), nullptr);
    return *this;
}

ZuStringRef& ZuStringRef::operator=(const ZuValueRef& value)
{
    _Set(StringFor(value), nullptr);
    return *this;
}

unsigned short ZuStringRef::operator[](unsigned i) const
{
    ZuString* string = Resolve();
    char c = 0;
    if (string == nullptr || !string->GetCharacter(i, c))
        return 0;
    return static_cast<unsigned char>(c);
}

ZuStringRef Zuvi_ValueToZuString(const ZuValueRef& value)
{
    ZuStringRef out;
    if (!value.IsValid() || !value->ConvertToString(out, ZuStringNull))
        return ZuStringNull;
    return out;
}

ZuTextRef Zuvi_ValueToZuText(const ZuValueRef& value)
{
    ZuStringRef out;
    if (!value.IsValid() || !value->ConvertToString(out, ZuStringNull))
        return ZuTextNull;
    return out;
}
