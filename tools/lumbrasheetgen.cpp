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

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
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
    {'%', {"#.#", "..#", ".#.", "#..", "#.#"}}, {'S', {".##", "#..", ".#.", "..#", "##."}},
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

// ---- Pictures of the icon numbers ----

const double kPi = 3.14159265358979323846;

// The paints of the pictures; a clear paint leaves the pixel as it is.
using Paint = Rgba;
const Paint NONE = kClear;
const Paint INK = Grey(24);
const Paint PAPER = kWhite;
const Paint GREY = Grey(140);
const Paint LIGHT = Grey(200);
const Paint BLUE = {70, 110, 210, 255};
const Paint RED = {210, 45, 40, 255};
const Paint YELLOW = {245, 200, 60, 255};
const Paint GREEN = {50, 150, 70, 255};
const Paint CYAN = {40, 190, 220, 255};
const Paint MAGENTA = {210, 60, 170, 255};

// A paint between two others, t from 0 (a) to 1 (b).
Paint Between(Paint a, Paint b, double t)
{
    auto mix = [t](int u, int v) { return std::uint8_t(std::lround(u + (v - u) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), 255};
}

// A picture drawn pixel by pixel on the tile's face: only the face
// (pixels 2 to 13 each way) takes paint, so the tile's frame stays whole.
class Picture {
public:
    Paint At(int x, int y) const { return px[y][x]; }
    void Dot(int x, int y, Paint c)
    {
        if (x >= 2 && y >= 2 && x <= 13 && y <= 13)
            px[y][x] = c;
    }
    void Line(int x0, int y0, int x1, int y1, Paint c = INK)
    {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Dot(x0, y0, c);
            if (x0 == x1 && y0 == y1)
                return;
            const int e2 = 2 * err;
            if (e2 >= dy)
                err += dy, x0 += sx;
            if (e2 <= dx)
                err += dx, y0 += sy;
        }
    }
    // A rectangle's edge and, when given, its inside.
    void Rect(int x0, int y0, int x1, int y1, Paint edge, Paint fill = NONE)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const bool border = x == x0 || x == x1 || y == y0 || y == y1;
                if ((border ? edge : fill).a != 0)
                    Dot(x, y, border ? edge : fill);
            }
    }
    // A rectangle's edge drawn every other pixel, as a selection shows.
    void Dashed(int x0, int y0, int x1, int y1, Paint c = INK)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if ((x == x0 || x == x1 || y == y0 || y == y1) && (x + y) % 2 == 0)
                    Dot(x, y, c);
    }
    // A region given by an inside test in pixel units (pixel centres at
    // i + 0.5): its inside in fill, its one-pixel rim in edge.
    void Area(const Shape& in, Paint fill, Paint edge)
    {
        auto inside = [&](int i, int j) { return in(i + 0.5, j + 0.5); };
        Paint next[16][16];
        std::copy(&px[0][0], &px[0][0] + 256, &next[0][0]);
        for (int j = 2; j <= 13; ++j)
            for (int i = 2; i <= 13; ++i) {
                if (!inside(i, j))
                    continue;
                const bool rim = !inside(i - 1, j) || !inside(i + 1, j) || !inside(i, j - 1) ||
                                 !inside(i, j + 1);
                const Paint c = rim ? edge : fill;
                if (c.a != 0)
                    next[j][i] = c;
            }
        std::copy(&next[0][0], &next[0][0] + 256, &px[0][0]);
    }
    void Poly(const std::vector<std::pair<double, double>>& pts, Paint fill, Paint edge)
    {
        Area([pts](double x, double y) { return InPolygon(pts, x, y); }, fill, edge);
    }
    // A filled ellipse in the box of pixels (x0, y0) to (x1, y1).
    void Ellipse(int x0, int y0, int x1, int y1, Paint fill, Paint edge)
    {
        const double cx = (x0 + x1 + 1) / 2.0, cy = (y0 + y1 + 1) / 2.0;
        const double rx = (x1 - x0 + 1) / 2.0, ry = (y1 - y0 + 1) / 2.0;
        Area(
            [=](double x, double y) {
                const double u = (x - cx) / rx, v = (y - cy) / ry;
                return u * u + v * v <= 1.0;
            },
            fill, edge);
    }
    // Pixel art: '#' ink, 'o' paper, 'g' grey, 'b' blue, 'r' red,
    // 'y' yellow, 'v' green; anything else leaves the pixel.
    void Art(int x, int y, std::initializer_list<const char*> rows)
    {
        int j = 0;
        for (const char* row : rows) {
            for (int i = 0; row[i] != '\0'; ++i) {
                const char* const keys = "#ogbryv";
                const Paint paints[] = {INK, PAPER, GREY, BLUE, RED, YELLOW, GREEN};
                const char* k = std::strchr(keys, row[i]);
                if (k != nullptr)
                    Dot(x + i, y + j, paints[k - keys]);
            }
            ++j;
        }
    }
    void Text(int x, int y, const std::string& text, Paint c, int scale = 1)
    {
        for (char ch : text) {
            if (const Glyph* g = FindGlyph(ch))
                for (int j = 0; j < 5 * scale; ++j)
                    for (int i = 0; i < 3 * scale; ++i)
                        if (g->rows[j / scale][i / scale] == '#')
                            Dot(x + i, y + j, c);
            x += 4 * scale;
        }
    }
    // Turns the picture over, left for right or top for bottom.
    void MirrorX()
    {
        for (auto& row : px)
            std::reverse(std::begin(row), std::end(row));
    }
    void MirrorY() { std::reverse(std::begin(px), std::end(px)); }
    // Turns the picture over its diagonal, rows for columns.
    void Transpose()
    {
        for (int y = 0; y < 16; ++y)
            for (int x = y + 1; x < 16; ++x)
                std::swap(px[y][x], px[x][y]);
    }

private:
    static bool InPolygon(const std::vector<std::pair<double, double>>& pts, double x, double y)
    {
        bool in = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const double xi = pts[i].first, yi = pts[i].second;
            const double xj = pts[j].first, yj = pts[j].second;
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    }
    Paint px[16][16] = {};
};

using Points = std::vector<std::pair<double, double>>;

// A magnifying glass: the lens over pixels 2 to 10, its handle down to the
// lower right corner; the lens is left white for a sign.
void Glass(Picture& p)
{
    p.Area([](double x, double y) { return Disc(x, y, 6.5, 6.5, 4.7); }, PAPER, INK);
    p.Area(
        [](double x, double y) { return Disc(x, y, 6.5, 6.5, 4.7) && !Disc(x, y, 6.5, 6.5, 3.6); },
        INK, INK);
    for (int d = 0; d < 3; ++d) {
        p.Line(10 + d, 10 + d - 1, 10 + d + 1, 10 + d, INK);
        p.Line(10 + d, 10 + d, 10 + d + 1, 10 + d + 1, INK);
    }
}

// A sheet of paper with its upper right corner folded.
void Sheet(Picture& p, int x0, int y0, int x1, int y1)
{
    const double a = x0, b = y0, c = x1 + 1, d = y1 + 1;
    p.Poly({{a, b}, {c - 3, b}, {c, b + 3}, {c, d}, {a, d}}, PAPER, INK);
    p.Line(x1 - 2, y0, x1 - 2, y0 + 2);
    p.Line(x1 - 2, y0 + 2, x1, y0 + 2);
}

// Lines of text on a sheet.
void Writing(Picture& p, int x0, int x1, int y0, int y1)
{
    for (int y = y0; y <= y1; y += 2)
        p.Line(x0, y, y + 2 > y1 ? (x0 + x1) / 2 : x1, y, GREY);
}

// An arrow from (x0, y0) along one axis to (x1, y1), the head at the end.
void Arrow(Picture& p, int x0, int y0, int x1, int y1, Paint c = INK)
{
    p.Line(x0, y0, x1, y1, c);
    const int dx = (x1 > x0) - (x1 < x0), dy = (y1 > y0) - (y1 < y0);
    for (int k = 1; k <= 2; ++k) {
        p.Line(x1 - dx * k - dy * k, y1 - dy * k - dx * k, x1 - dx * k + dy * k,
               y1 - dy * k + dx * k, c);
    }
}

// A ring part from angle a0 to a1 (degrees, clockwise from the top) around
// (cx, cy) between the radii r0 and r1.
Shape Ring(double cx, double cy, double r0, double r1, double a0, double a1)
{
    return [=](double x, double y) {
        const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
        double a = std::atan2(dx, -dy) * 180 / kPi;
        if (a < 0)
            a += 360;
        return d >= r0 && d <= r1 && a >= a0 && a <= a1;
    };
}

// The curved arrow of going back: over the top from the right to the
// left, the head pointing down.
void BackArrow(Picture& p)
{
    p.Area(Ring(8, 10, 3, 5, 270, 360), INK, INK);
    p.Area(Ring(8, 10, 3, 5, 0, 90), INK, INK);
    p.Poly({{1.5, 9.5}, {7.5, 9.5}, {4.5, 13}}, INK, INK);
}

