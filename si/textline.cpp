#include "si/textline.h"

#include <algorithm>
#include <cmath>

#include "si/adorner.h"
#include "si/app.h"
#include "si/checker.h"
#include "si/classfactory.h"
#include "si/dragview.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/textcaption.h"
#include "si/textstyle.h"
#include "si/types.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuTextLine, "si/textline", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTextLine, ZuiValue)
ZU_IMPLEMENT_INTERFACE(ZuTextLine, ZuiTitleWidget)

Zuvi_TextDragCalls ZuTextLine::drag_calls;
ZuAtomRef ZuTextLine::notify_user_text_changed;
ZuAtomRef ZuTextLine::notify_auto_text_changed;

ZU_EXPORT_NOTIFY(ZuTextLine, user_text_changed, "notify_user_text_changed",
                 &ZuTextLine::notify_user_text_changed)
ZU_EXPORT_NOTIFY(ZuTextLine, auto_text_changed, "notify_auto_text_changed",
                 &ZuTextLine::notify_auto_text_changed)
static Zuvi_NotifyExport zuvi_notify_ZuTextLine_user_text(&ZuTextLineRef::RetRuntime(),
                                                          "notify_user_text_changed", "text",
                                                          nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuTextLine_auto_text(&ZuTextLineRef::RetRuntime(),
                                                          "notify_auto_text_changed", "text",
                                                          nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuTextLine_clicked(&ZuTextLineRef::RetRuntime(),
                                                        "notify_clicked", "text", nullptr);
ZU_EXPORT_ACTOR(ZuTextLine, Clear)
ZU_EXPORT_ACTOR(ZuTextLine, SetFullHilite)
ZU_EXPORT_ACTOR(ZuTextLine, SetEmptyHilite)
ZU_EXPORT_ACTOR(ZuTextLine, NotifyDragEnd)

namespace {

// Tick ids of the line: the delayed drag and the cursor's blinking.
const unsigned kTickDrag = 2;
const unsigned kTickBlink = 4;
// The cursor keeps this far from both edges of the text area; the text's
// end never goes further left than kEndGap short of the right edge.
const double kCursorMargin = 16;
const double kEndGap = 4;
// Characters of a dragged selection shown by its caption.
const unsigned kCaptionChars = 10;

// The drag out of a line: a drag view carries the caption and the string,
// and tells the line when it is over. It takes the pointer only while a
// button holds it; without one there is nothing to drag.
bool BeginTextDrag(const ZuTextLineRef& line, const ZuTextCaptionRef& caption,
                   const ZuStringRef& dragged)
{
    const ZuEventRef& event = ZuEvent::Current();
    if (event.IsInvalid() || event->RetButtons().TestNone(ZU_EV_BUTTON_NONE))
        return false;
    ZuDragViewRef drag(ZuNew<ZuDragView>(Zuvi_app_zone));
    drag->SetAutoStop(true);
    drag->SetAutoOops(false);
    drag->SetDragView(caption);
    drag->SetDragObject(dragged);
    drag->SetHotSpot(-10, -20);
    drag->SetDetectSpot(0, 0);
    drag->DragBegin();
    drag->AttachObserver(line, ZuDragView::notify_drag_ended, ZuAtomRef("NotifyDragEnd"), 0);
    ZuEvent::HandOverToWindow(drag);
    drag->DragNotify(event);
    return true;
}

struct TextDragCalls {
    TextDragCalls() { ZuTextLine::drag_calls.begin = &BeginTextDrag; }
} text_drag_calls;

// Class-wide values of the look, read at construction and on a look change.
double frame_size = 0;
unsigned cursor_on_time = 0;
unsigned cursor_off_time = 0;

ZuStorageSync& TextLineRecord()
{
    static ZuStorageSync record(
        "<ZuTextLine cursor_pos hilite_pos_1 hilite_pos_2 is_edit_ok is_secret_text>");
    return record;
}

ZuTextLine* AsLine(ZuObject* o)
{
    return static_cast<ZuTextLine*>(o);
}

void GetCursorDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsLine(o)->RetCursorPos());
}
bool SetCursorDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsLine(o)->SetCursorPos(Zuvi_ValueToCard32(value));
}
void GetHilitedDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsLine(o)->IsHilited());
}
void GetFramelessDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsLine(o)->RetFramelessMode());
}
bool SetFramelessDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsLine(o)->SetFramelessMode(Zuvi_ValueToBool(value));
}
void GetTransparentDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsLine(o)->RetTransparentMode());
}
bool SetTransparentDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsLine(o)->SetTransparentMode(Zuvi_ValueToBool(value));
}

