// The page view in a shown window on the headless backend and the real
// interpreter: its set-up and modes, its names, zoom and scrolling in
// millimetres, magnetism, the render run read as PostScript and as pixels,
// and the window image with its marks and handles.
#include "app/pageview.h"

#include "app/colordef.h"
#include "app/graline.h"
#include "app/grarect.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/time.h"
#include "tests/support/controls.h"
#include "sd/win32/sd_grailwdo.h"
#include "w32/headless.h"
#include "w32/systime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

// A display context that keeps the PostScript it runs.
ZU_HANDLE(TTapContext, GSContext)
class TTapContext : public GSContext {
    ZU_CLASS(TTapContext, GSContext)
public:
    TTapContext() {}
    bool ExecuteText(const char* text, int n) override
    {
        sent.append(text, n > 0 ? size_t(n) : std::strlen(text));
        return GSContext::ExecuteText(text, n);
    }
    std::string sent;
};
ZU_CLASS_END(TTapContext)
ZU_IMPLEMENT_CLASS(TTapContext, "tests/app/pageview_test", ZU_CLASS_PLAIN)

// A page view whose seams a test watches: the handle images it draws, the
// document it is asked to open, the ticks it gets.
ZU_HANDLE(TPageView, CPageView)
class TPageView : public CPageView {
    ZU_CLASS(TPageView, CPageView)
public:
    TPageView() {}
    void DrawHandleIcon(const ZuGrailPortRef& port, const DPoint& page, int kind,
                        int state) override
    {
        DPoint p = page;
        PageToView(p);
        icons.push_back(std::string(HandleImageName(kind)) + "@" + std::to_string(int(p.x)) + "," +
                        std::to_string(int(p.y)) + "/" + std::to_string(state));
        CPageView::DrawHandleIcon(port, page, kind, state);
    }
    bool OpenDocument(const ZuStringRef& name) override
    {
        opened = name.IsValid() ? name->AccessLatin() : "";
        return openAnswer;
    }
    void Tick(unsigned id) override
    {
        ++ticks;
        CPageView::Tick(id);
    }
    void ContextRepeat() override
    {
        if (nestOnce) {
            nestOnce = false;
            Tick(0);
        }
    }
    std::vector<std::string> icons;
    std::string opened;
    bool openAnswer = true;
    int ticks = 0;
    bool nestOnce = false;
};
ZU_CLASS_END(TPageView)
ZU_IMPLEMENT_CLASS(TPageView, "tests/app/pageview_test", ZU_CLASS_PLAIN)

// A message that a test writes and then hands straight to an entry
// function: its arguments read back in the order written, as a script
// engine that calls the entry itself reads them.
ZU_HANDLE(TScriptMessage, ZuMessage)
class TScriptMessage : public ZuMessage {
    ZU_CLASS(TScriptMessage, ZuMessage)
public:
    TScriptMessage() {}
    void StoreData(const void* data, unsigned size) override
    {
        bytes.append(static_cast<const char*>(data), size);
    }
    void RestoreData(void* data, unsigned size) override
    {
        ASSERT_LE(at + size, bytes.size());
        std::memcpy(data, bytes.data() + at, size);
        at += size;
    }
    std::uint64_t RetRemainingData() const override { return bytes.size() - at; }
    void Restart()
    {
        bytes.clear();
        at = 0;
    }
    std::string bytes;
    size_t at = 0;
};
ZU_CLASS_END(TScriptMessage)
ZU_IMPLEMENT_CLASS(TScriptMessage, "tests/app/pageview_test", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

class PageViewTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        win = NewShownWindow(50, 50, 320, 240);
        doc = Make<CDocumentRef>();
        doc->Reset();
        view = ZuNew<TPageView>(Zuvi_app_zone);
        view->SetBox(ZuRect(0, 0, 319, 239));
        view->SetParent(win);
        view->SetDocument(doc);
        view->Init(CMainWindowRef());
        settings = view->RetView();
    }
    void TearDown() override
    {
        view->Delete();
        view = TPageViewRef();
        tap = TTapContextRef();
        settings = CViewRef();
        doc = CDocumentRef();
        ControlTest::TearDown();
    }
    // The view renders into a context that keeps what it is sent.
    void Tap()
    {
        tap = ZuNew<TTapContext>(Zuvi_app_zone);
        ASSERT_TRUE(tap->CreateContext(320, 240, GS_VIEW_RGB24));
        view->SetContext(tap);
        view->ResetDisplay();
    }
    // A pixel of the rendered image, (x, y) from the top, as 0xRRGGBB.
    unsigned ImagePixel(int x, int y)
    {
        tap->ReadBack();
        const unsigned char* p = tap->RetBuffer() + (size_t(y) * 320 + size_t(x)) * 3;
        return unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
    }
    // Screen pixel of the view's window (16-bit screen: compared loosely).
    unsigned Screen(int x, int y)
    {
        app->SyncWindows(true);
        Pump();
        const ZuGrailWindowRef& screen = win->RetScreenWindow();
        uint32_t p = 0xDEADBEEF;
        if (screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr)
            W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, x, y, p);
        return p & 0xFFFFFF;
    }
    static bool Near(unsigned a, unsigned b)
    {
        for (int s = 0; s < 24; s += 8) {
            int d = int(a >> s & 0xFF) - int(b >> s & 0xFF);
            if (d > 12 || d < -12)
                return false;
        }
        return true;
    }
    CTreeNodeRef Layer(int i)
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, settings->current_page, i);
        return n;
    }
    // Adds layers until the page holds n.
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
    CGraRectRef Rect(const CTreeNodeRef& layer, double x1, double y1, double x2, double y2,
                     const CColorDefRef& stroke = CColorDefRef())
    {
        CGraRectRef r = Make<CGraRectRef>();
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        if (stroke.IsValid())
            r->SetDefinition(15, stroke);
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(r);
        n->InsertLastChild(layer);
        CGraPortRef port = view->RetMainPort();
        r->UpdateBoundingBox(port);
        return r;
    }
    static CColorDefRef Colour(double r, double g, double b)
    {
        CColorDefRef c = Make<CColorDefRef>();
        c->SetRGB(r, g, b);
        return c;
    }

    ZuWindowRef win;
    CDocumentRef doc;
    TPageViewRef view;
    CViewRef settings;
    TTapContextRef tap;
};

