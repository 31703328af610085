// ZuToolTip: the small floating window that shows a control's tool-tip
// text. The control makes one when the pointer makes it hot and gives it
// the text and a screen position under the pointer; the tip stays hidden
// for the look's tool-tip delay, then shows itself (at the pointer when it
// tracks it). The control dismisses it when it stops being hot. A tip does
// not outlive its place: it dismisses itself when a button is pressed
// anywhere in the program and when the window it belongs to moves. The
// text is a ZuTextTag child drawn in the look's small font and tool-tip
// colours.
#ifndef SI_TOOLTIP_H
#define SI_TOOLTIP_H

#include "si/event.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_HANDLE(ZuToolTip, ZuWindow)
class ZuToolTip : public ZuWindow {
    ZU_CLASS(ZuToolTip, ZuWindow)
public:
    // The tick id of the delayed show.
    enum { kShowTick = 3 };

    ZuToolTip();

    // Removes a pending show, closes the window, deletes the text view and
    // stops watching the presses. Once: a tip that dismissed itself may be
    // dismissed again by its control.
    void Delete() override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The delayed show (id 3): moves to the pointer when tracking, shows.
    void Tick(unsigned id) override;
    // SetTitle(title, 0, 0, false, false).
    bool SetTitle(const ZuStringRef& title) override;

    // Deletes the tip.
    virtual bool Dismiss();
    // Makes the text view, sizes the window to it and places it at (x, y)
    // on the screen, pulled inside the display's right and bottom edges.
    // Delayed: the window shows after the look's tool-tip delay; otherwise
    // the caller shows it. True.
    virtual bool SetTitle(const ZuStringRef& title, double x, double y, bool delayed,
                          bool tracking);
    virtual bool SetTracking(bool tracking);
    virtual bool RetTracking() const;

    // The window of the control that opened the tip: the tip closes when
    // that window moves.
    void SetOwner(const ZuWindowRef& window) { owner = window; }
    const ZuWindowRef& RetOwner() const { return owner; }

    const ZuTextTagRef& RetTip() const { return tip; }
    bool IsTicking() const { return ticking; }

protected:
    // "<ZuToolTip tip is_tracking>"; the pending show is not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuTextTagRef tip;
    bool ticking = false;
    bool is_tracking = false;
    // Not stored: what the tip watches while it is on the screen.
    ZuWindowRef owner;
    bool watching_presses = false;
    bool deleted = false;

private:
    // (x, y) moved so that a w x h window ends inside the display that
    // holds the point.
    static void KeepInside(double& x, double& y, double w, double h);
    // The presses that dismiss the tip (an event spy calling "Dismiss").
    static ZuEventMask PressMask();
};
ZU_CLASS_END(ZuToolTip)

#endif
