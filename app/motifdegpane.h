// CMotifDegPane: the pane of a gradient fill (fill kind 61). The user picks
// one of five gradients ("Axial", "Radial", "Rectangulaire", "Maillage de
// triangles", "Maillage de courbes"), sets its parameters, its colour
// count or mesh size, recolours mesh points, and drags handles on the large
// sample and on the colour strip under it: angle, start and end, circles
// and centres, colour positions and progression, mesh points and tangents;
// in the whole-mesh modes a press, drag or release moves, deforms, attracts
// or repels the whole mesh.
//
// The gradient's colours are the values of the companion colour
// definition the attributes dialog holds (25 beside a fill, 105 beside a
// shadow's fill), whose count the pane keeps equal to the gradient's colour
// count. Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty"; picking a section or a handle, and the
// drags themselves, report nothing (the release reports once).
//
// Gradients come from files: a kind outside the five, a point array
// shorter than its kind needs, odd mesh bits, and numbers that are not
// numbers or are huge are shown as far as they go and never read or write
// outside the array. A mesh colour index outside 0 .. 9 matches no colour
// button.
#ifndef LUMBRA_APP_MOTIFDEGPANE_H
#define LUMBRA_APP_MOTIFDEGPANE_H

#include "app/button.h"
#include "app/buttoncolor.h"
#include "app/colordef.h"
#include "app/defpane.h"
#include "app/motifdef.h"
#include "app/patterndraw.h"
#include "si/switch.h"
#include "si/texttag.h"

ZU_HANDLE(CMotifDegPane, CDefPane)

class CMotifDegPane : public CDefPane {
    ZU_CLASS(CMotifDegPane, CDefPane)
public:
    enum {
        kTypes = 5,
        kSections = 7,
        kSwitches = 5,
        kFields = 3,
        kColors = 10,
        kAdjusts = 5,
        // Handle numbers run from 0 to kHandles - 1 on both layers.
        kHandles = 125
    };
    // One row of the parameter table.
    struct Param {
        int kind;
        int section;
        int field;
        // Index into the point array; -1 the colour reach of the chosen
        // curve-mesh node.
        int point;
        int handle;
        int unit;
        double min;
        double max;
        double step;
        unsigned grad;
        unsigned subdiv;
        double exponent;
        const char* name;
        const char* description;
    };
    // The rows, ended by a row of kind -1.
    static const Param kParams[];

    CMotifDegPane() {}

    void Delete() override;

    bool Create(int code) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a fill definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    // Gives the companion colours the gradient's colour count and style 2,
    // and lists their code.
    void RegisterCodes() override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    // The two layers' overlay and gestures (the large sample is layer 0,
    // the strip layer 1).
    void DrawSampleBack(const ZuGrailPortRef& port, int layer) override;
    void DrawSampleFront(const ZuGrailPortRef& port, int layer) override;
    void SampleKeyDown(const ZuEventRef& event, int layer) override;
    void SampleMotionNotify(const ZuEventRef& event, int layer) override;
    void SampleButtonPress(const ZuEventRef& event, int layer) override;
    void SampleButtonRelease(const ZuEventRef& event, int layer) override;
    void SampleDragNotify(const ZuEventRef& event, int layer) override;
    void SampleEnterNotify(const ZuEventRef& event, int layer) override;
    void SampleLeaveNotify(const ZuEventRef& event, int layer) override;

    // The per-kind parts, each from the definition.
    void UpdateKind();
    void UpdateSections();
    void UpdateSwitches();
    void UpdateParams();
    void UpdateColorButtons();
    void UpdateCounts();
    // Draw the large sample and the strip unless they show this very
    // gradient and colours already.
    void DrawSample();
    void DrawStrip();

    // Where handle n of a layer shows, in view coordinates, and its look
    // (1 .. 4); false when the handle does not show.
    bool HandlePosition(int layer, int n, DPoint& at, int& look) const;
    // The handle under a view point: layer 0 first, the highest number
    // first; false when none.
    bool HitTest(const DPoint& p, int& n, int& layer) const;
    // Moves handle n of a layer to the view point p.
    void MoveHandle(int n, int layer, const DPoint& p);
    // Where the ray from the centre of the square -70 .. 70 at the angle
    // leaves it; any angle, a non-number taken as 0.
    static DPoint BorderPoint(double angle);
    // The colour reach of the node of handle h (node 0 for -1), and
    // setting it for the chosen node (every node when none is chosen).
    double GetColorReach(int h) const;
    void SetColorReach(double reach);

