// ZuGrailFont: the font of the drawing ports. One TrueType face opened at
// one pixel size, with the glyph cache of the graphics engine that renders
// and keeps its glyphs. The family name is the face file's name (with its
// extension), looked for in the folders "%font%" stands for; a face that is
// not there falls back to "arial.ttf" in the same folders, the font keeping
// its own name.
//
// Fonts are made and shared by the font manager (si/fontman.h). A font whose
// face did not open draws nothing and measures every text as 0. System
// fonts (the look's interface fonts) cannot be stored.
#ifndef SD_COMMON_SD_GRAILFNT_H
#define SD_COMMON_SD_GRAILFNT_H

#include "si/object.h"
#include "si/string.h"

class GfxFontCache;

ZU_HANDLE(ZuGrailFont, ZuObject)
class ZuGrailFont : public ZuObject {
    ZU_CLASS(ZuGrailFont, ZuObject)

public:
    ZuGrailFont();
    ~ZuGrailFont() override;

    // Makes the glyph cache (kept whether a face opens or not) and opens the
    // face; false when name or style is missing, the size is 0, or neither
    // the family's file nor "arial.ttf" opens.
    virtual bool Open();
    // Once per font: false, and nothing changed, when the font has a cache.
    virtual bool Initialise(const ZuStringRef& name, const ZuStringRef& style, double size,
                            bool smooth, bool is_system_font);
    virtual void GetName(ZuStringRef& out);
    virtual void GetStyle(ZuStringRef& out);
    virtual const ZuStringRef& RetName();
    virtual const ZuStringRef& RetStyle();
    // The size truncated toward zero to a whole number of pixels.
    virtual double RetSize();
    virtual bool IsSmooth();
    virtual bool IsSystemFont();
    // Line gap + ascender, in pixels.
    virtual double RetAscent();
    // The descender: 0 or negative.
    virtual double RetDescent();
    // Sums of the glyphs' advances. The part (first, count) of a string is
    // cut at its end; a part starting at or past the end is 0 wide.
    virtual double ComputeTextWidth(const ZuStringRef& text, unsigned int first,
                                    unsigned int count);
    virtual double ComputeTextWidth(const ZuStringRef& text);
    virtual double ComputeTextWidth(const unsigned short* text);
    virtual double ComputeTextWidth(const char* text);

    // The glyph cache the ports draw with; null until Open.
    GfxFontCache* RetCache() const { return cache; }

    unsigned ComputeHashValue(unsigned modulo) const override;
    // Name, style (exactly), size, then smooth fonts and system fonts first.
    int CompareWith(const ZuObjectRef& other) const override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double Advance(unsigned short code);

    GfxFontCache* cache;
    double ascender;
    double descender;
    double line_gap;
    ZuStringRef name;
    ZuStringRef style;
    double size;
    bool smooth;
    bool is_system_font;
};
ZU_CLASS_END(ZuGrailFont)

#endif
