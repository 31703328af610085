// The control base as a user meets it: clicks, keys, shortcuts, the inbox
// and the relief, through a shown window on the headless screen.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "si/control.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

// A control that counts its style hooks and logs its clicks.
ZU_HANDLE(TStyleProbe, ZuControl)
class TStyleProbe : public ZuControl {
    ZU_CLASS(TStyleProbe, ZuControl)
public:
    TStyleProbe() {}
    void NotifyStyleChange(const ZuCtrlStyle& changed) override
    {
        ++hooks;
        last_changed = changed;
    }
    unsigned hooks = 0;
    ZuCtrlStyle last_changed;
};
ZU_CLASS_END(TStyleProbe)
ZU_IMPLEMENT_CLASS(TStyleProbe, "tests/control", ZU_CLASS_PLAIN)

namespace {

ZuCtrlStyle Style(std::initializer_list<ZuCtrlStyleBit> bits)
{
    ZuCtrlStyle s;
    for (ZuCtrlStyleBit b : bits)
        s.SetBit(b);
    return s;
}

class ControlClickTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        a = AddControl(10, 10, 59, 29);
        b = AddControl(70, 10, 119, 29);
        reports->Watch(a, {"notify_clicked", "notify_still_clicked", "notify_left_button_pressed",
                           "notify_right_button_pressed", "notify_left_button_released",
                           "notify_right_button_released"});
        reports->Watch(b, {"notify_clicked"});
    }
    ZuControlRef AddControl(double x1, double y1, double x2, double y2)
    {
        ZuControlRef c = ZuNew<ZuControl>(Zuvi_app_zone);
        c->SetBox(ZuRect(x1, y1, x2, y2));
        c->SetParent(w);
        return c;
    }
    bool Clicked(const ZuControlRef& c) { return c->RetState().TestBit(ZU_VIEW_IS_CLICKED); }
    ZuViewRef Focus()
    {
        ZuViewRef m;
        w->GetMainResponder(m);
        return m;
    }
    ZuControlRef a, b;
};

} // namespace

TEST(ControlEnums, NamesOrderAndRegistration)
{
    EXPECT_STREQ(ZuCtrlStyleBitRetName(static_cast<ZuCtrlStyleBit>(3)), "?");
    EXPECT_STREQ(ZuCtrlStyleBitRetName(ZU_CTRL_IGNORE_HOT), "ZU_CTRL_IGNORE_HOT");
    ZuCtrlStyleBit bit = ZU_CTRL_TOGGLE_BROADCAST;
    bit++;
    EXPECT_EQ(bit, ZU_CTRL_IGNORE_HOT);
    bit++;
    EXPECT_EQ(static_cast<unsigned>(bit), 21u);
    EXPECT_FALSE(IsValid(bit));
    ZuCtrlActionType action = ZU_CTRL_ACTION_HOT_OFF;
    EXPECT_STREQ(ZuCtrlActionTypeRetName(action), "ZU_CTRL_ACTION_HOT_OFF");
    EXPECT_FALSE(IsValid(static_cast<ZuCtrlActionType>(6)));
}

