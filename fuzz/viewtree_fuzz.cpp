// Restores a window with its view tree (or any view the stream names) from
// arbitrary bytes, as an interface file holds it. Whatever the bytes, reading
// must end in a view or a ZuExcStream, never in a crash or an abort, and no
// half-linked view may reach the caller. A view that was read is put to
// work: detection, pointer and key events, focus traversal, storing and
// restoring again, and deletion of the whole tree.
#include "app/button.h"
#include "app/buttoncolor.h"
#include "app/collectionsample.h"
#include "app/colordef.h"
#include "app/colorslider.h"
#include "app/defpane.h"
#include "app/document.h"
#include "app/pageview.h"
#include "app/patterndraw.h"
#include "app/penbasepane.h"
#include "app/pendef.h"
#include "app/polyrpane.h"
#include "app/positionpane.h"
#include "app/sampleview.h"
#include "app/scrolllist.h"
#include "app/separator.h"
#include "app/slider.h"
#include "app/textlinearrow.h"
#include "fuzz/harness.h"
#include "ghost/gsview.h"
#include "si/buildarchitect.h"
#include "si/boxview.h"
#include "si/button.h"
#include "si/cardstack.h"
#include "si/classfactory.h"
#include "si/clonearchitect.h"
#include "si/columnarchitect.h"
#include "si/colorwell.h"
#include "si/colslider.h"
#include "si/commandarchitect.h"
#include "si/dict.h"
#include "si/dragpal.h"
#include "si/dragview.h"
#include "si/fontman.h"
#include "si/gridlayout.h"
#include "si/iconset.h"
#include "si/largeiconarchitect.h"
#include "si/led7disp.h"
#include "si/fontman.h"
#include "si/lookman.h"
#include "si/lookuparchitect.h"
#include "si/memzone.h"
#include "si/menu.h"
#include "si/menuarchitect.h"
#include "si/menusep.h"
#include "si/monitorana.h"
#include "si/multiview.h"
#include "si/objectwell.h"
#include "si/objpicadapter.h"
#include "si/pictogram.h"
#include "si/scroller.h"
#include "si/scrolllist.h"
#include "si/scrollview.h"
#include "si/selectcon.h"
#include "si/selgrid.h"
#include "si/slider.h"
#include "si/smalliconarchitect.h"
#include "si/springboard.h"
#include "si/switch.h"
#include "si/textarchitect.h"
#include "si/textcaption.h"
#include "si/textline.h"
#include "si/texttag.h"
#include "si/tooltip.h"
#include "si/values.h"
#include "si/viewpane.h"
#include "si/window.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

ZU_HANDLE(ZuViewFuzzEvent, ZuEvent)
class ZuViewFuzzEvent : public ZuEvent {
    ZU_CLASS(ZuViewFuzzEvent, ZuEvent)
public:
    ZuViewFuzzEvent() {}
    void Set(ZuEventType t, double px, double py, bool button)
    {
        type = t;
        x = px;
        y = py;
        buttons = ZuEventButtons();
        if (button)
            buttons.SetBit(ZU_EV_BUTTON_LEFT);
    }
};
ZU_CLASS_END(ZuViewFuzzEvent)
ZU_IMPLEMENT_CLASS(ZuViewFuzzEvent, "fuzz/viewtree_fuzz", ZU_CLASS_PLAIN)

