#include "si/texttag.h"

#include <utility>

#include "si/adorner.h"
#include "si/grail.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"
#include "si/winbartitle.h"

ZU_IMPLEMENT_CLASS(ZuTextTag, "si/texttag", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTextTag, ZuiTitleWidget)

namespace {

ZuStorageSync& TextTagRecord()
{
    static ZuStorageSync record(
        "<ZuTextTag text_style text_color use_space left_space right_space>");
    return record;
}

ZuTextTag* AsTag(ZuObject* o)
{
    return static_cast<ZuTextTag*>(o);
}

void GetStyleDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsTag(o)->RetTextStyle());
}
bool SetStyleDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsTag(o)->SetTextStyle(Zuvi_ValueToZuTextStyle(value));
}
void GetLeftDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsTag(o)->RetLeftSpace());
}
bool SetLeftDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsTag(o)->SetLeftSpace(Zuvi_ValueToReal(value));
}
void GetRightDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsTag(o)->RetRightSpace());
}
bool SetRightDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsTag(o)->SetRightSpace(Zuvi_ValueToReal(value));
}
void GetSpaceDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsTag(o)->RetSpaceEnabled());
}
bool SetSpaceDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsTag(o)->EnableSpace(Zuvi_ValueToBool(value));
}

void DeclareTextTagData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuTextTagRef::RetRuntime(), "text_style", "Text style", &ZuTextStyle_type, true, true,
         &GetStyleDatum, &SetStyleDatum},
        {&ZuTextTagRef::RetRuntime(), "left_space", "Left space", &Real_type, true, true,
         &GetLeftDatum, &SetLeftDatum},
        {&ZuTextTagRef::RetRuntime(), "right_space", "Right space", &Real_type, true, true,
         &GetRightDatum, &SetRightDatum},
        {&ZuTextTagRef::RetRuntime(), "space_enabled", "Enable space", &Bool_type, true, true,
         &GetSpaceDatum, &SetSpaceDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport text_tag_data(&DeclareTextTagData, ZuTextTagRef::RetRuntime());

// A window bar's title is a text tag: the bar, below this layer, sets its
// colour and font through this call.
struct TitleLookCalls {
    TitleLookCalls()
    {
        Zuvi_title_look_calls.set_look = [](const ZuViewRef& title, const ZuColorPixel& color,
                                            const ZuGrailFontRef& font) {
            if (title.IsInvalid() || !title->IsKindOf(ZuTextTagRef::RetRuntime()))
                return;
            ZuTextTagRef tag(title);
            tag->SetColor(color);
            if (font.IsValid())
                tag->SetFont(font);
        };
    }
} title_look_calls;

// The text's angle as a whole number of degrees.
int Degrees(const ZuTextStyle& style)
{
    return static_cast<int>(style.RetAngle());
}

} // namespace

ZuTextTag::ZuTextTag()
    : text_style(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER), text_color(0.0, 0.0, 0.0, 0.0)
{
    state.SetBit(ZU_VIEW_NO_DETECT);
    state.ClearBit(ZU_VIEW_OK_ACTIVE);
}

void ZuTextTag::Delete()
{
    ZuTextTagBase::Delete();
}

ZuObjectRef ZuTextTag::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuTextTagRef::RetRuntime())) {
        ZuTextTagRef other(source);
        SetTextStyle(other->RetTextStyle());
        SetColor(other->RetColor());
        SetAutomaticColor(other->RetAutomaticColor());
        SetLeftSpace(other->RetLeftSpace());
        SetRightSpace(other->RetRightSpace());
        EnableSpace(other->RetSpaceEnabled());
    }
    return ZuTextTagBase::Copy(source);
}

void ZuTextTag::GetMinSize(double& dx, double& dy) const
{
    ZuStringRef s;
    GetText(s);
    ZuGrailFontRef f;
    GetFont(f);
    dx = 0;
    dy = 0;
    if (f.IsValid()) {
        dx = f->ComputeTextWidth(s);
        dy = f->RetAscent() - f->RetDescent();
    }
    if (use_space)
        dx += left_space + right_space;
    const int angle = Degrees(text_style);
    if (angle == 90 || angle == 270)
        std::swap(dx, dy);
    double cdx = 0, cdy = 0;
    ZuControl::GetMinSize(cdx, cdy);
    if (cdx > dx)
        dx = cdx;
    if (cdy > dy)
        dy = cdy;
}

