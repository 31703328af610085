// Toggle controls and switches: switch and radio behaviour of clicks, radio
// groups by the user names of their parents, and the check box.

#include <gtest/gtest.h>

#include "si/lookman.h"
#include "si/memzone.h"
#include "si/values.h"
#include "si/switch.h"
#include "si/togglecontrol.h"
#include "tests/support/controls.h"
#include "tests/support/views.h"

namespace {

class ToggleTest : public ControlTest {
protected:
    // A plain view holding controls, with a user name (none for null).
    ZuViewRef Group(const char* name, double y)
    {
        ZuViewRef g = TProbeView::Make("group", 0, y, 199, y + 29);
        if (name)
            g->SetUserName(ZuAtomRef(name));
        g->SetParent(w);
        return g;
    }
    ZuToggleControlRef Radio(const ZuViewRef& parent, double x, const ZuCtrlStyle& extra = {})
    {
        ZuToggleControlRef t = ZuNew<ZuToggleControl>(Zuvi_app_zone);
        const ZuRect& p = parent->RetBox();
        t->SetBox(ZuRect(x, p.Y1() + 5, x + 29, p.Y1() + 24));
        ZuCtrlStyle style = extra;
        style.SetBit(ZU_CTRL_TOGGLE_RADIO);
        t->SetStyle(style);
        t->SetParent(parent);
        return t;
    }
    void Click(const ZuViewRef& v)
    {
        const ZuRect& r = v->RetBox();
        double x = (r.X1() + r.X2()) / 2, y = (r.Y1() + r.Y2()) / 2;
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    static bool On(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ON); }
};

} // namespace

TEST_F(ToggleTest, ASwitchFlipsAtEveryClickAndPlainControlsStay)
{
    ZuViewRef g = Group(nullptr, 0);
    ZuToggleControlRef t = ZuNew<ZuToggleControl>(Zuvi_app_zone);
    t->SetBox(ZuRect(10, 5, 39, 24));
    t->SetParent(g);
    Click(t);
    EXPECT_FALSE(On(t));
    t->ChangeStyle(ZU_CTRL_TOGGLE_SWITCH, true);
    Click(t);
    EXPECT_TRUE(On(t));
    EXPECT_EQ(t->RetInteractiveState(), ZU_CTRL_STATE_ACTIVE_HOT);
    Click(t);
    EXPECT_FALSE(On(t));
    // By name.
    EXPECT_TRUE(t->Action(ZuAtomRef("TurnOn"), ZuObjectNull, 0));
    EXPECT_TRUE(On(t));
    EXPECT_TRUE(t->Action(ZuAtomRef("Toggle"), ZuObjectNull, 0));
    EXPECT_FALSE(On(t));
}

TEST_F(ToggleTest, RadioMembersUnderParentsOfOneNameFormOneGroup)
{
    struct Case {
        const char* first;
        const char* second;
    } const cases[] = {{nullptr, nullptr}, {"choix", "choix"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first ? c.first : "unnamed");
        ZuViewRef g1 = Group(c.first, 0), g2 = Group(c.second, 40), other = Group("autre", 80);
        ZuToggleControlRef a = Radio(g1, 10), b = Radio(g1, 50), d = Radio(g2, 10);
        ZuToggleControlRef elsewhere = Radio(other, 10);
        elsewhere->TurnOn();
        Click(a);
        EXPECT_TRUE(On(a));
        Click(d);
        EXPECT_TRUE(On(d));
        EXPECT_FALSE(On(a));
        Click(b);
        EXPECT_TRUE(On(b));
        EXPECT_FALSE(On(d));
        // Clicking the one that is on keeps it on; the other group keeps
        // its own.
        Click(b);
        EXPECT_TRUE(On(b));
        EXPECT_TRUE(On(elsewhere));
        for (ZuViewRef v : {g1, g2, other}) {
            v->SetParent(ZuViewRef());
            v->Delete();
        }
    }
}

TEST_F(ToggleTest, ARadioControlThatIsOffOrTheSenderIgnoresTheClearing)
{
    ZuViewRef g = Group(nullptr, 0);
    ZuToggleControlRef a = Radio(g, 10), b = Radio(g, 50);
    b->TurnOn();
    // The sender itself stays on; one that is off stays off.
    b->Broadcast(ZuToggleControl::clear_radio_button, b);
    EXPECT_TRUE(On(b));
    a->Broadcast(ZuToggleControl::clear_radio_button, b);
    EXPECT_FALSE(On(a));
    // Something that is no view clears nothing.
    b->Broadcast(ZuToggleControl::clear_radio_button, ZuStringRef("x"));
    EXPECT_TRUE(On(b));
}

