// The page view's editing commands in the program's main window, run by
// name as the menus send them, and the status line they keep up to date.
#include <gtest/gtest.h>

#include "app/gralinetext.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/texttag.h"
#include "tests/app/pageshelltest.h"
#include "tests/support/debugcapture.h"

#include <string>
#include <vector>

namespace {

// One PostScript point in millimetres: how close the interpreter measures
// a box.
const double kPoint = 25.4 / 72.0;

class PageViewEditTest : public PageShellTest {
protected:
    // The command as a menu entry sends it.
    bool Run(const char* command)
    {
        return ZuObjectRef(view)->Action(ZuAtomRef(command), ZuObjectRef(), 0);
    }
    std::string Field(int i) const
    {
        const ZuTextTagRef tag = Main()->RetInfoTag(i);
        return tag.IsValid() && tag->RetText().IsValid() ? tag->RetText()->AccessLatin() : "?";
    }
    CTreeNodeRef Text(const char* text)
    {
        CGraLineTextRef t = Make<CGraLineTextRef>();
        t->SetText(ZuStringRef(text));
        return Attach(t);
    }
    static CGraObjectRef Object(const CTreeNodeRef& n) { return CGraObjectRef(n->RetObject()); }
    static DRect Box(const CTreeNodeRef& n) { return Object(n)->GetBoundingBox(); }
    static std::string TextOf(const CTreeNodeRef& n)
    {
        const ZuStringRef& t = CGraLineTextRef(n->RetObject())->RetText();
        return t.IsValid() ? t->AccessLatin() : "";
    }
    void SelectAll(const std::vector<CTreeNodeRef>& nodes)
    {
        sel->EndSelection();
        for (const CTreeNodeRef& n : nodes)
            sel->AddToSelection(n);
    }
    // A line of text taken into its own editing, characters from..to
    // selected.
    CTreeNodeRef EditedText(const char* text, int from, int to)
    {
        CTreeNodeRef n = Text(text);
        CGraLineTextRef(n->RetObject())->SetSelection(from, to);
        sel->SelectForOwnEditing(n);
        return n;
    }
    std::string ClipboardText() const
    {
        const ZuStringRef t = app->RetClipboardText();
        return t.IsValid() ? t->AccessLatin() : "(none)";
    }
};

} // namespace

TEST_F(PageViewEditTest, TheCommandsAnswerByTheNamesTheMenusSend)
{
    const char* names[] = {"EndSelected",
                           "DeleteSelected",
                           "DuplicateSelected",
                           "SelectSendToFront",
                           "SelectSendToBack",
                           "SelectMoveToFront",
                           "SelectMoveToBack",
                           "SelectMirrorX",
                           "SelectMirrorY",
                           "SelectRotate90",
                           "SelectRotate180",
                           "SelectRotate270",
                           "SelectGroup",
                           "SelectUngroup",
                           "GroupGoIn",
                           "GroupGoOut",
                           "About"};
    // With nothing selected every operation refuses, and the command still
    // answers true; the clipboard commands answer that they did nothing
    // (sent by name, a command is always taken).
    for (const char* name : names)
        EXPECT_TRUE(Run(name)) << name;
    EXPECT_TRUE(view->EndSelected());
    EXPECT_TRUE(view->SelectGroup());
    EXPECT_FALSE(view->ClipboardCut());
    EXPECT_FALSE(view->ClipboardCopy());
    EXPECT_FALSE(view->ClipboardPaste());
    EXPECT_TRUE(Run("ClipboardPaste"));
    EXPECT_EQ(Layer()->CountChildren(), 0);
}

TEST_F(PageViewEditTest, TheSelectionFieldNamesPageLayerCountOrTheEditedText)
{
    // A second page of two layers, the second layer current.
    CTreeNodeRef root;
    view->RetDocument()->GetTree()->GetNode(root, -1, -1);
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->SetObject(Make<CGraObjectRef>());
    page->InsertLastChild(root);
    for (int i = 0; i < 2; ++i) {
        CTreeNodeRef layer = Make<CTreeNodeRef>();
        layer->SetObject(Make<CGraObjectRef>());
        layer->InsertLastChild(page);
    }
    view->RetView()->current_page = 1;
    view->RetView()->current_layer = 1;
    view->UpdateStatus();
    EXPECT_EQ(Field(1), "  Page 2, Calque B");
    EXPECT_EQ(Field(2), "");
    EXPECT_EQ(view->RetSelectionInfo()->AccessLatin(), std::string(""));

    CTreeNodeRef a = Rect(0, 0, 10, 10), b = Rect(20, 0, 30, 10);
    ASSERT_TRUE(Layer() == b->RetParent());
    SelectAll({a});
    view->UpdateStatus();
    EXPECT_EQ(Field(1), "  1 objet s\xE9lectionn\xE9");
    ZuStringRef description;
    ASSERT_TRUE(Object(a)->GetDebugText(description));
    EXPECT_EQ(Field(2), description->AccessLatin());
    EXPECT_EQ(view->RetSelectionInfo()->AccessLatin(), std::string("Rectangle"));

    SelectAll({a, b});
    view->UpdateStatus();
    EXPECT_EQ(Field(1), "  2 objets s\xE9lectionn\xE9s");
    EXPECT_EQ(Field(2), "");
    EXPECT_EQ(view->RetSelectionInfo()->AccessLatin(), std::string("2 objets s\xE9lectionn\xE9s"));

    // While a line of text is edited, whatever else is counted.
    EditedText("Bonjour", 0, 3);
    ASSERT_EQ(sel->GetSelectedCount(), 3);
    view->UpdateStatus();
    EXPECT_EQ(Field(1), "  1 objet \xE9"
                        "dit\xE9");

    // The commands that change something put the field right themselves.
    SelectAll({a, b});
    EXPECT_TRUE(Run("SelectGroup"));
    EXPECT_EQ(Field(1), "  1 objet s\xE9lectionn\xE9");
    EXPECT_TRUE(Run("EndSelected"));
    EXPECT_EQ(Field(1), "  Page 2, Calque B");
}