void DeclareTextLineData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuTextLineRef::RetRuntime(), "cursor_pos", "Cursor position", &Card32_type, true, true,
         &GetCursorDatum, &SetCursorDatum},
        {&ZuTextLineRef::RetRuntime(), "is_hilited", "Text is hilited", &Bool_type, true, false,
         &GetHilitedDatum, nullptr},
        {&ZuTextLineRef::RetRuntime(), "is_frameless", "Text is frameless", &Bool_type, true, true,
         &GetFramelessDatum, &SetFramelessDatum},
        {&ZuTextLineRef::RetRuntime(), "is_transparent", "Text is transparent", &Bool_type, true,
         true, &GetTransparentDatum, &SetTransparentDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport text_line_data(&DeclareTextLineData, ZuTextLineRef::RetRuntime());

// The checker shows a verdict on a text line it watches: a false verdict
// selects the offending characters, any other clears the selection.
bool HiliteCheckedLine(const ZuObjectRef& source, const ZuValidityRecord& record)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuTextLineRef::RetRuntime()))
        return false;
    ZuTextLine* line = AsLine(source.Resolve());
    if (record.validity == ZU_VALIDITY_FALSE) {
        if (record.count != 0)
            line->SetHiliteRange(record.first, record.first + record.count, true);
    } else {
        line->SetEmptyHilite();
    }
    return true;
}
struct InstallCheckerHilite {
    InstallCheckerHilite() { ZuChecker::hilite_source = &HiliteCheckedLine; }
} install_checker_hilite;

bool NoButtonHeld(const ZuEventButtons& held)
{
    ZuEventButtons none;
    if (held == none)
        return true;
    none.SetBit(ZU_EV_BUTTON_NONE);
    return held == none;
}

} // namespace

ZuTextLine::ZuTextLine()
{
    state.SetBit(ZU_VIEW_IS_ENABLED);
    cursor = ZuAtomRef("Zuvi_CursorIBeam");
    ReadLookValues();
    text = ZuStringRef("");
}

void ZuTextLine::ReadLookValues()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid())
        return;
    frame_size = look->RetWidgetFrameSize();
    cursor_on_time = look->RetCursorOnTime();
    cursor_off_time = look->RetCursorOffTime();
}

void ZuTextLine::Delete()
{
    StopDelayedDrag();
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->RemoveTickResponder(ZuObjectRef(this), kTickBlink, false);
    ZuTextTagBase::Delete();
}

// ---- Small helpers ----

unsigned ZuTextLine::Length() const
{
    return text.IsValid() ? text->CharacterCount() : 0;
}

unsigned ZuTextLine::Lo() const
{
    return std::min(hilite_pos_1, Length());
}

unsigned ZuTextLine::Hi() const
{
    return std::max(Lo(), std::min(hilite_pos_2, Length()));
}

double ZuTextLine::Available() const
{
    return inbox.DX() - 2 * (RetFrameSize() + 2);
}

double ZuTextLine::TextOriginX() const
{
    return inbox.X1() + RetFrameSize() + 2 + scroll_offset;
}

double ZuTextLine::BaselineY() const
{
    return inbox.Y1() + RetFrameSize() + 1 + ascender;
}

// ---- Text and notifications ----

bool ZuTextLine::SetText(const ZuTextRef& t)
{
    ZuTextTagBase::SetText(t);
    SetCursorPos(Length());
    NotifyTextChange(false);
    Display(true);
    return true;
}

void ZuTextLine::NotifyTextChange(bool user)
{
    QuickReport(user ? notify_user_text_changed : notify_auto_text_changed, user ? 1 : 0);
    QuickReportChange(0);
}

void ZuTextLine::Awake()
{
    ZuTextTagBase::Awake();
    UpdateCursorGeometry();
}

void ZuTextLine::AwakeFromApp(const ZuAppRef& app)
{
    ZuTextTagBase::AwakeFromApp(app);
    UpdateCursorGeometry();
}

void ZuTextLine::AwakeFromObject(const ZuObjectRef& obj)
{
    ZuTextTagBase::AwakeFromObject(obj);
    UpdateCursorGeometry();
}

void ZuTextLine::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    ZuControl::Broadcast(name, argument);
    if (name == "LookManChanged") {
        ReadLookValues();
        UpdateCursorGeometry();
    }
}

// ---- Geometry ----

double ZuTextLine::RetFrameSize() const
{
    return is_frameless ? 0 : frame_size;
}

double ZuTextLine::RetTextIntervalWidth(unsigned begin, unsigned end) const
{
    const unsigned length = Length();
    end = std::min(end, length);
    if (length == 0 || begin >= end)
        return 0;
    const ZuGrailFontRef& f = RetFont();
    if (f.IsInvalid())
        return 0;
    if (is_secret_text)
        return (end - begin) * f->ComputeTextWidth("*");
    return f->ComputeTextWidth(text, begin, end - begin);
}

double ZuTextLine::RetTextAscender() const
{
    const ZuGrailFontRef& f = RetFont();
    return f.IsValid() ? f->RetAscent() : 0;
}

double ZuTextLine::RetTextDescender() const
{
    const ZuGrailFontRef& f = RetFont();
    return f.IsValid() ? f->RetDescent() : 0;
}

