// A text line on the X server takes the ISO 8859-1 characters a French user
// types, whatever way the keyboard gives them (a key of the layout, a dead
// key, the compose key), and nothing for a character beyond the set.
#include <string>

#include "si/textline.h"
#include "si/window.h"
// Last: they bring the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"
#include "tests/support/xkeys.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

std::string Latin(const ZuStringRef& s)
{
    const char* latin = s.IsValid() ? s->AccessLatin() : nullptr;
    return latin != nullptr ? std::string(latin) : std::string();
}

class TextLineX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 80, 240, 80, ZuStringRef("Titre"), ZuWinStyle());
        line = ZuNew<ZuTextLine>(Zuvi_app_zone);
        line->SetBox(ZuRect(10, 10, 229, 29));
        line->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        line = ZuTextLineRef();
    }

    ZuWindowRef w;
    ZuTextLineRef line;
};

TEST_F(TextLineX11, TakesLatinOneCharactersFromKeysDeadKeysAndComposeAndNoOthers)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)); }));
    // A click in the line gives it the keys.
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    PointerAt(int(ox + 120), int(oy + 20));
    Settle();
    Button(true);
    Settle();
    Button(false);
    ASSERT_TRUE(PumpUntil([&] {
        ZuViewRef main;
        return w->GetMainResponder(main) && main == line;
    }));
    XKeys keys(peer);
    // The French layout's key of "é" and "2", with "@" under AltGr.
    const KeyCode french = keys.Give(XK_eacute, XK_2, XK_at);
    ASSERT_NE(french, 0);
    ASSERT_TRUE(keys.TypeFrenchSample(french));
    const std::string wanted = "\xC9t\xE9 \xE0 No\xEBl@";
    EXPECT_TRUE(PumpUntil([&] { return Latin(line->RetText()) == wanted; }))
        << "typed: \"" << Latin(line->RetText()) << "\"";
}

} // namespace
