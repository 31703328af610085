// The print dialog as the user meets it: its first opening, the dot shapes
// and their codes, typed values held within their bounds, settings kept
// after a cancel; and in the running program, the record reaching the
// screen set-up of the printed page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/pageview.h"
#include "app/printdlg.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"
#include "tests/support/dialogs.h"
#include "tests/support/scratchdir.h"
#include "w32/printdlg.h"

// A run context that keeps the PostScript it is sent.
ZU_HANDLE(TPrintContext, GSContext)
class TPrintContext : public GSContext {
    ZU_CLASS(TPrintContext, GSContext)
public:
    TPrintContext() {}
    bool ExecuteText(const char* text, int n) override
    {
        sent += std::string(text, n > 0 ? size_t(n) : std::strlen(text));
        return GSContext::ExecuteText(text, n);
    }
    std::string sent;
};
ZU_CLASS_END(TPrintContext)
ZU_IMPLEMENT_CLASS(TPrintContext, "tests/app/printdlg_test", ZU_CLASS_PLAIN)

// A page view whose print runs use recording contexts.
ZU_HANDLE(TPrintView, CPageView)
class TPrintView : public CPageView {
    ZU_CLASS(TPrintView, CPageView)
public:
    TPrintView() {}
    GSContextRef NewRunContext() override
    {
        last = ZuNew<TPrintContext>(Zuvi_app_zone);
        return GSContextRef(last);
    }
    TPrintContextRef last;
};
ZU_CLASS_END(TPrintView)
ZU_IMPLEMENT_CLASS(TPrintView, "tests/app/printdlg_test", ZU_CLASS_PLAIN)

namespace {

class PrintDlgTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dlg = ZuNew<CPrintDlg>(Zuvi_app_zone);
        ASSERT_TRUE(dlg->Build(300, 300));
        answers->watched = dlg->RetWindow();
        Bind("print.notify_button1");
        Bind("print.notify_button2");
    }
    void TearDown() override
    {
        dlg->Delete();
        dlg = CPrintDlgRef();
        DialogTest::TearDown();
    }
    PrintSettings Get()
    {
        PrintSettings s;
        s.frequency = -1;
        EXPECT_TRUE(dlg->GetSettings(s));
        return s;
    }
    // Replaces an entry's text by typing, as the user does.
    void TypeInto(const CTextLineArrowRef& entry, const char* text)
    {
        double x = 0, y = 0;
        entry->GetOrigin(x, y);
        ClickIn(dlg->RetWindow(), x + 10, y + 10);
        Tap(VK_END, 0x4F);
        for (int i = 0; i < 8; ++i)
            Tap(VK_BACK, 0x0E);
        Type(text);
    }
    // A click on a row of the dot shape list (rows 16 pixels high).
    void ClickRow(int row)
    {
        double x = 0, y = 0;
        dlg->RetShapeList()->GetOrigin(x, y);
        ClickIn(dlg->RetWindow(), x + 30, y + 8 + 16 * row);
    }
    void ClickSwitch(const ZuSwitchRef& s)
    {
        double x = 0, y = 0;
        s->GetOrigin(x, y);
        ClickIn(dlg->RetWindow(), x + 6, y + 8);
    }

    CPrintDlgRef dlg;
};

} // namespace

TEST_F(PrintDlgTest, AFreshDialogShowsTheRecordsDefaults)
{
    dlg->Open(w);
    EXPECT_TRUE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(Text(dlg->RetWindow()->RetTitle()), "Imprimer");
    EXPECT_EQ(dlg->RetShapeList()->RetSelected(), 0);
    EXPECT_STREQ(DotShapeTable[0].label, "Rond");
    EXPECT_DOUBLE_EQ(dlg->RetFrequencyEntry()->GetValue(), 85.0);
    EXPECT_NEAR(dlg->RetAngleEntry()->GetValue(), 0.785398163375, 1e-9);
    EXPECT_FALSE(dlg->RetMirrorSwitch()->RetSwitchState());
    EXPECT_FALSE(dlg->RetNegativeSwitch()->RetSwitchState());
    EXPECT_EQ(Text(dlg->RetUserName()->RetString()), "print");
    const PrintSettings s = Get();
    EXPECT_EQ(s.frequency, 85.0);
    EXPECT_EQ(s.angle, 0.785398163375);
    EXPECT_EQ(s.spot, 2);
    EXPECT_FALSE(s.negative);
    EXPECT_FALSE(s.mirror);
    EXPECT_EQ(s.reserved[0], 0.0);
    EXPECT_EQ(s.reserved[1], 0.0);
    EXPECT_EQ(s.reserved[2], 1.0);
    EXPECT_EQ(s.reserved[3], 0.0);
    // A second build builds nothing.
    EXPECT_FALSE(dlg->Build(10, 10));

    PressReturn();
    EXPECT_FALSE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(answers->log, "print.notify_button1 ");
}

