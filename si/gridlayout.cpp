#include "si/gridlayout.h"

#include "si/error.h"
#include "si/rtclass.h"
#include "si/icontainer.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuGridLayout, ZU_SRC_FILE, ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& GridRecord()
{
    static ZuStorageSync record("<ZuGridLayout num_cols num_rows def_col_dx def_row_dy [col_dx] "
                                "[row_dy] is_auto_fitting is_layout_by_rows>");
    return record;
}

// A snapped edge: the first cell whose end, less a quarter, lies beyond
// the coordinate gives its start; past the last cell nothing changes.
void SnapToEdge(const Zuvi_SimpleArrayZero<double>& sizes, double& v)
{
    double edge = 0.0;
    for (unsigned i = 0; i < sizes.RetCount(); ++i) {
        const double w = sizes.At(i);
        if (edge + w - 0.25 > v) {
            v = edge;
            return;
        }
        edge += w;
    }
}

double SumBefore(const Zuvi_SimpleArrayZero<double>& sizes, unsigned n)
{
    double sum = 0.0;
    for (unsigned i = 0; i < n && i < sizes.RetCount(); ++i)
        sum += sizes.At(i);
    return sum;
}

} // namespace

bool ZuGridLayout::Initialise(const ZuObjectRef& s, const ZuViewArchitectRef& a, unsigned cols,
                              unsigned rows, double cdx, double rdy, bool auto_fit, bool by_rows)
{
    if (!ZuViewLayout::Initialise(s, a))
        return false;
    double dx = cdx, dy = rdy;
    // Without an architect the default cell size is unknown and stays 0.
    if ((cdx == 0.0 || rdy == 0.0) && architect.IsValid())
        architect->GetViewSize(ZuObjectNull, dx, dy);
    def_col_dx = cdx == 0.0 ? dx : cdx;
    def_row_dy = rdy == 0.0 ? dy : rdy;
    is_auto_fitting = auto_fit;
    SetNumColRows(cols, rows);
    SetLayoutByRows(by_rows);
    return true;
}

bool ZuGridLayout::SetNumColRows(unsigned cols, unsigned rows)
{
    if (cols == 0)
        cols = 1;
    if (rows == 0)
        rows = 1;
    if (cols == num_cols && rows == num_rows)
        return true;
    num_cols = cols;
    num_rows = rows;
    col_dx.Resize(cols);
    row_dy.Resize(rows);
    InvalidateGeometry();
    return true;
}

bool ZuGridLayout::SetLayoutByRows(bool by_rows)
{
    is_layout_by_rows = by_rows;
    InvalidateGeometry();
    return true;
}

bool ZuGridLayout::RetLayoutByRows() const
{
    return is_layout_by_rows;
}

bool ZuGridLayout::SetDefaultColWidth(double w)
{
    def_col_dx = w;
    InvalidateGeometry();
    return true;
}

bool ZuGridLayout::SetDefaultRowHeight(double h)
{
    def_row_dy = h;
    InvalidateGeometry();
    return true;
}

bool ZuGridLayout::SetColWidth(unsigned col, double w)
{
    if (col >= num_cols || col >= col_dx.RetCount())
        return false;
    col_dx.At(col) = w;
    return true;
}

bool ZuGridLayout::SetRowHeight(unsigned row, double h)
{
    if (row >= num_rows || row >= row_dy.RetCount())
        return false;
    row_dy.At(row) = h;
    return true;
}

bool ZuGridLayout::InvalidateGeometry()
{
    is_geometry_valid = false;
    return true;
}

bool ZuGridLayout::ComputePosition(unsigned index, unsigned& col, unsigned& row) const
{
    if (num_cols == 0 || num_rows == 0)
        return false;
    if (is_layout_by_rows) {
        col = index % num_cols;
        row = index / num_cols;
        return row < num_rows;
    }
    row = index % num_rows;
    col = index / num_rows;
    return col < num_cols;
}

bool ZuGridLayout::ComputeIndex(unsigned col, unsigned row, unsigned& index) const
{
    if (col >= num_cols || row >= num_rows)
        return false;
    // The grid's cells are counted in 32 bits: a cell whose index does not
    // fit has none.
    const unsigned long long i = is_layout_by_rows
                                     ? static_cast<unsigned long long>(row) * num_cols + col
                                     : static_cast<unsigned long long>(col) * num_rows + row;
    if (i > 0xFFFFFFFFULL)
        return false;
    index = static_cast<unsigned>(i);
    return true;
}

unsigned ZuGridLayout::RetNumColumns() const
{
    return num_cols;
}

unsigned ZuGridLayout::RetNumRows() const
{
    return num_rows;
}

double ZuGridLayout::RetDefaultColWidth() const
{
    return def_col_dx;
}

double ZuGridLayout::RetDefaultRowHeight() const
{
    return def_row_dy;
}

