#include "si/cardstack.h"

#include <cmath>

#include "si/adorner.h"
#include "si/array.h"
#include "si/classfactory.h"
#include "si/grail.h"
#include "si/icontainer.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"

ZU_IMPLEMENT_CLASS(ZuCardStack, "si/cardstack", ZU_CLASS_PLAIN)

ZuAtomRef ZuCardStack::look_tab_box;
ZuAtomRef ZuCardStack::notify_activation;
ZuAtomRef ZuCardStack::on_click;

ZU_EXPORT_NOTIFY(ZuCardStack, tab_box, "Zuvi_TabBox", &ZuCardStack::look_tab_box)
ZU_EXPORT_NOTIFY(ZuCardStack, activation, "NotifyActivation", &ZuCardStack::notify_activation)
ZU_EXPORT_NOTIFY(ZuCardStack, on_click, "OnClick", &ZuCardStack::on_click)

namespace {

ZuStorageSync& CardStackRecord()
{
    static ZuStorageSync record("<ZuCardStack tab_provider tabs tab_layout tab_size>");
    return record;
}

ZuCardTabArray NewTabArray()
{
    return ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

unsigned CountOf(const ZuObjectRef& container)
{
    if (container.IsInvalid())
        return 0;
    const auto* items = static_cast<const ZuiContainer*>(
        container.CheckAndResolve()->CastToInterface(&ZuiContainer::interface));
    return items ? items->TotalCount() : 0;
}

double Trunc(double v)
{
    return std::trunc(v);
}

} // namespace

ZuCardStack::ZuCardStack() : tabs(NewTabArray()) {}

ZuCardStack::~ZuCardStack()
{
    tab_provider = ZuViewProviderRef();
}

ZuCardTabRef ZuCardStack::TabAt(unsigned index) const
{
    ZuObjectRef element;
    if (tabs.IsInvalid() || !tabs->Get(index, element) || element.IsInvalid() ||
        !element->IsKindOf(ZuCardTabRef::RetRuntime()))
        return ZuCardTabRef();
    return ZuCardTabRef(element);
}

void ZuCardStack::Delete()
{
    ZuViewProviderRef cards = RetProvider();
    ZuSelectConRef controller = RetSelectCon();
    ZuMultiView::Delete();
    if (tabs.IsValid()) {
        // The tabs are no children: nobody else deletes them. Their labels
        // go back to the tab provider first.
        for (unsigned i = 0; i < tabs->TotalCount(); ++i) {
            ZuCardTabRef tab = TabAt(i);
            if (tab.IsValid()) {
                tab->Initialise(tab_layout);
                tab->Delete();
            }
        }
        tabs->SetSize(0);
    }
    if (tab_provider.IsValid()) {
        tab_provider->Delete();
        tab_provider = ZuViewProviderRef();
    }
    if (cards.IsValid())
        cards->Delete();
    if (controller.IsValid())
        controller->Delete();
}

void ZuCardStack::StoreInstance(const ZuStorageRef& s)
{
    ZuMultiView::StoreInstance(s);
    s << CardStackRecord() << ZuStorageSync::begin;
    s->StoreObject(tab_provider);
    s->StoreObject(tabs);
    s << tab_layout;
    s->StoreReal(tab_size);
    s << ZuStorageSync::end;
}

void ZuCardStack::RestoreInstance(const ZuStorageRef& s)
{
    ZuMultiView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef provider;
    s->RestoreObject(provider, ZuViewProviderRef::RetRuntime());
    tab_provider = provider.IsValid() && provider->IsKindOf(ZuViewProviderRef::RetRuntime())
                       ? ZuViewProviderRef(provider)
                       : ZuViewProviderRef();
    ZuObjectRef array;
    s->RestoreObject(array, ZuArrayRef::RetRuntime());
    // Elements that are no tabs are replaced by new tabs at the next update.
    tabs = array.IsValid() && array->IsKindOf(ZuArrayRef::RetRuntime()) ? ZuArrayRef(array)
                                                                        : NewTabArray();
    ZuTabLayout layout = ZU_TAB_LAYOUT_TOP;
    s >> layout;
    tab_layout = IsValid(layout) ? layout : ZU_TAB_LAYOUT_TOP;
    tab_size = s->RestoreReal(tab_size);
    if (!std::isfinite(tab_size))
        tab_size = 24.0;
    s >> ZuStorageSync::end;
    DiscardTabGeometry();
}

bool ZuCardStack::Initialise(const ZuBaseContainerRef& container,
                             const ZuViewArchitectRef& tab_architect,
                             const ZuViewArchitectRef& card_architect, ZuTabLayout layout,
                             double size)
{
    if (container.IsInvalid() || tab_architect.IsInvalid() || card_architect.IsInvalid())
        return false;
    const unsigned count = CountOf(container);
    ZuViewProviderRef tab_maker = ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuViewProviderRef card_maker = ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    tab_maker->Initialise(container, tab_architect, count, 1);
    card_maker->Initialise(container, card_architect, count, 1);
    ZuSelectConRef controller = ZuNew<ZuSelectCon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    controller->Initialise(ZU_SELECT_ONE, ZuObjectRef());
    // Built again: what the stack made before goes, the tabs' labels first.
    ZuViewProviderRef old_cards = RetProvider();
    ZuSelectConRef old_controller = RetSelectCon();
    if (tabs.IsValid())
        for (unsigned i = 0; i < tabs->TotalCount(); ++i) {
            ZuCardTabRef tab = TabAt(i);
            if (tab.IsValid()) {
                tab->Initialise(tab_layout);
                if (old_controller.IsValid())
                    tab->DetachObserver(old_controller);
            }
        }
    ZuMultiView::Initialise(container, card_maker, controller);
    if (old_cards.IsValid())
        old_cards->Delete();
    if (old_controller.IsValid())
        old_controller->Delete();
    const ZuRect& b = RetBox();
    ZuRect viewport(0, 0, b.DX() - 1, b.DY() - 1);
    if (b.IsEmpty())
        viewport.MakeEmpty();
    viewport.ApplyMargin(5);
    if (!viewport.IsEmpty()) {
        double x1 = viewport.X1(), y1 = viewport.Y1(), x2 = viewport.X2(), y2 = viewport.Y2();
        switch (static_cast<unsigned>(layout)) {
        case ZU_TAB_LAYOUT_TOP:
            y1 += size;
            break;
        case ZU_TAB_LAYOUT_BOTTOM:
            y2 -= size;
            break;
        case ZU_TAB_LAYOUT_LEFT:
            x1 += size;
            break;
        case ZU_TAB_LAYOUT_RIGHT:
            x2 -= size;
            break;
        default:
            break;
        }
        viewport = ZuRect(x1, y1, x2, y2);
    }
    DiscardTabGeometry();
    SetViewportBox(viewport);
    if (tab_provider.IsValid() && tab_provider != tab_maker)
        tab_provider->Delete();
    tab_provider = tab_maker;
    tab_size = size;
    tab_layout = layout;
    tab_count = count;
    RefreshActiveView();
    return true;
}

bool ZuCardStack::SetTabSize(double size)
{
    tab_size = size;
    DiscardTabGeometry();
    return true;
}

double ZuCardStack::RetTabSize() const
{
    return tab_size;
}

void ZuCardStack::DiscardTabGeometry()
{
    is_tab_geometry_ok = false;
}

void ZuCardStack::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuMultiView::NotifyGeometryChange(old_box);
    DiscardTabGeometry();
}