// The page point under the middle of the image.
DPoint Middle(CPageView* v)
{
    DPoint p{160, 120};
    v->ViewToPage(p);
    return p;
}

} // namespace

// ---------------------------------------------------------------------------
// Set-up, modes, auto scroll
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, InitPublishesOneDocumentFieldAndGivesANewTree)
{
    view->Init(CMainWindowRef());
    ZuObjectRef field;
    ASSERT_TRUE(app->GetField(ZuAtomRef("Document"), field));
    EXPECT_TRUE(field == ZuObjectRef(view));
    EXPECT_TRUE(app->RemoveField(ZuAtomRef("Document")));
    EXPECT_FALSE(app->GetField(ZuAtomRef("Document"), field));
    // One page holding one layer, both current.
    CTreeNodeRef root;
    doc->GetTree()->GetNode(root, -1, -1);
    ASSERT_EQ(root->CountChildren(), 1);
    EXPECT_EQ(root->RetFirstChild()->CountChildren(), 1);
    EXPECT_EQ(settings->current_page, 0);
    EXPECT_EQ(settings->current_layer, 0);
    // The fourteen paths are bound, each once, after two Init.
    unsigned draw = 0;
    for (unsigned i = 0; i < app->CountAsyncObservers(); i++) {
        ZuAtomPathRef path;
        ZuObjectRef actor, observer;
        unsigned id;
        ASSERT_TRUE(app->GetAttachedAsync(i, path, actor, observer, id));
        if (path->RetString()->AccessLatin() == std::string("DrawEvent"))
            ++draw;
    }
    EXPECT_GE(draw, 1u);
    // The document reaches the view when its unit changes.
    EXPECT_TRUE(view->SupportsInterface(&IChangeUnit::interface));
}

TEST_F(PageViewTest, MagnifierAndHandModesExcludeEachOther)
{
    struct {
        bool glass, hand; // before
        int which;        // 0 glass, 1 hand
        bool on;          // switched to
        bool wantGlass, wantHand;
    } const cases[] = {
        {false, true, 0, true, true, false},    {true, false, 1, true, false, true},
        {true, false, 0, false, false, false},  {false, true, 1, false, false, false},
        {false, false, 0, false, false, false},
    };
    for (const auto& k : cases) {
        view->SetGlassMode(false);
        view->SetHandMode(false);
        if (k.glass)
            view->SetGlassMode(true);
        if (k.hand)
            view->SetHandMode(true);
        if (k.which == 0)
            view->SetGlassMode(k.on);
        else
            view->SetHandMode(k.on);
        EXPECT_EQ(view->IsGlassMode(), k.wantGlass);
        EXPECT_EQ(view->IsHandMode(), k.wantHand);
    }
    // The pointer: nothing for the shape already set; tool sprites by name.
    EXPECT_EQ(view->RetPointerShape(), -1);
    const ZuAtomRef before = view->RetCursor();
    view->SetPointerShape(-1);
    EXPECT_TRUE(view->RetCursor() == before);
    view->SetPointerShape(-2);
    EXPECT_EQ(std::string(view->RetCursor()->RetString()->AccessLatin()), "Zuvi_CursorBusy");
    view->SetPointerShape(7);
    EXPECT_EQ(std::string(view->RetCursor()->RetString()->AccessLatin()), "lumbra_Sprite07");
    EXPECT_EQ(view->RetPaletteTool(2), -1);
}

