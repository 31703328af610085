#include "si/fileinfo.h"

#include "sd/common/sd_file.h"
#include "sd/common/sd_filedir.h"
#include "si/classfactory.h"
#include "si/ifilefilter.h"
#include "si/ifilesort.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/fileinfo";

ZuStorageSync& InfoRecord()
{
    static ZuStorageSync record("<ZuFileInfo filter sort>");
    return record;
}

bool Supports(const ZuObjectRef& object, const Zuvi_Interface* iface)
{
    return object.IsValid() && object->SupportsInterface(iface);
}

ZuFileInfoRef NewInfo(unsigned line)
{
    return ZuFileInfoRef(ZuNew<ZuFileInfo>(Zuvi_app_zone, line, kFile));
}

// A path from the root.
bool IsRooted(const ZuStringRef& text)
{
    return text.IsValid() && text->CharacterCount() > 0 && text->RetCharacter(0) == '/';
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuFileInfo, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuFileInfo, ZuiContainer)
ZU_IMPLEMENT_INTERFACE(ZuFileInfo, ZuiPictogram)

ZuFileInfo::ZuFileInfo()
    : exists(false), loaded(false), entries_made(false), count(0), records(0, 0)
{}

bool ZuFileInfo::Inspect(const ZuStringRef& file_path)
{
    FlushDirInfo();
    ZuStringArray elements;
    if (!Zuvi_File::SplitPath(file_path, elements, '/'))
        return false;
    unsigned n = elements.IsValid() ? elements->TotalCount() : 0;
    if (n == 0) {
        name = ZuStringRef("");
    } else {
        name = ZuStringRef(elements[n - 1]);
        elements->SetSize(n - 1);
    }
    parent = ZuFileInfoNull;
    icon = ZuAtomNull;
    info = ZuFileAttInfo::empty;
    path = ZuStringNull;
    Zuvi_File::MergePath(elements, path, '/');
    // Splitting drops the leading "/" of a path from the root; without it
    // the object would describe, and list, a relative path of the same
    // letters. (Pseudo roots such as "$drives$" need no "/".)
    if (IsRooted(file_path) && n > 1 && path->RetCharacter(0) != '$') {
        ZuStringRef rooted("/");
        rooted->AppendString(path);
        path = rooted;
    }
    exists = Zuvi_File::Properties(file_path, info);
    return true;
}

bool ZuFileInfo::Inspect(const ZuFileInfoRef& dir, const ZuStringRef& entry)
{
    if (dir.IsInvalid())
        return Inspect(entry);
    FlushDirInfo();
    info = ZuFileAttInfo::empty;
    ZuStringRef d("");
    Zuvi_File::AppendPath(d, dir->RetPath(), '/');
    Zuvi_File::AppendPath(d, dir->RetName(), '/');
    ZuStringRef full("");
    full->SetString(d);
    Zuvi_File::AppendPath(full, entry, '/');
    if (Zuvi_File::CountPathElements(entry, '/') < 2) {
        ZuFileAttInfo found = ZuFileAttInfo::empty;
        exists = Zuvi_File::Properties(full, found);
        InitEntry(dir, d, entry, found);
        return true;
    }
    return Inspect(full);
}

ZuFileInfoRef ZuFileInfo::AboutFile(const ZuStringRef& file_path)
{
    if (file_path.IsInvalid())
        return ZuFileInfoNull;
    ZuFileInfoRef made = NewInfo(__LINE__);
    if (!made->Inspect(file_path))
        return ZuFileInfoNull;
    return made;
}

ZuFileInfoRef ZuFileInfo::AboutFile(const ZuFileInfoRef& dir, const ZuStringRef& entry)
{
    if (dir.IsValid())
        return dir->About(entry);
    return AboutFile(entry);
}

ZuFileInfoRef ZuFileInfo::About(const ZuStringRef& entry)
{
    ZuStringRef full = RetFullName();
    Zuvi_File::AppendPath(full, entry, '/');
    return AboutFile(full);
}

ZuStringRef ZuFileInfo::RetFullName() const
{
    ZuStringRef full("");
    Zuvi_File::AppendPath(full, path, '/');
    Zuvi_File::AppendPath(full, name, '/');
    return full;
}

const ZuStringRef& ZuFileInfo::RetName() const
{
    return name;
}

const ZuStringRef& ZuFileInfo::RetPath() const
{
    return path;
}

const ZuFileAttInfo& ZuFileInfo::RetInfo() const
{
    return info;
}

const ZuFileInfoRef& ZuFileInfo::RetParentDirectory() const
{
    if (parent.IsInvalid())
        parent = AboutFile(path);
    return parent;
}

const ZuObjectRef& ZuFileInfo::RetFilter() const
{
    return filter;
}

const ZuObjectRef& ZuFileInfo::RetSort() const
{
    return sort;
}

