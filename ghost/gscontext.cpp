#include "ghost/gscontext.h"

#include "ghost/gifwriter.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/rtclass.h"
#include "si/storagesync.h"
#include "w32/env.h"
#include "w32/file.h"
#include "zoveda/gfxsurface.h"

#include <cstdio>
#include <cstring>
#include <vector>

ZU_IMPLEMENT_CLASS(GSContext, "ghost/gscontext", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(GSContext, ZuiGrailHook)

namespace {

// Every context takes the next number; the first is 1.
int context_counter = 0;
// The display context whose state and pixels are in the device (number 0
// and null before any), and the job that holds the interpreter.
int installed_number = 0;
GSContext* installed_context = nullptr;
GSContext* open_job = nullptr;
unsigned switch_count = 0;
// Whether text ran in the installed context since its pixels were last
// settled: the interpreter defers an erasepage until the next drawing, so
// the device's pixels may still show what the page held before it.
bool erase_may_pend = false;
// The entries of released contexts not yet taken out: those released while
// a job was open wait for its end, after its restore.
struct PendingForget {
    int number;
    bool display;
};
std::vector<PendingForget> pending_forget;

// The text that takes context `n`'s entry out of its dictionary.
int ForgetText(char* text, size_t size, const PendingForget& gone)
{
    return std::snprintf(text, size, "%s %d undef\n",
                         gone.display ? ".zuvi.states" : ".zuvi.devices", gone.number);
}

// What a context's entry in .zuvi.states holds: its matrix, its clip and,
// taken off the display device, its graphics state.
const char kStateText[] =
    "[ matrix currentmatrix gsave clippath false upath grestore nulldevice gstate ]";

const uint32_t kMaxSide = 32767;
// The byte counts of a context's buffers stay below the zones' 32-bit sizes.
const uint64_t kMaxPixels = (1u << 28);

bool SizeOk(uint32_t w, uint32_t h)
{
    return w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide &&
           static_cast<uint64_t>(w) * h <= kMaxPixels;
}

unsigned char* Allocate(size_t size, const char* name)
{
    return static_cast<unsigned char*>(
        Zuvi_app_zone->Alloc(static_cast<unsigned>(size), name, __LINE__, ZU_SRC_FILE));
}

void Release(unsigned char*& block)
{
    if (block)
        ZuMemZone::FreeAnyZone(block, __LINE__, ZU_SRC_FILE);
    block = nullptr;
}

// The number in the C locale, whatever the process's locale.
void FormatReal(char* out, size_t size, double value)
{
    std::snprintf(out, size, "%f", value);
    for (char* p = out; *p; ++p)
        if (*p == ',')
            *p = '.';
}

bool FileHasBytes(const char* name)
{
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0;
    CloseHandle(file);
    return ok;
}

// A temporary name beside the target. A relative name gets "./" in front, so
// that Ghostscript never reads its first character as a pipe. A target
// whose name holds a '%' or a '|' lends it only its folder: the sandboxed
// interpreter opens no output whose name holds a pipe's mark, whatever is
// permitted.
bool TempName(char* out, size_t size, const char* target, int number, const char* suffix)
{
    const char* prefix = target[0] == '/' ? "" : "./";
    int n;
    if (std::strpbrk(target, "%|") != nullptr) {
        const char* slash = std::strrchr(target, '/');
        const int folder = slash != nullptr ? static_cast<int>(slash - target + 1) : 0;
        n = std::snprintf(out, size, "%s%.*s.zuvi%d%s.tmp", prefix, folder, target, number, suffix);
    } else {
        n = std::snprintf(out, size, "%s%s.zuvi%d%s.tmp", prefix, target, number, suffix);
    }
    return n > 0 && static_cast<size_t>(n) < size;
}

uint16_t To565(const unsigned char* bgr)
{
    return static_cast<uint16_t>(((bgr[2] >> 3) << 11) | ((bgr[1] >> 2) << 5) | (bgr[0] >> 3));
}

bool IsInk(const unsigned char* bgr)
{
    return bgr[2] * 299u + bgr[1] * 587u + bgr[0] * 114u < 128000u;
}

// The GIF devices that this Ghostscript lacks and the BMP device that
// renders the same colours.
struct GifDevice {
    const char* name;
    const char* through;
    int kind;
};
const GifDevice kGifDevices[] = {
    {"gifmono", "bmpmono", 1}, {"gifgray", "bmpgray", 2}, {"gif8", "bmp256", 3}};

// The file that render jobs append what they are sent to, so that an export
// can be compared with another interpreter's rendering of the same
// PostScript: named by LUMBRA_EXPORT_CAPTURE, read once, at the first render
// job; empty (off) without it.
char capture_name[MAX_PATH];
bool capture_known = false;

bool Capturing()
{
    if (!capture_known) {
        capture_known = true;
        DWORD n =
            GetEnvironmentVariableA("LUMBRA_EXPORT_CAPTURE", capture_name, sizeof capture_name);
        if (n == 0 || n >= sizeof capture_name)
            capture_name[0] = '\0';
    }
    return capture_name[0] != '\0';
}

// Appends the bytes to the capture file; a file that cannot be written is
// skipped: the capture never changes what the job does.
void Capture(const char* bytes, size_t size)
{
    HANDLE file = CreateFileA(capture_name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER end;
    end.QuadPart = 0;
    DWORD done = 0;
    if (SetFilePointerEx(file, end, nullptr, FILE_END))
        WriteFile(file, bytes, static_cast<DWORD>(size), &done, nullptr);
    CloseHandle(file);
}

// Printer names go to the print command: only plain ones are passed on.
bool PlainPrinterName(const char* name)
{
    if (!name || !*name)
        return false;
    for (const char* p = name; *p; ++p) {
        char c = *p;
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '_' || c == '-' || c == '.';
        if (!plain)
            return false;
    }
    return true;
}

} // namespace

GSContext::GSContext()
    : device(nullptr), buffer(nullptr), type(0), number(0), width(0), height(0),
      background(ZU_COLOR_BLACK), buffer_size(0), pixels(nullptr), job_failed(false), gif_kind(0),
      print_to_file(false), print_dialog()
{
    target[0] = temp_render[0] = temp_final[0] = '\0';
    permitted[0][0] = permitted[1][0] = '\0';
    capture_setup[0] = '\0';
    GSLazyStart();
}

GSContext::~GSContext()
{
    if (type == GS_CONTEXT_PRINTING)
        EndPrint();
    else if (type == GS_CONTEXT_RENDERING)
        EndRender();
    if (open_job == this)
        open_job = nullptr;
    ForgetEntry();
    RevokeOutput();
    FreeMemory();
}

void GSContext::ForgetEntry()
{
    if (number == 0)
        return;
    if (installed_number == number) {
        // What the device holds belongs to no context now: the next switch
        // saves it as state zero, not under a number that is gone.
        installed_context = nullptr;
        installed_number = 0;
    }
    GSLib* lib = GSRetLib();
    // Without an interpreter there is no entry to take out.
    if (lib && lib->IsInitialised())
        pending_forget.push_back(PendingForget{number, IsDisplay()});
    number = 0;
    ForgetPendingEntries();
}

void GSContext::ForgetPendingEntries()
{
    GSLib* lib = GSRetLib();
    if (open_job || !lib || !lib->IsInitialised())
        return;
    while (!pending_forget.empty()) {
        char text[64];
        ForgetText(text, sizeof text, pending_forget.back());
        pending_forget.pop_back();
        lib->Execute(text, static_cast<int>(std::strlen(text)));
    }
}

void GSContext::FreeMemory()
{
    Release(buffer);
    Release(pixels);
    buffer_size = 0;
}

int GSContext::RetInstalledNumber()
{
    return installed_number;
}

unsigned GSContext::RetSwitchCount()
{
    return switch_count;
}

GSContext* GSContext::RetOpenJob()
{
    return open_job;
}

void GSContext::SetCaptureFile(const char* name)
{
    capture_known = true;
    std::snprintf(capture_name, sizeof capture_name, "%s",
                  name != nullptr && std::strlen(name) < sizeof capture_name ? name : "");
}

bool GSContext::Running() const
{
    GSLib* lib = GSRetLib();
    return lib && lib->IsInitialised();
}

bool GSContext::Run(const char* text)
{
    GSLib* lib = GSRetLib();
    if (!lib)
        return false;
    return lib->Execute(text, static_cast<int>(std::strlen(text))) == 0;
}

size_t GSContext::RetRowBytes() const
{
    if (type == GS_VIEW_MONO)
        return (static_cast<size_t>(width) + 7) / 8;
    if (type == GS_VIEW_RGB16_555 || type == GS_VIEW_RGB16_565)
        return 2 * static_cast<size_t>(width);
    return 3 * static_cast<size_t>(width);
}

// ---- Display contexts ----

void GSContext::SettleErase()
{
    // An empty fill draws nothing but carries out an erase still pending,
    // before the rows are read or written by hand (a pending erase would
    // otherwise wipe pixels written back, or those of the next context
    // installed).
    GSLib* lib = GSRetLib();
    if (!erase_may_pend || !installed_context || !lib || !lib->IsInitialised())
        return;
    erase_may_pend = false;
    static const char text[] = "gsave newpath fill grestore\n";
    lib->Execute(text, static_cast<int>(sizeof text - 1));
}

unsigned char* GSContext::Row24(int row)
{
    if (row < 0 || static_cast<uint32_t>(row) >= height)
        return nullptr;
    if (installed_context == this) {
        GSLib* lib = GSRetLib();
        unsigned char* p = nullptr;
        if (lib)
            lib->GetBitmapRow(lib->RetDisplayDevice(), &p, row);
        if (p && lib->RetDisplayWidth() >= static_cast<int>(width))
            return p;
        return nullptr;
    }
    return pixels ? pixels + static_cast<size_t>(row) * 3 * width : nullptr;
}

void GSContext::SavePixels()
{
    GSLib* lib = GSRetLib();
    if (!lib || !pixels)
        return;
    for (uint32_t r = 0; r < height; ++r) {
        unsigned char* p = nullptr;
        lib->GetBitmapRow(lib->RetDisplayDevice(), &p, static_cast<int>(r));
        if (p && lib->RetDisplayWidth() >= static_cast<int>(width))
            std::memcpy(pixels + static_cast<size_t>(r) * 3 * width, p,
                        3 * static_cast<size_t>(width));
    }
}

void GSContext::LoadPixels()
{
    GSLib* lib = GSRetLib();
    if (!lib || !pixels)
        return;
    for (uint32_t r = 0; r < height; ++r) {
        unsigned char* p = nullptr;
        lib->GetBitmapRow(lib->RetDisplayDevice(), &p, static_cast<int>(r));
        if (p && lib->RetDisplayWidth() >= static_cast<int>(width))
            std::memcpy(p, pixels + static_cast<size_t>(r) * 3 * width,
                        3 * static_cast<size_t>(width));
    }
}

int GSContext::SaveInstalled(char* text, size_t size)
{
    // The installed context's pixels go to its own rows; its state is kept
    // taken off the display device (a graphics state that holds the device
    // would bring back the device's size of that moment): the state itself,
    // and beside it the matrix and the clip, which the device's installation
    // resets. `gstate` alone copies the current state into a new object;
    // this interpreter never reclaims an object that `currentgstate` wrote
    // into (some 12 KB each), so the states are never written that way.
    if (installed_context) {
        SettleErase();
        installed_context->SavePixels();
    }
    return std::snprintf(text, size, ".zuvi.states %d %s put\n", installed_number, kStateText);
}

void GSContext::Uninstall()
{
    GSLib* lib = GSRetLib();
    if (!lib || !lib->IsInitialised() || open_job)
        return;
    char text[400];
    SaveInstalled(text, sizeof text);
    lib->Execute(text, static_cast<int>(std::strlen(text)));
    lib->ClearOutput();
    installed_context = nullptr;
    installed_number = 0;
}

bool GSContext::GrowDisplay(uint32_t w, uint32_t h)
{
    GSLib* lib = GSRetLib();
    if (!lib)
        return false;
    int dw = lib->RetDisplayWidth();
    int dh = lib->RetDisplayHeight();
    if (lib->RetDisplayDevice() && static_cast<int>(w) <= dw && static_cast<int>(h) <= dh)
        return true;
    // The device's bitmap is made anew: the installed context's pixels and
    // state go to their own place first.
    Uninstall();
    uint32_t nw = static_cast<int>(w) > dw ? w : static_cast<uint32_t>(dw);
    uint32_t nh = static_cast<int>(h) > dh ? h : static_cast<uint32_t>(dh);
    char text[200];
    std::snprintf(text, sizeof text,
                  "mark /HWSize [%u %u] .zuvi.display putdeviceprops pop flush\n", nw, nh);
    Run(text);
    lib->ClearOutput();
    return lib->RetDisplayWidth() >= static_cast<int>(w) &&
           lib->RetDisplayHeight() >= static_cast<int>(h);
}

void GSContext::MakeCurrent()
{
    if (number == installed_number && installed_context == this)
        return;
    if (open_job && open_job != this)
        throw GSException(1);
    if (!IsDisplay() || !device || !pixels || !Running())
        return;
    GSLib* lib = GSRetLib();
    char text[900];
    int n = SaveInstalled(text, sizeof text);
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n),
                  ".zuvi.states %d get aload pop setgstate\n.zuvi.display setdevice\n"
                  "exch setmatrix newpath uappend clip newpath\n",
                  number);
    lib->Execute(text, static_cast<int>(std::strlen(text)));
    lib->ClearOutput();
    installed_context = this;
    installed_number = number;
    ++switch_count;
    LoadPixels();
}

