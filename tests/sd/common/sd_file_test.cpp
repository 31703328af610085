#include "sd/common/sd_file.h"

#include "si/array.h"
#include "si/atom.h"
#include "si/string.h"
#include "si/time.h"
#include "tests/support/objmodel.h"
#include "w32/dir.h"
#include "tests/support/scratchdir.h"
#include "tests/support/text.h"
#include "zoveda/gfxmemory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The fonts folder is read once at start-up: the fixture names it first.
class FileLayer : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ::setenv("ZUVI_FONTS_DIR", "/fonts", 1);
        ZuviRuntimeTest::SetUp();
    }
    ScratchDir scratch;
};

// Candidate n of a path, or "<none>".
std::string Expand(const char* path, int n)
{
    ZuStringRef out;
    if (!Zuvi_File::ExpandPath(ZuStringRef(path), out, n))
        return "<none>";
    return Text(out);
}

std::vector<std::string> Split(const char* path, unsigned short sep = '/')
{
    ZuStringArray elements;
    EXPECT_TRUE(Zuvi_File::SplitPath(path ? ZuStringRef(path) : ZuStringNull, elements, sep));
    std::vector<std::string> out;
    for (unsigned i = 0; i < elements->TotalCount(); ++i)
        out.push_back(Text(elements[i]));
    return out;
}

void Spit(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

bool Exists(const std::string& name)
{
    return std::ifstream(name).good();
}

std::string Cwd()
{
    return Text(Zuvi_File::RetCurrentDirectory());
}

} // namespace

TEST(FileLayerHooks, GraphicsEngineAllocatesThroughTheCRuntimeOnceHooked)
{
    Zuvi_SetGfxMemoryHooks();
    ASSERT_NE(GfxMemory::fn_alloc, nullptr);
    ASSERT_NE(GfxMemory::fn_free, nullptr);
    EXPECT_EQ(GfxMemory::arg, nullptr);
    void* block = GfxMemory::fn_alloc(GfxMemory::arg, 64);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 64); // the sanitizer checks that all 64 bytes are ours
    GfxMemory::fn_free(GfxMemory::arg, block);
}

TEST_F(FileLayer, ExpansionWithoutVariablesHasOneCandidate)
{
    EXPECT_EQ(Expand("100%%", 0), "100%");
    EXPECT_EQ(Expand("a/b.txt", 0), "a/b.txt");
    EXPECT_EQ(Expand("a/b.txt", 1), "<none>");
    EXPECT_EQ(Expand("a/b.txt", -1), "<none>");
    // A "%" that does not open a known variable stands for itself.
    EXPECT_EQ(Expand("50%off/%foo%/x%", 0), "50%off/%foo%/x%");
}

TEST_F(FileLayer, SpecialDirectories)
{
    std::string lib = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI));
    ASSERT_GT(lib.size(), 14u);
    EXPECT_EQ(lib.substr(0, 9), "$drives$/");
    EXPECT_EQ(lib.substr(lib.size() - 5), "/Zuvi");
    std::string app = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_APP));
    EXPECT_EQ(app.substr(0, 9), "$drives$/");
    EXPECT_EQ(Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_DESKTOP)), "$desktop$");
    EXPECT_EQ(Text(Zuvi_File::RetSpecialDirectory(static_cast<Zuvi_FileToken>(7))), "");

    EXPECT_EQ(Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_FONT)), "$drives$/fonts");
}

TEST_F(FileLayer, ZuviDirNamesTheLibraryDirectory)
{
    std::string cwd = Cwd();
    ASSERT_EQ(setenv("ZUVI_DIR", (scratch.Path() + "/").c_str(), 1), 0);
    EXPECT_EQ(Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI)), cwd);
    EXPECT_EQ(Expand("%Zuvi%/Resources/x", 0), cwd + "/Resources/x");
    // Unset or empty: the folder beside the library again.
    ASSERT_EQ(setenv("ZUVI_DIR", "", 1), 0);
    std::string lib = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI));
    EXPECT_EQ(lib.substr(lib.size() - 5), "/Zuvi");
    unsetenv("ZUVI_DIR");
    EXPECT_EQ(Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI)), lib);
}

