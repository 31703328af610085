// CPatternListPane: picks one of the seventeen prefabricated brushes by
// name (brush kinds 11, 21 and 102) and shows the brush on a sample with
// the axes and the brush cell in grey. A click on a name loads that brush
// and reports "def.notify_Modify" then "def.notify_UpdateQuickProperty";
// the list shows the brush last loaded, and no row once the brush has been
// edited elsewhere.
#ifndef LUMBRA_APP_PATTERNLISTPANE_H
#define LUMBRA_APP_PATTERNLISTPANE_H

#include "app/colordef.h"
#include "app/defpane.h"
#include "app/patterndef.h"
#include "app/patterndraw.h"
#include "app/scrolllist.h"
#include "si/list.h"

ZU_HANDLE(CPatternListPane, CDefPane)

class CPatternListPane : public CDefPane {
    ZU_CLASS(CPatternListPane, CDefPane)
public:
    static constexpr double kZoom = 98.0;

    CPatternListPane();

    void Delete() override;

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a brush; any other definition is refused (false).
    bool SetDef(const CDefRef& def) override;
    // Takes the dialog's colours (15 for 11, 25 for 21, 105 for 102).
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    // Renders the brush and the guides, unless the sample shows this very
    // brush in these colours already.
    void DrawSample();

    const CPatternDefRef& RetDef() const { return def; }
    const CColorDefRef& RetPalette() const { return palette; }
    const CScrollListRef& RetList() const { return list; }
    // The names the list shows.
    const ZuListRef& RetNames() const { return names; }
    const CPatternDrawRef& RetSample() const { return sample; }
    int RetColorBase() const { return colour_base; }
    int RetDrawCount() const { return draw_count; }

    bool OnClickList(const ZuObjectRef& source, unsigned id);

private:
    CPatternDefRef def;
    CPatternDefRef drawn;
    CColorDefRef drawn_palette;
    // ready: the list's handler acts; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    CScrollListRef list;
    ZuListRef names;
    CPatternDrawRef sample;
    CColorDefRef palette;
    int colour_base = 0;
    int draw_count = 0;
};
ZU_CLASS_END(CPatternListPane)

#endif
