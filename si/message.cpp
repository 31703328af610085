#include "si/message.h"

#include <cstring>

#include "si/error.h"
#include "si/except.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(ZuMessage, ZU_SRC_FILE, ZU_CLASS_PLAIN)

// The message form of an exported target: linked like the other forms,
// then called once without an object so that it describes its call and
// parameters (SetCall, SetArg).
Zuvi_TargetExport::Zuvi_TargetExport(Zuvi_Target::MessageFn fn, const ZuRuntimeRef& rt)
    : next(nullptr), prev(nullptr), info()
{
    info.class_rt = &rt;
    info.message_fn = fn;
    LinkSelf();
    fn(ZuMessageRef(), nullptr, this);
}

namespace {

ZuStorageSync& MessageRecord()
{
    static ZuStorageSync record(
        "<ZuMessage target method target_ok method_ok remote_mode length bindata>");
    return record;
}

} // namespace

// The heap read from its first byte for one delivery; the write state, and
// with it the arguments, comes back afterwards, also when the callee threw.
class ZuMessage::ReadState {
public:
    explicit ReadState(ZuMessage& m) : msg(m)
    {
        msg.saved_cursor = msg.cursor;
        msg.saved_count = msg.count;
        msg.count = HEAP_SIZE - msg.count;
        msg.cursor = 0;
        msg.reading = true;
        // What an earlier reader peeked at belongs to an earlier delivery.
        msg.DropPushedBack();
    }
    ~ReadState()
    {
        msg.cursor = msg.saved_cursor;
        msg.count = msg.saved_count;
        msg.reading = false;
        msg.DropPushedBack();
    }
    ReadState(const ReadState&) = delete;
    ReadState& operator=(const ReadState&) = delete;

private:
    ZuMessage& msg;
};

ZuMessage::ZuMessage()
{
    SetStorageMode(ZU_STORAGE_LOCAL);
}

void ZuMessage::ResetMode()
{
    // Bytes from outside never carry addresses the reader could trust.
    SetStorageMode(remote_mode || from_outside ? ZU_STORAGE_REMOTE : ZU_STORAGE_LOCAL);
}

void ZuMessage::StoreData(const void* data, unsigned int size)
{
    // At least one byte stays free: the heap holds at most 999 bytes.
    if (!(count > size))
        ZU_ABORT("ZuMessage heap too small");
    if (size)
        std::memcpy(heap + cursor, data, size);
    cursor += size;
    count -= size;
}

void ZuMessage::RestoreData(void* data, unsigned int size)
{
    if (!(count >= size)) {
        if (from_outside)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        ZU_ABORT("Expecting more data from ZuMessage heap");
    }
    if (size)
        std::memcpy(data, heap + cursor, size);
    cursor += size;
    count -= size;
}

std::uint64_t ZuMessage::RetRemainingData() const
{
    return reading ? count : ZuStorage::RetRemainingData();
}

void ZuMessage::SetRemoteMode(bool remote)
{
    remote_mode = remote;
    SetStorageMode(remote ? ZU_STORAGE_REMOTE : ZU_STORAGE_LOCAL);
}

void ZuMessage::SetMethod(const char* name)
{
    SetMethod(ZuAtomRef(name));
}

void ZuMessage::SetMethod(const ZuStringRef& name)
{
    SetMethod(ZuAtomRef(name));
}

void ZuMessage::SetMethod(const ZuAtomRef& name)
{
    if (name.IsValid()) {
        method = name;
        target = ZuTargetNull;
        target_ok = false;
        method_ok = true;
    } else {
        method = ZuAtomNull;
        method_ok = false;
    }
}

void ZuMessage::SetTarget(const ZuTargetRef& t)
{
    if (t.IsValid()) {
        method = ZuAtomNull;
        target = t;
        method_ok = false;
        target_ok = true;
    } else {
        target = ZuTargetNull;
        target_ok = false;
    }
}

