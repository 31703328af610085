// The file-name dialog as the user meets it: the open and save texts, a
// name proposed by the program and one typed by the user, Return and
// Escape, and the answer that comes from the main loop.
#include <gtest/gtest.h>

#include <string>

#include "app/filenamedlg.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/dialogs.h"
#include "tests/support/views.h"

namespace {

class FilenameDlgTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dlg = ZuNew<CFilenameDlg>(Zuvi_app_zone);
        ASSERT_TRUE(dlg->Create(300, 300));
        dlg->Setup(ZuStringRef("filename_save"), true);
        answers->watched = dlg->RetWindow();
        Bind("filename_save.notify_button1");
        Bind("filename_save.notify_button2");
    }
    void TearDown() override
    {
        dlg->Delete();
        dlg = CFilenameDlgRef();
        DialogTest::TearDown();
    }
    std::string ButtonText(const CButtonRef& button)
    {
        const ZuViewRef contents = button->RetContents();
        if (contents.IsInvalid() || !contents->IsKindOf(TTagProbeRef::RetRuntime()))
            return "<none>";
        return Text(TTagProbeRef(contents)->text);
    }
    bool Shown() { return dlg->RetWindow()->IsVisible(); }

    CFilenameDlgRef dlg;
};

TEST_F(FilenameDlgTest, OpenAndSaveShowTheirOwnTextsAndIcon)
{
    struct Case {
        const char* name;
        bool save;
        const char* title;
        const char* prompt;
        const char* icon;
    } cases[] = {
        {"filename_open", false, "Ouvrir", "Nom du fichier \xe0 ouvrir :", "lumbra_IconOpen"},
        {"filename_save", true, "Enregistrer",
         "Nom du fichier \xe0 enregistrer :", "lumbra_IconSave"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(dlg->Setup(ZuStringRef(c.name), c.save));
        EXPECT_TRUE(dlg->RetUserName() == ZuAtomRef(c.name));
        EXPECT_EQ(Text(dlg->RetWindow()->RetTitle()), c.title);
        EXPECT_EQ(Text(dlg->RetPrompt()->RetText()), c.prompt);
        EXPECT_EQ(ButtonText(dlg->RetConfirmButton()), c.title);
        EXPECT_TRUE(dlg->RetIcon()->RetIcon() == ZuAtomRef(c.icon));
    }
    // The confirming button is the default one.
    EXPECT_TRUE(dlg->RetConfirmButton()->RetState().TestBit(ZU_VIEW_IS_ON));
}

TEST_F(FilenameDlgTest, ANameSetByTheProgramIsNotTakenAsTyped)
{
    ZuStringRef proposed("dessin.lumbra");
    EXPECT_TRUE(dlg->SetFilename(proposed));
    // The field is the caller's own string, shown in the line.
    EXPECT_TRUE(dlg->RetFilename() == proposed);
    EXPECT_EQ(Text(dlg->RetTextLine()->RetText()), "dessin.lumbra");

    // Even when the line tells the program's own write to the handler, the
    // handler refuses it while the program writes.
    dlg->RetTextLine()->AttachObserver(dlg, ZuAtomRef("notify_auto_text_changed"),
                                       ZuAtomRef("OnEditName"), 0);
    ZuStringRef other("autre.lumbra");
    dlg->SetFilename(other);
    EXPECT_TRUE(dlg->RetFilename() == other);
    dlg->RetTextLine()->DetachObserver(dlg, ZuAtomRef("notify_auto_text_changed"),
                                       ZuAtomRef("OnEditName"), 0);
    dlg->SetFilename(proposed);

    // Reopening shows the last name again.
    dlg->Open(w);
    EXPECT_EQ(Text(dlg->RetTextLine()->RetText()), "dessin.lumbra");
    EXPECT_TRUE(dlg->RetFilename() == proposed);
    PressEscape();
}

TEST_F(FilenameDlgTest, ATypedNameIsANewStringAndReturnConfirmsIt)
{
    ZuStringRef proposed("dessin.lumbra");
    dlg->SetFilename(proposed);
    dlg->Open(w);
    EXPECT_TRUE(dlg->RetWindow()->RetModalWindowParent() == w);
    Type("2");
    const std::string typed = Text(dlg->RetTextLine()->RetText());
    EXPECT_NE(typed, "dessin.lumbra");
    EXPECT_EQ(Text(dlg->RetFilename()), typed);
    // The caller's string keeps its text: the field is another object.
    EXPECT_FALSE(dlg->RetFilename() == proposed);
    EXPECT_EQ(Text(proposed), "dessin.lumbra");
    EXPECT_EQ(answers->log, "");

    // Each change makes a new string.
    const ZuStringRef first = dlg->RetFilename();
    Type("b");
    EXPECT_FALSE(dlg->RetFilename() == first);
    EXPECT_EQ(Text(first), typed);

    PressReturn();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(answers->log, "filename_save.notify_button1 ");
    EXPECT_EQ(Text(dlg->RetFilename()), typed + "b");
}

TEST_F(FilenameDlgTest, AfterTheAnswerTheKeysGoToTheWindowBehind)
{
    TProbeViewRef probe = TProbeView::Make("M", 10, 10, 49, 39);
    probe->SetParent(w);
    ASSERT_TRUE(w->SetMainResponder(probe, false));
    for (bool confirm : {true, false}) {
        SCOPED_TRACE(confirm ? "Return" : "Escape");
        dlg->Open(w);
        Type("a");
        TProbeView::log.clear();
        if (confirm)
            PressReturn();
        else
            PressEscape();
        ASSERT_FALSE(Shown());
        EXPECT_TRUE(w->IsActive());
        Tap('B', 0x30);
        EXPECT_EQ(TProbeView::log, "M:KeyDown M:KeyUp ");
    }
}

TEST_F(FilenameDlgTest, EscapeAndAnnulerCancelAndTheAnswerComesAfterTheHandler)
{
    dlg->SetFilename(ZuStringRef("a.lumbra"));
    dlg->Open(w);
    PressEscape();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(answers->log, "filename_save.notify_button2 ");

    // Clicks on both buttons: closed before the answer arrives.
    struct Case {
        double x;
        const char* answer;
    } clicks[] = {{172, "filename_save.notify_button1 "}, {262, "filename_save.notify_button2 "}};
    for (const Case& c : clicks) {
        answers->log.clear();
        dlg->Open(w);
        ClickIn(dlg->RetWindow(), c.x, 178);
        EXPECT_EQ(answers->log, c.answer);
        EXPECT_FALSE(Shown());
    }

    // The handler itself only queues the answer.
    answers->log.clear();
    dlg->Open(w);
    EXPECT_TRUE(dlg->OnFile());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(answers->log, "");
    EXPECT_TRUE(app->FireAsyncEvents());
    EXPECT_EQ(answers->log, "filename_save.notify_button1 ");
    EXPECT_TRUE(answers->last_source == dlg);
}

TEST_F(FilenameDlgTest, ASecondCreateBuildsNothing)
{
    const ZuWindowRef window = dlg->RetWindow();
    const ZuTextLineRef line = dlg->RetTextLine();
    EXPECT_EQ(window->RetWindowBox(), ZuRect(300, 300, 611, 499));
    EXPECT_FALSE(dlg->Create(0, 0));
    EXPECT_TRUE(dlg->RetWindow() == window);
    EXPECT_TRUE(dlg->RetTextLine() == line);
    EXPECT_EQ(window->RetWindowBox(), ZuRect(300, 300, 611, 499));
    EXPECT_FALSE(window->IsVisible());
}

} // namespace
