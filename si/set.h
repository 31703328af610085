// ZuSet: abstract base of the key-value containers (ZuDict, ZuDicTree).
//
// Through the plain container interface, which sees one object per index, a
// set shows its keys (mode 0), its values (mode 1), the values paired with
// one key (mode 2) or the keys paired with one value (mode 3).
#ifndef SI_SET_H
#define SI_SET_H

#include "si/basecontainer.h"

ZU_HANDLE(ZuSet, ZuBaseContainer)
class ZuSet : public ZuBaseContainer {
    ZU_CLASS(ZuSet, ZuBaseContainer)

public:
    ~ZuSet() override;

    bool SpecifyExtraction(const ZuArrayRef& spec) override;
    virtual bool SpecifyExtractKey(const ZuObjectRef& key);
    virtual bool SpecifyExtractValue(const ZuObjectRef& value);
    virtual bool Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value) = 0;
    virtual bool SetAllowDuplicates(bool allow);
    virtual bool RetAllowDuplicates() const;
    virtual bool SetCompKeyUsingIsEqual(bool flag);
    virtual bool RetCompKeyUsingIsEqual() const;
    virtual bool SetCompValueUsingIsEqual(bool flag);
    virtual bool RetCompValueUsingIsEqual() const;

    virtual bool Insert(const ZuObjectRef& key, const ZuObjectRef& value) = 0;
    virtual bool Remove(unsigned int index) = 0;
    virtual bool Remove(const ZuObjectRef& key, const ZuObjectRef& value,
                        unsigned int occurrence) = 0;
    virtual bool Remove(const ZuObjectRef& key, unsigned int occurrence) = 0;
    virtual void RemoveAll() = 0;
    virtual void RemoveDuplicates() = 0;
    virtual bool RemoveValue(const ZuObjectRef& value, unsigned int occurrence) = 0;
    virtual bool GetFromKey(const ZuObjectRef& key, ZuObjectRef& value, unsigned int n) = 0;
    virtual bool GetFromValue(const ZuObjectRef& value, ZuObjectRef& key, unsigned int n) = 0;
    virtual bool Find(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int& index) = 0;
    virtual bool LookForKey(const ZuObjectRef& key) = 0;
    virtual bool LookForValue(const ZuObjectRef& value) = 0;

    virtual ZuObjectRef RetFromKey(const ZuObjectRef& key, unsigned int n);
    virtual ZuObjectRef RetFromValue(const ZuObjectRef& value, unsigned int n);

    // ZuiContainer
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    ZuSet();

    unsigned int num_element;
    unsigned int extr_mode;
    ZuObjectRef extr_key;
    ZuObjectRef extr_data;
    bool allow_duplicates;
    bool comp_key_using_is_equal;
    bool comp_value_using_is_equal;
};
ZU_CLASS_END(ZuSet)

#endif
