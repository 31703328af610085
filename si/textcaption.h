// ZuTextCaption: a label on a filled background, drawn sunken by default;
// the image that follows the pointer while text is dragged out of a text
// line. White text on mid grey unless told otherwise. The setters do not
// redisplay.
#ifndef SI_TEXTCAPTION_H
#define SI_TEXTCAPTION_H

#include "si/texttag.h"

ZU_HANDLE(ZuTextCaption, ZuTextTag)
class ZuTextCaption : public ZuTextTag {
    ZU_CLASS(ZuTextCaption, ZuTextTag)
public:
    ZuTextCaption();

    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;

    virtual bool SetBackColor(const ZuColorPixel& color);
    virtual ZuColorPixel RetBackColor() const;

protected:
    // "<ZuTextCaption  back_color>" after the tag's part.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuColorPixel back_color;
};
ZU_CLASS_END(ZuTextCaption)

#endif
