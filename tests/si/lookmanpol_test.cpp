// The look policies: defaults, the policy file, reloading, bad files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/debugcapture.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

class LookPolicies : public LookTest {
protected:
    void SetUp() override
    {
        start_look = false;
        LookTest::SetUp();
    }
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }

    static ZuValueRef Card(unsigned n)
    {
        ZuValueRef v(ZuNew<ZuValue>(Zuvi_app_zone));
        v->SetCard32(n);
        return v;
    }
    static ZuValueRef Real(double d)
    {
        ZuValueRef v(ZuNew<ZuValue>(Zuvi_app_zone));
        v->SetReal(d);
        return v;
    }
    // The value a leaf of the tree is.
    static ZuValueRef Leaf(const ZuObjectRef& leaf)
    {
        return ZuValueRef(static_cast<ZuValue*>(leaf->RetSelfAsObject()));
    }
    // Every accessor has its default.
    static void ExpectDefaults(const ZuLookManRef& look)
    {
        EXPECT_EQ(look->Ret3DEffectWidth(), 2.0);
        EXPECT_EQ(look->Ret3DPressOffset(), 1.0);
        EXPECT_EQ(look->RetWidgetFrameSize(), 1.0);
        EXPECT_EQ(look->RetAutoStartTime(), 100u);
        EXPECT_EQ(look->RetAutoRepeatTime(), 50u);
        EXPECT_EQ(look->RetCursorOffTime(), 500u);
        EXPECT_EQ(look->RetCursorOnTime(), 500u);
        EXPECT_EQ(look->RetToolTipDelay(), 200u);
        EXPECT_EQ(look->RetDoubleClickDelay(), 300u);
        EXPECT_FALSE(look->RetUseFontAntialiasing());
        EXPECT_EQ(look->RetSysFontSize(), 12.0);
        EXPECT_EQ(look->RetSmallFontSize(), 10.0);
        EXPECT_EQ(look->RetBoldFontSize(), 12.0);
        EXPECT_EQ(look->RetSysFontFace()->CompareWith(ZuStringRef("arial.ttf"), true), 0);
        EXPECT_EQ(look->RetSmallFontFace()->CompareWith(ZuStringRef("arial.ttf"), true), 0);
        EXPECT_EQ(look->RetBoldFontFace()->CompareWith(ZuStringRef("arialbd.ttf"), true), 0);
        EXPECT_EQ(look->RetScrollArrowPos(), ZU_SCROLL_ARROW_NORMAL);
        EXPECT_FALSE(look->IsPolicyHiliteButton());
        EXPECT_TRUE(look->IsPolicyHiliteIcon());
        EXPECT_TRUE(look->IsPolicyHiliteCell());
        EXPECT_FALSE(look->IsPolicyShowActive());
        EXPECT_FALSE(look->IsPolicyShowDragging());
        EXPECT_FALSE(look->IsPolicyShowDropping());
    }
};

TEST_F(LookPolicies, WithoutAFileEveryPolicyHasItsDefaultAndTheTreeEveryKey)
{
    StartLook();
    ExpectDefaults(Look());
    const ZuDicTreeRef& tree = Look()->RetPolicies();
    ASSERT_TRUE(tree.IsValid());
    EXPECT_EQ(tree->TotalCount(), 23u);
    ZuObjectRef got;
    ASSERT_TRUE(tree->GetFromPath("Look:Time:DoubleClick", got));
    EXPECT_EQ(Leaf(got)->RetCard32(), 300u);
    ASSERT_TRUE(tree->GetFromPath("Look:Font:BoldFace", got));
    EXPECT_TRUE(got->IsKindOf(ZuStringRef::RetRuntime()));
    ASSERT_TRUE(tree->GetFromPath("Look:HiliteMode:Icon", got));
    EXPECT_TRUE(Leaf(got)->RetBool());
}

TEST_F(LookPolicies, AFileSetsItsKeysAndDefaultsFillTheRest)
{
    ZuDicTreeRef tree = NewTree();
    tree->InsertUsingPath("Look:Time:DoubleClick", Card(250));
    WritePolicies(tree);
    tree->Delete();

    StartLook();
    EXPECT_EQ(Look()->RetDoubleClickDelay(), 250u);
    EXPECT_EQ(Look()->RetAutoStartTime(), 100u);
    EXPECT_EQ(Look()->RetScrollArrowPos(), ZU_SCROLL_ARROW_NORMAL);
    EXPECT_EQ(Look()->RetPolicies()->TotalCount(), 23u);
}

TEST_F(LookPolicies, FontPoliciesDecideTheFontsMadeAtConstruction)
{
    ZuDicTreeRef tree = NewTree();
    tree->InsertUsingPath("Look:Font:SmallSize", Real(9.0));
    tree->InsertUsingPath("Look:Font:SmallFace", ZuStringRef("verdana.ttf"));
    ZuValueRef on(ZuNew<ZuValue>(Zuvi_app_zone));
    on->SetBool(true);
    tree->InsertUsingPath("Look:Font:Antialiasing", on);
    WritePolicies(tree);
    tree->Delete();

    StartLook();
    const ZuGrailFontRef& small = Look()->RetSmallFont();
    ASSERT_TRUE(small.IsValid());
    EXPECT_EQ(small->RetSize(), 9.0);
    EXPECT_TRUE(small->IsSmooth());
    EXPECT_TRUE(small->IsSystemFont());
    EXPECT_EQ(small->RetName()->CompareWith(ZuStringRef("verdana.ttf"), true), 0);
}