bool GSContext::CreateContext(uint32_t w, uint32_t h, int view_type)
{
    if (!GSLazyStart() || !Running() || open_job)
        return false;
    if (!SizeOk(w, h) || view_type < 0 || view_type > 5)
        return false;
    if (type == GS_CONTEXT_PRINTING || type == GS_CONTEXT_RENDERING)
        return false;
    if (installed_context == this)
        Uninstall();
    ForgetEntry();
    FreeMemory();
    device = nullptr;
    width = w;
    height = h;
    type = view_type;
    number = ++context_counter;
    if (!GrowDisplay(w, h))
        return false;
    GSLib* lib = GSRetLib();
    char text[600];
    std::snprintf(text, sizeof text,
                  "gsave\n.zuvi.display setdevice\ninitgraphics\n"
                  ".zuvi.states %d %s put\ngrestore\n",
                  number, kStateText);
    bool ran = Run(text);
    lib->ClearOutput();
    void* taken = lib->TakeDevice();
    device = taken ? taken : lib->RetDisplayDevice();
    if (!ran || !device) {
        device = nullptr;
        return false;
    }
    size_t bytes = static_cast<size_t>(w) * h * 3;
    pixels = Allocate(bytes, "Card8");
    if (!pixels) {
        device = nullptr;
        return false;
    }
    std::memset(pixels, 0xFF, bytes);
    return true;
}

