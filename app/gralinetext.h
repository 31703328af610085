// CGraLineText: one line of text ("Ligne de texte"), object kind 16: Latin-1
// characters set along a baseline from a start point towards an end point,
// in a font definition (attribute kind 120) and a text colour (125).
//
// It is the one drawing object edited as text: it keeps a selection (start
// and end index; the end is where the caret stands) and answers clicks,
// drags, keys and cut, copy and paste. Every glyph is measured and drawn
// through the port: measures run in the text's own frame, the page turned
// about the start point by minus the inclination (the angle from the
// horizontal to the end point).
//
// UpdateBoundingBox puts the end point at the end of the text (10.0 from
// the start when the text advances nothing) and makes the box the upright
// rectangle around the turned box of the characters and of 'E' and 'p' at
// the start.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// the text colour and the font (objects), mark, Real start x, start y, end
// x, end y, mark, the string (object), Int selection start, Int selection
// end, mark, the box as 4 Reals, end. A selection read back is kept within
// the text; caret, saved geometry and handle marks are not stored.
#ifndef LUMBRA_APP_GRALINETEXT_H
#define LUMBRA_APP_GRALINETEXT_H

#include <string>

#include "app/fontdef.h"
#include "app/graline.h"
#include "app/graobject.h"

ZU_HANDLE(CGraLineText, CGraObject)

class CGraLineText : public CGraObject {
    ZU_CLASS(CGraLineText, CGraObject)
public:
    enum { LAYOUT_WORDS = 19, FONT = 120, TEXT_COLOR = 125 };

    CGraLineText();
    ~CGraLineText() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 26, variant 1: 36, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles: 0 the start (a point), 1 the end (a parameter)
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    // Keeps the points and the font size.
    bool SaveGeometry(const ChangeRecord& change) override;
    // An unselected end starts again from its saved place; a scale (kind 2)
    // with flags bit 2 and no selected end scales the font by the mean of
    // the two factors.
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    bool SetPoints(const DPoint* points, int n) override;
    void PlacePoint(const DPoint& p, int flags) override;

    bool HasProperties() const override;
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;

    // ---- Text editing (indices are character positions)
    bool HasText() const override;
    bool ShowCaret(CGraPortRef& port) override;
    bool TextClick(CGraPortRef& port, const DPoint& p, DPoint& top, DPoint& bottom) override;
    bool TextSetCursor(CGraPortRef& port, const DPoint& p) override;
    bool TextExtendSelection(CGraPortRef& port, const DPoint& p) override;
    bool TextEndSelection(CGraPortRef& port, const DPoint& p) override;
    // Cursor keys (Shift extends), backspace, delete and characters up to
    // 255; false for the keys it does not take (other keys, a backspace at
    // the start, a character beyond 255).
    bool TextHandleEvent(CGraPortRef& port, const ZuEventRef& event) override;
    bool TextCommand(CGraPortRef& port, ZuStringRef& out) override;
    bool TextSetSelection(CGraPortRef& port, ZuStringRef& out) override;
    bool TextReplace(CGraPortRef& port, const ZuStringRef& text) override;
    bool GetCaret(CGraPortRef& port, DPoint& top, DPoint& bottom, bool update) override;
    bool IsTextEmpty() const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    // A definition of another class than the kind's is refused.
    bool SetDefinition(int kind, const ZuObjectRef& def) override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool TextHitTest(CGraPortRef& port, const DPoint& p) override;
    // Flags bit 0x40 draws the text frame only; edit mode 2 highlights the
    // selection, except on paper; flags 0 draws the baseline only.
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2 the baseline is made horizontal or vertical.
    virtual void ConstrainPoint(int flags, int which, DPoint& p) const;

    // ---- The text and its measures
    // A fresh string with the characters of text; the selection stays.
    void SetText(const ZuStringRef& text);
    const ZuStringRef& RetText() const { return text; }
    int RetSelectionStart() const { return sel_start; }
    int RetSelectionEnd() const { return sel_end; }
    // Both kept within 0 .. the character count.
    void SetSelection(int start, int end);
    // The inclination in radians.
    double GetAngle() const;
    // The top of 'E' and the bottom of 'p' above the baseline.
    void GetVerticalExtent(CGraPortRef& port, double& ascent, double& descent);
    // The caret position (0 .. count) nearest to the left of p.
    int IndexAtPoint(CGraPortRef& port, const DPoint& p);
    void GetCaretAt(CGraPortRef& port, int index, DPoint& top, DPoint& bottom);
    // The four corners of the frame around the text, turned onto the page
    // when turned is set.
    void GetTextFrame(CGraPortRef& port, bool turned, DPoint out[4]);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    int CharacterCount() const;
    // The Latin-1 bytes of the text.
    std::string Bytes() const;
    void UpdateCaret(CGraPortRef& port);
    DPoint ToFrame(const DPoint& p) const;
    DPoint FromFrame(const DPoint& p) const;
    LineEnds Ends() const;
    // Deletes the selected range; the selection collapses to its start.
    // False when it is empty.
    bool DeleteSelection();

    int edit_mode = 0;
    int editing = 1;
    CColorDefRef text_colour;
    CFontDefRef font;
    DPoint start{0.0, 0.0};
    DPoint end{0.0, 0.0};
    ZuStringRef text;
    int sel_start = 0;
    int sel_end = 0;
    DPoint caret_top{0.0, 0.0};
    DPoint caret_bottom{0.0, 0.0};
    DPoint saved_start{0.0, 0.0};
    DPoint saved_end{0.0, 0.0};
    double saved_size = 0.0;
    bool start_selected = false;
    bool end_selected = false;
};
ZU_CLASS_END(CGraLineText)

#endif
