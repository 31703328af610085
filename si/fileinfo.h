// ZuFileInfo: the description of one file or directory (its name, the path
// of the directory that holds it, its attribute record, its kind icon). A
// directory's object is also a lazily read container of the objects of its
// entries, filtered by a file filter and sorted by a file sort.
#ifndef SI_FILEINFO_H
#define SI_FILEINFO_H

#include "si/array.h"
#include "si/atom.h"
#include "si/fileatt.h"
#include "si/icontainer.h"
#include "si/ipictogram.h"
#include "si/object.h"
#include "si/simplearray.h"
#include "si/string.h"

ZU_HANDLE(ZuFileInfo, ZuObject)

class ZuFileInfo : public ZuObject, public ZuiContainer, public ZuiPictogram {
    ZU_CLASS(ZuFileInfo, ZuObject)
public:
    ZuFileInfo();

    // Describes entry `name` of the directory `parent`; a name of two or
    // more path elements (or a null parent) inspects the joined path.
    virtual bool Inspect(const ZuFileInfoRef& parent, const ZuStringRef& name);
    // Describes the file at `path`; false only when the path cannot be
    // split. A missing file is described too, as not existing.
    virtual bool Inspect(const ZuStringRef& path);
    // A new object about `name` taken inside this object's full name.
    virtual ZuFileInfoRef About(const ZuStringRef& name);
    // Forgets the listing and reads it again; true when it was read.
    virtual bool Update();
    // A null handle clears; an object without the needed interface is
    // refused (false). The filter applies at the next reading, the sort at
    // once.
    virtual bool SetFilter(const ZuObjectRef& filter);
    virtual bool SetSort(const ZuObjectRef& sort);
    virtual const ZuStringRef& RetName() const;
    virtual const ZuStringRef& RetPath() const;
    // The path and the name joined with "/".
    virtual ZuStringRef RetFullName() const;
    virtual const ZuFileAttInfo& RetInfo() const;
    // The object the entry was made from; made from the path when missing.
    virtual const ZuFileInfoRef& RetParentDirectory() const;
    virtual const ZuObjectRef& RetFilter() const;
    virtual const ZuObjectRef& RetSort() const;

    // Whether the attribute record was read.
    bool RetExists() const { return exists; }

    // Null for a null path; null when the path cannot be split.
    static ZuFileInfoRef AboutFile(const ZuStringRef& path);
    static ZuFileInfoRef AboutFile(const ZuFileInfoRef& parent, const ZuStringRef& name);

    // Container: the entries of the listing (read on first use); each Get
    // makes a new object.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    // Pictogram: the name as the normal text, the kind as the icon.
    bool GetText(ZuTextVersion version, ZuStringRef& text) const override;
    bool GetIcon(ZuAtomRef& icon) const override;

    // Takes the filter and the sort of another information object and
    // describes the same file.
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

protected:
    virtual bool UpdateDirInfo();
    virtual void FlushDirInfo();
    virtual void InitEntry(const ZuFileInfoRef& parent, const ZuStringRef& path,
                           const ZuStringRef& name, const ZuFileAttInfo& info);

    // The root part, the record "<ZuFileInfo filter sort>", begin, the
    // filter, the sort, end. The file itself is not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    mutable ZuFileInfoRef parent;
    ZuStringRef name;
    ZuStringRef path;
    ZuFileAttInfo info;
    mutable ZuAtomRef icon;
    ZuObjectRef filter;
    ZuObjectRef sort;
    bool exists;
    bool loaded;
    bool entries_made;
    unsigned int count;
    ZuStringArray names;
    Zuvi_SimpleArrayNone<ZuFileAttInfo> records;
    ZuStringRef list_path;
};

ZU_CLASS_END(ZuFileInfo)

#endif
