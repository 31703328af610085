// Restores one object from arbitrary bytes through a carbon copy (remote
// mode) and, when it is a message, sends it to a receiver whose method
// reads an integer, a string and an object. Whatever the bytes, this must
// end in a delivery, a false answer or a ZuExcStream, never in a crash or
// an abort.
#include "fuzz/foundinputs.h"
#include "si/atom.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/target.h"
#include "si/maininit.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

ZU_HANDLE(ZuFuzzReceiver, ZuObject)
class ZuFuzzReceiver : public ZuObject {
    ZU_CLASS(ZuFuzzReceiver, ZuObject)
public:
    ZuFuzzReceiver() {}
    bool Take(int n, const ZuObjectRef& text, const ZuObjectRef& object)
    {
        sum += unsigned(n);
        if (text.IsValid() && text->IsKindOf(ZuStringRef::RetRuntime()))
            sum += ZuStringRef(text)->CharacterCount();
        last = object;
        return true;
    }
    bool Poke()
    {
        ++sum;
        return true;
    }
    void Delete() override
    {
        last = ZuObjectNull;
        ZuObject::Delete();
    }
    unsigned sum = 0;
    ZuObjectRef last;
};
ZU_CLASS_END(ZuFuzzReceiver)
ZU_IMPLEMENT_CLASS(ZuFuzzReceiver, "fuzz/message_fuzz", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(ZuFuzzReceiver, Poke)

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
    return static_cast<ZuFuzzReceiver*>(obj)->Take(n, text, object);
}
static Zuvi_TargetExport take_export(&TakeThunk, ZuFuzzReceiverRef::RetRuntime());

namespace {

struct Runtime {
    ZuCarbonCopyRef* copy;
    ZuFuzzReceiverRef* receiver;
};

Runtime& Start()
{
    static Runtime rt = [] {
        Zuvi_StartServices();
        Runtime r;
        r.copy = new ZuCarbonCopyRef(ZuNew<ZuCarbonCopy>(nullptr, __LINE__, "fuzz/message_fuzz"));
        r.receiver =
            new ZuFuzzReceiverRef(ZuNew<ZuFuzzReceiver>(nullptr, __LINE__, "fuzz/message_fuzz"));
        std::atexit([] {
            Runtime& me = Start();
            (*me.receiver)->Delete();
            delete me.receiver;
            delete me.copy;
            Zuvi_StopServices();
        });
        return r;
    }();
    return rt;
}

// Seeds: a message by method and one by target, both in remote mode, as
// the carbon copy stores them.
void WriteSeeds(const char* dir)
{
    Runtime& rt = Start();
    for (int kind = 0; kind < 3; ++kind) {
        ZuMessageRef msg(
            ZuObjectRef(ZuClassFactory::New("ZuMessage", nullptr, __LINE__, "fuzz/message_fuzz")));
        msg->SetRemoteMode(true);
        if (kind == 0) {
            msg->SetMethod("Take");
        } else {
            ZuTargetRef t(ZuNew<ZuTarget>(nullptr, __LINE__, "fuzz/message_fuzz"));
            t->SetTarget(ZuAtomRef(kind == 1 ? "Take" : "Poke"), *rt.receiver,
                         kind == 1 ? ZU_TARGET_MESSAGE : ZU_TARGET_ACTOR);
            msg->SetTarget(t);
        }
        msg << 12 << ZuObjectRef(ZuStringRef("seed")) << ZuObjectRef(*rt.receiver);
        (*rt.copy)->StartStoring();
        (*rt.copy)->StoreObject(msg);
        std::vector<unsigned char> bytes((*rt.copy)->RetRawDataSize());
        (*rt.copy)->ExtractRawData(bytes.data(), unsigned(bytes.size()));
        std::string name = std::string(dir) + "/seed" + std::to_string(kind);
        if (FILE* f = std::fopen(name.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        (*rt.copy)->StartStoring();
    }
    for (const auto& found : Zuvi_FoundObjectInputs()) {
        std::string name = std::string(dir) + "/" + found.first;
        if (FILE* f = std::fopen(name.c_str(), "wb")) {
            std::fwrite(found.second.data(), 1, found.second.size(), f);
            std::fclose(f);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* dir = std::getenv("MESSAGE_FUZZ_SEED_DIR"))
        WriteSeeds(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Runtime& rt = Start();
    ZuCarbonCopyRef& copy = *rt.copy;
    if (size > 1u << 20)
        return 0;
    copy->SetRawData(data, unsigned(size));
    {
        ZuObjectRef object;
        try {
            copy->RestoreObject(object, ZuRuntimeRef());
        } catch (const ZuExcStream&) {}
        if (object.IsValid() && object->IsKindOf(ZuMessageRef::RetRuntime())) {
            ZuMessageRef msg(object);
            for (int i = 0; i < 2; ++i) {
                try {
                    msg->Send(*rt.receiver);
                } catch (const ZuExcStream&) {}
            }
            msg->Delete();
        }
        (*rt.receiver)->last = ZuObjectNull;
        copy->StartStoring();
        if (object.IsValid())
            object->Delete();
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
