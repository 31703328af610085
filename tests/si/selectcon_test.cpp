// The selection controller: its policies over a group of toggle controls
// clicked by the user or set by the program, members found by observation,
// by provider and by name, and its stored form.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/selectcon.h"
#include "si/switch.h"
#include "si/togglecontrol.h"
#include "tests/support/controls.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class SelectConTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        for (unsigned i = 0; i < 3; ++i) {
            members[i] = ZuNew<ZuToggleControl>(Zuvi_app_zone);
            members[i]->SetBox(ZuRect(0, 20 * i, 49, 20 * i + 14));
            members[i]->SetParent(w);
        }
        NewController();
    }
    // A new controller over the three members, all off; the controller
    // observes each member's clicks with its rank.
    void NewController()
    {
        if (con.IsValid()) {
            watcher->Delete();
            con->Delete();
        }
        con = ZuNew<ZuSelectCon>(Zuvi_app_zone);
        for (unsigned i = 0; i < 3; ++i) {
            members[i]->TurnOff();
            members[i]->AttachObserver(con, ZuAtomRef("notify_clicked"),
                                       ZuAtomRef("NotifyActivation"), i);
        }
        watcher = TestObserver::Make();
        watcher->Watch(con, "notify_active_changed");
    }
    void TearDown() override
    {
        watcher->Delete();
        con->Delete();
        for (ZuToggleControlRef& m : members)
            m = ZuToggleControlRef();
        con = ZuSelectConRef();
        ControlTest::TearDown();
    }
    std::string Bits() const
    {
        std::string out;
        for (const ZuToggleControlRef& m : members)
            out += m->RetState().TestBit(ZU_VIEW_IS_ON) ? '1' : '0';
        return out;
    }
    // A click of the left button in the middle of a box.
    void Click(const ZuRect& box)
    {
        const double x = (box.X1() + box.X2()) / 2, y = (box.Y1() + box.Y2()) / 2;
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    // Runs the steps ("a0": program sets rank 0 active, "s0": program
    // SetActive of member 0, "c0": the user clicks member 0, "p0" / "r0" /
    // "k0": the press, release and click a provider reports, "t0" / "f0":
    // member 0 turned on / off by itself) and gives after each step the
    // members' states, the reports so far and the active count.
    std::string Run(ZuSelectConType type, const std::string& steps)
    {
        con->Initialise(type, ZuObjectNull);
        std::istringstream in(steps);
        std::string step, trace;
        while (in >> step) {
            const ZuToggleControlRef& m = members[step[1] - '0'];
            switch (step[0]) {
            case 'a':
                con->SetActiveByRank(step[1] - '0');
                break;
            case 's':
                con->SetActive(m);
                break;
            case 'c':
                Click(m->RetBox());
                break;
            case 'p':
                con->NotifyControlAction(m, ZU_CTRL_ACTION_ON);
                break;
            case 'r':
                con->NotifyControlAction(m, ZU_CTRL_ACTION_OFF);
                break;
            case 'k':
                con->NotifyControlAction(m, ZU_CTRL_ACTION_CLICKED);
                break;
            case 't':
                m->TurnOn();
                break;
            case 'f':
                m->TurnOff();
                break;
            }
            trace += (trace.empty() ? "" : " ") + Bits() + "/" +
                     std::to_string(watcher->Count("notify_active_changed")) + "/" +
                     std::to_string(con->CountActive());
        }
        return trace;
    }
    ZuObjectRef StoredAndRestored(const ZuObjectRef& object)
    {
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartStoring();
        s->StoreObject(object);
        const std::vector<unsigned char> bytes = s->Bytes();
        ZuTestStorageRef r = ZuTestStorage::Make();
        r->StartRestoring(bytes);
        ZuObjectRef out;
        r->RestoreObject(out, ZuSelectConRef::RetRuntime());
        return out;
    }

    ZuSelectConRef con;
    ZuToggleControlRef members[3];
    TestObserverRef watcher;
};

TEST_F(SelectConTest, PoliciesOverClicksPressesAndProgramCalls)
{
    struct Case {
        ZuSelectConType type;
        const char* steps;
        const char* trace;
    } cases[] = {
        // ONE: the press clears the active member without a report, the
        // release activates the pressed one and reports; clicking the
        // active one changes nothing.
        {ZU_SELECT_ONE, "a0 p1 r1 k1 c1", "100/1/1 000/1/0 010/2/1 010/2/1 010/2/1"},
        // SINGLE: clicking the active member leaves none; a press on
        // another member clears the group while the button is held.
        {ZU_SELECT_SINGLE, "a0 c0 a1 p0 c2", "100/1/1 000/2/0 010/3/1 000/4/0 001/5/1"},
        // MANY: the only active member stays; of two, one turns off.
        {ZU_SELECT_MANY, "a0 c0 c1 c0", "100/1/1 100/1/1 110/2/2 010/3/1"},
        // MULTIPLE: a second member keeps the first; any can turn off.
        {ZU_SELECT_MULTIPLE, "a0 a1 c0 c1", "100/1/1 110/2/2 010/3/1 000/4/0"},
        // NONE: members are not switched on, the previous one is turned
        // off all the same.
        {ZU_SELECT_NONE, "a0 t0 a1", "000/1/1 100/1/1 000/2/1"},
        // A program call on the active member shows it on again, silently.
        {ZU_SELECT_ONE, "a1 f1 s1", "010/1/1 000/1/1 010/1/1"},
    };
    for (const Case& c : cases) {
        NewController();
        EXPECT_EQ(Run(c.type, c.steps), c.trace)
            << ZuSelectConTypeRetName(c.type) << ": " << c.steps;
    }
}

