#include "app/printdlg.h"

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/key.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/texttag.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CPrintDlg, "app/printdlg", ZU_CLASS_NOT_STORED)

ZuAtomRef CPrintDlg::notify_button1;
ZuAtomRef CPrintDlg::notify_button2;

ZU_EXPORT_NOTIFY(CPrintDlg, button1, "notify_button1", &CPrintDlg::notify_button1)
ZU_EXPORT_NOTIFY(CPrintDlg, button2, "notify_button2", &CPrintDlg::notify_button2)
ZU_EXPORT_ACTOR(CPrintDlg, OnSwitchMirror)
ZU_EXPORT_ACTOR(CPrintDlg, OnSwitchNegative)
ZU_EXPORT_ACTOR(CPrintDlg, OnEditFrequency)
ZU_EXPORT_ACTOR(CPrintDlg, OnEditAngle)
ZU_EXPORT_ACTOR(CPrintDlg, OnClickList)
ZU_EXPORT_ACTOR(CPrintDlg, OnFile)
ZU_EXPORT_ACTOR(CPrintDlg, OnClose)
ZU_EXPORT_NOTIFY(CPrintDlg, OnSwitchMirror, "OnSwitchMirror", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnSwitchNegative, "OnSwitchNegative", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnEditFrequency, "OnEditFrequency", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnEditAngle, "OnEditAngle", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnClickList, "OnClickList", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnFile, "OnFile", nullptr)
ZU_EXPORT_NOTIFY(CPrintDlg, OnClose, "OnClose", nullptr)

const double CPrintDlg::kPi = 3.1415926535;

const DotShape DotShapeTable[] = {
    {2, "Rond"},    {5, "Rond invers\xe9"}, {3, "Compos\xe9 euclidien"}, {4, "Diamant"},
    {6, "Losange"}, {1, "Rapide"},          {7, "Ligne horizontale"},    {8, "Triangle"},
    {-1, ""},
};

namespace {

const char kSource[] = "printdlg";
const double kMinFrequency = 5.0;
const double kMaxFrequency = 1000.0;

ZuKey KeyOfKind(ZuKeyType type)
{
    ZuKey key;
    key.type = type;
    return key;
}

int CountShapes()
{
    int n = 0;
    while (DotShapeTable[n].code != -1)
        ++n;
    return n;
}

double Clamp(double v, double lo, double hi)
{
    if (!(v == v))
        return lo;
    return v < lo ? lo : v > hi ? hi : v;
}

} // namespace

bool CPrintDlg::Build(int x, int y)
{
    if (window.IsValid())
        return false;
    ZuMemZone* zone = Zuvi_app_zone;
    window = ZuNew<ZuWindow>(zone, __LINE__, kSource);
    ZuWinStyle style{ZuWinStyleBit(0), ZU_WINSTYLE_CLOSE_BUTTON, ZU_WINSTYLE_TOOL};
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Imprimer"));
    window->SetWindowBox(ZuRect(x, y, x + 189, y + 239));
    user_name = ZuStringRef("print");

    const ZuObjectRef self(this);
    auto tag = [&](double tx, double ty, double dx, double dy, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, kSource);
        t->SetOrigin(tx, ty);
        t->SetSize(dx, dy);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(window);
    };
    auto toggle = [&](double sy, const char* title, const char* handler) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, kSource);
        s->SetOrigin(10, sy);
        s->SetSize(100, 16);
        s->SetTitle(ZuStringRef(title));
        s->SetParent(window);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
        return s;
    };
    auto entry = [&](double ey, int unit, double lo, double hi, double step, const char* tip,
                     const char* handler) {
        CTextLineArrowRef t = ZuNew<CTextLineArrow>(zone, __LINE__, kSource);
        t->SetParent(window);
        t->Build(80, ey, 57, 20, unit, false, 0x62);
        t->SetMin(lo);
        t->SetMax(hi);
        t->SetStep(step);
        t->SetToolTip(ZuStringRef(tip));
        t->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
        return t;
    };

    mirror_switch = toggle(10, "Miroir", "OnSwitchMirror");
    negative_switch = toggle(26, "N\xe9gatif", "OnSwitchNegative");
    tag(10, 52, 70, 20, "Fr\xe9quence");
    frequency_entry = entry(52, 10, kMinFrequency, kMaxFrequency, 5,
                            "Fr\xe9quence de la trame en lignes par pouce", "OnEditFrequency");
    tag(10, 72, 70, 20, "Angle");
    angle_entry =
        entry(72, 13, 0, 2 * kPi, kPi / 36, "Angle de la trame en degr\xe9s", "OnEditAngle");
    tag(10, 102, 170, 20, "Forme des points de trame :");

    shape_list = ZuNew<CScrollList>(zone, __LINE__, kSource);
    shape_list->CreateScroller(10, 122, 170, 72);
    shape_list->SetParent(window);
    ZuListRef labels = ZuNew<ZuList>(zone, __LINE__, kSource);
    for (int i = 0; DotShapeTable[i].code != -1; ++i)
        labels->PushTail(ZuStringRef(DotShapeTable[i].label));
    shape_list->UpdateScroller(labels);
    shape_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnClickList"), 0);

    CButtonRef confirm;
    NewIconButton(confirm, window, 10, 206, 80, 24, -1, -1);
    if (confirm.IsValid()) {
        confirm->SetText(ZuStringRef("Imprimer"), ZuTextStyle::none, true);
        confirm->SetKeyAlt(KeyOfKind(ZU_KEY_RETURN));
        SetViewOn(confirm, 1);
        confirm->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnFile"), 0);
    }
    CButtonRef cancel;
    NewIconButton(cancel, window, 100, 206, 80, 24, -1, -1);
    if (cancel.IsValid()) {
        cancel->SetText(ZuStringRef("Annuler"), ZuTextStyle::none, true);
        cancel->SetKeyAlt(KeyOfKind(ZU_KEY_ESCAPE));
        cancel->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClose"), 0);
    }

    UpdateFrequency();
    UpdateAngle();
    UpdateShape();
    return true;
}

