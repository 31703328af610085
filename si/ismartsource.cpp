#include "si/ismartsource.h"

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/string.h"

namespace {

ZuStorageSync
    smart_source_record("<ZuiSmartSource query_roots query_names is_cache_volatile max_num num>");

ZuArray* NewArray()
{
    return static_cast<ZuArray*>(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

// The text of a name element: an atom's text, a string itself, another
// text's string; an empty handle when the element is no text.
ZuStringRef TextOf(const ZuObjectRef& name)
{
    ZuTextRef text(name);
    if (text.IsInvalid())
        return ZuStringRef();
    return text->RetString();
}

bool IsPath(const ZuStringRef& text)
{
    unsigned int pos = 0;
    return text.IsValid() && text->Find(static_cast<unsigned short>('.'), pos);
}

// The object a dotted path leads to from the root, and the path's last
// name; false when a step fails.
bool WalkPath(const ZuObjectRef& root, const ZuStringRef& path, ZuObjectRef& object,
              ZuAtomRef& last)
{
    ZuStringRef rest("");
    rest->SetString(path);
    object = root;
    if (!ZuObject::ObjectParsePath(object, rest))
        return false;
    last = ZuAtomRef(ZuObjectRef(rest));
    return last.IsValid();
}

} // namespace

ZuiSmartSource::ZuiSmartSource()
    : is_cache_valid(false), is_cache_volatile(false), max_num(0), num(0)
{
    // Instances built for the census of embedded handles come before the
    // factory is ready: they get no arrays.
    if (ZuClassFactory::IsInitOk()) {
        query_roots = NewArray();
        query_names = NewArray();
        values = NewArray();
    }
}

ZuiSmartSource::~ZuiSmartSource()
{
    Cleanup();
}

void ZuiSmartSource::Cleanup()
{
    if (query_roots.IsValid())
        query_roots->SetSize(0);
    if (query_names.IsValid())
        query_names->SetSize(0);
    if (values.IsValid())
        values->SetSize(0);
}

void ZuiSmartSource::StoreInstance(const ZuStorageRef& storage)
{
    storage << smart_source_record << ZuStorageSync::begin;
    storage << ZuObjectRef(query_roots) << ZuObjectRef(query_names);
    storage->StoreBool(is_cache_volatile);
    storage->StoreCard(max_num);
    storage->StoreCard(num);
    storage << ZuStorageSync::end;
}

void ZuiSmartSource::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    // Read as arrays: a stored reference of another class is bad data.
    ZuObjectRef roots, names;
    storage->RestoreObject(roots, ZuArrayRef::RetRuntime());
    storage->RestoreObject(names, ZuArrayRef::RetRuntime());
    query_roots = ZuArrayRef(roots);
    query_names = ZuArrayRef(names);
    is_cache_volatile = storage->RestoreBool(is_cache_volatile);
    max_num = static_cast<unsigned int>(storage->RestoreCard(max_num));
    num = static_cast<unsigned int>(storage->RestoreCard(num));
    storage >> ZuStorageSync::end;
    is_cache_valid = false;
    // A stream may lack the arrays: the source then starts with empty ones
    // (their contents arrive after this record; indexes past their end read
    // as empty).
    if (query_roots.IsInvalid())
        query_roots = NewArray();
    if (query_names.IsInvalid())
        query_names = NewArray();
    if (values.IsInvalid())
        values = NewArray();
}

bool ZuiSmartSource::InitValue(unsigned int index, const ZuObjectRef& root, const ZuObjectRef& name)
{
    if (max_num != 0 && index >= max_num)
        return false;
    if (query_roots.IsInvalid() || query_names.IsInvalid())
        return false;
    if (index >= num) {
        num = index + 1;
        query_roots->SetSize(num);
        query_names->SetSize(num);
    }
    is_cache_valid = false;
    query_roots[index] = root;
    query_names[index] = name;
    return true;
}

bool ZuiSmartSource::InitValueByName(unsigned int index, const ZuObjectRef& root,
                                     const ZuAtomRef& name)
{
    return InitValue(index, root, name);
}

bool ZuiSmartSource::InitValueByPath(unsigned int index, const ZuObjectRef& root,
                                     const ZuStringRef& path)
{
    return InitValue(index, root, path);
}

void ZuiSmartSource::UpdateInternal()
{
    if (is_cache_valid && !is_cache_volatile)
        return;
    if (values.IsInvalid() || query_roots.IsInvalid() || query_names.IsInvalid())
        return;
    values->SetSize(num);
    is_cache_valid = true;
    for (unsigned int i = 0; i < num; ++i) {
        ZuObjectRef root = query_roots[i];
        if (root.IsInvalid())
            continue;
        ZuObjectRef name = query_names[i];
        ZuValueRef value;
        if (name.IsInvalid()) {
            // The root itself when it is a value, else a new value holding it.
            if (root->IsKindOf(ZuValueRef::RetRuntime()))
                value = static_cast<ZuValue*>(root.RetRawObject());
            else
                value = ZuValueRef(root);
        } else {
            ZuStringRef text = TextOf(name);
            ZuObjectRef object;
            ZuAtomRef last;
            if (IsPath(text)) {
                if (WalkPath(root, text, object, last))
                    object->QueryData(last, value);
            } else if (text.IsValid()) {
                root->QueryData(ZuAtomRef(ZuObjectRef(text)), value);
            }
        }
        values[i] = value;
    }
    DoUpdate();
}

void ZuiSmartSource::DoUpdate() {}

bool ZuiSmartSource::SetNthValue(unsigned int index, const ZuValueRef& value)
{
    if (index >= num || values.IsInvalid())
        return false;
    values->SetSize(num);
    values[index] = value;
    is_cache_valid = false;
    ZuObjectRef root = query_roots[index];
    ZuObjectRef name = query_names[index];
    if (root.IsValid() && name.IsValid()) {
        ZuStringRef text = TextOf(name);
        ZuObjectRef object;
        ZuAtomRef last;
        if (IsPath(text)) {
            if (WalkPath(root, text, object, last))
                object->DefineData(last, value);
        } else if (text.IsValid()) {
            root->DefineData(ZuAtomRef(ZuObjectRef(text)), value);
        }
    } else {
        query_roots[index] = value;
    }
    return true;
}

bool ZuiSmartSource::GetNthValue(unsigned int index, ZuValueRef& value) const
{
    if (index >= num)
        return false;
    const_cast<ZuiSmartSource*>(this)->UpdateInternal();
    if (values.IsValid() && index < values->TotalCount())
        value = static_cast<ZuValueRef>(values[index]);
    else
        value = ZuValueRef();
    return true;
}

ZuValueRef ZuiSmartSource::RetCachedValue(unsigned int index) const
{
    if (values.IsInvalid() || index >= values->TotalCount())
        return ZuValueRef();
    return static_cast<ZuValueRef>(values[index]);
}

void ZuiSmartSource::UpdateCache()
{
    if (is_cache_valid)
        is_cache_valid = false;
    UpdateInternal();
}

void ZuiSmartSource::FlushCache()
{
    is_cache_valid = false;
}

void ZuiSmartSource::EnableCache(bool enable)
{
    is_cache_volatile = !enable;
}
