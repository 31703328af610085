#include "si/viewprovider.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/target.h"

ZU_IMPLEMENT_CLASS(ZuViewProvider, ZU_SRC_FILE, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuViewProvider, ZuiContainer)

ZuAtomRef ZuViewProvider::notify_update_requested;
ZU_EXPORT_NOTIFY(ZuViewProvider, update_requested, "notify_update_requested",
                 &ZuViewProvider::notify_update_requested)

static Zuvi_TargetExport zuvi_provider_flush(
    [](ZuObject* o) -> bool { return static_cast<ZuViewProvider*>(o)->FlushUnlockedCacheLines(); },
    "FlushUnlockedCacheLines", ZuViewProviderRef::RetRuntime());
static Zuvi_TargetExport zuvi_provider_source_change(
    [](ZuObject* o) -> bool { return static_cast<ZuViewProvider*>(o)->NotifyDataSourceChange(); },
    "NotifyDataSourceChange", ZuViewProviderRef::RetRuntime());

namespace {

const unsigned kNone = 0xFFFFFFFFu;

// Interface files give the number of cache lines and of attributes; beyond
// these a stored number is no real setting and would only claim memory.
const unsigned kMaxStoredLines = 65536;
const unsigned kMaxStoredAttributes = 1024;

ZuStorageSync& ProviderRecord()
{
    static ZuStorageSync record(
        "<ZuViewProvider source architect observers num_cache_lines num_attributes>");
    return record;
}

template <class R>
R AsKind(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(R::RetRuntime()) ? R(o) : R();
}

ZuiContainer* ContainerOf(const ZuObjectRef& o)
{
    ZuObject* obj = o.Resolve();
    return obj != nullptr
               ? static_cast<ZuiContainer*>(obj->CastToInterface(&ZuiContainer::interface))
               : nullptr;
}

} // namespace

ZuViewProvider::~ZuViewProvider()
{
    InvalidateCache();
    InvalidateSource();
    ClearCache();
}

// ---------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------

bool ZuViewProvider::TablesSized() const
{
    return line_used.RetCount() == num_cache_lines && line_locks.RetCount() == num_cache_lines &&
           line_index.RetCount() == num_cache_lines;
}

void ZuViewProvider::SizeTables(unsigned lines)
{
    const unsigned old = line_index.RetCount();
    line_used.Resize(lines);
    line_locks.Resize(lines);
    line_index.Resize(lines);
    for (unsigned l = old; l < lines; ++l)
        line_index.At(l) = kNone;
    if (views.IsInvalid())
        views = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    views->SetSize(lines);
}

ZuProviderViewRef ZuViewProvider::LineView(unsigned line) const
{
    if (views.IsInvalid() || line >= views->TotalCount())
        return ZuProviderViewRef();
    ZuObjectRef v;
    views->Get(line, v);
    return AsKind<ZuProviderViewRef>(v);
}

void ZuViewProvider::SetLineView(unsigned line, const ZuProviderViewRef& view)
{
    if (views.IsInvalid())
        views = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (line >= views->TotalCount())
        views->SetSize(line + 1);
    views->Access(line) = view;
}

// The line of an item of a valid source, kNone for none.
unsigned ZuViewProvider::LineOf(unsigned index) const
{
    if (!is_source_valid || index >= index_to_line.RetCount())
        return kNone;
    return index_to_line.At(index);
}

// ---------------------------------------------------------------------------
// Source and cache bookkeeping
// ---------------------------------------------------------------------------

void ZuViewProvider::ValidateSource()
{
    if (is_source_valid || container == nullptr)
        return;
    item_count = container->TotalCount();
    index_to_line.Resize(item_count);
    for (unsigned i = 0; i < item_count; ++i)
        index_to_line.At(i) = kNone;
    is_source_valid = true;
}

