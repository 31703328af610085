// The numeric entry as panes and dialogs use it: its parts laid out beside
// it and following it, stepping by the arrows and Page Up / Page Down with
// rounding to the step, whole-number units, the unit button between the
// document's units, tool tips with the range, the slider coupling, typed
// text that is not a number, and the document's change of units.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/document.h"
#include "app/misc.h"
#include "app/textlinearrow.h"
#include "app/view.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/app/panecontrols.h"
#include "w32/winuser.h"

namespace {

std::string Latin(const ZuStringRef& s)
{
    if (s.IsInvalid())
        return "<none>";
    const char* latin = s->AccessLatin();
    return latin != nullptr ? std::string(latin) : std::string();
}

void ExpectBox(const ZuViewRef& v, double x, double y, double dx, double dy)
{
    const ZuRect& r = v->RetBox();
    EXPECT_EQ(r.X1(), x);
    EXPECT_EQ(r.Y1(), y);
    EXPECT_EQ(r.DX(), dx);
    EXPECT_EQ(r.DY(), dy);
}

class EntryTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        doc = ZuNew<CDocument>(Zuvi_app_zone);
        doc->SetUnit(0, 23);
        doc->SetUnit(1, 24);
        SetCurrentDocument(doc, CViewRef());
        entry = ZuNew<CTextLineArrow>(Zuvi_app_zone);
        entry->SetParent(w);
    }
    void TearDown() override
    {
        SetCurrentDocument(CDocumentRef(), CViewRef());
        entry->Delete();
        entry = CTextLineArrowRef();
        doc = CDocumentRef();
        PaneControlTest::TearDown();
    }
    // An entry in millimetres at (10, 10), 60 x 20, with a slider.
    void BuildMm(int unit = 23, bool with_slider = true)
    {
        entry->Build(10, 10, 60, 20, unit, with_slider,
                     CSlider::HORIZONTAL | CSlider::LEFT_GRADUATE | CSlider::RIGHT_GRADUATE);
        reports->Watch(entry, {"notify_user_text_changed"});
    }
    // A click of its own: the clock moves on first, so that clicks in a
    // row do not count as a double click.
    void Click(double x, double y)
    {
        Advance(1000);
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    void Plus() { Click(93, 12); }
    void Minus() { Click(93, 27); }
    void Focus() { Click(40, 20); }
    std::string Text() const { return Latin(entry->RetText()); }
    CDocumentRef doc;
    CTextLineArrowRef entry;
};

TEST_F(EntryTest, BuildPutsThePartsRightOfTheTextAndTheyFollowTheEntry)
{
    BuildMm();
    ExpectBox(entry, 10, 10, 60, 20);
    ExpectBox(entry->RetUnitButton(), 70, 10, 16, 20);
    ExpectBox(entry->RetPlusArrow(), 86, 10, 15, 11);
    ExpectBox(entry->RetMinusArrow(), 86, 19, 15, 11); // 2 pixels shared
    // The slider with 10 graduations and room on both sides.
    ExpectBox(entry->RetSlider(), 103, 9, 74, 22);
    EXPECT_EQ(entry->GetSliderGrad(), 10u);
    for (const ZuViewRef& part :
         {ZuViewRef(entry->RetUnitButton()), ZuViewRef(entry->RetPlusArrow()),
          ZuViewRef(entry->RetMinusArrow()), ZuViewRef(entry->RetSlider())})
        EXPECT_TRUE(part->RetParent() == ZuViewRef(w));
    entry->SetBox(ZuRect(20, 40, 99, 63));
    ExpectBox(entry->RetUnitButton(), 100, 40, 16, 24);
    ExpectBox(entry->RetPlusArrow(), 116, 40, 15, 13);
    ExpectBox(entry->RetMinusArrow(), 116, 51, 15, 13);
    ExpectBox(entry->RetSlider(), 133, 39, 74, 26);
    ZuWindowRef other = NewShownWindow(400, 100, 200, 120);
    entry->SetParent(other);
    EXPECT_TRUE(entry->RetSlider()->RetParent() == ZuViewRef(other));
    EXPECT_TRUE(entry->RetUnitButton()->RetWindow() == other);
    // Without a slider its operations do nothing and succeed.
    CTextLineArrowRef bare = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    bare->Build(0, 0, 50, 20, 11, false, 0);
    EXPECT_TRUE(bare->RetSlider().IsInvalid());
    EXPECT_TRUE(bare->SetSliderLog(2) && bare->SetSliderGrad(5) && bare->SetSliderSubdiv(3));
    EXPECT_EQ(bare->GetSliderLog(), 0);
    EXPECT_EQ(bare->GetSliderGrad(), 0u);
    bare->Delete();
}