bool GSContext::Resize(uint32_t w, uint32_t h)
{
    if (!IsDisplay() || !device || !pixels || !Running() || !SizeOk(w, h))
        return false;
    MakeCurrent();
    if (!GrowDisplay(w, h))
        return false;
    if (installed_context == this)
        Uninstall();
    size_t bytes = static_cast<size_t>(w) * h * 3;
    unsigned char* resized = Allocate(bytes, "Card8");
    if (!resized)
        return false;
    std::memset(resized, 0xFF, bytes);
    uint32_t rows = h < height ? h : height;
    uint32_t cols = w < width ? w : width;
    for (uint32_t r = 0; r < rows; ++r)
        std::memcpy(resized + static_cast<size_t>(r) * 3 * w,
                    pixels + static_cast<size_t>(r) * 3 * width, 3 * static_cast<size_t>(cols));
    Release(pixels);
    pixels = resized;
    width = w;
    height = h;
    MakeCurrent();
    Run("initclip\n");
    GSRetLib()->ClearOutput();
    return true;
}

void GSContext::ConvertRow(int row, unsigned char* out)
{
    const unsigned char* src = Row24(row);
    size_t row_bytes = RetRowBytes();
    if (!src) {
        std::memset(out, 0, row_bytes);
        return;
    }
    if (type == GS_VIEW_MONO) {
        std::memset(out, 0, row_bytes);
        for (uint32_t x = 0; x < width; ++x)
            if (!IsInk(src + 3 * x))
                out[x >> 3] |= static_cast<unsigned char>(0x80u >> (x & 7));
    } else if (type == GS_VIEW_RGB16_555 || type == GS_VIEW_RGB16_565) {
        for (uint32_t x = 0; x < width; ++x) {
            uint16_t v = To565(src + 3 * x);
            std::memcpy(out + 2 * x, &v, 2);
        }
    } else {
        std::memcpy(out, src, row_bytes);
    }
}