void CPrintDlg::Open(ZuWindowRef parent)
{
    if (window.IsInvalid())
        return;
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
    window->SetModalWindowParent(parent);
}

bool CPrintDlg::GetSettings(PrintSettings& out) const
{
    out = settings;
    return true;
}

ZuAtomRef CPrintDlg::RetUserName()
{
    return ZuAtomRef(user_name.IsValid() ? user_name : ZuStringRef("print"));
}

void CPrintDlg::Delete()
{
    for (ZuSwitchRef* s : {&mirror_switch, &negative_switch}) {
        if (s->IsValid())
            (*s)->Delete();
        *s = ZuSwitchRef();
    }
    if (window.IsValid())
        window->Kill();
    window = ZuWindowRef();
    user_name = ZuStringRef();
    frequency_entry = CTextLineArrowRef();
    angle_entry = CTextLineArrowRef();
    shape_list = CScrollListRef();
    ZuObject::Delete();
}

// ------------------------------------------------------------- refreshing

void CPrintDlg::UpdateFrequency()
{
    if (frequency_entry.IsInvalid())
        return;
    updating = false;
    frequency_entry->SetValue(settings.frequency);
    updating = true;
}

void CPrintDlg::UpdateAngle()
{
    if (angle_entry.IsInvalid())
        return;
    updating = false;
    angle_entry->SetValue(settings.angle);
    updating = true;
}

void CPrintDlg::UpdateShape()
{
    if (shape_list.IsInvalid())
        return;
    int row = 0;
    for (int i = 0; DotShapeTable[i].code != -1; ++i)
        if (DotShapeTable[i].code == settings.spot) {
            row = i;
            break;
        }
    updating = false;
    shape_list->Select(row);
    shape_list->Display(true);
    updating = true;
}

// ------------------------------------------------------------- handlers

bool CPrintDlg::OnSwitchMirror()
{
    if (!updating || mirror_switch.IsInvalid())
        return false;
    settings.mirror = mirror_switch->RetSwitchState();
    return true;
}

bool CPrintDlg::OnSwitchNegative()
{
    if (!updating || negative_switch.IsInvalid())
        return false;
    settings.negative = negative_switch->RetSwitchState();
    return true;
}

bool CPrintDlg::OnEditFrequency()
{
    if (!updating || frequency_entry.IsInvalid())
        return false;
    settings.frequency = Clamp(frequency_entry->GetValue(), kMinFrequency, kMaxFrequency);
    return true;
}

bool CPrintDlg::OnEditAngle()
{
    if (!updating || angle_entry.IsInvalid())
        return false;
    settings.angle = Clamp(angle_entry->GetValue(), 0.0, 2 * kPi);
    return true;
}

bool CPrintDlg::OnClickList()
{
    if (shape_list.IsInvalid())
        return false;
    const int row = shape_list->RetSelected();
    if (row < 0 || row >= CountShapes())
        return false;
    settings.spot = DotShapeTable[row].code;
    return true;
}

bool CPrintDlg::OnFile()
{
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button1);
    return true;
}

bool CPrintDlg::OnClose()
{
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button2);
    return true;
}
