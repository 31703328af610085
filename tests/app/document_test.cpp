// The document: a new document, units, guides, sample file names, the unit
// notification; its stored record; document and sample files (whole files
// only: bad input and failed saves change nothing); the generated
// "default.sample".
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/ichangeunit.h"
#include "app/misc.h"
#include "app/treeit.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/rtclass.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"

// An object that follows the main unit.
ZU_HANDLE(UnitFollower, ZuObject)
class UnitFollower : public ZuObject, public IChangeUnit {
    ZU_CLASS(UnitFollower, ZuObject)
public:
    UnitFollower() {}
    void ChangeUnit(int unit) override { calls.push_back(unit); }
    std::vector<int> calls;
};
ZU_CLASS_END(UnitFollower)
ZU_IMPLEMENT_CLASS(UnitFollower, "tests/app/document_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(UnitFollower, IChangeUnit)

namespace {

typedef std::vector<unsigned char> Bytes;

struct DocAccess : CDocument {
    static void Store(const CDocumentRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DocAccess::StoreInstance))(s);
    }
    static void Restore(const CDocumentRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DocAccess::RestoreInstance))(s);
    }
};

// A walk keeps only the object part of the stored record: what every
// record starts with.
struct ObjectPart : CTreeIt {
    static void Store(const CTreeItRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&ObjectPart::StoreInstance))(s);
    }
    static void Restore(const CTreeItRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&ObjectPart::RestoreInstance))(s);
    }
};

std::string Text(const ZuStringRef& s)
{
    std::string text;
    if (s.IsValid())
        for (unsigned i = 0; i < s->CharacterCount(); ++i)
            text += char(s->RetCharacter(i));
    return text;
}

std::string Slurp(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CDocumentTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }
    // "default.sample" as the build made it, beside the test programs.
    static std::string BesideProgram()
    {
        return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "default.sample";
    }
    // A new document, reset. Its samples come from a copy of
    // "default.sample" in the working directory: the library opens files
    // for itself alone, and tests run in parallel.
    static CDocumentRef NewDocument()
    {
        std::filesystem::copy_file(BesideProgram(), "default.sample",
                                   std::filesystem::copy_options::skip_existing);
        DebugCapture quiet;
        CDocumentRef doc = Make<CDocumentRef>();
        doc->Reset();
        return doc;
    }
    void TearDown() override
    {
        ZuObjectRef::RealiseDeletions();
        ZuviRuntimeTest::TearDown();
    }
};

TEST_F(CDocumentTest, ANewDocument)
{
    CDocumentRef doc = NewDocument();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(210.0, doc->GetPageWidth());
    EXPECT_EQ(297.0, doc->GetPageHeight());
    EXPECT_EQ(2000.0, doc->GetAreaWidth());
    EXPECT_EQ(10.0, doc->GetDuplicationOffsetY());
    EXPECT_EQ(
        std::vector<int>({23, 24, -1, -1}),
        std::vector<int>({doc->GetUnit(0), doc->GetUnit(1), doc->GetUnit(2), doc->GetUnit(3)}));
    EXPECT_EQ(
        std::vector<int>({10, 6, 3}),
        std::vector<int>({doc->GetToolChoice(0), doc->GetToolChoice(1), doc->GetToolChoice(2)}));
    EXPECT_EQ(0, doc->GetGuideCount(true));
    EXPECT_EQ(0, doc->GetGuideCount(false));
    bool horizontal = false;
    int index = 0;
    doc->GetCurrentGuide(horizontal, index);
    EXPECT_TRUE(horizontal);
    EXPECT_EQ(-1, index);
    const double rgb[CDocument::COLORS][3] = {
        {0, 0, 0}, {0.75, 0.75, 0.75}, {1, 0, 0},       {0, 0, 0},          {1, 0.5, 0},
        {1, 1, 1}, {1, 0, 0},          {0, 1, 0},       {0, 0, 1},          {0, 0, 0},
        {0, 0, 1}, {0, 0, 1},          {0, 0, 1},       {0.75, 0.75, 0.75}, {1, 0, 0},
        {0, 0, 1}, {0.75, 0.75, 1},    {0.9, 0.9, 0.9}, {0.8, 0.8, 0.8}};
    for (int i = 0; i < CDocument::COLORS; ++i) {
        double r, g, b;
        doc->GetColor(i)->GetRGB(r, g, b);
        EXPECT_NEAR(rgb[i][0], r, 1e-9) << i;
        EXPECT_NEAR(rgb[i][1], g, 1e-9) << i;
        EXPECT_NEAR(rgb[i][2], b, 1e-9) << i;
    }
    EXPECT_TRUE(doc->GetColor(19).IsInvalid());
    for (int i = 0; i < CDocument::PENS; ++i)
        EXPECT_EQ(0.0, doc->GetPen(i)->GetWidth()) << i;
    EXPECT_EQ(2.0, doc->GetPen(3)->GetDash(0));
    EXPECT_EQ(2.0, doc->GetPen(3)->GetGap(0));
    EXPECT_EQ(0.0, doc->GetPen(2)->GetDash(0));
    EXPECT_EQ(0, doc->GetTree()->RetRoot()->GetSubtreeSize());
    // The samples came from "default.sample" beside the program.
    ZuStringRef name;
    doc->GetSampleFileName(name);
    EXPECT_EQ("default.sample", Text(name));
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        EXPECT_GT(doc->GetSampleList(i)->Count(), 0) << i;
}

