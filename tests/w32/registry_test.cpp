#include "w32/registry.h"
#include "w32/env.h"
#include "w32/module.h"
#include "w32/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string QueryFolder(const char* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char buf[4096];
    DWORD size = sizeof buf, type = 0;
    LSTATUS st = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    if (st != ERROR_SUCCESS)
        return "<no value>";
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, std::strlen(buf) + 1);
    return buf;
}

} // namespace

TEST(W32Registry, FontsFolderComesFromTheEnvironmentOrBesideTheLibrary)
{
    ::setenv("ZUVI_FONTS_DIR", "/some/fonts", 1);
    EXPECT_EQ(QueryFolder("Fonts"), "/some/fonts");
    EXPECT_EQ(QueryFolder("FONTS"), "/some/fonts"); // names fold case
    ::unsetenv("ZUVI_FONTS_DIR");
    std::string beside = QueryFolder("Fonts");
    ASSERT_GT(beside.size(), 6u);
    EXPECT_EQ(beside.substr(beside.size() - 6), "/fonts");
    EXPECT_EQ(QueryFolder("NoSuchValue"), "<no value>");
}

TEST(W32Registry, KeysAreWalkedOneByOne)
{
    HKEY k1, k2;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &k1), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(k1, "microsoft\\windows", 0, KEY_READ, &k2), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(k2, "Missing", 0, KEY_READ, &k1), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &k1),
              ERROR_FILE_NOT_FOUND);
    DWORD disp = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k1, &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\new", 0, KEY_READ, &k2), ERROR_SUCCESS);
    EXPECT_EQ(k1, k2);
}

TEST(W32Registry, SizeQueriesAndSmallBuffers)
{
    ::setenv("ZUVI_FONTS_DIR", "/f", 1);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Fonts", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    BYTE small[2];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Fonts", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    ::unsetenv("ZUVI_FONTS_DIR");
}

TEST(W32Shell, DesktopIsTheXdgDirectoryOrHome)
{
    ::setenv("HOME", ".", 1);
    ::setenv("XDG_CONFIG_HOME", "./no-config", 1);
    ::unsetenv("XDG_DESKTOP_DIR");
    EXPECT_EQ(W32_DesktopDirectory(), ".");
    ::setenv("XDG_DESKTOP_DIR", "/", 1);
    EXPECT_EQ(W32_DesktopDirectory(), "/");
    ::setenv("XDG_DESKTOP_DIR", "./does-not-exist", 1);
    EXPECT_EQ(W32_DesktopDirectory(), ".");

    IMalloc* alloc = nullptr;
    ASSERT_EQ(SHGetMalloc(&alloc), S_OK);
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list), S_OK);
    char path[260];
    ASSERT_TRUE(SHGetPathFromIDListA(list, path));
    EXPECT_STREQ(path, ".");
    alloc->Free(list);
}

TEST(W32Env, VariablesAndBufferSizes)
{
    ::setenv("W32_TEST_VAR", "value", 1);
    char buf[16];
    EXPECT_EQ(GetEnvironmentVariableA("W32_TEST_VAR", buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "value");
    EXPECT_EQ(GetEnvironmentVariableA("W32_TEST_VAR", buf, 5), 6u);
    ::unsetenv("W32_TEST_VAR");
    EXPECT_EQ(GetEnvironmentVariableA("W32_TEST_VAR", buf, sizeof buf), 0u);
}

TEST(W32Module, TheLibraryAndTheProgramKnowTheirFiles)
{
    char buf[4096];
    HMODULE lib = GetModuleHandleA("Zuvi.1.0.dll");
    ASSERT_NE(lib, nullptr);
    DWORD n = GetModuleFileNameA(lib, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    std::string name(buf, n);
    EXPECT_EQ(name.substr(name.rfind('/') + 1), "libZuvi.1.0.so");
    EXPECT_EQ(name[0], '/');

    n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    std::string program(buf, n);
    EXPECT_EQ(program.substr(program.rfind('/') + 1), "test_w32");
    std::string line = GetCommandLineA();
    EXPECT_EQ(line.substr(0, program.size() + 2), "\"" + program + "\"");

    // A cut name still ends with a zero.
    EXPECT_EQ(GetModuleFileNameA(nullptr, buf, 4), 4u);
    EXPECT_EQ(std::strlen(buf), 3u);
    EXPECT_EQ(LoadLibraryA("no-such-library.so"), nullptr);
}
