// The library's own sheets, as drawn by the build (tools/sheetgen) into the
// folder "Zuvi" beside the library: every name the library asks for is
// there, frames are complete, cursors select, and the pictures look right.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/iconrect.h"
#include "si/loadpng.h"
#include "si/memzone.h"
#include "tests/support/looks.h"

namespace {

const char* const kFrames[] = {
    "Zuvi_Button",        "Zuvi_ButtonCap",     "Zuvi_Box",           "Zuvi_BoxTitle",
    "Zuvi_TabBox",        "Zuvi_TabTopB",       "Zuvi_TabTopM",       "Zuvi_TabTopE",
    "Zuvi_TextLineFrame", "Zuvi_TextLineCover", "Zuvi_ScrollerHBack", "Zuvi_ScrollerVBack",
    "Zuvi_ScrollerHKnob", "Zuvi_ScrollerVKnob",
};

const char* const kIcons[] = {
    "Zuvi_ScrollerUpArrow",
    "Zuvi_ScrollerDownArrow",
    "Zuvi_ScrollerLeftArrow",
    "Zuvi_ScrollerRightArrow",
    "Zuvi_HSliderSmall",
    "Zuvi_VSliderSmall",
    "Zuvi_SubmenuRight",
    "Zuvi_SwitchCheckBox",
    "Zuvi_SwitchRadioButton",
    "Zuvi_TextLineHilite",
    "Zuvi_WinbarLogo",
    "Zuvi_WinbarPushPin",
    "Zuvi_WinbarUser",
    "Zuvi_WinbarHelp",
    "Zuvi_WinbarHide",
    "Zuvi_WinbarShrink",
    "Zuvi_WinbarReduce",
    "Zuvi_WinbarToggle",
    "Zuvi_WinbarAccept",
    "Zuvi_WinbarClose",
    "Zuvi_ScrollerLeftNormal",
    "Zuvi_Cube",
    "Zuvi_RightArrow",
    "Zuvi_SliderDot",
    "Zuvi_MiniClose",
    // The handles' sheet.
    "Zuvi_HandleSquare",
    "Zuvi_HandleRound",
    "Zuvi_HandleRotate",
};

const char* const kCursors[] = {
    "Zuvi_CursorBusy",  "Zuvi_CursorIBeam", "Zuvi_CursorMove\\", "Zuvi_CursorMoveY",
    "Zuvi_CursorMove/", "Zuvi_CursorMoveX", "Zuvi_CursorMoveXY",
};

// The look manager of the library's own folder: ZUVI_DIR unset, so that
// "%Zuvi%" is the folder beside the library.
class LibrarySheets : public LookTest {
protected:
    void SetUp() override
    {
        start_look = false;
        LookTest::SetUp();
        unsetenv("ZUVI_DIR");
        StartLook();
    }
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }
    static ZuIconRecordRef Piece(const char* name, unsigned mosaic)
    {
        ZuIconRecordRef record;
        for (unsigned n = 0; Look()->GetIconRecord(ZuAtomRef(name), record, n); ++n)
            if (record->RetMosaicID() == mosaic)
                return record;
        return ZuIconRecordNull;
    }
    // The pixels of a rectangle of a pixmap, row by row.
    static std::vector<unsigned> Pixels(const ZuGrailPortRef& port, const ZuRect& r)
    {
        std::vector<unsigned> out;
        for (int y = int(r.Y1()); y <= int(r.Y2()); ++y)
            for (int x = int(r.X1()); x <= int(r.X2()); ++x)
                out.push_back(Pixel(port, x, y));
        return out;
    }
    static int Luminance(unsigned word)
    {
        return int((word >> 16) & 0xFF) + int((word >> 8) & 0xFF) + int(word & 0xFF);
    }
};

TEST_F(LibrarySheets, EveryNameIsThere)
{
    for (const char* name : kFrames) {
        SCOPED_TRACE(name);
        ZuIconRectRef frame(ZuNew<ZuIconRect>(Zuvi_app_zone));
        EXPECT_TRUE(frame->Initialise(ZuAtomRef(name)));
        frame->Delete();
        // Each piece in the eight states, the edges stretching along.
        for (unsigned mosaic = 0; mosaic < 9; ++mosaic) {
            const ZuIconRecordRef piece = Piece(name, mosaic);
            ASSERT_TRUE(piece.IsValid());
            for (unsigned s = 0; s < 8; ++s)
                EXPECT_FALSE(piece->RetIconRect(ZuCtrlState(s)).IsEmpty());
        }
        EXPECT_TRUE(Piece(name, 1)->IsXStretchable());
        EXPECT_TRUE(Piece(name, 3)->IsYStretchable());
        EXPECT_TRUE(Piece(name, 4)->IsXStretchable() && Piece(name, 4)->IsYStretchable());
    }
    for (const char* name : kIcons) {
        SCOPED_TRACE(name);
        ZuIconRecordRef icon;
        ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef(name), icon, 0));
        for (unsigned s = 0; s < 8; ++s)
            EXPECT_FALSE(icon->RetIconRect(ZuCtrlState(s)).IsEmpty());
    }
    // The window bar's buttons at both bar thicknesses less 4.
    double w = 15, h = 15;
    ZuIconRecordRef close;
    EXPECT_TRUE(Look()->GetIconRecord(ZuAtomRef("Zuvi_WinbarClose"), 12, 12, close));
    EXPECT_TRUE(Look()->GetIconRecord(ZuAtomRef("Zuvi_WinbarClose"), w, h, close));
    EXPECT_TRUE(Look()->GetIconRecord(ZuAtomRef("Zuvi_TextLineHilite"), 0, 0, close));
    EXPECT_TRUE(close->IsXStretchable() && close->IsYStretchable());
    for (const char* name : kCursors) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Look()->SelectCursor(ZuAtomRef(name)));
    }
    EXPECT_EQ(Look()->RetCursorCount(), sizeof kCursors / sizeof kCursors[0]);
}