TEST_F(CDocumentTest, GuidesStaySortedAndWithinTheList)
{
    CDocumentRef doc = NewDocument();
    std::vector<int> returns;
    for (double p : {30.0, 10.0, 20.0})
        returns.push_back(doc->AddGuide(true, p));
    EXPECT_EQ(std::vector<int>({0, 0, 1}), returns);
    auto list = [&doc](bool h) {
        std::vector<double> v;
        for (int i = 0; i < doc->GetGuideCount(h); ++i)
            v.push_back(doc->GetGuide(h, i));
        return v;
    };
    EXPECT_EQ(std::vector<double>({10, 20, 30}), list(true));
    EXPECT_EQ(2, doc->AddGuide(true, 20.0));
    doc->RemoveGuide(true, 2);
    EXPECT_EQ(2, doc->SetGuide(true, 0, 40.0));
    EXPECT_EQ(std::vector<double>({20, 30, 40}), list(true));
    // Indexes outside a list: nothing read, moved or removed.
    for (int n : {-1, 3, 50}) {
        EXPECT_EQ(0.0, doc->GetGuide(true, n)) << n;
        EXPECT_EQ(-1, doc->SetGuide(true, n, 5.0)) << n;
        doc->RemoveGuide(true, n);
        EXPECT_EQ(std::vector<double>({20, 30, 40}), list(true)) << n;
    }
    doc->RemoveGuide(true, 0);
    EXPECT_EQ(std::vector<double>({30, 40}), list(true));
    // Fifty at most in a list; the other list is apart.
    for (int i = 0; i < 50; ++i)
        EXPECT_NE(-1, doc->AddGuide(false, 100.0 - i));
    EXPECT_EQ(-1, doc->AddGuide(false, 1.0));
    EXPECT_EQ(50, doc->GetGuideCount(false));
    EXPECT_EQ(51.0, doc->GetGuide(false, 0));
    EXPECT_EQ(2, doc->GetGuideCount(true));
    doc->SetCurrentGuide(false, 7);
    bool horizontal = true;
    int index = 0;
    doc->GetCurrentGuide(horizontal, index);
    EXPECT_FALSE(horizontal);
    EXPECT_EQ(7, index);
}

