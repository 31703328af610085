#include "si/scroller.h"

#include <cmath>

#include "si/adorner.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/event.h"
#include "si/except.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuScroller, "si/scroller", ZU_CLASS_PLAIN)

ZuAtomRef ZuScroller::notify_scrolled;
ZuAtomRef ZuScroller::notify_scroll_began;
ZuAtomRef ZuScroller::notify_scroll_ended;

ZU_EXPORT_NOTIFY(ZuScroller, scrolled, "notify_scrolled", &ZuScroller::notify_scrolled)
ZU_EXPORT_NOTIFY(ZuScroller, scroll_began, "notify_scroll_began", &ZuScroller::notify_scroll_began)
ZU_EXPORT_NOTIFY(ZuScroller, scroll_ended, "notify_scroll_ended", &ZuScroller::notify_scroll_ended)
static Zuvi_NotifyExport zuvi_notify_ZuScroller_value(&ZuScrollerRef::RetRuntime(),
                                                      "notify_scrolled", "visible_value", nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuScroller_value_changed(&ZuScrollerRef::RetRuntime(),
                                                              "notify_changed", "visible_value",
                                                              nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuScroller_ratio_changed(&ZuScrollerRef::RetRuntime(),
                                                              "notify_changed", "visible_ratio",
                                                              nullptr);

bool ZuScroller::look_inited = false;
double ZuScroller::look_thickness = 16;
double ZuScroller::look_breadth = 16;
double ZuScroller::look_frame = 1;
double ZuScroller::look_3D_effect = 2;
unsigned ZuScroller::look_repeat = 50;
unsigned ZuScroller::look_start = 300;

namespace {

// The look manager the class-wide values were last read from: a new one
// (a test, a restart of the look) is read again.
const void* look_seen = nullptr;

ZuScroller* AsScroller(ZuObject* o)
{
    return static_cast<ZuScroller*>(o);
}

// NaN counts as 0; everything is kept in [0, 1].
double Unit(double v)
{
    if (std::isnan(v) || v < 0)
        return 0;
    return v > 1 ? 1 : v;
}

void GetValue(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetVisibleValue());
}
bool SetValue(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetVisibleValue(Zuvi_ValueToReal(v));
}
void GetRatio(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetVisibleRatio());
}
bool SetRatio(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetVisibleRatio(Zuvi_ValueToReal(v));
}
void GetIncrement(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetIncrement());
}
bool SetIncrement(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetIncrement(Zuvi_ValueToReal(v));
}
void GetPageIncrement(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetPageIncrement());
}
bool SetPageIncrement(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetPageIncrement(Zuvi_ValueToReal(v));
}
void GetSteps(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetTotalSteps());
}
bool SetSteps(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetTotalSteps(Zuvi_ValueToCount(v));
}
void GetSnap(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsScroller(o)->RetSnapToStep());
}
bool SetSnap(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsScroller(o)->SetSnapToStep(Zuvi_ValueToBool(v));
}

void DeclareScrollerData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &ZuScrollerRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "visible_value", "Visible value", &Real_type, true, true, &GetValue, &SetValue},
        {rt, "visible_ratio", "Visible ratio", &Real_type, true, true, &GetRatio, &SetRatio},
        {rt, "increment", "Increment Step", &Real_type, true, true, &GetIncrement, &SetIncrement},
        {rt, "page_increment", "Page Increment Step", &Real_type, true, true, &GetPageIncrement,
         &SetPageIncrement},
        {rt, "num_steps", "Discrete # of steps", &Count_type, true, true, &GetSteps, &SetSteps},
        {rt, "snap_to_step", "Snap to nearest step", &Bool_type, true, true, &GetSnap, &SetSnap},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport scroller_data(&DeclareScrollerData, ZuScrollerRef::RetRuntime());

Zuvi_TargetExport on_click_export(
    [](ZuObject* o, const ZuObjectRef& s, unsigned part) -> bool {
        AsScroller(o)->OnClick(s, part);
        return true;
    },
    "OnClick", ZuScrollerRef::RetRuntime());
Zuvi_TargetExport on_cont_click_export(
    [](ZuObject* o, const ZuObjectRef& s, unsigned part) -> bool {
        AsScroller(o)->OnContClick(s, part);
        return true;
    },
    "OnContClick", ZuScrollerRef::RetRuntime());
