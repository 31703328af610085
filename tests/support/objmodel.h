#ifndef TESTS_SUPPORT_OBJMODEL_H
#define TESTS_SUPPORT_OBJMODEL_H

// Brings the library's services up for a test and down again through the
// library's own start-up and shut-down (Zuvi_StartServices, si/maininit.h):
// memory zones, graphics memory hooks, atoms, class factory (every class
// registered so far, the test's own classes included), and whatever joins
// that table.
//
//   class MyTest : public ZuviRuntimeTest {};       // a fixture
//   TEST_F(MyTest, Works) {
//       ZuThingRef t = ZuNew<ZuThing>();
//   }
//
// or ZuviStartRuntime() / ZuviStopRuntime() by hand (death tests, threads).

#include <gtest/gtest.h>

void ZuviStartRuntime();
void ZuviStopRuntime();

class ZuviRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override { ZuviStartRuntime(); }
    void TearDown() override { ZuviStopRuntime(); }
};

#endif
