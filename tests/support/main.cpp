// Test entry point: every test program of the project runs through here so
// that process-wide settings are the same for all of them.
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-executes the binary, which is what
    // keeps them sound once library threads exist.
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    return RUN_ALL_TESTS();
}
