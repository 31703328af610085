#include "si/fileinfo.h"

#include "si/attfilefilter.h"
#include "si/classfactory.h"
#include "si/filesort.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"
#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

// Stores a sort where the filter belongs and a filter where the sort
// belongs, as a damaged or hostile file would.
ZU_HANDLE(TBadFileInfo, ZuFileInfo)
class TBadFileInfo : public ZuFileInfo {
    ZU_CLASS(TBadFileInfo, ZuFileInfo)
public:
    TBadFileInfo() {}

protected:
    void StoreInstance(const ZuStorageRef& storage) override
    {
        ZuObject::StoreInstance(storage);
        static ZuStorageSync record("<ZuFileInfo filter sort>");
        ZuObjectRef wrong_filter(ZuNew<ZuFileSort>());
        ZuObjectRef wrong_sort(ZuNew<ZuAttributeFileFilter>());
        storage << record << ZuStorageSync::begin << wrong_filter << wrong_sort
                << ZuStorageSync::end;
    }
};
ZU_CLASS_END(TBadFileInfo)
ZU_IMPLEMENT_CLASS(TBadFileInfo, "tests/fileinfo", ZU_CLASS_PLAIN)

namespace {

class FileInfo : public ZuviRuntimeTest {
protected:
    ScratchDir scratch;
};

void Touch(const std::string& name, const std::string& text = "")
{
    std::ofstream(name) << text;
}

template <class R>
R New()
{
    return R(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__));
}

ZuFileSortRef SortBy(ZuFileSortType type, bool up)
{
    ZuFileSortRef s = New<ZuFileSortRef>();
    s->InsertCriterion(type, up);
    return s;
}

// The names of the entries, in the order Get hands them out.
std::vector<std::string> Entries(const ZuFileInfoRef& dir)
{
    std::vector<std::string> out;
    unsigned n = dir->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        ZuObjectRef entry;
        EXPECT_TRUE(dir->Get(i, entry));
        out.push_back(Text(ZuFileInfoRef(entry)->RetName()));
    }
    return out;
}

// data/ with b.txt (3 bytes), a.txt (10 bytes) and the folder sub/.
void MakeData()
{
    ::mkdir("data", 0777);
    ::mkdir("data/sub", 0777);
    Touch("data/b.txt", "bbb");
    Touch("data/a.txt", "aaaaaaaaaa");
    Touch("data/sub/deep.txt", "d");
}

} // namespace

TEST_F(FileInfo, AboutFileSplitsThePath)
{
    MakeData();
    struct Case {
        const char* path;
        const char* name;
        const char* dir;
        const char* full;
        bool exists;
    } cases[] = {
        {"data/a.txt", "a.txt", "data", "data/a.txt", true},
        {"data/sub/deep.txt", "deep.txt", "data/sub", "data/sub/deep.txt", true},
        {"data/sub/../b.txt", "b.txt", "data", "data/b.txt", true},
        {"data/missing.txt", "missing.txt", "data", "data/missing.txt", false},
        {"data", "data", "", "data", true},
    };
    for (const Case& c : cases) {
        ZuFileInfoRef fi = ZuFileInfo::AboutFile(ZuStringRef(c.path));
        ASSERT_TRUE(fi.IsValid()) << c.path;
        EXPECT_EQ(Text(fi->RetName()), c.name) << c.path;
        EXPECT_EQ(Text(fi->RetPath()), c.dir) << c.path;
        EXPECT_EQ(Text(fi->RetFullName()), c.full) << c.path;
        EXPECT_EQ(fi->RetExists(), c.exists) << c.path;
        if (!c.exists) {
            EXPECT_EQ(fi->RetInfo(), ZuFileAttInfo::empty) << c.path;
        }
    }
    EXPECT_FALSE(ZuFileInfo::AboutFile(ZuStringNull).IsValid());
    EXPECT_EQ(ZuFileInfo::AboutFile(ZuStringRef("data/a.txt"))->RetInfo().size, 10u);
}

TEST_F(FileInfo, ADirectoryListsItsEntriesAsNewObjects)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    ASSERT_TRUE(dir->RetInfo().attributes.TestBit(ZU_FATT_DIRECTORY));
    ASSERT_EQ(dir->TotalCount(), 3u);
    std::vector<std::string> names = Entries(dir);
    // Directories come first.
    EXPECT_EQ(names[0], "sub");
    ZuObjectRef first, again, past;
    ASSERT_TRUE(dir->Get(0, first));
    ASSERT_TRUE(dir->Get(0, again));
    EXPECT_NE(first.Resolve(), again.Resolve());
    EXPECT_FALSE(dir->Get(3, past));
    EXPECT_TRUE(past.IsInvalid());

    ZuFileInfoRef sub(first);
    EXPECT_EQ(sub->RetParentDirectory().Resolve(), dir.Resolve());
    EXPECT_EQ(Text(sub->RetFullName()), "data/sub");
    EXPECT_EQ(Entries(sub), std::vector<std::string>{"deep.txt"});
    ZuObjectRef deep;
    ASSERT_TRUE(sub->Get(0, deep));
    EXPECT_EQ(Text(ZuFileInfoRef(deep)->RetFullName()), "data/sub/deep.txt");
    EXPECT_EQ(ZuFileInfoRef(deep)->RetInfo().size, 1u);

    // Through the container interface as well.
    ZuiContainer* c = static_cast<ZuiContainer*>(dir->CastToInterface(&ZuiContainer::interface));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->TotalCount(), 3u);
}