void ZuTextLine::UpdateCursorGeometry()
{
    text_width = RetTextIntervalWidth(0, Length());
    cursor_x = RetTextIntervalWidth(0, cursor_pos);
    hilite_x1 = RetTextIntervalWidth(0, Lo());
    hilite_x2 = hilite_x1 + RetTextIntervalWidth(Lo(), Hi());
    ascender = RetTextAscender();
    descender = RetTextDescender();
}

void ZuTextLine::RedrawCursor()
{
    const double x = TextOriginX() + cursor_x;
    const double f = RetFrameSize();
    ZuRect r(x, inbox.Y1() + f + 1, x + 1, inbox.Y2() - f - 1);
    if (!r.IsEmpty())
        Display(r, true, false);
}

unsigned ZuTextLine::ComputePos(double x, double) const
{
    double r = x - inbox.X1() - RetFrameSize() - 2 - scroll_offset;
    if (r <= 0)
        return 0;
    const unsigned length = Length();
    for (unsigned i = 0; i < length; ++i) {
        const double w = RetTextIntervalWidth(i, i + 1);
        if (r < w / 2)
            return i;
        r -= w;
    }
    return length;
}

bool ZuTextLine::IsBreak(unsigned pos) const
{
    return pos < Length() && text->RetCharacter(pos) == 32;
}

unsigned ZuTextLine::FindBreak(unsigned pos, bool forward) const
{
    const unsigned length = Length();
    if (forward) {
        for (unsigned p = pos; p < length; ++p)
            if (IsBreak(p))
                return p;
        return length;
    }
    for (unsigned p = std::min(pos, length); p > 0; --p)
        if (IsBreak(p - 1))
            return p;
    return 0;
}

unsigned ZuTextLine::SkipBreak(unsigned pos, bool forward) const
{
    const unsigned length = Length();
    if (forward) {
        for (unsigned p = pos; p < length; ++p)
            if (!IsBreak(p))
                return p;
        return length;
    }
    for (unsigned p = std::min(pos, length); p >= 1; --p)
        if (p < length && !IsBreak(p))
            return p;
    return 0;
}

bool ZuTextLine::ScrollToCursor()
{
    const double before = scroll_offset;
    const double a = Available();
    const double p = cursor_x + scroll_offset;
    if (p < kCursorMargin)
        scroll_offset = scroll_offset - p + kCursorMargin;
    if (p > a - kCursorMargin)
        scroll_offset = scroll_offset - (p - a) - kCursorMargin;
    if (scroll_offset < a - text_width - kEndGap)
        scroll_offset = a - text_width - kEndGap;
    if (scroll_offset > 0)
        scroll_offset = 0;
    return scroll_offset != before;
}

void ZuTextLine::GetMinSize(double& dx, double& dy) const
{
    const double f = RetFrameSize();
    const ZuGrailFontRef& font_ref = RetFont();
    const double o = font_ref.IsValid() ? font_ref->ComputeTextWidth("O") : 0;
    dx = o + 2 * (f + 18);
    dy = RetTextAscender() - RetTextDescender() + 2 * (f + 1);
}

// ---- Cursor and selection ----

bool ZuTextLine::SetCursorPos(unsigned pos)
{
    if (pos == cursor_pos)
        return true;
    pos = std::min(pos, Length());
    const double old_x = TextOriginX() + cursor_x;
    cursor_visible = true;
    cursor_pos = pos;
    UpdateCursorGeometry();
    if (ScrollToCursor()) {
        Display(true);
    } else {
        const double new_x = TextOriginX() + cursor_x;
        ZuRect r(std::min(old_x, new_x), inbox.Y1(), std::max(old_x, new_x) + 1, inbox.Y2());
        if (!r.IsEmpty())
            Display(r, true, false);
    }
    return true;
}

bool ZuTextLine::SetHiliteRange(unsigned begin, unsigned end, bool scroll)
{
    if (begin == hilite_pos_1 && end == hilite_pos_2)
        return true;
    hilite_pos_1 = begin;
    hilite_pos_2 = end;
    UpdateCursorGeometry();
    if (scroll)
        ScrollToCursor();
    Display(true);
    return true;
}

bool ZuTextLine::Clear()
{
    return SetText(ZuStringRef(""));
}

bool ZuTextLine::SetFullHilite()
{
    return SetHiliteRange(0, Length(), true);
}

bool ZuTextLine::SetEmptyHilite()
{
    return SetHiliteRange(0, 0, true);
}

void ZuTextLine::ReplaceSelection(const ZuStringRef& string, bool user)
{
    // The base keeps its own string: edit a copy so that a string handed
    // to SetText by a caller is never changed behind its back.
    ZuStringRef edited(text.IsValid() ? ZuStringRef(text->Clone()) : ZuStringRef(""));
    text = edited;
    if (Lo() != Hi()) {
        text->DeleteString(Lo(), Hi() - Lo());
        cursor_pos = Lo();
        hilite_pos_1 = 0;
        hilite_pos_2 = 0;
        UpdateCursorGeometry();
    }
    const unsigned at = std::min(cursor_pos, Length());
    const unsigned added = string.IsValid() ? string->CharacterCount() : 0;
    if (added != 0)
        text->InsertString(at, string);
    SetCursorPos(at + added);
    NotifyTextChange(user);
}

