#include "si/cellgrid.h"

#include <cmath>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"

ZU_IMPLEMENT_CLASS(ZuCellGrid, "si/cellgrid", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& CellGridRecord()
{
    static ZuStorageSync record(
        "<ZuCellGrid num_x num_y { grid_x } { grid_y } cell_dx cell_dy array auto_resize>");
    return record;
}

// The boundaries of a stored grid: num + 1 reals, none for an empty count.
std::vector<double> RestoreBoundaries(const ZuStorageRef& s, std::uint64_t num)
{
    std::vector<double> out;
    s >> ZuStorageSync::repeat;
    if (num > 0) {
        out.resize(num + 1);
        for (double& v : out) {
            v = s->RestoreReal(0.0);
            if (!std::isfinite(v))
                v = 0;
        }
    }
    s >> ZuStorageSync::end_repeat;
    return out;
}

[[noreturn]] void BadGrid()
{
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}

} // namespace

ZuCellGrid::ZuCellGrid() : array(ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE)))
{}

ZuCellGrid::~ZuCellGrid()
{
    if (array.IsValid() && array->TotalCount() > 0)
        SetGridSize(0, 0);
}

void ZuCellGrid::Delete()
{
    SetGridSize(0, 0);
    ZuView::Delete();
}

ZuControlRef ZuCellGrid::CellAt(unsigned index) const
{
    ZuObjectRef element;
    // Only controls that are children of the grid are cells: an array read
    // from a file may hold anything.
    if (array.IsInvalid() || index >= array->TotalCount() || !array->Get(index, element) ||
        element.IsInvalid() || !element->IsKindOf(ZuControlRef::RetRuntime()) ||
        !(ZuViewRef(element)->RetParent() == this))
        return ZuControlRef();
    return ZuControlRef(element);
}

void ZuCellGrid::FitArray()
{
    const unsigned cells = num_x * num_y;
    if (array.IsInvalid())
        array = ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    if (array->TotalCount() != cells)
        array->SetSize(cells);
}

void ZuCellGrid::NotifyArraySize(unsigned, unsigned) {}

void ZuCellGrid::NotifyAttachCell(const ZuControlRef&, unsigned, unsigned) {}

void ZuCellGrid::NotifyDetachCell(const ZuControlRef&, unsigned, unsigned) {}

