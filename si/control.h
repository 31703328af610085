#ifndef SI_CONTROL_H
#define SI_CONTROL_H

// ZuControl: the base of every clickable widget. It adds to a view a style
// (highlighting, click behaviour, relief, toggling), the click protocol
// (press, hold with continuous reports, release, leaving and coming back
// with a button held, keyboard activation, the final Action that reports
// "notify_clicked"), the interactive state that drives colours and the
// adorner, the hot state with its tool tip, a keyboard shortcut registered
// with the window, automatic scrolling while something is dragged past the
// edge, and the drawing of background and relief through the adorner.

#include "si/adorner.h"
#include "si/colorpixel.h"
#include "si/ctrlstate.h"
#include "si/key.h"
#include "si/string.h"
#include "si/view.h"

// clang-format off
#define ZU_CTRL_ACTION_TYPE_LIST(X)                                                  \
    X(ZU_CTRL_ACTION_NONE, 0) X(ZU_CTRL_ACTION_CLICKED, 1) X(ZU_CTRL_ACTION_ON, 2)   \
    X(ZU_CTRL_ACTION_OFF, 3) X(ZU_CTRL_ACTION_HOT_ON, 4) X(ZU_CTRL_ACTION_HOT_OFF, 5)
// The table's order is the order of ++: ZU_CTRL_IGNORE_HOT stands last.
#define ZU_CTRL_STYLE_BIT_LIST(X)                                                    \
    X(ZU_CTRL_HILITE_WHEN_ON, 0) X(ZU_CTRL_HILITE_WHEN_HOT, 1)                       \
    X(ZU_CTRL_HILITE_WHEN_CLICKED, 2) X(ZU_CTRL_EFFECT_WHEN_ON, 4)                   \
    X(ZU_CTRL_EFFECT_WHEN_HOT, 5) X(ZU_CTRL_EFFECT_WHEN_CLICKED, 6)                  \
    X(ZU_CTRL_EFFECT_WHEN_ACTIVE, 7) X(ZU_CTRL_SELECT_WHEN_ON, 8)                    \
    X(ZU_CTRL_SELECT_WHEN_HOT, 9) X(ZU_CTRL_SELECT_WHEN_CLICKED, 10)                 \
    X(ZU_CTRL_CLICK_EXCLUSIVE, 12) X(ZU_CTRL_CLICK_CONT_REPORT, 13)                  \
    X(ZU_CTRL_CLICK_BROADCAST, 14) X(ZU_CTRL_DRAW_RELIEF, 16)                        \
    X(ZU_CTRL_DRAW_SUNKEN, 17) X(ZU_CTRL_DRAW_INVERT, 18)                            \
    X(ZU_CTRL_DRAW_ADORNER, 19) X(ZU_CTRL_TOGGLE_SWITCH, 24)                         \
    X(ZU_CTRL_TOGGLE_RADIO, 25) X(ZU_CTRL_TOGGLE_TWICE, 26)                          \
    X(ZU_CTRL_TOGGLE_BROADCAST, 27) X(ZU_CTRL_IGNORE_HOT, 20)
// clang-format on
ZU_ENUM(ZuCtrlActionType, ZU_CTRL_ACTION_TYPE_LIST)
ZU_ENUM(ZuCtrlStyleBit, ZU_CTRL_STYLE_BIT_LIST)

typedef Bitset<ZuCtrlStyleBit> ZuCtrlStyle;
extern const Zuvi_TypeDef ZuCtrlStyle_type;
ZuCtrlStyle Zuvi_ValueToZuCtrlStyle(const ZuValueRef& value);

ZU_FORWARD(ZuGrailPort)

// A control reaches its tool-tip window only through these calls, which the
// tool-tip class fills in at start-up; without them a control opens no tip.
// The tip is made by name ("ZuToolTip") through the class factory.
struct Zuvi_ToolTipCalls {
    // Shows the caption at a screen position, after the look's delay when
    // delayed, following the pointer when tracking.
    bool (*set_title)(const ZuObjectRef& tip, const ZuStringRef& caption, double x, double y,
                      bool delayed, bool tracking) = nullptr;
    // Closes the tip window.
    void (*dismiss)(const ZuObjectRef& tip) = nullptr;
    // Ties the tip to the control's window: it closes when that moves.
    void (*set_owner)(const ZuObjectRef& tip, const ZuWindowRef& window) = nullptr;
};

