// Printing and image export of the page view on the real interpreter: the
// device each run asks for, the files the devices write, what goes out,
// the failures with their messages, the image the view shows against the
// image it exports, and the page drawing performer on a library thread.
#include "app/graarc.h"
#include "app/gragroup.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyl.h"
#include "app/grarect.h"
#include "app/exportdlg.h"
#include "app/pagedrawthread.h"
#include "app/pageview.h"
#include "app/toolpalette.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "sd/common/sd_pngreader.h"
#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/thread.h"
#include "tests/support/controls.h"
#include "tests/support/debugcapture.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"
#include "w32/headless.h"
#include "w32/printdlg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// A run context that keeps what the run asks of it and the PostScript it
// is sent; `failPage` makes the page's text fail in the interpreter.
ZU_HANDLE(TRunContext, GSContext)
class TRunContext : public GSContext {
    ZU_CLASS(TRunContext, GSContext)
public:
    TRunContext() {}
    bool CreateRenderDevice(uint32_t w, uint32_t h, double r, int b,
                            const ZuStringRef& name) override
    {
        width = w, height = h, resolution = r, bits = b;
        device = name.IsValid() ? name->AccessLatin() : "";
        return GSContext::CreateRenderDevice(w, h, r, b, name);
    }
    bool BeginRender(const char* file, int alpha) override
    {
        alphaBits = alpha;
        return GSContext::BeginRender(file, alpha);
    }
    bool ExecuteText(const char* text, int n) override
    {
        std::string t(text, n > 0 ? size_t(n) : std::strlen(text));
        sent += t;
        if (failPage && t.find("showpage") != std::string::npos)
            return GSContext::ExecuteText("zuvi_undefined\n", 0);
        return GSContext::ExecuteText(text, n);
    }
    uint32_t width = 0, height = 0;
    double resolution = 0.0;
    int bits = 0, alphaBits = 0;
    std::string device, sent;
    bool failPage = false;
};
ZU_CLASS_END(TRunContext)
ZU_IMPLEMENT_CLASS(TRunContext, "tests/app/pageview_export_test", ZU_CLASS_PLAIN)

// A page view whose runs use recording contexts.
ZU_HANDLE(TRunView, CPageView)
class TRunView : public CPageView {
    ZU_CLASS(TRunView, CPageView)
public:
    TRunView() {}
    GSContextRef NewRunContext() override
    {
        last = ZuNew<TRunContext>(Zuvi_app_zone);
        last->failPage = failPage;
        ++made;
        return GSContextRef(last);
    }
    TRunContextRef last;
    int made = 0;
    bool failPage = false;
};
ZU_CLASS_END(TRunView)
ZU_IMPLEMENT_CLASS(TRunView, "tests/app/pageview_export_test", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

std::string ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return in.good();
}

unsigned Be16(const std::string& b, size_t at)
{
    return unsigned(uint8_t(b[at])) << 8 | uint8_t(b[at + 1]);
}
unsigned Le16(const std::string& b, size_t at)
{
    return unsigned(uint8_t(b[at])) | unsigned(uint8_t(b[at + 1])) << 8;
}
unsigned Le32(const std::string& b, size_t at)
{
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

// The size an image file gives in its header, for the families the export
// dialog offers; false when the header is not one of them.
bool ImageSize(const std::string& b, unsigned& w, unsigned& h)
{
    if (b.size() > 24 && b.compare(0, 4, "\x89PNG") == 0) {
        w = Be16(b, 18), h = Be16(b, 22);
        return true;
    }
    if (b.size() > 10 && b.compare(0, 3, "GIF") == 0) {
        w = Le16(b, 6), h = Le16(b, 8);
        return true;
    }
    if (b.size() > 26 && b.compare(0, 2, "BM") == 0) {
        w = Le32(b, 18), h = Le32(b, 22);
        return true;
    }
    if (b.size() > 4 && uint8_t(b[0]) == 0xFF && uint8_t(b[1]) == 0xD8) {
        for (size_t at = 2; at + 9 < b.size();) {
            if (uint8_t(b[at]) != 0xFF)
                return false;
            const unsigned marker = uint8_t(b[at + 1]);
            if (marker >= 0xC0 && marker <= 0xC3) {
                h = Be16(b, at + 5), w = Be16(b, at + 7);
                return true;
            }
            at += 2 + Be16(b, at + 2);
        }
        return false;
    }
    if (b.size() > 8 && b.compare(0, 4, std::string("II*\0", 4)) == 0) {
        size_t ifd = Le32(b, 4);
        if (ifd + 2 > b.size())
            return false;
        const unsigned n = Le16(b, ifd);
        w = h = 0;
        for (unsigned i = 0; i < n && ifd + 2 + 12 * i + 12 <= b.size(); ++i) {
            const size_t e = ifd + 2 + 12 * i;
            const unsigned tag = Le16(b, e), type = Le16(b, e + 2);
            const unsigned v = type == 3 ? Le16(b, e + 8) : Le32(b, e + 8);
            if (tag == 256)
                w = v;
            if (tag == 257)
                h = v;
        }
        return w && h;
    }
    return false;
}

// A decoded PNG, 0xRRGGBB per pixel, row after row from the top.
std::vector<unsigned> DecodePng(const std::string& bytes, unsigned& w, unsigned& h)
{
    PngReader reader;
    std::vector<unsigned> out;
    w = h = 0;
    if (!reader.ReadPngFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size()))
        return out;
    w = reader.RetWidth(), h = reader.RetHeight();
    out.resize(size_t(w) * h);
    for (unsigned y = 0; y < h; ++y) {
        const unsigned char* row = reader.RetRow(y);
        for (unsigned x = 0; x < w; ++x)
            out[size_t(y) * w + x] =
                unsigned(row[4 * x + 2]) << 16 | unsigned(row[4 * x + 1]) << 8 | row[4 * x];
    }
    return out;
}

class PageExportTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        win = NewShownWindow(50, 50, 320, 240);
        doc = Make<CDocumentRef>();
        doc->Reset();
        doc->SetPageSize(210.0, 297.0);
        view = ZuNew<TRunView>(Zuvi_app_zone);
        view->SetBox(ZuRect(0, 0, 319, 239));
        view->SetParent(win);
        view->SetDocument(doc);
        view->Init(CMainWindowRef());
        settings = view->RetView();
        settings->switches[CView::SHOW_BOUNDING_BOXES] = false;
        W32_ScriptPrintService(0, nullptr);
    }
    void TearDown() override
    {
        W32_ClearPrintScript();
        W32_ScriptPrintService(-1, nullptr);
        for (CToolPaletteRef* p : {&palette, &popup})
            if (p->IsValid()) {
                (*p)->Delete();
                *p = CToolPaletteRef();
            }
        view->Delete();
        view = TRunViewRef();
        settings = CViewRef();
        doc = CDocumentRef();
        ControlTest::TearDown();
    }
    CTreeNodeRef Layer(int i)
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, settings->current_page, i);
        return n;
    }
    void Layers(int n)
    {
        CTreeNodeRef page;
        doc->GetTree()->GetNode(page, 0, -1);
        while (page->CountChildren() < n) {
            CTreeNodeRef l = Make<CTreeNodeRef>();
            l->SetObject(Make<CGraObjectRef>());
            l->InsertLastChild(page);
        }
    }
    CTreeNodeRef Attach(const CGraObjectRef& o, const CTreeNodeRef& parent)
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(o);
        n->InsertLastChild(parent);
        CGraPortRef port = view->RetMainPort();
        o->UpdateBoundingBox(port);
        return n;
    }
    CTreeNodeRef Rect(const CTreeNodeRef& parent, double x1, double y1, double x2, double y2,
                      const CColorDefRef& colour = CColorDefRef())
    {
        CGraRectRef r = Make<CGraRectRef>();
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        if (colour.IsValid())
            r->SetDefinition(15, colour);
        return Attach(r, parent);
    }
    static CColorDefRef Colour(double r, double g, double b)
    {
        CColorDefRef c = Make<CColorDefRef>();
        c->SetRGB(r, g, b);
        return c;
    }
    bool Export(const char* name, double w, double h, int res, const char* device, int aa)
    {
        const double size[2] = {w, h};
        return view->ExportRun(ZuStringRef(name), size, res, 24, ZuStringRef(device), aa);
    }

    // The tool palettes of the view, made for the tool chosen.
    void UseTool(int page, int tool)
    {
        if (palette.IsInvalid()) {
            palette = ZuNew<CToolPalette>(Zuvi_app_zone);
            palette->Create(20, 100, false);
            popup = ZuNew<CToolPalette>(Zuvi_app_zone);
            popup->Create(400, 400, true);
            view->SetToolPalettes(palette, popup);
        }
        doc->SetToolChoice(page, tool);
        view->UpdateTool(page);
    }

    ZuWindowRef win;
    CDocumentRef doc;
    TRunViewRef view;
    CViewRef settings;
    CToolPaletteRef palette, popup;
};

} // namespace

// ---------------------------------------------------------------------------
// What an export asks of the interpreter
// ---------------------------------------------------------------------------

