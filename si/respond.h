#ifndef SI_RESPOND_H
#define SI_RESPOND_H

// ZuResponder: the base of everything that receives input. DispatchEvent
// turns one event into the call of the handler that matches its type; the
// default handlers hand the event on to the next responder, so that an event
// a view does not want travels up a chain (a control, then the views that
// enclose it). Enter and leave pass on to a next view only when the pointer
// really crossed its box. The main-responder protocol reports by name when a
// responder becomes or stops being its window's keyboard target. Every
// responder is a tick handler, so that a view, window or control handed to
// ZuApp::InsertTickResponder receives its Tick.

#include "si/atom.h"
#include "si/event.h"
#include "si/itickhandler.h"
#include "si/object.h"

ZU_FORWARD(ZuView)

ZU_HANDLE(ZuResponder, ZuObject)
class ZuResponder : public ZuObject, public ZuiTickHandler {
    ZU_CLASS(ZuResponder, ZuObject)
public:
    ZuResponder() {}

    virtual void SetNextResponder(const ZuResponderRef& next);
    virtual bool GetNextResponder(ZuResponderRef& out) const;
    virtual bool GetView(ZuViewRef& out);
    virtual bool WouldAcceptMain() const;
    virtual void BecomeMain(bool flag);
    virtual void ResignMain();
    virtual void DispatchEvent(const ZuEventRef& event);
    virtual void KeyDown(const ZuEventRef& event);
    virtual void KeyChange(const ZuEventRef& event);
    virtual void KeyUp(const ZuEventRef& event);
    virtual void ButtonPress(const ZuEventRef& event);
    virtual void ButtonRelease(const ZuEventRef& event);
    virtual void MotionNotify(const ZuEventRef& event);
    virtual void DragNotify(const ZuEventRef& event);
    virtual void Miscellanous(const ZuEventRef& event);
    virtual void EnterNotify(const ZuEventRef& event);
    virtual void LeaveNotify(const ZuEventRef& event);
    // Timers reach responders here; nothing by default.
    void Tick(unsigned id) override;

    const ZuResponderRef& RetNextResponder() const { return next_responder; }

    static ZuAtomRef notify_became_main;
    static ZuAtomRef notify_resigned_main;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuResponderRef next_responder;
};
ZU_CLASS_END(ZuResponder)

#endif
