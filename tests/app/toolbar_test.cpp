// The tool bar: its buttons laid out from a table, named after their
// commands, calling the page view's methods when clicked, and replaced
// whole by the next table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/toolbar.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "tests/app/panecontrols.h"

// A page view that counts the file commands it is sent.
ZU_HANDLE(TBarPageView, CPageView)
class TBarPageView : public CPageView {
    ZU_CLASS(TBarPageView, CPageView)
public:
    TBarPageView() {}
    bool FileNew() { return Called("FileNew"); }
    bool FileOpen() { return Called("FileOpen"); }
    bool FileSave() { return Called("FileSave"); }
    bool Called(const char* name)
    {
        calls.push_back(name);
        return true;
    }
    std::vector<std::string> calls;
};
ZU_CLASS_END(TBarPageView)
ZU_IMPLEMENT_CLASS(TBarPageView, "tests/app/toolbar_test", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TBarPageView, FileNew)
ZU_EXPORT_ACTOR(TBarPageView, FileOpen)
ZU_EXPORT_ACTOR(TBarPageView, FileSave)

namespace {

class ToolBarTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        view = ZuNew<TBarPageView>(Zuvi_app_zone);
        bar = ZuNew<CToolBar>(Zuvi_app_zone);
        bar->SetBox(ZuRect(10, 5, 189, 27));
        bar->SetParent(w);
        bar->SetPageView(CPageViewRef(view));
    }
    void TearDown() override
    {
        bar = CToolBarRef();
        view->Delete();
        view = TBarPageViewRef();
        SetCurrentDocument(CDocumentRef(), CViewRef());
        PaneControlTest::TearDown();
    }
    // The bar's buttons, by user tag.
    std::vector<ZuViewRef> Buttons()
    {
        std::vector<ZuViewRef> out;
        ZuViewRef child;
        for (bar->GetFirstChild(child); child.IsValid();) {
            out.push_back(child);
            ZuViewRef next;
            child->GetNextSibling(next);
            child = next;
        }
        return out;
    }
    void Click(double x, double y)
    {
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    TBarPageViewRef view;
    CToolBarRef bar;
};

const ToolbarRecord kFiles[] = {{138, "FileNew"},
                                {139, "FileOpen"},
                                {kToolbarGap, nullptr},
                                {140, "FileSave"},
                                {kToolbarEnd, nullptr}};

TEST_F(ToolBarTest, ButtonsAreLaidOutNamedAndCallThePageView)
{
    bar->SetButtons(kFiles);
    const std::vector<ZuViewRef> buttons = Buttons();
    ASSERT_EQ(buttons.size(), 3u);
    const double xs[] = {10, 33, 60};
    const char* names[] = {"ToolbarFileNew", "ToolbarFileOpen", "ToolbarFileSave"};
    for (int i = 0; i < 3; i++) {
        ZuViewRef b;
        ASSERT_TRUE(bar->FindUserTag(i + 1, b));
        EXPECT_TRUE(b->IsKindOf(CButtonRef::RetRuntime()));
        EXPECT_EQ(b->RetBox().X1(), xs[i]);
        EXPECT_EQ(b->RetBox().Y1(), 5);
        EXPECT_TRUE(b->RetUserName() == ZuAtomRef(names[i])) << names[i];
    }
    Pump();
    Click(60 + 11, 5 + 11);
    Click(10 + 11, 5 + 11);
    Click(33 + 11, 5 + 11);
    // The gap calls nothing.
    Click(57, 5 + 11);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"FileSave", "FileNew", "FileOpen"}));
}

TEST_F(ToolBarTest, EachTableReplacesTheButtonsOfTheOneBefore)
{
    bar->SetButtons(ToolbarTable);
    size_t count = 0;
    for (const ToolbarRecord* r = ToolbarTable; r->icon != kToolbarEnd; r++)
        count += r->icon >= 0 ? 1 : 0;
    ASSERT_EQ(Buttons().size(), count);
    bar->SetButtons(kFiles);
    EXPECT_EQ(Buttons().size(), 3u);
    const ToolbarRecord empty[] = {{kToolbarEnd, nullptr}};
    bar->SetButtons(empty);
    EXPECT_TRUE(Buttons().empty());

    // A table of more than 30 buttons makes 30, all removed by the next.
    std::vector<ToolbarRecord> many(40, ToolbarRecord{138, "FileNew"});
    many.push_back({kToolbarEnd, nullptr});
    bar->SetButtons(many.data());
    EXPECT_EQ(Buttons().size(), 30u);
    bar->SetButtons(kFiles);
    EXPECT_EQ(Buttons().size(), 3u);
}

} // namespace