void ZuCardStack::NotifyActiveChange(unsigned old_rank)
{
    DiscardTabGeometry();
    ZuMultiView::NotifyActiveChange(old_rank);
}

void ZuCardStack::OnSourceChange(const ZuObjectRef& sender, unsigned flags)
{
    ZuMultiView::OnSourceChange(sender, flags);
    if (tab_provider.IsValid())
        tab_provider->NotifyDataSourceChange();
    DiscardTabGeometry();
}

void ZuCardStack::UpdateTabGeometry()
{
    if (is_tab_geometry_ok || RetSource().IsInvalid() || tab_provider.IsInvalid())
        return;
    is_tab_geometry_ok = true;
    tab_count = CountOf(RetSource());
    if (tabs.IsInvalid())
        tabs = NewTabArray();
    // Tabs beyond the new count go with their handles; their labels go
    // back to the provider first.
    for (unsigned i = tab_count; i < tabs->TotalCount(); ++i) {
        ZuCardTabRef gone = TabAt(i);
        if (gone.IsValid()) {
            gone->Initialise(tab_layout);
            gone->Delete();
        }
    }
    tabs->SetSize(tab_count);
    tab_provider->UnlockAllViews();
    if (tab_count == 0)
        return;
    const ZuSelectConRef& controller = RetSelectCon();
    for (unsigned i = 0; i < tab_count; ++i) {
        ZuCardTabRef tab = TabAt(i);
        if (tab.IsInvalid()) {
            tab = ZuNew<ZuCardTab>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
            tabs[i] = tab;
        }
        tab->Initialise(tab_layout);
        tab->SetWindow(RetWindow());
        if (controller.IsValid())
            tab->AttachObserver(controller, ZuControl::notify_clicked, notify_activation, i);
    }
    const unsigned active = RetActiveView();
    double total = 0;
    for (unsigned i = 0; i < tab_count; ++i) {
        ZuCardTabRef tab = TabAt(i);
        ZuViewRef label;
        tab_provider->LockView(i);
        tab_provider->GetView(i, label);
        tab->ChangeState(ZU_VIEW_IS_ON, i == active, false);
        tab->SetContents(label);
        tab->SetPosition(i == 0 ? -1 : 0);
        total += tab->RetDesiredWidth();
        if (i > 0)
            total -= 5;
    }
    const ZuRect& b = RetBox();
    const double t = tab_size;
    const bool along_x = tab_layout == ZU_TAB_LAYOUT_TOP || tab_layout == ZU_TAB_LAYOUT_BOTTOM;
    double available = 0, x = b.X1(), y = b.Y1();
    if (along_x) {
        available = b.DX();
        if (tab_layout == ZU_TAB_LAYOUT_BOTTOM)
            y = b.Y2() - t;
    } else {
        available = b.DY();
        if (tab_layout == ZU_TAB_LAYOUT_RIGHT)
            x = b.X2() - t;
    }
    const double squeeze =
        (total > available && tab_count >= 2) ? (total - available) / (tab_count - 1) : 0;
    x = Trunc(x);
    y = Trunc(y);
    for (unsigned i = 0; i < tab_count; ++i) {
        ZuCardTabRef tab = TabAt(i);
        const double w = tab->RetDesiredWidth();
        if (along_x) {
            tab->SetOrigin(Trunc(x + 0.5), y);
            tab->SetSize(w, t);
            x += w - squeeze - 5;
        } else {
            tab->SetOrigin(x, Trunc(y + 0.5));
            tab->SetSize(t, w);
            y += w - squeeze - 5;
        }
    }
    if (squeeze != 0)
        TabAt(tab_count - 1)->SetPosition(1);
}

