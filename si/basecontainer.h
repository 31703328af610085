// ZuBaseContainer: abstract root of every container. It keeps the iterators
// that walk the container (so changes can be passed on to them), sends the
// three data-change notifications, and offers the generic ZuiContainer view
// (count and access by index).
#ifndef SI_BASECONTAINER_H
#define SI_BASECONTAINER_H

#include "si/object.h"
#include "si/icontainer.h"

ZU_FORWARD(ZuArray)
ZU_FORWARD(ZuIterator)

ZU_HANDLE(ZuBaseContainer, ZuObject)
// Declared here so that the base can hold its list of iterators by the
// handle of the container class it uses (the list is a ZuContainer).
ZU_HANDLE(ZuContainer, ZuBaseContainer)

class ZuBaseContainer : public ZuObject, public ZuiContainer {
    ZU_CLASS(ZuBaseContainer, ZuObject)

public:
    static ZuAtomRef notify_data_inserted;
    static ZuAtomRef notify_data_removed;
    static ZuAtomRef notify_data_moved;

    ZuBaseContainer();
    ~ZuBaseContainer() override;

    virtual bool SpecifyExtraction(const ZuArrayRef& extraction) = 0;
    virtual ZuIteratorRef NewIterator();

    void Delete() override;

protected:
    virtual void InsertIterator(const ZuIteratorRef& iterator);
    virtual void RemoveIterator(const ZuIteratorRef& iterator);
    virtual bool NotifyDataChange(bool inserted, bool removed, bool moved);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuContainerRef iterators; // a ZuList once the first iterator registers

    friend class ZuIterator;
};
ZU_CLASS_END(ZuBaseContainer)

#endif