void GSContext::ReadBack()
{
    if (installed_context == this)
        SettleErase();
    if (!IsDisplay() || !device || !pixels)
        return;
    size_t row_bytes = RetRowBytes();
    size_t needed = row_bytes * height;
    // A resize may have made the context larger than the buffer.
    if (!buffer || buffer_size < needed) {
        Release(buffer);
        buffer_size = 0;
        buffer = Allocate(needed, "Card8");
        if (!buffer)
            return;
        buffer_size = needed;
    }
    GSLib* lib = GSRetLib();
    if (lib)
        lib->LockDevice(device);
    for (uint32_t i = 0; i < height; ++i)
        ConvertRow(static_cast<int>(height - 1 - i), buffer + i * row_bytes);
    if (lib)
        lib->UnlockDevice(device);
}

void GSContext::WriteBack()
{
    if (installed_context == this)
        SettleErase();
    if (!IsDisplay() || !device || !pixels || !buffer)
        return;
    size_t row_bytes = RetRowBytes();
    uint32_t rows = static_cast<uint32_t>(buffer_size / row_bytes);
    if (rows > height)
        rows = height;
    GSLib* lib = GSRetLib();
    if (lib)
        lib->LockDevice(device);
    for (uint32_t i = 0; i < rows; ++i) {
        unsigned char* dst = Row24(static_cast<int>(height - 1 - i));
        const unsigned char* src = buffer + i * row_bytes;
        if (!dst)
            continue;
        if (type == GS_VIEW_MONO) {
            for (uint32_t x = 0; x < width; ++x) {
                unsigned char v = (src[x >> 3] & (0x80u >> (x & 7))) ? 0xFF : 0x00;
                dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = v;
            }
        } else if (type == GS_VIEW_RGB16_555 || type == GS_VIEW_RGB16_565) {
            for (uint32_t x = 0; x < width; ++x) {
                uint16_t v;
                std::memcpy(&v, src + 2 * x, 2);
                unsigned r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
                dst[3 * x] = static_cast<unsigned char>((b << 3) | (b >> 2));
                dst[3 * x + 1] = static_cast<unsigned char>((g << 2) | (g >> 4));
                dst[3 * x + 2] = static_cast<unsigned char>((r << 3) | (r >> 2));
            }
        } else {
            std::memcpy(dst, src, row_bytes);
        }
    }
    if (lib)
        lib->UnlockDevice(device);
}

// ---- Hook ----

void GSContext::GetPortCopyArea(const ZuRect& area, int& x, int& y, int& dx, int& dy) const
{
    x = y = dx = dy = 0;
    if (area.IsEmpty())
        return;
    auto whole = [](double v) {
        return v >= 2147483647.0 ? 2147483647
                                 : (v <= -2147483648.0 ? -2147483647 - 1 : static_cast<int>(v));
    };
    x = whole(area.X1());
    y = whole(area.Y1());
    dx = whole(area.DX());
    dy = whole(area.DY());
    if (dx > static_cast<int64_t>(width))
        dx = static_cast<int>(width);
    if (dy > static_cast<int64_t>(height))
        dy = static_cast<int>(height);
}