namespace {

// The program's pane controls of a tree, given the worst numbers their
// published data and their operations can take: not a number, the
// infinities and huge counts. They must stay within their bounds and draw
// and answer the pointer afterwards.
void TormentPaneControls(const ZuViewRef& view)
{
    if (view.IsInvalid())
        return;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double reals[] = {nan, inf, -inf, 1e300, -1e300};
    if (view->IsKindOf(CSliderRef::RetRuntime())) {
        for (const char* name :
             {"slider_pos", "slider_min", "slider_max", "slider_step", "slider_log"})
            for (double r : reals)
                ZuObject::DefineData(view, ZuStringRef(name), ZuValueRef(r));
        for (const char* name : {"slider_grad", "slider_subdiv", "slider_style"})
            ZuObject::DefineData(view, ZuStringRef(name), ZuValueRef(0xFFFFFFFFu));
        ZuObject::DefineData(view, ZuStringRef("slider_subdiv"), ZuValueRef(0u));
    } else if (view->IsKindOf(CColorSliderRef::RetRuntime())) {
        CColorSliderRef slider(view);
        for (double r : reals) {
            ZuObject::DefineData(view, ZuStringRef("visible_color"), ZuValueRef(r));
            slider->SetPositionX(r);
            slider->SetPositionY(r);
            slider->ApplyRGB(r, 0.5, r);
        }
        for (const char* name : {"visible_colorUL", "visible_colorUR", "visible_colorDL",
                                 "visible_colorDR", "visible_color"})
            ZuObject::DefineData(view, ZuStringRef(name), ZuValueRef(0xFFFFFFFFu));
        ZuObject::DefineData(view, ZuStringRef("colorslider_style"), ZuValueRef(0xFFFFFFFFu));
        Zuvi_FuzzCheck(slider->GetPositionX() >= 0 && slider->GetPositionX() <= 1 &&
                           slider->GetPositionY() >= 0 && slider->GetPositionY() <= 1,
                       "colour slider position out of [0, 1]");
    } else if (view->IsKindOf(CSeparatorRef::RetRuntime())) {
        ZuObject::DefineData(view, ZuStringRef("separator_style"), ZuValueRef(0xFFFFFFFFu));
    } else if (view->IsKindOf(CScrollListRef::RetRuntime())) {
        CScrollListRef list(view);
        list->Select(std::numeric_limits<int>::max());
        list->Select(-7);
        list->OnScroll(ZuObjectNull, 0);
        list->Select(3);
    } else if (view->IsKindOf(CTextLineArrowRef::RetRuntime())) {
        CTextLineArrowRef entry(view);
        for (double r : reals) {
            entry->SetStep(r);
            entry->OnClickPlus(ZuObjectNull, 0);
            entry->SetMin(r);
            entry->SetValue(r);
            entry->OnSliderChange(ZuObjectNull, 0);
            entry->SetSliderLog(r);
            entry->SetSliderGrad(0xFFFFFFFFu);
            entry->SetToolTip(ZuStringRef("Valeur"));
            entry->ChangeUnit(0);
            entry->OnClickUnit(ZuObjectNull, 0);
            entry->SetMax(r);
            entry->GetValue();
        }
        entry->SetMin(0);
        entry->SetMax(100);
        entry->SetStep(1);
    } else if (view->IsKindOf(CButtonColorRef::RetRuntime())) {
        CButtonColorRef(view)->SetBackColor(ZuColorPixel(nan, inf, -inf, nan));
    } else if (view->IsKindOf(CPatternDrawRef::RetRuntime())) {
        // A sample box read back has no pane and no port: its conversions
        // answer at any zoom, and it renders nothing.
        CPatternDrawRef box(view);
        for (double r : {nan, inf, -inf, 1e300, 0.0, -2.0}) {
            box->SetZoom(r);
            (void)box->SampleToView(r, 1.0);
            (void)box->ViewToSample(1.0, r);
            (void)box->LengthToSample(r);
        }
        box->SetZoom(1.0);
        Zuvi_FuzzCheck(!box->Render() || box->RetPort().IsValid(), "rendered without a port");
        box->SetCursorSprite(-7);
        box->SetCursorSprite(2147483647);
        box->ClearCursorSprite();
        box->Display();
    } else if (view->IsKindOf(CCollectionSampleRef::RetRuntime())) {
        // "def" takes definitions only: the control keeps what it shows.
        CCollectionSampleRef sample(view);
        const CDefRef held = sample->RetDef();
        for (const ZuValueRef& v :
             {ZuValueRef(nan), ZuValueRef(0xFFFFFFFFu), ZuValueRef(ZuObjectRef(ZuStringRef("def"))),
              ZuValueRef(ZuObjectRef(view))})
            ZuObject::DefineData(view, ZuStringRef("def"), v);
        Zuvi_FuzzCheck(sample->RetDef() == held, "sample control took a value not a definition");
        sample->SetDragEnabled(true);
    }
    ZuViewRef child;
    for (bool more = view->GetFirstChild(child); more && child.IsValid();) {
        TormentPaneControls(child);
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
}

void Exercise(const ZuViewRef& view, const ZuViewFuzzEventRef& event)
{
    TormentPaneControls(view);
    const ZuRect box = view->RetBox();
    const double xs[] = {0, box.X1(), box.X2(), (box.X1() + box.X2()) / 2, 5, 50};
    const double ys[] = {0, box.Y1(), box.Y2(), (box.Y1() + box.Y2()) / 2, 5, 50};
    for (double px : xs)
        for (double py : ys) {
            ZuViewRef hit;
            view->Detect(px, py, hit, false);
            view->Detect(px, py, hit, true);
        }
    // A new size runs the spring boards of the tree and, for a window,
    // brings its frame, bar and sizer in line.
    view->SetSize(box.DX() + 7, box.DY() + 5);
    if (view->IsWindow()) {
        ZuWindowRef w(view);
        const ZuEventType types[] = {ZU_EVENT_MOTION, ZU_EVENT_PRESS, ZU_EVENT_KEY_DOWN,
                                     ZU_EVENT_RELEASE, ZU_EVENT_WHEEL};
        for (unsigned i = 0; i < 5; ++i) {
            event->Set(types[i], xs[i + 1], ys[i + 1], i == 1);
            w->DispatchEvent(event);
        }
        ZuViewRef first = w->RetFirstActive();
        if (first.IsValid()) {
            w->SetMainResponder(first, false);
            ZuViewRef next;
            first->FindNextActive(next);
        }
        event->Set(ZU_EVENT_MOTION, -5, -5, false);
        w->LeaveNotify(event);
        w->AddDelayedDisplay(box, true);
        w->RedrawDelayedDisplay();
    }
}

void TakeDown(const ZuViewRef& v)
{
    if (v.IsInvalid())
        return;
    if (v->IsWindow())
        v->Delete();
    else {
        if (v->RetParent().IsValid())
            v->SetParent(ZuViewRef());
        v->Delete();
    }
}

// ---- Seeds: stored windows holding controls ----

ZuWindowRef NewSeedWindow(double dx, double dy)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    w->SetSize(dx, dy);
    return w;
}

template <class C>
typename C::Zuvi_Handle AddControl(const ZuViewRef& parent, double x1, double y1, double x2,
                                   double y2)
{
    typename C::Zuvi_Handle c = ZuNew<C>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    c->SetBox(ZuRect(x1, y1, x2, y2));
    c->SetParent(parent);
    return c;
}

ZuWindowRef SeedControls()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuControlRef c = AddControl<ZuControl>(w, 10, 10, 59, 29);
    ZuCtrlStyle style;
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
    style.SetBit(ZU_CTRL_CLICK_CONT_REPORT);
    c->SetStyle(style);
    c->SetToolTip(ZuStringRef("Astuce"));
    ZuKey key;
    key.type = ZU_KEY_ALPHANUM;
    key.code = 'A';
    key.modifiers.SetBit(ZU_MOD_CONTROL);
    c->SetKeyAlt(key);
    c->SetInbox(ZuRect(2, 2, 47, 17));
    ZuToggleControlRef t = AddControl<ZuToggleControl>(w, 70, 10, 99, 29);
    t->ChangeStyle(ZU_CTRL_TOGGLE_SWITCH, true);
    t->TurnOn();
    return w;
}

