// Drawings of the older format: records converted into objects, the pens,
// greys and letters the codes stand for, the limits of chains and texts,
// and the opening through the page view.
#include <gtest/gtest.h>

#include "app/arcdef.h"
#include "app/colordef.h"
#include "app/fontdef.h"
#include "app/graarc.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyl.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "tests/app/shelltest.h"
#include "tests/support/debugcapture.h"

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// A header of a page 210 x 297 mm with the grid code.
Bytes Header(int grid)
{
    Bytes h(16, 0);
    h[5] = static_cast<unsigned char>(grid);
    h[6] = 2970 >> 8, h[7] = 2970 & 0xFF;
    h[8] = 2100 >> 8, h[9] = 2100 & 0xFF;
    return h;
}

void Put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = static_cast<unsigned char>(v >> 8);
    b[at + 1] = static_cast<unsigned char>(v & 0xFF);
}

// One record: type, first point (x1, y1), second point (x2, y2), pen.
void Record(Bytes& b, int type, unsigned x1, unsigned y1, unsigned x2, unsigned y2, int pen = 0,
            int byte0 = 0)
{
    const size_t at = b.size();
    b.resize(at + 16, 0);
    b[at] = static_cast<unsigned char>(byte0);
    b[at + 1] = static_cast<unsigned char>(type);
    Put16(b, at + 2, y1);
    Put16(b, at + 4, x1);
    Put16(b, at + 6, y2);
    Put16(b, at + 8, x2);
    b[at + 11] = static_cast<unsigned char>(pen);
}

// A character record at (x, y) with the size code.
void Char(Bytes& b, unsigned x, unsigned y, int size, unsigned char c)
{
    Record(b, 8, unsigned(size) << 8 | c, 0, x, y);
}

class RavonaTest : public ShellTest {
protected:
    // The bytes converted into a fresh document.
    bool Convert(const Bytes& bytes)
    {
        doc = ZuNew<CDocument>(Zuvi_app_zone);
        doc->Reset();
        CTreeNodeRef root;
        doc->GetTree()->GetNode(root, -1, -1);
        CTreeNodeRef page = ZuNew<CTreeNode>(Zuvi_app_zone);
        page->InsertFirstChild(root);
        CTreeNodeRef layer = ZuNew<CTreeNode>(Zuvi_app_zone);
        layer->InsertFirstChild(page);
        settings = ZuNew<CView>(Zuvi_app_zone);
        size_t pos = 0;
        auto read = [&bytes, &pos](void* to, unsigned n) -> unsigned {
            const size_t k = std::min<size_t>(n, bytes.size() - pos);
            std::memcpy(to, bytes.data() + pos, k);
            pos += k;
            return unsigned(k);
        };
        return CPageView::ConvertRavonaRecords(read, doc, settings, ZuNew<CGraPort>(Zuvi_app_zone));
    }
    std::vector<CGraObjectRef> Objects() const
    {
        CTreeNodeRef layer;
        doc->GetTree()->GetNode(layer, 0, 0);
        std::vector<CGraObjectRef> out;
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            out.push_back(CGraObjectRef(c->RetObject()));
        return out;
    }
    template <class R>
    static R Def(const CGraObjectRef& o, int kind)
    {
        ZuObjectRef d;
        o->GetDefinition(kind, d);
        return d.IsValid() && d->IsKindOf(R::RetRuntime()) ? R(d) : R();
    }
    static std::string Text(const CGraObjectRef& o)
    {
        return CGraLineTextRef(ZuObjectRef(o))->RetText()->AccessLatin();
    }

    CDocumentRef doc;
    CViewRef settings;
};

} // namespace

