// The tool palette and the page view's input as a user meets them: the
// palette's layout and clicks, the searches under the pointer, pointer
// presses, drags, releases and keys injected on the headless screen, the
// pointer shapes, and the gestures of each tool.
#include "app/gralinetext.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/toolpalette.h"
#include "app/commands.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/grailwdo.h"
#include "si/memzone.h"
#include "tests/support/controls.h"
#include "tests/support/latinkeys.h"
#include "w32/headless.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// A rectangle that remembers the mode of its last hit test.
ZU_HANDLE(TProbeRect, CGraRect)
class TProbeRect : public CGraRect {
    ZU_CLASS(TProbeRect, CGraRect)
public:
    TProbeRect() {}
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override
    {
        lastMode = flags;
        return CGraRect::HitTest(port, p, zoom, flags);
    }
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override
    {
        if (noEntries && out != nullptr)
            *out = -1;
        else
            CGraRect::GetPropertyLayout(a, b, c, d, out);
    }
    int lastMode = -1;
    bool noEntries = false;
};
ZU_CLASS_END(TProbeRect)
ZU_IMPLEMENT_CLASS(TProbeRect, "tests/app/tools_test", ZU_CLASS_PLAIN)

// A page view that logs the handlers it runs by name.
ZU_HANDLE(TToolView, CPageView)
class TToolView : public CPageView {
    ZU_CLASS(TToolView, CPageView)
public:
    TToolView() {}
    bool RunCommand(const char* name) override
    {
        commands += std::string(name) + " ";
        return CPageView::RunCommand(name);
    }
    void LeaveNotify(const ZuEventRef& event) override
    {
        ++leaves;
        CPageView::LeaveNotify(event);
    }
    std::string commands;
    int leaves = 0;
};
ZU_CLASS_END(TToolView)
ZU_IMPLEMENT_CLASS(TToolView, "tests/app/tools_test", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

std::string Label(int code)
{
    const char* l = GetIconLabel(code);
    return l != nullptr ? l : "";
}

class PaletteTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        palette = ZuNew<CToolPalette>(Zuvi_app_zone);
        palette->Create(20, 100, false);
        palette->Show(false);
        Pump();
    }
    void TearDown() override
    {
        palette->Delete();
        palette = CToolPaletteRef();
        ControlTest::TearDown();
    }
    void Compose(std::initializer_list<const int32_t*> subs)
    {
        int n = 0;
        for (const int32_t* s : subs)
            CToolPalette::AppendToolTable(buffer, n, s);
        buffer[n] = -1;
        palette->SetTools(buffer);
    }
    // A click on item n of the palette, in its window.
    void ClickItem(int n)
    {
        const CToolPalette::Item& it = palette->RetItem(n);
        double ox = 0, oy = 0;
        palette->RetWindow()->GetWindowOrigin(ox, oy);
        const int x = int(ox + (it.x1 + it.x2) / 2), y = int(oy + (it.y1 + it.y2) / 2);
        W32_HeadlessMouse(x, y, 0);
        Pump();
        W32_HeadlessMouse(x, y, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(x, y, 0);
        Pump();
    }
    CToolPaletteRef palette;
    int32_t buffer[CToolPalette::kMaxValues];
};

// The page view in a shown window, with its two palettes.
class ToolsTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        win = NewShownWindow(50, 50, 320, 240);
        doc = Make<CDocumentRef>();
        doc->Reset();
        palette = ZuNew<CToolPalette>(Zuvi_app_zone);
        palette->Create(20, 100, false);
        popup = ZuNew<CToolPalette>(Zuvi_app_zone);
        popup->Create(400, 400, true);
        view = ZuNew<TToolView>(Zuvi_app_zone);
        view->SetBox(viewBox);
        view->SetParent(win);
        view->SetDocument(doc);
        view->Init(CMainWindowRef());
        view->SetToolPalettes(palette, popup);
        view->ResetDisplay();
        settings = view->RetView();
        selection = view->RetSelectObject();
        Pump();
    }
    void TearDown() override
    {
        W32_HeadlessMouse(0, 0, 0);
        Pump();
        view->Delete();
        view = TToolViewRef();
        palette->Delete();
        popup->Delete();
        palette = popup = CToolPaletteRef();
        settings = CViewRef();
        selection = CSelectObjectRef();
        doc = CDocumentRef();
        SetCurrentDocument(CDocumentRef(), CViewRef());
        ControlTest::TearDown();
    }
    // The tool: its page's palette, and the tool made current there.
    void UseTool(int page, int tool)
    {
        doc->SetToolChoice(page, tool);
        view->UpdateTool(page);
    }
    // The pointer at a point of the view with the MK_ buttons held.
    void At(double x, double y, unsigned buttons)
    {
        double ox = 0, oy = 0;
        win->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
        Pump();
    }
    // Shift held or let go: pointer events carry the keyboard's modifiers.
    void Shift(bool down) { Key(VK_SHIFT, 0x2A, down); }
    void Click(double x, double y, unsigned keys = 0)
    {
        At(x, y, keys);
        At(x, y, MK_LBUTTON | keys);
        At(x, y, keys);
    }
    void DragFromTo(double x1, double y1, double x2, double y2, unsigned keys = 0)
    {
        At(x1, y1, keys);
        At(x1, y1, MK_LBUTTON | keys);
        At((x1 + x2) / 2, (y1 + y2) / 2, MK_LBUTTON | keys);
        At(x2, y2, MK_LBUTTON | keys);
        At(x2, y2, keys);
    }
    DPoint Page(double x, double y)
    {
        DPoint p{x, y};
        view->ViewToPage(p);
        return p;
    }
    DPoint ViewPoint(const DPoint& page)
    {
        DPoint p = page;
        view->PageToView(p);
        return p;
    }
    CTreeNodeRef Layer()
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, settings->current_page, settings->current_layer);
        return n;
    }
    // A rectangle of the current layer between two view points.
    template <class R = CGraRectRef>
    R Rect(double x1, double y1, double x2, double y2)
    {
        R r = Make<R>();
        const DPoint corners[2] = {Page(x1, y1), Page(x2, y2)};
        r->SetPoints(corners, 2);
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(r);
        n->InsertLastChild(Layer());
        CGraPortRef port = view->RetMainPort();
        r->UpdateBoundingBox(port);
        return r;
    }
    CTreeNodeRef NodeOf(const CGraObjectRef& o) { return o->GetTreeNode(); }
    int Children() { return Layer()->CountChildren(); }

    // The view's place in its window.
    ZuRect viewBox = ZuRect(0, 0, 319, 239);
    ZuWindowRef win;
    CDocumentRef doc;
    TToolViewRef view;
    CViewRef settings;
    CSelectObjectRef selection;
    CToolPaletteRef palette;
    CToolPaletteRef popup;
};

} // namespace

