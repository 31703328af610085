#include "app/defpane.h"

#include "app/app.h"
#include "app/button.h"
#include "app/commands.h"
#include "app/idefdlg.h"
#include "si/boxview.h"
#include "si/app.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CDefPane, "app/defpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CDefPane, OnClose)
ZU_EXPORT_NOTIFY(CDefPane, modify, "notify_Modify", &CDefPane::notify_Modify)
ZU_EXPORT_NOTIFY(CDefPane, update_full, "notify_UpdateFullProperty",
                 &CDefPane::notify_UpdateFullProperty)
ZU_EXPORT_NOTIFY(CDefPane, update_quick, "notify_UpdateQuickProperty",
                 &CDefPane::notify_UpdateQuickProperty)

const Zuvi_Interface IDefDlg::interface("IDefDlg");

ZuAtomRef CDefPane::notify_Modify;
ZuAtomRef CDefPane::notify_UpdateFullProperty;
ZuAtomRef CDefPane::notify_UpdateQuickProperty;

namespace {

const char* const kFile = "defpane";

ZuObjectRef& FallbackDialog()
{
    static ZuObjectRef dialog;
    return dialog;
}

IDefDlg* AsDefDlg(const ZuObjectRef& o)
{
    if (!o.IsValid() || !o->SupportsInterface(&IDefDlg::interface))
        return nullptr;
    return static_cast<IDefDlg*>(o->CastToInterface(&IDefDlg::interface));
}

} // namespace

CDefPane::CDefPane()
{
    ClearCodes();
}

const ZuAtomRef& CDefPane::RetUserName() const
{
    static const ZuAtomRef def("def");
    return def;
}

IDefDlg* CDefPane::RetDefDlg()
{
    AppRef app = App::Current();
    if (app.IsValid())
        if (IDefDlg* dialog = AsDefDlg(app->RetDefDlg()))
            return dialog;
    return AsDefDlg(FallbackDialog());
}

void CDefPane::SetFallbackDefDlg(const ZuObjectRef& dialog)
{
    FallbackDialog() = dialog;
}

ZuViewRef CDefPane::NewLabel(const ZuViewRef& parent, double x, double y, double dx, double dy,
                             const char* text)
{
    ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
    tag->SetOrigin(x, y);
    tag->SetSize(dx, dy);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    tag->SetText(ZuStringRef(text));
    tag->SetParent(parent);
    return tag;
}

void CDefPane::NewValueEntries(const ZuViewRef& box, double x, double y, ZuTextTagRef& label1,
                               CTextLineArrowRef& entry1, ZuTextTagRef& label2,
                               CTextLineArrowRef& entry2)
{
    ZuTextTagRef* const labels[2] = {&label1, &label2};
    CTextLineArrowRef* const entries[2] = {&entry1, &entry2};
    const char* const handlers[2] = {"OnEdit1Change", "OnEdit2Change"};
    for (int i = 0; i < 2; ++i) {
        // The label's text stands at its bottom, just above the entry. The
        // sliders beside the entries reach one pixel above and below their
        // entries for their ticks: the labels keep clear of them.
        ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
        tag->SetOrigin(x + 12, y + 35 + 41 * i);
        tag->SetSize(180, 19 - i);
        tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BOTTOM));
        tag->SetParent(box);
        *labels[i] = tag;
        *entries[i] = NewEntry(box, x + 12, y + 55 + 40 * i, 57, 20, 0, true, 98, handlers[i]);
        (*entries[i])->SetSliderGrad(10);
    }
}

void CDefPane::PutInto(const ZuViewRef& view, const ZuViewRef& parent)
{
    if (view.IsInvalid() || view->RetParent() == parent)
        return;
    double x = 0, y = 0;
    GetOrigin(x, y);
    const bool was_shown = view->RetParent().IsValid();
    if (parent.IsInvalid()) {
        view->SetParent(ZuViewRef());
        if (was_shown)
            view->MoveOrigin(-x, -y);
        return;
    }
    view->SetParent(parent);
    if (!was_shown)
        view->MoveOrigin(x, y);
}

CTextLineArrowRef CDefPane::NewEntry(const ZuViewRef& parent, double x, double y, double dx,
                                     double dy, int unit, bool slider, unsigned slider_style,
                                     const char* handler)
{
    CTextLineArrowRef entry = ZuNew<CTextLineArrow>(Zuvi_app_zone, __LINE__, kFile);
    entry->SetParent(parent);
    entry->Build(x, y, dx, dy, unit, slider, slider_style);
    entry->AttachObserver(ZuObjectRef(this), ZuTextLine::notify_user_text_changed,
                          ZuAtomRef(handler), 0);
    return entry;
}

