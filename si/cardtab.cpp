#include "si/cardtab.h"

#include "si/adorner.h"
#include "si/grail.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuTabLayout)
ZU_IMPLEMENT_CLASS(ZuCardTab, "si/cardtab", ZU_CLASS_PLAIN)

ZuAtomRef ZuCardTab::look_tab_begin;
ZuAtomRef ZuCardTab::look_tab_middle;
ZuAtomRef ZuCardTab::look_tab_end;

ZU_EXPORT_NOTIFY(ZuCardTab, tab_begin, "Zuvi_TabTopB", &ZuCardTab::look_tab_begin)
ZU_EXPORT_NOTIFY(ZuCardTab, tab_middle, "Zuvi_TabTopM", &ZuCardTab::look_tab_middle)
ZU_EXPORT_NOTIFY(ZuCardTab, tab_end, "Zuvi_TabTopE", &ZuCardTab::look_tab_end)

namespace {

ZuStorageSync& CardTabRecord()
{
    static ZuStorageSync record("<ZuCardTab layout contents position>");
    return record;
}

} // namespace

ZuCardTab::~ZuCardTab()
{
    contents = ZuViewRef();
}

void ZuCardTab::DropContents()
{
    if (contents.IsValid()) {
        ZuViewRef old = contents;
        contents = ZuViewRef();
        if (old->RetParent() == this)
            old->SetParent(ZuViewNull);
    }
}

void ZuCardTab::Delete()
{
    // The label belongs to the provider that made it: it is let go before
    // the view part deletes the children.
    DropContents();
    ZuControl::Delete();
}

ZuObjectRef ZuCardTab::Copy(const ZuObjectRef& source)
{
    return ZuControl::Copy(source);
}

void ZuCardTab::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << CardTabRecord() << ZuStorageSync::begin;
    s << layout;
    s->StoreObject(contents);
    s->StoreInt(position);
    s << ZuStorageSync::end;
}

void ZuCardTab::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuTabLayout l = ZU_TAB_LAYOUT_TOP;
    s >> l;
    layout = IsValid(l) ? l : ZU_TAB_LAYOUT_TOP;
    ZuObjectRef view;
    s->RestoreObject(view, ZuViewRef::RetRuntime());
    // The label is one of the children restored with the view.
    if (view.IsValid() && view->IsKindOf(ZuViewRef::RetRuntime()) &&
        ZuViewRef(view)->RetParent() == this)
        contents = ZuViewRef(view);
    else
        contents = ZuViewRef();
    signed char p = 0;
    s >> p;
    position = p;
    s >> ZuStorageSync::end;
}

bool ZuCardTab::Initialise(ZuTabLayout new_layout)
{
    DropContents();
    layout = new_layout;
    return true;
}

bool ZuCardTab::SetContents(const ZuViewRef& view)
{
    if (view == contents)
        return true;
    DropContents();
    contents = view;
    if (contents.IsInvalid())
        return true;
    double x = box.X1() + 6, y = box.Y1() + 6;
    contents->SetParent(ZuViewRef(this));
    const bool on = state.TestBit(ZU_VIEW_IS_ON);
    contents->ChangeState(ZU_VIEW_IS_ON, on, true);
    contents->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    double w = 0, h = 0;
    contents->GetSize(w, h);
    // The label of the active tab moves one pixel away from the card.
    switch (static_cast<unsigned>(layout)) {
    case ZU_TAB_LAYOUT_TOP:
        if (on)
            y -= 1;
        break;
    case ZU_TAB_LAYOUT_BOTTOM:
        y = box.Y2() - 6 - h + (on ? 1 : 0);
        break;
    case ZU_TAB_LAYOUT_LEFT:
        if (on)
            x -= 1;
        break;
    case ZU_TAB_LAYOUT_RIGHT:
        x = box.X2() - 6 - w + (on ? 1 : 0);
        break;
    default:
        break;
    }
    contents->SetOrigin(x, y);
    return true;
}

bool ZuCardTab::SetPosition(signed char p)
{
    position = p;
    return true;
}

const ZuViewRef& ZuCardTab::RetContents() const
{
    return contents;
}

signed char ZuCardTab::RetPosition() const
{
    return position;
}

double ZuCardTab::RetDesiredWidth() const
{
    if (contents.IsInvalid())
        return 22.0;
    double w = 0, h = 0;
    contents->GetSize(w, h);
    const bool along_x = layout == ZU_TAB_LAYOUT_TOP || layout == ZU_TAB_LAYOUT_BOTTOM;
    return (along_x ? w : h) + 12;
}

void ZuCardTab::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
    // The look has pieces for tabs along the top only.
    if (port.IsInvalid() || layout != ZU_TAB_LAYOUT_TOP)
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const ZuAtomRef& piece =
        position < 0 ? look_tab_begin : (position > 0 ? look_tab_end : look_tab_middle);
    adorner->DrawFrame(piece, box,
                       state.TestBit(ZU_VIEW_IS_ON) ? ZU_CTRL_STATE_ACTIVE : ZU_CTRL_STATE_NORMAL,
                       0.0);
}

void ZuCardTab::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
}