// ---------------------------------------------------------------------------
// The palette
// ---------------------------------------------------------------------------

TEST_F(PaletteTest, ModeAndDrawingTablesLayOutTheirRows)
{
    Compose({CToolPalette::kModeTable, CToolPalette::kDrawTable});
    const int rows[][3] = {{0, 1, -1}, {10, 15, 11}, {12, 13, 14}, {18, 16, -1}};
    const char* labels[] = {"Dessiner",
                            "Modifier",
                            "Droite",
                            "Fl\xE8"
                            "che",
                            "Rectangle",
                            "Courbes de B\xE9zier",
                            "Polygone quelconque",
                            "Polygone r\xE9gulier",
                            "Arc",
                            "Ligne de texte"};
    int n = 0;
    double lastY = -1;
    for (const auto& row : rows) {
        const double y = palette->RetItem(n).y1;
        EXPECT_GT(y, lastY);
        for (int code : row) {
            if (code < 0)
                continue;
            const CToolPalette::Item& it = palette->RetItem(n);
            EXPECT_EQ(it.code, code);
            EXPECT_EQ(it.y1, y) << code;
            EXPECT_EQ(Label(code), labels[n]);
            ASSERT_TRUE(palette->RetButton(n).IsValid());
            ZuStringRef tip = palette->RetButton(n)->RetToolTip();
            EXPECT_EQ(std::string(tip->AccessLatin()), labels[n]);
            ++n;
        }
        lastY = y;
    }
    // The two pages are 1.5 buttons wide; a separator lies between them and
    // the tools.
    EXPECT_EQ(palette->RetItem(0).x2 - palette->RetItem(0).x1, 34);
    EXPECT_EQ(palette->RetItem(1).x1, palette->RetItem(0).x2);
    ASSERT_TRUE(palette->RetSeparator(2).IsValid());
    double sx = 0, sy = 0;
    palette->RetSeparator(2)->GetOrigin(sx, sy);
    EXPECT_GT(sy, palette->RetItem(0).y2);
    EXPECT_LT(sy, palette->RetItem(2).y1);
    EXPECT_EQ(palette->RetItem(10).code, -1);
}

