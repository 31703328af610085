#include "si/array2d.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class Array2DTest : public ZuviRuntimeTest {
protected:
    ZuArray2DRef NewGrid(unsigned int rows, unsigned int cols)
    {
        ZuArray2DRef g(ZuNew<ZuArray2D>());
        g->SetSize(rows, cols);
        return g;
    }
    // Cell (r, c) holds the string "rc".
    void Fill(const ZuArray2DRef& g)
    {
        for (unsigned r = 0; r < g->RetNumRows(); r++)
            for (unsigned c = 0; c < g->RetNumCols(); c++) {
                char text[3] = {char('0' + r), char('0' + c), 0};
                g->Access(r, c) = ZuStringRef(text);
            }
    }
    // The grid row by row, "rc" for a cell, ".." for an empty one.
    static std::string Show(const ZuArray2DRef& g)
    {
        std::string out;
        for (unsigned r = 0; r < g->RetNumRows(); r++) {
            if (r)
                out += '|';
            for (unsigned c = 0; c < g->RetNumCols(); c++) {
                ZuStringRef s(g->Access(r, c));
                if (s.IsValid()) {
                    out += char(s->RetCharacter(0));
                    out += char(s->RetCharacter(1));
                } else {
                    out += "..";
                }
            }
        }
        return out;
    }
};

TEST_F(Array2DTest, ResizingKeepsTheOverlappingRectangle)
{
    ZuArray2DRef g = NewGrid(2, 3);
    Fill(g);
    EXPECT_EQ(Show(g), "000102|101112");
    EXPECT_EQ(g->TotalCount(), 6u);
    EXPECT_TRUE(g->Access(2, 0).IsInvalid());
    EXPECT_TRUE(g->Access(0, 3).IsInvalid());
    g->Access(2, 0) = ZuStringRef("lost");
    EXPECT_EQ(g->TotalCount(), 6u);

    EXPECT_TRUE(g->SetSize(3, 2));
    EXPECT_EQ(Show(g), "0001|1011|....");
    EXPECT_EQ(g->TotalCount(), 6u);

    EXPECT_TRUE(g->SetSize(0, 5));
    EXPECT_EQ(g->RetNumRows(), 0u);
    EXPECT_EQ(g->RetNumCols(), 0u);
    EXPECT_EQ(g->TotalCount(), 0u);
}

TEST_F(Array2DTest, FindSearchesRowMajorFromTheStartCell)
{
    ZuArray2DRef g = NewGrid(2, 3);
    ZuStringRef x("x");
    g->Access(0, 2) = x;
    g->Access(1, 0) = x;
    g->Access(1, 2) = x;
    unsigned row = 1, col = 1;
    EXPECT_TRUE(g->Find(x, row, col));
    EXPECT_EQ(row, 1u);
    EXPECT_EQ(col, 2u);
    row = 0, col = 0;
    EXPECT_TRUE(g->Find(x, row, col));
    EXPECT_EQ(col, 2u);
    row = 2, col = 0;
    EXPECT_FALSE(g->Find(x, row, col));
    row = 0, col = 3;
    EXPECT_FALSE(g->Find(x, row, col));
}

TEST_F(Array2DTest, SlotsChangedInOneDimensionAreNeverReadPastTheirEnd)
{
    ZuArray2DRef g = NewGrid(2, 3);
    Fill(g);
    // The one-dimensional size leaves the dimensions alone.
    EXPECT_TRUE(g->SetSize(4u));
    EXPECT_EQ(g->RetNumRows(), 2u);
    EXPECT_TRUE(g->Access(1, 2).IsInvalid());
    EXPECT_EQ(Show(g), "000102|10....");
    unsigned row = 1, col = 2;
    EXPECT_FALSE(g->Find(ZuObjectNull, row, col));
    EXPECT_TRUE(g->SetSize(3, 3));
    EXPECT_EQ(Show(g), "000102|10....|......");
}

TEST_F(Array2DTest, StoresItsDimensions)
{
    ZuArray2DRef g = NewGrid(2, 3);
    Fill(g);
    g->Access(0, 1) = ZuObjectNull;
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << g;
    store->StartRestoring(store->Bytes());
    ZuArray2DRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetNumRows(), 2u);
    EXPECT_EQ(back->RetNumCols(), 3u);
    EXPECT_EQ(Show(back), "00..02|101112");
}

} // namespace
