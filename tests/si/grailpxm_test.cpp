#include "si/grailpxm.h"

#include <gtest/gtest.h>

#include <vector>

#include "si/classfactory.h"
#include "si/igrailhook.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "zoveda/gfxsurface.h"

// A pixmap that lets the tests ask for partitions to be redrawn.
ZU_HANDLE(ZuTestPartitionPixmap, ZuGrailPixmap)
class ZuTestPartitionPixmap : public ZuGrailPixmap {
    ZU_CLASS(ZuTestPartitionPixmap, ZuGrailPixmap)
public:
    ZuTestPartitionPixmap() {}
    bool Redraw(unsigned i, int kind, void* a, unsigned b)
    {
        return RedrawPartition(i, kind, a, b);
    }
};
ZU_CLASS_END(ZuTestPartitionPixmap)
ZU_IMPLEMENT_CLASS(ZuTestPartitionPixmap, "tests/si/grailpxm_test", ZU_CLASS_PLAIN)

// A hook that records which operation it was asked for, with what.
ZU_HANDLE(ZuTestPartitionHook, ZuObject)
class ZuTestPartitionHook : public ZuObject, public ZuiGrailHook {
    ZU_CLASS(ZuTestPartitionHook, ZuObject)
public:
    ZuTestPartitionHook() {}
    struct Call {
        int op, x, y, width, height;
        void* pixels;
        int pitch;
    };
    std::vector<Call> calls;
    void CopyTo1Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({1, x, y, w, h, p, pitch});
    }
    void CopyTo16Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({2, x, y, w, h, p, pitch});
    }
    void CopyTo15Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({3, x, y, w, h, p, pitch});
    }
    void CopyTo24Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({4, x, y, w, h, p, pitch});
    }
    void CopyTo32Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({5, x, y, w, h, p, pitch});
    }
};
ZU_CLASS_END(ZuTestPartitionHook)
ZU_IMPLEMENT_CLASS(ZuTestPartitionHook, "tests/si/grailpxm_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTestPartitionHook, ZuiGrailHook)

namespace {

class PixmapTest : public PortTest {};

TEST_F(PixmapTest, InitialiseMakesASurfaceOfTheDepth)
{
    struct Case {
        unsigned asked;
        unsigned depth;
    } const cases[] = {{24, 32}, {32, 32}, {1, 1}, {16, 16}, {8, 32}, {0, 32}};
    for (const Case& c : cases) {
        ZuGrailPixmapRef p = NewPixmap(c.asked, 10.7, 5);
        GfxSurface* s = p->LockSurface();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Depth(), c.depth) << c.asked;
        EXPECT_EQ(s->DX(), 10u);
        EXPECT_EQ(s->DY(), 5u);
        p->UnlockSurface(s);
        EXPECT_EQ(p->RetDepth(), c.depth);
        double w = 0, h = 0;
        p->GetSize(w, h);
        EXPECT_EQ(w, 10.7);
        EXPECT_EQ(h, 5);
        EXPECT_TRUE(p->IsReady());
    }

    // The form taking a pixmap always makes 16 bits and keeps the depth.
    ZuGrailPixmapRef p = NewPixmap(32, 4, 4);
    p->Initialise(ZuGrailPixmapNull, 8, 8);
    GfxSurface* s = p->LockSurface();
    EXPECT_EQ(s->Depth(), 16u);
    EXPECT_EQ(s->DX(), 8u);
    p->UnlockSurface(s);
    EXPECT_EQ(p->RetDepth(), 32u);

    EXPECT_DEATH(p->Initialise(16, 0, 10), "Failed assertion: \\(dx > 0\\) && \\(dy > 0\\)");
    EXPECT_DEATH(p->Initialise(16, 10, -1), "Failed assertion: \\(dx > 0\\) && \\(dy > 0\\)");
}

TEST_F(PixmapTest, PixelsReadBack)
{
    ZuGrailPixmapRef p = NewPixmap(32, 4, 2);
    p->BeginDraw(0, 0, 3, 1);
    p->DrawDot(1, 1, ZuColorPixel(0x00102030u));
    p->DrawDot(2, 1, ZuColorPixel(0x00405060u));
    p->EndDraw();
    EXPECT_TRUE(p->RetPixel(1.9, 1.2) == ZuColorPixel(0x00102030u));
    unsigned char r[4], g[4], b[4];
    EXPECT_TRUE(p->GetRGBPixels(0, 1, 4, r, g, b));
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0x10);
    EXPECT_EQ(g[2], 0x50);
    EXPECT_EQ(b[2], 0x60);

    ZuGrailPixmapRef bare(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    EXPECT_DEATH(bare->RetPixel(0, 0), "Failed assertion: this->surface");
    EXPECT_DEATH(bare->DrawDot(0, 0), "Failed assertion: this->surface");
    double x = 0;
    EXPECT_FALSE(bare->FindDXSamePixel(x, 0, ZuColorPixel(0u), 1));
}

TEST_F(PixmapTest, Partitions)
{
    ZuTestPartitionPixmapRef p(ZuNew<ZuTestPartitionPixmap>(Zuvi_app_zone));
    ZuTestPartitionHookRef hook(ZuNew<ZuTestPartitionHook>(Zuvi_app_zone));
    ZuRect a(0, 0, 9, 9), b(10, 0, 19, 9), c(-5, -2, 14, 7);
    EXPECT_TRUE(p->AddPartition(a, hook));
    EXPECT_TRUE(p->AddPartition(b, ZuObjectNull));
    EXPECT_TRUE(p->AddPartition(c, hook));
    EXPECT_EQ(p->CountPartitions(), 3u);
    EXPECT_TRUE(p->RemovePartition(b));
    EXPECT_FALSE(p->RemovePartition(b));
    EXPECT_EQ(p->CountPartitions(), 2u);
    ZuRect r;
    ZuObjectRef obj;
    ASSERT_TRUE(p->GetPartition(0, r, obj));
    EXPECT_TRUE(r == a);
    EXPECT_TRUE(obj == hook);
    ASSERT_TRUE(p->GetPartition(1, r, obj));
    EXPECT_TRUE(r == c);
    EXPECT_FALSE(p->GetPartition(2, r, obj));

    // Kinds 1 to 4: the 15-, 16-, 24- and 32-bit operations; a negative
    // origin is raised to 0.
    char buffer[4];
    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_TRUE(p->Redraw(1, kind, buffer, 64));
    EXPECT_FALSE(p->Redraw(1, 5, buffer, 64));
    EXPECT_FALSE(p->Redraw(2, 1, buffer, 64));
    ASSERT_EQ(hook->calls.size(), 4u);
    const int ops[] = {3, 2, 4, 5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(hook->calls[i].op, ops[i]);
        EXPECT_EQ(hook->calls[i].x, 0);
        EXPECT_EQ(hook->calls[i].y, 0);
        EXPECT_EQ(hook->calls[i].width, 15);
        EXPECT_EQ(hook->calls[i].height, 8);
        EXPECT_EQ(hook->calls[i].pixels, buffer);
        EXPECT_EQ(hook->calls[i].pitch, 64);
    }

    // A partition whose object has no hook is not redrawn.
    p->AddPartition(b, ZuObjectNull);
    EXPECT_FALSE(p->Redraw(2, 1, buffer, 64));
    EXPECT_FALSE(p->RemovePartitions());
    EXPECT_EQ(p->CountPartitions(), 0u);
}

} // namespace