ZuWindowRef SeedButtons()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuButtonRef b = AddControl<ZuButton>(w, 0, 0, 99, 19);
    b->SetText(ZuStringRef("Valider"), ZuTextStyle::none, true);
    ZuButtonRef with_views = AddControl<ZuButton>(w, 0, 30, 99, 49);
    with_views->SetIcon(AddControl<ZuControl>(ZuViewRef(), 0, 0, 15, 15));
    with_views->SetShortcut(AddControl<ZuControl>(ZuViewRef(), 0, 0, 9, 9));
    with_views->SetContents(AddControl<ZuControl>(ZuViewRef(), 0, 0, 9, 9));
    with_views->SetLeftMargin(3);
    with_views->SetIconOverlayMode(true);
    return w;
}

ZuWindowRef SeedSwitches()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuViewRef group = AddControl<ZuControl>(w, 0, 0, 199, 119);
    group->SetUserName(ZuAtomRef("groupe"));
    for (int i = 0; i < 3; ++i) {
        ZuSwitchRef s = AddControl<ZuSwitch>(group, 5, 5 + 20 * i, 120, 20 + 20 * i);
        s->InitAsRadioButton();
        s->SetTitle(ZuStringRef("Choix"));
        s->SetSwitchState(i == 1);
    }
    ZuSwitchRef box = AddControl<ZuSwitch>(w, 5, 90, 120, 105);
    box->SetTitle(ZuStringRef("Case"));
    return w;
}

ZuWindowRef SeedTextTags()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuTextTagRef plain = AddControl<ZuTextTag>(w, 0, 0, 99, 19);
    plain->SetText(ZuStringRef("\xC9tiquette"));
    ZuTextTagRef turned = AddControl<ZuTextTag>(w, 0, 20, 19, 119);
    ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE);
    style.SetAngle(90);
    turned->SetTextStyle(style);
    turned->SetColor(ZuColorPixel(0x00336699u));
    turned->SetLeftSpace(4);
    turned->SetRightSpace(2);
    turned->SetText(ZuStringRef("Vertical"));
    turned->ChangeState(ZU_VIEW_IS_ON, true, false);
    return w;
}

ZuWindowRef SeedIcons()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuIconSetRef set = AddControl<ZuIconSet>(w, 0, 0, 9, 9);
    set->InsertIcon(0, ZuAtomRef("Zuvi_SwitchCheckBox"));
    set->InsertIcon(2, ZuAtomRef("Zuvi_SwitchRadioButton"));
    ZuIconRef single = AddControl<ZuIcon>(w, 50, 50, 81, 81);
    single->Initialise(ZuAtomRef("Zuvi_SwitchCheckBox"), 32, 32, true, false);
    return w;
}

// A radio group whose clicks a selection controller follows.
ZuWindowRef SeedSelection()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuSelectConRef con = ZuNew<ZuSelectCon>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    con->Initialise(ZU_SELECT_ONE, ZuObjectNull);
    for (unsigned i = 0; i < 3; ++i) {
        ZuSwitchRef s = AddControl<ZuSwitch>(w, 5, 5 + 20 * i, 120, 20 + 20 * i);
        s->InitAsRadioButton();
        s->AttachObserver(con, ZuAtomRef("notify_clicked"), ZuAtomRef("NotifyActivation"), i);
    }
    con->SetActiveByRank(1);
    return w;
}

// A tool tip is a window of its own, with its caption.
ZuWindowRef SeedToolTip()
{
    ZuToolTipRef tip = ZuNew<ZuToolTip>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    tip->SetTitle(ZuStringRef("Astuce"), 10, 10, false, true);
    return tip;
}

// A pane showing `count` plain views of 20 x 12 through a provider and a
// grid of `cols` x `rows` (the grid adapts its free dimension to the items).
ZuViewPaneRef AddPane(const ZuViewRef& parent, double x1, double y1, unsigned count, unsigned cols,
                      unsigned rows, bool by_rows, bool auto_fit)
{
    ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    for (unsigned i = 0; i < count; ++i)
        items->Insert(ZuObjectRef(AddControl<ZuView>(ZuViewRef(), 0, 0, 19, 11)));
    ZuViewProviderRef provider =
        ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    provider->Initialise(items, ZuViewArchitectRef(), 8, 1);
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    grid->Initialise(items, ZuViewArchitectRef(), cols, rows, 20, 12, auto_fit, by_rows);
    ZuViewPaneRef pane = AddControl<ZuViewPane>(parent, x1, y1, x1 + 59, y1 + 29);
    pane->Initialise(provider, grid);
    pane->UpdateContents(true);
    return pane;
}

ZuWindowRef SeedPanes()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuViewPaneRef rows = AddPane(w, 0, 0, 7, 3, 1, true, false);
    rows->SetOffset(0.5, 1);
    ZuViewPaneRef columns = AddPane(w, 70, 0, 12, 1, 2, false, true);
    columns->SetBackColor(ZuColorPixel(ZU_COLOR_NONE));
    columns->RetLayout()->SetConstrainMode(true, true);
    columns->SetOffset(0.3, 0);
    return w;
}

