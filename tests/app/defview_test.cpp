// The definition view as a user meets it: the style buttons and panes of
// each definition type, the pane of the definition's variant, the plain
// pane of a disabled view, the index buttons with their tips and colours,
// shared definitions edited themselves and others as copies, the reports
// of a change of variant, and definitions whose count or index are out of
// range.
#include <gtest/gtest.h>

#include <string>

#include "app/arrowdef.h"
#include "app/colordef.h"
#include "app/button.h"
#include "app/defview.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "si/classfactory.h"
#include "si/string.h"
#include "tests/app/panetest.h"

// A colour definition that answers a count and an index out of range, as a
// damaged file could leave them; shared, so the view holds it itself.
ZU_HANDLE(TWildColorDef, CColorDef)
class TWildColorDef : public CColorDef {
    ZU_CLASS(TWildColorDef, CColorDef)
public:
    TWildColorDef() { SetShared(true); }
    int GetCount() const override { return 25; }
    int GetIndex() const override { return 40; }
};
ZU_CLASS_END(TWildColorDef)
ZU_IMPLEMENT_CLASS(TWildColorDef, "tests/app/defview_test", ZU_CLASS_PLAIN)

namespace {

bool HasClass(const char* name)
{
    ZuRuntimeRef runtime;
    return ZuClassFactory::GetClass(name, runtime) && runtime.IsValid();
}

std::string ClassOf(const ZuObjectRef& o)
{
    return o.IsValid() ? o->RetRuntime()->RetClassName() : "";
}

class DefViewTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        // A window large enough for the whole card, where clicks go.
        pw = NewShownWindow(420, 20, 420, 260);
    }
    void TearDown() override
    {
        if (view.IsValid())
            view->Delete();
        view = CDefViewRef();
        Pump();
        PaneTest::TearDown();
    }
    // A view of the type and kind, placed as the dialog places its cards.
    void Make(int type, int kind)
    {
        view = ZuNew<CDefView>(Zuvi_app_zone);
        view->SetSize(405, 196);
        ASSERT_TRUE(view->Create(type, kind, 39, 57));
        view->SetParent(pw);
        // Away from the window's corner, as a card stands in its stack.
        view->SetOrigin(6, 8);
        view->PlacePanes();
        Pump();
    }
    // A click at the middle of a view of the card (boxes are in window
    // coordinates).
    void ClickOn(const ZuViewRef& v)
    {
        const ZuRect& b = v->RetBox();
        Click(b.X1() + b.DX() / 2, b.Y1() + b.DY() / 2);
    }
    void ClickStyle(int slot)
    {
        const ZuViewRef b = view->RetTagged(CDefView::STYLE_TAG + slot);
        ASSERT_TRUE(b.IsValid());
        ClickOn(b);
    }
    int AttachedIndexButtons()
    {
        int n = 0;
        for (int i = 0; i < CDefView::SLOTS; ++i)
            n += view->RetIndexButton(i)->RetParent().IsValid();
        return n;
    }
    static bool On(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ON); }
    static bool Enabled(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ENABLED); }

    CDefViewRef view;
};

} // namespace

