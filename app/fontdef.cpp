#include "app/fontdef.h"

#include <cstring>

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CFontDef, "app/fontdef", ZU_CLASS_PLAIN)

CFontDef::CFontDef()
    : size(20.0), stretch(0.0), slant(0.0), reserved(0.0), character_spacing(0.0),
      word_spacing(0.0), reserved_int(0)
{
    std::strcpy(name, "Helvetica");
    SetAllValues(45);
}

bool CFontDef::IsEqualCurrent(const CDefRef& other) const
{
    CFontDefRef ref(other);
    const CFontDef* o = ref.CheckAndResolve();
    return GetValue() == o->GetValue() && std::strcmp(name, o->name) == 0 && size == o->size &&
           stretch == o->stretch && slant == o->slant && reserved == o->reserved &&
           character_spacing == o->character_spacing && word_spacing == o->word_spacing &&
           reserved_int == o->reserved_int;
}

void CFontDef::CopyFrom(const CDefRef& other)
{
    CFontDefRef ref(other);
    const CFontDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    size = o->size;
    stretch = o->stretch;
    slant = o->slant;
    reserved = o->reserved;
    character_spacing = o->character_spacing;
    word_spacing = o->word_spacing;
    reserved_int = o->reserved_int;
}

void CFontDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CFontDef::GetType() const
{
    return 80;
}

int CFontDef::CompareWith(const ZuObjectRef& other) const
{
    const ZuObject* o = other.Resolve();
    if (o == nullptr || !o->IsKindOf(CFontDefRef::RetRuntime()))
        return CDef::CompareWith(other);
    return size < static_cast<const CFontDef*>(o)->size ? -1 : 0;
}

void CFontDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << size << stretch << slant << reserved
      << character_spacing << word_spacing << reserved_int << ZuStorageSync::end;
}

void CFontDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> size >> stretch >> slant >> reserved >>
        character_spacing >> word_spacing >> reserved_int >> ZuStorageSync::end;
}
