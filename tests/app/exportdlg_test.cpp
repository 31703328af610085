// The export dialog as the user meets it: the first opening, the name rule
// of the formats, points and real length kept in step through the ratio
// and the resolution, monochrome formats without anti-aliasing, settings
// kept between openings, and the checks of what callers hand in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "app/exportdlg.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/dialogs.h"

namespace {

class ExportDlgTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dlg = ZuNew<CExportDlg>(Zuvi_app_zone);
        ASSERT_TRUE(dlg->Build(300, 300));
        answers->watched = dlg->RetWindow();
        Bind("export.notify_button1");
        Bind("export.notify_button2");
    }
    void TearDown() override
    {
        dlg->Delete();
        dlg = CExportDlgRef();
        DialogTest::TearDown();
    }
    std::string Name() { return Text(dlg->RetNameField()->RetText()); }
    double Shown(CExportDlg::Entry e) { return dlg->RetEntry(e)->GetValue(); }
    struct Settings {
        double size[2];
        int resolution, bits, aa;
        char device[CExportDlg::DEVICE_SIZE];
    };
    Settings Get()
    {
        Settings s;
        std::memset(&s, 0, sizeof s);
        dlg->GetSettings(s.size, &s.resolution, &s.bits, s.device, &s.aa);
        return s;
    }
    // The user picks a format: the list selects the row and reports it, as
    // a click on the row does.
    void Pick(int row)
    {
        dlg->RetFormatList()->Select(row);
        dlg->OnClickList();
    }
    // Replaces an entry's text by typing, as the user does.
    void TypeInto(CExportDlg::Entry e, const char* text)
    {
        double x = 0, y = 0;
        dlg->RetEntry(e)->GetOrigin(x, y);
        ClickIn(dlg->RetWindow(), x + 10, y + 10);
        Tap(VK_END, 0x4F);
        for (int i = 0; i < 8; ++i)
            Tap(VK_BACK, 0x0E);
        Type(text);
    }
    std::string Switches()
    {
        std::string s;
        for (int i = 0; i < 3; ++i) {
            const ZuSwitchRef sw = dlg->RetSwitch(i);
            s += sw->RetSwitchState() ? "on" : "off";
            s += sw->RetState().TestBit(ZU_VIEW_IS_ENABLED) ? " " : "(grey) ";
        }
        return s;
    }

    CExportDlgRef dlg;
};

TEST_F(ExportDlgTest, TheFirstOpeningWaitsForANameBeforeTheGreyGifExtension)
{
    dlg->Open(w);
    EXPECT_EQ(Name(), ".gif");
    EXPECT_EQ(dlg->RetFormatList()->RetSelected(), 1);
    EXPECT_STREQ(ExportFormatTable[1].label, "GIF niveaux de gris");
    EXPECT_EQ(Switches(), "off off on ");
    EXPECT_EQ(Text(dlg->RetWindow()->RetTitle()), "Exporter");

    // "Exporter" (Return) does nothing with the extension alone.
    PressReturn();
    EXPECT_TRUE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(answers->log, "");

    Tap(VK_HOME, 0x47);
    Type("carte");
    EXPECT_EQ(Name(), "carte.gif");
    PressReturn();
    EXPECT_FALSE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(answers->log, "export.notify_button1 ");
    EXPECT_EQ(Text(dlg->RetFilename()), "carte.gif");
    const Settings s = Get();
    EXPECT_EQ(s.size[0], 1000.0);
    EXPECT_EQ(s.size[1], 1000.0);
    EXPECT_EQ(s.resolution, 300);
    EXPECT_EQ(s.bits, 8);
    EXPECT_STREQ(s.device, "gifgray");
    EXPECT_EQ(s.aa, 2);

    // Escape cancels with the second answer.
    answers->log.clear();
    dlg->Open(w);
    PressEscape();
    EXPECT_FALSE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(answers->log, "export.notify_button2 ");
}

