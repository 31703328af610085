#include "si/boxview.h"

#include "si/adorner.h"
#include "si/bitsetinfo.h"
#include "si/classfactory.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_ENUM_REGISTER(ZuFrameStyle)
ZU_IMPLEMENT_CLASS(ZuBoxView, "si/boxview", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuBoxView, ZuiTitleWidget)

ZuAtomRef ZuBoxView::look_box;
ZuAtomRef ZuBoxView::look_box_title;

ZU_EXPORT_NOTIFY(ZuBoxView, look_box, "Zuvi_Box", &ZuBoxView::look_box)
ZU_EXPORT_NOTIFY(ZuBoxView, look_box_title, "Zuvi_BoxTitle", &ZuBoxView::look_box_title)

namespace {

ZuBoxView* AsBox(ZuObject* o)
{
    return static_cast<ZuBoxView*>(o);
}
void GetTitle(ZuValueRef& value, ZuObject* o)
{
    ZuStringRef text = AsBox(o)->RetTitle();
    value = ZuValueRef(ZuObjectRef(text.IsValid() ? text : ZuStringRef("")));
}
bool SetTitle(const ZuValueRef& value, ZuObject* o)
{
    return AsBox(o)->SetTitle(value.IsValid() ? ZuStringRef(value) : ZuStringRef(""));
}
void GetEnableTitle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsBox(o)->RetEnableTitle());
}
bool SetEnableTitle(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsBox(o)->SetEnableTitle(Zuvi_ValueToBool(value));
}
void GetEnableFrame(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsBox(o)->RetEnableFrame());
}
bool SetEnableFrame(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsBox(o)->SetEnableFrame(Zuvi_ValueToBool(value));
}
void GetFrameStyle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<unsigned>(AsBox(o)->RetFrameStyle()));
}
bool SetFrameStyle(const ZuValueRef& value, ZuObject* o)
{
    if (value.IsInvalid())
        return false;
    ZuFrameStyle style = Zuvi_ValueToZuFrameStyle(value);
    return IsValid(style) && AsBox(o)->SetFrameStyle(style);
}

const Zuvi_BitsetDataDef kFrameStyles[] = {
    {3, "Frame style", ZU_BITSET_DATA_MASK},
    {ZU_FRAME_STANDARD, "standard", ZU_BITSET_DATA_VALUE},
    {ZU_FRAME_THIN_LINE, "thin line", ZU_BITSET_DATA_VALUE},
    {ZU_FRAME_RECT_HIGH, "3D rect high", ZU_BITSET_DATA_VALUE},
    {ZU_FRAME_RECT_LOW, "3D rect low", ZU_BITSET_DATA_VALUE},
};

void DeclareBoxData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuBoxViewRef::RetRuntime(), "title", "Box title", &ZuString_type, true, true, &GetTitle,
         &SetTitle},
        {&ZuBoxViewRef::RetRuntime(), "enable_title", "enable title", &Bool_type, true, true,
         &GetEnableTitle, &SetEnableTitle},
        {&ZuBoxViewRef::RetRuntime(), "enable_frame", "enable frame", &Bool_type, true, true,
         &GetEnableFrame, &SetEnableFrame},
        {&ZuBoxViewRef::RetRuntime(), "frame_style", "frame style", &ZuFrameStyle_type, true, true,
         &GetFrameStyle, &SetFrameStyle},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
    runtime->PublishDataEx(items[3], kFrameStyles, sizeof kFrameStyles);
}

Zuvi_PubDataExport box_data(&DeclareBoxData, ZuBoxViewRef::RetRuntime());

ZuStorageSync& BoxRecord()
{
    static ZuStorageSync record(
        "<ZuBoxView title enable_title enable_frame back_color frame_color frame_style>");
    return record;
}

// Look colours read from a file: anything outside the look's table is no
// colour.
ZuLookColor ToLookColor(std::int64_t value)
{
    if (value < ZU_COLOR_NONE || value > 61)
        return ZU_COLOR_NONE;
    return static_cast<ZuLookColor>(value);
}