TEST_F(RavonaTest, TheHeaderGivesThePageAndTheGrid)
{
    struct Case {
        int code;
        bool on;
        double step;
    };
    const Case cases[] = {{0, false, 10.0}, {16, false, 10.0}, {31, false, 10.0},
                          {1, true, 0.2},   {3, true, 0.8},    {6, true, 0.3},
                          {15, true, 3.0},  {35, true, 0.8},   {224, false, 10.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(Convert(Header(c.code)));
        EXPECT_DOUBLE_EQ(doc->GetPageWidth(), 210.0);
        EXPECT_DOUBLE_EQ(doc->GetPageHeight(), 297.0);
        EXPECT_EQ(settings->switches[CView::SHOW_GRID], c.on);
        EXPECT_EQ(settings->switches[CView::GRID_MAGNETISM], c.on);
        EXPECT_DOUBLE_EQ(settings->values[4], c.step);
        EXPECT_DOUBLE_EQ(settings->values[5], c.step);
        EXPECT_TRUE(Objects().empty());
    }
    // A header cut short is no drawing.
    for (size_t n : {size_t(0), size_t(1), size_t(15)}) {
        Bytes b = Header(1);
        b.resize(n);
        EXPECT_FALSE(Convert(b)) << n;
    }
}

TEST_F(RavonaTest, SegmentsThatMeetWithOnePenMakeOnePolygon)
{
    Bytes one = Header(0);
    Record(one, 0, 1000, 1000, 1200, 1000, 8);
    Record(one, 1, 1200, 1000, 1200, 1000, 9); // coinciding points: dropped
    Record(one, 3, 1200, 1000, 1200, 1300, 8);
    ASSERT_TRUE(Convert(one));
    std::vector<CGraObjectRef> objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    ASSERT_TRUE(objects[0]->IsKindOf(CGraPolyLineRef::RetRuntime()));
    const CGraPolyLineRef poly{ZuObjectRef(objects[0])};
    ASSERT_EQ(poly->GetCount(), 3);
    EXPECT_DOUBLE_EQ(poly->GetVertex(0).p.x, 100.0 - 105.0);
    EXPECT_DOUBLE_EQ(poly->GetVertex(0).p.y, 100.0 - 148.5);
    EXPECT_DOUBLE_EQ(poly->GetVertex(2).p.y, 130.0 - 148.5);
    EXPECT_DOUBLE_EQ(Def<CPenDefRef>(objects[0], 10)->GetDash(0), 0.8);

    Bytes two = Header(0);
    Record(two, 0, 1000, 1000, 1200, 1000, 8);
    Record(two, 3, 1200, 1000, 1200, 1300, 2);
    ASSERT_TRUE(Convert(two));
    objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    for (const CGraObjectRef& o : objects)
        EXPECT_TRUE(o->IsKindOf(CGraLineRef::RetRuntime()) &&
                    !o->IsKindOf(CGraLineTextRef::RetRuntime()));
    EXPECT_DOUBLE_EQ(Def<CPenDefRef>(objects[1], 10)->GetWidth(), 0.5);
}

TEST_F(RavonaTest, PenCodesAndGreys)
{
    struct Case {
        int code;
        double width, dash0, gap0, dash1, gap1;
    };
    const Case pens[] = {
        {0, 0.0, 0, 0, 0, 0},      {1, 0.2, 0, 0, 0, 0},          {2, 0.5, 0, 0, 0, 0},
        {3, 0.0, 0, 0, 0, 0},      {8, 0.0, 0.8, 0.8, 0, 0},      {20, 0.0, 0.6, 0.4, 0.1, 0.4},
        {36, 0.2, 0.1, 0.4, 0, 0}, {52, 0.4, 0.4, 1.2, 0, 0},     {56, 0.4, 0.1, 0.8, 0, 0},
        {72, 1.0, 0.8, 2.4, 0, 0}, {80, 1.0, 1.2, 0.8, 0.1, 0.8}, {84, 0.0, 0, 0, 0, 0},
        {255, 0.0, 0, 0, 0, 0},
    };
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    for (const Case& c : pens) {
        SCOPED_TRACE(c.code);
        CPageView::SetRavonaPen(pen, 56);
        CPageView::SetRavonaPen(pen, c.code);
        EXPECT_DOUBLE_EQ(pen->GetWidth(), c.width);
        EXPECT_DOUBLE_EQ(pen->GetDash(0), c.dash0);
        EXPECT_DOUBLE_EQ(pen->GetGap(0), c.gap0);
        EXPECT_DOUBLE_EQ(pen->GetDash(1), c.dash1);
        EXPECT_DOUBLE_EQ(pen->GetGap(1), c.gap1);
    }
    const double greys[7][2] = {{0, 0.5}, {1, 0.75}, {2, 0.5},  {3, 0.25},
                                {4, 0.0}, {5, 0.5},  {200, 0.5}};
    CColorDefRef colour = ZuNew<CColorDef>(Zuvi_app_zone);
    for (const auto& g : greys) {
        CPageView::SetRavonaColor(colour, int(g[0]));
        double r = -1, gr = -1, b = -1;
        colour->GetRGB(r, gr, b);
        EXPECT_DOUBLE_EQ(r, g[1]) << g[0];
        EXPECT_DOUBLE_EQ(gr, g[1]) << g[0];
        EXPECT_DOUBLE_EQ(b, g[1]) << g[0];
    }
}

TEST_F(RavonaTest, CharactersCloseTogetherMakeOneText)
{
    Bytes b = Header(0);
    Char(b, 1000, 500, 30, 'a');
    Char(b, 1020, 500, 30, 'b'); // 2 mm further: within 3 x 1.7 x 1.1
    Char(b, 1090, 500, 30, 18);  // 7 mm further: a new text
    Char(b, 1100, 500, 30, 0);   // adds nothing, moves on
    Char(b, 1140, 500, 30, 'x');
    ASSERT_TRUE(Convert(b));
    const std::vector<CGraObjectRef> objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Text(objects[0]), "ab");
    EXPECT_DOUBLE_EQ(Def<CFontDefRef>(objects[0], 120)->GetScale(), 5.1);
    EXPECT_EQ(Text(objects[1]), "\xe9x");
}