TEST_F(PageViewTest, AutoScrollRegistersOnceAndNestedTicksReArmOnce)
{
    view->StopAutoScroll(); // without a start: nothing
    EXPECT_FALSE(view->IsAutoScrolling());
    view->StartAutoScroll();
    view->StartAutoScroll();
    EXPECT_TRUE(view->IsAutoScrolling());
    const int repeat = int(ZuLookMan::Current()->RetAutoRepeatTime());
    Advance(repeat);
    EXPECT_EQ(view->ticks, 1); // one responder, re-armed by its tick
    Advance(repeat);
    EXPECT_EQ(view->ticks, 2);
    // A tick inside a tick does not re-arm a second time.
    view->SetRightButtonHeld(true);
    view->nestOnce = true;
    Advance(repeat);
    EXPECT_EQ(view->ticks, 4);
    view->SetRightButtonHeld(false);
    Advance(repeat);
    EXPECT_EQ(view->ticks, 5);
    view->StopAutoScroll();
    Advance(repeat);
    Advance(repeat);
    EXPECT_EQ(view->ticks, 5);
}

TEST_F(PageViewTest, AutoScrollWithAButtonHeldMovesThePositionEachTick)
{
    Tap();
    const double z = view->RetZoom();
    settings->x = 0.5;
    // The pointer beyond the right edge, the button held.
    view->SetPointer(DPoint{400, 100}, true);
    view->StartAutoScroll();
    Advance(int(ZuLookMan::Current()->RetAutoRepeatTime()));
    EXPECT_NEAR(settings->x, 0.5 + 0.01 / z, 1e-12);
    view->StopAutoScroll();
    // Inside the image nothing scrolls; left of it, back by the same step.
    EXPECT_FALSE(view->AutoScroll(DPoint{10, 10}, 0.0));
    EXPECT_TRUE(view->AutoScroll(DPoint{-5, 10}, 0.0));
    EXPECT_NEAR(settings->x, 0.5, 1e-12);
}

// ---------------------------------------------------------------------------
// Names and script exports
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, HandlersAnswerByName)
{
    const ZuRuntimeRef& rt = CPageViewRef::RetRuntime();
    for (int i = 0; i < CPageView::handlerCount; i++)
        EXPECT_TRUE(rt->FindActor(ZuAtomRef(CPageView::handlerNames[i])) != nullptr ||
                    rt->FindObserver(ZuAtomRef(CPageView::handlerNames[i])) != nullptr)
            << CPageView::handlerNames[i];
    EXPECT_EQ(rt->FindActor(ZuAtomRef("GlassNowhere")), nullptr);
    // A command sent by name runs the method.
    settings->zoom = 1.0;
    EXPECT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef("GlassMax"), ZuObjectRef(), 0));
    EXPECT_DOUBLE_EQ(settings->zoom, 100.0);
}

TEST_F(PageViewTest, ScriptCallsPassTheMethodsAnswerOn)
{
    const ZuRuntimeRef& rt = CPageViewRef::RetRuntime();
    const Zuvi_Target* open = rt->FindMethod(ZuAtomRef("OpenDocument"), 0);
    const Zuvi_Target* exp = rt->FindMethod(ZuAtomRef("ExportDocument"), 0);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(exp, nullptr);
    EXPECT_EQ(open->num_param, 1u);
    ASSERT_EQ(exp->num_param, 6u);
    const char* const names[6] = {"name", "dpi", "bpp", "device", "aa", "zoom"};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(std::string(exp->param[i].name_text), names[i]);

    TScriptMessageRef msg = ZuNew<TScriptMessage>(Zuvi_app_zone);
    for (bool answer : {true, false}) {
        view->openAnswer = answer;
        msg->Restart();
        msg << ZuObjectRef(ZuStringRef("missing.lumbra"));
        EXPECT_EQ(open->message_fn(msg, view.RetRawObject(), nullptr), answer);
        EXPECT_EQ(view->opened, "missing.lumbra");
    }
    // Without a target nothing is called.
    msg->Restart();
    msg << ZuObjectRef(ZuStringRef("x"));
    EXPECT_FALSE(open->message_fn(msg, nullptr, nullptr));
    // The plain view opens nothing (the file commands are not there yet).
    CPageViewRef plain = ZuNew<CPageView>(Zuvi_app_zone);
    msg->Restart();
    msg << ZuObjectRef(ZuStringRef("missing.lumbra"));
    EXPECT_FALSE(open->message_fn(msg, plain.RetRawObject(), nullptr));
    plain->Delete();
}

