#include "sd/common/sd_grailfnt.h"

#include <cmath>
#include <string>
#include <vector>

#include "sd/common/sd_file.h"
#include "sd/common/sd_filename.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "zoveda/gfxfontcache.h"

ZU_IMPLEMENT_CLASS(ZuGrailFont, "sd/common/sd_grailfnt", ZU_CLASS_PLAIN)

namespace {

// The glyph cache of a font lives in the application zone; its own
// destructor gives the memory back to the zone.
class ZoneFontCache : public GfxFontCache {
public:
    static void* operator new(size_t size)
    {
        return Zuvi_app_zone->Alloc(static_cast<unsigned>(size), "?", __LINE__, ZU_SRC_FILE);
    }
    static void operator delete(void* block)
    {
        ZuMemZone::FreeAnyZone(block, __LINE__, ZU_SRC_FILE);
    }
};

// The whole pixels of a size, or 0 for sizes no face can be opened at
// (negative, not a number, or beyond any int).
int WholePixels(double size)
{
    return size >= 1.0 && size < 2147483647.0 ? static_cast<int>(size) : 0;
}

// The 8-bit text of a string, whatever its length.
std::string Latin(const ZuStringRef& text)
{
    if (text.IsInvalid())
        return std::string();
    const unsigned n = text->CharacterCount();
    std::vector<char> buffer(static_cast<size_t>(n) + 1, '\0');
    text->GetStringCopy(buffer.data(), n + 1);
    return std::string(buffer.data());
}

} // namespace

ZuGrailFont::ZuGrailFont()
    : cache(nullptr), ascender(0.0), descender(0.0), line_gap(0.0), name(""), style(""), size(0.0),
      smooth(false), is_system_font(false)
{}

ZuGrailFont::~ZuGrailFont()
{
    delete cache;
    cache = nullptr;
}

bool ZuGrailFont::Initialise(const ZuStringRef& name, const ZuStringRef& style, double size,
                             bool smooth, bool is_system_font)
{
    if (cache != nullptr)
        return false;
    this->name = name.IsValid() ? name->RetString() : ZuStringRef("");
    this->style = style.IsValid() ? style->RetString() : ZuStringRef("");
    this->size = size;
    this->smooth = smooth;
    this->is_system_font = is_system_font;
    return Open();
}

bool ZuGrailFont::Open()
{
    if (name.IsInvalid() || style.IsInvalid() || size == 0.0)
        return false;
    // A font opened again starts from a fresh cache: glyphs of another size
    // must not mix with the new ones.
    delete cache;
    cache = nullptr;
    ascender = descender = line_gap = 0.0;
    cache = new ZoneFontCache;

    const std::string candidates[2] = {Latin(name), "arial.ttf"};
    const int pixels = WholePixels(size);
    for (const std::string& candidate : candidates) {
        ZuStringRef path(("%font%/" + candidate).c_str());
        ZuStringRef expanded;
        for (int n = 0; Zuvi_File::ExpandPath(path, expanded, n); ++n) {
            // The path layer refuses names it cannot hold whole, so nothing
            // is ever cut here.
            const std::string library_name = Latin(expanded);
            char os_name[ZUVI_PATH_MAX];
            if (library_name.size() >= ZUVI_PATH_MAX ||
                !Zuvi_ConvertToOSName(library_name.c_str(), os_name))
                continue;
            if (cache->OpenFace(os_name, pixels, smooth)) {
                ascender = cache->TypoAscender();
                descender = cache->TypoDescender();
                line_gap = cache->TypoLineGap();
                return true;
            }
        }
    }
    return false;
}

void ZuGrailFont::GetName(ZuStringRef& out)
{
    out = name;
}

void ZuGrailFont::GetStyle(ZuStringRef& out)
{
    out = style;
}

const ZuStringRef& ZuGrailFont::RetName()
{
    return name;
}

const ZuStringRef& ZuGrailFont::RetStyle()
{
    return style;
}

double ZuGrailFont::RetSize()
{
    return std::trunc(size);
}

bool ZuGrailFont::IsSmooth()
{
    return smooth;
}

bool ZuGrailFont::IsSystemFont()
{
    return is_system_font;
}

double ZuGrailFont::RetAscent()
{
    return line_gap + ascender;
}

