// The call through which a window bar styles its title. The title is a text
// tag, a class of the layer above the bar's: the tag's class fills the call
// in at start-up, so that the bar can give its title a colour and a font.
// Without it the title keeps the tag's own.
#ifndef SI_WINBARTITLE_H
#define SI_WINBARTITLE_H

#include "si/objectref.h"

ZU_FORWARD(ZuView)
ZU_FORWARD(ZuGrailFont)
class ZuColorPixel;

struct Zuvi_TitleLookCalls {
    void (*set_look)(const ZuViewRef& title, const ZuColorPixel& color,
                     const ZuGrailFontRef& font) = nullptr;
};

// Defined beside the window bar.
extern Zuvi_TitleLookCalls Zuvi_title_look_calls;

#endif
