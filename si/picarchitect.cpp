#include "si/picarchitect.h"

#include "si/lookman.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuPicArchitect, "si/picarchitect", ZU_CLASS_ABSTRACT)

ZuPicArchitect::ZuPicArchitect() : text_color(ZU_COLOR_BLACK) {}

ZuiPictogram* ZuPicArchitect::GetPictogram(const ZuObjectRef& item, ZuObjectRef& holder)
{
    if (adapter.IsValid())
        return adapter->MakePictogram(item, holder);
    if (item.IsValid()) {
        auto* pictogram = static_cast<ZuiPictogram*>(
            item.CheckAndResolve()->CastToInterface(&ZuiPictogram::interface));
        if (pictogram != nullptr) {
            holder = item;
            return pictogram;
        }
    }
    holder = ZuObjectNull;
    return nullptr;
}

bool ZuPicArchitect::Initialise(const ZuGrailFontRef& given)
{
    if (!ZuViewArchitect::Initialise(1))
        return false;
    SetFont(given);
    SetTextColor(ZuColorPixel(ZU_COLOR_BLACK));
    return true;
}

bool ZuPicArchitect::SetFont(const ZuGrailFontRef& given)
{
    if (given.IsValid()) {
        font = given;
    } else {
        const ZuLookManRef& looks = ZuLookMan::Current();
        font = looks.IsValid() ? looks->RetSysFont() : ZuGrailFontRef();
    }
    return true;
}

bool ZuPicArchitect::SetTextColor(const ZuColorPixel& color)
{
    text_color = color;
    return true;
}

const ZuGrailFontRef& ZuPicArchitect::RetFont() const
{
    return font;
}

const ZuColorPixel& ZuPicArchitect::RetTextColor() const
{
    return text_color;
}

bool ZuPicArchitect::SetAdapter(const ZuPicAdapterRef& given)
{
    adapter = given;
    return true;
}

const ZuPicAdapterRef& ZuPicArchitect::RetAdapter() const
{
    return adapter;
}

ZuObjectRef ZuPicArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuPicArchitectRef::RetRuntime())) {
        const ZuPicArchitect* other = static_cast<const ZuPicArchitect*>(source.Resolve());
        adapter = other->adapter;
        SetFont(other->font);
        SetTextColor(other->text_color);
    }
    return ZuViewArchitect::Copy(source);
}

void ZuPicArchitect::Delete()
{
    adapter = ZuPicAdapterNull;
    font = ZuGrailFontNull;
    ZuViewArchitect::Delete();
}

void ZuPicArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuPicArchitect font text_color>");
    storage << record << ZuStorageSync::begin;
    // A system font cannot be stored (it belongs to the look of the running
    // program): it goes as the empty font, which reads back as the system
    // font of the program that reads it.
    if (font.IsValid() && font->IsSystemFont())
        storage->StoreObject(ZuGrailFontNull);
    else
        storage->StoreObject(font);
    storage << text_color << ZuStorageSync::end;
}

void ZuPicArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::RestoreInstance(storage);
    ZuGrailFontRef stored;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> stored >> text_color >>
        ZuStorageSync::end;
    SetFont(stored);
}