ZuWindowRef SeedGrids()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuViewPaneRef wide = AddPane(w, 0, 0, 5, 5, 1, true, true);
    ZuGridLayoutRef grid(wide->RetLayout());
    double dx = 0, dy = 0;
    grid->GetGlobalSize(dx, dy);
    grid->SetColWidth(2, 35);
    grid->SetRowHeight(0, 7);
    // A grid set through the layout base alone has no columns and no rows.
    ZuViewPaneRef bare = AddPane(w, 0, 40, 3, 1, 1, false, false);
    ZuGridLayoutRef empty = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    empty->ZuViewLayout::Initialise(bare->RetProvider()->RetSource(), ZuViewArchitectRef());
    bare->Initialise(bare->RetProvider(), empty);
    return w;
}

ZuWindowRef SeedScrollViews()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuScrollViewRef scroll = AddControl<ZuScrollView>(w, 10, 10, 109, 59);
    AddControl<ZuControl>(scroll, 10, 10, 409, 29);
    AddControl<ZuView>(scroll, 10, 40, 59, 309);
    scroll->SetTotalSize(400, 300);
    scroll->SetOffset(0.5, 0.75);
    return w;
}

// A pane whose provider makes its views through the architect, over
// the given items.
ZuViewPaneRef AddArchitectPane(const ZuViewRef& parent, double x1, double y1,
                               const ZuArrayRef& items, const ZuViewArchitectRef& architect)
{
    ZuViewProviderRef provider =
        ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    provider->Initialise(items, architect, 4, 1);
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    grid->Initialise(items, architect, 1, 0, 0, 0, true, false);
    ZuViewPaneRef pane = AddControl<ZuViewPane>(parent, x1, y1, x1 + 79, y1 + 39);
    pane->Initialise(provider, grid);
    pane->UpdateContents(true);
    return pane;
}

ZuArrayRef NewItems(unsigned count, bool pictograms)
{
    ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    for (unsigned i = 0; i < count; ++i) {
        if (pictograms) {
            ZuPictogramRef p = ZuNew<ZuPictogram>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
            p->DefineLabel(i % 2 ? ZuAtomRef("Cube") : ZuAtomRef(), ZuStringRef("court"),
                           ZuStringRef("Étiquette"), ZuStringRef(), ZuStringRef());
            items->Insert(p);
        } else {
            items->Insert(ZuObjectRef(AddControl<ZuView>(ZuViewRef(), 0, 0, 19, 11)));
        }
    }
    return items;
}

// Panes over the architects, some of them missing what they need (a
// look-up architect without a table, a build architect without messages).
ZuWindowRef SeedArchitects()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    ZuCloneArchitectRef clone =
        ZuNew<ZuCloneArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    AddArchitectPane(w, 0, 0, NewItems(3, false), clone);

    ZuArrayRef names = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuDictRef table = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    for (const char* name : {"Général", "Page"}) {
        names->Insert(ZuAtomRef(name));
        table->Insert(ZuAtomRef(name), ZuObjectRef(AddControl<ZuView>(ZuViewRef(), 0, 0, 29, 9)));
    }
    ZuLookUpArchitectRef lookup =
        ZuNew<ZuLookUpArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    lookup->Initialise(ZuViewArchitectRef(), table);
    AddArchitectPane(w, 100, 0, names, lookup);
    ZuLookUpArchitectRef no_table =
        ZuNew<ZuLookUpArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    no_table->Initialise(clone, ZuSetRef());
    AddArchitectPane(w, 0, 40, names, no_table);

    ZuBuildArchitectRef build =
        ZuNew<ZuBuildArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    AddArchitectPane(w, 100, 40, NewItems(2, false), build);

    ZuSmallIconArchitectRef small =
        ZuNew<ZuSmallIconArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    small->Initialise(ZuGrailFontRef(), 12);
    AddArchitectPane(w, 0, 80, NewItems(3, true), small);
    ZuColumnArchitectRef column =
        ZuNew<ZuColumnArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    column->Initialise(ZuGrailFontRef());
    AddArchitectPane(w, 100, 80, NewItems(2, true), column);
    return w;
}

// A multi-view on its items with a selection controller, and one without
// source, provider or controller.
ZuWindowRef SeedMultiViews()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuArrayRef items = NewItems(3, false);
    ZuCloneArchitectRef clone =
        ZuNew<ZuCloneArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuViewProviderRef provider =
        ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    provider->Initialise(items, clone, 4, 1);
    ZuSelectConRef con = ZuNew<ZuSelectCon>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    con->Initialise(ZU_SELECT_ONE, items);
    ZuMultiViewRef multi = AddControl<ZuMultiView>(w, 10, 10, 109, 59);
    multi->Initialise(items, provider, con);
    multi->SetMargin(4);
    multi->ActivateView(1);
    ZuMultiViewRef bare = AddControl<ZuMultiView>(w, 120, 10, 179, 59);
    (void)bare;
    return w;
}

// A view whose spring board lays out its children: a row with a gap that
// gives way and a column, one child in both.
ZuWindowRef SeedSprings()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuViewRef frame = AddControl<ZuView>(w, 0, 0, 199, 119);
    ZuViewRef a = AddControl<ZuView>(frame, 10, 10, 59, 29);
    ZuViewRef b = AddControl<ZuView>(frame, 70, 10, 99, 29);
    ZuSpringBandRef row = ZuNew<ZuSpringBand>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuSpringBandRef column = ZuNew<ZuSpringBand>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    column->SetVertical(true);
    row->InsertView(0, a);
    row->InsertView(1, b);
    column->InsertView(0, a);
    ZuSpringRef gap;
    row->FindSpringAfterView(1u, gap);
    gap->Reset(0, 1);
    row->ResetFromModel();
    column->ResetFromModel();
    ZuSpringBoardRef board = ZuNew<ZuSpringBoard>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    board->InsertBand(0, row);
    board->InsertBand(1, column);
    frame->SetSpringBoard(board);
    return w;
}