// The four sides and the corners, with the surface too when asked.
ZuFrameEdges Edges(bool surface)
{
    ZuFrameEdges edges;
    for (ZuFrameEdgeBit bit :
         {ZU_FRAME_TOP, ZU_FRAME_LEFT, ZU_FRAME_BOTTOM, ZU_FRAME_RIGHT, ZU_FRAME_CORNERS})
        edges.SetBit(bit);
    if (surface)
        edges.SetBit(ZU_FRAME_SURFACE);
    return edges;
}

} // namespace

ZuBoxView::ZuBoxView() {}

ZuBoxView::~ZuBoxView()
{
    title = ZuTextTagRef();
}

void ZuBoxView::Delete()
{
    title = ZuTextTagRef();
    ZuControl::Delete();
}

ZuObjectRef ZuBoxView::Copy(const ZuObjectRef& source)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuBoxViewRef::RetRuntime()) || source == this)
        return ZuControl::Copy(source);
    ZuBoxView* other = AsBox(source.Resolve());
    if (other->title.IsValid()) {
        SetFont(other->RetFont());
        SetTitle(other->RetTitle());
    }
    back_color = other->back_color;
    frame_color = other->frame_color;
    enable_title = other->enable_title;
    enable_frame = other->enable_frame;
    frame_style = other->frame_style;
    // The other's title stays out of the children the view part clones:
    // this box has its own title already.
    ZuTextTagRef other_title = other->title;
    if (other_title.IsValid())
        other_title->SetParent(ZuViewNull);
    ZuObjectRef result = ZuControl::Copy(source);
    if (other_title.IsValid())
        other_title->SetParent(ZuViewRef(other));
    UpdateTextTag();
    return result;
}

void ZuBoxView::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << BoxRecord() << ZuStorageSync::begin;
    s->StoreObject(title);
    s->StoreBool(enable_title);
    s->StoreBool(enable_frame);
    s->StoreInt(back_color);
    s->StoreInt(frame_color);
    s << frame_style;
    s << ZuStorageSync::end;
}

void ZuBoxView::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef tag;
    s->RestoreObject(tag, ZuTextTagRef::RetRuntime());
    // The title is one of the children restored with the view; anything
    // else stored in its place is no title.
    if (tag.IsValid() && tag->IsKindOf(ZuTextTagRef::RetRuntime()) &&
        ZuViewRef(tag)->RetParent() == this)
        title = ZuTextTagRef(tag);
    else
        title = ZuTextTagRef();
    enable_title = s->RestoreBool(enable_title);
    enable_frame = s->RestoreBool(enable_frame);
    back_color = ToLookColor(s->RestoreInt(back_color));
    frame_color = ToLookColor(s->RestoreInt(frame_color));
    ZuFrameStyle style = ZU_FRAME_STANDARD;
    s >> style;
    frame_style = IsValid(style) ? style : ZU_FRAME_STANDARD;
    s >> ZuStorageSync::end;
}

void ZuBoxView::SetupTextTag()
{
    if (title.IsValid())
        return;
    title = ZuNew<ZuTextTag>(Zuvi_iface_zone, __LINE__, ZU_SRC_FILE);
    title->SetParent(ZuViewRef(this));
}

void ZuBoxView::UpdateTextTag()
{
    if (title.IsInvalid())
        return;
    double w = 0, h = 0;
    title->GetMinSize(w, h);
    w += 4;
    h += 2;
    const double x1 = box.X1() + (box.DX() - w) / 2;
    const double y1 = box.Y1();
    // An inverted rectangle is empty.
    title->SetBox(ZuRect(x1, y1, x1 + w - 1, y1 + h - 1));
}

void ZuBoxView::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuControl::NotifyGeometryChange(old_box);
    UpdateTextTag();
}

bool ZuBoxView::SetTitle(const ZuStringRef& text)
{
    SetupTextTag();
    title->SetText(text);
    UpdateTextTag();
    return true;
}

bool ZuBoxView::SetFont(const ZuGrailFontRef& font)
{
    SetupTextTag();
    title->SetFont(font);
    UpdateTextTag();
    return true;
}

