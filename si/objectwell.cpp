#include "si/objectwell.h"

#include <algorithm>

#include "si/adorner.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"
#include "si/textstyle.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuObjectWell, "si/objectwell", ZU_CLASS_PLAIN)

ZuAtomRef ZuObjectWell::notify_object_changed;

ZU_EXPORT_NOTIFY(ZuObjectWell, update, "Update", nullptr)
ZU_EXPORT_NOTIFY(ZuObjectWell, new_object, "NewObject", nullptr)
ZU_EXPORT_NOTIFY(ZuObjectWell, kill_object, "KillObject", nullptr)
ZU_EXPORT_NOTIFY(ZuObjectWell, drag_object, "drag_object", nullptr)
ZU_EXPORT_NOTIFY(ZuObjectWell, object_changed, "notify_object_changed",
                 &ZuObjectWell::notify_object_changed)
static Zuvi_NotifyExport zuvi_notify_ZuObjectWell_object(&ZuObjectWellRef::RetRuntime(),
                                                         "notify_object_changed", "object",
                                                         nullptr);
ZU_EXPORT_ACTOR(ZuObjectWell, Update)
ZU_EXPORT_ACTOR(ZuObjectWell, NewObject)
ZU_EXPORT_ACTOR(ZuObjectWell, KillObject)

namespace {

ZuStorageSync& ObjectWellRecord()
{
    static ZuStorageSync record(
        "<ZuObjectWell object use_new_button use_kill_button icon_cube icon_arrow>");
    return record;
}

ZuObjectWell* AsWell(ZuObject* o)
{
    return static_cast<ZuObjectWell*>(o);
}

bool AddReporterThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("AddReporter (reporter)");
        exp->SetArg("ZuDataReportRef", "reporter", "data report");
        return false;
    }
    ZuObjectRef reporter;
    msg >> reporter;
    if (reporter.IsValid() && reporter->IsKindOf(ZuDataReportRef::RetRuntime()))
        AsWell(obj)->AddReporter(ZuDataReportRef(reporter));
    return true;
}
Zuvi_TargetExport add_reporter_export(&AddReporterThunk, ZuObjectWellRef::RetRuntime());

bool SetObjectThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("SetObject (object)");
        exp->SetArg("ZuObjectRef", "object", "object");
        return false;
    }
    ZuObjectRef given;
    msg >> given;
    return AsWell(obj)->SetObject(given);
}
Zuvi_TargetExport set_object_export(&SetObjectThunk, ZuObjectWellRef::RetRuntime());

void GetObjectDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsWell(o)->RetObject());
}
bool SetObjectDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsWell(o)->SetObject(value.IsValid() ? value->RetObject() : ZuObjectNull);
}
void GetEditorDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsWell(o)->RetObjectEditor()));
}
bool SetEditorDatum(const ZuValueRef& value, ZuObject* o)
{
    ZuObjectRef given = value.IsValid() ? value->RetObject() : ZuObjectNull;
    if (given.IsValid() && !given->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    return AsWell(o)->SetObjectEditor(given.IsValid() ? ZuViewRef(given) : ZuViewNull);
}

void DeclareWellData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuObjectWellRef::RetRuntime(), "object", "Object", &ZuObject_type, true, true,
         &GetObjectDatum, &SetObjectDatum},
        {&ZuObjectWellRef::RetRuntime(), "editor", "Object editor", &ZuView_type, true, true,
         &GetEditorDatum, &SetEditorDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport well_data(&DeclareWellData, ZuObjectWellRef::RetRuntime());

// Takes a child view out of the well and deletes it.
template <class R>
void DropChild(R& view)
{
    if (view.IsInvalid())
        return;
    R gone = view;
    view = R();
    gone->SetParent(ZuViewNull);
    gone->Delete();
}

ZuObjectRef Builder()
{
    ZuObjectRef builder;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->GetBuilder(builder);
    return builder;
}

} // namespace

ZuObjectWell::ZuObjectWell()
{
    state.SetBit(ZU_VIEW_OK_DROP);
    ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    ChangeStyle(ZU_CTRL_EFFECT_WHEN_ACTIVE, false);
    SetWellIcons(ZuAtomRef("Zuvi_Cube"), ZuAtomRef("Zuvi_RightArrow"));
}

void ZuObjectWell::Delete()
{
    CleanupWell();
    object = ZuObjectNull;
    base_type = ZuTypeInfoRef();
    ZuControl::Delete();
}

