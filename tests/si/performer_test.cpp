// Performers: abstract, stored with their argument.
#include <gtest/gtest.h>

#include <vector>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/performer.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

ZU_HANDLE(TWork, ZuPerformer)
class TWork : public ZuPerformer {
    ZU_CLASS(TWork, ZuPerformer)
public:
    TWork() {}
    bool Run(const ZuObjectRef&) override { return true; }
};
ZU_CLASS_END(TWork)
ZU_IMPLEMENT_CLASS(TWork, "tests/performer", ZU_CLASS_PLAIN)

namespace {

class PerformerTest : public ZuviRuntimeTest {};

} // namespace

TEST_F(PerformerTest, ThePerformerItselfCannotBeMade)
{
    EXPECT_DEATH(ZuClassFactory::New("ZuPerformer", Zuvi_app_zone, __LINE__, __FILE__),
                 "si/performer:[0-9]+:error: Cannot instanciate ZuPerformer");
    EXPECT_DEATH(ZuNew<ZuPerformer>(), "Cannot instanciate ZuPerformer");
}

TEST_F(PerformerTest, AStoredPerformerKeepsItsArgument)
{
    for (bool with_arg : {true, false}) {
        TWorkRef work(ZuNew<TWork>());
        if (with_arg)
            work->SetArgument(ZuTestNode::Make(77));
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartStoring();
        s->StoreObject(work);
        std::vector<unsigned char> bytes = s->Bytes();
        s->StartRestoring(bytes);
        ZuObjectRef out;
        s->RestoreObject(out, ZuPerformerRef::RetRuntime());
        TWorkRef back(out);
        ASSERT_TRUE(back.IsValid());
        if (with_arg) {
            ASSERT_TRUE(back->RetArgument().IsValid());
            EXPECT_EQ(77, ZuTestNodeRef(back->RetArgument())->value);
        } else {
            EXPECT_TRUE(back->RetArgument().IsInvalid());
        }
        back->Delete();
        EXPECT_TRUE(back->RetArgument().IsInvalid());
    }
}