// Front and back: squares stacked from the upper left to the lower right;
// the one at `chosen` is the blue one, the others white.
void Stack(Picture& p, int count, int chosen)
{
    const int side = count == 3 ? 7 : 8, step = count == 3 ? 2 : 3;
    for (int k = 0; k < count; ++k) {
        const int x = 2 + k * step, y = 3 + k * step;
        p.Rect(x, y, x + side - 1, y + side - 1, INK, k == chosen ? BLUE : PAPER);
    }
}

// Draws the picture of an icon number; false for a number that keeps its
// numbered tile.
bool DrawPicture(int number, Picture& p)
{
    switch (number) {
    case 0: // draw: a pencil
        p.Poly({{2, 14}, {3, 10.5}, {11, 2.5}, {13.5, 5}, {5.5, 13}}, YELLOW, INK);
        p.Poly({{2, 14}, {3, 10.5}, {5.5, 13}}, PAPER, INK);
        p.Dot(2, 13, INK);
        p.Line(10, 4, 12, 6);
        break;
    case 1: // change: a shape with its handles
    case 8:
        p.Ellipse(5, 5, 10, 10, BLUE, INK);
        for (int x : {3, 11})
            for (int y : {3, 11})
                p.Rect(x, y, x + 1, y + 1, INK, INK);
        break;
    case 2: // see: an eye
        p.Area(
            [](double x, double y) { return Disc(x, y, 8, 11.5, 6.5) && Disc(x, y, 8, 4.5, 6.5); },
            PAPER, INK);
        p.Ellipse(5, 5, 10, 10, BLUE, BLUE);
        p.Rect(7, 7, 8, 8, INK, INK);
        break;
    case 3: // enlarge
    case 154:
        Glass(p);
        p.Line(4, 6, 8, 6);
        p.Line(6, 4, 6, 8);
        break;
    case 4: // reduce
        Glass(p);
        p.Line(4, 6, 8, 6);
        break;
    case 5: // the hand that drags the page
    case 152:
        p.Art(2, 2,
              {".....#.#....", "...##o#o##..", "..#o#o#o#o#.", "..#o#o#o#o#.", "#.#o#o#o#o#.",
               "#o#o#o#o#o#.", "#ooooooooo#.", "#ooooooooo#.", ".#oooooooo#.", "..#ooooooo#.",
               "...#ooooo#..", "...#######.."});
        break;
    case 6: // select: the pointer
        p.Poly({{4, 2}, {4, 13.5}, {6.8, 11}, {8.6, 14.2}, {10.4, 13.3}, {8.7, 10}, {12.2, 10}},
               INK, INK);
        break;
    case 7: // edit points: a hollow pointer by a point
        p.Poly({{4, 2}, {4, 13.5}, {6.8, 11}, {8.6, 14.2}, {10.4, 13.3}, {8.7, 10}, {12.2, 10}},
               PAPER, INK);
        p.Rect(11, 3, 13, 5, INK, BLUE);
        break;
    case 9: // edit text: the text cursor
        p.Line(8, 3, 8, 12);
        p.Line(6, 2, 7, 2);
        p.Line(9, 2, 10, 2);
        p.Line(6, 13, 7, 13);
        p.Line(9, 13, 10, 13);
        break;
    case 10: // straight line
        p.Line(2, 13, 13, 2);
        p.Line(3, 13, 13, 3);
        break;
    case 11: // rectangle
        p.Rect(2, 4, 13, 11, INK, PAPER);
        p.Rect(3, 5, 12, 10, INK);
        break;
    case 12: { // Bezier curves: an S with its two handles
        p.Line(2, 13, 4, 4, GREY);
        p.Line(13, 2, 11, 11, GREY);
        int last_x = 2, last_y = 13;
        for (int k = 1; k <= 24; ++k) {
            const double t = k / 24.0, u = 1 - t;
            const double x =
                u * u * u * 2 + 3 * u * u * t * 4 + 3 * u * t * t * 11 + t * t * t * 13;
            const double y =
                u * u * u * 13 + 3 * u * u * t * 0 + 3 * u * t * t * 15 + t * t * t * 2;
            const int xi = int(std::lround(x)), yi = int(std::lround(y));
            p.Line(last_x, last_y, xi, yi);
            last_x = xi, last_y = yi;
        }
        p.Rect(3, 3, 5, 5, INK, PAPER);
        p.Rect(10, 10, 12, 12, INK, PAPER);
        break;
    }
    case 13: { // any polygon
        const int pts[][2] = {{2, 8}, {6, 2}, {9, 7}, {13, 4}, {12, 13}, {4, 12}, {2, 8}};
        for (int k = 0; k + 1 < 7; ++k)
            p.Line(pts[k][0], pts[k][1], pts[k + 1][0], pts[k + 1][1]);
        break;
    }
    case 14: // regular polygon: a hexagon
        p.Poly({{8, 2}, {13.2, 5}, {13.2, 11}, {8, 14}, {2.8, 11}, {2.8, 5}}, PAPER, INK);
        break;
    case 15: // arrow
        p.Line(2, 13, 11, 4);
        p.Line(3, 13, 12, 4);
        p.Poly({{14, 2}, {7.5, 4.5}, {11.5, 8.5}}, INK, INK);
        break;
    case 16: // a line of text
        p.Text(3, 3, "AB", INK);
        p.Line(2, 10, 13, 10, GREY);
        p.Line(2, 12, 10, 12, GREY);
        break;
    case 17: // picture: a sun over the hills
        p.Rect(2, 3, 13, 12, INK, PAPER);
        p.Ellipse(9, 4, 11, 6, YELLOW, YELLOW);
        p.Poly({{3, 12}, {6.5, 6.5}, {10, 12}}, GREEN, GREEN);
        p.Poly({{8, 12}, {10.5, 9}, {13, 12}}, GREEN, GREEN);
        p.Rect(2, 3, 13, 12, INK);
        break;
    case 18: // arc
        p.Area(Ring(8, 11, 4.8, 5.9, 270, 360), INK, INK);
        p.Area(Ring(8, 11, 4.8, 5.9, 0, 90), INK, INK);
        break;
    case 19: // text block
        p.Rect(2, 2, 13, 13, INK, PAPER);
        Writing(p, 4, 11, 4, 11);
        break;
    case 30: // attributes: a stroke and a fill
        p.Rect(2, 3, 10, 11, INK, BLUE);
        p.Rect(3, 4, 9, 10, INK);
        p.Line(6, 13, 13, 6, RED);
        p.Line(7, 13, 13, 7, RED);
        break;
    case 38: // samples: four swatches
        p.Rect(3, 3, 7, 7, INK, RED);
        p.Rect(8, 3, 12, 7, INK, GREEN);
        p.Rect(3, 8, 7, 12, INK, BLUE);
        p.Rect(8, 8, 12, 12, INK, YELLOW);
        break;
    case 70: // finish: a check mark
        for (int d = 0; d < 2; ++d) {
            p.Line(3, 7 + d, 6, 10 + d, GREEN);
            p.Line(6, 10 + d, 12, 4 + d, GREEN);
        }
        p.Line(3, 9, 6, 12, GREEN);
        p.Line(6, 12, 12, 6, GREEN);
        break;
    case 71: // delete: a red cross
        for (int d = 0; d < 2; ++d) {
            p.Line(3 + d, 3, 12 + d, 12, RED);
            p.Line(12 + d, 3, 3 + d, 12, RED);
        }
        break;
    case 73: // glass on the page
        Glass(p);
        p.Rect(5, 4, 8, 8, INK, PAPER);
        break;
    case 74: // glass on the selection
        Glass(p);
        p.Rect(4, 4, 8, 8, BLUE);
        for (int x : {4, 8})
            for (int y : {4, 8})
                p.Dot(x, y, INK);
        break;
    case 75: // glass at 100 %
        Glass(p);
        p.Text(5, 4, "1", INK);
        break;
    case 76: // smallest glass: the page seen tiny
        Glass(p);
        p.Rect(6, 6, 6, 6, BLUE, BLUE);
        break;
    case 77: // largest glass: the page seen big
        Glass(p);
        p.Rect(4, 4, 8, 8, BLUE, BLUE);
        break;
    case 78: // properties: a card of labelled lines
    case 159:
        p.Rect(2, 3, 13, 13, INK, PAPER);
        p.Rect(3, 4, 12, 5, BLUE, BLUE);
        for (int y : {7, 9, 11}) {
            p.Dot(4, y, INK);
            p.Line(6, y, 11, y, GREY);
        }
        break;
    case 79: // settings: three sliders
    case 153: {
        const int knobs[3] = {5, 10, 7};
        for (int k = 0; k < 3; ++k) {
            const int y = 3 + 4 * k;
            p.Line(2, y, 13, y, GREY);
            p.Rect(knobs[k] - 1, y - 1, knobs[k] + 1, y + 1, INK, PAPER);
        }
        break;
    }
    case 80: // duplicate
        p.Rect(2, 2, 9, 9, INK, PAPER);
        p.Rect(6, 6, 13, 13, INK, BLUE);
        break;
    case 81: // group: two shapes in one frame with handles
        p.Dashed(2, 2, 13, 13, GREY);
        p.Rect(4, 4, 8, 8, INK, PAPER);
        p.Ellipse(7, 7, 11, 11, BLUE, INK);
        for (int x : {2, 12})
            for (int y : {2, 12})
                p.Rect(x, y, x + 1, y + 1, INK, INK);
        break;
    case 82: // ungroup: the shapes apart
        p.Rect(2, 2, 7, 7, INK, PAPER);
        p.Ellipse(8, 8, 13, 13, BLUE, INK);
        p.Line(9, 3, 12, 3, GREY);
        p.Line(12, 3, 12, 6, GREY);
        p.Line(3, 9, 3, 12, GREY);
        p.Line(3, 12, 6, 12, GREY);
        break;
    case 83: // enter the group
        p.Rect(7, 2, 13, 13, INK, PAPER);
        Arrow(p, 2, 8, 10, 8, BLUE);
        break;
    case 84: // leave the group
        p.Rect(2, 2, 8, 13, INK, PAPER);
        Arrow(p, 5, 8, 13, 8, BLUE);
        break;
    case 85: // select: a selection frame
        p.Dashed(2, 2, 13, 13);
        p.Rect(5, 5, 10, 10, BLUE, BLUE);
        break;
    case 86: // outline: shapes seen as their edges only
        p.Rect(2, 3, 9, 10, INK);
        p.Ellipse(6, 6, 13, 13, NONE, INK);
        break;
    case 87: // frames
        p.Rect(2, 2, 13, 13, INK);
        p.Rect(4, 4, 11, 11, GREY);
        p.Rect(6, 6, 9, 9, INK);
        break;
    case 88: // magnetic grid
        for (int k = 3; k <= 12; k += 3) {
            p.Line(k, 3, k, 12, GREY);
            p.Line(3, k, 12, k, GREY);
        }
        for (int x = 3; x <= 12; x += 3)
            for (int y = 3; y <= 12; y += 3)
                p.Dot(x, y, INK);
        p.Rect(5, 5, 7, 7, BLUE, BLUE);
        p.Dot(6, 6, INK);
        break;
    case 89: // previous glass
        Glass(p);
        p.Line(4, 6, 8, 6, BLUE);
        p.Line(5, 5, 5, 7, BLUE);
        p.Dot(4, 6, BLUE);
        p.Line(4, 6, 6, 4, BLUE);
        p.Line(4, 6, 6, 8, BLUE);
        break;
    case 90: // zoom a shape: small to large
        p.Dashed(2, 2, 13, 13, GREY);
        p.Rect(2, 9, 6, 13, INK, BLUE);
        p.Line(6, 9, 12, 3, INK);
        p.Line(9, 3, 12, 3, INK);
        p.Line(12, 3, 12, 6, INK);
        break;
    case 91: // rotation: a turning arrow
        p.Area(Ring(8, 8.5, 3.2, 5.2, 60, 360), INK, INK);
        p.Poly({{7, 1.5}, {7, 7.5}, {11.5, 4.5}}, INK, INK);
        break;
    case 92: // straight deformation: a slanted box
        p.Poly({{6, 3}, {14, 3}, {10, 13}, {2, 13}}, PAPER, INK);
        break;
    case 93: // mirror, left for right
    case 94: // mirror, top for bottom
        p.Poly({{2, 12}, {7, 3}, {7, 12}}, BLUE, INK);
        p.Poly({{14, 12}, {9, 3}, {9, 12}}, PAPER, INK);
        if (number == 94)
            p.Transpose();
        for (int k = 2; k <= 13; k += 2) {
            if (number == 93)
                p.Dot(8, k, GREY);
            else
                p.Dot(k, 8, GREY);
        }
        break;
    case 95: // curved deformation: a box with waving edges
        p.Area(
            [](double x, double y) {
                const double w = 1.6 * std::sin((x - 2) * kPi / 6);
                return x >= 2 && x <= 14 && y >= 4 + w && y <= 12 + w;
            },
            PAPER, INK);
        break;
    case 96: // to the front
        Stack(p, 3, 2);
        break;
    case 97: // to the back
        Stack(p, 3, 0);
        break;
    case 98: // one step forward
        Stack(p, 2, 1);
        break;
    case 99: // one step backward
        Stack(p, 2, 0);
        break;
    case 107: // quarter, half and three quarter turns
    case 108:
    case 109: {
        const double end = (number - 106) * 90.0;
        p.Ellipse(2, 2, 13, 13, PAPER, INK);
        p.Area(
            [end](double x, double y) {
                double a = std::atan2(x - 8, 8 - y) * 180 / kPi;
                if (a < 0)
                    a += 360;
                return Disc(x, y, 8, 8, 5.2) && a <= end;
            },
            BLUE, BLUE);
        break;
    }
    case 130: // the neutral picture of menu rows: the tile alone
        break;
    case 131: // off: an empty box
    case 132: // on: a checked box
        p.Rect(3, 3, 12, 12, INK, PAPER);
        if (number == 132)
            for (int d = 0; d < 2; ++d) {
                p.Line(5, 7 + d, 7, 9 + d);
                p.Line(7, 9 + d, 10, 6 + d);
            }
        break;
    case 133: // undo
        BackArrow(p);
        break;
    case 134: // redo
        BackArrow(p);
        p.MirrorX();
        break;
    case 135: // cut: scissors
        p.Art(3, 2,
              {".#.......#..", "..#.....#...", "..#.....#...", "...#...#....", "....#.#.....",
               ".....#......", "....#.#.....", "..###.###...", ".#..#.#..#..", ".#..#.#..#..",
               "..##...##...", "............"});
        break;
    case 136: // copy: two sheets
        Sheet(p, 2, 3, 9, 10);
        Sheet(p, 6, 5, 13, 13);
        Writing(p, 8, 11, 9, 12);
        break;
    case 137: // paste: a sheet on a clipboard
        p.Rect(2, 3, 10, 13, INK, YELLOW);
        p.Rect(4, 2, 8, 4, INK, GREY);
        Sheet(p, 7, 6, 13, 13);
        break;
    case 138: // new: a blank sheet
        Sheet(p, 4, 2, 11, 13);
        break;
    case 139: // open: a folder
        p.Poly({{3, 4}, {7, 4}, {8, 5}, {12, 5}, {12, 13}, {3, 13}}, YELLOW, INK);
        p.Poly({{5, 8}, {14, 8}, {12, 14}, {3, 14}}, YELLOW, INK);
        break;
    case 140: // save: a disk
    case 141: // save as: a disk and a pencil
        p.Poly({{5.5, 2}, {13, 2}, {13, 14}, {3, 14}, {3, 4.5}}, BLUE, INK);
        p.Rect(6, 2, 10, 6, INK, GREY);
        p.Rect(8, 3, 9, 5, INK, INK);
        p.Rect(5, 9, 10, 13, INK, PAPER);
        if (number == 141) {
            p.Poly({{7, 14}, {7.5, 11.5}, {12.5, 6.5}, {14, 8}, {9, 13}}, YELLOW, INK);
            p.Dot(7, 13, INK);
        }
        break;
    case 142: // print: a printer with its sheet
        p.Rect(4, 2, 11, 6, INK, PAPER);
        p.Rect(3, 6, 12, 11, INK, GREY);
        p.Dot(11, 8, GREEN);
        p.Rect(4, 10, 11, 13, INK, PAPER);
        p.Line(5, 12, 10, 12, GREY);
        break;
    case 143: // about: an "i" on a blue disc
        p.Ellipse(2, 2, 13, 13, BLUE, INK);
        p.Rect(7, 4, 8, 5, PAPER, PAPER);
        p.Rect(7, 7, 8, 11, PAPER, PAPER);
        break;
    case 144: // export: an arrow leaving a sheet
        Sheet(p, 3, 3, 9, 13);
        Writing(p, 5, 7, 6, 11);
        Arrow(p, 6, 9, 13, 9, BLUE);
        p.Line(6, 10, 12, 10, BLUE);
        break;
    case 145: // import: an arrow entering a sheet
        Sheet(p, 6, 2, 13, 13);
        Writing(p, 8, 11, 5, 11);
        Arrow(p, 2, 9, 9, 9, BLUE);
        p.Line(2, 10, 8, 10, BLUE);
        break;
    case 150: // pages
        Sheet(p, 6, 2, 13, 10);
        Sheet(p, 4, 4, 11, 12);
        Sheet(p, 2, 6, 9, 13);
        break;
    case 151: // layers: three flat sheets stacked
        p.Poly({{8, 2}, {14, 5}, {8, 8}, {2, 5}}, BLUE, INK);
        for (int y : {7, 10}) {
            p.Line(2, y, 8, y + 3);
            p.Line(8, y + 3, 14, y);
        }
        break;
    case 156: // a window kept open: a pin
        p.Ellipse(7, 2, 12, 7, RED, INK);
        p.Line(8, 7, 3, 12);
        p.Line(8, 8, 3, 13);
        break;
    case 157: // previous
        p.Poly({{3, 8}, {11, 3}, {11, 13}}, INK, INK);
        break;
    case 158: // next
        p.Poly({{13, 8}, {5, 3}, {5, 13}}, INK, INK);
        break;
    default:
        return false;
    }
    return true;
}

