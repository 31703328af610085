#ifndef SI_SCROLLER_H
#define SI_SCROLLER_H

// ZuScroller: the library's scroll bar. It holds a position (value) and a
// visible proportion (ratio), both in [0, 1], shows them as a knob in a
// track between up to four arrow icons, and reports "notify_scrolled" for
// every move ("notify_scroll_began" and "notify_scroll_ended" around a
// drag of the knob). The knob follows the pointer; a press in the track
// centres it under the pointer; a held arrow repeats after the look's
// auto-start time; the cursor keys of its axis move it by one increment.
// With a step count of n > 1 the visible value is quantised to n positions.

#include "si/control.h"
#include "si/icon.h"
#include "si/scrollarrowpos.h"

ZU_HANDLE(ZuScroller, ZuControl)
class ZuScroller : public ZuControl {
    ZU_CLASS(ZuScroller, ZuControl)
public:
    ZuScroller();
    ~ZuScroller() override;

    void Awake() override;
    void AwakeFromApp(const ZuAppRef& app) override;
    void AwakeFromObject(const ZuObjectRef& obj) override;
    void Delete() override;
    void KeyDown(const ZuEventRef& event) override;
    void KeyUp(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void GetMinSize(double& dx, double& dy) const override;
    void GetMaxSize(double& dx, double& dy) const override;
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;

    // Makes one arrow icon (when the handle is empty) reporting the scroll
    // part to this scroller on click and while held.
    virtual void InitArrow(ZuIconRef& icon, unsigned part);
    virtual void InitIcons(bool horizontal);
    // Fits the arrows, then places body, knob and arrows.
    virtual void CheckSpaceForParts();
    virtual void UpdateKnobSize();
    virtual void DrawKnob(const ZuGrailPortRef& port);
    virtual void DrawBody(const ZuGrailPortRef& port);
    // Part 1 and 2: one increment down or up; 3 and 4: one page increment.
    virtual void Scroll(unsigned part);
    virtual void Initialise(double x, double y, double length, bool horizontal, unsigned steps);
    virtual void SetArrowPos(ZuScrollArrowPos pos);
    virtual bool SetIncrement(double step);
    virtual bool SetPageIncrement(double step);
    virtual bool SetVisibleValue(double v);
    virtual bool SetVisibleRatio(double r);
    virtual bool SetTotalSteps(unsigned n);
    virtual bool SetSnapToStep(bool snap);
    virtual double RetIncrement() const;
    virtual double RetPageIncrement() const;
    // The value quantised to the steps.
    virtual double RetVisibleValue() const;
    virtual double RetInternalValue() const;
    virtual double RetVisibleRatio() const;
    virtual unsigned RetTotalSteps() const;
    virtual bool RetSnapToStep() const;
    virtual double RetBreadth() const;
    virtual void OnClick(const ZuObjectRef& sender, unsigned part);
    virtual void OnContClick(const ZuObjectRef& sender, unsigned part);
    virtual void ScrollIncrement();
    virtual void ScrollDecrement();
    virtual void SnapToStep();

    // Read-only views of the geometry, for tests and derived classes.
    bool IsHorizontal() const { return is_horiz; }
    double RetBodyStart() const { return body_start; }
    double RetBodyEnd() const { return body_end; }
    double RetKnobPos() const { return knob_pos; }
    double RetKnobSize() const { return knob_size; }
    ZuScrollArrowPos RetInitArrowPos() const { return init_arrow_pos; }
    ZuScrollArrowPos RetRealArrowPos() const { return real_arrow_pos; }
    const ZuIconRef& RetArrowIncr(unsigned n) const { return n == 0 ? arrow_incr0 : arrow_incr1; }
    const ZuIconRef& RetArrowDecr(unsigned n) const { return n == 0 ? arrow_decr0 : arrow_decr1; }
    static double RetLookThickness() { return look_thickness; }

    static ZuAtomRef notify_scrolled;
    static ZuAtomRef notify_scroll_began;
    static ZuAtomRef notify_scroll_ended;

protected:
    // "<ZuScroller value ratio increment page_increment num_steps :
    // init_arrow_pos real_arrow_pos : is_arrow_init_ok arrow_incr0
    // arrow_incr1 arrow_decr0 arrow_decr1 : is_horiz is_snap_to_step>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Deletes the arrow icons.
    void DeleteScrollerResources();
    // The frame inset: none in adorner mode, else the look's frame.
    double RetFrame() const;
    // The class-wide look values, read from the current look manager; a
    // full read takes the arrow's length too.
    static void ReadLook(bool full);

    double value = 0.0;
    double ratio = 1.0;
    double increment = 0.1;
    double page_increment = 0.0;
    unsigned num_steps = 0;
    double body_start = 0.0;
    double body_end = 0.0;
    double knob_pos = 0.0;
    double knob_size = 0.0;
    double knob_grab = 0.0;
    unsigned cont_click_time = 0;
    bool is_horiz = false;
    bool is_knob_ok = true;
    bool is_arrow_init_ok = false;
    bool is_initialised = false;
    bool is_snap_to_step = false;
    ZuScrollArrowPos init_arrow_pos = ZU_SCROLL_ARROW_NORMAL;
    ZuScrollArrowPos real_arrow_pos = ZU_SCROLL_ARROW_NORMAL;
    ZuIconRef arrow_incr0;
    ZuIconRef arrow_incr1;
    ZuIconRef arrow_decr0;
    ZuIconRef arrow_decr1;

    static bool look_inited;
    static double look_thickness;
    static double look_breadth;
    static double look_frame;
    static double look_3D_effect;
    static unsigned look_repeat;
    static unsigned look_start;
};
ZU_CLASS_END(ZuScroller)

#endif
