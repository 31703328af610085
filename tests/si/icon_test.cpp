// Icon views: an icon's size from the look and its drawing, centred or
// stretched; the icon set's row of icons.
#include <gtest/gtest.h>

#include <string>

#include "si/icon.h"
#include "si/iconset.h"
#include "si/values.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

namespace {

class IconTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        // A red sheet: every icon of it draws red.
        sheet = NewPixmap(32, 40, 20);
        sheet->BeginDraw(0, 0, 39, 19);
        sheet->SetForeColor(ZuColorPixel(0x00FF0000u));
        sheet->FillRect(0, 0, 39, 19);
        sheet->EndDraw();
        AddIcon("T_16", 16, 16);
        AddIcon("T_24x20", 24, 20);
    }
    void TearDown() override
    {
        sheet = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    void AddIcon(const char* name, double w, double h)
    {
        ZuLookMan::Current()->AddUserIcon(ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, sheet,
                                          ZuRect(0, 0, w - 1, h - 1));
    }
    static std::string Origin(const ZuViewRef& v)
    {
        double x = 0, y = 0;
        v->GetOrigin(x, y);
        return std::to_string(int(x)) + "," + std::to_string(int(y));
    }
    // The set's icons by element: their origins, "-" for an empty element.
    static std::string Row(const ZuIconSetRef& set)
    {
        std::string out;
        const ZuIconArray& icons = set->RetIcons();
        for (unsigned i = 0; i < icons->TotalCount(); ++i) {
            ZuObjectRef e;
            icons->Get(i, e);
            if (e.IsInvalid())
                out += "-";
            else if (!e->IsKindOf(ZuIconRef::RetRuntime()))
                out += "?";
            else
                out += Origin(ZuViewRef(e));
            out += " ";
        }
        return out;
    }
    ZuObjectRef StoredAndRestored(const ZuObjectRef& object)
    {
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartStoring();
        s->StoreObject(object);
        const std::vector<unsigned char> bytes = s->Bytes();
        ZuTestStorageRef r = ZuTestStorage::Make();
        r->StartRestoring(bytes);
        ZuObjectRef out;
        r->RestoreObject(out, ZuObjectRef::RetRuntime());
        return out;
    }

    ZuGrailPixmapRef sheet;
};

TEST_F(IconTest, TheIconsSizeComesFromTheLook)
{
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone);
    // Without a name nothing resizes the view.
    icon->SetBox(ZuRect(0, 0, 4, 4));
    EXPECT_FALSE(icon->ResetDefaultSize());
    EXPECT_EQ(icon->RetBox(), ZuRect(0, 0, 4, 4));

    EXPECT_TRUE(icon->Initialise(ZuAtomRef("T_24x20"), true));
    double w = 0, h = 0;
    icon->GetIconSize(w, h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(icon->RetBox(), ZuRect(0, 0, 4, 4)); // SetIcon does not resize
    EXPECT_TRUE(icon->ResetDefaultSize());
    EXPECT_EQ(icon->RetBox(), ZuRect(0, 0, 23, 19));
    icon->GetMinSize(w, h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 20);

    // Matching picks the best variant for the size asked.
    AddIcon("T_24x20", 16, 16);
    EXPECT_TRUE(icon->Initialise(ZuAtomRef("T_24x20"), 16, 16, true, false));
    icon->GetIconSize(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_FALSE(icon->RetCenterMode());
    EXPECT_TRUE(icon->RetMatchMode());

    // A name the look learns later takes its size when the look changes.
    EXPECT_FALSE(icon->Initialise(ZuAtomRef("T_Later"), true));
    AddIcon("T_Later", 8, 6);
    icon->Broadcast(ZuAtomRef("LookManChanged"), ZuObjectNull);
    icon->GetIconSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 6);
    icon->Delete();
}

TEST_F(IconTest, CentredAtItsSizeOrStretchedOverTheBox)
{
    // A picture that stretches both ways, for the stretched icon.
    ZuIconRecordRef stretching(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
    stretching->Initialise(ZuAtomRef("T_Stretch"), sheet);
    stretching->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 15, 15));
    stretching->SetXStretchable(true);
    stretching->SetYStretchable(true);
    ZuLookMan::Current()->AddUserIcon(stretching);

    ZuWindowRef w = NewTestWindow(40, 40);
    ZuGrailPixmapRef pixmap = NewPixmap(32, 40, 40);
    w->SetGrailPort(pixmap);
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone);
    icon->SetBox(ZuRect(0, 0, 19, 29));
    icon->SetParent(w);
    struct Case {
        const char* name;
        bool centred;
        int x1, y1, x2, y2;
    } cases[] = {{"T_16", true, 2, 7, 17, 22}, {"T_Stretch", false, 0, 0, 19, 29}};
    for (const Case& c : cases) {
        icon->Initialise(ZuAtomRef(c.name), c.centred);
        w->Redraw(ZuRect(0, 0, 39, 39), false);
        ZuRect red;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (Pixel(pixmap, x, y) == 0xFF0000u)
                    red.InsertPoint(x, y);
        EXPECT_TRUE(red == ZuRect(c.x1, c.y1, c.x2, c.y2))
            << c.name << ": " << red.X1() << "," << red.Y1() << " " << red.X2() << "," << red.Y2();
    }
    w->Delete();
    pixmap->Delete();
}

