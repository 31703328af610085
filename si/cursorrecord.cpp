#include "si/cursorrecord.h"

#include "si/classfactory.h"
#include "si/error.h"

ZU_IMPLEMENT_CLASS(ZuCursorRecord, "si/cursorrecord", ZU_CLASS_NOT_STORED)

ZuCursorRecord::ZuCursorRecord() : dx(0), dy(0), hot_x(0), hot_y(0) {}

ZuCursorRecord::~ZuCursorRecord() {}

void ZuCursorRecord::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("StoreInstance not implemented");
}

void ZuCursorRecord::RestoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("RestoreInstance not implemented");
}

void ZuCursorRecord::Delete()
{
    grail_cursor = ZuGrailCursorNull;
    ZuObject::Delete();
}

bool ZuCursorRecord::Initialise(const ZuAtomRef& new_name, const ZuGrailPixmapRef& pixmap,
                                const ZuRect& region, double hx, double hy)
{
    name = new_name;
    if (region.IsEmpty()) {
        dx = 0;
        dy = 0;
    } else {
        dx = region.X2() - region.X1() + 1;
        dy = region.Y2() - region.Y1() + 1;
    }
    hot_x = hx;
    hot_y = hy;
    grail_cursor = ZuNew<ZuGrailCursor>(RetMemZone());
    grail_cursor->Initialise(hot_x, hot_y, dx, dy, pixmap, region.X1(), region.Y1());
    return true;
}

const ZuAtomRef& ZuCursorRecord::RetName() const
{
    return name;
}

bool ZuCursorRecord::GetHotSpot(double& x, double& y) const
{
    x = hot_x;
    y = hot_y;
    return true;
}

bool ZuCursorRecord::GetName(ZuAtomRef& out) const
{
    out = name;
    return true;
}

bool ZuCursorRecord::GetSize(double& w, double& h) const
{
    w = dx;
    h = dy;
    return true;
}

void ZuCursorRecord::Activate()
{
    if (grail_cursor.IsValid())
        grail_cursor->Activate();
    else
        ZuGrailCursor::ShowNormalCursor();
}
