// ZuLed7Display: a text control that shows its text as a row of
// seven-segment digits drawn in single-pixel lines of one colour: decimal
// and hexadecimal digits, a minus sign and decimal points. Other characters
// of the text are ignored. A signed display keeps its first place for the
// sign. The font of the text tag is not used. The display is never active
// and never hit by the pointer. Setters store and answer true; the caller
// asks for Display.
#ifndef SI_LED7DISP_H
#define SI_LED7DISP_H

#include "si/colorpixel.h"
#include "si/texttagb.h"

ZU_HANDLE(ZuLed7Display, ZuTextTagBase)
class ZuLed7Display : public ZuTextTagBase {
    ZU_CLASS(ZuLed7Display, ZuTextTagBase)
public:
    ZuLed7Display();

    virtual bool SetDigitsSign(unsigned digits, bool sign);
    // 0: as many places as the text needs.
    virtual bool SetDigits(unsigned digits);
    virtual bool SetSign(bool sign);
    virtual bool SetColor(const ZuColorPixel& color);
    virtual unsigned RetDigits() const;
    virtual bool RetSigned() const;
    virtual ZuColorPixel RetColor() const;

    // 10 pixels a place and 12 high, plus the look's relief on every side;
    // the places are the digits field, or those the text needs when it is 0.
    void GetMinSize(double& dx, double& dy) const override;
    // The same as the minimum: the display neither grows nor shrinks.
    void GetMaxSize(double& dx, double& dy) const override;
    // Every place read from the text, whatever the digits field.
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

protected:
    // After the text tag's part, "<ZuLed7Display led_color led_digits
    // led_signed>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The places a text fills: the first 31 characters are read, so a
    // signed text uses at most 32 places, each with its point.
    enum { kMaxPlaces = 32, kMaxRead = 31 };
    struct Places {
        unsigned count = 0;
        unsigned char code[kMaxPlaces];
        bool point[kMaxPlaces];
    };
    static Places ReadPlaces(const ZuStringRef& text, bool sign);

    ZuColorPixel color;
    unsigned digits = 0;
    bool is_signed = true;
};
ZU_CLASS_END(ZuLed7Display)

#endif