bool ZuTextLine::IsHilited() const
{
    return hilite_pos_1 != hilite_pos_2;
}

bool ZuTextLine::SetFramelessMode(bool on)
{
    is_frameless = on;
    return true;
}
bool ZuTextLine::SetTransparentMode(bool on)
{
    is_transparent = on;
    return true;
}
bool ZuTextLine::SetEditMode(bool on)
{
    is_edit_ok = on;
    return true;
}
bool ZuTextLine::SetSecretMode(bool on)
{
    is_secret_text = on;
    return true;
}
unsigned ZuTextLine::RetCursorPos() const
{
    return cursor_pos;
}
unsigned ZuTextLine::RetHiliteBegin() const
{
    return hilite_pos_1;
}
unsigned ZuTextLine::RetHiliteEnd() const
{
    return hilite_pos_2;
}
bool ZuTextLine::RetFramelessMode() const
{
    return is_frameless;
}
bool ZuTextLine::RetTransparentMode() const
{
    return is_transparent;
}
bool ZuTextLine::RetEditMode() const
{
    return is_edit_ok;
}
bool ZuTextLine::RetSecretMode() const
{
    return is_secret_text;
}

// ---- Drawing ----

void ZuTextLine::ShowText(const ZuGrailPortRef& port, double x, double y, unsigned first,
                          unsigned count) const
{
    if (port.IsInvalid() || count == 0)
        return;
    const ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE);
    if (is_secret_text) {
        ZuStringRef stars("");
        for (unsigned i = 0; i < count; ++i)
            stars->AppendString("*");
        port->ShowText(x, y, stars, 0, count, style, 0);
        return;
    }
    port->ShowText(x, y, text, first, count, style, 0);
}

void ZuTextLine::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const double f = RetFrameSize();
    if (!is_transparent) {
        ZuLookColor back = ZU_COLOR_TEXTLINE_BACK;
        if (!is_edit_ok && state.TestBit(ZU_VIEW_IS_ACTIVE))
            back = ZU_COLOR_HILITE_SELECT;
        else if (is_edit_ok)
            MapStateToBackColor(back);
        adorner->FillRect(box, back, f);
    }
    if (state.TestBit(ZU_VIEW_IS_DROP_DST))
        adorner->FillRect(box, ZU_COLOR_VIEW_DROPPING, f);
}

void ZuTextLine::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const double f = RetFrameSize();
    const bool active = state.TestBit(ZU_VIEW_IS_ACTIVE);
    ZuLookColor back = ZU_COLOR_TEXTLINE_BACK;
    ZuLookColor fore = ZU_COLOR_TEXTLINE_TEXT;
    if (!is_edit_ok && active) {
        back = ZU_COLOR_HILITE_SELECT;
        fore = ZU_COLOR_VIEW_HILITE;
    } else if (is_edit_ok) {
        ZuLookColor mapped = back;
        if (MapStateToBackColor(mapped))
            fore = ZU_COLOR_VIEW_HILITE;
    }
    const bool use_adorner = style.TestBit(ZU_CTRL_DRAW_ADORNER);
    if (use_adorner)
        adorner->DrawFrame(ZuAtomRef("Zuvi_TextLineFrame"), box, i_state, 0);
    else if (!is_frameless)
        adorner->DrawLineFrame(box, 0);

    port->SetFont(RetFont());
    ZuRect saved;
    port->GetClipRect(saved);
    const double ax = inbox.X1() + f + 2;
    const double ay = inbox.Y1() + f + 1;
    ZuRect area(ax, ay, ax + Available() - 1, ay + inbox.DY() - 2 * (f + 1) - 1);
    if (!saved.IsEmpty() && !area.IsEmpty()) {
        area = ZuRect(std::max(area.X1(), saved.X1()), std::max(area.Y1(), saved.Y1()),
                      std::min(area.X2(), saved.X2()), std::min(area.Y2(), saved.Y2()));
    }
    if (area.IsEmpty()) {
        port->SetClipRect(saved, 0);
        return;
    }
    port->SetClipRect(area, 0);

    const double ox = TextOriginX();
    const double base = BaselineY();
    const unsigned length = Length();
    const unsigned lo = Lo(), hi = Hi();
    if (lo == hi || !is_edit_ok) {
        adorner->SetForeColor(fore);
        ShowText(port, ox, base, 0, length);
        ZuWindowRef w = window;
        if (cursor_visible && no_selection_motion && active && w.IsValid() &&
            w->IsMainResponderOk() && w->IsActive() && is_edit_ok) {
            adorner->SetForeColor(ZU_COLOR_VIEW_CURSOR);
            port->DrawLineDY(ox + cursor_x, base - ascender, ascender - descender);
        }
    } else {
        ZuLookColor sel_back = ZU_COLOR_HILITE_SELDIM;
        ZuLookColor sel_fore = ZU_COLOR_TEXTLINE_TEXT;
        if (active || selecting) {
            sel_back = ZU_COLOR_HILITE_SELECT;
            sel_fore = ZU_COLOR_VIEW_HILITE;
        }
        if (state.TestBit(ZU_VIEW_IS_DROP_DST) && !drop_caret_shown) {
            sel_back = ZU_COLOR_VIEW_DROP_POS;
            sel_fore = ZU_COLOR_VIEW_HILITE;
        }
        ZuRect sel(ox + hilite_x1, base - ascender, ox + hilite_x2 - 1, base - descender);
        if (!sel.IsEmpty()) {
            if (use_adorner && sel_back == ZU_COLOR_HILITE_SELECT)
                adorner->DrawIcon(sel, ZuAtomRef("Zuvi_TextLineHilite"), ZU_CTRL_STATE_NORMAL);
            else
                adorner->FillRect(sel, sel_back, 0);
        }
        adorner->SetForeColor(sel_fore);
        ShowText(port, ox + hilite_x1, base, lo, hi - lo);
        adorner->SetForeColor(ZU_COLOR_TEXTLINE_TEXT);
        if (lo != 0)
            ShowText(port, ox, base, 0, lo);
        if (hi != length)
            ShowText(port, ox + hilite_x2, base, hi, length - hi);
    }
    if (use_adorner)
        adorner->DrawFrame(ZuAtomRef("Zuvi_TextLineCover"), inbox, i_state, 0);
    if (state.TestBit(ZU_VIEW_IS_DROP_DST) && drop_caret_shown) {
        adorner->SetForeColor(ZU_COLOR_VIEW_DROP_POS);
        port->DrawLineDY(ox + drop_caret_x, base - ascender, ascender - descender);
        port->DrawLineDY(ox + drop_caret_x + 1, base - ascender, ascender - descender);
        adorner->SetForeColor(ZU_COLOR_BLACK);
        port->DrawLineDX(drop_x - 2, drop_y, 5);
        port->DrawLineDY(drop_x, drop_y - 2, 5);
    }
    port->SetClipRect(saved, 0);
}

