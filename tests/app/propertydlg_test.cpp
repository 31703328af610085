// The properties window in the running program: its three appearances,
// rows made from what an object publishes, typing and pointing reported
// to the page view, the alignment panel's codes; and what a damaged
// drawing may publish (too many rows, values that are no numbers).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/graarc.h"
#include "app/graline.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/propertydlg.h"
#include "app/slider.h"
#include "app/textlinearrow.h"
#include "app/toolpalette.h"
#include "app/tree.h"
#include "si/classfactory.h"
#include "si/icon.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"
#include "tests/support/dialogs.h"

// An object publishing whatever rows a test gives it.
ZU_HANDLE(TPropObject, CGraObject)
class TPropObject : public CGraObject {
    ZU_CLASS(TPropObject, CGraObject)
public:
    struct Row {
        int flags;
        int unit;
        double step;
        int option;
        double value;
        bool given;
    };
    TPropObject() {}
    int GetPropertyCount() const override { return count; }
    bool GetPropertyFlags(int n, int& out) const override
    {
        return Get(n, [&](const Row& r) { out = r.flags; });
    }
    bool GetPropertyUnit(int n, int& out) const override
    {
        return Get(n, [&](const Row& r) { out = r.unit; });
    }
    bool GetPropertyName(int n, ZuStringRef& out) const override
    {
        out = ZuStringRef(("Ligne " + std::to_string(n)).c_str());
        return true;
    }
    bool GetPropertyDescription(int n, ZuStringRef& out) const override
    {
        out = ZuStringRef(("Description " + std::to_string(n)).c_str());
        return true;
    }
    bool GetPropertyRange(int, double& min, double& max) const override
    {
        min = -100.0;
        max = 100.0;
        return true;
    }
    bool GetPropertyStep(int n, double& out) const override
    {
        return Get(n, [&](const Row& r) { out = r.step; });
    }
    bool GetPropertyOption(int n, int& out) const override
    {
        return Get(n, [&](const Row& r) { out = r.option; });
    }
    bool GetPropertyValue(int n, double& out) const override
    {
        if (n < 0 || n >= int(rows.size()) || !rows[size_t(n)].given)
            return false;
        out = rows[size_t(n)].value;
        return true;
    }
    bool GetTypeName(ZuStringRef& out) const override
    {
        out = ZuStringRef("Essai");
        return true;
    }
    template <class F>
    bool Get(int n, F f) const
    {
        if (n < 0 || n >= int(rows.size()))
            return false;
        f(rows[size_t(n)]);
        return true;
    }
    std::vector<Row> rows;
    int count = 0;
};
ZU_CLASS_END(TPropObject)
ZU_IMPLEMENT_CLASS(TPropObject, "tests/app/propertydlg_test", ZU_CLASS_PLAIN)

