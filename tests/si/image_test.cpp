// The image view: the loader chosen by the name and the fall-backs, the
// picture drawn once or as tiles, and only the name kept in storage.
#include "si/image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/grailpxm.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "tests/support/imagefiles.h"
#include "tests/support/itemviews.h"
#include "tests/support/ports.h"
#include "tests/support/scratchdir.h"

// A pixmap that logs the rectangles copied into it.
ZU_HANDLE(TCopyLog, ZuGrailPixmap)
class TCopyLog : public ZuGrailPixmap {
    ZU_CLASS(TCopyLog, ZuGrailPixmap)
public:
    TCopyLog() {}
    void CopyRect(const ZuGrailPortRef& source, double sx, double sy, const ZuRect& r,
                  double margin) override
    {
        (void)source;
        (void)sx;
        (void)sy;
        (void)margin;
        rects.push_back(r);
    }
    std::vector<ZuRect> rects;
};
ZU_CLASS_END(TCopyLog)
ZU_IMPLEMENT_CLASS(TCopyLog, "tests/si/image_test", ZU_CLASS_PLAIN)

// An image view whose picture is an empty pixmap, as a broken loader might
// hand over.
ZU_HANDLE(TEmptyImage, ZuImage)
class TEmptyImage : public ZuImage {
    ZU_CLASS(TEmptyImage, ZuImage)
public:
    TEmptyImage() {}

protected:
    bool LoadImage(const ZuStringRef& path) override
    {
        (void)path;
        pixmap = ZuNew<ZuGrailPixmap>(RetMemZone());
        return true;
    }
};
ZU_CLASS_END(TEmptyImage)
ZU_IMPLEMENT_CLASS(TEmptyImage, "tests/si/image_test", ZU_CLASS_PLAIN)

namespace {

std::vector<unsigned char> Png(unsigned w, unsigned h)
{
    TestPng png;
    png.width = w;
    png.height = h;
    png.samples.assign(w * h * 3, 200);
    return WriteTestPng(png);
}

std::vector<unsigned char> Gif(int w, int h)
{
    TestGif gif;
    gif.screen_width = w;
    gif.screen_height = h;
    gif.global_table = {{0, 0, 0}, {255, 255, 255}};
    TestGifImage image;
    image.width = w;
    image.height = h;
    image.indices.assign(static_cast<std::size_t>(w * h), 1);
    gif.images.push_back(image);
    return WriteTestGif(gif);
}

class ImageTest : public PortTest {
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        image = ZuNew<ZuImage>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        image->Delete();
        image = ZuImageRef();
        ZuObjectRef::RealiseDeletions();
        PortTest::TearDown();
    }
    std::string Path(const char* name) const { return scratch.Path() + "/" + name; }
    // The rectangles the view copies its picture to, in a 35 x 20 box at
    // (10, 20).
    std::vector<ZuRect> Tiles(const ZuImageRef& view)
    {
        view->SetBox(ZuRect(10, 20, 44, 39));
        TCopyLogRef port = ZuNew<TCopyLog>(Zuvi_app_zone);
        view->DrawBack(port, view->RetBox());
        std::vector<ZuRect> rects = port->rects;
        port->Delete();
        return rects;
    }
    ScratchDir scratch;
    ZuImageRef image;
};

TEST_F(ImageTest, TheNameChoosesTheFirstReaderAndTheOthersFollow)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        double width; // 0: no picture
    } const cases[] = {
        {"a.gif", Gif(3, 2), 3},
        {"a.png", Png(4, 5), 4},
        {"photo.gif.png", Png(6, 1), 6}, // GIF first, then GIF again, then PNG
        {"gif.png", Gif(7, 1), 7},       // PNG first, then GIF
        {"PIC.PNG", Png(8, 1), 8},       // capitals: GIF, then PNG
        {"PIC.GIF", Gif(9, 1), 9},
        {"noext", Png(2, 2), 2},
        {"junk.png", {1, 2, 3, 4, 5, 6, 7, 8}, 0},
        {"empty.gif", {}, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteTestFile(Path(c.name), c.bytes));
        ZuImageRef view = ZuNew<ZuImage>(Zuvi_app_zone);
        const bool loaded = view->Initialise(ZuStringRef(Path(c.name).c_str()), false, true);
        EXPECT_EQ(loaded, c.width > 0) << c.name;
        double w = 0, h = 0;
        EXPECT_EQ(view->GetImageSize(w, h), c.width > 0) << c.name;
        if (c.width > 0) {
            EXPECT_EQ(w, c.width) << c.name;
        }
        view->Delete();
    }
}

