// ZuContainer: abstract base of the containers of single objects (arrays,
// lists, hash tables). It adds the element count and the element operations
// each concrete container implements.
#ifndef SI_CONTAINER_H
#define SI_CONTAINER_H

#include "si/basecontainer.h"

class ZuContainer : public ZuBaseContainer {
    ZU_CLASS(ZuContainer, ZuBaseContainer)

public:
    ZuContainer();
    ~ZuContainer() override;

    virtual bool Insert(const ZuObjectRef& object) = 0;
    virtual bool Remove(unsigned int index) = 0;
    virtual bool Remove(const ZuObjectRef& object, unsigned int occurrence) = 0;
    virtual void RemoveAll() = 0;
    virtual bool GetSimilar(const ZuObjectRef& model, ZuObjectRef& found,
                            unsigned int occurrence) = 0;
    virtual bool LookFor(const ZuObjectRef& object) = 0;
    virtual bool Find(const ZuObjectRef& object, unsigned int& index) = 0;

    bool SpecifyExtraction(const ZuArrayRef& extraction) override;
    unsigned int TotalCount() const override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    unsigned int num_element;
};
ZU_CLASS_END(ZuContainer)

#endif