TEST_F(RavonaTest, RectanglesArcsAndTheEndRecord)
{
    Bytes b = Header(0);
    Record(b, 0, 100, 100, 200, 100, 2); // a pending segment, emitted first
    Record(b, 7, 100, 100, 400, 400, 3); // filled grey 0.25
    Record(b, 9, 50, 15, 1000, 1000, 1); // half circle, code 15 in Y1's low byte
    Record(b, 5, 50, 0, 1000, 1000, 1);  // full circle
    Record(b, 99, 7, 7, 7, 7);           // coinciding: skipped
    Record(b, 100, 1, 2, 3, 4);          // "DU"
    Record(b, 99, 1, 2, 3, 4);           // the end
    Record(b, 6, 100, 100, 400, 400, 2); // never read
    DebugCapture capture;
    ASSERT_TRUE(Convert(b));
    const std::vector<CGraObjectRef> objects = Objects();
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_TRUE(objects[0]->IsKindOf(CGraLineRef::RetRuntime()));
    ASSERT_TRUE(objects[1]->IsKindOf(CGraRectRef::RetRuntime()));
    double r = 0, g = 0, bl = 0;
    Def<CColorDefRef>(objects[1], 25)->GetRGB(r, g, bl);
    EXPECT_DOUBLE_EQ(r, 0.25);
    ASSERT_TRUE(objects[2]->IsKindOf(CGraArcRef::RetRuntime()));
    EXPECT_EQ(Def<CArcDefRef>(objects[2], 51)->GetMode(), 223);
    EXPECT_EQ(Def<CArcDefRef>(objects[2], 51)->GetValue(), 220);
    EXPECT_EQ(Def<CArcDefRef>(objects[3], 51)->GetMode(), 222);
    EXPECT_NE(capture.DebugText().find("DU\n"), std::string::npos);
}

