#ifndef SI_ASYNCOBS_H
#define SI_ASYNCOBS_H

// ZuAsyncObs: one attachment of an observer to an asynchronous event of the
// application: which object is told, of which event path, with which action
// (one name) or chain of actions (a dotted text of two or more names), and
// the id handed to the action. The application keeps these records under
// their event path and calls Report on each when the event fires; a record
// registers itself with its observer, which so knows its asynchronous
// events.

#include "si/atom.h"
#include "si/atompath.h"
#include "si/object.h"

ZU_HANDLE(ZuAsyncObs, ZuObject)

class ZuAsyncObs : public ZuObject {
    ZU_CLASS(ZuAsyncObs, ZuObject)
public:
    ZuAsyncObs() {}

    // The event, the observer and the actor text must be set. The event is
    // copied; an atom is the actor; other text is split at its dots: one
    // name is the actor, two or more the chain.
    virtual void Initialise(ZuAtomPathRef event, const ZuObjectRef& observer,
                            const ZuTextRef& actor, unsigned id);
    // Calls the chain or the actor on the observer with (source, id).
    virtual void Report(const ZuObjectRef& source);

    void Delete() override;
    // Over the id, observer, event path and actor (the chain takes no part).
    unsigned ComputeHashValue(unsigned num) const override;
    // By observer, event path, actor, then id; a record without observer,
    // event or actor cannot be ordered (fatal).
    int CompareWith(const ZuObjectRef& other) const override;
    // Same observer, actor, chain and id; the event paths are not compared
    // (records are looked up under their path).
    bool IsEqual(const ZuObjectRef& other) const override;

    unsigned RetActorNum() const;
    ZuAtomRef RetActor(unsigned n) const;
    ZuAtomPathRef RetActors() const { return actors; }

    const ZuAtomPathRef& RetEvent() const { return event; }
    const ZuObjectRef& RetObserver() const { return observer; }
    unsigned RetId() const { return id; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuAtomPathRef event;
    ZuObjectRef observer;
    ZuAtomRef actor;
    ZuAtomPathRef actors;
    unsigned id = 0;
};
ZU_CLASS_END(ZuAsyncObs)

#endif