// ---------------------------------------------------------------------------
// Zoom and scrolling
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, ZoomKeepsTheMiddleAndClampsTheFactor)
{
    Tap();
    struct {
        double scaled, factor;
    } const cases[] = {
        {0.0, 1.0},          {0.5, 0.01},  {20000.0, 100.0},
        {-50.0, 0.01},       {150.0, 1.5}, {std::numeric_limits<double>::infinity(), 100.0},
        {std::nan(""), 1.0},
    };
    for (const auto& k : cases) {
        view->SetZoom(k.scaled, true);
        EXPECT_DOUBLE_EQ(settings->zoom, k.factor) << k.scaled;
    }
    // The point under the middle stays there.
    settings->zoom = CPageView::ZOOM_100;
    view->CentreOn(DPoint{30.0, -20.0});
    const DPoint before = Middle(view.RetRawObject());
    view->SetZoom(300.0, true);
    const DPoint after = Middle(view.RetRawObject());
    EXPECT_NEAR(after.x, before.x, 1e-9);
    EXPECT_NEAR(after.y, before.y, 1e-9);
    // ...unless the positions have to be clamped.
    settings->x = 0.0;
    settings->zoom = 1.0;
    const DPoint edge = Middle(view.RetRawObject());
    view->SetZoom(100.0 * 0.2, true);
    EXPECT_DOUBLE_EQ(settings->x, 0.0);
    EXPECT_GT(std::fabs(Middle(view.RetRawObject()).x - edge.x), 1.0);
    // A zoom that changes nothing asks for nothing.
    view->SetRenderNeeded(false);
    view->SetZoom(settings->zoom * 100.0, true);
    EXPECT_FALSE(view->IsRenderNeeded());
    view->SetZoom(settings->zoom * 200.0, true);
    EXPECT_TRUE(view->IsRenderNeeded());
}

TEST_F(PageViewTest, GlassPrevWalksBackAHundredViews)
{
    Tap();
    settings->zoom = 1.0;
    for (int i = 0; i < 101; i++)
        view->SetZoomFactor(1.0 + 0.01 * (i + 1), true);
    int back = 0;
    while (view->GlassPrev())
        ++back;
    EXPECT_EQ(back, 100);
    EXPECT_FALSE(view->GlassPrev());
    EXPECT_NEAR(settings->zoom, 1.01, 1e-12); // the oldest kept is after the first change
    // The commands by factor; GlassPage fits the page and its margins.
    view->GlassMin();
    EXPECT_DOUBLE_EQ(settings->zoom, 0.01);
    view->Glass100();
    EXPECT_DOUBLE_EQ(settings->zoom, CPageView::ZOOM_100);
    view->ZoomOut();
    EXPECT_DOUBLE_EQ(settings->zoom, CPageView::ZOOM_100 / 2);
    view->ZoomIn();
    EXPECT_DOUBLE_EQ(settings->zoom, CPageView::ZOOM_100);
    EXPECT_TRUE(view->GlassPage());
    EXPECT_DOUBLE_EQ(settings->zoom, 240.0 / (297.0 + 10.0));
    const DPoint m = Middle(view.RetRawObject());
    EXPECT_NEAR(m.x, 0.0, 1e-6);
    EXPECT_NEAR(m.y, 0.0, 1e-6);
    // Nothing selected and no group entered: nothing to fit.
    EXPECT_FALSE(view->GlassSel());
}

TEST_F(PageViewTest, ZoomEntryReadsItsDigitsAndShowsWholePercents)
{
    Tap();
    ZuTextLineRef entry = ZuNew<ZuTextLine>(Zuvi_app_zone);
    view->SetControls(ZuScrollerRef(), ZuScrollerRef(), entry);
    struct {
        const char* text;
        double factor;
    } const cases[] = {
        {"150 %", 1.5 * CPageView::ZOOM_100},
        {"1x5", 0.15 * CPageView::ZOOM_100},
        {"", 1.0},
        {"99999999999999999999999999999999", 100.0},
    };
    for (const auto& k : cases) {
        entry->SetText(ZuTextRef(k.text));
        EXPECT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef("OnEditZoom"), ZuObjectRef(), 0));
        EXPECT_NEAR(settings->zoom, k.factor, 1e-9) << k.text;
    }
    EXPECT_EQ(settings->RetHistoryCount(), 0); // the entry pushes no history
    settings->zoom = CPageView::ZOOM_100;
    view->UpdateZoomText();
    EXPECT_EQ(std::string(entry->RetText()->AccessLatin()), "100");
    settings->zoom = 1.0;
    view->UpdateZoomText();
    EXPECT_EQ(std::string(entry->RetText()->AccessLatin()), "35");
}

