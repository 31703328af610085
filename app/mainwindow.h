// CMainWindow: the program's document window. It owns a library window
// with four bands around the page area (top: menu bar, tool bar,
// horizontal ruler and two buttons; bottom: horizontal scroller, zoom field
// and arrows, four buttons and three information fields; left: vertical
// ruler; right: vertical scroller) and the page view in the middle. Its
// handlers forward to the page view, to the pages and layers palettes and
// to the tool palette.
//
// Create makes every part, the page view, the rulers and the tool bar
// among them. Closing the window has the page view quit, which first asks
// about a changed document; without a page view the program quits at once.
#ifndef LUMBRA_APP_MAINWINDOW_H
#define LUMBRA_APP_MAINWINDOW_H

#include "app/button.h"
#include "app/document.h"
#include "si/icon.h"
#include "si/menu.h"
#include "si/scroller.h"
#include "si/textline.h"
#include "si/texttag.h"
#include "si/view.h"
#include "si/window.h"

ZU_HANDLE(CMainWindow, ZuObject)
class CMainWindow : public ZuObject {
    ZU_CLASS(CMainWindow, ZuObject)
public:
    CMainWindow();
    ~CMainWindow() override;

    // Builds the window at (x, y), dx by dy, and everything in it, once;
    // a window that would pass the bottom or right of the screen is made
    // smaller to end inside it. Always true.
    bool Create(int x, int y, int dx, int dy);
    // Places every band and control for the window's size; the buttons
    // and information fields are made on the first call only.
    bool Layout();
    // Stores the document and hands it to the page view, which makes it
    // the current one; the rulers take it when the view brings them up to
    // date.
    void SetDocument(CDocumentRef document);
    bool SetTitle(ZuStringRef title);
    bool ResetDisplay();

    // The button of an icon number (153, 151, 150, 154, 152, 159 for the
    // slots 0 to 5); empty for any other icon.
    CButtonRef RetButton(int icon) const;
    // Switches the button of an icon on or off, redisplaying it only when
    // its state changes.
    void SetButtonState(int icon, bool on);
    bool UpdatePagesButton();
    bool UpdateLayersButton();

    ZuScrollerRef RetScrollerH() const { return scroller_h; }
    ZuScrollerRef RetScrollerV() const { return scroller_v; }
    ZuViewRef RetRulerH() const { return ruler_h; }
    ZuViewRef RetRulerV() const { return ruler_v; }
    ZuTextLineRef RetZoomLine() const { return zoom_line; }
    // Information field 0, 1 or 2; empty for any other index.
    ZuTextTagRef RetInfoTag(int i) const;

    bool PlaceButton(ZuViewRef parent, int slot, double x1, double y1, double x2, double y2,
                     int icon, ZuStringRef handler);
    bool PlaceInfoTag(ZuViewRef parent, int index, double x1, double y1, double x2, double y2,
                      ZuStringRef tip, bool left);
    static void SetTagFontSize(ZuTextTagRef tag, double size);

    // Handlers, called by name from the window's notifications and the
    // controls.
    bool OnClose();
    bool OnMove();
    bool OnResize();
    bool OnMaximise();
    bool OnOpen();
    bool OnReduce();
    bool OnActive();
    bool OnDeactive();
    bool OnClickPage();
    bool OnClickLayout();
    bool OnClickGlass();
    bool OnClickHand();
    bool OnClickRuler();
    bool OnClickZoomPlus();
    bool OnClickZoomMinus();
    bool OnClickInfo1();
    bool OnClickInfo2();
    bool OnClickInfo3();

    // What tests and the integration look at.
    const ZuWindowRef& RetWindow() const { return window; }
    const ZuViewRef& RetTopBand() const { return top_band; }
    const ZuViewRef& RetBottomBand() const { return bottom_band; }
    const ZuViewRef& RetLeftColumn() const { return left_column; }
    const ZuViewRef& RetRightColumn() const { return right_column; }
    const ZuViewRef& RetPageView() const { return page_view; }
    const ZuMenuRef& RetMenuBar() const { return menu_bar; }
    const ZuIconRef& RetZoomIn() const { return zoom_in; }
    const ZuIconRef& RetZoomOut() const { return zoom_out; }
    const CDocumentRef& RetDocument() const { return document; }

    void Delete() override;

    static const int kButtonSlots = 10;
    static const int kInfoTags = 3;

private:
    // Sends a named command to the page view; false without one.
    bool PageViewCommand(const char* command);
    // Buttons 154 and 152 show the page view's magnifier and hand modes.
    void ShowViewModes();

    CDocumentRef document;
    ZuWindowRef window;
    ZuViewRef top_band;
    ZuViewRef bottom_band;
    ZuViewRef left_column;
    ZuViewRef right_column;
    // The page view, the rulers and the tool bar, made by Create.
    ZuViewRef page_view;
    ZuScrollerRef scroller_h;
    ZuScrollerRef scroller_v;
    ZuViewRef ruler_h;
    ZuViewRef ruler_v;
    CButtonRef buttons[kButtonSlots];
    ZuTextLineRef zoom_line;
    ZuIconRef zoom_in;
    ZuIconRef zoom_out;
    ZuMenuRef menu_bar;
    ZuViewRef tool_bar;
    ZuTextTagRef info_tags[kInfoTags];
    double last_x = 0;
    double last_y = 0;
};
ZU_CLASS_END(CMainWindow)

#endif
