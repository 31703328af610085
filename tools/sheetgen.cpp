// Draws the library's picture sheets and writes them as PNG files, each
// with "IconRecord" text chunks that say where every picture lies:
//   zu_icons.png    nine-piece frames and icons, in the eight control states
//   zu_cursors.png  the cursors, 32 x 32, with their hot spots
//   zu_handles.png  the selection handles
// Usage: sheetgen OUTPUT_DIRECTORY
//
// Every picture is drawn here: frames from reliefs, icons and cursors from
// shapes given as inside tests over the unit square.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/sheetdraw.h"

namespace {

using namespace sheetdraw;

// ---- Frames ----

const FrameStyle kFrames[] = {
    {"Button", RAISED, 212},        {"ButtonCap", RAISED, 200, true},
    {"Box", ETCHED, 212},           {"BoxTitle", RAISED, 190},
    {"TabBox", RAISED, 212},        {"TabTopB", RAISED, 205},
    {"TabTopM", RAISED, 205},       {"TabTopE", RAISED, 205},
    {"TextLineFrame", SUNKEN, 255}, {"TextLineCover", FLAT, 240, true},
    {"ScrollerHBack", SUNKEN, 170}, {"ScrollerVBack", SUNKEN, 170},
    {"ScrollerHKnob", RAISED, 200}, {"ScrollerVKnob", RAISED, 200},
};

// ---- Icons and cursors: shapes over the unit square ----

struct IconDef {
    std::string name;
    int w, h;
    const char* flags; // "ASX:", "ASY:", "ASX:ASY:" or ""
    Shape shape;
};

std::vector<IconDef> Icons()
{
    auto arrow = [](double ax, double ay, double bx, double by, double cx, double cy) -> Shape {
        return [=](double x, double y) { return Triangle(x, y, ax, ay, bx, by, cx, cy); };
    };
    std::vector<IconDef> icons = {
        {"ScrollerUpArrow", 16, 16, "", arrow(0.5, 0.25, 0.2, 0.7, 0.8, 0.7)},
        {"ScrollerDownArrow", 16, 16, "", arrow(0.5, 0.75, 0.2, 0.3, 0.8, 0.3)},
        {"ScrollerLeftArrow", 16, 16, "", arrow(0.25, 0.5, 0.7, 0.2, 0.7, 0.8)},
        {"ScrollerRightArrow", 16, 16, "", arrow(0.75, 0.5, 0.3, 0.2, 0.3, 0.8)},
        {"ScrollerLeftNormal", 16, 16, "", arrow(0.25, 0.5, 0.7, 0.2, 0.7, 0.8)},
        {"HSliderSmall", 11, 16, "",
         [](double x, double y) {
             return Box(x, y, 0.1, 0, 0.9, 0.6) || Triangle(x, y, 0.1, 0.6, 0.9, 0.6, 0.5, 1);
         }},
        {"VSliderSmall", 16, 11, "",
         [](double x, double y) {
             return Box(x, y, 0, 0.1, 0.6, 0.9) || Triangle(x, y, 0.6, 0.1, 0.6, 0.9, 1, 0.5);
         }},
        {"SubmenuRight", 8, 8, "", arrow(0.85, 0.5, 0.2, 0.1, 0.2, 0.9)},
        {"SwitchCheckBox", 13, 13, "",
         [](double x, double y) { return !Box(x, y, 0.12, 0.12, 0.88, 0.88); }},
        {"SwitchRadioButton", 13, 13, "",
         [](double x, double y) {
             return Disc(x, y, 0.5, 0.5, 0.5) && !Disc(x, y, 0.5, 0.5, 0.36);
         }},
        {"TextLineHilite", 4, 4, "ASX:ASY:", [](double, double) { return true; }},
        {"Cube", 16, 16, "",
         [](double x, double y) {
             return Bar(x, y, 0.15, 0.35, 0.65, 0.35, 0.05) ||
                    Bar(x, y, 0.15, 0.35, 0.15, 0.85, 0.05) ||
                    Bar(x, y, 0.15, 0.85, 0.65, 0.85, 0.05) ||
                    Bar(x, y, 0.65, 0.35, 0.65, 0.85, 0.05) ||
                    Bar(x, y, 0.15, 0.35, 0.35, 0.15, 0.05) ||
                    Bar(x, y, 0.65, 0.35, 0.85, 0.15, 0.05) ||
                    Bar(x, y, 0.65, 0.85, 0.85, 0.65, 0.05) ||
                    Bar(x, y, 0.35, 0.15, 0.85, 0.15, 0.05) ||
                    Bar(x, y, 0.85, 0.15, 0.85, 0.65, 0.05);
         }},
        {"RightArrow", 16, 16, "",
         [](double x, double y) {
             return Box(x, y, 0.1, 0.4, 0.55, 0.6) ||
                    Triangle(x, y, 0.55, 0.15, 0.55, 0.85, 0.95, 0.5);
         }},
        {"SliderDot", 8, 8, "", [](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.45); }},
        {"MiniClose", 9, 9, "",
         [](double x, double y) {
             return Bar(x, y, 0.15, 0.15, 0.85, 0.85, 0.1) ||
                    Bar(x, y, 0.85, 0.15, 0.15, 0.85, 0.1);
         }},
    };
    // The window bar's buttons, at the icon sizes of both bar thicknesses
    // (16 and 19, less 4).
    const std::vector<std::pair<const char*, Shape>> bar = {
        {"WinbarLogo",
         [](double x, double y) {
             return Disc(x, y, 0.5, 0.5, 0.45) && !Disc(x, y, 0.5, 0.5, 0.2);
         }},
        {"WinbarPushPin",
         [](double x, double y) {
             return Disc(x, y, 0.6, 0.4, 0.25) || Bar(x, y, 0.15, 0.85, 0.5, 0.5, 0.06);
         }},
        {"WinbarUser",
         [](double x, double y) {
             return Disc(x, y, 0.5, 0.3, 0.2) || (Disc(x, y, 0.5, 1.0, 0.45) && y < 0.95);
         }},
        {"WinbarHelp",
         [](double x, double y) {
             return (Disc(x, y, 0.5, 0.35, 0.28) && !Disc(x, y, 0.5, 0.35, 0.14) &&
                     !(y > 0.35 && x < 0.5)) ||
                    Box(x, y, 0.42, 0.5, 0.58, 0.65) || Box(x, y, 0.42, 0.78, 0.58, 0.92);
         }},
        {"WinbarHide", [](double x, double y) { return Box(x, y, 0.15, 0.7, 0.85, 0.85); }},
        {"WinbarShrink",
         [](double x, double y) {
             return Box(x, y, 0.3, 0.3, 0.7, 0.7) && !Box(x, y, 0.4, 0.45, 0.6, 0.6);
         }},
        {"WinbarReduce",
         [](double x, double y) {
             return Box(x, y, 0.15, 0.15, 0.85, 0.85) && !Box(x, y, 0.25, 0.35, 0.75, 0.75);
         }},
        {"WinbarToggle",
         [](double x, double y) { return Triangle(x, y, 0.15, 0.2, 0.85, 0.2, 0.5, 0.8); }},
        {"WinbarAccept",
         [](double x, double y) {
             return Bar(x, y, 0.15, 0.55, 0.4, 0.8, 0.09) || Bar(x, y, 0.4, 0.8, 0.85, 0.2, 0.09);
         }},
        {"WinbarClose",
         [](double x, double y) {
             return Bar(x, y, 0.2, 0.2, 0.8, 0.8, 0.09) || Bar(x, y, 0.8, 0.2, 0.2, 0.8, 0.09);
         }},
    };
    for (int size : {12, 15})
        for (const auto& b : bar)
            icons.push_back({b.first, size, size, "", b.second});
    return icons;
}