namespace {

class PropertyDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        dlg = CPropertyDlgRef(app->RetPropertyDlg());
        ASSERT_TRUE(dlg.IsValid());
        view = CPageViewRef(Main()->RetPageView());
        sel = view->RetSelectObject();
        CTreeNodeRef layer;
        app->RetDocument()->GetTree()->GetNode(layer, 0, 0);
        this->layer = layer;
        // What the dialog reports, heard as the page view hears it.
        reports = ZuNew<TAnswerLog>(Zuvi_app_zone);
        for (const char* path : {"property.notify_Modify", "property.notify_Redraw"})
            app->AttachAsyncObserver(reports, ZuAtomPathRef(path), ZuStringRef("Heard"), 0);
    }
    // The reports delivered since the last call.
    std::string Reports()
    {
        app->FireAsyncEvents();
        const std::string out = reports->log;
        reports->log.clear();
        return out;
    }
    void TearDown() override
    {
        reports->Delete();
        reports = TAnswerLogRef();
        dlg = CPropertyDlgRef();
        sel = CSelectObjectRef();
        view = CPageViewRef();
        layer = CTreeNodeRef();
        ShellTest::TearDown();
    }
    // The object put last on the layer; its node.
    CTreeNodeRef Insert(const CGraObjectRef& object)
    {
        CTreeNodeRef n = ZuNew<CTreeNode>(Zuvi_app_zone);
        n->SetObject(object);
        n->InsertLastChild(layer);
        return n;
    }
    CTreeNodeRef Rect(double x1, double y1, double x2, double y2)
    {
        CGraRectRef r = ZuNew<CGraRect>(Zuvi_app_zone);
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        return Insert(r);
    }
    CTreeNodeRef Line(double x1, double y1, double x2, double y2)
    {
        CGraLineRef l = ZuNew<CGraLine>(Zuvi_app_zone);
        const DPoint start = {x1, y1};
        l->SetPoints(&start, 1);
        l->PlacePoint(DPoint{x2, y2}, 0);
        return Insert(l);
    }
    void Select(const std::vector<CTreeNodeRef>& nodes)
    {
        for (const CTreeNodeRef& n : nodes)
            CGraObjectRef(n->RetObject())->SetEditMode(1);
        sel->RebuildSelection();
        sel->RebuildPropertyDlg(false);
        Pump();
    }
    // The properties window opened as the command does.
    void Open()
    {
        view->SwapProperty();
        Pump();
        ASSERT_TRUE(dlg->IsVisible());
    }
    std::string Title() const
    {
        const ZuTextRef t = dlg->RetWindow()->RetTitle();
        return t.IsValid() ? t->RetString()->AccessLatin() : "";
    }
    static bool Shown(const ZuViewRef& v) { return v.IsValid() && v->RetParent().IsValid(); }
    static double Top(const ZuViewRef& v)
    {
        double x = 0, y = 0;
        v->GetOrigin(x, y);
        return y;
    }
    static std::string Text(const ZuTextLineRef& line)
    {
        const ZuStringRef s = line->RetText();
        return s.IsValid() && s->AccessLatin() != nullptr ? s->AccessLatin() : "";
    }
    // The pointer on a point of the window, then off it.
    void Pointer(double x, double y)
    {
        double ox = 0, oy = 0;
        dlg->RetWindow()->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
        Pump();
    }
    void ClickAt(const ZuViewRef& v, double dx, double dy)
    {
        // Views are placed in window coordinates.
        double x = 0, y = 0;
        v->GetOrigin(x, y);
        Click(dlg->RetWindow(), x + dx, y + dy);
    }
    void TypeInto(int row, const char* text)
    {
        ClickAt(dlg->RetEntry(row), 10, 10);
        W32_HeadlessKey(VK_END, 0x4F, false, true);
        W32_HeadlessKey(VK_END, 0x4F, false, false);
        for (int i = 0; i < 10; ++i) {
            W32_HeadlessKey(VK_BACK, 0x0E, false, true);
            W32_HeadlessKey(VK_BACK, 0x0E, false, false);
        }
        for (const char* p = text; *p; ++p) {
            const UINT vk = *p == '-' ? VK_SUBTRACT : *p == '.' ? VK_DECIMAL : UINT(*p);
            W32_HeadlessKey(vk, 0, false, true);
            W32_HeadlessKey(vk, 0, false, false);
        }
        Pump();
    }
    struct Modification {
        int entry, property;
        double value;
        int option;
    };
    Modification Last() const
    {
        Modification m{};
        dlg->RetModification(&m.entry, &m.property, &m.value, &m.option);
        return m;
    }

    // A pixel of the main window, as the screen shows it.
    struct Spot {
        int x, y;
    };
    // The main window's pixel where a page point shows; the view puts its
    // marks on whole pixels.
    Spot Where(const DPoint& page) const
    {
        DPoint p = page;
        view->PageToView(p);
        // The window's pixels count its frame too.
        ZuRect frame;
        Main()->RetWindow()->GetFrameGeometry(frame);
        return {int(std::floor(p.x - frame.X1())), int(std::floor(p.y - frame.Y1()))};
    }
    // The main window once the page view heard what the dialog reported.
    void Show()
    {
        app->FireAsyncEvents();
        Pump();
    }
    std::uint32_t At(int x, int y)
    {
        std::uint32_t p = 0xDEADBEEF;
        W32_HeadlessWindowPixel(Hwnd(Main()->RetWindow()), x, y, p);
        return p & 0xFFFFFF;
    }
    // The document's colour of the property marks ("Propri\xe9t\xe9").
    std::uint32_t MarkColour() const
    {
        double r = 0, g = 0, b = 0;
        app->RetDocument()->GetColor(11)->GetRGB(r, g, b);
        const ZuColorPixel p(r, g, b, 0.0);
        return std::uint32_t(p.Red()) << 16 | std::uint32_t(p.Green()) << 8 | p.Blue();
    }
    // The screen's pixels carry fewer bits than the colours.
    static bool Same(std::uint32_t a, std::uint32_t b)
    {
        for (int shift : {0, 8, 16}) {
            const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
            if (d > 8 || d < -8)
                return false;
        }
        return true;
    }
    // Whether the marks' colour shows on the spot or a pixel beside it.
    bool MarkAt(const Spot& s)
    {
        const std::uint32_t mark = MarkColour();
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (Same(At(s.x + dx, s.y + dy), mark))
                    return true;
        return false;
    }
    // Whether a value label fills most of the rectangle: a white box with
    // text in the marks' colour.
    bool LabelIn(int x1, int y1, int x2, int y2)
    {
        const std::uint32_t mark = MarkColour();
        int white = 0, ink = 0, all = 0;
        for (int x = x1; x <= x2; ++x)
            for (int y = y1; y <= y2; ++y) {
                const std::uint32_t p = At(x, y);
                white += Same(p, 0xFFFFFF);
                ink += Same(p, mark);
                ++all;
            }
        return white >= all / 3 && ink >= 4;
    }

    CPropertyDlgRef dlg;
    CPageViewRef view;
    CSelectObjectRef sel;
    CTreeNodeRef layer;
    TAnswerLogRef reports;
};

} // namespace

TEST_F(PropertyDlgTest, NoSelectionShowsOnlyTheEmptyText)
{
    EXPECT_FALSE(dlg->IsVisible());
    Open();
    EXPECT_EQ(Title(), "Propri\xe9t\xe9s ");
    ASSERT_TRUE(Shown(dlg->RetEmptyTag()));
    EXPECT_FALSE(Shown(dlg->RetPanelBox()));
    for (int i = 0; i < CPropertyDlg::ROWS; ++i)
        EXPECT_FALSE(Shown(dlg->RetEntry(i))) << i;
    EXPECT_EQ(std::string(dlg->RetUserName()->RetText()), "property");
    // The command toggles it.
    view->SwapProperty();
    EXPECT_FALSE(dlg->IsVisible());
}

