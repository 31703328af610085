#include "tests/support/ports.h"

#include "sd/common/sd_file.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

void PortTest::SetUp()
{
    ZuviRuntimeTest::SetUp();
    Zuvi_SetGfxMemoryHooks();
    font_man = ZuNew<ZuFontMan>(Zuvi_app_zone);
    ZuFontMan::InitSystemFontMan(font_man);
}

void PortTest::TearDown()
{
    ZuFontMan::KillSystemFontMan();
    font_man = ZuFontManNull;
    ZuviRuntimeTest::TearDown();
}

ZuGrailPixmapRef PortTest::NewPixmap(unsigned depth, double dx, double dy)
{
    ZuGrailPixmapRef pixmap(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    pixmap->Initialise(depth, dx, dy);
    return pixmap;
}

ZuGrailFontRef PortTest::NewFont(const char* family, double size)
{
    ZuGrailFontRef font;
    font_man->CreateFont(ZuStringRef(family), ZuStringRef("Normal"), size, false, font);
    return font;
}

namespace {

GfxSurface* SurfaceOf(const ZuGrailPortRef& port)
{
    GfxSurface* s = port->LockSurface();
    port->UnlockSurface(s);
    return s;
}

// Reads a pixel whatever the clip of the pass in progress.
unsigned Read(GfxSurface* s, int x, int y)
{
    if (s == nullptr || x < 0 || y < 0 || x >= static_cast<int>(s->DX()) ||
        y >= static_cast<int>(s->DY()))
        return 0;
    int cx1 = s->ClipX1(), cy1 = s->ClipY1(), cx2 = s->ClipX2(), cy2 = s->ClipY2();
    s->ResetClipRect();
    unsigned word = s->RetPixelRGB(x, y);
    s->SetClipRect(cx1, cy1, static_cast<unsigned>(cx2 - cx1), static_cast<unsigned>(cy2 - cy1));
    return word;
}

} // namespace

unsigned PortTest::Pixel(const ZuGrailPortRef& port, int x, int y)
{
    return Read(SurfaceOf(port), x, y);
}

unsigned PortTest::CountInked(const ZuGrailPortRef& port)
{
    GfxSurface* s = SurfaceOf(port);
    unsigned n = 0;
    for (int y = 0; s != nullptr && y < static_cast<int>(s->DY()); ++y)
        for (int x = 0; x < static_cast<int>(s->DX()); ++x)
            n += Read(s, x, y) != 0;
    return n;
}

std::string PortTest::Picture(const ZuGrailPortRef& port, int x1, int y1, int x2, int y2)
{
    GfxSurface* s = SurfaceOf(port);
    std::string out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x)
            out += Read(s, x, y) != 0 ? '#' : '.';
        out += '\n';
    }
    return out;
}

bool PortTest::SamePixels(const ZuGrailPortRef& a, const ZuGrailPortRef& b)
{
    GfxSurface* sa = SurfaceOf(a);
    GfxSurface* sb = SurfaceOf(b);
    if (sa == nullptr || sb == nullptr || sa->DX() != sb->DX() || sa->DY() != sb->DY())
        return false;
    for (int y = 0; y < static_cast<int>(sa->DY()); ++y)
        for (int x = 0; x < static_cast<int>(sa->DX()); ++x)
            if (Read(sa, x, y) != Read(sb, x, y))
                return false;
    return true;
}