void ZuObjectWell::CleanupWell()
{
    DropChild(editor);
    DropChild(kill_icon);
    DropChild(kill_button);
    DropChild(new_icon);
    DropChild(new_button);
    if (reporters.IsValid()) {
        ZuObjectRef first;
        while (reporters->Get(0, first)) {
            if (first.IsValid())
                first->Delete();
            if (!reporters->Remove(0u))
                break;
        }
        ZuHashTableRef table = reporters;
        reporters = ZuHashTableRef();
        table->Delete();
    }
    object_attached = editor_shown = false;
}

void ZuObjectWell::MakeButton(const char* icon_name, double x, double y, const char* method,
                              ZuIconRef& icon, ZuButtonRef& button)
{
    icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    icon->Initialise(ZuAtomRef(icon_name), 0, 0, true, true);
    icon->ResetDefaultSize();
    button = ZuNew<ZuButton>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    button->ChangeStyle(ZU_CTRL_EFFECT_WHEN_ACTIVE, false);
    button->SetParent(ZuViewRef(this));
    button->SetOrigin(x, y);
    button->SetSize(14, 14);
    button->SetContents(icon);
    button->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    button->ChangeState(ZU_VIEW_NO_UI_INSPECT, true, false);
    button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef(method), 0);
}

void ZuObjectWell::SetupWellForObject()
{
    CleanupWell();
    double w = 0, h = 0;
    GetMinSize(w, h);
    SetSize(w, h);
    RemoveAttribute("embedded_object_for_connect", 0);
    RemoveAttribute("embedded_object_for_ui_edit", 0);
    if (object.IsValid()) {
        SetAttribute("embedded_object_for_connect", object);
        SetAttribute("embedded_object_for_ui_edit", object);
        object_attached = true;
        ZuObjectRef builder = Builder();
        if (builder.IsValid()) {
            ZuMessageRef message = ZuNew<ZuMessage>(Zuvi_temp_zone);
            message->SetMethod("EditSimpleObject");
            message->Clear();
            message->StoreObject(ZuObjectRef(this));
            message->StoreObject(object);
            message->StoreAtom(ZuAtomRef("editor"));
            message->Send(builder);
            message->Delete();
        }
        editor_shown = editor.IsValid();
    } else {
        object_attached = editor_shown = false;
    }
    double x = box.X1() + cube_dx + 2 * frame + arrow_dx;
    const double y = box.Y1();
    if (editor_shown) {
        double edx = 0, edy = 0;
        editor->GetSize(edx, edy);
        editor->SetSize(editor_width, edy);
        editor->SetParent(ZuViewRef(this));
        editor->SetOrigin(x, y);
        ZuViewState bits = editor->RetState();
        bits.SetBit(ZU_VIEW_NO_UI_MODIF);
        bits.SetBit(ZU_VIEW_NO_UI_INSPECT);
        editor->SetState(bits, false);
    }
    const double yb = box.Y2() - 14;
    if (use_new_button) {
        MakeButton("Zuvi_SliderDot", x, yb, "NewObject", new_icon, new_button);
        x += 16;
    }
    if (use_kill_button && object_attached)
        MakeButton("Zuvi_MiniClose", x, yb, "KillObject", kill_icon, kill_button);
}

void ZuObjectWell::AdjustObject(const ZuObjectRef& given)
{
    if (given.IsInvalid() || !given->IsKindOf(ZuViewRef::RetRuntime()))
        return;
    ZuViewRef view(given);
    double dx = 0, dy = 0, min_dx = 0, min_dy = 0;
    view->GetSize(dx, dy);
    view->GetMinSize(min_dx, min_dy);
    if (dx < min_dx || dy < min_dy)
        view->SetSize(min_dx, min_dy);
}

bool ZuObjectWell::SetObject(const ZuObjectRef& given)
{
    object = given;
    SetupWellForObject();
    Display(true);
    QuickReport(notify_object_changed, 0);
    return true;
}

bool ZuObjectWell::SetObjectEditor(const ZuViewRef& view)
{
    editor = view;
    return true;
}

bool ZuObjectWell::SetBaseType(const ZuTypeInfoRef& type)
{
    base_type = type;
    return true;
}

bool ZuObjectWell::GetObject(ZuObjectRef& out) const
{
    out = object;
    return true;
}

bool ZuObjectWell::GetBaseType(ZuTypeInfoRef& out) const
{
    out = base_type;
    return true;
}

const ZuObjectRef& ZuObjectWell::RetObject() const
{
    return object;
}

const ZuViewRef& ZuObjectWell::RetObjectEditor() const
{
    return editor;
}

bool ZuObjectWell::SetNewButton(bool flag)
{
    use_new_button = flag;
    return true;
}

bool ZuObjectWell::SetKillButton(bool flag)
{
    use_kill_button = flag;
    return true;
}