void GSContext::CopyTo1Bit(int x, int y, int dx, int dy, void* dest, int pitch)
{
    if (installed_context == this)
        SettleErase();
    if (type != GS_VIEW_MONO || !dest || x < 0 || y < 0 || dx <= 0 || dy <= 0 || pitch <= 0)
        return;
    if (static_cast<uint32_t>(dx) > width)
        dx = static_cast<int>(width);
    if (static_cast<uint32_t>(dy) > height)
        dy = static_cast<int>(height);
    int64_t room = static_cast<int64_t>(pitch) * 8 - x;
    if (room <= 0)
        return;
    if (dx > room)
        dx = static_cast<int>(room);
    unsigned char row[(kMaxSide + 7) / 8 + 1];
    unsigned char* out = static_cast<unsigned char*>(dest);
    for (int i = 0; i < dy; ++i) {
        ConvertRow(dy - 1 - i, row);
        unsigned char* line = out + static_cast<size_t>(y + i) * static_cast<size_t>(pitch);
        for (int c = 0; c < dx; ++c) {
            int bit = (row[c >> 3] >> (7 - (c & 7))) & 1;
            int at = x + c;
            unsigned char mask = static_cast<unsigned char>(0x80u >> (at & 7));
            if (bit)
                line[at >> 3] |= mask;
            else
                line[at >> 3] &= static_cast<unsigned char>(~mask);
        }
    }
}

void GSContext::Copy16(int x, int y, int dx, int dy, void* dest, int pitch, bool to555)
{
    if (installed_context == this)
        SettleErase();
    if (!dest || x < 0 || y < 0 || dx <= 0 || dy <= 0 || pitch <= 0)
        return;
    if (static_cast<uint32_t>(dx) > width)
        dx = static_cast<int>(width);
    if (static_cast<uint32_t>(dy) > height)
        dy = static_cast<int>(height);
    int room = pitch / 2 - x;
    if (room <= 0)
        return;
    if (dx > room)
        dx = room;
    unsigned char* out = static_cast<unsigned char*>(dest);
    unsigned char* row = Allocate(2 * static_cast<size_t>(width), "Card8");
    if (!row)
        return;
    for (int i = 0; i < dy; ++i) {
        ConvertRow(dy - 1 - i, row);
        unsigned char* line = out + static_cast<size_t>(y + i) * static_cast<size_t>(pitch) +
                              2 * static_cast<size_t>(x);
        if (!to555) {
            std::memcpy(line, row, 2 * static_cast<size_t>(dx));
            continue;
        }
        for (int c = 0; c < dx; ++c) {
            uint16_t v;
            std::memcpy(&v, row + 2 * c, 2);
            uint16_t w = static_cast<uint16_t>((v & 0x001F) | ((v >> 1) & 0x7FE0));
            std::memcpy(line + 2 * c, &w, 2);
        }
    }
    Release(row);
}

void GSContext::CopyTo16Bit(int x, int y, int dx, int dy, void* dest, int pitch)
{
    if (type == GS_VIEW_RGB16_565)
        Copy16(x, y, dx, dy, dest, pitch, false);
}

void GSContext::CopyTo15Bit(int x, int y, int dx, int dy, void* dest, int pitch)
{
    if (type == GS_VIEW_RGB16_555)
        Copy16(x, y, dx, dy, dest, pitch, true);
}

void GSContext::CopyTo24Bit(int, int, int, int, void*, int) {}

void GSContext::CopyTo32Bit(int, int, int, int, void*, int) {}

// ---- Copies into ports ----

bool GSContext::SetBackground(const ZuColorPixel& color)
{
    background = color;
    return true;
}

unsigned GSContext::PortDepth(const ZuGrailPortRef& port)
{
    GfxSurface* surface = port->LockSurface();
    unsigned depth = surface ? surface->Depth() : 0;
    port->UnlockSurface(surface);
    return depth;
}

bool GSContext::QuickBltTakes(const ZuGrailPortRef& port)
{
    // A port stops the program for a depth its QuickBlt has no copy for.
    unsigned depth = PortDepth(port);
    return depth == 1 || depth == 15 || depth == 16;
}

bool GSContext::CopyRectToPort(const ZuGrailPortRef& port, const ZuRect& area)
{
    if (installed_context == this)
        SettleErase();
    if (!port.IsValid())
        return false;
    int x, y, dx, dy;
    GetPortCopyArea(area, x, y, dx, dy);
    // A port without pixels would stop the program at the first row.
    if (PortDepth(port) == 0 || (type == GS_VIEW_RGB16_565 && !QuickBltTakes(port)))
        return false;
    GSLib* lib = GSRetLib();
    if (lib && device)
        lib->LockDevice(device);
    if (dx > 0 && dy > 0) {
        if (type == GS_VIEW_MONO) {
            port->SetForeColor(background);
            unsigned char row[(kMaxSide + 7) / 8 + 1];
            for (int i = 0; i < dy; ++i) {
                ConvertRow(dy - 1 - i, row);
                port->SetBitmap(x, static_cast<double>(y) + i, dx, 1.0, row);
            }
        } else if (type == GS_VIEW_RGB24) {
            for (int i = 0; i < dy; ++i) {
                const unsigned char* row = Row24(dy - 1 - i);
                if (row)
                    port->SetRGBPixels(x, static_cast<double>(y) + i, dx, row);
            }
        } else if (type == GS_VIEW_RGB16_565) {
            port->QuickBlt(x, y, dx, dy, ZuObjectRef(this));
        }
    }
    if (lib && device)
        lib->UnlockDevice(device);
    return true;
}

