#include "app/fontpane.h"

#include "app/graport.h"
#include "app/gralinetext.h"
#include "app/misc.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CFontPane, "app/fontpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CFontPane, OnClickList)
ZU_EXPORT_OBSERVER(CFontPane, OnEditScale)
ZU_EXPORT_OBSERVER(CFontPane, OnEditWidth)
ZU_EXPORT_OBSERVER(CFontPane, OnEditStretch)
ZU_EXPORT_OBSERVER(CFontPane, OnEditItalic)
ZU_EXPORT_OBSERVER(CFontPane, OnSwitchBold)
ZU_EXPORT_OBSERVER(CFontPane, OnSwitchItalic)

namespace {

const char* const kFile = "fontpane";

void SetPercentRange(const CTextLineArrowRef& entry)
{
    entry->SetMin(-1);
    entry->SetMax(1);
    entry->SetStep(0.05);
    entry->SetSliderGrad(8);
    entry->SetSliderSubdiv(2);
}

} // namespace

bool CFontPane::Create(int new_kind)
{
    built = ready = false;
    def = ZuNew<CFontDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    built = ready = true;
    return true;
}

void CFontPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 4, y + 4, 190, 16, "Liste des polices disponibles :");
    font_list = ZuNew<CScrollList>(Zuvi_app_zone, __LINE__, kFile);
    font_list->SetParent(self);
    font_list->CreateScroller(x + 4, y + 20, 190, 120);
    font_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnClickList"), 0);
    // The labels on the right stop one pixel above their entries: the
    // sliders rise that far above the entries for their upper ticks.
    NewLabel(self, x + 202, y + 4, 160, 15, "Taille :");
    size_entry = NewEntry(self, x + 202, y + 20, 57, 20, 0, true, 98, "OnEditScale");
    size_entry->SetMin(0);
    size_entry->SetMax(200);
    size_entry->SetStep(1);
    size_entry->SetSliderGrad(10);
    size_entry->SetSliderSubdiv(2);
    NewLabel(self, x + 202, y + 44, 160, 15, "Espacement :");
    spacing_entry = NewEntry(self, x + 202, y + 60, 57, 20, 12, true, 98, "OnEditWidth");
    SetPercentRange(spacing_entry);
    NewLabel(self, x + 202, y + 84, 160, 15, "Etirement :");
    stretch_entry = NewEntry(self, x + 202, y + 100, 57, 20, 12, true, 98, "OnEditStretch");
    SetPercentRange(stretch_entry);
    NewLabel(self, x + 202, y + 124, 160, 15,
             "Pench\xe9"
             " :");
    slant_entry = NewEntry(self, x + 202, y + 140, 57, 20, 12, true, 98, "OnEditItalic");
    SetPercentRange(slant_entry);
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 4, y + 144, 190, 46, false);
    sample->SetParent(self);
    FillFontList();
    CDefPane::BuildControls(x, y);
}

void CFontPane::FillFontList()
{
    // A context of its own, one pixel, only to ask the interpreter.
    GSContextRef context(ZuObjectRef(ZuClassFactory::New("GSContext", nullptr, __LINE__, kFile)));
    CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, kFile);
    if (context.IsValid())
        context->CreateContext(1, 1, 1);
    port->InitBinaryMode();
    port->SetTarget(context);
    ZuListRef names;
    port->GetFontList(names);
    // No interpreter, or one without fonts: an empty list, the pane works.
    if (!names.IsValid())
        names = ZuNew<ZuList>(Zuvi_app_zone, __LINE__, kFile);
    font_names = names;
    font_list->UpdateScroller(font_names);
    port->Delete();
}

bool CFontPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CFontPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CFontPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CFontPane::Update() {}

void CFontPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CFontPane::Refresh()
{
    ready = false;
    if (def.IsValid()) {
        SelectFont();
        WriteEntry(size_entry, def->GetScale());
        WriteEntry(stretch_entry, def->GetStretch());
        WriteEntry(slant_entry, def->GetItalic());
        WriteEntry(spacing_entry, def->GetWidth());
        UpdateSample();
    }
    ready = true;
}

void CFontPane::SelectFont()
{
    if (!font_list.IsValid() || !font_names.IsValid())
        return;
    const ZuStringRef name = def->GetName();
    int index = -1;
    ZuObjectRef item;
    for (unsigned i = 0; name.IsValid() && font_names->Get(i, item); ++i) {
        if (item.IsValid() && item->IsKindOf(ZuStringRef::RetRuntime()) &&
            ZuStringRef(item)->CompareWith(name, true) == 0) {
            index = int(i);
            break;
        }
    }
    font_list->Select(index);
    font_list->Display(true);
}

void CFontPane::WriteEntry(const CTextLineArrowRef& entry, double value)
{
    if (!entry.IsValid())
        return;
    built = false;
    entry->SetValue(value);
    built = true;
}

bool CFontPane::ReadEntry(const CTextLineArrowRef& entry, double& value) const
{
    if (!built || !def.IsValid() || !entry.IsValid())
        return false;
    value = entry->GetValue();
    if (!(value >= entry->GetMin()))
        value = entry->GetMin();
    if (value > entry->GetMax())
        value = entry->GetMax();
    return true;
}

void CFontPane::Changed()
{
    UpdateSample();
    NotifyChange(true, false);
}

void CFontPane::UpdateSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(1.0);
    CGraPortRef port = sample->RetPort();
    CGraLineTextRef text = ZuNew<CGraLineText>(Zuvi_app_zone, __LINE__, kFile);
    text->SetDefinition(CGraLineText::FONT, ZuObjectRef(def));
    // The line starts where it is placed; the drag gives it its direction.
    const DPoint start[2] = {{-85.0, -13.0}, {-85.0, -13.0}};
    text->SetPoints(start, 2);
    text->DragPoint(DPoint{85.0, -13.0}, 0);
    text->SetText(ZuStringRef("Abcdef"));
    text->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CFontDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CFontPane::OnClickList(const ZuObjectRef&, unsigned)
{
    if (!def.IsValid() || !font_list.IsValid())
        return true;
    const int index = font_list->RetSelected();
    ZuObjectRef item;
    if (index >= 0 && font_names.IsValid() && font_names->Get(unsigned(index), item) &&
        item.IsValid() && item->IsKindOf(ZuStringRef::RetRuntime()))
        def->SetName(ZuStringRef(item));
    Changed();
    return true;
}

bool CFontPane::OnEditScale(const ZuObjectRef&, unsigned)
{
    double value = 0;
    if (ReadEntry(size_entry, value)) {
        def->SetScale(value);
        Changed();
    }
    return true;
}

bool CFontPane::OnEditWidth(const ZuObjectRef&, unsigned)
{
    double value = 0;
    if (ReadEntry(spacing_entry, value)) {
        def->SetWidth(value);
        Changed();
    }
    return true;
}

bool CFontPane::OnEditStretch(const ZuObjectRef&, unsigned)
{
    double value = 0;
    if (ReadEntry(stretch_entry, value)) {
        def->SetStretch(value);
        Changed();
    }
    return true;
}

bool CFontPane::OnEditItalic(const ZuObjectRef&, unsigned)
{
    double value = 0;
    if (ReadEntry(slant_entry, value)) {
        def->SetItalic(value);
        Changed();
    }
    return true;
}

bool CFontPane::OnSwitchBold(const ZuObjectRef&, unsigned)
{
    Changed();
    return true;
}

bool CFontPane::OnSwitchItalic(const ZuObjectRef&, unsigned)
{
    Changed();
    return true;
}
