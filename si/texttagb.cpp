#include "si/texttagb.h"

#include "si/lookman.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuTextTagBase, "si/texttagb", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTextTagBase, ZuiValue)
ZU_IMPLEMENT_INTERFACE(ZuTextTagBase, ZuiTitleWidget)

namespace {

ZuStorageSync& TextTagBaseRecord()
{
    static ZuStorageSync record("<ZuTextTagBase text font>");
    return record;
}

ZuTextTagBase* AsTag(ZuObject* o)
{
    return static_cast<ZuTextTagBase*>(o);
}

// "SetText (text)": a message with one string.
bool SetTextThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("SetText (ZuStringRef text)");
        exp->SetArg("ZuStringRef", "text", "caption");
        return true;
    }
    ZuStringRef text;
    msg >> text;
    return AsTag(obj)->SetText(text);
}
Zuvi_TargetExport set_text_export(&SetTextThunk, ZuTextTagBaseRef::RetRuntime());

void GetTextDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsTag(o)->RetText()));
}
bool SetTextDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsTag(o)->SetText(Zuvi_ValueToZuString(value));
}

void DeclareTextTagBaseData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuTextTagBaseRef::RetRuntime(), "text", "Text", &ZuString_type, true, true, &GetTextDatum,
         &SetTextDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport text_tag_base_data(&DeclareTextTagBaseData, ZuTextTagBaseRef::RetRuntime());

} // namespace

ZuTextTagBase::ZuTextTagBase() : text("") {}

void ZuTextTagBase::Delete()
{
    text = ZuStringRef("");
    ZuControl::Delete();
}

ZuObjectRef ZuTextTagBase::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuTextTagBaseRef::RetRuntime())) {
        ZuTextTagBaseRef other(source);
        SetText(other->RetText());
        SetFont(other->RetFont());
    }
    return ZuControl::Copy(source);
}

bool ZuTextTagBase::SetText(const ZuTextRef& t)
{
    text = t.IsValid() ? t->RetString() : ZuStringRef("");
    return true;
}

bool ZuTextTagBase::GetText(ZuStringRef& out) const
{
    if (text.IsValid()) {
        out = ZuStringRef(text->Clone());
        return true;
    }
    out = ZuStringRef("");
    return false;
}

const ZuStringRef& ZuTextTagBase::RetText() const
{
    return text;
}

bool ZuTextTagBase::SetFont(const ZuGrailFontRef& f)
{
    font = f;
    return true;
}

bool ZuTextTagBase::GetFont(ZuGrailFontRef& out) const
{
    out = RetFont();
    return true;
}

const ZuGrailFontRef& ZuTextTagBase::RetFont() const
{
    if (font.IsValid())
        return font;
    const ZuLookManRef& look = ZuLookMan::Current();
    return look.IsValid() ? look->RetSysFont() : ZuGrailFontNull;
}

bool ZuTextTagBase::SetValue(const ZuValueRef& value)
{
    ZuStringRef s;
    if (value.IsInvalid() || !value->ConvertToString(s, ZuStringNull))
        return false;
    return SetText(s);
}

ZuValueRef ZuTextTagBase::RetValue()
{
    ZuStringRef copy;
    GetText(copy);
    return ZuValueRef(ZuObjectRef(copy));
}

bool ZuTextTagBase::SetTitle(const ZuStringRef& title)
{
    return SetText(title);
}

void ZuTextTagBase::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << TextTagBaseRecord() << ZuStorageSync::begin;
    s->StoreObject(text);
    s->StoreObject(font.IsValid() && font->IsSystemFont() ? ZuGrailFontNull : font);
    s << ZuStorageSync::end;
}

void ZuTextTagBase::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef t, f;
    s->RestoreObject(t, ZuStringRef::RetRuntime());
    s->RestoreObject(f, ZuGrailFontRef::RetRuntime());
    s >> ZuStorageSync::end;
    // Stored data may name any object where a string or a font stands.
    text = t.IsValid() && t->IsKindOf(ZuStringRef::RetRuntime()) ? ZuStringRef(t) : ZuStringRef("");
    font = f.IsValid() && f->IsKindOf(ZuGrailFontRef::RetRuntime()) ? ZuGrailFontRef(f)
                                                                    : ZuGrailFontRef();
}
