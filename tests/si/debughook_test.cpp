// The debug hook: a class whose stored record is empty.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/debughook.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storageformat.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class DebugHookTest : public ZuviRuntimeTest {};

} // namespace

TEST_F(DebugHookTest, StoresAnEmptyRecordAndComesBack)
{
    ZuDebugHookRef hook(
        ZuObjectRef(ZuClassFactory::New("ZuDebugHook", Zuvi_app_zone, __LINE__, __FILE__)));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(hook);
    std::vector<unsigned char> bytes = s->Bytes();
    // The record's name, then at once a begin and an end mark.
    std::string const name = "<ZuDebugHook>";
    auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
    ASSERT_NE(bytes.end(), at);
    at += name.size();
    ASSERT_GE(bytes.end() - at, 2);
    EXPECT_EQ(Zuvi_StorageFormat::TYP_SYNC_BEGIN, at[0]);
    EXPECT_EQ(Zuvi_StorageFormat::TYP_SYNC_END, at[1]);
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuDebugHookRef::RetRuntime());
    EXPECT_TRUE(ZuDebugHookRef(out).IsValid());
    EXPECT_EQ(0u, s->Remaining());
}