ZuGrailFontRef ZuBoxView::RetFont() const
{
    ZuGrailFontRef font;
    if (title.IsValid())
        title->GetFont(font);
    return font;
}

ZuStringRef ZuBoxView::RetTitle() const
{
    ZuStringRef text;
    if (title.IsValid())
        title->GetText(text);
    return text;
}

bool ZuBoxView::SetEnableTitle(bool on)
{
    enable_title = on;
    return true;
}

bool ZuBoxView::SetEnableFrame(bool on)
{
    enable_frame = on;
    return true;
}

bool ZuBoxView::RetEnableTitle() const
{
    return enable_title;
}

bool ZuBoxView::RetEnableFrame() const
{
    return enable_frame;
}

bool ZuBoxView::SetFrameStyle(ZuFrameStyle style)
{
    frame_style = style;
    return true;
}

ZuFrameStyle ZuBoxView::RetFrameStyle() const
{
    return frame_style;
}

bool ZuBoxView::SetBackColor(ZuLookColor color)
{
    back_color = color;
    return true;
}

bool ZuBoxView::SetFrameColor(ZuLookColor color)
{
    frame_color = color;
    return true;
}

ZuLookColor ZuBoxView::RetBackColor() const
{
    return back_color;
}

ZuLookColor ZuBoxView::RetFrameColor() const
{
    return frame_color;
}

void ZuBoxView::GetMinSize(double& dx, double& dy) const
{
    double tw = 0, th = 0;
    if (enable_title && title.IsValid())
        title->GetMinSize(tw, th);
    double cw = 0, ch = 0;
    ZuControl::GetMinSize(cw, ch);
    dx = tw > cw ? tw : cw;
    dy = ch + th;
    if (enable_frame) {
        dx += 4;
        dy += 4;
    }
}

void ZuBoxView::GetMaxSize(double& dx, double& dy) const
{
    ZuControl::GetMaxSize(dx, dy);
}

void ZuBoxView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
    if (port.IsInvalid() || back_color == ZU_COLOR_NONE)
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->FillRect(box, back_color, 0);
}

void ZuBoxView::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    // The control's fore adorner is left out: the frame is the box's own.
    const bool adorned = style.TestBit(ZU_CTRL_DRAW_ADORNER);
    style.ClearBit(ZU_CTRL_DRAW_ADORNER);
    ZuControl::DrawFront(port, rect);
    if (adorned)
        style.SetBit(ZU_CTRL_DRAW_ADORNER);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    double tw = 0, th = 0, tx = 0, ty = 0;
    if (title.IsValid()) {
        title->GetSize(tw, th);
        title->GetOrigin(tx, ty);
    }
    // The top line runs through the middle of the title.
    const double d = enable_title ? static_cast<double>(static_cast<long long>(th / 2)) - 1 : 0;
    ZuRect frame = box;
    if (!box.IsEmpty())
        frame = ZuRect(box.X1(), box.Y1() + d, box.X2(), box.Y2());
    if (enable_frame) {
        if (adorned) {
            adorner->DrawFrame(look_box, frame, Edges(false), i_state, 0);
        } else if (frame_style == ZU_FRAME_RECT_HIGH) {
            adorner->DrawRectHigh(frame, 0);
        } else if (frame_style == ZU_FRAME_RECT_LOW) {
            adorner->DrawRectLow(frame, 0);
        } else if (frame_style == ZU_FRAME_STANDARD && frame_color == ZU_COLOR_NONE) {
            adorner->DrawFrame(frame, 0);
        } else {
            port->SetForeColor(ZuColorPixel(frame_color));
            port->DrawRect(frame, 0);
        }
    }
    if (!enable_title || title.IsInvalid())
        return;
    const ZuRect plate = (tw == 0 || th == 0) ? ZuRect() : ZuRect(tx, ty, tx + tw - 1, ty + th - 1);
    if (adorned) {
        adorner->DrawFrame(look_box_title, plate, Edges(true), i_state, 0);
    } else if (!plate.IsEmpty()) {
        adorner->SetForeColor(ZU_COLOR_BACKGROUND);
        port->FillRect(plate, 0);
    }
    title->Draw(port, rect, ZU_DRAW_ALL);
}