ZuViewRef CDefPane::NewGroup(double x, double y, double dx, double dy, const char* name,
                             const char* title)
{
    const ZuViewRef self(this);
    ZuViewRef group = NewBoxView(self, x, y, dx, dy);
    if (!group.IsValid()) {
        group = ZuNew<ZuView>(Zuvi_app_zone, __LINE__, kFile);
        group->SetOrigin(x, y);
        group->SetSize(dx, dy);
        group->SetParent(self);
    }
    group->SetUserName(ZuAtomRef(name));
    if (group->IsKindOf(ZuBoxViewRef::RetRuntime())) {
        // A box shows its title in its own frame.
        const ZuBoxViewRef box(group);
        box->SetTitle(ZuStringRef(title));
        box->SetEnableTitle(true);
    } else {
        NewLabel(group, x + 6, y, dx - 12, 16, title);
    }
    return group;
}

bool CDefPane::Create(int new_kind)
{
    kind = new_kind;
    ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
    tag->SetOrigin(0, 0);
    tag->SetSize(370, 196);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    tag->SetText(ZuStringRef("(aucune d\xe9"
                             "finition)"));
    tag->SetParent(ZuViewRef(this));
    BuildControls(0, 0);
    return true;
}

void CDefPane::BuildControls(int x, int y)
{
    CButtonRef button;
    NewIconButton(button, ZuViewRef(this), x + 306, y + 168, 60, 24, -1, -1);
    if (!button.IsValid())
        return;
    button->SetText(ZuStringRef("Fermer"), ZuTextStyle::none, true);
    button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClose"), 0);
}

bool CDefPane::SetValue(int)
{
    return false;
}

int CDefPane::GetValue()
{
    return -1;
}

bool CDefPane::SetDef(const CDefRef&)
{
    return false;
}

bool CDefPane::IsColorPane()
{
    return false;
}

void CDefPane::UpdateDlgEnable()
{
    if (kind != 10 && kind != 20 && kind != 100 && kind != 101)
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef def = dialog->RetDefinition(kind);
    if (!def.IsValid())
        return;
    const int value = def->GetValue();
    switch (kind) {
    case 10:
        dialog->EnablePane(11, value == 41);
        dialog->EnablePane(12, value == 41);
        break;
    case 20:
        dialog->EnablePane(21, value == 64);
        dialog->EnablePane(22, value == 64);
        break;
    case 101:
        dialog->EnablePane(102, value == 64);
        dialog->EnablePane(103, value == 64);
        break;
    case 100: {
        const bool shadow = value != 120;
        dialog->EnablePane(105, shadow);
        dialog->EnablePane(101, shadow);
        if (!shadow) {
            dialog->EnablePane(102, false);
            dialog->EnablePane(103, false);
        }
        break;
    }
    }
}

void CDefPane::RegisterCodes()
{
    int companion = 0;
    switch (kind) {
    case 10:
        companion = 15;
        break;
    case 20:
        companion = 25;
        break;
    case 101:
        companion = 105;
        break;
    }
    if (companion == 0) {
        AddCode(kind);
        return;
    }
    if (IDefDlg* dialog = RetDefDlg()) {
        CDefRef def = dialog->RetDefinition(companion);
        if (def.IsValid())
            def->SetCount(1);
    }
    AddCode(companion);
}

void CDefPane::Update() {}

void CDefPane::Refresh() {}

void CDefPane::ClearCodes()
{
    code_count = 0;
}

int CDefPane::AddCode(int code)
{
    const int before = code_count;
    for (int i = 0; i < code_count; ++i)
        if (codes[i] == code)
            return before;
    // The list is bounded: a kind beyond the tenth is not kept.
    if (code_count < kMaxCodes)
        codes[code_count++] = code;
    return before;
}

void CDefPane::GetCodes(int** list, int* count)
{
    if (list != nullptr)
        *list = codes;
    if (count != nullptr)
        *count = code_count;
}

void CDefPane::NotifyChange(bool property_update, bool full)
{
    const ZuAppRef& app = ZuApp::Current();
    if (!app.IsValid())
        return;
    // Reported under "def" wherever the pane stands, so that the page view
    // hears every pane by the same three names.
    const ZuObjectRef self(this);
    const ZuAtomPathRef path("def");
    app->ReportAsync(self, notify_Modify, path);
    if (property_update)
        app->ReportAsync(self, full ? notify_UpdateFullProperty : notify_UpdateQuickProperty, path);
}

void CDefPane::DrawSampleBack(const ZuGrailPortRef&, int) {}
void CDefPane::DrawSampleFront(const ZuGrailPortRef&, int) {}
void CDefPane::SampleKeyDown(const ZuEventRef&, int) {}
void CDefPane::SampleMotionNotify(const ZuEventRef&, int) {}
void CDefPane::SampleButtonPress(const ZuEventRef&, int) {}
void CDefPane::SampleButtonRelease(const ZuEventRef&, int) {}
void CDefPane::SampleDragNotify(const ZuEventRef&, int) {}
void CDefPane::SampleEnterNotify(const ZuEventRef&, int) {}
void CDefPane::SampleLeaveNotify(const ZuEventRef&, int) {}

bool CDefPane::OnClose(const ZuObjectRef&, unsigned)
{
    ZuWindowRef window = RetWindow();
    if (window.IsValid())
        window->Close();
    return true;
}