bool ZuFileInfo::SetFilter(const ZuObjectRef& new_filter)
{
    if (new_filter.IsValid() && !Supports(new_filter, &ZuiFileFilter::interface))
        return false;
    filter = new_filter;
    return true;
}

bool ZuFileInfo::SetSort(const ZuObjectRef& new_sort)
{
    if (new_sort.IsValid() && !Supports(new_sort, &ZuiFileSort::interface))
        return false;
    sort = new_sort;
    if (sort.IsValid() && loaded && count > 0)
        Zuvi_FileDir::Sort(sort, names, records);
    return true;
}

bool ZuFileInfo::Update()
{
    FlushDirInfo();
    return UpdateDirInfo();
}

bool ZuFileInfo::UpdateDirInfo()
{
    if (info.attributes.TestBit(ZU_FATT_DIRECTORY))
        FlushDirInfo();
    // The path and the name are joined as path elements: with a plain
    // "path/name", an object at the top of the path (empty path) would list
    // the root's directory of that name instead of its own.
    ZuStringRef listed = RetFullName();
    Zuvi_FileDir* dir = Zuvi_FileDir::Open(listed);
    if (dir == nullptr)
        return false;
    bool read = dir->ReadAll(filter, sort, names, records);
    Zuvi_FileDir::Close(dir);
    if (!read) {
        FlushDirInfo();
        return false;
    }
    loaded = true;
    list_path = listed;
    unsigned listed_names = names.IsValid() ? names->TotalCount() : 0;
    // The two lists are read in step; never reach past the shorter one.
    count = listed_names < records.RetCount() ? listed_names : records.RetCount();
    return true;
}

void ZuFileInfo::FlushDirInfo()
{
    if (entries_made) {
        if (names.IsValid())
            names->SetSize(0);
        records.Resize(0);
        entries_made = false;
    }
    if (loaded) {
        count = 0;
        loaded = false;
        list_path = ZuStringNull;
    }
}

void ZuFileInfo::InitEntry(const ZuFileInfoRef& dir, const ZuStringRef& entry_path,
                           const ZuStringRef& entry_name, const ZuFileAttInfo& entry_info)
{
    parent = dir;
    name = entry_name;
    path = entry_path;
    info = entry_info;
    icon = ZuAtomNull;
    if (dir.IsValid())
        dir->entries_made = true;
}

unsigned int ZuFileInfo::TotalCount() const
{
    // Reading the listing on first use does not change what the object
    // describes.
    if (!loaded)
        const_cast<ZuFileInfo*>(this)->UpdateDirInfo();
    return count;
}

bool ZuFileInfo::Get(unsigned int index, ZuObjectRef& out)
{
    if (!loaded)
        UpdateDirInfo();
    if (index >= count)
        return false;
    ZuFileInfoRef entry = NewInfo(__LINE__);
    entry->InitEntry(ZuFileInfoRef(this), list_path, ZuStringRef(names[index]), records[index]);
    out = entry;
    return true;
}

bool ZuFileInfo::GetText(ZuTextVersion version, ZuStringRef& text) const
{
    if (version != ZU_TEXTVER_NORMAL || name.IsInvalid())
        return false;
    ZuStringRef copy("");
    copy->SetString(name);
    text = copy;
    return true;
}

bool ZuFileInfo::GetIcon(ZuAtomRef& out) const
{
    if (icon.IsInvalid()) {
        ZuFileAttInfo record;
        Zuvi_File::Properties(RetFullName(), record, icon, true);
    }
    out = icon;
    return true;
}

ZuObjectRef ZuFileInfo::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuFileInfoRef::RetRuntime())) {
        ZuFileInfoRef other(source);
        SetFilter(other->RetFilter());
        SetSort(other->RetSort());
        // Held while this object is re-aimed: the source may be this object.
        ZuFileInfoRef other_parent = other->parent;
        ZuStringRef other_name = other->RetName();
        if (other_parent.IsValid())
            Inspect(other_parent, other_name);
        else
            Inspect(other->RetFullName()); // joined as elements, as for listing
    }
    return ZuObject::Copy(source);
}

void ZuFileInfo::Delete()
{
    parent = ZuFileInfoNull;
    name = ZuStringNull;
    icon = ZuAtomNull;
    FlushDirInfo();
    ZuObject::Delete();
}

void ZuFileInfo::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << InfoRecord() << ZuStorageSync::begin << filter << sort << ZuStorageSync::end;
}

void ZuFileInfo::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    ZuObjectRef stored_filter, stored_sort;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> stored_filter >> stored_sort >>
        ZuStorageSync::end;
    // Stored data comes from outside: an object of the wrong kind is dropped
    // rather than kept where a filter or sort is expected.
    if (!SetFilter(stored_filter))
        filter = ZuObjectNull;
    if (!SetSort(stored_sort))
        sort = ZuObjectNull;
}