// A pane is built at its own corner and then put at its place in a dialog:
// the parts move with it once, beside their entry, whether the entry was
// in the pane before it was built or put there afterwards.
TEST_F(EntryTest, ThePartsStayBesideTheEntryWhenItsParentMoves)
{
    for (const bool built_inside : {true, false}) {
        SCOPED_TRACE(built_inside ? "built inside" : "put inside after");
        ZuViewRef pane = ZuNew<ZuView>(Zuvi_app_zone);
        pane->SetSize(300, 100);
        pane->SetParent(w);
        CTextLineArrowRef e = ZuNew<CTextLineArrow>(Zuvi_app_zone);
        if (built_inside)
            e->SetParent(pane);
        e->Build(12, 55, 57, 20, 23, true,
                 CSlider::HORIZONTAL | CSlider::LEFT_GRADUATE | CSlider::RIGHT_GRADUATE);
        if (!built_inside)
            e->SetParent(pane);
        pane->SetOrigin(39, 57);
        ExpectBox(e, 51, 112, 57, 20);
        ExpectBox(e->RetUnitButton(), 108, 112, 16, 20);
        ExpectBox(e->RetPlusArrow(), 124, 112, 15, 11);
        ExpectBox(e->RetMinusArrow(), 124, 121, 15, 11);
        ExpectBox(e->RetSlider(), 141, 111, 74, 22);
        pane->MoveOrigin(-39, -57);
        ExpectBox(e->RetSlider(), 102, 54, 74, 22);
        e->Delete();
        pane->Delete();
    }
}

// A dialog that moves a row or changes its unit builds its entry again:
// the entry keeps its own parts, placed anew (a slider only while asked
// for), so that taking the entry out of its window takes every part of it
// along and nothing of it stays behind. The arrows still step the value.
TEST_F(EntryTest, AnEntryBuiltAgainKeepsItsPartsAndTakesThemAlongWhenTakenOut)
{
    auto parts_in_window = [&] {
        int n = 0;
        ZuViewRef c;
        for (bool more = w->GetFirstChild(c); more && c.IsValid();) {
            n += c->IsKindOf(ZuIconRef::RetRuntime()) || c->IsKindOf(CSliderRef::RetRuntime());
            ZuViewRef next;
            more = c->GetNextSibling(next);
            c = next;
        }
        return n;
    };
    BuildMm();
    ASSERT_EQ(parts_in_window(), 4);
    const ZuIconRef plus = entry->RetPlusArrow();
    entry->Build(10, 40, 60, 20, 24, true, CSlider::HORIZONTAL | CSlider::RIGHT_GRADUATE);
    EXPECT_EQ(parts_in_window(), 4);
    EXPECT_TRUE(entry->RetPlusArrow() == plus);
    ExpectBox(entry->RetUnitButton(), 70, 40, 16, 20);
    ExpectBox(entry->RetSlider(), 103, 43, 74, 18);
    entry->Build(10, 70, 60, 20, 23, false, 0);
    EXPECT_EQ(parts_in_window(), 3);
    EXPECT_TRUE(entry->RetSlider().IsInvalid());
    ExpectBox(entry->RetMinusArrow(), 86, 79, 15, 11);
    entry->SetValue(4);
    reports->Clear();
    Click(93, 72);
    EXPECT_EQ(entry->GetValue(), 5);
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    entry->SetParent(ZuViewNull);
    EXPECT_EQ(parts_in_window(), 0);
    entry->SetParent(w);
    EXPECT_EQ(parts_in_window(), 3);
}

