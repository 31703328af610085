// ZuSelectCon: the controller that decides which members of a group are
// active (radio buttons, cards of a stack, the views of a multiview).
// Members are addressed by object, by rank or by user name; they are the
// elements of a provider (any object with the container interface) or,
// without one, the objects the controller observes, the rank being the
// observation's id (or a member's published "index"). Members that are
// toggle controls are switched on and off with the selection. The
// selection policy is a ZuSelectConType.
#ifndef SI_SELECTCON_H
#define SI_SELECTCON_H

#include "si/basecontroller.h"
#include "si/control.h"
#include "si/enumfamily.h"
#include "si/simplearray.h"

// clang-format off
#define ZU_SELECT_CON_TYPE_LIST(X)                                                   \
    X(ZU_SELECT_NONE, 0) X(ZU_SELECT_ONE, 1) X(ZU_SELECT_MANY, 2)                    \
    X(ZU_SELECT_SINGLE, 3) X(ZU_SELECT_MULTIPLE, 4)
// clang-format on
ZU_ENUM(ZuSelectConType, ZU_SELECT_CON_TYPE_LIST)

ZU_HANDLE(ZuSelectCon, ZuBaseController)
class ZuSelectCon : public ZuBaseController {
    ZU_CLASS(ZuSelectCon, ZuBaseController)
public:
    ZuSelectCon();

    // Empties the provider and the active member.
    void Delete() override;

    // Sets the policy and the provider; true.
    virtual bool Initialise(ZuSelectConType type, const ZuObjectRef& provider);
    // False, and nothing changed, for an object that is no container; an
    // empty handle clears the provider.
    virtual bool SetProvider(const ZuObjectRef& provider);
    virtual const ZuObjectRef& RetProvider() const;
    virtual const ZuObjectRef& RetActive() const;
    virtual unsigned int RetActiveRank() const;
    // The policy: activates, or (for a member already active and a user's
    // click) turns off where the policy allows, and reports
    // "notify_active_changed" on a change; true.
    virtual bool SetActive(const ZuObjectRef& object, unsigned int rank, bool by_user);
    // The member at its own rank (0 when it has none), as a program call.
    virtual bool SetActive(const ZuObjectRef& object);
    virtual bool TestActive(unsigned int rank) const;
    virtual bool TestActive(const ZuObjectRef& object) const;
    virtual unsigned int CountActive() const;
    // False when no member bears the name or rank.
    virtual bool SetActiveByName(const ZuAtomRef& name);
    virtual bool SetActiveByRank(unsigned int rank);
    // A member reported its activation (by a user): its published "index"
    // takes the place of the rank given.
    virtual bool NotifyActivation(const ZuObjectRef& object, unsigned int rank);
    // The press, release and click of a member view made by a provider.
    virtual bool NotifyControlAction(const ZuControlRef& control, ZuCtrlActionType action);

    ZuSelectConType RetSelectType() const { return sel_type; }

    static ZuAtomRef notify_active_changed;
    static ZuAtomRef index;

protected:
    virtual bool GetRankFromObject(const ZuObjectRef& object, unsigned int& rank) const;
    virtual bool GetObjectFromRank(unsigned int rank, ZuObjectRef& object) const;
    virtual bool GetObjectFromName(const ZuAtomRef& name, ZuObjectRef& object) const;
    virtual void TurnOn(const ZuObjectRef& object, unsigned int rank);
    virtual void TurnOff(const ZuObjectRef& object, unsigned int rank);

    // "<ZuSelectCon active active_rank sel_type>". Restoring refuses
    // (ZuExcStream) a policy outside the table and, with an active member,
    // a rank past the members the controller knows: the rank indexes the
    // table of the other active members.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuObjectRef provider;
    ZuObjectRef active;
    unsigned int active_rank = 0xFFFFFFFFu;
    ZuSelectConType sel_type = ZU_SELECT_NONE;
    // True for every active member other than `active`, by rank.
    Zuvi_SimpleArrayZero<bool> others{0, 1};
    unsigned int other_count = 0;

private:
    // The number of ranks the controller can tell: past the provider's
    // elements, the ids of the observed objects and the active member's
    // own rank.
    unsigned int CountMembers() const;
};
ZU_CLASS_END(ZuSelectCon)

#endif
