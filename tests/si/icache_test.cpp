#include "si/icache.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/interface.h"
#include "si/object.h"
#include "tests/support/objmodel.h"

ZU_HANDLE(TCacheHolder, ZuObject)
class TCacheHolder : public ZuObject, public ZuiCache {
    ZU_CLASS(TCacheHolder, ZuObject)
public:
    TCacheHolder() {}
    void DumpStatistics(FILE*) override { ++dumps; }
    int dumps = 0;
};
ZU_CLASS_END(TCacheHolder)
ZU_IMPLEMENT_CLASS(TCacheHolder, "tests/icache", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TCacheHolder, ZuiCache)

namespace {

class Cache : public ZuviRuntimeTest {};

TEST_F(Cache, EveryCacheOnceWhateverItsHandles)
{
    TCacheHolderRef a(ZuClassFactory::New("TCacheHolder", nullptr, __LINE__, __FILE__));
    TCacheHolderRef b(ZuClassFactory::New("TCacheHolder", nullptr, __LINE__, __FILE__));
    ZuObjectRef second_handle = a;
    ZuObjectRef third_handle = a;
    ZuObjectRef other(ZuClassFactory::New("ZuTypeInfo", nullptr, __LINE__, __FILE__));
    ASSERT_TRUE(ZuiCache::DumpStatisticsForAll(stdout));
    EXPECT_EQ(a->dumps, 1);
    EXPECT_EQ(b->dumps, 1);
    // The pass leaves no mark behind: a second pass visits them again.
    ASSERT_TRUE(ZuiCache::DumpStatisticsForAll(stdout));
    EXPECT_EQ(a->dumps, 2);
}

} // namespace
