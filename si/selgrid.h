#ifndef SI_SELGRID_H
#define SI_SELGRID_H

// ZuSelGrid: a cell grid whose cells can be hilited by clicking and
// rearranged by dragging a cell onto another place of the same grid. A
// cell's hilite is its own ZU_VIEW_IS_ON state. The grid does not move
// cells itself: after a drop it keeps where the dragged cell came from and
// where it was dropped, and reports "notify_cell_dragged"; the owner reads
// both and rearranges. Observers of the cells receive the cell's rank:
// line x columns + column.

#include "si/cellgrid.h"

ZU_HANDLE(ZuSelGrid, ZuCellGrid)
class ZuSelGrid : public ZuCellGrid {
    ZU_CLASS(ZuSelGrid, ZuCellGrid)
public:
    ZuSelGrid() {}

    void Delete() override;
    // The marker of the place a dragged cell would go.
    void DrawOverlay(const ZuGrailPortRef& port, const ZuRect& rect) override;
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;
    void NotifyArraySize(unsigned columns, unsigned rows) override;
    void NotifyAttachCell(const ZuControlRef& cell, unsigned column, unsigned line) override;
    void NotifyDetachCell(const ZuControlRef& cell, unsigned column, unsigned line) override;

    // The selection policy: single or multiple, at least one.
    virtual bool SetActiveHilite(unsigned column, unsigned line, bool on, bool report);
    virtual bool RemoveEveryHilite();
    virtual bool RetActiveHilite(unsigned column, unsigned line) const;
    virtual bool EnableDragging(bool on);
    virtual bool RetDraggingEnabled() const;
    virtual bool IsDragging() const;
    virtual bool SetSelectOnClick(bool on);
    virtual bool SetSelectMultipleOk(bool on);
    virtual bool SetSelectAtLeastOne(bool on);
    virtual bool SetSearchLinesFirst(bool on);
    virtual bool SetInsertBetweenLines(bool on);
    virtual bool SetInsertBetweenColumns(bool on);
    virtual bool SetInsertOverCell(bool on);
    virtual bool RetSelectOnClick() const;
    virtual bool RetSelectMultipleOk() const;
    virtual bool RetSelectAtLeastOne() const;
    virtual bool RetSearchLinesFirst() const;
    virtual bool RetInsertBetweenLines() const;
    virtual bool RetInsertBetweenColumns() const;
    virtual bool RetInsertOverCell() const;
    // False unless a drop was committed since the last reset.
    virtual bool GetDropPosition(unsigned& column, unsigned& line, double& dx, double& dy) const;
    // False unless a drag began since the last reset.
    virtual bool GetDragOrigin(unsigned& column, unsigned& line) const;
    virtual void ResetDragDropStatus();
    virtual unsigned RetSelectNum() const;
    // The n-th hilited cell (from 0), line by line or column by column.
    virtual bool FindActiveHilite(unsigned& column, unsigned& line, unsigned n) const;
    virtual void HandleCellClick(const ZuObjectRef& cell, unsigned rank);
    virtual void HandleDragBegin(const ZuObjectRef& cell, unsigned rank);
    virtual void HandleDragCommit();
    virtual void HandleDragCancel();

    // 1 onto the cell, 2 left, 3 right, 4 above, 5 below; 0 none.
    unsigned RetDropPlace() const { return drop_place; }
    const ZuObjectRef& RetDragView() const { return drag_view; }

    static ZuAtomRef notify_cell_activated;
    static ZuAtomRef notify_cell_deactivated;
    static ZuAtomRef notify_cell_dragged;

protected:
    // "<ZuSelGrid select_num select_on_click select_multiple_ok
    // select_at_least_one search_by_lines : insert_between_lines
    // insert_between_columns insert_over_cell>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    virtual bool SetInternalActiveHilite(unsigned column, unsigned line, bool on, bool report);
    // Attaches or removes (event, handler, rank) on every cell.
    virtual void ChangeCellObserver(const ZuAtomRef& event, const ZuAtomRef& handler, bool attach);

    // The cell of the grid under a point, if any.
    bool CellUnder(double x, double y, unsigned& column, unsigned& line);
    void ShowOverlay(bool show);

    unsigned select_num = 0;
    bool select_on_click = false;
    bool select_multiple_ok = false;
    bool select_at_least_one = false;
    bool search_by_lines = true;
    bool insert_between_lines = true;
    bool insert_between_columns = true;
    bool insert_over_cell = true;
    bool dragging_enabled = false;
    bool is_dragging = false;
    bool overlay_shown = false;
    bool drop_valid = false;
    bool origin_valid = false;
    unsigned origin_column = 0;
    unsigned origin_line = 0;
    unsigned drop_column = 0;
    unsigned drop_line = 0;
    double drop_dx = 0;
    double drop_dy = 0;
    unsigned drop_place = 0;
    ZuObjectRef drag_view;
    // The box shown under the pointer while a cell is dragged.
    ZuViewRef drag_image;
    ZuObjectRef subst_message;
};
ZU_CLASS_END(ZuSelGrid)

#endif
