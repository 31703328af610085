// CMotifUniPane: the pane of a uniform fill (fill kind 60). Such a fill has
// nothing of its own besides its colour, which the colour pane edits: the
// pane says so. Showing it writes the fill kind into the definition.
#ifndef LUMBRA_APP_MOTIFUNIPANE_H
#define LUMBRA_APP_MOTIFUNIPANE_H

#include "app/defpane.h"
#include "app/motifdef.h"

ZU_HANDLE(CMotifUniPane, CDefPane)

class CMotifUniPane : public CDefPane {
    ZU_CLASS(CMotifUniPane, CDefPane)
public:
    CMotifUniPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a fill definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void NotifyChange(bool property_update, bool full) override;

    const CMotifDefRef& RetDef() const { return def; }

private:
    CMotifDefRef def;
    bool notify = true;
};
ZU_CLASS_END(CMotifUniPane)

#endif
