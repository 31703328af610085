// ZuBuildArchitect: the architect whose item views neither the library nor
// a model view knows. It hands both questions to helper objects of the
// application as calls by name: a prepared message to the size helper, which
// answers by calling CallbackViewSize while the message is delivered, and
// one to the view helper, which fills the holder. The size method reads the
// architect and the item from its message; the view method the architect,
// the item and the holder.
#ifndef SI_BUILDARCHITECT_H
#define SI_BUILDARCHITECT_H

#include "si/message.h"
#include "si/target.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuBuildArchitect, ZuViewArchitect)
class ZuBuildArchitect : public ZuViewArchitect {
    ZU_CLASS(ZuBuildArchitect, ZuViewArchitect)
public:
    ZuBuildArchitect() {}

    using ZuViewArchitect::Initialise;
    // Prepares the two messages for the targets and takes their objects as
    // helpers. False, and nothing changed, when a target is empty.
    virtual bool Initialise(const ZuTargetRef& get, const ZuTargetRef& create);
    // The size helper's answer, during a size question.
    virtual bool CallbackViewSize(double dx, double dy);

    // False without messages (an architect never initialised, or restored
    // without them) and when the helper does not call back.
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    // True once the question was sent, whatever the helper did; false
    // without messages.
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;
    // New messages of the same targets, the same helpers.
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuMessageRef do_GetViewSize;
    ZuMessageRef do_CreateView;
    ZuObjectRef helper_get;
    ZuObjectRef helper_create;
    double answered_dx = 0;
    double answered_dy = 0;
    bool answered = false;
};
ZU_CLASS_END(ZuBuildArchitect)

#endif
