#include "si/dictree.h"

#include "si/rtclass.h"

#include <set>
#include <string>
#include <vector>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/dictreeit.h"
#include "si/memzone.h"
#include "si/storage.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kRootLine = 53;      // the root dictionary
const unsigned kChildLine = 262;    // a child dictionary
const unsigned kIteratorLine = 134; // the iterator a tree makes
} // namespace

ZU_IMPLEMENT_CLASS(ZuDicTree, "si/dictree", ZU_CLASS_PLAIN)

namespace {

const char* const kFile = "si/dictree";

ZuStorageSync tree_record("<ZuDicTree separator root>");

// Nodes deeper than this are not walked: only a damaged stored tree (a node
// that holds one of its own ancestors) comes near it.
const unsigned kMaxDepth = 10000;

ZuListRef NewList(unsigned line)
{
    return ZuNew<ZuList>(Zuvi_app_zone, line, kFile);
}

} // namespace

ZuDicTree::ZuDicTree() : separator(':')
{
    root = ZuNew<ZuDict>(RetMemZone(), kRootLine, kFile);
    root->SetAttribute(Self(), ZuObjectNull);
}

ZuDicTree::~ZuDicTree()
{
    if (root.IsValid()) {
        root->RemoveAll();
        root->RemoveAttribute(Self(), 0);
    }
    // The leaves went with the root.
    num_element = 0;
}

ZuObjectRef ZuDicTree::Self() const
{
    return ZuObjectRef(static_cast<ZuObject*>(const_cast<ZuDicTree*>(this)));
}

bool ZuDicTree::IsSubTree(const ZuObjectRef& value) const
{
    if (value.IsInvalid() || !value->IsKindOf(ZuDictRef::RetRuntime()))
        return false;
    ZuObjectRef parent;
    return value->GetAttribute(Self(), parent, 0);
}

// ---------------------------------------------------------------- paths

bool ZuDicTree::FindRootDict(const ZuObjectRef& key, ZuObjectRef& rest, ZuDictRef& dict)
{
    const ZuObjectRef path = key;
    rest = path;
    dict = root;
    ZuiContainer* keys = nullptr;
    if (path.IsValid())
        keys = static_cast<ZuiContainer*>(path->CastToInterface(&ZuiContainer::interface));
    if (keys == nullptr)
        return true;
    const unsigned int n = keys->TotalCount();
    unsigned int i = 0;
    for (; i < n; i++) {
        ZuObjectRef k, sub;
        keys->Get(i, k);
        if (!dict->GetFromKey(k, sub, 0) || !IsSubTree(sub))
            break;
        dict = sub;
    }
    if (i == n) {
        rest = ZuObjectNull;
        return true;
    }
    if (n - i == 1) {
        ZuObjectRef k;
        keys->Get(i, k);
        rest = k;
        return true;
    }
    ZuListRef left = NewList(211);
    for (; i < n; i++) {
        ZuObjectRef k;
        keys->Get(i, k);
        left->PushTail(k);
    }
    rest = left;
    return false;
}

bool ZuDicTree::SplitTextPath(const char* text, ZuListRef& list)
{
    if (text == nullptr || *text == 0)
        return false;
    ZuListRef keys = NewList(625);
    std::string const copy(text);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= copy.size(); i++) {
        // Bytes compare as signed characters: separators above 127 never cut.
        if (i < copy.size() && int(static_cast<signed char>(copy[i])) != int(separator))
            continue;
        // An empty segment is the empty atom, which the library's atoms
        // give as the empty handle; a segment that no atom can hold (too
        // long) makes no usable path.
        ZuAtomRef atom(copy.substr(start, i - start).c_str());
        if (atom.IsInvalid() && i > start)
            return false;
        keys->PushTail(atom);
        start = i + 1;
    }
    list = keys;
    return true;
}

bool ZuDicTree::SetPathSeparator(unsigned short new_separator)
{
    separator = new_separator;
    return true;
}

unsigned short ZuDicTree::RetPathSeparator() const
{
    return separator;
}

bool ZuDicTree::InsertUsingPath(const char* path, const ZuObjectRef& value)
{
    ZuListRef list;
    if (!SplitTextPath(path, list))
        return false;
    return Insert(list, value);
}

bool ZuDicTree::GetFromPath(const char* path, ZuObjectRef& value)
{
    ZuListRef list;
    if (!SplitTextPath(path, list))
        return false;
    return GetFromKey(list, value, 0);
}