TEST_F(PageExportTest, TheWidthGivesTheResolutionAndTheChoiceTheAlphaBits)
{
    ScratchDir dir;
    struct {
        double w, h;
        int asked, aa;
        double dpi;
        int alpha;
    } const cases[] = {
        {1050, 1485, 300, 2, 127.0, 4},
        {2100, 2970, 72, 1, 254.0, 2},
        {1050, 1485, 127, 0, 127.0, 1},
        {1050, 1485, 600, 7, 127.0, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.w);
        SCOPED_TRACE(k.aa);
        ASSERT_TRUE(Export("out.png", k.w, k.h, k.asked, "png16m", k.aa));
        ASSERT_TRUE(view->last.IsValid());
        EXPECT_DOUBLE_EQ(view->last->resolution, k.dpi);
        EXPECT_EQ(view->last->width, uint32_t(k.w));
        EXPECT_EQ(view->last->height, uint32_t(k.h));
        EXPECT_EQ(view->last->alphaBits, k.alpha);
        EXPECT_EQ(view->last->device, "png16m");
        unsigned w = 0, h = 0;
        ASSERT_TRUE(ImageSize(ReadAll("out.png"), w, h));
        EXPECT_EQ(w, unsigned(k.w));
        EXPECT_EQ(h, unsigned(k.h));
    }
    // The page goes out in points from its lower-left corner.
    EXPECT_NE(view->last->sent.find("showpage"), std::string::npos);
}

TEST_F(PageExportTest, ExportDocumentWritesTheZoomedPageOfAConvertedDocumentOnly)
{
    ScratchDir dir;
    DebugCapture capture;
    EXPECT_FALSE(
        view->ExportDocument(ZuStringRef("a4.png"), 300, 24, ZuStringRef("png16m"), 0, 2.0));
    EXPECT_EQ(view->made, 0);
    EXPECT_FALSE(Exists("a4.png"));

    view->SetConverted(true);
    ASSERT_TRUE(view->ExportDocument(ZuStringRef("a4.png"), 50, 24, ZuStringRef("png16m"), 0, 2.0));
    unsigned w = 0, h = 0;
    ASSERT_TRUE(ImageSize(ReadAll("a4.png"), w, h));
    EXPECT_EQ(w, 2100u);
    EXPECT_EQ(h, 2970u);
    EXPECT_TRUE(capture.Boxes().empty());
}

TEST_F(PageExportTest, BadSizesAnswerFalseBeforeAnyDevice)
{
    ScratchDir dir;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        const char* what;
        double pageW, pageH, zoom;
    } const cases[] = {
        {"zoom 0", 210, 297, 0.0},
        {"negative zoom", 210, 297, -1.0},
        {"zoom not a number", 210, 297, nan},
        {"infinite zoom", 210, 297, inf},
        {"page 0 wide", 0, 297, 1.0},
        {"page 0 high", 210, 0, 1.0},
        {"page not finite", inf, 297, 1.0},
        {"over 30,000 pixels", 210, 297, 30.0},
    };
    view->SetConverted(true);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        doc->SetPageSize(k.pageW, k.pageH);
        view->made = 0;
        EXPECT_FALSE(
            view->ExportDocument(ZuStringRef("bad.png"), 72, 24, ZuStringRef("png16m"), 0, k.zoom));
        EXPECT_EQ(view->made, 0);
        EXPECT_FALSE(Exists("bad.png"));
    }
    // The same through the run itself, with the dialog's sizes.
    doc->SetPageSize(210, 297);
    for (double side : {0.0, -5.0, nan, 30001.0}) {
        EXPECT_FALSE(Export("bad.png", side, 100, 72, "png16m", 0));
        EXPECT_FALSE(Export("bad.png", 100, side, 72, "png16m", 0));
    }
    EXPECT_EQ(view->made, 0);
    EXPECT_FALSE(Exists("bad.png"));
}

// ---------------------------------------------------------------------------
// What goes out
// ---------------------------------------------------------------------------

TEST_F(PageExportTest, OnlyTheEditParentGoesOut)
{
    ScratchDir dir;
    Layers(2);
    settings->current_layer = 1;
    Rect(Layer(0), -60, 10, -40, 30);
    Rect(Layer(1), -10, 10, 10, 30);
    CGraGroupRef g = Make<CGraGroupRef>();
    const DPoint corners[2] = {{30, 10}, {90, 70}};
    g->SetPoints(corners, 2);
    CTreeNodeRef group = Attach(g, Layer(1));
    Rect(group, 40, 20, 50, 30);
    const DPoint pts[2] = {{70, 20}, {80, 30}};
    CGraRectRef outsider = Make<CGraRectRef>();
    outsider->SetPoints(pts, 2);
    Attach(outsider, Layer(1));

    ASSERT_TRUE(Export("layer.png", 105, 148.5, 72, "png16m", 0));
    std::string ps = view->last->sent;
    EXPECT_EQ(ps.find("-60.000000 10.000000 moveto"), std::string::npos);
    EXPECT_NE(ps.find("-10.000000 10.000000 moveto"), std::string::npos);
    EXPECT_NE(ps.find("40.000000 20.000000 moveto"), std::string::npos);
    EXPECT_NE(ps.find("70.000000 20.000000 moveto"), std::string::npos);

    view->RetSelectObject()->SelectOnly(group);
    ASSERT_TRUE(view->RetSelectObject()->GroupGoIn());
    ASSERT_TRUE(Export("group.png", 105, 148.5, 72, "png16m", 0));
    ps = view->last->sent;
    EXPECT_NE(ps.find("40.000000 20.000000 moveto"), std::string::npos);
    EXPECT_EQ(ps.find("-10.000000 10.000000 moveto"), std::string::npos);
    EXPECT_EQ(ps.find("70.000000 20.000000 moveto"), std::string::npos);
}