double ZuGrailFont::RetDescent()
{
    return descender;
}

// ---- Text widths -----------------------------------------------------------

double ZuGrailFont::Advance(unsigned short code)
{
    GfxFontCache::GlyphGeom geom;
    cache->GetGlyphGeometry(code, geom);
    return geom.advance;
}

double ZuGrailFont::ComputeTextWidth(const ZuStringRef& text, unsigned int first,
                                     unsigned int count)
{
    if (text.IsInvalid())
        return 0.0;
    const unsigned length = text->CharacterCount();
    if (cache == nullptr || count == 0 || first >= length)
        return 0.0;
    if (count > length - first)
        count = length - first;
    double width = 0.0;
    for (unsigned i = first; i < first + count; ++i) {
        unsigned short code = 0;
        text->GetCharacter(i, code);
        width += Advance(code);
    }
    return width;
}

double ZuGrailFont::ComputeTextWidth(const ZuStringRef& text)
{
    if (text.IsInvalid())
        return 0.0;
    return ComputeTextWidth(text, 0, text->CharacterCount());
}

double ZuGrailFont::ComputeTextWidth(const unsigned short* text)
{
    if (text == nullptr || cache == nullptr)
        return 0.0;
    double width = 0.0;
    for (; *text != 0; ++text)
        width += Advance(*text);
    return width;
}

double ZuGrailFont::ComputeTextWidth(const char* text)
{
    if (text == nullptr || cache == nullptr)
        return 0.0;
    double width = 0.0;
    for (; *text != 0; ++text)
        width += Advance(static_cast<unsigned char>(*text));
    return width;
}

// ---- Hash and comparison ---------------------------------------------------

unsigned ZuGrailFont::ComputeHashValue(unsigned modulo) const
{
    const unsigned n = name.IsValid() ? name->ComputeHashValue(modulo) : 0;
    const unsigned s = style.IsValid() ? style->ComputeHashValue(modulo) : 0;
    const double whole = std::trunc(size);
    const unsigned pixels =
        std::fabs(whole) < 2147483648.0 ? static_cast<unsigned>(static_cast<int>(whole)) : 0u;
    if (modulo == 0)
        Zuvi_ErrorAbort("Failed assertion: num", __LINE__, ZU_SRC_FILE);
    return (n + s + pixels + (smooth ? 1u : 0u)) % modulo;
}

int ZuGrailFont::CompareWith(const ZuObjectRef& other) const
{
    if (other.IsInvalid() || !other->IsKindOf(ZuGrailFontRef::RetRuntime()))
        return ZuObject::CompareWith(other);
    const ZuGrailFont* font = ZuGrailFontRef(other).Resolve();
    const ZuStringRef mine_name = name.IsValid() ? name : ZuStringRef("");
    const ZuStringRef mine_style = style.IsValid() ? style : ZuStringRef("");
    const ZuStringRef other_name = font->name.IsValid() ? font->name : ZuStringRef("");
    const ZuStringRef other_style = font->style.IsValid() ? font->style : ZuStringRef("");
    const int n = mine_name->CompareWith(other_name, true);
    if (n != 0)
        return n;
    const int s = mine_style->CompareWith(other_style, true);
    if (s != 0)
        return s;
    if (size != font->size)
        return size > font->size ? 1 : -1;
    if (smooth != font->smooth)
        return smooth ? -1 : 1;
    if (is_system_font != font->is_system_font)
        return is_system_font ? -1 : 1;
    return 0;
}

// ---- Storage ---------------------------------------------------------------

void ZuGrailFont::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    if (is_system_font)
        Zuvi_ErrorAbort("Failed assertion: this->is_system_font == FALSE", __LINE__, ZU_SRC_FILE);
    static ZuStorageSync record("<ZuGrailFont name style size>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(name);
    storage->StoreObject(style);
    storage->StoreReal(size);
    storage << ZuStorageSync::end;
}

void ZuGrailFont::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage->RestoreObject(name, ZuStringRef::RetRuntime());
    storage->RestoreObject(style, ZuStringRef::RetRuntime());
    size = storage->RestoreReal(size);
    storage >> ZuStorageSync::end;
    smooth = false;
    is_system_font = false;
    Open();
}
