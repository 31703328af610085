// The look manager's sheets: the grammar of "IconRecord" chunks and the
// loading of PNG sheets.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "tests/support/fonts.h"
#include "tests/support/imagefiles.h"
#include "tests/support/looks.h"

namespace {

class LookSheets : public LookTest {
protected:
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }

    void SetUp() override
    {
        LookTest::SetUp();
        sheet = NewPixmap(32, 128, 64);
    }
    void TearDown() override
    {
        sheet = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    void Parse(const std::string& text, const char* prefix = nullptr)
    {
        Look()->ParseIconRecords(ZuStringRef(text.c_str()), sheet,
                                 prefix != nullptr ? ZuStringRef(prefix) : ZuStringNull);
    }
    static ZuIconRecordRef Icon(const char* name, unsigned n = 0)
    {
        ZuIconRecordRef record;
        Look()->GetIconRecord(ZuAtomRef(name), record, n);
        return record;
    }
    // A PNG of w x h RGBA pixels with the given "IconRecord" texts, written
    // into the scratch directory.
    std::string WriteSheet(const char* file, const std::vector<std::string>& texts, unsigned w = 8,
                           unsigned h = 8)
    {
        TestPng png;
        png.width = w;
        png.height = h;
        png.colour_type = 6;
        png.samples.assign(w * h * 4, 200);
        for (const std::string& text : texts)
            png.texts.push_back({TestPngText::PLAIN, "IconRecord", text});
        return WriteScratchFile(file, WriteTestPng(png));
    }
    static bool SameRect(const ZuRect& r, double x1, double y1, double x2, double y2)
    {
        return !r.IsEmpty() && r.X1() == x1 && r.Y1() == y1 && r.X2() == x2 && r.Y2() == y2;
    }
    ZuGrailPixmapRef sheet;
};

TEST_F(LookSheets, ExampleChunkGivesTheIconAndTheCursor)
{
    const std::string text = "I:Slider:16:16:S0[0.32]:S1[16.32]:S3[32.32]:ASX:\n"
                             "C:Busy:32:32:64:0:15:15\n";
    Parse(text, "Zuvi_");
    const ZuIconRecordRef slider = Icon("Zuvi_Slider");
    ASSERT_TRUE(slider.IsValid());
    double w, h;
    ASSERT_TRUE(slider->GetSize(w, h));
    EXPECT_EQ(w, 16.0);
    EXPECT_EQ(h, 16.0);
    EXPECT_TRUE(SameRect(slider->RetIconRect(ZU_CTRL_STATE_NORMAL), 0, 32, 15, 47));
    EXPECT_TRUE(SameRect(slider->RetIconRect(ZU_CTRL_STATE_NORMAL_HOT), 16, 32, 31, 47));
    EXPECT_TRUE(SameRect(slider->RetIconRect(ZU_CTRL_STATE_NORMAL_DIMMED), 32, 32, 47, 47));
    EXPECT_TRUE(slider->RetIconRect(ZU_CTRL_STATE_NORMAL_CLICKED).IsEmpty());
    EXPECT_TRUE(slider->IsXStretchable());
    EXPECT_FALSE(slider->IsYStretchable());
    EXPECT_TRUE(slider->RetSheet() == sheet);

    EXPECT_EQ(Look()->RetCursorCount(), 1u);
    EXPECT_EQ(Look()->FindNthCursor(0), ZuAtomRef("Zuvi_Busy"));
    Parse(text, "Zuvi_Cursor");
    EXPECT_EQ(Look()->FindNthCursor(1), ZuAtomRef("Zuvi_CursorBusy"));
    EXPECT_TRUE(Icon("Zuvi_CursorSlider").IsValid());
    // The same text again adds a second record under the same name.
    Parse(text, "Zuvi_");
    EXPECT_TRUE(Icon("Zuvi_Slider", 1).IsValid());
}

// What each text files, and what the icon "A" holds afterwards.
struct GrammarCase {
    const char* text;
    unsigned icons;   // records filed
    unsigned cursors; // cursors filed
    // Checks on the first record of "A", when there is one.
    bool normal_defined;
    double x1, y1, x2, y2;
    bool across;
    unsigned mosaic;
};

TEST_F(LookSheets, GrammarTable)
{
    const GrammarCase cases[] = {
        // A state rectangle ended by a newline.
        {"I:A:4:4:S0[1.2]\n", 1, 0, true, 1, 2, 4, 5, false, 0},
        // dx 0: the rectangle is empty.
        {"I:A:0:4:S0[1.2]\n", 1, 0, false, 0, 0, 0, 0, false, 0},
        // The dy field last in the text: no record.
        {"I:A:4:4", 0, 0, false, 0, 0, 0, 0, false, 0},
        // State 9 refused, the record still filed.
        {"I:A:4:4:S9[0.0]:\n", 1, 0, false, 0, 0, 0, 0, false, 0},
        // No point: the line and the chunk end, the record is kept.
        {"I:A:4:4:S0[3]:ASX:\nI:B:1:1:\n", 1, 0, false, 0, 0, 0, 0, false, 0},
        // ASX without ':' before the newline sets no flag.
        {"I:A:4:4:ASX\n", 1, 0, false, 0, 0, 0, 0, false, 0},
        {"I:A:4:4:ASX:\n", 1, 0, false, 0, 0, 0, 0, true, 0},
        {"I:A:4:4:MOSAIC4:\n", 1, 0, false, 0, 0, 0, 0, false, 4},
        {"I:A:4:4:MOSAIC:\n", 1, 0, false, 0, 0, 0, 0, false, 0},
        // A cursor line without its newline makes no cursor.
        {"C:X:8:8:0:0:3:3", 0, 0, false, 0, 0, 0, 0, false, 0},
        {"C:X:8:8:0:0:3:3\n", 0, 1, false, 0, 0, 0, 0, false, 0},
        // A line of another kind without ':' is skipped...
        {"hello\nI:A:4:4:S0[1.2]:\n", 1, 0, true, 1, 2, 4, 5, false, 0},
        // ... one with ':' finishes the chunk.
        {"X:Y\nI:A:4:4:\n", 0, 0, false, 0, 0, 0, 0, false, 0},
        // An unknown last item without ':' ends at its newline: the next
        // line keeps its record.
        {"I:B:4:4:FOO\nI:A:4:4:S0[1.2]:\n", 2, 0, true, 1, 2, 4, 5, false, 0},
        {"I:B:4:4:MOSAIC2\nI:A:4:4:MOSAIC3:\n", 2, 0, false, 0, 0, 0, 0, false, 3},
        // Entry and exit points, and blanks and signs in numbers.
        {"I:A: 4:+4:ENT[1.2]:EXT[3.4]:S0[ 1.-2]:\n", 1, 0, true, 1, -2, 4, 1, false, 0},
        // Nothing, or an empty first field.
        {"", 0, 0, false, 0, 0, 0, 0, false, 0},
        {":I:A:4:4:\n", 0, 0, false, 0, 0, 0, 0, false, 0},
    };
    for (const GrammarCase& c : cases) {
        SCOPED_TRACE(c.text);
        Look()->RemoveUserIcon(ZuAtomRef("A"));
        Look()->RemoveUserIcon(ZuAtomRef("B"));
        Look()->RemoveUserCursor(ZuAtomRef("X"));
        Parse(c.text);
        EXPECT_EQ(Look()->RetIconCount(), c.icons);
        EXPECT_EQ(Look()->RetCursorCount(), c.cursors);
        const ZuIconRecordRef a = Icon("A");
        if (a.IsInvalid())
            continue;
        const ZuRect& r = a->RetIconRect(ZU_CTRL_STATE_NORMAL);
        if (c.normal_defined)
            EXPECT_TRUE(SameRect(r, c.x1, c.y1, c.x2, c.y2));
        else
            EXPECT_TRUE(r.IsEmpty());
        EXPECT_EQ(a->IsXStretchable(), c.across);
        EXPECT_EQ(a->RetMosaicID(), c.mosaic);
    }
}

TEST_F(LookSheets, RecordsAreFiledByNameEachNameInTheOrderRead)
{
    // Names out of order, one of them three times (twice at one size), a
    // record of that name filed before, and a second chunk: every record
    // is kept, those of one name after the ones filed before, in the order
    // the sheets give them, and the names in ascending order.
    ZuIconRecordRef before(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
    before->Initialise(ZuAtomRef("b"), sheet);
    before->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 4, 4));
    ASSERT_TRUE(Look()->AddUserIcon(before));
    Parse("I:c:4:4:S0[0.0]:\nI:b:8:8:S0[0.0]:\nI:a:6:6:S0[0.0]:\n"
          "I:b:16:16:S0[0.0]:\nI:B:7:7:S0[0.0]:\nI:b:8:8:S0[1.1]:\n");
    Parse("I:a:2:2:S0[0.0]:\nI:d:3:3:S0[0.0]:\nI:c:9:9:S0[0.0]:\n");