bool GSContext::CopyToPort(const ZuGrailPortRef& port)
{
    if (installed_context == this)
        SettleErase();
    if (!port.IsValid() || !QuickBltTakes(port))
        return false;
    port->QuickBlt(0, 0, width, height, ZuObjectRef(this));
    return true;
}

// ---- Text and output ----

bool GSContext::ExecuteText(const char* text, int length)
{
    if (!text || !Running())
        return false;
    if (IsDisplay() && !device)
        return false;
    MakeCurrent();
    if (length <= 0)
        length = static_cast<int>(std::strlen(text));
    if (type == GS_CONTEXT_RENDERING && Capturing())
        Capture(text, static_cast<size_t>(length));
    int r = GSRetLib()->Execute(text, length);
    if (installed_context == this)
        erase_may_pend = true;
    if (r != 0 && (type == GS_CONTEXT_PRINTING || type == GS_CONTEXT_RENDERING))
        job_failed = true;
    return r == 0;
}

void GSContext::Flush()
{
    if (!Running())
        return;
    Run("flush\n");
    GSRetLib()->ClearOutput();
}

int GSContext::GetOutputLength()
{
    return Running() ? GSRetLib()->GetOutputLength() : 0;
}

bool GSContext::ReadOutput(char* out, int size)
{
    GSLib* lib = GSRetLib();
    return lib ? lib->ReadOutput(out, size) : false;
}

bool GSContext::ClearOutput()
{
    GSLib* lib = GSRetLib();
    return lib ? lib->ClearOutput() : false;
}

bool GSContext::GetSize(uint32_t& w, uint32_t& h)
{
    w = width;
    h = height;
    return true;
}

int GSContext::GetType()
{
    return type;
}

bool GSContext::EscapeName(const char* name, char* out, int size, bool file)
{
    if (!out || size <= 0)
        return false;
    int at = 0;
    for (const char* p = name ? name : ""; *p; ++p) {
        char seq[2];
        int n = 1;
        seq[0] = *p;
        if (*p == '(' || *p == ')') {
            seq[0] = '\\';
            seq[1] = *p;
            n = 2;
        } else if (*p == '\\') {
            if (file) {
                seq[0] = '/';
            } else {
                seq[1] = '\\';
                n = 2;
            }
        } else if (*p == '%' && file) {
            seq[1] = '%';
            n = 2;
        }
        if (size - at < n + 1) {
            out[at] = '\0';
            return false;
        }
        std::memcpy(out + at, seq, static_cast<size_t>(n));
        at += n;
    }
    out[at] = '\0';
    return true;
}

void GSContext::PermitOutput(const char* path)
{
    RevokeOutput();
    GSLib* lib = GSRetLib();
    if (!lib || !path)
        return;
    // Backslashes reach the interpreter as slashes.
    size_t a = 0, b = 0;
    bool percent = false;
    for (const char* p = path; *p && a + 1 < sizeof permitted[0] && b + 2 < sizeof permitted[1];
         ++p) {
        const char c = *p == '\\' ? '/' : *p;
        permitted[0][a++] = c;
        permitted[1][b++] = c;
        if (c == '%') {
            permitted[1][b++] = '%';
            percent = true;
        }
    }
    permitted[0][a] = '\0';
    permitted[1][percent ? b : 0] = '\0';
    for (const char* p : permitted)
        if (p[0])
            lib->PermitPath(GSLib::GS_FILE_WRITING, p);
}

void GSContext::RevokeOutput()
{
    GSLib* lib = GSRetLib();
    for (char* p : permitted) {
        if (p[0] && lib)
            lib->RevokePath(GSLib::GS_FILE_WRITING, p);
        p[0] = '\0';
    }
}

// ---- File contexts ----

