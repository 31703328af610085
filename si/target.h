#ifndef SI_TARGET_H
#define SI_TARGET_H

// ZuTarget: something to call on an object by name. The name is resolved
// once against the object's run-time class into one exported entry of the
// target's kind: a method called with a message, an observer called with an
// argument and flags, or an actor called with the object alone. Messages
// deliver themselves through a target; view providers keep targets to bind
// their observers. A target can also attach or detach its object as an
// observer of another object for a named event.

#include <cstdint>

#include "si/atom.h"
#include "si/object.h"

ZU_FORWARD(ZuMessage)
struct Zuvi_Target;

// The kind of entry a target resolves to; any other number resolves to
// nothing.
typedef std::uint32_t ZuTargetType;
enum : ZuTargetType {
    ZU_TARGET_NONE = 0,
    ZU_TARGET_MESSAGE = 1,
    ZU_TARGET_OBSERVER = 2,
    ZU_TARGET_ACTOR = 3
};
extern const Zuvi_TypeDef ZuTargetType_type;
extern const Zuvi_TypeDef* const ZuTargetTypeTypeDef;
ZuTargetType Zuvi_ValueToZuTargetType(const ZuValueRef& value);

ZU_HANDLE(ZuTarget, ZuObject)

class ZuTarget : public ZuObject {
    ZU_CLASS(ZuTarget, ZuObject)
public:
    ZuTarget() {}

protected:
    // Looks the name up in the object's class by the kind; whether found.
    virtual bool Attach();

public:
    // The object's observer entry called `name` (or the event's own name)
    // for the event `event`.
    virtual bool DefineObserver(const ZuObjectRef& object, const ZuAtomRef& event,
                                const ZuAtomRef& name);
    virtual bool DefineObserver(const ZuObjectRef& object, const ZuAtomRef& event);
    // Points the target at another object; an object of the same class
    // keeps the resolved entry without a new look-up.
    virtual bool AttachToObject(const ZuObjectRef& object);
    virtual bool SetTarget(const ZuAtomRef& name, const ZuObjectRef& object, ZuTargetType type);
    virtual bool GetTarget(ZuAtomRef& name, ZuObjectRef& object, ZuTargetType& type);
    virtual const ZuAtomRef& RetName() const;
    virtual const ZuObjectRef& RetObject() const;
    virtual ZuTargetType RetType() const;
    virtual const ZuAtomRef& RetEvent() const;
    // The entry is resolved.
    virtual bool IsValid() const;
    // The Do calls answer whether a call was made, not what it answered.
    virtual bool DoReport(const ZuObjectRef& arg, unsigned flags);
    virtual bool DoAction();
    virtual bool DoMessage(ZuMessageRef& message);
    virtual bool DoAttachObserver(const ZuObjectRef& observed, unsigned value);
    virtual bool DoDetachObserver(const ZuObjectRef& observed, unsigned value);

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuAtomRef name;
    ZuObjectRef object;
    ZuTargetType type = ZU_TARGET_NONE;
    const Zuvi_Target* entry = nullptr;
    ZuAtomRef event;
};
ZU_CLASS_END(ZuTarget)

#endif