void ZuViewProvider::InvalidateSource()
{
    if (!is_source_valid)
        return;
    is_source_valid = false;
    item_count = 0;
    index_to_line.Resize(0);
    for (unsigned l = 0; l < num_cache_lines; ++l)
        DeleteCacheLine(l, true);
}

void ZuViewProvider::ValidateCache()
{
    if (is_cache_valid || num_cache_lines == 0 || num_attributes == 0)
        return;
    SizeTables(num_cache_lines);
    is_cache_valid = true;
}

void ZuViewProvider::InvalidateCache()
{
    last_touched = kNone;
    if (!is_cache_valid)
        return;
    is_cache_valid = false;
    for (unsigned l = 0; l < line_locks.RetCount(); ++l) {
        ZuProviderViewRef v = LineView(l);
        if (line_locks.At(l) == 0 || v.IsInvalid())
            continue;
        v->DiscardContents();
        if (model.IsValid())
            v->TakeModelLook(*model.Resolve());
    }
}

void ZuViewProvider::UpdateCache()
{
    ValidateSource();
    ValidateCache();
    for (unsigned l = 0; l < line_used.RetCount(); ++l)
        if (line_used.At(l))
            AdvertiseUpdate(LineView(l));
}

void ZuViewProvider::ClearCache()
{
    if (line_used.RetCount() == 0)
        return;
    for (unsigned l = 0; l < line_used.RetCount(); ++l)
        DeleteCacheLine(l, true);
    line_used.Resize(0);
    line_locks.Resize(0);
    line_index.Resize(0);
}

unsigned ZuViewProvider::NewCacheLine(unsigned index)
{
    unsigned line = kNone;
    for (unsigned l = 0; l < num_cache_lines && line == kNone; ++l)
        if (!line_used.At(l))
            line = l;
    for (unsigned l = 0; l < num_cache_lines && line == kNone; ++l)
        if (line_locks.At(l) == 0 && DeleteCacheLine(l, false))
            line = l;
    if (line == kNone) {
        const unsigned n = num_cache_lines;
        num_cache_lines = n + n / 16 + 10;
        SizeTables(num_cache_lines);
        line = n;
    }
    line_used.At(line) = true;
    line_locks.At(line) = 0;
    line_index.At(line) = index;
    if (is_source_valid && index < index_to_line.RetCount())
        index_to_line.At(index) = line;
    return line;
}

bool ZuViewProvider::DeleteCacheLine(unsigned line, bool force)
{
    if (line >= num_cache_lines || line >= line_used.RetCount() || !line_used.At(line))
        return false;
    const unsigned locks = line_locks.At(line);
    if (locks != 0 && !force)
        return false;
    ZuProviderViewRef v = LineView(line);
    if (v.IsValid()) {
        SetLineView(line, ZuProviderViewRef());
        v->SetParent(ZuViewNull);
        v->Delete();
    }
    const unsigned index = line_index.At(line);
    if (is_source_valid && index < index_to_line.RetCount())
        index_to_line.At(index) = kNone;
    if (locks != 0)
        --locked_lines;
    line_used.At(line) = false;
    line_locks.At(line) = 0;
    line_index.At(line) = kNone;
    return true;
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

bool ZuViewProvider::Initialise(const ZuObjectRef& s, const ZuViewArchitectRef& a, unsigned lines,
                                unsigned attributes)
{
    model = ZuNew<ZuProviderView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    const bool source_ok = SetSource(s);
    const bool architect_ok = SetArchitect(a);
    const bool lines_ok = SetTotalCacheLines(lines);
    const bool attributes_ok = SetTotalAttributes(attributes);
    return source_ok && architect_ok && lines_ok && attributes_ok;
}

bool ZuViewProvider::SetSource(const ZuObjectRef& s)
{
    if (s == source)
        return container != nullptr;
    source = s;
    container = ContainerOf(source);
    InvalidateCache();
    InvalidateSource();
    return true;
}

bool ZuViewProvider::SetArchitect(const ZuViewArchitectRef& a)
{
    architect = a;
    InvalidateCache();
    return true;
}

bool ZuViewProvider::SetProviderViewModel(const ZuProviderViewRef& m)
{
    if (m.IsInvalid())
        return false;
    model = m;
    InvalidateCache();
    return true;
}

bool ZuViewProvider::SetSelectCon(const ZuSelectConRef& controller)
{
    if (select_con.IsValid())
        select_con->SetProvider(ZuObjectNull);
    select_con = controller;
    if (select_con.IsValid())
        select_con->SetProvider(ZuObjectRef(this));
    return true;
}

bool ZuViewProvider::SetTotalCacheLines(unsigned n)
{
    if (n == num_cache_lines)
        return true;
    ClearCache();
    num_cache_lines = n;
    // The tables were emptied: they are sized again to the new number of
    // lines before a line is used.
    is_cache_valid = false;
    return true;
}

bool ZuViewProvider::SetTotalAttributes(unsigned n)
{
    if (n == num_attributes)
        return true;
    InvalidateCache();
    num_attributes = n;
    return true;
}

bool ZuViewProvider::AddViewObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                     const ZuAtomRef& method)
{
    ZuTargetRef target = ZuNew<ZuTarget>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    target->DefineObserver(observer, event, method);
    if (observers.IsInvalid())
        observers = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    observers->Insert(ZuObjectRef(target));
    return true;
}