TEST_F(FileLayer, CandidatesOfTheVariables)
{
    std::string lib = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI));
    std::string app = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_APP));
    std::string cwd = Cwd();
    const std::string fonts = "$drives$/fonts";

    EXPECT_EQ(Expand("%Zuvi%/x.png", 0), lib + "/x.png");
    EXPECT_EQ(Expand("%Zuvi%/x.png", 1), app + "/x.png");
    EXPECT_EQ(Expand("%Zuvi%/x.png", 2), cwd + "/x.png");
    EXPECT_EQ(Expand("%Zuvi%/x.png", 3), "<none>");
    EXPECT_EQ(Expand("%app%/y", 0), app + "/y");
    EXPECT_EQ(Expand("%app%/y", 1), "<none>");

    // Font and library variables: 12 candidates, the font digit fastest.
    const std::string font_dirs[] = {fonts, lib, app, cwd};
    const std::string zuvi_dirs[] = {lib, app, cwd};
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(Expand("%font%|%Zuvi%", n), font_dirs[n % 4] + "|" + zuvi_dirs[n / 4]) << n;
    EXPECT_EQ(Expand("%font%|%Zuvi%", 12), "<none>");
}

TEST_F(FileLayer, ExpansionsThatDoNotFitAreRefused)
{
    std::string fits(249, 'a');
    EXPECT_EQ(Expand(fits.c_str(), 0), fits);
    std::string longer(250, 'a');
    EXPECT_EQ(Expand(longer.c_str(), 0), "<none>");
    std::string grows = "%Zuvi%" + std::string(240, 'b');
    EXPECT_EQ(Expand(grows.c_str(), 0), "<none>");
}

TEST_F(FileLayer, OpeningTriesEveryCandidateInTurn)
{
    // Missing beside the library and in the application directory, present
    // in the current directory: the third candidate opens.
    Spit("only-here.txt", "third");
    Zuvi_File* file = Zuvi_File::Open(ZuStringRef("%Zuvi%/only-here.txt"), {ZU_FOPEN_READ});
    ASSERT_NE(file, nullptr);
    char buf[16] = {0};
    EXPECT_EQ(file->Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "third");
    EXPECT_TRUE(Zuvi_File::Close(file));
    EXPECT_EQ(file, nullptr);
    EXPECT_FALSE(Zuvi_File::Close(file));

    EXPECT_EQ(Zuvi_File::Open(ZuStringRef("%Zuvi%/nowhere.txt"), {ZU_FOPEN_READ}), nullptr);
}

TEST_F(FileLayer, KindPrefixes)
{
    // A ":" past the second character splits off a kind; this one is not
    // registered.
    EXPECT_EQ(Zuvi_File::Open(ZuStringRef("$drives$/tmp/a:b"), {ZU_FOPEN_READ}), nullptr);
    // With a leading "/" or ".", or a drive-like second character, the text
    // is an ordinary path.
    Spit("a:b", "colon");
    Zuvi_File* file = Zuvi_File::Open(ZuStringRef("./a:b"), {ZU_FOPEN_READ});
    ASSERT_NE(file, nullptr);
    Zuvi_File::Close(file);
    Spit("C:thing", "drive");
    file = Zuvi_File::Open(ZuStringRef("C:thing"), {ZU_FOPEN_READ});
    ASSERT_NE(file, nullptr);
    Zuvi_File::Close(file);
    file = Zuvi_File::Open(ZuStringRef("file:a:b"), {ZU_FOPEN_READ});
    ASSERT_NE(file, nullptr);
    Zuvi_File::Close(file);
}

