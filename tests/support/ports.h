#ifndef TESTS_SUPPORT_PORTS_H
#define TESTS_SUPPORT_PORTS_H

// A fixture for the tests of drawing ports: the object runtime, the raster
// engine's memory hooks and an installed font manager, with helpers that
// make pixmaps and read their pixels.

#include <string>

#include "si/grailpxm.h"
#include "tests/support/objmodel.h"

class PortTest : public ZuviRuntimeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A ready pixmap of that depth and size, its pixels 0.
    ZuGrailPixmapRef NewPixmap(unsigned depth, double dx, double dy);
    // A font of the fonts folder ("arial.ttf") at a pixel size.
    ZuGrailFontRef NewFont(const char* family, double size);

    // The word of a surface pixel (0 outside).
    static unsigned Pixel(const ZuGrailPortRef& port, int x, int y);
    // Pixels that are not 0, and a picture of a rectangle, a character per
    // pixel: '.' for 0, '#' for the rest.
    static unsigned CountInked(const ZuGrailPortRef& port);
    static std::string Picture(const ZuGrailPortRef& port, int x1, int y1, int x2, int y2);
    // Whether two ports' surfaces hold the same pixels.
    static bool SamePixels(const ZuGrailPortRef& a, const ZuGrailPortRef& b);

    ZuFontManRef font_man;
};

#endif
