#include "app/collectionsample.h"

#include <cmath>
#include <cstdlib>

#include "app/colordef.h"
#include "app/misc.h"
#include "app/pendef.h"
#include "ghost/gslibmain.h"
#include "si/classfactory.h"
#include "si/dragview.h"
#include "si/event.h"
#include "si/fontman.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/textstyle.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CCollectionSample, "app/collectionsample", ZU_CLASS_PLAIN)
static Zuvi_NotifyExport zuvi_notify_CCollectionSample_def(&CCollectionSampleRef::RetRuntime(),
                                                           "Changed", "def",
                                                           &CCollectionSample::Changed);

ZuAtomRef CCollectionSample::Changed;
const double CCollectionSample::kDragDistance = 5.0;

namespace {

const char* const kFile = "collectionsample";
const unsigned kSharedSize = 100;

CCollectionSample* AsSample(ZuObject* o)
{
    return static_cast<CCollectionSample*>(o);
}

void GetDef(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(ZuObjectRef(AsSample(o)->RetDef()));
}

// Only a definition is taken; anything else leaves the control as it was.
bool SetDefDatum(const ZuValueRef& v, ZuObject* o)
{
    if (v.IsInvalid() || !v->IsObject())
        return false;
    const ZuObjectRef object = v->RetObject();
    if (object.IsInvalid() || !object->IsKindOf(CDefRef::RetRuntime()))
        return false;
    return AsSample(o)->SetDef(CDefRef(object));
}

void DeclareCollectionSampleData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&CCollectionSampleRef::RetRuntime(), "def", "Def", &CDef_type, true, true, &GetDef,
         &SetDefDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport collectionsample_data(&DeclareCollectionSampleData,
                                         CCollectionSampleRef::RetRuntime());

struct Shared {
    GSContextRef context;
    CGraPortRef port;
    bool tried = false;
    // The controls alive: the context and the port go with the last one,
    // before the memory zones that hold them.
    unsigned controls = 0;
};

// Made once and kept for the process, as every sample control uses them.
Shared& TheShared()
{
    static Shared* shared = new Shared();
    return *shared;
}

void MakeShared()
{
    Shared& s = TheShared();
    if (s.tried)
        return;
    s.tried = true;
    if (!GSLazyStart())
        return;
    s.context = ZuNew<GSContext>(Zuvi_app_zone, __LINE__, kFile);
    s.context->CreateContext(kSharedSize, kSharedSize, 1);
    s.port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, kFile);
    s.port->InitBinaryMode();
    s.port->SetTarget(s.context);
    s.port->InitGraphics();
}

} // namespace

CCollectionSample::CCollectionSample()
{
    text = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, kFile);
    ++TheShared().controls;
}

GSContextRef CCollectionSample::RetSharedContext()
{
    MakeShared();
    return TheShared().context;
}

CGraPortRef CCollectionSample::RetSharedPort()
{
    MakeShared();
    return TheShared().port;
}

bool CCollectionSample::SetDef(const CDefRef& def)
{
    if (def.IsValid()) {
        definition = def;
        SetToolTip(text.IsValid() ? text : ZuStringRef(""));
    } else {
        definition = CDefRef();
        SetToolTip(ZuStringRef(""));
    }
    Display(true);
    return true;
}

void CCollectionSample::SetToolTipText(const ZuObjectRef& given)
{
    ZuStringRef copy = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, kFile);
    if (given.IsValid() && given->IsKindOf(ZuStringRef::RetRuntime()))
        copy->SetString(ZuStringRef(given), 0);
    text = copy;
    SetToolTip(text);
}

void CCollectionSample::SetOn(int on)
{
    const bool want = on == 1;
    if (RetState().TestBit(ZU_VIEW_IS_ON) != want)
        ChangeState(ZU_VIEW_IS_ON, want, false);
    Display(true);
}

std::string CCollectionSample::WidthText(double width)
{
    char buffer[64];
    FormatInUnit(buffer, sizeof buffer, width, 0);
    std::string s(buffer);
    if (s.find('.') != std::string::npos) {
        while (s.size() > 1 && s.back() == '0')
            s.pop_back();
        if (s.size() > 1 && s.back() == '.')
            s.pop_back();
    }
    return s;
}

// ---------------------------------------------------------------- drawing

void CCollectionSample::DrawFront(const ZuGrailPortRef& port, const ZuRect& area)
{
    if (port.IsInvalid())
        return;
    if (definition.IsValid())
        ZuControl::DrawFront(port, area);
    const ZuRect& box = RetBox();
    if (box.IsEmpty())
        return;
    const double l = box.X1(), t = box.Y1(), r = box.X2(), b = box.Y2();
    if (definition.IsValid() && definition->IsKindOf(CColorDefRef::RetRuntime())) {
        // A box too small for the margins shows nothing rather than a
        // swatch turned inside out.
        if (r - 4 < l + 4 || b - 4 < t + 4)
            return;
        const CColorDefRef colour{ZuObjectRef(definition)};
        if (colour->GetTransparency() == 1.0) {
            port->SetForeColor(ZuColorPixel(0.0, 0.0, 0.0, 0.0));
            port->DrawAALineTo(l + 4, t + 4, r - 4, b - 4);
            port->DrawAALineTo(l + 4, b - 4, r - 4, t + 4);
        } else {
            double red = 0, green = 0, blue = 0;
            colour->GetRGB(red, green, blue);
            port->SetForeColor(ZuColorPixel(red, green, blue, 0.0));
            port->FillRect(l + 4, t + 4, r - 4, b - 4);
        }
        return;
    }
    if (definition.IsValid() && definition->IsKindOf(CPenDefRef::RetRuntime())) {
        DrawPen(port);
        return;
    }
    if (r - 1 < l + 1 || b - 1 < t + 1)
        return;
    port->SetForeColor(ZuColorPixel(0.7, 0.7, 0.7, 0.0));
    port->FillRect(l + 1, t + 1, r - 1, b - 1);
}

