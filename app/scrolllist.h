// CScrollList: a single-selection list of text lines with its own vertical
// scroll bar. Rows are 16 pixels high inside a margin; the rightmost 17
// pixels of the box belong to the scroll bar. The owner hands it a list of
// strings (UpdateScroller), selects from the program (Select, not
// reported), and hears "notify_Modify" when the user picks another row
// with the mouse.
//
// A list read back from an interface file has neither scroll bar nor
// entries until its owner builds them: every operation then answers
// without effect.
#ifndef LUMBRA_APP_SCROLLLIST_H
#define LUMBRA_APP_SCROLLLIST_H

#include "si/control.h"
#include "si/list.h"
#include "si/scroller.h"

ZU_HANDLE(CScrollList, ZuControl)

class CScrollList : public ZuControl {
    ZU_CLASS(CScrollList, ZuControl)
public:
    CScrollList() {}

    void Delete() override;

    // Places the list and builds its scroll bar; called once after
    // creation.
    bool CreateScroller(double x, double y, double dx, double dy);
    // Takes the entries (shared with the caller), clears the selection,
    // shows the first entry at the top and sizes the knob.
    bool UpdateScroller(const ZuListRef& new_items);
    // Selects an entry (-1: none) and scrolls it into view; not reported.
    bool Select(int index);
    int RetSelected() const { return selected; }
    int RetFirst() const { return first; }
    int RetVisibleRows() const { return visible; }
    int RetCount() const { return count; }
    const ZuScrollerRef& RetScroller() const { return scroller; }
    // Follows the scroll bar's knob (bound to its "notify_scrolled").
    bool OnScroll(const ZuObjectRef& source, unsigned id);

    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& area) override;
    bool SetEnable(bool enable) override;
    virtual bool SetVisible(bool shown);

    static ZuAtomRef notify_Modify;

private:
    enum Step { PRESS, DRAG, RELEASE };
    void Mouse(const ZuEventRef& event, Step step);
    // The rows that fit in a box height.
    int RowsFor(double height) const;

    double margin = 4.0;
    ZuScrollerRef scroller;
    ZuListRef items;
    int count = 0;
    int selected = -1;
    int first = 0;
    int visible = 0;
};
ZU_CLASS_END(CScrollList)

#endif
