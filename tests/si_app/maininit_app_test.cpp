// The library's start-up with an application: this test program registers a
// class "App", an application that quits as soon as its main loop starts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "si/app.h"
#include "si/array.h"
#include "si/dataslot.h"
#include "si/fontman.h"
#include "si/localeman.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/resman.h"
#include "si/rtclass.h"

namespace {

struct Seen {
    std::vector<std::string> fields;
    bool fields_are_the_managers = true;
    unsigned locales_at_start = 0;
    bool app_known = false;
    bool looped = false;
    // Whether the managers were still there when the application went.
    bool managers_at_kill = false;
    // The interface fonts published: face, size and system flag.
    std::vector<std::string> fonts;
} seen;

} // namespace

ZU_HANDLE(App, ZuApp)
class App : public ZuApp {
    ZU_CLASS(App, ZuApp)
public:
    App() {}
    void Initialise(bool build) override
    {
        ZuApp::Initialise(build);
        ZuEvent::PostQuitEvent();
    }
    void MainEventLoop() override
    {
        seen.looped = true;
        ZuApp::MainEventLoop();
    }
    void Delete() override
    {
        seen.managers_at_kill = ZuLookMan::Current().IsValid() && ZuLocaleMan::Current().IsValid();
        ZuApp::Delete();
    }
    bool InsertField(const ZuAtomRef& name, const ZuObjectRef& object) override
    {
        std::string text = static_cast<const char*>(name);
        seen.fields.push_back(text);
        if (text == "Font Manager")
            seen.fields_are_the_managers &=
                object == ZuFontMan::Current() && ZuFontMan::Current().IsValid();
        if (text == "Locale Manager")
            seen.fields_are_the_managers &= object == ZuLocaleMan::Current();
        // The look manager publishes itself while it is being made, before
        // it becomes current.
        if (text == "Look Manager")
            seen.fields_are_the_managers &=
                object.IsValid() && object->IsKindOf(ZuLookManRef::RetRuntime());
        if (text.size() > 5 && text.compare(text.size() - 5, 5, " Font") == 0) {
            ZuGrailFontRef font(object);
            char size[32];
            snprintf(size, sizeof size, " %g%s", font->RetSize(),
                     font->IsSystemFont() ? " system" : "");
            seen.fonts.push_back(std::string(font->RetName()->AccessLatin()) + size);
        }
        if (text == "Resource Manager") {
            seen.fields_are_the_managers &= object == ZuResMan::Current();
            ZuArrayRef locales;
            ZuLocaleMan::Current()->FillLocaleArray(locales);
            seen.locales_at_start = locales->TotalCount();
        }
        seen.app_known =
            Zuvi_RetApplication().RetRawObject() == this && ZuApp::Current().RetRawObject() == this;
        return ZuApp::InsertField(name, object);
    }
};
ZU_CLASS_END(App)
ZU_IMPLEMENT_CLASS(App, "tests/maininit_app", ZU_CLASS_PLAIN)

namespace {

// The application is made by name, installed, the managers publish
// themselves in it, it enters itself, its loop runs until the quit that it
// posted, and it goes before the managers at shut-down.
TEST(MainInitWithApp, TheManagersArePublishedInTheApplicationAndKilledAtShutDown)
{
    seen = Seen();
    Zuvi_MainInit();
    EXPECT_EQ(seen.fields, (std::vector<std::string>{"Locale Manager", "Resource Manager",
                                                     "Font Manager", "Look Manager", "System Font",
                                                     "Small Font", "Bold Font", "Application"}));
    EXPECT_TRUE(seen.looped);
    EXPECT_TRUE(seen.managers_at_kill);
    EXPECT_TRUE(ZuApp::Current().IsInvalid());
    EXPECT_EQ(seen.fonts, (std::vector<std::string>{"arial.ttf 12 system", "arial.ttf 10 system",
                                                    "arialbd.ttf 12 system"}));
    EXPECT_TRUE(seen.fields_are_the_managers);
    EXPECT_TRUE(seen.app_known);
    EXPECT_EQ(seen.locales_at_start, 2u);
    EXPECT_TRUE(ZuLocaleMan::Current().IsInvalid());
    EXPECT_TRUE(ZuResMan::Current().IsInvalid());
    EXPECT_TRUE(ZuFontMan::Current().IsInvalid());
    EXPECT_TRUE(ZuLookMan::Current().IsInvalid());
    EXPECT_TRUE(ZuLookMan::sys_lookman.IsInvalid());
    EXPECT_TRUE(Zuvi_RetApplication().IsInvalid());
    EXPECT_EQ(nullptr, ZuMemZone::zone_head);
}

} // namespace
