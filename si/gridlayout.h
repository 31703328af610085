// ZuGridLayout: lays the items of a source out in a table of columns and
// rows, filled row by row or column by column. Columns and rows take a
// default width and height; in auto-fit mode each grows to the largest
// item view it holds, as the architect measures it. One dimension is fixed
// (the columns when filling by rows); the other follows the number of
// items whenever the source's contents change.
#ifndef SI_GRIDLAYOUT_H
#define SI_GRIDLAYOUT_H

#include "si/simplearray.h"
// The stored arrays of doubles are read and written with its operators.
#include "si/storage.h"
#include "si/viewlayout.h"

ZU_HANDLE(ZuGridLayout, ZuViewLayout)
class ZuGridLayout : public ZuViewLayout {
    ZU_CLASS(ZuGridLayout, ZuViewLayout)
public:
    ZuGridLayout() {}

    using ZuViewLayout::Initialise;

    bool GetGlobalSize(double& width, double& height) override;
    bool GetViewBox(unsigned index, ZuRect& box) override;
    bool FindViewInBox(const ZuRect& rect, unsigned& index) override;
    bool FindViewAtPosition(double x, double y, unsigned& index) override;
    bool ConstrainOrigin(double& x, double& y) override;
    bool NotifyDataSourceChange() override;

protected:
    // Widths and heights from the defaults, then, in auto-fit mode, from
    // the item views.
    virtual void UpdateGeometry();
    // The free dimension to the number of lines the items need.
    virtual void UpdateNumColRows();

public:
    // A width or height of 0 asks the architect for the default cell size.
    virtual bool Initialise(const ZuObjectRef& source, const ZuViewArchitectRef& architect,
                            unsigned num_cols, unsigned num_rows, double def_col_dx,
                            double def_row_dy, bool is_auto_fitting, bool is_layout_by_rows);
    // A count of 0 counts as 1.
    virtual bool SetNumColRows(unsigned num_cols, unsigned num_rows);
    virtual bool SetLayoutByRows(bool by_rows);
    virtual bool RetLayoutByRows() const;
    virtual bool SetDefaultColWidth(double width);
    virtual bool SetDefaultRowHeight(double height);
    // The current width (height) until the next geometry update.
    virtual bool SetColWidth(unsigned col, double width);
    virtual bool SetRowHeight(unsigned row, double height);
    virtual bool InvalidateGeometry();
    virtual bool ComputePosition(unsigned index, unsigned& col, unsigned& row) const;
    virtual bool ComputeIndex(unsigned col, unsigned row, unsigned& index) const;
    virtual unsigned RetNumColumns() const;
    virtual unsigned RetNumRows() const;
    virtual double RetDefaultColWidth() const;
    virtual double RetDefaultRowHeight() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned num_cols = 0;
    unsigned num_rows = 0;
    double def_col_dx = 0.0;
    double def_row_dy = 0.0;
    Zuvi_SimpleArrayZero<double> col_dx;
    Zuvi_SimpleArrayZero<double> row_dy;
    bool is_auto_fitting = false;
    bool is_layout_by_rows = false;
    bool is_geometry_valid = false;
};
ZU_CLASS_END(ZuGridLayout)

#endif