TEST_F(ExportDlgTest, TheFormatsExtensionReplacesOnlyTheNamesOwnExtension)
{
    struct Case {
        int row;
        const char* typed;
        const char* confirmed;
    } cases[] = {
        {10, "carte.old", "carte.png"},
        {10, "dessin", "dessin.png"},
        {16, "a.b.c", "a.b.jpg"},
        {14, "plan.tif", "plan.tif"},
        {7, "", ".bmp"},
        // A dot in a folder's name is no extension.
        {12, "/tmp/v1.2/dessin", "/tmp/v1.2/dessin.png"},
        {12, "/tmp/v1.2/dessin.old", "/tmp/v1.2/dessin.png"},
        {4, "./page", "./page.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Pick(c.row);
        dlg->Open(w);
        Tap(VK_END, 0x4F);
        for (int i = 0; i < 30; ++i)
            Tap(VK_BACK, 0x0E);
        Type(c.typed);
        EXPECT_TRUE(dlg->OnFile() || std::strlen(c.confirmed) <= 4);
        EXPECT_EQ(Text(dlg->RetFilename()), c.confirmed);
        EXPECT_EQ(Name(), c.confirmed);
    }
    // The name set by the program takes the extension too, and the
    // caller's string keeps its text.
    ZuStringRef given("/home/u/r\xe9sum\xe9.v2/carte");
    dlg->SetFilename(given);
    EXPECT_EQ(Text(dlg->RetFilename()), "/home/u/r\xe9sum\xe9.v2/carte.bmp");
    EXPECT_EQ(Text(given), "/home/u/r\xe9sum\xe9.v2/carte");
}

TEST_F(ExportDlgTest, PointsAndRealLengthFollowTheRatioAndTheResolution)
{
    dlg->SetRatio(2.0);
    EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), 500.0);
    dlg->Open(w);
    TypeInto(CExportDlg::WIDTH_PT, "600");
    EXPECT_EQ(Shown(CExportDlg::WIDTH_PT), 600.0);
    EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), 300.0);
    EXPECT_NEAR(Shown(CExportDlg::WIDTH_MM), 50.8, 1e-9);
    EXPECT_NEAR(Shown(CExportDlg::HEIGHT_MM), 25.4, 1e-9);
    Settings s = Get();
    EXPECT_EQ(s.size[0], 600.0);
    EXPECT_EQ(s.size[1], 300.0);

    // The real height drives the width through the ratio.
    TypeInto(CExportDlg::HEIGHT_MM, "50.8");
    s = Get();
    EXPECT_NEAR(s.size[1], 600.0, 1e-9);
    EXPECT_NEAR(s.size[0], 1200.0, 1e-9);

    // Ratio 0: sizes change independently; the resolution changes the real
    // length of the same image.
    dlg->SetRatio(0);
    double size[2] = {1000, 1000};
    dlg->SetSettings(size, 300, 8, "gifgray", 2);
    // The entries show real lengths to the hundredth.
    EXPECT_NEAR(Shown(CExportDlg::WIDTH_MM), 84.67, 1e-9);
    TypeInto(CExportDlg::RESOLUTION, "150");
    s = Get();
    EXPECT_EQ(s.resolution, 150);
    EXPECT_EQ(s.size[0], 1000.0);
    EXPECT_EQ(s.size[1], 1000.0);
    EXPECT_NEAR(Shown(CExportDlg::WIDTH_MM), 169.33, 1e-9);
    EXPECT_NEAR(Shown(CExportDlg::HEIGHT_MM), 169.33, 1e-9);
    TypeInto(CExportDlg::WIDTH_PT, "400");
    s = Get();
    EXPECT_EQ(s.size[0], 400.0);
    EXPECT_EQ(s.size[1], 1000.0);
    PressEscape();
}

TEST_F(ExportDlgTest, AMonochromeFormatForcesAntiAliasingOffAndGreysTheOthers)
{
    dlg->Open(w);
    EXPECT_EQ(Switches(), "off off on ");
    Pick(13); // "TIFF monochrome (LZW)"
    EXPECT_EQ(Switches(), "on off(grey) off(grey) ");
    EXPECT_EQ(Get().aa, 0);
    EXPECT_EQ(Name(), ".tif");
    Pick(16); // "JPEG 16 milllions"
    EXPECT_EQ(Switches(), "on off off ");
    EXPECT_EQ(Get().aa, 0);
    EXPECT_STREQ(Get().device, "jpeg");
    EXPECT_EQ(Get().bits, 24);

    // A click on "Oui" chooses it, and only it is on.
    double x = 0, y = 0;
    dlg->RetSwitch(1)->GetOrigin(x, y);
    ClickIn(dlg->RetWindow(), x + 8, y + 8);
    EXPECT_EQ(Get().aa, 1);
    EXPECT_EQ(Switches(), "off on off ");

    // A click on the first row of the list, "GIF monochrome".
    dlg->RetFormatList()->Select(0);
    dlg->RetFormatList()->Select(-1);
    double lx = 0, ly = 0;
    dlg->RetFormatList()->GetOrigin(lx, ly);
    ClickIn(dlg->RetWindow(), lx + 40, ly + 4 + 8);
    EXPECT_EQ(dlg->RetFormatList()->RetSelected(), 0);
    EXPECT_STREQ(Get().device, "gifmono");
    EXPECT_EQ(Switches(), "on off(grey) off(grey) ");
    // A tag outside the choices changes nothing.
    ZuSwitchRef stray = ZuNew<ZuSwitch>(Zuvi_app_zone);
    stray->SetUserTag(103);
    EXPECT_FALSE(dlg->OnRadioAA(stray, 0));
    stray->Delete();
    EXPECT_EQ(Get().aa, 0);
    PressEscape();
}

