// Text tags: the text and font of the base, the label's size, drawing (its
// colours, margins and the doubled text of an "on" tag), copies and stored
// forms.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "si/message.h"
#include "si/texttag.h"
#include "si/values.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

namespace {

std::string Latin(const ZuStringRef& s)
{
    return s.IsValid() ? std::string(s->AccessLatin()) : std::string("<none>");
}

class TextTagTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        w = NewTestWindow(80, 30);
        pixmap = NewPixmap(32, 80, 30);
        w->SetGrailPort(pixmap);
        font = NewFont("arial.ttf", 12);
        tag = ZuNew<ZuTextTag>(Zuvi_app_zone);
        tag->SetBox(ZuRect(0, 0, 79, 29));
        tag->SetFont(font);
        tag->SetText(ZuStringRef("Mm"));
        tag->SetParent(w);
    }
    void TearDown() override
    {
        w->Delete();
        w = ZuWindowRef();
        tag = ZuTextTagRef();
        font = ZuGrailFontRef();
        pixmap->Delete();
        pixmap = ZuGrailPixmapRef();
        LookTest::TearDown();
    }
    static unsigned LookColor(ZuLookColor c)
    {
        unsigned rgb = 0;
        EXPECT_TRUE(ZuLookMan::Current()->GetColorCompactRGB(c, rgb));
        return rgb & 0xFFFFFFu;
    }
    // The pixels of the text after a redraw: those that differ from the
    // window's background (read in a corner the text does not reach).
    std::set<std::pair<int, int>> Ink()
    {
        w->Redraw(ZuRect(0, 0, 79, 29), false);
        const unsigned back = Pixel(pixmap, 79, 29);
        std::set<std::pair<int, int>> ink;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x)
                if (Pixel(pixmap, x, y) != back)
                    ink.insert({x, y});
        return ink;
    }
    std::set<unsigned> InkColors()
    {
        std::set<unsigned> colors;
        for (const auto& p : Ink())
            colors.insert(Pixel(pixmap, p.first, p.second));
        return colors;
    }
    ZuTextTagRef Restore(const ZuObjectRef& object)
    {
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartStoring();
        s->StoreObject(object);
        const std::vector<unsigned char> bytes = s->Bytes();
        ZuTestStorageRef r = ZuTestStorage::Make();
        r->StartRestoring(bytes);
        ZuObjectRef out;
        r->RestoreObject(out, ZuTextTagRef::RetRuntime());
        EXPECT_TRUE(out.IsValid() && out->IsKindOf(ZuTextTagRef::RetRuntime()));
        return ZuTextTagRef(out);
    }

    ZuWindowRef w;
    ZuGrailPixmapRef pixmap;
    ZuGrailFontRef font;
    ZuTextTagRef tag;
};