bool ZuViewProvider::RemoveViewObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                        const ZuAtomRef& method)
{
    if (observers.IsInvalid())
        return false;
    for (unsigned i = 0; i < observers->TotalCount(); ++i) {
        ZuObjectRef item;
        observers->Get(i, item);
        ZuTargetRef t = AsKind<ZuTargetRef>(item);
        if (t.IsValid() && t->RetObject() == observer && t->RetEvent() == event &&
            t->RetName() == method)
            return observers->Remove(i);
    }
    return false;
}

bool ZuViewProvider::FlushUnlockedCacheLines()
{
    if (!is_cache_valid)
        return true;
    for (unsigned l = 0; l < line_used.RetCount(); ++l)
        if (line_used.At(l) && line_locks.At(l) == 0)
            DeleteCacheLine(l, false);
    return true;
}

const ZuObjectRef& ZuViewProvider::RetSource() const
{
    return source;
}

ZuiContainer* ZuViewProvider::RetSourceInterface() const
{
    return container;
}

const ZuViewArchitectRef& ZuViewProvider::RetArchitect() const
{
    return architect;
}

const ZuProviderViewRef& ZuViewProvider::RetProviderViewModel() const
{
    return model;
}

const ZuSelectConRef& ZuViewProvider::RetSelectCon() const
{
    return select_con;
}

bool ZuViewProvider::GetProviderViewModel(ZuProviderViewRef& out) const
{
    out = model;
    return out.IsValid();
}

// ---------------------------------------------------------------------------
// Locks
// ---------------------------------------------------------------------------

bool ZuViewProvider::LockView(unsigned index, const ZuRect& box)
{
    ValidateSource();
    ValidateCache();
    if (index >= item_count)
        return false;
    // Lines are used only while the tables have one entry each (a cache of
    // lines but no attributes is never sized); a view is made only from a
    // model (a restored provider has none until one is set).
    if (!TablesSized())
        return false;
    unsigned line = LineOf(index);
    const bool has_view = line < num_cache_lines && LineView(line).IsValid();
    if (!has_view && model.IsInvalid())
        return false;
    if (line == kNone)
        line = NewCacheLine(index);
    if (line >= num_cache_lines)
        return false;
    const unsigned was = line_locks.At(line)++;
    if (was == 0)
        ++locked_lines;
    ZuProviderViewRef view = LineView(line);
    if (view.IsValid()) {
        if (!view->SetBoxAndCheckSize(box))
            AdvertiseNewSize(view);
        else if (was == 0)
            AdvertiseNewLock(view);
        return true;
    }
    view = AsKind<ZuProviderViewRef>(model->Clone());
    if (view.IsInvalid()) {
        line_locks.At(line) = 0;
        --locked_lines;
        DeleteCacheLine(line, false);
        return false;
    }
    SetLineView(line, view);
    view->Initialise(ZuViewProviderRef(this), index, num_attributes, box);
    AdvertiseNewView(view, index);
    return true;
}