TEST_F(PageViewTest, ConversionsAndScrollersFollowTheSettings)
{
    Tap();
    settings->zoom = 2.0;
    // Page point to window pixel and back.
    for (DPoint q : {DPoint{0, 0}, DPoint{12.5, -7.25}, DPoint{-100, 80}}) {
        DPoint p = q;
        view->PageToView(p);
        view->ViewToPage(p);
        EXPECT_NEAR(p.x, q.x, 1e-9);
        EXPECT_NEAR(p.y, q.y, 1e-9);
    }
    DPoint centre{0, 0};
    view->PageToView(centre);
    EXPECT_DOUBLE_EQ(centre.x, 160.0);
    EXPECT_DOUBLE_EQ(centre.y, 120.0);
    EXPECT_TRUE(view->IsNear(DPoint{0, 0}, DPoint{1.9, -1.9}));
    EXPECT_FALSE(view->IsNear(DPoint{0, 0}, DPoint{2.0, 0}));
    EXPECT_DOUBLE_EQ(view->RetVisibleRatioX(), 320.0 / (2000.0 * 2.0));
    ZuScrollerRef h = ZuNew<ZuScroller>(Zuvi_app_zone), v = ZuNew<ZuScroller>(Zuvi_app_zone);
    view->SetControls(h, v, ZuTextLineRef());
    view->UpdateScrollers();
    EXPECT_DOUBLE_EQ(h->RetVisibleValue(), 0.5);
    h->SetVisibleValue(0.25);
    EXPECT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef("OnScrollH"), ZuObjectRef(), 0));
    EXPECT_DOUBLE_EQ(settings->x, 0.25);
    // Positions and zooms from a file are clamped where they are read.
    settings->x = std::nan("");
    settings->y = -4.0;
    settings->zoom = -1.0;
    EXPECT_DOUBLE_EQ(view->RetScrollX(), 0.5);
    EXPECT_DOUBLE_EQ(view->RetScrollY(), 0.0);
    EXPECT_DOUBLE_EQ(view->RetZoom(), 0.01);
    settings->zoom = std::numeric_limits<double>::infinity();
    EXPECT_DOUBLE_EQ(view->RetZoom(), 100.0);
    view->SetScrollX(7.0);
    EXPECT_DOUBLE_EQ(settings->x, 1.0);
}