TEST_F(PropertyDlgTest, SeveralObjectsShowTheCentreAndThePanel)
{
    const CTreeNodeRef a = Rect(10, 10, 30, 40);
    const CTreeNodeRef b = Rect(50, 40, 70, 80);
    Open();
    Select({a, b});
    EXPECT_EQ(Title(), "Propri\xe9t\xe9s S\xe9lection 2 objets");
    EXPECT_FALSE(Shown(dlg->RetEmptyTag()));
    ASSERT_TRUE(Shown(dlg->RetEntry(0)));
    ASSERT_TRUE(Shown(dlg->RetEntry(1)));
    EXPECT_FALSE(Shown(dlg->RetEntry(2)));
    EXPECT_STREQ(dlg->RetLabel(0)->RetText()->AccessLatin(), "Position X");
    EXPECT_STREQ(dlg->RetLabel(1)->RetText()->AccessLatin(), "Position Y");
    EXPECT_EQ(Top(dlg->RetLabel(0)), 5);
    EXPECT_EQ(Top(dlg->RetLabel(1)), 24);
    EXPECT_TRUE(Shown(dlg->RetHiliteSwitch(0)));
    EXPECT_TRUE(Shown(dlg->RetHiliteSwitch(1)));
    ASSERT_TRUE(Shown(dlg->RetSeparator(1)));
    EXPECT_EQ(Top(dlg->RetSeparator(1)), 46);
    const DPoint centre = PageToUserPoint(sel->GetCenter());
    EXPECT_NEAR(dlg->RetEntry(0)->GetValue(), centre.x, 0.01);
    EXPECT_NEAR(dlg->RetEntry(1)->GetValue(), centre.y, 0.01);

    // The panel in "Aligner": seven buttons, three references and the
    // unticked thickness box.
    ASSERT_TRUE(Shown(dlg->RetPanelBox()));
    const char* const want[] = {"Sur zone s\xe9lectionn\xe9"
                                "e",
                                "Sur bord de page", "Sur guide s\xe9lectionn\xe9",
                                "Ignorer l'\xe9paisseur"};
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(Shown(dlg->RetReferenceSwitch(k)));
        EXPECT_STREQ(dlg->RetReferenceSwitch(k)->RetTitle()->AccessLatin(), want[k]);
        EXPECT_EQ(dlg->RetReferenceSwitch(k)->RetSwitchState(), k == 0);
    }
    int shown = 0;
    for (int i = 0; i < CPropertyDlg::BUTTONS; ++i)
        shown += Shown(dlg->RetButton(i)) ? 1 : 0;
    EXPECT_EQ(shown, 7);
    EXPECT_FALSE(Shown(dlg->RetButton(CPropertyDlg::SPACE_H)));

    // Left, clicked with the thickness ignored: the code reaches the page
    // view, which aligns the left edges.
    ClickAt(dlg->RetReferenceSwitch(3), 6, 8);
    ClickAt(dlg->RetButton(CPropertyDlg::LEFT), 11, 11);
    EXPECT_EQ(dlg->RetLastOperation(), 0x4);
    const CTreeNodeRef na = layer->RetFirstChild();
    const CTreeNodeRef nb = na->RetNext();
    EXPECT_NEAR(CGraObjectRef(na->RetObject())->GetHandlesBox().x1,
                CGraObjectRef(nb->RetObject())->GetHandlesBox().x1, 0.01);
}

TEST_F(PropertyDlgTest, EachPanelButtonSendsItsCodeCompletedByTheSwitches)
{
    Open();
    Select({Rect(10, 10, 30, 40), Rect(50, 40, 70, 80)});
    struct Case {
        bool distribute;
        int reference; // reference switch turned on, -1 none
        bool ignore;   // "Ignorer l'épaisseur" ticked
        int button;
        int code;
    } cases[] = {
        {false, -1, false, CPropertyDlg::LEFT, 0x1004},
        {false, -1, true, CPropertyDlg::LEFT, 0x4},
        {false, -1, false, CPropertyDlg::GRID, 0x1200},
        {false, 1, false, CPropertyDlg::UP, 0x1401},
        {false, 2, true, CPropertyDlg::CENTER_V, 0x820},
        {true, -1, false, CPropertyDlg::RIGHT, 0x1108},
        {true, 1, true, CPropertyDlg::SPACE_H, 0x540},
        {true, -1, true, CPropertyDlg::SPACE_V, 0x180},
    };
    using Handler = bool (CPropertyDlg::*)();
    const Handler handlers[CPropertyDlg::BUTTONS] = {
        &CPropertyDlg::OnButtonUp,      &CPropertyDlg::OnButtonDown,
        &CPropertyDlg::OnButtonLeft,    &CPropertyDlg::OnButtonRight,
        &CPropertyDlg::OnButtonCenterH, &CPropertyDlg::OnButtonCenterV,
        &CPropertyDlg::OnButtonSpaceH,  &CPropertyDlg::OnButtonSpaceV,
        &CPropertyDlg::OnButtonGrid};
    for (const Case& c : cases) {
        // The user picks the operation; the references start over.
        ClickAt(dlg->RetOperationSwitch(c.distribute ? 1 : 0), 6, 10);
        ASSERT_EQ(dlg->RetOperationSwitch(1)->RetSwitchState(), c.distribute);
        EXPECT_TRUE(dlg->RetReferenceSwitch(0)->RetSwitchState());
        EXPECT_FALSE(dlg->RetReferenceSwitch(3)->RetSwitchState());
        EXPECT_EQ(Shown(dlg->RetReferenceSwitch(2)), !c.distribute);
        EXPECT_EQ(Shown(dlg->RetButton(CPropertyDlg::GRID)), !c.distribute);
        EXPECT_EQ(Shown(dlg->RetButton(CPropertyDlg::SPACE_H)), c.distribute);
        if (c.reference >= 0)
            ClickAt(dlg->RetReferenceSwitch(c.reference), 6, 8);
        if (c.ignore)
            ClickAt(dlg->RetReferenceSwitch(3), 6, 8);
        (dlg.Resolve()->*handlers[c.button])();
        EXPECT_EQ(dlg->RetLastOperation(), c.code) << c.button << " " << c.distribute;
        // Back to "Aligner" for the next case, which resets the switches.
        ClickAt(dlg->RetOperationSwitch(0), 6, 10);
    }
    // A switch of another kind is not the panel's.
    EXPECT_FALSE(dlg->OnRadioOper(ZuObjectRef(dlg->RetReferenceSwitch(0)), 0));
    EXPECT_TRUE(dlg->OnSwitchOper(ZuObjectRef(dlg->RetReferenceSwitch(0)), 0));
    EXPECT_FALSE(dlg->OnSwitchOper(ZuObjectRef(dlg->RetOperationSwitch(0)), 0));
}

