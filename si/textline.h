// ZuTextLine: the library's one-line text entry field. The user edits,
// selects, scrolls, drags and drops its text; the program reads it back as
// the text of the base. Positions are character indexes; the selection is
// the range [hilite_pos_1, hilite_pos_2). The cursor blinks on the
// application's tick 4 while the line is its window's main responder; a
// press inside the selection arms a delayed drag on tick 2.
//
// Positions come from callers and from stored windows and may lie past the
// text: every use cuts them to the text's length, while the stored numbers
// themselves are kept.
#ifndef SI_TEXTLINE_H
#define SI_TEXTLINE_H

#include "si/texttagb.h"

ZU_FORWARD(ZuTextCaption)
ZU_FORWARD(ZuTextLine)

// Hands the caption and the dragged string to whatever carries a drag out
// of the line (the drag view fills this in). Without it nothing is dragged
// and the caption is let go.
struct Zuvi_TextDragCalls {
    bool (*begin)(const ZuTextLineRef& line, const ZuTextCaptionRef& caption,
                  const ZuStringRef& dragged) = nullptr;
};

ZU_HANDLE(ZuTextLine, ZuTextTagBase)
class ZuTextLine : public ZuTextTagBase {
    ZU_CLASS(ZuTextLine, ZuTextTagBase)
public:
    ZuTextLine();

    void Delete() override;
    bool SetText(const ZuTextRef& text) override;
    void Awake() override;
    void AwakeFromApp(const ZuAppRef& app) override;
    void AwakeFromObject(const ZuObjectRef& obj) override;
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;
    void GetMinSize(double& dx, double& dy) const override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Focus and blinking.
    bool WouldAcceptMain() const override;
    void BecomeMain(bool keep) override;
    void ResignMain() override;
    void EnableTick() override;
    void DisableTick() override;
    void Tick(unsigned id) override;

    // Keys and pointer.
    void KeyDown(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void MotionNotify(const ZuEventRef& event) override;
    void EnterNotify(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;
    void SelectCursor() override;
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;
    void Action(bool on) override;
    using ZuControl::Action;
    bool DetectAutoScroll(double x, double y, double& angle, double& speed) override;
    void HandleAutoScroll(double angle, double speed) override;
    void HandleDropMotion() override;
    void HandleSelectMotion() override;

    // Reports "notify_user_text_changed" (user) or
    // "notify_auto_text_changed", then a change.
    virtual void NotifyTextChange(bool user);
    virtual void UpdateCursorGeometry();
    virtual void RedrawCursor();
    virtual double RetTextIntervalWidth(unsigned begin, unsigned end) const;
    virtual double RetTextAscender() const;
    virtual double RetTextDescender() const;
    virtual unsigned ComputePos(double x, double y) const;
    virtual bool IsBreak(unsigned pos) const;
    virtual unsigned FindBreak(unsigned pos, bool forward) const;
    virtual unsigned SkipBreak(unsigned pos, bool forward) const;
    virtual double RetFrameSize() const;
    virtual void SelectCursor(const ZuEventRef& event);
    virtual void SetupDelayedDrag(double x, double y);
    virtual void StartDelayedDrag();
    virtual void StopDelayedDrag();
    virtual void ShowText(const ZuGrailPortRef& port, double x, double y, unsigned first,
                          unsigned count) const;
    virtual bool Clear();
    virtual bool SetFullHilite();
    virtual bool SetEmptyHilite();
    virtual void ReplaceSelection(const ZuStringRef& string, bool user);
    virtual bool SetCursorPos(unsigned pos);
    virtual bool SetHiliteRange(unsigned begin, unsigned end, bool scroll);
    virtual bool SetFramelessMode(bool on);
    virtual bool SetTransparentMode(bool on);
    virtual bool SetEditMode(bool on);
    virtual bool SetSecretMode(bool on);
    virtual unsigned RetCursorPos() const;
    virtual unsigned RetHiliteBegin() const;
    virtual unsigned RetHiliteEnd() const;
    virtual bool RetFramelessMode() const;
    virtual bool RetTransparentMode() const;
    virtual bool RetEditMode() const;
    virtual bool RetSecretMode() const;
    virtual bool IsHilited() const;
    virtual bool NotifyDragEnd();

    double RetScrollOffset() const { return scroll_offset; }
    double RetTextWidth() const { return text_width; }
    double RetCursorX() const { return cursor_x; }
    bool RetCursorVisible() const { return cursor_visible; }
    bool IsDragArmed() const { return drag_armed; }

    static Zuvi_TextDragCalls drag_calls;
    static ZuAtomRef notify_user_text_changed;
    static ZuAtomRef notify_auto_text_changed;

protected:
    // "<ZuTextLine cursor_pos hilite_pos_1 hilite_pos_2 is_edit_ok
    // is_secret_text>" after the base's part.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    unsigned cursor_pos = 0;
    unsigned hilite_pos_1 = 0;
    unsigned hilite_pos_2 = 0;
    unsigned pointer_pos = 0;
    double text_width = 0;
    double cursor_x = 0;
    double hilite_x1 = 0;
    double hilite_x2 = 0;
    double scroll_offset = 0;
    double ascender = 0;
    double descender = 0;
    bool cursor_visible = false;
    bool has_focus = false;
    bool no_selection_motion = true;
    bool selecting = false;
    bool is_frameless = false;
    bool is_transparent = false;
    bool is_edit_ok = true;
    bool is_secret_text = false;
    bool over_selection = false;
    bool pointer_inside = false;
    bool drop_caret_shown = false;
    double drop_caret_x = 0;
    bool drag_armed = false;
    bool dragging_own_text = false;
    double drag_point_x = 0;
    double drag_point_y = 0;
    bool entering = false;
    bool just_entered = false;

private:
    unsigned Length() const;
    // The range cut to the text.
    unsigned Lo() const;
    unsigned Hi() const;
    double Available() const;
    double TextOriginX() const;
    double BaselineY() const;
    // Scrolls the cursor into view; true when the offset moved.
    bool ScrollToCursor();
    void ReadLookValues();
};
ZU_CLASS_END(ZuTextLine)

#endif