    const std::vector<std::pair<std::string, double>> expected = {
        {"B", 7},  {"a", 6}, {"a", 2}, {"b", 5}, {"b", 8},
        {"b", 16}, {"b", 8}, {"c", 4}, {"c", 9}, {"d", 3}};
    std::vector<std::pair<std::string, double>> filed;
    std::vector<ZuIconRecordRef> records;
    for (unsigned n = 0; n < Look()->RetIconCount(); ++n) {
        const ZuAtomRef name = Look()->FindNthIcon(n);
        unsigned k = 0;
        for (const auto& f : filed)
            k += f.first == static_cast<const char*>(name) ? 1 : 0;
        ZuIconRecordRef record;
        ASSERT_TRUE(Look()->GetIconRecord(name, record, k)) << n;
        double w = 0, h = 0;
        record->GetSize(w, h);
        filed.emplace_back(static_cast<const char*>(name), w);
        records.push_back(record);
    }
    EXPECT_EQ(expected, filed);
    EXPECT_TRUE(records[3] == before);
    // The two records of "b" at 8 x 8 are two records.
    EXPECT_FALSE(records[4] == records[6]);
    EXPECT_EQ(1.0, records[6]->RetIconRect(ZU_CTRL_STATE_NORMAL).X1());
}

TEST_F(LookSheets, EntryAndExitPoints)
{
    Parse("I:A:4:4:S0[0.0]:ENT[1.2]:EXT[3.-4]:\n");
    double x, y;
    ASSERT_TRUE(Icon("A")->GetEntryPoint(x, y));
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 2.0);
    ASSERT_TRUE(Icon("A")->GetExitPoint(x, y));
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(y, -4.0);
}