TEST_F(RavonaTest, LongChainsAndTextsAreSplitAndTheEndOfTheFileEndsTheDrawing)
{
    Bytes b = Header(0);
    for (unsigned i = 0; i < 150; ++i)
        Record(b, 0, 100 + i * 10, 100 + (i % 2) * 10, 110 + i * 10, 100 + ((i + 1) % 2) * 10, 4);
    for (unsigned i = 0; i < 250; ++i)
        Char(b, 100 + i, 2000, 10, 'a');
    b.resize(b.size() + 9, 1); // a record cut short
    ASSERT_TRUE(Convert(b));
    const std::vector<CGraObjectRef> objects = Objects();
    ASSERT_EQ(objects.size(), 4u);
    const CGraPolyLineRef first{ZuObjectRef(objects[0])}, second{ZuObjectRef(objects[1])};
    EXPECT_EQ(first->GetCount() - 1 + second->GetCount() - 1, 150);
    EXPECT_EQ(first->GetVertex(first->GetCount() - 1).p.x, second->GetVertex(0).p.x);
    EXPECT_EQ(first->GetVertex(first->GetCount() - 1).p.y, second->GetVertex(0).p.y);
    EXPECT_EQ(Text(objects[2]).size(), 199u);
    EXPECT_EQ(Text(objects[3]).size(), 51u);

    // A reader that gives nothing more ends the loop at once.
    int calls = 0;
    doc = ZuNew<CDocument>(Zuvi_app_zone);
    doc->Reset();
    const Bytes h = Header(0);
    auto read = [&calls, &h](void* to, unsigned n) -> unsigned {
        if (calls++ > 0)
            return 0;
        std::memcpy(to, h.data(), n);
        return n;
    };
    EXPECT_TRUE(CPageView::ConvertRavonaRecords(read, doc, CViewRef(), CGraPortRef()));
    EXPECT_LE(calls, 3);
}

TEST_F(RavonaTest, OpeningConvertsIntoANewUnnamedChangedDocument)
{
    const CPageViewRef view(Main()->RetPageView());
    const CDocumentRef before = view->RetDocument();
    Bytes b = Header(11);
    Record(b, 6, 100, 100, 400, 400, 2);
    const std::string name = scratch.Path() + "/vieux.RaVoNa";
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    // A file cut within its header changes nothing.
    const std::string cut = scratch.Path() + "/coupe.ravona";
    std::ofstream(cut, std::ios::binary) << "abc";
    for (const std::string& bad : {cut, scratch.Path() + "/absent.ravona"}) {
        DebugCapture capture;
        EXPECT_FALSE(view->OpenDocument(ZuStringRef(bad.c_str())));
        EXPECT_TRUE(view->RetDocument() == before);
        EXPECT_FALSE(view->IsConverted());
        EXPECT_EQ(capture.Boxes().size(), 1u);
    }
    ASSERT_TRUE(view->OpenDocument(ZuStringRef(name.c_str())));
    EXPECT_FALSE(view->RetDocument() == before);
    EXPECT_TRUE(view->RetDocument()->IsModified());
    EXPECT_TRUE(view->RetFileName().IsInvalid());
    EXPECT_TRUE(view->IsConverted());
    EXPECT_TRUE(view->RetView()->switches[CView::SHOW_GRID]);
    EXPECT_DOUBLE_EQ(view->RetView()->values[4], 1.0);
    EXPECT_DOUBLE_EQ(view->RetView()->zoom, CPageView::ZOOM_100);
    ZuStringRef title;
    Main()->RetWindow()->GetTitle(title);
    EXPECT_STREQ(title->AccessLatin(), "Lumbra");
    doc = view->RetDocument();
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_TRUE(Objects()[0]->IsKindOf(CGraRectRef::RetRuntime()));
    // A new document clears the mark.
    view->NewDocument();
    EXPECT_FALSE(view->IsConverted());
}

