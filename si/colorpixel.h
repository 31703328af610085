// ZuColorPixel: the colour value of the whole library, a small copyable
// record passed by value. A colour is an explicit word 0xTTRRGGBB (TT a
// transparency: 0 opaque, 255 invisible), a named look colour whose word is
// fetched again from the look manager each time it is read, or no colour.
//
// Reals run from 0 to 1. The constructor from four reals scales by 256
// (0.5 gives 128, 0.999 gives 255); MakeCompactRGB of reals and every setter
// taking a real scale by 255 (0.5 gives 127). Reading a byte back as a real
// multiplies by the double just below 1/255, so a byte that travels through
// a real can come back one lower.
//
// Look colours are answered by the look manager through the hooks it
// installs (Zuvi_SetLookColorHooks). Explicit colours and no colour never
// need it: their names are "*" and the null atom.
#ifndef SI_COLORPIXEL_H
#define SI_COLORPIXEL_H

#include "si/typedef.h"

class ZuAtomRef;
class ZuValueRef;
class ZuStorageRef;

// The look colours: 0 to 61 with gaps name a colour of the look manager;
// ZU_COLOR_NONE is no colour, ZU_COLOR_ANY an explicit word.
enum ZuLookColor : int {
    ZU_COLOR_NONE = -1,
    ZU_COLOR_ANY = -2,
    ZU_COLOR_WHITE = 0,
    ZU_COLOR_LGRAY = 1,
    ZU_COLOR_DGRAY = 2,
    ZU_COLOR_BLACK = 3,
    ZU_COLOR_BACKGROUND = 4,
    ZU_COLOR_WIDGET_BACK = 5,
    ZU_COLOR_WIDGET_FORE = 6,
    ZU_COLOR_TRANSPARENT = 7,
    ZU_COLOR_PSY_DANGER = 10,
    ZU_COLOR_PSY_WARNING = 11,
    ZU_COLOR_PSY_SAFE = 12,
    ZU_COLOR_VIEW_NORMAL = 20,
    ZU_COLOR_VIEW_DIM = 21,
    ZU_COLOR_VIEW_ACTIVE = 22,
    ZU_COLOR_VIEW_DRAGGING = 23,
    ZU_COLOR_VIEW_DROPPING = 24,
    ZU_COLOR_VIEW_CURSOR = 25,
    ZU_COLOR_VIEW_HILITE = 26,
    ZU_COLOR_VIEW_CONNECT = 27,
    ZU_COLOR_VIEW_DROP_POS = 28,
    ZU_COLOR_HILITE_CLICKED = 30,
    ZU_COLOR_HILITE_SELECT = 31,
    ZU_COLOR_HILITE_ACTIVE = 32,
    ZU_COLOR_HILITE_HOT = 33,
    ZU_COLOR_HILITE_ON = 34,
    ZU_COLOR_HILITE_SELDIM = 35,
    ZU_COLOR_UI_SELECT = 40,
    ZU_COLOR_UI_SEL_ACTIVE = 41,
    ZU_COLOR_TOOLTIP_BACK = 50,
    ZU_COLOR_TOOLTIP_FRAME = 51,
    ZU_COLOR_TOOLTIP_TEXT = 52,
    ZU_COLOR_TEXTLINE_BACK = 60,
    ZU_COLOR_TEXTLINE_TEXT = 61,
    ZU_COLOR_MAX = 61
};

// What the look manager answers about look colours. get_compact_rgb writes
// the colour's current word and answers true, or answers false and leaves
// the word for an index that names no colour; get_name gives a colour's
// name ("*" for ZU_COLOR_ANY, the null atom and false for no colour);
// find gives the colour of a name (ZU_COLOR_NONE for the null atom or an
// unknown name, ZU_COLOR_ANY for "*").
struct Zuvi_LookColorHooks {
    bool (*get_compact_rgb)(ZuLookColor color, unsigned int& pixel);
    bool (*get_name)(ZuLookColor color, ZuAtomRef& name);
    ZuLookColor (*find)(const ZuAtomRef& name);
};

// Installs the look manager's answers (null when it goes). Reading a look
// colour while none is installed is the fatal error of an empty handle.
void Zuvi_SetLookColorHooks(const Zuvi_LookColorHooks* hooks);
const Zuvi_LookColorHooks* Zuvi_RetLookColorHooks();