void CCollectionSample::DrawPen(const ZuGrailPortRef& port)
{
    const ZuRect& box = RetBox();
    const CPenDefRef pen{ZuObjectRef(definition)};
    const CGraPortRef shared = RetSharedPort();
    const GSContextRef context = RetSharedContext();
    if (shared.IsValid() && context.IsValid()) {
        const double w = box.DX() - 4;
        const double h = box.DY() - 4;
        shared->ErasePage();
        shared->SetPen(pen);
        const double width = pen->GetWidth();
        double x1 = 2, x2 = w + 2;
        if (pen->GetCap() != 0) {
            x1 = 3 + width / 2;
            x2 = w + 1 - width / 2;
        }
        shared->DrawLine(DPoint{x1, 2 + h / 2}, DPoint{x2, 2 + h / 2});
        context->CopyRectToPort(port, box);
    }
    port->SetForeColor(ZuColorPixel(1.0, 0.0, 0.0, 0.0));
    const ZuFontManRef& fonts = ZuFontMan::Current();
    ZuGrailFontRef font;
    if (fonts.IsValid() &&
        fonts->CreateFont(ZuStringRef("Arial"), ZuStringRef(""), 10.0, false, font)) {
        port->SetFont(font);
        port->ShowText(box.X1() + 3, box.Y2() - 2, ZuStringRef(WidthText(pen->GetWidth()).c_str()),
                       0, 0, ZuTextStyle::none, 0);
        fonts->ReleaseFont(font);
    }
}

// ---------------------------------------------------------------- pointer

void CCollectionSample::ButtonPress(const ZuEventRef& event)
{
    press_x = event->RetX();
    press_y = event->RetY();
    dragging = 0;
    ZuControl::ButtonPress(event);
    ZuWindowRef window;
    if (GetWindow(window) && window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
}

void CCollectionSample::DragNotify(const ZuEventRef& event)
{
    const double x = event->RetX(), y = event->RetY();
    if (drag_enabled && !dragging &&
        std::fabs(x - press_x) + std::fabs(y - press_y) > kDragDistance) {
        ZuDragViewRef drag = ZuNew<ZuDragView>(Zuvi_app_zone, __LINE__, kFile);
        CCollectionSampleRef image = ZuNew<CCollectionSample>(Zuvi_app_zone, __LINE__, kFile);
        image->SetOrigin(x - 10, y - 10);
        image->SetSize(20, 20);
        image->SetDef(definition);
        drag->SetAutoStop(true);
        drag->SetAutoOops(false);
        drag->SetDragView(image);
        drag->SetDragObject(ZuObjectRef(this));
        drag->SetHotSpot(-10, -10);
        drag->SetDetectSpot(0, 0);
        drag->DragBegin();
        ZuEvent::HandOverToWindow(drag);
        dragging = 1;
    }
    ZuControl::DragNotify(event);
}

void CCollectionSample::ButtonRelease(const ZuEventRef& event)
{
    dragging = 0;
    ZuControl::ButtonRelease(event);
    ZuWindowRef window;
    if (GetWindow(window) && window.IsValid())
        window->SetDraggingView(ZuViewRef());
}

bool CCollectionSample::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                                    ZuDragDropProtocol step)
{
    const auto carries_sample = [&object]() {
        ZuObjectRef held;
        return object.IsValid() && object->QueryData(ZuAtomRef("drag_object"), held) &&
               held.IsValid() && held->IsKindOf(CCollectionSampleRef::RetRuntime());
    };
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
        return drag_enabled && carries_sample();
    case ZU_DDP_DRAGnDROP_COMMIT:
        if (!drag_enabled)
            return false;
        ZuControl::DragAndDrop(rect, object, ZU_DDP_DRAGnDROP_CANCEL);
        return carries_sample();
    default:
        return ZuControl::DragAndDrop(rect, object, step);
    }
}

void CCollectionSample::Delete()
{
    definition = CDefRef();
    text = ZuStringRef();
    Shared& shared = TheShared();
    if (counted) {
        counted = 0;
        if (shared.controls > 0 && --shared.controls == 0) {
            if (shared.port.IsValid())
                shared.port->Delete();
            if (shared.context.IsValid())
                shared.context->Delete();
            shared.port = CGraPortRef();
            shared.context = GSContextRef();
            shared.tried = false;
        }
    }
    ZuControl::Delete();
}
