// Pictograms, pictogram adapters, the pictogram architect's font, colour
// and pictogram look-up, and the column architect that shows nothing.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/columnarchitect.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/objpicadapter.h"
#include "si/pictogram.h"
#include "si/providerview.h"
#include "si/viewprovider.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

class PictogramTest : public LookTest {
protected:
    static ZuPictogramRef Label(const char* icon, const char* text)
    {
        ZuPictogramRef p = ZuNew<ZuPictogram>();
        p->DefineLabel(icon ? ZuAtomRef(icon) : ZuAtomRef(), ZuStringRef(text),
                       text ? ZuStringRef(text) : ZuStringRef(), ZuStringRef(), ZuStringRef());
        return p;
    }
    static std::string Text(ZuiPictogram* p)
    {
        ZuStringRef s;
        return p && p->GetText(ZU_TEXTVER_NORMAL, s) ? s->AccessLatin() : "-";
    }
};

} // namespace

TEST_F(PictogramTest, APictogramCarriesItsLabelThroughCopiesAndStorage)
{
    ZuPictogramRef p = Label("IconOpen", "Ouvrir");
    EXPECT_TRUE(p->SupportsInterface(&ZuiPictogram::interface));
    EXPECT_TRUE(p->SupportsInterface(&ZuiPictogramLabel::interface));
    ZuPictogramRef copy(p->Clone());
    ZuPictogramRef back(StoredAndRead(p));
    for (const ZuPictogramRef& q : {copy, back}) {
        ASSERT_TRUE(q.IsValid());
        EXPECT_TRUE(q->RetIcon() == "IconOpen");
        EXPECT_EQ(Text(q.RetRawObject()), "Ouvrir");
        q->Delete();
    }
    p->Delete();
}

// Without adapter the item's own interface answers; an adapter replaces
// it, and the plain object adapter shows nothing even for pictograms.
TEST_F(PictogramTest, TheAdapterWhenSetReplacesTheItemsOwnPictogram)
{
    ZuColumnArchitectRef architect = ZuNew<ZuColumnArchitect>();
    ZuPictogramRef item = Label("IconOpen", "Ouvrir");
    ZuObjectRef holder;
    EXPECT_EQ(Text(architect->GetPictogram(item, holder)), "Ouvrir");
    EXPECT_TRUE(holder == item);
    EXPECT_EQ(architect->GetPictogram(ZuStringRef("plain"), holder), nullptr);
    EXPECT_TRUE(holder.IsInvalid());
    EXPECT_EQ(architect->GetPictogram(ZuObjectNull, holder), nullptr);

    architect->SetAdapter(ZuNew<ZuObjectPicAdapter>());
    holder = item;
    EXPECT_EQ(architect->GetPictogram(item, holder), nullptr);
    EXPECT_TRUE(holder == item); // the adapter leaves the holder
    // Stored and read back, the adapter behaves the same.
    ZuPicAdapterRef back(StoredAndRead(architect->RetAdapter()));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->MakePictogram(item, holder), nullptr);
    back->Delete();
    architect->Delete();
    item->Delete();
}

TEST_F(PictogramTest, InitialiseTakesTheSystemFontAndBlackText)
{
    ZuColumnArchitectRef architect = ZuNew<ZuColumnArchitect>();
    architect->SetTextColor(ZuColorPixel(0x123456u));
    ASSERT_TRUE(architect->Initialise(ZuGrailFontRef()));
    EXPECT_TRUE(architect->RetFont() == ZuLookMan::Current()->RetSysFont());
    EXPECT_TRUE(architect->RetFont().IsValid());
    EXPECT_TRUE(architect->RetTextColor() == ZuColorPixel(ZU_COLOR_BLACK));
    EXPECT_EQ(architect->RetTotalAttributes(), 1u);

    // A copy takes font, colour and adapter; from another class only the
    // view architect's part.
    architect->SetTextColor(ZuColorPixel(0x123456u));
    architect->SetAdapter(ZuNew<ZuObjectPicAdapter>());
    ZuColumnArchitectRef copy = ZuNew<ZuColumnArchitect>();
    copy->Copy(architect);
    EXPECT_TRUE(copy->RetTextColor() == ZuColorPixel(0x123456u));
    EXPECT_TRUE(copy->RetAdapter() == architect->RetAdapter());
    EXPECT_TRUE(copy->RetFont() == architect->RetFont());
    ZuColumnArchitectRef other = ZuNew<ZuColumnArchitect>();
    TItemArchitectRef plain = TItemArchitect::Make();
    plain->SetTotalAttributes(3);
    other->Copy(plain);
    EXPECT_EQ(other->RetTotalAttributes(), 3u);
    EXPECT_TRUE(other->RetFont().IsInvalid());
    EXPECT_TRUE(other->RetTextColor() == ZuColorPixel(ZU_COLOR_BLACK));
    for (ZuObjectRef o :
         {ZuObjectRef(architect), ZuObjectRef(copy), ZuObjectRef(other), ZuObjectRef(plain)})
        o->Delete();
}

TEST_F(PictogramTest, TheColumnArchitectShowsNothing)
{
    ZuColumnArchitectRef architect = ZuNew<ZuColumnArchitect>();
    architect->Initialise(ZuGrailFontRef());
    ZuPictogramRef item = Label("IconOpen", "Ouvrir");
    double dx = -1, dy = -1;
    EXPECT_FALSE(architect->GetViewSize(item, dx, dy));
    EXPECT_EQ(dx, -1);
    EXPECT_EQ(dy, -1);
    ZuProviderViewRef holder = ZuNew<ZuProviderView>(Zuvi_app_zone);
    holder->Initialise(ZuViewProviderRef(), 0, 1, ZuRect(0, 0, 9, 9));
    EXPECT_FALSE(architect->CreateView(item, holder));
    ZuViewRef child;
    EXPECT_FALSE(holder->GetFirstChild(child));

    // Stored: the pictogram architect's record and fields, then its own
    // empty record; read back with the same colour. The system font, which
    // a font cannot store of itself, travels as the empty font and comes
    // back as the system font.
    ASSERT_TRUE(architect->RetFont()->IsSystemFont());
    architect->SetTextColor(ZuColorPixel(ZU_COLOR_NONE));
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(architect);
    const std::string bytes(store->Bytes().begin(), store->Bytes().end());
    const size_t pic = bytes.find("<ZuPicArchitect font text_color>");
    const size_t own = bytes.find("\x80\x50\x13<ZuColumnArchitect>\xfc\xfd");
    ASSERT_NE(pic, std::string::npos);
    ASSERT_NE(own, std::string::npos);
    EXPECT_LT(pic, own);
    ZuColumnArchitectRef back(StoredAndRead(architect));
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetTextColor() == ZuColorPixel(ZU_COLOR_NONE));
    EXPECT_TRUE(back->RetFont() == ZuLookMan::Current()->RetSysFont());
    back->Delete();
    holder->Delete();
    architect->Delete();
    item->Delete();
}

TEST(PictogramDeathTest, TheAbstractBasesCannotBeMade)
{
    for (const char* name : {"ZuPicAdapter", "ZuPicArchitect"}) {
        SCOPED_TRACE(name);
        EXPECT_DEATH(
            {
                ZuviStartRuntime();
                ZuClassFactory::New(name, nullptr, __LINE__, "test");
            },
            std::string("Cannot instanciate ") + name);
    }
}
