// The text caption: white centred text on mid grey in a sunken frame, its
// colours, its copy from a plain tag and its stored form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "si/lookman.h"
#include "si/memzone.h"
#include "si/textcaption.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

namespace {

bool Grey(unsigned rgb)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned c = rgb >> shift & 0xFF;
        if (c != 0x7F && c != 0x80)
            return false;
    }
    return true;
}

class TextCaptionTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        w = NewTestWindow(80, 30);
        pixmap = NewPixmap(32, 80, 30);
        w->SetGrailPort(pixmap);
        caption = ZuNew<ZuTextCaption>(Zuvi_app_zone);
        caption->SetBox(ZuRect(0, 0, 79, 29));
        caption->SetFont(NewFont("arial.ttf", 14));
        caption->SetText(ZuStringRef("Mm"));
        caption->SetParent(w);
    }
    void TearDown() override
    {
        w->Delete();
        w = ZuWindowRef();
        caption = ZuTextCaptionRef();
        pixmap->Delete();
        pixmap = ZuGrailPixmapRef();
        LookTest::TearDown();
    }
    void Draw() { w->Redraw(ZuRect(0, 0, 79, 29), false); }
    unsigned At(int x, int y) { return Pixel(pixmap, x, y) & 0xFFFFFF; }

    ZuWindowRef w;
    ZuGrailPixmapRef pixmap;
    ZuTextCaptionRef caption;
};

TEST_F(TextCaptionTest, ANewCaptionDrawsWhiteCentredTextOnGreyInASunkenFrame)
{
    EXPECT_FALSE(caption->RetAutomaticColor());
    EXPECT_TRUE(caption->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_TRUE(caption->RetStyle().TestBit(ZU_CTRL_DRAW_SUNKEN));
    Draw();
    const int f = int(ZuLookMan::Current()->RetWidgetFrameSize());
    ASSERT_GT(f, 0);
    // Inside the relief: grey, and white text about the middle.
    EXPECT_TRUE(Grey(At(f, 15)));
    EXPECT_TRUE(Grey(At(79 - f, 15)));
    int white = 0, left = 80, right = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const unsigned p = At(x, y);
            if (p == 0xFFFFFF && x >= f && x < 80 - f) {
                ++white;
                left = std::min(left, x);
                right = std::max(right, x);
            }
            // Only grey, white and the grey-to-white edges of the glyphs
            // inside the frame.
        }
    EXPECT_GT(white, 10);
    EXPECT_LE(std::abs((left + right) - 79), 4) << left << " " << right;
    // The sunken relief: its lit lower right edges are not grey.
    EXPECT_FALSE(Grey(At(79, 15)));
    EXPECT_FALSE(Grey(At(40, 29)));
}

TEST_F(TextCaptionTest, WithoutReliefTheGreyFillsTheWholeFrame)
{
    caption->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    Draw();
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(Grey(At(0, i))) << i;
        EXPECT_TRUE(Grey(At(79, i))) << i;
    }
}

TEST_F(TextCaptionTest, ColoursAreSetWithoutRedisplayAndCopiedFromCaptionsOnly)
{
    const ZuColorPixel red(1.0, 0.0, 0.0, 0.0), blue(0.0, 0.0, 1.0, 0.0);
    EXPECT_TRUE(caption->SetBackColor(red));
    EXPECT_TRUE(caption->SetColor(blue));
    EXPECT_TRUE(caption->RetBackColor() == red);
    EXPECT_TRUE(caption->RetColor() == blue);

    // From a plain tag: the tag's fields, the caption's own background.
    ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone);
    tag->SetText(ZuStringRef("tag"));
    tag->SetLeftSpace(3);
    caption->Copy(tag);
    EXPECT_EQ(std::string(caption->RetText()->AccessLatin()), "tag");
    EXPECT_EQ(caption->RetLeftSpace(), 3);
    EXPECT_TRUE(caption->RetBackColor() == red);
    // From a caption: its background too.
    ZuTextCaptionRef other = ZuNew<ZuTextCaption>(Zuvi_app_zone);
    other->Copy(caption);
    EXPECT_TRUE(other->RetBackColor() == red);
    tag->Delete();
    other->Delete();
}

TEST_F(TextCaptionTest, TheStoredFormKeepsTheBackground)
{
    const ZuColorPixel green(0.0, 1.0, 0.0, 0.0);
    caption->SetBackColor(green);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(caption);
    const std::vector<unsigned char> bytes = s->Bytes();
    const std::string record = "<ZuTextCaption  back_color>";
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(record), std::string::npos);
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuTextCaptionRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuTextCaptionRef::RetRuntime()));
    ZuTextCaptionRef back(out);
    EXPECT_TRUE(back->RetBackColor() == green);
    EXPECT_EQ(std::string(back->RetText()->AccessLatin()), "Mm");
    EXPECT_TRUE(ZuTextCaptionRef::RetRuntime()->RetSuper() == ZuTextTagRef::RetRuntime());
    back->Delete();
    s->Delete();
}

} // namespace