TEST_F(PaletteTest, RadioEntriesStayOnAndSwitchesFlipBack)
{
    Compose({CToolPalette::kModeTable, CToolPalette::kDrawTable, CToolPalette::kTransformTable});
    CToolPalette::SetToolEntryOn(buffer, 28, 10);
    palette->SetTools(buffer);
    Pump();
    EXPECT_EQ(palette->GetCurrentTool(2), 10);
    ClickItem(4); // "Rectangle"
    EXPECT_EQ(palette->GetCurrentTool(2), 11);
    EXPECT_EQ(palette->GetToolState(10), 0);
    ClickItem(4);
    EXPECT_EQ(palette->GetCurrentTool(2), 11);
    EXPECT_TRUE(palette->RetButton(4)->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_FALSE(palette->RetButton(2)->RetState().TestBit(ZU_VIEW_IS_ON));

    // "Stretch": a switch on a row of its own, caption and tool tip.
    const int s = 10;
    ASSERT_EQ(palette->RetItem(s).code, 121);
    ZuSwitchRef sw = palette->RetSwitch(s);
    ASSERT_TRUE(sw.IsValid());
    EXPECT_EQ(std::string(sw->RetTitle()->AccessLatin()), "Stretch");
    EXPECT_EQ(std::string(sw->RetToolTip()->AccessLatin()), "Objets \xE9lastiques");
    EXPECT_EQ(palette->RetItem(s).x1, 1);
    EXPECT_EQ(palette->RetItem(s).y2 - palette->RetItem(s).y1, 20);
    EXPECT_EQ(palette->RetItem(s + 1).y1, palette->RetItem(s).y2 + 4); // -3 then "Zoom"
    const int before = palette->GetToolState(121);
    ClickItem(s);
    EXPECT_NE(palette->GetToolState(121), before);
    ClickItem(s);
    EXPECT_EQ(palette->GetToolState(121), before);
    EXPECT_EQ(sw->RetSwitchState(), before == 1);
}

TEST_F(PaletteTest, ObjectsOnlyForDrawingToolsAndClicksOfNoItemAreRefused)
{
    const struct {
        int code;
        const char* cls;
    } cases[] = {{10, "CGraLine"},     {11, "CGraRect"},    {12, "CGraPolyCurve"},
                 {13, "CGraPolyLine"}, {14, "CGraPolyReg"}, {15, "CGraArrow"},
                 {16, "CGraLineText"}, {18, "CGraArc"},     {17, nullptr},
                 {19, nullptr},        {3, nullptr},        {-5, nullptr}};
    for (const auto& c : cases) {
        ZuObjectRef o;
        CToolPalette::NewObject(o, c.code);
        if (c.cls == nullptr)
            EXPECT_TRUE(o.IsInvalid()) << c.code;
        else
            EXPECT_STREQ(o.IsValid() ? o->RetRuntime()->RetClassName() : "", c.cls) << c.code;
    }
    ZuViewRef stranger = ZuNew<ZuView>(Zuvi_app_zone);
    stranger->SetUserTag(100 + 29);
    EXPECT_FALSE(palette->OnClicTool(stranger, 0)); // a free item
    stranger->SetUserTag(100 + 30);
    EXPECT_FALSE(palette->OnClicTool(stranger, 0));
    stranger->Delete();
}

// A table longer than the palette holds (the pop-up palette's list comes
// from an object) is cut at 30 entries or 190 values and still ended.
TEST_F(PaletteTest, LongTablesAreCutAtTheLimitsAndEnded)
{
    std::vector<int32_t> entries;
    for (int i = 0; i < 40; ++i)
        entries.insert(entries.end(), {100 + i, 0, 0});
    entries.push_back(-1);
    palette->SetTools(entries.data());
    EXPECT_EQ(palette->RetItem(29).code, 129);
    EXPECT_EQ(palette->RetTable()[90], -1);

    std::vector<int32_t> directives(400, -3);
    directives.push_back(-1);
    palette->SetTools(directives.data());
    EXPECT_EQ(palette->RetTable()[188], -3);
    EXPECT_EQ(palette->RetTable()[189], -1);
    EXPECT_EQ(palette->RetItem(0).code, -1);

    // Without its -1, the count given bounds the copy; a cut entry is left
    // out whole.
    const int32_t open[] = {10, 4, 1, 11, 4};
    palette->SetTools(open, 5);
    EXPECT_EQ(palette->RetItem(0).code, 10);
    EXPECT_EQ(palette->RetItem(1).code, -1);
    EXPECT_EQ(palette->RetTable()[3], -1);

    // SetPlace with a size of 0 takes the natural size of the last layout.
    palette->SetTools(entries.data());
    palette->SetPlace(DPoint{30, 40}, DPoint{0, 5});
    EXPECT_EQ(palette->RetWindow()->RetWindowBox().DX(), palette->RetNaturalWidth());
}

TEST_F(PaletteTest, ExportsItsHandlersByName)
{
    const ZuRuntimeRef& rt = CToolPaletteRef::RetRuntime();
    for (const char* name : {"OnCancel", "OnClose", "OnResize"})
        EXPECT_NE(rt->FindActor(ZuAtomRef(name)), nullptr) << name;
    EXPECT_NE(rt->FindObserver(ZuAtomRef("OnClicTool")), nullptr);
}

// ---------------------------------------------------------------------------
// The page view's palette
// ---------------------------------------------------------------------------

TEST_F(ToolsTest, StoredToolWordsOutsideTheTablesFallBackToTheSelectionTool)
{
    const struct {
        int draw, modify, view, page;
        int wantPage, wantTool;
    } cases[] = {
        {11, 6, 3, 0, 0, 11}, {99, 6, 3, 0, 1, 6},  {-7, 7, 3, 0, 1, 6}, {10, 42, 3, 1, 1, 6},
        {10, 7, 3, 1, 1, 7},  {10, 6, 12, 2, 2, 3}, {10, 6, 5, 2, 2, 5}, {10, 6, 3, 9, 0, 10},
    };
    for (const auto& c : cases) {
        doc->SetToolChoice(0, c.draw);
        doc->SetToolChoice(1, c.modify);
        doc->SetToolChoice(2, c.view);
        view->UpdateTool(c.page);
        EXPECT_EQ(view->RetPaletteTool(1), c.wantPage) << c.draw << " " << c.modify;
        EXPECT_EQ(view->RetPaletteTool(2), c.wantTool) << c.draw << " " << c.modify;
    }
}

TEST_F(ToolsTest, PaletteClicksChangeToolsOptionsAndTheSelection)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    CGraRectRef s = Rect(200, 80, 260, 160);
    palette->Show(false);
    UseTool(1, 6);
    selection->SelectOnly(NodeOf(r));
    // "Stretch" clears the selection, then takes the entry's new state.
    int stretch = -1;
    for (int n = 0; n < CToolPalette::kMaxItems; ++n)
        if (palette->RetItem(n).code == 121)
            stretch = n;
    ASSERT_GE(stretch, 0);
    palette->OnClicTool(palette->RetSwitch(stretch), 0);
    EXPECT_FALSE(selection->HasSelection());
    EXPECT_EQ(selection->GetSelectOption() & 1, 1);
    EXPECT_EQ(palette->GetToolState(121), 1);

    // Two objects and "Rotation": the box's mode.
    selection->SelectOnly(NodeOf(r));
    selection->AddToSelection(NodeOf(s));
    view->RefreshTool();
    for (int n = 0; n < CToolPalette::kMaxItems; ++n)
        if (palette->RetItem(n).code == 91)
            palette->OnClicTool(palette->RetButton(n), 0);
    EXPECT_EQ(selection->GetBoxHandleMode(), CSelectObject::MODE_ROTATE);

    // A drawing tool goes into the document's word of its page.
    view->UpdateTool(0);
    for (int n = 0; n < CToolPalette::kMaxItems; ++n)
        if (palette->RetItem(n).code == 18)
            palette->OnClicTool(palette->RetButton(n), 0);
    EXPECT_EQ(doc->GetToolChoice(0), 18);
    EXPECT_EQ(view->RetPaletteTool(2), 18);
    // Page "Voir" and back: the view tool, then the drawing tool again.
    view->ClickTool(2, ZuEventRef());
    EXPECT_EQ(view->RetPaletteTool(2), 3);
    view->ClickTool(0, ZuEventRef());
    EXPECT_EQ(view->RetPaletteTool(2), 18);
}

