// ZuArray2D: a rectangular grid of object handles addressed by row and
// column, laid out row by row in the array's slots (cell (row, col) is slot
// row * num_cols + col). Cells outside the grid read as empty handles and
// writes to them are lost. The one-dimensional operations of ZuArray work
// on the slot sequence and leave the dimensions alone.
#ifndef SI_ARRAY2D_H
#define SI_ARRAY2D_H

#include "si/array.h"

ZU_HANDLE(ZuArray2D, ZuArray)

class ZuArray2D : public ZuArray {
    ZU_CLASS(ZuArray2D, ZuArray)

public:
    ZuArray2D();
    ~ZuArray2D() override;

    // Keeps the overlapping rectangle at its rows and columns; a size of 0
    // frees everything. Sends no notification.
    virtual bool SetSize(unsigned int rows, unsigned int cols);
    // Searches in row-major order from the cell (row, col) on; on success
    // gives the cell found.
    virtual bool Find(const ZuObjectRef& object, unsigned int& row, unsigned int& col);
    virtual ZuObjectRef& Access(unsigned int row, unsigned int col) const;

    using ZuArray::Access;
    using ZuArray::Find;
    using ZuArray::SetSize;

    unsigned int RetNumRows() const { return num_rows; }
    unsigned int RetNumCols() const { return num_cols; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int num_rows;
    unsigned int num_cols;
};
ZU_CLASS_END(ZuArray2D)

#endif