TEST_F(LibrarySheets, TheNinePiecesOfAFrameDiffer)
{
    for (const char* name : {"Zuvi_Button", "Zuvi_TextLineFrame", "Zuvi_Box"}) {
        SCOPED_TRACE(name);
        std::vector<std::vector<unsigned>> pieces;
        for (unsigned mosaic = 0; mosaic < 9; ++mosaic) {
            const ZuIconRecordRef piece = Piece(name, mosaic);
            pieces.push_back(Pixels(piece->RetSheet(), piece->RetIconRect(ZU_CTRL_STATE_NORMAL)));
        }
        for (unsigned a = 0; a < 9; ++a)
            for (unsigned b = a + 1; b < 9; ++b)
                EXPECT_NE(pieces[a], pieces[b]) << a << " and " << b;
    }
}

// A text field's frame drawn over a field: inside its edges the face is
// one colour all over, with no mark in the middle.
TEST_F(LibrarySheets, TheFaceOfAFrameIsPlain)
{
    for (const char* name : {"Zuvi_TextLineFrame", "Zuvi_Button", "Zuvi_Box"}) {
        SCOPED_TRACE(name);
        ZuGrailPixmapRef port = NewPixmap(32, 80, 24);
        port->BeginDraw(0, 0, 79, 23);
        port->RetAdorner()->DrawFrame(ZuAtomRef(name), ZuRect(0, 0, 79, 23), ZU_CTRL_STATE_NORMAL,
                                      0);
        port->EndDraw();
        const unsigned face = Pixel(port, 6, 6);
        int marks = 0;
        for (int y = 6; y < 18; ++y)
            for (int x = 6; x < 74; ++x)
                marks += Pixel(port, x, y) != face;
        EXPECT_EQ(marks, 0);
        port->Delete();
    }
}

TEST_F(LibrarySheets, ButtonIsRaised)
{
    ZuGrailPixmapRef port = NewPixmap(32, 24, 20);
    port->BeginDraw(0, 0, 23, 19);
    port->RetAdorner()->DrawFrame(ZuAtomRef("Zuvi_Button"), ZuRect(0, 0, 23, 19),
                                  ZU_CTRL_STATE_NORMAL, 0);
    port->EndDraw();
    EXPECT_GT(Luminance(Pixel(port, 10, 0)), Luminance(Pixel(port, 10, 19)));
    EXPECT_GT(Luminance(Pixel(port, 0, 10)), Luminance(Pixel(port, 23, 10)));
    port->Delete();
}

// The cap of a button and the cover of a text line are drawn over the
// control's contents: in every state their relief lies on the edges and
// their face stays clear, so that an icon or a text under them shows.
TEST_F(LibrarySheets, CapsAndCoversLeaveTheContentsVisible)
{
    const unsigned kGreen = 0x0000FF00u;
    for (const char* name : {"Zuvi_ButtonCap", "Zuvi_TextLineCover"})
        for (unsigned s = 0; s < 8; ++s) {
            SCOPED_TRACE(std::string(name) + " state " + std::to_string(s));
            ZuGrailPixmapRef port = NewPixmap(32, 24, 20);
            port->BeginDraw(0, 0, 23, 19);
            port->SetForeColor(ZuColorPixel(kGreen));
            port->FillRect(0, 0, 23, 19);
            port->RetAdorner()->DrawFrame(ZuAtomRef(name), ZuRect(0, 0, 23, 19), ZuCtrlState(s), 0);
            port->EndDraw();
            EXPECT_NE(Pixel(port, 0, 10) & 0xFFFFFF, 0x00FF00u);
            EXPECT_NE(Pixel(port, 23, 10) & 0xFFFFFF, 0x00FF00u);
            int covered = 0;
            for (int y = 2; y <= 17; ++y)
                for (int x = 2; x <= 21; ++x)
                    covered += (Pixel(port, x, y) & 0xFFFFFF) != 0x00FF00u;
            EXPECT_EQ(covered, 0);
            port->Delete();
        }
}

TEST_F(LibrarySheets, CursorsAreClearOutsideTheirShapes)
{
    const ZuGrailPixmapRef sheet =
        Zuvi::LoadPNG(ZuStringRef("%Zuvi%/zu_cursors.png"), nullptr, ZuDictNull);
    ASSERT_TRUE(sheet.IsValid());
    // Busy at (0, 0), IBeam at (32, 0): clear corners, opaque centres.
    for (int left : {0, 32}) {
        EXPECT_EQ(Pixel(sheet, left, 0) >> 24, 255u);
        EXPECT_EQ(Pixel(sheet, left + 31, 31) >> 24, 255u);
        EXPECT_EQ(Pixel(sheet, left + 15, 15) >> 24, 0u);
    }
    EXPECT_NE(Pixels(sheet, ZuRect(0, 0, 31, 31)), Pixels(sheet, ZuRect(32, 0, 63, 31)));
}

} // namespace
