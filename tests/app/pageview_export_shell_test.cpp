// Export in the running program: the command opens the export dialog over
// the page, the dialog's "Exporter" writes the image it describes while
// the busy box is shown, and a failure closes the box and says why.
#include <gtest/gtest.h>

#include "app/pageview.h"
#include "app/printdlg.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"
#include "tests/support/debugcapture.h"
#include "tests/support/scratchdir.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

class ExportShellTest : public ShellTest {
protected:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    static std::string Text(const ZuStringRef& s)
    {
        return s.IsValid() && s->AccessLatin() ? s->AccessLatin() : "";
    }
    static std::string ReadAll(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Return in the dialog: "Exporter".
    void PressReturn()
    {
        W32_HeadlessKey(VK_RETURN, 0x1C, false, true);
        W32_HeadlessKey(VK_RETURN, 0x1C, false, false);
        Pump();
        // The main loop's turn for the asynchronous reports.
        app->FireAsyncEvents();
    }
};

} // namespace

TEST_F(ExportShellTest, TheDialogsExportWritesTheImageUnderTheBusyBox)
{
    ScratchDir dir;
    CPageViewRef view = View();
    ASSERT_TRUE(view.IsValid());
    CExportDlgRef dlg = app->RetExportDlg();
    CQuestionDlgRef busy = app->RetQuestionWait();
    ASSERT_TRUE(dlg.IsValid());
    ASSERT_TRUE(busy.IsValid());
    // The print dialog opens over the page; cancelled, it prints nothing.
    EXPECT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef("FilePrint"), ZuObjectRef(), 0));
    Pump();
    const CPrintDlgRef print(app->RetPrintDlg());
    ASSERT_TRUE(print.IsValid());
    EXPECT_TRUE(print->RetWindow()->IsVisible());
    print->OnClose();
    app->FireAsyncEvents();
    EXPECT_FALSE(print->RetWindow()->IsVisible());

    struct {
        const char* device;
        const char* name;
        bool written;
    } const cases[] = {{"png16m", "carte", true}, {"nosuchdevice", "rate", false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.device);
        ASSERT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef("FileExport"), ZuObjectRef(), 0));
        Pump();
        ASSERT_TRUE(dlg->RetWindow()->IsVisible());
        const double size[2] = {210, 297};
        ASSERT_TRUE(dlg->SetSettings(size, 300, 24, k.device, 0));
        ASSERT_TRUE(dlg->SetFilename(ZuStringRef(k.name)));
        const std::string file = Text(dlg->RetFilename());
        DebugCapture capture;
        PressReturn();
        EXPECT_FALSE(dlg->RetWindow()->IsVisible());
        // The busy box was opened with its text and is closed again.
        EXPECT_EQ(Text(busy->RetSecondLine()->RetText()), "Cr\xe9"
                                                          "ation de l'image en cours ...");
        EXPECT_FALSE(busy->RetWindow()->IsVisible());
        EXPECT_EQ(view->RetPointerShape(), -2);
        const std::string bytes = ReadAll(file);
        if (k.written) {
            ASSERT_GT(bytes.size(), 24u);
            EXPECT_EQ(bytes.compare(1, 3, "PNG"), 0);
            EXPECT_TRUE(capture.Boxes().empty());
        } else {
            EXPECT_TRUE(bytes.empty());
            ASSERT_EQ(capture.Boxes().size(), 1u);
            EXPECT_NE(capture.LastBox().text.find(file), std::string::npos);
        }
    }
}