    bool OnButtonType(const ZuObjectRef& source, unsigned id);
    bool OnButtonRadio(const ZuObjectRef& source, unsigned id);
    bool OnSwitch(const ZuObjectRef& source, unsigned id);
    bool OnEditParamChange(const ZuObjectRef& source, unsigned id);
    bool OnRadioColor(const ZuObjectRef& source, unsigned id);
    bool OnButtonAdjust(const ZuObjectRef& source, unsigned id);
    bool OnEditNbColorChange(const ZuObjectRef& source, unsigned id);
    bool OnEditCoonsXChange(const ZuObjectRef& source, unsigned id);
    bool OnEditCoonsYChange(const ZuObjectRef& source, unsigned id);

    const CMotifDefRef& RetDef() const { return def; }
    int RetSection() const { return section; }
    int RetSelected() const { return selected; }
    void SetSelected(int handle) { selected = handle; }
    const CPatternDrawRef& RetSample() const { return sample; }
    const CPatternDrawRef& RetStrip() const { return strip; }
    const CButtonRef& RetTypeButton(int i) const { return type_buttons[i]; }
    const CButtonRef& RetSectionButton(int i) const { return section_buttons[i]; }
    const ZuSwitchRef& RetSwitch(int i) const { return switches[i]; }
    const ZuTextTagRef& RetCaption(int i) const { return captions[i]; }
    const CTextLineArrowRef& RetParamEntry(int i) const { return param_entries[i]; }
    const CButtonColorRef& RetColorButton(int i) const { return color_buttons[i]; }
    const CButtonRef& RetAdjustButton(int i) const { return adjust_buttons[i]; }
    const CTextLineArrowRef& RetColorCountEntry() const { return count_entry; }
    const CTextLineArrowRef& RetColumnsEntry() const { return columns_entry; }
    const CTextLineArrowRef& RetRowsEntry() const { return rows_entry; }
    const ZuTextTagRef& RetColumnsCaption() const { return columns_caption; }
    const ZuTextTagRef& RetRowsCaption() const { return rows_caption; }
    // How many times the sample and the strip were drawn.
    int RetSampleDraws() const { return sample_draws; }
    int RetStripDraws() const { return strip_draws; }

private:
    // Shows (into parent) or hides a control, only when that changes.
    bool ShowIn(const ZuViewRef& view, const ZuViewRef& parent, bool shown);
    bool IsMesh() const;
    int GradientKind() const;
    int SectionCount() const;
    // The companion colours the dialog holds, or an empty handle.
    CColorDefRef Companion() const;
    // The tag of a control that fired, -1 for anything else.
    static int TagOf(const ZuObjectRef& source);
    int ColorIndexOf(int handle) const;
    void MoveMeshHandle(int n, const DPoint& m);
    // Whether a whole-mesh mode (2 .. 5) is on.
    bool IsWholeMeshMode() const;
    // The step of a whole-mesh gesture from the last point to p (sample
    // units / 70); the scaling modes scale about p.
    void WholeMeshStep(const DPoint& p);
    DPoint MeshPoint(const ZuEventRef& event) const;
    void DrawGuide(const ZuGrailPortRef& port, int layer, int from, int to, int core,
                   int border) const;
    void DrawCurveEdges();
    bool SetEntryValue(const CTextLineArrowRef& entry, double value);

    CMotifDefRef def;
    CMotifDefRef drawn_def;
    CColorDefRef drawn_colors;
    CMotifDefRef strip_def;
    CColorDefRef strip_colors;
    bool ready = true;
    bool notify = true;
    int section = 0;
    int selected = -1;
    bool hit = false;
    int hit_handle = -1;
    int hit_layer = 0;
    DPoint press{0.0, 0.0};
    DPoint last{0.0, 0.0};
    int drag_count = 0;
    int section_icons[kSections] = {-1, -1, -1, -1, -1, -1, -1};

    CButtonRef type_buttons[kTypes];
    CPatternDrawRef sample;
    CPatternDrawRef strip;
    ZuViewRef frame;
    CButtonRef section_buttons[kSections];
    ZuSwitchRef switches[kSwitches];
    ZuTextTagRef captions[kFields];
    CTextLineArrowRef param_entries[kFields];
    CButtonColorRef color_buttons[kColors];
    CButtonRef adjust_buttons[kAdjusts];
    CTextLineArrowRef count_entry;
    ZuTextTagRef columns_caption;
    CTextLineArrowRef columns_entry;
    ZuTextTagRef rows_caption;
    CTextLineArrowRef rows_entry;
    int sample_draws = 0;
    int strip_draws = 0;
};
ZU_CLASS_END(CMotifDegPane)

#endif
