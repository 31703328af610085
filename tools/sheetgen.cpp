// Draws the library's picture sheets and writes them as PNG files, each
// with "IconRecord" text chunks that say where every picture lies:
//   zu_icons.png    nine-piece frames and icons, in the eight control states
//   zu_cursors.png  the cursors, 32 x 32, with their hot spots
//   zu_handles.png  the selection handles
// Usage: sheetgen OUTPUT_DIRECTORY
//
// Every picture is drawn here: frames from reliefs, icons and cursors from
// shapes given as inside tests over the unit square.

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

const Rgba kClear = {0, 0, 0, 0};
const Rgba kWhite = {255, 255, 255, 255};
const Rgba kBlack = {0, 0, 0, 255};

Rgba Grey(int v)
{
    return {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), 255};
}

// The look of one control state: normal, hot, clicked, dimmed, and the
// same four when active (on, checked, selected).
struct StateLook {
    bool hot, clicked, dimmed, active;
};

StateLook LookOf(int state)
{
    return {state % 4 == 1, state % 4 == 2, state % 4 == 3, state >= 4};
}

// A colour seen in a state: dimmed ones fade toward the face, hot ones
// lighten, active ones take a blue tint.
Rgba Shade(Rgba c, const StateLook& s)
{
    auto mix = [](int a, int b, double t) { return std::uint8_t(std::lround(a + (b - a) * t)); };
    if (s.active)
        c = {mix(c.r, 64, 0.25), mix(c.g, 96, 0.25), mix(c.b, 200, 0.35), c.a};
    if (s.hot)
        c = {mix(c.r, 255, 0.3), mix(c.g, 255, 0.3), mix(c.b, 255, 0.3), c.a};
    if (s.dimmed)
        c = {mix(c.r, 192, 0.6), mix(c.g, 192, 0.6), mix(c.b, 192, 0.6), c.a};
    return c;
}

class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h, kClear) {}
    void Set(int x, int y, Rgba c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[std::size_t(y) * width + x] = c;
    }
    Rgba Get(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    void Fill(int x, int y, int w, int h, Rgba c)
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                Set(x + i, y + j, c);
    }
    bool Write(const std::string& path, const std::string& text) const
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr)
            return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            std::fclose(file);
            return false;
        }
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        std::vector<char> key(std::begin("IconRecord"), std::end("IconRecord"));
        std::vector<char> body(text.begin(), text.end());
        body.push_back('\0');
        png_text chunk = {};
        chunk.compression = PNG_TEXT_COMPRESSION_NONE;
        chunk.key = key.data();
        chunk.text = body.data();
        chunk.text_length = text.size();
        png_set_text(png, info, &chunk, 1);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, reinterpret_cast<png_const_bytep>(&pixels[std::size_t(y) * width]));
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        return std::fclose(file) == 0;
    }

    int width, height;

private:
    std::vector<Rgba> pixels;
};

// ---- Frames ----

// How a frame looks: its face and its relief (raised, sunken or etched).
enum Relief { RAISED, SUNKEN, ETCHED, FLAT };
struct FrameStyle {
    const char* name;
    Relief relief;
    int face;
};

const FrameStyle kFrames[] = {
    {"Button", RAISED, 212},        {"ButtonCap", RAISED, 200},     {"Box", ETCHED, 212},
    {"BoxTitle", RAISED, 190},      {"TabBox", RAISED, 212},        {"TabTopB", RAISED, 205},
    {"TabTopM", RAISED, 205},       {"TabTopE", RAISED, 205},       {"TextLineFrame", SUNKEN, 255},
    {"TextLineCover", FLAT, 240},   {"ScrollerHBack", SUNKEN, 170}, {"ScrollerVBack", SUNKEN, 170},
    {"ScrollerHKnob", RAISED, 200}, {"ScrollerVKnob", RAISED, 200},
};

const int kPiece = 4; // the side of every frame piece

