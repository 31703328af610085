// The fixture of the editing engine's tests: a shell that records what the
// engine tells it, and a document of two pages of one layer each edited by
// a selection object whose ports write to a recorder (Live and LiveEdit
// give it the real interpreter instead).
#ifndef LUMBRA_TESTS_APP_SELECTTEST_H
#define LUMBRA_TESTS_APP_SELECTTEST_H

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/editshell.h"
#include "app/gragroup.h"
#include "app/gralinetext.h"
#include "app/grapolyl.h"
#include "app/grarect.h"
#include "app/selectobject.h"
#include "app/tree.h"
#include "app/view.h"
#include "si/error.h"
#include "w32/systime.h"
#include "tests/app/gratest.h"

// A shell that records what the engine tells it and answers as told.
class RecordingShell : public IEditShell {
public:
    void EnableCommand(const char* command, bool on) override
    {
        enabled[command] = on;
        calls.push_back(command);
    }
    void SetCommandCheck(const char* command, bool on) override { checked[command] = on; }
    bool HasClipboardTree() const override { return clipboardTree; }
    CTreeRef RetClipboard() const override { return clipboard; }
    void SetClipboard(CTreeRef tree) override
    {
        clipboard = tree;
        clipboardTree = tree.IsValid();
        ++clipboardSets;
    }
    bool HasClipboardText() const override { return clipboardText; }
    bool IsPropertyDlgVisible() const override { return propertiesShown; }
    void ShowSelectionProperties(const CSelectObjectRef&, const CGraObjectRef& single) override
    {
        shownSingle = single.Resolve();
        ++propertiesFilled;
    }
    void RefreshObjectProperties(const CGraObjectRef& object, const DPoint& at, int) override
    {
        refreshed.push_back(object.Resolve());
        refreshedAt = at;
    }
    // The attributes dialog: a view for every kind unless told otherwise.
    bool SetCurrentDefinition(int kind, const CDefRef& def) override
    {
        if (kind == refusedKind)
            return false;
        current[kind] = def;
        setKinds.push_back(kind);
        events.push_back("set " + std::to_string(kind));
        return true;
    }
    CDefRef RetCurrentDefinition(int kind) const override
    {
        const auto found = current.find(kind);
        return found == current.end() ? CDefRef() : found->second;
    }
    void RedisplayDefinitions() override
    {
        events.push_back("redisplay");
        if (traceRedisplay)
            Zuvi_Trace("[redisplay]\n");
        if (redisplayMs != 0)
            W32_AdvanceTestClock(redisplayMs);
    }
    void SetDefDlgUsedKinds(const int* used, const int* differing) override
    {
        defUsed = List(used);
        defDiffering = List(differing);
    }
    void SetSampleDlgUsedKinds(const int* used, const int* differing) override
    {
        sampleUsed = List(used);
        sampleDiffering = List(differing);
    }
    static std::vector<int> List(const int* kinds)
    {
        std::vector<int> out;
        while (*kinds != 0)
            out.push_back(*kinds++);
        return out;
    }
    int GetToolState(int code) const override { return code + 1000; }
    void UpdatePageDialog(const CSelectObjectRef&) override { ++pageUpdates; }
    void UpdateLayerDialog(const CSelectObjectRef&) override { ++layerUpdates; }

    std::map<std::string, bool> enabled;
    std::map<std::string, bool> checked;
    std::vector<std::string> calls;
    bool clipboardTree = false;
    CTreeRef clipboard;
    int clipboardSets = 0;
    bool clipboardText = false;
    bool propertiesShown = false;
    CGraObject* shownSingle = nullptr;
    int propertiesFilled = 0;
    int pageUpdates = 0;
    int layerUpdates = 0;
    std::vector<CGraObject*> refreshed;
    DPoint refreshedAt{0.0, 0.0};
    std::map<int, CDefRef> current;
    std::vector<int> setKinds;
    // "set KIND" and "redisplay", in the order they came.
    std::vector<std::string> events;
    int refusedKind = -1;
    // The redisplay written to the trace too.
    bool traceRedisplay = false;
    // How long a redisplay takes on the test clock.
    long long redisplayMs = 0;
    std::vector<int> defUsed, defDiffering, sampleUsed, sampleDiffering;
};

class CSelectObjectTest : public GraTest {
protected:
    void SetUp() override
    {
        GraTest::SetUp();
        Record();
        doc = Make<CDocumentRef>();
        doc->Reset();
        doc->SetModified(false);
        view = Make<CViewRef>();
        // Two pages of one layer each.
        for (int p = 0; p < 2; p++) {
            CTreeNodeRef page = Make<CTreeNodeRef>();
            page->InsertLastChild(doc->GetTree()->RetRoot());
            CTreeNodeRef l = Make<CTreeNodeRef>();
            l->SetObject(Make<CGraObjectRef>());
            l->InsertLastChild(page);
        }
        doc->GetTree()->GetNode(layer, 0, 0);
        sel = Make<CSelectObjectRef>();
        sel->SetDocument(doc);
        sel->SetViewSettings(view);
        sel->SetPorts(port, port);
        SetEditShell(&shell);
    }
    // The engine's ports draw into a white display of the real interpreter
    // (one pixel per unit at scale 1).
    void LiveEdit(int width, int height, double scale = 1.0)
    {
        Live(width, height, scale);
        sel->SetPorts(port, port);
    }
    // The pixel at user (x, y) of the display at scale 1, as {r, g, b}.
    std::vector<int> Pixel(int x, int y)
    {
        display->ReadBack();
        uint32_t w = 0, h = 0;
        display->GetSize(w, h);
        const unsigned char* row =
            display->RetBuffer() + size_t(h - 1 - y) * display->RetRowBytes();
        const unsigned char* p = row + 3 * x;
        return {p[2], p[1], p[0]};
    }
    void TearDown() override
    {
        for (auto& d : shell.current)
            d.second = CDefRef();
        shell.clipboard = CTreeRef();
        SetEditShell(nullptr);
        sel->ClearUndo();
        sel = CSelectObjectRef();
        layer = CTreeNodeRef();
        doc->Delete();
        doc = CDocumentRef();
        view = CViewRef();
        GraTest::TearDown();
    }