// ---- Focus and blinking ----

bool ZuTextLine::WouldAcceptMain() const
{
    return true;
}

void ZuTextLine::BecomeMain(bool keep)
{
    ascender = RetTextAscender();
    descender = RetTextDescender();
    if (!keep) {
        hilite_pos_1 = 0;
        hilite_pos_2 = Length();
        cursor_pos = Length();
        UpdateCursorGeometry();
        ScrollToCursor();
        Display(true);
    }
    has_focus = true;
    EnableTick();
    if (!cursor_visible) {
        cursor_visible = true;
        RedrawCursor();
    }
    ZuView::BecomeMain(keep);
}

void ZuTextLine::ResignMain()
{
    has_focus = false;
    DisableTick();
    if (cursor_visible) {
        cursor_visible = false;
        RedrawCursor();
    }
    ZuView::ResignMain();
}

void ZuTextLine::EnableTick()
{
    ZuControl::EnableTick();
    const ZuAppRef& app = ZuApp::Current();
    if (has_focus && app.IsValid())
        app->InsertTickResponder(ZuObjectRef(this), static_cast<int>(cursor_off_time), kTickBlink,
                                 true);
}

void ZuTextLine::DisableTick()
{
    const ZuAppRef& app = ZuApp::Current();
    if (!has_focus && app.IsValid())
        app->RemoveTickResponder(ZuObjectRef(this), kTickBlink, false);
    ZuControl::DisableTick();
}

void ZuTextLine::Tick(unsigned id)
{
    if (id == kTickBlink) {
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid())
            app->InsertTickResponder(
                ZuObjectRef(this),
                static_cast<int>(cursor_visible ? cursor_off_time : cursor_on_time), kTickBlink,
                true);
        if (!IsHilited()) {
            cursor_visible = !cursor_visible;
            RedrawCursor();
        }
    } else if (id == kTickDrag) {
        StartDelayedDrag();
    }
    ZuControl::Tick(id);
}

// ---- Stored form ----

void ZuTextLine::StoreInstance(const ZuStorageRef& s)
{
    ZuTextTagBase::StoreInstance(s);
    s << TextLineRecord() << ZuStorageSync::begin;
    s->StoreCard(cursor_pos);
    s->StoreCard(hilite_pos_1);
    s->StoreCard(hilite_pos_2);
    s->StoreBool(is_edit_ok);
    s->StoreBool(is_secret_text);
    s << ZuStorageSync::end;
}

void ZuTextLine::RestoreInstance(const ZuStorageRef& s)
{
    ZuTextTagBase::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    cursor_pos = static_cast<unsigned>(s->RestoreCard(cursor_pos));
    hilite_pos_1 = static_cast<unsigned>(s->RestoreCard(hilite_pos_1));
    hilite_pos_2 = static_cast<unsigned>(s->RestoreCard(hilite_pos_2));
    is_edit_ok = s->RestoreBool(is_edit_ok);
    is_secret_text = s->RestoreBool(is_secret_text);
    s >> ZuStorageSync::end;
}