bool ZuCellGrid::SetGridSize(unsigned columns, unsigned rows)
{
    if (columns == num_x && rows == num_y)
        return true;
    const std::uint64_t cells = std::uint64_t(columns) * rows;
    if (cells > 0xFFFFFFFFull)
        return false;
    ZuViewRef self(this);
    if (cells == 0) {
        if (array.IsInvalid() || array->TotalCount() == 0)
            return true;
        for (unsigned c = 0; c < num_x; ++c)
            for (unsigned r = 0; r < num_y; ++r) {
                ZuControlRef cell = CellAt(RetIndex(c, r));
                if (cell.IsInvalid())
                    continue;
                NotifyDetachCell(cell, c, r);
                if (cell->RetParent() == this)
                    cell->SetParent(ZuViewNull);
                array[RetIndex(c, r)] = ZuObjectRef();
            }
        array->SetSize(0);
        NotifyArraySize(0, 0);
        num_x = num_y = 0;
        std::vector<double>().swap(grid_x);
        std::vector<double>().swap(grid_y);
        return true;
    }
    ZuControlArray cells_new = ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    cells_new->SetMemZone(RetMemZone());
    cells_new->SetSize(unsigned(cells));
    std::vector<double> x_new(std::size_t(columns) + 1), y_new(std::size_t(rows) + 1);
    const bool had_cells = array.IsValid() && array->TotalCount() > 0;
    if (had_cells) {
        for (unsigned c = 0; c < columns; ++c)
            for (unsigned r = 0; r < rows; ++r) {
                ZuControlRef cell;
                GetCell(c, r, cell);
                cells_new[r * columns + c] = cell;
                if (cell.IsValid())
                    NotifyDetachCell(cell, c, r);
            }
        // The controls of cells that fall outside the new size leave the
        // grid: they are announced and detached, so that no child is left
        // that no cell holds.
        for (unsigned c = 0; c < num_x; ++c)
            for (unsigned r = 0; r < num_y; ++r) {
                if (c < columns && r < rows)
                    continue;
                ZuControlRef cell = CellAt(RetIndex(c, r));
                if (cell.IsInvalid())
                    continue;
                NotifyDetachCell(cell, c, r);
                if (cell->RetParent() == this)
                    cell->SetParent(ZuViewNull);
            }
    }
    double v = 0;
    for (unsigned i = 0; i <= columns; ++i) {
        if (num_x > 0 && i <= num_x && i < grid_x.size())
            v = grid_x[i];
        x_new[i] = v;
        v += cell_dx;
    }
    v = 0;
    for (unsigned i = 0; i <= rows; ++i) {
        if (num_y > 0 && i <= num_y && i < grid_y.size())
            v = grid_y[i];
        y_new[i] = v;
        v += cell_dy;
    }
    if (array.IsValid()) {
        ZuControlArray old = array;
        old->SetSize(0);
        old->Delete();
    }
    array = cells_new;
    NotifyArraySize(columns, rows);
    grid_x.swap(x_new);
    grid_y.swap(y_new);
    num_x = columns;
    num_y = rows;
    for (unsigned c = 0; c < num_x; ++c)
        for (unsigned r = 0; r < num_y; ++r) {
            ZuControlRef cell = CellAt(RetIndex(c, r));
            if (cell.IsValid())
                NotifyAttachCell(cell, c, r);
        }
    UpdateCellGeometry();
    return true;
}

void ZuCellGrid::GetGridSize(unsigned& columns, unsigned& rows) const
{
    columns = num_x;
    rows = num_y;
}

void ZuCellGrid::SetDefaultCellSize(double dx, double dy)
{
    cell_dx = dx;
    cell_dy = dy;
}

void ZuCellGrid::GetDefaultCellSize(double& dx, double& dy) const
{
    dx = cell_dx;
    dy = cell_dy;
}

bool ZuCellGrid::SetRowWidth(unsigned column, double width)
{
    if (column >= num_x)
        return false;
    const double change = width - (grid_x[column + 1] - grid_x[column]);
    for (unsigned i = column + 1; i <= num_x; ++i)
        grid_x[i] += change;
    is_geometry_ok = false;
    return true;
}

bool ZuCellGrid::SetLineHeight(unsigned row, double height)
{
    if (row >= num_y)
        return false;
    const double change = height - (grid_y[row + 1] - grid_y[row]);
    for (unsigned i = row + 1; i <= num_y; ++i)
        grid_y[i] += change;
    is_geometry_ok = false;
    return true;
}

void ZuCellGrid::ResetAllCellSize() {}

bool ZuCellGrid::GetCellRect(unsigned column, unsigned row, ZuRect& rect) const
{
    if (!IsInside(column, row))
        return false;
    const double x1 = box.X1(), y1 = box.Y1();
    rect = ZuRect(x1 + grid_x[column], y1 + grid_y[row], x1 + grid_x[column + 1],
                  y1 + grid_y[row + 1]);
    return true;
}

void ZuCellGrid::GetCellSize(unsigned column, unsigned row, double& dx, double& dy) const
{
    ZuRect r;
    if (!GetCellRect(column, row, r))
        r.MakeEmpty();
    dx = r.DX();
    dy = r.DY();
}

void ZuCellGrid::GetCellPos(unsigned column, unsigned row, double& x, double& y) const
{
    ZuRect r;
    if (!GetCellRect(column, row, r)) {
        x = y = 0;
        return;
    }
    x = r.X1();
    y = r.Y1();
}

