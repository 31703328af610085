// ZuCursorRecord: a named mouse pointer cut out of a cursor sheet: the
// region's size, its hot spot and the platform cursor made from it. The
// look manager keeps one per cursor line of its sheets and activates them
// by name. Records are never stored.
#ifndef SI_CURSORRECORD_H
#define SI_CURSORRECORD_H

#include "sd/common/sd_grailcursor.h"
#include "si/atom.h"
#include "si/grailpxm.h"
#include "si/object.h"
#include "si/rect.h"

ZU_HANDLE(ZuCursorRecord, ZuObject)
class ZuCursorRecord : public ZuObject {
    ZU_CLASS(ZuCursorRecord, ZuObject)

public:
    ZuCursorRecord();
    ~ZuCursorRecord() override;

    // Names the record and makes its platform cursor from the region
    // (inclusive corners) of the pixmap, the hot spot relative to the
    // region's top left corner. An empty region gives a cursor without
    // platform cursor, shown as the arrow. The previous platform cursor
    // goes. True.
    virtual bool Initialise(const ZuAtomRef& name, const ZuGrailPixmapRef& pixmap,
                            const ZuRect& region, double hot_x, double hot_y);
    virtual const ZuAtomRef& RetName() const;
    virtual bool GetHotSpot(double& x, double& y) const;
    virtual bool GetName(ZuAtomRef& name) const;
    virtual bool GetSize(double& dx, double& dy) const;
    // Puts the cursor on the screen as the current cursor.
    virtual void Activate();

    const ZuGrailCursorRef& RetGrailCursor() const { return grail_cursor; }

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuAtomRef name;
    double dx;
    double dy;
    double hot_x;
    double hot_y;
    ZuGrailCursorRef grail_cursor;
};
ZU_CLASS_END(ZuCursorRecord)

#endif
