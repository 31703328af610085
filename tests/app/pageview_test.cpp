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
        view->Init(ZuObjectRef());
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
    view->Init(ZuObjectRef());
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
        EXPECT_NE(rt->FindActor(ZuAtomRef(CPageView::handlerNames[i])), nullptr)
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