TEST_F(TextTagTest, ANewTagIsACentredBlackLabelWithAnEmptyValidText)
{
    ZuTextTagRef fresh = ZuNew<ZuTextTag>(Zuvi_app_zone);
    ZuStringRef out;
    EXPECT_TRUE(fresh->GetText(out));
    EXPECT_EQ(Latin(out), "");
    // An empty handle is the empty string, still a valid text.
    fresh->SetText(ZuStringRef("abc"));
    EXPECT_TRUE(fresh->SetText(ZuTextRef()));
    EXPECT_TRUE(fresh->GetText(out));
    EXPECT_EQ(Latin(out), "");
    // GetText hands out a copy.
    fresh->SetText(ZuStringRef("abc"));
    fresh->GetText(out);
    EXPECT_EQ(Latin(out), "abc");
    EXPECT_TRUE(out != fresh->RetText());
    // No font: the look's default font, for GetFont too.
    ZuGrailFontRef f;
    EXPECT_TRUE(fresh->GetFont(f));
    EXPECT_TRUE(f == ZuLookMan::Current()->RetSysFont());
    EXPECT_TRUE(fresh->RetTextStyle() == ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    EXPECT_EQ(fresh->RetColor().RealRed() + fresh->RetColor().RealTransparency(), 0.0);
    EXPECT_TRUE(fresh->RetAutomaticColor());
    EXPECT_FALSE(fresh->RetSpaceEnabled());
    // Never detected, never the main responder.
    EXPECT_TRUE(fresh->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_FALSE(fresh->RetState().TestBit(ZU_VIEW_OK_ACTIVE));
    fresh->Delete();
}

TEST_F(TextTagTest, MinimumSizeIsTheTextLineTurnedWithTheAngle)
{
    const double width = font->ComputeTextWidth(ZuStringRef("Mm"));
    const double height = font->RetAscent() - font->RetDescent();
    ASSERT_GT(width, 2);
    ASSERT_GT(height, width / 2);
    struct Case {
        double angle;
        bool spaces;
        double dx, dy;
    } cases[] = {
        {0, false, width, height},    {180, false, width, height},   {90, false, height, width},
        {270, false, height, width},  {90.7, false, height, width},  {45, false, width, height},
        {0, true, width + 7, height}, {90, true, height, width + 7},
    };
    for (const Case& c : cases) {
        ZuTextStyle style(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER);
        style.SetAngle(c.angle);
        tag->SetTextStyle(style);
        tag->SetLeftSpace(3);
        tag->SetRightSpace(4);
        tag->EnableSpace(c.spaces);
        double dx = 0, dy = 0;
        tag->GetMinSize(dx, dy);
        EXPECT_EQ(dx, c.dx) << c.angle << " " << c.spaces;
        EXPECT_EQ(dy, c.dy) << c.angle << " " << c.spaces;
    }
    // The control's desired minimum wins where it is larger.
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    tag->EnableSpace(false);
    tag->SetDesiredMinSize(200, 1);
    double dx = 0, dy = 0;
    tag->GetMinSize(dx, dy);
    EXPECT_EQ(dx, 200);
    EXPECT_EQ(dy, height);
}

TEST_F(TextTagTest, ColourSettersAndMarginSwitches)
{
    tag->SetColor(ZuColorPixel(0x00FF0000u));
    EXPECT_FALSE(tag->RetAutomaticColor());
    tag->SetAutomaticColor(true);
    EXPECT_EQ(static_cast<unsigned>(tag->RetColor()) & 0xFFFFFFu, 0xFF0000u);
    tag->SetLeftSpace(0);
    EXPECT_TRUE(tag->RetSpaceEnabled());
    tag->SetRightSpace(5);
    tag->EnableSpace(false);
    EXPECT_FALSE(tag->RetSpaceEnabled());
    EXPECT_EQ(tag->RetRightSpace(), 5);
}

TEST_F(TextTagTest, ADisabledTagDrawsDimmedWhateverItsColour)
{
    tag->SetColor(ZuColorPixel(0x00FF0000u));
    EXPECT_EQ(InkColors(), std::set<unsigned>{0xFF0000u});
    tag->SetEnable(false);
    EXPECT_EQ(InkColors(), std::set<unsigned>{LookColor(ZU_COLOR_VIEW_DIM)});
}

TEST_F(TextTagTest, AnOnTagDrawsItsTextTwiceOnePixelApart)
{
    // The far edge is pulled in by one pixel, then the text is shown again
    // one pixel further along its direction. At 0 degrees the text starts
    // at the left edge and its first copy stays; at 90 degrees it starts
    // at the bottom edge, and the first copy moves up with it.
    struct Case {
        double angle;
        int dx, dy;
        int first;
    } cases[] = {{0, 1, 0, 0}, {90, 0, 1, -1}};
    for (const Case& c : cases) {
        ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP);
        style.SetAngle(c.angle);
        tag->SetTextStyle(style);
        tag->ChangeState(ZU_VIEW_IS_ON, false, false);
        const auto off = Ink();
        ASSERT_FALSE(off.empty()) << c.angle;
        tag->ChangeState(ZU_VIEW_IS_ON, true, false);
        const auto on = Ink();
        std::set<std::pair<int, int>> doubled;
        for (const auto& p : off) {
            const int x = p.first + c.first * c.dx, y = p.second + c.first * c.dy;
            doubled.insert({x, y});
            doubled.insert({x + c.dx, y + c.dy});
        }
        EXPECT_EQ(on, doubled) << c.angle;
    }
}

TEST_F(TextTagTest, MarginsNarrowTheTextBoxOnTheirSides)
{
    ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER);
    tag->SetTextStyle(style);
    const auto plain = Ink();
    tag->SetLeftSpace(10);
    const auto spaced = Ink();
    std::set<std::pair<int, int>> moved;
    for (const auto& p : plain)
        moved.insert({p.first + 10, p.second});
    EXPECT_EQ(spaced, moved);
}