TEST_F(FileLayer, PropertiesOfPseudoFoldersFilesAndDirectories)
{
    ZuFileAttInfo info;
    ZuAtomRef kind;
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef(""), info, kind, true));
    EXPECT_EQ(kind, ZuAtomRef("File_Desktop"));
    EXPECT_EQ(info.attributes,
              (ZuFileAttributes{ZU_FATT_DIRECTORY, ZU_FATT_PSEUDO, ZU_FATT_CUSTOM_ICON}));
    EXPECT_EQ(info.size, 0u);
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef("/"), info, kind, true));
    EXPECT_EQ(kind, ZuAtomRef("File_Desktop"));
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef("$drives$"), info, kind, true));
    EXPECT_EQ(kind, ZuAtomRef("File_Computer"));

    Spit("doc.txt", "12345");
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef("doc.txt"), info, kind, true));
    EXPECT_EQ(kind, ZuAtomRef("File_Document"));
    EXPECT_EQ(info.size, 5u);
    EXPECT_EQ(info.attributes, (ZuFileAttributes{ZU_FATT_READ_OK, ZU_FATT_WRITE_OK}));
    EXPECT_GT(info.time_modified, ZuTime::DateTimeToAbsTime(1, 1, 2020, 0, 0, 0, 0));

    ASSERT_TRUE(Zuvi_File::CreateDirectoryA(ZuStringRef("folder")));
    std::string absolute = Cwd() + "/folder";
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef(absolute.c_str()), info, kind, true));
    EXPECT_EQ(kind, ZuAtomRef("File_Dir"));
    EXPECT_TRUE(info.attributes.TestBit(ZU_FATT_DIRECTORY));

    // Without the flag the kind is left alone.
    ZuAtomRef untouched("Untouched");
    ASSERT_TRUE(Zuvi_File::Properties(ZuStringRef("doc.txt"), info, untouched, false));
    EXPECT_EQ(untouched, ZuAtomRef("Untouched"));
    EXPECT_FALSE(Zuvi_File::Properties(ZuStringRef("missing.txt"), info));
}

TEST_F(FileLayer, DirectoryServices)
{
    std::string start = Cwd();
    EXPECT_EQ(start.substr(0, 9), "$drives$/");
    ASSERT_TRUE(Zuvi_File::CreateDirectoryA(ZuStringRef("sub")));
    EXPECT_FALSE(Zuvi_File::CreateDirectoryA(ZuStringRef("sub")));
    ASSERT_TRUE(Zuvi_File::SetCurrentDirectoryA(ZuStringRef("sub")));
    EXPECT_EQ(Cwd(), start + "/sub");
    ASSERT_TRUE(Zuvi_File::SetCurrentDirectoryA(ZuStringRef(start.c_str())));
    Spit("sub/f", "x");
    EXPECT_FALSE(Zuvi_File::DeleteDirectory(ZuStringRef("sub")));
    EXPECT_TRUE(Zuvi_File::DeleteFileA(ZuStringRef("sub/f")));
    EXPECT_FALSE(Zuvi_File::DeleteFileA(ZuStringRef("sub/f")));
    EXPECT_TRUE(Zuvi_File::DeleteDirectory(ZuStringRef("sub")));
}

TEST_F(FileLayer, LongPathsNeverReachAnotherFile)
{
    // A 249-character name, and a longer one that begins with it: cutting
    // the longer one would delete, open or create the shorter.
    std::string shorter(249, 'n');
    std::string longer = shorter + ".bak";
    Spit(shorter, "precious");
    EXPECT_FALSE(Zuvi_File::DeleteFileA(ZuStringRef(longer.c_str())));
    EXPECT_TRUE(Exists(shorter));
    EXPECT_EQ(Zuvi_File::Open(ZuStringRef(longer.c_str()), {ZU_FOPEN_READ}), nullptr);
    EXPECT_EQ(Zuvi_File::Open(ZuStringRef(longer.c_str()),
                              {ZU_FOPEN_WRITE, ZU_FOPEN_CREATE, ZU_FOPEN_TRUNCATE}),
              nullptr);
    std::string content;
    std::getline(std::ifstream(shorter), content);
    EXPECT_EQ(content, "precious");
    ZuFileAttInfo info;
    EXPECT_FALSE(Zuvi_File::Properties(ZuStringRef(longer.c_str()), info));
    EXPECT_FALSE(Zuvi_File::CreateDirectoryA(ZuStringRef(longer.c_str())));
    EXPECT_TRUE(Zuvi_File::DeleteFileA(ZuStringRef(shorter.c_str())));
}

