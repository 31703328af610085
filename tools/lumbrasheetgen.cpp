// Draws the drawing program's picture sheets and writes them as PNG files
// with "IconRecord" text chunks, in the format of the library's sheets; the
// program loads them with the prefix "lumbra_":
//   lumbra_icons.png    the icon numbers ("Icon007"...), the dialog icons,
//                       arrows, the lock, handles, unit icons, the slider
//                       knobs, and the frames "Box", "SliderH", "SliderV"
//   lumbra_cursors.png  the tool sprites "Sprite00" to "Sprite49", 32 x 32
//   lumbra_generic.png  the splash picture "Generic", 488 x 263
// Usage: lumbrasheetgen OUTPUT_DIRECTORY
//
// Every picture is drawn here, from shapes and a small block font; the
// same bytes come out on every run.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/sheetdraw.h"

namespace {

using namespace sheetdraw;

// The icon numbers that have a label, and the neutral picture of menu
// rows (130).
const int kIconNumbers[] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,
    18,  19,  30,  31,  32,  33,  34,  35,  36,  37,  38,  40,  41,  45,  46,  50,  51,  52,
    53,  54,  58,  59,  60,  61,  62,  63,  64,  66,  67,  68,  69,  70,  71,  72,  73,  74,
    75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,
    93,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110,
    111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 130, 131, 132, 133, 134, 135,
    136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 150, 151, 152, 153, 154, 156, 157, 158,
    159, 160, 161, 162, 163, 164, 165, 170, 171, 172, 173, 174, 175, 176, 177, 178, 180, 181,
    182, 183, 184, 185, 186, 187, 188, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200,
    201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 220, 221,
    222, 223, 224, 225, 230, 231, 232, 233, 234, 235, 236, 240, 241, 242, 243, 244, 245, 250,
    251, 252, 253, 254, 255, 256, 260, 261, 262, 263, 264, 265, 266, 267,
};

const int kSprites = 50;

// ---- A block font of 3 x 5 cells ----

struct Glyph {
    char c;
    const char* rows[5];
};

const Glyph kGlyphs[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", ".##", "..#", "###"}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
    {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'F', {"###", "#..", "##.", "#..", "#.."}}, {'G', {".##", "#..", "#.#", "#.#", ".##"}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}}, {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}}, {'M', {"#.#", "###", "###", "#.#", "#.#"}},
    {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}}, {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'P', {"##.", "#.#", "##.", "#..", "#.."}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}}, {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}}, {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'?', {"##.", "..#", ".#.", "...", ".#."}}, {'!', {".#.", ".#.", ".#.", "...", ".#."}},
    {'%', {"#.#", "..#", ".#.", "#..", "#.#"}},
};

const Glyph* FindGlyph(char c)
{
    for (const Glyph& g : kGlyphs)
        if (g.c == c)
            return &g;
    return nullptr;
}

// Writes text at (x, y), each cell scale pixels square; answers the width.
int DrawText(Canvas& c, int x, int y, const std::string& text, int scale, Rgba ink)
{
    int pen = x;
    for (char ch : text) {
        const Glyph* g = FindGlyph(ch);
        if (g != nullptr)
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 3; ++i)
                    if (g->rows[j][i] == '#')
                        c.Fill(pen + i * scale, y + j * scale, scale, scale, ink);
        pen += 4 * scale;
    }
    return pen - x - (text.empty() ? 0 : scale);
}

int TextWidth(const std::string& text, int scale)
{
    return text.empty() ? 0 : int(text.size()) * 4 * scale - scale;
}

// ---- Icons ----

// An icon: its size and how it paints one state at (x, y).
struct Icon {
    std::string name;
    int w, h;
    std::function<void(Canvas&, int, int, const StateLook&)> paint;
};

// A shape filled with one colour, seen in the state.
Icon ShapeIcon(const std::string& name, int w, int h, Rgba ink, Shape shape)
{
    return {name, w, h, [=](Canvas& c, int x, int y, const StateLook& s) {
                for (int j = 0; j < h; ++j)
                    for (int i = 0; i < w; ++i)
                        if (shape((i + 0.5) / w, (j + 0.5) / h))
                            c.Set(x + i, y + j, Shade(ink, s));
            }};
}

