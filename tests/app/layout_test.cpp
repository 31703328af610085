// Every window of the program as a user sees it once it is laid out with
// the default look: no two shown controls cover each other unless one
// holds the other, every control lies inside its window, all that a
// slider draws (its track and ticks) lies inside every view that holds it
// and inside the frame of a framed box, the ticks of two sliders keep
// apart, every picture a control asks for is found (and is no icon
// number drawn in its place), every text fits its control and every tab
// shows its whole label. One table of windows, each opened and gone
// through state by state (every card and variant of "Attributs", every
// tab of "Réglages"), one checker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/defdlg.h"
#include "app/defview.h"
#include "app/exportdlg.h"
#include "app/filenamedlg.h"
#include "app/pagedlg.h"
#include "app/pageview.h"
#include "app/printdlg.h"
#include "app/propertydlg.h"
#include "app/questiondlg.h"
#include "app/sampleview.h"
#include "app/separator.h"
#include "app/sampledlg.h"
#include "app/setupdlg.h"
#include "app/slider.h"
#include "app/textlinearrow.h"
#include "si/boxview.h"
#include "si/button.h"
#include "si/cardstack.h"
#include "si/cardtab.h"
#include "si/icon.h"
#include "si/iconrecord.h"
#include "si/lookman.h"
#include "si/switch.h"
#include "si/texttag.h"
#include "si/winsizer.h"
#include "tests/app/numberedtile.h"
#include "tests/app/shelltest.h"

