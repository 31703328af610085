// The program's own sheets, as drawn by the build (tools/lumbrasheetgen)
// into the folder "Zuvi" beside the library and loaded with the prefix
// "lumbra_": every picture, frame and cursor that the program and its
// panes name resolves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/graarc.h"
#include "app/graarrow.h"
#include "app/gragroup.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyc.h"
#include "app/grapolyl.h"
#include "app/grapolyr.h"
#include "app/grarect.h"
#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/iconrect.h"
#include "si/loadpng.h"
#include "si/memzone.h"
#include "tests/app/numberedtile.h"
#include "tests/support/looks.h"

namespace {

const char* const kFrames[] = {"lumbra_Box", "lumbra_SliderH", "lumbra_SliderV"};

const char* const kPictures[] = {
    "lumbra_Generic",      "lumbra_ArrowUp",      "lumbra_ArrowDown",    "lumbra_ArrowLeft",
    "lumbra_ArrowRight",   "lumbra_Lock",         "lumbra_CursorH",      "lumbra_CursorV",
    "lumbra_IconInfo",     "lumbra_IconOpen",     "lumbra_IconQuestion", "lumbra_IconSave",
    "lumbra_IconWarning",  "lumbra_HandleNormPB", "lumbra_HandleNormPR", "lumbra_HandleNormPV",
    "lumbra_HandleNormMR", "lumbra_HandleNormMV", "lumbra_HandleNormGR", "lumbra_HandleNormGV",
    "lumbra_HandleCrosGR", "lumbra_HandleCrosGV", "lumbra_HandleRotate", "lumbra_UnitNO",
    "lumbra_UnitPC",       "lumbra_UnitDG",       "lumbra_UnitHA",       "lumbra_UnitUM",
    "lumbra_UnitMM",       "lumbra_UnitCM",       "lumbra_UnitM",        "lumbra_UnitIN",
    "lumbra_UnitFT",       "lumbra_UnitYD",       "lumbra_UnitPI",       "lumbra_UnitCC",
    "lumbra_UnitDD",       "lumbra_UnitPT",       "lumbra_UnitPX",
};

// The sprite numbers the page view and the panes ask for: pointer shapes
// 0 to 16 and the mesh tools' 40 to 42.
const int kSprites[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 40, 41, 42};

class ProgramSheets : public LookTest {
protected:
    void SetUp() override
    {
        start_look = false;
        LookTest::SetUp();
        unsetenv("ZUVI_DIR");
        StartLook();
        for (const char* sheet : {"icons", "cursors", "generic"}) {
            const std::string file = std::string("%Zuvi%/lumbra_") + sheet + ".png";
            ASSERT_TRUE(Look()->LoadAndParsePNG(ZuStringRef(file.c_str()), ZuStringRef("lumbra_")))
                << file;
        }
    }
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }
};

TEST_F(ProgramSheets, EveryNameIsThere)
{
    for (const char* name : kFrames) {
        SCOPED_TRACE(name);
        ZuIconRectRef frame(ZuNew<ZuIconRect>(Zuvi_app_zone));
        EXPECT_TRUE(frame->Initialise(ZuAtomRef(name)));
        frame->Delete();
    }
    std::vector<std::string> names(std::begin(kPictures), std::end(kPictures));
    // Every icon number that has a label, and the neutral picture of menu
    // rows.
    for (int icon = 0; icon < kIconCount; ++icon)
        if (GetIconLabel(icon)[0] != '\0' || icon == kIconNeutral)
            names.push_back(IconImageName(icon));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ZuIconRecordRef icon;
        ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef(name.c_str()), icon, 0));
        EXPECT_FALSE(icon->RetIconRect(ZU_CTRL_STATE_NORMAL).IsEmpty());
    }
    for (int sprite : kSprites) {
        char name[32];
        std::snprintf(name, sizeof name, "lumbra_Sprite%.2d", sprite);
        SCOPED_TRACE(name);
        EXPECT_TRUE(Look()->SelectCursor(ZuAtomRef(name)));
    }
}

// Every handle picture is a square of 17 with its mark centred on the
// middle pixel and nothing around it: placed 8 pixels up and left of a
// handle's point, the mark stands on the point.
TEST_F(ProgramSheets, HandlePicturesAreCentredOnTheirMiddlePixel)
{
    const char* const handles[] = {
        "lumbra_HandleNormPB", "lumbra_HandleNormPR", "lumbra_HandleNormPV", "lumbra_HandleNormMR",
        "lumbra_HandleNormMV", "lumbra_HandleNormGR", "lumbra_HandleNormGV", "lumbra_HandleCrosGR",
        "lumbra_HandleCrosGV", "lumbra_HandleRotate"};
    for (const char* name : handles) {
        SCOPED_TRACE(name);
        ZuIconRecordRef icon;
        ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef(name), icon, 0));
        const ZuRect r = icon->RetIconRect(ZU_CTRL_STATE_NORMAL);
        EXPECT_EQ(r.X2() - r.X1() + 1, 17);
        EXPECT_EQ(r.Y2() - r.Y1() + 1, 17);
        // Drawn alone on magenta: the box of what it paints.
        ZuGrailPixmapRef pixmap = NewPixmap(32, 17, 17);
        pixmap->BeginDraw(0, 0, 16, 16);
        pixmap->SetForeColor(ZuColorPixel(0x00FF00FFu));
        pixmap->FillRect(0, 0, 16, 16);
        pixmap->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, 0, 0);
        pixmap->EndDraw();
        int x1 = 17, y1 = 17, x2 = -1, y2 = -1;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 17; ++x)
                if ((Pixel(pixmap, x, y) & 0xFFFFFF) != 0xFF00FF) {
                    x1 = std::min(x1, x), x2 = std::max(x2, x);
                    y1 = std::min(y1, y), y2 = std::max(y2, y);
                }
        pixmap->Delete();
        ASSERT_GE(x2, 0) << "nothing painted";
        EXPECT_EQ(x1 + x2, 16) << x1 << ".." << x2;
        EXPECT_EQ(y1 + y2, 16) << y1 << ".." << y2;
        // A mark a press can find: at least 5 pixels across.
        EXPECT_GE(x2 - x1, 4);
    }
}

