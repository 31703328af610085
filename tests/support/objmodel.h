#ifndef TESTS_SUPPORT_OBJMODEL_H
#define TESTS_SUPPORT_OBJMODEL_H

// Brings the object runtime up for a test and down again, in the order of
// the library's own start-up: memory zones, atoms, class factory (every
// class registered so far, the test's own classes included); down: deferred
// deletions, class factory, atoms, zones.
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