namespace {

std::string Latin(const ZuStringRef& s)
{
    const char* t = s.IsValid() ? s->AccessLatin() : nullptr;
    return t != nullptr ? t : "";
}

bool Shown(const ZuViewRef& v)
{
    return !v->RetState().TestBit(ZU_VIEW_NO_DISPLAY);
}

bool Empty(const ZuRect& r)
{
    return r.DX() <= 0 || r.DY() <= 0;
}

bool Meet(const ZuRect& a, const ZuRect& b)
{
    return !Empty(a) && !Empty(b) && a.X1() <= b.X2() && b.X1() <= a.X2() && a.Y1() <= b.Y2() &&
           b.Y1() <= a.Y2();
}

bool IsA(const ZuViewRef& v, const ZuRuntimeRef& rt)
{
    return v.IsValid() && v->IsKindOf(rt);
}

// What a fault names a view by: its class, its text and its box.
std::string Describe(const ZuViewRef& v)
{
    std::string out = v->RetRuntime()->RetClassName();
    std::string text;
    if (IsA(v, ZuTextTagRef::RetRuntime())) {
        ZuStringRef s;
        ZuTextTagRef(v)->GetText(s);
        text = Latin(s);
    } else if (IsA(v, ZuSwitchRef::RetRuntime())) {
        text = Latin(ZuSwitchRef(v)->RetTitle());
    } else if (IsA(v, ZuIconRef::RetRuntime())) {
        const ZuAtomRef& a = ZuIconRef(v)->RetIcon();
        text = a.IsValid() ? static_cast<const char*>(a) : "";
    }
    if (!text.empty())
        out += " \"" + text + "\"";
    if (v->RetUserTag() != 0)
        out += " #" + std::to_string(v->RetUserTag());
    const ZuRect& b = v->RetBox();
    char box[96];
    std::snprintf(box, sizeof box, " (%g,%g)-(%g,%g)", b.X1(), b.Y1(), b.X2(), b.Y2());
    return out + box;
}

// A state of a window to look at, and what it is called in faults.
using Look = std::function<void(const std::string& state, const ZuWindowRef& window)>;

class LayoutTest : public ShellTest {
protected:
    // The faults of a whole window as it is now.
    std::vector<std::string> Faults(const ZuWindowRef& window)
    {
        app->SyncWindows(true);
        std::vector<std::string> faults;
        std::vector<ZuViewRef> shown;
        Collect(ZuViewRef(window), shown);
        // The window's frame: its bar above the client box, its borders.
        const ZuRect& wb = window->RetWindowBox();
        double left = 0, top = 0, across = 0, down = 0;
        window->GetFrameOffset(left, top);
        window->GetFrameOverhead(across, down);
        const ZuRect frame(-left, -top, wb.DX() - 1 + across - left, wb.DY() - 1 + down - top);
        std::vector<ZuViewRef> controls;
        for (const ZuViewRef& v : shown) {
            if (IsA(v, ZuCardStackRef::RetRuntime()))
                TabFaults(ZuCardStackRef(v), frame, faults);
            if (!IsControl(v) || (cut_below && v->RetBox().Y1() > wb.DY() - 1))
                continue;
            controls.push_back(v);
            const ZuRect& b = v->RetBox();
            if (b.X1() < frame.X1() || b.Y1() < frame.Y1() || b.X2() > frame.X2() ||
                b.Y2() > frame.Y2())
                faults.push_back("outside the window: " + Describe(v));
            std::string fault = PictureFault(v);
            if (!fault.empty())
                faults.push_back(fault);
            fault = TextFault(v);
            if (!fault.empty())
                faults.push_back(fault);
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                if (Meet(controls[i]->RetBox(), controls[j]->RetBox()) &&
                    !MayMeet(controls[i], controls[j]))
                    faults.push_back("overlap: " + Describe(controls[i]) + " and " +
                                     Describe(controls[j]));
        DrawnFaults(window, controls, faults);
        return faults;
    }

    // What the sliders draw, track and ticks: each slider drawn alone,
    // unclipped, must lie inside its own box (the window cuts it there) and
    // inside every view that holds it, within the frame of a framed box;
    // and two sliders keep a pixel between their ticks.
    void DrawnFaults(const ZuWindowRef& window, const std::vector<ZuViewRef>& controls,
                     std::vector<std::string>& faults)
    {
        const ZuRect& wb = window->RetWindowBox();
        canvas = NewPixmap(32, wb.DX() + kMargin, wb.DY() + kMargin);
        std::map<ZuView*, ZuRect> insides;
        std::vector<std::pair<ZuViewRef, ZuRect>> sliders;
        for (const ZuViewRef& v : controls) {
            if (!IsA(v, CSliderRef::RetRuntime()))
                continue;
            const ZuRect drawn = Drawn(v);
            if (Empty(drawn))
                continue;
            sliders.emplace_back(v, drawn);
            if (!Inside(drawn, v->RetBox()))
                faults.push_back("drawn beyond its own box: " + Describe(v) + Extent(drawn));
            for (ZuViewRef holder = v->RetParent(); holder.IsValid() && !holder->IsWindow();
                 holder = holder->RetParent()) {
                auto known = insides.find(holder.Resolve());
                if (known == insides.end())
                    known = insides.emplace(holder.Resolve(), Inner(holder)).first;
                if (!Inside(drawn, known->second)) {
                    faults.push_back("drawn out of its holder: " + Describe(v) + Extent(drawn) +
                                     " in " + Describe(holder) + " within" + Extent(known->second));
                    break;
                }
            }
        }
        for (std::size_t i = 0; i < sliders.size(); ++i)
            for (std::size_t j = i + 1; j < sliders.size(); ++j) {
                const ZuRect& a = sliders[i].second;
                const ZuRect& b = sliders[j].second;
                if (a.X1() <= b.X2() + 1 && b.X1() <= a.X2() + 1 && a.Y1() <= b.Y2() + 1 &&
                    b.Y1() <= a.Y2() + 1)
                    faults.push_back("sliders touch: " + Describe(sliders[i].first) + Extent(a) +
                                     " and " + Describe(sliders[j].first) + Extent(b));
            }
        canvas->Delete();
        canvas = ZuGrailPixmapRef();
    }

    static std::string Extent(const ZuRect& r)
    {
        char text[96];
        std::snprintf(text, sizeof text, " [%g,%g]-[%g,%g]", r.X1(), r.Y1(), r.X2(), r.Y2());
        return text;
    }

    // The pixels a view draws by itself (back and front, without what it
    // holds), unclipped, in window coordinates: the view drawn alone on a
    // ground that no look uses, the box round what changed. Only the
    // view's box and a margin round it are looked at.
    ZuRect Drawn(const ZuViewRef& v)
    {
        double dx = 0, dy = 0;
        canvas->GetSize(dx, dy);
        const ZuRect& b = v->RetBox();
        const int x1 = std::max(0, int(b.X1()) - kMargin);
        const int y1 = std::max(0, int(b.Y1()) - kMargin);
        const int x2 = std::min(int(dx) - 1, int(b.X2()) + kMargin);
        const int y2 = std::min(int(dy) - 1, int(b.Y2()) + kMargin);
        if (x2 < x1 || y2 < y1)
            return ZuRect();
        const ZuGrailPortRef port(canvas);
        canvas->BeginDraw(x1, y1, x2, y2);
        canvas->SetForeColor(ZuColorPixel(kGround));
        canvas->FillRect(x1, y1, x2, y2);
        const ZuRect area(x1, y1, x2, y2);
        v->DrawBack(port, area);
        v->DrawFront(port, area);
        canvas->EndDraw();
        int lx = x2 + 1, ly = y2 + 1, hx = x1 - 1, hy = y1 - 1;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                if ((Pixel(port, x, y) & 0xFFFFFF) != (kGround & 0xFFFFFF)) {
                    lx = std::min(lx, x);
                    hx = std::max(hx, x);
                    ly = std::min(ly, y);
                    hy = std::max(hy, y);
                }
        if (hx < lx)
            return ZuRect();
        return ZuRect(lx, ly, hx, hy);
    }

    // Where a holder leaves room for what it holds: its box, or inside the
    // frame that a box draws round its contents (from the box's middle out
    // to the first pixel of the frame on each side).
    ZuRect Inner(const ZuViewRef& holder)
    {
        const ZuRect& b = holder->RetBox();
        if (!IsA(holder, ZuBoxViewRef::RetRuntime()) || Empty(b))
            return b;
        Drawn(holder);
        const ZuGrailPortRef port(canvas);
        auto at = [&](int x, int y) { return Pixel(port, x, y) & 0xFFFFFF; };
        const int cx = int(b.X1() + b.DX() / 2), cy = int(b.Y1() + b.DY() / 2);
        const unsigned inside = at(cx, cy);
        int l = cx, r = cx, t = cy, d = cy;
        while (l > b.X1() && at(l - 1, cy) == inside)
            --l;
        while (r < b.X2() && at(r + 1, cy) == inside)
            ++r;
        while (t > b.Y1() && at(cx, t - 1) == inside)
            --t;
        while (d < b.Y2() && at(cx, d + 1) == inside)
            ++d;
        return ZuRect(l, t, r, d);
    }

    // What a user sees as a control: a control, or a view that holds no
    // shown view (a sample, a line, a ruler). Panes, groups and card views
    // only hold controls; the window's sizer is its frame.
    static bool IsControl(const ZuViewRef& v)
    {
        if (IsA(v, ZuWindowSizerRef::RetRuntime()))
            return false;
        if (IsA(v, ZuControlRef::RetRuntime()))
            return true;
        ZuViewRef c;
        for (bool more = v->GetFirstChild(c); more && c.IsValid();) {
            if (Shown(c) && !Empty(c->RetBox()))
                return false;
            ZuViewRef next;
            more = c->GetNextSibling(next);
            c = next;
        }
        return true;
    }

    // Every shown view under a view (the view itself not), depth first.
    static void Collect(const ZuViewRef& view, std::vector<ZuViewRef>& out)
    {
        ZuViewRef c;
        for (bool more = view->GetFirstChild(c); more && c.IsValid();) {
            if (Shown(c) && !Empty(c->RetBox())) {
                out.push_back(c);
                Collect(c, out);
            }
            ZuViewRef next;
            more = c->GetNextSibling(next);
            c = next;
        }
    }

    static bool Holds(const ZuViewRef& outer, const ZuViewRef& inner)
    {
        for (ZuViewRef p = inner->RetParent(); p.IsValid(); p = p->RetParent())
            if (p == outer)
                return true;
        return false;
    }

    // Whether two views may cover each other: one holds the other; one
    // lies wholly inside a frame, a text or a sample that is a sibling (a
    // box with its contents, a pane's centred text with its button, a
    // preview with its handles); both are parts of one numeric entry,
    // whose arrows overlap by design; or a switch sits across a line (the
    // link switch on its bracket).
    static bool MayMeet(const ZuViewRef& a, const ZuViewRef& b)
    {
        if (Holds(a, b) || Holds(b, a))
            return true;
        if (Frames(a, b) || Frames(b, a))
            return true;
        if (Across(a, b) || Across(b, a))
            return true;
        return PartOfEntry(a, b) && PartOfEntry(b, a);
    }
    static bool Inside(const ZuRect& inner, const ZuRect& outer)
    {
        return inner.X1() >= outer.X1() && inner.Y1() >= outer.Y1() && inner.X2() <= outer.X2() &&
               inner.Y2() <= outer.Y2();
    }
    static bool Frames(const ZuViewRef& outer, const ZuViewRef& inner)
    {
        return (IsA(outer, ZuBoxViewRef::RetRuntime()) || IsA(outer, ZuTextTagRef::RetRuntime()) ||
                IsA(outer, CSampleViewRef::RetRuntime())) &&
               Inside(inner->RetBox(), outer->RetBox());
    }
    static bool Across(const ZuViewRef& line, const ZuViewRef& s)
    {
        if (!IsA(line, CSeparatorRef::RetRuntime()) || !IsA(s, ZuSwitchRef::RetRuntime()))
            return false;
        const ZuRect& l = line->RetBox();
        const ZuRect& b = s->RetBox();
        return l.X1() >= b.X1() && l.X2() <= b.X2();
    }
    // Whether v is a part of an entry among w's siblings, or that entry.
    static bool PartOfEntry(const ZuViewRef& v, const ZuViewRef& w)
    {
        const ZuViewRef parent = w->RetParent();
        if (parent.IsInvalid())
            return false;
        ZuViewRef c;
        for (bool more = parent->GetFirstChild(c); more && c.IsValid();) {
            if (IsA(c, CTextLineArrowRef::RetRuntime())) {
                const CTextLineArrowRef e(c);
                const bool holds_v = v == c || ZuViewRef(e->RetUnitButton()) == v ||
                                     ZuViewRef(e->RetPlusArrow()) == v ||
                                     ZuViewRef(e->RetMinusArrow()) == v ||
                                     ZuViewRef(e->RetSlider()) == v;
                const bool holds_w = w == c || ZuViewRef(e->RetUnitButton()) == w ||
                                     ZuViewRef(e->RetPlusArrow()) == w ||
                                     ZuViewRef(e->RetMinusArrow()) == w ||
                                     ZuViewRef(e->RetSlider()) == w;
                if (holds_v && holds_w)
                    return true;
            }
            ZuViewRef next;
            more = c->GetNextSibling(next);
            c = next;
        }
        return false;
    }

    // A picture the control asks for that the look does not have, or that
    // is only its number written on a tile.
    std::string PictureFault(const ZuViewRef& v)
    {
        if (!IsA(v, ZuIconRef::RetRuntime()))
            return "";
        const ZuAtomRef& atom = ZuIconRef(v)->RetIcon();
        if (atom.IsInvalid())
            return "";
        const std::string name = static_cast<const char*>(atom);
        auto known = pictures.find(name);
        if (known == pictures.end())
            known = pictures.emplace(name, PictureOf(name)).first;
        return known->second.empty() ? "" : known->second + ": " + Describe(v);
    }
    std::string PictureOf(const std::string& name)
    {
        ZuIconRecordRef record;
        if (!ZuLookMan::Current()->GetIconRecord(ZuAtomRef(name.c_str()), 0.0, 0.0, record))
            return "picture not found";
        int number = -1;
        if (std::sscanf(name.c_str(), "lumbra_Icon%d", &number) != 1 || number < 0)
            return "";
        const ZuRect r = record->RetIconRect(ZU_CTRL_STATE_NORMAL);
        const int dx = int(r.DX()), dy = int(r.DY());
        if (dx != 16 || dy != 16)
            return "";
        // The icon drawn alone; inside its tile's border, the pixels that
        // are not the tile's tint, against the digits of its number.
        ZuGrailPixmapRef alone = NewPixmap(32, dx, dy);
        alone->BeginDraw(0, 0, dx - 1, dy - 1);
        alone->SetForeColor(ZuColorPixel(0x00FF00FFu));
        alone->FillRect(0, 0, dx - 1, dy - 1);
        alone->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(name.c_str()), ZU_CTRL_STATE_NORMAL, 0, 0);
        alone->EndDraw();
        const unsigned tint = Pixel(alone, 2, 2) & 0xFFFFFF;
        std::string face;
        for (int j = 2; j < 14; ++j)
            for (int i = 2; i < 14; ++i)
                face += (Pixel(alone, i, j) & 0xFFFFFF) != tint ? '#' : '.';
        const bool same = face == NumberedTileFace(number);
        alone->Delete();
        return same ? "number drawn for its picture" : "";
    }

