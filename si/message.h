#ifndef SI_MESSAGE_H
#define SI_MESSAGE_H

// ZuMessage: a call by name packed into an object. A message carries the
// name of a method (or a prepared target) and its arguments, written with
// the ordinary storage operations into a heap of 1000 bytes inside the
// message. Sending it to an object runs the named method of the object's
// class, which reads its arguments back with the storage operators in the
// same order.
//
//   ZuMessageRef msg = ...;               // class factory
//   msg->Clear();
//   msg->SetMethod("Move");
//   msg << 10 << 20;
//   object < msg;                         // msg->Send (object)
//
// Objects among the arguments travel by address (local mode) or by value
// (remote mode, SetRemoteMode (true)). A stored message is what the command
// pipe carries; one restored from stored bytes is outside data: its
// arguments are read in remote mode whatever it says, and reading past them
// throws ZuExcStream.

#include <cstdint>

#include "si/atom.h"
#include "si/storage.h"
#include "si/target.h"

class ZuStringRef;

ZU_HANDLE(ZuMessage, ZuStorage)

class ZuMessage : public ZuStorage {
    ZU_CLASS(ZuMessage, ZuStorage)
public:
    enum { HEAP_SIZE = 1000 };

    ZuMessage();

    // ZuStorage: the heap is the raw byte stream.
    void StoreData(const void* data, unsigned int size) override;
    void RestoreData(void* data, unsigned int size) override;
    std::uint64_t RetRemainingData() const override;

    virtual void SetRemoteMode(bool remote);
    virtual void SetMethod(const char* name);
    virtual void SetMethod(const ZuStringRef& name);
    // An empty atom drops the method and keeps a target.
    virtual void SetMethod(const ZuAtomRef& name);
    // An empty handle drops the target and keeps a method.
    virtual void SetTarget(const ZuTargetRef& target);
    // True when a callee was found and called (its own answer is not used).
    virtual bool Send(const ZuObjectRef& object);
    virtual bool SendToDefaultTarget();
    // Drops the arguments, keeps the method or target.
    virtual void Clear();
    virtual const ZuAtomRef& RetMethod() const;
    virtual const ZuTargetRef& RetTarget() const;
    virtual bool RetRemoteMode() const;

    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

    // Bytes of arguments written.
    unsigned RetLength() const { return HEAP_SIZE - (reading ? saved_count : count); }
    bool IsTargetOk() const { return target_ok; }
    bool IsMethodOk() const { return method_ok; }
    // Restored from stored bytes and not cleared since.
    bool IsFromOutside() const { return from_outside; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    class ReadState;
    void ResetMode();

    unsigned cursor = 0;
    std::uint32_t count = HEAP_SIZE;
    unsigned char heap[HEAP_SIZE];
    bool remote_mode = false;
    bool target_ok = false;
    bool method_ok = false;
    ZuTargetRef target;
    ZuAtomRef method;
    bool from_outside = false;
    bool reading = false;
    unsigned saved_cursor = 0;
    std::uint32_t saved_count = 0;
};
ZU_CLASS_END(ZuMessage)

// Sends the message to the handle's object: message->Send (object).
bool operator<(const ZuObjectRef& object, const ZuMessageRef& message);

// Shorthands for prepared messages, each answering the handle:
//   -msg            clears the arguments (Clear)
//   msg - method    sets the method (SetMethod)
// so that  object < (-msg << a << b)  asks again with new arguments.
const ZuMessageRef& operator-(const ZuMessageRef& message);
const ZuMessageRef& operator-(const ZuMessageRef& message, const ZuAtomRef& method);

#endif
