// CToolPalette: a small floating window of tool buttons and switches laid
// out from a table of whole numbers. The program has two: the tool palette
// "Outils", which the page view fills with the tools of the current mode,
// and the pop-up palette that shows what the object under the pointer
// offers. A click on an item updates its radio group or switch and hands
// the item's code to the page view.
//
// Table: a value of 0 or more begins an entry {code, kind, state}; a
// negative value stands alone: -1 ends the table, -2 new row, -3 vertical
// space, -4 horizontal space, -5 jump to the bottom block, -6 horizontal
// separator, -7 vertical separator. Kinds: 0, 1, 2 push buttons 1, 1.5
// and 2 buttons wide; 3 to 6 radio groups (3 is 1.5 buttons wide); 10 a
// check switch with a caption on a row of its own.
//
// A table holds at most kMaxItems entries and kMaxValues values, its -1
// included. Tables come from the page view and from objects (the pop-up
// palette's list), so SetTools cuts a longer table at either limit and
// ends it there rather than writing past its arrays.
#ifndef LUMBRA_APP_TOOLPALETTE_H
#define LUMBRA_APP_TOOLPALETTE_H

#include "app/button.h"
#include "app/pageview.h"
#include "app/separator.h"
#include "si/switch.h"
#include "si/window.h"

#include <cstddef>
#include <cstdint>

ZU_HANDLE(CToolPalette, ZuObject)

class CToolPalette : public ZuObject {
    ZU_CLASS(CToolPalette, ZuObject)
public:
    static const int kMaxItems = 30;
    static const int kMaxValues = 190;

    // One laid-out entry; code -1 marks a free item.
    struct Item {
        ZuObjectRef prototype;
        int32_t code = -1;
        int32_t kind = 0;
        int32_t state = 0;
        int32_t controlCode = -1;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };

    CToolPalette();
    ~CToolPalette() override;
    void Delete() override;

    bool Create(int32_t x, int32_t y, bool popup);
    void SetTitle(const ZuStringRef& title);
    void SetOrigin(double x, double y);
    void GetOrigin(double& x, double& y) const;
    void Show(bool hide);
    // Size in buttons; 0 on either axis takes the natural size of the
    // last layout.
    void SetPlace(const DPoint& origin, const DPoint& size);
    void SetPageView(const CPageViewRef& view);
    const CPageViewRef& RetPageView() const;
    // Copies the table up to its -1 (or count values, or the limits) and
    // lays it out.
    void SetTools(const int32_t* table, size_t count = SIZE_MAX);
    static void NewObject(ZuObjectRef& out, int32_t code);

    int32_t GetCurrentTool(int32_t group) const;
    ZuObjectRef GetCurrentToolObject(int32_t group) const;
    void SetCurrentTool(int32_t group, int32_t code);
    int32_t GetToolState(int32_t code) const;
    int32_t GetToolKind(int32_t code) const;
    void SetToolKind(int32_t code, int32_t kind);

    bool OnCancel();
    bool OnClose();
    bool OnResize();
    bool OnClicTool(const ZuObjectRef& control, unsigned id);

    // Composing a table in a buffer of kMaxValues values: both stop at the
    // buffer's end (one place kept for the -1).
    static void AppendToolTable(int32_t* buffer, int& count, const int32_t* sub);
    static void SetToolEntryOn(int32_t* buffer, int count, int32_t code);

    // The sub-tables, each ended by -1.
    static const int32_t kModeTable[];
    static const int32_t kDrawTable[];
    static const int32_t kSelectTable[];
    static const int32_t kViewTable[];
    static const int32_t kTransformTable[];
    static const int32_t kAdjustTable[];
    static const int32_t kRowEndTable[];
    static const int32_t kBottomTable[];

    // What a layout made, for the page view and its tests.
    const ZuWindowRef& RetWindow() const { return window; }
    const Item& RetItem(int n) const { return items[n]; }
    const int32_t* RetTable() const { return table; }
    CButtonRef RetButton(int n) const;
    ZuSwitchRef RetSwitch(int n) const;
    CSeparatorRef RetSeparator(int n) const;
    double RetNaturalWidth() const { return naturalWidth; }
    double RetNaturalHeight() const { return naturalHeight; }

private:
    void Layout();
    void SetButton(int n, const Item& place, int32_t code);
    void SetSwitch(int n, const Item& place, int32_t code);
    void SetSeparator(int n, bool vertical, double at);
    void UpdateItem(int n);
    void UpdateAll();
    void WindowSize(double& w, double& h) const;

    ZuWindowRef window;
    CPageViewRef pageView;
    double columns = 3.0;
    double rows = 12.0;
    double naturalWidth = 0.0;
    double naturalHeight = 0.0;
    int32_t table[kMaxValues];
    Item items[kMaxItems];
    // Controls are made once per item index and reused by later layouts.
    CButtonRef buttons[kMaxItems];
    ZuSwitchRef switches[kMaxItems];
    CSeparatorRef separators[kMaxItems];
    double separatorRects[kMaxItems][4];
    int32_t margin = 1;
    int32_t buttonWidth = 23;
    int32_t buttonHeight = 23;
    int32_t gap = 4;
};
ZU_CLASS_END(CToolPalette)

#endif
