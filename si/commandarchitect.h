// ZuCommandArchitect: fills the item views of named commands. An item that
// is a command factory gets one plain view covering its item view, for the
// program to draw or decorate; any other item gets nothing. It gives no
// size of its own: the provider keeps its own.
#ifndef SI_COMMANDARCHITECT_H
#define SI_COMMANDARCHITECT_H

#include "si/picarchitect.h"

ZU_HANDLE(ZuCommandArchitect, ZuPicArchitect)
class ZuCommandArchitect : public ZuPicArchitect {
    ZU_CLASS(ZuCommandArchitect, ZuPicArchitect)
public:
    ZuCommandArchitect() {}

    // False for every item; the sizes are left as they were.
    bool GetViewSize(const ZuObjectRef& item, double& w, double& h) override;
    // One plain view with the item view's box, for a command factory only.
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& view) override;

    using ZuPicArchitect::Initialise;
    // With the look's system font.
    virtual bool Initialise();

protected:
    // "<ZuCommandArchitect>" with nothing between its marks.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuCommandArchitect)

#endif
