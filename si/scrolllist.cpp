#include "si/scrolllist.h"

#include <cmath>

#include "si/classfactory.h"
#include "si/datarep.h"
#include "si/error.h"
#include "si/gridlayout.h"
#include "si/icontainer.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/selectcon.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/textarchitect.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(ZuScrollList, "si/scrolllist", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuScrollList, ZuiTitleWidget)

namespace {

ZuStorageSync& ScrollListRecord()
{
    static ZuStorageSync record(
        "<ZuScrollList source pane architect layout provider h_scroller v_scroller>");
    return record;
}

ZuiContainer* ContainerOf(const ZuObjectRef& source)
{
    return source.IsValid()
               ? static_cast<ZuiContainer*>(source->CastToInterface(&ZuiContainer::interface))
               : nullptr;
}

// The distance from the pane's edge within which a drag scrolls, and the
// speed per pixel inside it.
const double kAutoScrollBand = 5;
const double kAutoScrollSpeed = 0.2;

// Restores a handle of the given class; anything else stored in its
// place leaves it empty.
template <class H>
void RestoreHandle(const ZuStorageRef& s, H& handle)
{
    ZuObjectRef o;
    s->RestoreObject(o, H::RetRuntime());
    if (o.IsValid() && o->IsKindOf(H::RetRuntime()))
        handle = H(o);
    else
        handle = H();
}

} // namespace

ZuScrollList::ZuScrollList() {}

ZuScrollList::~ZuScrollList() {}

void ZuScrollList::Delete()
{
    if (pane.IsValid()) {
        ZuViewPaneRef p = pane;
        pane = ZuViewPaneNull;
        p->Delete();
    }
    ZuScrollerRef* scrollers[] = {&h_scroller, &v_scroller};
    for (ZuScrollerRef* s : scrollers) {
        if (s->IsValid()) {
            ZuScrollerRef sc = *s;
            *s = ZuScrollerNull;
            sc->Delete();
        }
    }
    ZuControl::Delete();
}

bool ZuScrollList::SetTitle(const ZuStringRef&)
{
    return false;
}

// ---- Building ----

bool ZuScrollList::Initialise(const ZuObjectRef& src, const ZuViewArchitectRef& arch,
                              const ZuViewLayoutRef& lay, const ZuSelectConRef& select_con,
                              const ZuProviderViewRef& provider_view)
{
    if (!Initialise(src, arch, lay, provider_view))
        return false;
    provider->SetSelectCon(select_con);
    return true;
}

bool ZuScrollList::Initialise(const ZuObjectRef& src, const ZuViewArchitectRef& arch,
                              const ZuViewLayoutRef& lay, const ZuProviderViewRef& provider_view)
{
    source = src;
    architect = arch;
    layout = lay;
    container = ContainerOf(source);
    // Without a layout nothing could be placed: built no more than without
    // a container.
    if (container == nullptr || layout.IsInvalid())
        return false;
    // A second initialisation replaces the parts of the first.
    if (pane.IsValid()) {
        pane->SetParent(ZuViewNull);
        pane->Delete();
    }
    ZuScrollerRef* scrollers[] = {&h_scroller, &v_scroller};
    for (ZuScrollerRef* s : scrollers) {
        if (s->IsValid()) {
            (*s)->SetParent(ZuViewNull);
            (*s)->Delete();
        }
    }
    has_h_scroller = has_v_scroller = false;
    pane = ZuNew<ZuViewPane>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    provider = ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    provider->Initialise(source, architect, 150, 1);
    provider->SetProviderViewModel(provider_view);
    layout->NotifyDataSourceChange();
    pane->Initialise(provider, layout);
    pane->SetParent(ZuViewRef(this));
    h_scroller = ZuNew<ZuScroller>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    v_scroller = ZuNew<ZuScroller>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    const ZuAtomRef value("visible_value");
    const ZuAtomRef display("Display");
    ZuDataReportRef h_report = ZuNew<ZuDataReport>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    h_report->Initialise(h_scroller, ZuScroller::notify_scrolled, value, pane,
                         ZuAtomRef("x_offset"), display, true);
    ZuDataReportRef v_report = ZuNew<ZuDataReport>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    v_report->Initialise(v_scroller, ZuScroller::notify_scrolled, value, pane,
                         ZuAtomRef("y_offset"), display, true);
    UpdateGeometry(true);
    return true;
}

