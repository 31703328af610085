#include "app/colorsetup.h"

#include "si/classfactory.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CColorSetup, "app/colorsetup", ZU_CLASS_PLAIN)
ZuAtomRef CColorSetup::notify_Modify;
ZU_EXPORT_NOTIFY(CColorSetup, Modify, "notify_Modify", &CColorSetup::notify_Modify)
SETUP_EXPORT_HANDLER(CColorSetup, OnScrollList)
SETUP_EXPORT_HANDLER(CColorSetup, OnColorSlider1)
SETUP_EXPORT_HANDLER(CColorSetup, OnColorSlider2)

const CColorSetup::InterfaceColor CColorSetup::InterfaceColorTable[] = {
    {8, "Grille magn\xe9tique"},
    {11, "Guides"},
    {6, "R\xe9ticule"},
    {2, "Dessin brouillon"},
    {4, "Propri\xe9t\xe9"},
    {3, "Rectangle s\xe9lection"},
    {5, "Rectangle loupe"},
    {7, "Curseur d'\xe9"
        "dition"},
    {9, "Fond d'un groupe"},
    {10, "Autres calques"},
    {0, "Cadre page"},
    {1, "Ombre page"},
    {-1, nullptr},
};

namespace {

ZuColorPixel Rgb(double r, double g, double b)
{
    ZuColorPixel c(0u);
    c.SetRed(r);
    c.SetGreen(g);
    c.SetBlue(b);
    return c;
}

} // namespace

int CColorSetup::ColorDefOfElement(int element)
{
    static const int definitions[12] = {0, 1, 2, 4, 11, 12, 13, 14, 15, 17, 18, 16};
    return element >= 0 && element < 12 ? definitions[element] : -1;
}

CColorSetup::CColorSetup()
{
    color_slider = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    color_slider->SetSize(2);
}

CColorSliderRef CColorSetup::RetColorSlider(int i) const
{
    return (i == 0 || i == 1) && color_slider.IsValid() ? CColorSliderRef(color_slider[unsigned(i)])
                                                        : CColorSliderRef();
}

bool CColorSetup::Build()
{
    SetSize(260, 170);
    BuildContents(0, 0);
    return true;
}

void CColorSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    const ZuViewRef pane(this);
    ZuTextTagRef tag = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
    // Over the list only: across the whole pane it would run under the
    // colour strip beside it.
    tag->SetOrigin(x + 6, y + 6);
    tag->SetSize(140, 16);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP));
    tag->SetText(ZuStringRef("Choix d'un \xe9l\xe9ment :"));
    tag->SetParent(pane);

    element_list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    element_list->CreateScroller(x + 6, y + 22, 140, 136);
    element_list->SetParent(pane);
    element_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnScrollList"), 0);
    ZuListRef labels = ZuNew<ZuList>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; InterfaceColorTable[i].element != -1; ++i)
        labels->PushTail(ZuStringRef(InterfaceColorTable[i].label));
    element_list->UpdateScroller(labels);
    element_list->Select(0);

    const ZuColorPixel black = Rgb(0, 0, 0), white = Rgb(1, 1, 1);
    auto slider = [&](double sy, double dx, double dy, unsigned style, const char* handler) {
        CColorSliderRef s = ZuNew<CColorSlider>(zone, __LINE__, ZU_SRC_FILE);
        s->SetOrigin(x + 152, sy);
        s->SetSize(dx, dy);
        s->SetStyle(style);
        s->SetParent(pane);
        s->AttachObserver(self, CColorSlider::notify_Modify, ZuAtomRef(handler), 0);
        return s;
    };
    CColorSliderRef strip = slider(y + 6, 96, 20, 0x10102, "OnColorSlider1");
    strip->SetColorUL(black);
    strip->SetColorUR(white);
    color_slider[0u] = strip;
    CColorSliderRef square = slider(y + 32, 96, 96, 0x10003, "OnColorSlider2");
    square->SetColorUL(white);
    square->SetColorDL(white);
    square->SetColorUR(black);
    square->SetColorDR(black);
    color_slider[1u] = square;

    sample = ZuNew<CColorSlider>(zone, __LINE__, ZU_SRC_FILE);
    sample->SetOrigin(x + 152, y + 134);
    sample->SetSize(30, 24);
    sample->SetToolTip(ZuStringRef("Echantillon"));
    sample->SetParent(pane);
    CSetupPane::BuildContents(x, y);
}