TEST_F(CDocumentTest, UnitsAndTheirNotification)
{
    CDocumentRef doc = NewDocument();
    EXPECT_EQ(23, doc->GetUnit(7));
    EXPECT_EQ(23, doc->GetUnit(-1));
    doc->SetUnit(7, 30);
    doc->SetUnit(-1, 30);
    EXPECT_EQ(
        std::vector<int>({23, 24, -1, -1}),
        std::vector<int>({doc->GetUnit(0), doc->GetUnit(1), doc->GetUnit(2), doc->GetUnit(3)}));
    doc->SetUnit(3, 50);
    EXPECT_EQ(50, doc->GetUnit(3));
    // One call for an object however many handles hold it.
    UnitFollowerRef a = Make<UnitFollowerRef>();
    UnitFollowerRef b = a;
    ZuObjectRef c = a;
    UnitFollowerRef other = Make<UnitFollowerRef>();
    doc->NotifyChangeUnit(24);
    EXPECT_EQ(std::vector<int>({24}), a->calls);
    EXPECT_EQ(std::vector<int>({24}), other->calls);
    doc->NotifyChangeUnit(30);
    EXPECT_EQ(std::vector<int>({24, 30}), b->calls);
}

TEST_F(CDocumentTest, SampleFileNames)
{
    struct Case {
        std::string in, out;
    } const cases[] = {{"", "default.sample"},
                       {"abcd", "abcd.sample"},
                       {"X.SAMPLE", "X.SAMPLE"},
                       {"mine.Sample", "mine.Sample"},
                       {"a.sample.old", "a.sample.old.sample"},
                       {"sample", "sample.sample"},
                       {".sample", ".sample"}};
    for (const Case& c : cases) {
        ZuStringRef name(c.in.c_str());
        EXPECT_TRUE(CDocument::BuildSampleFileName(name));
        EXPECT_EQ(c.out, Text(name)) << c.in;
    }
    ZuStringRef empty;
    CDocument::BuildSampleFileName(empty);
    EXPECT_EQ("default.sample", Text(empty));
    // A name is the document's own copy.
    CDocumentRef doc = Make<CDocumentRef>();
    ZuStringRef mine("mine.sample");
    doc->SetSampleFileName(mine);
    mine->SetString("other");
    ZuStringRef kept;
    EXPECT_TRUE(doc->GetSampleFileName(kept));
    EXPECT_EQ("mine.sample", Text(kept));
}

// ---------------------------------------------------------------- the stored record

class CDocumentRecordTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        CDocumentTest::TearDown();
    }
    Bytes ObjectPartBytes()
    {
        store->StartStoring();
        ObjectPart::Store(Make<CTreeItRef>(), store);
        return store->Bytes();
    }
    ZuTestStorageRef store;
};