ZU_HANDLE(ZuControl, ZuView)
class ZuControl : public ZuView {
    ZU_CLASS(ZuControl, ZuView)
public:
    ZuControl();
    ~ZuControl() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // Responder.
    void KeyDown(const ZuEventRef& event) override;
    void KeyUp(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void EnterNotify(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;
    // Id 1: the continuous click report; id 5: automatic scrolling.
    void Tick(unsigned id) override;

    // View.
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void NotifyStateChange(const ZuViewState& changed) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    bool SetWindow(const ZuWindowRef& window) override;
    bool SetParent(const ZuViewRef& parent) override;
    void GetMinSize(double& dx, double& dy) const override;
    void GetMaxSize(double& dx, double& dy) const override;
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;

    // Hook after a style change, with the bits that really changed.
    virtual void NotifyStyleChange(const ZuCtrlStyle& changed);
    // The continuous click report (tick id 1).
    virtual void DisableTick();
    virtual void EnableTick();
    // Recomputes the interactive state from the view state.
    virtual void UpdateInteractiveState();
    // The highlight colour of the current state, if any.
    virtual bool MapStateToBackColor(ZuLookColor& color);
    virtual void StartAutoScroll(double direction, double amount, bool starting);
    virtual void StopAutoScroll();
    // The click: start, end, completion (true by the pointer, false by
    // the keyboard).
    virtual void ActionOn();
    virtual void ActionOff();
    virtual void Action(bool flag);
    using ZuView::Action;
    // The pointer came over the control, or left it.
    virtual void HotOn();
    virtual void HotOff();
    // Whether a point calls for automatic scrolling (direction in degrees,
    // amount non-zero while scrolling is wanted).
    virtual bool DetectAutoScroll(double x, double y, double& direction, double& amount);
    virtual void HandleAutoScroll(double direction, double amount);
    virtual void HandleDropMotion();
    virtual void HandleSelectMotion();
    virtual void DrawActiveFrame(const ZuGrailPortRef& port, const ZuAdornerRef& adorner,
                                 double size);
    // The inbox, given and returned relative to the view's origin.
    virtual bool SetInbox(const ZuRect& rect);
    virtual bool GetInbox(ZuRect& rect) const;
    virtual bool SetStyle(const ZuCtrlStyle& style);
    virtual bool ChangeStyle(ZuCtrlStyleBit bit, bool value);
    virtual bool ChangeStyle(const ZuCtrlStyle& bits, bool value);
    virtual bool SetSensitiveButtons(const ZuEventButtons& buttons);
    virtual bool SetReliefColor(const ZuColorPixel& color);
    virtual bool SetToolTip(const ZuStringRef& caption);
    virtual bool SetBackAdornerName(const ZuAtomRef& name);
    virtual bool SetForeAdornerName(const ZuAtomRef& name);
    virtual const ZuCtrlStyle& RetStyle() const;
    virtual ZuEventButtons RetSensitiveButtons() const;
    virtual ZuColorPixel RetReliefColor() const;
    virtual const ZuStringRef& RetToolTip() const;
    virtual const ZuAtomRef& RetBackAdornerName() const;
    virtual const ZuAtomRef& RetForeAdornerName() const;
    virtual ZuCtrlState RetInteractiveState() const;
    // The look's 3-D effect width with ZU_CTRL_DRAW_RELIEF, else 0.
    virtual double RetEffectSize() const;
    virtual bool SetDesiredMinSize(double dx, double dy);
    virtual bool GetDesiredMinSize(double& dx, double& dy) const;
    // The keyboard shortcut, registered with the control's window.
    virtual bool SetKeyAlt(const ZuKey& key);
    virtual bool ClearKeyAlt();
    virtual bool GetKeyAlt(ZuKey& key) const;
    virtual bool HasKeyAlt() const;
    virtual ZuKey RetKeyAlt() const;
    // Fires the control when the event's key is its shortcut.
    virtual bool HandleKeyAlt(const ZuEventRef& event);
    virtual bool ActionOnKeyAlt();

    // The window asks by name "HandleKeyAlt" with the event as source.
    bool HandleKeyAlt(const ZuObjectRef& source, unsigned id);

    // The tool-tip window open over the control, if any.
    const ZuObjectRef& RetToolTipWindow() const { return tool_tip_window; }
    // The last point of a drag over the control.
    double RetDropX() const { return drop_x; }
    double RetDropY() const { return drop_y; }

    // Filled in by the tool-tip class.
    static Zuvi_ToolTipCalls tool_tip_calls;
    // The classes made by name for tips and for titles ("ZuToolTip",
    // "ZuTextTag"); a test may put stand-ins of its own in their place.
    static const char* tool_tip_class;
    static const char* text_tag_class;

    static ZuAtomRef notify_clicked;
    static ZuAtomRef notify_still_clicked;
    static ZuAtomRef notify_entered;
    static ZuAtomRef notify_left;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The key with the lock and side modifiers removed.
    static ZuKeyModifiers StripModifiers(const ZuKeyModifiers& modifiers, bool keep_none);
    // Closes and forgets the tool-tip window: dismissed, or deleted.
    void CloseToolTip(bool dismiss);

    ZuCtrlStyle style;
    ZuEventButtons sensitive_buttons;
    ZuColorPixel relief_color;
    ZuCtrlState i_state = ZU_CTRL_STATE_NORMAL;
    ZuAtomRef back_adorner_name;
    ZuAtomRef fore_adorner_name;
    ZuFrameEdges back_adorner_frame;
    ZuFrameEdges fore_adorner_frame;
    bool key_alt_registered = false;
    ZuKey key_alt;
    ZuStringRef tool_tip_caption;
    ZuObjectRef tool_tip_window;
    // Kept in the coordinates of the view's box.
    ZuRect inbox;
    double min_dx = 0;
    double min_dy = 0;
    double auto_scroll_direction = 0;
    double auto_scroll_amount = 0;
    double drop_x = 0;
    double drop_y = 0;
};
ZU_CLASS_END(ZuControl)

#endif
