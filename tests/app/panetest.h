#ifndef TESTS_APP_PANETEST_H
#define TESTS_APP_PANETEST_H

// The fixture of the attribute panes: the pane-control fixture with a
// window that holds a 370 x 196 pane at its corner, a listener of the
// application's "def" reports and a stand-in attributes dialog.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/defpane.h"
#include "app/idefdlg.h"
#include "app/textlinearrow.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/app/panecontrols.h"

// A string's Latin-1 text, empty for no string.
inline std::string Latin(const ZuStringRef& s)
{
    const char* latin = s.IsValid() ? s->AccessLatin() : nullptr;
    return latin != nullptr ? std::string(latin) : std::string();
}

// The codes a pane answers, in order.
inline std::vector<int> Codes(const CDefPaneRef& pane)
{
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    return std::vector<int>(list, list + count);
}

// Whether a pane's control stands in the pane (a hidden one is taken out).
inline bool Shown(const ZuViewRef& view)
{
    return view.IsValid() && view->RetParent().IsValid();
}

inline bool Enabled(const ZuViewRef& view)
{
    return view->RetState().TestBit(ZU_VIEW_IS_ENABLED);
}

// A value entry shows a table row's unit, bounds, step and slider (graded,
// two subdivisions, logarithmic or not).
template <class Row>
void ExpectValueEntry(const CTextLineArrowRef& e, const Row& c)
{
    EXPECT_EQ(e->GetUnit(), c.unit);
    EXPECT_EQ(e->GetMin(), c.minimum);
    EXPECT_EQ(e->GetMax(), c.maximum);
    EXPECT_EQ(e->GetStep(), c.step);
    EXPECT_EQ(e->GetSliderGrad(), c.grad);
    EXPECT_EQ(e->GetSliderSubdiv(), 2u);
    EXPECT_EQ(e->GetSliderLog(), c.log);
}

// Logs the application's "def" reports, in order, by their last name.
ZU_HANDLE(TDefListener, ZuObject)
class TDefListener : public ZuObject {
    ZU_CLASS(TDefListener, ZuObject)
public:
    TDefListener() {}
    bool Modify(const ZuObjectRef&, unsigned)
    {
        log += "Modify ";
        return true;
    }
    bool Full(const ZuObjectRef&, unsigned)
    {
        log += "Full ";
        return true;
    }
    bool Quick(const ZuObjectRef&, unsigned)
    {
        log += "Quick ";
        return true;
    }
    std::string log;
};
ZU_CLASS_END(TDefListener)

// The attributes dialog as the panes see it: definitions by kind, and a
// log "kind:0|1 " of the enabling asked of it.
ZU_HANDLE(TDefDlg, ZuObject)
class TDefDlg : public ZuObject, public IDefDlg {
    ZU_CLASS(TDefDlg, ZuObject)
public:
    TDefDlg() {}
    CDefRef RetDefinition(int kind) override
    {
        auto it = defs.find(kind);
        return it == defs.end() ? CDefRef() : it->second;
    }
    void EnablePane(int kind, bool enable) override
    {
        log += std::to_string(kind) + (enable ? ":1 " : ":0 ");
    }
    void Delete() override
    {
        defs.clear();
        ZuObject::Delete();
    }
    std::map<int, CDefRef> defs;
    std::string log;
};
ZU_CLASS_END(TDefDlg)

class PaneTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        pw = NewShownWindow(20, 20, 380, 210);
        listener = ZuNew<TDefListener>(Zuvi_app_zone);
        app->AttachAsyncObserver(listener, ZuAtomPathRef("def.notify_Modify"), ZuTextRef("Modify"),
                                 0);
        app->AttachAsyncObserver(listener, ZuAtomPathRef("def.notify_UpdateFullProperty"),
                                 ZuTextRef("Full"), 0);
        app->AttachAsyncObserver(listener, ZuAtomPathRef("def.notify_UpdateQuickProperty"),
                                 ZuTextRef("Quick"), 0);
        dialog = ZuNew<TDefDlg>(Zuvi_app_zone);
        CDefPane::SetFallbackDefDlg(dialog);
    }
    void TearDown() override
    {
        CDefPane::SetFallbackDefDlg(ZuObjectRef());
        app->FireAsyncEvents();
        app->DetachAsyncObserver(listener, ZuAtomPathRef("def.notify_Modify"), ZuTextRef("Modify"),
                                 0);
        app->DetachAsyncObserver(listener, ZuAtomPathRef("def.notify_UpdateFullProperty"),
                                 ZuTextRef("Full"), 0);
        app->DetachAsyncObserver(listener, ZuAtomPathRef("def.notify_UpdateQuickProperty"),
                                 ZuTextRef("Quick"), 0);
        dialog->Delete();
        dialog = TDefDlgRef();
        listener = TDefListenerRef();
        PaneControlTest::TearDown();
    }
    // A pane made as the definition view makes it, shown in the window.
    template <class T>
    typename T::Zuvi_Handle MakePane(int kind)
    {
        typename T::Zuvi_Handle pane = ZuNew<T>(Zuvi_app_zone);
        pane->SetSize(370, 196);
        pane->Create(kind);
        pane->SetParent(pw);
        pane->Display(true);
        Pump();
        return pane;
    }
    // The reports delivered since the last call.
    std::string Reports()
    {
        app->FireAsyncEvents();
        std::string out = listener->log;
        listener->log.clear();
        return out;
    }
    // A click of its own on the pane's window (the clock moves on first so
    // that clicks in a row are no double click).
    void Click(double x, double y)
    {
        Advance(1000);
        PaneMouse(x, y, 0);
        PaneMouse(x, y, MK_LBUTTON);
        PaneMouse(x, y, 0);
    }
    void PaneMouse(double x, double y, unsigned buttons);
    // Selects the whole text of the entry at (x, y) and types text over it.
    void TypeInto(double x, double y, const char* text);
    // A pixel (0xRRGGBB) of what the pane's window shows.
    unsigned PanePixel(int x, int y);

    ZuWindowRef pw;
    TDefListenerRef listener;
    TDefDlgRef dialog;
};

#endif