TEST_F(EntryTest, ArrowsAndPageKeysRoundToTheStepAndAlwaysReport)
{
    BuildMm();
    struct Case {
        double start;
        bool plus;
        double result;
    };
    const Case cases[] = {
        {4.6, true, 6},        // 5.6 to the nearest whole
        {4.6, false, 4},       // 3.6 to the nearest whole
        {-2.5, false, -4},     // -3.5 away from zero
        {9999.8, true, 10000}, // at the bound, and still reported
        {10000, true, 10000},  // already there: reported all the same
        {-10000, false, -10000},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.start);
        entry->SetValue(k.start);
        reports->Clear();
        if (k.plus)
            Plus();
        else
            Minus();
        EXPECT_DOUBLE_EQ(entry->GetValue(), k.result);
        EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    }
    // Page Up and Page Down step like the arrows; other keys edit.
    entry->SetValue(2);
    Focus();
    reports->Clear();
    Tap(VK_PRIOR, 0x49);
    EXPECT_EQ(Text(), "3.00");
    Tap(VK_NEXT, 0x51);
    Tap(VK_NEXT, 0x51);
    EXPECT_EQ(Text(), "1.00");
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) notify_user_text_changed(1) "
                            "notify_user_text_changed(1) ");
    // A step of 0 or below makes arrows and keys do nothing.
    for (double step : {0.0, -1.0, std::nan("")}) {
        entry->SetStep(step);
        reports->Clear();
        Plus();
        Tap(VK_NEXT, 0x51);
        EXPECT_EQ(Text(), "1.00");
        EXPECT_EQ(reports->log, "");
    }
}

TEST_F(EntryTest, SetValueClampsAndNeverReportsAndWholeUnitsCutTowardZero)
{
    BuildMm(10);
    reports->Clear();
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{3.7, "3"}, {-3.7, "-3"}, {1e12, "10000"}, {-1e12, "-10000"}};
    for (const Case& k : cases) {
        entry->SetValue(k.value);
        EXPECT_EQ(Text(), k.text);
    }
    entry->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Text(), "-10000"); // a non-number shows the minimum
    // Crossed bounds: the minimum wins.
    entry->SetMin(5);
    entry->SetMax(2);
    entry->SetValue(3);
    EXPECT_EQ(entry->GetValue(), 5);
    entry->SetUnit(14);
    EXPECT_EQ(reports->log, "");
}

TEST_F(EntryTest, TheUnitButtonSwapsTheDocumentsUnitsKeepingTheValue)
{
    BuildMm();
    entry->SetValue(10);
    reports->Clear();
    Click(78, 20);
    EXPECT_EQ(entry->GetUnit(), 24);
    EXPECT_EQ(Text(), "1.000");
    EXPECT_DOUBLE_EQ(entry->GetValue(), 10);
    EXPECT_EQ(Latin(entry->RetUnitButton()->RetToolTip()), "Centim\xE8tres");
    Click(78, 20);
    EXPECT_EQ(entry->GetUnit(), 23);
    EXPECT_EQ(Text(), "10.00");
    EXPECT_EQ(Latin(entry->RetUnitButton()->RetToolTip()), "Millim\xE8tres");
    // A length in neither unit goes to slot 0; fixed units stay.
    entry->SetUnit(30);
    Click(78, 20);
    EXPECT_EQ(entry->GetUnit(), 23);
    for (int fixed : {10, 11, 12, 13, 14}) {
        entry->SetUnit(fixed);
        Click(78, 20);
        EXPECT_EQ(entry->GetUnit(), fixed);
    }
    // Without a document the button has no unit to go to.
    entry->SetUnit(24);
    SetCurrentDocument(CDocumentRef(), CViewRef());
    Click(78, 20);
    EXPECT_EQ(entry->GetUnit(), 24);
    EXPECT_EQ(reports->log, "");
    EXPECT_STREQ(CTextLineArrow::UnitIconName(24), "lumbra_UnitCM");
    EXPECT_STREQ(CTextLineArrow::UnitIconName(25), "lumbra_UnitNO");
}

TEST_F(EntryTest, ToolTipsCarryTheRangeOfTheBoundsAtThatMoment)
{
    BuildMm(10);
    entry->SetMin(1);
    entry->SetMax(50);
    EXPECT_TRUE(entry->SetToolTip(ZuStringRef("Nombre")));
    EXPECT_EQ(Latin(entry->RetToolTip()), "Nombre [de 1 \xE0 50]");
    EXPECT_EQ(Latin(entry->RetPlusArrow()->RetToolTip()), "[+] Nombre");
    EXPECT_EQ(Latin(entry->RetMinusArrow()->RetToolTip()), "[-] Nombre");
    EXPECT_EQ(Latin(entry->RetSlider()->RetToolTip()), "Nombre");
    entry->SetMax(80);
    EXPECT_EQ(Latin(entry->RetToolTip()), "Nombre [de 1 \xE0 50]");

    CTextLineArrowRef length = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    length->Build(0, 60, 50, 20, 24, false, 0);
    length->SetMin(0);
    length->SetMax(100);
    length->SetToolTip(ZuStringRef("Largeur"));
    EXPECT_EQ(Latin(length->RetToolTip()), "Largeur [de 0.000 \xE0 10.000]");
    length->Delete();
}