Zuvi_TargetExport increment_export(
    [](ZuObject* o) -> bool {
        AsScroller(o)->ScrollIncrement();
        return true;
    },
    "ScrollIncrement", ZuScrollerRef::RetRuntime());
Zuvi_TargetExport decrement_export(
    [](ZuObject* o) -> bool {
        AsScroller(o)->ScrollDecrement();
        return true;
    },
    "ScrollDecrement", ZuScrollerRef::RetRuntime());
Zuvi_TargetExport snap_export(
    [](ZuObject* o) -> bool {
        AsScroller(o)->SnapToStep();
        return true;
    },
    "SnapToStep", ZuScrollerRef::RetRuntime());

ZuStorageSync& ScrollerRecord()
{
    static ZuStorageSync record(
        "<ZuScroller value ratio increment page_increment num_steps : init_arrow_pos "
        "real_arrow_pos : is_arrow_init_ok arrow_incr0 arrow_incr1 arrow_decr0 arrow_decr1 : "
        "is_horiz is_snap_to_step>");
    return record;
}

// Arrow fitting: the body must be longer than A x frame + B x T + T.
const double kFitA[] = {2, 1, 1, 0, 0};
const double kFitB[] = {0, 2, 2, 2, 4};

} // namespace

void ZuScroller::ReadLook(bool full)
{
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid())
        return;
    double w = 0, h = 0;
    if (full) {
        if (look->GetIconSize(ZuAtomRef("Zuvi_ScrollerUpArrow"), w, h, 0) && w > 0 && h > 0) {
            look_thickness = h;
            look_breadth = w;
        }
    } else if (look->GetIconSize(ZuAtomRef("Zuvi_ScrollerLeftNormal"), w, h, 0) && w > 0 &&
               w == h) {
        // A missing or non-square picture keeps the breadth known so far.
        look_breadth = w;
    }
    look_frame = look->RetWidgetFrameSize();
    look_3D_effect = look->Ret3DEffectWidth();
    look_repeat = look->RetAutoRepeatTime();
    look_start = look->RetAutoStartTime();
    look_inited = true;
    look_seen = look.Resolve();
}

ZuScroller::ZuScroller()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    if (!look_inited || (look.IsValid() && look.Resolve() != look_seen))
        ReadLook(true);
    if (look.IsValid() && IsValid(look->RetScrollArrowPos()))
        init_arrow_pos = real_arrow_pos = look->RetScrollArrowPos();
    state.SetBit(ZU_VIEW_IS_ENABLED);
    state.ClearBit(ZU_VIEW_OK_ACTIVE);
    style.SetBit(ZU_CTRL_CLICK_EXCLUSIVE);
}

ZuScroller::~ZuScroller()
{
    DeleteScrollerResources();
}

void ZuScroller::DeleteScrollerResources()
{
    ZuIconRef* arrows[] = {&arrow_incr0, &arrow_incr1, &arrow_decr0, &arrow_decr1};
    for (ZuIconRef* a : arrows) {
        if (a->IsValid()) {
            ZuIconRef icon = *a;
            *a = ZuIconNull;
            icon->Delete();
        }
    }
    is_arrow_init_ok = false;
}

void ZuScroller::Delete()
{
    DeleteScrollerResources();
    ZuControl::Delete();
}

void ZuScroller::Awake()
{
    ZuControl::Awake();
    CheckSpaceForParts();
}

void ZuScroller::AwakeFromApp(const ZuAppRef& app)
{
    ZuControl::AwakeFromApp(app);
    CheckSpaceForParts();
}

void ZuScroller::AwakeFromObject(const ZuObjectRef& obj)
{
    ZuControl::AwakeFromObject(obj);
    CheckSpaceForParts();
}

// ---- Arrows and geometry ----

void ZuScroller::InitArrow(ZuIconRef& icon, unsigned part)
{
    if (icon.IsValid())
        return;
    icon = ZuNew<ZuIcon>(RetMemZone());
    icon->SetParent(ZuViewRef(this));
    icon->ChangeStyle(ZU_CTRL_CLICK_CONT_REPORT, true);
    icon->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
    icon->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    icon->ChangeState(ZU_VIEW_NO_UI_INSPECT, true, false);
    icon->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClick"), part);
    icon->AttachObserver(ZuObjectRef(this), ZuControl::notify_still_clicked,
                         ZuAtomRef("OnContClick"), part);
}