// A full colour of the hue h (0 to 1 around the circle).
Paint Hue(double h)
{
    const double k = h * 6;
    const int sector = int(k) % 6;
    const double f = k - std::floor(k);
    const std::uint8_t up = std::uint8_t(std::lround(230 * f)), down = std::uint8_t(230 - up);
    const std::uint8_t full = 230, none = 0;
    switch (sector) {
    case 0:
        return {full, up, none, 255};
    case 1:
        return {down, full, none, 255};
    case 2:
        return {none, full, up, 255};
    case 3:
        return {none, down, full, 255};
    case 4:
        return {up, none, full, 255};
    default:
        return {full, none, down, 255};
    }
}

// Nine swatches of 4 x 4 pixels, three by three.
void Swatches(Picture& p, const std::function<Paint(int)>& colour)
{
    for (int k = 0; k < 9; ++k) {
        const int x = 2 + 4 * (k % 3), y = 2 + 4 * (k / 3);
        p.Rect(x, y + (k < 3 ? 1 : 0), x + 3, y + 3, colour(k), colour(k));
    }
}

// A curve over the face, f giving its height (0 bottom, 1 top) along x
// from 0 to 1, on grey axes.
void Graph(Picture& p, const std::function<double(double)>& f)
{
    p.Line(2, 13, 13, 13, GREY);
    p.Line(2, 3, 2, 13, GREY);
    int last_y = -1;
    for (int x = 3; x <= 13; ++x) {
        const int y = 12 - int(std::lround(8 * f((x - 3) / 10.0)));
        if (last_y < 0)
            p.Dot(x, y, INK);
        else
            p.Line(x - 1, last_y, x, y, INK);
        last_y = y;
    }
}

