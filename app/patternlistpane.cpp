#include "app/patternlistpane.h"

#include "app/idefdlg.h"
#include "app/patternpane.h"
#include "si/classfactory.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPatternListPane, "app/patternlistpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPatternListPane, OnClickList)

namespace {

const char* const kFile = "patternlistpane";

} // namespace

CPatternListPane::CPatternListPane()
{
    palette = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
}

void CPatternListPane::Delete()
{
    palette = CColorDefRef();
    drawn_palette = CColorDefRef();
    drawn = CPatternDefRef();
    sample = CPatternDrawRef();
    list = CScrollListRef();
    names = ZuListRef();
    ZuView::Delete();
}

bool CPatternListPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    colour_base = (kind == 21 || kind == 102) ? 1 : 0;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPatternListPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 4, y + 4, 210, 16,
             "Liste des pinceaux pr\xE9"
             "fabriqu\xE9s :");
    list = ZuNew<CScrollList>(Zuvi_app_zone, __LINE__, kFile);
    list->SetParent(self);
    list->CreateScroller(x + 4, y + 20, 210, 170);
    CPatternDef::FillPrefabList(names);
    list->UpdateScroller(names);
    list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnClickList"), 0);
    sample = ZuNew<CPatternDraw>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 222, y + 20, 140, 140, true, 0);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CPatternListPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPatternListPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPatternListPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPatternListPane::Update()
{
    const int code = kind == 11 ? 15 : kind == 21 ? 25 : kind == 102 ? 105 : 0;
    IDefDlg* dialog = code != 0 ? RetDefDlg() : nullptr;
    if (dialog == nullptr)
        return;
    CDefRef colours = dialog->RetDefinition(code);
    if (!colours.IsValid() || !colours->IsKindOf(CColorDefRef::RetRuntime()))
        return;
    CColorDefRef copy = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    copy->CopyFrom(colours);
    palette = copy;
    DrawSample();
}

void CPatternListPane::Refresh()
{
    notify = false;
    if (def.IsValid() && list.IsValid()) {
        ready = false;
        list->Select(def->GetPrefabNumber());
        ready = true;
        list->Display(true);
    }
    DrawSample();
    notify = true;
}

void CPatternListPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPatternListPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    const CDefRef current = CDefRef(ZuObjectRef(def));
    if (drawn.IsValid() && drawn->IsEqualCurrent(current) && drawn_palette.IsValid() &&
        drawn_palette->IsEqualAll(CDefRef(ZuObjectRef(palette))))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(kZoom);
    CGraPortRef port = sample->RetPort();
    CPatternPane::DrawBrush(port, def, palette, colour_base, -1, false, false);
    // The guides over the brush, with the pen the brush left.
    CColorDefRef grey = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    grey->SetIndex(0);
    grey->SetRGB(0.75, 0.75, 0.75);
    port->SetPenColor(grey);
    const DPoint lines[6][2] = {
        {{-1.0, 0.0}, {1.0, 0.0}}, {{0.0, -1.0}, {0.0, 1.0}}, {{-0.5, -0.5}, {0.5, -0.5}},
        {{0.5, -0.5}, {0.5, 0.5}}, {{0.5, 0.5}, {-0.5, 0.5}}, {{-0.5, 0.5}, {-0.5, -0.5}},
    };
    for (const auto& l : lines)
        port->DrawLine(l[0], l[1]);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(current);
    if (!drawn_palette.IsValid())
        drawn_palette = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn_palette->CopyFrom(CDefRef(ZuObjectRef(palette)));
}

bool CPatternListPane::OnClickList(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !list.IsValid())
        return false;
    // A row beyond the table leaves the brush as it was.
    if (!def->LoadPrefab(list->RetSelected()))
        return false;
    DrawSample();
    NotifyChange(true, false);
    return true;
}