bool ZuCellGrid::SetCell(unsigned column, unsigned row, const ZuControlRef& cell, bool fit)
{
    if (!IsInside(column, row))
        return false;
    FitArray();
    const unsigned index = RetIndex(column, row);
    ZuControlRef old = CellAt(index);
    if (old.IsValid()) {
        if (old->RetParent() == this)
            old->SetParent(ZuViewNull);
        NotifyDetachCell(old, column, row);
    }
    if (cell.IsValid()) {
        ZuRect rect;
        GetCellRect(column, row, rect);
        if (fit) {
            double w = 0, h = 0, mw = 0, mh = 0;
            cell->GetSize(w, h);
            cell->GetMinSize(mw, mh);
            if (mw > w)
                w = mw;
            if (mh > h)
                h = mh;
            if (rect.DX() < w)
                SetRowWidth(column, w);
            if (rect.DY() < h)
                SetLineHeight(row, h);
            GetCellRect(column, row, rect);
        }
        cell->SetParent(ZuViewRef(this));
        cell->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
        cell->ChangeState(ZU_VIEW_NO_SUBVIEW_DRAW, true, false);
        cell->SetBox(rect);
        NotifyAttachCell(cell, column, row);
    }
    array[index] = cell;
    return true;
}

bool ZuCellGrid::GetCell(unsigned column, unsigned row, ZuControlRef& cell) const
{
    if (!IsInside(column, row))
        return false;
    cell = CellAt(RetIndex(column, row));
    return cell.IsValid();
}

bool ZuCellGrid::FindCell(const ZuControlRef& cell, unsigned& column, unsigned& row) const
{
    if (array.IsInvalid() || num_x == 0 || num_y == 0)
        return false;
    const unsigned n = array->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        ZuObjectRef element;
        if (array->Get(i, element) && element.IsValid() && element == cell) {
            column = i % num_x;
            row = i / num_x;
            return true;
        }
    }
    return false;
}

void ZuCellGrid::UpdateCellGeometry()
{
    FitArray();
    for (unsigned c = 0; c < num_x; ++c)
        for (unsigned r = 0; r < num_y; ++r) {
            ZuControlRef cell = CellAt(RetIndex(c, r));
            ZuRect rect;
            if (cell.IsValid() && GetCellRect(c, r, rect))
                cell->SetBox(rect);
        }
    is_geometry_ok = true;
    if (auto_resize)
        UpdateGridGeometry();
}

void ZuCellGrid::UpdateGridGeometry()
{
    if (num_x > 0 && num_y > 0)
        SetSize(grid_x[num_x], grid_y[num_y]);
}

void ZuCellGrid::SetAutoGridResize(bool on)
{
    if (on == auto_resize)
        return;
    auto_resize = on;
    if (on)
        UpdateGridGeometry();
}

bool ZuCellGrid::RetAutoGridResize() const
{
    return auto_resize;
}

bool ZuCellGrid::InsertCellInColumn(const ZuControlRef& cell, unsigned column)
{
    if (column >= num_x)
        return false;
    for (unsigned r = 0; r < num_y; ++r) {
        ZuControlRef there;
        if (!GetCell(column, r, there))
            return SetCell(column, r, cell, true);
    }
    const unsigned row = num_y;
    if (!SetGridSize(num_x, num_y + 1))
        return false;
    return SetCell(column, row, cell, true);
}

bool ZuCellGrid::InsertCellInLine(const ZuControlRef& cell, unsigned row)
{
    if (row >= num_y)
        return false;
    for (unsigned c = 0; c < num_x; ++c) {
        ZuControlRef there;
        if (!GetCell(c, row, there))
            return SetCell(c, row, cell, true);
    }
    const unsigned column = num_x;
    if (!SetGridSize(num_x + 1, num_y))
        return false;
    return SetCell(column, row, cell, true);
}