// A stroke across the face with one of the ends of arrows at its right.
void StrokeEnd(Picture& p, int kind)
{
    p.Line(2, 8, 10, 8);
    p.Line(2, 9, 10, 9);
    switch (kind) {
    case 0:
        p.Line(11, 8, 13, 8);
        p.Line(11, 9, 13, 9);
        break;
    case 1:
        p.Poly({{14, 8.5}, {8, 4}, {8, 13}}, INK, INK);
        break;
    case 2:
        p.Ellipse(9, 6, 13, 10, INK, INK);
        break;
    default:
        p.Line(11, 8, 13, 8);
        p.Line(11, 9, 13, 9);
        p.Line(9, 12, 13, 5);
        p.Line(10, 12, 13, 6);
        break;
    }
}

// The upper left corner of a box, its corner cut as the kind says.
void Corner(Picture& p, int kind)
{
    p.Area(
        [kind](double x, double y) {
            if (x < 3 || y < 3)
                return false;
            switch (kind) {
            case 1: // bevelled
                return x + y >= 11;
            case 2: // rounded
                return x >= 9 || y >= 9 || Disc(x, y, 9, 9, 6);
            case 3: // hollow
                return !Disc(x, y, 3, 3, 6);
            case 4: // square notch
                return x >= 8 || y >= 8;
            default: // pointed
                return true;
            }
        },
        PAPER, INK);
}

// A square with its shadow thrown toward (dx, dy).
void Shadowed(Picture& p, int dx, int dy)
{
    if (dx != 0 || dy != 0)
        p.Rect(5 + dx, 5 + dy, 10 + dx, 10 + dy, GREY, GREY);
    p.Rect(5, 5, 10, 10, INK, PAPER);
}

// Boxes lined up against a guide at the top: the others are turned from it.
void AlignTop(Picture& p)
{
    p.Line(2, 3, 13, 3, INK);
    p.Rect(3, 4, 5, 12, INK, BLUE);
    p.Rect(7, 4, 9, 8, INK, BLUE);
    p.Rect(11, 4, 13, 10, INK, BLUE);
}

// Boxes spread down the face with equal steps between their tops, each
// top marked on the left.
void SpreadTops(Picture& p)
{
    const int tops[] = {2, 6, 10}, heights[] = {2, 3, 2}, lefts[] = {6, 9, 5};
    for (int k = 0; k < 3; ++k) {
        p.Rect(lefts[k], tops[k], 13, tops[k] + heights[k], INK, BLUE);
        p.Line(2, tops[k], lefts[k] - 1, tops[k], GREY);
    }
}

// Boxes spread across the face with their middles at equal steps.
void SpreadMiddles(Picture& p)
{
    const int half[] = {1, 2, 1}, heights[] = {4, 8, 6};
    for (int k = 0; k < 3; ++k) {
        const int x = 3 + 5 * k;
        p.Rect(x - half[k], 13 - heights[k], x + half[k], 13, INK, BLUE);
        p.Line(x, 2, x, 12 - heights[k], GREY);
    }
}

// Boxes spread across the face with equal gaps, each gap marked.
void SpreadGaps(Picture& p)
{
    p.Rect(2, 5, 4, 12, INK, BLUE);
    p.Rect(7, 7, 9, 12, INK, BLUE);
    p.Rect(12, 4, 13, 12, INK, BLUE);
    for (int x : {5, 10}) {
        p.Line(x, 3, x + 1, 3, INK);
        p.Dot(x, 2, GREY);
        p.Dot(x + 1, 4, GREY);
    }
}