void ZuScroller::InitIcons(bool horizontal)
{
    ZuAtomRef decr(horizontal ? "Zuvi_ScrollerLeftArrow" : "Zuvi_ScrollerUpArrow");
    ZuAtomRef incr(horizontal ? "Zuvi_ScrollerRightArrow" : "Zuvi_ScrollerDownArrow");
    ZuIconRef* decrs[] = {&arrow_decr0, &arrow_decr1};
    ZuIconRef* incrs[] = {&arrow_incr0, &arrow_incr1};
    for (ZuIconRef* a : decrs)
        if (a->IsValid())
            (*a)->Initialise(decr, true);
    for (ZuIconRef* a : incrs)
        if (a->IsValid())
            (*a)->Initialise(incr, true);
    ZuIconRef* all[] = {&arrow_incr0, &arrow_incr1, &arrow_decr0, &arrow_decr1};
    for (ZuIconRef* a : all)
        if (a->IsValid())
            (*a)->ResetDefaultSize();
}

double ZuScroller::RetFrame() const
{
    return style.TestBit(ZU_CTRL_DRAW_ADORNER) ? 0 : look_frame;
}

void ZuScroller::CheckSpaceForParts()
{
    const double frame = RetFrame();
    const double t = look_thickness;
    body_start = is_horiz ? box.X1() : box.Y1();
    body_end = is_horiz ? box.X2() : box.Y2();
    ZuScrollArrowPos pos = init_arrow_pos;
    if (!IsValid(pos))
        ZU_ABORT("Unsupported arrow position.");
    while (pos != ZU_SCROLL_ARROW_NONE &&
           body_end - body_start <= kFitA[pos] * frame + kFitB[pos] * t + t)
        pos = pos == ZU_SCROLL_ARROW_BOTH ? ZU_SCROLL_ARROW_NORMAL : ZU_SCROLL_ARROW_NONE;
    real_arrow_pos = pos;
    switch (pos) {
    case ZU_SCROLL_ARROW_NONE:
        body_start += frame;
        body_end -= frame;
        break;
    case ZU_SCROLL_ARROW_MAX:
        body_start += frame;
        body_end -= 2 * t;
        break;
    case ZU_SCROLL_ARROW_MIN:
        body_start += 2 * t;
        body_end -= frame;
        break;
    case ZU_SCROLL_ARROW_NORMAL:
        body_start += t;
        body_end -= t;
        break;
    case ZU_SCROLL_ARROW_BOTH:
        body_start += 2 * t;
        body_end -= 2 * t;
        break;
    default:
        ZU_ABORT("Unsupported arrow position.");
    }
    UpdateKnobSize();
    knob_pos = ((body_end - body_start + 1) - knob_size) * value;
    if (!is_arrow_init_ok)
        return;
    const double x0 = box.X1(), y0 = box.Y1();
    const double dx = is_horiz ? t : 0, dy = is_horiz ? 0 : t;
    const double lx = is_horiz ? box.X2() - t + 1 : x0;
    const double ly = is_horiz ? y0 : box.Y2() - t + 1;
    struct Place {
        ZuIconRef* icon;
        bool shown;
        double x, y;
    };
    Place places[4] = {{&arrow_decr0, false, 0, 0},
                       {&arrow_incr0, false, 0, 0},
                       {&arrow_decr1, false, 0, 0},
                       {&arrow_incr1, false, 0, 0}};
    switch (pos) {
    case ZU_SCROLL_ARROW_MAX:
        places[0] = {&arrow_decr0, true, lx - dx, ly - dy};
        places[1] = {&arrow_incr0, true, lx, ly};
        break;
    case ZU_SCROLL_ARROW_MIN:
        places[0] = {&arrow_decr0, true, x0, y0};
        places[1] = {&arrow_incr0, true, x0 + dx, y0 + dy};
        break;
    case ZU_SCROLL_ARROW_NORMAL:
        places[0] = {&arrow_decr0, true, x0, y0};
        places[1] = {&arrow_incr0, true, lx, ly};
        break;
    case ZU_SCROLL_ARROW_BOTH:
        places[0] = {&arrow_decr0, true, x0, y0};
        places[3] = {&arrow_incr1, true, x0 + dx, y0 + dy};
        places[2] = {&arrow_decr1, true, lx - dx, ly - dy};
        places[1] = {&arrow_incr0, true, lx, ly};
        break;
    default:
        break;
    }
    for (const Place& p : places) {
        if (p.icon->IsInvalid())
            continue;
        if (p.shown)
            (*p.icon)->SetOrigin(p.x, p.y);
        (*p.icon)->ChangeState(ZU_VIEW_NO_DISPLAY, !p.shown, false);
    }
}

