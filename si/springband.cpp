#include "si/springband.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuSpringBand, "si/springband", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& BandRecord()
{
    static ZuStorageSync record("<ZuSpringBand is_vertical view spring>");
    return record;
}

ZuArrayRef NewArray()
{
    return ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

ZuSpringRef NewSpring()
{
    return ZuNew<ZuSpring>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
}

unsigned Count(const ZuArrayRef& array)
{
    return array.IsValid() ? array->TotalCount() : 0;
}

} // namespace

ZuSpringBand::ZuSpringBand()
{
    meta_spring = NewSpring();
    view = NewArray();
}

void ZuSpringBand::Delete()
{
    ZuObject::Delete();
    RemoveAll();
}

ZuViewRef ZuSpringBand::ViewAt(unsigned i) const
{
    if (i >= Count(view))
        return ZuViewRef();
    ZuObjectRef o = ZuArrayRef(view)[i];
    return o.IsValid() && o->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(o) : ZuViewRef();
}

ZuSpringRef ZuSpringBand::SpringAt(unsigned i) const
{
    if (i >= Count(spring))
        return ZuSpringRef();
    ZuObjectRef o = ZuArrayRef(spring)[i];
    return o.IsValid() && o->IsKindOf(ZuSpringRef::RetRuntime()) ? ZuSpringRef(o) : ZuSpringRef();
}

bool ZuSpringBand::IsSound() const
{
    unsigned n = CountViews(), m = CountSprings();
    if (n == 0)
        return m == 0;
    if (m != 2 * static_cast<unsigned long long>(n) + 1)
        return false;
    for (unsigned i = 0; i < n; ++i)
        if (ViewAt(i).IsInvalid())
            return false;
    for (unsigned i = 0; i < m; ++i)
        if (SpringAt(i).IsInvalid())
            return false;
    return true;
}

void ZuSpringBand::BuildMetaSpring() const
{
    unsigned m = CountSprings();
    if (m == 0)
        return;
    // A restored band has none until it needs one.
    if (meta_spring.IsInvalid())
        meta_spring = NewSpring();
    meta_spring->Reset(0);
    for (unsigned i = 0; i < m; ++i) {
        ZuSpringRef s = SpringAt(i);
        if (s.IsValid() && s != meta_spring)
            meta_spring->Merge(s);
    }
    meta_valid = true;
}

void ZuSpringBand::RemoveAll()
{
    if (view.IsValid())
        view->SetSize(0);
    spring = ZuSpringArray();
    meta_valid = false;
}

void ZuSpringBand::SetVertical(bool v)
{
    is_vertical = v;
}

bool ZuSpringBand::IsVertical() const
{
    return is_vertical;
}

void ZuSpringBand::SpringChanged()
{
    meta_valid = false;
}

void ZuSpringBand::Resize(const ZuRect& rect)
{
    if (CountViews() == 0 || !IsSound())
        return;
    if (!meta_valid)
        BuildMetaSpring();
    double length = is_vertical ? rect.DY() : rect.DX();
    double position = is_vertical ? rect.Y1() : rect.X1();
    double stretch = meta_spring->FindStretch(length);
    for (unsigned i = 0, n = CountViews(); i < n; ++i) {
        ZuViewRef v = ViewAt(i);
        ZuRect box = v->RetBox();
        position += SpringAt(2 * i)->ComputeDefaultSize(stretch);
        (is_vertical ? box.Y1() : box.X1()) = position;
        position += SpringAt(2 * i + 1)->ComputeDefaultSize(stretch);
        (is_vertical ? box.Y2() : box.X2()) = position;
        v->SetBox(box);
    }
}

const ZuSpringRef& ZuSpringBand::RetMetaSpring() const
{
    if (!meta_valid)
        BuildMetaSpring();
    return meta_spring;
}

unsigned ZuSpringBand::CountViews() const
{
    return Count(view);
}

unsigned ZuSpringBand::CountSprings() const
{
    return Count(spring);
}

bool ZuSpringBand::InsertView(unsigned index, const ZuViewRef& v)
{
    // An index past the views would leave empty places in both arrays.
    if (v.IsInvalid() || index > CountViews() || !IsSound())
        return false;
    if (view.IsInvalid())
        view = NewArray();
    if (CountViews() == 0) {
        spring = NewArray();
        spring->SetSize(1);
        spring[0] = NewSpring();
    }
    view->Insert(index, 1);
    spring->Insert(2 * index + 1, 2);
    view[index] = v;
    spring[2 * index + 1] = NewSpring();
    spring[2 * index + 2] = NewSpring();
    double w = 0, h = 0;
    v->GetSize(w, h);
    double d = is_vertical ? h : w;
    double s = SpringAt(2 * index)->FindSize(1);
    double g = (d >= s ? 0.1 * d : s - d) / 2;
    SpringAt(2 * index)->Reset(g);
    SpringAt(2 * index + 1)->Reset(d);
    SpringAt(2 * index + 2)->Reset(g);
    meta_valid = false;
    return true;
}

bool ZuSpringBand::RemoveView(const ZuViewRef& v)
{
    unsigned index = 0;
    return FindView(v, index) && RemoveView(index);
}

bool ZuSpringBand::RemoveView(unsigned index)
{
    if (index >= CountViews())
        return false;
    if (IsSound()) {
        double a = SpringAt(2 * index)->FindSize(1);
        double b = SpringAt(2 * index + 1)->FindSize(1);
        double c = SpringAt(2 * index + 2)->FindSize(1);
        SpringAt(2 * index)->Reset(a + b + c);
        spring->Remove(2 * index + 1, 2);
    }
    view->Remove(index, 1);
    if (CountViews() == 0 && spring.IsValid())
        spring->SetSize(0);
    meta_valid = false;
    return true;
}

