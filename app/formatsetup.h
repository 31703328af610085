// CFormatSetup: the tab "Format" of the settings window. It edits the page
// size of the document: width and height typed in the main unit, a list of
// standard formats and two radio switches for the orientation. Every
// change goes straight into the document and the page is rendered again.
#ifndef LUMBRA_APP_FORMATSETUP_H
#define LUMBRA_APP_FORMATSETUP_H

#include "app/scrolllist.h"
#include "app/setuppane.h"
#include "app/textlinearrow.h"
#include "si/switch.h"

ZU_HANDLE(CFormatSetup, CSetupPane)
class CFormatSetup : public CSetupPane {
    ZU_CLASS(CFormatSetup, CSetupPane)
public:
    CFormatSetup() {}

    struct PageFormat {
        double width;
        double height;
        const char* name;
    };
    // The standard formats, upright, row 0 standing for any other size;
    // ended by a row of width -1.
    static const PageFormat PageFormatTable[];
    // The smallest page side the pane writes, in millimetres: a page of
    // no width leaves the page view and the export nothing to scale by.
    static constexpr double kMinSide = 1.0;

    bool Build() override;
    void BuildContents(int x, int y) override;
    void Update(int topic, int item) override;
    void Delete() override;

    bool OnEditWidth();
    bool OnEditHeight();
    bool OnScrollList();
    bool OnPortrait();
    bool OnLandscape();

    const CTextLineArrowRef& RetWidthEntry() const { return width_entry; }
    const CTextLineArrowRef& RetHeightEntry() const { return height_entry; }
    const CScrollListRef& RetFormatList() const { return format_list; }
    const ZuSwitchRef& RetPortraitSwitch() const { return portrait_switch; }
    const ZuSwitchRef& RetLandscapeSwitch() const { return landscape_switch; }

    static ZuAtomRef notify_Modify;

private:
    void ShowWidth();
    void ShowHeight();
    void ShowFormat();
    void ShowPortrait();
    void ShowLandscape();
    void ShowAfterSwap();
    void RedrawPage();

    bool ready = true;
    CTextLineArrowRef width_entry;
    CTextLineArrowRef height_entry;
    CScrollListRef format_list;
    ZuSwitchRef portrait_switch;
    ZuSwitchRef landscape_switch;
};
ZU_CLASS_END(CFormatSetup)

#endif