// Draws a whole frame of 3 x 3 pieces at (x, y) in a state.
void DrawFrame(Canvas& c, int x, int y, const FrameStyle& f, int state)
{
    const StateLook s = LookOf(state);
    const int n = 3 * kPiece;
    c.Fill(x, y, n, n, Shade(Grey(f.face), s));
    Relief relief = f.relief;
    if (s.clicked && relief == RAISED)
        relief = SUNKEN;
    Rgba outer_tl, inner_tl, outer_br, inner_br;
    switch (relief) {
    case RAISED:
        outer_tl = Grey(235), inner_tl = kWhite, outer_br = kBlack, inner_br = Grey(128);
        break;
    case SUNKEN:
        outer_tl = Grey(128), inner_tl = kBlack, outer_br = kWhite, inner_br = Grey(192);
        break;
    case ETCHED:
        outer_tl = Grey(128), inner_tl = kWhite, outer_br = kWhite, inner_br = Grey(128);
        break;
    default:
        outer_tl = inner_tl = outer_br = inner_br = Grey(96);
        break;
    }
    for (int i = 0; i < n; ++i) {
        c.Set(x + i, y + n - 1, Shade(outer_br, s));
        c.Set(x + n - 1, y + i, Shade(outer_br, s));
    }
    for (int i = 1; i < n - 1; ++i) {
        c.Set(x + i, y + n - 2, Shade(inner_br, s));
        c.Set(x + n - 2, y + i, Shade(inner_br, s));
    }
    for (int i = 0; i < n - 1; ++i) {
        c.Set(x + i, y, Shade(outer_tl, s));
        c.Set(x, y + i, Shade(outer_tl, s));
    }
    for (int i = 1; i < n - 2; ++i) {
        c.Set(x + i, y + 1, Shade(inner_tl, s));
        c.Set(x + 1, y + i, Shade(inner_tl, s));
    }
    // A mark in the middle of the surface, so that no two pieces match.
    c.Set(x + n / 2, y + n / 2, Shade(Grey(f.face - 24), s));
}

// ---- Icons and cursors: shapes over the unit square ----

using Shape = std::function<bool(double, double)>;

bool Triangle(double x, double y, double ax, double ay, double bx, double by, double cx, double cy)
{
    auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
        return (qx - px) * (ry - py) - (qy - py) * (rx - px);
    };
    const double d1 = side(ax, ay, bx, by, x, y), d2 = side(bx, by, cx, cy, x, y),
                 d3 = side(cx, cy, ax, ay, x, y);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

bool Box(double x, double y, double x1, double y1, double x2, double y2)
{
    return x >= x1 && x <= x2 && y >= y1 && y <= y2;
}

bool Disc(double x, double y, double cx, double cy, double r)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool Bar(double x, double y, double ax, double ay, double bx, double by, double w)
{
    const double dx = bx - ax, dy = by - ay;
    const double t =
        std::fmax(0, std::fmin(1, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)));
    const double px = ax + t * dx - x, py = ay + t * dy - y;
    return px * px + py * py <= w * w;
}

// A double arrow along the segment from a to b.
bool DoubleArrow(double x, double y, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
    const double head = 0.22, half = 0.16;
    auto tip = [&](double tx, double ty, double sx, double sy) {
        const double bxx = tx - sx * head, byy = ty - sy * head;
        return Triangle(x, y, tx, ty, bxx + nx * half, byy + ny * half, bxx - nx * half,
                        byy - ny * half);
    };
    return Bar(x, y, ax, ay, bx, by, 0.05) || tip(ax, ay, -ux, -uy) || tip(bx, by, ux, uy);
}

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

// Paints a cursor: the shape in black, ringed in white, clear elsewhere.
void DrawCursor(Canvas& c, int x, int y, const Shape& shape)
{
    const int n = 32;
    auto in = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < n && j < n && shape((i + 0.5) / n, (j + 0.5) / n);
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            if (in(i, j))
                c.Set(x + i, y + j, kBlack);
            else if (in(i - 1, j) || in(i + 1, j) || in(i, j - 1) || in(i, j + 1))
                c.Set(x + i, y + j, kWhite);
        }
}

std::string Num(int v)
{
    return std::to_string(v);
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