TEST_F(ControlClickTest, ANewControlHasItsDefaults)
{
    ZuControlRef c = ZuNew<ZuControl>(Zuvi_app_zone);
    EXPECT_TRUE(c->RetStyle().TestNone());
    EXPECT_EQ(c->RetSensitiveButtons().RetBits(), 1u);
    EXPECT_EQ(static_cast<ZuLookColor>(c->RetReliefColor()), ZU_COLOR_LGRAY);
    EXPECT_EQ(c->RetInteractiveState(), ZU_CTRL_STATE_NORMAL);
    EXPECT_TRUE(c->RetState().TestBit(ZU_VIEW_OK_ACTIVE));
    EXPECT_FALSE(c->HasKeyAlt());
    EXPECT_TRUE(c->RetKeyAlt().modifiers.TestBit(ZU_MOD_NONE));
    // Published by name.
    ZuValueRef value;
    ASSERT_TRUE(c->QueryData(ZuAtomRef("sensitive_buttons"), value));
    EXPECT_EQ(value->RetCard64(), 1u);
    EXPECT_TRUE(
        c->DefineData(ZuAtomRef("style"), ZuValueRef(ZuBitset(Style({ZU_CTRL_DRAW_RELIEF})))));
    EXPECT_TRUE(c->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    c->Delete();
}

TEST_F(ControlClickTest, ARightPressOnALeftOnlyControlReportsButDoesNotClick)
{
    Mouse(20, 20, 0);
    Mouse(20, 20, MK_RBUTTON);
    EXPECT_FALSE(Clicked(a));
    Mouse(20, 20, 0);
    EXPECT_EQ(reports->log, "notify_right_button_pressed(0) notify_right_button_released(0) ");
}

TEST_F(ControlClickTest, ALeftClickCompletesWithReportIdOne)
{
    Mouse(20, 20, 0);
    Mouse(20, 20, MK_LBUTTON);
    EXPECT_TRUE(Clicked(a));
    EXPECT_EQ(a->RetInteractiveState(), ZU_CTRL_STATE_NORMAL_CLICKED);
    Mouse(20, 20, 0);
    EXPECT_FALSE(Clicked(a));
    EXPECT_EQ(reports->log, "notify_left_button_pressed(0) notify_left_button_released(0) "
                            "notify_clicked(1) ");
    // The click made it the focus.
    EXPECT_EQ(Focus(), a);
}

TEST_F(ControlClickTest, LeavingWithTheButtonHeldTakesTheClickBackUnlessExclusive)
{
    for (bool exclusive : {false, true}) {
        SCOPED_TRACE(exclusive);
        a->ChangeStyle(ZU_CTRL_CLICK_EXCLUSIVE, exclusive);
        reports->Clear();
        Mouse(20, 20, 0);
        Mouse(20, 20, MK_LBUTTON);
        EXPECT_TRUE(Clicked(a));
        Mouse(150, 80, MK_LBUTTON);
        EXPECT_FALSE(Clicked(a));
        // Back in with the button still down.
        Mouse(25, 20, MK_LBUTTON);
        EXPECT_EQ(Clicked(a), !exclusive);
        Mouse(150, 80, MK_LBUTTON);
        Mouse(150, 80, 0);
        EXPECT_FALSE(Clicked(a));
        EXPECT_EQ(reports->log.find("notify_clicked"), std::string::npos) << reports->log;
        // Released inside after coming back: a complete click, unless
        // exclusive.
        reports->Clear();
        Mouse(20, 20, 0);
        Mouse(20, 20, MK_LBUTTON);
        Mouse(150, 80, MK_LBUTTON);
        Mouse(20, 20, MK_LBUTTON);
        Mouse(20, 20, 0);
        EXPECT_EQ(reports->log.find("notify_clicked(1)") != std::string::npos, !exclusive)
            << reports->log;
    }
}

TEST_F(ControlClickTest, ContinuousReportsComeOncePerRepeatTimeUntilTheRelease)
{
    a->ChangeStyle(ZU_CTRL_CLICK_CONT_REPORT, true);
    const int repeat = int(ZuLookMan::Current()->RetAutoRepeatTime());
    Mouse(20, 20, 0);
    Mouse(20, 20, MK_LBUTTON);
    reports->Clear();
    Advance(repeat - 1);
    EXPECT_EQ(reports->log, "");
    Advance(1);
    EXPECT_EQ(reports->log, "notify_still_clicked(1) ");
    Advance(repeat);
    Advance(repeat);
    EXPECT_EQ(reports->log,
              "notify_still_clicked(1) notify_still_clicked(1) notify_still_clicked(1) ");
    reports->Clear();
    Mouse(20, 20, 0);
    EXPECT_EQ(reports->log, "notify_left_button_released(0) notify_clicked(1) ");
    Advance(repeat * 3);
    EXPECT_EQ(reports->log, "notify_left_button_released(0) notify_clicked(1) ");
}

TEST_F(ControlClickTest, ReturnAndSpaceClickTheFocusWithIdZeroAndLettersDoNot)
{
    ASSERT_TRUE(w->SetMainResponder(a, false));
    Tap(VK_RETURN, 0x1C);
    Tap(VK_SPACE, 0x39);
    Tap('A', 0x1E);
    EXPECT_EQ(reports->log, "notify_clicked(0) notify_clicked(0) ");
    EXPECT_EQ(Focus(), a);
    // ENTER (of the keypad) the same; the key is dispatched as the window
    // receives it.
    reports->Clear();
    for (ZuEventType type : {ZU_EVENT_KEY_DOWN, ZU_EVENT_KEY_UP}) {
        TProbeEventRef e = TProbeEvent::Make(type);
        e->Key(ZU_KEY_ENTER, 0, 0);
        w->DispatchEvent(e);
        e->Delete();
    }
    EXPECT_EQ(reports->log, "notify_clicked(0) ");
    // Held down, the key clicks the control until it is released.
    reports->Clear();
    Key(VK_SPACE, 0x39, true);
    EXPECT_TRUE(Clicked(a));
    Key(VK_SPACE, 0x39, false);
    EXPECT_FALSE(Clicked(a));
    EXPECT_EQ(reports->log, "notify_clicked(0) ");
}

TEST_F(ControlClickTest, TabAndShiftTabMoveTheFocusControlTabDoesNot)
{
    a->SetActiveRank(0);
    b->SetActiveRank(1);
    ASSERT_TRUE(w->SetMainResponder(a, false));
    Tap(VK_TAB, 0x0F);
    EXPECT_EQ(Focus(), b);
    Key(VK_SHIFT, 0x2A, true);
    Tap(VK_TAB, 0x0F);
    Key(VK_SHIFT, 0x2A, false);
    EXPECT_EQ(Focus(), a);
    Key(VK_CONTROL, 0x1D, true);
    Tap(VK_TAB, 0x0F);
    Key(VK_CONTROL, 0x1D, false);
    EXPECT_EQ(Focus(), a);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ControlClickTest, AKeyAlternativeMatchesByTypeCodeValueAndPlainModifiers)
{
    struct Case {
        ZuKey alt;
        ZuKeyType type;
        unsigned code, value;
        std::initializer_list<ZuKeyModifier> mods;
        bool fires;
    };
    auto key = [](ZuKeyType t, unsigned code, unsigned value,
                  std::initializer_list<ZuKeyModifier> mods) {
        ZuKey k;
        k.type = t;
        k.code = static_cast<uint8_t>(code);
        k.value = static_cast<uint16_t>(value);
        for (ZuKeyModifier m : mods)
            k.modifiers.SetBit(m);
        return k;
    };
    const Case cases[] = {
        // Code and value 0: any key of the type with the same modifiers.
        {key(ZU_KEY_FUNCTION, 0, 0, {ZU_MOD_SHIFT}), ZU_KEY_FUNCTION, 7, 0, {ZU_MOD_SHIFT}, true},
        {key(ZU_KEY_FUNCTION, 0, 0, {ZU_MOD_SHIFT}),
         ZU_KEY_FUNCTION,
         7,
         0,
         {ZU_MOD_SHIFT, ZU_MOD_RIGHT_SHIFT, ZU_MOD_CAPS_LOCK},
         true},
        {key(ZU_KEY_FUNCTION, 0, 0, {ZU_MOD_SHIFT, ZU_MOD_LEFT_SHIFT}),
         ZU_KEY_FUNCTION,
         2,
         0,
         {ZU_MOD_SHIFT, ZU_MOD_RIGHT_SHIFT},
         true},
        {key(ZU_KEY_FUNCTION, 0, 0, {ZU_MOD_SHIFT}), ZU_KEY_FUNCTION, 7, 0, {}, false},
        {key(ZU_KEY_FUNCTION, 0, 0, {ZU_MOD_SHIFT}), ZU_KEY_ALPHANUM, 7, 0, {ZU_MOD_SHIFT}, false},
        // A code matches the code, else a value the value.
        {key(ZU_KEY_ALPHANUM, 'S', 0, {ZU_MOD_CONTROL}),
         ZU_KEY_ALPHANUM,
         'S',
         's',
         {ZU_MOD_CONTROL, ZU_MOD_CAPS_LOCK},
         true},
        {key(ZU_KEY_ALPHANUM, 'S', 0, {ZU_MOD_CONTROL}),
         ZU_KEY_ALPHANUM,
         'T',
         's',
         {ZU_MOD_CONTROL},
         false},
        {key(ZU_KEY_ALPHANUM, 0, '+', {}), ZU_KEY_ALPHANUM, 0, '+', {ZU_MOD_NONE}, true},
        {key(ZU_KEY_ALPHANUM, 0, '+', {}), ZU_KEY_ALPHANUM, 0, '-', {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        a->SetKeyAlt(c.alt);
        EXPECT_FALSE(a->RetKeyAlt().modifiers.TestBit(ZU_MOD_LEFT_SHIFT));
        reports->Clear();
        TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_KEY_DOWN);
        e->Key(c.type, c.code, c.value);
        for (ZuKeyModifier m : c.mods)
            e->Modifier(m);
        w->DispatchEvent(e);
        e->Delete();
        EXPECT_EQ(reports->log, c.fires ? "notify_clicked(0) " : "");
    }
    // A disabled control takes no key.
    a->SetDisable();
    EXPECT_FALSE(a->HandleKeyAlt(ZuEventRef()));
}

TEST_F(ControlClickTest, TheShortcutFiresThroughTheWindowAndMovesWithTheControl)
{
    ZuKey alt;
    alt.type = ZU_KEY_ALPHANUM;
    alt.code = 'K';
    alt.modifiers.SetBit(ZU_MOD_CONTROL);
    a->SetKeyAlt(alt);
    Key(VK_CONTROL, 0x1D, true);
    Tap('K', 0x25);
    Key(VK_CONTROL, 0x1D, false);
    EXPECT_EQ(reports->log, "notify_clicked(0) ");

    // Moved into another window, the control answers there only.
    ZuWindowRef other = NewShownWindow(400, 100, 100, 60);
    a->SetParent(other);
    EXPECT_EQ(a->RetWindow(), other);
    EXPECT_TRUE(a->HasKeyAlt());
    reports->Clear();
    auto control_k = [](const ZuWindowRef& to) {
        TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_KEY_DOWN);
        e->Key(ZU_KEY_ALPHANUM, 'K', 11).Modifier(ZU_MOD_CONTROL);
        to->DispatchEvent(e);
        e->Delete();
    };
    control_k(w);
    EXPECT_EQ(reports->log, "");
    control_k(other);
    EXPECT_EQ(reports->log, "notify_clicked(0) ");
    // Cleared, it is gone from that window too.
    a->ClearKeyAlt();
    EXPECT_FALSE(a->HasKeyAlt());
    reports->Clear();
    control_k(other);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ControlClickTest, StyleChangesCallTheHookOnlyForBitsThatChange)
{
    TStyleProbeRef p = ZuNew<TStyleProbe>(Zuvi_app_zone);
    p->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    EXPECT_EQ(p->hooks, 0u);
    p->ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
    p->ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
    EXPECT_EQ(p->hooks, 1u);
    p->ChangeStyle(Style({ZU_CTRL_DRAW_RELIEF, ZU_CTRL_DRAW_SUNKEN}), true);
    EXPECT_EQ(p->hooks, 2u);
    EXPECT_EQ(p->last_changed, Style({ZU_CTRL_DRAW_SUNKEN}));
    p->SetStyle(Style({ZU_CTRL_DRAW_RELIEF, ZU_CTRL_DRAW_SUNKEN}));
    p->ChangeStyle(Style({ZU_CTRL_HILITE_WHEN_ON}), false);
    EXPECT_EQ(p->hooks, 2u);
    p->SetStyle(Style({ZU_CTRL_DRAW_RELIEF}));
    EXPECT_EQ(p->hooks, 3u);
    EXPECT_EQ(p->last_changed, Style({ZU_CTRL_DRAW_SUNKEN}));
    p->Delete();
}

TEST_F(ControlClickTest, TheInboxFollowsTheBoxAndKeepsItsMargins)
{
    ZuControlRef c = ZuNew<ZuControl>(Zuvi_app_zone);
    ZuRect r;
    c->GetInbox(r);
    EXPECT_TRUE(r.IsEmpty());
    c->SetBox(ZuRect(10, 20, 109, 49));
    c->GetInbox(r);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.X1(), 0);
    EXPECT_EQ(r.Y1(), 0);
    EXPECT_EQ(r.DX(), 100);
    EXPECT_EQ(r.DY(), 30);
    // Margins of 3, 2, 5 and 4 around the inbox stay through resizes and
    // moves.
    c->SetInbox(ZuRect(3, 2, 94, 25));
    c->SetBox(ZuRect(50, 60, 199, 99));
    c->GetInbox(r);
    EXPECT_EQ(r.X1(), 3);
    EXPECT_EQ(r.Y1(), 2);
    EXPECT_EQ(r.X2(), 150 - 1 - 5);
    EXPECT_EQ(r.Y2(), 40 - 1 - 4);
    // Width 0: empty.
    c->SetSize(0, 40);
    c->GetInbox(r);
    EXPECT_TRUE(r.IsEmpty());
    c->Delete();
}

