// ZuResBundle: one resource bundle file held in memory, with a descriptor
// for each of its entries. A bundle image is big-endian: a header line of 32
// bytes, the entry count at 56, the offset of the first entry at 60; each
// entry is a short (4-byte) or long (8-byte) header whose last word is the
// type, the data, then padding up to a multiple of 16 counted from the data's
// start. An entry of type 0 ends the walk; it and the entries after it stay
// unresolved.
//
// Bundles are made and numbered by the resource manager (si/resman); a
// bundle's ID is its slot there.
#ifndef SI_RESBUNDLE_H
#define SI_RESBUNDLE_H

#include "si/icontainer.h"
#include "si/object.h"
#include "si/resid.h"
#include "si/string.h"

ZU_HANDLE(ZuResBundle, ZuObject)

class ZuResBundle : public ZuObject, public ZuiContainer {
    ZU_CLASS(ZuResBundle, ZuObject)
    friend class ZuResMan;

public:
    ZuResBundle();
    ~ZuResBundle() override;

protected:
    virtual bool SetBundleName(const ZuStringRef& name);
    virtual bool SetBundleID(unsigned int id);
    // Builds the descriptor table over the image, which must outlive the
    // bundle's use of it. Throws the text "BadHeader" when the header line
    // differs (or the image is shorter than the header), and "BadBundle"
    // when the count, the first offset or an entry runs past the image; the
    // bundle is then left as it was.
    virtual bool InitFromImage(const void* image, unsigned int size);

public:
    // Descriptor i, or null past the table.
    virtual ZuResIDDef* RetResID(unsigned int index) const;
    virtual const ZuStringRef& RetBundleName() const;
    virtual unsigned int RetBundleID() const;
    // False for an index past the table or an unresolved entry; otherwise
    // counts a lock and gives the entry's bytes, size and type.
    virtual bool LockResource(unsigned int index, const void*& data, unsigned int& size,
                              ZuResType& type);
    // False past the table or when no lock is counted.
    virtual bool UnlockResource(unsigned int index);

    // ZuiContainer: the entry count; entries are not objects, so Get is
    // always false.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

protected:
    // "<ZuResBundle name>", begin, the name, end. Restoring loads the file
    // again through the current resource manager, which appends the bundle
    // under a new ID.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The image becomes the bundle's: freed with it.
    void AdoptImage(void* image);
    void FreeTable();

    ZuStringRef name;
    unsigned int id;
    const unsigned char* image;
    unsigned int image_size;
    unsigned int count;
    ZuResIDDef* table;
    void* owned_image; // the image when the bundle frees it (a loaded file)
};
ZU_CLASS_END(ZuResBundle)

#endif