TEST_F(CDocumentRecordTest, TheRecordInItsOrder)
{
    CDocumentRef doc = NewDocument();
    for (int i = 0; i < CDocument::COLORS; ++i)
        doc->GetColor(i)->SetRGB(i / 100.0, 0.0, 0.0);
    for (double p : {5.0, 6.0, 7.0})
        doc->AddGuide(true, p);
    const Bytes head = ObjectPartBytes();
    store->StartStoring();
    DocAccess::Store(doc, store);
    const Bytes bytes = store->Bytes();
    ASSERT_GT(bytes.size(), head.size() + 6);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(Bytes({0xFC, 0x15, 0x01, 0x1C, 0x15, 0x61}),
              Bytes(bytes.begin() + long(head.size()), bytes.begin() + long(head.size()) + 6));

    // Read back item by item.
    store->StartRestoring(bytes);
    const ZuStorageRef s(store);
    ObjectPart::Restore(Make<CTreeItRef>(), s);
    s >> ZuStorageSync::begin;
    EXPECT_EQ(1, s->RestoreInt(-1));
    EXPECT_EQ(0, s->RestoreInt(-1));
    EXPECT_EQ(97, s->RestoreInt(-1));
    ZuStringRef line;
    s >> line >> ZuStorageSync::mark;
    EXPECT_FALSE(Text(line).empty());
    for (double expected : {2000.0, 2000.0, 210.0, 297.0})
        EXPECT_EQ(expected, s->RestoreReal(0.0));
    s >> ZuStorageSync::mark;
    EXPECT_EQ(10.0, s->RestoreReal(0.0));
    EXPECT_EQ(10.0, s->RestoreReal(0.0));
    s >> ZuStorageSync::mark;
    for (int expected : {23, 24, -1, -1})
        EXPECT_EQ(expected, s->RestoreInt(0));
    // Three horizontal guides, none vertical.
    EXPECT_EQ(3, s->RestoreInt(0));
    s >> ZuStorageSync::repeat;
    for (double expected : {5.0, 6.0, 7.0}) {
        s >> ZuStorageSync::begin;
        EXPECT_EQ(expected, s->RestoreReal(0.0));
        s >> ZuStorageSync::end;
    }
    s >> ZuStorageSync::end_repeat;
    EXPECT_EQ(0, s->RestoreInt(-1));
    s >> ZuStorageSync::repeat >> ZuStorageSync::end_repeat >> ZuStorageSync::mark;
    for (int expected : {10, 6, 3})
        EXPECT_EQ(expected, s->RestoreInt(0));
    s >> ZuStorageSync::mark;
    for (int i = 0; i < CDocument::PENS; ++i) {
        CPenDefRef pen;
        s >> pen;
        EXPECT_TRUE(pen.IsValid());
    }
    s >> ZuStorageSync::mark;
    std::vector<int> order;
    for (int i = 0; i < CDocument::COLORS; ++i) {
        CColorDefRef colour;
        s >> colour;
        double r, g, b;
        colour->GetRGB(r, g, b);
        order.push_back(int(r * 100.0 + 0.5));
    }
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3, 4, 6, 7, 8, 9, 12, 11, 13, 14, 15, 16, 17, 18, 10, 5}),
              order);
    s >> ZuStorageSync::mark;
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        CSampleListRef list;
        s >> list;
        EXPECT_TRUE(list.IsValid());
    }
    CTreeRef tree;
    s >> ZuStorageSync::mark >> tree >> ZuStorageSync::end;
    EXPECT_TRUE(tree.IsValid());
    EXPECT_EQ(0u, store->Remaining());
}

// Writes a document record as a file could hold it: other leading numbers,
// `guides` horizontal guides, and pen 0 left out when asked.
void WriteRecord(const ZuStorageRef& s, const CDocumentRef& doc, int guides, bool without_pen)
{
    ObjectPart::Store(CTreeItRef(ZuObjectRef(ZuClassFactory::New(CTreeItRef::RetRuntime(), nullptr,
                                                                 __LINE__, __FILE__))),
                      s);
    s << ZuStorageSync::begin << 2 << 3 << 4 << ZuStringRef("another text") << ZuStorageSync::mark;
    s << 100.0 << 200.0 << 300.0 << 400.0 << ZuStorageSync::mark << 1.0 << 2.0
      << ZuStorageSync::mark;
    s << 23 << 24 << 30 << -1;
    s << guides << ZuStorageSync::repeat;
    for (int i = 0; i < guides; ++i)
        s << ZuStorageSync::begin << double(i) << ZuStorageSync::end;
    s << ZuStorageSync::end_repeat << 0 << ZuStorageSync::repeat << ZuStorageSync::end_repeat
      << ZuStorageSync::mark;
    s << 1 << 2 << 3 << ZuStorageSync::mark;
    for (int i = 0; i < CDocument::PENS; ++i)
        s << (without_pen && i == 0 ? CPenDefRef() : doc->GetPen(i));
    s << ZuStorageSync::mark;
    for (int i = 0; i < CDocument::COLORS; ++i)
        s << doc->GetColor(i);
    s << ZuStorageSync::mark;
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        s << doc->GetSampleList(i);
    s << ZuStorageSync::mark << doc->GetTree() << ZuStorageSync::end;
}