bool GSContext::CreateRenderDevice(uint32_t w, uint32_t h, double resolution, int bits,
                                   const ZuStringRef& device_name)
{
    if (!GSLazyStart() || !Running())
        return false;
    if (type == GS_CONTEXT_PRINTING || type == GS_CONTEXT_RENDERING)
        return false;
    if (installed_context == this)
        Uninstall();
    ForgetEntry();
    FreeMemory();
    width = w;
    height = h;
    number = ++context_counter;
    device = nullptr;
    type = GS_CONTEXT_FILE;
    gif_kind = 0;
    if (!SizeOk(w, h))
        return false;
    char name[201];
    name[0] = '\0';
    if (device_name.IsValid()) {
        const char* latin = device_name->AccessLatin();
        std::snprintf(name, sizeof name, "%s", latin ? latin : "");
    }
    for (const GifDevice& gif : kGifDevices) {
        if (std::strcmp(name, gif.name) == 0) {
            std::snprintf(name, sizeof name, "%s", gif.through);
            gif_kind = gif.kind;
        }
    }
    // The name is the export's choice, but scripts can pass any text.
    char escaped[410];
    EscapeName(name, escaped, sizeof escaped, false);
    char dpi[64];
    FormatReal(dpi, sizeof dpi, resolution);
    char text[800];
    std::snprintf(
        text, sizeof text,
        ".zuvi.devices %d (%s) finddevice put\nmark\n/HWResolution [%s dup]\n"
        "/HWSize [%u %u]\n/BitsPerPixel %d\n.zuvi.devices %d get putdeviceprops pop flush\n",
        number, escaped, dpi, w, h, bits, number);
    std::snprintf(capture_setup, sizeof capture_setup,
                  "%% render device %.100s size %u %u resolution %.63s", name, w, h, dpi);
    GSLib* lib = GSRetLib();
    int before = lib->GetOutputLength();
    bool ran = Run(text);
    if (!ran || lib->GetOutputLength() != before) {
        Run("clear\n");
        lib->ClearOutput();
        return false;
    }
    return true;
}

bool GSContext::BeginRender(const char* file_name, int alpha_bits)
{
    if (type != GS_CONTEXT_FILE || !file_name || std::strlen(file_name) >= 250 || !Running() ||
        open_job)
        return false;
    std::snprintf(target, sizeof target, "%s", file_name);
    if (!TempName(temp_render, sizeof temp_render, target, number, gif_kind ? ".bmp" : ""))
        return false;
    if (gif_kind) {
        if (!TempName(temp_final, sizeof temp_final, target, number, ""))
            return false;
    } else {
        temp_final[0] = '\0';
    }
    char escaped[500];
    if (!EscapeName(temp_render, escaped, sizeof escaped, true))
        return false;
    DeleteFileA(temp_render);
    PermitOutput(temp_render);
    type = GS_CONTEXT_RENDERING;
    open_job = this;
    job_failed = false;
    char text[900];
    std::snprintf(text, sizeof text,
                  "gsave\nnulldevice\nsave /.zuvi.render.vm exch def\nfalse setglobal\nmark\n"
                  "/OutputFile (%s)\n/TextAlphaBits %d\n/GraphicsAlphaBits %d\n"
                  ".zuvi.devices %d get copydevice putdeviceprops\nsetdevice\n",
                  escaped, alpha_bits, alpha_bits, number);
    if (!Run(text)) {
        job_failed = true;
        Run("clear\n");
        GSRetLib()->ClearOutput();
    }
    if (!job_failed && Capturing()) {
        // The device's settings first, as a comment line.
        char header[sizeof capture_setup + 40];
        std::snprintf(header, sizeof header, "%s alpha %d\n", capture_setup, alpha_bits);
        Capture(header, std::strlen(header));
    }
    return !job_failed;
}

bool GSContext::EndRender()
{
    if (type != GS_CONTEXT_RENDERING)
        return false;
    type = GS_CONTEXT_FILE;
    bool ran = Run(".zuvi.render.vm restore\nnulldevice\ngrestore\n");
    open_job = nullptr;
    ForgetPendingEntries();
    // What a failed page left on the operand stack goes with the job.
    if (!ran || job_failed)
        Run("clear\n");
    return FinishFile(ran && !job_failed);
}

bool GSContext::FinishFile(bool ok)
{
    RevokeOutput();
    ok = ok && FileHasBytes(temp_render);
    const char* done = temp_render;
    if (ok && gif_kind) {
        ok = GSWriteGifFromBmp(temp_render, temp_final);
        DeleteFileA(temp_render);
        done = temp_final;
    }
    if (ok)
        ok = MoveFileExA(done, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!ok) {
        DeleteFileA(temp_render);
        if (temp_final[0])
            DeleteFileA(temp_final);
    }
    temp_render[0] = temp_final[0] = '\0';
    return ok;
}

// ---- Printer contexts ----

bool GSContext::CreatePrintDevice()
{
    if (!GSLazyStart() || !Running())
        return false;
    if (type == GS_CONTEXT_PRINTING || type == GS_CONTEXT_RENDERING)
        return false;
    if (installed_context == this)
        Uninstall();
    ForgetEntry();
    FreeMemory();
    width = height = 1;
    number = ++context_counter;
    device = nullptr;
    type = GS_CONTEXT_PRINTER;
    gif_kind = 0;
    W32_DefaultPrintSettings(&print_dialog);
    // With a print service the page goes to it; without, into a PDF file.
    print_to_file = (print_dialog.Flags & PD_PRINTTOFILE) != 0;
    char text[200];
    std::snprintf(text, sizeof text, ".zuvi.devices %d (%s) finddevice put\n", number,
                  print_to_file ? "pdfwrite" : "cups");
    if (!Run(text)) {
        Run("clear\n");
        GSRetLib()->ClearOutput();
        return false;
    }
    return true;
}