TEST_F(PageViewEditTest, CutWorksOnTheEditedCharactersOrOnTheSelectedObjects)
{
    CTreeNodeRef a = Rect(0, 0, 10, 10), b = Rect(20, 0, 30, 10);
    CTreeNodeRef t = EditedText("Bonjour", 0, 3);
    // Only the selected characters leave; the line stays selected and
    // edited.
    EXPECT_TRUE(view->ClipboardCut());
    EXPECT_EQ(TextOf(t), "jour");
    EXPECT_EQ(ClipboardText(), "Bon");
    EXPECT_TRUE(sel->IsEditingObject());
    EXPECT_EQ(sel->GetSelectedCount(), 1);
    EXPECT_EQ(Layer()->CountChildren(), 3);
    // Copy keeps the line; paste puts the clipboard back at the caret.
    CGraLineTextRef(t->RetObject())->SetSelection(0, 2);
    EXPECT_TRUE(view->ClipboardCopy());
    EXPECT_EQ(ClipboardText(), "jo");
    EXPECT_EQ(TextOf(t), "jour");
    CGraLineTextRef(t->RetObject())->SetSelection(0, 0);
    app->SetClipboardText(ZuStringRef("Bon"));
    EXPECT_TRUE(view->ClipboardPaste());
    EXPECT_EQ(TextOf(t), "Bonjour");
    // No text on the clipboard: nothing to paste.
    app->SetClipboardText(ZuStringRef());
    EXPECT_FALSE(view->ClipboardPaste());
    EXPECT_EQ(TextOf(t), "Bonjour");

    // Without text editing the selected objects leave as one step.
    SelectAll({a, b});
    EXPECT_TRUE(view->ClipboardCut());
    EXPECT_EQ(Layer()->CountChildren(), 1);
    EXPECT_EQ(Field(1), "  Page 1, Calque A");
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Layer()->CountChildren(), 3);
    // And come back from the clipboard, selected.
    sel->EndSelection();
    EXPECT_TRUE(view->ClipboardPaste());
    EXPECT_EQ(Layer()->CountChildren(), 5);
    EXPECT_EQ(Field(1), "  2 objets s\xE9lectionn\xE9s");
}

TEST_F(PageViewEditTest, ClipboardTextOfAnyLengthNeverOverrunsTheLine)
{
    CTreeNodeRef t = EditedText("abc", 1, 2);
    const std::string huge(70000, 'x');
    app->SetClipboardText(ZuStringRef(huge.c_str()));
    const bool pasted = view->ClipboardPaste();
    // Either the whole text went in, or nothing changed.
    EXPECT_EQ(TextOf(t), pasted ? "a" + huge + "c" : "abc");
    // Bytes of every value.
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        bytes += char(c);
    CGraLineTextRef(t->RetObject())->SetText(ZuStringRef("abc"));
    CGraLineTextRef(t->RetObject())->SetSelection(1, 2);
    app->SetClipboardText(ZuStringRef(bytes.c_str()));
    const bool pastedBytes = view->ClipboardPaste();
    EXPECT_EQ(TextOf(t), pastedBytes ? "a" + bytes + "c" : "abc");
}