TEST_F(FileInfo, FilesAndMissingOrEmptyDirectoriesListNothing)
{
    MakeData();
    ::mkdir("empty", 0777);
    for (const char* p : {"data/a.txt", "nowhere", "empty"}) {
        ZuFileInfoRef fi = ZuFileInfo::AboutFile(ZuStringRef(p));
        EXPECT_EQ(fi->TotalCount(), 0u) << p;
        ZuObjectRef out;
        EXPECT_FALSE(fi->Get(0, out)) << p;
    }
    EXPECT_FALSE(ZuFileInfo::AboutFile(ZuStringRef("data/a.txt"))->Update());
    EXPECT_TRUE(ZuFileInfo::AboutFile(ZuStringRef("empty"))->Update());
}

TEST_F(FileInfo, InspectAnEntryOfADirectory)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    ZuFileInfoRef fi = New<ZuFileInfoRef>();
    ASSERT_TRUE(fi->Inspect(dir, ZuStringRef("b.txt")));
    EXPECT_EQ(fi->RetParentDirectory().Resolve(), dir.Resolve());
    EXPECT_EQ(Text(fi->RetFullName()), "data/b.txt");
    EXPECT_EQ(fi->RetInfo().size, 3u);

    // Two elements: the joined path is inspected, without a parent.
    ASSERT_TRUE(fi->Inspect(dir, ZuStringRef("sub/deep.txt")));
    EXPECT_EQ(Text(fi->RetName()), "deep.txt");
    EXPECT_EQ(Text(fi->RetPath()), "data/sub");
    EXPECT_TRUE(fi->RetExists());
    // The parent is then made from the path and kept.
    ZuFileInfoRef made = fi->RetParentDirectory();
    ASSERT_TRUE(made.IsValid());
    EXPECT_EQ(Text(made->RetFullName()), "data/sub");
    EXPECT_EQ(fi->RetParentDirectory().Resolve(), made.Resolve());

    // About and the static form with a parent agree.
    ZuFileInfoRef about = ZuFileInfo::AboutFile(dir, ZuStringRef("a.txt"));
    EXPECT_EQ(Text(about->RetFullName()), "data/a.txt");
    EXPECT_EQ(about->RetInfo().size, 10u);
    EXPECT_EQ(Text(ZuFileInfo::AboutFile(ZuFileInfoNull, ZuStringRef("data/a.txt"))->RetName()),
              "a.txt");
}

TEST_F(FileInfo, SortAppliesAtOnceFilterAtTheNextReading)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    ASSERT_TRUE(dir->SetSort(SortBy(ZU_FILE_SORT_NAME, true)));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"a.txt", "b.txt", "sub"}));
    ASSERT_TRUE(dir->SetSort(SortBy(ZU_FILE_SORT_NAME, false)));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"sub", "b.txt", "a.txt"}));

    ZuAttributeFileFilterRef only_dirs = New<ZuAttributeFileFilterRef>();
    only_dirs->SetMatch({ZU_FATT_DIRECTORY}, {ZU_FATT_DIRECTORY});
    ASSERT_TRUE(dir->SetFilter(only_dirs));
    EXPECT_EQ(dir->TotalCount(), 3u);
    EXPECT_TRUE(dir->Update());
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"sub"});
    EXPECT_TRUE(dir->SetFilter(ZuObjectNull));
    EXPECT_TRUE(dir->Update());
    EXPECT_EQ(dir->TotalCount(), 3u);

    // Objects without the interface are refused and change nothing.
    ZuFileSortRef kept = ZuFileSortRef(dir->RetSort());
    EXPECT_FALSE(dir->SetSort(only_dirs));
    EXPECT_FALSE(dir->SetFilter(kept));
    EXPECT_EQ(dir->RetSort().Resolve(), kept.Resolve());
    EXPECT_TRUE(dir->RetFilter().IsInvalid());
    EXPECT_TRUE(dir->SetSort(ZuObjectNull));
    EXPECT_TRUE(dir->RetSort().IsInvalid());
}

TEST_F(FileInfo, UpdateSeesNewEntries)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    ZuObjectRef entry;
    ASSERT_TRUE(dir->Get(0, entry));
    Touch("data/c.txt");
    EXPECT_EQ(dir->TotalCount(), 3u);
    EXPECT_TRUE(dir->Update());
    EXPECT_EQ(dir->TotalCount(), 4u);
}