    // A text wider or higher than the control that shows it.
    static std::string TextFault(const ZuViewRef& v)
    {
        const bool tag = IsA(v, ZuTextTagRef::RetRuntime());
        const bool titled =
            IsA(v, ZuSwitchRef::RetRuntime()) && ZuSwitchRef(v)->RetTitleView().IsValid();
        if (!tag && !titled)
            return "";
        if (tag) {
            ZuStringRef s;
            ZuTextTagRef(v)->GetText(s);
            if (Latin(s).empty())
                return "";
        }
        double dx = 0, dy = 0;
        v->GetMinSize(dx, dy);
        const ZuRect& b = v->RetBox();
        if (std::floor(dx) > b.DX() || std::floor(dy) > b.DY()) {
            char need[64];
            std::snprintf(need, sizeof need, " needs %gx%g", std::ceil(dx), std::ceil(dy));
            return "text cut: " + Describe(v) + need;
        }
        return "";
    }

    // The tabs of a card stack: side by side as far as the row lets them
    // (no tab squeezed over its neighbour's label), inside the window, and
    // each label whole.
    static void TabFaults(const ZuCardStackRef& stack, const ZuRect& frame,
                          std::vector<std::string>& faults)
    {
        stack->UpdateTabGeometry();
        const ZuCardTabArray& tabs = stack->RetTabs();
        for (unsigned i = 0; i < stack->RetTabCount(); ++i) {
            const ZuCardTabRef tab = tabs[i];
            const ZuRect& b = tab->RetBox();
            const ZuViewRef label = tab->RetContents();
            const std::string name = label.IsValid() ? Describe(label) : "?";
            if (b.X2() > frame.X2())
                faults.push_back("tab outside the window: " + name);
            if (i + 1 < stack->RetTabCount()) {
                const ZuCardTabRef next = tabs[i + 1];
                const ZuRect& n = next->RetBox();
                if (n.X1() < b.X2() - 5)
                    faults.push_back("tab squeezed over its neighbour: " + name);
            }
            if (label.IsValid()) {
                double dx = 0, dy = 0;
                label->GetMinSize(dx, dy);
                if (std::floor(dx) > label->RetBox().DX())
                    faults.push_back("tab label cut: " + name);
            }
        }
    }