bool ZuScrollList::Initialise(const ZuObjectRef& src)
{
    ZuiContainer* items = ContainerOf(src);
    if (items == nullptr)
        return false;
    ZuTextTagRef model = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    model->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    model->SetLeftSpace(5.0);
    model->SetRightSpace(5.0);
    ZuTextArchitectRef arch = ZuNew<ZuTextArchitect>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    arch->Initialise(ZuTextTagBaseRef(model));
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, "si/scrolllist");
    grid->Initialise(src, arch, 1, items->TotalCount(), 0.0, 0.0, true, true);
    grid->SetConstrainMode(false, true);
    grid->SetLayoutByRows(true);
    return Initialise(src, arch, grid, ZuProviderViewNull);
}

void ZuScrollList::NotifyDataSourceChange()
{
    UpdateGeometry(true);
}

// ---- Geometry ----

void ZuScrollList::UpdateGeometry(bool reset)
{
    if (h_scroller.IsInvalid() || v_scroller.IsInvalid() || container == nullptr ||
        pane.IsInvalid() || layout.IsInvalid())
        return;
    const double m = RetEffectSize();
    const double x = box.X1() + m, y = box.Y1() + m;
    double w = box.DX() - 2 * m, h = box.DY() - 2 * m;
    const unsigned n_items = container->TotalCount();
    double cw = 0, ch = 0;
    layout->GetGlobalSize(cw, ch);
    const double bh = h_scroller->RetBreadth(), bv = v_scroller->RetBreadth();
    bool need_h = false, need_v = false;
    if (w < cw) {
        need_h = true;
        h -= bh;
    }
    if (h < ch) {
        need_v = true;
        w -= bv;
    }
    // A scroller added above takes room that may call for the other one.
    if (w < cw && !need_h) {
        need_h = true;
        h -= bh;
    }
    if (h < ch && !need_v) {
        need_v = true;
        w -= bv;
    }
    pane->SetOrigin(x, y);
    pane->SetSize(w, h);
    pane->UpdateContents(reset);

    has_h_scroller = need_h;
    if (!need_h) {
        h_scroller->SetParent(ZuViewNull);
    } else {
        const double ratio = pane->RetHorizontalRatio();
        h_scroller->SetParent(ZuViewRef(this));
        h_scroller->Initialise(x, y + h, w, true, 0);
        h_scroller->SetVisibleRatio(ratio);
        h_scroller->SetIncrement(ratio * 0.2);
    }
    has_v_scroller = need_v;
    if (!need_v) {
        v_scroller->SetParent(ZuViewNull);
    } else {
        // One line step moves the list by one item. Without items the
        // whole content counts as one row.
        unsigned hidden = 0;
        if (n_items > 0 && ch > 0) {
            const double row = ch / n_items;
            const double visible = std::trunc((h + row - 1) / row);
            if (n_items > visible)
                hidden = n_items - static_cast<unsigned>(visible < 0 ? 0 : visible);
        }
        const double increment = hidden < 2 ? 1.0 : 1.0 / hidden;
        v_scroller->SetParent(ZuViewRef(this));
        v_scroller->Initialise(x + w, y, h, false, hidden + 1);
        v_scroller->SetVisibleRatio(pane->RetVerticalRatio());
        v_scroller->SetIncrement(increment);
    }
    is_geometry_ok = true;
}

void ZuScrollList::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuControl::NotifyGeometryChange(old_box);
    UpdateGeometry(false);
}