bool ZuMessage::Send(const ZuObjectRef& object)
{
    ResetMode();
    ZuObject* obj = object.Resolve();
    if (obj == nullptr)
        return false;
    ZuMessageRef self(this);
    if (method_ok) {
        const ZuRuntime* rt = obj->RetRuntime().RetRawObject();
        if (rt == nullptr)
            return false;
        if (const Zuvi_Target* t = rt->FindMethod(method, 0)) {
            ReadState read(*this);
            t->message_fn(self, obj, nullptr);
            return true;
        }
        if (const Zuvi_Target* t = rt->FindActor(method)) {
            t->actor_fn(obj);
            return true;
        }
        return false;
    }
    if (target_ok && target.IsValid()) {
        if (!target->AttachToObject(object))
            return false;
        switch (target->RetType()) {
        case ZU_TARGET_MESSAGE: {
            ReadState read(*this);
            return target->DoMessage(self);
        }
        case ZU_TARGET_ACTOR:
            return target->DoAction();
        default:
            return false;
        }
    }
    return false;
}

bool ZuMessage::SendToDefaultTarget()
{
    ResetMode();
    if (!target_ok || target.IsInvalid() || target->RetObject().IsInvalid())
        return false;
    ZuMessageRef self(this);
    // A target whose name did not resolve calls nothing: that is no delivery.
    switch (target->RetType()) {
    case ZU_TARGET_MESSAGE: {
        ReadState read(*this);
        return target->DoMessage(self);
    }
    case ZU_TARGET_ACTOR:
        return target->DoAction();
    default:
        return false;
    }
}

void ZuMessage::Clear()
{
    // What is written from now on is this process's own.
    from_outside = false;
    ResetMode();
    cursor = 0;
    count = HEAP_SIZE;
}

const ZuAtomRef& ZuMessage::RetMethod() const
{
    return method;
}

const ZuTargetRef& ZuMessage::RetTarget() const
{
    return target;
}

bool ZuMessage::RetRemoteMode() const
{
    return remote_mode;
}

ZuObjectRef ZuMessage::Copy(const ZuObjectRef& source)
{
    ZuObject* src = source.Resolve();
    if (src && src->IsKindOf(ZuMessageRef::RetRuntime())) {
        ZuMessage* m = static_cast<ZuMessage*>(src);
        SetMethod(m->RetMethod());
        SetTarget(m->RetTarget());
        Clear();
    }
    return ZuStorage::Copy(source);
}

void ZuMessage::Delete()
{
    target = ZuTargetNull;
    method = ZuAtomNull;
    ZuStorage::Delete();
}

void ZuMessage::StoreInstance(const ZuStorageRef& s)
{
    ZuStorage::StoreInstance(s);
    s << MessageRecord() << ZuStorageSync::begin;
    s->StoreObject(target);
    s->StoreAtom(method);
    s->StoreBool(target_ok);
    s->StoreBool(method_ok);
    s->StoreBool(remote_mode);
    const unsigned length = RetLength();
    s->StoreCard(length);
    s->StoreBinData(heap, length);
    s << ZuStorageSync::end;
}

void ZuMessage::RestoreInstance(const ZuStorageRef& s)
{
    ZuStorage::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef t;
    s->RestoreObject(t, ZuTargetRef::RetRuntime());
    // A stand-in for an object of an unknown class is no target.
    if (t.IsValid() && !t.IsPhantom() && t->IsKindOf(ZuTargetRef::RetRuntime()))
        target = t;
    else
        target = ZuTargetNull;
    s->RestoreAtom(method);
    target_ok = s->RestoreBool(target_ok);
    method_ok = s->RestoreBool(method_ok);
    remote_mode = s->RestoreBool(remote_mode);
    std::uint64_t const length = s->RestoreCard(0);
    // The stored length is outside data: more than the heap holds is
    // refused before anything is read into it.
    if (length > HEAP_SIZE)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    std::memset(heap, 0, size_t(length));
    s->RestoreBinData(heap, unsigned(length));
    cursor = unsigned(length);
    count = HEAP_SIZE - unsigned(length);
    reading = false;
    from_outside = true;
    s >> ZuStorageSync::end;
}

bool operator<(const ZuObjectRef& object, const ZuMessageRef& message)
{
    return message->Send(object);
}

const ZuMessageRef& operator-(const ZuMessageRef& message)
{
    message->Clear();
    return message;
}

const ZuMessageRef& operator-(const ZuMessageRef& message, const ZuAtomRef& method)
{
    message->SetMethod(method);
    return message;
}