// Draws the picture of a number of the dialogs and panes; false for a
// number that keeps its numbered tile.
bool DrawPanePicture(int number, Picture& p)
{
    switch (number) {
    case 31: // collections: swatches in rows
        Swatches(p, [](int k) { return Hue(k / 9.0); });
        break;
    case 32: // stroke: three widths
        p.Line(2, 4, 13, 4);
        p.Rect(2, 7, 13, 8, INK, INK);
        p.Rect(2, 11, 13, 13, INK, INK);
        break;
    case 33: // inside: a filled box
        p.Rect(2, 3, 13, 13, GREY, BLUE);
        break;
    case 34: // shadow
        Shadowed(p, 2, 2);
        break;
    case 35: // shape: a path with an arrow end
        p.Line(3, 13, 3, 6);
        p.Line(4, 13, 4, 6);
        p.Line(4, 5, 9, 5);
        p.Line(4, 6, 9, 6);
        p.Poly({{14, 5.5}, {9, 2}, {9, 9}}, INK, INK);
        break;
    case 36: // text layout: a large letter on its lines
        p.Text(3, 3, "A", INK, 2);
        p.Line(9, 8, 13, 8, GREY);
        p.Line(9, 10, 13, 10, GREY);
        p.Line(9, 12, 12, 12, GREY);
        break;
    case 37: // all: a stroke, a fill and a shadow together
        p.Rect(6, 6, 13, 13, GREY, GREY);
        p.Rect(2, 3, 11, 11, INK, BLUE);
        p.Rect(3, 4, 10, 10, INK);
        break;
    case 40: // plain stroke
        p.Rect(2, 7, 13, 8, INK, INK);
        break;
    case 41: // fancy stroke: a zigzag
        for (int x = 2; x < 13; x += 4) {
            p.Line(x, 10, x + 2, 5);
            p.Line(x + 2, 5, x + 4, 10);
        }
        break;
    case 45: // PostScript font
    case 46: // TrueType font
        p.Text(number == 45 ? 4 : 4, 4, number == 45 ? "PS" : "TT", INK);
        p.Line(2, 10, 13, 10, GREY);
        p.Line(2, 12, 10, 12, GREY);
        break;
    case 50: // red, green, blue
        p.Rect(3, 3, 5, 13, INK, RED);
        p.Rect(7, 3, 9, 13, INK, GREEN);
        p.Rect(11, 3, 13, 13, INK, BLUE);
        break;
    case 51: { // cyan, magenta, yellow, black
        const Paint inks[] = {CYAN, MAGENTA, YELLOW, INK};
        for (int k = 0; k < 4; ++k)
            p.Rect(2 + 3 * k, 3, 3 + 3 * k, 13, inks[k], inks[k]);
        break;
    }
    case 52: // hue, saturation, brightness: the hues fading to grey
        for (int y = 3; y <= 13; ++y)
            for (int x = 2; x <= 13; ++x)
                p.Dot(x, y, Between(Hue((x - 2) / 12.0), Grey(128), (y - 3) / 10.0));
        break;
    case 53: // grey level
        for (int x = 2; x <= 13; ++x)
            p.Line(x, 3, x, 13, Grey(int(std::lround(x <= 2 ? 0 : (x - 2) * 255 / 11.0))));
        p.Rect(2, 3, 13, 13, INK);
        break;
    case 54: { // list of colours
        const Paint inks[] = {RED, GREEN, BLUE};
        for (int k = 0; k < 3; ++k) {
            const int y = 3 + 4 * k;
            p.Rect(2, y, 4, y + 2, INK, inks[k]);
            p.Line(6, y + 1, 13, y + 1, GREY);
        }
        break;
    }
    case 58: // polygon
        p.Poly({{8, 2}, {14, 6.5}, {11.5, 14}, {4.5, 14}, {2, 6.5}}, PAPER, INK);
        break;
    case 59: { // star
        Points star;
        for (int k = 0; k < 10; ++k) {
            const double a = k * kPi / 5, r = k % 2 == 0 ? 6.5 : 2.7;
            star.push_back({8 + r * std::sin(a), 8.5 - r * std::cos(a)});
        }
        p.Poly(star, YELLOW, INK);
        break;
    }
    case 60: // plain fill
        p.Rect(2, 3, 13, 13, INK, BLUE);
        break;
    case 61: // gradient
        for (int y = 3; y <= 13; ++y)
            p.Line(2, y, 13, y, Between(BLUE, PAPER, (y - 3) / 10.0));
        p.Rect(2, 3, 13, 13, INK);
        break;
    case 62: // hatches
        p.Rect(2, 3, 13, 13, INK, PAPER);
        for (int k = -8; k <= 12; k += 3)
            p.Line(3 + k, 12, 12 + k, 3, INK);
        p.Rect(2, 3, 13, 13, INK);
        break;
    case 63: // checkerboard
        for (int y = 3; y <= 13; ++y)
            for (int x = 2; x <= 13; ++x)
                p.Dot(x, y, ((x - 2) / 3 + (y - 3) / 3) % 2 == 0 ? INK : PAPER);
        p.Rect(2, 3, 13, 13, INK);
        break;
    case 64: // special fill: dots
        p.Rect(2, 3, 13, 13, INK, PAPER);
        for (int y = 5; y <= 11; y += 3)
            for (int x = 4; x <= 12; x += 3)
                p.Dot(x + (y / 3) % 2, y, BLUE);
        break;
    case 66: // no arrow
    case 67: // triangle
    case 68: // round
    case 69: // architect's tick
        StrokeEnd(p, number - 66);
        break;
    case 72: // closed
        p.Line(3, 12, 8, 3);
        p.Line(8, 3, 13, 12);
        p.Line(3, 12, 13, 12);
        break;
    case 100: // add a point
    case 101: // remove a point
        p.Line(2, 12, 13, 12, GREY);
        p.Rect(5, 10, 9, 14, INK, PAPER);
        p.Line(9, 4, 13, 4, INK);
        if (number == 100)
            p.Line(11, 2, 11, 6, INK);
        break;
    case 102: // symmetric point: handles of one length
    case 103: // smooth point: handles in line, lengths free
    case 104: // angular point: handles free
        p.Line(2, 12, 7, 7, GREY);
        p.Line(7, 7, 13, 12, GREY);
        p.Line(number == 104 ? 4 : number == 103 ? 5 : 2, number == 104 ? 3 : 7, 7, 7, INK);
        p.Line(7, 7, number == 104 ? 11 : 13, number == 104 ? 3 : 7, INK);
        p.Rect(6, 6, 8, 8, INK, BLUE);
        p.Rect(number == 104   ? 3
               : number == 103 ? 4
                               : 2,
               number == 104 ? 2 : 6,
               number == 104   ? 5
               : number == 103 ? 6
                               : 3,
               number == 104 ? 4 : 8, INK, PAPER);
        p.Rect(number == 104 ? 11 : 12, number == 104 ? 2 : 6, number == 104 ? 13 : 13,
               number == 104 ? 4 : 8, INK, PAPER);
        break;
    case 105: // straight segment
        p.Line(3, 11, 12, 4);
        p.Rect(2, 10, 4, 12, INK, PAPER);
        p.Rect(11, 3, 13, 5, INK, PAPER);
        break;
    case 106: // curved segment
        p.Area(Ring(8, 12, 5, 6, 270, 360), INK, INK);
        p.Area(Ring(8, 12, 5, 6, 0, 90), INK, INK);
        p.Rect(2, 10, 4, 12, INK, PAPER);
        p.Rect(11, 10, 13, 12, INK, PAPER);
        break;
    case 110: // pointed corner
    case 111: // bevelled
    case 112: // rounded
    case 113: // hollow
    case 114: // square notch
        Corner(p, number - 110);
        break;
    case 116: // shadow up left
        Shadowed(p, -2, -2);
        break;
    case 117: // shadow up right
        Shadowed(p, 2, -2);
        break;
    case 118: // shadow down left
        Shadowed(p, -2, 2);
        break;
    case 119: // shadow down right
        Shadowed(p, 2, 2);
        break;
    case 120: // no shadow
        Shadowed(p, 0, 0);
        break;
    case 160: // dark palette
        Swatches(p, [](int k) { return Between(Hue(k / 9.0), kBlack, 0.55); });
        break;
    case 161: // light palette
        Swatches(p, [](int k) { return Between(Hue(k / 9.0), kWhite, 0.55); });
        break;
    case 162: // close colours
        Swatches(p, [](int k) { return Between(BLUE, kWhite, k / 10.0); });
        break;
    case 163: // far colours
        Swatches(p, [](int k) { return Hue((k * 4 % 9) / 9.0); });
        break;
    case 164: // rainbow of red, green and blue
        for (int x = 2; x <= 13; ++x)
            p.Line(x, 3, x, 13, Hue((x - 2) / 12.0));
        break;
    case 165: // rainbow of cyan, magenta and yellow
        for (int x = 2; x <= 13; ++x)
            p.Line(x, 3, x, 13, Hue((x - 2) / 12.0 + 1 / 12.0));
        break;
    case 190: // constant
        Graph(p, [](double) { return 0.5; });
        break;
    case 191: // variable
        Graph(p, [](double t) { return t; });
        break;
    case 192: // sine
        Graph(p, [](double t) { return 0.5 + 0.5 * std::sin(t * 2 * kPi); });
        break;
    case 193: // triangle
        Graph(p, [](double t) { return t < 0.5 ? 2 * t : 2 - 2 * t; });
        break;
    case 194: // exponential
        Graph(p, [](double t) { return (std::exp(3 * t) - 1) / (std::exp(3.0) - 1); });
        break;
    case 195: // pulse
        Graph(p, [](double t) { return t > 0.4 && t < 0.6 ? 1.0 : 0.0; });
        break;
    case 200: // free drawing
        for (int x = 2; x < 13; ++x)
            p.Line(x, 8 - int(std::lround(4 * std::sin(x * 0.9))), x + 1,
                   8 - int(std::lround(4 * std::sin((x + 1) * 0.9))));
        break;
    case 201: // fixed list
        for (int y : {4, 8, 12}) {
            p.Rect(2, y - 1, 3, y, INK, INK);
            p.Line(5, y, 13, y, GREY);
        }
        break;
    case 202: // a line
        p.Line(2, 13, 13, 2);
        break;
    case 203: // a rectangle
        p.Rect(2, 4, 13, 11, INK, PAPER);
        break;
    case 204: // a circle
        p.Ellipse(2, 2, 13, 13, PAPER, INK);
        break;
    case 205: // selection
        p.Poly({{4, 2}, {4, 13.5}, {6.8, 11}, {8.6, 14.2}, {10.4, 13.3}, {8.7, 10}, {12.2, 10}},
               INK, INK);
        break;
    case 206: // straight to curved and back
        p.Line(2, 12, 7, 6);
        p.Area(Ring(13.5, 6.5, 5.6, 6.6, 180, 270), INK, INK);
        p.Rect(6, 5, 8, 7, INK, BLUE);
        break;
    case 207: // add a handle
    case 208: // remove a handle
        p.Rect(2, 7, 6, 11, INK, BLUE);
        p.Line(8, 9, 13, 9);
        if (number == 207)
            p.Line(10, 7, 10, 11);
        break;
    case 209: // erase all
        p.Rect(3, 4, 12, 12, GREY);
        p.Line(3, 3, 12, 12, RED);
        p.Line(4, 3, 13, 12, RED);
        p.Line(12, 3, 3, 12, RED);
        p.Line(13, 3, 4, 12, RED);
        break;
    case 210: // rise
        Graph(p, [](double t) { return t; });
        break;
    case 211: // rise then flat
        Graph(p, [](double t) { return std::min(1.0, 2 * t); });
        break;
    case 212: // fall
        Graph(p, [](double t) { return 1 - t; });
        break;
    case 213: // fall then flat
        Graph(p, [](double t) { return std::max(0.0, 1 - 2 * t); });
        break;
    case 214: // rise then fall
        Graph(p, [](double t) { return t < 0.5 ? 2 * t : 2 - 2 * t; });
        break;
    case 215: // rise, flat, fall
        Graph(p, [](double t) { return std::min(1.0, std::min(3 * t, 3 - 3 * t)); });
        break;
    case 220: // circle
        p.Ellipse(2, 2, 13, 13, PAPER, INK);
        break;
    case 221: // ellipse
        p.Ellipse(2, 4, 13, 11, PAPER, INK);
        break;
    case 222: // whole
        p.Ellipse(2, 3, 13, 12, BLUE, INK);
        break;
    case 223: // open arc
        p.Area(Ring(8, 8, 5, 6, 45, 315), NONE, INK);
        break;
    case 224: // arc closed by its chord
        p.Area([](double x, double y) { return Disc(x, y, 8, 8, 6) && x - 8 < 0.6 * (y - 8) + 3; },
               BLUE, INK);
        break;
    case 225: // pie
        p.Area(
            [](double x, double y) {
                const double a = std::atan2(x - 8, 8 - y) * 180 / kPi;
                return Disc(x, y, 8, 8, 6) && !(a > 45 && a < 135);
            },
            BLUE, INK);
        break;
    case 230: // axial gradient
        for (int x = 2; x <= 13; ++x)
            p.Line(x, 3, x, 13, Between(BLUE, PAPER, (x - 2) / 11.0));
        p.Rect(2, 3, 13, 13, INK);
        break;
    case 231: // radial gradient
        p.Rect(2, 3, 13, 13, INK, BLUE);
        for (double r = 5.5; r > 0.5; r -= 1)
            p.Ellipse(int(std::lround(8 - r)), int(std::lround(8 - r)), int(std::lround(7 + r)),
                      int(std::lround(7 + r)), NONE, Between(BLUE, PAPER, 1 - r / 6));
        break;
    case 232: // rectangular gradient
        for (int k = 0; k < 6; ++k)
            p.Rect(2 + k, 2 + k + (k == 0 ? 1 : 0), 13 - k, 13 - k, Between(BLUE, PAPER, k / 5.0));
        break;
    case 233: // mesh of triangles
        p.Rect(2, 3, 13, 13, INK, PAPER);
        p.Line(8, 3, 8, 13);
        p.Line(2, 8, 13, 8);
        p.Line(2, 8, 8, 3);
        p.Line(8, 8, 13, 3);
        p.Line(2, 13, 8, 8);
        p.Line(8, 13, 13, 8);
        break;
    case 234: // mesh of curves
        p.Rect(2, 3, 13, 13, INK, PAPER);
        for (int k = 3; k <= 13; ++k) {
            const int wave = int(std::lround(1.5 * std::sin((k - 3) * kPi / 5)));
            p.Dot(k, 8 + wave, INK);
            p.Dot(8 + wave, k, INK);
        }
        break;
    case 235: // starting circle
    case 236: // ending circle
        p.Ellipse(2, 2, 13, 13, number == 236 ? BLUE : PAPER, INK);
        p.Ellipse(5, 5, 9, 9, number == 235 ? BLUE : PAPER, INK);
        break;
    case 250: // align tops
        AlignTop(p);
        break;
    case 251: // align bottoms
        AlignTop(p);
        p.MirrorY();
        break;
    case 252: // align lefts
        AlignTop(p);
        p.Transpose();
        break;
    case 253: // align rights
        AlignTop(p);
        p.Transpose();
        p.MirrorX();
        break;
    case 254: // align middles across
        p.Line(8, 2, 8, 13, INK);
        p.Rect(3, 3, 12, 5, INK, BLUE);
        p.Rect(5, 7, 10, 9, INK, BLUE);
        p.Rect(4, 11, 11, 13, INK, BLUE);
        break;
    case 255: // align middles down
        p.Line(8, 2, 8, 13, INK);
        p.Rect(3, 3, 12, 5, INK, BLUE);
        p.Rect(5, 7, 10, 9, INK, BLUE);
        p.Rect(4, 11, 11, 13, INK, BLUE);
        p.Transpose();
        break;
    case 256: // align on the grid
        for (int k = 3; k <= 12; k += 3)
            for (int j = 3; j <= 12; j += 3)
                p.Dot(k, j, INK);
        p.Rect(6, 6, 9, 9, INK, BLUE);
        break;
    case 260: // spread by tops
        SpreadTops(p);
        break;
    case 261: // spread by bottoms
        SpreadTops(p);
        p.MirrorY();
        break;
    case 262: // spread by lefts
        SpreadTops(p);
        p.Transpose();
        break;
    case 263: // spread by rights
        SpreadTops(p);
        p.Transpose();
        p.MirrorX();
        break;
    case 264: // spread by middles across
        SpreadMiddles(p);
        break;
    case 265: // spread by middles down
        SpreadMiddles(p);
        p.Transpose();
        break;
    case 266: // spread the gaps across
        SpreadGaps(p);
        break;
    case 267: // spread the gaps down
        SpreadGaps(p);
        p.Transpose();
        break;
    default:
        return false;
    }
    return true;
}