bool GSContext::ShowDialog(DWORD flags)
{
    if (type != GS_CONTEXT_PRINTER || !Running())
        return false;
    Flush();
    PRINTDLGA asked = print_dialog;
    asked.Flags = (asked.Flags & ~PD_PRINTSETUP) | flags;
    if (!PrintDlgA(&asked))
        return false;
    asked.Flags &= ~PD_PRINTSETUP;
    print_dialog = asked;
    return true;
}

bool GSContext::ShowPrintDialog()
{
    return ShowDialog(0);
}

bool GSContext::ShowPrintSetupDialog()
{
    return ShowDialog(PD_PRINTSETUP);
}

bool GSContext::BeginPrint(const ZuStringRef& document_name)
{
    if (type != GS_CONTEXT_PRINTER || !Running() || open_job)
        return false;
    char title[400];
    const char* latin = document_name.IsValid() ? document_name->AccessLatin() : "";
    EscapeName(latin ? latin : "", title, sizeof title, false);
    char output[500];
    if (print_to_file) {
        if (!print_dialog.szFile[0] || std::strlen(print_dialog.szFile) >= 250)
            return false;
        std::snprintf(target, sizeof target, "%s", print_dialog.szFile);
        if (!TempName(temp_render, sizeof temp_render, target, number, ""))
            return false;
        temp_final[0] = '\0';
        if (!EscapeName(temp_render, output, sizeof output, true))
            return false;
        DeleteFileA(temp_render);
        PermitOutput(temp_render);
    } else {
        char command[400];
        int copies = print_dialog.nCopies > 0 ? print_dialog.nCopies : 1;
        if (PlainPrinterName(print_dialog.szPrinter))
            std::snprintf(command, sizeof command, "%%pipe%%lp -s -d %s -n %d",
                          print_dialog.szPrinter, copies);
        else
            std::snprintf(command, sizeof command, "%%pipe%%lp -s -n %d", copies);
        EscapeName(command, output, sizeof output, false);
        PermitOutput(command);
    }
    type = GS_CONTEXT_PRINTING;
    open_job = this;
    job_failed = false;
    char text[1400];
    int n = std::snprintf(
        text, sizeof text,
        "gsave\nnulldevice\nsave /.zuvi.print.vm exch def\nfalse setglobal\nmark\n"
        "/OutputFile (%s)\n.zuvi.devices %d get putdeviceprops\ncopydevice setdevice\n",
        output, number);
    if (print_to_file && title[0])
        std::snprintf(text + n, sizeof text - static_cast<size_t>(n),
                      "[ /Title (%s) /DOCINFO pdfmark\n", title);
    if (!Run(text)) {
        job_failed = true;
        Run("clear\n");
        GSRetLib()->ClearOutput();
    }
    return !job_failed;
}

bool GSContext::EndPrint()
{
    if (type != GS_CONTEXT_PRINTING)
        return false;
    type = GS_CONTEXT_PRINTER;
    bool ran = Run(".zuvi.print.vm restore\nnulldevice\ngrestore\n");
    open_job = nullptr;
    ForgetPendingEntries();
    if (!ran || job_failed)
        Run("clear\n");
    if (print_to_file)
        return FinishFile(ran && !job_failed);
    RevokeOutput();
    return ran && !job_failed;
}

namespace {

WORD ToWord(int32_t v)
{
    return static_cast<WORD>(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}

} // namespace

bool GSContext::SetPrintRange(const GSPrintSettings& s)
{
    if (type != GS_CONTEXT_PRINTER)
        return false;
    print_dialog.nMinPage = ToWord(s.document_first);
    print_dialog.nMaxPage = ToWord(s.document_last);
    print_dialog.nFromPage = ToWord(s.selected_first);
    print_dialog.nToPage = ToWord(s.selected_last);
    print_dialog.nCopies = ToWord(s.copies);
    return true;
}

bool GSContext::GetPrintSetup(GSPrintSettings& s)
{
    if (type != GS_CONTEXT_PRINTER)
        return false;
    Flush();
    s.selected_first = print_dialog.nFromPage;
    s.selected_last = print_dialog.nToPage;
    s.copies = print_dialog.nCopies;
    s.media_width = print_dialog.dMediaWidth;
    s.media_height = print_dialog.dMediaHeight;
    return true;
}

// ---- Storage ----

void GSContext::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage->StoreCard(width);
    storage->StoreCard(height);
    storage << ZuStorageSync::mark;
}

void GSContext::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    uint64_t w = storage->RestoreCard(width);
    uint64_t h = storage->RestoreCard(height);
    storage >> ZuStorageSync::mark;
    // A size no context can have (a damaged file) leaves the context empty.
    if (w > kMaxSide || h > kMaxSide)
        w = h = 0;
    CreateContext(static_cast<uint32_t>(w), static_cast<uint32_t>(h), GS_VIEW_RGB24);
}
