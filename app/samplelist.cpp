#include "app/samplelist.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CSampleList, ZuObject, "app/samplelist", ZU_CLASS_PLAIN)

CSampleList::CSampleList()
{
    nodes = ZuArrayRef(ZuObjectRef(ZuClassFactory::New(ZuArrayRef::RetRuntime(), nullptr, __LINE__, ZU_SRC_FILE)));
}

CSampleList::~CSampleList() {}

void CSampleList::Delete()
{
    if (nodes.IsValid()) {
        // The list owns its samples.
        ZuArrayRef const n = nodes;
        nodes = ZuArrayRef();
        unsigned const count = n->TotalCount();
        for (unsigned i = 0; i < count; ++i) {
            ZuObjectRef const e = n[i];
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
    CSampleNodeRef const node(ZuObjectRef(ZuClassFactory::New(CSampleNodeRef::RetRuntime(), nullptr, __LINE__, ZU_SRC_FILE)));
    if (!nodes->Insert(unsigned(index), 1u))
        return false;
    nodes[unsigned(index)] = node;
    return true;
}

bool CSampleList::Swap(int i, int j)
{
    if (!Has(i) || !Has(j))
        return false;
    ZuObjectRef const a = nodes[unsigned(i)];
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
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() && n->GetName(name);
}

bool CSampleList::SetName(int index, ZuStringRef const& name)
{
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() && n->SetName(name);
}

bool CSampleList::SetDef(int index, int code, CDefRef const& def)
{
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() && n->SetDef(code, def);
}

int CSampleList::GetKind(int index) const
{
    if (!Has(index))
        return -1;
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() ? n->GetKind() : 0;
}

bool CSampleList::SetKind(int index, int kind)
{
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() && n->SetKind(kind);
}

ZuRuntimeRef& CSampleList::GetObject(int index)
{
    CSampleNodeRef const n = GetNode(index);
    if (n.IsValid())
        return n->GetObject();
    static ZuRuntimeRef none;
    none = ZuRuntimeRef();
    return none;
}

bool CSampleList::SetObject(int index, ZuRuntimeRef const& rt)
{
    CSampleNodeRef const n = GetNode(index);
    return n.IsValid() && n->SetObject(rt);
}

void CSampleList::StoreInstance(ZuStorageRef const& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << ZuArrayRef(nodes) << current << ZuStorageSync::end;
}

void CSampleList::RestoreInstance(ZuStorageRef const& s)
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
    unsigned const n = nodes->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        ZuObjectRef const& e = nodes[i];
        if (e.IsValid() && !e->IsKindOf(CSampleNodeRef::RetRuntime()))
            Zuvi_StorageFormat::BadData("CSampleList: stored samples foreign", __LINE__);
    }
}