// An arrow with a head at both ends, along one axis.
void BothWays(Picture& p, int x0, int y0, int x1, int y1, Paint c = INK)
{
    Arrow(p, x0, y0, x1, y1, c);
    Arrow(p, x1, y1, x0, y0, c);
}

// The small motif of the fills and motif pens: a blue square.
void Motif(Picture& p, int x, int y, int side)
{
    p.Rect(x, y, x + side - 1, y + side - 1, INK, BLUE);
}

// A ring about the middle shaded from white to blue by share(angle), the
// angle in turns from the top clockwise: how a value evolves with the
// direction of the path.
void TurnRing(Picture& p, const std::function<double(double)>& share)
{
    for (int j = 2; j <= 13; ++j)
        for (int i = 2; i <= 13; ++i) {
            const double dx = i + 0.5 - 8, dy = j + 0.5 - 8, d = std::sqrt(dx * dx + dy * dy);
            if (d > 5.9 || d < 2.4)
                continue;
            double turn = std::atan2(dx, -dy) / (2 * kPi);
            if (turn < 0)
                turn += 1;
            p.Dot(i, j, d > 5.0 || d < 3.2 ? INK : Between(PAPER, BLUE, share(turn)));
        }
}

// A mesh of three by three cells; bend moves the inner nodes.
void Mesh(Picture& p, const std::function<std::pair<int, int>(int, int)>& node)
{
    for (int j = 0; j <= 3; ++j)
        for (int i = 0; i <= 3; ++i) {
            const auto a = node(i, j);
            if (i < 3) {
                const auto b = node(i + 1, j);
                p.Line(a.first, a.second, b.first, b.second, GREY);
            }
            if (j < 3) {
                const auto b = node(i, j + 1);
                p.Line(a.first, a.second, b.first, b.second, GREY);
            }
        }
}

std::pair<int, int> MeshNode(int i, int j)
{
    return {2 + 11 * i / 3, 2 + 11 * j / 3};
}

