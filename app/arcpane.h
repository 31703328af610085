// CArcPane: the pane of an arc definition: the four shape buttons
// ("Forme :": whole, open, chord, pie), of which the one of the current
// shape is on, and a sample arc. A click reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty".
#ifndef LUMBRA_APP_ARCPANE_H
#define LUMBRA_APP_ARCPANE_H

#include "app/arcdef.h"
#include "app/button.h"
#include "app/defpane.h"
#include "app/sampleview.h"

ZU_HANDLE(CArcPane, CDefPane)

class CArcPane : public CDefPane {
    ZU_CLASS(CArcPane, CDefPane)
public:
    enum { kShapes = 4 };

    CArcPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes an arc definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CArcDefRef& RetDef() const { return def; }
    const CButtonRef& RetShapeButton(int i) const { return shape_buttons[i]; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn (it is skipped when nothing
    // changed since the last drawing).
    int RetDrawCount() const { return draw_count; }

    // Bound to every shape button: the sender's user tag picks the shape.
    bool OnClickMode(const ZuObjectRef& source, unsigned id);

private:
    void MarkButtons();
    void UpdateSample();

    CArcDefRef def;
    CArcDefRef drawn;
    bool ready = true;
    CButtonRef shape_buttons[kShapes];
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CArcPane)

#endif
