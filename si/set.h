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

    bool SpecifyExtraction(ZuArrayRef const& spec) override;
    virtual bool SpecifyExtractKey(ZuObjectRef const& key);
    virtual bool SpecifyExtractValue(ZuObjectRef const& value);
    virtual bool Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value) = 0;
    virtual bool SetAllowDuplicates(bool allow);
    virtual bool RetAllowDuplicates() const;
    virtual bool SetCompKeyUsingIsEqual(bool flag);
    virtual bool RetCompKeyUsingIsEqual() const;
    virtual bool SetCompValueUsingIsEqual(bool flag);
    virtual bool RetCompValueUsingIsEqual() const;

    virtual bool Insert(ZuObjectRef const& key, ZuObjectRef const& value) = 0;
    virtual bool Remove(unsigned int index) = 0;
    virtual bool Remove(ZuObjectRef const& key, ZuObjectRef const& value, unsigned int occurrence) = 0;
    virtual bool Remove(ZuObjectRef const& key, unsigned int occurrence) = 0;
    virtual void RemoveAll() = 0;
    virtual void RemoveDuplicates() = 0;
    virtual bool RemoveValue(ZuObjectRef const& value, unsigned int occurrence) = 0;
    virtual bool GetFromKey(ZuObjectRef const& key, ZuObjectRef& value, unsigned int n) = 0;
    virtual bool GetFromValue(ZuObjectRef const& value, ZuObjectRef& key, unsigned int n) = 0;
    virtual bool Find(ZuObjectRef const& key, ZuObjectRef const& value, unsigned int& index) = 0;
    virtual bool LookForKey(ZuObjectRef const& key) = 0;
    virtual bool LookForValue(ZuObjectRef const& value) = 0;

    virtual ZuObjectRef RetFromKey(ZuObjectRef const& key, unsigned int n);
    virtual ZuObjectRef RetFromValue(ZuObjectRef const& value, unsigned int n);

    // ZuiContainer
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;


    void Delete() override;

protected:
    void StoreInstance(ZuStorageRef const& storage) override;
    void RestoreInstance(ZuStorageRef const& storage) override;
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
