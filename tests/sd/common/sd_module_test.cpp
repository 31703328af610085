#include "sd/common/sd_module.h"

#include "si/string.h"
#include "tests/support/objmodel.h"

#include <gtest/gtest.h>

class Module : public ZuviRuntimeTest {};

TEST_F(Module, LoadsOnceAndReportsMissingModules)
{
    Zuvi_Module missing;
    EXPECT_FALSE(missing.Load(ZuStringRef("no-such-module.so")));
    EXPECT_FALSE(missing.Load(ZuStringNull));

    // A library of the system, by its absolute name in library syntax.
    Zuvi_Module module;
    ASSERT_TRUE(module.Load(ZuStringRef("$drives$/lib/x86_64-linux-gnu/libz.so.1")));
    EXPECT_FALSE(module.Load(ZuStringRef("$drives$/lib/x86_64-linux-gnu/libz.so.1")));
}