namespace {

std::string Characters(const ZuStringRef& path)
{
    const unsigned n = path->CharacterCount();
    std::string buffer(std::size_t(n) + 1, '\0');
    path->GetStringCopy(&buffer[0], n + 1);
    buffer.resize(n);
    return buffer;
}

} // namespace

bool ZuDicTree::InsertUsingPath(const ZuStringRef& path, const ZuObjectRef& value)
{
    if (path.IsInvalid())
        return false;
    return InsertUsingPath(Characters(path).c_str(), value);
}

bool ZuDicTree::GetFromPath(const ZuStringRef& path, ZuObjectRef& value)
{
    if (path.IsInvalid())
        return false;
    return GetFromPath(Characters(path).c_str(), value);
}

// ---------------------------------------------------------------- changes

bool ZuDicTree::Insert(const ZuObjectRef& key, const ZuObjectRef& value)
{
    ZuObjectRef rest;
    ZuDictRef node;
    if (!FindRootDict(key, rest, node)) {
        ZuListRef list(rest);
        // A path that passes through a plain value would hide the new node
        // behind it (lookups follow the first match): it is refused.
        ZuObjectRef first, existing;
        list->Get(0, first);
        if (node->GetFromKey(first, existing, 0))
            return false;
        while (list->TotalCount() >= 2) {
            ZuDictRef child = ZuNew<ZuDict>(RetMemZone(), kChildLine, kFile);
            ZuObjectRef k;
            list->PopHead(k);
            child->SetAttribute(Self(), node);
            node->Insert(k, child);
            node = child;
        }
        ZuObjectRef last;
        list->PopHead(last);
        node->Insert(last, value);
        num_element++;
        NotifyDataChange(true, false, false);
        return true;
    }
    if (rest.IsInvalid())
        return false;
    // A one-level key that names a node is a node as well.
    ZuObjectRef existing;
    if (node->GetFromKey(rest, existing, 0) && IsSubTree(existing))
        return false;
    if (node->Remove(rest, 0)) {
        if (num_element)
            num_element--;
        NotifyDataChange(false, true, false);
    }
    if (node->Insert(rest, value)) {
        num_element++;
        NotifyDataChange(true, false, false);
    }
    return true;
}

bool ZuDicTree::Remove(const ZuObjectRef& key, unsigned int occurrence)
{
    ZuObjectRef rest;
    ZuDictRef node;
    if (!FindRootDict(key, rest, node))
        return false;
    ZuDictRef named;
    if (rest.IsInvalid()) {
        named = node;
    } else {
        ZuObjectRef existing;
        if (node->GetFromKey(rest, existing, occurrence) && IsSubTree(existing))
            named = existing;
    }
    if (named.IsValid()) {
        ZuObjectRef parent;
        named->GetAttribute(Self(), parent, 0);
        if (parent.IsInvalid())
            return false;
        RemoveSubTree(named);
        // The parent's entry is found by identity: comparing the node with
        // the parent's other values by content may not be possible.
        ZuDictRef holder(parent);
        ZuObjectRef k, v;
        for (unsigned int i = 0; holder->Get(i, k, v); i++)
            if (v == named)
                return holder->Remove(i);
        return false;
    }
    if (!node->Remove(rest, occurrence))
        return false;
    if (num_element)
        num_element--;
    NotifyDataChange(false, true, false);
    return true;
}

void ZuDicTree::RemoveSubTree(const ZuDictRef& dict)
{
    ZuListRef work = NewList(358);
    work->PushTail(dict);
    ZuObjectRef popped;
    while (work->PopTail(popped)) {
        ZuDictRef node(popped);
        if (node.IsInvalid())
            continue;
        // Element by element: a repeated subtree is walked once, and a
        // repeated leaf counts all its repetitions in one step (a count
        // read from a file must not decide how long this takes).
        for (ZuDict::Element* e = node->head; e != nullptr; e = e->next) {
            if (IsSubTree(e->value)) {
                work->PushTail(e->value);
            } else {
                num_element = num_element > e->count ? num_element - e->count : 0;
                // Observers (only they) hear of every unit.
                unsigned int units = TestStatus(ZU_OBJECT_IS_CONNECTED) ? e->count : 1;
                for (; units > 0; --units)
                    NotifyDataChange(false, true, false);
            }
        }
        node->RemoveAll();
        node->RemoveAttribute(Self(), 0);
    }
}

void ZuDicTree::RemoveAll()
{
    RemoveSubTree(root);
    root->SetAttribute(Self(), ZuObjectNull);
    num_element = 0;
    NotifyDataChange(false, true, false);
}