TEST_F(FileLayer, SystemValues)
{
    char buf[ZUVI_PATH_MAX];
    ::setenv("ZUVI_TEST_VALUE", "v", 1);
    ASSERT_TRUE(Zuvi_GetSystemValue("ENV/ZUVI_TEST_VALUE", buf, sizeof buf));
    EXPECT_STREQ(buf, "v");
    ::setenv("ZUVI_TEST_VALUE", "", 1);
    EXPECT_FALSE(Zuvi_GetSystemValue("ENV/ZUVI_TEST_VALUE", buf, sizeof buf));
    ::setenv("ZUVI_FONTS_DIR", "/f", 1);
    ASSERT_TRUE(Zuvi_GetSystemValue(
        "HKCU/Software/Microsoft/Windows/CurrentVersion/Explorer/Shell Folders/Fonts", buf,
        sizeof buf));
    EXPECT_STREQ(buf, "/f");
    EXPECT_FALSE(Zuvi_GetSystemValue("HKCU/Software/Nothing/Here", buf, sizeof buf));
    EXPECT_FALSE(Zuvi_GetSystemValue("HKXX/Software", buf, sizeof buf));
    char tiny[2];
    EXPECT_FALSE(Zuvi_GetSystemValue(
        "HKCU/Software/Microsoft/Windows/CurrentVersion/Explorer/Shell Folders/Fonts", tiny,
        sizeof tiny));
}

// ---- Path operations ----------------------------------------------------------

TEST_F(FileLayer, Counting)
{
    EXPECT_EQ(Zuvi_File::CountPathElements(ZuStringRef("a/b/c"), '/'), 3u);
    EXPECT_EQ(Zuvi_File::CountPathElements(ZuStringRef(""), '/'), 1u);
    EXPECT_EQ(Zuvi_File::CountPathElements(ZuStringNull, '/'), 0u);
}

TEST_F(FileLayer, TypesOfFileNames)
{
    ZuStringRef name("a.tar.gz");
    ZuStringRef type;
    ASSERT_TRUE(Zuvi_File::ExtractType(name, type, 0));
    EXPECT_EQ(Text(type), "gz");
    ASSERT_TRUE(Zuvi_File::ExtractType(name, type, 1));
    EXPECT_EQ(Text(type), "tar");
    EXPECT_FALSE(Zuvi_File::ExtractType(name, type, 2));
    EXPECT_EQ(Zuvi_File::RetBaseNameLength(name), 5u);
    unsigned pos = 0, len = 0;
    ASSERT_TRUE(Zuvi_File::ExtractTypePosLength(name, pos, len, 1));
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(len, 3u);

    struct Case {
        const char* name;
        bool has_type;
        unsigned base;
    } cases[] = {
        {"name.", false, 5}, {".profile", false, 0}, {"plain", false, 5},
        {"x.c", true, 1},    {"", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Zuvi_File::ExtractType(ZuStringRef(c.name), type, 0), c.has_type) << c.name;
        EXPECT_EQ(Zuvi_File::RetBaseNameLength(ZuStringRef(c.name)), c.base) << c.name;
    }
    EXPECT_FALSE(Zuvi_File::ExtractType(ZuStringNull, type, 0));
    EXPECT_EQ(Zuvi_File::RetBaseNameLength(ZuStringNull), 0u);
}

TEST_F(FileLayer, Splitting)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Split("a/./b/../c"), (V{"a", "c"}));
    EXPECT_EQ(Split("../a"), (V{"a"}));
    EXPECT_EQ(Split("a/b/"), (V{"a", "b"}));
    EXPECT_EQ(Split("/$drives$/C/x"), (V{"$drives$", "C", "x"}));
    EXPECT_EQ(Split(""), V{});
    EXPECT_EQ(Split("/"), V{});
    EXPECT_EQ(Split(nullptr), V{});
    EXPECT_EQ(Split("a//b"), (V{"a", "b"}));
    EXPECT_EQ(Split("a\\..\\b", '\\'), (V{"b"}));
    EXPECT_EQ(Split("x/.."), V{});
    // A leading "." continues the current directory.
    V here = Split(Cwd().c_str());
    V expected = here;
    expected.push_back("x");
    EXPECT_EQ(Split("./x"), expected);
    EXPECT_EQ(here.front(), "$drives$");
}