// ---------------------------------------------------------------------------
// Finding under the pointer
// ---------------------------------------------------------------------------

TEST_F(ToolsTest, SearchesFindTheTopObjectInViewWithTheDraftMode)
{
    TProbeRectRef low = Rect<TProbeRectRef>(100, 80, 180, 160);
    CGraRectRef high = Rect(140, 120, 220, 200);
    const double z = view->RetZoom();
    // Unfilled rectangles are hit on their sides; the sides cross at
    // (180, 120).
    EXPECT_TRUE(view->FindObjectAt(Page(180, 120), z) == NodeOf(high));
    EXPECT_TRUE(view->FindObjectAt(Page(100, 90), z) == NodeOf(low));
    EXPECT_EQ(low->lastMode, 7);
    settings->switches[CView::OUTLINE] = true;
    EXPECT_TRUE(view->FindObjectAt(Page(100, 90), z) == NodeOf(low));
    EXPECT_EQ(low->lastMode, 0);
    settings->switches[CView::OUTLINE] = false;

    int segment = 5;
    EXPECT_TRUE(view->FindSegmentAt(Page(10, 10), z, segment).IsInvalid());
    EXPECT_EQ(segment, -1);
    EXPECT_TRUE(view->FindTextAt(Page(160, 140), z).IsInvalid());

    // Scrolled away, the object is not found even where it lies.
    const DPoint onLow = Page(100, 90);
    view->SetScrollX(1.0);
    view->SetScrollY(1.0);
    DPoint v = ViewPoint(onLow);
    ASSERT_TRUE(v.x < 0 || v.y < 0 || v.x > 320 || v.y > 240);
    low->lastMode = -1;
    EXPECT_TRUE(view->FindObjectAt(onLow, z).IsInvalid());
    EXPECT_EQ(low->lastMode, -1);
}

TEST_F(ToolsTest, HandlesOfOneObjectOrOnlyTheBoxOfSeveral)
{
    CGraRectRef a = Rect(60, 60, 120, 120);
    CGraRectRef b = Rect(180, 100, 260, 180);
    selection->SelectOnly(NodeOf(a));
    ASSERT_TRUE(selection->IsSingleWithoutBox());
    // A handle is found within 4 pixels of it on both axes, at any zoom.
    DPoint corner;
    int index = -1;
    for (int i = 0; i < a->GetHandleCount() && index < 0; ++i)
        if (a->GetHandle(i, corner))
            index = i;
    ASSERT_GE(index, 0);
    DPoint v = ViewPoint(corner);
    EXPECT_TRUE(view->FindHandleAt(Page(v.x + 3.5, v.y - 3.5)));
    EXPECT_EQ(view->RetInput().handleIndex, index);
    EXPECT_TRUE(view->RetInput().handleNode == NodeOf(a));
    EXPECT_FALSE(view->FindHandleAt(Page(v.x + 4.5, v.y)));

    selection->AddToSelection(NodeOf(b));
    selection->FitBoxToSelection();
    ASSERT_TRUE(selection->IsBoxSelection());
    // An object's own handle away from the box's handles: nothing.
    bool tried = false;
    for (int i = 0; i < a->GetHandleCount(); ++i) {
        DPoint h;
        if (!a->GetHandle(i, h))
            continue;
        const DPoint hv = ViewPoint(h);
        bool nearBox = false;
        for (int k = 0; k < selection->GetHandleCount(); ++k) {
            const DPoint bk = ViewPoint(selection->GetHandlePoint(k));
            nearBox |= std::fabs(bk.x - hv.x) < 9 && std::fabs(bk.y - hv.y) < 9;
        }
        if (nearBox)
            continue;
        tried = true;
        EXPECT_FALSE(view->FindHandleAt(Page(hv.x, hv.y))) << i;
    }
    EXPECT_TRUE(tried);
    const DPoint boxCorner = selection->GetHandlePoint(0);
    DPoint bv = ViewPoint(boxCorner);
    ASSERT_TRUE(view->FindHandleAt(Page(bv.x + 2, bv.y + 2)));
    EXPECT_EQ(view->RetInput().handleIndex, 0);
    EXPECT_NE(view->RetInput().handleNode->RetObject()->IsKindOf(CGraRectRef::RetRuntime()), false);
}