// A group's frame marks it on the screen only: the exported image shows
// its members and nothing around them, whether the group is selected or
// not (a red dashed frame, or a black one while selected, on the screen).
TEST_F(PageExportTest, AGroupsFrameStaysOffTheImage)
{
    ScratchDir dir;
    CGraGroupRef g = Make<CGraGroupRef>();
    const DPoint corners[2] = {{-60, -60}, {60, 60}};
    g->SetPoints(corners, 2);
    CTreeNodeRef group = Attach(g, Layer(0));
    Rect(group, -10, -10, 10, 10);
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        if (selected)
            view->RetSelectObject()->SelectOnly(group);
        ASSERT_EQ(g->GetEditMode() != 0, selected);
        const char* name = selected ? "selected.png" : "plain.png";
        ASSERT_TRUE(Export(name, 210, 297, 72, "png16m", 0));
        unsigned w = 0, h = 0;
        const std::vector<unsigned> px = DecodePng(ReadAll(name), w, h);
        ASSERT_EQ(px.size(), size_t(210 * 297));
        // One pixel a millimetre, the page's centre at (105, 148.5): the
        // member covers columns 95 to 115 and rows 138 to 159.
        size_t inked = 0, strayed = 0, pink = 0;
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const unsigned p = px[size_t(y) * w + x];
                const int r = int(p >> 16), gr = int(p >> 8 & 0xFF), b = int(p & 0xFF);
                pink += r > gr + 8 || r > b + 8;
                const bool member = x >= 93 && x <= 117 && y >= 136 && y <= 161;
                (member ? inked : strayed) += p != 0xFFFFFFu;
            }
        EXPECT_GT(inked, 300u);
        EXPECT_EQ(strayed, 0u);
        EXPECT_EQ(pink, 0u);
    }
}

// Characters selected in a line of text being typed are highlighted on the
// screen only: the exported image shows the text's ink and no highlight.
TEST_F(PageExportTest, ASelectionsHighlightStaysOffTheImage)
{
    ScratchDir dir;
    // The page's centre in the middle of the view, 2 pixels a millimetre.
    settings->zoom = 2.0;
    settings->x = settings->y = 0.5;
    settings->switches[CView::SHOW_GUIDES] = false;
    settings->switches[CView::SHOW_GRID] = false;
    view->ResizeRendering();
    Pump();
    // The text tool, a click on the page and "MMMM" typed; Shift+Left
    // twice selects the last two characters.
    UseTool(1, 7);
    win->SetMainResponder(view, true);
    double ox = 0, oy = 0;
    win->GetWindowOrigin(ox, oy);
    for (unsigned buttons : {0u, unsigned(MK_LBUTTON), 0u}) {
        W32_HeadlessMouse(int(ox + 100), int(oy + 140), buttons);
        Pump();
    }
    ASSERT_EQ(Layer(0)->CountChildren(), 1);
    CGraLineTextRef line(Layer(0)->RetFirstChild()->RetObject());
    ASSERT_TRUE(line.IsValid());
    for (int k = 0; k < 4; ++k) {
        W32_HeadlessKey('M', 0x32, false, true, 'M');
        W32_HeadlessKey('M', 0x32, false, false, 'M');
    }
    Pump();
    Key(VK_SHIFT, 0x2A, true);
    Tap(VK_LEFT, 0x4B);
    Tap(VK_LEFT, 0x4B);
    Key(VK_SHIFT, 0x2A, false);
    ASSERT_EQ(std::string(line->RetText()->AccessLatin()), "MMMM");
    ASSERT_EQ(line->RetSelectionStart(), 4);
    ASSERT_EQ(line->RetSelectionEnd(), 2);
    ASSERT_EQ(line->GetEditMode(), 2);

    const auto yellow = [](unsigned p) {
        return (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 200 && (p & 0xFF) < 80;
    };
    // The screen shows the highlight.
    app->SyncWindows(true);
    Pump();
    const ZuGrailWindowRef& screen = win->RetScreenWindow();
    ASSERT_TRUE(screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr);
    size_t shown = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint32_t p = 0;
            if (W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, x, y, p))
                shown += yellow(p & 0xFFFFFF);
        }
    EXPECT_GT(shown, 50u);

    // The image: the text in black, nothing yellow.
    ASSERT_TRUE(Export("text.png", 420, 594, 72, "png16m", 0));
    unsigned w = 0, h = 0;
    const std::vector<unsigned> px = DecodePng(ReadAll("text.png"), w, h);
    ASSERT_EQ(px.size(), size_t(420 * 594));
    size_t ink = 0, highlight = 0;
    for (unsigned p : px) {
        ink += p == 0x000000u;
        highlight += yellow(p);
    }
    EXPECT_GT(ink, 100u);
    EXPECT_EQ(highlight, 0u);
}