TEST_F(FileLayer, MergingAndAppending)
{
    ZuStringArray elements;
    Zuvi_File::SplitPath(ZuStringRef("/$drives$/a/b"), elements, '/');
    ZuStringRef merged;
    ASSERT_TRUE(Zuvi_File::MergePath(elements, merged, '/'));
    EXPECT_EQ(Text(merged), "$drives$/a/b");
    ZuStringArray none;
    Zuvi_File::SplitPath(ZuStringRef(""), none, '/');
    ASSERT_TRUE(Zuvi_File::MergePath(none, merged, '/'));
    EXPECT_EQ(Text(merged), "");

    struct Case {
        const char* path;
        const char* element;
        const char* result;
    } cases[] = {
        {"/x", "y", "/x/y"}, {"/x", "../y", "y"}, {"/x/", "y", "/x/y"},
        {"", "y", "y"},      {"a/b", "", "a/b"},  {"a", "./b", "a/b"},
    };
    for (const Case& c : cases) {
        ZuStringRef path(c.path);
        ASSERT_TRUE(Zuvi_File::AppendPath(path, ZuStringRef(c.element), '/'));
        EXPECT_EQ(Text(path), c.result) << c.path << " + " << c.element;
    }
    ZuStringRef empty;
    EXPECT_TRUE(Zuvi_File::AppendPath(empty, ZuStringRef("y"), '/'));
    EXPECT_TRUE(empty.IsInvalid());
}

TEST_F(FileLayer, KindsAlongAPath)
{
    ASSERT_TRUE(Zuvi_File::CreateDirectoryA(ZuStringRef("k")));
    Spit("k/f.txt", "");
    std::string path = Cwd() + "/k/f.txt";
    ZuStringArray elements;
    ZuAtomArray kinds;
    ASSERT_TRUE(Zuvi_File::SplitPathAndGetIcons(ZuStringRef(path.c_str()), elements, kinds, '/'));
    unsigned n = elements->TotalCount();
    ASSERT_GE(n, 3u);
    EXPECT_EQ(kinds[0], ZuAtomRef("File_Computer"));
    EXPECT_EQ(kinds[n - 2], ZuAtomRef("File_Dir"));
    EXPECT_EQ(kinds[n - 1], ZuAtomRef("File_Document"));
}

TEST(FileKinds, RegistriesHoldTwentyKinds)
{
    static const char* const names[] = {"k0",  "k1",  "k2",  "k3",  "k4",  "k5",  "k6",
                                        "k7",  "k8",  "k9",  "k10", "k11", "k12", "k13",
                                        "k14", "k15", "k16", "k17", "k18", "k19", "k20"};
    Zuvi_PfxFunc<Zuvi_File> table = {0, {}, {}};
    Zuvi_File* (*allocator)(ZuMemZone*) = [](ZuMemZone*) -> Zuvi_File* { return nullptr; };
    for (const char* name : names)
        table.Register(allocator, name);
    EXPECT_EQ(table.num, 20u);
    EXPECT_EQ(table.Find("k19"), allocator);
    EXPECT_EQ(table.Find("k20"), nullptr); // the twenty-first is ignored
    EXPECT_EQ(table.Find("k"), nullptr);   // names compare exactly
}

TEST_F(FileLayer, RecordsFromDirectoryEntries)
{
    WIN32_FIND_DATAA data;
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    data.nFileSizeHigh = 2;
    data.nFileSizeLow = 5;
    // 1 January 2000 12:00:00.250 in universal time (the tests run in UTC).
    unsigned long long t = (946728000ull + 11644473600ull) * 10000000ull + 2500000ull;
    data.ftLastWriteTime = {static_cast<DWORD>(t & 0xFFFFFFFFu), static_cast<DWORD>(t >> 32)};
    ZuFileAttInfo info;
    Zuvi_FillFileAttInfo(data, info);
    EXPECT_EQ(info.attributes, (ZuFileAttributes{ZU_FATT_READ_OK, ZU_FATT_HIDDEN}));
    EXPECT_EQ(info.size, (2ull << 32) + 5);
    EXPECT_EQ(info.time_modified, ZuTime::DateTimeToAbsTime(1, 1, 2000, 12, 0, 0, 250));

    data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    Zuvi_FillFileAttInfo(data, info);
    EXPECT_EQ(info.attributes,
              (ZuFileAttributes{ZU_FATT_READ_OK, ZU_FATT_WRITE_OK, ZU_FATT_DIRECTORY}));
    data.dwFileAttributes = FILE_ATTRIBUTE_SYSTEM;
    Zuvi_FillFileAttInfo(data, info);
    EXPECT_TRUE(info.attributes.TestBit(ZU_FATT_SYSTEM));
}