// ---------------------------------------------------------------------------
// Routing, threshold, keys
// ---------------------------------------------------------------------------

TEST_F(ToolsTest, ModesAndTheRightButtonChooseTheFamilyWhateverTheTool)
{
    TProbeRectRef r = Rect<TProbeRectRef>(100, 80, 180, 160);
    r->noEntries = true;
    UseTool(1, 6);
    const double z0 = view->RetZoom();
    const double x0 = settings->x, y0 = settings->y;
    // Hand mode: the selection tool drags the page.
    view->SetHandMode(true);
    DragFromTo(160, 120, 100, 120);
    EXPECT_NE(settings->x, x0);
    EXPECT_DOUBLE_EQ(view->RetZoom(), z0);
    EXPECT_FALSE(selection->HasSelection());
    // Magnifier mode (hand mode off): a click zooms.
    view->SetGlassMode(true);
    EXPECT_FALSE(view->IsHandMode());
    Click(160, 120);
    EXPECT_NEAR(view->RetZoom(), 2 * z0, 1e-9);
    view->SetGlassMode(false);
    settings->zoom = z0;
    settings->x = x0;
    settings->y = y0;
    // The right button, with a drawing tool: the context family, no
    // drawing; a rectangle offers no entries, so no palette shows.
    UseTool(0, 11);
    At(100, 100, 0);
    At(100, 100, MK_RBUTTON);
    EXPECT_TRUE(view->RetInput().contextNode == NodeOf(r));
    EXPECT_EQ(view->RetPointerShape(), 11);
    At(100, 100, 0);
    EXPECT_TRUE(selection->GetCreatedObject().IsInvalid());
    EXPECT_FALSE(view->RetInput().contextPaletteShown);
    EXPECT_FALSE(popup->RetWindow()->IsVisible());
    // With entries the pop-up palette shows them beside the pointer.
    r->noEntries = false;
    At(100, 100, MK_RBUTTON);
    At(100, 100, 0);
    EXPECT_TRUE(view->RetInput().contextPaletteShown);
    EXPECT_TRUE(popup->RetWindow()->IsVisible());
    EXPECT_GE(popup->RetItem(0).code, 0);
}

TEST_F(ToolsTest, ToolsWithoutAPaletteEntryReachTheDrawingHandlers)
{
    for (int tool : {17, 19, 20}) {
        const int32_t table[] = {0, 3, 1, tool, 4, 1, -1};
        palette->SetTools(table);
        ASSERT_EQ(view->RetPaletteTool(2), tool);
        At(200, 200, 0);
        At(200, 200, MK_LBUTTON);
        // Only a drawing press starts the auto scroll here.
        EXPECT_EQ(view->IsAutoScrolling(), tool != 20) << tool;
        At(200, 200, 0);
        EXPECT_FALSE(view->IsAutoScrolling());
        EXPECT_EQ(Children(), 0);
    }
}

TEST_F(ToolsTest, AClickIsUnderFourScreenPixelsOnBothAxesAtEveryZoom)
{
    for (double zoom : {0.5, 1.0, CPageView::ZOOM_100, 10.0}) {
        settings->zoom = zoom;
        const double in = 3.99 / zoom, four = 4.0 / zoom;
        const DPoint o{0, 0};
        EXPECT_TRUE(view->IsClick(o, DPoint{o.x + in, o.y - in})) << zoom;
        EXPECT_FALSE(view->IsClick(o, DPoint{o.x + four, o.y})) << zoom;
        EXPECT_FALSE(view->IsClick(o, DPoint{o.x, o.y - four})) << zoom;
    }
    // As the magnifier meets it: 3 pixels zoom by 2, 4 pixels fit a frame.
    settings->zoom = 2.0;
    UseTool(2, 3);
    DragFromTo(100, 100, 103, 97);
    EXPECT_NEAR(view->RetZoom(), 4.0, 1e-9);
    DragFromTo(100, 100, 104, 100);
    EXPECT_GT(view->RetZoom(), 8.0);
}

TEST_F(ToolsTest, ControlKeysRunTheirCommandsAndDeleteWaitsForNoTextInEditing)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    win->SetMainResponder(view, true);
    Key(VK_CONTROL, 0x1D, true);
    Tap('A', 0x1E);
    Tap('Z', 0x2C);
    Key(VK_CONTROL, 0x1D, false);
    EXPECT_EQ(view->commands, "Redo Undo ");

    selection->SelectOnly(NodeOf(r));
    view->commands.clear();
    Tap(VK_DELETE, 0x53);
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(view->commands, "DeleteSelected DeleteSelected ");
    // Insert duplicates the selection; a letter does nothing.
    view->commands.clear();
    Tap(VK_INSERT, 0x52);
    Tap('Q', 0x10);
    EXPECT_EQ(view->commands, "DuplicateSelected ");

    // A line of text in its own editing takes the keys.
    CGraLineTextRef text = Make<CGraLineTextRef>();
    const DPoint at = Page(60, 200);
    text->SetPoints(&at, 1);
    text->DragPoint(at, 0);
    text->SetText(ZuStringRef("abc"));
    CTreeNodeRef n = Make<CTreeNodeRef>();
    n->SetObject(text);
    n->InsertLastChild(Layer());
    selection->EndSelection();
    selection->SelectForOwnEditing(n);
    text->SetEditing(1);
    view->commands.clear();
    Tap(VK_DELETE, 0x53);
    Tap(VK_BACK, 0x0E);
    EXPECT_EQ(view->commands, "");
}