ZuRect ZuCardStack::FrameBox() const
{
    const ZuRect& b = RetBox();
    if (b.IsEmpty())
        return ZuRect();
    const double t = tab_size;
    switch (static_cast<unsigned>(tab_layout)) {
    case ZU_TAB_LAYOUT_TOP:
        return ZuRect(b.X1(), b.Y1() + t - 6, b.X2(), b.Y2());
    case ZU_TAB_LAYOUT_BOTTOM:
        return ZuRect(b.X1(), b.Y1(), b.X2(), b.Y2() - t + 6);
    case ZU_TAB_LAYOUT_LEFT:
        return ZuRect(b.X1() + t - 6, b.Y1(), b.X2(), b.Y2());
    case ZU_TAB_LAYOUT_RIGHT:
        return ZuRect(b.X1(), b.Y1(), b.X2() - t + 6, b.Y2());
    default:
        return ZuRect();
    }
}

void ZuCardStack::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    UpdateTabGeometry();
    ZuMultiView::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid()) {
        ZuFrameEdges edges;
        for (ZuFrameEdgeBit bit :
             {ZU_FRAME_TOP, ZU_FRAME_BOTTOM, ZU_FRAME_LEFT, ZU_FRAME_RIGHT, ZU_FRAME_CORNERS})
            edges.SetBit(bit);
        adorner->DrawFrame(look_tab_box, FrameBox(), edges, ZU_CTRL_STATE_NORMAL, 0.0);
    }
    const unsigned n = tabs.IsValid() ? tabs->TotalCount() : 0;
    if (n == 0)
        return;
    // The active tab lies over both neighbours; every other tab over the
    // neighbour farther from the active one.
    const unsigned active = RetActiveView() < n ? RetActiveView() : n - 1;
    for (unsigned i = n; i-- > active + 1;) {
        ZuCardTabRef tab = TabAt(i);
        if (tab.IsValid())
            tab->Draw(port, rect, ZU_DRAW_ALL);
    }
    for (unsigned i = 0; i <= active; ++i) {
        ZuCardTabRef tab = TabAt(i);
        if (tab.IsValid())
            tab->Draw(port, rect, ZU_DRAW_ALL);
    }
}

void ZuCardStack::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuMultiView::DrawFront(port, rect);
}

bool ZuCardStack::Detect(double x, double y, ZuViewRef& out, bool any)
{
    if (state.TestBit(ZU_VIEW_NO_DETECT))
        return false;
    if (!any && (!state.TestBit(ZU_VIEW_IS_ENABLED) || state.TestBit(ZU_VIEW_NO_DISPLAY)))
        return false;
    UpdateTabGeometry();
    if (tab_count == 0)
        return false;
    const unsigned n = tabs.IsValid() ? tabs->TotalCount() : 0;
    if (n > 0) {
        const unsigned active = RetActiveView() < n ? RetActiveView() : n - 1;
        for (unsigned i = active; i < n; ++i) {
            ZuCardTabRef tab = TabAt(i);
            if (tab.IsValid() && tab->Detect(x, y, out, any))
                return true;
        }
        for (unsigned i = active; i-- > 0;) {
            ZuCardTabRef tab = TabAt(i);
            if (tab.IsValid() && tab->Detect(x, y, out, any))
                return true;
        }
    }
    return ZuMultiView::Detect(x, y, out, any);
}