TEST_F(LookSheets, JoinedNamesUpTo198Characters)
{
    const std::string prefix = "Zuvi_";
    const std::string ok(198 - prefix.size(), 'n');
    const std::string too_long(199 - prefix.size(), 'm');
    // The over-long name refuses its own line only.
    Parse("I:" + too_long + ":4:4:S0[0.0]:\nI:" + ok + ":4:4:S0[0.0]:\nC:" + too_long +
              ":8:8:0:0:1:1\nC:Y:8:8:0:0:1:1\n",
          prefix.c_str());
    EXPECT_EQ(Look()->RetIconCount(), 1u);
    EXPECT_EQ(Look()->FindNthIcon(0), ZuAtomRef((prefix + ok).c_str()));
    EXPECT_EQ(Look()->RetCursorCount(), 1u);
    EXPECT_EQ(Look()->FindNthCursor(0), ZuAtomRef("Zuvi_Y"));
}

TEST_F(LookSheets, LoadAndParseReadsEveryChunk)
{
    const std::string path =
        WriteSheet("two.png", {"I:A:4:4:S0[0.0]:\n", "I:B:4:4:S0[4.0]:\nC:X:2:2:0:0:1:1\n"});
    EXPECT_TRUE(Look()->LoadAndParsePNG(ZuStringRef(path.c_str()), ZuStringRef("P_")));
    EXPECT_TRUE(Icon("P_A").IsValid());
    EXPECT_TRUE(Icon("P_B").IsValid());
    EXPECT_EQ(Look()->FindNthIcon(0), ZuAtomRef("P_A"));
    EXPECT_EQ(Look()->FindNthCursor(0), ZuAtomRef("P_X"));
    // The first sheet loaded became the system icons.
    EXPECT_TRUE(Icon("P_A")->RetSheet() == Look()->RetSysIcons());
}

TEST_F(LookSheets, LoadAndParseFailures)
{
    const std::string bare = WriteSheet("bare.png", {});
    EXPECT_FALSE(Look()->LoadAndParsePNG(ZuStringRef(bare.c_str()), ZuStringNull));
    // An image without description still becomes the system icons.
    EXPECT_TRUE(Look()->RetSysIcons().IsValid());
    EXPECT_FALSE(Look()->LoadAndParsePNG(ZuStringRef("no/such/sheet.png"), ZuStringNull));
    const std::string junk = WriteScratchFile("junk.png", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    EXPECT_FALSE(Look()->LoadAndParsePNG(ZuStringRef(junk.c_str()), ZuStringNull));
    EXPECT_EQ(Look()->RetIconCount(), 0u);
    // A described sheet whose text holds nothing is still a success.
    const std::string empty = WriteSheet("empty.png", {"nothing"});
    EXPECT_TRUE(Look()->LoadAndParsePNG(ZuStringRef(empty.c_str()), ZuStringNull));
    EXPECT_EQ(Look()->RetIconCount(), 0u);
}

class LookSheetsAtStart : public LookSheets {
protected:
    void SetUp() override
    {
        start_look = false;
        LookSheets::SetUp();
    }
};

TEST_F(LookSheetsAtStart, TheLibrarySheetsLoadWithTheirPrefixes)
{
    WriteSheet("zu_icons.png", {"I:Box:4:4:S0[0.0]:\n"});
    WriteSheet("zu_handles.png", {"I:Handle:2:2:S0[0.0]:\nC:Ignored:2:2:0:0:1:1\n"});
    WriteSheet("zu_cursors.png", {"C:Busy:4:4:0:0:1:1\n"}, 4, 4);
    StartLook();
    EXPECT_TRUE(Icon("Zuvi_Box").IsValid());
    EXPECT_TRUE(Icon("Zuvi_Handle").IsValid());
    EXPECT_TRUE(Look()->RetSysIcons() == Icon("Zuvi_Box")->RetSheet());
    // The icon sheets are read before the cursor dictionary exists: their
    // cursor lines are dropped.
    EXPECT_EQ(Look()->RetCursorCount(), 1u);
    EXPECT_TRUE(Look()->SelectCursor(ZuAtomRef("Zuvi_CursorBusy")));
}

} // namespace
