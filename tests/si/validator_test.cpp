#include "si/validator.h"

#include "si/checker.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <string>

// A control that the validator switches on ('E') and off ('D').
ZU_HANDLE(TValSwitch, ZuObject)
class TValSwitch : public ZuObject {
    ZU_CLASS(TValSwitch, ZuObject)
public:
    TValSwitch() {}
    bool SetEnable()
    {
        log += 'E';
        return true;
    }
    bool SetDisable()
    {
        log += 'D';
        return true;
    }
    std::string log;
};
ZU_CLASS_END(TValSwitch)
ZU_IMPLEMENT_CLASS(TValSwitch, "tests/validator", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TValSwitch, SetEnable)
ZU_EXPORT_ACTOR(TValSwitch, SetDisable)

namespace {

class ValidatorTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(
            ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
    }
};

TEST_F(ValidatorTest, FirstVerdictIsAlwaysAnnounced)
{
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    TValSwitchRef button = Make<TValSwitchRef>();
    EXPECT_TRUE(validator->IsValid());
    EXPECT_TRUE(validator->AttachAutoEnable(button));
    ZuCheckerRef checker = Make<ZuCheckerRef>();
    validator->NotifyValidityChange(checker, true);
    EXPECT_EQ(button->log, "E");
    // Unchanged now: nothing more.
    validator->NotifyValidityChange(checker, true);
    EXPECT_EQ(button->log, "E");
}

TEST_F(ValidatorTest, OnlyTheLastInvalidCheckerTurningValidEnables)
{
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    TValSwitchRef button = Make<TValSwitchRef>();
    validator->AttachAutoEnable(button);
    ZuCheckerRef a = Make<ZuCheckerRef>();
    ZuCheckerRef b = Make<ZuCheckerRef>();
    validator->NotifyValidityChange(a, false);
    validator->NotifyValidityChange(b, false);
    EXPECT_EQ(button->log, "D");
    EXPECT_EQ(validator->TotalCount(), 2u);
    ZuObjectRef second;
    ASSERT_TRUE(validator->Get(1, second));
    EXPECT_FALSE(validator->Get(2, second));

    validator->NotifyValidityChange(a, true);
    EXPECT_EQ(button->log, "D");
    EXPECT_FALSE(validator->IsValid());
    validator->NotifyValidityChange(b, true);
    EXPECT_EQ(button->log, "DE");
    EXPECT_TRUE(validator->IsValid());

    EXPECT_TRUE(validator->DetachAutoEnable(button));
    validator->NotifyValidityChange(a, false);
    EXPECT_EQ(button->log, "DE");
}

TEST_F(ValidatorTest, ACheckerIsListedOnce)
{
    // A checker restored apart from its validator reports its invalid text
    // again; one valid verdict must still clear it.
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    ZuCheckerRef checker = Make<ZuCheckerRef>();
    validator->NotifyValidityChange(checker, false);
    validator->NotifyValidityChange(checker, false);
    EXPECT_EQ(validator->TotalCount(), 1u);
    validator->NotifyValidityChange(checker, true);
    EXPECT_TRUE(validator->IsValid());
}

TEST_F(ValidatorTest, RestoredValidatorKeepsItsCheckersAndAnnouncesAgain)
{
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    ZuCheckerRef checker = Make<ZuCheckerRef>();
    validator->NotifyValidityChange(checker, false);

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(validator);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuValidatorRef::RetRuntime());
    ZuValidatorRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_FALSE(copy->IsValid());
    ZuObjectRef restored_checker;
    ASSERT_TRUE(copy->Get(0, restored_checker));
    EXPECT_TRUE(restored_checker->IsKindOf(ZuCheckerRef::RetRuntime()));

    TValSwitchRef button = Make<TValSwitchRef>();
    copy->AttachAutoEnable(button);
    // The verdict does not change, but nothing was announced since restoring.
    copy->NotifyValidityChange(ZuCheckerRef(restored_checker), false);
    EXPECT_EQ(button->log, "D");
    copy->NotifyValidityChange(ZuCheckerRef(restored_checker), true);
    EXPECT_EQ(button->log, "DE");
}

TEST_F(ValidatorTest, DeleteEmptiesTheList)
{
    ZuValidatorRef validator = Make<ZuValidatorRef>();
    validator->NotifyValidityChange(Make<ZuCheckerRef>(), false);
    validator->Delete();
    EXPECT_EQ(validator->TotalCount(), 0u);
    EXPECT_TRUE(validator->IsValid());
}

} // namespace