// Records whose first pair holds radii or a character are kept when that
// pair happens to equal the second one; a segment of one point is not.
TEST_F(RavonaTest, RoundsAndCharactersWhoseNumbersRepeatTheirPlaceAreKept)
{
    Bytes b = Header(0);
    Record(b, 0, 300, 300, 300, 300, 2);  // a segment of one point: left out
    Record(b, 5, 100, 100, 100, 100, 1);  // circle of 10 mm about (10, 10) mm
    Record(b, 10, 200, 100, 200, 100, 1); // ellipse 20 x 10 mm about (20, 10)
    Record(b, 8, 30u << 8 | 'a', 0, 30u << 8 | 'a', 0);
    ASSERT_TRUE(Convert(b));
    const std::vector<CGraObjectRef> objects = Objects();
    ASSERT_EQ(objects.size(), 3u);
    // Corner handle 0 lies at the centre plus both radii (the page's
    // centre is 105 x 148.5 mm from its corner).
    const DPoint corners[2] = {{-95.0 + 10.0, -138.5 + 10.0}, {-85.0 + 20.0, -138.5 + 10.0}};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(objects[i]->IsKindOf(CGraArcRef::RetRuntime()));
        EXPECT_NEAR(objects[i]->GetHandlePosition(0).x, corners[i].x, 1e-6);
        EXPECT_NEAR(objects[i]->GetHandlePosition(0).y, corners[i].y, 1e-6);
    }
    EXPECT_EQ(Text(objects[2]), "a");
}

TEST_F(RavonaTest, EllipsesKeepTheirTwoRadiiWholeOrHalved)
{
    // Centre (100, 120) mm from the corner: (-5, -28.5) on the page;
    // radii 20 and 10 mm.
    const double cx = -5.0, cy = -28.5, rx = 20.0, ry = 10.0;
    struct Case {
        int type, half;
        int mode;
        DPoint start, end; // handles 4 and 5 of a half ellipse
    };
    const Case cases[] = {
        {10, 195, 222, {}, {}}, // the code counts only for type 11
        {11, 0, 222, {}, {}},
        {11, 195, 223, {cx, cy - ry}, {cx, cy + ry}},
        {11, 60, 223, {cx, cy + ry}, {cx, cy - ry}},
        {11, 15, 223, {cx + rx, cy}, {cx - rx, cy}},
        {11, 240, 223, {cx - rx, cy}, {cx + rx, cy}},
    };
    const CPageViewRef view(Main()->RetPageView());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.half));
        Bytes b = Header(0);
        Record(b, c.type, 200, 100, 1000, 1200, 0, c.half);
        const std::string name = scratch.Path() + "/ellipse.ravona";
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        ASSERT_TRUE(view->OpenDocument(ZuStringRef(name.c_str())));
        doc = view->RetDocument();
        ASSERT_EQ(Objects().size(), 1u);
        const CGraObjectRef o = Objects()[0];
        ASSERT_TRUE(o->IsKindOf(CGraArcRef::RetRuntime()));
        EXPECT_EQ(Def<CArcDefRef>(o, 51)->GetValue(), 221);
        EXPECT_EQ(Def<CArcDefRef>(o, 51)->GetMode(), c.mode);
        // Corner handle 0 lies at the centre plus both radii.
        const DPoint corner = o->GetHandlePosition(0);
        EXPECT_NEAR(corner.x, cx + rx, 1e-6);
        EXPECT_NEAR(corner.y, cy + ry, 1e-6);
        if (c.mode == 223) {
            const DPoint start = o->GetHandlePosition(4), end = o->GetHandlePosition(5);
            EXPECT_NEAR(start.x, c.start.x, 1e-6);
            EXPECT_NEAR(start.y, c.start.y, 1e-6);
            EXPECT_NEAR(end.x, c.end.x, 1e-6);
            EXPECT_NEAR(end.y, c.end.y, 1e-6);
        } else {
            // The whole ellipse as drawn: 40 mm wide, 20 mm high.
            const DRect box = o->GetBoundingBox();
            EXPECT_NEAR(box.x2 - box.x1, 2 * rx, 1.0);
            EXPECT_NEAR(box.y2 - box.y1, 2 * ry, 1.0);
        }
    }
}
