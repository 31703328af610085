#include "sd/win32/sd_win32dir.h"

#include "si/array.h"
#include "si/attfilefilter.h"
#include "si/classfactory.h"
#include "si/filesort.h"
#include "si/string.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

class Win32Dir : public ZuviRuntimeTest {
protected:
    ScratchDir scratch;
};

void Touch(const std::string& name, const std::string& text = "")
{
    std::ofstream(name) << text;
}

ZuFileSortRef NewSort()
{
    return ZuNew<ZuFileSort>();
}

std::vector<std::string> ListAll(const char* path, const ZuObjectRef& filter,
                                 const ZuObjectRef& sort,
                                 Zuvi_SimpleArrayNone<ZuFileAttInfo>* infos_out = nullptr)
{
    Zuvi_FileDir* dir = Zuvi_FileDir::Open(ZuStringRef(path));
    EXPECT_NE(dir, nullptr) << path;
    std::vector<std::string> out;
    if (dir == nullptr)
        return out;
    ZuStringArray names;
    Zuvi_SimpleArrayNone<ZuFileAttInfo> infos;
    EXPECT_TRUE(dir->ReadAll(filter, sort, names, infos));
    EXPECT_EQ(names->TotalCount(), infos.RetCount());
    for (unsigned i = 0; i < names->TotalCount(); ++i)
        out.push_back(Text(names[i]));
    if (infos_out)
        *infos_out = infos;
    EXPECT_TRUE(Zuvi_FileDir::Close(dir));
    return out;
}

} // namespace

TEST_F(Win32Dir, DirectoriesComeFirstThenTheSortDecides)
{
    ::mkdir("d", 0777);
    ::mkdir("d/zdir", 0777);
    ::mkdir("d/adir", 0777);
    Touch("d/b.txt");
    Touch("d/a.txt");
    Touch("d/.hidden");
    Touch("d/B.txt");

    // Without a sort: directories first, each group in the listing's order.
    std::vector<std::string> plain = ListAll("d", ZuObjectNull, ZuObjectNull);
    ASSERT_EQ(plain.size(), 6u);
    std::vector<std::string> dirs(plain.begin(), plain.begin() + 2);
    std::sort(dirs.begin(), dirs.end());
    EXPECT_EQ(dirs, (std::vector<std::string>{"adir", "zdir"}));

    ZuFileSortRef sort = NewSort();
    sort->InsertCriterion(ZU_FILE_SORT_DIRECTORY, true);
    sort->InsertCriterion(ZU_FILE_SORT_NAME, true);
    Zuvi_SimpleArrayNone<ZuFileAttInfo> infos;
    std::vector<std::string> sorted = ListAll("d", ZuObjectNull, sort, &infos);
    EXPECT_EQ(sorted,
              (std::vector<std::string>{"adir", "zdir", ".hidden", "B.txt", "a.txt", "b.txt"}));
    EXPECT_TRUE(infos[0].attributes.TestBit(ZU_FATT_DIRECTORY));
    EXPECT_TRUE(infos[2].attributes.TestBit(ZU_FATT_HIDDEN));
    EXPECT_FALSE(infos[3].attributes.TestBit(ZU_FATT_DIRECTORY));
}

TEST_F(Win32Dir, FiltersChooseTheEntries)
{
    ::mkdir("f", 0777);
    ::mkdir("f/sub", 0777);
    ::mkdir("f/.hid", 0777);
    Touch("f/file");
    ZuAttributeFileFilterRef filter(static_cast<ZuAttributeFileFilter*>(
        ZuClassFactory::New(ZuAttributeFileFilterRef::RetRuntime(), nullptr, __LINE__, __FILE__)));
    filter->SetMatch({ZU_FATT_DIRECTORY}, {ZU_FATT_DIRECTORY, ZU_FATT_HIDDEN});
    EXPECT_EQ(ListAll("f", filter, ZuObjectNull), (std::vector<std::string>{"sub"}));
}

TEST_F(Win32Dir, EmptyFoldersOpenAndListNothing)
{
    ::mkdir("empty", 0777);
    Zuvi_FileDir* dir = Zuvi_FileDir::Open(ZuStringRef("empty"));
    ASSERT_NE(dir, nullptr);
    ZuStringRef name;
    ZuFileAttInfo info;
    EXPECT_FALSE(dir->ReadEntry(name, info));
    Zuvi_FileDir::Close(dir);
    EXPECT_EQ(Zuvi_FileDir::Open(ZuStringRef("no-such-folder")), nullptr);
    EXPECT_FALSE(Zuvi_FileDir::Close(dir));
}

TEST_F(Win32Dir, ReadEntryReusesTheCallersString)
{
    ::mkdir("one", 0777);
    Touch("one/only", "12");
    Zuvi_FileDir* dir = Zuvi_FileDir::Open(ZuStringRef("one"));
    ASSERT_NE(dir, nullptr);
    ZuStringRef name("before");
    ZuStringRef same = name;
    ZuFileAttInfo info;
    ASSERT_TRUE(dir->ReadEntry(name, info));
    EXPECT_EQ(Text(same), "only");
    EXPECT_EQ(info.size, 2u);
    Zuvi_FileDir::Close(dir);
}

TEST_F(Win32Dir, DrivesListTheRoot)
{
    std::vector<std::string> root = ListAll("$drives$", ZuObjectNull, ZuObjectNull);
    EXPECT_NE(std::find(root.begin(), root.end(), "usr"), root.end());
    EXPECT_EQ(ListAll("/", ZuObjectNull, ZuObjectNull), root);
}

TEST_F(Win32Dir, SortingEdgeCases)
{
    ZuStringArray names(static_cast<ZuArray*>(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), nullptr, __LINE__, __FILE__)));
    Zuvi_SimpleArrayNone<ZuFileAttInfo> infos;
    names->SetSize(2);
    names[0] = ZuStringRef("first");
    names[1] = ZuStringRef("second");
    infos.Resize(2);
    infos[0].size = 7;
    infos[1].size = 7;

    EXPECT_FALSE(Zuvi_FileDir::Sort(ZuObjectNull, names, infos));
    EXPECT_EQ(Text(names[0]), "first");

    // Equal entries: the one from the later half comes first.
    ZuFileSortRef by_size = NewSort();
    by_size->InsertCriterion(ZU_FILE_SORT_SIZE, true);
    ASSERT_TRUE(Zuvi_FileDir::Sort(by_size, names, infos));
    EXPECT_EQ(Text(names[0]), "second");
    EXPECT_EQ(Text(names[1]), "first");

    // Records travel with their names.
    infos[0].size = 9;
    ASSERT_TRUE(Zuvi_FileDir::Sort(by_size, names, infos));
    EXPECT_EQ(Text(names[0]), "first");
    EXPECT_EQ(infos[0].size, 7u);
    EXPECT_EQ(infos[1].size, 9u);

    infos.Resize(1);
    names->SetSize(1);
    EXPECT_TRUE(Zuvi_FileDir::Sort(by_size, names, infos));
    EXPECT_EQ(Text(names[0]), "first");
}

TEST_F(Win32Dir, TheLibraryVariableTriesEachCandidateFolder)
{
    // Neither beside the library nor beside the program: the current
    // directory is listed.
    ::mkdir("only-in-cwd", 0777);
    Touch("only-in-cwd/x");
    EXPECT_EQ(ListAll("%Zuvi%/only-in-cwd", ZuObjectNull, ZuObjectNull),
              (std::vector<std::string>{"x"}));
}