// ---------------------------------------------------------------------------
// Magnetism
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, GuidesBeatTheGridAndTheFirstGuideInReachWins)
{
    settings->zoom = 1.0;
    settings->switches[CView::GRID_MAGNETISM] = true;
    settings->switches[CView::GUIDE_MAGNETISM] = true;
    settings->values[4] = settings->values[5] = 10.0;
    // Horizontal guides at 150 + 148.5 - 148.5: page y = g - 148.5.
    doc->AddGuide(true, 148.5 + 6.0); // y 6, 5 px from the point
    doc->AddGuide(true, 148.5 + 2.0); // y 2, 1 px: closer but later in the list... sorted?
    const DPoint snapped = view->MagnetizePoint(DPoint{13.0, 1.0}, DPoint{0, 0});
    EXPECT_DOUBLE_EQ(snapped.x, 10.0); // no vertical guide: the grid
    // The list is kept sorted: the first within 8 px is the one at 2.
    EXPECT_DOUBLE_EQ(snapped.y, doc->GetGuide(true, 0) - 148.5);
    // The first guide in list order wins even when a later one is closer.
    const DPoint far = view->MagnetizePoint(DPoint{0.0, 5.5}, DPoint{0, 0});
    EXPECT_DOUBLE_EQ(far.y, 2.0);
    // Out of reach of every guide: the grid.
    EXPECT_DOUBLE_EQ(view->MagnetizePoint(DPoint{0.0, 24.0}, DPoint{0, 0}).y, 20.0);
    EXPECT_DOUBLE_EQ(view->MagnetizePoint(DPoint{-14.0, 24.0}, DPoint{0, 0}).x, -10.0);
    EXPECT_DOUBLE_EQ(view->MagnetizePoint(DPoint{-16.0, 24.0}, DPoint{0, 0}).x, -20.0);
    // From a reference point.
    EXPECT_DOUBLE_EQ(view->MagnetizePoint(DPoint{14.0, 40.0}, DPoint{3, 0}).x, 13.0);
    // A step of 0, negative or not finite on either axis: no grid at all.
    settings->switches[CView::GUIDE_MAGNETISM] = false;
    for (double bad : {0.0, -10.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        settings->values[4] = 10.0;
        settings->values[5] = bad;
        const DPoint p = view->MagnetizePoint(DPoint{13.0, 14.0}, DPoint{0, 0});
        EXPECT_DOUBLE_EQ(p.x, 13.0) << bad;
        EXPECT_DOUBLE_EQ(p.y, 14.0) << bad;
    }
}

// ---------------------------------------------------------------------------
// The render run
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, RenderDrawsOtherLayersInTheirColourAndSkipsHiddenOnes)
{
    Tap();
    settings->zoom = 0.5;
    settings->switches[CView::SHOW_BOUNDING_BOXES] = false;
    Layers(3);
    settings->current_layer = 1;
    doc->GetColor(18)->SetRGB(0.0, 1.0, 0.0); // "Autres calques"
    Rect(Layer(0), -60, 10, -40, 30, Colour(1, 0, 0));
    Rect(Layer(1), -10, 10, 10, 30, Colour(0, 0, 1));
    CGraRectRef above = Rect(Layer(2), 40, 10, 60, 30, Colour(1, 0, 0));
    tap->sent.clear();
    ASSERT_TRUE(view->RenderPage());
    const std::string ps = tap->sent;
    const size_t below = ps.find("-60.000000 10.000000 moveto");
    const size_t current = ps.find("-10.000000 10.000000 moveto");
    const size_t over = ps.find("40.000000 10.000000 moveto");
    ASSERT_NE(below, std::string::npos);
    ASSERT_NE(current, std::string::npos);
    ASSERT_NE(over, std::string::npos);
    EXPECT_LT(below, current);
    EXPECT_LT(current, over);
    const std::string green = "0.000000 1.000000 0.000000 setrgbcolor";
    EXPECT_NE(ps.find(green, below), std::string::npos);
    EXPECT_LT(ps.find(green, below), current);
    EXPECT_NE(ps.find(green, over), std::string::npos);
    EXPECT_EQ(ps.find("1.000000 0.000000 0.000000 setrgbcolor"), std::string::npos);
    EXPECT_NE(ps.find("0.000000 0.000000 1.000000 setrgbcolor", current), std::string::npos);
    // The pixels: 0.5 pixel per mm, the page's middle at (160, 120).
    EXPECT_EQ(ImagePixel(135, 110), 0x00FF00u);
    EXPECT_EQ(ImagePixel(185, 110), 0x00FF00u);
    EXPECT_EQ(ImagePixel(160, 110), 0x000000u); // its own (default) fill
    EXPECT_EQ(ImagePixel(160, 130), 0xFFFFFFu);

    // A hidden layer is left out.
    CGraObjectRef(Layer(2)->RetObject())->SetFlag(false);
    tap->sent.clear();
    ASSERT_TRUE(view->RenderPage());
    EXPECT_EQ(tap->sent.find("40.000000 10.000000 moveto"), std::string::npos);
    EXPECT_EQ(ImagePixel(185, 110), 0xFFFFFFu);
    (void)above;
}

TEST_F(PageViewTest, RenderDraftEditOutlineAndCulling)
{
    Tap();
    settings->zoom = 0.5;
    settings->switches[CView::SHOW_BOUNDING_BOXES] = false;
    CGraRectRef r = Rect(Layer(0), -10, 10, 10, 30, Colour(0.5, 0.5, 0.5));
    // Far outside the view.
    CGraRectRef far = Rect(Layer(0), -900, -900, -880, -880, Colour(0, 0, 1));
    EXPECT_DOUBLE_EQ(far->GetBoundingBox().x1, -900.0);
    // Luminance exactly 0.5: the edit outline is grey 0.75, dashed 6 pixels.
    r->SetEditMode(1);
    view->RetSelectObject()->RebuildSelection();
    tap->sent.clear();
    ASSERT_TRUE(view->RenderPage());
    std::string ps = tap->sent;
    EXPECT_EQ(ps.find("-900.000000"), std::string::npos);
    const size_t dash = ps.find("[12.000000 12.000000 ] 0.000000 setdash");
    ASSERT_NE(dash, std::string::npos) << ps;
    EXPECT_GT(dash, ps.find("-10.000000 10.000000 moveto"));
    const size_t grey = ps.find("0.750000 0.750000 0.750000 setrgbcolor", dash);
    EXPECT_NE(grey, std::string::npos);
    EXPECT_LT(grey, ps.find("stroke", dash));
    EXPECT_NE(ps.find("0.500000 0.500000 0.500000 setrgbcolor"), std::string::npos);

    // Draft: the object's own colours are not sent, the run's default pen is.
    r->SetEditMode(0);
    view->RetSelectObject()->RebuildSelection();
    settings->switches[CView::OUTLINE] = true;
    tap->sent.clear();
    ASSERT_TRUE(view->RenderPage());
    ps = tap->sent;
    EXPECT_NE(ps.find("-10.000000 10.000000 moveto"), std::string::npos);
    EXPECT_EQ(ps.find("0.500000 0.500000 0.500000 setrgbcolor"), std::string::npos);
    EXPECT_EQ(ps.find("eofill", ps.find("-10.000000 10.000000 moveto")), std::string::npos);
}