void ZuScrollList::NotifyStyleChange(const ZuCtrlStyle& changed)
{
    ZuControl::NotifyStyleChange(changed);
    if (changed.TestBit(ZU_CTRL_DRAW_RELIEF) || changed.TestBit(ZU_CTRL_DRAW_ADORNER))
        UpdateGeometry(false);
}

void ZuScrollList::Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op)
{
    if (!is_geometry_ok)
        UpdateGeometry(false);
    ZuControl::Draw(port, rect, op);
}

// ---- Automatic scrolling ----

bool ZuScrollList::DetectAutoScroll(double x, double y, double& angle, double& speed)
{
    (void)x;
    angle = 0;
    speed = 0;
    if (pane.IsInvalid())
        return false;
    const ZuRect& r = pane->RetBox();
    if (y < r.Y1() + kAutoScrollBand) {
        speed = ((r.Y1() + kAutoScrollBand) - y) * kAutoScrollSpeed;
        angle = 90.0;
    }
    if (y > r.Y2() - kAutoScrollBand) {
        speed = (y - (r.Y2() - kAutoScrollBand)) * kAutoScrollSpeed;
        angle = 270.0;
    }
    return speed != 0;
}

void ZuScrollList::HandleAutoScroll(double angle, double speed)
{
    if (speed != 0) {
        if (has_h_scroller && h_scroller.IsValid()) {
            if (angle == 0.0)
                h_scroller->ScrollDecrement();
            else if (angle == 180.0)
                h_scroller->ScrollIncrement();
        }
        if (has_v_scroller && v_scroller.IsValid()) {
            if (angle == 90.0)
                v_scroller->ScrollDecrement();
            else if (angle == 270.0)
                v_scroller->ScrollIncrement();
        }
    }
    ZuControl::HandleAutoScroll(angle, speed);
}

// ---- Accessors ----

const ZuObjectRef& ZuScrollList::RetSource() const
{
    return source;
}

const ZuViewPaneRef& ZuScrollList::RetPane() const
{
    return pane;
}

const ZuViewProviderRef& ZuScrollList::RetProvider() const
{
    return provider;
}

const ZuViewArchitectRef& ZuScrollList::RetArchitect() const
{
    return architect;
}

const ZuViewLayoutRef& ZuScrollList::RetLayout() const
{
    return layout;
}

// ---- Storage ----

void ZuScrollList::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << ScrollListRecord() << ZuStorageSync::begin;
    s->StoreObject(source);
    s->StoreObject(pane);
    s->StoreObject(architect);
    s->StoreObject(layout);
    s->StoreObject(provider);
    s->StoreObject(h_scroller);
    s->StoreObject(v_scroller);
    s << ZuStorageSync::end;
}

void ZuScrollList::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreObject(source, ZuObjectRef::RetRuntime());
    RestoreHandle(s, pane);
    RestoreHandle(s, architect);
    RestoreHandle(s, layout);
    RestoreHandle(s, provider);
    RestoreHandle(s, h_scroller);
    RestoreHandle(s, v_scroller);
    s >> ZuStorageSync::end;
    // Outside data may name any view in these places: the pane must be a
    // child of the list, a scroller a child or free, and never one of the
    // list's ancestors (making it a child would close a loop).
    if (pane.IsValid() && pane->RetParent() != this)
        pane = ZuViewPaneRef();
    ZuScrollerRef* scrollers[] = {&h_scroller, &v_scroller};
    for (ZuScrollerRef* sc : scrollers) {
        if (sc->IsInvalid())
            continue;
        bool usable = (*sc)->RetParent().IsInvalid() || (*sc)->RetParent() == this;
        for (ZuViewRef up = RetParent(); usable && up.IsValid(); up = up->RetParent())
            usable = up != *sc;
        if (!usable || h_scroller == v_scroller)
            *sc = ZuScrollerRef();
    }
    container = ContainerOf(source);
    is_geometry_ok = false;
    has_h_scroller = h_scroller.IsValid() && h_scroller->RetParent() == this;
    has_v_scroller = v_scroller.IsValid() && v_scroller->RetParent() == this;
}