TEST_F(IconTest, StoredIconKeepsNameSizeAndModes)
{
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone);
    icon->Initialise(ZuAtomRef("T_24x20"), 10, 10, true, false);
    ZuObjectRef out = StoredAndRestored(icon);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuIconRef::RetRuntime()));
    ZuIconRef back(out);
    EXPECT_TRUE(back->RetIcon() == ZuAtomRef("T_24x20"));
    double w = 0, h = 0;
    back->GetIconSize(w, h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 20);
    EXPECT_FALSE(back->RetCenterMode());
    EXPECT_TRUE(back->RetMatchMode());
    // By name: the published data and the targets.
    ZuValueRef value;
    EXPECT_TRUE(back->QueryData(ZuAtomRef("is_size_match"), value));
    EXPECT_TRUE(back->DefineData(ZuAtomRef("name"), ZuValueRef(ZuObjectRef(ZuAtomRef("T_16")))));
    EXPECT_TRUE(back->RetIcon() == ZuAtomRef("T_16"));
    EXPECT_TRUE(ZuObjectRef(back)->Action(ZuAtomRef("ResetDefaultSize"), ZuObjectNull, 0));
    EXPECT_EQ(back->RetBox().DX(), 16);
    icon->Delete();
    back->Delete();
}

TEST_F(IconTest, TheSetLinesItsIconsUpFromTheLeft)
{
    ZuIconSetRef set = ZuNew<ZuIconSet>(Zuvi_app_zone);
    set->SetBox(ZuRect(5, 7, 10, 10));
    EXPECT_TRUE(set->InsertIcon(0, ZuAtomRef("T_16")));
    EXPECT_TRUE(set->InsertIcon(1, ZuAtomRef("T_24x20")));
    EXPECT_TRUE(set->InsertIcon(2, ZuAtomRef("T_16")));
    double w = 0, h = 0;
    set->GetMinSize(w, h);
    EXPECT_EQ(w, 56);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(set->RetBox(), ZuRect(5, 7, 60, 26));
    // The array grows by five at a time.
    EXPECT_EQ(Row(set), "5,7 21,7 45,7 - - ");
    set->GetMaxSize(w, h);
    EXPECT_EQ(w, 30000);
    set->Delete();
}

TEST_F(IconTest, RemovingAnElementShiftsTheRestEvenWhenItIsEmpty)
{
    ZuIconSetRef set = ZuNew<ZuIconSet>(Zuvi_app_zone);
    set->InsertIcon(0, ZuAtomRef("T_16"));
    set->InsertIcon(2, ZuAtomRef("T_24x20"));
    EXPECT_EQ(Row(set), "0,0 - 16,0 - - ");
    EXPECT_TRUE(set->RemoveIcon(1));
    EXPECT_EQ(Row(set), "0,0 16,0 - - ");
    // Removing an icon takes it out of the set.
    ZuObjectRef first;
    set->RetIcons()->Get(0, first);
    EXPECT_TRUE(set->RemoveIcon(0));
    EXPECT_TRUE(ZuViewRef(first)->RetParent().IsInvalid());
    EXPECT_EQ(Row(set), "0,0 - - ");
    EXPECT_EQ(set->RetBox().DX(), 24);
    // Past the end there is nothing to remove, and the array does not grow.
    EXPECT_FALSE(set->RemoveIcon(40));
    EXPECT_EQ(set->RetIcons()->TotalCount(), 3u);
    first->Delete();
    set->Delete();
}

// An icon put over another takes its place in the row; the one it replaces
// leaves the set instead of staying a child drawn over the row.
TEST_F(IconTest, AnIconPutOverAnotherDetachesIt)
{
    ZuIconSetRef set = ZuNew<ZuIconSet>(Zuvi_app_zone);
    set->InsertIcon(0, ZuAtomRef("T_24x20"));
    ZuObjectRef old;
    set->RetIcons()->Get(0, old);
    ZuIconRef replacement = ZuNew<ZuIcon>(Zuvi_app_zone);
    replacement->Initialise(ZuAtomRef("T_16"), true);
    replacement->ResetDefaultSize();
    EXPECT_TRUE(set->InsertIcon(0, replacement));
    EXPECT_TRUE(ZuViewRef(old)->RetParent().IsInvalid());
    EXPECT_TRUE(replacement->RetParent() == set);
    ZuViewRef only;
    ASSERT_TRUE(set->GetFirstChild(only));
    EXPECT_TRUE(only == replacement);
    EXPECT_FALSE(only->GetNextSibling(only));
    EXPECT_EQ(set->RetBox().DX(), 16);
    // The same icon again stays.
    EXPECT_TRUE(set->InsertIcon(0, replacement));
    EXPECT_TRUE(replacement->RetParent() == set);
    // Deleting the set lets every icon go.
    set->Delete();
    EXPECT_TRUE(replacement->RetParent().IsInvalid());
    old->Delete();
    replacement->Delete();
}

TEST_F(IconTest, StoredSetComesBackWithItsIconsOnly)
{
    ZuIconSetRef set = ZuNew<ZuIconSet>(Zuvi_app_zone);
    set->InsertIcon(0, ZuAtomRef("T_16"));
    set->InsertIcon(1, ZuAtomRef("T_24x20"));
    // Something that is no icon in the row (as stored data may hold).
    ZuViewRef stranger = ZuNew<ZuView>(Zuvi_app_zone);
    set->RetIcons()[3] = stranger;
    ZuObjectRef out = StoredAndRestored(set);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuIconSetRef::RetRuntime()));
    ZuIconSetRef back(out);
    EXPECT_EQ(Row(back), "0,0 16,0 - ? - ");
    double w = 0, h = 0;
    back->GetMinSize(w, h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 20);
    // The stranger takes no room in the row.
    back->InsertIcon(4, ZuAtomRef("T_16"));
    EXPECT_EQ(Row(back), "0,0 16,0 - ? 40,0 ");
    set->RetIcons()[3] = ZuObjectNull;
    stranger->Delete();
    set->Delete();
    back->Delete();
}

} // namespace
