// The build architect: sizes and views asked of helper objects through
// messages, the size answered by a call back; copies, stored forms and the
// message shorthands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/buildarchitect.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

// A helper: "Size" answers with the sizes it is given (none: no answer),
// "Make" notes the holder it was asked to fill.
ZU_HANDLE(TBuildHelper, ZuObject)
class TBuildHelper : public ZuObject {
    ZU_CLASS(TBuildHelper, ZuObject)
public:
    TBuildHelper() {}
    std::vector<std::pair<double, double>> answers;
    unsigned asked = 0;
    ZuObjectRef last_item;
    ZuObjectRef last_holder;
    void Delete() override
    {
        last_item = ZuObjectNull;
        last_holder = ZuObjectNull;
        ZuObject::Delete();
    }
};
ZU_CLASS_END(TBuildHelper)
ZU_IMPLEMENT_CLASS(TBuildHelper, "tests/si/buildarchitect_test", ZU_CLASS_PLAIN)

namespace {

bool SizeThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Size (ZuObject architect, ZuObject item)");
        exp->SetArg("ZuObject", "architect", "the architect");
        exp->SetArg("ZuObject", "item", "the item");
        return true;
    }
    ZuObjectRef architect, item;
    msg >> architect >> item;
    TBuildHelper* helper = static_cast<TBuildHelper*>(obj);
    ++helper->asked;
    helper->last_item = item;
    for (const auto& a : helper->answers)
        ZuBuildArchitectRef(architect)->CallbackViewSize(a.first, a.second);
    return true;
}
Zuvi_TargetExport size_export(&SizeThunk, TBuildHelperRef::RetRuntime());

bool MakeThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Make (ZuObject architect, ZuObject item, ZuObject holder)");
        exp->SetArg("ZuObject", "architect", "the architect");
        exp->SetArg("ZuObject", "item", "the item");
        exp->SetArg("ZuObject", "holder", "the holder");
        return true;
    }
    ZuObjectRef architect, item, holder;
    msg >> architect >> item >> holder;
    TBuildHelper* helper = static_cast<TBuildHelper*>(obj);
    ++helper->asked;
    helper->last_item = item;
    helper->last_holder = holder;
    return true;
}
Zuvi_TargetExport make_export(&MakeThunk, TBuildHelperRef::RetRuntime());

class BuildArchitectTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        sizer = ZuNew<TBuildHelper>();
        maker = ZuNew<TBuildHelper>();
        architect = ZuNew<ZuBuildArchitect>();
        ASSERT_TRUE(architect->Initialise(Target("Size", sizer), Target("Make", maker)));
    }
    void TearDown() override
    {
        architect->Delete();
        sizer->Delete();
        maker->Delete();
        architect = ZuBuildArchitectRef();
        sizer = maker = TBuildHelperRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    static ZuTargetRef Target(const char* name, const ZuObjectRef& object)
    {
        ZuTargetRef t(ZuNew<ZuTarget>());
        t->SetTarget(ZuAtomRef(name), object, ZU_TARGET_MESSAGE);
        return t;
    }
    TBuildHelperRef sizer, maker;
    ZuBuildArchitectRef architect;
};

} // namespace

TEST_F(BuildArchitectTest, TheSizeIsTheLastCallBackOfThisQuestion)
{
    ZuObjectRef item = ZuNew<TBuildHelper>();
    double dx = -1, dy = -1;
    sizer->answers = {{10, 20}, {30, 40}};
    ASSERT_TRUE(architect->GetViewSize(item, dx, dy));
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, 40);
    EXPECT_TRUE(sizer->last_item == item);

    // No call back now: the earlier answer is not reused.
    sizer->answers.clear();
    dx = dy = -1;
    EXPECT_FALSE(architect->GetViewSize(item, dx, dy));
    EXPECT_EQ(dx, -1);
    EXPECT_EQ(dy, -1);

    // A call back outside a question is forgotten by the next question.
    architect->CallbackViewSize(5, 6);
    EXPECT_FALSE(architect->GetViewSize(item, dx, dy));
    EXPECT_EQ(sizer->asked, 3u);
    item->Delete();
}