TEST_F(PageViewEditTest, DuplicateMovesTheCopiesByTheDocumentsOffset)
{
    CTreeNodeRef a = Rect(0, 0, 10, 10);
    SelectAll({a});
    EXPECT_TRUE(Run("DuplicateSelected"));
    ASSERT_EQ(Layer()->CountChildren(), 2);
    CTreeNodeRef copy = Layer()->RetLastChild();
    // The boxes are measured by the interpreter, to a point (0.35 mm).
    const DRect from = Box(a), to = Box(copy);
    EXPECT_NEAR(to.x1 - from.x1, 10.0, kPoint);
    EXPECT_NEAR(to.y1 - from.y1, 10.0, kPoint);
    // An offset set in the settings.
    view->RetDocument()->SetDuplicationOffset(-3.0, 4.5);
    EXPECT_TRUE(Run("DuplicateSelected"));
    ASSERT_EQ(Layer()->CountChildren(), 3);
    const DRect again = Box(Layer()->RetLastChild());
    EXPECT_NEAR(again.x1 - to.x1, -3.0, kPoint);
    EXPECT_NEAR(again.y1 - to.y1, 4.5, kPoint);
}

TEST_F(PageViewEditTest, EndSelectedWithNothingSelectedStillClearsTheOverlayAndRedraws)
{
    Pump();
    GSContextRef overlay = view->RetInteractionContext();
    ASSERT_TRUE(overlay.IsValid());
    CGraPortRef port = view->RetOverlayPort();
    view->ClearOverlay();
    port->Flush();
    overlay->ReadBack();
    const std::vector<unsigned char> clear(overlay->RetBuffer(),
                                           overlay->RetBuffer() + overlay->RetBufferSize());
    // A mark left on the overlay by a gesture.
    port->DrawRect(DPoint{-50, -50}, DPoint{50, 50}, 0.0, true, false);
    port->Flush();
    overlay->ReadBack();
    ASSERT_NE(std::vector<unsigned char>(overlay->RetBuffer(),
                                         overlay->RetBuffer() + overlay->RetBufferSize()),
              clear);

    view->SetRenderNeeded(false);
    ASSERT_EQ(sel->GetSelectedCount(), 0);
    EXPECT_TRUE(Run("EndSelected"));
    EXPECT_TRUE(view->IsRenderNeeded());
    port->Flush();
    overlay->ReadBack();
    EXPECT_EQ(std::vector<unsigned char>(overlay->RetBuffer(),
                                         overlay->RetBuffer() + overlay->RetBufferSize()),
              clear);
    Pump();
    EXPECT_FALSE(view->IsRenderNeeded());
}

TEST_F(PageViewEditTest, DefinitionChangesAreTracedAndApplied)
{
    DebugCapture capture;
    const int kinds[] = {10, 11};
    EXPECT_TRUE(view->DefModify(kinds, 2));
    EXPECT_EQ(capture.DebugText(), "CPageView::DefModify nb=2 attributs=10 11 \n");
    // A list longer than one trace line holds.
    capture.Clear();
    std::vector<int> many(400, 15);
    EXPECT_TRUE(view->DefModify(many.data(), int(many.size())));
    EXPECT_EQ(capture.DebugText().size(),
              std::string("CPageView::DefModify nb=400 attributs=\n").size() + 400 * 3);
}

TEST_F(PageViewEditTest, AlignmentRequestsGoToAlignDistributeOrSnap)
{
    CTreeNodeRef a = Rect(0, 0, 5, 5), b = Rect(10, 20, 15, 25), c = Rect(50, 40, 55, 45);
    SelectAll({a, b, c});
    // Left edges to the leftmost, y kept.
    EXPECT_TRUE(view->ModifySelection(0x04));
    std::vector<CTreeNodeRef> now;
    for (CTreeNodeRef n = Layer()->RetFirstChild(); n.IsValid(); n = n->RetNext())
        now.push_back(n);
    ASSERT_EQ(now.size(), 3u);
    for (const CTreeNodeRef& n : now)
        EXPECT_NEAR(Box(n).x1, Box(now[0]).x1, kPoint);
    EXPECT_NEAR(Box(now[2]).y1 - Box(now[0]).y1, 40.0, kPoint);
    // Snapping one object refuses; the request still answers true.
    SelectAll({now[0]});
    EXPECT_TRUE(view->ModifySelection(0x200));
}

TEST_F(PageViewEditTest, CoordinatesShowInTheMainUnitFromTheRulersOrigin)
{
    // The rulers count from the page's lower-left corner (A4: 105 mm left
    // of and 148.5 mm below its centre), in millimetres with two decimals.
    view->ShowCoordinates(DPoint{12.25, -3.5}, true);
    EXPECT_EQ(Field(0), "  X=117.25 Y=145.00");
    view->ShowCoordinates(DPoint{12.25, -3.5}, false);
    EXPECT_EQ(Field(0), "");
}

TEST_F(PageViewEditTest, AboutShowsTheSplashAgain)
{
    const CSplashWindowRef splash = app->RetSplashWindow();
    ASSERT_TRUE(splash.IsValid());
    splash->Hide(true);
    Pump();
    ASSERT_FALSE(splash->RetWindow()->IsVisible());
    EXPECT_TRUE(Run("About"));
    Pump();
    EXPECT_TRUE(splash->RetWindow()->IsVisible());
}
