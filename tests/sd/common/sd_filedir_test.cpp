#include "sd/common/sd_filedir.h"

#include "si/array.h"
#include "si/classfactory.h"
#include "si/ifilesort.h"
#include "si/interface.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

// Orders entries by size, ascending; counts its comparisons.
ZU_HANDLE(TDirSizeSort, ZuObject)
class TDirSizeSort : public ZuObject, public ZuiFileSort {
    ZU_CLASS(TDirSizeSort, ZuObject)
public:
    TDirSizeSort() {}
    int Compare(const ZuStringRef&, const ZuFileAttInfo& a, const ZuStringRef&,
                const ZuFileAttInfo& b) const override
    {
        ++compared;
        return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
    }
    mutable unsigned compared = 0;
};
ZU_CLASS_END(TDirSizeSort)
ZU_IMPLEMENT_CLASS(TDirSizeSort, "tests/filedir", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TDirSizeSort, ZuiFileSort)

namespace {

// A lister kind that records the paths it is asked to open and accepts only
// one of them.
std::vector<std::string> tried;
std::string accepted;

class RecordingDir : public Zuvi_FileDir {
public:
    bool Open(const char* path) override
    {
        tried.push_back(path);
        return path == accepted;
    }
    bool Close() override { return true; }
    bool ReadEntry(ZuStringRef&, ZuFileAttInfo&) override { return false; }
    bool ReadAll(const ZuObjectRef&, const ZuObjectRef&, ZuStringArray&,
                 Zuvi_SimpleArrayNone<ZuFileAttInfo>&) override
    {
        return false;
    }
    static Zuvi_FileDir* Allocate(ZuMemZone* zone)
    {
        void* block = zone->Alloc(sizeof(RecordingDir), "RecordingDir", __LINE__, "tests/filedir");
        return ::new (block) RecordingDir();
    }
};

class FileDir : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        Zuvi_FileDir::RegisterClassAllocator(&RecordingDir::Allocate, "rec");
        tried.clear();
    }
};

struct Listing {
    ZuStringArray names;
    Zuvi_SimpleArrayNone<ZuFileAttInfo> infos;

    explicit Listing(std::vector<std::pair<const char*, uint64_t>> entries)
        : names(static_cast<ZuArray*>(
              ZuClassFactory::New(ZuArrayRef::RetRuntime(), nullptr, __LINE__, __FILE__)))
    {
        names->SetSize(static_cast<unsigned>(entries.size()));
        infos.Resize(static_cast<unsigned>(entries.size()));
        for (unsigned i = 0; i < entries.size(); ++i) {
            names[i] = ZuStringRef(entries[i].first);
            infos[i].size = entries[i].second;
        }
    }
    std::string Order()
    {
        std::string out;
        for (unsigned i = 0; i < infos.RetCount(); ++i) {
            out += Text(names[i].operator ZuStringRef());
            out += '=' + std::to_string(infos[i].size) + ' ';
        }
        return out;
    }
};

TDirSizeSortRef NewSort()
{
    return ZuNew<TDirSizeSort>();
}

} // namespace

TEST_F(FileDir, KindsAndCandidates)
{
    EXPECT_EQ(Zuvi_FileDir::Open(ZuStringRef("nokind:x")), nullptr);
    EXPECT_TRUE(tried.empty());

    // The library variable: library, application, then current directory.
    std::string lib = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI));
    std::string app = Text(Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_APP));
    std::string cwd = Text(Zuvi_File::RetCurrentDirectory());
    accepted = cwd + "/icons";
    Zuvi_FileDir* dir = Zuvi_FileDir::Open(ZuStringRef("rec:%Zuvi%/icons"));
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(tried, (std::vector<std::string>{lib + "/icons", app + "/icons", cwd + "/icons"}));
    EXPECT_TRUE(Zuvi_FileDir::Close(dir));
    EXPECT_EQ(dir, nullptr);
    EXPECT_FALSE(Zuvi_FileDir::Close(dir));

    tried.clear();
    accepted = "never";
    EXPECT_EQ(Zuvi_FileDir::Open(ZuStringRef("rec:%Zuvi%/icons")), nullptr);
    EXPECT_EQ(tried.size(), 3u);
}

TEST_F(FileDir, SortingByAnInterface)
{
    Listing list({{"c", 30}, {"a", 10}, {"d", 40}, {"b", 20}, {"e", 5}});
    TDirSizeSortRef sort = NewSort();
    ASSERT_TRUE(Zuvi_FileDir::Sort(sort, list.names, list.infos));
    EXPECT_EQ(list.Order(), "e=5 a=10 b=20 c=30 d=40 ");
    EXPECT_GT(sort->compared, 0u);
}

TEST_F(FileDir, SortingWithoutASortOrEntries)
{
    Listing list({{"b", 2}, {"a", 1}});
    EXPECT_FALSE(Zuvi_FileDir::Sort(ZuObjectNull, list.names, list.infos));
    // An object without the interface is no sort either.
    EXPECT_FALSE(Zuvi_FileDir::Sort(ZuStringRef("text"), list.names, list.infos));
    EXPECT_EQ(list.Order(), "b=2 a=1 ");
    Listing empty({});
    EXPECT_FALSE(Zuvi_FileDir::Sort(NewSort(), empty.names, empty.infos));
    Listing one({{"x", 1}});
    EXPECT_TRUE(Zuvi_FileDir::Sort(NewSort(), one.names, one.infos));
    EXPECT_EQ(one.Order(), "x=1 ");
}

TEST_F(FileDir, EqualEntriesComeOutLaterHalfFirst)
{
    Listing two({{"first", 7}, {"second", 7}});
    ASSERT_TRUE(Zuvi_FileDir::Sort(NewSort(), two.names, two.infos));
    EXPECT_EQ(two.Order(), "second=7 first=7 ");

    // Four equal entries: each pair comes out reversed, then the merge of
    // the two pairs takes the right pair first.
    Listing four({{"p", 1}, {"q", 1}, {"r", 1}, {"s", 1}});
    ASSERT_TRUE(Zuvi_FileDir::Sort(NewSort(), four.names, four.infos));
    EXPECT_EQ(four.Order(), "s=1 r=1 p=1 q=1 ");
}