    std::map<std::string, std::string> pictures;
    // The ground the views are drawn alone on, and the room round a view's
    // box where what it draws is looked for.
    static constexpr unsigned kGround = 0x00FF00FFu;
    static constexpr int kMargin = 8;
    ZuGrailPixmapRef canvas;
    // Whether the window cuts off what lies wholly below it by design.
    bool cut_below = false;
};

const int kAllKinds[] = {10, 15, 11, 12,  20,  25,  21,  22,  50,  51, 40,
                         41, 30, 31, 100, 105, 101, 102, 120, 125, 0};

class WindowLayoutTest : public LayoutTest, public ::testing::WithParamInterface<int> {
public:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    // A click in the middle of a view of a window (boxes are in window
    // coordinates); the clock moves on so that clicks make no double click.
    void ClickOn(const ZuWindowRef& w, const ZuViewRef& v)
    {
        const ZuRect& b = v->RetBox();
        W32_AdvanceTestClock(1000);
        Click(w, b.X1() + b.DX() / 2, b.Y1() + b.DY() / 2);
    }

    void VisitMain(const Look& look) { look("", Main()->RetWindow()); }

    // Every variant of every card of every page.
    void VisitAttributes(const Look& look)
    {
        const CDefDlgRef dlg = app->RetDefDlg();
        dlg->SetUsedKinds(kAllKinds, nullptr);
        dlg->Hide(false);
        Pump();
        const ZuWindowRef& w = dlg->RetWindow();
        for (int page = 0; page < 5; ++page) {
            const ZuViewRef tab(dlg->RetTabButton(page));
            ASSERT_TRUE(tab.IsValid() && tab->RetParent().IsValid()) << page;
            ClickOn(w, tab);
            ASSERT_EQ(dlg->RetCurrentPage(), page);
            const ZuCardStackRef stack = dlg->RetCardStack(page);
            stack->UpdateTabGeometry();
            const unsigned cards = stack->RetTabCount();
            for (unsigned card = 0; card < cards; ++card) {
                stack->UpdateTabGeometry();
                ClickOn(w, ZuViewRef(ZuObjectRef(stack->RetTabs()[card])));
                ASSERT_EQ(stack->RetActiveView(), card);
                const int entry = dlg->RetCurrentEntry(page);
                const int kind = dlg->RetSlotKind(page * CDefDlg::ENTRIES + entry);
                const CDefViewRef view = dlg->RetPane(kind);
                ASSERT_TRUE(view.IsValid()) << kind;
                const std::string card_name = CDefDlg::CardLabel(page, entry);
                bool looked = false;
                for (int slot = 0; slot < CDefView::SLOTS; ++slot) {
                    const ZuViewRef style = view->RetTagged(CDefView::STYLE_TAG + slot);
                    if (style.IsInvalid() || style->RetParent().IsInvalid())
                        continue;
                    view->ShowStyle(slot, true);
                    Pump();
                    look(card_name + " variant " + std::to_string(slot), w);
                    looked = true;
                }
                if (!looked)
                    look(card_name, w);
            }
        }
    }