TEST_F(CDocumentRecordTest, GuidesBeyondFiftyAreDroppedAndMissingPensRefused)
{
    CDocumentRef doc = NewDocument();
    store->StartStoring();
    WriteRecord(store, doc, 57, false);
    store->StartRestoring(store->Bytes());
    CDocumentRef back = Make<CDocumentRef>();
    DocAccess::Restore(back, store);
    EXPECT_EQ(0u, store->Remaining());
    EXPECT_EQ(50, back->GetGuideCount(true));
    EXPECT_EQ(49.0, back->GetGuide(true, 49));
    EXPECT_EQ(300.0, back->GetPageWidth());
    EXPECT_EQ(30, back->GetUnit(2));
    EXPECT_EQ(3, back->GetToolChoice(2));
    // A pen missing: refused.
    DebugCapture quiet;
    store->StartStoring();
    WriteRecord(store, doc, 0, true);
    store->StartRestoring(store->Bytes());
    bool threw = false;
    try {
        DocAccess::Restore(Make<CDocumentRef>(), store);
    } catch (const ZuExcStream&) {
        threw = true;
    }
    EXPECT_TRUE(threw);
    // A document never reset holds nothing: refused as well, and the
    // caller's handle stays empty.
    store->StartStoring();
    store->StoreObject(Make<CDocumentRef>());
    store->StartRestoring(store->Bytes());
    CDocumentRef refused;
    threw = false;
    try {
        ZuStorageRef(store) >> refused;
    } catch (const ZuExcStream&) {
        threw = true;
    }
    EXPECT_TRUE(threw);
    EXPECT_TRUE(refused.IsInvalid());
}

// ---------------------------------------------------------------- files

class CDocumentFileTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        scratch = new ScratchDir;
    }
    void TearDown() override
    {
        delete scratch;
        CDocumentTest::TearDown();
    }
    // Runs `body` in a child process; its exit status.
    template <class F>
    static int InChild(F body)
    {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(body());
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
    ScratchDir* scratch = nullptr;
};

TEST_F(CDocumentFileTest, ADocumentWrittenAndReadBackIsEqual)
{
    CDocumentRef doc = NewDocument();
    doc->GetSampleList(1)->InsertNew(0);
    doc->GetSampleList(1)->SetDef(0, 10, doc->GetPen(3));
    doc->SetModified(true);
    doc->SetCurrentGuide(false, 3);
    doc->SetSampleFileName(ZuStringRef("mine.sample"));
    doc->AddGuide(false, 12.5);
    ASSERT_TRUE(doc->WriteFile(ZuStringRef("doc.lumbra")));
    EXPECT_EQ((std::vector<std::string>{"default.sample", "doc.lumbra"}), Names());
    // The leading numbers are not looked at.
    std::string bytes = Slurp("doc.lumbra");
    std::string const lead("\xFC\x15\x01\x1C\x15\x61", 6);
    const size_t at = bytes.find(lead);
    ASSERT_NE(std::string::npos, at);
    bytes[at + 2] = 7;
    bytes[at + 5] = 0x62;
    Spit("changed.lumbra", bytes);
    for (const char* name : {"doc.lumbra", "changed.lumbra"}) {
        DebugCapture quiet;
        CDocumentRef back = CDocument::ReadFile(ZuStringRef(name));
        ASSERT_TRUE(back.IsValid()) << name;
        EXPECT_FALSE(back->IsModified());
        bool horizontal = false;
        int index = 0;
        back->GetCurrentGuide(horizontal, index);
        EXPECT_TRUE(horizontal);
        EXPECT_EQ(-1, index);
        ZuStringRef file;
        back->GetSampleFileName(file);
        EXPECT_EQ("default.sample", Text(file));
        EXPECT_EQ(doc->GetPageWidth(), back->GetPageWidth());
        EXPECT_EQ(doc->GetAreaHeight(), back->GetAreaHeight());
        EXPECT_EQ(1, back->GetGuideCount(false));
        EXPECT_EQ(12.5, back->GetGuide(false, 0));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(doc->GetUnit(i), back->GetUnit(i));
        for (int i = 0; i < CDocument::PENS; ++i)
            EXPECT_TRUE(back->GetPen(i)->IsEqualCurrent(doc->GetPen(i))) << i;
        for (int i = 0; i < CDocument::COLORS; ++i)
            EXPECT_TRUE(back->GetColor(i)->IsEqualCurrent(doc->GetColor(i))) << i;
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
            EXPECT_EQ(doc->GetSampleList(i)->Count(), back->GetSampleList(i)->Count()) << i;
        CDefRef pen;
        ASSERT_TRUE(back->GetSampleList(1)->GetNode(0)->FindDef(10, pen));
        EXPECT_TRUE(pen->IsEqualCurrent(doc->GetPen(3)));
        EXPECT_EQ(0, back->GetTree()->RetRoot()->GetSubtreeSize());
        back->Delete();
    }
}

