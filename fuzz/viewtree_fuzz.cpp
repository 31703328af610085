// Restores a window with its view tree (or any view the stream names) from
// arbitrary bytes, as an interface file holds it. Whatever the bytes, reading
// must end in a view or a ZuExcStream, never in a crash or an abort, and no
// half-linked view may reach the caller. A view that was read is put to
// work: detection, pointer and key events, focus traversal, storing and
// restoring again, and deletion of the whole tree.
#include "fuzz/quietsink.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/window.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

ZU_HANDLE(ZuViewFuzzStorage, ZuStorage)
class ZuViewFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuViewFuzzStorage, ZuStorage)
public:
    ZuViewFuzzStorage() {}
    void StartReading(const std::uint8_t* bytes, std::size_t n)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        data = bytes;
        size = n;
        pos = 0;
        DropPushedBack();
    }
    void StartWriting()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        out.clear();
    }
    void Stop() { SetStorageMode(ZU_STORAGE_OFF); }
    const std::vector<std::uint8_t>& Written() const { return out; }

    void StoreData(const void* bytes, unsigned int n) override
    {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        out.insert(out.end(), p, p + n);
    }
    std::uint64_t RetRemainingData() const override { return size - pos; }
    void RestoreData(void* to, unsigned int n) override
    {
        if (n > size - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(to, data + pos, n);
        pos += n;
    }

private:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::vector<std::uint8_t> out;
};
ZU_CLASS_END(ZuViewFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuViewFuzzStorage, "fuzz/viewtree_fuzz", ZU_CLASS_PLAIN)

ZU_HANDLE(ZuViewFuzzEvent, ZuEvent)
class ZuViewFuzzEvent : public ZuEvent {
    ZU_CLASS(ZuViewFuzzEvent, ZuEvent)
public:
    ZuViewFuzzEvent() {}
    void Set(ZuEventType t, double px, double py, bool button)
    {
        type = t;
        x = px;
        y = py;
        buttons = ZuEventButtons();
        if (button)
            buttons.SetBit(ZU_EV_BUTTON_LEFT);
    }
};
ZU_CLASS_END(ZuViewFuzzEvent)
ZU_IMPLEMENT_CLASS(ZuViewFuzzEvent, "fuzz/viewtree_fuzz", ZU_CLASS_PLAIN)

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "viewtree_fuzz: %s\n", what);
        std::abort();
    }
}

void Exercise(const ZuViewRef& view, const ZuViewFuzzEventRef& event)
{
    const ZuRect box = view->RetBox();
    const double xs[] = {0, box.X1(), box.X2(), (box.X1() + box.X2()) / 2, 5, 50};
    const double ys[] = {0, box.Y1(), box.Y2(), (box.Y1() + box.Y2()) / 2, 5, 50};
    for (double px : xs)
        for (double py : ys) {
            ZuViewRef hit;
            view->Detect(px, py, hit, false);
            view->Detect(px, py, hit, true);
        }
    if (view->IsWindow()) {
        ZuWindowRef w(view);
        const ZuEventType types[] = {ZU_EVENT_MOTION, ZU_EVENT_PRESS, ZU_EVENT_KEY_DOWN,
                                     ZU_EVENT_RELEASE, ZU_EVENT_WHEEL};
        for (unsigned i = 0; i < 5; ++i) {
            event->Set(types[i], xs[i + 1], ys[i + 1], i == 1);
            w->DispatchEvent(event);
        }
        ZuViewRef first = w->RetFirstActive();
        if (first.IsValid()) {
            w->SetMainResponder(first, false);
            ZuViewRef next;
            first->FindNextActive(next);
        }
        event->Set(ZU_EVENT_MOTION, -5, -5, false);
        w->LeaveNotify(event);
        w->AddDelayedDisplay(box, true);
        w->RedrawDelayedDisplay();
    }
}

std::vector<std::uint8_t> StoreOf(const ZuViewFuzzStorageRef& storage, const ZuObjectRef& o)
{
    storage->StartWriting();
    storage->StoreObject(o);
    storage->Stop();
    return storage->Written();
}

void TakeDown(const ZuViewRef& v)
{
    if (v.IsInvalid())
        return;
    if (v->IsWindow())
        v->Delete();
    else {
        if (v->RetParent().IsValid())
            v->SetParent(ZuViewRef());
        v->Delete();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    struct Runtime {
        ZuViewFuzzStorageRef storage;
        ZuViewFuzzEventRef event;
    };
    static Runtime* runtime = [] {
        Zuvi_FuzzQuietUnless("VIEWTREE_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* r = new Runtime{ZuNew<ZuViewFuzzStorage>(nullptr, __LINE__, "fuzz/viewtree_fuzz"),
                              ZuNew<ZuViewFuzzEvent>(nullptr, __LINE__, "fuzz/viewtree_fuzz")};
        std::atexit([] {
            delete runtime;
            Zuvi_StopServices();
        });
        return r;
    }();
    ZuViewFuzzStorageRef& storage = runtime->storage;
    {
        ZuViewRef v;
        storage->StartReading(data, size);
        try {
            ZuObjectRef read;
            storage->RestoreObject(read, ZuViewRef::RetRuntime());
            if (read.IsValid() && read->IsKindOf(ZuViewRef::RetRuntime()))
                v = ZuViewRef(read);
            else if (read.IsValid())
                read->Delete();
        } catch (const ZuException&) {
            Check(v.IsInvalid(), "half-read view reached the caller");
        }
        storage->Stop();
        if (v.IsValid()) {
            Exercise(v, runtime->event);
            const std::vector<std::uint8_t> first = StoreOf(storage, v);
            storage->StartReading(first.data(), first.size());
            ZuObjectRef again;
            storage->RestoreObject(again, ZuViewRef::RetRuntime());
            storage->Stop();
            Check(again.IsValid(), "stored view not read back");
            TakeDown(ZuViewRef(again));
            TakeDown(v);
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