void ZuScroller::UpdateKnobSize()
{
    knob_size = std::trunc((body_end - body_start + 1) * ratio + 0.5);
    const double least = look_breadth - 2 * RetFrame();
    if (knob_size < least)
        knob_size = least;
}

void ZuScroller::Initialise(double x, double y, double length, bool horizontal, unsigned steps)
{
    InitArrow(arrow_incr0, 2);
    InitArrow(arrow_incr1, 2);
    InitArrow(arrow_decr0, 1);
    InitArrow(arrow_decr1, 1);
    is_arrow_init_ok = true;
    InitIcons(horizontal);
    is_horiz = horizontal;
    num_steps = steps;
    SetOrigin(x, y);
    if (horizontal)
        SetSize(length, look_breadth);
    else
        SetSize(look_breadth, length);
    CheckSpaceForParts();
    is_initialised = true;
}

void ZuScroller::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuControl::NotifyGeometryChange(old_box);
    CheckSpaceForParts();
}

// ---- Value ----

void ZuScroller::SetArrowPos(ZuScrollArrowPos pos)
{
    init_arrow_pos = pos;
    CheckSpaceForParts();
}

bool ZuScroller::SetIncrement(double step)
{
    increment = step;
    return true;
}

bool ZuScroller::SetPageIncrement(double step)
{
    page_increment = step;
    return true;
}

bool ZuScroller::SetVisibleValue(double v)
{
    v = Unit(v);
    if (v != value) {
        value = v;
        CheckSpaceForParts();
        QuickReportChange(0);
    }
    return true;
}

bool ZuScroller::SetVisibleRatio(double r)
{
    r = Unit(r);
    if (r != ratio) {
        ratio = r;
        CheckSpaceForParts();
        QuickReportChange(0);
    }
    return true;
}

bool ZuScroller::SetTotalSteps(unsigned n)
{
    num_steps = n < 2 ? 0 : n;
    return true;
}

bool ZuScroller::SetSnapToStep(bool snap)
{
    if (snap != is_snap_to_step) {
        is_snap_to_step = snap;
        if (snap)
            SnapToStep();
    }
    return true;
}

double ZuScroller::RetIncrement() const
{
    return increment;
}

double ZuScroller::RetPageIncrement() const
{
    return page_increment;
}

double ZuScroller::RetVisibleValue() const
{
    if (num_steps <= 1)
        return value;
    const double n = num_steps - 1;
    return std::trunc(value * n + 0.5) / n;
}

double ZuScroller::RetInternalValue() const
{
    return value;
}

double ZuScroller::RetVisibleRatio() const
{
    return ratio;
}

unsigned ZuScroller::RetTotalSteps() const
{
    return num_steps;
}

bool ZuScroller::RetSnapToStep() const
{
    return is_snap_to_step;
}

double ZuScroller::RetBreadth() const
{
    return look_breadth;
}

void ZuScroller::SnapToStep()
{
    if (num_steps == 0)
        return;
    const double v = RetVisibleValue();
    if (v != value) {
        SetVisibleValue(v);
        Display(true);
        QuickReport(notify_scrolled, 0);
    }
}

void ZuScroller::Scroll(unsigned part)
{
    double v = value;
    switch (part) {
    case 1:
        v -= increment;
        break;
    case 2:
        v += increment;
        break;
    case 3:
        v -= page_increment;
        break;
    case 4:
        v += page_increment;
        break;
    default:
        return;
    }
    v = Unit(v);
    if (v == value)
        return;
    SetVisibleValue(v);
    QuickReport(notify_scrolled, 1);
    Display(true);
    ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid())
        adorner->Flush(ZU_FLUSH_SYNC);
}

void ZuScroller::ScrollIncrement()
{
    Scroll(2);
}

void ZuScroller::ScrollDecrement()
{
    Scroll(1);
}

void ZuScroller::OnClick(const ZuObjectRef&, unsigned part)
{
    cont_click_time = 0;
    Scroll(part);
    if (is_snap_to_step)
        SnapToStep();
}

void ZuScroller::OnContClick(const ZuObjectRef&, unsigned part)
{
    cont_click_time += look_repeat;
    if (cont_click_time > look_start)
        Scroll(part);
}

// ---- Input ----