bool ZuViewProvider::LockView(unsigned index)
{
    ZuRect box;
    return GetViewBox(index, box) && LockView(index, box);
}

bool ZuViewProvider::UnlockView(unsigned index)
{
    ValidateSource();
    ValidateCache();
    if (index >= item_count)
        return false;
    const unsigned line = LineOf(index);
    if (line >= line_locks.RetCount() || line_locks.At(line) == 0)
        return false;
    if (--line_locks.At(line) == 0)
        --locked_lines;
    return true;
}

bool ZuViewProvider::UnlockAllViews()
{
    if (locked_lines == 0)
        return true;
    for (unsigned l = 0; l < line_locks.RetCount(); ++l) {
        if (line_locks.At(l) == 0)
            continue;
        line_locks.At(l) = 0;
        --locked_lines;
        ZuProviderViewRef v = LineView(l);
        if (v.IsValid())
            v->SetParent(ZuViewNull);
    }
    return true;
}

bool ZuViewProvider::GetView(unsigned index, ZuViewRef& out)
{
    ValidateSource();
    ValidateCache();
    const unsigned line = LineOf(index);
    if (line >= line_locks.RetCount() || line_locks.At(line) == 0)
        return false;
    ZuProviderViewRef v = LineView(line);
    if (v.IsInvalid())
        return false;
    out = v;
    return true;
}

bool ZuViewProvider::GetLockedView(unsigned n, ZuViewRef& out)
{
    if (n >= locked_lines)
        return false;
    ValidateSource();
    ValidateCache();
    unsigned seen = 0;
    for (unsigned l = 0; l < line_locks.RetCount(); ++l) {
        if (line_locks.At(l) == 0)
            continue;
        if (seen++ == n) {
            ZuProviderViewRef v = LineView(l);
            if (v.IsInvalid())
                return false;
            out = v;
            return true;
        }
    }
    return false;
}

bool ZuViewProvider::GetViewBox(unsigned index, ZuRect& out)
{
    if (container == nullptr)
        return false;
    ValidateSource();
    ValidateCache();
    if (index >= item_count)
        return false;
    const unsigned line = LineOf(index);
    if (line < line_locks.RetCount() && line_locks.At(line) != 0) {
        ZuProviderViewRef v = LineView(line);
        if (v.IsValid())
            return v->GetBox(out);
    }
    ZuObjectRef item;
    if (architect.IsInvalid() || !container->Get(index, item))
        return false;
    double w = 0, h = 0;
    if (!architect->GetViewSize(item, w, h))
        return false;
    out = ZuRect();
    out.SetOrigin(0, 0);
    out.SetSize(w, h);
    return true;
}

// ---------------------------------------------------------------------------
// Notifications
// ---------------------------------------------------------------------------

bool ZuViewProvider::NotifyDataSourceChange()
{
    InvalidateCache();
    if (container != nullptr && container->TotalCount() != item_count) {
        InvalidateSource();
        ValidateSource();
    }
    UpdateCache();
    return true;
}

void ZuViewProvider::AdvertiseNewView(const ZuProviderViewRef& view, unsigned index)
{
    if (view.IsInvalid())
        return;
    if (observers.IsValid())
        for (unsigned i = 0; i < observers->TotalCount(); ++i) {
            ZuObjectRef item;
            observers->Get(i, item);
            ZuTargetRef t = AsKind<ZuTargetRef>(item);
            if (t.IsValid())
                t->DoAttachObserver(view, index);
        }
    AdvertiseUpdate(view);
    if (select_con.IsValid() && select_con->TestActive(index))
        select_con->SetActive(view, index, false);
}