TEST_F(PageExportTest, EachDeviceFamilyWritesAnImageOfThePage)
{
    ScratchDir dir;
    // A black square (its default fill) over the page's top-left quarter.
    Rect(Layer(0), -105, 0, 0, 148.5, Colour(1, 0, 0));
    // Every format the export dialog lists, with its bits per pixel.
    for (const ExportFormat* f = ExportFormatTable; f->bits_per_pixel >= 0; ++f) {
        SCOPED_TRACE(f->device);
        const std::string name = std::string("page-") + f->device + "." + f->extension;
        const double size[2] = {210, 297};
        ASSERT_TRUE(view->ExportRun(ZuStringRef(name.c_str()), size, 72, f->bits_per_pixel,
                                    ZuStringRef(f->device), 0));
        const std::string bytes = ReadAll(name);
        unsigned w = 0, h = 0;
        ASSERT_TRUE(ImageSize(bytes, w, h));
        EXPECT_EQ(w, 210u);
        EXPECT_EQ(h, 297u);
    }
    // The colours of the page where a file is read back whole.
    unsigned w = 0, h = 0;
    std::vector<unsigned> px = DecodePng(ReadAll("page-png16m.png"), w, h);
    ASSERT_EQ(px.size(), size_t(210 * 297));
    EXPECT_EQ(px[50 * 210 + 50], 0x000000u);
    EXPECT_EQ(px[50 * 210 + 160], 0xFFFFFFu);
    EXPECT_EQ(px[250 * 210 + 50], 0xFFFFFFu);
    std::vector<unsigned> grey = DecodePng(ReadAll("page-pnggray.png"), w, h);
    ASSERT_EQ(grey.size(), size_t(210 * 297));
    EXPECT_LT(grey[50 * 210 + 50] & 0xFF, 0xA0u);
    EXPECT_EQ(grey[50 * 210 + 160], 0xFFFFFFu);
    // The BMP rows run from the bottom, blue first.
    const std::string bmp = ReadAll("page-bmp16m.bmp");
    const size_t at = Le32(bmp, 10), row = (210 * 3 + 3) & ~size_t(3);
    EXPECT_EQ(uint8_t(bmp[at + (296 - 50) * row + 50 * 3 + 2]), 0x00);
    EXPECT_EQ(uint8_t(bmp[at + (296 - 50) * row + 150 * 3 + 2]), 0xFF);
}

// ---------------------------------------------------------------------------
// Failures
// ---------------------------------------------------------------------------