    // Reduced, the window shows only its top: what lies wholly below it
    // waits for the expansion. Then expanded.
    void VisitSamples(const Look& look)
    {
        View()->ShowSampleDlg();
        Pump();
        const CSampleDlgRef dlg(app->RetSampleDlg());
        ASSERT_FALSE(dlg->IsExpanded());
        cut_below = true;
        look("reduced", dlg->RetWindow());
        cut_below = false;
        dlg->OnButtonExpand();
        Pump();
        ASSERT_TRUE(dlg->IsExpanded());
        look("expanded", dlg->RetWindow());
    }

    // Every tab.
    void VisitSettings(const Look& look)
    {
        ASSERT_TRUE(View()->Action(ZuAtomRef("ChangeSetup"), ZuObjectRef(), 0));
        Pump();
        const CSetupDlgRef dlg = app->RetSetupDlg();
        for (int tab = 0; tab < CSetupDlg::TABS; ++tab) {
            dlg->RetCardStack()->UpdateTabGeometry();
            ClickOn(dlg->RetWindow(),
                    ZuViewRef(ZuObjectRef(dlg->RetCardStack()->RetTabs()[unsigned(tab)])));
            EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), unsigned(tab));
            look(CSetupDlg::TabLabel(tab), dlg->RetWindow());
        }
    }

    void VisitProperties(const Look& look)
    {
        View()->SwapProperty();
        Pump();
        look("", CPropertyDlgRef(app->RetPropertyDlg())->RetWindow());
    }

    void VisitPalettes(const Look& look)
    {
        for (const CPageDlgRef& p :
             {CPageDlgRef(app->RetPageDlg()), CPageDlgRef(app->RetLayerDlg())}) {
            p->Hide(false);
            Pump();
            look(p->RetWindow()->RetTitle()->AccessLatin(), p->RetWindow());
        }
    }

    void VisitPrint(const Look& look)
    {
        const CPrintDlgRef dlg(app->RetPrintDlg());
        dlg->Open(Main()->RetWindow());
        Pump();
        look("", dlg->RetWindow());
        dlg->OnClose();
        Pump();
    }

    void VisitExport(const Look& look)
    {
        const CExportDlgRef dlg = app->RetExportDlg();
        dlg->Open(Main()->RetWindow());
        Pump();
        look("", dlg->RetWindow());
        dlg->OnClose();
        Pump();
    }

    void VisitFileNames(const Look& look)
    {
        for (const CFilenameDlgRef& dlg : {app->RetFilenameOpen(), app->RetFilenameSave()}) {
            dlg->Open(Main()->RetWindow());
            Pump();
            look(dlg == app->RetFilenameOpen() ? "open" : "save", dlg->RetWindow());
            dlg->OnClose();
            Pump();
        }
    }

    // The questions with the texts the program asks them with.
    void VisitQuestions(const Look& look)
    {
        const struct {
            CQuestionDlgRef box;
            const char* text;
        } asked[] = {
            {app->RetQuestionFileSave(),
             "Le fichier en cours a chang\xe9.\nVoulez-vous enregistrer les changements ?"},
            {app->RetQuestionFileDelete(),
             "Le fichier dessin.lum existe d\xe9j\xe0.\nVoulez-vous le remplacer ?"},
            {app->RetQuestionWait(), "Exportation en cours..."},
        };
        for (const auto& q : asked) {
            q.box->Open(Main()->RetWindow(), ZuStringRef(q.text));
            Pump();
            look(q.text, q.box->RetWindow());
            q.box->Close();
            Pump();
        }
    }
};

