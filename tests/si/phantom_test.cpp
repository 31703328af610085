#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/atompath.h"
#include "si/dataslot.h"
#include "si/phantom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"

namespace {

// The phantoms here find their targets as fields of a data slot.
class PhantomTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        slot = ZuDataSlotRef(ZuNew<ZuDataSlot>(Zuvi_app_zone, __LINE__, "test"));
    }
    ZuPhantomRef NewPhantom(const char* path, bool is_const)
    {
        ZuPhantomRef p(ZuNew<ZuPhantom>(Zuvi_app_zone, __LINE__, "test"));
        ZuAtomPathRef atoms(ZuAtomPath::NewPath(path));
        EXPECT_TRUE(p->Initialise(slot, atoms, is_const));
        return p;
    }
    ZuDataSlotRef slot;
};

TEST_F(PhantomTest, ConstantPhantomKeepsItsFirstTarget)
{
    TestNumberRef first = TestNumber::Make(1), second = TestNumber::Make(2);
    slot->InsertField("target", first);
    ZuPhantomRef fixed = NewPhantom("target", true);
    ZuPhantomRef live = NewPhantom("target", false);
    ZuObjectRef via_fixed(fixed.RetRawObject()), via_live(live.RetRawObject());
    EXPECT_TRUE(via_fixed == first);
    EXPECT_TRUE(via_live == first);
    EXPECT_TRUE(via_fixed.IsPhantom());

    slot->InsertField("target", second);
    EXPECT_TRUE(via_fixed == first);
    EXPECT_TRUE(via_live == second);
    EXPECT_TRUE(fixed.RetRawObject()->IsConstObject()); // -> would reach the target
    EXPECT_FALSE(live.RetRawObject()->IsConstObject());
}

TEST_F(PhantomTest, NeverInitialisedResolvesToItself)
{
    ZuPhantomRef p(ZuNew<ZuPhantom>(Zuvi_app_zone, __LINE__, "test"));
    EXPECT_EQ(p.Resolve(), p.RetRawObject());
    EXPECT_FALSE(ZuObjectRef(p).IsPhantom());
}

TEST_F(PhantomTest, PathNamingNothingResolvesToNull)
{
    ZuPhantomRef p = NewPhantom("missing", false);
    ZuObjectRef handle(p.RetRawObject());
    EXPECT_TRUE(handle.IsInvalid());
    EXPECT_DEATH(handle->RetMemZone(), "Tried to resolve NULL pointer");
}

TEST_F(PhantomTest, PathWalksThroughPublishedData)
{
    ZuDataSlotRef inner(ZuNew<ZuDataSlot>(Zuvi_app_zone, __LINE__, "test"));
    TestNumberRef target = TestNumber::Make(3);
    inner->InsertField("target", target);
    slot->InsertField("inner", inner);
    ZuPhantomRef p = NewPhantom("inner.target", false);
    ZuObjectRef handle(p.RetRawObject());
    EXPECT_TRUE(handle == target);
    inner->Delete();
}

} // namespace