TEST_F(ToolsTest, AKeyDuringADragNeitherEndsNorCancelsIt)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    UseTool(1, 6);
    win->SetMainResponder(view, true);
    const DPoint before = r->GetHandlePosition(0);
    At(100, 120, 0);
    At(100, 120, MK_LBUTTON);
    At(120, 120, MK_LBUTTON);
    Tap('Q', 0x10);
    Tap(VK_ESCAPE, 0x01);
    EXPECT_TRUE(view->RetInput().moving);
    At(140, 120, MK_LBUTTON);
    At(140, 120, 0);
    CGraObjectRef moved = CGraObjectRef(Layer()->RetFirstChild()->RetObject());
    const DPoint after = moved->GetHandlePosition(0);
    EXPECT_NEAR(after.x - before.x, 40 / view->RetZoom(), 1e-6);
    EXPECT_NEAR(after.y - before.y, 0.0, 1e-6);
}

// ---------------------------------------------------------------------------
// Pointer shapes
// ---------------------------------------------------------------------------

TEST_F(ToolsTest, ShapesOverHandlesFollowTheSelectionAndTheBoxMode)
{
    CGraRectRef a = Rect(60, 60, 120, 120);
    CGraRectRef b = Rect(180, 100, 260, 180);
    UseTool(1, 6);
    selection->SelectOnly(NodeOf(a));
    DPoint h;
    int i = 0;
    while (!a->GetHandle(i, h))
        ++i;
    DPoint v = ViewPoint(h);
    At(v.x, v.y, 0);
    EXPECT_EQ(view->RetPointerShape(), 11);

    selection->AddToSelection(NodeOf(b));
    selection->FitBoxToSelection();
    selection->SetBoxHandleMode(CSelectObject::MODE_ROTATE);
    int corner = -1, centre = -1;
    for (int k = 0; k < selection->GetHandleCount(); ++k) {
        if (selection->GetHandleStyle(k) == 5)
            centre = k;
        else if (corner < 0)
            corner = k;
    }
    ASSERT_GE(corner, 0);
    ASSERT_GE(centre, 0);
    v = ViewPoint(selection->GetHandlePoint(corner));
    At(v.x, v.y, 0);
    EXPECT_EQ(view->RetPointerShape(), 4);
    v = ViewPoint(selection->GetHandlePoint(centre));
    At(v.x, v.y, 0);
    EXPECT_EQ(view->RetPointerShape(), 11);
}

TEST_F(ToolsTest, ShapesOverObjectsByToolAndModifiers)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    CGraRectRef s = Rect(200, 80, 260, 160);
    UseTool(1, 6);
    // Shift: the selection tool keeps its shape, hovers nothing and shows
    // the reticle at the magnetised point.
    Shift(true);
    At(100, 120, 0);
    EXPECT_EQ(view->RetPointerShape(), 1);
    EXPECT_TRUE(view->RetInput().hoverNode.IsInvalid());
    ASSERT_TRUE(view->RetInput().reticleShown);
    const DPoint m = view->Magnetize(Page(100, 120));
    EXPECT_DOUBLE_EQ(view->RetInput().reticle.x, m.x);
    EXPECT_DOUBLE_EQ(view->RetInput().reticle.y, m.y);
    Shift(false);
    At(100, 121, 0);
    EXPECT_EQ(view->RetPointerShape(), r->GetIconId(1));
    EXPECT_TRUE(view->RetInput().hoverNode == NodeOf(r));

    // A drawing tool: an unselected object shows its code without a frame,
    // a selected one 12 with a frame.
    UseTool(0, 11);
    selection->SelectOnly(NodeOf(s));
    At(10, 10, 0);
    At(100, 120, 0);
    EXPECT_EQ(view->RetPointerShape(), r->GetIconId(1));
    EXPECT_TRUE(view->RetInput().hoverNode.IsInvalid());
    At(200, 100, 0);
    EXPECT_EQ(view->RetPointerShape(), 12);
    EXPECT_TRUE(view->RetInput().hoverNode == NodeOf(s));

    // The same code again does not set the cursor again.
    view->SetCursor(ZuAtomRef("probe"));
    At(200, 101, 0);
    EXPECT_EQ(view->RetCursor(), ZuAtomRef("probe"));
    At(10, 10, 0);
    EXPECT_NE(view->RetCursor(), ZuAtomRef("probe"));
}

// ---------------------------------------------------------------------------
// Gestures
// ---------------------------------------------------------------------------

