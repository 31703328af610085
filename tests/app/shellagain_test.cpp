// The shell closed and made again in one process: every interpreter
// context of the first shell goes with it, so the second one starts (its
// font pane asks the interpreter for the font list) and draws its samples.
#include <gtest/gtest.h>

#include "app/defdlg.h"
#include "app/defview.h"
#include "app/penbasepane.h"
#include "ghost/gscontext.h"
#include "tests/app/shelltest.h"

namespace {

// The pen pane of the attributes dialog.
CPenBasePaneRef PenPane(const AppRef& app)
{
    const CDefViewRef pen = app->RetDefDlg()->RetPane(10);
    return pen.IsValid() ? CPenBasePaneRef(pen->RetPaneAt(0)) : CPenBasePaneRef();
}

// Whether the pen pane's sample shows ink after drawing it; the context
// drawn into is then the interpreter's installed one.
bool DrawPenSample(const AppRef& app)
{
    const CPenBasePaneRef pane = PenPane(app);
    if (pane.IsInvalid() || pane->RetSample().IsInvalid())
        return false;
    pane->DrawSample();
    const GSContextRef context = pane->RetSample()->RetView()->RetContext();
    if (context.IsInvalid() || GSContext::RetInstalledNumber() != context->RetNumber())
        return false;
    context->ReadBack();
    const unsigned char* bytes = context->RetBuffer();
    for (size_t i = 0; bytes != nullptr && i < context->RetBufferSize(); ++i)
        if (bytes[i] != 0xFF)
            return true;
    return false;
}

TEST_F(ShellTest, TheShellMadeAgainStartsAndDrawsItsSamples)
{
    ASSERT_TRUE(DrawPenSample(app));
    // The pen sample's context stays installed while the shell goes.
    TearDown();
    SetUp();
    ASSERT_TRUE(app.IsValid());
    EXPECT_TRUE(DrawPenSample(app));
}

} // namespace
