#include "zoveda/gfxsurface.h"

#include <set>
#include <string>
#include <utility>

#include "tests/zoveda/gfxtest.h"

namespace {

typedef std::set<std::pair<int, int>> Points;

class GfxSurfaceLinesTest : public GfxTest {
protected:
    Points Drawn(const GfxSurface* s)
    {
        Points points;
        for (int y = 0; y < static_cast<int>(s->DY()); ++y) {
            for (int x = 0; x < static_cast<int>(s->DX()); ++x) {
                if (s->RetPixelRGB(x, y) != 0) {
                    points.insert({x, y});
                }
            }
        }
        return points;
    }
};

TEST_F(GfxSurfaceLinesTest, PlainLinesRoundToTheNearestPixelInBothDirections)
{
    struct Case {
        int x1, y1, x2, y2;
        Points points;
    } cases[] = {
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {4, 2, 0, 0, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {0, 0, 2, 4, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
        {0, 4, 4, 0, {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}},
        {1, 3, 5, 3, {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {2, 2, 2, 2, {{2, 2}}},
        {-3, 1, 2, 1, {{0, 1}, {1, 1}, {2, 1}}}, // clipped
    };
    for (const Case& c : cases) {
        GfxSurface* s = Make(32, 6, 6);
        s->DrawLine(c.x1, c.y1, c.x2, c.y2, 0x00FFFFFF);
        EXPECT_EQ(Drawn(s), c.points) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST_F(GfxSurfaceLinesTest, LengthLimit)
{
    struct Case {
        int x2, y2;
        const char* text;
    } cases[] = {{10000, 0, "dx < MAX_LINE_LENGTH"},
                 {0, -10000, "dy < MAX_LINE_LENGTH"},
                 {2147483647, 5, "dx < MAX_LINE_LENGTH"}};
    GfxSurface* s = Make(32, 8, 8);
    for (const Case& c : cases) {
        for (bool aa : {false, true}) {
            try {
                if (aa) {
                    s->DrawAALine(0, 0, c.x2, c.y2, 0x00FFFFFF);
                } else {
                    s->DrawLine(0, 0, c.x2, c.y2, 0x00FFFFFF);
                }
                ADD_FAILURE() << "no exception for " << c.x2 << "," << c.y2;
            } catch (const char* text) {
                EXPECT_STREQ(text, c.text);
            }
        }
    }
    EXPECT_TRUE(s->IsEmpty());

    GfxSurface* wide = Make(32, 10000, 1);
    wide->DrawLine(0, 0, 9999, 0, 0x00FFFFFF);
    EXPECT_EQ(Drawn(wide).size(), 10000u);
}

TEST_F(GfxSurfaceLinesTest, DashPatterns)
{
    const unsigned short dash[] = {3, 2};
    const unsigned short lead_zero[] = {0, 2};
    const unsigned short zeros_inside[] = {2, 0, 0, 1};
    struct Case {
        const unsigned short* pattern;
        int count;
        std::string row;
    } cases[] =
        {
            {dash, 2, "xxx..xxx.."},
            {dash, 1, "xxx...xxx."}, // one run alternates drawn and skipped
            {dash, 0, "xxxxxxxxxx"},
            {nullptr, 2, "xxxxxxxxxx"},
            {lead_zero, 2, "xxxxxxxxxx"},
            {zeros_inside, 4, "xx.xx.xx.x"},
        };
    for (const Case& c : cases) {
        for (bool aa : {false, true}) {
            GfxSurface* s = Make(32, 12, 2);
            if (aa) {
                s->DrawAALine(0, 0, 9, 0, 0x00FFFFFF, c.pattern, c.count);
            } else {
                s->DrawLine(0, 0, 9, 0, 0x00FFFFFF, c.pattern, c.count);
            }
            std::string row;
            for (int x = 0; x < 10; ++x) {
                row += s->RetPixelRGB(x, 0) != 0 ? 'x' : '.';
            }
            EXPECT_EQ(row, c.row) << c.count << (aa ? " aa" : "");
            EXPECT_EQ(s->RetPixelRGB(10, 0), 0u);
            EXPECT_EQ(s->RetPixelRGB(3, 1), 0u);
        }
    }
}

TEST_F(GfxSurfaceLinesTest, AntiAliasedLines)
{
    // A straight line puts the whole colour on its row and nothing below.
    GfxSurface* s = Make(32, 6, 3);
    s->DrawAALine(0, 0, 4, 0, 0x00FFFFFF);
    EXPECT_EQ(Drawn(s), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    EXPECT_EQ(s->RetPixelRGB(2, 0), 0x00FFFFFFu);

    // Half way between two rows each gets about half.
    GfxSurface* d = Make(32, 4, 3);
    d->DrawAALine(0, 0, 2, 1, 0x00FFFFFF);
    EXPECT_EQ(d->RetPixelRGB(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(d->RetPixelRGB(1, 0), 0x00808080u);
    EXPECT_EQ(d->RetPixelRGB(1, 1), 0x007E7E7Eu);
    EXPECT_EQ(d->RetPixelRGB(2, 1), 0x00FFFFFFu);
    EXPECT_EQ(d->RetPixelRGB(2, 2), 0u);

    // One point is drawn opaque whatever the colour's transparency.
    GfxSurface* p = Make(32, 3, 3);
    p->DrawAALine(1, 1, 1, 1, 0x80FF0000);
    EXPECT_EQ(Drawn(p), (Points{{1, 1}}));
    EXPECT_EQ(p->RetPixelRGB(1, 1), 0x00FF0000u);
    // The plain line blends its colour.
    p->DrawLine(0, 0, 0, 0, 0x80FFFFFF);
    EXPECT_EQ(p->RetPixelRGB(0, 0), 0x007E7E7Eu);
}

TEST_F(GfxSurfaceLinesTest, LineWithoutDotsBufferDrawsNothing)
{
    GfxSurface* s = Make(32, 8, 8);
    FailAt(1);
    s->DrawLine(0, 0, 7, 7, 0x00FFFFFF);
    EXPECT_TRUE(s->IsEmpty());
    s->DrawLine(0, 0, 7, 7, 0x00FFFFFF); // the next attempt gets it
    EXPECT_EQ(Drawn(s).size(), 8u);
}

} // namespace
