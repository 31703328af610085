#include "app/motifunipane.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CMotifUniPane, "app/motifunipane", ZU_CLASS_PLAIN)

namespace {

const char* const kFile = "motifunipane";

void NewCentredTag(const ZuViewRef& parent, double x, double y, const char* text)
{
    ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
    tag->SetOrigin(x, y);
    tag->SetSize(200, 20);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    tag->SetText(ZuStringRef(text));
    tag->SetParent(parent);
}

} // namespace

bool CMotifUniPane::Create(int new_kind)
{
    notify = false;
    def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    notify = true;
    return true;
}

void CMotifUniPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewCentredTag(self, x + 89, y + 72, "Surface unie");
    NewCentredTag(self, x + 89, y + 92, "(aucun attribut autre que la couleur)");
    CDefPane::BuildControls(x, y);
}

bool CMotifUniPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CMotifUniPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CMotifUniPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CMotifUniPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}