bool ZuObjectWell::SetWellIcons(const ZuAtomRef& cube, const ZuAtomRef& arrow)
{
    double cube_dy = 0, arrow_dy = 0;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid()) {
        look->GetIconSize(cube, cube_dx, cube_dy, 0);
        look->GetIconSize(arrow, arrow_dx, arrow_dy, 0);
        frame = look->Ret3DEffectWidth();
    }
    icon_dy = cube_dy > arrow_dy ? cube_dy : arrow_dy;
    cube_y = frame + (icon_dy - cube_dy) / 2;
    arrow_y = frame + (icon_dy - arrow_dy) / 2;
    icon_cube = cube;
    icon_arrow = arrow;
    return true;
}

bool ZuObjectWell::Update()
{
    AdjustObject(object);
    if (object.IsValid() && object->IsKindOf(ZuViewRef::RetRuntime()))
        ZuViewRef(object)->Display(true);
    return true;
}

bool ZuObjectWell::NewObject()
{
    ZuObjectRef builder = Builder();
    if (builder.IsValid()) {
        ZuMessageRef message = ZuNew<ZuMessage>(Zuvi_temp_zone);
        message->SetMethod("NewObject");
        message->Clear();
        message->StoreObject(ZuObjectRef(this));
        message->StoreAtom(ZuAtomRef("SetObject"));
        message->StoreObject(base_type);
        message->Send(builder);
        message->Delete();
    }
    return true;
}

bool ZuObjectWell::KillObject()
{
    SetObject(ZuObjectNull);
    QuickReport(notify_object_changed, 1);
    Display(true);
    return true;
}

void ZuObjectWell::AddReporter(const ZuDataReportRef& reporter)
{
    if (reporters.IsInvalid())
        reporters = ZuNew<ZuHashTable>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    reporters->Insert(reporter);
}

void ZuObjectWell::GetMinSize(double& dx, double& dy) const
{
    dx = cube_dx + 2 * frame + arrow_dx + editor_width;
    dy = icon_dy + 2 * frame;
}

bool ZuObjectWell::DragAndDrop(const ZuRect& rect, const ZuObjectRef& dragged,
                               ZuDragDropProtocol step)
{
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
        return true;
    case ZU_DDP_DRAGnDROP_COMMIT: {
        ZuControl::DragAndDrop(rect, dragged, ZU_DDP_DRAGnDROP_CANCEL);
        ZuObjectRef carried;
        if (dragged.IsValid())
            dragged->QueryData(ZuAtomRef("drag_object"), carried);
        AdjustObject(carried);
        SetObject(carried);
        QuickReport(notify_object_changed, 1);
        Display(true);
        return true;
    }
    default:
        return ZuControl::DragAndDrop(rect, dragged, step);
    }
}

void ZuObjectWell::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
}

void ZuObjectWell::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const double left = box.X1(), top = box.Y1();
    const ZuRect cube(left, top, left + cube_dx + 2 * frame - 1, top + icon_dy + 2 * frame - 1);
    adorner->DrawRectHigh(cube, 0);
    adorner->DrawIcon(left + frame, top + cube_y, icon_cube, ZU_CTRL_STATE_NORMAL, 0, 0);
    if (!object_attached)
        return;
    adorner->DrawIcon(left + cube_dx + 2 * frame, top + arrow_y, icon_arrow, ZU_CTRL_STATE_NORMAL,
                      0, 0);
    const ZuRect text_box(left + cube_dx + 2 * frame + arrow_dx + 36, top, box.X2(), box.Y2());
    ZuStringRef text("class ");
    if (object.IsValid())
        text->AppendString(object->RetRuntime()->RetClassName());
    else
        text->AppendString("none");
    adorner->SetForeColor(ZU_COLOR_VIEW_NORMAL);
    port->ShowText(text_box, text, 0, text->CharacterCount(),
                   ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BOTTOM), 0);
}

void ZuObjectWell::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << ObjectWellRecord() << ZuStorageSync::begin;
    s->StoreObject(object);
    s->StoreBool(use_new_button);
    s->StoreBool(use_kill_button);
    s->StoreAtom(icon_cube);
    s->StoreAtom(icon_arrow);
    s << ZuStorageSync::end;
}

void ZuObjectWell::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreObject(object, ZuObjectRef::RetRuntime());
    use_new_button = s->RestoreBool(use_new_button);
    use_kill_button = s->RestoreBool(use_kill_button);
    s->RestoreAtom(icon_cube);
    s->RestoreAtom(icon_arrow);
    s >> ZuStorageSync::end;
}
