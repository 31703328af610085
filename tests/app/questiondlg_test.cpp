// The program's message box as the user meets it: the start-up boxes'
// buttons and keys, the message split over its two lines, and answers that
// come from the main loop after the click is over.
#include <gtest/gtest.h>

#include <string>

#include "app/questiondlg.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/dialogs.h"

namespace {

class QuestionDlgTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        box = ZuNew<CQuestionDlg>(Zuvi_app_zone);
        ASSERT_TRUE(box->Create(300, 400));
        answers->watched = box->RetWindow();
    }
    void TearDown() override
    {
        box->Delete();
        box = CQuestionDlgRef();
        DialogTest::TearDown();
    }
    void BindAll(const std::string& name)
    {
        for (const char* event : {".notify_button1", ".notify_button2", ".notify_button3"})
            Bind((name + event).c_str());
    }
    static ZuStringRef Label(const char* text) { return text ? ZuStringRef(text) : ZuStringNull; }
    bool Shown() { return box->RetWindow()->IsVisible(); }
    bool InWindow(int i) { return box->RetButton(i)->RetParent().IsValid(); }

    CQuestionDlgRef box;
};

// The three boxes that the program makes at start-up.
struct StartUpBox {
    const char* name;
    const char* icon;
    const char* labels[3];
    int default_button;
    int cancel_button;
    const char* title; // null: the box keeps "Question"
    const char* buttons_shown;
    const char* on_return;
    const char* on_escape;
};

const StartUpBox kBoxes[] = {
    {"question_file_save",
     "lumbra_IconQuestion",
     {"Oui", "Non", "Annuler"},
     0,
     2,
     nullptr,
     "123",
     "question_file_save.notify_button1 ",
     "question_file_save.notify_button3 "},
    {"question_file_delete",
     "lumbra_IconWarning",
     {"Oui", "Non", nullptr},
     0,
     1,
     nullptr,
     "12",
     "question_file_delete.notify_button1 ",
     "question_file_delete.notify_button2 "},
    {"question_wait",
     "lumbra_IconOpen",
     {nullptr, nullptr, nullptr},
     -1,
     -1,
     "Occup\xe9",
     "",
     "",
     ""},
};

TEST_F(QuestionDlgTest, TheStartUpBoxesAnswerReturnAndEscapeWithTheirButtons)
{
    for (const StartUpBox& c : kBoxes) {
        SCOPED_TRACE(c.name);
        box->Delete();
        box = ZuNew<CQuestionDlg>(Zuvi_app_zone);
        box->Create(300, 400);
        answers->watched = box->RetWindow();
        if (c.title)
            box->SetTitle(ZuStringRef(c.title));
        EXPECT_TRUE(box->Setup(ZuStringRef(c.name), ZuStringRef(c.icon), Label(c.labels[0]),
                               Label(c.labels[1]), Label(c.labels[2]), c.default_button,
                               c.cancel_button));
        BindAll(c.name);
        EXPECT_EQ(Text(box->RetWindow()->RetTitle()), c.title ? c.title : "Question");
        EXPECT_TRUE(box->RetIcon()->RetIcon() == ZuAtomRef(c.icon));
        std::string shown;
        for (int i = 1; i <= 3; ++i)
            if (InWindow(i))
                shown += char('0' + i);
        EXPECT_EQ(shown, c.buttons_shown);
        // The default button is shown on; the others are not.
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(box->RetButton(i)->RetState().TestBit(ZU_VIEW_IS_ON),
                      i == c.default_button + 1)
                << i;

        answers->log.clear();
        box->Open(w, ZuStringRef("Le fichier a chang\xe9.\nVoulez-vous enregistrer ?"));
        ASSERT_TRUE(Shown());
        PressReturn();
        EXPECT_EQ(answers->log, c.on_return);
        // A box without buttons stays until the program closes it.
        EXPECT_EQ(Shown(), std::string(c.on_return).empty());

        answers->log.clear();
        box->Open(w, ZuStringRef("encore"));
        PressEscape();
        EXPECT_EQ(answers->log, c.on_escape);
        EXPECT_EQ(Shown(), std::string(c.on_escape).empty());

        box->Close();
        Pump();
        EXPECT_FALSE(Shown());
        EXPECT_EQ(answers->log, c.on_escape) << "Close reports nothing";
    }
}