TEST_F(ControlClickTest, StoredControlsComeBackWithTheirFields)
{
    ZuKey alt;
    alt.type = ZU_KEY_FUNCTION;
    alt.code = 4;
    alt.modifiers.SetBit(ZU_MOD_SHIFT);
    a->SetKeyAlt(alt);
    a->SetToolTip(ZuStringRef("Aide"));
    a->SetStyle(Style({ZU_CTRL_DRAW_RELIEF, ZU_CTRL_CLICK_EXCLUSIVE}));
    a->SetDesiredMinSize(30, 12);
    a->SetInbox(ZuRect(1, 1, 47, 17));
    a->SetBackAdornerName(ZuAtomRef("Zuvi_Box"));
    ZuObjectRef back = StoreAndRestore(a);
    ASSERT_TRUE(back.IsValid() && back->IsKindOf(ZuControlRef::RetRuntime()));
    ZuControlRef c(back);
    EXPECT_EQ(c->RetKeyAlt().type, ZU_KEY_FUNCTION);
    EXPECT_EQ(c->RetKeyAlt().code, 4);
    EXPECT_TRUE(c->RetKeyAlt().modifiers.TestBit(ZU_MOD_SHIFT));
    EXPECT_EQ(c->RetToolTip()->CompareWith("Aide", true), 0);
    EXPECT_EQ(c->RetStyle(), a->RetStyle());
    EXPECT_EQ(c->RetBackAdornerName(), ZuAtomRef("Zuvi_Box"));
    double dx = 0, dy = 0;
    c->GetDesiredMinSize(dx, dy);
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, 12);
    ZuRect r;
    c->GetInbox(r);
    EXPECT_EQ(r.X2(), 47);
    // The copy of a control is registered with no window until it has one.
    ZuControlRef copy = ZuControlRef(a->Clone());
    EXPECT_TRUE(copy->HasKeyAlt());
    EXPECT_EQ(copy->RetToolTip()->CompareWith("Aide", true), 0);
    EXPECT_NE(copy->RetToolTip(), a->RetToolTip());
    c->Delete();
    copy->Delete();
}