void ZuScroller::ButtonPress(const ZuEventRef& event)
{
    if (event.IsInvalid() || !state.TestBit(ZU_VIEW_IS_ENABLED) ||
        state.TestBit(ZU_VIEW_IS_CLICKED) || event->RetChange() != ZU_EV_BUTTON_LEFT)
        return;
    const double p = (is_horiz ? event->RetX() : event->RetY()) - body_start;
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
    ActionOn();
    QuickReport(notify_scroll_began, 1);
    Display(true);
    if (knob_pos <= p && p <= knob_pos + knob_size) {
        knob_grab = p - knob_pos;
    } else {
        knob_grab = knob_size * 0.5;
        DragNotify(event);
    }
}

void ZuScroller::DragNotify(const ZuEventRef& event)
{
    if (event.IsInvalid() || !state.TestBit(ZU_VIEW_IS_CLICKED))
        return;
    const double travel = (body_end - body_start + 1) - knob_size;
    double p = (is_horiz ? event->RetX() : event->RetY()) - body_start - knob_grab;
    if (p > travel)
        p = travel;
    if (p < 0)
        p = 0;
    if (p == knob_pos)
        return;
    knob_pos = p;
    // A knob as long as the body has no travel: it stays at the start.
    SetVisibleValue(travel > 0 ? p / travel : 0);
    QuickReport(notify_scrolled, 1);
    Display(true);
}

void ZuScroller::ButtonRelease(const ZuEventRef& event)
{
    if (event.IsInvalid() || !state.TestBit(ZU_VIEW_IS_ENABLED) ||
        !state.TestBit(ZU_VIEW_IS_CLICKED) || event->RetChange() != ZU_EV_BUTTON_LEFT)
        return;
    if (window.IsValid())
        window->SetDraggingView(ZuViewNull);
    if (is_snap_to_step)
        SnapToStep();
    QuickReport(notify_scroll_ended, 1);
    ActionOff();
    Display(true);
}

void ZuScroller::KeyDown(const ZuEventRef& event)
{
    if (event.IsValid() && event->RetKey().type == ZU_KEY_CURSOR) {
        unsigned part = 0;
        const unsigned code = event->RetKey().code;
        if (is_horiz)
            part = code == ZU_CURSOR_LEFT ? 1 : code == ZU_CURSOR_RIGHT ? 2 : 0;
        else
            part = code == ZU_CURSOR_UP ? 1 : code == ZU_CURSOR_DOWN ? 2 : 0;
        if (part != 0)
            Scroll(part);
    }
    ZuControl::KeyDown(event);
}

void ZuScroller::KeyUp(const ZuEventRef& event)
{
    ZuControl::KeyUp(event);
}

// ---- Drawing ----

void ZuScroller::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
}

void ZuScroller::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    DrawBody(port);
    DrawKnob(port);
}

void ZuScroller::DrawBody(const ZuGrailPortRef& port)
{
    if (port.IsInvalid() || style.TestBit(ZU_CTRL_DRAW_ADORNER))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->DrawRect(box, ZU_COLOR_BLACK, 0);
}

void ZuScroller::DrawKnob(const ZuGrailPortRef& port)
{
    ZU_ASSERT_AT(is_knob_ok, "this->is_knob_ok", 569, "si/scroller");
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const double frame = RetFrame();
    const bool adorned = style.TestBit(ZU_CTRL_DRAW_ADORNER);
    ZuRect track = is_horiz ? ZuRect(body_start, box.Y1() + frame, body_end, box.Y2() - frame)
                            : ZuRect(box.X1() + frame, body_start, box.X2() - frame, body_end);
    if (adorned)
        adorner->DrawFrame(ZuAtomRef(is_horiz ? "Zuvi_ScrollerHBack" : "Zuvi_ScrollerVBack"), track,
                           i_state, 0);
    else
        adorner->FillRect(track, ZU_COLOR_WIDGET_BACK, 0);
    if (!state.TestBit(ZU_VIEW_IS_ENABLED))
        return;
    const double across = look_breadth - 2 * frame;
    ZuRect knob;
    if (knob_size > 0 && across > 0) {
        if (is_horiz)
            knob = ZuRect(track.X1() + knob_pos, track.Y1(), track.X1() + knob_pos + knob_size - 1,
                          track.Y1() + across - 1);
        else
            knob = ZuRect(track.X1(), track.Y1() + knob_pos, track.X1() + across - 1,
                          track.Y1() + knob_pos + knob_size - 1);
    }
    if (!knob.IsEmpty()) {
        if (adorned) {
            adorner->DrawFrame(ZuAtomRef(is_horiz ? "Zuvi_ScrollerHKnob" : "Zuvi_ScrollerVKnob"),
                               knob, i_state, 0);
        } else {
            adorner->DrawRectHigh(knob, 0);
            adorner->FillRect(knob,
                              state.TestBit(ZU_VIEW_IS_CLICKED) ? ZU_COLOR_HILITE_CLICKED
                                                                : ZU_COLOR_WIDGET_FORE,
                              look_3D_effect);
        }
    }
    if (state.TestBit(ZU_VIEW_IS_ACTIVE)) {
        port->SetLineStyle(ZU_LINE_DOT);
        adorner->DrawRect(knob, ZU_COLOR_BLACK, look_3D_effect);
        port->SetLineStyle(ZU_LINE_SOLID);
    }
}

