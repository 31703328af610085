#ifndef SI_BOXVIEW_H
#define SI_BOXVIEW_H

// ZuBoxView: a titled frame that groups the fields of a dialog pane. The
// frame runs around the box; the title, a text tag that the box makes on
// demand and keeps as its child, sits centred on the frame's top edge on a
// plate of its own, so the frame line passes behind it. None of the
// setters of flags, style or colours redisplays or places the title again.

#include "si/colorpixel.h"
#include "si/control.h"
#include "si/enumfamily.h"
#include "si/ititlewidget.h"
#include "si/texttag.h"

// clang-format off
#define ZU_FRAME_STYLE_LIST(X)                                                     \
    X(ZU_FRAME_STANDARD, 0) X(ZU_FRAME_THIN_LINE, 1) X(ZU_FRAME_RECT_HIGH, 2)      \
    X(ZU_FRAME_RECT_LOW, 3)
// clang-format on
ZU_ENUM(ZuFrameStyle, ZU_FRAME_STYLE_LIST)

ZU_HANDLE(ZuBoxView, ZuControl)
class ZuBoxView : public ZuControl, public ZuiTitleWidget {
    ZU_CLASS(ZuBoxView, ZuControl)
public:
    ZuBoxView();
    ~ZuBoxView() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The title's minimum (when shown) above the control's; 4 more each
    // way with the frame.
    void GetMinSize(double& dx, double& dy) const override;
    void GetMaxSize(double& dx, double& dy) const override;

    // Makes the title tag when there is none.
    virtual void SetupTextTag();
    // Centres the title tag on the top edge of the box.
    virtual void UpdateTextTag();
    virtual bool SetEnableTitle(bool on);
    virtual bool SetEnableFrame(bool on);
    virtual bool RetEnableTitle() const;
    virtual bool RetEnableFrame() const;
    virtual bool SetFrameStyle(ZuFrameStyle style);
    virtual ZuFrameStyle RetFrameStyle() const;
    virtual bool SetFont(const ZuGrailFontRef& font);
    virtual bool SetBackColor(ZuLookColor color);
    virtual bool SetFrameColor(ZuLookColor color);
    // The title's font, or an empty handle without a title.
    virtual ZuGrailFontRef RetFont() const;
    // The title's text, or the null string without a title.
    virtual ZuStringRef RetTitle() const;
    virtual ZuLookColor RetBackColor() const;
    virtual ZuLookColor RetFrameColor() const;

    // ZuiTitleWidget.
    using ZuiTitleWidget::InitGeom;
    bool SetTitle(const ZuStringRef& title) override;

    const ZuTextTagRef& RetTitleTag() const { return title; }

    static ZuAtomRef look_box;
    static ZuAtomRef look_box_title;

protected:
    // "<ZuBoxView title enable_title enable_frame back_color frame_color
    // frame_style>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuTextTagRef title;
    bool enable_title = true;
    bool enable_frame = true;
    ZuLookColor back_color = ZU_COLOR_NONE;
    ZuLookColor frame_color = ZU_COLOR_NONE;
    ZuFrameStyle frame_style = ZU_FRAME_STANDARD;
};
ZU_CLASS_END(ZuBoxView)

#endif
