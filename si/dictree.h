// ZuDicTree: values stored under paths of keys, a tree whose nodes are
// dictionaries. A key is one object (a key of the root) or a container of
// keys read from the root downwards; text paths ("a:b:c") are cut at the
// separator into atoms. Inserting under a path makes the missing nodes. The
// tree counts and enumerates its leaves only.
//
// Every node carries an attribute keyed by the tree whose value is its
// parent node (empty for the root): a value is a subtree exactly when it is
// a dictionary with such an attribute. A tree holds itself through its
// root's attribute: it goes with Delete, like any structure with cycles.
#ifndef SI_DICTREE_H
#define SI_DICTREE_H

#include "si/dict.h"
#include "si/list.h"
#include "si/set.h"
#include "si/string.h"

ZU_HANDLE(ZuDicTree, ZuSet)

class ZuDicTree : public ZuSet {
    ZU_CLASS(ZuDicTree, ZuSet)

public:
    ZuDicTree();
    ~ZuDicTree() override;

protected:
    // Follows the keys of `key` from the root as far as they lead to
    // subtrees. True with an empty `rest` when the path names the node
    // `dict`, true with the one key left in `rest`, false with a list of
    // the two or more keys left.
    virtual bool FindRootDict(const ZuObjectRef& key, ZuObjectRef& rest, ZuDictRef& dict);
    // Locates leaf `index` (depth first) under `dict`; the keys down to it
    // are appended to `path`.
    virtual bool FindSubTree(const ZuDictRef& dict, unsigned int index, ZuDictRef& found,
                             unsigned int& local_index, const ZuListRef& path);
    virtual void RemoveSubTree(const ZuDictRef& dict);
    virtual bool SplitTextPath(const char* text, ZuListRef& list);

public:
    virtual bool SetPathSeparator(unsigned short separator);
    virtual unsigned short RetPathSeparator() const;
    virtual bool InsertUsingPath(const char* path, const ZuObjectRef& value);
    virtual bool InsertUsingPath(const ZuStringRef& path, const ZuObjectRef& value);
    virtual bool GetFromPath(const char* path, ZuObjectRef& value);
    virtual bool GetFromPath(const ZuStringRef& path, ZuObjectRef& value);

    // ZuSet
    bool Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value) override;
    using ZuSet::Get;
    bool Insert(const ZuObjectRef& key, const ZuObjectRef& value) override;
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int occurrence) override;
    bool Remove(const ZuObjectRef& key, unsigned int occurrence) override;
    void RemoveAll() override;
    void RemoveDuplicates() override;
    bool RemoveValue(const ZuObjectRef& value, unsigned int occurrence) override;
    bool GetFromKey(const ZuObjectRef& key, ZuObjectRef& value, unsigned int occurrence) override;
    bool GetFromValue(const ZuObjectRef& value, ZuObjectRef& key, unsigned int occurrence) override;
    bool Find(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int& index) override;
    bool LookForKey(const ZuObjectRef& key) override;
    bool LookForValue(const ZuObjectRef& value) override;

    ZuIteratorRef NewIterator() override;
    void Delete() override;
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool IsSubTree(const ZuObjectRef& value) const;
    unsigned int CountLeaves() const;
    ZuObjectRef Self() const;

    ZuDictRef root;
    unsigned short separator;
};
ZU_CLASS_END(ZuDicTree)

#endif
