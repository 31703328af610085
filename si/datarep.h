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
    virtual void Initialise(const ZuObjectRef& source, const ZuAtomRef& notification,
                            const ZuAtomRef& query, const ZuObjectRef& target,
                            const ZuAtomRef& datum, const ZuAtomRef& action, bool visible);
    // Each name form clears the matching path, and the reverse.
    virtual void DefineQuery(const ZuAtomRef& name, const ZuStringRef& format);
    virtual void DefineQueryPath(const ZuStringRef& path, const ZuStringRef& format);
    // Moves the target's registration as a target of this report.
    virtual void DefineTarget(const ZuObjectRef& object, const ZuAtomRef& name);
    // Leaves the registrations as they are.
    virtual void DefineTargetPath(const ZuObjectRef& object, const ZuStringRef& path);
    virtual void DefineAction(const ZuAtomRef& name);
    virtual void DefineActionPath(const ZuStringRef& path);
    // Kept for the report's users; the report does not read it.
    virtual void SetVisible(bool visible);
    virtual bool IsVisible() const;
    // The observer method: query, define, act. Nothing is copied back into
    // a target that is itself reporting the change now being delivered.
    virtual void Changed(const ZuObjectRef& source, unsigned int flags);

    void Delete() override;

    const ZuAtomRef& RetQueryName() const { return query_name; }
    const ZuStringRef& RetQueryPath() const { return query_path; }
    const ZuStringRef& RetQueryFormat() const { return query_format; }
    const ZuObjectRef& RetTargetObject() const { return def_object; }
    const ZuAtomRef& RetTargetName() const { return def_name; }
    const ZuStringRef& RetTargetPath() const { return def_path; }
    const ZuAtomRef& RetActionName() const { return action_name; }
    const ZuStringRef& RetActionPath() const { return action_path; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    void TakeVolatileAttribute(const ZuObjectRef& object);

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
