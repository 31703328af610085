#include "si/array2d.h"

#include "si/rtclass.h"

#include "si/except.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuArray2D, "si/array2d", ZU_CLASS_PLAIN)

static ZuStorageSync grid_record("<ZuArray2D num_rows num_cols>");

ZuArray2D::ZuArray2D() : num_rows(0), num_cols(0) {}

ZuArray2D::~ZuArray2D() {}

bool ZuArray2D::SetSize(unsigned int rows, unsigned int cols)
{
    if (rows == num_rows && cols == num_cols)
        return true;
    const unsigned long long cells = static_cast<unsigned long long>(rows) * cols;
    if (cells == 0) {
        CleanupAndFreeReferences(data, num_element);
        data = nullptr;
        num_element = 0;
        num_rows = 0;
        num_cols = 0;
        return true;
    }
    if (cells > 0xFFFFFFFFull)
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, __LINE__, "si/array2d");
    ZuObjectRef* block = AllocReferences(static_cast<unsigned int>(cells));
    // The slots may have been resized through the one-dimensional
    // operations: only cells that exist in the old block are copied.
    const unsigned int keep_rows = rows < num_rows ? rows : num_rows;
    const unsigned int keep_cols = cols < num_cols ? cols : num_cols;
    for (unsigned int r = 0; r < keep_rows; r++)
        for (unsigned int c = 0; c < keep_cols; c++) {
            const unsigned long long from = static_cast<unsigned long long>(r) * num_cols + c;
            if (from < num_element)
                block[r * cols + c] = data[from];
        }
    CleanupAndFreeReferences(data, num_element);
    data = block;
    num_element = static_cast<unsigned int>(cells);
    num_rows = rows;
    num_cols = cols;
    return true;
}

ZuObjectRef& ZuArray2D::Access(unsigned int row, unsigned int col) const
{
    if (row < num_rows && col < num_cols) {
        const unsigned long long slot = static_cast<unsigned long long>(row) * num_cols + col;
        if (slot < num_element)
            return ZuArray::Access(static_cast<unsigned int>(slot));
    }
    scratch = ZuObjectNull;
    return scratch;
}

bool ZuArray2D::Find(const ZuObjectRef& object, unsigned int& row, unsigned int& col)
{
    if (row >= num_rows || col >= num_cols)
        return false;
    const unsigned long long start = static_cast<unsigned long long>(row) * num_cols + col;
    if (start >= num_element)
        return false;
    unsigned int index = static_cast<unsigned int>(start);
    if (!ZuArray::Find(object, index))
        return false;
    row = index / num_cols;
    col = index % num_cols;
    return true;
}

void ZuArray2D::StoreInstance(const ZuStorageRef& s)
{
    ZuArray::StoreInstance(s);
    s << grid_record << ZuStorageSync::begin;
    s->StoreCard(num_rows);
    s->StoreCard(num_cols);
    s << ZuStorageSync::end;
}

void ZuArray2D::RestoreInstance(const ZuStorageRef& s)
{
    ZuArray::RestoreInstance(s);
    // Read directly: every use of the dimensions checks the slots, which
    // the one-dimensional operations may have changed anyway.
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> num_rows >> num_cols >> ZuStorageSync::end;
}