namespace {
unsigned Brightness(unsigned rgb)
{
    return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF);
}
} // namespace

TEST_F(ControlClickTest, TheReliefIsRaisedUnlessExactlyOneOfSunkenAndInvertIsSet)
{
    struct Case {
        bool sunken, invert, raised;
    } const cases[] = {
        {false, false, true},
        {true, true, true},
        {true, false, false},
        {false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        ZuCtrlStyle style = Style({ZU_CTRL_DRAW_RELIEF});
        if (c.sunken)
            style.SetBit(ZU_CTRL_DRAW_SUNKEN);
        if (c.invert)
            style.SetBit(ZU_CTRL_DRAW_INVERT);
        a->SetStyle(style);
        a->Display(false);
        // The outer line: light at the top left and dark at the bottom
        // right when raised, the other way round when low or sunken.
        unsigned top_left = Brightness(WindowPixel(10, 10));
        unsigned bottom_right = Brightness(WindowPixel(59, 29));
        EXPECT_EQ(top_left > bottom_right, c.raised) << top_left << " " << bottom_right;
    }
}

// A stand-in tip window: logs what the control asks of it.
ZU_HANDLE(TTipProbe, ZuObject)
class TTipProbe : public ZuObject {
    ZU_CLASS(TTipProbe, ZuObject)
public:
    TTipProbe() {}
    void Delete() override
    {
        log += "Delete ";
        ZuObject::Delete();
    }
    static std::string log;
};
ZU_CLASS_END(TTipProbe)
ZU_IMPLEMENT_CLASS(TTipProbe, "tests/control", ZU_CLASS_PLAIN)
std::string TTipProbe::log;

TEST_F(ControlClickTest, EnteringWithoutAButtonMakesItHotAndOpensTheTipBelowThePointer)
{
    const Zuvi_ToolTipCalls saved_calls = ZuControl::tool_tip_calls;
    const char* saved_class = ZuControl::tool_tip_class;
    ZuControl::tool_tip_class = "TTipProbe";
    ZuControl::tool_tip_calls.set_title = [](const ZuObjectRef& tip, const ZuStringRef& caption,
                                             double x, double y, bool delayed, bool tracking) {
        char text[64], buffer[200];
        caption->GetStringCopy(text, sizeof text);
        std::snprintf(buffer, sizeof buffer, "SetTitle(%s,%s,%g,%g,%d,%d) ",
                      tip->RetRuntime()->RetClassName(), text, x, y, delayed, tracking);
        TTipProbe::log += buffer;
        return true;
    };
    ZuControl::tool_tip_calls.dismiss = [](const ZuObjectRef& tip) {
        TTipProbe::log += "Dismiss ";
        tip->Delete();
    };
    TTipProbe::log.clear();
    a->SetToolTip(ZuStringRef("Ouvrir"));
    Mouse(20, 15, 0);
    EXPECT_TRUE(a->RetState().TestBit(ZU_VIEW_IS_HOT));
    EXPECT_EQ(a->RetInteractiveState(), ZU_CTRL_STATE_NORMAL_HOT);
    EXPECT_EQ(TTipProbe::log, "SetTitle(TTipProbe,Ouvrir,120,135,1,1) ");
    EXPECT_TRUE(a->RetToolTipWindow().IsValid());
    Mouse(150, 80, 0);
    EXPECT_FALSE(a->RetState().TestBit(ZU_VIEW_IS_HOT));
    EXPECT_TRUE(a->RetToolTipWindow().IsInvalid());
    EXPECT_EQ(TTipProbe::log, "SetTitle(TTipProbe,Ouvrir,120,135,1,1) Dismiss Delete ");
    // Entering with a button held makes it no hot; an empty caption opens
    // no tip.
    TTipProbe::log.clear();
    Mouse(150, 80, MK_LBUTTON);
    Mouse(20, 15, MK_LBUTTON);
    EXPECT_FALSE(a->RetState().TestBit(ZU_VIEW_IS_HOT));
    Mouse(150, 80, 0);
    a->SetToolTip(ZuStringRef(""));
    Mouse(20, 15, 0);
    EXPECT_TRUE(a->RetState().TestBit(ZU_VIEW_IS_HOT));
    EXPECT_EQ(TTipProbe::log, "");
    ZuControl::tool_tip_calls = saved_calls;
    ZuControl::tool_tip_class = saved_class;
}

TEST_F(ControlClickTest, AStoredShortcutOfAnUnknownKeyTypeIsNoShortcut)
{
    ZuKey alt;
    alt.type = static_cast<ZuKeyType>(77);
    alt.code = 'Q';
    a->SetKeyAlt(alt);
    ZuControlRef back(StoreAndRestore(a));
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->HasKeyAlt());
    EXPECT_TRUE(back->RetKeyAlt().modifiers.TestBit(ZU_MOD_NONE));
    back->Delete();
}

TEST_F(ControlClickTest, AControlStoredUnderThePointerIsEnteredAgainOnlyByThePointer)
{
    // Not watched: observers are stored with their source.
    ZuControlRef c = AddControl(10, 40, 59, 59);
    Mouse(20, 50, 0);
    ASSERT_TRUE(c->RetState().TestBit(ZU_VIEW_IS_ENTERED));
    ZuControlRef back(StoreAndRestore(c));
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->RetState().TestBit(ZU_VIEW_IS_ENTERED));
    // Put where the pointer goes next, it is entered and clicked as any.
    c->SetParent(ZuViewNull);
    c->Delete();
    Mouse(20, 20, 0);
    back->SetParent(w);
    reports->Watch(back, {"notify_clicked"});
    Mouse(20, 50, 0);
    EXPECT_TRUE(back->RetState().TestBit(ZU_VIEW_IS_ENTERED));
    Mouse(20, 50, MK_LBUTTON);
    Mouse(20, 50, 0);
    Mouse(20, 20, 0);
    EXPECT_EQ(reports->log, "notify_clicked(1) ");
}
