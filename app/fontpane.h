// CFontPane: the pane of a font definition: the list of the fonts the
// PostScript interpreter offers (read once, when the pane is built), the
// size, character spacing, stretch and slant entries, and a sample setting
// "Abcdef" in the font. Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty". A definition naming a font the
// interpreter lacks keeps its name; the list then shows no selection.
#ifndef LUMBRA_APP_FONTPANE_H
#define LUMBRA_APP_FONTPANE_H

#include "app/defpane.h"
#include "app/fontdef.h"
#include "app/sampleview.h"
#include "app/scrolllist.h"
#include "si/list.h"

ZU_HANDLE(CFontPane, CDefPane)

class CFontPane : public CDefPane {
    ZU_CLASS(CFontPane, CDefPane)
public:
    CFontPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a font definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CFontDefRef& RetDef() const { return def; }
    const ZuListRef& RetFontNames() const { return font_names; }
    const CScrollListRef& RetFontList() const { return font_list; }
    const CTextLineArrowRef& RetSizeEntry() const { return size_entry; }
    const CTextLineArrowRef& RetSpacingEntry() const { return spacing_entry; }
    const CTextLineArrowRef& RetStretchEntry() const { return stretch_entry; }
    const CTextLineArrowRef& RetSlantEntry() const { return slant_entry; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn (it is skipped when nothing
    // changed since the last drawing).
    int RetDrawCount() const { return draw_count; }

    bool OnClickList(const ZuObjectRef& source, unsigned id);
    bool OnEditScale(const ZuObjectRef& source, unsigned id);
    bool OnEditWidth(const ZuObjectRef& source, unsigned id);
    bool OnEditStretch(const ZuObjectRef& source, unsigned id);
    bool OnEditItalic(const ZuObjectRef& source, unsigned id);
    // Redraw and report, for the style switches a host may add.
    bool OnSwitchBold(const ZuObjectRef& source, unsigned id);
    bool OnSwitchItalic(const ZuObjectRef& source, unsigned id);

private:
    void FillFontList();
    void SelectFont();
    void WriteEntry(const CTextLineArrowRef& entry, double value);
    // The entry's value within its bounds, or false while the pane writes
    // its own entries.
    bool ReadEntry(const CTextLineArrowRef& entry, double& value) const;
    void Changed();
    void UpdateSample();

    CFontDefRef def;
    CFontDefRef drawn;
    ZuListRef font_names;
    // built: the entry handlers act; ready: NotifyChange reports.
    bool built = true;
    bool ready = true;
    CScrollListRef font_list;
    CTextLineArrowRef size_entry;
    CTextLineArrowRef stretch_entry;
    CTextLineArrowRef slant_entry;
    CTextLineArrowRef spacing_entry;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CFontPane)

#endif
