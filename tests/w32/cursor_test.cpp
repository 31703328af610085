#include "w32/cursor.h"

#include <gtest/gtest.h>

#include <vector>

#include "w32/headless.h"

namespace {

// A 16 x 2 cursor: row 0 transparent, white, black, inverted pixels in
// pairs; row 1 all black.
struct Masks {
    std::vector<unsigned char> and_plane{0xC3, 0x00, 0x00, 0x00};
    std::vector<unsigned char> xor_plane{0x33, 0x00, 0x00, 0x00};
};

TEST(Cursors, MasksAreKeptAndReadAsPixels)
{
    Masks m;
    HCURSOR c = CreateCursor(nullptr, 3, 40, 16, 2, m.and_plane.data(), m.xor_plane.data());
    ASSERT_NE(c, nullptr);
    W32_Cursor* rec = W32_CursorOf(c);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->row_bytes, 2);
    EXPECT_EQ(rec->x_hot, 3);
    EXPECT_EQ(rec->y_hot, 1); // kept inside the cursor
    EXPECT_EQ(rec->and_mask, m.and_plane);
    EXPECT_EQ(rec->xor_mask, m.xor_plane);
    const uint32_t want[8] = {0,           0,           0xFFFFFFFFu, 0xFFFFFFFFu,
                              0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(W32_CursorPixel(rec, x, 0), want[x]) << x;
    EXPECT_EQ(W32_CursorPixel(rec, 15, 1), 0xFF000000u);
    EXPECT_EQ(W32_CursorPixel(rec, 16, 0), 0u);
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_EQ(W32_CursorOf(nullptr), nullptr);
    EXPECT_EQ(CreateCursor(nullptr, 0, 0, 0, 2, m.and_plane.data(), m.xor_plane.data()), nullptr);
}

TEST(Cursors, TheShownCursorIsTheLastSetAndTheArrowOutlivesAll)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(W32_CursorOf(arrow)->width, 32);
    EXPECT_EQ(W32_CursorPixel(W32_CursorOf(arrow), 0, 0), 0xFF000000u); // the tip
    EXPECT_EQ(LoadCursorA(nullptr, "other"), nullptr);
    EXPECT_FALSE(DestroyCursor(arrow));

    Masks m;
    HCURSOR c = CreateCursor(nullptr, 0, 0, 16, 2, m.and_plane.data(), m.xor_plane.data());
    HCURSOR before = SetCursor(arrow);
    EXPECT_EQ(SetCursor(c), arrow);
    EXPECT_EQ(GetCursor(), c);
    EXPECT_EQ(W32_HeadlessShownCursor(), W32_CursorOf(c));
    // Destroying the cursor on show puts the arrow back.
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(W32_HeadlessShownCursor(), W32_CursorOf(arrow));
    SetCursor(before);
}

} // namespace
