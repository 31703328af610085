// CColorSetup: the tab "Couleurs" of the settings window: the colours in
// which the page view draws its own marks (page frame and shadow, draft
// drawing, selection and zoom rectangles, property marks, grid, guides,
// edit cursor, group background, other layers). Each interface element
// owns one of the document's default colour definitions, so its colour is
// stored with the document; the view reads no colour of "Réticule" (drawn
// red). The user picks an element, then a hue on the strip and a shade in
// the square; the colour is copied into the element's definition at once
// and the page rendered again.
#ifndef LUMBRA_APP_COLORSETUP_H
#define LUMBRA_APP_COLORSETUP_H

#include "app/colordef.h"
#include "app/colorslider.h"
#include "app/scrolllist.h"
#include "app/setuppane.h"

ZU_HANDLE(CColorSetup, CSetupPane)
class CColorSetup : public CSetupPane {
    ZU_CLASS(CColorSetup, CSetupPane)
public:
    struct InterfaceColor {
        int element;
        const char* label;
    };
    // The elements in list order, ended by the element -1.
    static const InterfaceColor InterfaceColorTable[];
    // The document colour definition of an interface element (0 .. 11),
    // -1 for any other number.
    static int ColorDefOfElement(int element);

    CColorSetup();

    bool Build() override;
    void BuildContents(int x, int y) override;
    // The selected element's colour shown on the strip, the square and the
    // sample; the page is not rendered.
    void Update(int topic, int item) override;
    void Delete() override;

    bool OnScrollList();
    bool OnColorSlider1();
    bool OnColorSlider2();

    const CScrollListRef& RetElementList() const { return element_list; }
    CColorSliderRef RetColorSlider(int i) const;
    const CColorSliderRef& RetSample() const { return sample; }

    static ZuAtomRef notify_Modify;

private:
    // The colour definition of the selected element; empty without a
    // selected row or a document.
    CColorDefRef ElementColor() const;
    void ShowHue(const CColorDefRef& colour);
    void ShowSquare(const CColorDefRef& colour);
    void ShowSample();
    void StoreSquareColor(const CColorDefRef& colour);
    void RenderPage();

    CScrollListRef element_list;
    CColorSliderArray color_slider;
    CColorSliderRef sample;
};
ZU_CLASS_END(CColorSetup)

#endif