TEST_F(DefViewTest, EachTypeHasItsStyleButtonsAndPanesAPlainPaneStandingInForMissingOnes)
{
    struct Case {
        int type, kind;
        std::vector<int> keys, panes;
    };
    const Case cases[] = {
        {20, 15, {50, 51, 52, 53}, {0, 0, 0, 0}},
        {10, 10, {40, 41}, {0, 1}},
        {30, 20, {60, 61, 62, 64}, {0, 1, 2, 3}},
        {11, 11, {201, 200}, {0, 1}},
        {12, 12, {190, 191}, {1, 0}},
        {70, 100, {120, 116, 117, 118, 119}, {1, 0, 0, 0, 0}},
        {50, 30, {110, 111, 112, 113, 114}, {1, 0, 0, 0, 0}},
        {60, 40, {66, 67, 68, 69}, {1, 0, 0, 0}},
        {40, 50, {58, 59}, {0, 0}},
        {41, 51, {220, 221}, {0, 0}},
        {80, 120, {45}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Make(c.type, c.kind);
        for (int slot = 0; slot < CDefView::SLOTS; ++slot) {
            const bool has = slot < int(c.keys.size());
            EXPECT_EQ(view->RetStyleKey(slot), has ? c.keys[size_t(slot)] : -1);
            EXPECT_EQ(view->RetStylePane(slot), has ? c.panes[size_t(slot)] : -1);
            EXPECT_EQ(view->RetTagged(CDefView::STYLE_TAG + slot).IsValid(), has);
        }
        // Every pane a style names exists: its class when the program has
        // it, the plain pane otherwise.
        for (int slot = 0; slot < 4; ++slot) {
            const char* name = CDefView::PaneClassName(c.type, slot);
            const CDefPaneRef pane = view->RetPaneAt(slot);
            if (name != nullptr) {
                EXPECT_EQ(ClassOf(pane), HasClass(name) ? name : "CDefPane") << slot;
            }
            if (pane.IsValid()) {
                EXPECT_EQ(pane->RetKind(), c.kind);
            }
        }
        for (int p : c.panes)
            EXPECT_TRUE(view->RetPaneAt(p).IsValid());
        EXPECT_EQ(ClassOf(view->RetPaneAt(CDefView::PLAIN_SLOT)), "CDefPane");
        view->Delete();
        view = CDefViewRef();
    }
    // Without a table the view builds nothing.
    CDefViewRef bare = ZuNew<CDefView>(Zuvi_app_zone);
    EXPECT_FALSE(bare->Create(999, 7, 39, 57));
    EXPECT_FALSE(bare->RetPaneAt(0).IsValid());
    EXPECT_FALSE(bare->RetTagged(CDefView::STYLE_TAG).IsValid());
    bare->Delete();
}

TEST_F(DefViewTest, TheDefinitionsValueChoosesTheStyleAndItsPane)
{
    Make(60, 40);
    const struct {
        int value, slot;
    } cases[] = {{66, 0}, {67, 1}, {68, 2}, {69, 3}, {12, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        CArrowDefRef arrow = ZuNew<CArrowDef>(Zuvi_app_zone);
        arrow->SetValue(c.value);
        view->SetDefinition(CDefRef(ZuObjectRef(arrow)));
        Pump();
        EXPECT_EQ(view->RetCurrentStyle(), c.slot);
        EXPECT_TRUE(view->RetShownPane() == view->RetPaneAt(view->RetStylePane(c.slot)));
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(On(view->RetTagged(CDefView::STYLE_TAG + s)), s == c.slot);
    }
    // Panes stand at the pane point, in the window's frame.
    EXPECT_EQ(view->RetShownPane()->RetBox().X1(), 39);
    EXPECT_EQ(view->RetShownPane()->RetBox().Y1(), 57);
    // "Pas de flèche" shows the plain pane, the heads the arrow pane.
    ClickStyle(0);
    EXPECT_EQ(ClassOf(view->RetShownPane()), "CDefPane");
    ClickStyle(2);
    EXPECT_EQ(ClassOf(view->RetShownPane()), "CArrowPane");
    EXPECT_EQ(view->RetDefinition()->GetValue(), 68);
    // An empty handle installs a new definition of the kind's type.
    view->SetDefinition(CDefRef());
    ASSERT_TRUE(view->RetDefinition().IsValid());
    EXPECT_EQ(ClassOf(view->RetDefinition()), "CArrowDef");
}

TEST_F(DefViewTest, ADisabledViewShowsThePlainPaneAndGreysItsStylesUntilEnabled)
{
    Make(70, 100);
    CPositionDefRef position = ZuNew<CPositionDef>(Zuvi_app_zone);
    position->SetValue(118);
    view->SetDefinition(CDefRef(ZuObjectRef(position)));
    Pump();
    ASSERT_EQ(view->RetCurrentStyle(), 3);
    EXPECT_EQ(ClassOf(view->RetShownPane()), "CPositionPane");

    EXPECT_TRUE(view->SetEnable(false));
    Pump();
    EXPECT_TRUE(view->RetShownPane() == view->RetPaneAt(CDefView::PLAIN_SLOT));
    for (int s = 0; s < 5; ++s) {
        const ZuViewRef b = view->RetTagged(CDefView::STYLE_TAG + s);
        EXPECT_FALSE(Enabled(b)) << s;
        EXPECT_FALSE(On(b)) << s;
    }
    // A click on a greyed button changes nothing.
    ClickStyle(1);
    EXPECT_EQ(view->RetCurrentStyle(), 3);
    EXPECT_EQ(Reports(), "");

    EXPECT_TRUE(view->SetEnable(true));
    Pump();
    EXPECT_EQ(ClassOf(view->RetShownPane()), "CPositionPane");
    EXPECT_TRUE(On(view->RetTagged(CDefView::STYLE_TAG + 3)));
    EXPECT_TRUE(Enabled(view->RetTagged(CDefView::STYLE_TAG + 3)));
}

TEST_F(DefViewTest, IndexButtonsFollowTheCountWithTheirTipsAndColours)
{
    Make(20, 25);
    CColorDefRef one = ZuNew<CColorDef>(Zuvi_app_zone);
    view->SetDefinition(CDefRef(ZuObjectRef(one)));
    Pump();
    EXPECT_EQ(AttachedIndexButtons(), 0);

    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
    colours->SetCount(4);
    colours->SetStyle(2);
    const unsigned rgb[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int i = 0; i < 4; ++i) {
        colours->SetIndex(i);
        colours->SetRGB((rgb[i] >> 16) / 255.0, ((rgb[i] >> 8) & 0xFF) / 255.0,
                        (rgb[i] & 0xFF) / 255.0);
    }
    colours->SetIndex(2);
    view->SetDefinition(CDefRef(ZuObjectRef(colours)));
    Pump();
    EXPECT_EQ(AttachedIndexButtons(), 4);
    EXPECT_EQ(view->RetDefinition()->GetIndex(), 2);
    const char* tips[] = {"Couleur A", "Couleur B", "Couleur C", "Couleur D"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const CButtonColorRef b = view->RetIndexButton(i);
        EXPECT_EQ(Latin(b->RetToolTip()), tips[i]);
        EXPECT_EQ(On(b), i == 2);
        // The swatch shows the colour: its middle on the screen.
        const ZuRect& box = b->RetBox();
        EXPECT_EQ(box.X1(), 6 + 35 + 36 * i);
        EXPECT_EQ(box.Y1(), 8);
        const int mx = int(box.X1() + 18), my = int(box.Y1() + 9);
        EXPECT_TRUE(Near(PanePixel(mx, my), rgb[i])) << std::hex << PanePixel(mx, my);
    }
    // Choosing a value by its button moves the index and marks it.
    ClickOn(view->RetIndexButton(1));
    EXPECT_EQ(view->RetDefinition()->GetIndex(), 1);
    EXPECT_TRUE(On(view->RetIndexButton(1)));
    EXPECT_FALSE(On(view->RetIndexButton(2)));

    // Background and lines of a hatching, a background then six colours.
    const struct {
        int style, count;
        const char* first;
        const char* second;
        const char* last;
    } tables[] = {{1, 3, "Fond", "Traits", ""},
                  {3, 7, "Fond", "Couleur A", "Couleur F"},
                  {4, 7, "Couleur A", "Couleur B", ""},
                  {9, 2, "", "", ""}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.style);
        CColorDefRef d = ZuNew<CColorDef>(Zuvi_app_zone);
        d->SetCount(t.count);
        d->SetStyle(t.style);
        view->SetDefinition(CDefRef(ZuObjectRef(d)));
        EXPECT_EQ(AttachedIndexButtons(), t.count);
        EXPECT_EQ(Latin(view->RetIndexButton(0)->RetToolTip()), t.first);
        EXPECT_EQ(Latin(view->RetIndexButton(1)->RetToolTip()), t.second);
        EXPECT_EQ(Latin(view->RetIndexButton(t.count - 1)->RetToolTip()), t.last);
    }
}

TEST_F(DefViewTest, ACountOrIndexOutOfRangeShowsTenButtonsAndTheLastMarked)
{
    Make(20, 25);
    TWildColorDefRef wild = ZuNew<TWildColorDef>(Zuvi_app_zone);
    view->SetDefinition(CDefRef(ZuObjectRef(wild)));
    Pump();
    EXPECT_EQ(AttachedIndexButtons(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(On(view->RetIndexButton(i)), i == 9) << i;
}

TEST_F(DefViewTest, ASharedDefinitionIsEditedItselfAnyOtherAsACopy)
{
    Make(40, 50);
    CPolyRegDefRef plain = ZuNew<CPolyRegDef>(Zuvi_app_zone);
    plain->SetValue(58);
    view->SetDefinition(CDefRef(ZuObjectRef(plain)));
    EXPECT_FALSE(view->RetDefinition() == ZuObjectRef(plain));
    EXPECT_TRUE(view->RetDefinition()->IsEqualCurrent(CDefRef(ZuObjectRef(plain))));
    ClickStyle(1);
    EXPECT_EQ(view->RetDefinition()->GetValue(), 59);
    EXPECT_EQ(plain->GetValue(), 58);

    CPolyRegDefRef shared = ZuNew<CPolyRegDef>(Zuvi_app_zone);
    shared->SetShared(true);
    shared->SetValue(58);
    view->SetDefinition(CDefRef(ZuObjectRef(shared)));
    EXPECT_TRUE(view->RetDefinition() == ZuObjectRef(shared));
    ClickStyle(1);
    EXPECT_EQ(shared->GetValue(), 59);
}

TEST_F(DefViewTest, AChangeOfVariantReportsWithTheFlagsOfItsStyle)
{
    Make(40, 50);
    CPolyRegDefRef polygon = ZuNew<CPolyRegDef>(Zuvi_app_zone);
    polygon->SetValue(58);
    view->SetDefinition(CDefRef(ZuObjectRef(polygon)));
    Reports();
    ClickStyle(1);
    EXPECT_EQ(Reports(), "Modify Full ");
    view->Delete();

    Make(70, 100);
    view->SetDefinition(CDefRef());
    Reports();
    ClickStyle(0);
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_TRUE(view->RetShownPane() == view->RetPaneAt(1));
    EXPECT_EQ(ClassOf(view->RetShownPane()), "CDefPane");
    // The variant without parameters is written all the same, and the
    // kind registered for the page view.
    EXPECT_EQ(view->RetDefinition()->GetValue(), 120);
    int* codes = nullptr;
    int count = 0;
    view->RetPaneAt(1)->GetCodes(&codes, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(codes[0], 100);

    // Buttons with tags outside the ranges are refused.
    CButtonRef stray = ZuNew<CButton>(Zuvi_app_zone);
    stray->SetUserTag(CDefView::STYLE_TAG + 10);
    EXPECT_FALSE(view->OnClickStyle(ZuObjectRef(stray), 0));
    stray->SetUserTag(CDefView::INDEX_TAG - 1);
    EXPECT_FALSE(view->OnClickIndex(ZuObjectRef(stray), 0));
    stray->SetUserTag(CDefView::INDEX_TAG + 10);
    EXPECT_FALSE(view->OnClickIndex(ZuObjectRef(stray), 0));
    stray->Delete();
    EXPECT_EQ(Reports(), "");
}
