#include "app/samplelist.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CSampleList, "app/samplelist", ZU_CLASS_PLAIN)

CSampleList::CSampleList()
{
    nodes = ZuNew<ZuArray>();
}

CSampleList::~CSampleList() {}

void CSampleList::Delete()
{
    if (nodes.IsValid()) {
        // The list owns its samples.
        const ZuArrayRef n = nodes;
        nodes = ZuArrayRef();
        const unsigned count = n->TotalCount();
        for (unsigned i = 0; i < count; ++i) {
            const ZuObjectRef e = n[i];
            if (e.IsValid() && e->IsKindOf(CSampleNodeRef::RetRuntime()))
                e->Delete();
        }
        n->Delete();
    }
    ZuObject::Delete();
}

int CSampleList::Count() const
{
    return nodes.IsValid() ? int(nodes->TotalCount()) : 0;
}

bool CSampleList::Has(int index) const
{
    return index >= 0 && index < Count();
}

bool CSampleList::Remove(int index)
{
    if (!Has(index))
        return false;
    nodes->Remove(unsigned(index), 1u);
    return true;
}

bool CSampleList::InsertNew(int index)
{
    if (index < 0 || index > Count())
        return false;
    const CSampleNodeRef node = ZuNew<CSampleNode>();
    if (!nodes->Insert(unsigned(index), 1u))
        return false;
    nodes[unsigned(index)] = node;
    return true;
}

bool CSampleList::Swap(int i, int j)
{
    if (!Has(i) || !Has(j))
        return false;
    const ZuObjectRef a = nodes[unsigned(i)];
    nodes[unsigned(i)] = nodes[unsigned(j)];
    nodes[unsigned(j)] = a;
    return true;
}

bool CSampleList::SetCurrent(int index)
{
    current = index;
    return true;
}

CSampleNodeRef CSampleList::GetNode(int index) const
{
    if (!Has(index))
        return CSampleNodeRef();
    return CSampleNodeRef(nodes[unsigned(index)]);
}

bool CSampleList::GetName(int index, ZuStringRef& name) const
{
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() && n->GetName(name);
}

bool CSampleList::SetName(int index, const ZuStringRef& name)
{
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() && n->SetName(name);
}

bool CSampleList::SetDef(int index, int code, const CDefRef& def)
{
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() && n->SetDef(code, def);
}

int CSampleList::GetKind(int index) const
{
    if (!Has(index))
        return -1;
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() ? n->GetKind() : 0;
}

bool CSampleList::SetKind(int index, int kind)
{
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() && n->SetKind(kind);
}

ZuRuntimeRef& CSampleList::GetObject(int index)
{
    const CSampleNodeRef n = GetNode(index);
    if (n.IsValid())
        return n->GetObject();
    static ZuRuntimeRef none;
    none = ZuRuntimeRef();
    return none;
}

bool CSampleList::SetObject(int index, const ZuRuntimeRef& rt)
{
    const CSampleNodeRef n = GetNode(index);
    return n.IsValid() && n->SetObject(rt);
}

void CSampleList::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << ZuArrayRef(nodes) << current << ZuStorageSync::end;
}

void CSampleList::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    ZuArrayRef array;
    s >> ZuStorageSync::begin >> array >> current >> ZuStorageSync::end;
    if (array.IsInvalid())
        Zuvi_StorageFormat::BadData("CSampleList: stored samples missing", __LINE__);
    nodes = array;
}

void CSampleList::Awake()
{
    ZuObject::Awake();
    // Samples only (empty slots aside): anything else would be taken for
    // one. The array's elements are read after the list.
    const unsigned n = nodes->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        const ZuObjectRef& e = nodes[i];
        if (e.IsValid() && !e->IsKindOf(CSampleNodeRef::RetRuntime()))
            Zuvi_StorageFormat::BadData("CSampleList: stored samples foreign", __LINE__);
    }
}