TEST_F(TextTagTest, TextByValueByNameAndByMessage)
{
    ZuTextTagRef t = ZuNew<ZuTextTag>(Zuvi_app_zone);
    ZuiValue* value = static_cast<ZuiValue*>(t->CastToInterface(&ZuiValue::interface));
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(value->SetValue(ZuValueRef(42)));
    EXPECT_EQ(Latin(t->RetText()), "42");
    EXPECT_FALSE(value->SetValue(ZuValueRef()));
    EXPECT_EQ(Latin(Zuvi_ValueToZuString(value->RetValue())), "42");

    EXPECT_TRUE(t->DefineData(ZuAtomRef("text"), ZuValueRef(ZuObjectRef(ZuStringRef("nom")))));
    ZuValueRef read;
    EXPECT_TRUE(t->QueryData(ZuAtomRef("text"), read));
    EXPECT_EQ(Latin(Zuvi_ValueToZuString(read)), "nom");

    ZuMessageRef msg =
        ZuObjectRef(ZuClassFactory::New("ZuMessage", Zuvi_app_zone, __LINE__, __FILE__));
    msg->SetMethod("SetText");
    msg << ZuObjectRef(ZuStringRef("message"));
    EXPECT_TRUE(msg->Send(t));
    EXPECT_EQ(Latin(t->RetText()), "message");

    ZuiTitleWidget* title =
        static_cast<ZuiTitleWidget*>(t->CastToInterface(&ZuiTitleWidget::interface));
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->SetTitle(ZuStringRef("titre")));
    EXPECT_EQ(Latin(t->RetText()), "titre");
    msg->Delete();
    t->Delete();
}

TEST_F(TextTagTest, CopiesAndStoredTagsKeepTheLabel)
{
    ZuTextStyle style(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BOTTOM);
    style.SetAngle(90);
    tag->SetTextStyle(style);
    tag->SetColor(ZuColorPixel(0x00112233u));
    tag->SetAutomaticColor(true);
    tag->SetLeftSpace(2);
    tag->SetRightSpace(3);
    tag->EnableSpace(false);

    ZuTextTagRef copy = ZuNew<ZuTextTag>(Zuvi_app_zone);
    copy->Copy(tag);
    ZuTextTagRef back = Restore(tag);
    for (const ZuTextTagRef& t : {copy, back}) {
        EXPECT_EQ(Latin(t->RetText()), "Mm");
        EXPECT_TRUE(t->RetTextStyle() == style);
        EXPECT_EQ(static_cast<unsigned>(t->RetColor()) & 0xFFFFFFu, 0x112233u);
        EXPECT_TRUE(t->RetAutomaticColor());
        EXPECT_FALSE(t->RetSpaceEnabled());
        EXPECT_EQ(t->RetLeftSpace(), 2);
        EXPECT_EQ(t->RetRightSpace(), 3);
        EXPECT_TRUE(t->RetFont().IsValid());
        EXPECT_EQ(t->RetFont()->RetSize(), 12);
    }
    copy->Delete();
    back->Delete();
}

// A copy of a tag that has no font of its own takes the look's font, which
// cannot be stored itself: the stored tag goes without it and reads back
// with the look's font again.
TEST_F(TextTagTest, ATagHoldingTheLooksFontIsStoredWithoutIt)
{
    ZuTextTagRef plain = ZuNew<ZuTextTag>(Zuvi_app_zone);
    plain->SetText(ZuStringRef("Astuce"));
    ZuTextTagRef copy = ZuNew<ZuTextTag>(Zuvi_app_zone);
    copy->Copy(plain);
    ASSERT_TRUE(copy->RetFont() == ZuLookMan::Current()->RetSysFont());
    ZuTextTagRef back = Restore(copy);
    EXPECT_EQ(Latin(back->RetText()), "Astuce");
    EXPECT_TRUE(back->RetFont() == ZuLookMan::Current()->RetSysFont());
    for (ZuTextTagRef t : {plain, copy, back})
        t->Delete();
}

} // namespace