TEST_F(ToolsTest, SelectionPressesClicksBandsAndHandles)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    UseTool(1, 6);
    selection->SelectOnly(NodeOf(r));
    const DPoint before = r->GetHandlePosition(0);
    // A click on the only selected object leaves it where it is, even
    // when the release is a few pixels away.
    At(100, 100, 0);
    At(100, 100, MK_LBUTTON);
    At(102, 97, MK_LBUTTON);
    At(102, 97, 0);
    CGraObjectRef now = CGraObjectRef(Layer()->RetFirstChild()->RetObject());
    EXPECT_DOUBLE_EQ(now->GetHandlePosition(0).x, before.x);
    EXPECT_DOUBLE_EQ(now->GetHandlePosition(0).y, before.y);
    EXPECT_TRUE(selection->HasSelection());

    // Shift over an object starts a band, which alone starts auto scroll.
    Shift(true);
    At(100, 100, 0);
    At(100, 100, MK_LBUTTON);
    EXPECT_TRUE(view->RetInput().rubberBand);
    EXPECT_TRUE(view->IsAutoScrolling());
    At(100, 100, 0);
    EXPECT_FALSE(view->IsAutoScrolling());
    EXPECT_FALSE(view->RetInput().rubberBand);

    // Yet with Shift a handle of the selection is still dragged, without
    // auto scroll; so is a press on an object.
    selection->SelectOnly(Layer()->RetFirstChild());
    DPoint h;
    int i = 0;
    while (!now->GetHandle(i, h))
        ++i;
    const DPoint v = ViewPoint(h);
    At(v.x, v.y, 0);
    At(v.x, v.y, MK_LBUTTON);
    EXPECT_TRUE(view->RetInput().handleDrag);
    EXPECT_FALSE(view->IsAutoScrolling());
    At(v.x, v.y, 0);
    Shift(false);
    EXPECT_FALSE(view->RetInput().handleDrag);
    At(180, 100, MK_LBUTTON);
    EXPECT_TRUE(view->RetInput().moving);
    EXPECT_FALSE(view->IsAutoScrolling());
    At(180, 100, 0);
}

TEST_F(ToolsTest, DrawingOnAHandleEditsAndATextClickStartsALine)
{
    CGraRectRef r = Rect(100, 80, 180, 160);
    UseTool(0, 11);
    selection->SelectOnly(NodeOf(r));
    DPoint h;
    int i = 0;
    while (!r->GetHandle(i, h))
        ++i;
    const DPoint v = ViewPoint(h);
    At(v.x, v.y, 0);
    At(v.x, v.y, MK_LBUTTON);
    EXPECT_TRUE(view->RetInput().handleDrag);
    EXPECT_TRUE(selection->GetCreatedObject().IsInvalid());
    At(v.x + 10, v.y + 10, MK_LBUTTON);
    At(v.x + 10, v.y + 10, 0);
    EXPECT_EQ(Children(), 1);

    // The text tool on an empty place: a new line of text starting at the
    // press point, taken into editing.
    selection->EndSelection();
    UseTool(1, 7);
    Click(240, 200);
    ASSERT_EQ(Children(), 2);
    CTreeNodeRef last = Layer()->RetFirstChild()->RetNext();
    ASSERT_TRUE(last->RetObject()->IsKindOf(CGraLineTextRef::RetRuntime()));
    CGraObjectRef line(last->RetObject());
    const DPoint m = view->Magnetize(Page(240, 200));
    EXPECT_NEAR(line->GetHandlePosition(0).x, m.x, 1e-9);
    EXPECT_NEAR(line->GetHandlePosition(0).y, m.y, 1e-9);
    EXPECT_EQ(line->GetEditMode(), 2);
    EXPECT_EQ(view->RetPaletteTool(2), 7);
}

TEST_F(ToolsTest, ALineOfTextTakesTheLatinOneCharactersTypedAndNoOthers)
{
    UseTool(1, 7);
    win->SetMainResponder(view, true);
    Click(120, 150);
    ASSERT_EQ(Children(), 1);
    CGraLineTextRef line(Layer()->RetFirstChild()->RetObject());
    ASSERT_TRUE(line.IsValid());
    InjectLatinKeys();
    Pump();
    EXPECT_EQ(std::string(line->RetText()->AccessLatin()), "\xC9t\xE9 \xE0 No\xEBl");
}

TEST_F(ToolsTest, MagnifierFactorsAndTheHandKeepsTheZoom)
{
    const struct {
        int tool;
        bool shift;
        double factor;
    } cases[] = {{3, false, 2.0}, {3, true, 0.5}, {4, false, 0.5}, {4, true, 2.0}};
    for (const auto& c : cases) {
        settings->zoom = 2.0;
        UseTool(2, c.tool);
        Shift(c.shift);
        Click(160, 120);
        Shift(false);
        EXPECT_NEAR(view->RetZoom(), 2.0 * c.factor, 1e-9) << c.tool << " " << c.shift;
    }
    settings->zoom = 2.0;
    UseTool(2, 5);
    DragFromTo(160, 120, 40, 20);
    DragFromTo(10, 10, 310, 230);
    DragFromTo(10, 10, 310, 230);
    EXPECT_DOUBLE_EQ(view->RetZoom(), 2.0);
    EXPECT_GE(settings->x, 0.0);
    EXPECT_LE(settings->x, 1.0);
    EXPECT_GE(settings->y, 0.0);
    EXPECT_LE(settings->y, 1.0);
}

