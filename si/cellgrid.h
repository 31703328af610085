#ifndef SI_CELLGRID_H
#define SI_CELLGRID_H

// ZuCellGrid: controls arranged in columns and rows. Each cell holds at
// most one control; the column and row boundaries are kept apart, so that
// columns and rows may differ in size, and a cell's control gets the cell's
// rectangle as its box (neighbouring cells share their boundary line). The
// grid draws and detects its cells itself. Subclasses follow the changes
// through three hooks, empty here.

#include <cstdint>
#include <vector>

#include "si/control.h"
#include "si/view.h"

ZU_HANDLE(ZuCellGrid, ZuView)
class ZuCellGrid : public ZuView {
    ZU_CLASS(ZuCellGrid, ZuView)
public:
    ZuCellGrid();
    ~ZuCellGrid() override;

    void Delete() override;
    // The cells' controls, each clipped to its cell.
    void DrawChildren(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op) override;
    // The control of the cell under the point, else the grid itself.
    bool Detect(double x, double y, ZuViewRef& out, bool any) override;
    using ZuView::Detect;

    // Hooks.
    virtual void NotifyArraySize(unsigned columns, unsigned rows);
    virtual void NotifyAttachCell(const ZuControlRef& cell, unsigned column, unsigned row);
    virtual void NotifyDetachCell(const ZuControlRef& cell, unsigned column, unsigned row);

    // Cells keep their column and row; new columns and rows continue from
    // the last boundary by the default cell size. Controls of cells that
    // fall outside are detached and announced. False when the cell count
    // does not fit in 32 bits.
    virtual bool SetGridSize(unsigned columns, unsigned rows);
    virtual void GetGridSize(unsigned& columns, unsigned& rows) const;
    // For columns and rows added later.
    virtual void SetDefaultCellSize(double dx, double dy);
    virtual void GetDefaultCellSize(double& dx, double& dy) const;
    // Every later boundary moves by the change; false outside the grid.
    virtual bool SetRowWidth(unsigned column, double width);
    virtual bool SetLineHeight(unsigned row, double height);
    // Does nothing.
    virtual void ResetAllCellSize();
    // 0 for a cell outside the grid.
    virtual void GetCellSize(unsigned column, unsigned row, double& dx, double& dy) const;
    virtual void GetCellPos(unsigned column, unsigned row, double& x, double& y) const;
    // False outside the grid (rectangle untouched).
    virtual bool GetCellRect(unsigned column, unsigned row, ZuRect& rect) const;
    // False outside the grid. With fit, the column and row grow to the
    // control's size, raised to its minimum.
    virtual bool SetCell(unsigned column, unsigned row, const ZuControlRef& cell, bool fit);
    // Whether the cell holds a control; false outside the grid (handle
    // untouched).
    virtual bool GetCell(unsigned column, unsigned row, ZuControlRef& cell) const;
    virtual bool FindCell(const ZuControlRef& cell, unsigned& column, unsigned& row) const;
    virtual void UpdateCellGeometry();
    // The grid's size follows its last boundaries.
    virtual void UpdateGridGeometry();
    virtual void SetAutoGridResize(bool on);
    virtual bool RetAutoGridResize() const;
    // Into the first empty row of the column (the first empty column of
    // the row), adding one when there is none.
    virtual bool InsertCellInColumn(const ZuControlRef& cell, unsigned column);
    virtual bool InsertCellInLine(const ZuControlRef& cell, unsigned row);

    unsigned RetIndex(unsigned column, unsigned row) const { return row * num_x + column; }
    const std::vector<double>& RetGridX() const { return grid_x; }
    const std::vector<double>& RetGridY() const { return grid_y; }
    const ZuControlArray& RetCells() const { return array; }
    bool IsCellGeometryOk() const { return is_geometry_ok; }

protected:
    // "<ZuCellGrid num_x num_y { grid_x } { grid_y } cell_dx cell_dy array
    // auto_resize>". Counts that the input cannot hold, or no array where
    // the cells should be, give a stream exception.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The control of an element, empty for anything else.
    ZuControlRef CellAt(unsigned index) const;
    // Sizes the cell array to the grid (an array read from a file may
    // differ).
    void FitArray();
    bool IsInside(unsigned column, unsigned row) const { return column < num_x && row < num_y; }

    std::vector<double> grid_x;
    std::vector<double> grid_y;
    double cell_dx = 0;
    double cell_dy = 0;
    unsigned num_x = 0;
    unsigned num_y = 0;
    ZuControlArray array;
    bool is_geometry_ok = false;
    bool auto_resize = true;
};
ZU_CLASS_END(ZuCellGrid)

#endif
