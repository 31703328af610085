// CPatternPane: the brush editor (brush kinds 11, 21 and 102). The brush is
// drawn large on an interactive sample on which the user draws lines,
// rectangles and circles with a magnetic grid, selects and moves shapes and
// handles, turns segments into curves and back, adds and removes points.
// Beside the sample: the seven tools, the colours A to F of the dialog's
// colour definition (A is the palette's colour 1 for fill and shadow
// brushes, 0 for stroke brushes), the state edited ("1+2" both, "1" the
// initial, "2" the final state of a brush that evolves along its stroke),
// the line width of the selected shape, and the delete, front, back, grid,
// outline and clear buttons.
//
// Every change of the brush reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty", once per gesture, at the release;
// choosing a tool, the grid or the outline drawing reports nothing.
//
// Brush coordinates: the brush cell is -0.5 .. 0.5 on both axes, y up; the
// sample shows -1 .. 1 at 131.6 view units a brush unit. The editing
// operations in brush coordinates (PressAt, DragTo, ReleaseAt) are what the
// sample's pointer events call after converting their position.
//
// Brushes come from documents: records of unknown opcodes are skipped,
// segments before the first shape header belong to no shape (not drawn,
// not hit), and colour numbers beyond the palette take its nearest colour.
#ifndef LUMBRA_APP_PATTERNPANE_H
#define LUMBRA_APP_PATTERNPANE_H

#include "app/button.h"
#include "app/buttoncolor.h"
#include "app/colordef.h"
#include "app/defpane.h"
#include "app/graport.h"
#include "app/misc.h"
#include "app/patterndef.h"
#include "app/patterndraw.h"
#include "si/switch.h"

ZU_HANDLE(CPatternPane, CDefPane)

class CPatternPane : public CDefPane {
    ZU_CLASS(CPatternPane, CDefPane)
public:
    enum {
        kTools = 7,
        kColors = 6,
        kModes = 3,
        TOOL_LINE = 0,
        TOOL_RECT = 1,
        TOOL_CIRCLE = 2,
        TOOL_SELECT = 3,
        TOOL_TOGGLE = 4,
        TOOL_ADD = 5,
        TOOL_REMOVE = 6
    };
    static constexpr double kZoom = 131.6;
    static constexpr double kGridStep = 0.1;
    static constexpr double kHandleHalf = 4.0;
    static constexpr double kSegmentPen = 0.05;
    static constexpr double kMinSize = 0.015197568389057751;

    CPatternPane();

    void Delete() override;

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a brush; any other definition is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    void DrawSampleBack(const ZuGrailPortRef& port, int sample_value) override;
    // Guides, the current shape's handles and the grid, in view units.
    void DrawSampleFront(const ZuGrailPortRef& port, int sample_value) override;
    void SampleKeyDown(const ZuEventRef& event, int sample_value) override;
    void SampleMotionNotify(const ZuEventRef& event, int sample_value) override;
    void SampleButtonPress(const ZuEventRef& event, int sample_value) override;
    void SampleButtonRelease(const ZuEventRef& event, int sample_value) override;
    void SampleDragNotify(const ZuEventRef& event, int sample_value) override;
    void SampleEnterNotify(const ZuEventRef& event, int sample_value) override;
    void SampleLeaveNotify(const ZuEventRef& event, int sample_value) override;

    // ---- Editing in brush coordinates
    void PressAt(const DPoint& p);
    void DragTo(const DPoint& p);
    void ReleaseAt(const DPoint& p);
    // p on the grid when the grid is on (halves away from zero).
    DPoint Snap(const DPoint& p) const;
    // The handle within 4 view units of p, first in the brush's order:
    // its shape's header, its element and its number; false for none.
    bool HitHandle(const DPoint& p, int& shape, int& element, int& handle) const;
    // The topmost shape under p (its header), -1 for none.
    int HitShape(const DPoint& p) const;
    // The last segment under p: its shape and element; false for none.
    bool HitSegment(const DPoint& p, int& shape, int& element) const;

    // Renders the brush into the sample (mode 1 and 2 with the other state
    // ghosted) and redisplays it; the image is rendered again only when
    // the brush, the palette, the mode or the outline drawing changed.
    void DrawSample();
    // Draws a brush through a port in the given state (-1: its edit
    // state): each shape filled and stroked by its flags in its palette
    // colour (colour base + its number) and width, or, ghosted, in grey
    // hairline outline.
    static void DrawBrush(const CGraPortRef& port, const CPatternDefRef& brush,
                          const CColorDefRef& palette, int colour_base, int state, bool ghost,
                          bool outline);