TEST_F(CDocumentFileTest, BadFilesGiveNoDocument)
{
    CDocumentRef doc = NewDocument();
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->InsertLastChild(doc->GetTree()->RetRoot());
    ASSERT_TRUE(doc->WriteFile(ZuStringRef("doc.lumbra")));
    std::string const whole = Slurp("doc.lumbra");
    std::vector<std::string> bad = {"", "Zuvi-BIN", std::string(whole.size(), 'x'),
                                    "not an archive at all, not at all"};
    for (size_t cut :
         {size_t(31), size_t(32), size_t(40), whole.size() / 3, whole.size() / 2, whole.size() - 1})
        bad.push_back(whole.substr(0, cut));
    std::string flipped = whole;
    for (size_t i = 40; i < flipped.size(); i += 97)
        flipped[i] = char(flipped[i] ^ 0x5A);
    bad.push_back(flipped);
    DebugCapture quiet;
    for (size_t i = 0; i < bad.size(); ++i) {
        Spit("bad.lumbra", bad[i]);
        EXPECT_TRUE(CDocument::ReadFile(ZuStringRef("bad.lumbra")).IsInvalid()) << i;
    }
    EXPECT_TRUE(CDocument::ReadFile(ZuStringRef("missing.lumbra")).IsInvalid());
    EXPECT_TRUE(CDocument::ReadFile(ZuStringRef()).IsInvalid());
}

TEST_F(CDocumentFileTest, SampleFilesReplaceTheListsOnlyWhenReadWhole)
{
    CDocumentRef doc = NewDocument();
    CSampleListRef lists[CDocument::SAMPLE_LISTS];
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        doc->GetSampleList(i)->InsertNew(0);
        doc->GetSampleList(i)->SetName(0, ZuStringRef("mine"));
    }
    ZuStringRef name("set");
    ASSERT_TRUE(doc->WriteSamples(name));
    EXPECT_EQ("set.sample", Text(name));
    ZuStringRef file;
    doc->GetSampleFileName(file);
    EXPECT_EQ("set.sample", Text(file));
    std::string const whole = Slurp("set.sample");
    // Another document reads them.
    CDocumentRef other = NewDocument();
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        lists[i] = other->GetSampleList(i);
    std::vector<std::string> bad = {"", std::string(60, 'x')};
    for (size_t cut :
         {size_t(20), size_t(33), whole.size() / 4, whole.size() / 2, whole.size() - 3})
        bad.push_back(whole.substr(0, cut));
    {
        DebugCapture quiet;
        for (size_t i = 0; i < bad.size(); ++i) {
            Spit("bad.sample", bad[i]);
            ZuStringRef bad_name("bad.sample");
            EXPECT_FALSE(other->ReadSamples(bad_name)) << i;
            for (int k = 0; k < CDocument::SAMPLE_LISTS; ++k)
                EXPECT_TRUE(other->GetSampleList(k) == lists[k]) << i << " " << k;
        }
        // A long name is no trouble: the file is not there.
        ZuStringRef long_name(std::string(300, 'n').c_str());
        EXPECT_FALSE(other->ReadSamples(long_name));
    }
    other->GetSampleFileName(file);
    EXPECT_EQ("default.sample", Text(file));
    ZuStringRef read("SET.sample");
    std::filesystem::rename("set.sample", "SET.sample");
    {
        DebugCapture quiet;
        ASSERT_TRUE(other->ReadSamples(read));
    }
    for (int k = 0; k < CDocument::SAMPLE_LISTS; ++k) {
        ASSERT_EQ(doc->GetSampleList(k)->Count(), other->GetSampleList(k)->Count());
        ZuStringRef sample;
        other->GetSampleList(k)->GetName(0, sample);
        EXPECT_EQ("mine", Text(sample));
    }
    other->GetSampleFileName(file);
    EXPECT_EQ("SET.sample", Text(file));
}

