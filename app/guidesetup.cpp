#include "app/guidesetup.h"

#include "app/commands.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CGuideSetup, "app/guidesetup", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(CGuideSetup, IChangeUnit)
ZuAtomRef CGuideSetup::notify_Modify;
ZU_EXPORT_NOTIFY(CGuideSetup, Modify, "notify_Modify", &CGuideSetup::notify_Modify)
SETUP_EXPORT_HANDLER(CGuideSetup, OnRadioH)
SETUP_EXPORT_HANDLER(CGuideSetup, OnRadioV)
SETUP_EXPORT_HANDLER(CGuideSetup, OnScrollList)
SETUP_EXPORT_HANDLER(CGuideSetup, OnEditPosition)
SETUP_EXPORT_HANDLER(CGuideSetup, OnButtonCreate)
SETUP_EXPORT_HANDLER(CGuideSetup, OnButtonDelete)
SETUP_EXPORT_HANDLER(CGuideSetup, OnSwitchShow)
SETUP_EXPORT_HANDLER(CGuideSetup, OnSwitchActive)

namespace {

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

CGuideSetup::CGuideSetup()
{
    radio = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    radio->SetSize(2);
}

ZuSwitchRef CGuideSetup::RetRadio(int i) const
{
    return (i == 0 || i == 1) && radio.IsValid() ? ZuSwitchRef(radio[unsigned(i)]) : ZuSwitchRef();
}

bool CGuideSetup::Build()
{
    // The two list switches form a radio group of their own.
    SetUserName(ZuAtomRef("guidesetup"));
    SetSize(260, 170);
    BuildContents(0, 0);
    return true;
}

void CGuideSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    auto toggle = [&](double sx, double sy, double dx, const char* title, const char* tip,
                      const char* handler) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetOrigin(sx, sy);
        s->SetSize(dx, 16);
        s->SetTitle(ZuStringRef(title));
        s->SetToolTip(ZuStringRef(tip));
        s->SetParent(pane);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
        return s;
    };
    const char* const titles[2] = {"Horiz.", "Vertical"};
    const char* const tips[2] = {"Montre la liste des guides horizontaux",
                                 "Montre la liste des guides verticaux"};
    const char* const handlers[2] = {"OnRadioH", "OnRadioV"};
    for (int i = 0; i < 2; ++i) {
        ZuSwitchRef s =
            toggle(x + (i == 0 ? 6 : 66), y + 6, i == 0 ? 60 : 70, titles[i], tips[i], handlers[i]);
        s->SetRadioButtonMode(true);
        s->ChangeState(ZU_VIEW_IS_ON, (i == 0) == horizontal, false);
        radio[unsigned(i)] = s;
    }

    guide_list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    guide_list->CreateScroller(x + 6, y + 22, 140, 136);
    guide_list->SetParent(pane);
    guide_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnScrollList"), 0);

    ZuTextTagRef tag = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
    tag->SetOrigin(x + 152, y + 6);
    tag->SetSize(100, 16);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP));
    tag->SetText(ZuStringRef("Position :"));
    tag->SetParent(pane);

    position = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
    position->SetParent(pane);
    position->Build(x + 152, y + 22, 65, 20, 0, false, 98);
    position->SetMin(-1000.0);
    position->SetMax(1000.0);
    position->AttachObserver(self, ZuTextLine::notify_user_text_changed,
                             ZuAtomRef("OnEditPosition"), 0);

    auto button = [&](CButtonRef& b, double by, const char* text, const char* tip,
                      const char* handler) {
        NewIconButton(b, pane, x + 152, by, 96, 24, -1, -1);
        if (b.IsInvalid())
            return;
        b->SetText(ZuStringRef(text), ZuTextStyle::none, true);
        b->SetToolTip(ZuStringRef(tip));
        b->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    };
    button(create_button, y + 44, "Copier",
           "Cr\xe9"
           "e un nouveau guide \xe0 la fin de la liste",
           "OnButtonCreate");
    button(delete_button, y + 70, "Supprimer", "Supprime le guide s\xe9lectionn\xe9 dans la liste",
           "OnButtonDelete");

    show_switch =
        toggle(x + 152, y + 100, 96, "Visibles", "Tous les guides sont visibles", "OnSwitchShow");
    active_switch = toggle(x + 152, y + 116, 96, "Magn\xe9tiques",
                           "Tous les guides sont magn\xe9tiques", "OnSwitchActive");
    CSetupPane::BuildContents(x, y);
}

int CGuideSetup::Count() const
{
    return document.IsValid() ? document->GetGuideCount(horizontal) : 0;
}

int CGuideSetup::Selected() const
{
    if (guide_list.IsInvalid())
        return -1;
    const int row = guide_list->RetSelected();
    return row >= 0 && row < Count() ? row : -1;
}