TEST_F(QuestionDlgTest, TheTextIsSplitAtItsFirstNewline)
{
    box->Setup(ZuStringRef("question_wait"), ZuStringRef("lumbra_IconInfo"), ZuStringNull,
               ZuStringNull, ZuStringNull, -1, -1);
    struct Case {
        const char* text;
        const char* first;
        const char* second;
    } cases[] = {
        {"Le fichier a chang\xe9.\nVoulez-vous enregistrer les changements ?",
         "Le fichier a chang\xe9.", "Voulez-vous enregistrer les changements ?"},
        {"\nOuverture en cours ...", "", "Ouverture en cours ..."},
        {"un\ndeux\ntrois", "un", "deux\ntrois"},
        {"fin\n", "fin", ""},
        {"\n", "", ""},
        {"", "", ""},
        // Without a newline the second line is cleared, whatever it showed.
        {"sans retour", "sans retour", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        box->Open(w, ZuStringRef("avant\nancienne ligne"));
        box->Open(w, ZuStringRef(c.text));
        EXPECT_EQ(Text(box->RetFirstLine()->RetText()), c.first);
        EXPECT_EQ(Text(box->RetSecondLine()->RetText()), c.second);
    }
    box->Close();
}

TEST_F(QuestionDlgTest, TheAnswerArrivesFromTheMainLoopAfterTheClickIsOver)
{
    box->Setup(ZuStringRef("question_file_save"), ZuStringRef("lumbra_IconQuestion"),
               ZuStringRef("Oui"), ZuStringRef("Non"), ZuStringRef("Annuler"), 0, 2);
    BindAll("question_file_save");

    // The handler closes the box and only queues the answer.
    box->Open(w, ZuStringRef("?"));
    EXPECT_TRUE(box->OnClickButton2());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(answers->log, "");
    EXPECT_TRUE(app->FireAsyncEvents());
    EXPECT_EQ(answers->log, "question_file_save.notify_button2 ");
    EXPECT_TRUE(answers->last_source == box);

    // A click on each button, as the user makes it: the box is already
    // closed when the answer comes, and it comes once.
    for (int i = 1; i <= 3; ++i) {
        answers->log.clear();
        box->Open(w, ZuStringRef("?"));
        ClickIn(box->RetWindow(), 81 + 70 * (i - 1) + 30, 64);
        EXPECT_EQ(answers->log, "question_file_save.notify_button" + std::to_string(i) + " ");
        EXPECT_FALSE(Shown());
    }

    // "OnClose" closes without an answer.
    answers->log.clear();
    box->Open(w, ZuStringRef("?"));
    EXPECT_TRUE(box->OnClose());
    Pump();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(answers->log, "");
}

TEST_F(QuestionDlgTest, TheBoxIsBuiltOnceAndOpensModalOverItsParent)
{
    const ZuWindowRef window = box->RetWindow();
    EXPECT_EQ(window->RetWindowBox(), ZuRect(300, 400, 661, 485));
    EXPECT_FALSE(window->IsVisible());
    EXPECT_FALSE(box->Create(10, 10));
    EXPECT_TRUE(box->RetWindow() == window);
    EXPECT_EQ(window->RetWindowBox(), ZuRect(300, 400, 661, 485));

    box->Setup(ZuStringRef("question_file_delete"), ZuStringRef("lumbra_IconWarning"),
               ZuStringRef("Oui"), ZuStringRef("Non"), ZuStringNull, 0, 1);
    EXPECT_TRUE(box->RetUserName() == ZuAtomRef("question_file_delete"));
    box->Open(w, ZuStringRef("?"));
    EXPECT_TRUE(window->IsVisible());
    EXPECT_TRUE(window->RetModalWindowParent() == w);
    // A later Setup brings a removed button back and keeps the keys set
    // before.
    box->Setup(ZuStringRef("question_file_delete"), ZuStringRef("lumbra_IconWarning"),
               ZuStringRef("Oui"), ZuStringRef("Non"), ZuStringRef("Peut-\xeatre"), -1, -1);
    EXPECT_TRUE(InWindow(3));
    Bind("question_file_delete.notify_button2");
    PressEscape();
    EXPECT_EQ(answers->log, "question_file_delete.notify_button2 ");
}

} // namespace