void ZuViewProvider::AdvertiseNewSize(const ZuProviderViewRef& view)
{
    if (view.IsValid())
        AdvertiseUpdate(view);
}

void ZuViewProvider::AdvertiseNewLock(const ZuProviderViewRef&) {}

void ZuViewProvider::AdvertiseUpdate(const ZuProviderViewRef& view)
{
    ZuObjectRef item;
    if (view.IsValid() && container != nullptr && container->Get(view->RetIndex(), item)) {
        view->RemoveAllChildren(true);
        if (architect.IsValid())
            architect->CreateView(item, view);
    }
    last_update_request = view;
    QuickReport(notify_update_requested, 0);
}

bool ZuViewProvider::GetLastUpdateRequest(ZuObjectRef& s, ZuProviderViewRef& view) const
{
    if (last_update_request.IsInvalid())
        return false;
    s = source;
    view = last_update_request;
    return true;
}

bool ZuViewProvider::NotifyViewUpdate(unsigned index, unsigned attribute, const ZuViewRef& view)
{
    if (index >= item_count || attribute >= num_attributes)
        return false;
    const unsigned line = LineOf(index);
    if (line >= num_cache_lines || line >= line_used.RetCount() || !line_used.At(line))
        return false;
    ZuProviderViewRef v = LineView(line);
    if (v.IsValid() && v == last_update_request)
        last_update_request = ZuProviderViewRef();
    return v.IsValid() && v->SetContents(attribute, view);
}

bool ZuViewProvider::NotifyViewAction(const ZuProviderViewRef& view, ZuCtrlActionType action)
{
    if (view.IsValid())
        last_touched = view->RetIndex();
    if (select_con.IsValid())
        select_con->NotifyControlAction(view, action);
    return true;
}

bool ZuViewProvider::GetLastTouchedView(unsigned& index) const
{
    if (last_touched == kNone)
        return false;
    index = last_touched;
    return true;
}

// ---------------------------------------------------------------------------
// Container, life, storage
// ---------------------------------------------------------------------------

unsigned int ZuViewProvider::TotalCount() const
{
    return item_count;
}

bool ZuViewProvider::Get(unsigned int index, ZuObjectRef& out)
{
    ZuViewRef v;
    if (!GetView(index, v))
        return false;
    out = v;
    return true;
}

void ZuViewProvider::Delete()
{
    InvalidateCache();
    InvalidateSource();
    ClearCache();
    if (observers.IsValid())
        observers->RemoveAll();
    ZuObject::Delete();
}

void ZuViewProvider::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ProviderRecord() << ZuStorageSync::begin;
    s->StoreObject(source);
    s->StoreObject(architect);
    s->StoreObject(observers);
    s->StoreCard(num_cache_lines);
    s->StoreCard(num_attributes);
    s << ZuStorageSync::end;
}

void ZuViewProvider::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreObject(source, ZuObjectRef::RetRuntime());
    ZuObjectRef read;
    s->RestoreObject(read, ZuViewArchitectRef::RetRuntime());
    architect = AsKind<ZuViewArchitectRef>(read);
    s->RestoreObject(read, ZuArrayRef::RetRuntime());
    observers = AsKind<ZuArrayRef>(read);
    const unsigned long long lines = s->RestoreCard(num_cache_lines);
    const unsigned long long attributes = s->RestoreCard(num_attributes);
    s >> ZuStorageSync::end;
    num_cache_lines = lines > kMaxStoredLines ? kMaxStoredLines : static_cast<unsigned>(lines);
    num_attributes = attributes > kMaxStoredAttributes ? kMaxStoredAttributes
                                                       : static_cast<unsigned>(attributes);
    container = ContainerOf(source);
    InvalidateCache();
    InvalidateSource();
}
