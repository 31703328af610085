// ZuDataSlot: an object holding named fields, each an arbitrary object, with
// one change notification per field ("field_" + name + "_changed"). Observers
// attach to a field's notification by its name; whoever changes a field's
// content asks the data slot to report it.
#ifndef SI_DATASLOT_H
#define SI_DATASLOT_H

#include "si/atom.h"
#include "si/basecontroller.h"
#include "si/dict.h"
#include "si/icontainer.h"
#include "si/text.h"

ZU_HANDLE(ZuDataSlot, ZuBaseController)
class ZuDataSlot : public ZuBaseController, public ZuiContainer {
    ZU_CLASS(ZuDataSlot, ZuBaseController)

public:
    ZuDataSlot();
    ~ZuDataSlot() override;

    virtual bool SetUserName(const ZuTextRef& text);
    virtual bool InsertField(const ZuAtomRef& name, const ZuObjectRef& object);
    virtual bool InsertFieldValue(const ZuAtomRef& name, const ZuValueRef& value);
    virtual bool RemoveField(const ZuAtomRef& name);
    virtual bool GetField(const ZuAtomRef& name, ZuObjectRef& object) const;
    virtual bool GetFieldEventName(const ZuAtomRef& name, ZuAtomRef& event) const;
    virtual bool ReportFieldChange(const ZuAtomRef& name, unsigned int flags);

    ZuAtomRef RetUserName() override;
    // The fields answer as published data when the class publishes no item
    // of that name.
    bool QueryData(const ZuAtomRef& name, ZuObjectRef& out) const override;

    // ZuiContainer: the field names, in the dictionary's order.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuAtomRef name;
    ZuDictRef fields;
    ZuDictRef field_events;
};
ZU_CLASS_END(ZuDataSlot)

#endif
