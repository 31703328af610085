// ZuDataReport: copies a datum from a source object to a target object
// each time the source reports a change, then may call an action of the
// target. Each datum and the action are given by name or by dotted path;
// the queried value is given a display format before it is defined on the
// target. Neither object needs to know the other.
#ifndef SI_DATAREP_H
#define SI_DATAREP_H

#include "si/atom.h"
#include "si/object.h"
#include "si/string.h"

ZU_HANDLE(ZuDataReport, ZuObject)

class ZuDataReport : public ZuObject {
    ZU_CLASS(ZuDataReport, ZuObject)

public:
    ZuDataReport();

    // Sets query, target, action and visibility, then observes source under
    // notification.
    virtual void Initialise(ZuObjectRef const& source, ZuAtomRef const& notification, ZuAtomRef const& query,
                            ZuObjectRef const& target, ZuAtomRef const& datum, ZuAtomRef const& action,
                            bool visible);
    // Each name form clears the matching path, and the reverse.
    virtual void DefineQuery(ZuAtomRef const& name, ZuStringRef const& format);
    virtual void DefineQueryPath(ZuStringRef const& path, ZuStringRef const& format);
    // Moves the target's registration as a target of this report.
    virtual void DefineTarget(ZuObjectRef const& object, ZuAtomRef const& name);
    // Leaves the registrations as they are.
    virtual void DefineTargetPath(ZuObjectRef const& object, ZuStringRef const& path);
    virtual void DefineAction(ZuAtomRef const& name);
    virtual void DefineActionPath(ZuStringRef const& path);
    // Kept for the report's users; the report does not read it.
    virtual void SetVisible(bool visible);
    virtual bool IsVisible() const;
    // The observer method: query, define, act. Nothing is copied back into
    // a target that is itself reporting the change now being delivered.
    virtual void Changed(ZuObjectRef const& source, unsigned int flags);

    void Delete() override;

    ZuAtomRef const& RetQueryName() const { return query_name; }
    ZuStringRef const& RetQueryPath() const { return query_path; }
    ZuStringRef const& RetQueryFormat() const { return query_format; }
    ZuObjectRef const& RetTargetObject() const { return def_object; }
    ZuAtomRef const& RetTargetName() const { return def_name; }
    ZuStringRef const& RetTargetPath() const { return def_path; }
    ZuAtomRef const& RetActionName() const { return action_name; }
    ZuStringRef const& RetActionPath() const { return action_path; }

protected:
    void StoreInstance(ZuStorageRef const& storage) override;
    void RestoreInstance(ZuStorageRef const& storage) override;

private:
    void TakeVolatileAttribute(ZuObjectRef const& object);

    ZuAtomRef query_name;
    ZuStringRef query_path;
    ZuStringRef query_format;
    ZuObjectRef def_object;
    ZuAtomRef def_name;
    ZuStringRef def_path;
    ZuAtomRef action_name;
    ZuStringRef action_path;
    bool is_visible;
};
ZU_CLASS_END(ZuDataReport)

#endif