TEST_F(ToolsTest, TheCaretBlinksOnTheTickAndAMovedCaretStartsShown)
{
    CGraLineTextRef text = Make<CGraLineTextRef>();
    const DPoint at = Page(60, 200);
    text->SetPoints(&at, 1);
    text->DragPoint(at, 0);
    text->SetText(ZuStringRef("abcdef"));
    CTreeNodeRef n = Make<CTreeNodeRef>();
    n->SetObject(text);
    n->InsertLastChild(Layer());
    CGraPortRef port = view->RetMainPort();
    text->UpdateBoundingBox(port);
    UseTool(1, 7);
    selection->SelectForOwnEditing(n);
    text->SetEditing(1);
    view->UpdateCaret(false);
    ASSERT_TRUE(view->RetInput().caretShown);
    view->StartAutoScroll();
    const int step = int(ZuLookMan::Current()->RetAutoRepeatTime());
    for (int k = 1; k <= 14; ++k) {
        Advance(step);
        EXPECT_EQ(view->RetInput().blink, k % 12) << k;
        EXPECT_EQ(view->RetOverlay().editStep < 8, k % 12 < 8) << k;
    }
    ASSERT_NE(view->RetInput().blink, 0);
    text->TextSetCursor(port, Page(60, 200));
    view->UpdateCaret(false);
    EXPECT_EQ(view->RetInput().blink, 0);
    // Leaving the view keeps the tick going, so the caret keeps blinking.
    view->SetBox(ZuRect(0, 0, 299, 219));
    At(160, 120, 0);
    EXPECT_EQ(view->RetPointerShape(), 9);
    At(310, 230, 0);
    EXPECT_EQ(view->leaves, 1);
    EXPECT_TRUE(view->RetInput().hoverNode.IsInvalid());
    EXPECT_FALSE(view->RetInput().reticleShown);
    EXPECT_TRUE(view->IsAutoScrolling());
    Advance(step);
    EXPECT_EQ(view->RetInput().blink, 1);
}

// ---------------------------------------------------------------------------
// Feedback of an object being drawn
// ---------------------------------------------------------------------------

namespace {

// The view away from its window's corner, with its feedback device made as
// the main window makes it.
class CreationFeedbackTest : public ToolsTest {
protected:
    CreationFeedbackTest() { viewBox = ZuRect(40, 30, 319, 239); }
    void SetUp() override
    {
        ToolsTest::SetUp();
        view->ResizeRendering();
        Pump();
    }
    // A pixel of what the screen shows of the view's window.
    unsigned ViewPixel(int x, int y)
    {
        app->SyncWindows(true);
        Pump();
        const ZuGrailWindowRef& screen = win->RetScreenWindow();
        uint32_t p = 0xDEADBEEF;
        if (screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr)
            W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, x, y, p);
        return p & 0xFFFFFF;
    }
    // Black within a pixel of (x, y), across a horizontal edge or along a
    // vertical one.
    bool InkNear(int x, int y, bool horizontalEdge)
    {
        for (int d = -1; d <= 1; d++)
            if (ViewPixel(horizontalEdge ? x : x + d, horizontalEdge ? y + d : y) == 0)
                return true;
        return false;
    }
    bool FeedbackEmpty()
    {
        GSContextRef overlay = view->RetInteractionContext();
        view->RetOverlayPort()->Flush();
        overlay->ReadBack();
        const unsigned char* b = overlay->RetBuffer();
        for (size_t i = 0; i < overlay->RetBufferSize(); i++)
            if (b[i] != 0xFF)
                return false;
        return true;
    }
};

} // namespace

TEST_F(CreationFeedbackTest, TheOutlineOfANewRectangleFollowsThePointerUntilTheRelease)
{
    UseTool(0, 11);
    At(120, 90, 0);
    At(120, 90, MK_LBUTTON);
    At(170, 130, MK_LBUTTON);
    // The outline from the press point to the pointer, where the pointer
    // is, while nothing is made yet.
    EXPECT_EQ(Children(), 0);
    EXPECT_TRUE(InkNear(145, 90, true));
    EXPECT_TRUE(InkNear(120, 110, false));
    EXPECT_FALSE(InkNear(145, 70, true));
    EXPECT_FALSE(InkNear(100, 110, false));

    // It grows with the pointer, and the outline of the step before goes.
    At(220, 170, MK_LBUTTON);
    EXPECT_EQ(Children(), 0);
    EXPECT_TRUE(InkNear(195, 90, true));
    EXPECT_TRUE(InkNear(120, 150, false));
    EXPECT_FALSE(InkNear(170, 110, false));
    EXPECT_FALSE(InkNear(145, 130, true));

    // The release makes the object: the feedback is gone and the rendered
    // rectangle stands in the outline's place.
    At(220, 170, 0);
    EXPECT_EQ(Children(), 1);
    EXPECT_TRUE(FeedbackEmpty());
    EXPECT_TRUE(InkNear(195, 90, true));
    EXPECT_TRUE(InkNear(120, 150, false));
}

TEST_F(CreationFeedbackTest, BetweenClicksTheSegmentToThePointerIsDrawnButNotTaken)
{
    UseTool(0, 13);
    Click(120, 90);
    ASSERT_TRUE(selection->IsCreating());
    const CGraObjectRef polygon = selection->GetCreatedObject();
    ASSERT_EQ(polygon->GetHandleCount(), 3);
    const DPoint first = polygon->GetHandlePosition(1);
    // The segment from the point clicked to the pointer, and none to where
    // the pointer was before.
    At(220, 150, 0);
    At(220, 90, 0);
    EXPECT_TRUE(InkNear(170, 90, true));
    EXPECT_FALSE(InkNear(170, 120, true));
    EXPECT_EQ(polygon->GetHandleCount(), 3);
    EXPECT_EQ(polygon->GetHandlePosition(1).x, first.x);
    EXPECT_EQ(polygon->GetHandlePosition(1).y, first.y);
    // The next click takes its point where it was clicked.
    Click(220, 150);
    ASSERT_EQ(polygon->GetHandleCount(), 6);
    const DPoint second = polygon->GetHandlePosition(4);
    const DPoint want = view->Magnetize(Page(220, 150));
    EXPECT_NEAR(second.x, want.x, 1e-9);
    EXPECT_NEAR(second.y, want.y, 1e-9);
    EXPECT_EQ(Children(), 0);
}
