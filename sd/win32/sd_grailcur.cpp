#include "sd/win32/sd_grailcur.h"

#include "sd/common/sd_grailcursor.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/error.h"
#include "si/memzone.h"

namespace {

// The cursor the library last put on the screen; null while hidden.
HCURSOR current_cursor = nullptr;

HCURSOR Arrow()
{
    return LoadCursorA(nullptr, IDC_ARROW);
}

} // namespace

HCURSOR Zuvi_RetCurrentCursor()
{
    return current_cursor;
}

void Zuvi_RestoreCurrentCursor()
{
    SetCursor(current_cursor);
}

void Zuvi_GetSystemCursorSize(unsigned& width, unsigned& height)
{
    const int w = GetSystemMetrics(SM_CXCURSOR);
    const int h = GetSystemMetrics(SM_CYCURSOR);
    width = w > 0 ? static_cast<unsigned>(w) : 0;
    height = h > 0 ? static_cast<unsigned>(h) : 0;
}

void ZuGrailCursor::InitGrCursor()
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("this->RetMemZone ()", __LINE__, ZU_SRC_FILE);
    record = static_cast<Zuvi_GrCursorRec*>(
        zone->Alloc(sizeof(Zuvi_GrCursorRec), "Zuvi_GrCursorRec[]", __LINE__, ZU_SRC_FILE));
    if (record != nullptr)
        record->cursor = nullptr;
}

void ZuGrailCursor::KillGrCursor()
{
    if (record == nullptr)
        return;
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullFreeZone("this->RetMemZone ()", __LINE__, ZU_SRC_FILE);
    zone->Free(record, __LINE__, ZU_SRC_FILE);
    record = nullptr;
}

void ZuGrailCursor::SetEmptyCursor()
{
    if (record == nullptr || record->cursor == nullptr)
        return;
    HCURSOR cursor = record->cursor;
    if (GetCursor() == cursor)
        SetCursor(nullptr);
    // The current cursor never names a destroyed one: the window procedure
    // would set it again.
    if (current_cursor == cursor)
        current_cursor = nullptr;
    DestroyCursor(cursor);
    record->cursor = nullptr;
}

void ZuGrailCursor::CreateGrCursor(int hx, int hy, unsigned w, unsigned h,
                                   const unsigned char* and_mask, const unsigned char* xor_mask)
{
    if (record == nullptr)
        return;
    record->cursor = CreateCursor(Zuvi_GrWindowRec::RetInstance(), hx, hy, static_cast<int>(w),
                                  static_cast<int>(h), and_mask, xor_mask);
}

void* ZuGrailCursor::RetHandle() const
{
    return record != nullptr ? record->cursor : nullptr;
}

void ZuGrailCursor::Activate()
{
    if (record == nullptr || record->cursor == nullptr) {
        ShowNormalCursor();
        return;
    }
    current_cursor = record->cursor;
    SetCursor(current_cursor);
}

void ZuGrailCursor::ResetToNormal()
{
    ShowNormalCursor();
}

void ZuGrailCursor::HideCursor()
{
    current_cursor = nullptr;
    SetCursor(nullptr);
}

void ZuGrailCursor::ShowNormalCursor()
{
    current_cursor = Arrow();
    SetCursor(current_cursor);
}