TEST_F(SelectConTest, MembersFromAProviderAndByName)
{
    // Only a container can be the provider.
    EXPECT_FALSE(con->SetProvider(members[0]));
    EXPECT_TRUE(con->RetProvider().IsInvalid());
    ZuArrayRef list = ZuNew<ZuArray>(Zuvi_app_zone);
    list->Insert(members[2]);
    list->Insert(members[0]);
    EXPECT_TRUE(con->SetProvider(list));
    con->Initialise(ZU_SELECT_ONE, list);
    // Rank 0 of the provider is member 2.
    EXPECT_TRUE(con->SetActiveByRank(0));
    EXPECT_EQ(Bits(), "001");
    EXPECT_FALSE(con->SetActiveByRank(5));

    members[0]->SetUserName(ZuAtomRef("premier"));
    EXPECT_FALSE(con->SetActiveByName(ZuAtomRef("inconnu")));
    EXPECT_EQ(Bits(), "001");
    EXPECT_TRUE(con->SetActiveByName(ZuAtomRef("premier")));
    EXPECT_EQ(Bits(), "100");
    EXPECT_TRUE(con->RetActive() == members[0]);
    EXPECT_TRUE(con->SetProvider(ZuObjectNull));
    list->Delete();
}

TEST_F(SelectConTest, StoredControllerKeepsItsActiveMemberAndPolicy)
{
    con->Initialise(ZU_SELECT_MANY, ZuObjectNull);
    con->SetActiveByRank(2);
    ZuObjectRef out = StoredAndRestored(con);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuSelectConRef::RetRuntime()));
    ZuSelectConRef back(out);
    EXPECT_EQ(back->RetSelectType(), ZU_SELECT_MANY);
    EXPECT_EQ(back->RetActiveRank(), 2u);
    ASSERT_TRUE(back->RetActive().IsValid());
    EXPECT_TRUE(back->RetActive()->IsKindOf(ZuToggleControlRef::RetRuntime()));
    EXPECT_EQ(back->CountActive(), 1u);
    back->Delete();
}

// The rank of the active member indexes the table of the other active
// members. A stored controller comes back before its members are known, so
// any rank is read; one past the members is dropped when another member
// becomes active, never used to grow the table to its size.
TEST_F(SelectConTest, ARestoredRankPastTheMembersIsNeverCountedAmongTheOthers)
{
    struct Case {
        unsigned rank;
        unsigned active_after;
    } cases[] = {{1, 2}, {2, 2}, {3, 1}, {1000000, 1}, {0xFFFFFFFFu, 1}};
    for (const Case& c : cases) {
        NewController();
        con->Initialise(ZU_SELECT_MULTIPLE, ZuObjectNull);
        con->SetActive(members[0], c.rank, false);
        ASSERT_TRUE(con->RetActive() == members[0]);
        ZuSelectConRef back(StoredAndRestored(con));
        ASSERT_TRUE(back.IsValid()) << c.rank;
        EXPECT_EQ(back->RetActiveRank(), c.rank);
        back->SetActiveByRank(0);
        EXPECT_EQ(back->CountActive(), c.active_after) << c.rank;
        back->Delete();
    }
}

// Radio switches whose parents bear the same user name are one group; a
// controller that observes their clicks follows the group.
TEST_F(SelectConTest, RadioSwitchesUnderLikeNamedParentsFollowTheController)
{
    ZuViewRef left = ZuNew<ZuControl>(Zuvi_app_zone);
    ZuViewRef right = ZuNew<ZuControl>(Zuvi_app_zone);
    left->SetBox(ZuRect(0, 0, 49, 99));
    right->SetBox(ZuRect(50, 0, 99, 99));
    left->SetUserName(ZuAtomRef("groupe"));
    right->SetUserName(ZuAtomRef("groupe"));
    left->SetParent(w);
    right->SetParent(w);
    ZuSelectConRef radio = ZuNew<ZuSelectCon>(Zuvi_app_zone);
    radio->Initialise(ZU_SELECT_ONE, ZuObjectNull);
    ZuSwitchRef switches[3];
    for (unsigned i = 0; i < 3; ++i) {
        switches[i] = ZuNew<ZuSwitch>(Zuvi_app_zone);
        switches[i]->InitAsRadioButton();
        switches[i]->SetBox(ZuRect(i < 2 ? 0 : 50, 20 * i, i < 2 ? 49 : 99, 20 * i + 14));
        switches[i]->SetParent(i < 2 ? left : right);
        switches[i]->AttachObserver(radio, ZuAtomRef("notify_clicked"),
                                    ZuAtomRef("NotifyActivation"), i);
    }
    auto bits = [&] {
        std::string out;
        for (const ZuSwitchRef& s : switches)
            out += s->RetSwitchState() ? '1' : '0';
        return out;
    };
    Click(switches[0]->RetBox());
    EXPECT_EQ(bits(), "100");
    Click(switches[2]->RetBox());
    EXPECT_EQ(bits(), "001");
    EXPECT_EQ(radio->RetActiveRank(), 2u);
    // The one that is on stays on.
    Click(switches[2]->RetBox());
    EXPECT_EQ(bits(), "001");
    EXPECT_TRUE(radio->RetActive() == switches[2]);
    radio->Delete();
}

} // namespace
