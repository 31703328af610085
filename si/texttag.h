// ZuTextTag: the read-only label. It draws its text in its colour (dimmed
// while disabled), placed in its box by its text style, with optional blank
// margins left and right that turn with the text's angle. A tag that is on
// draws its text twice, one pixel apart, for a bold look. A tag is never
// found by pointer detection and never becomes its window's main
// responder. None of the setters redisplays.
#ifndef SI_TEXTTAG_H
#define SI_TEXTTAG_H

#include "si/colorpixel.h"
#include "si/textstyle.h"
#include "si/texttagb.h"

ZU_HANDLE(ZuTextTag, ZuTextTagBase)
class ZuTextTag : public ZuTextTagBase {
    ZU_CLASS(ZuTextTag, ZuTextTagBase)
public:
    ZuTextTag();

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The text's width (plus the margins when they apply) by the font's
    // line height, swapped at 90 and 270 degrees, raised to the control's
    // own minimum.
    void GetMinSize(double& dx, double& dy) const override;

    virtual bool SetTextStyle(const ZuTextStyle& style);
    // Also turns the automatic colour off.
    virtual bool SetColor(const ZuColorPixel& color);
    virtual bool SetAutomaticColor(bool on);
    // Each also turns the margins on.
    virtual bool SetLeftSpace(double space);
    virtual bool SetRightSpace(double space);
    virtual bool EnableSpace(bool on);
    virtual const ZuTextStyle& RetTextStyle() const;
    virtual const ZuColorPixel& RetColor() const;
    virtual bool RetAutomaticColor() const;
    virtual double RetLeftSpace() const;
    virtual double RetRightSpace() const;
    virtual bool RetSpaceEnabled() const;

protected:
    // "<ZuTextTag text_style text_color use_space left_space right_space>";
    // the automatic colour is not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuTextStyle text_style;
    ZuColorPixel text_color;
    bool automatic_color = true;
    bool use_space = false;
    double left_space = 0;
    double right_space = 0;
};
ZU_CLASS_END(ZuTextTag)

#endif