// A sizable window with its bar, its close and reduce buttons and its
// sizer.
ZuWindowRef SeedFramed()
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuWinStyle style;
    for (ZuWinStyleBit bit :
         {ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_CLOSE_BUTTON, ZU_WINSTYLE_REDUCE_BUTTON})
        style.SetBit(bit);
    w->InitGeom(40, 40, 200, 120, ZuStringRef("Fen\xEAtre"), style);
    AddControl<ZuView>(w, 0, 0, 199, 119);
    return w;
}

// Text lines (one with a selection left past its text, one secret and
// read-only), a caption, and a pane whose items are shown by a text
// architect.
ZuWindowRef SeedTextLines()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuTextLineRef line = AddControl<ZuTextLine>(w, 5, 5, 104, 24);
    line->SetText(ZuStringRef("un texte assez long pour d\xE9"
                              "filer"));
    line->SetHiliteRange(4, 30, true);
    line->SetText(ZuStringRef("court"));
    ZuTextLineRef secret = AddControl<ZuTextLine>(w, 5, 30, 104, 49);
    secret->SetSecretMode(true);
    secret->SetEditMode(false);
    secret->SetText(ZuStringRef("motdepasse"));
    ZuTextCaptionRef caption = AddControl<ZuTextCaption>(w, 110, 5, 189, 24);
    caption->SetText(ZuStringRef("L\xE9"
                                 "gende"));

    ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    items->Insert(ZuObjectRef(ZuStringRef("un")));
    items->Insert(ZuObjectRef(ZuValueRef(ZuObjectRef(ZuStringRef("deux")))));
    items->Insert(ZuObjectRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz")));
    ZuTextTagRef model = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    model->SetLeftSpace(4);
    model->SetRightSpace(6);
    ZuTextArchitectRef architect =
        ZuNew<ZuTextArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    architect->Initialise(ZuTextTagBaseRef(model));
    ZuViewProviderRef provider =
        ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    provider->Initialise(items, architect, 8, 1);
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    grid->Initialise(items, architect, 1, 3, 0, 0, true, true);
    ZuViewPaneRef pane = AddControl<ZuViewPane>(w, 110, 30, 189, 109);
    pane->Initialise(provider, grid);
    pane->UpdateContents(true);
    return w;
}

ZuWindowRef SeedScrollers()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuScrollerRef v = AddControl<ZuScroller>(w, 0, 0, 9, 9);
    v->Initialise(0, 0, 110, false, 5);
    v->SetVisibleRatio(0.3);
    v->SetVisibleValue(0.6);
    v->SetSnapToStep(true);
    ZuScrollerRef h = AddControl<ZuScroller>(w, 0, 0, 9, 9);
    h->SetArrowPos(ZU_SCROLL_ARROW_BOTH);
    h->Initialise(20, 100, 170, true, 0);
    h->SetPageIncrement(0.5);
    h->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    ZuSliderRef slider = AddControl<ZuSlider>(w, 0, 0, 9, 9);
    slider->Initialise(40, 10, 120, true, 11);
    slider->SetSliderScale(100);
    slider->SetSliderOffset(-50);
    slider->SetSliderValue(25);
    return w;
}

ZuWindowRef SeedScrollLists()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuArrayRef texts = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    for (const char* line : {"un", "deux", "trois", "quatre", "cinq", "six", "sept", "huit"})
        texts->Insert(ZuObjectRef(ZuStringRef(line)));
    ZuScrollListRef text_list = AddControl<ZuScrollList>(w, 0, 0, 79, 59);
    text_list->Initialise(texts);
    ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    for (unsigned i = 0; i < 9; ++i)
        items->Insert(ZuObjectRef(AddControl<ZuView>(ZuViewRef(), 0, 0, 119, 19)));
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    grid->Initialise(items, ZuViewArchitectRef(), 1, 9, 120, 20, false, true);
    ZuScrollListRef list = AddControl<ZuScrollList>(w, 90, 0, 189, 99);
    list->ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
    list->Initialise(items, ZuViewArchitectRef(), grid, ZuProviderViewNull);
    list->RetVScroller()->SetVisibleValue(0.5);
    return w;
}

// Menus over pictograms and a separator: an embedded bar with its default
// architect, a vertical menu with fixed item sizes, a pane over a command
// architect and a lone separator.
ZuWindowRef SeedMenus()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    ZuArrayRef items = NewItems(3, true);
    items->Insert(ZuObjectNull);
    ZuMenuRef bar = ZuNew<ZuMenu>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    bar->Initialise(items, ZU_MENU_LAYOUT_HORIZONTAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_SMART,
                    ZU_MENU_BORDER_3D, w, ZuStringRef(), ZuViewArchitectRef());

    ZuMenuArchitectRef fixed =
        ZuNew<ZuMenuArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    fixed->Initialise(80.0, 16.0, true);
    ZuMenuRef column = ZuNew<ZuMenu>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    column->Initialise(NewItems(2, true), ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_CENTER,
                       ZU_MENU_ALIGN_END, ZU_MENU_BORDER_THIN, w, ZuStringRef("Menu"), fixed);
    column->SetOrigin(0, 40);
    column->SetTrackingMode(true);

    ZuCommandArchitectRef commands =
        ZuNew<ZuCommandArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    commands->Initialise();
    AddArchitectPane(w, 100, 40, NewItems(2, true), commands);

    ZuMenuSepRef sep = AddControl<ZuMenuSep>(w, 100, 100, 159, 107);
    sep->SetMargin(3);
    return w;
}

