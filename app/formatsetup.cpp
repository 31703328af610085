#include "app/formatsetup.h"

#include "app/commands.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CFormatSetup, "app/formatsetup", ZU_CLASS_PLAIN)
ZuAtomRef CFormatSetup::notify_Modify;
ZU_EXPORT_NOTIFY(CFormatSetup, Modify, "notify_Modify", &CFormatSetup::notify_Modify)
SETUP_EXPORT_HANDLER(CFormatSetup, OnEditWidth)
SETUP_EXPORT_HANDLER(CFormatSetup, OnEditHeight)
SETUP_EXPORT_HANDLER(CFormatSetup, OnScrollList)
SETUP_EXPORT_HANDLER(CFormatSetup, OnPortrait)
SETUP_EXPORT_HANDLER(CFormatSetup, OnLandscape)

const CFormatSetup::PageFormat CFormatSetup::PageFormatTable[] = {
    {0.0, 0.0, "Personnalis\xe9"}, {594.0, 841.0, "A1"}, {420.0, 594.0, "A2"},
    {297.0, 420.0, "A3"},          {210.0, 297.0, "A4"}, {148.0, 210.0, "A5"},
    {105.0, 148.0, "A6"},          {324.0, 458.0, "C3"}, {229.0, 324.0, "C4"},
    {162.0, 229.0, "C5"},          {114.0, 162.0, "C6"}, {215.9, 279.4, "Lettre US"},
    {215.9, 355.6, "Legal"},       {-1.0, -1.0, ""},
};

bool CFormatSetup::Build()
{
    ready = false;
    // The orientation switches form a radio group of their own.
    SetUserName(ZuAtomRef("formatsetup"));
    SetSize(260, 170);
    BuildContents(0, 0);
    ready = true;
    return true;
}

void CFormatSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    auto tag = [&](double tx, double ty, const char* text) {
        ZuTextTagRef t = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
        t->SetOrigin(tx, ty);
        t->SetSize(50, 20);
        t->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        t->SetText(ZuStringRef(text));
        t->SetParent(pane);
    };
    auto entry = [&](CTextLineArrowRef& e, double ey, const char* handler) {
        e = ZuNew<CTextLineArrow>(zone, __LINE__, ZU_SRC_FILE);
        e->SetParent(pane);
        e->Build(x + 56, ey, 56, 20, 0, true, 98);
        e->SetMin(kMinSide);
        e->SetMax(1000.0);
        e->SetSliderGrad(10);
        e->SetSliderSubdiv(2);
        e->AttachObserver(self, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    };
    tag(x + 6, y + 6, "Largeur");
    entry(width_entry, y + 6, "OnEditWidth");
    // The second row of a pair stands 24 below the first, not 20: each
    // slider keeps room for its ticks above and below its track, and rows
    // 22 apart would put the ticks of one against the other's.
    tag(x + 6, y + 30, "Hauteur");
    entry(height_entry, y + 30, "OnEditHeight");

    format_list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    format_list->CreateScroller(x + 6, y + 52, 140, 104);
    format_list->SetParent(pane);
    format_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnScrollList"), 0);
    ZuListRef names = ZuNew<ZuList>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; PageFormatTable[i].width != -1.0; ++i)
        names->PushTail(ZuStringRef(PageFormatTable[i].name));
    format_list->UpdateScroller(names);

    auto radio = [&](ZuSwitchRef& s, double sy, const char* title, const char* handler) {
        s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetRadioButtonMode(true);
        s->SetOrigin(x + 152, sy);
        s->SetSize(80, 16);
        s->SetTitle(ZuStringRef(title));
        s->SetParent(pane);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    };
    radio(portrait_switch, y + 68, "Portrait", "OnPortrait");
    radio(landscape_switch, y + 84, "Paysage", "OnLandscape");
    CSetupPane::BuildContents(x, y);
}

void CFormatSetup::Update(int, int)
{
    if (document.IsInvalid())
        return;
    ShowWidth();
    ShowHeight();
    ShowFormat();
    ShowPortrait();
    ShowLandscape();
}

