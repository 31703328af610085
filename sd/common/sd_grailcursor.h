// ZuGrailCursor: the platform cursor behind a cursor record. It is cut out
// of a pixmap at the system cursor size (32 x 32 here): the region's top
// left part when it is larger, the rest transparent when it is smaller.
// Opaque pixels become black or white by their lightness; transparent ones
// let the screen through.
//
// The cutting lives in sd/common/sd_grailcursor.cpp; the platform side (the
// cursor handle, showing, hiding and the process-wide current cursor) in
// sd/win32/sd_grailcur.cpp. Cursors are never stored.
#ifndef SD_COMMON_SD_GRAILCURSOR_H
#define SD_COMMON_SD_GRAILCURSOR_H

#include "si/grailpxm.h"
#include "si/object.h"

struct Zuvi_GrCursorRec;

ZU_HANDLE(ZuGrailCursor, ZuObject)
class ZuGrailCursor : public ZuObject {
    ZU_CLASS(ZuGrailCursor, ZuObject)

public:
    ZuGrailCursor();
    ~ZuGrailCursor() override;

    // Builds the cursor from the dx x dy region at (x, y) of the pixmap,
    // with the hot spot relative to the region's top left corner. A size
    // of 0 leaves the cursor without platform cursor (activating it shows
    // the arrow).
    virtual void Initialise(double hot_x, double hot_y, double dx, double dy,
                            const ZuGrailPixmapRef& pixmap, double x, double y);
    // The same with the mask from a second pixmap at (mx, my); in both a
    // light opaque pixel counts as 1. A dark mask pixel shows the image's
    // pixel white or black; a light one leaves the screen where the image
    // is light and shows black where it is dark. Outside the region both
    // count as light: transparent.
    virtual void Initialise(double hot_x, double hot_y, double dx, double dy,
                            const ZuGrailPixmapRef& pixmap, double x, double y,
                            const ZuGrailPixmapRef& mask, double mx, double my);
    // Puts the cursor on the screen and makes it the current cursor; the
    // system arrow for a cursor without platform cursor.
    virtual void Activate();
    // The system arrow becomes the current cursor.
    virtual void ResetToNormal();

    static void HideCursor();
    static void ShowNormalCursor();

    unsigned RetWidth() const { return width; }
    unsigned RetHeight() const { return height; }
    unsigned RetHotX() const { return hot_x; }
    unsigned RetHotY() const { return hot_y; }
    // The platform cursor (an HCURSOR), null while there is none.
    void* RetHandle() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    void InitGrCursor();
    void KillGrCursor();
    // Takes the platform cursor off the screen when it is shown there, then
    // destroys it.
    void SetEmptyCursor();
    // Cuts the size to the system cursor size (W, H); false for a size of 0.
    bool InitCursorSize(double dx, double dy, unsigned& cut_dx, unsigned& cut_dy, unsigned& w,
                        unsigned& h);
    // Makes the platform cursor from masks of h rows of w / 8 bytes.
    void CreateGrCursor(int hot_x, int hot_y, unsigned w, unsigned h, const unsigned char* and_mask,
                        const unsigned char* xor_mask);
    void SetFields(double hot_x, double hot_y, unsigned dx, unsigned dy);

    unsigned short width;
    unsigned short height;
    unsigned short hot_x;
    unsigned short hot_y;
    Zuvi_GrCursorRec* record;
};
ZU_CLASS_END(ZuGrailCursor)

#endif