    // ---- What the pane holds
    const CPatternDefRef& RetDef() const { return def; }
    const CColorDefRef& RetPalette() const { return palette; }
    const CPatternDrawRef& RetSample() const { return sample; }
    const CButtonRef& RetToolButton(int i) const { return tool_buttons[i]; }
    const CButtonColorRef& RetColorButton(int i) const { return color_buttons[i]; }
    const ZuSwitchRef& RetModeSwitch(int i) const { return mode_switches[i]; }
    const CTextLineArrowRef& RetWidthEntry() const { return width_entry; }
    const CButtonRef& RetDeleteButton() const { return delete_button; }
    const CButtonRef& RetFrontButton() const { return front_button; }
    const CButtonRef& RetBackButton() const { return back_button; }
    const CButtonRef& RetGridButton() const { return grid_button; }
    const CButtonRef& RetOutlineButton() const { return outline_button; }
    const CButtonRef& RetClearButton() const { return clear_button; }
    int RetTool() const { return tool; }
    int RetColor() const { return colour; }
    int RetMode() const { return mode; }
    double RetWidth() const { return width; }
    bool RetGrid() const { return grid; }
    bool RetOutline() const { return outline; }
    int RetColorBase() const { return colour_base; }
    int RetCurrentShape() const { return current_shape; }
    int RetCurrentElement() const { return current_element; }
    int RetCurrentHandle() const { return current_handle; }
    // How many times the brush was rendered into the sample.
    int RetDrawCount() const { return draw_count; }

    // ---- Handlers (bound by name)
    bool OnClickRadioTool(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioColor(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioMode(const ZuObjectRef& source, unsigned id);
    bool OnWidthChange(const ZuObjectRef& source, unsigned id);
    bool OnClickDelete(const ZuObjectRef& source, unsigned id);
    bool OnClickFront(const ZuObjectRef& source, unsigned id);
    bool OnClickBack(const ZuObjectRef& source, unsigned id);
    bool OnClickGrid(const ZuObjectRef& source, unsigned id);
    bool OnClickOutline(const ZuObjectRef& source, unsigned id);
    bool OnClickFlush(const ZuObjectRef& source, unsigned id);

private:
    // The records of the brush as the walks see them: from the first up to
    // the end record (or the first zero opcode), each whole.
    int Used() const;
    // The header that follows the shape at `header` (or the end).
    int ShapeEnd(int header) const;
    // Moves the records of the shape at `header` to the front or the back
    // of the brush; the new index of its header.
    int MoveShape(int header, bool to_front);

    void TakePalette();
    void UpdateToolButtons();
    void UpdateColorButtons();
    void UpdateWidthEntry();
    void ShowSelectedShape();
    void ClearSelection();
    void SetModeButtons(int new_mode);
    int UserTag(const ZuObjectRef& source, int first, int count) const;
    // Whether index is the header of a shape of the brush as it stands.
    bool IsShapeHeader(int index) const;
    // Drops a selection that no longer names a shape (the brush was
    // changed elsewhere).
    void CheckSelection();
    DPoint HandleAt(int element, int handle) const;
    bool EventPoint(const ZuEventRef& event, DPoint& p) const;
    // The sample's port, at the sample's scale, for the hit tests.
    CGraPortRef HitPort() const;
    bool HitSegmentFrom(const DPoint& p, int& shape, int& element, DPoint& start) const;
    static bool SameRecords(const CPatternDefRef& a, const CPatternDefRef& b);
    // A shape's flags as drawing takes them: bit 0 stroke, bit 1 fill.
    static int Flags(double v);
    // Whether a point can go to the interpreter: finite and small enough
    // to be written as a plain number.
    static bool Drawable(const DPoint& p);

    // Drawing tools: the new shape's records.
    void StartShape(const DPoint& q);
    void DragShape(const DPoint& p);
    void DeleteNewShape();
    // Selection tool.
    void SelectPress(const DPoint& p);
    void SelectDrag(const DPoint& p);
    bool ToggleSegment(const DPoint& p);
    bool AddPoint(const DPoint& p);
    bool RemovePoint(const DPoint& p);

    CPatternDefRef def;
    CPatternDefRef drawn;
    CColorDefRef drawn_palette;
    int drawn_mode = -1;
    bool drawn_outline = false;
    // ready: the handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;

    int tool = TOOL_SELECT;
    int colour = 0;
    int mode = 0;
    double width = 0.1;
    bool grid = true;
    bool outline = false;
    double grid_step = kGridStep;
    int colour_base = 0;

    CButtonRef tool_buttons[kTools];
    CButtonColorRef color_buttons[kColors];
    ZuSwitchRef mode_switches[kModes];
    CTextLineArrowRef width_entry;
    CButtonRef delete_button, front_button, back_button;
    CButtonRef grid_button, outline_button, clear_button;
    CPatternDrawRef sample;
    CColorDefRef palette;

    // Editing state.
    int current_shape = -1;
    int current_element = -1;
    int current_handle = -1;
    bool drawing_line = false, drawing_rect = false, drawing_circle = false;
    bool selecting = false, moving_handle = false, moving_shape = false;
    int new_shape = -1;
    DPoint press{0.0, 0.0};
    // The brush at the press of the selection tool, and whether the
    // gesture under way changed the brush (reported at its release).
    CPatternDefRef before;
    bool edited = false;
    int draw_count = 0;
};
ZU_CLASS_END(CPatternPane)

#endif