// Each object class's cursor, while drawing it and over one, and each
// editing tool's, shows a picture below and right of the cross hair: its
// corner is inked, and not with the digits of its number.
TEST_F(ProgramSheets, ToolCursorsShowPicturesNotTheirNumbers)
{
    const ZuGrailPixmapRef sheet =
        Zuvi::LoadPNG(ZuStringRef("%Zuvi%/lumbra_cursors.png"), Zuvi_app_zone);
    ASSERT_TRUE(sheet.IsValid());
    // The page view's box handles, a handle, a group, the brush editor's and
    // the gradient pane's tools.
    std::set<int> codes = {0, 3, 4, 5, 10, 11, 13, 14, 15, 16, 40, 41, 42};
    const ZuRuntimeRef classes[] = {
        CGraLineRef::RetRuntime(),     CGraRectRef::RetRuntime(),    CGraPolyCurveRef::RetRuntime(),
        CGraPolyLineRef::RetRuntime(), CGraPolyRegRef::RetRuntime(), CGraArrowRef::RetRuntime(),
        CGraLineTextRef::RetRuntime(), CGraArcRef::RetRuntime(),     CGraGroupRef::RetRuntime(),
    };
    for (const ZuRuntimeRef& runtime : classes) {
        CGraObjectRef o(
            ZuObjectRef(ZuClassFactory::New(runtime, nullptr, __LINE__, "sheets_test")));
        ASSERT_TRUE(o.IsValid()) << runtime->RetClassName();
        codes.insert(o->GetIconId(0));
        codes.insert(o->GetIconId(1));
        o->Delete();
    }
    for (int code : codes) {
        SCOPED_TRACE(code);
        std::string corner;
        for (int y = 18; y < 32; ++y)
            for (int x = 18; x < 32; ++x) {
                // 0xTTRRGGBB, TT the transparency: opaque black inks.
                const unsigned p = Pixel(sheet, 32 * code + x, y);
                corner += (p >> 24) < 0x80 && (p & 0xFFFFFF) < 0x404040 ? '#' : '.';
            }
        EXPECT_NE(corner.find('#'), std::string::npos);
        EXPECT_NE(corner, NumberedSpriteCorner(code)) << corner;
    }
    sheet->Delete();
}

TEST_F(ProgramSheets, SplashPictureHasTheSplashButtonsSize)
{
    ZuIconRecordRef generic;
    ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef("lumbra_Generic"), generic, 0));
    const ZuRect r = generic->RetIconRect(ZU_CTRL_STATE_NORMAL);
    EXPECT_EQ(r.X2() - r.X1() + 1, 488);
    EXPECT_EQ(r.Y2() - r.Y1() + 1, 263);
}

// The drawing tools show pictures: a numbered tile writes its number in
// rows 5 to 9 only, while each tool's picture inks rows above or below
// them, and no two tools look alike.
TEST_F(ProgramSheets, DrawingToolsShowPicturesNotTheirNumbers)
{
    std::set<std::string> looks;
    for (int tool = 10; tool <= 19; ++tool) {
        SCOPED_TRACE(tool);
        ZuGrailPixmapRef pixmap = NewPixmap(32, 16, 16);
        pixmap->BeginDraw(0, 0, 15, 15);
        pixmap->SetForeColor(ZuColorPixel(0x00FF00FFu));
        pixmap->FillRect(0, 0, 15, 15);
        pixmap->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(IconImageName(tool)), ZU_CTRL_STATE_NORMAL,
                                       0, 0);
        pixmap->EndDraw();
        std::string ink;
        int outside = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const unsigned p = Pixel(pixmap, x, y);
                const bool dark =
                    ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100;
                ink += dark ? '#' : '.';
                outside += dark && (y < 5 || y > 9) && x > 1 && x < 14 && y > 1 && y < 14;
            }
        pixmap->Delete();
        EXPECT_GT(outside, 0) << ink;
        EXPECT_TRUE(looks.insert(ink).second) << ink;
    }
}

} // namespace

// Every icon number the program asks for shows a picture: none is the
// tile with its number written on it, and each but the menu rows' neutral
// one inks its face.
TEST_F(ProgramSheets, NoIconAskedForIsANumberedTile)
{
    for (int icon = 0; icon < kIconCount; ++icon) {
        if (GetIconLabel(icon)[0] == '\0')
            continue;
        SCOPED_TRACE(icon);
        ZuGrailPixmapRef pixmap = NewPixmap(32, 16, 16);
        pixmap->BeginDraw(0, 0, 15, 15);
        pixmap->SetForeColor(ZuColorPixel(0x00FF00FFu));
        pixmap->FillRect(0, 0, 15, 15);
        pixmap->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(IconImageName(icon)), ZU_CTRL_STATE_NORMAL,
                                       0, 0);
        pixmap->EndDraw();
        std::string face, colours;
        std::set<unsigned> seen;
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x) {
                const unsigned p = Pixel(pixmap, x, y);
                face += ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100
                            ? '#'
                            : '.';
                seen.insert(p);
            }
        pixmap->Delete();
        EXPECT_NE(face, NumberedTileFace(icon));
        EXPECT_GT(seen.size(), 1u);
    }
}