TEST_F(PageViewTest, APageWithoutSidesIsNotRenderedAndKeepsTheZoom)
{
    Tap();
    for (double bad : {0.0, -5.0, std::nan("")}) {
        doc->SetPageSize(bad, 297.0);
        settings->zoom = 1.25;
        tap->sent.clear();
        EXPECT_FALSE(view->RenderPage());
        EXPECT_TRUE(tap->sent.empty());
        EXPECT_FALSE(view->GlassPage());
        EXPECT_DOUBLE_EQ(settings->zoom, 1.25);
        // Drawing the view keeps the old image and stops nowhere.
        view->Redraw(true);
        Screen(1, 1);
    }
}

// ---------------------------------------------------------------------------
// The window image
// ---------------------------------------------------------------------------

TEST_F(PageViewTest, GridDotsAreAtLeastFourPixelsApart)
{
    Tap();
    settings->zoom = 1.0;
    settings->switches[CView::SHOW_GUIDES] = false;
    settings->switches[CView::SHOW_BOUNDING_BOXES] = false;
    settings->switches[CView::SHOW_GRID] = true;
    settings->values[4] = settings->values[5] = 1.0;
    doc->GetColor(15)->SetRGB(1.0, 0.0, 0.0); // "Grille magnétique"
    view->Redraw(true);
    const unsigned red = 0xFF0000, white = 0xFFFFFF;
    EXPECT_TRUE(Near(Screen(160, 120), red));
    EXPECT_TRUE(Near(Screen(164, 120), red));
    EXPECT_TRUE(Near(Screen(160, 116), red));
    EXPECT_TRUE(Near(Screen(162, 120), white));
    EXPECT_TRUE(Near(Screen(161, 120), white));
    EXPECT_TRUE(Near(Screen(160, 118), white));
    // A step of 0, negative or not finite on either axis: no dots, no hang.
    for (double bad : {0.0, -1.0, std::nan("")}) {
        settings->values[5] = bad;
        view->Redraw(false);
        EXPECT_TRUE(Near(Screen(160, 120), white)) << bad;
    }
}

TEST_F(PageViewTest, HandlesOfManyObjectsGiveWayToTheBox)
{
    Tap();
    settings->zoom = 1.0;
    CSelectObjectRef sel = view->RetSelectObject();
    std::vector<CGraRectRef> rects;
    for (int i = 0; i < 21; i++)
        rects.push_back(Rect(Layer(0), -50 + i * 4, -10, -48 + i * 4, 10));
    auto count = [&](const char* name) {
        int n = 0;
        for (const std::string& s : view->icons)
            n += s.compare(0, std::strlen(name), name) == 0 && s[std::strlen(name)] == '@';
        return n;
    };
    for (int selected : {21, 2}) {
        for (int i = 0; i < 21; i++)
            rects[size_t(i)]->SetEditMode(i < selected ? 1 : 0);
        sel->RebuildSelection();
        sel->SetBoxShown(true);
        sel->FitBoxToSelectedObjects();
        view->icons.clear();
        view->Redraw(false);
        Screen(1, 1);
        const int boxHandles = sel->GetHandleCount();
        EXPECT_GT(boxHandles, 0);
        if (selected == 21) {
            EXPECT_EQ(count("lumbra_HandleNormPB"), 0);
            EXPECT_EQ(int(view->icons.size()), boxHandles);
        } else {
            int corners = 0;
            for (int i = 0; i < 2; i++)
                for (int n = 0; n < rects[size_t(i)]->GetHandleCount(); n++)
                    corners += rects[size_t(i)]->GetHandleType(n) == 2;
            EXPECT_GT(corners, 0);
            EXPECT_EQ(count("lumbra_HandleNormPB"), corners);
            EXPECT_EQ(int(view->icons.size()), corners + boxHandles);
        }
    }
    // The images of the handle kinds.
    const char* const names[] = {
        "lumbra_HandleNormGR", "lumbra_HandleNormGR", "lumbra_HandleNormGR", "lumbra_HandleNormMR",
        "lumbra_HandleNormPB", "lumbra_HandleRotate", "lumbra_HandleNormGR", "lumbra_HandleCrosGV",
        "lumbra_HandleCrosGR", "lumbra_HandleNormGV"};
    for (int kind = 0; kind < 10; kind++)
        EXPECT_STREQ(CPageView::HandleImageName(kind), names[kind]) << kind;
}

