// The headless window backend.
#include "w32/headless.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "w32/backend.h"
#include "w32/cursor.h"

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;

    void Resize(int w, int h)
    {
        std::vector<uint32_t> next(size_t(w) * size_t(h), 0);
        for (int y = 0; y < h && y < height; ++y)
            for (int x = 0; x < w && x < width; ++x)
                next[size_t(y) * size_t(w) + size_t(x)] =
                    data[size_t(y) * size_t(width) + size_t(x)];
        data.swap(next);
        width = w;
        height = h;
    }
};

class Headless : public W32_Backend {
public:
    Headless()
    {
        screen_w = 1280;
        screen_h = 1024;
        const char* size = std::getenv("ZUVI_HEADLESS_SCREEN");
        int w, h;
        char tail;
        if (size != nullptr && std::sscanf(size, "%dx%d%c", &w, &h, &tail) == 2 && w > 0 && h > 0 &&
            w <= 16384 && h <= 16384) {
            screen_w = w;
            screen_h = h;
        }
    }

    const char* Name() const override { return "headless"; }
    void ScreenSize(int& w, int& h) override
    {
        w = screen_w;
        h = screen_h;
    }
    bool Create(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        pixels[w].Resize(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top);
        return true;
    }
    void Destroy(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        pixels.erase(w);
        if (grab == w)
            grab = nullptr;
    }
    void Show(W32_Window*) override {}
    void Geometry(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        pixels[w].Resize(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top);
    }
    void Title(W32_Window*) override {}
    void Words(W32_Window*) override {}
    void Restack(const std::vector<W32_Window*>&) override {}
    void Focus(W32_Window*) override {}
    bool CanMinimize() override { return true; }
    void Put(W32_Window* w, int x, int y, int width, int height, const uint32_t* src, int stride,
             const RECT& clip) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Pixels& p = pixels[w];
        for (int j = 0; j < height; ++j) {
            int ty = y + j;
            if (ty < clip.top || ty >= clip.bottom || ty < 0 || ty >= p.height)
                continue;
            for (int i = 0; i < width; ++i) {
                int tx = x + i;
                if (tx < clip.left || tx >= clip.right || tx < 0 || tx >= p.width)
                    continue;
                p.data[size_t(ty) * size_t(p.width) + size_t(tx)] =
                    src[size_t(j) * size_t(stride) + size_t(i)];
            }
        }
    }
    void ShowCursor(W32_Cursor* c) override { shown = c; }
    void ForgetCursor(W32_Cursor* c) override
    {
        if (shown == c)
            shown = nullptr;
    }
    void Grab(W32_Window* w) override { grab = w; }
    bool CursorPos(POINT& p) override
    {
        p = cursor;
        return true;
    }
    void MoveCursor(int x, int y) override { cursor = POINT{x, y}; }
    int Descriptor() override { return -1; }
    bool Pump() override { return false; }
    void TopLevel(std::vector<HWND>& out) override
    {
        out.clear();
        for (W32_Window* w : W32_OwnWindows())
            out.push_back(w);
    }
    HWND FromPoint(POINT p) override
    {
        for (W32_Window* w : W32_OwnWindows())
            if (w->visible && !w->minimized && p.x >= w->rect.left && p.x < w->rect.right &&
                p.y >= w->rect.top && p.y < w->rect.bottom)
                return w;
        return nullptr;
    }
    bool ForeignClass(W32_Window*, std::string&) override { return false; }
    bool ForeignWords(W32_Window*, std::vector<unsigned char>&) override { return false; }
    bool ForeignRect(W32_Window*, RECT&) override { return false; }
    void ClipboardOwned(const char*) override {}
    bool ClipboardText(std::string&) override { return false; }

    bool WindowPixel(W32_Window* w, int x, int y, uint32_t& out)
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        auto found = pixels.find(w);
        if (found == pixels.end() || x < 0 || y < 0 || x >= found->second.width ||
            y >= found->second.height)
            return false;
        out = found->second.data[size_t(y) * size_t(found->second.width) + size_t(x)];
        return true;
    }

    std::recursive_mutex lock;
    std::map<W32_Window*, Pixels> pixels;
    int screen_w, screen_h;
    POINT cursor{0, 0};
    W32_Cursor* shown = nullptr;
    W32_Window* grab = nullptr;
};

Headless* TheHeadless()
{
    W32_Backend& b = W32_TheBackend();
    return std::string(b.Name()) == "headless" ? static_cast<Headless*>(&b) : nullptr;
}

} // namespace

W32_Backend* W32_MakeHeadless()
{
    return new Headless;
}

bool W32_HeadlessInUse()
{
    return TheHeadless() != nullptr;
}

uint32_t W32_HeadlessScreenPixel(int x, int y)
{
    Headless* h = TheHeadless();
    if (h == nullptr || x < 0 || y < 0 || x >= h->screen_w || y >= h->screen_h)
        return 0;
    HWND top = h->FromPoint(POINT{x, y});
    uint32_t out = 0;
    if (W32_Window* w = W32_WindowOf(top))
        h->WindowPixel(w, x - w->rect.left, y - w->rect.top, out);
    return out;
}

bool W32_HeadlessWindowPixel(HWND hwnd, int x, int y, uint32_t& out)
{
    Headless* h = TheHeadless();
    W32_Window* w = W32_WindowOf(hwnd);
    return h != nullptr && w != nullptr && h->WindowPixel(w, x, y, out);
}

void W32_HeadlessMouse(int x, int y, unsigned buttons)
{
    Headless* h = TheHeadless();
    if (h == nullptr)
        return;
    h->MoveCursor(x, y);
    W32_SystemMouse(x, y, buttons);
}

void W32_HeadlessKey(UINT virtual_key, UINT scan, bool extended, bool down, int character)
{
    if (TheHeadless() != nullptr)
        W32_SystemKey(virtual_key, scan, extended, down, character);
}

void W32_HeadlessMoveBySystem(HWND hwnd, const RECT& rect)
{
    Headless* h = TheHeadless();
    W32_Window* w = W32_WindowOf(hwnd);
    if (h == nullptr || w == nullptr)
        return;
    W32_SystemGeometry(hwnd, rect);
    h->Geometry(w);
}

void W32_HeadlessCloseBySystem(HWND hwnd)
{
    if (TheHeadless() != nullptr)
        W32_SystemClose(hwnd);
}

W32_Cursor* W32_HeadlessShownCursor()
{
    Headless* h = TheHeadless();
    return h != nullptr ? h->shown : nullptr;
}

HWND W32_HeadlessGrab()
{
    Headless* h = TheHeadless();
    return h != nullptr ? h->grab : nullptr;
}
