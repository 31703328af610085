// CPositionPane: the pane of a shadow's position: its horizontal and
// vertical offsets (magnitudes; the definition view's choice gives the
// direction), whether the two move together, and how much of the stroke
// the shadow includes. Every edit reports "def.notify_Modify" only.
#ifndef LUMBRA_APP_POSITIONPANE_H
#define LUMBRA_APP_POSITIONPANE_H

#include "app/defpane.h"
#include "app/positiondef.h"
#include "si/switch.h"

ZU_HANDLE(CPositionPane, CDefPane)

class CPositionPane : public CDefPane {
    ZU_CLASS(CPositionPane, CDefPane)
public:
    CPositionPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a shadow-position definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CPositionDefRef& RetDef() const { return def; }
    bool IsLinked() const { return linked; }
    const CTextLineArrowRef& RetXEntry() const { return x_entry; }
    const CTextLineArrowRef& RetYEntry() const { return y_entry; }
    const CTextLineArrowRef& RetIncludeEntry() const { return include_entry; }
    const ZuSwitchRef& RetLinkSwitch() const { return link_switch; }

    bool OnEditPositionXChange(const ZuObjectRef& source, unsigned id);
    bool OnEditPositionYChange(const ZuObjectRef& source, unsigned id);
    bool OnEditIncludeChange(const ZuObjectRef& source, unsigned id);
    bool OnClickLink(const ZuObjectRef& source, unsigned id);

private:
    void WriteEntry(const CTextLineArrowRef& entry, double value);
    bool EditOffset(bool horizontal);

    CPositionDefRef def;
    // ready: the entry handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    bool linked = true;
    CTextLineArrowRef x_entry;
    CTextLineArrowRef y_entry;
    CTextLineArrowRef include_entry;
    ZuSwitchRef link_switch;
};
ZU_CLASS_END(CPositionPane)

#endif
