// ZuLookUpArchitect: finds what to show for an item in a table from items
// to values. With an inner architect, the found value is the item the inner
// architect shows; without one, the found value is a view and that very
// view is shown, never copied and never deleted by its holder (the cards of
// a dialog: their names map to their panes).
#ifndef SI_LOOKUPARCHITECT_H
#define SI_LOOKUPARCHITECT_H

#include "si/set.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuLookUpArchitect, ZuViewArchitect)
class ZuLookUpArchitect : public ZuViewArchitect {
    ZU_CLASS(ZuLookUpArchitect, ZuViewArchitect)
public:
    ZuLookUpArchitect() {}

    using ZuViewArchitect::Initialise;
    // Either may be empty; both are shared, not copied.
    virtual bool Initialise(const ZuViewArchitectRef& architect, const ZuSetRef& lookup);

    // Both answer false for an item missing from the table and when there
    // is no table (an architect read from a file may have none).
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;
    // The same inner architect and table.
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool LookUp(const ZuObjectRef& item, ZuObjectRef& value);

    ZuViewArchitectRef architect;
    ZuSetRef lookup;
};
ZU_CLASS_END(ZuLookUpArchitect)

#endif