TEST_F(EntryTest, TheSliderFollowsTheValueAndMovesInWholeDisplayUnits)
{
    BuildMm(24);
    entry->SetMin(0);
    entry->SetMax(100);
    entry->SetValue(25);
    EXPECT_DOUBLE_EQ(entry->RetSlider()->GetPos(), 0.25);
    reports->Clear();
    // 0.37 of the way is 37 mm, cut to 3 whole centimetres.
    entry->RetSlider()->SetPos(0.37);
    entry->OnSliderChange(ZuObjectNull, 0);
    EXPECT_DOUBLE_EQ(entry->GetValue(), 30);
    EXPECT_DOUBLE_EQ(entry->RetSlider()->GetPos(), 0.3);
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    // The same value again: nothing.
    entry->RetSlider()->SetPos(0.39);
    entry->OnSliderChange(ZuObjectNull, 0);
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    // Dragged along the track, the values are whole centimetres.
    Mouse(110, 20, 0);
    Mouse(110, 20, MK_LBUTTON);
    for (double x = 110; x < 180; x += 7) {
        Mouse(x, 20, MK_LBUTTON);
        const double v = entry->GetValue();
        EXPECT_DOUBLE_EQ(v, 10 * std::trunc(v / 10)) << x;
    }
    Mouse(180, 20, 0);
    EXPECT_DOUBLE_EQ(entry->GetValue(), 100);
    // Equal bounds put the slider at 0; an exponent is passed on.
    entry->SetMin(40);
    entry->SetMax(40);
    entry->SetValue(40);
    EXPECT_EQ(entry->RetSlider()->GetPos(), 0);
    entry->SetSliderLog(2);
    EXPECT_EQ(entry->GetSliderLog(), 2);
}

TEST_F(EntryTest, TextThatIsNoNumberIsRefusedAndShownAgainOnReturn)
{
    BuildMm();
    entry->SetMin(1);
    entry->SetMax(100);
    entry->SetValue(25);
    Focus();
    Tap(VK_END, 0x4F);
    for (int i = 0; i < 6; ++i)
        Tap(VK_BACK, 0x0E);
    // Emptied: reads 0, brought to the minimum, and reported.
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(entry->GetValue(), 1);
    EXPECT_NE(reports->log.find("notify_user_text_changed(1) "), std::string::npos);
    reports->Clear();
    Tap('X', 0x2D);
    EXPECT_EQ(Text(), "x");
    EXPECT_EQ(reports->log, "");
    EXPECT_EQ(entry->GetValue(), 1); // the value stays
    Tap(VK_RETURN, 0x1C);
    EXPECT_EQ(Text(), "1.00");
    // A lone sign is refused too; a number is taken, clamped when read.
    entry->SetValue(25);
    Focus();
    Tap(VK_END, 0x4F);
    for (int i = 0; i < 5; ++i)
        Tap(VK_BACK, 0x0E);
    reports->Clear();
    Tap(VK_SUBTRACT, 0x4A);
    EXPECT_EQ(reports->log, "");
    EXPECT_EQ(entry->GetValue(), 1);
    Tap('5', 0x06);
    EXPECT_EQ(reports->log, "notify_user_text_changed(1) ");
    EXPECT_EQ(entry->GetValue(), 1); // -5 below the minimum
    EXPECT_EQ(entry->RetSlider()->GetPos(), 0);
    // Letters again, then the entry is left for another: the last value
    // shows again, and the slider never moved.
    entry->SetValue(50);
    const double pos = entry->RetSlider()->GetPos();
    Focus();
    Tap(VK_HOME, 0x47);
    Key(VK_SHIFT, 0x2A, true);
    Tap(VK_END, 0x4F);
    Key(VK_SHIFT, 0x2A, false);
    reports->Clear();
    Tap('X', 0x2D); // typed over the whole text
    EXPECT_EQ(Text(), "x");
    EXPECT_EQ(reports->log, "");
    EXPECT_EQ(entry->RetSlider()->GetPos(), pos);
    CTextLineArrowRef other = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    other->SetParent(w);
    other->Build(10, 60, 60, 20, 23, false, 0);
    other->Display(true);
    Click(40, 70);
    EXPECT_EQ(Text(), "50.00");
    other->Delete();
}

