// Takes arbitrary bytes as a command that arrived through the application's
// command pipe: decodes them as the event layer does (the application as
// the data slot, so that its fields are referenced by name) and dispatches
// the command event, which sends the message to its default target.
// Whatever the bytes, this must end in a delivery, a refusal or a dropped
// command, never in a crash or an abort; a decoded command is a message or
// nothing.
#include "fuzz/harness.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/fontman.h"
#include "si/lookman.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/string.h"
#include "si/target.h"
#include "w32/module.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// What a command can reach by name: a method with arguments and an actor.
ZU_HANDLE(ZuCommandFuzzReceiver, ZuObject)
class ZuCommandFuzzReceiver : public ZuObject {
    ZU_CLASS(ZuCommandFuzzReceiver, ZuObject)
public:
    ZuCommandFuzzReceiver() {}
    bool Poke()
    {
        ++count;
        return true;
    }
    void Delete() override
    {
        last = ZuObjectNull;
        ZuObject::Delete();
    }
    unsigned count = 0;
    ZuObjectRef last;
};
ZU_CLASS_END(ZuCommandFuzzReceiver)
ZU_IMPLEMENT_CLASS(ZuCommandFuzzReceiver, "fuzz/command_fuzz", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(ZuCommandFuzzReceiver, Poke)

static bool TakeThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Take (int n, ZuString text, ZuObject object)");
        exp->SetArg("Int32", "n", "");
        exp->SetArg("ZuString", "text", "");
        exp->SetArg("ZuObject", "object", "");
        return true;
    }
    int n = 0;
    ZuStringRef text;
    ZuObjectRef object;
    msg >> n >> text >> object;
    auto* receiver = static_cast<ZuCommandFuzzReceiver*>(obj);
    receiver->count += unsigned(n) + (text.IsValid() ? text->CharacterCount() : 0);
    receiver->last = object;
    return true;
}
static Zuvi_TargetExport take_export(&TakeThunk, ZuCommandFuzzReceiverRef::RetRuntime());

// A command event as the event layer fills it from the pipe.
ZU_HANDLE(ZuCommandFuzzEvent, ZuEvent)
class ZuCommandFuzzEvent : public ZuEvent {
    ZU_CLASS(ZuCommandFuzzEvent, ZuEvent)
public:
    ZuCommandFuzzEvent() {}
    void Carry(const ZuObjectRef& message)
    {
        type = ZU_EVENT_COMMAND;
        data = message;
    }
    void Delete() override
    {
        data = ZuObjectNull;
        ZuEvent::Delete();
    }
};
ZU_CLASS_END(ZuCommandFuzzEvent)
ZU_IMPLEMENT_CLASS(ZuCommandFuzzEvent, "fuzz/command_fuzz", ZU_CLASS_PLAIN)

namespace {

// The pipe refuses larger commands before they are decoded.
const std::size_t kMaxCommand = 1u << 20;

// Commands may reach windows and views: the window class, the fonts, the
// look and the application are there, as in the program.
struct Runtime : ZuviFuzzStorageRuntime {
    Runtime()
    {
        WNDCLASSEXA wc;
        if (!GetClassInfoExA(nullptr, Zuvi_GrWindowRec::RetClassName(), &wc))
            Zuvi_GrWindowRec::GlobalInit(GetModuleHandleA(nullptr));
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
        ZuApp::Initialise(app);
        app->InsertField(ZuAtomRef("Receiver"), receiver);
    }
    // The application stays to the end: at exit the library's handles of
    // it are gone already, and its zone goes with the services.
    ~Runtime()
    {
        app->RemoveField(ZuAtomRef("Receiver"));
        receiver->Delete();
        ZuLookMan::Kill();
        ZuFontMan::KillSystemFontMan();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "fuzz/command_fuzz");
    ZuAppRef app = ZuNew<ZuApp>(nullptr, __LINE__, "fuzz/command_fuzz");
    ZuCommandFuzzReceiverRef receiver =
        ZuNew<ZuCommandFuzzReceiver>(nullptr, __LINE__, "fuzz/command_fuzz");
};

// The bytes of a message as another application posts it (the carbon copy
// of PostCommandEvent, with the application as the data slot).
std::vector<std::uint8_t> CommandBytes(const ZuMessageRef& message)
{
    ZuCarbonCopyRef copy(ZuNew<ZuCarbonCopy>(nullptr, __LINE__, "fuzz/command_fuzz"));
    copy->StartStoring();
    copy->SetDataSlot(ZuApp::Current());
    copy->StoreObject(message);
    std::vector<std::uint8_t> bytes(copy->RetRawDataSize());
    copy->ExtractRawData(bytes.data(), unsigned(bytes.size()));
    copy->StartStoring();
    copy->Delete();
    return bytes;
}

// Seeds: the receiver's method with its arguments, its actor, and a
// message without a target.
void WriteSeeds(const ZuFuzzStorageRef&, const char* dir)
{
    ZuObjectRef receiver;
    ZuApp::Current()->GetField(ZuAtomRef("Receiver"), receiver);
    struct Seed {
        const char* name;
        const char* method;
        ZuTargetType kind;
    } seeds[] = {
        {"take", "Take", ZU_TARGET_MESSAGE},
        {"poke", "Poke", ZU_TARGET_ACTOR},
        {"untargeted", nullptr, ZU_TARGET_MESSAGE},
    };
    for (const Seed& seed : seeds) {
        ZuMessageRef msg(ZuNew<ZuMessage>(nullptr, __LINE__, "fuzz/command_fuzz"));
        if (seed.method != nullptr) {
            ZuTargetRef t(ZuNew<ZuTarget>(nullptr, __LINE__, "fuzz/command_fuzz"));
            t->SetTarget(ZuAtomRef(seed.method), receiver, seed.kind);
            msg->SetTarget(t);
        } else {
            msg->SetMethod("Take");
        }
        msg->SetRemoteMode(true);
        msg << 3 << ZuObjectRef(ZuStringRef("commande")) << receiver;
        Zuvi_FuzzWriteSeed(dir, seed.name, CommandBytes(msg));
        msg->Delete();
    }
    ZuObjectRef::RealiseDeletions();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Windows live on the in-memory screen, whatever the machine has.
    setenv("ZUVI_BACKEND", "headless", 1);
    Runtime& runtime = Zuvi_FuzzRuntime<Runtime>("command_fuzz", "COMMAND_FUZZ_TRACE",
                                                 "COMMAND_FUZZ_SEEDS", WriteSeeds);
    if (size > kMaxCommand)
        return 0;
    {
        // The event layer hands over a block of zone memory, which the
        // decoding frees.
        void* block = size != 0 ? Zuvi_app_zone->Alloc(unsigned(size), "command", __LINE__,
                                                       "fuzz/command_fuzz")
                                : nullptr;
        if (block != nullptr)
            std::memcpy(block, data, size);
        const ZuObjectRef decoded = ZuEvent::DecodeCommandMessage(block, unsigned(size));
        Zuvi_FuzzCheck(decoded.IsInvalid() || decoded->IsKindOf(ZuMessageRef::RetRuntime()),
                       "a command decoded into something else than a message");
        ZuCommandFuzzEventRef event(
            ZuNew<ZuCommandFuzzEvent>(nullptr, __LINE__, "fuzz/command_fuzz"));
        event->Carry(decoded);
        event->DispatchEvent();
        event->Delete();
        runtime.receiver->last = ZuObjectNull;
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