// ---- Keys ----

void ZuTextLine::KeyDown(const ZuEventRef& event)
{
    if (!is_edit_ok || event.IsInvalid())
        return;
    const ZuKey& key = event->RetKey();
    const unsigned length = Length();
    const bool shift = key.modifiers.TestBit(ZU_MOD_SHIFT);
    const bool control = key.modifiers.TestBit(ZU_MOD_CONTROL);
    switch (key.type) {
    case ZU_KEY_CURSOR: {
        const unsigned old = std::min(cursor_pos, length);
        unsigned p = old;
        switch (key.code) {
        case ZU_CURSOR_LEFT:
            if (p > 0)
                --p;
            if (control)
                p = FindBreak(SkipBreak(p, false), false);
            break;
        case ZU_CURSOR_RIGHT:
            if (p < length)
                ++p;
            if (control)
                p = FindBreak(SkipBreak(p, true), true);
            break;
        case ZU_CURSOR_HOME:
            p = 0;
            break;
        case ZU_CURSOR_END:
            p = length;
            break;
        default:
            return;
        }
        if (shift) {
            unsigned a, b;
            if (!IsHilited()) {
                a = old;
                b = p;
            } else if (old == Lo()) {
                a = p;
                b = Hi();
            } else {
                a = Lo();
                b = p;
            }
            if (a > b)
                std::swap(a, b);
            cursor_pos = p;
            SetHiliteRange(a, b, true);
        } else {
            if (IsHilited()) {
                hilite_pos_1 = 0;
                hilite_pos_2 = 0;
                UpdateCursorGeometry();
            }
            SetCursorPos(p);
            Display(true);
        }
        return;
    }
    case ZU_KEY_BACKSPACE:
    case ZU_KEY_DELETE: {
        ZuStringRef edited(text.IsValid() ? ZuStringRef(text->Clone()) : ZuStringRef(""));
        unsigned at = std::min(cursor_pos, length);
        if (Lo() != Hi()) {
            edited->DeleteString(Lo(), Hi() - Lo());
            at = Lo();
            hilite_pos_1 = 0;
            hilite_pos_2 = 0;
        } else if (key.type == ZU_KEY_BACKSPACE) {
            if (at == 0)
                return;
            --at;
            edited->DeleteString(at, 1);
        } else if (at < length) {
            edited->DeleteString(at, 1);
        }
        text = edited;
        // Force the geometry and the scrolling to follow the shorter text.
        cursor_pos = at + 1;
        SetCursorPos(at);
        Display(true);
        NotifyTextChange(true);
        return;
    }
    case ZU_KEY_ALPHANUM:
        // Only codes of the line's one-byte character set are typed; a
        // wider character would otherwise turn into an unrelated one.
        if (key.value != 0 && key.value <= 0xFF) {
            const char one[2] = {static_cast<char>(key.value), 0};
            ReplaceSelection(ZuStringRef(one), true);
            Display(true);
        }
        return;
    default:
        ZuControl::KeyDown(event);
        return;
    }
}

// ---- Pointer ----

void ZuTextLine::ButtonPress(const ZuEventRef& event)
{
    if (!is_edit_ok) {
        ZuControl::ButtonPress(event);
        return;
    }
    SelectCursor(event);
    if (event.IsInvalid() || !state.TestBit(ZU_VIEW_IS_ENABLED) ||
        state.TestBit(ZU_VIEW_IS_CLICKED) || event->RetChange() != ZU_EV_BUTTON_LEFT)
        return;
    const double x = event->RetX(), y = event->RetY();
    unsigned pos = ComputePos(x, y);
    const unsigned clicks = event->RetClickCount();
    if (clicks <= 1) {
        pointer_pos = pos;
        ActionOn();
        if (!over_selection) {
            selecting = true;
            if (window.IsValid())
                window->SetDraggingView(ZuViewRef(this));
            if (IsHilited())
                SetHiliteRange(0, 0, false);
            SetCursorPos(pos);
        } else {
            cursor_pos = pos;
            SetupDelayedDrag(x, y);
        }
    } else if (clicks == 2) {
        SetCursorPos(pos);
        if (IsBreak(pos) && pos > 0)
            --pos;
        if (pos < Length() && !IsBreak(pos))
            SetHiliteRange(FindBreak(pos, false), FindBreak(pos, true), true);
    } else {
        SetCursorPos(pos);
        SetFullHilite();
    }
}

void ZuTextLine::HandleSelectMotion()
{
    ZuControl::HandleSelectMotion();
    if (!is_edit_ok || !selecting)
        return;
    const ZuEventRef& current = ZuEvent::Current();
    if (current.IsInvalid())
        return;
    const unsigned pos = ComputePos(current->RetX(), current->RetY());
    pointer_pos = pos;
    if (no_selection_motion && pos == cursor_pos)
        return;
    const unsigned anchor = std::min(cursor_pos, Length());
    const unsigned a = std::min(anchor, pos), b = std::max(anchor, pos);
    if (a == hilite_pos_1 && b == hilite_pos_2)
        return;
    if (drag_armed) {
        StopDelayedDrag();
        StartDelayedDrag();
        return;
    }
    no_selection_motion = false;
    cursor_pos = pos;
    SetHiliteRange(a, b, false);
    cursor_pos = anchor;
}

