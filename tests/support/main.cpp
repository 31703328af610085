// Test entry point: every test program of the project runs through here so
// that process-wide settings are the same for all of them.
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Tests run in parallel from one working directory; each test gets a fresh
// directory of its own for the files it writes, so that two tests using the
// same file name never see each other's files.
class ScratchPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { dir.reset(new ScratchDir); }
    void OnTestEnd(const ::testing::TestInfo&) override { dir.reset(); }
    std::unique_ptr<ScratchDir> dir;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-executes the binary, which is what
    // keeps them sound once library threads exist.
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScratchPerTest);
    return RUN_ALL_TESTS();
}