TEST_F(LookPolicies, ReloadReadsTheNewFileAndDefaultsWhatItLacks)
{
    ZuDicTreeRef tree = NewTree();
    tree->InsertUsingPath("Look:Time:DoubleClick", Card(250));
    tree->InsertUsingPath("Look:Time:AutoRepeat", Card(70));
    WritePolicies(tree);
    tree->Delete();
    StartLook();
    EXPECT_EQ(Look()->RetAutoRepeatTime(), 70u);

    tree = NewTree();
    tree->InsertUsingPath("Look:Time:DoubleClick", Card(400));
    tree->InsertUsingPath("Look:Visual:ScrollPos", Card(ZU_SCROLL_ARROW_BOTH));
    WritePolicies(tree);
    tree->Delete();

    EXPECT_TRUE(Look()->ReloadPolicies());
    EXPECT_EQ(Look()->RetDoubleClickDelay(), 400u);
    EXPECT_EQ(Look()->RetScrollArrowPos(), ZU_SCROLL_ARROW_BOTH);
    EXPECT_EQ(Look()->RetAutoRepeatTime(), 50u);
    EXPECT_EQ(Look()->RetPolicies()->TotalCount(), 23u);
    // The fonts are not remade by a reload.
    EXPECT_EQ(font_man->RetFonts()->TotalCount(), 3u);
}

TEST_F(LookPolicies, UpdatePoliciesCopiesTheTreeIntoTheFields)
{
    StartLook();
    ZuObjectRef leaf;
    ASSERT_TRUE(Look()->RetPolicies()->GetFromPath("Look:Time:ToolTipDelay", leaf));
    Leaf(leaf)->SetCard32(900);
    EXPECT_TRUE(Look()->UpdatePolicies());
    EXPECT_EQ(Look()->RetToolTipDelay(), 900u);
}

TEST_F(LookPolicies, AnUnreadableFileGivesAllDefaults)
{
    // A whole file to cut.
    ZuDicTreeRef tree = NewTree();
    tree->InsertUsingPath("Look:Time:DoubleClick", Card(250));
    tree->InsertUsingPath("Look:Time:AutoStart", Card(10));
    WritePolicies(tree);
    tree->Delete();
    std::string whole;
    {
        std::ifstream in(PolicyPath(), std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(whole.size(), 60u);
    std::string corrupt = whole;
    for (std::size_t i = 32; i < corrupt.size(); i += 3)
        corrupt[i] = static_cast<char>(0xA5);

    struct Case {
        const char* what;
        std::string bytes;
    } const cases[] = {
        {"an empty file", ""},
        {"a header alone", whole.substr(0, 32)},
        {"a file cut in its data", whole.substr(0, whole.size() - 9)},
        {"a file cut after its header", whole.substr(0, 40)},
        {"corrupt data", corrupt},
        {"a text file", "Look:Time:DoubleClick = 250\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WritePolicyBytes(c.bytes);
        DebugCapture quiet;
        StartLook();
        ExpectDefaults(Look());
        EXPECT_EQ(Look()->RetPolicies()->TotalCount(), 23u);
        ZuLookMan::Kill();
    }
}

TEST_F(LookPolicies, AFileWhoseRootIsNotATreeGivesAllDefaults)
{
    // A value and a plain dictionary: stored objects of other classes.
    WritePolicies(Card(250));
    {
        DebugCapture quiet;
        StartLook();
    }
    ExpectDefaults(Look());
    EXPECT_EQ(Look()->RetPolicies()->TotalCount(), 23u);
    ZuLookMan::Kill();

    ZuDictRef dict(ZuNew<ZuDict>(Zuvi_app_zone));
    dict->Insert(ZuAtomRef("Look"), Card(1));
    WritePolicies(dict);
    dict->Delete();
    {
        DebugCapture quiet;
        StartLook();
    }
    ExpectDefaults(Look());
}

TEST_F(LookPolicies, AKeyOfAnotherKindIsConvertedOrDefaulted)
{
    ZuDicTreeRef tree = NewTree();
    tree->InsertUsingPath("Look:Time:DoubleClick", Real(123.0));
    tree->InsertUsingPath("Look:Font:SysFace", Card(5));
    tree->InsertUsingPath("Look:Time:AutoStart", ZuStringRef("fast"));
    WritePolicies(tree);
    tree->Delete();
    StartLook();
    EXPECT_EQ(Look()->RetDoubleClickDelay(), 123u);
    EXPECT_EQ(Look()->RetSysFontFace()->CompareWith(ZuStringRef("arial.ttf"), true), 0);
    EXPECT_EQ(Look()->RetAutoStartTime(), 100u);
}

} // namespace
