#include "w32/cursor.h"

#include <cstring>
#include <mutex>

#include "w32/backend.h"

namespace {

const unsigned kCursorMagic = 0x43555253u;

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

HCURSOR& Current()
{
    static HCURSOR current = nullptr;
    return current;
}

bool Bit(const std::vector<unsigned char>& mask, int row_bytes, int x, int y)
{
    return (mask[size_t(y) * size_t(row_bytes) + size_t(x / 8)] >> (7 - x % 8)) & 1;
}

void SetBit(std::vector<unsigned char>& mask, int row_bytes, int x, int y, bool on)
{
    unsigned char& b = mask[size_t(y) * size_t(row_bytes) + size_t(x / 8)];
    unsigned char m = (unsigned char)(0x80u >> (x % 8));
    b = on ? (unsigned char)(b | m) : (unsigned char)(b & ~m);
}

// The system's arrow, 32 x 32 with the hot spot at the tip: a white
// wedge with a black outline and a short tail.
W32_Cursor* Arrow()
{
    static W32_Cursor* arrow = [] {
        W32_Cursor* c = new W32_Cursor;
        c->magic = kCursorMagic;
        c->width = c->height = 32;
        c->x_hot = c->y_hot = 0;
        c->row_bytes = 4;
        c->and_mask.assign(128, 0xFF);
        c->xor_mask.assign(128, 0x00);
        c->system = true;
        auto paint = [c](int x, int y, bool white) {
            SetBit(c->and_mask, 4, x, y, false);
            SetBit(c->xor_mask, 4, x, y, white);
        };
        for (int y = 0; y <= 16; ++y)
            for (int x = 0; x <= y && x <= 11; ++x)
                paint(x, y, !(x == 0 || x == y || y == 16 || x == 11));
        for (int y = 12; y <= 21; ++y)
            for (int x = 5; x <= 8; ++x)
                paint(x, y, !(x == 5 || x == 8 || y == 21));
        return c;
    }();
    return arrow;
}

} // namespace

W32_Cursor* W32_CursorOf(HCURSOR cursor)
{
    if (cursor == nullptr)
        return nullptr;
    if (cursor == Arrow())
        return Arrow();
    W32_Cursor* c = static_cast<W32_Cursor*>(cursor);
    return c->magic == kCursorMagic ? c : nullptr;
}

uint32_t W32_CursorPixel(const W32_Cursor* c, int x, int y)
{
    if (c == nullptr || x < 0 || y < 0 || x >= c->width || y >= c->height)
        return 0;
    bool a = Bit(c->and_mask, c->row_bytes, x, y);
    bool o = Bit(c->xor_mask, c->row_bytes, x, y);
    if (a && !o)
        return 0;
    if (!a && o)
        return 0xFFFFFFFFu;
    return 0xFF000000u;
}

HCURSOR CreateCursor(HINSTANCE, int x_hot, int y_hot, int width, int height, const void* and_plane,
                     const void* xor_plane)
{
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || and_plane == nullptr ||
        xor_plane == nullptr)
        return nullptr;
    W32_Cursor* c = new W32_Cursor;
    c->magic = kCursorMagic;
    c->width = width;
    c->height = height;
    c->x_hot = x_hot < 0 ? 0 : (x_hot >= width ? width - 1 : x_hot);
    c->y_hot = y_hot < 0 ? 0 : (y_hot >= height ? height - 1 : y_hot);
    c->row_bytes = (width + 15) / 16 * 2;
    size_t n = size_t(c->row_bytes) * size_t(height);
    const unsigned char* a = static_cast<const unsigned char*>(and_plane);
    const unsigned char* x = static_cast<const unsigned char*>(xor_plane);
    c->and_mask.assign(a, a + n);
    c->xor_mask.assign(x, x + n);
    c->system = false;
    return c;
}

BOOL DestroyCursor(HCURSOR cursor)
{
    W32_Cursor* c = W32_CursorOf(cursor);
    if (c == nullptr || c->system)
        return FALSE;
    {
        std::lock_guard<std::mutex> guard(Lock());
        if (Current() == cursor) {
            // Destroying the cursor on show leaves the arrow in its place.
            Current() = Arrow();
            W32_TheBackend().ShowCursor(Arrow());
        }
    }
    W32_TheBackend().ForgetCursor(c);
    c->magic = 0;
    delete c;
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    W32_Cursor* c = W32_CursorOf(cursor);
    if (cursor != nullptr && c == nullptr)
        return GetCursor();
    std::lock_guard<std::mutex> guard(Lock());
    HCURSOR previous = Current();
    Current() = cursor;
    W32_TheBackend().ShowCursor(c);
    return previous;
}

HCURSOR GetCursor()
{
    std::lock_guard<std::mutex> guard(Lock());
    return Current();
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (instance == nullptr && name == IDC_ARROW)
        return Arrow();
    return nullptr;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    static int application_icon;
    if (instance == nullptr && name == IDI_APPLICATION)
        return &application_icon;
    return nullptr;
}