TEST_F(PropertyDlgTest, TypingAndPointingReportToThePageView)
{
    const CTreeNodeRef a = Rect(10, 10, 30, 40);
    Open();
    Select({a});
    EXPECT_EQ(Title().rfind("Propri\xe9t\xe9s ", 0), 0u);
    EXPECT_GT(Title().size(), std::string("Propri\xe9t\xe9s ").size());
    ASSERT_TRUE(Shown(dlg->RetEntry(6)));
    EXPECT_STREQ(dlg->RetLabel(6)->RetText()->AccessLatin(), "Largeur");
    EXPECT_NEAR(dlg->RetEntry(6)->GetValue(), 20.0, 0.01);
    EXPECT_FALSE(Shown(dlg->RetPanelBox()));

    // Typing in the width row: the row, its value and its option word go
    // to the page view, which widens the rectangle.
    Reports();
    TypeInto(6, "50");
    EXPECT_NE(Reports().find("property.notify_Modify"), std::string::npos);
    const Modification m = Last();
    EXPECT_EQ(m.entry, 6);
    EXPECT_EQ(m.property, 6);
    EXPECT_NEAR(m.value, 50.0, 1e-9);
    EXPECT_EQ(m.option, -1);
    EXPECT_EQ(dlg->RetHiliteMask(), 1 << 6);
    app->FireAsyncEvents();
    Pump();
    CGraObjectRef now(layer->RetFirstChild()->RetObject());
    double width = 0;
    ASSERT_TRUE(now->GetPropertyValue(6, width));
    EXPECT_NEAR(width, 50.0, 0.01);
    // Beyond the bounds: the value reported is held at the maximum.
    TypeInto(6, "9999");
    EXPECT_NEAR(Last().value, 2000.0, 1e-9);

    // The pointer into row 2's entry and out of it: the highlight follows.
    double x = 0, y = 0;
    dlg->RetEntry(2)->GetOrigin(x, y);
    Reports();
    Pointer(x + 5, y + 5);
    EXPECT_EQ(dlg->RetFocusMask(), 1 << 2);
    EXPECT_EQ(Reports(), "property.notify_Redraw ");
    Pointer(2, 250);
    EXPECT_EQ(dlg->RetFocusMask(), 0);
    EXPECT_EQ(Reports(), "property.notify_Redraw ");
    // A highlight switch clicked twice leaves the mask as it was.
    ASSERT_TRUE(Shown(dlg->RetHiliteSwitch(2)));
    ClickAt(dlg->RetHiliteSwitch(2), 8, 8);
    Pointer(2, 250);
    dlg->OnTextLeave(ZuObjectRef(dlg->RetEntry(6)), 0);
    EXPECT_EQ(dlg->RetSwitchedMask(), 1 << 2);
    EXPECT_EQ(dlg->RetHiliteMask(), 1 << 2);
    ClickAt(dlg->RetHiliteSwitch(2), 8, 8);
    EXPECT_EQ(dlg->RetSwitchedMask(), 0);
    // A control that is not a row is refused (the panel's switch, 300).
    EXPECT_FALSE(dlg->OnTextChanged(ZuObjectRef(dlg->RetOperationSwitch(0)), 0));
    EXPECT_FALSE(dlg->OnClickSwitch(ZuObjectRef(dlg->RetOperationSwitch(0)), 0));
    EXPECT_FALSE(dlg->OnClickOnlyOne());
}

TEST_F(PropertyDlgTest, PublishedRowsLayOutByTheirFlags)
{
    Open();
    TPropObjectRef o = ZuNew<TPropObject>(Zuvi_app_zone);
    // Rows: 0 plain with extra space; 1 hidden; 2 a wedge after it and a
    // zero step taking the vertical grid step; 3 the single-point switch
    // above it; 4 a line after it, unit degrees.
    o->rows = {{0x2, 0, 1.0, 7, 1.0, true},
               {0x4, 0, 1.0, 0, 2.0, true},
               {0x100 | 0x40, 0, 0.0, 0, 3.0, true},
               {0x400 | 0x800, 0, 0.0, 9, 4.0, true},
               {0x80, 13, 0.1, 0, 0.5, true}};
    o->count = 5;
    view->RetView()->values[4] = 2.5;
    view->RetView()->values[5] = 7.5;
    dlg->UpdateSelection(o, 1);
    EXPECT_EQ(Title(), "Propri\xe9t\xe9s Essai");
    EXPECT_EQ(Top(dlg->RetLabel(0)), 5);
    EXPECT_FALSE(Shown(dlg->RetLabel(1)));
    EXPECT_EQ(Top(dlg->RetLabel(2)), 29); // 5 + 19 + 5, row 1 taking no space
    ASSERT_TRUE(Shown(dlg->RetSeparator(2)));
    EXPECT_EQ(Top(dlg->RetSeparator(2)), 50);
    EXPECT_DOUBLE_EQ(dlg->RetEntry(2)->GetStep(), 7.5);
    ASSERT_TRUE(Shown(dlg->RetOnlyOneSwitch()));
    EXPECT_EQ(Top(dlg->RetOnlyOneSwitch()), 63);
    EXPECT_EQ(Top(dlg->RetLabel(3)), 82);
    EXPECT_DOUBLE_EQ(dlg->RetEntry(3)->GetStep(), 2.5);
    EXPECT_TRUE(Shown(dlg->RetHiliteSwitch(3)));
    EXPECT_FALSE(Shown(dlg->RetHiliteSwitch(0)));
    EXPECT_EQ(dlg->RetEntry(4)->GetUnit(), 13);
    EXPECT_EQ(Top(dlg->RetSeparator(4)), 101 + 19 + 3);
    EXPECT_TRUE(dlg->RetOnlyOneSwitch()->RetSwitchState());
    EXPECT_FALSE(Shown(dlg->RetPanelBox()));

    // The single-point switch reports its row with no entry.
    ClickAt(dlg->RetOnlyOneSwitch(), 6, 7);
    Modification m = Last();
    EXPECT_EQ(m.entry, -1);
    EXPECT_EQ(m.property, 3);
    EXPECT_EQ(m.value, 0.0);
    EXPECT_EQ(m.option, 9);

    // The same object again: no entry is built anew.
    const int builds = dlg->RetEntryBuilds();
    dlg->UpdateSelection(o, 1);
    EXPECT_EQ(dlg->RetEntryBuilds(), builds);

    // A refresh skipping row 0 leaves what the user typed there.
    dlg->RetEntry(0)->SetValue(42.0);
    o->rows[0].value = 11.0;
    o->rows[2].value = 12.0;
    Reports();
    dlg->UpdateValues(o, 0);
    EXPECT_EQ(Reports(), "");
    EXPECT_DOUBLE_EQ(dlg->RetEntry(0)->GetValue(), 42.0);
    EXPECT_DOUBLE_EQ(dlg->RetEntry(2)->GetValue(), 12.0);
    // Nothing is reported while the dialog writes its own values.
    EXPECT_EQ(Last().property, 3);
}