// The program's pane controls: its buttons, separators, a scrolling list
// with its bar and entries, a slider with graduations and a numeric entry
// with its unit button, arrows and slider beside it.
ZuWindowRef SeedPaneControls()
{
    ZuWindowRef w = NewSeedWindow(300, 160);
    CButtonRef button = AddControl<CButton>(w, 0, 0, 9, 9);
    button->SetPlace(5, 5, 40, 20);
    button->SetText(ZuStringRef("Appliquer"), ZuTextStyle::none, false);
    CButtonColorRef colour = AddControl<CButtonColor>(w, 0, 0, 9, 9);
    colour->SetPlace(50, 5, 24, 24);
    colour->SetBackColor(ZuColorPixel(0.2, 0.4, 0.6, 0.0));
    const unsigned styles[] = {0, 0x1, 0x11, 0x31, 0x10};
    for (unsigned i = 0; i < 5; ++i)
        AddControl<CSeparator>(w, 80 + 12 * i, 5, 89 + 12 * i, 24)->SetStyle(styles[i]);
    CScrollListRef list = ZuNew<CScrollList>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    list->CreateScroller(5, 40, 120, 100);
    list->SetParent(w);
    ZuListRef entries = ZuNew<ZuList>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    entries->SetInsertMode(false);
    for (const char* line : {"un", "deux", "trois", "quatre", "cinq", "six", "sept", "huit"})
        entries->Insert(ZuObjectRef(ZuStringRef(line)));
    list->UpdateScroller(entries);
    list->Select(6);
    CSliderRef slider = AddControl<CSlider>(w, 0, 0, 9, 9);
    slider->SetGrad(10);
    slider->SetSubdiv(5);
    slider->SetLog(2);
    slider->Place(140, 40, 100, 16, CSlider::HORIZONTAL | CSlider::LEFT_GRADUATE);
    slider->SetPos(0.3);
    CTextLineArrowRef entry = AddControl<CTextLineArrow>(w, 0, 0, 9, 9);
    entry->Build(140, 80, 50, 20, 23, true, CSlider::HORIZONTAL | CSlider::RIGHT_GRADUATE);
    entry->SetMin(0);
    entry->SetMax(100);
    entry->SetValue(12.5);
    entry->SetToolTip(ZuStringRef("Largeur"));
    return w;
}

// Colour sliders of every shape: a field, a hue bar, a strip, a swatch in
// full size, one with neither axis bit and one too small for its margin.
ZuWindowRef SeedColorSliders()
{
    ZuWindowRef w = NewSeedWindow(300, 200);
    const struct {
        unsigned style;
        double x1, y1, x2, y2;
    } rows[] = {
        {0x10003, 4, 4, 143, 143},   {0x10101, 150, 4, 173, 143}, {0x10002, 180, 4, 251, 23},
        {0x20000, 180, 30, 291, 53}, {0x10000, 180, 60, 251, 79}, {0x10003, 260, 60, 270, 70},
    };
    for (const auto& r : rows) {
        CColorSliderRef slider = AddControl<CColorSlider>(w, r.x1, r.y1, r.x2, r.y2);
        slider->SetStyle(r.style);
        slider->SetColorDR(ZuColorPixel(0.2, 0.4, 0.6, 0.0));
        slider->SetPositionX(0.7);
        slider->SetPositionY(0.2);
    }
    return w;
}

// Attribute panes as a dialog holds them: the plain pane with its caption
// and close button, a built shadow position pane (entries, link switch and
// bracket), pen and polygon panes not yet created, and a sample box not
// yet built (no interpreter is started for the seeds).
ZuWindowRef SeedAttributePanes()
{
    ZuWindowRef w = NewSeedWindow(380, 420);
    CDefPaneRef plain = ZuNew<CDefPane>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    plain->SetSize(370, 196);
    plain->Create(100);
    plain->SetParent(w);
    CPositionPaneRef position = ZuNew<CPositionPane>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    position->SetSize(370, 196);
    position->Create(100);
    position->Refresh();
    position->SetOrigin(0, 200);
    position->SetParent(w);
    AddControl<CPenBasePane>(w, 0, 400, 9, 409);
    AddControl<CPolyRegPane>(w, 10, 400, 19, 409);
    CSampleViewRef sample = AddControl<CSampleView>(w, 20, 400, 119, 419);
    sample->SetZoom(0.5);
    return w;
}

