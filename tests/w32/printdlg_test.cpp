#include "w32/module.h"
#include "w32/printdlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

class W32PrintDialog : public ::testing::Test {
protected:
    void TearDown() override
    {
        W32_ClearPrintScript();
        W32_ScriptPrintService(-1, nullptr);
    }
};

TEST_F(W32PrintDialog, DefaultsFollowThePrintService)
{
    W32_ScriptPrintService(0, nullptr);
    PRINTDLGA s;
    W32_DefaultPrintSettings(&s);
    EXPECT_EQ(s.lStructSize, sizeof s);
    EXPECT_EQ(s.nCopies, 1);
    EXPECT_EQ(s.dMediaWidth, 595.0);
    EXPECT_EQ(s.dMediaHeight, 842.0);
    EXPECT_TRUE(s.Flags & PD_PRINTTOFILE);
    std::string file = s.szFile;
    EXPECT_EQ(file.substr(file.size() - 11), "/lumbra.pdf");
    char name[8];
    DWORD size = sizeof name;
    EXPECT_FALSE(GetDefaultPrinterA(name, &size));

    W32_ScriptPrintService(1, "laser");
    W32_DefaultPrintSettings(&s);
    EXPECT_FALSE(s.Flags & PD_PRINTTOFILE);
    EXPECT_STREQ(s.szPrinter, "laser");
    size = 3;
    EXPECT_FALSE(GetDefaultPrinterA(name, &size));
    EXPECT_EQ(size, 6u);
    EXPECT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "laser");
}

TEST_F(W32PrintDialog, AnswersWhatTheScriptSays)
{
    PRINTDLGA s;
    W32_DefaultPrintSettings(&s);
    // Unscripted: the settings as they are, confirmed.
    EXPECT_TRUE(PrintDlgA(&s));
    EXPECT_EQ(s.nCopies, 1);

    W32_ScriptPrintDialog(FALSE, nullptr);
    s.nCopies = 4;
    EXPECT_FALSE(PrintDlgA(&s));
    EXPECT_EQ(s.nCopies, 4);
    EXPECT_EQ(W32_PrintDialogCount(), 1u);

    PRINTDLGA answer = s;
    answer.nCopies = 2;
    std::strcpy(answer.szFile, "/tmp/x.pdf");
    W32_ScriptPrintDialog(TRUE, &answer);
    s.Flags |= PD_PRINTSETUP;
    EXPECT_TRUE(PrintDlgA(&s));
    EXPECT_EQ(s.nCopies, 2);
    EXPECT_STREQ(s.szFile, "/tmp/x.pdf");
    EXPECT_TRUE(s.Flags & PD_PRINTSETUP);

    PRINTDLGA wrong = s;
    wrong.lStructSize = 3;
    EXPECT_FALSE(PrintDlgA(&wrong));
    EXPECT_FALSE(PrintDlgA(nullptr));
}

TEST(W32Module, ProcedureAddressesOfALoadedLibrary)
{
    HMODULE lib = LoadLibraryA("libgs.so.10");
    ASSERT_NE(lib, nullptr);
    EXPECT_NE(GetProcAddress(lib, "gsapi_revision"), nullptr);
    EXPECT_EQ(GetProcAddress(lib, "no_such_function_here"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "gsapi_revision"), nullptr);
    EXPECT_EQ(GetProcAddress(lib, nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(lib));
    EXPECT_FALSE(FreeLibrary(nullptr));
}