TEST_F(PageViewTest, EditCursorIsDoubledAlongItsShallowSide)
{
    Tap();
    settings->zoom = 1.0;
    settings->switches[CView::SHOW_GUIDES] = false;
    settings->switches[CView::SHOW_BOUNDING_BOXES] = false;
    doc->GetColor(14)->SetRGB(1.0, 0.0, 0.0); // "Curseur d'édition"
    CGraRectRef r = Rect(Layer(0), 100, 100, 110, 110);
    CTreeNodeRef node = r->GetTreeNode();
    view->RetSelectObject()->SelectForOwnEditing(node);
    ASSERT_TRUE(view->RetSelectObject()->IsEditingObject());
    auto page = [&](double x, double y) {
        DPoint p{x, y};
        view->ViewToPage(p);
        return p;
    };
    CPageView::Overlay& o = view->RetOverlay();
    o.editCursor = true;
    o.editStep = 0;
    // (100, 100) to (110, 103): doubled one pixel up.
    o.cursorEnds[0] = page(100, 100);
    o.cursorEnds[1] = page(110, 103);
    view->Redraw(false);
    EXPECT_FALSE(Near(Screen(105, 100), 0xFFFFFF));
    EXPECT_TRUE(Near(Screen(99, 101), 0xFFFFFF));
    // (100, 100) to (103, 110): doubled one pixel left.
    o.cursorEnds[1] = page(103, 110);
    view->Redraw(false);
    EXPECT_FALSE(Near(Screen(100, 105), 0xFFFFFF));
    EXPECT_TRUE(Near(Screen(101, 99), 0xFFFFFF));
    // From the eighth step of the blink on, no cursor.
    o.editStep = 8;
    view->Redraw(false);
    EXPECT_TRUE(Near(Screen(100, 105), 0xFFFFFF));
}

TEST_F(PageViewTest, MovingAMarkRecomposesWithoutARender)
{
    Tap();
    settings->zoom = 1.0;
    settings->switches[CView::SHOW_GUIDES] = false;
    doc->GetColor(12)->SetRGB(0.0, 0.0, 1.0); // "Rectangle loupe"
    Screen(1, 1);
    auto page = [&](double x, double y) {
        DPoint p{x, y};
        view->ViewToPage(p);
        return p;
    };
    CPageView::Overlay& o = view->RetOverlay();
    o.zoomRect = true;
    o.zoomCorners[0] = page(30, 40);
    o.zoomCorners[1] = page(90, 80);
    tap->sent.clear();
    view->Redraw(false);
    EXPECT_TRUE(Near(Screen(30, 60), 0x0000FF));
    o.zoomCorners[1] = page(100, 80);
    view->Redraw(false);
    EXPECT_TRUE(Near(Screen(100, 60), 0x0000FF));
    EXPECT_TRUE(Near(Screen(90, 60), 0xFFFFFF));
    EXPECT_TRUE(tap->sent.empty());
    // A render is asked for by the flag.
    view->Redraw(true);
    Screen(1, 1);
    EXPECT_FALSE(tap->sent.empty());
    EXPECT_FALSE(view->IsRenderNeeded());
}

TEST_F(PageViewTest, StoredViewComesBackWithItsImageAndDrawsSafely)
{
    Tap();
    view->SetHOffset(0.0);
    ZuObjectRef back = StoreAndRestore(ZuObjectRef(view));
    ASSERT_TRUE(back.IsValid());
    ASSERT_TRUE(back->IsKindOf(CPageViewRef::RetRuntime()));
    CPageViewRef restored(back);
    ASSERT_TRUE(restored->RetContext().IsValid());
    uint32_t w = 0, h = 0;
    restored->GetPixmapSize(w, h);
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 240u);
    // Whatever it holds, it draws, zooms and scrolls without a document.
    restored->SetBox(ZuRect(0, 0, 319, 239));
    restored->SetParent(win);
    restored->Redraw(true);
    restored->SetZoom(200.0, true);
    restored->AutoScroll(DPoint{-10, -10}, 0.0);
    restored->GlassPage();
    restored->ResetDisplay();
    Screen(1, 1);
    restored->SetParent(ZuViewRef());
    restored->Delete();
}