// Paints a shape at (x, y) in a w x h cell, in a state: the ink on a clear
// ground; the check box and radio button show their mark when active.
void DrawIcon(Canvas& c, int x, int y, const IconDef& icon, int state)
{
    const StateLook s = LookOf(state);
    Rgba ink = Shade(Grey(s.clicked ? 60 : 16), s);
    if (icon.name == "TextLineHilite")
        ink = Shade({80, 110, 200, 255}, s);
    for (int j = 0; j < icon.h; ++j)
        for (int i = 0; i < icon.w; ++i) {
            const double u = (i + 0.5) / icon.w, v = (j + 0.5) / icon.h;
            bool inside = icon.shape(u, v);
            if (s.active && icon.name == "SwitchCheckBox")
                inside = inside || Bar(u, v, 0.25, 0.5, 0.45, 0.72, 0.07) ||
                         Bar(u, v, 0.45, 0.72, 0.78, 0.25, 0.07);
            if (s.active && icon.name == "SwitchRadioButton")
                inside = inside || Disc(u, v, 0.5, 0.5, 0.2);
            if (inside)
                c.Set(x + i, y + j, ink);
            else if (icon.name == "SwitchCheckBox" || icon.name == "SwitchRadioButton")
                c.Set(x + i, y + j, Shade(kWhite, s));
        }
}