TEST_F(CDocumentFileTest, ASampleCountTheFileCannotHoldRefusesItWhole)
{
    // Seven samples in the third list, one in each other: the third list's
    // stored count is the one card 7 between a begin and an end mark.
    CDocumentRef doc = NewDocument();
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        const CSampleListRef list = doc->GetSampleList(i);
        while (list->Count() > 0)
            list->Remove(0);
        for (int k = 0; k < (i == 2 ? 7 : 1); ++k)
            list->InsertNew(k);
    }
    ZuStringRef name("set");
    ASSERT_TRUE(doc->WriteSamples(name));
    const std::string whole = Slurp("set.sample");
    const std::string count("\xFC\x15\x07\xFD", 4);
    const size_t at = whole.find(count);
    ASSERT_NE(std::string::npos, at);
    ASSERT_EQ(std::string::npos, whole.find(count, at + 1));

    CDocumentRef other = NewDocument();
    CSampleListRef lists[CDocument::SAMPLE_LISTS];
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        lists[i] = other->GetSampleList(i);
    // The count as a card of 32 bits (0xFFFFFFFF, 0x7FFFFFFF), as -1, or
    // one more or less than the samples stored.
    const std::string counts[] = {
        std::string("\x11\xFF\xFF\xFF\xFF", 5), std::string("\x11\x7F\xFF\xFF\xFF", 5),
        std::string("\x14\xFF", 2), std::string("\x15\x08", 2), std::string("\x15\x06", 2)};
    {
        DebugCapture quiet;
        for (const std::string& c : counts) {
            std::string bad = whole;
            bad.replace(at + 1, 2, c);
            Spit("bad.sample", bad);
            ZuStringRef bad_name("bad.sample");
            EXPECT_FALSE(other->ReadSamples(bad_name)) << int(c[1]);
            for (int k = 0; k < CDocument::SAMPLE_LISTS; ++k)
                EXPECT_TRUE(other->GetSampleList(k) == lists[k]) << int(c[1]) << " " << k;
        }
    }
    ZuStringRef file;
    other->GetSampleFileName(file);
    EXPECT_EQ("default.sample", Text(file));
    // The file as written reads whole, its twelve samples.
    ZuStringRef good("set.sample");
    ASSERT_TRUE(other->ReadSamples(good));
    int total = 0;
    for (int k = 0; k < CDocument::SAMPLE_LISTS; ++k)
        total += other->GetSampleList(k)->Count();
    EXPECT_EQ(12, total);
}

TEST_F(CDocumentFileTest, ResetSurvivesABadDefaultSampleFile)
{
    // Cut short: the new document starts with empty lists.
    std::string const whole = Slurp(BesideProgram().c_str());
    Spit("default.sample", whole.substr(0, whole.size() / 2));
    CDocumentRef doc = NewDocument();
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        ASSERT_TRUE(doc->GetSampleList(i).IsValid());
        EXPECT_EQ(0, doc->GetSampleList(i)->Count()) << i;
    }
    EXPECT_EQ(210.0, doc->GetPageWidth());
}