TEST_F(PageExportTest, AFailedExportSaysWhyLeavesNoFileAndTheOldOneAlone)
{
    ScratchDir dir;
    Rect(Layer(0), -10, 10, 10, 30);
    struct {
        const char* what;
        const char* name;
        const char* device;
        bool failPage;
        const char* cause;
    } const cases[] = {
        {"unknown device", "old.png", "nosuchdevice", false,
         "le p\xe9riph\xe9rique \xab nosuchdevice \xbb n'est pas disponible."},
        {"missing folder", "missing/old.png", "png16m", false,
         "le fichier ne peut pas \xeatre \xe9"
         "crit."},
        {"interpreter error", "old.png", "png16m", true,
         "l'interpr\xe9teur PostScript a signal\xe9 une erreur."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        {
            std::ofstream old("old.png");
            old << "old";
        }
        DebugCapture capture;
        view->failPage = k.failPage;
        EXPECT_FALSE(Export(k.name, 105, 148, 72, k.device, 0));
        EXPECT_EQ(ReadAll("old.png"), "old");
        const auto boxes = capture.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Lumbra");
        EXPECT_EQ(boxes[0].text, std::string("Impossible de cr\xe9"
                                             "er l'image \xab ") +
                                     k.name + " \xbb :\n" + k.cause);
    }
    view->failPage = false;
    // A name the interpreter refuses (250 characters) is a file fault too.
    DebugCapture capture;
    EXPECT_FALSE(Export(std::string(260, 'a').c_str(), 105, 148, 72, "png16m", 0));
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_NE(capture.LastBox().text.find("le fichier"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Printing
// ---------------------------------------------------------------------------

TEST_F(PageExportTest, PrintGoesAsPdfToTheNamedFileUnlessCancelled)
{
    ScratchDir dir;
    Rect(Layer(0), -10, 10, 10, 30);
    const CGraScreen screen = {60.0, 0.785398, 1, false, false};
    DebugCapture capture;
    W32_ScriptPrintDialog(FALSE, nullptr);
    EXPECT_FALSE(view->PrintRun(screen));
    EXPECT_EQ(W32_PrintDialogCount(), 1u);
    EXPECT_EQ(view->RetPointerShape(), -1);
    EXPECT_TRUE(capture.Boxes().empty());

    PRINTDLGA answer;
    W32_DefaultPrintSettings(&answer);
    answer.Flags |= PD_PRINTTOFILE;
    const std::string target = dir.Path() + "/printed.pdf";
    std::snprintf(answer.szFile, sizeof answer.szFile, "%s", target.c_str());
    W32_ScriptPrintDialog(TRUE, &answer);
    ASSERT_TRUE(view->PrintRun(screen));
    EXPECT_EQ(ReadAll(target).compare(0, 5, "%PDF-"), 0);
    EXPECT_EQ(view->RetPointerShape(), -2);
    EXPECT_TRUE(capture.Boxes().empty());

    // An interpreter error: false, the file printed before untouched, and
    // one message; a page without sides is not printed either.
    const std::string printed = ReadAll(target);
    view->failPage = true;
    EXPECT_FALSE(view->PrintRun(screen));
    EXPECT_EQ(ReadAll(target), printed);
    view->failPage = false;
    doc->SetPageSize(0, 297);
    EXPECT_FALSE(view->PrintRun(screen));
    const auto boxes = capture.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Impossible d'imprimer la page :\nl'interpr\xe9teur PostScript a "
                             "signal\xe9 une erreur.");
    EXPECT_EQ(boxes[1].text, "Impossible d'imprimer la page :\nla taille de la page ou de "
                             "l'image n'est pas valable.");
}

// ---------------------------------------------------------------------------
// The screen's image and the exported image
// ---------------------------------------------------------------------------

TEST_F(PageExportTest, ThePageOnScreenIsThePageExported)
{
    ScratchDir dir;
    // Mixed objects in one layer: fills, outlines, a dashed pen, thin lines.
    Rect(Layer(0), -90, 100, -20, 140, Colour(0.8, 0.1, 0.1));
    CGraArcRef arc = Make<CGraArcRef>();
    const DPoint arcBox[2] = {{0, 60}, {80, 120}};
    arc->SetPoints(arcBox, 2);
    arc->SetDefinition(15, Colour(0.1, 0.5, 0.9));
    Attach(arc, Layer(0));
    CGraLineRef line = Make<CGraLineRef>();
    const DPoint ends[2] = {{-100, -140}, {100, 140}};
    line->SetPoints(ends, 2);
    Attach(line, Layer(0));
    CTreeNodeRef dashed = Rect(Layer(0), -70, -120, 60, -30, Colour(0.2, 0.7, 0.3));
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(1.5);
    pen->SetDash(0, 4.0);
    pen->SetDash(1, 2.0);
    CGraObjectRef(dashed->RetObject())->SetDefinition(10, pen);
    CGraPolyLineRef poly = Make<CGraPolyLineRef>();
    const DPoint vertices[4] = {{-100, 0}, {-50, 40}, {0, -10}, {90, 30}};
    poly->SetPoints(vertices, 4);
    Attach(poly, Layer(0));

    // The view at 5 pixels per millimetre, the page filling its image.
    GSContextRef screen = ZuNew<GSContext>(Zuvi_app_zone);
    ASSERT_TRUE(screen->CreateContext(1050, 1485, GS_VIEW_RGB24));
    view->SetContext(screen);
    settings->zoom = 5.0;
    settings->x = settings->y = 0.5;
    settings->switches[CView::SHOW_GUIDES] = false;
    settings->switches[CView::SHOW_GRID] = false;
    ASSERT_TRUE(view->RenderPage());
    screen->ReadBack();
    const unsigned char* rows = screen->RetBuffer();

    ASSERT_TRUE(Export("page.png", 1050, 1485, 127, "png16m", 0));
    unsigned w = 0, h = 0;
    std::vector<unsigned> px = DecodePng(ReadAll("page.png"), w, h);
    ASSERT_EQ(w, 1050u);
    ASSERT_EQ(h, 1485u);
    // Inside the page's frame, pixel for pixel.
    size_t differ = 0;
    std::string first;
    for (unsigned y = 4; y < h - 4; ++y)
        for (unsigned x = 4; x < w - 4; ++x) {
            const unsigned char* p = rows + (size_t(y) * 1050 + x) * 3;
            const unsigned s = unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
            if (s != px[size_t(y) * w + x] && differ++ == 0)
                first = std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(s) +
                        " / " + std::to_string(px[size_t(y) * w + x]);
        }
    EXPECT_EQ(differ, 0u) << first;
    // Not a blank page: the first rectangle's (black) middle, and ink.
    EXPECT_EQ(px[size_t(1485 / 2 - 120 * 5) * w + (1050 / 2 - 55 * 5)], 0x000000u);
    size_t ink = 0;
    for (unsigned v : px)
        ink += v != 0xFFFFFFu;
    EXPECT_GT(ink, 20000u);
}

// ---------------------------------------------------------------------------
// Numbers a damaged file holds
// ---------------------------------------------------------------------------

namespace {

// The depths of the interpreter's operand, dictionary and execution stacks,
// as it prints them through the context.
std::string InterpreterDepths(const GSContextRef& probe)
{
    probe->ClearOutput();
    if (!probe->ExecuteText("count =only ( ) print countdictstack =only ( ) print "
                            "countexecstack =only flush\n",
                            0))
        return "no answer";
    char out[64] = {};
    if (!probe->ReadOutput(out, int(sizeof out) - 1))
        return "no output";
    return out;
}

// A number as the document's storage writes it.
std::string Stored(double value)
{
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreReal(value);
    const std::vector<unsigned char>& bytes = s->Bytes();
    std::string out(bytes.begin(), bytes.end());
    s->Delete();
    return out;
}

// Every stored copy of `from` replaced by `to`; how many there were.
int ReplaceNumber(std::string& bytes, double from, double to)
{
    const std::string a = Stored(from), b = Stored(to);
    int n = 0;
    for (size_t at = bytes.find(a); at != std::string::npos; at = bytes.find(a, at + b.size())) {
        bytes.replace(at, a.size(), b);
        ++n;
    }
    return n;
}

} // namespace

// The file holds no check of its bytes: a damaged number opens as another
// value. Coordinates, a pen's width and angles that are no number, infinite
// or huge still open, draw and export the page, and leave the interpreter
// as they found it.
TEST_F(PageExportTest, ADocumentOfDamagedNumbersOpensDrawsAndExports)
{
    ScratchDir dir;
    const double kPlace = 17.0625, kWidth = 1.4375, kAngle = 0.3125;
    CTreeNodeRef rect = Rect(Layer(0), kPlace, -30, 60, kPlace);
    CGraRectRef(rect->RetObject())->SetPropertyValue(8, kAngle);
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(kWidth);
    CMotifDefRef hatches = Make<CMotifDefRef>();
    hatches->SetValue(CMotifDef::KIND_HATCHING);
    hatches->SetHatchAngle(0, kAngle);
    CGraObjectRef(rect->RetObject())->SetDefinition(10, pen);
    CGraObjectRef(rect->RetObject())->SetDefinition(20, hatches);
    CGraArcRef arc = Make<CGraArcRef>();
    const DPoint arcBox[2] = {{-kPlace, 60}, {80, kPlace}};
    arc->SetPoints(arcBox, 2);
    arc->SetDefinition(10, pen);
    Attach(arc, Layer(0));
    CGraLineRef line = Make<CGraLineRef>();
    const DPoint ends[2] = {{-100, kPlace}, {kPlace, 140}};
    line->SetPoints(ends, 2);
    line->SetDefinition(10, pen);
    Attach(line, Layer(0));
    CGraPolyLineRef poly = Make<CGraPolyLineRef>();
    const DPoint vertices[4] = {{-100, 0}, {-50, kPlace}, {kPlace, -10}, {90, 30}};
    poly->SetPoints(vertices, 4);
    Attach(poly, Layer(0));
    CGraLineTextRef text = Make<CGraLineTextRef>();
    text->SetHandlePosition(0, DPoint{kPlace, -80});
    text->SetHandlePosition(1, DPoint{90, -80 + kPlace});
    text->SetText(ZuStringRef("Bonjour"));
    Attach(text, Layer(0));
    ASSERT_TRUE(doc->WriteFile(ZuStringRef("good.lumbra")));
    const std::string good = ReadAll("good.lumbra");

    GSContextRef screen = ZuNew<GSContext>(Zuvi_app_zone);
    ASSERT_TRUE(screen->CreateContext(105, 149, GS_VIEW_RGB24));
    view->SetContext(screen);
    GSContextRef probe = ZuNew<GSContext>(Zuvi_app_zone);
    ASSERT_TRUE(probe->CreateContext(4, 4, GS_VIEW_RGB24));
    // Nothing on the operand stack: no earlier test or export left any.
    const std::string before = InterpreterDepths(probe);
    ASSERT_EQ(before.compare(0, 2, "0 "), 0) << before;

    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300};
    for (double marker : {kPlace, kWidth, kAngle})
        for (double value : values) {
            char trace[64];
            std::snprintf(trace, sizeof trace, "%g as %g", marker, value);
            SCOPED_TRACE(trace);
            std::string bytes = good;
            ASSERT_GT(ReplaceNumber(bytes, marker, value), 0);
            {
                std::ofstream out("bad.lumbra", std::ios::binary | std::ios::trunc);
                out << bytes;
            }
            ASSERT_TRUE(view->OpenDocument(ZuStringRef("bad.lumbra")));
            EXPECT_TRUE(view->RenderPage());
            EXPECT_TRUE(Export("bad.png", 105, 148.5, 72, "png16m", 0));
            unsigned w = 0, h = 0;
            EXPECT_TRUE(ImageSize(ReadAll("bad.png"), w, h));
            EXPECT_EQ(InterpreterDepths(probe), before);
        }
}

// A page the interpreter fails on ends its job without leaving anything on
// the interpreter's stacks: it once left one operand per failed export.
TEST_F(PageExportTest, AFailedExportLeavesTheInterpreterAsItWas)
{
    ScratchDir dir;
    Rect(Layer(0), -10, 10, 10, 30);
    GSContextRef probe = ZuNew<GSContext>(Zuvi_app_zone);
    ASSERT_TRUE(probe->CreateContext(4, 4, GS_VIEW_RGB24));
    const std::string before = InterpreterDepths(probe);
    view->failPage = true;
    for (int i = 0; i < 3; ++i) {
        DebugCapture capture;
        EXPECT_FALSE(Export("failed.png", 105, 148.5, 72, "png16m", 0));
    }
    EXPECT_EQ(InterpreterDepths(probe), before);
    view->failPage = false;
    EXPECT_TRUE(Export("good.png", 105, 148.5, 72, "png16m", 0));
    EXPECT_EQ(InterpreterDepths(probe), before);
}

// ---------------------------------------------------------------------------
// The page drawing performer
// ---------------------------------------------------------------------------

namespace {

unsigned TakeWakeUps()
{
    unsigned n = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, ZU_MSG_WAKE_UP, ZU_MSG_WAKE_UP, PM_REMOVE))
        ++n;
    return n;
}

// Runs the performer on a library thread and waits for its end, the
// user-interface thread drawing the view meanwhile.
void RunOnThread(const PageDrawThreadRef& work, const std::function<void()>& meanwhile)
{
    ZuThreadRef thread = ZuNew<ZuThread>(Zuvi_app_zone);
    ASSERT_TRUE(thread->SetPerformer(ZuPerformerRef(work)));
    ASSERT_TRUE(thread->Run());
    meanwhile();
    while (!thread->IsDead())
        std::this_thread::yield();
    thread->Delete();
}

} // namespace

