// The library's start-up with an application: this test program registers a
// class "App" (a data slot, standing for the application object).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/array.h"
#include "si/dataslot.h"
#include "si/fontman.h"
#include "si/localeman.h"
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
} seen;

} // namespace

ZU_HANDLE(App, ZuDataSlot)
class App : public ZuDataSlot {
    ZU_CLASS(App, ZuDataSlot)
public:
    App() {}
    bool InsertField(ZuAtomRef const& name, ZuObjectRef const& object) override
    {
        std::string text = static_cast<const char*>(name);
        seen.fields.push_back(text);
        if (text == "Font Manager")
            seen.fields_are_the_managers &= object == ZuFontMan::Current() && ZuFontMan::Current().IsValid();
        if (text == "Locale Manager")
            seen.fields_are_the_managers &= object == ZuLocaleMan::Current();
        if (text == "Resource Manager") {
            seen.fields_are_the_managers &= object == ZuResMan::Current();
            ZuArrayRef locales;
            ZuLocaleMan::Current()->FillLocaleArray(locales);
            seen.locales_at_start = locales->TotalCount();
        }
        seen.app_known = Zuvi_RetApplication().RetRawObject() == this;
        return ZuDataSlot::InsertField(name, object);
    }
};
ZU_CLASS_END(App)
ZU_IMPLEMENT_CLASS(App, "tests/maininit_app", ZU_CLASS_PLAIN)

namespace {

TEST(MainInitWithApp, TheManagersArePublishedInTheApplicationAndKilledAtShutDown)
{
    seen = Seen();
    Zuvi_MainInit();
    EXPECT_EQ(seen.fields, (std::vector<std::string>{"Locale Manager", "Resource Manager", "Font Manager"}));
    EXPECT_TRUE(seen.fields_are_the_managers);
    EXPECT_TRUE(seen.app_known);
    EXPECT_EQ(seen.locales_at_start, 2u);
    EXPECT_TRUE(ZuLocaleMan::Current().IsInvalid());
    EXPECT_TRUE(ZuResMan::Current().IsInvalid());
    EXPECT_TRUE(ZuFontMan::Current().IsInvalid());
    EXPECT_TRUE(Zuvi_RetApplication().IsInvalid());
    EXPECT_EQ(nullptr, ZuMemZone::zone_head);
}

} // namespace