// The picture of an icon number: a tile tinted by the hundred, framed,
// with the number written in the block font.
Icon NumberIcon(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Icon%.3d", number);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number);
    const Rgba tints[] = {
        {220, 232, 250, 255}, {232, 250, 220, 255}, {250, 236, 214, 255}, {240, 224, 250, 255}};
    const Rgba tint = tints[(number / 100) % 4];
    const std::string text = digits;
    return {name, 16, 16, [=](Canvas& c, int x, int y, const StateLook& s) {
                c.Fill(x + 1, y + 1, 14, 14, Shade(tint, s));
                for (int i = 1; i < 15; ++i) {
                    c.Set(x + i, y + 1, Shade(Grey(96), s));
                    c.Set(x + i, y + 14, Shade(Grey(96), s));
                    c.Set(x + 1, y + i, Shade(Grey(96), s));
                    c.Set(x + 14, y + i, Shade(Grey(96), s));
                }
                DrawText(c, x + (16 - TextWidth(text, 1)) / 2, y + 5, text, 1, Shade(kBlack, s));
            }};
}

// A dialog icon of 32 x 32: a shape in a colour with a sign on it.
Icon SignIcon(const std::string& name, Rgba back, Shape shape, const std::string& sign)
{
    return {name, 32, 32, [=](Canvas& c, int x, int y, const StateLook& s) {
                for (int j = 0; j < 32; ++j)
                    for (int i = 0; i < 32; ++i)
                        if (shape((i + 0.5) / 32, (j + 0.5) / 32))
                            c.Set(x + i, y + j, Shade(back, s));
                if (!sign.empty())
                    DrawText(c, x + (32 - TextWidth(sign, 4)) / 2, y + 7, sign, 4,
                             Shade(kBlack, s));
            }};
}

// A unit icon: the unit's letters on a light tile.
Icon UnitIcon(const std::string& name, const std::string& letters)
{
    return {name, 12, 12, [=](Canvas& c, int x, int y, const StateLook& s) {
                c.Fill(x, y, 12, 12, Shade(Grey(236), s));
                DrawText(c, x + (12 - TextWidth(letters, 1)) / 2, y + 4, letters, 1,
                         Shade(kBlack, s));
            }};
}

// A selection handle: a square of the colour ringed in black, or a cross.
Icon HandleIcon(const std::string& name, int n, Rgba fill, bool cross)
{
    return {name, n, n, [=](Canvas& c, int x, int y, const StateLook& s) {
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i) {
                        const bool edge = i == 0 || j == 0 || i == n - 1 || j == n - 1;
                        if (cross) {
                            if (i == n / 2 || j == n / 2)
                                c.Set(x + i, y + j, Shade(fill, s));
                        } else
                            c.Set(x + i, y + j, Shade(edge ? kBlack : fill, s));
                    }
            }};
}

