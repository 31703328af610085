// ZuTextTagBase: the control that owns a text and a font, the base of the
// label (ZuTextTag), the single-line editor, the caption and the
// seven-segment display. An empty font stands for the look manager's
// default font. Setting the text does not redisplay: callers that change a
// visible text ask for Display.
#ifndef SI_TEXTTAGB_H
#define SI_TEXTTAGB_H

#include "sd/common/sd_grailfnt.h"
#include "si/control.h"
#include "si/ititlewidget.h"
#include "si/ivalue.h"
#include "si/string.h"

ZU_HANDLE(ZuTextTagBase, ZuControl)
class ZuTextTagBase : public ZuControl, public ZuiValue, public ZuiTitleWidget {
    ZU_CLASS(ZuTextTagBase, ZuControl)
public:
    ZuTextTagBase();

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // The text becomes a new string made from the text object (the empty
    // string for an empty handle); true.
    virtual bool SetText(const ZuTextRef& text);
    // A copy of the text, true; the empty string and false without one.
    virtual bool GetText(ZuStringRef& out) const;
    virtual const ZuStringRef& RetText() const;
    // An empty handle is allowed (the look's default font); true.
    virtual bool SetFont(const ZuGrailFontRef& font);
    virtual bool GetFont(ZuGrailFontRef& out) const;
    // The font, or the look manager's default font when there is none.
    virtual const ZuGrailFontRef& RetFont() const;

    // ZuiValue: the value as a string becomes the text.
    bool SetValue(const ZuValueRef& value) override;
    ZuValueRef RetValue() override;
    // ZuiTitleWidget: the title is the text.
    bool SetTitle(const ZuStringRef& title) override;

protected:
    // "<ZuTextTagBase text font>" after the control's part. A font of the
    // look (a system font) is written as no font: it belongs to the look,
    // not to the stored window, and reads back as the look's default font.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuStringRef text;
    ZuGrailFontRef font;
};
ZU_CLASS_END(ZuTextTagBase)

#endif