TEST_F(PropertyDlgTest, DamagedObjectsShowAtMostThirtyRowsAndEmptyRowsForNoNumbers)
{
    Open();
    TPropObjectRef o = ZuNew<TPropObject>(Zuvi_app_zone);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 45; ++i)
        o->rows.push_back({0, 0, 1.0, 0, double(i), true});
    o->rows[3].value = nan;
    o->rows[4].value = inf;
    o->rows[5].value = -inf;
    o->rows[6].given = false;
    o->count = 45;
    // Rows 0 to 29 only, none past the dialog's own.
    ASSERT_TRUE(dlg->UpdateSelection(o, 1));
    for (int i = 0; i < CPropertyDlg::ROWS; ++i)
        EXPECT_TRUE(Shown(dlg->RetEntry(i))) << i;
    for (int i : {3, 4, 5, 6}) {
        EXPECT_EQ(Text(dlg->RetEntry(i)), "") << i;
        EXPECT_FALSE(dlg->RetEntry(i)->RetState().TestBit(ZU_VIEW_IS_ENABLED)) << i;
    }
    EXPECT_TRUE(dlg->RetEntry(7)->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_DOUBLE_EQ(dlg->RetEntry(29)->GetValue(), 29.0);
    // A value that comes back is shown and enabled again.
    o->rows[3].value = 1.5;
    dlg->UpdateValues(o, -1);
    EXPECT_TRUE(dlg->RetEntry(3)->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_DOUBLE_EQ(dlg->RetEntry(3)->GetValue(), 1.5);
    // A count that is negative shows no row and stops nothing.
    o->count = -5;
    EXPECT_TRUE(dlg->UpdateSelection(o, 1));
    EXPECT_FALSE(Shown(dlg->RetEntry(0)));
}

class PropertyMarksTest : public PropertyDlgTest {
protected:
    // What a highlighted row measures over the page: spots on its lines
    // and arrows that take the marks' colour, and where its value label
    // lies.
    struct Measure {
        std::vector<Spot> lines;
        int x1, y1, x2, y2; // the label's text
    };
    void SetUp() override
    {
        PropertyDlgTest::SetUp();
        // The rulers' zero 60 mm left of and 50 mm below the page's
        // centre, where the lines of positions run.
        const CViewRef settings = view->RetView();
        settings->origin_x = 105.0 - 60.0;
        settings->origin_y = 148.5 - 50.0;
    }
    Spot O() const { return Where(DPoint{-60.0, -50.0}); }
    // The one object selected, the others not.
    void SelectOnly(const CTreeNodeRef& node)
    {
        for (CTreeNodeRef n = layer->RetFirstChild(); n.IsValid(); n = CTreeNodeRef(n->RetNext()))
            CGraObjectRef(n->RetObject())->SetEditMode(n == node ? 1 : 0);
        sel->RebuildSelection();
        sel->RebuildPropertyDlg(false);
        Show();
    }
    // A horizontal position: the line through the origin, the arrow from
    // it to the point, the value ending left of and above the point.
    Measure Horizontal(const Spot& p) const
    {
        const Spot o = O();
        return {{{o.x, p.y - 40}, {o.x, p.y + 40}, {(o.x + p.x) / 2, p.y}},
                p.x - 25,
                p.y - 17,
                p.x - 6,
                p.y - 10};
    }
    // A vertical position: the same turned, the value right of and below.
    Measure Vertical(const Spot& p) const
    {
        const Spot o = O();
        return {{{p.x - 40, o.y}, {p.x + 40, o.y}, {p.x, (3 * o.y + p.y) / 4}},
                p.x + 10,
                p.y + 8,
                p.x + 30,
                p.y + 15};
    }
    bool Measured(const Measure& m)
    {
        for (const Spot& s : m.lines)
            if (!MarkAt(s)) {
                ADD_FAILURE() << "no mark at " << s.x << "," << s.y;
                return false;
            }
        // A mark without a value has an empty label rectangle.
        return m.x2 < m.x1 || LabelIn(m.x1, m.y1, m.x2, m.y2);
    }
    bool Unmarked(const Measure& m)
    {
        for (const Spot& s : m.lines)
            if (MarkAt(s))
                return false;
        return m.x2 < m.x1 || !LabelIn(m.x1, m.y1, m.x2, m.y2);
    }
};

// Each kind of mark where the row puts it: positions from the origin,
// a length, extents and an angle, each with its value.
TEST_F(PropertyMarksTest, EachHighlightedRowIsMeasuredOverThePage)
{
    const CTreeNodeRef rect = Rect(-40, -30, 20, 10);
    CGraArcRef arc = ZuNew<CGraArc>(Zuvi_app_zone);
    const DPoint centre = {40, 40};
    arc->SetPoints(&centre, 0);
    arc->DragPoint(DPoint{60, 20}, 0);
    const CTreeNodeRef circle = Insert(arc);
    const CTreeNodeRef segment = Line(-80, 60, -30, 100);
    Open();
    const struct {
        const char* what;
        CTreeNodeRef node;
        int row;
        std::function<Measure(const Spot& p, const Spot& q)> where;
    } cases[] = {
        // The line's second end chosen: a cross-hair through it across the
        // whole window, without a value.
        {"Point", segment, 2,
         [&](const Spot& p, const Spot&) {
             const Spot far = Where(DPoint{-100, 140});
             return Measure{
                 {{p.x - 30, p.y}, {p.x + 30, p.y}, {p.x, p.y + 30}, {far.x, p.y}, {p.x, far.y}},
                 0,
                 0,
                 -1,
                 -1};
         }},
        {"X", rect, 0, [&](const Spot& p, const Spot&) { return Horizontal(p); }},
        {"Y", rect, 1, [&](const Spot& p, const Spot&) { return Vertical(p); }},
        // The top edge, left to right: extension lines up from both ends,
        // the arrow 15 pixels up, the value above its middle.
        {"Largeur", rect, 6,
         [&](const Spot& p, const Spot& q) {
             EXPECT_EQ(p.y, q.y);
             EXPECT_LT(p.x, q.x);
             const int m = (p.x + q.x) / 2;
             return Measure{{{p.x, p.y - 10}, {q.x, q.y - 10}, {m, p.y - 15}},
                            m - 10,
                            p.y - 27,
                            m + 10,
                            p.y - 21};
         }},
        // From the centre to the lower right: extension lines up to 20
        // pixels above the centre, the arrow 5 pixels above it.
        {"Rayon X", circle, 2,
         [&](const Spot& p, const Spot& q) {
             EXPECT_LT(p.y, q.y);
             const int m = (p.x + q.x) / 2;
             return Measure{{{p.x, p.y - 12}, {q.x, p.y - 12}, {m, p.y - 5}},
                            m - 10,
                            p.y - 17,
                            m + 10,
                            p.y - 11};
         }},
        // Extension lines right to 20 pixels past the lower right, the
        // arrow 5 pixels past it, the value beside the arrow.
        {"Rayon Y", circle, 3,
         [&](const Spot& p, const Spot& q) {
             EXPECT_LT(p.x, q.x);
             const int m = (p.y + q.y) / 2;
             return Measure{{{q.x + 15, p.y}, {q.x + 15, q.y}, {q.x + 5, m}},
                            q.x + 13,
                            m - 3,
                            q.x + 30,
                            m + 4};
         }},
        // The reference line right from the centre, the line to the start
        // point and the arc between them at half the distance; the value
        // beyond the arc's middle.
        {"Angle d\xe9"
         "but",
         circle, 4,
         [&](const Spot& p, const Spot& q) {
             const double dx = q.x - p.x, dy = q.y - p.y, length = std::hypot(dx, dy);
             const double mid = std::atan2(-dy, dx) / 2.0, r = length / 2.0;
             EXPECT_GT(std::fabs(mid), 0.3);
             const int lx = int(std::floor(p.x + (r + 5) * std::cos(mid)));
             const int ly =
                 int(std::floor(p.y - (r + 5) * std::sin(mid))) + (std::sin(mid) < 0 ? 8 : 0);
             return Measure{{{p.x + int(0.75 * length), p.y},
                             {p.x + int(0.75 * dx), p.y + int(0.75 * dy)},
                             {p.x + int(std::lround(r * std::cos(mid))),
                              p.y - int(std::lround(r * std::sin(mid)))}},
                            lx + 1,
                            ly - 7,
                            lx + 15,
                            ly};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SelectOnly(c.node);
        if (c.node == segment) {
            CGraObjectRef(segment->RetObject())->SetPropertyValue(2, 2.0);
            sel->RebuildPropertyDlg(false);
            Show();
        }
        DPoint a, b;
        int kind = 0;
        ASSERT_TRUE(CGraObjectRef(c.node->RetObject())->GetPropertyHandles(c.row, a, b, kind));
        const Measure m = c.where(Where(a), Where(b));
        EXPECT_TRUE(Unmarked(m));
        ClickAt(dlg->RetHiliteSwitch(c.row), 8, 8);
        ASSERT_EQ(dlg->RetHiliteMask(), 1 << c.row);
        Show();
        EXPECT_TRUE(Measured(m));
        ClickAt(dlg->RetHiliteSwitch(c.row), 8, 8);
        Show();
        EXPECT_TRUE(Unmarked(m));
    }

    // Another colour chosen for the marks: they take it.
    SelectOnly(rect);
    ClickAt(dlg->RetHiliteSwitch(0), 8, 8);
    Show();
    const Measure x = Horizontal(Where(DPoint{-10, -10}));
    const std::uint32_t blue = MarkColour();
    app->RetDocument()->GetColor(11)->SetRGB(0.0, 0.5, 0.0);
    view->RefreshDisplay(false);
    Show();
    EXPECT_NE(MarkColour(), blue);
    EXPECT_TRUE(Measured(x));
    for (const Spot& s : x.lines)
        EXPECT_FALSE(Same(At(s.x, s.y), blue));
}

TEST_F(PropertyMarksTest, HighlightedRowsAreMeasuredOnThePage)
{
    const CTreeNodeRef a = Rect(-40, -30, 20, 10);
    Open();
    Select({a});
    // Row 0, the horizontal position of the rectangle's centre; row 1 its
    // vertical position; row 6, the width along the top edge.
    const Spot centre = Where(DPoint{-10, -10}), left = Where(DPoint{-40, 10}),
               right = Where(DPoint{20, 10});
    const Measure x = Horizontal(centre), y = Vertical(centre);
    const Measure width{{{left.x, left.y - 10}, {right.x, right.y - 10}}, 0, 0, -1, -1};
    // Nothing highlighted, nothing measured.
    ASSERT_EQ(dlg->RetHiliteMask(), 0);
    EXPECT_TRUE(Unmarked(x));
    EXPECT_TRUE(Unmarked(width));

    ClickAt(dlg->RetHiliteSwitch(0), 8, 8);
    ClickAt(dlg->RetHiliteSwitch(6), 8, 8);
    ASSERT_EQ(dlg->RetHiliteMask(), 1 | 1 << 6);
    Show();
    EXPECT_TRUE(Measured(x));
    EXPECT_TRUE(MarkAt(width.lines[0]));
    EXPECT_TRUE(MarkAt(width.lines[1]));
    EXPECT_TRUE(Unmarked(y));
    // The pointer in row 1's entry takes over from the switches.
    dlg->OnTextEnter(ZuObjectRef(dlg->RetEntry(1)), 0);
    Show();
    EXPECT_TRUE(Measured(y));
    EXPECT_TRUE(Unmarked(x));
    EXPECT_FALSE(MarkAt(width.lines[0]));
    dlg->OnTextLeave(ZuObjectRef(dlg->RetEntry(1)), 0);
    Show();
    EXPECT_TRUE(Measured(x));
    // Nothing selected: nothing measured.
    CGraObjectRef(a->RetObject())->SetEditMode(0);
    sel->RebuildSelection();
    view->RefreshDisplay(false);
    Show();
    EXPECT_TRUE(Unmarked(x));
    EXPECT_FALSE(MarkAt(width.lines[0]));
    // Hidden, the dialog has nothing measured.
    Select({a});
    ClickAt(dlg->RetHiliteSwitch(0), 8, 8);
    ClickAt(dlg->RetHiliteSwitch(6), 8, 8);
    Show();
    EXPECT_TRUE(Measured(x));
    dlg->Hide(true);
    view->RefreshDisplay(false);
    Show();
    EXPECT_TRUE(Unmarked(x));
    EXPECT_FALSE(MarkAt(width.lines[1]));
}

// A length between two points that coincide has no direction: that mark
// and the later rows' are left out, the earlier rows' stay.
TEST_F(PropertyMarksTest, ALengthOfNothingStopsTheMarks)
{
    const CTreeNodeRef a = Rect(-40, -30, -40, 10);
    Open();
    Select({a});
    // Row 6, the width, runs between two corners that are one point;
    // row 7, the height, along the left edge.
    DPoint p, q, w1, w2;
    int kind = 0;
    const CGraObjectRef o(a->RetObject());
    ASSERT_TRUE(o->GetPropertyHandles(6, w1, w2, kind));
    ASSERT_EQ(kind, 4);
    EXPECT_EQ(Where(w1).x, Where(w2).x);
    EXPECT_EQ(Where(w1).y, Where(w2).y);
    ASSERT_TRUE(o->GetPropertyHandles(7, p, q, kind));
    ASSERT_EQ(kind, 4);
    const Spot P = Where(p), Q = Where(q);
    ASSERT_EQ(P.x, Q.x);
    ASSERT_GT(P.y, Q.y);
    // From the bottom up: the extension lines go left.
    const Measure height{{{P.x - 10, P.y}, {Q.x - 10, Q.y}, {P.x - 15, (P.y + Q.y) / 2}},
                         P.x - 40,
                         (P.y + Q.y) / 2 - 6,
                         P.x - 22,
                         (P.y + Q.y) / 2 - 1};
    const Measure y = Vertical(Where(DPoint{-40, -10}));
    ClickAt(dlg->RetHiliteSwitch(7), 8, 8);
    Show();
    EXPECT_TRUE(Measured(height));
    ClickAt(dlg->RetHiliteSwitch(1), 8, 8);
    ClickAt(dlg->RetHiliteSwitch(6), 8, 8);
    ASSERT_EQ(dlg->RetHiliteMask(), 1 << 1 | 1 << 6 | 1 << 7);
    Show();
    EXPECT_TRUE(Measured(y));
    EXPECT_TRUE(Unmarked(height));
}

// Several objects: one mark for the centre of them all, its x on row 0
// and its y on row 1, none for each object.
TEST_F(PropertyMarksTest, SeveralObjectsAreMeasuredAtTheirCentre)
{
    CGraPortRef port = view->RetMainPort();
    for (const CTreeNodeRef& n : {Rect(-40, -30, 20, 10), Rect(30, 20, 50, 40)})
        CGraObjectRef(n->RetObject())->UpdateBoundingBox(port);
    view->Redraw(true);
    Show();
    // The selection tool, chosen on the palette.
    const CToolPaletteRef palette(view->RetToolPalette(0));
    ASSERT_TRUE(ClickPaletteEntry(palette, 1));
    ASSERT_TRUE(ClickPaletteEntry(palette, 6));
    // Both taken in a band dragged around them, then the window opened.
    double ox = 0, oy = 0;
    Main()->RetWindow()->GetWindowOrigin(ox, oy);
    DPoint from{-50, -40}, to{60, 50};
    view->PageToView(from);
    view->PageToView(to);
    const struct {
        double x, y;
        unsigned buttons;
    } steps[] = {{from.x, from.y, 0},
                 {from.x, from.y, MK_LBUTTON},
                 {(from.x + to.x) / 2, (from.y + to.y) / 2, MK_LBUTTON},
                 {to.x, to.y, MK_LBUTTON},
                 {to.x, to.y, 0}};
    for (const auto& step : steps) {
        W32_HeadlessMouse(int(ox + step.x), int(oy + step.y), step.buttons);
        Pump();
    }
    ASSERT_EQ(sel->GetSelectedCount(), 2);
    Open();
    const DPoint c = sel->GetCenter();
    ASSERT_NEAR(c.x, 5.0, 1.0);
    ASSERT_NEAR(c.y, 5.0, 1.0);
    const Measure x = Horizontal(Where(c)), y = Vertical(Where(c));
    EXPECT_TRUE(Unmarked(x));
    ClickAt(dlg->RetHiliteSwitch(0), 8, 8);
    Show();
    EXPECT_TRUE(Measured(x));
    EXPECT_TRUE(Unmarked(y));
    // No arrow runs to either object's own centre.
    EXPECT_FALSE(MarkAt(Where(DPoint{-50, -10})));
    EXPECT_FALSE(MarkAt(Where(DPoint{25, 30})));
    ClickAt(dlg->RetHiliteSwitch(1), 8, 8);
    Show();
    EXPECT_TRUE(Measured(x));
    EXPECT_TRUE(Measured(y));
    EXPECT_FALSE(MarkAt(Where(DPoint{-10, -40})));
}

// A circle drawn whole, from its centre down to the right: the rows show
// its own radii, the vertical one negative as the drag made it, and its
// own angles of a quarter and a whole turn.
TEST_F(PropertyDlgTest, AWholeCircleShowsItsOwnRadiiAndAngles)
{
    CGraArcRef arc = ZuNew<CGraArc>(Zuvi_app_zone);
    const DPoint centre = {60, 60};
    arc->SetPoints(&centre, 0);
    arc->DragPoint(DPoint{90, 20}, 0);
    CTreeNodeRef n = ZuNew<CTreeNode>(Zuvi_app_zone);
    n->SetObject(arc);
    n->InsertLastChild(layer);
    Open();
    Select({n});
    ASSERT_EQ(Title(), "Propri\xe9t\xe9s Arc cercle/ellipse");
    const struct {
        int row;
        const char* label;
        double value, shown;
    } rows[] = {{2, "Rayon X", 40.0, 40.0},
                {3, "Rayon Y", -40.0, -40.0},
                {4,
                 "Angle d\xe9"
                 "but",
                 1.57079632675, 90.0},
                {5, "Angle fin", 6.283185307, 360.0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.label);
        ASSERT_TRUE(Shown(dlg->RetEntry(r.row)));
        const ZuStringRef label = dlg->RetLabel(r.row)->RetText();
        EXPECT_STREQ(label.IsValid() ? label->AccessLatin() : "", r.label);
        double value = 0;
        ASSERT_TRUE(arc->GetPropertyValue(r.row, value));
        EXPECT_NEAR(value, r.value, 1e-9);
        EXPECT_NEAR(dlg->RetEntry(r.row)->GetValue(), r.value, 1e-6);
        EXPECT_NEAR(std::strtod(Text(dlg->RetEntry(r.row)).c_str(), nullptr), r.shown, 0.01)
            << Text(dlg->RetEntry(r.row));
    }
}

// A selection that hides rows leaves nothing of theirs in the window: a
// line, then a rectangle (whose rows lie elsewhere, so that entries are
// built again), then a group, then nothing, each picked with the pointer on
// the page and grouped through the menu. No unit button, arrow or slider
// stays in the window but those of the entries shown, and the window shows
// "Aucun objet s\xe9lectionn\xe9" over nothing else.
TEST_F(PropertyDlgTest, HiddenRowsLeaveNothingOfTheirsInTheWindow)
{
    Line(-80, 60, -30, 100);
    Rect(-60, -30, -20, 10);
    Rect(-10, -60, 20, -40);
    CGraPortRef port = view->RetMainPort();
    for (CTreeNodeRef n = layer->RetFirstChild(); n.IsValid(); n = CTreeNodeRef(n->RetNext()))
        CGraObjectRef(n->RetObject())->UpdateBoundingBox(port);
    view->Redraw(true);
    Open();
    // The selection tool, chosen on the palette.
    const CToolPaletteRef palette(view->RetToolPalette(0));
    ASSERT_TRUE(ClickPaletteEntry(palette, 1));
    ASSERT_TRUE(ClickPaletteEntry(palette, 6));
    const ZuWindowRef& main = Main()->RetWindow();
    auto at = [&](double x, double y, unsigned buttons) {
        DPoint p{x, y};
        view->PageToView(p);
        double ox = 0, oy = 0;
        main->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + p.x), int(oy + p.y), buttons);
        Pump();
    };
    auto pick = [&](double x, double y) {
        W32_AdvanceTestClock(1000);
        at(x, y, 0);
        at(x, y, MK_LBUTTON);
        at(x, y, 0);
        Show();
    };
    const ZuWindowRef& w = dlg->RetWindow();
    // Every unit button, arrow and slider in the window belongs to an entry
    // that is shown; an entry out of the window has none of its parts in it.
    auto parts_follow_entries = [&](const std::string& state) {
        std::vector<ZuViewRef> owned;
        for (int i = 0; i < CPropertyDlg::ROWS; ++i) {
            const CTextLineArrowRef& e = dlg->RetEntry(i);
            if (e.IsInvalid())
                continue;
            const ZuViewRef parts[] = {ZuViewRef(e->RetUnitButton()), ZuViewRef(e->RetPlusArrow()),
                                       ZuViewRef(e->RetMinusArrow()), ZuViewRef(e->RetSlider())};
            for (const ZuViewRef& part : parts) {
                if (part.IsInvalid())
                    continue;
                EXPECT_TRUE(part->RetParent() == e->RetParent())
                    << state << ": a part of row " << i << " away from its entry";
                if (Shown(ZuViewRef(e)))
                    owned.push_back(part);
            }
        }
        ZuViewRef c;
        for (bool more = w->GetFirstChild(c); more && c.IsValid();) {
            if (c->IsKindOf(ZuIconRef::RetRuntime()) || c->IsKindOf(CSliderRef::RetRuntime())) {
                bool found = false;
                for (const ZuViewRef& part : owned)
                    found = found || part == c;
                const ZuRect& b = c->RetBox();
                EXPECT_TRUE(found)
                    << state << ": a part of no entry shown at " << b.X1() << "," << b.Y1();
            }
            ZuViewRef next;
            more = c->GetNextSibling(next);
            c = next;
        }
    };

    pick(-55, 80);
    ASSERT_NE(Title(), "Propri\xe9t\xe9s ");
    parts_follow_entries("line");
    pick(-40, -10);
    ASSERT_EQ(Title(), "Propri\xe9t\xe9s Rectangle");
    parts_follow_entries("rectangle");
    // Both rectangles in a box drawn from an empty spot, then grouped.
    W32_AdvanceTestClock(1000);
    at(-70, 20, 0);
    at(-70, 20, MK_LBUTTON);
    at(-20, -30, MK_LBUTTON);
    at(30, -70, MK_LBUTTON);
    at(30, -70, 0);
    Show();
    ASSERT_EQ(Title(), "Propri\xe9t\xe9s S\xe9lection 2 objets");
    ChooseMenuRow(2, 12);
    Show();
    ASSERT_EQ(Title(), "Propri\xe9t\xe9s Groupe");
    parts_follow_entries("group");
    pick(60, -80);
    ASSERT_EQ(Title(), "Propri\xe9t\xe9s ");
    parts_follow_entries("nothing");

    // The window's pixels: its ground everywhere but round the text, and
    // the text where it stands.
    app->SyncWindows(true);
    double left = 0, top = 0;
    w->GetFrameOffset(left, top);
    auto pixel = [&](int x, int y) {
        std::uint32_t p = 0xDEADBEEF;
        W32_HeadlessWindowPixel(Hwnd(w), int(left) + x, int(top) + y, p);
        return p & 0xFFFFFF;
    };
    double width = 0, height = 0, tx = 0, ty = 0;
    w->GetSize(width, height);
    dlg->RetEmptyTag()->GetMinSize(tx, ty);
    const int x1 = int((width - tx) / 2) - 3, x2 = int((width + tx) / 2) + 3;
    const int y1 = int((height - ty) / 2) - 3, y2 = int((height + ty) / 2) + 3;
    const std::uint32_t ground = pixel(2, 2);
    int strays = 0, ink = 0;
    for (int y = 0; y < int(height); ++y)
        for (int x = 0; x < int(width); ++x) {
            const bool text = x >= x1 && x <= x2 && y >= y1 && y <= y2;
            if (text)
                ink += pixel(x, y) != ground;
            else if (pixel(x, y) != ground && strays++ < 5)
                ADD_FAILURE() << "not the ground at " << x << "," << y << ": " << std::hex
                              << pixel(x, y);
        }
    EXPECT_EQ(strays, 0);
    EXPECT_GT(ink, 20);
}