std::vector<Icon> Icons()
{
    std::vector<Icon> icons;
    for (int number : kIconNumbers)
        icons.push_back(NumberIcon(number));
    const Rgba ink = Grey(24);
    icons.push_back(ShapeIcon("ArrowUp", 15, 9, ink, [](double x, double y) {
        return Triangle(x, y, 0.5, 0.1, 0.1, 0.9, 0.9, 0.9);
    }));
    icons.push_back(ShapeIcon("ArrowDown", 15, 9, ink, [](double x, double y) {
        return Triangle(x, y, 0.5, 0.9, 0.1, 0.1, 0.9, 0.1);
    }));
    icons.push_back(ShapeIcon("ArrowLeft", 9, 15, ink, [](double x, double y) {
        return Triangle(x, y, 0.1, 0.5, 0.9, 0.15, 0.9, 0.85);
    }));
    icons.push_back(ShapeIcon("ArrowRight", 9, 15, ink, [](double x, double y) {
        return Triangle(x, y, 0.9, 0.5, 0.1, 0.15, 0.1, 0.85);
    }));
    icons.push_back(ShapeIcon("Lock", 16, 16, ink, [](double x, double y) {
        return Box(x, y, 0.2, 0.45, 0.8, 0.9) ||
               (Disc(x, y, 0.5, 0.4, 0.25) && !Disc(x, y, 0.5, 0.4, 0.15) && y < 0.45);
    }));
    icons.push_back(ShapeIcon("CursorH", 9, 16, Grey(64), [](double x, double y) {
        return Box(x, y, 0.1, 0, 0.9, 0.65) || Triangle(x, y, 0.1, 0.65, 0.9, 0.65, 0.5, 1);
    }));
    icons.push_back(ShapeIcon("CursorV", 16, 9, Grey(64), [](double x, double y) {
        return Box(x, y, 0, 0.1, 0.65, 0.9) || Triangle(x, y, 0.65, 0.1, 0.65, 0.9, 1, 0.5);
    }));
    auto disc = [](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.48); };
    icons.push_back(SignIcon("IconInfo", {120, 170, 240, 255}, disc, "I"));
    icons.push_back(SignIcon("IconQuestion", {140, 200, 140, 255}, disc, "?"));
    icons.push_back(SignIcon(
        "IconWarning", {250, 210, 60, 255},
        [](double x, double y) { return Triangle(x, y, 0.5, 0.02, 0.02, 0.98, 0.98, 0.98); }, "!"));
    icons.push_back(SignIcon(
        "IconOpen", {230, 190, 100, 255},
        [](double x, double y) {
            return Box(x, y, 0.05, 0.3, 0.95, 0.9) || Box(x, y, 0.05, 0.2, 0.45, 0.3);
        },
        ""));
    icons.push_back(SignIcon(
        "IconSave", {110, 130, 200, 255},
        [](double x, double y) {
            return Box(x, y, 0.08, 0.08, 0.92, 0.92) && !Box(x, y, 0.25, 0.12, 0.75, 0.4);
        },
        ""));
    const std::pair<const char*, const char*> units[] = {
        {"UnitNO", ""},   {"UnitPC", "%"},  {"UnitDG", "DG"}, {"UnitHA", "H"},
        {"UnitUM", "UM"}, {"UnitMM", "MM"}, {"UnitCM", "CM"}, {"UnitM", "M"},
        {"UnitIN", "IN"}, {"UnitFT", "FT"}, {"UnitYD", "YD"}, {"UnitPI", "PI"},
        {"UnitCC", "CC"}, {"UnitDD", "DD"}, {"UnitPT", "PT"}, {"UnitPX", "PX"},
    };
    for (const auto& unit : units)
        icons.push_back(UnitIcon(unit.first, unit.second));
    // Handles: P small, M medium, G large; V green, R red, B blue.
    const Rgba green = {40, 190, 60, 255}, red = {220, 40, 40, 255}, blue = {50, 90, 230, 255};
    icons.push_back(HandleIcon("HandleNormPV", 6, green, false));
    icons.push_back(HandleIcon("HandleNormPR", 6, red, false));
    icons.push_back(HandleIcon("HandleNormPB", 6, blue, false));
    icons.push_back(HandleIcon("HandleNormMV", 7, green, false));
    icons.push_back(HandleIcon("HandleNormMR", 7, red, false));
    icons.push_back(HandleIcon("HandleNormGV", 9, green, false));
    icons.push_back(HandleIcon("HandleNormGR", 9, red, false));
    icons.push_back(HandleIcon("HandleCrosGV", 9, green, true));
    icons.push_back(HandleIcon("HandleCrosGR", 9, red, true));
    icons.push_back(ShapeIcon("HandleRotate", 9, 9, red, [](double x, double y) {
        return Disc(x, y, 0.5, 0.5, 0.5) && !Disc(x, y, 0.5, 0.5, 0.25);
    }));
    return icons;
}

// The frames of the program's look, nine pieces each as the library's.
const FrameStyle kFrames[] = {
    {"Box", ETCHED, 212},
    {"SliderH", SUNKEN, 190},
    {"SliderV", SUNKEN, 190},
};