TEST_F(BuildArchitectTest, AViewIsAskedOfTheHelperEvenWithoutAMethod)
{
    ZuProviderViewRef holder = ZuNew<ZuProviderView>(Zuvi_app_zone);
    ZuObjectRef item = ZuNew<TBuildHelper>();
    EXPECT_TRUE(architect->CreateView(item, holder));
    EXPECT_TRUE(maker->last_holder == holder);
    EXPECT_TRUE(maker->last_item == item);

    // A helper without a method of the target's name: still true.
    ZuBuildArchitectRef blind = ZuNew<ZuBuildArchitect>();
    ZuObjectRef plain = ZuNew<TBuildHelper>();
    blind->Initialise(Target("Nothing", plain), Target("Nothing", plain));
    EXPECT_TRUE(blind->CreateView(item, holder));
    double dx = 0, dy = 0;
    EXPECT_FALSE(blind->GetViewSize(item, dx, dy));
    blind->Delete();
    plain->Delete();
    holder->Delete();
    item->Delete();
}

// An architect without messages (never initialised, or read from a file
// that had none) answers false to both questions; empty targets are
// refused.
TEST_F(BuildArchitectTest, WithoutMessagesBothQuestionsAreFalse)
{
    ZuBuildArchitectRef bare = ZuNew<ZuBuildArchitect>();
    ZuProviderViewRef holder = ZuNew<ZuProviderView>(Zuvi_app_zone);
    double dx = 0, dy = 0;
    EXPECT_FALSE(bare->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_FALSE(bare->CreateView(ZuObjectNull, holder));
    EXPECT_FALSE(bare->Initialise(ZuTargetRef(), Target("Make", maker)));
    EXPECT_FALSE(bare->CreateView(ZuObjectNull, holder));

    ZuBuildArchitectRef back(StoredAndRead(bare));
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_FALSE(back->CreateView(ZuObjectNull, holder));
    back->Delete();
    bare->Delete();
    holder->Delete();
}

TEST_F(BuildArchitectTest, ACopyAsksTheSameHelpersThroughItsOwnMessages)
{
    ZuBuildArchitectRef copy(architect->Clone());
    ASSERT_TRUE(copy.IsValid());
    sizer->answers = {{7, 8}};
    double dx = 0, dy = 0;
    ASSERT_TRUE(copy->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_EQ(dx, 7);
    ASSERT_TRUE(architect->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_EQ(sizer->asked, 2u);
    copy->Delete();
}

TEST_F(BuildArchitectTest, ARestoredArchitectAnswersWithoutInitialise)
{
    ZuArrayRef both(ZuNew<ZuArray>());
    both->Insert(architect);
    both->Insert(sizer);
    ZuArrayRef back(StoredAndRead(both));
    ZuObjectRef a, s;
    ASSERT_TRUE(back->Get(0, a) && back->Get(1, s));
    TBuildHelperRef(s)->answers = {{11, 12}};
    double dx = 0, dy = 0;
    ASSERT_TRUE(ZuBuildArchitectRef(a)->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_EQ(dy, 12);
    EXPECT_EQ(sizer->asked, 0u);
    a->Delete();
    s->Delete();
}

TEST_F(BuildArchitectTest, MessageShorthandsClearAndNameTheMethod)
{
    ZuMessageRef msg = ZuNew<ZuMessage>();
    msg << 5;
    EXPECT_NE(msg->RetLength(), 0u);
    EXPECT_TRUE(&(-msg) == &msg);
    EXPECT_EQ(msg->RetLength(), 0u);
    EXPECT_TRUE(&(msg - ZuAtomRef("Make")) == &msg);
    EXPECT_TRUE(msg->RetMethod() == "Make");
    msg->Delete();
}
