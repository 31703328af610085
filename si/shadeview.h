// ZuShadeView: a soft shadow behind another view (or its own box). The
// shadow is that box shifted by an offset and grown towards the top left;
// its colour blends in `transition` rings from color_ext at the edge to
// color_int, which fills the inside. It draws only in its background.
// The setters only store: the caller redisplays.
#ifndef SI_SHADEVIEW_H
#define SI_SHADEVIEW_H

#include "si/colorpixel.h"
#include "si/view.h"

ZU_HANDLE(ZuShadeView, ZuView)
class ZuShadeView : public ZuView {
    ZU_CLASS(ZuShadeView, ZuView)
public:
    ZuShadeView();

    void Delete() override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;

    virtual bool SetView(const ZuViewRef& view);
    virtual bool SetColorExt(const ZuColorPixel& colour);
    virtual bool SetColorInt(const ZuColorPixel& colour);
    virtual bool SetOffset(int dx, int dy);
    virtual bool SetDxOffset(int dx);
    virtual bool SetDyOffset(int dy);
    virtual bool SetGrow(int grow);
    virtual bool SetTransition(unsigned steps);
    virtual ZuViewRef RetView() const { return view; }
    virtual ZuColorPixel RetColorExt() { return color_ext; }
    virtual ZuColorPixel RetColorInt() { return color_int; }
    virtual int RetDxOffset() const { return dx_offset; }
    virtual int RetDyOffset() const { return dy_offset; }
    virtual int RetGrow() const { return grow; }
    virtual unsigned RetTransition() const { return transition; }

    // The shadow's rectangle as the next drawing places it.
    ZuRect RetShadowBox() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuViewRef view;
    ZuColorPixel color_ext;
    ZuColorPixel color_int;
    int dx_offset = 0;
    int dy_offset = 0;
    int grow = 0;
    unsigned transition = 4;
};
ZU_CLASS_END(ZuShadeView)

#endif