TEST_F(ImageTest, AFailedInitialiseKeepsTheNameAndFlags)
{
    ASSERT_TRUE(WriteTestFile(Path("a.png"), Png(10, 10)));
    const ZuStringRef good(Path("a.png").c_str());
    ASSERT_TRUE(image->Initialise(good, false, true));
    EXPECT_EQ(image->RetImageName()->CompareWith(good, true), 0);
    EXPECT_FALSE(image->Initialise(ZuStringRef(Path("missing.png").c_str()), true, false));
    EXPECT_FALSE(image->Initialise(ZuStringRef(""), true, false));
    EXPECT_FALSE(image->SetImageName(ZuStringRef(Path("missing.gif").c_str())));
    EXPECT_EQ(image->RetImageName()->CompareWith(good, true), 0);
    EXPECT_FALSE(image->IsImageCentered());
    EXPECT_TRUE(image->IsImageTiled());

    // The picture read before stays with its name.
    ASSERT_TRUE(image->SetDefaultSize());
    double dx = 0, dy = 0;
    image->GetSize(dx, dy);
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, 10);
}

TEST_F(ImageTest, TilesCoverTheBoxFromItsCornerOrAsACentredOddBlock)
{
    ASSERT_TRUE(WriteTestFile(Path("a.png"), Png(10, 10)));
    struct Case {
        bool centered, tiled;
        unsigned columns, rows;
        double x0, y0;
    } const cases[] = {
        {true, true, 5, 3, 10 - 7.5, 20 - 5},
        {false, true, 4, 2, 10, 20},
        {true, false, 1, 1, 10 + 12.5, 20 + 5},
        {false, false, 1, 1, 10, 20},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(image->Initialise(ZuStringRef(Path("a.png").c_str()), c.centered, c.tiled));
        std::vector<ZuRect> rects = Tiles(image);
        ASSERT_EQ(rects.size(), c.columns * c.rows) << c.centered << c.tiled;
        for (unsigned r = 0; r < c.rows; ++r)
            for (unsigned k = 0; k < c.columns; ++k) {
                const ZuRect& got = rects[r * c.columns + k];
                EXPECT_EQ(got.X1(), c.x0 + 10 * k);
                EXPECT_EQ(got.Y1(), c.y0 + 10 * r);
                EXPECT_EQ(got.X2(), c.x0 + 10 * k + 9);
                EXPECT_EQ(got.Y2(), c.y0 + 10 * r + 9);
            }
    }
}

TEST_F(ImageTest, NothingIsDrawnWithoutAPictureOrForAnEmptyOne)
{
    EXPECT_TRUE(Tiles(image).empty());
    TEmptyImageRef empty = ZuNew<TEmptyImage>(Zuvi_app_zone);
    ASSERT_TRUE(empty->Initialise(ZuStringRef("x.png"), true, true));
    EXPECT_TRUE(Tiles(empty).empty());
    empty->Delete();
}

TEST_F(ImageTest, OnlyTheNameIsStoredAndAwakeReadsThePictureAgain)
{
    ASSERT_TRUE(WriteTestFile(Path("a.gif"), Gif(10, 10)));
    const ZuStringRef name(Path("a.gif").c_str());
    ASSERT_TRUE(image->Initialise(name, false, true));
    ZuImageRef back(StoredAndRead(image));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetImageName()->CompareWith(name, true), 0);
    EXPECT_FALSE(back->IsImageCentered());
    EXPECT_TRUE(back->IsImageTiled());
    double w = 0, h = 0;
    EXPECT_FALSE(back->GetImageSize(w, h));
    back->Awake();
    ASSERT_TRUE(back->GetImageSize(w, h));
    EXPECT_EQ(w, 10);
    back->Delete();
}

} // namespace
