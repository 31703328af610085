// CPageDlg: the small floating palette from which the user moves between
// the pages of the document (the pages palette) or the layers of the
// current page (the layers palette), and creates, deletes and reorders
// them. The palette only lays out its buttons for its window's size and
// forwards each click to the page view, which does the work.
//
// Button indexes (user tag = index + 1): 0 the permanent-window switch,
// 1 previous, 2 next, 3 move before, 4 move after, 5 create, 6 delete,
// 7 to 29 the choices of one page or layer. Three layouts follow from the
// window's size: a grid with the tools below, one row with the tools at
// its end, one column. With more pages than fit, the choices show a window
// of pages around the current one, with previous and next.
//
// The current index and the count come from the selection and, through it,
// from documents read from files: they are pulled into 0..count - 1 (a
// count below 1 counts as 1) before anything is laid out or requested, so
// the page view is only ever asked for a page or layer that exists.
#ifndef LUMBRA_APP_PAGEDLG_H
#define LUMBRA_APP_PAGEDLG_H

#include "app/button.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "si/icon.h"
#include "si/string.h"
#include "si/window.h"

ZU_HANDLE(CPageDlg, ZuObject)

class CPageDlg : public ZuObject {
    ZU_CLASS(CPageDlg, ZuObject)
public:
    enum { SLOTS = 30, FIRST_CHOICE = 7 };

    CPageDlg();
    void Delete() override;

    // Stores the kind of palette, makes the window once and lays it out.
    bool Create(bool layers);
    void SetTitle(const ZuStringRef& title);
    // true hides; false opens, shows and brings the window to the front.
    void Hide(bool hide);
    bool IsVisible() const;
    // The window at origin, size plus the margins.
    void SetPlace(const DPoint& origin, const DPoint& size);
    bool IsFirstShow() const { return first_show; }
    void SetFirstShow(bool first) { first_show = first; }
    void SetPageView(CPageViewRef view) { page_view = view; }
    void SetCurrent(int index) { current = index; }
    void SetCount(int n) { count = n; }
    // Lays the buttons out again for the window's size, current and count.
    void UpdateButtons();
    // Closes the window and has the page view refresh the main window's
    // button.
    void Close();

    bool OnResize();
    bool OnClose();
    bool OnClicPage(const ZuObjectRef& sender, unsigned id);
    bool OnClicCorner(const ZuObjectRef& sender, unsigned id);

    // For tests and the main window.
    const ZuWindowRef& RetWindow() const { return window; }
    bool IsLayers() const { return layers; }
    bool IsPermanent() const { return permanent; }
    int RetCurrent() const { return current; }
    int RetCount() const { return count; }
    int RetFirst() const { return first; }
    // The control of a button index (a picture for 0, 3 and 4), and the
    // visibility corner of a choice; empty when never made.
    ZuViewRef RetControl(int index) const;
    ZuIconRef RetCorner(int index) const;

private:
    // current and count brought into range.
    void ClampIndexes();
    void UpdateFirst();
    void UpdateOnStates();
    void SetButtonOn(int index, bool on);
    void MakeButton(int index, double x, double y, bool enabled, const ZuStringRef& text,
                    const char* tool_tip, int icon);
    void MakeCorner(int index, double x, double y);
    // After a request: a new layout, and the palette closed unless it is
    // permanent.
    void AfterRequest();
    bool IsLayerShown(int layer) const;

    ZuWindowRef window;
    CPageViewRef page_view;
    bool first_show = true;
    bool layers = false;
    bool permanent = false;
    int margin = 1;
    int gap = 4;
    int button_width = 23;
    int button_height = 23;
    double columns = 1.0;
    double rows = 1.0;
    int current = 0;
    int count = 1;
    int first = 0;
    CButtonRef buttons[SLOTS];
    ZuIconRef corners[SLOTS];
    ZuIconRef pictures[SLOTS];
};
ZU_CLASS_END(CPageDlg)

#endif