using Visit = void (WindowLayoutTest::*)(const Look&);
const struct {
    const char* name;
    Visit visit;
} kWindows[] = {
    {"main window", &WindowLayoutTest::VisitMain},
    {"Echantillons", &WindowLayoutTest::VisitSamples},
    {"R\xe9glages", &WindowLayoutTest::VisitSettings},
    {"Propri\xe9t\xe9s", &WindowLayoutTest::VisitProperties},
    {"Pages and Calques", &WindowLayoutTest::VisitPalettes},
    {"Imprimer", &WindowLayoutTest::VisitPrint},
    {"Exporter", &WindowLayoutTest::VisitExport},
    {"file names", &WindowLayoutTest::VisitFileNames},
    {"questions", &WindowLayoutTest::VisitQuestions},
    {"Attributs", &WindowLayoutTest::VisitAttributes},
};

} // namespace

TEST_P(WindowLayoutTest, EveryControlFitsAndFindsItsPicture)
{
    const auto& c = kWindows[GetParam()];
    SCOPED_TRACE(c.name);
    int states = 0;
    (this->*c.visit)([&](const std::string& state, const ZuWindowRef& w) {
        ++states;
        ASSERT_TRUE(w.IsValid());
        EXPECT_TRUE(w->IsVisible()) << state;
        for (const std::string& fault : Faults(w))
            ADD_FAILURE() << c.name << (state.empty() ? "" : " / " + state) << ": " << fault;
    });
    EXPECT_GT(states, 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayoutTest,
                         ::testing::Range(0, int(sizeof kWindows / sizeof kWindows[0])));