bool WriteIcons(const std::string& dir)
{
    const std::vector<IconDef> icons = Icons();
    const int frame_rows = int(sizeof kFrames / sizeof kFrames[0]);
    // Frames: a row of 3 x 3 pieces per state per frame; icons below, a
    // row of eight states each.
    const int frame_h = 3 * kPiece;
    int height = frame_rows * frame_h;
    int width = 8 * frame_h;
    for (const IconDef& icon : icons) {
        height += icon.h;
        width = std::max(width, 8 * icon.w);
    }
    Canvas c(width, height);
    std::string text;
    int y = 0;
    for (const FrameStyle& f : kFrames) {
        for (int s = 0; s < 8; ++s)
            DrawFrame(c, s * frame_h, y, f, s);
        for (int piece = 0; piece < 9; ++piece) {
            const int px = (piece % 3) * kPiece, py = y + (piece / 3) * kPiece;
            text += std::string("I:") + f.name + ":" + Num(kPiece) + ":" + Num(kPiece) + ":";
            for (int s = 0; s < 8; ++s)
                text += "S" + Num(s) + "[" + Num(s * frame_h + px) + "." + Num(py) + "]:";
            if (piece == 1 || piece == 7)
                text += "ASX:";
            else if (piece == 3 || piece == 5)
                text += "ASY:";
            else if (piece == 4)
                text += "ASX:ASY:";
            text += "MOSAIC" + Num(piece) + ":\n";
        }
        y += frame_h;
    }
    for (const IconDef& icon : icons) {
        text += "I:" + icon.name + ":" + Num(icon.w) + ":" + Num(icon.h) + ":";
        for (int s = 0; s < 8; ++s) {
            DrawIcon(c, s * icon.w, y, icon, s);
            text += "S" + Num(s) + "[" + Num(s * icon.w) + "." + Num(y) + "]:";
        }
        text += std::string(icon.flags) + "\n";
        y += icon.h;
    }
    return c.Write(dir + "/zu_icons.png", text);
}

bool WriteCursors(const std::string& dir)
{
    const std::vector<std::pair<const char*, Shape>> cursors = {
        {"Busy",
         [](double x, double y) {
             return Box(x, y, 0.2, 0.05, 0.8, 0.12) || Box(x, y, 0.2, 0.88, 0.8, 0.95) ||
                    Triangle(x, y, 0.25, 0.12, 0.75, 0.12, 0.5, 0.5) ||
                    Triangle(x, y, 0.25, 0.88, 0.75, 0.88, 0.5, 0.5);
         }},
        {"IBeam",
         [](double x, double y) {
             return Box(x, y, 0.46, 0.1, 0.54, 0.9) || Box(x, y, 0.34, 0.08, 0.66, 0.13) ||
                    Box(x, y, 0.34, 0.87, 0.66, 0.92);
         }},
        {"Move\\", [](double x, double y) { return DoubleArrow(x, y, 0.1, 0.1, 0.9, 0.9); }},
        {"MoveY", [](double x, double y) { return DoubleArrow(x, y, 0.5, 0.05, 0.5, 0.95); }},
        {"Move/", [](double x, double y) { return DoubleArrow(x, y, 0.9, 0.1, 0.1, 0.9); }},
        {"MoveX", [](double x, double y) { return DoubleArrow(x, y, 0.05, 0.5, 0.95, 0.5); }},
        {"MoveXY",
         [](double x, double y) {
             return DoubleArrow(x, y, 0.5, 0.05, 0.5, 0.95) ||
                    DoubleArrow(x, y, 0.05, 0.5, 0.95, 0.5);
         }},
    };
    Canvas c(32 * int(cursors.size()), 32);
    std::string text;
    for (std::size_t i = 0; i < cursors.size(); ++i) {
        DrawCursor(c, int(i) * 32, 0, cursors[i].second);
        text += std::string("C:") + cursors[i].first + ":32:32:" + Num(int(i) * 32) + ":0:15:15\n";
    }
    return c.Write(dir + "/zu_cursors.png", text);
}

bool WriteHandles(const std::string& dir)
{
    const IconDef handles[] = {
        {"HandleSquare", 7, 7, "",
         [](double x, double y) { return Box(x, y, 0.15, 0.15, 0.85, 0.85); }},
        {"HandleRound", 7, 7, "", [](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.42); }},
        {"HandleRotate", 9, 9, "",
         [](double x, double y) {
             return Disc(x, y, 0.5, 0.5, 0.45) && !Disc(x, y, 0.5, 0.5, 0.25);
         }},
    };
    Canvas c(8 * 9, 9 * 3);
    std::string text;
    int y = 0;
    for (const IconDef& h : handles) {
        text += "I:" + h.name + ":" + Num(h.w) + ":" + Num(h.h) + ":";
        for (int s = 0; s < 8; ++s) {
            const StateLook look = LookOf(s);
            for (int j = 0; j < h.h; ++j)
                for (int i = 0; i < h.w; ++i) {
                    const double u = (i + 0.5) / h.w, v = (j + 0.5) / h.h;
                    if (h.shape(u, v))
                        c.Set(s * 9 + i, y + j, Shade(look.clicked ? kWhite : kBlack, look));
                    else if (j == 0 || i == 0 || j == h.h - 1 || i == h.w - 1)
                        c.Set(s * 9 + i, y + j, kClear);
                    else
                        c.Set(s * 9 + i, y + j, kWhite);
                }
            text += "S" + Num(s) + "[" + Num(s * 9) + "." + Num(y) + "]:";
        }
        text += "\n";
        y += 9;
    }
    return c.Write(dir + "/zu_handles.png", text);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sheetgen OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!WriteIcons(dir) || !WriteCursors(dir) || !WriteHandles(dir)) {
        std::fprintf(stderr, "sheetgen: cannot write the sheets into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
