// The attributes dialog learns its current definitions from the selection:
// all of one object's, those the selected objects share, and which kinds
// the selection or a new object uses. The dialogs are recording stand-ins.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/arrowdef.h"
#include "app/cornerdef.h"
#include "app/graline.h"
#include "tests/app/selecttest.h"
#include "tests/support/debugcapture.h"

// A rectangle that also reports the kinds its file gave it, as an object
// restored from a damaged or foreign file may.
ZU_HANDLE(CGraRectKinds, CGraRect)
class CGraRectKinds : public CGraRect {
    ZU_CLASS(CGraRectKinds, CGraRect)
public:
    CGraRectKinds() {}
    void GetDefinitionKinds(int* out) const override
    {
        CGraRect::GetDefinitionKinds(out);
        while (*out != 0)
            out++;
        for (int k : extra)
            *out++ = k;
        *out = 0;
    }
    int extra[4] = {1, 1, 1, 1};

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraRect::StoreInstance(s);
        for (int k : extra)
            s->StoreInt(k);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        CGraRect::RestoreInstance(s);
        for (int& k : extra)
            k = int(s->RestoreInt(1));
    }
};
ZU_CLASS_END(CGraRectKinds)
ZU_IMPLEMENT_CLASS(CGraRectKinds, "tests/app/currentdefs_test", ZU_CLASS_PLAIN)

namespace {

const std::vector<int> kRectKinds = {10, 11, 12, 15, 20, 21, 22, 25, 30, 100, 101, 102, 105};

class CCurrentDefsTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
    }
    void TearDown() override
    {
        W32_ClearTestClock();
        CSelectObjectTest::TearDown();
    }
};

TEST_F(CCurrentDefsTest, AnObjectsDefinitionsBecomeCurrentTheKindsItLacksStay)
{
    CCornerDefRef corner = Corner(112, 3.0);
    CArrowDefRef arrow = Make<CArrowDefRef>();
    shell.current[30] = corner;
    shell.current[40] = arrow;
    CGraLineRef line = Make<CGraLineRef>();
    const DPoint ends[1] = {P(0, 0)};
    line->SetPoints(ends, 1);
    Pen(line)->SetWidth(2.5);
    doc->SetModified(false);
    shell.traceRedisplay = true;
    W32_SetTestClock(1700000000000LL);
    shell.redisplayMs = 7;
    DebugCapture capture;

    sel->SetCurrentAll(line);
    EXPECT_EQ(corner.Resolve(), shell.current[30].Resolve());
    EXPECT_EQ(arrow.Resolve(), shell.current[40].Resolve());
    EXPECT_EQ(Pen(line).Resolve(), shell.current[10].Resolve());
    EXPECT_TRUE(doc->IsModified());
    // Every kind it holds, in the table's order, then one redisplay.
    std::vector<std::string> want;
    for (int k : {11, 12, 15, 10, 100, 105, 101}) {
        ZuObjectRef d;
        if (line->GetDefinition(k, d) && d.IsValid())
            want.push_back("set " + std::to_string(k));
    }
    ASSERT_FALSE(want.empty());
    want.push_back("redisplay");
    EXPECT_EQ(want, shell.events);
    // One trace line per kind made current, and one for the call after
    // the redisplay.
    const std::string text = capture.DebugText();
    EXPECT_EQ(want.size() - 1, Count(text, "CSelectObject::SetCurrentDef att="));
    EXPECT_NE(std::string::npos, text.find("CSelectObject::SetCurrentDef att=10 t=0\n"));
    EXPECT_EQ(1u, Count(text, "CSelectObject::SetCurrentAll t="));
    EXPECT_EQ(text.size() - std::strlen("[redisplay]\nCSelectObject::SetCurrentAll t=7 (0 7)\n"),
              text.find("[redisplay]\nCSelectObject::SetCurrentAll t=7 (0 7)\n"));
    sel->SetCurrentAll(line);
    EXPECT_EQ(2u, Count(capture.DebugText(), "CSelectObject::SetCurrentAll t="));
}

TEST_F(CCurrentDefsTest, TheSecondKindListHoldsTheKindsOnWhichTheSelectionDiffers)
{
    CTreeNodeRef a = Rect(layer, 10, 10, 40, 30), b = Rect(layer, 60, 20, 100, 50);
    Pen(Object(a))->SetWidth(1.0);
    Pen(Object(b))->SetWidth(2.0);
    // Equal stroke colours, made apart.
    Object(a)->SetDefinition(15, Colour(0, 0.5, 0));
    Object(b)->SetDefinition(15, Colour(0, 0.5, 0));
    struct Case {
        const char* what;
        std::vector<CTreeNodeRef> chosen;
        std::vector<int> differing;
    } const cases[] = {
        {"two objects", {a, b}, {10}},
        {"one object", {b}, {}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        for (const CTreeNodeRef& n : c.chosen)
            sel->AddToSelection(n);
        sel->ShowKindsOfSelection();
        EXPECT_EQ(kRectKinds, shell.defUsed) << c.what;
        EXPECT_EQ(c.differing, shell.defDiffering) << c.what;
        EXPECT_EQ(shell.defUsed, shell.sampleUsed) << c.what;
        EXPECT_EQ(shell.defDiffering, shell.sampleDiffering) << c.what;
    }

    // A dragged rectangle over both makes current what they share only.
    sel->EndSelection();
    shell.current.clear();
    shell.events.clear();
    sel->StartBox(P(0, 0));
    sel->EndBox(P(150, 150));
    sel->RubberBandSelect(false);
    ASSERT_EQ(2, sel->GetSelectedCount());
    EXPECT_EQ(0u, shell.current.count(10)) << "the pens differ";
    ASSERT_EQ(1u, shell.current.count(15));
    EXPECT_TRUE(shell.current[15]->IsEqualCurrent(Def<CDefRef>(Object(a), 15)));
    EXPECT_EQ("redisplay", shell.events.back());
}

TEST_F(CCurrentDefsTest, ANewObjectsKindsGoToBothDialogsWithNoneDiffering)
{
    shell.defDiffering = shell.sampleDiffering = {99};
    sel->ShowKindsOfNewObject(11);
    EXPECT_EQ((std::vector<int>{10, 11, 12, 15, 20, 21, 22, 25, 30, 100, 102, 101, 105}),
              shell.defUsed);
    EXPECT_EQ(shell.defUsed, shell.sampleUsed);
    EXPECT_TRUE(shell.defDiffering.empty());
    EXPECT_TRUE(shell.sampleDiffering.empty());
}

TEST_F(CCurrentDefsTest, KindsOutsideTheWorkArraysFromARestoredObjectArePassedOver)
{
    CGraRectKindsRef made = Make<CGraRectKindsRef>();
    const DPoint corners[2] = {P(10, 10), P(40, 30)};
    made->SetPoints(corners, 2);
    const int extra[4] = {500, -3, 130, 129};
    for (int i = 0; i < 4; i++)
        made->extra[i] = extra[i];
    const CGraObjectRef restored = RoundTrip(made);
    ASSERT_TRUE(restored.IsValid());
    ASSERT_EQ(500, CGraRectKindsRef(restored)->extra[0]);
    CTreeNodeRef n = Attach(restored, layer, 0);
    CTreeNodeRef other = Rect(layer, 60, 20, 100, 50);
    sel->SelectOnly(n);
    sel->AddToSelection(other);
    sel->ShowKindsOfSelection();
    std::vector<int> want = kRectKinds;
    want.push_back(129);
    EXPECT_EQ(want, shell.defUsed);
    EXPECT_TRUE(shell.defDiffering.empty());
}

} // namespace