void ZuGridLayout::UpdateGeometry()
{
    for (unsigned c = 0; c < col_dx.RetCount(); ++c)
        col_dx.At(c) = def_col_dx;
    for (unsigned r = 0; r < row_dy.RetCount(); ++r)
        row_dy.At(r) = def_row_dy;
    if (!is_auto_fitting || container == nullptr || architect.IsInvalid())
        return;
    // Every cell that holds an item, visited through the items: only they
    // can widen a column or heighten a row.
    const unsigned n = container->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        unsigned c = 0, r = 0;
        if (!ComputePosition(i, c, r))
            continue;
        ZuObjectRef item;
        if (!container->Get(i, item))
            continue;
        double dx = 0.0, dy = 0.0;
        if (!architect->GetViewSize(item, dx, dy))
            continue;
        if (c < col_dx.RetCount() && dx > col_dx.At(c))
            col_dx.At(c) = dx;
        if (r < row_dy.RetCount() && dy > row_dy.At(r))
            row_dy.At(r) = dy;
    }
}

bool ZuGridLayout::GetGlobalSize(double& width, double& height)
{
    if (!is_geometry_valid)
        UpdateGeometry();
    width = SumBefore(col_dx, col_dx.RetCount());
    height = SumBefore(row_dy, row_dy.RetCount());
    return true;
}

bool ZuGridLayout::GetViewBox(unsigned index, ZuRect& box)
{
    unsigned col = 0, row = 0;
    if (!ComputePosition(index, col, row) || col >= col_dx.RetCount() || row >= row_dy.RetCount())
        return false;
    const double x = SumBefore(col_dx, col), y = SumBefore(row_dy, row);
    const double w = col_dx.At(col), h = row_dy.At(row);
    box = ZuRect();
    box.SetOrigin(x, y);
    box.SetSize(w, h);
    return true;
}

bool ZuGridLayout::FindViewInBox(const ZuRect& rect, unsigned& index)
{
    if (container == nullptr)
        return false;
    const unsigned n = container->TotalCount();
    for (unsigned i = index; i < n; ++i) {
        ZuRect box;
        if (GetViewBox(i, box) && box.DoOverlap(rect)) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuGridLayout::FindViewAtPosition(double x, double y, unsigned& index)
{
    if (container == nullptr)
        return false;
    const unsigned n = container->TotalCount();
    for (unsigned i = index; i < n; ++i) {
        ZuRect box;
        if (GetViewBox(i, box) && !box.IsEmpty() && box.X1() <= x && x <= box.X2() &&
            box.Y1() <= y && y <= box.Y2()) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuGridLayout::ConstrainOrigin(double& x, double& y)
{
    if (constrain_x && num_cols > 0)
        SnapToEdge(col_dx, x);
    if (constrain_y && num_rows > 0)
        SnapToEdge(row_dy, y);
    return true;
}

void ZuGridLayout::UpdateNumColRows()
{
    if (container == nullptr)
        return;
    const unsigned long long n = container->TotalCount();
    const unsigned long long total = static_cast<unsigned long long>(num_cols) * num_rows;
    const unsigned line = is_layout_by_rows ? num_cols : num_rows;
    if (total != 0 && total - line + 1 <= n && n <= total)
        return;
    // The fixed dimension divides the items into lines: before the grid has
    // counts it counts as 1, never as 0.
    const unsigned fixed = line == 0 ? 1 : line;
    unsigned long long lines = (n + fixed - 1) / fixed;
    if (lines == 0)
        lines = 1;
    const unsigned free_count = static_cast<unsigned>(lines);
    if (is_layout_by_rows)
        SetNumColRows(fixed, free_count);
    else
        SetNumColRows(free_count, fixed);
}

bool ZuGridLayout::NotifyDataSourceChange()
{
    UpdateNumColRows();
    ZuViewLayout::NotifyDataSourceChange();
    return true;
}

void ZuGridLayout::StoreInstance(const ZuStorageRef& s)
{
    ZuViewLayout::StoreInstance(s);
    s << GridRecord() << ZuStorageSync::begin;
    s->StoreCard(num_cols);
    s->StoreCard(num_rows);
    s->StoreReal(def_col_dx);
    s->StoreReal(def_row_dy);
    col_dx.StoreInstance(s);
    row_dy.StoreInstance(s);
    s->StoreBool(is_auto_fitting);
    s->StoreBool(is_layout_by_rows);
    s << ZuStorageSync::end;
}

void ZuGridLayout::RestoreInstance(const ZuStorageRef& s)
{
    ZuViewLayout::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    num_cols = static_cast<unsigned>(s->RestoreCard(num_cols));
    num_rows = static_cast<unsigned>(s->RestoreCard(num_rows));
    def_col_dx = s->RestoreReal(def_col_dx);
    def_row_dy = s->RestoreReal(def_row_dy);
    col_dx.RestoreInstance(s);
    row_dy.RestoreInstance(s);
    is_auto_fitting = s->RestoreBool(is_auto_fitting);
    is_layout_by_rows = s->RestoreBool(is_layout_by_rows);
    s >> ZuStorageSync::end;
    // Stored data is outside data: the counts are those of the widths and
    // heights actually read, and a grid without columns or without rows is
    // an empty grid.
    num_cols = col_dx.RetCount();
    num_rows = row_dy.RetCount();
    if (num_cols == 0 || num_rows == 0) {
        num_cols = num_rows = 0;
        col_dx.Resize(0);
        row_dy.Resize(0);
    }
    InvalidateGeometry();
}