// Draws the picture of a number of the motif fills, motif pens, pulsars,
// meshes and the remaining settings; false for a number it does not know.
bool DrawMotifPicture(int number, Picture& p)
{
    switch (number) {
    case 115: // special corner: a corner with a round bite
        p.Area(
            [](double x, double y) {
                return x >= 3 && y >= 3 && x + y >= 10 && !Disc(x, y, 8.5, 8.5, 2.2);
            },
            PAPER, INK);
        p.Dot(8, 8, RED);
        break;
    case 121: // stretch: a spring pulled between two bars
        p.Rect(2, 3, 3, 12, INK, INK);
        p.Rect(12, 3, 13, 12, INK, INK);
        for (int x = 4; x < 11; x += 2) {
            p.Line(x, 10, x + 1, 5, BLUE);
            p.Line(x + 1, 5, x + 2, 10, BLUE);
        }
        break;
    case 122: // fit the strokes' widths: a thin and a thick stroke, scaled
        p.Line(2, 4, 9, 4);
        p.Rect(2, 9, 9, 11, INK, INK);
        Arrow(p, 12, 3, 12, 12, RED);
        break;
    case 170: // step: from one motif to the next
        Motif(p, 2, 2, 4);
        Motif(p, 10, 2, 4);
        BothWays(p, 3, 10, 11, 10);
        p.Line(3, 7, 3, 12, GREY);
        p.Line(11, 7, 11, 12, GREY);
        break;
    case 171: // size: the share of the step a motif takes
        p.Rect(2, 2, 13, 9, GREY);
        Motif(p, 3, 3, 7);
        BothWays(p, 3, 12, 9, 12);
        break;
    case 172: // origin: the first motif at the crossing of the axes
        p.Line(5, 2, 5, 13, GREY);
        p.Line(2, 10, 13, 10, GREY);
        Motif(p, 6, 4, 5);
        p.Rect(4, 9, 6, 11, RED, RED);
        break;
    case 173: // offset: every other row shifted
        for (int x : {2, 7, 12})
            Motif(p, x, 3, 3);
        for (int x : {4, 9})
            Motif(p, x, 9, 3);
        Arrow(p, 2, 13, 5, 13, RED);
        break;
    case 174: // perspective: rows narrowing toward the top
        p.Poly({{5.5, 3}, {10.5, 3}, {14, 14}, {2, 14}}, PAPER, INK);
        p.Line(8, 4, 8, 12, GREY);
        p.Line(5, 7, 10, 7, GREY);
        p.Line(4, 10, 11, 10, GREY);
        break;
    case 175: // slant: a motif turned, with the turn's arc
        p.Poly({{8, 2.5}, {13, 7.5}, {8, 12.5}, {3, 7.5}}, BLUE, INK);
        p.Area(Ring(8, 7.5, 6.2, 7.2, 95, 150), RED, RED);
        break;
    case 176: // variation: motifs growing
        Motif(p, 2, 10, 2);
        Motif(p, 5, 8, 4);
        Motif(p, 9, 5, 5);
        break;
    case 177: // horizontal size
    case 178: // vertical size
        Motif(p, 4, 2, 8);
        BothWays(p, 4, 12, 11, 12);
        if (number == 178)
            p.Transpose();
        break;
    case 180: // spacing of the motifs along a stroke
        p.Line(2, 7, 13, 7, GREY);
        for (int x : {2, 10})
            p.Ellipse(x, 5, x + 3, 8, BLUE, INK);
        BothWays(p, 3, 12, 11, 12);
        break;
    case 181: // size of the motif on the stroke
        p.Line(2, 8, 13, 8, GREY);
        p.Ellipse(4, 3, 11, 12, BLUE, INK);
        break;
    case 182: // offset from the stroke
        p.Line(2, 11, 13, 11, GREY);
        p.Ellipse(6, 2, 10, 6, BLUE, INK);
        Arrow(p, 3, 11, 3, 4, RED);
        break;
    case 183: // slant of the motif on the stroke
        p.Line(2, 8, 13, 8, GREY);
        p.Poly({{3, 7}, {7, 3}, {9, 5}, {5, 9}}, BLUE, INK);
        p.Poly({{8, 12}, {12, 8}, {14, 10}, {10, 14}}, BLUE, INK);
        break;
    case 184: // variation along the stroke: motifs growing
        p.Line(2, 8, 13, 8, GREY);
        p.Ellipse(2, 7, 3, 8, BLUE, INK);
        p.Ellipse(5, 6, 8, 9, BLUE, INK);
        p.Ellipse(9, 4, 13, 11, BLUE, INK);
        break;
    case 185: // size along the stroke
        p.Line(2, 6, 13, 6, GREY);
        p.Ellipse(2, 4, 13, 8, BLUE, INK);
        BothWays(p, 2, 11, 13, 11);
        break;
    case 186: // size across the stroke
        p.Line(2, 8, 13, 8, GREY);
        p.Ellipse(4, 2, 8, 13, BLUE, INK);
        BothWays(p, 11, 2, 11, 13);
        break;
    case 187: // horizontal offset: the motif moved right of its place
    case 188: // vertical offset
        p.Rect(2, 5, 6, 9, GREY);
        Motif(p, 9, 5, 5);
        Arrow(p, 3, 12, 10, 12, RED);
        if (number == 188)
            p.Transpose();
        break;
    case 196: // one evolution a turn
        TurnRing(p, [](double t) { return t; });
        break;
    case 197: // two a turn
        TurnRing(p, [](double t) { return 2 * t - std::floor(2 * t); });
        break;
    case 198: // four a turn
        TurnRing(p, [](double t) { return 4 * t - std::floor(4 * t); });
        break;
    case 199: // up and down once a turn
        TurnRing(p, [](double t) { return t <= 0.5 ? 2 * t : 2 - 2 * t; });
        break;
    case 216: // up and down twice a turn
        TurnRing(p, [](double t) {
            const double u = 4 * t - std::floor(4 * t);
            return int(std::floor(4 * t)) % 2 == 0 ? u : 1 - u;
        });
        break;
    case 240: // move one node of the mesh
        Mesh(p, [](int i, int j) {
            auto n = MeshNode(i, j);
            if (i == 1 && j == 1)
                n = {n.first + 2, n.second + 2};
            return n;
        });
        p.Rect(7, 7, 9, 9, INK, RED);
        break;
    case 241: // move the nodes about one, fading away
        Mesh(p, [](int i, int j) {
            auto n = MeshNode(i, j);
            if (i > 0 && i < 3 && j > 0 && j < 3)
                n = {n.first + (i == 1 ? 2 : 1), n.second + (j == 1 ? 2 : 1)};
            return n;
        });
        p.Rect(7, 7, 9, 9, INK, RED);
        Arrow(p, 3, 3, 6, 6, RED);
        break;
    case 242: // bend: the mesh's lines curved
        for (int k = 0; k <= 3; ++k) {
            const int at = 2 + 11 * k / 3;
            for (int t = 2; t <= 13; ++t) {
                const int wave = int(std::lround(1.5 * std::sin((t - 2) * kPi / 11)));
                p.Dot(t, at + wave, GREY);
                p.Dot(at + wave, t, GREY);
            }
        }
        p.Rect(7, 7, 9, 9, INK, RED);
        break;
    case 243: // draw the nodes in
    case 244: // push them away
        Mesh(p, MeshNode);
        p.Rect(7, 7, 8, 8, INK, INK);
        if (number == 243) {
            Arrow(p, 2, 8, 5, 8, RED);
            Arrow(p, 13, 7, 10, 7, RED);
            Arrow(p, 7, 2, 7, 5, RED);
            Arrow(p, 8, 13, 8, 10, RED);
        } else {
            Arrow(p, 6, 8, 2, 8, RED);
            Arrow(p, 9, 7, 13, 7, RED);
            Arrow(p, 7, 6, 7, 2, RED);
            Arrow(p, 8, 9, 8, 13, RED);
        }
        break;
    case 245: // move the whole mesh: arrows four ways
        Mesh(p, MeshNode);
        BothWays(p, 3, 8, 12, 8, RED);
        BothWays(p, 8, 3, 8, 12, RED);
        break;
    default:
        return false;
    }
    return true;
}