// ---- Sizes and look ----

void ZuScroller::GetMinSize(double& dx, double& dy) const
{
    dx = is_horiz ? 3 * look_breadth : look_breadth;
    dy = is_horiz ? look_breadth : 3 * look_breadth;
}

void ZuScroller::GetMaxSize(double& dx, double& dy) const
{
    ZuControl::GetMaxSize(dx, dy);
    if (is_horiz)
        dy = look_breadth;
    else
        dx = look_breadth;
}

void ZuScroller::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    ZuControl::Broadcast(name, argument);
    if (name != ZuAtomRef("LookManChanged"))
        return;
    ReadLook(false);
    if (!is_initialised)
        return;
    double length = 0;
    if (!box.IsEmpty())
        length = is_horiz ? box.DX() : box.DY();
    // The scroller keeps its own step count across a change of look: a
    // list's one-item steps must survive it.
    Initialise(box.X1(), box.Y1(), length, is_horiz, num_steps);
}

// ---- Storage ----

void ZuScroller::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << ScrollerRecord() << ZuStorageSync::begin;
    s->StoreReal(value);
    s->StoreReal(ratio);
    s->StoreReal(increment);
    s->StoreReal(page_increment);
    s->StoreCard(num_steps);
    s << ZuStorageSync::mark;
    s << init_arrow_pos << real_arrow_pos;
    s << ZuStorageSync::mark;
    s->StoreBool(is_arrow_init_ok);
    s->StoreObject(arrow_incr0);
    s->StoreObject(arrow_incr1);
    s->StoreObject(arrow_decr0);
    s->StoreObject(arrow_decr1);
    s << ZuStorageSync::mark;
    s->StoreBool(is_horiz);
    s->StoreBool(is_snap_to_step);
    s << ZuStorageSync::end;
}

void ZuScroller::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    value = Unit(s->RestoreReal(value));
    ratio = Unit(s->RestoreReal(ratio));
    increment = s->RestoreReal(increment);
    page_increment = s->RestoreReal(page_increment);
    num_steps = static_cast<unsigned>(s->RestoreCard(num_steps));
    s >> ZuStorageSync::mark;
    ZuScrollArrowPos init_pos = ZU_SCROLL_ARROW_NONE, real_pos = ZU_SCROLL_ARROW_NONE;
    s >> init_pos >> real_pos;
    if (!IsValid(init_pos) || !IsValid(real_pos))
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    init_arrow_pos = init_pos;
    real_arrow_pos = real_pos;
    s >> ZuStorageSync::mark;
    is_arrow_init_ok = s->RestoreBool(is_arrow_init_ok);
    ZuIconRef* arrows[] = {&arrow_incr0, &arrow_incr1, &arrow_decr0, &arrow_decr1};
    for (ZuIconRef* a : arrows) {
        ZuObjectRef o;
        s->RestoreObject(o, ZuIconRef::RetRuntime());
        // An arrow is one of the children restored with the view; anything
        // else in its place is no arrow.
        if (o.IsValid() && o->IsKindOf(ZuIconRef::RetRuntime()) &&
            ZuViewRef(o)->RetParent() == this)
            *a = ZuIconRef(o);
        else
            *a = ZuIconRef();
    }
    s >> ZuStorageSync::mark;
    is_horiz = s->RestoreBool(is_horiz);
    is_snap_to_step = s->RestoreBool(is_snap_to_step);
    s >> ZuStorageSync::end;
    if (is_arrow_init_ok)
        is_initialised = true;
}