TEST_F(FileInfo, PictogramTextAndIcon)
{
    MakeData();
    ZuFileInfoRef fi = ZuFileInfo::AboutFile(ZuStringRef("data/a.txt"));
    ZuStringRef text;
    ASSERT_TRUE(fi->GetText(ZU_TEXTVER_NORMAL, text));
    EXPECT_EQ(Text(text), "a.txt");
    EXPECT_NE(text.Resolve(), fi->RetName().Resolve());
    for (ZuTextVersion v : {ZU_TEXTVER_SHORT, ZU_TEXTVER_TIP, ZU_TEXTVER_DESC}) {
        ZuStringRef other;
        EXPECT_FALSE(fi->GetText(v, other));
    }
    ZuStringRef none;
    EXPECT_FALSE(New<ZuFileInfoRef>()->GetText(ZU_TEXTVER_NORMAL, none));

    ZuAtomRef icon, again;
    EXPECT_TRUE(fi->GetIcon(icon));
    ASSERT_TRUE(icon.IsValid());
    // Kept: the file's going away does not change it.
    ::unlink("data/a.txt");
    EXPECT_TRUE(fi->GetIcon(again));
    EXPECT_EQ(icon.Resolve(), again.Resolve());

    ZuAtomRef dir_icon;
    EXPECT_TRUE(ZuFileInfo::AboutFile(ZuStringRef("data"))->GetIcon(dir_icon));
    EXPECT_EQ(Text(ZuStringRef(dir_icon)), "File_Dir");
}

TEST_F(FileInfo, CopyDescribesTheSameFile)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    dir->SetSort(SortBy(ZU_FILE_SORT_SIZE, true));
    ZuObjectRef entry;
    ASSERT_TRUE(dir->Get(1, entry));
    for (ZuFileInfoRef source : {dir, ZuFileInfoRef(entry)}) {
        ZuFileInfoRef copy = New<ZuFileInfoRef>();
        copy->Copy(source);
        EXPECT_EQ(Text(copy->RetFullName()), Text(source->RetFullName()));
        EXPECT_EQ(copy->RetInfo().size, source->RetInfo().size);
        EXPECT_EQ(copy->RetInfo().attributes, source->RetInfo().attributes);
        EXPECT_TRUE(copy->RetExists());
        EXPECT_EQ(copy->RetSort().Resolve(), source->RetSort().Resolve());
    }
    // Copying an object onto itself keeps it whole.
    dir->Copy(dir);
    EXPECT_EQ(Text(dir->RetFullName()), "data");
    EXPECT_EQ(dir->TotalCount(), 3u);
}

TEST_F(FileInfo, StoredWithFilterAndSortOnly)
{
    MakeData();
    ZuFileInfoRef dir = ZuFileInfo::AboutFile(ZuStringRef("data"));
    ZuAttributeFileFilterRef filter = New<ZuAttributeFileFilterRef>();
    filter->SetMatch({}, {ZU_FATT_DIRECTORY});
    dir->SetFilter(filter);
    dir->SetSort(SortBy(ZU_FILE_SORT_SIZE, false));

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(dir);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuFileInfoRef::RetRuntime());
    ZuFileInfoRef restored(back);
    ASSERT_TRUE(restored.IsValid());
    EXPECT_TRUE(restored->RetName().IsInvalid());
    EXPECT_EQ(restored->TotalCount(), 0u);
    ASSERT_TRUE(restored->RetFilter().IsValid());
    ASSERT_TRUE(restored->RetSort().IsValid());
    EXPECT_EQ(ZuFileSortRef(restored->RetSort())->TotalCount(), 1u);
    // Re-aimed, it lists with what it carried: files only, largest first.
    ASSERT_TRUE(restored->Inspect(ZuStringRef("data")));
    EXPECT_EQ(Entries(restored), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileInfo, RestoredObjectsOfTheWrongKindAreDropped)
{
    TBadFileInfoRef bad = New<TBadFileInfoRef>();
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(bad);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuFileInfoRef::RetRuntime());
    ZuFileInfoRef restored(back);
    ASSERT_TRUE(restored.IsValid());
    EXPECT_TRUE(restored->RetFilter().IsInvalid());
    EXPECT_TRUE(restored->RetSort().IsInvalid());
    MakeData();
    ASSERT_TRUE(restored->Inspect(ZuStringRef("data")));
    EXPECT_EQ(restored->TotalCount(), 3u);
}

TEST_F(FileInfo, PathsFromTheRootStayRooted)
{
    MakeData();
    std::string root = scratch.Path();
    for (std::string p : {root + "/data/a.txt", std::string("./data/a.txt")}) {
        ZuFileInfoRef fi = ZuFileInfo::AboutFile(ZuStringRef(p.c_str()));
        std::string full = Text(fi->RetFullName());
        // The current directory may be named from a pseudo root.
        EXPECT_EQ(full.substr(full.size() - root.size() - 11), root + "/data/a.txt") << p;
        EXPECT_TRUE(fi->RetExists()) << p;
        EXPECT_TRUE(ZuFileInfo::AboutFile(fi->RetFullName())->RetExists()) << p;
        EXPECT_EQ(fi->RetParentDirectory()->TotalCount(), 3u) << p;
    }
    ZuFileInfoRef top = ZuFileInfo::AboutFile(ZuStringRef("/"));
    EXPECT_EQ(Text(top->RetFullName()), "");
}
