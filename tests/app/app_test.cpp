// The program's start-up and its application object: what the user sees
// when Initialise returns, the clipboards, the editing engine's shell and
// quitting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "app/pagedlg.h"
#include "app/toolpalette.h"
#include "app/tree.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"

namespace {

TEST_F(ShellTest, StartUpShowsTheMainWindowAndHidesTheSplash)
{
    ASSERT_TRUE(Main().IsValid());
    const ZuWindowRef& main = Main()->RetWindow();
    ASSERT_TRUE(main.IsValid());
    EXPECT_TRUE(main->IsVisible());
    EXPECT_EQ(app->RetMainWindow(), main);
    ZuStringRef title;
    ASSERT_TRUE(main->GetTitle(title));
    EXPECT_STREQ(title->AccessLatin(), "Lumbra");
    ASSERT_TRUE(app->RetSplashWindow().IsValid());
    ASSERT_TRUE(app->RetSplashWindow()->RetWindow().IsValid());
    EXPECT_FALSE(app->RetSplashWindow()->RetWindow()->IsVisible());
    // A new, empty document, the one the main window holds.
    ASSERT_TRUE(app->RetDocument().IsValid());
    EXPECT_EQ(Main()->RetDocument(), app->RetDocument());
    EXPECT_FALSE(app->RetDocument()->IsModified());
    // The tool palette "Outils" holds the drawing tools of the page view;
    // the pop-up palette waits hidden.
    ASSERT_TRUE(app->RetToolPalette().IsValid());
    ASSERT_TRUE(app->RetToolPalette2().IsValid());
    CToolPaletteRef tools(app->RetToolPalette());
    ASSERT_TRUE(tools->RetWindow()->GetTitle(title));
    EXPECT_STREQ(title->AccessLatin(), "Outils");
    EXPECT_EQ(tools->GetCurrentTool(1), 0);
    EXPECT_EQ(tools->GetCurrentTool(2), 10);
    EXPECT_TRUE(tools->RetPageView() == Main()->RetPageView());
    EXPECT_FALSE(CToolPaletteRef(app->RetToolPalette2())->RetWindow()->IsVisible());
    // The pages and layers palettes and the properties and print dialogs
    // exist from start-up and wait hidden.
    for (const ZuObjectRef& palette : {app->RetPageDlg(), app->RetLayerDlg()}) {
        ASSERT_TRUE(palette.IsValid());
        EXPECT_FALSE(CPageDlgRef(palette)->IsVisible());
    }
    // The boxes of the file conversation exist from start-up, named for
    // their answers, and stay hidden until the page view asks.
    struct Box {
        ZuObjectRef dialog;
        ZuAtomRef name;
        ZuWindowRef window;
    };
    const Box boxes[] = {
        {app->RetQuestionFileSave(), app->RetQuestionFileSave()->RetUserName(),
         app->RetQuestionFileSave()->RetWindow()},
        {app->RetQuestionFileDelete(), app->RetQuestionFileDelete()->RetUserName(),
         app->RetQuestionFileDelete()->RetWindow()},
        {app->RetQuestionWait(), app->RetQuestionWait()->RetUserName(),
         app->RetQuestionWait()->RetWindow()},
        {app->RetFilenameOpen(), app->RetFilenameOpen()->RetUserName(),
         app->RetFilenameOpen()->RetWindow()},
        {app->RetFilenameSave(), app->RetFilenameSave()->RetUserName(),
         app->RetFilenameSave()->RetWindow()},
        {app->RetExportDlg(), app->RetExportDlg()->RetUserName(), app->RetExportDlg()->RetWindow()},
    };
    const char* const names[] = {"question_file_save", "question_file_delete", "question_wait",
                                 "filename_open",      "filename_save",        "export"};
    for (size_t i = 0; i < sizeof boxes / sizeof boxes[0]; ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_TRUE(boxes[i].dialog.IsValid());
        ASSERT_TRUE(boxes[i].name.IsValid());
        EXPECT_STREQ(boxes[i].name->RetText(), names[i]);
        ASSERT_TRUE(boxes[i].window.IsValid());
        EXPECT_FALSE(boxes[i].window->IsVisible());
    }
}

TEST_F(ShellTest, TheApplicationIsTheEditingEnginesShell)
{
    EXPECT_EQ(&RetEditShell(), static_cast<IEditShell*>(app.RetRawObject()));
    EXPECT_FALSE(RetEditShell().HasClipboardTree());
    CTreeRef tree = ZuNew<CTree>(nullptr);
    RetEditShell().SetClipboard(tree);
    EXPECT_TRUE(RetEditShell().HasClipboardTree());
    EXPECT_EQ(app->RetClipboard(), tree);
    // A copy of the handle: the clipboard keeps its tree.
    CTreeRef copy = app->RetClipboard();
    copy = CTreeRef();
    EXPECT_EQ(app->RetClipboard(), tree);

    EXPECT_FALSE(RetEditShell().HasClipboardText());
    app->SetClipboardText(ZuStringRef("Bonjour"));
    EXPECT_TRUE(RetEditShell().HasClipboardText());
    EXPECT_STREQ(app->RetClipboardText()->AccessLatin(), "Bonjour");
    app->SetClipboardText(ZuStringRef());
    EXPECT_FALSE(RetEditShell().HasClipboardText());
}

TEST_F(ShellTest, QuitApplicationQuitsAtOnceEvenWithAChangedDocument)
{
    app->RetDocument()->SetModified(true);
    EXPECT_FALSE(QuitPending());
    const auto windows = app->RetWindowNum();
    EXPECT_TRUE(app->Action(ZuAtomRef("QuitApplication"), ZuObjectRef(), 0));
    EXPECT_TRUE(QuitPending());
    // Nothing was asked: no new window came up, the question stays hidden.
    EXPECT_EQ(app->RetWindowNum(), windows);
    EXPECT_FALSE(app->RetQuestionFileSave()->RetWindow()->IsVisible());
}

TEST_F(ShellTest, ClosingTheMainWindowQuitsThroughThePageView)
{
    ASSERT_TRUE(Main()->RetPageView().IsValid());
    ASSERT_NE(Main()->RetPageView()->RetRuntime()->FindActor(ZuAtomRef("FileQuit")), nullptr);
    W32_HeadlessCloseBySystem(Hwnd(Main()->RetWindow()));
    const ZuEventRef& e = ZuEvent::Current();
    bool quit = false;
    for (int i = 0; i < 20 && !quit; ++i) {
        if (!e->WaitForEvent())
            quit = true;
        else
            e->DispatchEvent();
    }
    EXPECT_TRUE(quit);
}

// Start-up goes on when the program's sheets are missing or damaged: the
// pictures are missing, nothing else.
class ShellWithoutSheets : public ShellTest {
protected:
    void SetUp() override
    {
        keep_scratch_folder = true;
        initialise = false;
        ShellTest::SetUp();
    }
};

TEST_F(ShellWithoutSheets, StartUpGoesOnWithMissingOrDamagedSheets)
{
    // The generic sheet is missing, the icons are cut PNG bytes, the
    // cursors not a PNG at all.
    std::ofstream(scratch.Path() + "/lumbra_icons.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0", 18);
    std::ofstream(scratch.Path() + "/lumbra_cursors.png", std::ios::binary) << "pas une image";
    app->Initialise(true);
    Pump();
    ASSERT_TRUE(Main().IsValid());
    EXPECT_TRUE(Main()->RetWindow()->IsVisible());
    ZuIconRecordRef icon;
    EXPECT_FALSE(ZuLookMan::Current()->GetIconRecord(ZuAtomRef("lumbra_Generic"), icon, 0));
    EXPECT_FALSE(ZuLookMan::Current()->GetIconRecord(ZuAtomRef("lumbra_Icon138"), icon, 0));
}

} // namespace