TEST_F(PrintDlgTest, EachListRowStoresItsDotShapesCode)
{
    dlg->Open(w);
    // A click on the second row, as the user makes it.
    ClickRow(1);
    EXPECT_EQ(dlg->RetShapeList()->RetSelected(), 1);
    EXPECT_EQ(Get().spot, 5);
    const int codes[] = {2, 5, 3, 4, 6, 1, 7, 8};
    const char* const labels[] = {"Rond",    "Rond invers\xe9", "Compos\xe9 euclidien", "Diamant",
                                  "Losange", "Rapide",          "Ligne horizontale",    "Triangle"};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(DotShapeTable[row].code, codes[row]);
        EXPECT_STREQ(DotShapeTable[row].label, labels[row]);
        dlg->RetShapeList()->Select(row);
        EXPECT_TRUE(dlg->OnClickList());
        EXPECT_EQ(Get().spot, codes[row]) << row;
    }
    EXPECT_EQ(DotShapeTable[8].code, -1);
    // No row selected: nothing changes.
    dlg->RetShapeList()->Select(-1);
    EXPECT_FALSE(dlg->OnClickList());
    EXPECT_EQ(Get().spot, 8);
}

TEST_F(PrintDlgTest, TypedValuesAreHeldWithinTheirBounds)
{
    dlg->Open(w);
    struct Case {
        bool angle;
        const char* typed;
        double stored;
    } cases[] = {
        {false, "2000", 1000.0},         {false, "1", 5.0},
        {false, "120", 120.0},           {true, "90", 3.1415926535 / 2},
        {true, "400", 2 * 3.1415926535}, {true, "30", 3.1415926535 / 6},
    };
    for (const Case& c : cases) {
        TypeInto(c.angle ? dlg->RetAngleEntry() : dlg->RetFrequencyEntry(), c.typed);
        const PrintSettings s = Get();
        EXPECT_NEAR(c.angle ? s.angle : s.frequency, c.stored, 1e-9) << c.typed;
    }
    EXPECT_NEAR(Get().angle, 0.5235987755833333, 1e-12);
}

TEST_F(PrintDlgTest, CancellingKeepsTheChangesForTheNextPrint)
{
    dlg->Open(w);
    ClickSwitch(dlg->RetMirrorSwitch());
    ClickSwitch(dlg->RetNegativeSwitch());
    TypeInto(dlg->RetFrequencyEntry(), "60");
    dlg->RetShapeList()->Select(7);
    dlg->OnClickList();
    PressEscape();
    EXPECT_FALSE(dlg->RetWindow()->IsVisible());
    EXPECT_EQ(answers->log, "print.notify_button2 ");

    dlg->Open(w);
    EXPECT_TRUE(dlg->RetMirrorSwitch()->RetSwitchState());
    EXPECT_TRUE(dlg->RetNegativeSwitch()->RetSwitchState());
    EXPECT_DOUBLE_EQ(dlg->RetFrequencyEntry()->GetValue(), 60.0);
    EXPECT_EQ(dlg->RetShapeList()->RetSelected(), 7);
    const PrintSettings s = Get();
    EXPECT_TRUE(s.mirror);
    EXPECT_TRUE(s.negative);
    EXPECT_EQ(s.frequency, 60.0);
    EXPECT_EQ(s.spot, 8);
}

namespace {

class PrintShellTest : public ShellTest {};

} // namespace

TEST_F(PrintShellTest, TheDialogsRecordSetsThePrintedPagesScreen)
{
    ScratchDir dir;
    const CPrintDlgRef dlg(app->RetPrintDlg());
    ASSERT_TRUE(dlg.IsValid());
    TPrintViewRef view = ZuNew<TPrintView>(Zuvi_app_zone);
    view->SetBox(ZuRect(0, 0, 319, 239));
    view->SetParent(Main()->RetWindow());
    view->SetDocument(app->RetDocument());
    view->Init(CMainWindowRef());

    // The command opens the application's print dialog over the page.
    view->FilePrint();
    Pump();
    EXPECT_TRUE(dlg->RetWindow()->IsVisible());
    dlg->RetMirrorSwitch()->SetSwitchState(true);
    dlg->OnSwitchMirror();
    dlg->RetShapeList()->Select(5); // "Rapide", code 1
    dlg->OnClickList();
    dlg->OnClose();
    Pump();

    W32_ScriptPrintService(0, nullptr);
    PRINTDLGA answer;
    W32_DefaultPrintSettings(&answer);
    answer.Flags |= PD_PRINTTOFILE;
    const std::string target = dir.Path() + "/printed.pdf";
    std::snprintf(answer.szFile, sizeof answer.szFile, "%s", target.c_str());
    W32_ScriptPrintDialog(TRUE, &answer);
    EXPECT_TRUE(view->AsyncPrintGo());
    ASSERT_TRUE(view->last.IsValid());
    const std::string& sent = view->last->sent;
    EXPECT_NE(sent.find("setscreen"), std::string::npos) << sent;
    EXPECT_NE(
        sent.find("85.000000 45.000000 { 180 mul cos exch 180 mul cos add 2 div } bind setscreen"),
        std::string::npos)
        << sent;
    EXPECT_NE(sent.find("-50.000000 -50.000000 translate"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("settransfer"), std::string::npos) << sent;
    W32_ClearPrintScript();
    W32_ScriptPrintService(-1, nullptr);
    view->Delete();
}