// Titled boxes of every frame style, one without its title, holding a
// colour well and a colour slider.
ZuWindowRef SeedBoxes()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    const ZuFrameStyle styles[] = {ZU_FRAME_STANDARD, ZU_FRAME_THIN_LINE, ZU_FRAME_RECT_HIGH,
                                   ZU_FRAME_RECT_LOW};
    for (unsigned i = 0; i < 4; ++i) {
        ZuBoxViewRef b = AddControl<ZuBoxView>(w, 5 + 45 * i, 5, 45 + 45 * i, 60);
        b->SetFrameStyle(styles[i]);
        b->SetFrameColor(i % 2 ? ZU_COLOR_BLACK : ZU_COLOR_NONE);
        b->SetBackColor(i == 2 ? ZU_COLOR_WHITE : ZU_COLOR_NONE);
        if (i != 3)
            b->SetTitle(ZuStringRef("Cadre"));
        b->SetEnableTitle(i != 1);
    }
    ZuBoxViewRef group = AddControl<ZuBoxView>(w, 5, 70, 195, 150);
    group->SetTitle(ZuStringRef("Couleur"));
    ZuColorWellRef well = AddControl<ZuColorWell>(group, 15, 90, 54, 119);
    well->SetColor(ZuColorPixel(0x80336699u));
    ZuColSliderRef slider = AddControl<ZuColSlider>(group, 60, 90, 179, 109);
    slider->Initialise(true);
    slider->SetMinColor(ZuColorPixel(0x00000000u));
    slider->SetMaxColor(ZuColorPixel(0x00FFFFFFu));
    return w;
}

// Card stacks over items along the top (squeezed) and the right edge.
ZuWindowRef SeedCardStacks()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    ZuCloneArchitectRef clone =
        ZuNew<ZuCloneArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuCardStackRef top = AddControl<ZuCardStack>(w, 0, 0, 99, 99);
    top->Initialise(NewItems(4, false), clone, clone, ZU_TAB_LAYOUT_TOP, 24);
    ZuViewRef hit;
    top->Detect(10, 10, hit, false);
    ZuCardStackRef right = AddControl<ZuCardStack>(w, 100, 0, 199, 99);
    right->Initialise(NewItems(2, false), clone, clone, ZU_TAB_LAYOUT_RIGHT, 20);
    right->ActivateView(1);
    AddControl<ZuCardStack>(w, 0, 100, 99, 159);
    return w;
}

// A cell grid of controls with a wider column and an empty cell, and a
// selection grid with hilites and dragging on.
ZuWindowRef SeedCellGrids()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    ZuCellGridRef cells = AddControl<ZuCellGrid>(w, 0, 0, 99, 59);
    cells->SetDefaultCellSize(20, 12);
    cells->SetGridSize(3, 2);
    for (unsigned i = 0; i < 5; ++i)
        cells->SetCell(i % 3, i / 3, AddControl<ZuControl>(ZuViewRef(), 0, 0, 9, 9), false);
    cells->SetRowWidth(1, 31);
    ZuSelGridRef sel = AddControl<ZuSelGrid>(w, 0, 70, 99, 129);
    sel->SetDefaultCellSize(15, 15);
    sel->SetGridSize(4, 2);
    for (unsigned i = 0; i < 8; ++i)
        sel->SetCell(i % 4, i / 4, AddControl<ZuControl>(ZuViewRef(), 0, 0, 9, 9), false);
    sel->SetSelectMultipleOk(true);
    sel->SetSelectOnClick(true);
    sel->EnableDragging(true);
    sel->SetActiveHilite(1, 0, true, false);
    sel->SetActiveHilite(2, 1, true, false);
    return w;
}

// A gauge reading its own value (symmetric, growing maximum) and one
// reading the other's "value", a signed seven-segment display of six
// places, and a pane over a large-icon architect, with an item that has no
// pictogram.
ZuWindowRef SeedMonitors()
{
    ZuWindowRef w = NewSeedWindow(200, 160);
    ZuMonitorAnalogicRef gauge = AddControl<ZuMonitorAnalogic>(w, 0, 0, 103, 63);
    gauge->SetSymmetric(true);
    gauge->SetDynamicMax(true);
    gauge->SetMaximum(2.5);
    gauge->SetValue(ZuValueRef(-7.3));
    ZuMonitorAnalogicRef follower = AddControl<ZuMonitorAnalogic>(w, 110, 0, 169, 39);
    follower->SetRectified(true);
    follower->InitValueByName(0, gauge, ZuAtomRef("value"));
    ZuLed7DisplayRef display = AddControl<ZuLed7Display>(w, 0, 70, 63, 85);
    display->SetText(ZuStringRef("-12.5"));
    display->SetDigitsSign(6, true);
    display->SetColor(ZuColorPixel(0.0, 1.0, 0.0, 0.0));
    ZuLargeIconArchitectRef large =
        ZuNew<ZuLargeIconArchitect>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    large->Initialise(ZuGrailFontRef(), 60);
    large->SetIconHeight(24);
    ZuArrayRef items = NewItems(3, true);
    items->Insert(ZuObjectRef(ZuStringRef("sans pictogramme")));
    AddArchitectPane(w, 100, 70, items, large);
    return w;
}

// A drag palette framing a sample, an object well holding an object, and
// a drag window holding a view.
ZuWindowRef SeedWells()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    ZuTextTagRef sample = AddControl<ZuTextTag>(w, 11, 11, 40, 30);
    ZuDragPaletteRef palette = ZuNew<ZuDragPalette>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    palette->Initialise(sample);
    ZuObjectWellRef well = AddControl<ZuObjectWell>(w, 10, 50, 190, 80);
    well->SetObject(ZuObjectRef(ZuStringRef("puits")));
    return w;
}

ZuWindowRef SeedDragView()
{
    ZuDragViewRef drag = ZuNew<ZuDragView>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    drag->SetSize(40, 20);
    ZuTextTagRef carried = AddControl<ZuTextTag>(drag, 0, 0, 39, 19);
    drag->SetDragObject(carried);
    drag->SetAutoStop(true);
    drag->SetAutoEmbed(true);
    return drag;
}