TEST_F(EntryTest, AChangeOfUnitsRewritesEveryEntryHoldingAText)
{
    BuildMm();
    entry->SetValue(10);
    CTextLineArrowRef disabled = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    disabled->SetParent(w);
    disabled->Build(10, 40, 60, 20, 23, false, 0);
    disabled->SetValue(10);
    disabled->SetEnable(false);
    CTextLineArrowRef empty = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    empty->Build(10, 70, 60, 20, 23, false, 0);
    CTextLineArrowRef hidden = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    hidden->Build(10, 100, 60, 20, 23, false, 0);
    hidden->SetValue(10);
    hidden->SetVisible(false);
    CTextLineArrowRef percent = ZuNew<CTextLineArrow>(Zuvi_app_zone);
    percent->Build(100, 70, 60, 20, 12, false, 0);
    percent->SetValue(0.5);
    reports->Clear();

    doc->NotifyChangeUnit(24);
    EXPECT_EQ(entry->GetUnit(), 24);
    EXPECT_EQ(Text(), "1.000");
    // Disabled, it shows the same length in the new unit: 10 mm stays 10.
    EXPECT_EQ(disabled->GetUnit(), 24);
    EXPECT_EQ(Latin(disabled->RetText()), "1.000");
    EXPECT_DOUBLE_EQ(disabled->GetValue(), 10);
    disabled->SetEnable(true);
    disabled->OnClickPlus(ZuObjectNull, 0);
    EXPECT_DOUBLE_EQ(disabled->GetValue(), 11);
    EXPECT_EQ(Latin(empty->RetText()), "");
    EXPECT_EQ(empty->GetUnit(), 24);
    EXPECT_EQ(hidden->GetUnit(), 23);
    EXPECT_EQ(percent->GetUnit(), 12);
    EXPECT_EQ(Latin(percent->RetText()), "50.0");
    EXPECT_EQ(reports->log, "");
    for (CTextLineArrowRef* e : {&disabled, &empty, &hidden, &percent})
        (*e)->Delete();
}

TEST_F(EntryTest, TheUnitButtonAndArrowsShowTheProgramsPictures)
{
    BuildMm();
    // Each part shows its picture as the look draws it alone.
    auto same = [this](const ZuViewRef& part, const char* name) {
        const ZuRect& box = part->RetBox();
        ZuGrailPixmapRef alone = NewPixmap(32, box.DX(), box.DY());
        alone->BeginDraw(0, 0, box.DX() - 1, box.DY() - 1);
        alone->SetForeColor(ZuColorPixel(0x00FF00FFu));
        alone->FillRect(0, 0, box.DX() - 1, box.DY() - 1);
        ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone);
        icon->Initialise(ZuAtomRef(name), true);
        icon->SetBox(ZuRect(0, 0, box.DX() - 1, box.DY() - 1));
        icon->Draw(alone, ZuRect(0, 0, box.DX() - 1, box.DY() - 1), ZU_DRAW_ALL);
        alone->EndDraw();
        int differ = 0, painted = 0;
        for (int y = 0; y < int(box.DY()); ++y)
            for (int x = 0; x < int(box.DX()); ++x) {
                const unsigned p = Pixel(alone, x, y) & 0xFFFFFF;
                if (p == 0xFF00FF)
                    continue;
                ++painted;
                differ += !Near(WindowPixel(int(box.X1()) + x, int(box.Y1()) + y), p);
            }
        icon->Delete();
        alone->Delete();
        EXPECT_GT(painted, 0) << name;
        EXPECT_EQ(differ, 0) << name;
    };
    same(entry->RetUnitButton(), "lumbra_UnitMM");
    same(entry->RetPlusArrow(), "lumbra_ArrowUp");
    same(entry->RetMinusArrow(), "lumbra_ArrowDown");
    entry->SetUnit(24);
    same(entry->RetUnitButton(), "lumbra_UnitCM");
}

} // namespace
