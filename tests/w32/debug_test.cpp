#include "w32/debug.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/debugcapture.h"

TEST(W32Debug, TheDefaultSinkWritesToStandardError)
{
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

TEST(W32Debug, ACaptureSeesEverythingAndChoosesAnswers)
{
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
