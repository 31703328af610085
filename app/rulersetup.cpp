#include "app/rulersetup.h"

#include "si/classfactory.h"
#include "si/control.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CRulerSetup, "app/rulersetup", ZU_CLASS_PLAIN)
SETUP_EXPORT_HANDLER(CRulerSetup, OnEditStepX)
SETUP_EXPORT_HANDLER(CRulerSetup, OnEditStepY)
SETUP_EXPORT_HANDLER(CRulerSetup, OnSwitchLink)

bool CRulerSetup::Build()
{
    ready = false;
    SetSize(260, 170);
    BuildContents(0, 0);
    ready = true;
    return true;
}

void CRulerSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    auto tag = [&](double ty, double dx, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
        t->SetOrigin(x + 6, ty);
        t->SetSize(dx, 20);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(pane);
    };
    auto entry = [&](CTextLineArrowRef& e, double ey, const char* handler) {
        e = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
        e->SetParent(pane);
        e->Build(x + 76, ey, 50, 20, 0, true, 98);
        e->SetMin(-100.0);
        e->SetMax(100.0);
        e->SetSliderGrad(8);
        e->SetSliderSubdiv(2);
        e->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    };
    tag(y + 6, 248, "Origines de la r\xe8gle et de la grille :");
    tag(y + 32, 70, "Horizontal");
    entry(origin_x, y + 32, "OnEditStepX");
    tag(y + 52, 70, "Vertical");
    entry(origin_y, y + 52, "OnEditStepY");
    link_switch = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
    link_switch->SetOrigin(x + 6, y + 78);
    link_switch->SetSize(248, 16);
    link_switch->SetTitle(ZuStringRef("Origines identiques"));
    link_switch->ChangeState(ZU_VIEW_IS_ON, linked, false);
    link_switch->SetParent(pane);
    link_switch->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnSwitchLink"), 0);
    CSetupPane::BuildContents(x, y);
}

void CRulerSetup::Update(int, int)
{
    if (document.IsInvalid())
        return;
    ShowOriginX();
    ShowOriginY();
}

void CRulerSetup::ShowOriginX()
{
    if (view_settings.IsInvalid() || origin_x.IsInvalid())
        return;
    ready = false;
    origin_x->SetValue(view_settings->origin_x);
    ready = true;
}

void CRulerSetup::ShowOriginY()
{
    if (view_settings.IsInvalid() || origin_y.IsInvalid())
        return;
    ready = false;
    origin_y->SetValue(view_settings->origin_y);
    ready = true;
}

void CRulerSetup::RedrawPage()
{
    RedrawPageView(false);
}

bool CRulerSetup::OnEditStepX()
{
    if (!ready || view_settings.IsInvalid() || origin_x.IsInvalid())
        return false;
    view_settings->origin_x = origin_x->GetValue();
    if (linked) {
        view_settings->origin_y = view_settings->origin_x;
        ShowOriginY();
    }
    RedrawPage();
    return true;
}

bool CRulerSetup::OnEditStepY()
{
    if (!ready || view_settings.IsInvalid() || origin_y.IsInvalid())
        return false;
    view_settings->origin_y = origin_y->GetValue();
    if (linked) {
        view_settings->origin_x = view_settings->origin_y;
        ShowOriginX();
    }
    RedrawPage();
    return true;
}

bool CRulerSetup::OnSwitchLink()
{
    linked = link_switch.IsValid() && link_switch->RetState().TestBit(ZU_VIEW_IS_ON);
    if (!linked || view_settings.IsInvalid())
        return true;
    // The horizontal origin is the one kept.
    view_settings->origin_y = view_settings->origin_x;
    ShowOriginY();
    RedrawPage();
    return true;
}

void CRulerSetup::Delete()
{
    origin_x = CTextLineArrowRef();
    origin_y = CTextLineArrowRef();
    link_switch = ZuSwitchRef();
    CSetupPane::Delete();
}
