#include "tests/support/controls.h"

#include "sd/win32/sd_event.h"
#include "si/control.h"
#include "si/event.h"
#include "si/pubdata.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/grailwdo.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/time.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"
#include "w32/headless.h"
#include "w32/systime.h"

ZU_IMPLEMENT_CLASS(TReportLog, "tests/support/controls", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(TTagProbe, "tests/support/controls", ZU_CLASS_PLAIN)

namespace {

std::vector<std::string>& WatchedNames()
{
    static std::vector<std::string> names;
    return names;
}

bool Record(ZuObject* o, const ZuObjectRef& source, unsigned id)
{
    TReportLog* self = static_cast<TReportLog*>(o);
    unsigned report = source.IsValid() ? source->GetCurrentReportID() : 0;
    const std::string name = id < WatchedNames().size() ? WatchedNames()[id] : "?";
    self->log += name + (report > self->last_seen ? "(1) " : "(0) ");
    if (report > self->last_seen)
        self->last_seen = report;
    return true;
}

Zuvi_TargetExport record_export(&Record, "Record", TReportLogRef::RetRuntime());

const std::int64_t kStartTime = 1700000000000LL;

TTagProbe* AsTag(ZuObject* o)
{
    return static_cast<TTagProbe*>(o);
}
void GetTagText(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsTag(o)->text));
}
bool SetTagText(const ZuValueRef& value, ZuObject* o)
{
    AsTag(o)->text = value.IsValid() ? ZuStringRef(value) : ZuStringRef("");
    return true;
}
void GetTagStyle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsTag(o)->text_style);
}
bool SetTagStyle(const ZuValueRef& value, ZuObject* o)
{
    AsTag(o)->text_style = Zuvi_ValueToZuTextStyle(value);
    return true;
}
void DeclareTagData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&TTagProbeRef::RetRuntime(), "text", "Text", &ZuString_type, true, true, &GetTagText,
         &SetTagText},
        {&TTagProbeRef::RetRuntime(), "text_style", "Text style", &ZuTextStyle_type, true, true,
         &GetTagStyle, &SetTagStyle},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport tag_data(&DeclareTagData, TTagProbeRef::RetRuntime());

} // namespace

void TTagProbe::Delete()
{
    text = ZuStringRef();
    ZuView::Delete();
}

void TTagProbe::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s->StoreObject(text);
}

void TTagProbe::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    ZuObjectRef o;
    s->RestoreObject(o, ZuStringRef::RetRuntime());
    text = o.IsValid() && o->IsKindOf(ZuStringRef::RetRuntime()) ? ZuStringRef(o) : ZuStringRef("");
}

void TTagProbe::GetMinSize(double& dx, double& dy) const
{
    dx = text.IsValid() ? 6.0 * text->CharacterCount() : 0;
    dy = 12;
}

TReportLogRef TReportLog::Make()
{
    return TReportLogRef(ZuNew<TReportLog>(Zuvi_app_zone, __LINE__, "controls"));
}

void TReportLog::Delete()
{
    std::string().swap(log);
    ZuObject::Delete();
}

void TReportLog::Clear()
{
    log.clear();
    last_seen = ZuObject::global_report_id;
}

void TReportLog::Watch(const ZuObjectRef& source, std::initializer_list<const char*> events)
{
    last_seen = ZuObject::global_report_id;
    for (const char* event : events) {
        unsigned id = static_cast<unsigned>(WatchedNames().size());
        WatchedNames().push_back(event);
        source->AttachObserver(ZuObjectRef(this), ZuAtomRef(event), ZuAtomRef("Record"), id);
    }
}

void ControlTest::SetUp()
{
    LookTest::SetUp();
    RegisterWindowClass();
    W32_SetTestClock(kStartTime);
    app = ZuNew<ZuApp>(nullptr);
    ZuApp::Initialise(app);
    app->NotifyActiveApp(true);
    app->HandleTick(ZuTime::NowGMTAbsTime(), false);
    saved_text_tag_class = ZuControl::text_tag_class;
    ZuControl::text_tag_class = "TTagProbe";
    w = NewShownWindow(100, 100, 200, 120);
    reports = TReportLog::Make();
}

ZuWindowRef ControlTest::NewShownWindow(double x, double y, double dx, double dy)
{
    ZuWindowRef win = ZuNew<ZuWindow>(Zuvi_app_zone);
    win->InitGeom(x, y, dx, dy);
    win->ShowNormal();
    more_windows.push_back(win);
    Pump();
    return win;
}

void ControlTest::TearDown()
{
    W32_HeadlessMouse(0, 0, 0);
    Pump();
    for (ZuWindowRef& win : more_windows)
        if (win.IsValid())
            win->Delete();
    more_windows.clear();
    w = ZuWindowRef();
    reports->Delete();
    reports = TReportLogRef();
    ZuApp::Kill();
    app = ZuAppRef();
    Zuvi_ResetEventLayer();
    W32_ClearTestClock();
    UnregisterWindowClass();
    ZuControl::text_tag_class = saved_text_tag_class;
    LookTest::TearDown();
}

void ControlTest::Pump()
{
    ZuEvent::PostQuitEvent();
    const ZuEventRef& e = ZuEvent::Current();
    while (e->WaitForEvent())
        e->DispatchEvent();
}

void ControlTest::Mouse(double x, double y, unsigned buttons)
{
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
    Pump();
}

void ControlTest::Key(UINT virtual_key, UINT scan, bool down)
{
    W32_HeadlessKey(virtual_key, scan, false, down);
    Pump();
}

void ControlTest::Tap(UINT virtual_key, UINT scan)
{
    W32_HeadlessKey(virtual_key, scan, false, true);
    W32_HeadlessKey(virtual_key, scan, false, false);
    Pump();
}

void ControlTest::Advance(int milliseconds)
{
    W32_AdvanceTestClock(milliseconds);
    app->HandleTick(ZuTime::NowGMTAbsTime(), true);
    Pump();
}

unsigned ControlTest::WindowPixel(int x, int y)
{
    app->SyncWindows(true);
    Pump();
    const ZuGrailWindowRef& screen = w->RetScreenWindow();
    uint32_t p = 0xDEADBEEF;
    if (screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr)
        W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, x, y, p);
    return p & 0xFFFFFF;
}

ZuObjectRef ControlTest::StoreAndRestore(const ZuObjectRef& object)
{
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(object);
    const std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuObjectRef::RetRuntime());
    s->Delete();
    return out;
}