bool ZuCellGrid::Detect(double x, double y, ZuViewRef& out, bool any)
{
    if (box.IsEmpty() || x < box.X1() || x > box.X2() || y < box.Y1() || y > box.Y2())
        return false;
    if (!is_geometry_ok)
        UpdateCellGeometry();
    // A point on a boundary belongs to the next column or row.
    unsigned column = 0, row = 0;
    while (column < num_x && grid_x[column + 1] <= x - box.X1())
        ++column;
    while (row < num_y && grid_y[row + 1] <= y - box.Y1())
        ++row;
    ZuControlRef cell;
    if (column < num_x && row < num_y && GetCell(column, row, cell) && cell->Detect(x, y, out, any))
        return true;
    out = this;
    return true;
}

void ZuCellGrid::DrawChildren(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op)
{
    if (port.IsInvalid() || !rect.DoOverlap(box) || array.IsInvalid() || array->TotalCount() == 0)
        return;
    if (!is_geometry_ok)
        UpdateCellGeometry();
    ZuRect saved;
    port->GetClipRect(saved);
    ZuRect clip = saved;
    clip *= rect;
    for (unsigned c = 0; c < num_x; ++c)
        for (unsigned r = 0; r < num_y; ++r) {
            ZuControlRef cell = CellAt(RetIndex(c, r));
            ZuRect cell_rect;
            if (cell.IsInvalid() || !GetCellRect(c, r, cell_rect))
                continue;
            cell_rect *= clip;
            if (cell_rect.IsEmpty())
                continue;
            port->SetClipRect(cell_rect, 0);
            cell->Draw(port, cell_rect, op);
        }
    port->SetClipRect(saved, 0);
}

void ZuCellGrid::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << CellGridRecord() << ZuStorageSync::begin;
    s->StoreCard(num_x);
    s->StoreCard(num_y);
    s << ZuStorageSync::repeat;
    if (num_x > 0)
        for (unsigned i = 0; i <= num_x; ++i)
            s->StoreReal(grid_x[i]);
    s << ZuStorageSync::end_repeat << ZuStorageSync::repeat;
    if (num_y > 0)
        for (unsigned i = 0; i <= num_y; ++i)
            s->StoreReal(grid_y[i]);
    s << ZuStorageSync::end_repeat;
    s->StoreReal(cell_dx);
    s->StoreReal(cell_dy);
    s->StoreObject(array);
    s->StoreBool(auto_resize);
    s << ZuStorageSync::end;
}

void ZuCellGrid::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    const std::uint64_t nx = s->RestoreCard(0);
    const std::uint64_t ny = s->RestoreCard(0);
    // The counts come from outside: they are followed only while the input
    // can still hold their boundaries and the cells.
    if (nx > 0xFFFFFFFFull || ny > 0xFFFFFFFFull)
        BadGrid();
    const std::uint64_t cells = nx * ny;
    if (cells > 0xFFFFFFFFull || !s->CanHoldItems(nx + 1) || !s->CanHoldItems(ny + 1) ||
        !s->CanHoldItems(nx + ny + 2 + cells))
        BadGrid();
    std::vector<double> xs = RestoreBoundaries(s, nx);
    std::vector<double> ys = RestoreBoundaries(s, ny);
    SetGridSize(unsigned(nx), unsigned(ny));
    if (num_x > 0 && num_y > 0) {
        grid_x.swap(xs);
        grid_y.swap(ys);
    }
    cell_dx = s->RestoreReal(cell_dx);
    cell_dy = s->RestoreReal(cell_dy);
    // The stored array's own data follows the grid's record in the stream:
    // its elements are checked where they are used (CellAt, FitArray).
    ZuObjectRef stored;
    s->RestoreObject(stored, ZuArrayRef::RetRuntime());
    if (stored.IsInvalid() || !stored->IsKindOf(ZuArrayRef::RetRuntime()))
        BadGrid();
    ZuControlArray read = ZuArrayRef(stored);
    if (array.IsValid() && !(array == read)) {
        ZuControlArray old = array;
        old->SetSize(0);
        old->Delete();
    }
    array = read;
    auto_resize = s->RestoreBool(auto_resize);
    is_geometry_ok = false;
    s >> ZuStorageSync::end;
}