bool WriteIcons(const std::string& dir)
{
    const std::vector<Icon> icons = Icons();
    const int frame_h = 3 * kPiece;
    int height = int(sizeof kFrames / sizeof kFrames[0]) * frame_h;
    int width = 8 * frame_h;
    for (const Icon& icon : icons) {
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
    for (const Icon& icon : icons) {
        text += "I:" + icon.name + ":" + Num(icon.w) + ":" + Num(icon.h) + ":";
        for (int s = 0; s < 8; ++s) {
            icon.paint(c, s * icon.w, y, LookOf(s));
            text += "S" + Num(s) + "[" + Num(s * icon.w) + "." + Num(y) + "]:";
        }
        text += "\n";
        y += icon.h;
    }
    return c.Write(dir + "/lumbra_icons.png", text);
}

// ---- Cursors ----

// The tool sprite of a number: its shape and hot spot. Numbers without a
// shape of their own get the cross hair with their number beside it.
struct Sprite {
    Shape shape;
    int hot_x, hot_y;
};

Sprite SpriteOf(int n)
{
    auto cross = [](double x, double y) {
        return (Box(x, y, 0.47, 0.05, 0.53, 0.95) || Box(x, y, 0.05, 0.47, 0.95, 0.53)) &&
               !Box(x, y, 0.42, 0.42, 0.58, 0.58);
    };
    auto arrow = [](double x, double y) {
        return Triangle(x, y, 0.05, 0.05, 0.05, 0.7, 0.5, 0.5) ||
               Bar(x, y, 0.2, 0.4, 0.45, 0.85, 0.06);
    };
    auto glass = [](double x, double y) {
        return (Disc(x, y, 0.4, 0.4, 0.3) && !Disc(x, y, 0.4, 0.4, 0.22)) ||
               Bar(x, y, 0.6, 0.6, 0.9, 0.9, 0.07);
    };
    switch (n) {
    case 1:
        return {arrow, 1, 1};
    case 6:
        return {[=](double x, double y) {
                    return glass(x, y) || Box(x, y, 0.38, 0.28, 0.42, 0.52) ||
                           Box(x, y, 0.28, 0.38, 0.52, 0.42);
                },
                12, 12};
    case 7:
        return {
            [=](double x, double y) { return glass(x, y) || Box(x, y, 0.28, 0.38, 0.52, 0.42); },
            12, 12};
    case 8:
        return {[](double x, double y) {
                    return Box(x, y, 0.25, 0.45, 0.75, 0.9) || Box(x, y, 0.25, 0.15, 0.33, 0.5) ||
                           Box(x, y, 0.38, 0.1, 0.46, 0.5) || Box(x, y, 0.51, 0.12, 0.59, 0.5) ||
                           Box(x, y, 0.64, 0.2, 0.72, 0.5);
                },
                15, 15};
    case 9:
        return {[](double x, double y) {
                    return Box(x, y, 0.47, 0.1, 0.53, 0.9) || Box(x, y, 0.35, 0.08, 0.65, 0.13) ||
                           Box(x, y, 0.35, 0.87, 0.65, 0.92);
                },
                15, 15};
    case 12:
        return {[](double x, double y) {
                    return DoubleArrow(x, y, 0.5, 0.05, 0.5, 0.95) ||
                           DoubleArrow(x, y, 0.05, 0.5, 0.95, 0.5);
                },
                15, 15};
    default:
        break;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.2d", n);
    const std::string text = digits;
    return {[=](double x, double y) {
                if (cross(x, y))
                    return true;
                // The number in the lower right quarter, 3 x 5 cells of 2.
                const int i = int(x * 32) - 20, j = int(y * 32) - 21;
                if (i < 0 || j < 0 || j >= 10)
                    return false;
                const int k = i / 8;
                if (k >= 2 || (i % 8) >= 6)
                    return false;
                const Glyph* g = FindGlyph(text[k]);
                return g != nullptr && g->rows[j / 2][(i % 8) / 2] == '#';
            },
            15, 15};
}

bool WriteCursors(const std::string& dir)
{
    Canvas c(32 * kSprites, 32);
    std::string text;
    for (int n = 0; n < kSprites; ++n) {
        const Sprite sprite = SpriteOf(n);
        DrawCursor(c, n * 32, 0, sprite.shape);
        char name[32];
        std::snprintf(name, sizeof name, "Sprite%.2d", n);
        text += std::string("C:") + name + ":32:32:" + Num(n * 32) + ":0:" + Num(sprite.hot_x) +
                ":" + Num(sprite.hot_y) + "\n";
    }
    return c.Write(dir + "/lumbra_cursors.png", text);
}

// ---- The splash picture ----

bool WriteGeneric(const std::string& dir)
{
    const int w = 488, h = 263;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double t = double(x + y) / (w + h);
            c.Set(x, y,
                  {std::uint8_t(40 + 60 * t), std::uint8_t(70 + 90 * t), std::uint8_t(150 + 90 * t),
                   255});
        }
    // A circle, a star's triangle and a rectangle, as drawn on a page.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = x, v = y;
            if (Disc(u, v, 400, 70, 45) && !Disc(u, v, 400, 70, 38))
                c.Set(x, y, {250, 220, 90, 255});
            if (Triangle(u, v, 360, 230, 440, 230, 400, 150))
                c.Set(x, y, {230, 110, 90, 255});
            if (Box(u, v, 30, 200, 170, 240) && !Box(u, v, 34, 204, 166, 236))
                c.Set(x, y, kWhite);
        }
    const std::string title = "LUMBRA";
    const int scale = 10;
    DrawText(c, (w - 80 - TextWidth(title, scale)) / 2 + 4, 74, title, scale, Grey(20));
    DrawText(c, (w - 80 - TextWidth(title, scale)) / 2, 70, title, scale, kWhite);
    const std::string text = "I:Generic:" + Num(w) + ":" + Num(h) + ":S0[0.0]:\n";
    return c.Write(dir + "/lumbra_generic.png", text);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumbrasheetgen OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!WriteIcons(dir) || !WriteCursors(dir) || !WriteGeneric(dir)) {
        std::fprintf(stderr, "lumbrasheetgen: cannot write the sheets into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