bool ZuSpringBand::GetAssociatedWindow(ZuWindowRef& out) const
{
    ZuViewRef first = ViewAt(0);
    if (first.IsInvalid())
        return false;
    out = first->RetWindow();
    return out.IsValid();
}

bool ZuSpringBand::ResetFromModel()
{
    if (CountViews() == 0 || !IsSound())
        return false;
    ZuViewRef frame = ViewAt(0)->RetParent();
    if (frame.IsInvalid())
        return false;
    double px = 0, py = 0, pw = 0, ph = 0;
    if (!frame->IsKindOf(ZuWindowRef::RetRuntime()))
        frame->GetOrigin(px, py);
    frame->GetSize(pw, ph);
    double end = is_vertical ? py : px;
    unsigned n = CountViews();
    for (unsigned i = 0; i < n; ++i) {
        ZuViewRef v = ViewAt(i);
        double vx = 0, vy = 0, vw = 0, vh = 0, mw = 0, mh = 0;
        v->GetOrigin(vx, vy);
        v->GetSize(vw, vh);
        v->GetMinSize(mw, mh);
        double at = is_vertical ? vy : vx, len = is_vertical ? vh : vw;
        double min = is_vertical ? mh : mw;
        double gap = at - end;
        ZuSpringRef before = SpringAt(2 * i), own = SpringAt(2 * i + 1);
        if (before->FindSlope(1) == 0)
            before->Reset(gap, 0);
        else
            before->Reset(0, gap);
        if (own->FindSlope(1) == 0)
            own->Reset(len, 0);
        else
            own->Reset(min, len - min);
        end = at + len - 1;
    }
    double trailing = (is_vertical ? py + ph : px + pw) - end;
    ZuSpringRef last = SpringAt(2 * n);
    if (last->FindSlope(1) == 0)
        last->Reset(trailing, 0);
    else
        last->Reset(0, trailing);
    meta_valid = false;
    return true;
}

bool ZuSpringBand::GetNthView(unsigned index, ZuViewRef& out) const
{
    if (index >= CountViews()) {
        out = ZuViewRef();
        return false;
    }
    out = ViewAt(index);
    return true;
}

bool ZuSpringBand::GetNthSpring(unsigned index, ZuSpringRef& out) const
{
    if (index >= CountSprings()) {
        out = ZuSpringRef();
        return false;
    }
    out = SpringAt(index);
    return true;
}

bool ZuSpringBand::FindView(const ZuViewRef& v, unsigned& index) const
{
    index = 0;
    for (unsigned i = 0, n = CountViews(); i < n; ++i) {
        if (ZuArrayRef(view)[i] == v) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuSpringBand::FindView(const ZuViewRef& v) const
{
    unsigned index = 0;
    return FindView(v, index);
}

bool ZuSpringBand::ReplaceView(const ZuViewRef& old_view, const ZuViewRef& new_view)
{
    for (unsigned i = 0, n = CountViews(); i < n; ++i)
        if (ZuArrayRef(view)[i] == old_view)
            view[i] = new_view;
    return true;
}

bool ZuSpringBand::FindSpring(unsigned index, unsigned offset, ZuSpringRef& out) const
{
    out = ZuSpringRef();
    if (index >= CountViews())
        return false;
    out = SpringAt(2 * index + offset);
    return out.IsValid();
}

bool ZuSpringBand::FindSpring(const ZuViewRef& v, unsigned offset, ZuSpringRef& out) const
{
    unsigned index = 0;
    if (!FindView(v, index)) {
        out = ZuSpringRef();
        return false;
    }
    return FindSpring(index, offset, out);
}

bool ZuSpringBand::FindSpringBeforeView(const ZuViewRef& v, ZuSpringRef& out) const
{
    return FindSpring(v, 0, out);
}
bool ZuSpringBand::FindSpringBeforeView(unsigned index, ZuSpringRef& out) const
{
    return FindSpring(index, 0, out);
}
bool ZuSpringBand::FindSpringOfView(const ZuViewRef& v, ZuSpringRef& out) const
{
    return FindSpring(v, 1, out);
}
bool ZuSpringBand::FindSpringOfView(unsigned index, ZuSpringRef& out) const
{
    return FindSpring(index, 1, out);
}
bool ZuSpringBand::FindSpringAfterView(const ZuViewRef& v, ZuSpringRef& out) const
{
    return FindSpring(v, 2, out);
}
bool ZuSpringBand::FindSpringAfterView(unsigned index, ZuSpringRef& out) const
{
    return FindSpring(index, 2, out);
}

void ZuSpringBand::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << BandRecord() << ZuStorageSync::begin;
    s->StoreBool(is_vertical);
    s->StoreObject(view);
    s->StoreObject(spring);
    s << ZuStorageSync::end;
}

void ZuSpringBand::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    is_vertical = s->RestoreBool(false);
    ZuObjectRef v, sp;
    s->RestoreObject(v, ZuArrayRef::RetRuntime());
    s->RestoreObject(sp, ZuArrayRef::RetRuntime());
    s >> ZuStorageSync::end;
    // Anything but an array stands for no array; a missing spring array is
    // an empty one, and the view array is made again when it is missing.
    bool v_ok = v.IsValid() && v->IsKindOf(ZuArrayRef::RetRuntime());
    bool sp_ok = sp.IsValid() && sp->IsKindOf(ZuArrayRef::RetRuntime());
    view = v_ok ? ZuArrayRef(v) : NewArray();
    spring = sp_ok ? ZuArrayRef(sp) : ZuArrayRef();
    meta_valid = false;
}
