#include "app/splashwindow.h"

#include "si/app.h"
#include "si/button.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/icon.h"

ZU_IMPLEMENT_CLASS(CSplashWindow, "app/splashwindow", ZU_CLASS_NOT_STORED)
ZU_EXPORT_ACTOR(CSplashWindow, OnClick)

namespace {

const char kSource[] = "splashwindow";

} // namespace

CSplashWindow::~CSplashWindow()
{
    window = ZuWindowRef();
}

void CSplashWindow::Delete()
{
    window = ZuWindowRef();
    ZuResponder::Delete();
}

bool CSplashWindow::Open(int x, int y)
{
    if (!window.IsValid())
        window = ZuNew<ZuWindow>(nullptr, __LINE__, kSource);
    window->SetStyle(ZuWinStyle{ZU_WINSTYLE_TOOL, ZU_WINSTYLE_FRAMELESS});
    const double left = x - 249, top = y - 136;
    window->SetWindowBox(ZuRect(left, top, left + 497, top + 272));
    Build(ZuRect(5, 5, 493, 268));
    window->Open();
    window->Display(false);
    window->ShowNormal();
    return true;
}

void CSplashWindow::Build(const ZuRect& inner)
{
    ZuButtonRef button = ZuNew<ZuButton>(nullptr, __LINE__, kSource);
    button->SetOrigin(inner.X1(), inner.Y1());
    button->SetSize(inner.X2() - inner.X1(), inner.Y2() - inner.Y1());
    ZuIconRef icon = ZuNew<ZuIcon>(nullptr, __LINE__, kSource);
    icon->Initialise(ZuAtomRef("lumbra_Generic"), true);
    button->SetContents(icon);
    button->SetParent(window);
    button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClick"), 0);
}

void CSplashWindow::Hide(bool hide)
{
    if (!hide) {
        if (window.IsValid()) {
            window->ShowNormal();
            window->ActivateAsFrontWindow(true);
        }
        return;
    }
    if (window.IsValid())
        window->Hide();
    StopTimer();
}

bool CSplashWindow::OnClick()
{
    Hide(true);
    return true;
}

void CSplashWindow::StartTimer()
{
    if (timer_registered)
        return;
    ZuApp::Current()->InsertTickResponder(ZuObjectRef(this), int(timer_delay), 0, false);
    timer_registered = true;
}

void CSplashWindow::StopTimer()
{
    if (!timer_registered)
        return;
    ZuApp::Current()->RemoveTickResponder(ZuObjectRef(this), 0, false);
    timer_registered = false;
}

void CSplashWindow::TimerExpired()
{
    timer_registered = false;
    Hide(true);
}

void CSplashWindow::Tick(unsigned)
{
    TimerExpired();
}
