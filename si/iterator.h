// ZuIterator: abstract base of the container iterators. It holds the
// container it walks (set when the container registers it), a changed flag
// that concrete iterators raise when the source changes under them, and a
// valid flag telling whether the iterator stands on an element.
#ifndef SI_ITERATOR_H
#define SI_ITERATOR_H

#include "si/basecontainer.h"

ZU_FORWARD(ZuPerformer)

ZU_HANDLE(ZuIterator, ZuObject)

class ZuIterator : public ZuObject {
    ZU_CLASS(ZuIterator, ZuObject)

public:
    ZuIterator();
    ~ZuIterator() override;

    virtual bool GetSource(ZuBaseContainerRef& source) const;
    virtual const ZuBaseContainerRef& RetSource() const;
    virtual bool DidChange();
    virtual bool First() = 0;
    virtual bool Last() = 0;
    virtual bool Next(unsigned int n) = 0;
    virtual bool Prev(unsigned int n) = 0;
    virtual bool Get(ZuObjectRef& object, unsigned int n) = 0;
    virtual ZuObjectRef Get(unsigned int n);
    virtual bool ForEach(const ZuPerformerRef& performer, unsigned int n);

    void Delete() override;

protected:
    virtual void SetSource(const ZuBaseContainerRef& source);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuBaseContainerRef source;
    bool changed;
    bool valid;

    friend class ZuBaseContainer;
};
ZU_CLASS_END(ZuIterator)

#endif