// What a tree does not offer answers false and changes nothing.
bool ZuDicTree::Remove(unsigned int)
{
    return false;
}
bool ZuDicTree::Remove(const ZuObjectRef&, const ZuObjectRef&, unsigned int)
{
    return false;
}
bool ZuDicTree::RemoveValue(const ZuObjectRef&, unsigned int)
{
    return false;
}
bool ZuDicTree::GetFromValue(const ZuObjectRef&, ZuObjectRef&, unsigned int)
{
    return false;
}
bool ZuDicTree::Find(const ZuObjectRef&, const ZuObjectRef&, unsigned int&)
{
    return false;
}
bool ZuDicTree::LookForKey(const ZuObjectRef&)
{
    return false;
}
bool ZuDicTree::LookForValue(const ZuObjectRef&)
{
    return false;
}
void ZuDicTree::RemoveDuplicates() {}

// ---------------------------------------------------------------- reading

bool ZuDicTree::GetFromKey(const ZuObjectRef& key, ZuObjectRef& value, unsigned int occurrence)
{
    ZuObjectRef rest;
    ZuDictRef node;
    if (!FindRootDict(key, rest, node))
        return false;
    if (rest.IsValid())
        return node->GetFromKey(rest, value, occurrence);
    if (occurrence != 0)
        return false;
    value = node;
    return true;
}

bool ZuDicTree::Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value)
{
    if (index >= num_element)
        return false;
    ZuListRef path = NewList(506);
    ZuDictRef node;
    unsigned int local = 0;
    if (!FindSubTree(root, index, node, local, path))
        return false;
    ZuObjectRef k, v;
    if (!node->Get(local, k, v))
        return false;
    path->PushTail(k);
    key = path;
    value = v;
    return true;
}

bool ZuDicTree::FindSubTree(const ZuDictRef& dict, unsigned int index, ZuDictRef& found,
                            unsigned int& local_index, const ZuListRef& path)
{
    static thread_local unsigned depth = 0;
    struct Deeper {
        Deeper() { depth++; }
        ~Deeper() { depth--; }
    } deeper;
    ZuObjectRef k, v;
    for (unsigned int i = 0; depth < kMaxDepth && dict->Get(i, k, v); i++) {
        if (IsSubTree(v)) {
            if (path.IsValid())
                path->PushTail(k);
            if (FindSubTree(v, index, found, local_index, path))
                return true;
            if (path.IsValid()) {
                ZuObjectRef dropped;
                path->PopTail(dropped);
            }
            index = local_index;
        } else if (index == 0) {
            found = dict;
            local_index = i;
            return true;
        } else {
            index--;
        }
    }
    found = ZuDictNull;
    local_index = index;
    return false;
}

// ---------------------------------------------------------------- life

ZuIteratorRef ZuDicTree::NewIterator()
{
    ZuIteratorRef it(ZuNew<ZuDicTreeIterator>(Zuvi_app_zone, kIteratorLine, kFile));
    InsertIterator(it);
    it->First();
    return it;
}

void ZuDicTree::Delete()
{
    RemoveAll();
    ZuSet::Delete();
}

void ZuDicTree::StoreInstance(const ZuStorageRef& s)
{
    ZuSet::StoreInstance(s);
    s << tree_record << ZuStorageSync::begin;
    s->StoreCard(separator);
    s->StoreObject(root);
    s << ZuStorageSync::end;
}

void ZuDicTree::RestoreInstance(const ZuStorageRef& s)
{
    ZuSet::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> separator;
    ZuDictRef restored;
    s >> restored;
    s >> ZuStorageSync::end;
    if (restored.IsValid()) {
        root->RemoveAttribute(Self(), 0);
        root = restored;
    }
}

void ZuDicTree::Awake()
{
    ZuSet::Awake();
    // The nodes' data is read after the tree's own: once everything is
    // read, the count is made the leaves actually there, whatever a
    // damaged stored count said.
    num_element = CountLeaves();
}

unsigned int ZuDicTree::CountLeaves() const
{
    // Each node once, even in a damaged tree where a node holds one of its
    // ancestors.
    std::set<const ZuObject*> seen;
    std::vector<ZuDictRef> work{root};
    unsigned int leaves = 0;
    while (!work.empty()) {
        ZuDictRef node = work.back();
        work.pop_back();
        if (node.IsInvalid() || !seen.insert(node.RetRawObject()).second)
            continue;
        for (ZuDict::Element* e = node->head; e != nullptr; e = e->next) {
            if (IsSubTree(e->value))
                work.push_back(ZuDictRef(e->value));
            else if (e->count > ~0u - leaves)
                leaves = ~0u;
            else
                leaves += e->count;
        }
    }
    return leaves;
}