CColorDefRef CColorSetup::ElementColor() const
{
    if (document.IsInvalid() || element_list.IsInvalid())
        return CColorDefRef();
    const int row = element_list->RetSelected();
    int rows = 0;
    while (InterfaceColorTable[rows].element != -1)
        ++rows;
    if (row < 0 || row >= rows)
        return CColorDefRef();
    return document->GetColor(ColorDefOfElement(InterfaceColorTable[row].element));
}

void CColorSetup::ShowHue(const CColorDefRef& colour)
{
    const CColorSliderRef strip = RetColorSlider(0);
    if (strip.IsInvalid())
        return;
    double h = 0.0, s = 0.0, b = 0.0;
    colour->GetHSB(h, s, b);
    strip->SetPositionX(h);
    strip->Display(true);
}

void CColorSetup::ShowSquare(const CColorDefRef& colour)
{
    const CColorSliderRef strip = RetColorSlider(0), square = RetColorSlider(1);
    if (strip.IsInvalid() || square.IsInvalid())
        return;
    ZuColorPixel hue;
    strip->RetColor(hue);
    square->SetColorUL(hue);
    if (colour.IsValid()) {
        double r = 0.0, g = 0.0, b = 0.0;
        colour->GetRGB(r, g, b);
        square->ApplyRGB(r, g, b);
    }
    square->Display(true);
}

void CColorSetup::ShowSample()
{
    const CColorSliderRef square = RetColorSlider(1);
    if (square.IsInvalid() || sample.IsInvalid())
        return;
    ZuColorPixel c;
    square->RetColor(c);
    sample->SetColorUL(c);
    sample->SetColorUR(c);
    sample->SetColorDL(c);
    sample->SetColorDR(c);
    sample->SetStyle(0x20000);
    sample->Display(true);
}

void CColorSetup::StoreSquareColor(const CColorDefRef& colour)
{
    const CColorSliderRef square = RetColorSlider(1);
    if (square.IsInvalid())
        return;
    ZuColorPixel c;
    square->RetColor(c);
    // A fresh definition copied in: the element's definition is its own,
    // whatever other element had the same colour.
    CColorDefRef fresh = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    fresh->SetRGB(c.RealRed(), c.RealGreen(), c.RealBlue());
    colour->CopyFrom(CDefRef(fresh));
}

void CColorSetup::RenderPage()
{
    RedrawPageView(true);
}

void CColorSetup::Update(int, int)
{
    // An element without colour shows nothing.
    const CColorDefRef colour = ElementColor();
    if (colour.IsInvalid())
        return;
    ShowHue(colour);
    ShowSquare(colour);
    ShowSample();
}

bool CColorSetup::OnScrollList()
{
    const CColorDefRef colour = ElementColor();
    if (colour.IsInvalid())
        return false;
    ShowHue(colour);
    ShowSquare(colour);
    ShowSample();
    RenderPage();
    return true;
}

bool CColorSetup::OnColorSlider1()
{
    const CColorDefRef colour = ElementColor();
    const CColorSliderRef strip = RetColorSlider(0), square = RetColorSlider(1);
    if (colour.IsInvalid() || strip.IsInvalid() || square.IsInvalid())
        return false;
    // The square takes the new hue where its point stands, and the colour
    // under the point is the element's new colour.
    ZuColorPixel hue;
    strip->RetColor(hue);
    square->SetColorUL(hue);
    square->Display(true);
    StoreSquareColor(colour);
    ShowSample();
    RenderPage();
    return true;
}

bool CColorSetup::OnColorSlider2()
{
    const CColorDefRef colour = ElementColor();
    if (colour.IsInvalid())
        return false;
    StoreSquareColor(colour);
    ShowSample();
    RenderPage();
    return true;
}

void CColorSetup::Delete()
{
    element_list = CScrollListRef();
    if (color_slider.IsValid())
        color_slider->RemoveAll();
    color_slider = CColorSliderArray();
    sample = CColorSliderRef();
    CSetupPane::Delete();
}