// Views of Ghostscript images: a plain one scrolled into its image, and a
// page view showing a document at a zoom and position of its own. Their
// stored form keeps the offsets and the context (restored at its size).
ZuWindowRef SeedPageViews()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    GSViewRef plain = AddControl<GSView>(w, 0, 0, 79, 59);
    plain->Initialise(160, 90, GS_VIEW_RGB24);
    plain->SetHOffset(0.5);
    plain->SetVOffset(0.25);
    CPageViewRef page = AddControl<CPageView>(w, 80, 0, 199, 119);
    CDocumentRef doc = ZuNew<CDocument>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    doc->Reset();
    page->SetDocument(doc);
    page->InitDocumentTree();
    page->RetView()->zoom = 0.5;
    page->ResetDisplay();
    page->SetHOffset(0.1);
    return w;
}

// Sample boxes that hand their events to no pane: one placed, one zoomed
// and one inside a box view, none built (no interpreter for the seeds).
ZuWindowRef SeedPatternDraws()
{
    ZuWindowRef w = NewSeedWindow(200, 200);
    AddControl<CPatternDraw>(w, 4, 4, 164, 164);
    AddControl<CPatternDraw>(w, 4, 170, 164, 192)->SetZoom(0.25);
    ZuBoxViewRef box = AddControl<ZuBoxView>(w, 168, 4, 198, 60);
    AddControl<CPatternDraw>(box, 170, 8, 196, 40);
    return w;
}

// Sample controls as an interface file holds them: a colour, a fully
// transparent colour, a pen and none.
ZuWindowRef SeedCollectionSamples()
{
    ZuWindowRef w = NewSeedWindow(200, 120);
    CColorDefRef red = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    red->SetRGB(1, 0, 0);
    CColorDefRef clear = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    clear->SetTransparency(1.0);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    pen->SetWidth(1.5);
    const CDefRef defs[] = {CDefRef(red), CDefRef(clear), CDefRef(pen), CDefRef()};
    for (int i = 0; i < 4; ++i) {
        CCollectionSampleRef s = AddControl<CCollectionSample>(w, 4 + 40 * i, 4, 39 + 40 * i, 39);
        s->SetDef(defs[i]);
        s->SetDragEnabled(i % 2 == 0);
    }
    return w;
}

// Each row writes the seed "seed-<name>": a window made by its function.
// Rows for more classes go at the end.
struct SeedRow {
    const char* name;
    ZuWindowRef (*make)();
};
const SeedRow kSeeds[] = {
    {"controls", &SeedControls},
    {"buttons", &SeedButtons},
    {"switches", &SeedSwitches},
    {"texttags", &SeedTextTags},
    {"icons", &SeedIcons},
    {"selection", &SeedSelection},
    {"tooltip", &SeedToolTip},
    {"panes", &SeedPanes},
    {"grids", &SeedGrids},
    {"scrollviews", &SeedScrollViews},
    {"architects", &SeedArchitects},
    {"multiviews", &SeedMultiViews},
    {"springs", &SeedSprings},
    {"framed", &SeedFramed},
    {"textlines", &SeedTextLines},
    {"scrollers", &SeedScrollers},
    {"scrolllists", &SeedScrollLists},
    {"menus", &SeedMenus},
    {"monitors", &SeedMonitors},
    {"wells", &SeedWells},
    {"dragview", &SeedDragView},
    {"panecontrols", &SeedPaneControls},
    {"attributepanes", &SeedAttributePanes},
    {"colorsliders", &SeedColorSliders},
    {"boxes", &SeedBoxes},
    {"cardstacks", &SeedCardStacks},
    {"cellgrids", &SeedCellGrids},
    {"pageviews", &SeedPageViews},
    {"patterndraws", &SeedPatternDraws},
    {"collectionsamples", &SeedCollectionSamples},
};

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    for (const SeedRow& row : kSeeds) {
        ZuWindowRef w = row.make();
        Zuvi_FuzzWriteSeed(dir, row.name, storage->StoreOf(w));
        w->Delete();
    }
    ZuObjectRef::RealiseDeletions();
}

// Controls keep look colours, which are stored and read by name through
// the look manager: the run has one, as the program does.
struct Runtime : ZuviFuzzStorageRuntime {
    Runtime()
    {
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
    }
    ~Runtime()
    {
        ZuLookMan::Kill();
        ZuFontMan::KillSystemFontMan();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "fuzz/viewtree_fuzz");
    ZuViewFuzzEventRef event = ZuNew<ZuViewFuzzEvent>(nullptr, __LINE__, "fuzz/viewtree_fuzz");
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Runtime& runtime = Zuvi_FuzzRuntime<Runtime>("viewtree_fuzz", "VIEWTREE_FUZZ_TRACE",
                                                 "VIEWTREE_FUZZ_SEEDS", WriteSeeds);
    const ZuFuzzStorageRef& storage = runtime.storage;
    {
        ZuViewRef v;
        const ZuObjectRef read = storage->RestoreFrom(data, size, ZuViewRef::RetRuntime());
        if (read.IsValid() && read->IsKindOf(ZuViewRef::RetRuntime()))
            v = ZuViewRef(read);
        else if (read.IsValid())
            read->Delete();
        if (v.IsValid()) {
            Exercise(v, runtime.event);
            const std::vector<std::uint8_t> first = storage->StoreOf(v);
            storage->StartReading(first.data(), first.size());
            ZuObjectRef again;
            storage->RestoreObject(again, ZuViewRef::RetRuntime());
            storage->Stop();
            Zuvi_FuzzCheck(again.IsValid(), "stored view not read back");
            TakeDown(ZuViewRef(again));
            TakeDown(v);
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
