#include "sd/win32/sd_grailwdo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "w32/kernel.h"
#include "w32/module.h"

namespace {

TEST(GrailWindowClass, NameFromProgramThreadAndProcess)
{
    struct Case {
        const char* path;
        unsigned long thread, process;
        const char* want;
    } const cases[] = {
        {"/usr/bin/lumbra", 0x1a4, 0x2f0, "Zuvi:Grail:1X:lumbra:1a4:2f0"},
        {"C:\\Apps\\lumbra.exe", 0x1a4, 0x2f0, "Zuvi:Grail:1X:lumbra.exe:1a4:2f0"},
        {"lumbra", 0xABCDEF, 1, "Zuvi:Grail:1X:lumbra:abcdef:1"},
        {"/a\\b/c", 0, 0x10, "Zuvi:Grail:1X:c:0:10"},
        {"", 1, 2, "Zuvi:Grail:1X::1:2"},
    };
    for (const Case& c : cases) {
        char out[200];
        Zuvi_GrWindowRec::FormatClassName(c.path, c.thread, c.process, out);
        EXPECT_STREQ(out, c.want) << c.path;
    }
    // Too long: cut at 199 characters, terminated.
    std::string long_name = "/bin/" + std::string(250, 'x');
    char out[201];
    std::memset(out, 'Z', sizeof out);
    Zuvi_GrWindowRec::FormatClassName(long_name.c_str(), 1, 2, out);
    EXPECT_EQ(std::strlen(out), 199u);
    EXPECT_EQ(out[200], 'Z');
    EXPECT_EQ(std::string(out, 14), "Zuvi:Grail:1X:");
}

TEST(GrailWindowClass, GlobalInitRegistersOneClassForThisThreadAndProcess)
{
    int module;
    HINSTANCE instance = &module;
    Zuvi_GrWindowRec::GlobalInit(instance);
    ASSERT_NE(Zuvi_GrWindowRec::RetClassAtom(), 0);
    char path[260];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char want[200];
    Zuvi_GrWindowRec::FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), want);
    EXPECT_STREQ(Zuvi_GrWindowRec::RetClassName(), want);
    EXPECT_NE(std::strstr(want, ":test_sd_win32:"), nullptr);

    WNDCLASSEXA wc;
    ASSERT_TRUE(GetClassInfoExA(instance, want, &wc));
    EXPECT_EQ(wc.style, CS_OWNDC);
    EXPECT_EQ(wc.cbWndExtra, int(sizeof(void*)) + 12);
    EXPECT_EQ(wc.lpfnWndProc, GrailWindowProc);
    EXPECT_EQ(wc.hInstance, instance);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);

    Zuvi_GrWindowRec::GlobalKill();
    EXPECT_FALSE(GetClassInfoExA(instance, want, &wc));
}

TEST(GrailWindowClass, WinMainWithAPreviousInstanceDoesNothing)
{
    int module, previous;
    char path[260];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char name[200];
    Zuvi_GrWindowRec::FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), name);
    EXPECT_EQ(WinMain(&module, &previous, nullptr, 0), 0);
    WNDCLASSEXA wc;
    EXPECT_FALSE(GetClassInfoExA(&module, name, &wc));
}

TEST(GrailWindowClass, WinMainRunsTheLibraryInsideTheClassSpan)
{
    // In a child process: the library's start-up runs to its end (the
    // test program has no application class) and the class is gone after.
    EXPECT_EXIT(
        {
            int module;
            int code = WinMain(&module, nullptr, nullptr, 0);
            WNDCLASSEXA wc;
            bool gone = !GetClassInfoExA(&module, Zuvi_GrWindowRec::RetClassName(), &wc);
            std::exit(code == 0 && gone && Zuvi_GrWindowRec::RetClassAtom() != 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(GrailWindowClass, OnlyWindowsWithTheMarkerAndAnObjectAreLibraryWindows)
{
    int module;
    Zuvi_GrWindowRec::GlobalInit(&module);
    HWND w = CreateWindowExA(0, Zuvi_GrWindowRec::RetClassName(), "", WS_POPUP, 0, 0, 10, 10,
                             nullptr, nullptr, &module, nullptr);
    ASSERT_NE(w, nullptr);
    int object;
    struct Case {
        LONG_PTR word0;
        DWORD marker;
        bool library;
    } const cases[] = {
        {0, 0, false},
        {LONG_PTR(&object), 0, false},
        {0, ZU_GRAIL_MARKER, false},
        {LONG_PTR(&object), ZU_GRAIL_MARKER + 1, false},
        {LONG_PTR(&object), ZU_GRAIL_MARKER, true},
    };
    for (const Case& c : cases) {
        SetWindowLongPtrA(w, ZU_GRAIL_WORD_OBJECT, c.word0);
        SetWindowLongA(w, ZU_GRAIL_WORD_MARKER, LONG(c.marker));
        EXPECT_EQ(GrailWindowFromHandle(w),
                  c.library ? reinterpret_cast<ZuGrailWindow*>(&object) : nullptr);
    }
    EXPECT_EQ(GrailWindowFromHandle(nullptr), nullptr);

    // A window of another class whose name begins with the prefix, but
    // without the words, is not one.
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Zuvi:Grail:1X:other:1:2";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND other = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(GrailWindowFromHandle(other), nullptr);
    DestroyWindow(other);
    UnregisterClassA(wc.lpszClassName, nullptr);
    DestroyWindow(w);
    Zuvi_GrWindowRec::GlobalKill();
}

} // namespace
