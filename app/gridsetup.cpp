#include "app/gridsetup.h"

#include "si/classfactory.h"
#include "si/control.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CGridSetup, "app/gridsetup", ZU_CLASS_PLAIN)
SETUP_EXPORT_HANDLER(CGridSetup, OnEditStepX)
SETUP_EXPORT_HANDLER(CGridSetup, OnEditStepY)
SETUP_EXPORT_HANDLER(CGridSetup, OnSwitchLink)
SETUP_EXPORT_HANDLER(CGridSetup, OnEditOriginX)
SETUP_EXPORT_HANDLER(CGridSetup, OnEditOriginY)
SETUP_EXPORT_HANDLER(CGridSetup, OnSwitchShow)
SETUP_EXPORT_HANDLER(CGridSetup, OnSwitchActive)

namespace {

// Where the view settings keep the two grid steps. The grid's origin is
// the view's user origin, which the rulers count from as well.
const int kStepX = 4;
const int kStepY = 5;

bool IsOn(const ZuSwitchRef& s)
{
    return s.IsValid() && s->RetState().TestBit(ZU_VIEW_IS_ON);
}

void ShowState(const ZuSwitchRef& s, bool on)
{
    if (s.IsInvalid())
        return;
    s->ChangeState(ZU_VIEW_IS_ON, on, false);
    s->Display(true);
}

} // namespace

bool CGridSetup::Build()
{
    ready = false;
    SetSize(260, 170);
    BuildContents(0, 0);
    ready = true;
    return true;
}

void CGridSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    auto tag = [&](double ty, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
        t->SetOrigin(x + 6, ty);
        t->SetSize(82, 20);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(pane);
    };
    auto entry = [&](CTextLineArrowRef& e, double ey, double min, unsigned grad,
                     const char* handler) {
        e = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
        e->SetParent(pane);
        e->Build(x + 88, ey, 56, 20, 0, true, 98);
        e->SetMin(min);
        e->SetMax(100.0);
        e->SetSliderGrad(grad);
        e->SetSliderSubdiv(2);
        e->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    };
    auto check = [&](ZuSwitchRef& s, double sy, double dx, const char* title, const char* handler) {
        s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetOrigin(x + 6, sy);
        s->SetSize(dx, 16);
        s->SetTitle(ZuStringRef(title));
        s->SetParent(pane);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    };
    tag(y + 6, "Pas horizontal");
    entry(step_x, y + 6, 0.0, 10, "OnEditStepX");
    // The second row of a pair stands 24 below the first, not 20: each
    // slider keeps room for its ticks above and below its track, and rows
    // 22 apart would put the ticks of one against the other's.
    tag(y + 30, "Pas vertical");
    entry(step_y, y + 30, 0.0, 10, "OnEditStepY");
    check(link_switch, y + 52, 248, "Pas horizontaux et verticaux identiques", "OnSwitchLink");
    link_switch->ChangeState(ZU_VIEW_IS_ON, linked, false);
    tag(y + 74, "Origine horiz.");
    entry(origin_x, y + 74, -100.0, 8, "OnEditOriginX");
    tag(y + 98, "Origine vert.");
    entry(origin_y, y + 98, -100.0, 8, "OnEditOriginY");
    check(show_switch, y + 120, 170, "Affiche la grille", "OnSwitchShow");
    check(active_switch, y + 136, 170, "Grille magn\xe9tique active", "OnSwitchActive");
    CSetupPane::BuildContents(x, y);
}

void CGridSetup::Show(const CTextLineArrowRef& entry, double value)
{
    if (entry.IsInvalid())
        return;
    ready = false;
    entry->SetValue(value);
    ready = true;
}

void CGridSetup::Update(int, int)
{
    if (view_settings.IsInvalid())
        return;
    Show(step_x, view_settings->values[kStepX]);
    Show(step_y, view_settings->values[kStepY]);
    Show(origin_x, view_settings->origin_x);
    Show(origin_y, view_settings->origin_y);
    ShowState(show_switch, view_settings->switches[CView::SHOW_GRID]);
    ShowState(active_switch, view_settings->switches[CView::GRID_MAGNETISM]);
}

void CGridSetup::RefreshPage()
{
    if (page_view.IsValid()) {
        page_view->Redraw(false);
        page_view->RefreshTool();
    }
    if (selection.IsValid())
        selection->UpdateSwapGridCommand();
}

bool CGridSetup::OnEditStepX()
{
    if (!ready || view_settings.IsInvalid() || step_x.IsInvalid())
        return false;
    double* values = view_settings->values;
    values[kStepX] = step_x->GetValue();
    if (linked) {
        values[kStepY] = values[kStepX];
        Show(step_y, values[kStepY]);
    }
    RefreshPage();
    return true;
}

bool CGridSetup::OnEditStepY()
{
    if (!ready || view_settings.IsInvalid() || step_y.IsInvalid())
        return false;
    double* values = view_settings->values;
    values[kStepY] = step_y->GetValue();
    if (linked) {
        values[kStepX] = values[kStepY];
        Show(step_x, values[kStepX]);
    }
    RefreshPage();
    return true;
}

bool CGridSetup::OnSwitchLink()
{
    linked = IsOn(link_switch);
    if (!linked || view_settings.IsInvalid())
        return true;
    // The horizontal step is the one kept.
    view_settings->values[kStepY] = view_settings->values[kStepX];
    Show(step_y, view_settings->values[kStepY]);
    RefreshPage();
    return true;
}

bool CGridSetup::OnEditOriginX()
{
    if (!ready || view_settings.IsInvalid() || origin_x.IsInvalid())
        return false;
    view_settings->origin_x = origin_x->GetValue();
    RefreshPage();
    return true;
}

bool CGridSetup::OnEditOriginY()
{
    if (!ready || view_settings.IsInvalid() || origin_y.IsInvalid())
        return false;
    view_settings->origin_y = origin_y->GetValue();
    RefreshPage();
    return true;
}

bool CGridSetup::OnSwitchShow()
{
    if (view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::SHOW_GRID] = IsOn(show_switch);
    RefreshPage();
    return true;
}

bool CGridSetup::OnSwitchActive()
{
    if (view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::GRID_MAGNETISM] = IsOn(active_switch);
    RefreshPage();
    return true;
}

void CGridSetup::Delete()
{
    step_x = CTextLineArrowRef();
    step_y = CTextLineArrowRef();
    origin_x = CTextLineArrowRef();
    origin_y = CTextLineArrowRef();
    link_switch = ZuSwitchRef();
    show_switch = ZuSwitchRef();
    active_switch = ZuSwitchRef();
    CSetupPane::Delete();
}