TEST_F(ExportDlgTest, SettingsAndNameStayFromOneOpeningToTheNext)
{
    double size[2] = {640, 480};
    EXPECT_TRUE(dlg->SetSettings(size, 96, 24, "png16m", 1));
    dlg->Open(w);
    EXPECT_EQ(dlg->RetFormatList()->RetSelected(), 12);
    EXPECT_EQ(Switches(), "off on off ");
    Tap(VK_HOME, 0x47);
    Type("vue");
    PressReturn();
    EXPECT_EQ(answers->log, "export.notify_button1 ");

    dlg->Open(w);
    EXPECT_EQ(Name(), "vue.png");
    EXPECT_EQ(Shown(CExportDlg::WIDTH_PT), 640.0);
    EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), 480.0);
    EXPECT_EQ(Shown(CExportDlg::RESOLUTION), 96.0);
    const Settings s = Get();
    EXPECT_STREQ(s.device, "png16m");
    EXPECT_EQ(s.aa, 1);
    // A second Build builds nothing.
    EXPECT_FALSE(dlg->Build(0, 0));
    EXPECT_EQ(dlg->RetWindow()->RetWindowBox(), ZuRect(300, 300, 655, 515));
    PressEscape();
}

TEST_F(ExportDlgTest, SettingsFromCallersAreCheckedAndSizesStayWithinTheEntries)
{
    const Settings before = Get();
    double size[2] = {800, 600};
    // A device that does not fit the 52-byte buffer is refused whole.
    const std::string too_long(CExportDlg::DEVICE_SIZE, 'x');
    EXPECT_FALSE(dlg->SetSettings(size, 150, 24, too_long.c_str(), 1));
    EXPECT_FALSE(dlg->SetSettings(size, 150, 24, nullptr, 1));
    EXPECT_FALSE(dlg->SetSettings(size, 150, 24, "png16m", 3));
    Settings after = Get();
    EXPECT_EQ(after.size[0], before.size[0]);
    EXPECT_EQ(after.resolution, before.resolution);
    EXPECT_STREQ(after.device, "gifgray");
    // The longest that fits is taken and given back whole.
    const std::string longest(CExportDlg::DEVICE_SIZE - 1, 'd');
    EXPECT_TRUE(dlg->SetSettings(size, 150, 24, longest.c_str(), 1));
    EXPECT_EQ(std::string(Get().device), longest);
    // A device of no row shows the first row.
    EXPECT_EQ(dlg->RetFormatList()->RetSelected(), 0);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct SizeCase {
        double w, h;
        bool taken;
        double want_w, want_h, want_ratio;
    } sizes[] = {
        {2100, 2970, true, 2100, 2970, 2100.0 / 2970},
        {40000, 20000, true, 10000, 5000, 2.0},
        {0.25, 0.5, true, 1, 1, 0.5},
        {0, 100, false, 0, 0, 0},
        {-5, 100, false, 0, 0, 0},
        {nan, 100, false, 0, 0, 0},
        {100, inf, false, 0, 0, 0},
    };
    for (const SizeCase& c : sizes) {
        SCOPED_TRACE(c.w);
        const Settings was = Get();
        const double ratio_was = dlg->RetRatio();
        double given[2] = {c.w, c.h};
        EXPECT_EQ(dlg->SetSize(given), c.taken);
        const Settings s = Get();
        EXPECT_EQ(s.size[0], c.taken ? c.want_w : was.size[0]);
        EXPECT_EQ(s.size[1], c.taken ? c.want_h : was.size[1]);
        EXPECT_DOUBLE_EQ(dlg->RetRatio(), c.taken ? c.want_ratio : ratio_was);
        // What is written is what the entries show.
        EXPECT_EQ(Shown(CExportDlg::WIDTH_PT), s.size[0]);
        EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), s.size[1]);
    }

    struct RatioCase {
        double ratio;
        double stored;
        double height; // with the width 1000
    } ratios[] = {{4.0, 4.0, 250}, {1e-6, 1e-6, 10000}, {1e9, 1e9, 1}, {0, 0, 777},
                  {-2, 0, 777},    {nan, 0, 777},       {inf, 0, 777}};
    for (const RatioCase& c : ratios) {
        SCOPED_TRACE(c.ratio);
        size[0] = 1000;
        size[1] = 777;
        dlg->SetSettings(size, 300, 8, "gifgray", 2);
        EXPECT_TRUE(dlg->SetRatio(c.ratio));
        EXPECT_EQ(dlg->RetRatio(), c.stored);
        EXPECT_EQ(Get().size[1], c.height);
        EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), c.height);
    }
    // The coupling holds the height within its bounds too.
    dlg->SetRatio(0.001);
    dlg->Open(w);
    TypeInto(CExportDlg::WIDTH_PT, "5000");
    EXPECT_EQ(Get().size[1], 10000.0);
    EXPECT_EQ(Shown(CExportDlg::HEIGHT_PT), 10000.0);
    PressEscape();
}

} // namespace