class ZuColorPixel {
public:
    // No colour.
    ZuColorPixel() : pixel(0), color(ZU_COLOR_NONE) {}
    ZuColorPixel(unsigned int word) : pixel(word), color(ZU_COLOR_ANY) {}
    ZuColorPixel(ZuLookColor look_color) : pixel(0), color(look_color) {}
    ZuColorPixel(const ZuColorPixel& other) = default;
    // The look colour of the name (ZU_COLOR_NONE when it names none).
    ZuColorPixel(const ZuAtomRef& name);
    // Both fields of the value's RetColor.
    explicit ZuColorPixel(const ZuValueRef& value);
    ZuColorPixel(unsigned char r, unsigned char g, unsigned char b, unsigned char t)
        : pixel(MakeCompactRGB(r, g, b, t)), color(ZU_COLOR_ANY)
    {}
    ZuColorPixel(double r, double g, double b, double t);
    ~ZuColorPixel() {}

    ZuColorPixel& operator=(const ZuColorPixel& other) = default;
    ZuColorPixel& operator=(unsigned int word);
    ZuColorPixel& operator=(ZuLookColor look_color);
    ZuColorPixel& operator=(const ZuAtomRef& name);
    ZuColorPixel& operator=(const ZuValueRef& value);

    // Reading: a look colour first takes its current word.
    operator unsigned int() const;
    unsigned char Red() const;
    unsigned char Green() const;
    unsigned char Blue() const;
    unsigned char Transparency() const;
    // ((R + 2G) x 307 + B x 103) >> 10: white is 255.
    unsigned char Luminance() const;
    double RealRed() const;
    double RealGreen() const;
    double RealBlue() const;
    double RealTransparency() const;
    double RealLuminance() const;
    // The look colour, without reading the word.
    operator ZuLookColor() const { return color; }
    // The colour's name: a look colour's, "*" for an explicit colour, the
    // null atom for no colour.
    operator ZuAtomRef() const;

    // Every setter makes the colour explicit; the other components are read
    // first (a look colour is resolved).
    void SetRed(unsigned char v);
    void SetGreen(unsigned char v);
    void SetBlue(unsigned char v);
    void SetTransparency(unsigned char v);
    void SetRed(double v);
    void SetGreen(double v);
    void SetBlue(double v);
    void SetTransparency(double v);
    // Nothing changes when the luminance is l already.
    void SetLuminance(unsigned char l);
    // Scales the colour to the luminance l (0 to 1), spreading what a
    // saturated component cannot carry over the others; a NaN or the
    // current luminance changes nothing.
    void SetLuminance(double l);

    static unsigned int MakeCompactRGB(unsigned char r, unsigned char g, unsigned char b,
                                       unsigned char t)
    {
        return static_cast<unsigned int>(t) << 24 | static_cast<unsigned int>(r) << 16 |
               static_cast<unsigned int>(g) << 8 | b;
    }
    static unsigned int MakeCompactRGB(double r, double g, double b, double t);

    // Look colours are equal when they name the same colour, whatever their
    // cached words; explicit colours when their words are; an explicit
    // colour never equals a look colour.
    bool operator==(unsigned int word) const;
    bool operator==(ZuLookColor look_color) const { return color == look_color; }
    bool operator==(const ZuColorPixel& other) const;
    bool operator==(const ZuAtomRef& name) const;
    bool operator!=(unsigned int word) const { return !(*this == word); }
    bool operator!=(ZuLookColor look_color) const { return !(*this == look_color); }
    bool operator!=(const ZuColorPixel& other) const { return !(*this == other); }
    bool operator!=(const ZuAtomRef& name) const { return !(*this == name); }

    static const ZuColorPixel none;

    // "<ZuColorPixel pixel name>", begin, the word as a card (not
    // refreshed), the name as an atom, end.
    void StoreInstance(const ZuStorageRef& storage) const;
    void RestoreInstance(const ZuStorageRef& storage);

protected:
    // A look colour takes the look manager's current word.
    void UpdatePixel() const;

private:
    static ZuLookColor FindColor(const ZuAtomRef& name);
    static void GetColorName(ZuLookColor look_color, ZuAtomRef& name);

    mutable unsigned int pixel;
    ZuLookColor color;
};

inline bool operator==(unsigned int word, const ZuColorPixel& c)
{
    return c == word;
}
inline bool operator!=(unsigned int word, const ZuColorPixel& c)
{
    return c != word;
}
inline bool operator==(ZuLookColor look_color, const ZuColorPixel& c)
{
    return c == look_color;
}
inline bool operator!=(ZuLookColor look_color, const ZuColorPixel& c)
{
    return c != look_color;
}
bool operator==(const ZuAtomRef& name, const ZuColorPixel& c);
bool operator!=(const ZuAtomRef& name, const ZuColorPixel& c);

ZuColorPixel Zuvi_ValueToZuColorPixel(const ZuValueRef& value);

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuColorPixel& c);
const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuColorPixel& c);

extern const Zuvi_TypeDef ZuColorPixel_type;
extern const Zuvi_TypeDef* const ZuColorPixelTypeDef;

#endif
