#include "app/pagedrawthread.h"

#include "app/pageview.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/event.h"

ZU_IMPLEMENT_CLASS(PageDrawThread, "pageview", ZU_CLASS_NOT_STORED)

bool PageDrawThread::Run(const ZuObjectRef& subject)
{
    (void)subject;
    CPageViewRef view(arg);
    if (view.IsInvalid())
        return true;
    if (!view->RenderHeld())
        return true;
    ZuAppRef app = ZuApp::Current();
    if (app.IsValid())
        app->ReportAsync(ZuObjectRef(this), ZuAtomRef("DrawEvent"));
    ZuEvent::PostWakeUpEvent();
    return true;
}
