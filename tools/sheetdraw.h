// The drawing kit of the picture-sheet generators: an RGBA canvas written
// as a PNG file with one "IconRecord" text chunk, and shapes given as
// inside tests over the unit square.
#ifndef TOOLS_SHEETDRAW_H
#define TOOLS_SHEETDRAW_H

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sheetdraw {

struct Rgba {
    std::uint8_t r, g, b, a;
};

const Rgba kClear = {0, 0, 0, 0};
const Rgba kWhite = {255, 255, 255, 255};
const Rgba kBlack = {0, 0, 0, 255};

inline Rgba Grey(int v)
{
    return {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), 255};
}

// The look of one control state: normal, hot, clicked, dimmed, and the
// same four when active (on, checked, selected).
struct StateLook {
    bool hot, clicked, dimmed, active;
};

inline StateLook LookOf(int state)
{
    return {state % 4 == 1, state % 4 == 2, state % 4 == 3, state >= 4};
}

// A colour seen in a state: dimmed ones fade toward the face, hot ones
// lighten, active ones take a blue tint.
inline Rgba Shade(Rgba c, const StateLook& s)
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

using Shape = std::function<bool(double, double)>;

inline bool Triangle(double x, double y, double ax, double ay, double bx, double by, double cx,
                     double cy)
{
    auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
        return (qx - px) * (ry - py) - (qy - py) * (rx - px);
    };
    const double d1 = side(ax, ay, bx, by, x, y), d2 = side(bx, by, cx, cy, x, y),
                 d3 = side(cx, cy, ax, ay, x, y);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

inline bool Box(double x, double y, double x1, double y1, double x2, double y2)
{
    return x >= x1 && x <= x2 && y >= y1 && y <= y2;
}

inline bool Disc(double x, double y, double cx, double cy, double r)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

inline bool Bar(double x, double y, double ax, double ay, double bx, double by, double w)
{
    const double dx = bx - ax, dy = by - ay;
    const double t =
        std::fmax(0, std::fmin(1, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)));
    const double px = ax + t * dx - x, py = ay + t * dy - y;
    return px * px + py * py <= w * w;
}

// A double arrow along the segment from a to b.
inline bool DoubleArrow(double x, double y, double ax, double ay, double bx, double by)
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

inline std::string Num(int v)
{
    return std::to_string(v);
}

// How a frame looks: its face and its relief (raised, sunken or etched).
// A frame drawn over a control's contents (a cap, a cover) keeps its face
// clear, so that the contents show through it.
enum Relief { RAISED, SUNKEN, ETCHED, FLAT };
struct FrameStyle {
    const char* name;
    Relief relief;
    int face;
    bool over_contents = false;
};

const int kPiece = 4; // the side of every frame piece

// Draws a whole frame of 3 x 3 pieces at (x, y) in a state.
inline void DrawFrame(Canvas& c, int x, int y, const FrameStyle& f, int state)
{
    const StateLook s = LookOf(state);
    const int n = 3 * kPiece;
    if (!f.over_contents)
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
    // The middle piece stays one plain face: it is stretched over the
    // inside of every framed control, so any mark on it would show there
    // as a smudge. The edges alone tell the pieces apart.
}

// Paints a cursor: the shape in black, ringed in white, clear elsewhere.
inline void DrawCursor(Canvas& c, int x, int y, const Shape& shape)
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

} // namespace sheetdraw

#endif
