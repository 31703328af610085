// The text architect: item texts, sizes from the model's font and margins
// (cached until invalidated), the views it makes, copies and stored forms.
#include <gtest/gtest.h>

#include <string>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/textarchitect.h"
#include "si/texttag.h"
#include "si/values.h"
#include "si/viewprovider.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

std::string Latin(const ZuStringRef& s)
{
    if (s.IsInvalid())
        return "<none>";
    const char* latin = s->AccessLatin();
    return latin != nullptr ? std::string(latin) : std::string();
}

class TextArchitectTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        font = NewFont("arial.ttf", 12);
        model = ZuNew<ZuTextTag>(Zuvi_app_zone);
        model->SetFont(font);
        architect = ZuNew<ZuTextArchitect>(Zuvi_app_zone);
        pv = ZuNew<ZuProviderView>(Zuvi_app_zone);
        pv->Initialise(ZuViewProviderRef(), 0, 0, ZuRect(10, 20, 89, 39));
    }
    void TearDown() override
    {
        pv->Delete();
        pv = ZuProviderViewRef();
        architect->Delete();
        architect = ZuTextArchitectRef();
        model->Delete();
        model = ZuTextTagRef();
        font = ZuGrailFontRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    // The text of the view the architect made for the item.
    std::string MadeText(const ZuObjectRef& item)
    {
        EXPECT_TRUE(architect->CreateView(item, pv));
        ZuViewRef child;
        if (!pv->GetFirstChild(child) || !child->IsKindOf(ZuTextTagBaseRef::RetRuntime()))
            return "<no view>";
        ZuTextTagBaseRef view(child);
        EXPECT_TRUE(view->RetBox() == pv->RetBox());
        const std::string text = Latin(view->RetText());
        view->SetParent(ZuViewRef());
        view->Delete();
        return text;
    }

    ZuGrailFontRef font;
    ZuTextTagRef model;
    ZuTextArchitectRef architect;
    ZuProviderViewRef pv;
};

TEST_F(TextArchitectTest, ItemsShowTheirTextsAndOtherItemsAnEmptyText)
{
    ASSERT_TRUE(architect->Initialise(ZuTextTagBaseRef(model)));
    EXPECT_EQ(architect->RetTotalAttributes(), 1u);
    struct Case {
        ZuObjectRef item;
        bool known;
        const char* text;
    } cases[] = {
        {ZuObjectRef(ZuStringRef("cha\xEEne")), true, "cha\xEEne"},
        {ZuObjectRef(ZuValueRef(ZuObjectRef(ZuStringRef("valeur")))), true, "valeur"},
        {ZuObjectRef(ZuNew<ZuArray>(Zuvi_app_zone)), false, ""},
        {ZuObjectRef(), false, ""},
    };
    for (const Case& c : cases) {
        ZuStringRef text;
        EXPECT_EQ(architect->MakeText(c.item, text), c.known) << c.text;
        EXPECT_EQ(Latin(text), c.text);
        EXPECT_EQ(MadeText(c.item), c.text);
    }
}

TEST_F(TextArchitectTest, SizesComeFromTheFontAndTheModelsMargins)
{
    model->SetLeftSpace(4);
    model->SetRightSpace(6);
    ASSERT_TRUE(architect->Initialise(ZuTextTagBaseRef(model)));
    const ZuObjectRef item(ZuStringRef("Texte"));
    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(item, dx, dy));
    EXPECT_DOUBLE_EQ(dx, font->ComputeTextWidth("Texte") + 10);
    EXPECT_DOUBLE_EQ(dy, font->RetAscent() - font->RetDescent() + 2);
    // Disabled margins add nothing.
    model->EnableSpace(false);
    architect->SetModel(ZuTextTagBaseRef(model));
    architect->GetViewSize(item, dx, dy);
    EXPECT_DOUBLE_EQ(dx, font->ComputeTextWidth("Texte"));

    // A new font counts only after the cache is invalidated.
    ZuGrailFontRef big = NewFont("arial.ttf", 24);
    model->SetFont(big);
    architect->GetViewSize(item, dx, dy);
    EXPECT_DOUBLE_EQ(dx, font->ComputeTextWidth("Texte"));
    architect->InvalidateCache();
    architect->GetViewSize(item, dx, dy);
    EXPECT_DOUBLE_EQ(dx, big->ComputeTextWidth("Texte"));
}

TEST_F(TextArchitectTest, WithoutAModelItTellsNoSizesAndMakesNoViews)
{
    double dx = 1, dy = 1;
    EXPECT_FALSE(architect->GetViewSize(ZuObjectRef(ZuStringRef("a")), dx, dy));
    EXPECT_FALSE(architect->CreateView(ZuObjectRef(ZuStringRef("a")), pv));
    ZuViewRef child;
    EXPECT_FALSE(pv->GetFirstChild(child));
}

TEST_F(TextArchitectTest, CopiesAndStoredFormsKeepTheModel)
{
    model->SetText(ZuStringRef("mod\xE8le"));
    architect->Initialise(ZuTextTagBaseRef(model));
    ZuTextArchitectRef copy = ZuNew<ZuTextArchitect>(Zuvi_app_zone);
    copy->Copy(architect);
    EXPECT_TRUE(copy->RetModel() == model);
    EXPECT_EQ(copy->RetTotalAttributes(), 1u);
    copy->Delete();

    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(architect);
    const std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuTextArchitectRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuTextArchitectRef::RetRuntime()));
    ZuTextArchitectRef back(out);
    ASSERT_TRUE(back->RetModel().IsValid());
    EXPECT_EQ(Latin(back->RetModel()->RetText()), "mod\xE8le");
    double dx = 0, dy = 0;
    EXPECT_TRUE(back->GetViewSize(ZuObjectRef(ZuStringRef("x")), dx, dy));
    EXPECT_GT(dx, 0);
    back->RetModel()->Delete();
    back->Delete();
    s->Delete();
}

} // namespace
