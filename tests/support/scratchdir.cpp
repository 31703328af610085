#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "dir";
    if (info)
        name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    previous = fs::current_path().string();
    fs::path dir = fs::current_path() / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    fs::current_path(dir);
    path = dir.string();
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::current_path(previous, ec);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}
