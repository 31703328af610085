#include "si/ipictogramlabel.h"

#include "si/object.h"
#include "si/storage.h"

bool ZuiPictogramLabel::GetText(ZuTextVersion version, ZuStringRef& out) const
{
    unsigned int v = static_cast<unsigned int>(version);
    if (v >= 4 || texts[v].IsInvalid())
        return false;
    out = texts[v];
    return true;
}

bool ZuiPictogramLabel::GetIcon(ZuAtomRef& out) const
{
    if (icon.IsInvalid())
        return false;
    out = icon;
    return true;
}

bool ZuiPictogramLabel::SetText(ZuTextVersion version, const ZuStringRef& text)
{
    unsigned int v = static_cast<unsigned int>(version);
    if (v >= 4)
        return false;
    ZuStringRef copy("");
    if (text.IsValid())
        copy->SetString(text->RetString());
    texts[v] = copy;
    return true;
}

bool ZuiPictogramLabel::SetIcon(const ZuAtomRef& atom)
{
    icon = atom;
    return true;
}

void ZuiPictogramLabel::StoreInstance(const ZuStorageRef& storage)
{
    storage << ZuStorageSync::begin << icon;
    for (const ZuStringRef& text : texts)
        storage << ZuObjectRef(text);
    storage << ZuStorageSync::end;
}

void ZuiPictogramLabel::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::begin >> icon;
    for (ZuStringRef& text : texts)
        storage >> text;
    storage >> ZuStorageSync::end;
}

void ZuiPictogramLabel::CopyPictogramLabel(const ZuObjectRef& object)
{
    if (object.IsInvalid() || !object->SupportsInterface(&ZuiPictogramLabel::interface))
        return;
    auto* other =
        static_cast<ZuiPictogramLabel*>(object->CastToInterface(&ZuiPictogramLabel::interface));
    if (!other)
        return;
    SetIcon(other->RetIcon());
    for (unsigned int v = 0; v < 4; ++v)
        SetText(static_cast<ZuTextVersion>(v), other->RetText(static_cast<ZuTextVersion>(v)));
}

void ZuiPictogramLabel::DefineLabel(const ZuAtomRef& icon_, const ZuStringRef& text_short,
                                    const ZuStringRef& text_normal, const ZuStringRef& text_tip,
                                    const ZuStringRef& text_desc)
{
    SetIcon(icon_);
    SetText(ZU_TEXTVER_SHORT, text_short);
    SetText(ZU_TEXTVER_NORMAL, text_normal);
    SetText(ZU_TEXTVER_TIP, text_tip);
    SetText(ZU_TEXTVER_DESC, text_desc);
}