TEST_F(PageExportTest, PageDrawThreadReportsOnceForEachRenderAndTheHandlerComposes)
{
    ZuObjectRef made(ZuClassFactory::New("PageDrawThread", Zuvi_app_zone, __LINE__, __FILE__));
    PageDrawThreadRef work(made);
    ASSERT_TRUE(work.IsValid());
    work->SetArgument(ZuObjectRef(view));
    // Draw stores where the run's image goes.
    settings->zoom = 0.5;
    view->ResetDisplay();
    view->Redraw(true);
    Pump();
    app->FireAsyncEvents();
    TakeWakeUps();

    // A render that fails (a page 0 wide) reports nothing.
    doc->SetPageSize(0, 297);
    RunOnThread(work, [] {});
    EXPECT_EQ(app->CountAsyncEvents(), 0u);
    EXPECT_EQ(TakeWakeUps(), 0u);

    // Each run that renders: one report, one wake-up, and the new page in
    // the window once the handler has run. The view is redisplayed while
    // the run holds the rendering.
    doc->SetPageSize(210, 297);
    settings->zoom = 0.5;
    DPoint centre{0, 0};
    view->PageToView(centre);
    const ZuGrailWindowRef& screen = win->RetScreenWindow();
    ASSERT_TRUE(screen.IsValid());
    auto shown = [&] {
        app->SyncWindows(true);
        uint32_t p = 0;
        W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, int(centre.x), int(centre.y),
                                p);
        return p & 0xFFFFFF;
    };
    EXPECT_EQ(shown(), 0xFFFFFFu);
    // A square filled black (its default) over the page's centre.
    Rect(Layer(0), -20, -20, 20, 20, Colour(0, 0, 1));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        // The second time the window is redisplayed while the run renders:
        // the run holds the rendering, the window keeps its image.
        RunOnThread(work, [&] {
            if (run == 1) {
                view->Redraw(false);
                app->SyncWindows(true);
            }
        });
        EXPECT_EQ(app->CountAsyncEvents(), 1u);
        EXPECT_EQ(TakeWakeUps(), 1u);
        if (run == 0) {
            EXPECT_EQ(shown(), 0xFFFFFFu);
        }
        view->SetRenderNeeded(true);
        EXPECT_TRUE(app->FireAsyncEvents());
        EXPECT_FALSE(view->IsRenderNeeded());
        EXPECT_EQ(app->CountAsyncEvents(), 0u);
        EXPECT_EQ(shown(), 0x000000u);
    }
    work->Delete();
}
