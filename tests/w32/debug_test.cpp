#include "w32/debug.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/debugcapture.h"

namespace {

// Sets ZUVI_DEBUG_OUTPUT for as long as it lives (unset: null).
class DebugOutputVariable {
public:
    explicit DebugOutputVariable(const char* value)
    {
        if (const char* old = std::getenv("ZUVI_DEBUG_OUTPUT")) {
            had = true;
            previous = old;
        }
        if (value != nullptr)
            setenv("ZUVI_DEBUG_OUTPUT", value, 1);
        else
            unsetenv("ZUVI_DEBUG_OUTPUT");
    }
    ~DebugOutputVariable()
    {
        if (had)
            setenv("ZUVI_DEBUG_OUTPUT", previous.c_str(), 1);
        else
            unsetenv("ZUVI_DEBUG_OUTPUT");
    }

private:
    bool had = false;
    std::string previous;
};

} // namespace

TEST(W32Debug, TheDefaultSinkWritesToStandardError)
{
    DebugOutputVariable shown("1");
    testing::internal::CaptureStderr();
    OutputDebugStringA("piece one, ");
    OutputDebugStringA("piece two\n");
    int answer = MessageBoxA(nullptr, "Something happened", "Warning", MB_YESNO);
    int ok = MessageBoxA(nullptr, "line\n", nullptr, MB_OK);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "piece one, piece two\n[Warning] Something happened\n[Error] line\n");
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(ok, IDOK);
}

TEST(W32Debug, DebuggerOutputIsShownOnlyWhenAskedFor)
{
    // Boxes are always shown; the debugger output only with the variable
    // set to something other than "" or "0".
    struct Case {
        const char* value;
        bool shown;
    } const cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
        DebugOutputVariable variable(c.value);
        EXPECT_EQ(W32_DebugOutputShown(), c.shown);
        testing::internal::CaptureStderr();
        OutputDebugStringA("trace\n");
        MessageBoxA(nullptr, "box", "Note", MB_OK);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string(c.shown ? "trace\n" : "") + "[Note] box\n");
    }
}

TEST(W32Debug, ACaptureSeesEverythingAndChoosesAnswers)
{
    DebugOutputVariable shown("1");
    testing::internal::CaptureStderr();
    {
        DebugCapture capture;
        OutputDebugStringA("trace");
        capture.answer = IDNO;
        EXPECT_EQ(MessageBoxA(nullptr, "Save?", "Question", MB_YESNOCANCEL), IDNO);
        ASSERT_EQ(capture.Entries().size(), 2u);
        EXPECT_EQ(capture.DebugText(), "trace");
        EXPECT_EQ(capture.LastBox().caption, "Question");
        EXPECT_EQ(capture.LastBox().text, "Save?");
        EXPECT_EQ(capture.LastBox().type, MB_YESNOCANCEL);
        {
            DebugCapture inner; // captures nest
            OutputDebugStringA("inner");
            EXPECT_EQ(inner.DebugText(), "inner");
        }
        OutputDebugStringA(" again");
        EXPECT_EQ(capture.DebugText(), "trace again");
    }
    OutputDebugStringA("after\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "after\n");
}

TEST(W32Debug, FirstButtonsOfEveryBoxType)
{
    EXPECT_EQ(W32_FirstButton(MB_OK), IDOK);
    EXPECT_EQ(W32_FirstButton(MB_OKCANCEL), IDOK);
    EXPECT_EQ(W32_FirstButton(MB_ABORTRETRYIGNORE | MB_ICONERROR), IDABORT);
    EXPECT_EQ(W32_FirstButton(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(W32_FirstButton(MB_YESNO), IDYES);
    EXPECT_EQ(W32_FirstButton(MB_RETRYCANCEL), IDRETRY);
}
