#include "si/buildarchitect.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuBuildArchitect, "si/buildarchitect", ZU_CLASS_PLAIN)

namespace {

ZuMessageRef NewMessage(const ZuTargetRef& target)
{
    ZuMessageRef message = ZuNew<ZuMessage>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    message->SetTarget(target);
    return message;
}

// A new message of the same target, without arguments.
ZuMessageRef CloneMessage(const ZuMessageRef& message)
{
    if (message.IsInvalid())
        return ZuMessageRef();
    return ZuMessageRef(message->Clone());
}

} // namespace

bool ZuBuildArchitect::Initialise(const ZuTargetRef& get, const ZuTargetRef& create)
{
    if (get.IsInvalid() || create.IsInvalid())
        return false;
    do_GetViewSize = NewMessage(get);
    do_CreateView = NewMessage(create);
    helper_get = get->RetObject();
    helper_create = create->RetObject();
    return true;
}

bool ZuBuildArchitect::CallbackViewSize(double dx, double dy)
{
    answered_dx = dx;
    answered_dy = dy;
    answered = true;
    return true;
}

bool ZuBuildArchitect::GetViewSize(const ZuObjectRef& item, double& dx, double& dy)
{
    answered = false;
    if (do_GetViewSize.IsInvalid())
        return false;
    ZuMessageRef message = do_GetViewSize; // the helper may let go of the architect's
    -message << ZuObjectRef(this) << item;
    helper_get < message;
    if (!answered)
        return false;
    answered = false;
    dx = answered_dx;
    dy = answered_dy;
    return true;
}

bool ZuBuildArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    if (do_CreateView.IsInvalid())
        return false;
    ZuMessageRef message = do_CreateView;
    -message << ZuObjectRef(this) << item << ZuObjectRef(holder);
    helper_create < message;
    return true;
}

ZuObjectRef ZuBuildArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuBuildArchitectRef::RetRuntime())) {
        const ZuBuildArchitect* other = static_cast<const ZuBuildArchitect*>(source.Resolve());
        do_GetViewSize = CloneMessage(other->do_GetViewSize);
        do_CreateView = CloneMessage(other->do_CreateView);
        helper_get = other->helper_get;
        helper_create = other->helper_create;
    }
    return ZuViewArchitect::Copy(source);
}

void ZuBuildArchitect::Delete()
{
    do_GetViewSize = ZuMessageNull;
    do_CreateView = ZuMessageNull;
    helper_get = ZuObjectNull;
    helper_create = ZuObjectNull;
    ZuViewArchitect::Delete();
}

void ZuBuildArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::StoreInstance(storage);
    static ZuStorageSync record(
        "<ZuBuildArchitect do_GetViewSize do_CreateView helper_get helper_create>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(do_GetViewSize);
    storage->StoreObject(do_CreateView);
    storage->StoreObject(helper_get);
    storage->StoreObject(helper_create);
    storage << ZuStorageSync::end;
}

void ZuBuildArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> do_GetViewSize >> do_CreateView;
    storage->RestoreObject(helper_get, ZuObjectRef::RetRuntime());
    storage->RestoreObject(helper_create, ZuObjectRef::RetRuntime());
    storage >> ZuStorageSync::end;
}