void ZuTextLine::ButtonRelease(const ZuEventRef& event)
{
    if (!is_edit_ok) {
        ZuControl::ButtonRelease(event);
        return;
    }
    if (event.IsValid() && state.TestBit(ZU_VIEW_IS_ENABLED) && state.TestBit(ZU_VIEW_IS_CLICKED) &&
        event->RetChange() == ZU_EV_BUTTON_LEFT) {
        if (drag_armed) {
            SetHiliteRange(0, 0, false);
            // The cursor already stands at the press: move it for real.
            const unsigned target = pointer_pos;
            cursor_pos = target + 1;
            SetCursorPos(target);
            StopDelayedDrag();
        }
        if (selecting) {
            selecting = false;
            cursor_pos = std::min(pointer_pos, Length());
            UpdateCursorGeometry();
            if (window.IsValid())
                window->SetDraggingView(ZuViewRef());
        }
        no_selection_motion = true;
        StopAutoScroll();
        ActionOff();
        Action(true);
    }
    SelectCursor(event);
}

void ZuTextLine::Action(bool on)
{
    QuickReport(notify_clicked, 1);
    if (window.IsValid())
        window->SetMainResponder(ZuResponderRef(this), on);
}

void ZuTextLine::SelectCursor(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    const double x = event->RetX(), y = event->RetY();
    bool inside = !inbox.IsEmpty() && inbox.IsInside(x, y);
    bool over = false;
    if (state.TestBit(ZU_VIEW_IS_ENABLED) && hilite_x1 != hilite_x2) {
        const double ox = TextOriginX(), base = BaselineY();
        ZuRect sel(ox + hilite_x1, base - ascender, ox + hilite_x2 - 1, base - descender);
        over = !sel.IsEmpty() && sel.IsInside(x, y);
    }
    // The pointer coming over the line is a motion too: it still shows the
    // I-beam, as a press and a release do.
    if (event->RetType() == ZU_EVENT_MOTION && NoButtonHeld(event->RetButtons()) && !selecting &&
        !entering)
        inside = false;
    if (inside != pointer_inside || over != over_selection) {
        pointer_inside = inside;
        over_selection = over;
        SelectCursor();
    }
}

void ZuTextLine::SelectCursor()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid())
        return;
    look->SelectCursor(ZuAtomRef(is_edit_ok && pointer_inside && !over_selection
                                     ? "Zuvi_CursorIBeam"
                                     : "Zuvi_CursorNormal"));
}

void ZuTextLine::EnterNotify(const ZuEventRef& event)
{
    ZuControl::EnterNotify(event);
    if (is_edit_ok) {
        over_selection = false;
        entering = true;
        SelectCursor(event);
        entering = false;
        // The window hands the motion that entered on as a motion: it
        // must not undo the I-beam of the entry.
        just_entered = true;
    }
}

void ZuTextLine::LeaveNotify(const ZuEventRef& event)
{
    just_entered = false;
    ZuControl::LeaveNotify(event);
}

void ZuTextLine::MotionNotify(const ZuEventRef& event)
{
    entering = just_entered;
    just_entered = false;
    if (is_edit_ok)
        SelectCursor(event);
    entering = false;
    if (is_edit_ok)
        return;
    ZuResponder::MotionNotify(event);
}

// ---- Automatic scrolling ----

bool ZuTextLine::DetectAutoScroll(double x, double, double& angle, double& speed)
{
    angle = 0;
    speed = 0;
    const double f = RetFrameSize();
    const double l = (inbox.X1() + f + 2 + kCursorMargin) - x;
    const double r = x - (inbox.X2() - (f + 2) - kCursorMargin);
    if (l > 0) {
        speed = l * 0.1;
        angle = 0;
    }
    if (r > 0) {
        speed = r * 0.1;
        angle = 180;
    }
    // Only a wanted scroll is raised to the least speed: a pointer well
    // inside the text asks for none.
    if (speed != 0 && speed < 0.1)
        speed = 0.1;
    return speed != 0;
}

void ZuTextLine::HandleAutoScroll(double angle, double speed)
{
    if (speed != 0) {
        scroll_offset += angle == 180 ? -speed : speed;
        const double least = Available() - kEndGap - text_width;
        if (scroll_offset < least)
            scroll_offset = least;
        if (scroll_offset > 0)
            scroll_offset = 0;
    }
    ZuControl::HandleAutoScroll(angle, speed);
}

// ---- Dragging the selection out ----

void ZuTextLine::SetupDelayedDrag(double x, double y)
{
    StopDelayedDrag();
    if (is_secret_text)
        return;
    const ZuAppRef& app = ZuApp::Current();
    const ZuLookManRef& look = ZuLookMan::Current();
    if (app.IsValid())
        app->InsertTickResponder(ZuObjectRef(this),
                                 static_cast<int>(look.IsValid() ? look->RetDoubleClickDelay() : 0),
                                 kTickDrag, true);
    dragging_own_text = false;
    drag_point_x = x;
    drag_point_y = y;
    drag_armed = true;
}

