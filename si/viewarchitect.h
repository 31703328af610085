// ZuViewArchitect: knows how to show one item of a data source as a view.
// Providers ask it how large an item's view is (GetViewSize, answered
// without making the view) and have it fill the provider view that shows
// the item (CreateView); layouts keep the architect whose sizes they lay
// out. The class is abstract: the concrete architects decide which views
// the items get.
#ifndef SI_VIEWARCHITECT_H
#define SI_VIEWARCHITECT_H

#include "si/object.h"

ZU_FORWARD(ZuProviderView)

ZU_HANDLE(ZuViewArchitect, ZuObject)
class ZuViewArchitect : public ZuObject {
    ZU_CLASS(ZuViewArchitect, ZuObject)
public:
    ZuViewArchitect() {}

    virtual bool Initialise(unsigned num_attributes);
    // The number of attributes (columns of data) shown for an item.
    virtual bool SetTotalAttributes(unsigned n);
    virtual unsigned RetTotalAttributes() const;
    // The size of the view of the item (the empty handle asks for the
    // default size of a cell); false when the architect cannot tell.
    virtual bool GetViewSize(const ZuObjectRef& item, double& width, double& height) = 0;
    // Fills the holder with the view(s) of the item; false when it cannot.
    virtual bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) = 0;

    ZuObjectRef Copy(const ZuObjectRef& source) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned num_attributes = 0;
};
ZU_CLASS_END(ZuViewArchitect)

#endif