void CGuideSetup::Update(int topic, int item)
{
    if (document.IsInvalid())
        return;
    const bool named = topic == 4;
    int guide = -1;
    if (named) {
        horizontal = item >= OTHER_LIST;
        guide = horizontal ? item - OTHER_LIST : item;
    }
    for (int i = 0; i < 2; ++i)
        ShowState(RetRadio(i), (i == 0) == horizontal);
    RebuildList();
    FillEntry();
    EnableButtons();
    if (view_settings.IsValid()) {
        ShowState(show_switch, view_settings->switches[CView::SHOW_GUIDES]);
        ShowState(active_switch, view_settings->switches[CView::GUIDE_MAGNETISM]);
    }
    if (named) {
        // A negative number names no guide; one past the end the last, as
        // the list takes it.
        SelectRow(guide < 0 ? -1 : guide);
        // The entry shows the guide now selected.
        FillEntry();
    }
}

void CGuideSetup::ChangeUnit(int)
{
    RebuildList();
}

void CGuideSetup::RebuildList()
{
    if (guide_list.IsInvalid())
        return;
    int index = guide_list->RetSelected();
    const int count = Count();
    ZuListRef texts = ZuNew<ZuList>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; i < count; ++i) {
        char text[400];
        FormatInUnit(text, sizeof text, document->GetGuide(horizontal, i), 0);
        texts->PushTail(ZuStringRef(text));
    }
    if (index == -1)
        index = 0;
    if (index >= count)
        index = count - 1;
    rows = texts;
    guide_list->UpdateScroller(texts);
    SelectRow(index);
}

void CGuideSetup::SelectRow(int index)
{
    if (guide_list.IsInvalid())
        return;
    guide_list->Select(index);
    guide_list->Display(true);
}

void CGuideSetup::FillEntry()
{
    const int selected = Selected();
    if (selected < 0 || position.IsInvalid())
        return;
    position->SetValue(document->GetGuide(horizontal, selected));
    position->SetFullHilite();
}

void CGuideSetup::EnableButtons()
{
    const int count = Count();
    SetViewEnabled(create_button, count < CDocument::MAX_GUIDES);
    SetViewEnabled(delete_button, count >= 1);
}

void CGuideSetup::SelectCurrentGuide()
{
    const int selected = Selected();
    if (selected < 0 || document.IsInvalid())
        return;
    document->SetCurrentGuide(horizontal, selected);
    RedrawPage();
}

void CGuideSetup::RedrawPage()
{
    RedrawPageView(false);
}

void CGuideSetup::ShowList(bool on_horizontal)
{
    horizontal = on_horizontal;
    if (document.IsInvalid())
        return;
    RebuildList();
    FillEntry();
    EnableButtons();
    SelectCurrentGuide();
}

bool CGuideSetup::OnRadioH()
{
    ShowList(true);
    return true;
}

bool CGuideSetup::OnRadioV()
{
    ShowList(false);
    return true;
}

bool CGuideSetup::OnScrollList()
{
    if (document.IsInvalid())
        return false;
    FillEntry();
    SelectCurrentGuide();
    return true;
}

bool CGuideSetup::OnEditPosition()
{
    if (document.IsInvalid() || position.IsInvalid())
        return false;
    int index = Selected();
    if (index >= 0)
        index = document->SetGuide(horizontal, index, position->GetValue());
    RebuildList();
    SelectRow(index);
    EnableButtons();
    SelectCurrentGuide();
    RedrawPage();
    return true;
}

bool CGuideSetup::OnButtonCreate()
{
    if (document.IsInvalid() || position.IsInvalid())
        return false;
    const int index = document->AddGuide(horizontal, position->GetValue());
    RebuildList();
    SelectRow(index);
    EnableButtons();
    SelectCurrentGuide();
    RedrawPage();
    // The keys go to the entry, ready for the next guide's position.
    position->SetFullHilite();
    const ZuWindowRef window = RetWindow();
    if (window.IsValid())
        window->SetMainResponder(ZuResponderRef(ZuObjectRef(position)), false);
    return true;
}

bool CGuideSetup::OnButtonDelete()
{
    if (document.IsInvalid())
        return false;
    // Without a selected guide there is nothing to delete: the document
    // is left as it is.
    const int selected = Selected();
    if (selected < 0)
        return false;
    document->RemoveGuide(horizontal, selected);
    const int count = Count();
    const int index = selected < count - 1 ? selected : count - 1;
    // The current guide is the one deleted: none while the list is empty.
    if (count == 0)
        document->SetCurrentGuide(horizontal, -1);
    RebuildList();
    SelectRow(index);
    FillEntry();
    EnableButtons();
    SelectCurrentGuide();
    RedrawPage();
    return true;
}

bool CGuideSetup::OnSwitchShow()
{
    if (view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::SHOW_GUIDES] = IsOn(show_switch);
    RedrawPage();
    return true;
}

bool CGuideSetup::OnSwitchActive()
{
    if (view_settings.IsInvalid())
        return false;
    view_settings->switches[CView::GUIDE_MAGNETISM] = IsOn(active_switch);
    return true;
}

void CGuideSetup::Delete()
{
    if (radio.IsValid())
        radio->RemoveAll();
    radio = ZuSwitchArray();
    guide_list = CScrollListRef();
    position = CTextLineArrowRef();
    create_button = CButtonRef();
    delete_button = CButtonRef();
    show_switch = ZuSwitchRef();
    active_switch = ZuSwitchRef();
    rows = ZuListRef();
    CSetupPane::Delete();
}