// The picture of an icon number on its tile. Every number asked for has
// a picture; one without is a fault of this generator, not a tile to show.
Icon NumberIcon(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Icon%.3d", number);
    const Rgba tints[] = {
        {220, 232, 250, 255}, {232, 250, 220, 255}, {250, 236, 214, 255}, {240, 224, 250, 255}};
    const Rgba tint = tints[(number / 100) % 4];
    Picture picture;
    if (!DrawPicture(number, picture) && !DrawPanePicture(number, picture) &&
        !DrawMotifPicture(number, picture)) {
        std::fprintf(stderr, "lumbrasheetgen: no picture for icon %d\n", number);
        std::exit(1);
    }
    return {name, 16, 16, [=](Canvas& c, int x, int y, const StateLook& s) {
                c.Fill(x + 1, y + 1, 14, 14, Shade(tint, s));
                for (int i = 1; i < 15; ++i) {
                    c.Set(x + i, y + 1, Shade(Grey(96), s));
                    c.Set(x + i, y + 14, Shade(Grey(96), s));
                    c.Set(x + 1, y + i, Shade(Grey(96), s));
                    c.Set(x + 14, y + i, Shade(Grey(96), s));
                }
                for (int j = 0; j < 16; ++j)
                    for (int i = 0; i < 16; ++i)
                        if (picture.At(i, j).a != 0)
                            c.Set(x + i, y + j, Shade(picture.At(i, j), s));
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

// Every handle picture is this square, its mark centred on the middle
// pixel and clear around it: the program places a handle's picture 8
// pixels up and left of the handle's point, so the mark stands on the
// point where a press grabs it, whatever the mark's size.
const int kHandleSide = 17;

// A selection handle of side n (odd, so that it has a middle pixel): a
// square of the colour ringed in black, or a cross.
Icon HandleIcon(const std::string& name, int n, Rgba fill, bool cross)
{
    const int at = (kHandleSide - n) / 2;
    return {name, kHandleSide, kHandleSide, [=](Canvas& c, int x, int y, const StateLook& s) {
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i) {
                        const bool edge = i == 0 || j == 0 || i == n - 1 || j == n - 1;
                        if (cross) {
                            if (i == n / 2 || j == n / 2)
                                c.Set(x + at + i, y + at + j, Shade(fill, s));
                        } else
                            c.Set(x + at + i, y + at + j, Shade(edge ? kBlack : fill, s));
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
    icons.push_back(HandleIcon("HandleNormPV", 5, green, false));
    icons.push_back(HandleIcon("HandleNormPR", 5, red, false));
    icons.push_back(HandleIcon("HandleNormPB", 5, blue, false));
    icons.push_back(HandleIcon("HandleNormMV", 7, green, false));
    icons.push_back(HandleIcon("HandleNormMR", 7, red, false));
    icons.push_back(HandleIcon("HandleNormGV", 9, green, false));
    icons.push_back(HandleIcon("HandleNormGR", 9, red, false));
    icons.push_back(HandleIcon("HandleCrosGV", 9, green, true));
    icons.push_back(HandleIcon("HandleCrosGR", 9, red, true));
    // The rotation centre: a ring of 9 pixels, centred as the others.
    icons.push_back(
        ShapeIcon("HandleRotate", kHandleSide, kHandleSide, red, [](double x, double y) {
            const double r = 4.5 / kHandleSide;
            return Disc(x, y, 0.5, 0.5, r) && !Disc(x, y, 0.5, 0.5, r / 2);
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

// The tool sprite of a number: its shape and hot spot. The drawing tools,
// the objects under the pointer and the editing tools show a cross hair
// with a small picture of what they make or do in its lower right
// quarter; numbers without a picture of their own get the cross hair with
// their number there.
struct Sprite {
    Shape shape;
    int hot_x, hot_y;
};

// The little pictures, drawn over a unit square of their own.

// A pencil: a thick body with a clear line across near its top (the
// eraser's edge) and a point at the lower left.
bool Pencil(double x, double y)
{
    const double t = ((x - 0.36) - (y - 0.64)) / (2 * 0.56);
    return (Bar(x, y, 0.36, 0.64, 0.92, 0.08, 0.13) && std::fabs(t - 0.68) > 0.05) ||
           Triangle(x, y, 0.02, 0.98, 0.12, 0.56, 0.44, 0.88);
}

// A circle's band of the width inside radius r.
Shape Band(double cx, double cy, double r, double width)
{
    return [=](double x, double y) {
        const double d = std::hypot(x - cx, y - cy);
        return d <= r && d >= r - width;
    };
}

Shape Polyline(std::vector<std::pair<double, double>> points, double width)
{
    return [=](double x, double y) {
        for (size_t k = 1; k < points.size(); ++k)
            if (Bar(x, y, points[k - 1].first, points[k - 1].second, points[k].first,
                    points[k].second, width))
                return true;
        return false;
    };
}

// The picture of a sprite number; null for one that has none.
Shape ToolPicture(int n)
{
    const double w = 0.07; // half the width of a stroke
    switch (n) {
    case 0: // drawing in general
        return Pencil;
    case 3: // a box handle that scales
        return [](double x, double y) { return DoubleArrow(x, y, 0.08, 0.92, 0.92, 0.08); };
    case 4: // a box handle that turns
        return [=](double x, double y) {
            return (Band(0.5, 0.55, 0.42, 0.14)(x, y) && !(x > 0.5 && y < 0.55)) ||
                   Triangle(x, y, 0.5, -0.02, 0.5, 0.4, 0.8, 0.19);
        };
    case 5: // a box handle that slants
        return Polyline({{0.3, 0.15}, {0.95, 0.15}, {0.7, 0.85}, {0.05, 0.85}, {0.3, 0.15}}, w);
    case 10: // an object of no kind of its own: a group
        return [](double x, double y) {
            return (Box(x, y, 0.02, 0.02, 0.62, 0.62) && !Box(x, y, 0.16, 0.16, 0.48, 0.48)) ||
                   Box(x, y, 0.4, 0.4, 0.98, 0.98);
        };
    case 11: // a single handle
        return [](double x, double y) { return Box(x, y, 0.28, 0.28, 0.72, 0.72); };
    case 13: // a segment turned from straight to curved
        return [=](double x, double y) {
            return Bar(x, y, 0.05, 0.92, 0.4, 0.6, w) ||
                   (Band(0.67, 0.6, 0.27, 0.14)(x, y) && y <= 0.6);
        };
    case 14: // a point added
        return [](double x, double y) {
            return Box(x, y, 0.4, 0.05, 0.6, 0.95) || Box(x, y, 0.05, 0.4, 0.95, 0.6);
        };
    case 15: // a point removed
        return [](double x, double y) { return Box(x, y, 0.05, 0.4, 0.95, 0.6); };
    case 16: // the mesh bent
        return [=](double x, double y) {
            return (Box(x, y, 0.02, 0.02, 0.98, 0.98) && !Box(x, y, 0.14, 0.14, 0.86, 0.86)) ||
                   Polyline({{0.5, 0.1}, {0.72, 0.5}, {0.5, 0.9}}, w)(x, y);
        };
    case 20: // a line
    case 30:
        return [=](double x, double y) { return Bar(x, y, 0.08, 0.92, 0.92, 0.08, w); };
    case 21: // a rectangle
    case 31:
        return [](double x, double y) {
            return Box(x, y, 0.02, 0.15, 0.98, 0.85) && !Box(x, y, 0.16, 0.29, 0.84, 0.71);
        };
    case 22: // a curve
    case 32:
        return [](double x, double y) {
            return (Band(0.29, 0.58, 0.28, 0.14)(x, y) && y <= 0.58) ||
                   (Band(0.71, 0.42, 0.28, 0.14)(x, y) && y >= 0.42);
        };
    case 23: // a broken line
    case 33:
        return Polyline({{0.05, 0.88}, {0.35, 0.15}, {0.65, 0.85}, {0.95, 0.12}}, w);
    case 24: // a star
    case 34:
        return [](double x, double y) {
            const double cx = 0.5, cy = 0.55, outer = 0.5, inner = 0.2;
            for (int k = 0; k < 5; ++k) {
                const double a = -kPi / 2 + k * 2 * kPi / 5;
                const double b = a - kPi / 5, c = a + kPi / 5;
                if (Triangle(x, y, cx + outer * std::cos(a), cy + outer * std::sin(a),
                             cx + inner * std::cos(b), cy + inner * std::sin(b),
                             cx + inner * std::cos(c), cy + inner * std::sin(c)))
                    return true;
            }
            return Disc(x, y, cx, cy, inner);
        };
    case 25: // an arrow
    case 35:
        return [=](double x, double y) {
            return Bar(x, y, 0.08, 0.92, 0.65, 0.35, w) ||
                   Triangle(x, y, 0.97, 0.03, 0.45, 0.25, 0.75, 0.55);
        };
    case 26: // a text
    case 36:
        return [=](double x, double y) {
            return Polyline({{0.12, 0.95}, {0.5, 0.05}, {0.88, 0.95}}, w)(x, y) ||
                   Bar(x, y, 0.3, 0.62, 0.7, 0.62, w);
        };
    case 28: // an ellipse
    case 38:
        return [](double x, double y) {
            auto in = [&](double rx, double ry) {
                const double u = (x - 0.5) / rx, v = (y - 0.5) / ry;
                return u * u + v * v <= 1;
            };
            return in(0.48, 0.36) && !in(0.34, 0.22);
        };
    case 40: // a handle moved with its neighbours
        return [](double x, double y) {
            return Box(x, y, 0.33, 0.33, 0.67, 0.67) || Box(x, y, 0, 0, 0.2, 0.2) ||
                   Box(x, y, 0.8, 0, 1, 0.2) || Box(x, y, 0, 0.8, 0.2, 1) ||
                   Box(x, y, 0.8, 0.8, 1, 1);
        };
    case 41: // the mesh pushed away from the point
    case 42: // the mesh drawn toward the point
        return [=](double x, double y) {
            const double tip = n == 41 ? 0.5 : 0.22, base = n == 41 ? 0.28 : 0.5;
            for (int k = 0; k < 4; ++k) {
                // The wedge to the right, turned a quarter k times.
                double u = x - 0.5, v = y - 0.5;
                for (int t = 0; t < k; ++t) {
                    const double r = u;
                    u = v, v = -r;
                }
                if (Triangle(u, v, tip, 0, base, -0.17, base, 0.17))
                    return true;
            }
            return Disc(x, y, 0.5, 0.5, 0.11);
        };
    default:
        return nullptr;
    }
}

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
    // The quarter below and right of the cross hair, clear of its arms.
    const double from = 0.61, side = 0.38;
    if (const Shape picture = ToolPicture(n))
        return {[=](double x, double y) {
                    const double u = (x - from) / side, v = (y - from) / side;
                    return cross(x, y) || (u >= 0 && u <= 1 && v >= 0 && v <= 1 && picture(u, v));
                },
                15, 15};
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