TEST_F(CDocumentFileTest, AFailedSaveKeepsTheOldFile)
{
    CDocumentRef doc = NewDocument();
    Spit("doc.lumbra", "old document");
    Spit("old.sample", "old samples");
    // A rename that fails: the name is a directory.
    std::filesystem::create_directory("folder.sample");
    ZuStringRef folder("folder.sample");
    EXPECT_FALSE(doc->WriteSamples(folder));
    ZuStringRef file;
    doc->GetSampleFileName(file);
    EXPECT_EQ("default.sample", Text(file));
    EXPECT_FALSE(doc->WriteFile(ZuStringRef("folder.sample")));
    EXPECT_TRUE(std::filesystem::is_directory("folder.sample"));
    // No place for the temporary file.
    ZuStringRef nowhere("nowhere/x.sample");
    EXPECT_FALSE(doc->WriteSamples(nowhere));
    EXPECT_EQ(
        (std::vector<std::string>{"default.sample", "doc.lumbra", "folder.sample", "old.sample"}),
        Names());
    // Writes that fail: the file size is limited (in a child, which
    // reports what it saw in its exit code).
    const int status = InChild([&doc] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit const limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        ZuStringRef name("old.sample");
        bool const samples = doc->WriteSamples(name);
        bool const document = doc->WriteFile(ZuStringRef("doc.lumbra"));
        return (samples ? 1 : 0) + (document ? 2 : 0);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ("old document", Slurp("doc.lumbra"));
    EXPECT_EQ("old samples", Slurp("old.sample"));
    EXPECT_EQ(
        (std::vector<std::string>{"default.sample", "doc.lumbra", "folder.sample", "old.sample"}),
        Names());
}

// ---------------------------------------------------------------- default.sample

TEST_F(CDocumentTest, TheGeneratedDefaultSamples)
{
    // The build put it beside the test programs, where a new document
    // finds it when the working directory has none.
    std::string const original = Slurp(BesideProgram().c_str());
    ASSERT_FALSE(original.empty());
    ASSERT_FALSE(std::filesystem::exists("default.sample"));
    CDocumentRef doc = Make<CDocumentRef>();
    {
        DebugCapture quiet;
        doc->Reset();
    }
    struct Expected {
        const char* name;
        int kind;
        std::vector<int> codes;
    } const lists[CDocument::SAMPLE_LISTS] = {
        {"Tout 1", 37, {10, 11, 12, 15,  20,  21,  22,  25,  30,  31,  40,
                        41, 50, 51, 100, 101, 102, 105, 120, 125, 126, 127}},
        {"Trait 1", 32, {10, 11, 12, 15}},
        {"Int\xe9rieur 1", 33, {20, 21, 22, 25}},
        {"Ombre 1", 34, {100, 101, 102, 105}},
        {"Forme 1", 35, {30, 31, 40, 41, 50, 51}},
        {"Mise en page 1", 36, {120, 125, 126, 127}},
    };
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        const CSampleListRef list = doc->GetSampleList(i);
        ASSERT_GT(list->Count(), 0) << i;
        ZuStringRef first;
        list->GetName(0, first);
        EXPECT_EQ(lists[i].name, Text(first)) << i;
        for (int n = 0; n < list->Count(); ++n) {
            EXPECT_EQ(lists[i].kind, list->GetKind(n)) << i << " " << n;
            const CSampleNodeRef node = list->GetNode(n);
            node->StartDefIteration();
            int count = 0;
            for (int code = 0; node->NextDefCode(code); ++count) {
                EXPECT_NE(lists[i].codes.end(),
                          std::find(lists[i].codes.begin(), lists[i].codes.end(), code))
                    << i << " " << n << " " << code;
                CDefRef def;
                ASSERT_TRUE(node->FindDef(code, def));
                EXPECT_EQ(GetDefTypeOfKind(code), def->GetType()) << code;
            }
            EXPECT_GT(count, 0) << i << " " << n;
        }
    }
    // Written again, the same bytes.
    ZuStringRef name("again");
    ASSERT_TRUE(doc->WriteSamples(name));
    EXPECT_EQ(original, Slurp("again.sample"));
}

} // namespace