    // A group without members framing (x1, y1)-(x2, y2), in edit mode.
    CTreeNodeRef Box(const CTreeNodeRef& parent, double x1, double y1, double x2, double y2,
                     int mode = 0)
    {
        CGraGroupRef g = Make<CGraGroupRef>();
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        g->SetPoints(corners, 2);
        return Attach(g, parent, mode);
    }
    // A rectangle from (x1, y1) to (x2, y2), measured through the port.
    CTreeNodeRef Rect(const CTreeNodeRef& parent, double x1, double y1, double x2, double y2,
                      int mode = 0)
    {
        CGraRectRef r = Make<CGraRectRef>();
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        return Attach(r, parent, mode);
    }
    // An open polygon through the points, as the tool draws it.
    CTreeNodeRef Poly(const CTreeNodeRef& parent, std::initializer_list<DPoint> points,
                      int mode = 0)
    {
        CGraPolyLineRef l = Make<CGraPolyLineRef>();
        bool first = true;
        for (const DPoint& p : points) {
            l->SetPoints(&p, 1);
            if (first)
                l->DragPoint(p, 0);
            first = false;
        }
        return Attach(l, parent, mode);
    }
    CTreeNodeRef Text(const CTreeNodeRef& parent, const char* text, int mode)
    {
        CGraLineTextRef t = Make<CGraLineTextRef>();
        t->SetText(ZuStringRef(text));
        return Attach(t, parent, mode);
    }
    CTreeNodeRef Attach(const CGraObjectRef& o, const CTreeNodeRef& parent, int mode)
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(o);
        n->InsertLastChild(parent);
        o->SetEditMode(mode);
        o->UpdateBoundingBox(port);
        return n;
    }
    static CGraObjectRef Object(const CTreeNodeRef& n) { return CGraObjectRef(n->RetObject()); }
    static int Mode(const CTreeNodeRef& n) { return Object(n)->GetEditMode(); }
    // The nodes selected by their edit mode, the count taken again.
    void Select(const std::vector<CTreeNodeRef>& nodes)
    {
        for (const CTreeNodeRef& n : nodes)
            Object(n)->SetEditMode(1);
        sel->RebuildSelection();
    }
    static std::vector<CTreeNode*> Children(const CTreeNodeRef& parent)
    {
        std::vector<CTreeNode*> out;
        for (CTreeNodeRef c = parent->RetFirstChild(); c.IsValid(); c = c->RetNext())
            out.push_back(c.Resolve());
        return out;
    }
    static std::vector<CTreeNode*> Nodes(const std::vector<CTreeNodeRef>& nodes)
    {
        std::vector<CTreeNode*> out;
        for (const CTreeNodeRef& n : nodes)
            out.push_back(n.Resolve());
        return out;
    }
    // A step that removes the selected children of the edit parent, as the
    // delete command records it.
    void DeleteSelected(int oper = 10, bool clearRedo = true)
    {
        sel->OpenUndoGroup(oper, clearRedo);
        CTreeNodeRef parent;
        sel->GetEditParent(parent);
        std::vector<CTreeNodeRef> chosen;
        for (CTreeNodeRef c = parent->RetFirstChild(); c.IsValid(); c = c->RetNext())
            if (Mode(c) != 0)
                chosen.push_back(c);
        for (const CTreeNodeRef& c : chosen) {
            CUndoActionRef a = Make<CUndoActionRef>();
            a->RecordRemove(c);
            sel->AddUndoAction(a);
        }
        doc->SetModified(true);
    }
    // A step replacing each node by a new box.
    std::vector<CTreeNodeRef> ReplaceEach(int oper, const std::vector<CTreeNodeRef>& olds,
                                          bool clearRedo = true)
    {
        sel->OpenUndoGroup(oper, clearRedo);
        std::vector<CTreeNodeRef> fresh;
        for (const CTreeNodeRef& old : olds) {
            CTreeNodeRef n = Make<CTreeNodeRef>();
            n->SetObject(Make<CGraGroupRef>());
            CUndoActionRef a = Make<CUndoActionRef>();
            a->RecordReplace(n, old);
            sel->AddUndoAction(a);
            fresh.push_back(n);
        }
        return fresh;
    }
    int UndoCount() const { return sel->RetUndoList()->GetCount(); }
    int RedoCount() const { return sel->RetRedoList()->GetCount(); }
    static void ExpectCorners(const CSelectObjectRef& s, std::vector<DPoint> want, const char* what)
    {
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(want[i].x, s->GetBoxCorner(i).x) << what << " corner " << i;
            EXPECT_EQ(want[i].y, s->GetBoxCorner(i).y) << what << " corner " << i;
        }
    }

    RecordingShell shell;
    CDocumentRef doc;
    CViewRef view;
    CTreeNodeRef layer;
    CSelectObjectRef sel;
};

#endif
