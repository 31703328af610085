#include "app/duplsetup.h"

#include "si/classfactory.h"
#include "si/control.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CDuplSetup, "app/duplsetup", ZU_CLASS_PLAIN)
SETUP_EXPORT_HANDLER(CDuplSetup, OnEditStepX)
SETUP_EXPORT_HANDLER(CDuplSetup, OnEditStepY)
SETUP_EXPORT_HANDLER(CDuplSetup, OnSwitchReticule)
SETUP_EXPORT_HANDLER(CDuplSetup, OnSwitchAfter)

namespace {

bool IsOn(const ZuSwitchRef& s)
{
    return s.IsValid() && s->RetState().TestBit(ZU_VIEW_IS_ON);
}

} // namespace

bool CDuplSetup::Build()
{
    ready = false;
    SetSize(260, 170);
    BuildContents(0, 0);
    ready = true;
    return true;
}

void CDuplSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    auto tag = [&](double tx, double ty, double dx, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
        t->SetOrigin(tx, ty);
        t->SetSize(dx, 20);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(pane);
    };
    auto entry = [&](CTextLineArrowRef& e, double ey, const char* handler) {
        e = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
        e->SetParent(pane);
        e->Build(x + 76, ey, 56, 20, 0, true, 98);
        e->SetMin(-100.0);
        e->SetMax(100.0);
        e->SetSliderGrad(8);
        e->SetSliderSubdiv(2);
        e->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    };
    auto check = [&](ZuSwitchRef& s, double sy, const char* title, const char* handler) {
        s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetOrigin(x + 6, sy);
        s->SetSize(200, 16);
        s->SetTitle(ZuStringRef(title));
        s->SetParent(pane);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    };
    tag(x + 6, y + 6, 248, "D\xe9placement des objets dupliqu\xe9s :");
    tag(x + 6, y + 32, 70, "Horizontal");
    entry(offset_x, y + 32, "OnEditStepX");
    // The second row of a pair stands 24 below the first, not 20: each
    // slider keeps room for its ticks above and below its track, and rows
    // 22 apart would put the ticks of one against the other's.
    tag(x + 6, y + 56, 70, "Vertical");
    entry(offset_y, y + 56, "OnEditStepY");
    check(reticule_switch, y + 84, "Reticule visible", "OnSwitchReticule");
    check(after_switch, y + 100,
          "S\xe9"
          "lection apr\xe8s cr\xe9"
          "ation",
          "OnSwitchAfter");
    CSetupPane::BuildContents(x, y);
}

void CDuplSetup::Update(int, int)
{
    if (document.IsInvalid())
        return;
    ready = false;
    if (offset_x.IsValid())
        offset_x->SetValue(document->GetDuplicationOffsetX());
    if (offset_y.IsValid())
        offset_y->SetValue(document->GetDuplicationOffsetY());
    if (view_settings.IsValid()) {
        if (reticule_switch.IsValid())
            reticule_switch->ChangeState(ZU_VIEW_IS_ON,
                                         view_settings->switches[CView::RETICULE_VISIBLE], false);
        if (after_switch.IsValid())
            after_switch->ChangeState(ZU_VIEW_IS_ON,
                                      view_settings->switches[CView::SELECT_NEW_OBJECTS], false);
    }
    ready = true;
}

bool CDuplSetup::OnEditStepX()
{
    if (!ready || document.IsInvalid() || offset_x.IsInvalid())
        return false;
    document->SetDuplicationOffset(offset_x->GetValue(), document->GetDuplicationOffsetY());
    return true;
}

bool CDuplSetup::OnEditStepY()
{
    if (!ready || document.IsInvalid() || offset_y.IsInvalid())
        return false;
    document->SetDuplicationOffset(document->GetDuplicationOffsetX(), offset_y->GetValue());
    return true;
}

bool CDuplSetup::OnSwitchReticule()
{
    if (!ready || view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::RETICULE_VISIBLE] = IsOn(reticule_switch);
    return true;
}

bool CDuplSetup::OnSwitchAfter()
{
    if (!ready || view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::SELECT_NEW_OBJECTS] = IsOn(after_switch);
    return true;
}

void CDuplSetup::Delete()
{
    offset_x = CTextLineArrowRef();
    offset_y = CTextLineArrowRef();
    reticule_switch = ZuSwitchRef();
    after_switch = ZuSwitchRef();
    CSetupPane::Delete();
}