TEST_F(ToggleTest, WithTwiceTurningOnSendsNothingAndAClickOnTheOneOnClearsTheOthers)
{
    ZuViewRef g = Group(nullptr, 0);
    ZuCtrlStyle twice;
    twice.SetBit(ZU_CTRL_TOGGLE_TWICE);
    ZuToggleControlRef a = Radio(g, 10, twice), b = Radio(g, 50, twice);
    a->TurnOn();
    b->TurnOn();
    EXPECT_TRUE(On(a));
    EXPECT_TRUE(On(b));
    // A click on b, which is on, broadcasts: a goes off, b stays on.
    Click(b);
    EXPECT_TRUE(On(b));
    EXPECT_FALSE(On(a));
}

TEST_F(ToggleTest, SwitchStatesReportOnlyRealChangesAndClicksReportTheUser)
{
    ZuSwitchRef s = ZuNew<ZuSwitch>(Zuvi_app_zone);
    s->SetBox(ZuRect(10, 10, 109, 29));
    s->SetParent(w);
    reports->Watch(s, {"notify_user_changed", "notify_auto_changed", "notify_clicked"});
    EXPECT_FALSE(s->RetSwitchState());
    EXPECT_FALSE(s->RetRadioButtonMode());
    EXPECT_EQ(s->RetIcon(), ZuAtomRef("Zuvi_SwitchCheckBox"));
    EXPECT_TRUE(s->SetSwitchState(false));
    EXPECT_EQ(reports->log, "");
    EXPECT_TRUE(s->SetSwitchState(true));
    EXPECT_EQ(reports->log, "notify_auto_changed(0) ");
    EXPECT_TRUE(s->SetSwitchState(true));
    EXPECT_EQ(reports->log, "notify_auto_changed(0) ");
    // Action(false) toggles and reports no user change.
    reports->Clear();
    s->Action(false);
    EXPECT_FALSE(s->RetSwitchState());
    EXPECT_EQ(reports->log, "notify_clicked(0) ");
    // A click flips it and reports after the flip.
    reports->Clear();
    Click(s);
    EXPECT_TRUE(s->RetSwitchState());
    EXPECT_EQ(reports->log, "notify_clicked(1) notify_user_changed(1) ");
    // As a value.
    EXPECT_FALSE(s->SetValue(ZuValueRef()));
    EXPECT_TRUE(s->RetSwitchState());
    EXPECT_TRUE(s->SetValue(ZuValueRef(false)));
    EXPECT_FALSE(s->RetValue()->RetBool());
}

TEST_F(ToggleTest, ASwitchPlacesItsTitleAfterTheIcon)
{
    double iw = 0, ih = 0;
    ZuLookMan::Current()->GetIconSize(ZuAtomRef("Zuvi_SwitchCheckBox"), iw, ih, 0);
    ZuSwitchRef s = ZuNew<ZuSwitch>(Zuvi_app_zone);
    s->SetBox(ZuRect(10, 10, 109, 29));
    s->SetParent(w);
    double dx = 0, dy = 0;
    s->GetMinSize(dx, dy);
    EXPECT_EQ(dx, iw + 6);
    EXPECT_EQ(s->RetTitle()->CharacterCount(), 0u);
    ASSERT_TRUE(s->SetTitle(ZuStringRef("Gras")));
    EXPECT_EQ(s->RetTitle()->CompareWith("Gras", true), 0);
    const ZuViewRef& title = s->RetTitleView();
    ASSERT_TRUE(title.IsValid());
    EXPECT_TRUE(title->RetState().TestBit(ZU_VIEW_NO_DETECT));
    const ZuRect& r = title->RetBox();
    EXPECT_EQ(r.X1(), 10 + iw + 6);
    EXPECT_EQ(r.Y1(), 10);
    EXPECT_EQ(r.DX(), 100 - 6 - iw);
    EXPECT_EQ(r.DY(), 20);
    s->GetMinSize(dx, dy);
    EXPECT_EQ(dx, iw + 24 + 6);
    EXPECT_EQ(dy, ih > 12 ? ih : 12);
    // Radio mode by name.
    EXPECT_TRUE(s->DefineData(ZuAtomRef("radio_button_mode"), ZuValueRef(true)));
    EXPECT_TRUE(s->RetStyle().TestBit(ZU_CTRL_TOGGLE_RADIO));
    EXPECT_FALSE(s->RetStyle().TestBit(ZU_CTRL_TOGGLE_SWITCH));
    EXPECT_EQ(s->RetIcon(), ZuAtomRef("Zuvi_SwitchRadioButton"));

    ZuSwitchRef back(StoreAndRestore(s));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetTitle()->CompareWith("Gras", true), 0);
    EXPECT_TRUE(back->RetRadioButtonMode());
    EXPECT_EQ(back->RetIcon(), ZuAtomRef("Zuvi_SwitchRadioButton"));
    back->Delete();
    ZuSwitchRef copy(s->Clone());
    EXPECT_EQ(copy->RetTitle()->CompareWith("Gras", true), 0);
    copy->Delete();
}