void ZuTextLine::StopDelayedDrag()
{
    if (!drag_armed)
        return;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->RemoveTickResponder(ZuObjectRef(this), kTickDrag, false);
    drag_armed = false;
}

void ZuTextLine::StartDelayedDrag()
{
    drag_armed = false;
    dragging_own_text = true;
    const unsigned lo = Lo(), hi = Hi();
    // Dragging copies: the line keeps its text.
    ZuStringRef dragged(text.IsValid() ? ZuStringRef(text->Clone()) : ZuStringRef(""));
    if (hi < Length())
        dragged->DeleteString(hi, Length() - hi);
    if (lo > 0)
        dragged->DeleteString(0, lo);
    ZuStringRef shown(dragged->Clone());
    if (hi - lo > kCaptionChars) {
        shown->DeleteString(kCaptionChars, hi - lo - kCaptionChars);
        shown->AppendString("...");
    }
    ZuTextCaptionRef caption(ZuNew<ZuTextCaption>(Zuvi_app_zone));
    caption->SetParent(ZuViewRef(this));
    const double f = RetFrameSize();
    const ZuGrailFontRef& font_ref = RetFont();
    const double w = font_ref.IsValid() ? font_ref->ComputeTextWidth(shown) : 0;
    caption->SetOrigin(scroll_offset + inbox.X1() + hilite_x1 + f + 2, inbox.Y1() + f + 1);
    caption->SetSize(w, ascender - descender + 1);
    caption->ChangeState(ZU_VIEW_NO_DETECT, false, false);
    caption->ChangeStyle(ZU_CTRL_EFFECT_WHEN_ACTIVE, false);
    caption->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    caption->SetColor(ZuColorPixel(ZU_COLOR_VIEW_HILITE));
    caption->SetBackColor(ZuColorPixel(ZU_COLOR_HILITE_SELECT));
    caption->SetText(shown);
    // The drag view takes over from here; without one the drag ends now
    // and the text stays where it is.
    if (drag_calls.begin == nullptr || !drag_calls.begin(ZuTextLineRef(this), caption, dragged)) {
        caption->SetParent(ZuViewRef());
        caption->Delete();
        dragging_own_text = false;
    }
}

bool ZuTextLine::NotifyDragEnd()
{
    dragging_own_text = false;
    return true;
}

// ---- Dropping text in ----

bool ZuTextLine::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object, ZuDragDropProtocol step)
{
    ZuStringRef dropped;
    if (object.IsValid()) {
        ZuObjectRef held;
        if (object->QueryData(ZuAtomRef("drag_object"), held) && held.IsValid() &&
            held->IsKindOf(ZuStringRef::RetRuntime()))
            dropped = ZuStringRef(held);
    }
    if (dropped.IsInvalid() || !state.TestBit(ZU_VIEW_OK_DROP) || !is_edit_ok)
        return ZuControl::DragAndDrop(rect, object, step);
    switch (step) {
    case ZU_DDP_DRAGnDROP_CHECK:
    case ZU_DDP_DRAGnDROP_SUBST:
        return true;
    case ZU_DDP_DRAGnDROP_ENTER:
        ChangeState(ZU_VIEW_IS_DROP_DST, true, false);
        Display(true);
        return true;
    case ZU_DDP_DRAGnDROP_LEAVE:
    case ZU_DDP_DRAGnDROP_CANCEL:
        ChangeState(ZU_VIEW_IS_DROP_DST, false, false);
        Display(true);
        StopAutoScroll();
        return true;
    case ZU_DDP_DRAGnDROP_MOTION:
        if (state.TestBit(ZU_VIEW_IS_DROP_DST)) {
            drop_x = rect.X1();
            drop_y = (rect.Y1() + rect.Y2()) / 2;
            HandleDropMotion();
        }
        return true;
    case ZU_DDP_DRAGnDROP_COMMIT:
        ChangeState(ZU_VIEW_IS_DROP_DST, false, false);
        StopAutoScroll();
        if (drop_caret_shown) {
            hilite_pos_1 = 0;
            hilite_pos_2 = 0;
            cursor_pos = std::min(pointer_pos, Length());
            UpdateCursorGeometry();
        }
        ReplaceSelection(dropped, true);
        Display(true);
        return true;
    default:
        return ZuControl::DragAndDrop(rect, object, step);
    }
}

void ZuTextLine::HandleDropMotion()
{
    const unsigned pos = ComputePos(drop_x, drop_y);
    if (!IsHilited() || !dragging_own_text || pos < Lo() || pos > Hi()) {
        drop_caret_x = RetTextIntervalWidth(0, pos);
        pointer_pos = pos;
        drop_caret_shown = true;
    } else {
        drop_caret_shown = false;
    }
    ZuControl::HandleDropMotion();
}