void ZuTextTag::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuTextTagBase::DrawFront(port, rect);
    ZuGrailFontRef f;
    GetFont(f);
    ZuStringRef s;
    if (!GetText(s) || port.IsInvalid())
        return;

    ZuColorPixel color = text_color;
    if (!state.TestBit(ZU_VIEW_IS_ENABLED)) {
        color = ZU_COLOR_VIEW_DIM;
    } else if (automatic_color) {
        ZuAdornerRef adorner = port->RetAdorner();
        if (adorner.IsValid())
            adorner->SetForeColor(static_cast<ZuLookColor>(color));
    }

    const int angle = Degrees(text_style);
    ZuRect r = box;
    if (use_space && !r.IsEmpty()) {
        switch (angle) {
        case 0:
            r.X1() += left_space;
            r.X2() -= right_space;
            break;
        case 90:
            r.Y1() += right_space;
            r.Y2() -= left_space;
            break;
        case 180:
            r.X1() += right_space;
            r.X2() -= left_space;
            break;
        case 270:
            r.Y1() += left_space;
            r.Y2() -= right_space;
            break;
        default:
            break;
        }
    }
    const bool on = state.TestBit(ZU_VIEW_IS_ON);
    const bool along_x = angle == 0 || angle == 180;
    const bool along_y = angle == 90 || angle == 270;
    if (on) {
        if (along_x)
            r.X2() -= 1;
        else if (along_y)
            r.Y2() -= 1;
    }

    port->SetForeColor(color);
    port->SetFont(f);
    const unsigned count = s->CharacterCount();
    port->ShowText(r, s, 0, count, text_style, 0);
    if (on) {
        if (along_x)
            r.MoveOrigin(1, 0);
        else if (along_y)
            r.MoveOrigin(0, 1);
        port->ShowText(r, s, 0, count, text_style, 0);
    }
}

bool ZuTextTag::SetTextStyle(const ZuTextStyle& style)
{
    text_style = style;
    return true;
}

bool ZuTextTag::SetColor(const ZuColorPixel& color)
{
    text_color = color;
    automatic_color = false;
    return true;
}

bool ZuTextTag::SetAutomaticColor(bool on)
{
    automatic_color = on;
    return true;
}

bool ZuTextTag::SetLeftSpace(double space)
{
    left_space = space;
    use_space = true;
    return true;
}

bool ZuTextTag::SetRightSpace(double space)
{
    right_space = space;
    use_space = true;
    return true;
}

bool ZuTextTag::EnableSpace(bool on)
{
    use_space = on;
    return true;
}

const ZuTextStyle& ZuTextTag::RetTextStyle() const
{
    return text_style;
}

const ZuColorPixel& ZuTextTag::RetColor() const
{
    return text_color;
}

bool ZuTextTag::RetAutomaticColor() const
{
    return automatic_color;
}

double ZuTextTag::RetLeftSpace() const
{
    return left_space;
}

double ZuTextTag::RetRightSpace() const
{
    return right_space;
}

bool ZuTextTag::RetSpaceEnabled() const
{
    return use_space;
}

void ZuTextTag::StoreInstance(const ZuStorageRef& s)
{
    ZuTextTagBase::StoreInstance(s);
    s << TextTagRecord() << ZuStorageSync::begin;
    s << text_style << text_color;
    s->StoreBool(use_space);
    s->StoreReal(left_space);
    s->StoreReal(right_space);
    s << ZuStorageSync::end;
}

void ZuTextTag::RestoreInstance(const ZuStorageRef& s)
{
    ZuTextTagBase::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> text_style >> text_color;
    use_space = s->RestoreBool(use_space);
    left_space = s->RestoreReal(left_space);
    right_space = s->RestoreReal(right_space);
    s >> ZuStorageSync::end;
}
