// The look manager's cursors: a dictionary from name atoms to cursor
// records, and the three names answered without it.

#include "sd/common/sd_grailcursor.h"
#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"

namespace {

const char* const kFile = "si/lookmancurs";

} // namespace

void ZuLookMan::InitCursors()
{
    cursors = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, kFile);
    cursors->SetCompKeyUsingIsEqual(false);
    // Records are equal only to themselves: compared by identity, a sheet's
    // many records of one name are filed without comparing each to all.
    cursors->SetCompValueUsingIsEqual(false);
    LoadAndParsePNG(ZuStringRef("%Zuvi%/zu_cursors.png"), ZuStringRef("Zuvi_Cursor"));
}

unsigned ZuLookMan::RetCursorCount() const
{
    return cursors.IsValid() ? cursors->TotalCount() : 0;
}

ZuAtomRef ZuLookMan::FindNthCursor(unsigned n)
{
    ZuObjectRef key, value;
    if (cursors.IsInvalid() || !cursors->Get(n, key, value))
        return ZuAtomNull;
    return ZuAtomRef(key);
}

bool ZuLookMan::AddUserCursor(const ZuCursorRecordRef& record)
{
    // An empty handle is resolved: the fatal error of empty handles.
    cursors->Insert(record->RetName(), record);
    return true;
}

bool ZuLookMan::AddUserCursor(const ZuAtomRef& name, const ZuGrailPixmapRef& pixmap,
                              const ZuRect& rect, double hot_x, double hot_y)
{
    ZuObjectRef value;
    if (name.IsValid() && cursors->GetFromKey(name, value, 0) && value.IsValid()) {
        ZuCursorRecordRef(value)->Initialise(name, pixmap, rect, hot_x, hot_y);
        return true;
    }
    ZuCursorRecordRef record(ZuNew<ZuCursorRecord>(Zuvi_app_zone, __LINE__, kFile));
    record->Initialise(name, pixmap, rect, hot_x, hot_y);
    cursors->Insert(name, record);
    return true;
}

bool ZuLookMan::RemoveUserCursor(const ZuAtomRef& name)
{
    return cursors.IsValid() && cursors->Remove(name, 0u);
}

bool ZuLookMan::SelectCursor(const ZuAtomRef& name)
{
    if (name == "Zuvi_CursorDefault")
        return false;
    if (name == "Zuvi_CursorNone") {
        ZuGrailCursor::HideCursor();
        return true;
    }
    if (name == "Zuvi_CursorNormal") {
        ZuGrailCursor::ShowNormalCursor();
        return true;
    }
    ZuObjectRef value;
    if (name.IsInvalid() || cursors.IsInvalid() || !cursors->GetFromKey(name, value, 0) ||
        value.IsInvalid())
        return false;
    ZuCursorRecordRef(value)->Activate();
    return true;
}