void CFormatSetup::ShowWidth()
{
    if (document.IsInvalid() || width_entry.IsInvalid())
        return;
    ready = false;
    width_entry->SetValue(document->GetPageWidth());
    ready = true;
}

void CFormatSetup::ShowHeight()
{
    if (document.IsInvalid() || height_entry.IsInvalid())
        return;
    ready = false;
    height_entry->SetValue(document->GetPageHeight());
    ready = true;
}

void CFormatSetup::ShowFormat()
{
    if (document.IsInvalid() || format_list.IsInvalid())
        return;
    const double w = document->GetPageWidth(), h = document->GetPageHeight();
    int row = 0;
    for (int i = 0; PageFormatTable[i].width != -1.0; ++i) {
        const PageFormat& f = PageFormatTable[i];
        if ((f.width == w && f.height == h) || (f.width == h && f.height == w)) {
            row = i;
            break;
        }
    }
    format_list->Select(row);
    format_list->Display(true);
}

void CFormatSetup::ShowPortrait()
{
    if (document.IsValid())
        SetViewOn(portrait_switch, document->GetPageWidth() < document->GetPageHeight() ? 1 : 0);
}

void CFormatSetup::ShowLandscape()
{
    if (document.IsValid())
        SetViewOn(landscape_switch, document->GetPageWidth() > document->GetPageHeight() ? 1 : 0);
}

void CFormatSetup::RedrawPage()
{
    RedrawPageView(true);
}

bool CFormatSetup::OnEditWidth()
{
    if (!ready || document.IsInvalid() || width_entry.IsInvalid())
        return false;
    document->SetPageSize(width_entry->GetValue(), document->GetPageHeight());
    ShowFormat();
    ShowPortrait();
    ShowLandscape();
    RedrawPage();
    return true;
}

bool CFormatSetup::OnEditHeight()
{
    if (!ready || document.IsInvalid() || height_entry.IsInvalid())
        return false;
    document->SetPageSize(document->GetPageWidth(), height_entry->GetValue());
    ShowFormat();
    ShowPortrait();
    ShowLandscape();
    RedrawPage();
    return true;
}

bool CFormatSetup::OnScrollList()
{
    if (document.IsInvalid() || format_list.IsInvalid())
        return false;
    const int row = format_list->RetSelected();
    int rows = 0;
    while (PageFormatTable[rows].width != -1.0)
        ++rows;
    if (row <= 0 || row >= rows)
        return false;
    const PageFormat& f = PageFormatTable[row];
    if (document->GetPageWidth() < document->GetPageHeight())
        document->SetPageSize(f.width, f.height);
    else
        document->SetPageSize(f.height, f.width);
    ShowAfterSwap();
    return true;
}

void CFormatSetup::ShowAfterSwap()
{
    ShowWidth();
    ShowHeight();
    ShowPortrait();
    ShowLandscape();
    RedrawPage();
}

bool CFormatSetup::OnPortrait()
{
    if (document.IsInvalid())
        return false;
    const double w = document->GetPageWidth(), h = document->GetPageHeight();
    if (w > h) {
        document->SetPageSize(h, w);
        ShowAfterSwap();
        return true;
    }
    // A click on the switch of the orientation already shown, or on a
    // square page, changes nothing: the switches show the page again.
    ShowPortrait();
    ShowLandscape();
    return false;
}

bool CFormatSetup::OnLandscape()
{
    if (document.IsInvalid())
        return false;
    const double w = document->GetPageWidth(), h = document->GetPageHeight();
    if (w < h) {
        document->SetPageSize(h, w);
        ShowAfterSwap();
        return true;
    }
    ShowPortrait();
    ShowLandscape();
    return false;
}

void CFormatSetup::Delete()
{
    width_entry = CTextLineArrowRef();
    height_entry = CTextLineArrowRef();
    format_list = CScrollListRef();
    portrait_switch = ZuSwitchRef();
    landscape_switch = ZuSwitchRef();
    CSetupPane::Delete();
}
