// The shadow position pane as a user meets it: its French labels and tips,
// linked offsets (one edit writes both, one report), independent offsets
// once unlinked, linking that changes no value, the inclusion clamped, and
// "Pas d'ombre" written through this pane while the plain pane shows.
#include <gtest/gtest.h>

#include <string>

#include "app/positionpane.h"
#include "app/pendef.h"
#include "si/string.h"
#include "tests/app/panetest.h"

namespace {

class PositionPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CPositionPane>(100);
        def = ZuNew<CPositionDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->SetValue(116);
        pane->Refresh();
        Pump();
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CPositionPaneRef();
        def = CPositionDefRef();
        PaneTest::TearDown();
    }
    CPositionPaneRef pane;
    CPositionDefRef def;
};

} // namespace

TEST_F(PositionPaneTest, TheEntriesCarryTheirFrenchTips)
{
    EXPECT_EQ(Latin(pane->RetXEntry()->RetToolTip())
                  .rfind("D\xe9"
                         "calage horizontal de l'ombre",
                         0),
              0u);
    EXPECT_EQ(Latin(pane->RetYEntry()->RetToolTip())
                  .rfind("D\xe9"
                         "calage vertical de l'ombre",
                         0),
              0u);
    EXPECT_EQ(Latin(pane->RetIncludeEntry()->RetToolTip())
                  .rfind("Pourcentage des traits inclus dans l'ombre", 0),
              0u);
    EXPECT_EQ(Latin(pane->RetLinkSwitch()->RetToolTip()),
              "D\xe9"
              "calage horizontal et vertical identiques");
    EXPECT_EQ(Reports(), "");
}

TEST_F(PositionPaneTest, LinkedOffsetsMoveTogetherWithOneReport)
{
    ASSERT_TRUE(pane->IsLinked());
    TypeInto(165, 34, "5");
    EXPECT_EQ(def->GetOffsetX(), 5.0);
    EXPECT_EQ(def->GetOffsetY(), 5.0);
    EXPECT_NEAR(pane->RetYEntry()->GetValue(), 5.0, 1e-9);
    EXPECT_EQ(Reports(), "Modify ");
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 100);
    TypeInto(165, 56, "150"); // clamped by the entry
    EXPECT_EQ(def->GetOffsetY(), 100.0);
    EXPECT_EQ(def->GetOffsetX(), 100.0);
}

TEST_F(PositionPaneTest, UnlinkedOffsetsAreIndependentAndLinkingChangesNothing)
{
    Click(317, 45);
    EXPECT_FALSE(pane->IsLinked());
    TypeInto(165, 34, "3");
    TypeInto(165, 56, "7");
    EXPECT_EQ(def->GetOffsetX(), 3.0);
    EXPECT_EQ(def->GetOffsetY(), 7.0);
    Reports();
    Click(317, 45);
    EXPECT_TRUE(pane->IsLinked());
    EXPECT_EQ(def->GetOffsetX(), 3.0);
    EXPECT_EQ(def->GetOffsetY(), 7.0);
    EXPECT_EQ(Reports(), "");
    TypeInto(165, 100, "300");
    EXPECT_EQ(def->GetInclude(), 2.0);
    EXPECT_EQ(Reports(), "Modify ");
}

TEST_F(PositionPaneTest, NoShadowIsWrittenThroughThisPaneWhileThePlainPaneShows)
{
    CDefPaneRef plain = ZuNew<CDefPane>(Zuvi_app_zone);
    plain->SetSize(370, 196);
    plain->Create(100);
    pane->SetParent(ZuViewRef());
    plain->SetParent(pw);
    pane->SetValue(120);
    pane->Refresh();
    EXPECT_EQ(pane->GetValue(), 120);
    EXPECT_EQ(def->GetValue(), 120);
    EXPECT_EQ(Reports(), "");
    // Another class of definition is refused and the pane keeps its own.
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
    plain->Delete();
}
