#include "app/arcpane.h"

#include "app/colordef.h"
#include "app/commands.h"
#include "app/graarc.h"
#include "app/pendef.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CArcPane, "app/arcpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CArcPane, OnClickMode)

namespace {

const char* const kFile = "arcpane";

// The shapes in the order of the buttons (icon numbers).
const int kShapeTable[CArcPane::kShapes] = {222, 223, 224, 225};
const int kFirstTag = 100;

} // namespace

void CArcPane::Delete()
{
    for (CButtonRef& button : shape_buttons) {
        if (button.IsValid())
            button->Delete();
        button = CButtonRef();
    }
    ZuView::Delete();
}

bool CArcPane::Create(int new_kind)
{
    ready = false;
    def = ZuNew<CArcDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = true;
    return true;
}

void CArcPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 24, y + 4, 100, 16, "Forme :");
    for (int i = 0; i < kShapes; ++i) {
        NewIconButton(shape_buttons[i], self, x + 24 + 23 * i, y + 24, 23, 23, kFirstTag + i,
                      kShapeTable[i]);
        if (shape_buttons[i].IsValid())
            shape_buttons[i]->AttachObserver(self, ZuControl::notify_clicked,
                                             ZuAtomRef("OnClickMode"), 0);
    }
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 24, y + 92, 150, 100, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CArcPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CArcPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CArcPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CArcPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CArcPane::Refresh()
{
    ready = false;
    MarkButtons();
    UpdateSample();
    ready = true;
}

void CArcPane::MarkButtons()
{
    if (!def.IsValid())
        return;
    const int shape = def->GetMode();
    for (int i = 0; i < kShapes; ++i)
        SetViewOn(ZuViewRef(ZuObjectRef(shape_buttons[i])), kShapeTable[i] == shape ? 1 : 0);
}

void CArcPane::UpdateSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(1.0);
    CGraPortRef port = sample->RetPort();
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    pen->SetWidth(2.0);
    CColorDefRef grey = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    grey->SetGray(0.75);
    CGraArcRef arc = ZuNew<CGraArc>(Zuvi_app_zone, __LINE__, kFile);
    arc->SetDefinition(51, ZuObjectRef(def));
    arc->SetDefinition(10, ZuObjectRef(pen));
    arc->SetDefinition(25, ZuObjectRef(grey));
    const DPoint centre{0.0, 0.0};
    arc->SetPoints(&centre, 1);
    arc->DragPoint(def->GetValue() == 220 ? DPoint{40.0, 40.0} : DPoint{65.0, 40.0}, 0);
    // Handle 4 is the arc's first end: its angle follows the point.
    arc->SetHandlePosition(4, DPoint{0.0, 40.0});
    arc->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CArcDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CArcPane::OnClickMode(const ZuObjectRef& source, unsigned)
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()) || !def.IsValid())
        return true;
    const int i = ZuViewRef(source)->RetUserTag() - kFirstTag;
    if (i < 0 || i >= kShapes)
        return true;
    def->SetMode(kShapeTable[i]);
    MarkButtons();
    UpdateSample();
    NotifyChange(true, false);
    return true;
}
