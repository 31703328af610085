// The program tried as a new user tries it, with the server's pointer and
// keyboard only: lumbra starts, a rectangle is drawn with the tool
// palette's rectangle tool, selected, and its fill given another colour
// in the "Attributs" dialog (fill page, card "Couleur", a press in the
// colour field): the page on the screen must show the rectangle in that
// colour at once, before any other input. The drawing is then saved
// through the "Fichier" menu under a typed name, the page emptied
// ("Nouveau") and the file opened again (the new fill comes back), the
// page exported as a 24-bit colour PNG through the export dialog, and the
// program quit from the menu. The PNG must show the rectangle in the new
// fill, none of the first left, and be, pixel for pixel, what the gs
// command renders from the PostScript the export sent (captured through
// LUMBRA_EXPORT_CAPTURE) on the same device, size, resolution and alpha
// bits; the program must end with status 0 and leave no window, process,
// file or pipe behind.
//
// Where things are comes from the start-up's places (main window's working
// area at (40, 40), tool palette's at (20, 100), dialogs at (300, 300)),
// the dialogs' own layouts, and pixels read back: the "Fichier" label, the
// menu rows (found by their icons), the palette buttons' pressed state,
// the selection's handles, the attributes' colour sample and the lines of
// the export formats as they scroll. Every wait asks the server and gives
// up after about 20 seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/document.h"
#include "app/gralinetext.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "tests/support/objmodel.h"
#include "tests/support/xprogram.h"
#include "tests/support/xvfb.h"

// Last: the X headers define names (KeyPress, None...) as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "tests/support/xkeys.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// The start-up's places (screen points of the windows' working areas) and
// the dialogs' sizes.
const int kMainX = 40, kMainY = 40;
const int kPaletteX = 20, kPaletteY = 100;
const int kExportW = 356, kExportH = 216;
const int kAttrW = 413, kAttrH = 257;
// The colour card's pane inside the "Attributs" dialog, and in the pane its
// colour field (140 x 140) and the sample strip below it (168 x 24).
const int kColourPaneX = 39, kColourPaneY = 77;
const int kFieldX = 32, kFieldY = 4, kSampleX = 4, kSampleY = 148;

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

bool IsWhite(Rgb p)
{
    return p.r > 0xF0 && p.g > 0xF0 && p.b > 0xF0;
}
bool IsDark(Rgb p)
{
    return p.r < 0x40 && p.g < 0x40 && p.b < 0x40;
}
// Whether an image's colour is the one the screen shows: the program's
// windows keep 5 bits of red and blue and 6 of green, and PostScript's
// decimals may move gs's colour by a step.
bool ShownAs(Rgb image, Rgb screen)
{
    return std::abs(image.r - screen.r) <= 8 && std::abs(image.g - screen.g) <= 4 &&
           std::abs(image.b - screen.b) <= 8;
}
// Handles of the selection are red squares.
bool IsHandle(Rgb p)
{
    return p.r > p.g + 96 && p.r > p.b + 96;
}

// A picture of part of the screen.
struct Shot {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<Rgb> pixels;
    Rgb At(int sx, int sy) const { return pixels[size_t(sy - y) * size_t(w) + size_t(sx - x)]; }
    bool operator==(const Shot& o) const { return pixels == o.pixels; }
};

// A PNG file's pixels, top row first; empty when it cannot be read.
struct Png {
    unsigned w = 0, h = 0;
    int colour_type = -1, bit_depth = 0;
    std::vector<unsigned char> bytes;
};

Png ReadPng(const std::string& name)
{
    Png out;
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr)
        return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return Png();
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    out.w = png_get_image_width(png, info);
    out.h = png_get_image_height(png, info);
    out.colour_type = png_get_color_type(png, info);
    out.bit_depth = png_get_bit_depth(png, info);
    const size_t row = png_get_rowbytes(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (unsigned r = 0; r < out.h; ++r)
        out.bytes.insert(out.bytes.end(), rows[r], rows[r] + row);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return out;
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool Exists(const std::string& name)
{
    struct stat st;
    return ::stat(name.c_str(), &st) == 0 && st.st_size > 0;
}

// The processes whose working folder is the folder (the program and
// anything it started there).
std::vector<std::string> ProcessesIn(const std::string& folder)
{
    std::vector<std::string> found;
    char real[4096];
    if (::realpath(folder.c_str(), real) == nullptr)
        return found;
    for (const std::string& entry : Entries("/proc")) {
        if (entry.find_first_not_of("0123456789") != std::string::npos)
            continue;
        char cwd[4096];
        const ssize_t n = ::readlink(("/proc/" + entry + "/cwd").c_str(), cwd, sizeof cwd - 1);
        if (n > 0 && std::string(cwd, size_t(n)) == real)
            found.push_back(entry);
    }
    return found;
}

// Runs a command (argument vector) with its output thrown away; its exit
// status, or -1 when it did not end within the waits.
int RunCommand(const std::vector<std::string>& words)
{
    std::vector<char*> argv;
    std::vector<std::string> copy(words);
    for (std::string& w : copy)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    for (int round = 0; pid > 0 && round < kXProgramRounds; ++round) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        XProgramPause();
    }
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return -1;
}

// The folders of one run, removed with all they hold at the end.
struct Folders {
    Folders()
    {
        char pattern[] = "/tmp/lumbra-roundtrip-XXXXXX";
        if (::mkdtemp(pattern) != nullptr)
            root = pattern;
        work = root + "/work";
        temp = root + "/temp";
        runtime = root + "/runtime";
        capture = root + "/export.ps";
        reference = root + "/reference.png";
        ok = !root.empty() && ::mkdir(work.c_str(), 0700) == 0 &&
             ::mkdir(temp.c_str(), 0700) == 0 && ::mkdir(runtime.c_str(), 0700) == 0;
    }
    ~Folders()
    {
        if (!root.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
    }
    bool ok = false;
    std::string root, work, temp, runtime, capture, reference;
};

// The program's windows come and go while the test looks at them: a
// window gone between two requests is no error of the test's.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

// The user's hands and eyes on the server.
class User {
public:
    explicit User(Display* display) : peer(display), previous(XSetErrorHandler(IgnoreErrors)) {}
    ~User() { XSetErrorHandler(previous); }
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    // ---- Windows
    std::set<Window> TopWindows()
    {
        std::set<Window> out;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (XQueryTree(peer, DefaultRootWindow(peer), &root, &parent, &children, &n)) {
            out.insert(children, children + n);
            if (children != nullptr)
                XFree(children);
        }
        return out;
    }
    bool Mapped(Window w)
    {
        XWindowAttributes a;
        return w != 0 && XGetWindowAttributes(peer, w, &a) && a.map_state == IsViewable;
    }
    std::string Name(Window w)
    {
        char* name = nullptr;
        std::string out;
        if (XFetchName(peer, w, &name) && name != nullptr)
            out = name;
        if (name != nullptr)
            XFree(name);
        return out;
    }
    // The mapped top window of that name among those that were not there
    // before the program; 0 when there is none.
    Window MappedNamed(const std::set<Window>& before, const std::string& name)
    {
        for (Window w : TopWindows())
            if (before.count(w) == 0 && Mapped(w) && Name(w) == name)
                return w;
        return 0;
    }
    // The names of the program's mapped windows, for messages.
    std::string MappedNames(const std::set<Window>& before)
    {
        std::string out;
        for (Window w : TopWindows())
            if (before.count(w) == 0 && Mapped(w))
                out += "\"" + Name(w) + "\" ";
        return out;
    }
    void Origin(Window w, int& x, int& y, int& width, int& height)
    {
        XWindowAttributes a;
        Window child = 0;
        x = y = width = height = 0;
        if (XGetWindowAttributes(peer, w, &a)) {
            XTranslateCoordinates(peer, w, DefaultRootWindow(peer), 0, 0, &x, &y, &child);
            width = a.width;
            height = a.height;
        }
    }
    // Whether the keyboard's focus is on the window or inside it.
    bool HasFocus(Window w)
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(peer, &focus, &revert);
        for (int depth = 0; focus != 0 && focus != PointerRoot && depth < 32; ++depth) {
            if (focus == w)
                return true;
            Window root = 0, parent = 0, *children = nullptr;
            unsigned n = 0;
            if (!XQueryTree(peer, focus, &root, &parent, &children, &n))
                return false;
            if (children != nullptr)
                XFree(children);
            focus = parent;
        }
        return false;
    }

    // ---- Eyes
    Shot Look(int x, int y, int w, int h)
    {
        Shot s;
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), x, y, unsigned(w), unsigned(h),
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return s;
        s.x = x, s.y = y, s.w = w, s.h = h;
        s.pixels.reserve(size_t(w) * size_t(h));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const unsigned long p = XGetPixel(image, i, j);
                s.pixels.push_back(Rgb{int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)});
            }
        XDestroyImage(image);
        return s;
    }
    Rgb Pixel(int x, int y) { return Look(x, y, 1, 1).At(x, y); }

    // ---- Hands
    void MoveTo(int x, int y)
    {
        XTestFakeMotionEvent(peer, -1, x, y, 0);
        XSync(peer, False);
    }
    void Button(bool down)
    {
        XTestFakeButtonEvent(peer, 1, down ? True : False, 0);
        XSync(peer, False);
    }
    // A click at a screen point, each step a round after the last: the
    // program reads the pointer's place when it handles a press, so the
    // pointer rests there a moment first.
    void Click(int x, int y)
    {
        MoveTo(x, y);
        XProgramPause();
        Button(true);
        XProgramPause();
        Button(false);
        XProgramPause();
    }
    // Presses at a screen point and holds the button until the program
    // shows that it took the press, then lets go: a release that comes
    // before the program has answered the press can leave a control half
    // way (a menu that no longer follows the pointer).
    bool PressUntil(int x, int y, const std::function<bool()>& taken)
    {
        MoveTo(x, y);
        XProgramPause();
        Button(true);
        const bool ok = XWaitUntil(peer, taken);
        Button(false);
        XProgramPause();
        return ok;
    }
    // The same, the press taken once the area around the point changes.
    bool PressUntilChanged(int x, int y, int w, int h)
    {
        const Shot before = Look(x - w / 2, y - h / 2, w, h);
        return PressUntil(x, y, [&] { return !(Look(x - w / 2, y - h / 2, w, h) == before); });
    }
    // A key, with Shift held when asked.
    bool Key(KeySym symbol, bool shift = false)
    {
        const KeyCode code = XKeysymToKeycode(peer, symbol);
        const KeyCode shift_code = XKeysymToKeycode(peer, XK_Shift_L);
        if (code == 0 || shift_code == 0)
            return false;
        PressKey(peer, code, shift);
        return true;
    }
    // A key with Control held.
    bool ControlKey(KeySym symbol)
    {
        const KeyCode code = XKeysymToKeycode(peer, symbol);
        const KeyCode control = XKeysymToKeycode(peer, XK_Control_L);
        if (code == 0 || control == 0)
            return false;
        XTestFakeKeyEvent(peer, control, True, 0);
        PressKey(peer, code, false);
        XTestFakeKeyEvent(peer, control, False, 0);
        XSync(peer, False);
        return true;
    }
    // Types lowercase letters, digits and dots.
    bool Type(const std::string& text)
    {
        for (char c : text) {
            const KeySym symbol = c == '.' ? XK_period : KeySym(c);
            if (!Key(symbol))
                return false;
        }
        return true;
    }
    // Replaces the whole text of the line that has the keys: Home, then
    // Shift+End selects it, and the typing replaces the selection.
    bool ReplaceLine(const std::string& text)
    {
        return Key(XK_Home) && Key(XK_End, true) && Type(text);
    }

    Display* peer;
    XErrorHandler previous;
};

// The runs of the picture's rows that hold at least one pixel passing the
// test: their centres, top to bottom.
template <typename Test>
std::vector<int> RowRuns(const Shot& s, Test test)
{
    std::vector<int> centres;
    int start = -1;
    for (int y = s.y; y <= s.y + s.h; ++y) {
        bool hit = false;
        for (int x = s.x; y < s.y + s.h && x < s.x + s.w && !hit; ++x)
            hit = test(s.At(x, y));
        if (hit && start < 0)
            start = y;
        if (!hit && start >= 0) {
            centres.push_back((start + y - 1) / 2);
            start = -1;
        }
    }
    return centres;
}

// The tile colour of the pictures of icon numbers 100 to 199.
bool IsMenuIconTint(Rgb p)
{
    return std::abs(p.r - 232) < 8 && std::abs(p.g - 250) < 8 && std::abs(p.b - 220) < 8;
}

// A pressed palette button is drawn in a blue tint.
bool LooksPressed(User& user, int x, int y)
{
    const Rgb p = user.Pixel(x, y);
    return p.b > p.r + 16;
}

class Session {
public:
    Session(User& hands, const std::set<Window>& windows) : user(hands), before(windows) {}

    // Waits until the program's main window and its palette "Outils" are
    // mapped; the main window is the session's from then on.
    bool WaitForWindows(Window& palette)
    {
        return XWaitUntil(user.peer, [&] {
            main = user.MappedNamed(before, "Lumbra");
            palette = user.MappedNamed(before, "Outils");
            return main != 0 && palette != 0;
        });
    }

    // The extent of the word `n` of black text on the menu bar (0
    // "Fichier", 1 "Edition"...); false when the bar shows no such word.
    bool BarWord(int n, int& x1, int& x2, int& y1, int& y2)
    {
        x1 = x2 = y1 = y2 = -1;
        const Shot bar = user.Look(kMainX, kMainY, 300, 18);
        for (int x = bar.x; x < bar.x + bar.w; ++x) {
            bool ink = false;
            for (int y = bar.y; y < bar.y + bar.h; ++y) {
                if (!IsDark(bar.At(x, y)))
                    continue;
                ink = true;
                y1 = y1 < 0 ? y : std::min(y1, y);
                y2 = std::max(y2, y);
            }
            if (ink) {
                x1 = x1 < 0 ? x : x1;
                x2 = x;
            } else if (x2 >= 0 && x - x2 > 6) {
                if (n-- == 0)
                    return true;
                x1 = x2 = y1 = y2 = -1;
            }
        }
        return false;
    }

    // Opens "Edition" with a click on the bar and clicks its first row,
    // "Annuler" (found by its icon; the tool bar's icons, below the bar,
    // have the same tint, but the menu covers them).
    ::testing::AssertionResult EditionFirstRow()
    {
        int x1 = -1, x2 = -1, y1 = -1, y2 = -1;
        if (!BarWord(1, x1, x2, y1, y2))
            return ::testing::AssertionFailure() << "no \"Edition\" on the menu bar";
        const int below = kMainY + 20;
        const Shot closed = user.Look(x1, below, 100, 60);
        if (!user.PressUntil((x1 + x2) / 2, (y1 + y2) / 2,
                             [&] { return !(user.Look(x1, below, 100, 60) == closed); }))
            return ::testing::AssertionFailure() << "\"Edition\" did not open";
        std::vector<int> rows;
        if (!XWaitUntil(user.peer, [&] {
                rows = RowRuns(user.Look(x1, below, 100, 60), IsMenuIconTint);
                return !rows.empty();
            }))
            return ::testing::AssertionFailure() << "the menu shows no \"Annuler\"";
        user.Click(x1 + 50, rows[0]);
        return ::testing::AssertionSuccess();
    }

    // Opens "Fichier" and clicks its row `row` (0 "Nouveau" ... 6 "Quitter").
    ::testing::AssertionResult FileMenu(int row)
    {
        // Once a dialog has closed, no window of the program has the keys:
        // the user first clicks the main window (the empty end of its menu
        // bar) and waits for it to take them.
        if (!user.HasFocus(main)) {
            user.Click(kMainX + 700, kMainY + 9);
            if (!XWaitUntil(user.peer, [&] { return user.HasFocus(main); }))
                return ::testing::AssertionFailure() << "the main window does not take the keys";
        }
        // "Fichier": the first word of black text on the menu bar.
        int x1 = -1, x2 = -1, y1 = -1, y2 = -1;
        if (!BarWord(0, x1, x2, y1, y2))
            return ::testing::AssertionFailure() << "no \"Fichier\" on the menu bar";
        // Its seven rows, found by their icons (the tool palette's lower
        // rows, below the menu, hold icons of the same tint).
        std::vector<int> rows;
        const bool open = user.PressUntil((x1 + x2) / 2, (y1 + y2) / 2, [&] {
            rows = RowRuns(user.Look(kMainX, kMainY + 18, 200, 170), IsMenuIconTint);
            return rows.size() == 7;
        });
        if (!open)
            return ::testing::AssertionFailure()
                   << "the menu did not show its 7 rows (" << rows.size() << " found)";
        const int y = rows[size_t(row)];
        user.Click(kMainX + 80, y);
        return ::testing::AssertionSuccess();
    }

    // Waits for the mapped window of that name to hold the keyboard.
    ::testing::AssertionResult WaitForDialog(const std::string& name, Window& dialog)
    {
        dialog = 0;
        if (XWaitUntil(user.peer, [&] {
                dialog = user.MappedNamed(before, name);
                return dialog != 0 && user.HasFocus(dialog);
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "no dialog \"" << name << "\" with the keys; shown: " << user.MappedNames(before);
    }

    // Waits until the program shows no window but its main window and
    // palette (no dialog, no busy box).
    ::testing::AssertionResult WaitForMainAlone(Window main, Window palette)
    {
        if (XWaitUntil(user.peer, [&] {
                for (Window w : user.TopWindows())
                    if (before.count(w) == 0 && w != main && w != palette && user.Mapped(w))
                        return false;
                return true;
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "still shown: " << user.MappedNames(before);
    }

    User& user;
    const std::set<Window>& before;
    Window main = 0;
};

TEST(LumbraRoundTrip, DrawSaveReopenExportAsGsRendersItThenQuitCleanly)
{
    ZUVI_REQUIRE_XVFB();
    Folders folders;
    ASSERT_TRUE(folders.ok) << "cannot make the run's folders";
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    User user(peer);
    const std::set<Window> before = user.TopWindows();
    Session session(user, before);

    // Any temporary file the program makes lands in folders the test
    // watches; its command pipe too.
    XProgram program(ZUVI_LUMBRA, folders.work.c_str(),
                     {"LUMBRA_EXPORT_CAPTURE=" + folders.capture, "TMPDIR=" + folders.temp,
                      "XDG_RUNTIME_DIR=" + folders.runtime});
    ASSERT_GT(program.pid, 0);

    // ---- Start: the main window and the palette "Outils", painted.
    Window main = 0, palette = 0;
    ASSERT_TRUE(XWaitUntil(peer,
                           [&] {
                               main = palette = 0;
                               for (Window w : user.TopWindows()) {
                                   if (before.count(w) != 0 || !user.Mapped(w))
                                       continue;
                                   const std::string name = user.Name(w);
                                   if (name == "Outils")
                                       palette = w;
                                   else if (name.compare(0, 6, "Lumbra") == 0)
                                       main = w;
                               }
                               return main != 0 && palette != 0;
                           }))
        << "shown: " << user.MappedNames(before);
    int wx = 0, wy = 0, ww = 0, wh = 0;
    session.main = main;
    user.Origin(main, wx, wy, ww, wh);
    ASSERT_TRUE(wx <= kMainX && wy <= kMainY && wx + ww > kMainX + 700) << wx << "," << wy;
    user.Origin(palette, wx, wy, ww, wh);
    ASSERT_TRUE(wx <= kPaletteX && wy <= kPaletteY && wx + ww > kPaletteX + 69) << wx << "," << wy;

    // The drawing tools' first row: "Droite", "Fleche", "Rectangle", 23
    // pixels apart, below the two mode buttons and the separator.
    const int row_y = kPaletteY + 1 + 23 + 8 + 11;
    const int line_x = kPaletteX + 1 + 11, rect_x = kPaletteX + 1 + 2 * 23 + 11;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return LooksPressed(user, line_x - 8, row_y - 8) &&
               !LooksPressed(user, rect_x - 8, row_y - 8);
    })) << "the palette does not show \"Droite\" chosen";

    // A point inside the page where the rectangle goes, white at first;
    // left of where the dialogs open.
    const int ax = 160, ay = 150, bx = 290, by = 500;
    const int cx = (ax + bx) / 2, cy = (ay + by) / 2;
    ASSERT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(cx, cy)); }));

    // ---- Draw: the rectangle tool, then a drag over the page.
    user.Click(rect_x, row_y);
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return LooksPressed(user, rect_x - 8, row_y - 8) &&
               !LooksPressed(user, line_x - 8, row_y - 8);
    })) << "the rectangle tool was not taken";
    user.MoveTo(ax, ay);
    user.Button(true);
    for (int step = 1; step <= 8; ++step) {
        XProgramPause();
        user.MoveTo(ax + (bx - ax) * step / 8, ay + (by - ay) * step / 8);
    }
    XProgramPause();
    user.Button(false);
    ASSERT_TRUE(XWaitUntil(peer, [&] { return !IsWhite(user.Pixel(cx, cy)); }))
        << "no rectangle drawn";
    EXPECT_TRUE(IsWhite(user.Pixel(ax - 20, ay - 20)));
    EXPECT_TRUE(IsWhite(user.Pixel(bx + 20, by + 20)));

    // ---- Its fill changed in "Attributs": in the selection mode a click
    // selects the rectangle (its handles show at its corners) ...
    const Rgb drawn = user.Pixel(cx, cy);
    const int mode_y = kPaletteY + 1 + 11;
    const int draw_mode_x = kPaletteX + 1 + 17, select_mode_x = kPaletteX + 1 + 34 + 17;
    user.Click(select_mode_x, mode_y);
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return LooksPressed(user, select_mode_x - 12, mode_y - 8) &&
               !LooksPressed(user, draw_mode_x - 12, mode_y - 8);
    })) << "the selection mode was not taken";
    user.Click(cx, cy);
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return IsHandle(user.Pixel(ax, ay)) && IsHandle(user.Pixel(bx, by));
    })) << "the rectangle is not selected";
    // ... the palette's "Attributs" button (the first of its lower block,
    // shown once the palette has taken the selection: till then the place
    // is bare) shows the dialog (not the button's tool tip of the same
    // name), on its first page, the pen's ...
    const int attr_x = kPaletteX + 18, attr_y = kPaletteY + 172;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        const Shot s = user.Look(attr_x - 12, attr_y - 10, 24, 20);
        return std::any_of(s.pixels.begin(), s.pixels.end(),
                           [&](Rgb p) { return !(p == s.pixels[0]); });
    })) << "the palette shows no \"Attributs\" button";
    user.Click(attr_x, attr_y);
    Window attributes = 0;
    ASSERT_TRUE(XWaitUntil(peer,
                           [&] {
                               attributes = 0;
                               for (Window w : user.TopWindows()) {
                                   user.Origin(w, wx, wy, ww, wh);
                                   if (before.count(w) == 0 && user.Mapped(w) &&
                                       user.Name(w) == "Attributs" && ww >= kAttrW)
                                       attributes = w;
                               }
                               return attributes != 0;
                           }))
        << "no \"Attributs\"; shown: " << user.MappedNames(before);
    user.Origin(attributes, wx, wy, ww, wh);
    const int dx = wx + (ww - kAttrW) / 2, dy = wy + wh - kAttrH - (ww - kAttrW) / 2;
    // The pages' tab buttons, 23 pixels apart, show the current one pressed.
    const int pen_tab_x = dx + 4 + 11, fill_tab_x = dx + 4 + 23 + 11, tab_y = dy + 4 + 11;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return LooksPressed(user, pen_tab_x - 8, tab_y - 8) &&
               !LooksPressed(user, fill_tab_x - 8, tab_y - 8);
    })) << "the dialog does not show its first page";
    // ... its second page, the fill's, with the card "Couleur" second among
    // the cards' tabs: the card's sample strip shows the rectangle's fill.
    const int pane_x = dx + kColourPaneX, pane_y = dy + kColourPaneY;
    const int sample_x = pane_x + kSampleX + 84, sample_y = pane_y + kSampleY + 12;
    ASSERT_TRUE(user.PressUntilChanged(fill_tab_x, tab_y, 20, 20));
    ASSERT_TRUE(XWaitUntil(peer, [&] { return !LooksPressed(user, pen_tab_x - 8, tab_y - 8); }))
        << "the fill's page was not taken";
    // The card's tab, at (48, 34) 61 x 22 in the dialog, is clicked right
    // of the fill tab's tool tip, which may show over its left part.
    user.Click(dx + 95, dy + 50);
    ASSERT_TRUE(XWaitUntil(peer, [&] { return user.Pixel(sample_x, sample_y) == drawn; }))
        << "the fill's colour card does not show the rectangle's colour";
    // A press in the colour field's upper right (a dark shade of the same
    // hue), held until the sample shows its colour: the page shows the
    // rectangle in it with no other input.
    ASSERT_TRUE(user.PressUntil(pane_x + kFieldX + 105, pane_y + kFieldY + 35, [&] {
        return !(user.Pixel(sample_x, sample_y) == drawn);
    })) << "the colour field did not take the press";
    const Rgb chosen = user.Pixel(sample_x, sample_y);
    ASSERT_GT(std::abs(chosen.r - drawn.r) + std::abs(chosen.g - drawn.g) +
                  std::abs(chosen.b - drawn.b),
              96)
        << "the colour chosen is too close to the rectangle's";
    ASSERT_TRUE(XWaitUntil(peer, [&] { return user.Pixel(cx, cy) == chosen; }))
        << "the page does not show the new fill";
    // "Fermer", 60 x 24 at the pane's (306, 148), closes the dialog.
    user.Click(pane_x + 306 + 30, pane_y + 148 + 12);
    ASSERT_TRUE(session.WaitForMainAlone(main, palette));

    // ---- Save: "Enregistrer..." asks the never-saved document's name.
    const std::string saved = folders.work + "/dessin.lumbra";
    Window dialog = 0;
    ASSERT_TRUE(session.FileMenu(2));
    ASSERT_TRUE(session.WaitForDialog("Enregistrer", dialog));
    ASSERT_TRUE(user.ReplaceLine("dessin.lumbra"));
    ASSERT_TRUE(user.Key(XK_Return));
    ASSERT_TRUE(session.WaitForMainAlone(main, palette));
    ASSERT_TRUE(XWaitUntil(peer,
                           [&] {
                               return Exists(saved) &&
                                      user.Name(main).find("dessin.lumbra") != std::string::npos;
                           }))
        << "title \"" << user.Name(main) << "\"";

    // ---- A new page, then the file opened again: the rectangle is back.
    ASSERT_TRUE(session.FileMenu(0));
    ASSERT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(cx, cy)); }))
        << "\"Nouveau\" kept the drawing; shown: " << user.MappedNames(before);
    EXPECT_EQ(user.Name(main).find("dessin.lumbra"), std::string::npos);
    ASSERT_TRUE(session.FileMenu(1));
    ASSERT_TRUE(session.WaitForDialog("Ouvrir", dialog));
    ASSERT_TRUE(user.ReplaceLine("dessin.lumbra"));
    ASSERT_TRUE(user.Key(XK_Return));
    ASSERT_TRUE(session.WaitForMainAlone(main, palette));
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return user.Pixel(cx, cy) == chosen &&
               user.Name(main).find("dessin.lumbra") != std::string::npos;
    })) << "the reopened file does not show the rectangle in its new fill";

    // ---- Export: "Exporter...", the format "PNG 16 milllions" (the 13th
    // of the list), the name "image", then the dialog's "Exporter".
    ASSERT_TRUE(session.FileMenu(5));
    ASSERT_TRUE(session.WaitForDialog("Exporter", dialog));
    user.Origin(dialog, wx, wy, ww, wh);
    const int border = (ww - kExportW) / 2;
    const int ex = wx + border, ey = wy + wh - kExportH - border;
    // The list at (182, 60), 167 x 72: lines of 16 pixels below a margin of
    // 4, the scroll bar in its last 17 columns.
    const int list_x = ex + 182 + 4, list_w = 167 - 17 - 8, lines_y = ey + 60 + 4;
    const int down_x = ex + 182 + 167 - 9, down_y = ey + 60 + 72 - 8;
    // The list's view once painted and at rest (mostly white, with text)
    // and no longer the view `other`.
    auto view = [&](const Shot& other, Shot& out) {
        Shot last;
        return XWaitUntil(peer, [&] {
            const Shot now = user.Look(list_x, lines_y, list_w, 64);
            const size_t white =
                size_t(std::count_if(now.pixels.begin(), now.pixels.end(), IsWhite));
            const bool ready = now == last && !(now == other) && white > now.pixels.size() / 2 &&
                               std::any_of(now.pixels.begin(), now.pixels.end(), IsDark);
            last = now;
            out = now;
            return ready;
        });
    };
    // Line i of a view, its rows clear of the lines' edges.
    auto line = [&](const Shot& s, int i) {
        return std::vector<Rgb>(s.pixels.begin() + (i * 16 + 2) * list_w,
                                s.pixels.begin() + (i * 16 + 14) * list_w);
    };
    // The first opening shows the list from its top; as it scrolls, where
    // it went is read from a line already seen (a click of the arrow moves
    // it a line or two, more while the arrow repeats).
    const int wanted = 12;
    std::vector<std::vector<Rgb>> seen(17);
    Shot shown;
    ASSERT_TRUE(view(Shot(), shown)) << "the format list is not shown";
    int first = 0;
    for (int i = 0; i < 4; ++i)
        seen[size_t(i)] = line(shown, i);
    while (wanted > first + 3) {
        user.Click(down_x, down_y);
        Shot now;
        ASSERT_TRUE(view(shown, now)) << "the format list does not scroll from line " << first;
        int found = -1;
        for (int i = 0; i < 4 && found < 0; ++i)
            for (int j = 0; j < 17 && found < 0; ++j)
                if (!seen[size_t(j)].empty() && seen[size_t(j)] == line(now, i))
                    found = j - i;
        ASSERT_GT(found, first) << "the format list jumped beyond the lines seen";
        first = found;
        for (int i = 0; i < 4 && first + i < 17; ++i)
            seen[size_t(first + i)] = line(now, i);
        shown = now;
    }
    {
        const int y = lines_y + (wanted - first) * 16 + 8;
        ASSERT_TRUE(user.PressUntilChanged(list_x + list_w / 2, y, list_w, 16))
            << "the format was not chosen";
    }
    // The name, typed in its line, and Return for the dialog's "Exporter".
    user.Click(ex + 6 + 172, ey + 30 + 12);
    ASSERT_TRUE(user.ReplaceLine("image"));
    ASSERT_TRUE(user.Key(XK_Return));
    const std::string image = folders.work + "/image.png";
    ASSERT_TRUE(XWaitUntil(peer, [&] { return !user.Mapped(dialog) && Exists(image); }))
        << "no image; shown: " << user.MappedNames(before);
    ASSERT_TRUE(session.WaitForMainAlone(main, palette));

    // ---- The image: 24-bit colour, the rectangle on a white page ...
    const Png png = ReadPng(image);
    ASSERT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
    ASSERT_EQ(png.bit_depth, 8);
    ASSERT_EQ(png.bytes.size(), size_t(png.w) * png.h * 3);
    size_t painted = 0, new_fill = 0, old_fill = 0;
    for (size_t i = 0; i < png.bytes.size(); i += 3) {
        const Rgb p{png.bytes[i], png.bytes[i + 1], png.bytes[i + 2]};
        painted += !IsWhite(p);
        new_fill += ShownAs(p, chosen);
        old_fill += ShownAs(p, drawn);
    }
    const size_t all = size_t(png.w) * png.h;
    EXPECT_GT(painted, all / 50) << "the rectangle is missing from the image";
    EXPECT_LT(painted, all / 2);
    // ... filled with the colour chosen, none of the first fill left.
    EXPECT_GT(new_fill, painted * 3 / 4);
    EXPECT_EQ(old_fill, 0u);
    EXPECT_EQ(png.bytes[0] & png.bytes[1] & png.bytes[2], 0xFF);

    // ... and, pixel for pixel, what gs renders from the PostScript sent,
    // on the device, size, resolution and alpha bits the export used.
    std::ifstream capture(folders.capture, std::ios::binary);
    std::string header;
    ASSERT_TRUE(std::getline(capture, header)) << "nothing captured";
    char device[64] = "", resolution[64] = "";
    unsigned w = 0, h = 0;
    int alpha = 0;
    ASSERT_EQ(std::sscanf(header.c_str(),
                          "%% render device %63s size %u %u resolution %63s alpha %d", device, &w,
                          &h, resolution, &alpha),
              5)
        << header;
    EXPECT_STREQ(device, "png16m");
    EXPECT_EQ(w, png.w);
    EXPECT_EQ(h, png.h);
    // "Super", the dialog's first anti-aliasing.
    EXPECT_EQ(alpha, 4);
    std::stringstream page;
    page << capture.rdbuf();
    EXPECT_NE(page.str().find("showpage"), std::string::npos);
    ASSERT_EQ(RunCommand(
                  {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=" + std::string(device),
                   "-g" + std::to_string(w) + "x" + std::to_string(h),
                   "-r" + std::string(resolution), "-dTextAlphaBits=" + std::to_string(alpha),
                   "-dGraphicsAlphaBits=" + std::to_string(alpha),
                   "-sOutputFile=" + folders.reference, folders.capture}),
              0);
    const Png reference = ReadPng(folders.reference);
    ASSERT_EQ(reference.w, png.w);
    ASSERT_EQ(reference.h, png.h);
    ASSERT_EQ(reference.colour_type, png.colour_type);
    size_t differing = 0;
    for (size_t i = 0; i < png.bytes.size(); i += 3)
        differing += !std::equal(png.bytes.begin() + long(i), png.bytes.begin() + long(i) + 3,
                                 reference.bytes.begin() + long(i));
    EXPECT_EQ(differing, 0u) << "pixels that differ from gs's rendering";

    // ---- Quit from the menu: status 0, nothing left behind.
    ASSERT_TRUE(session.FileMenu(6));
    EXPECT_EQ(program.Wait(), 0) << "shown: " << user.MappedNames(before);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return user.TopWindows() == before; }))
        << "windows left: " << user.TopWindows().size() - before.size();
    EXPECT_EQ(ProcessesIn(folders.work), std::vector<std::string>{});
    EXPECT_EQ(Entries(folders.work), (std::vector<std::string>{"dessin.lumbra", "image.png"}));
    EXPECT_EQ(Entries(folders.temp), std::vector<std::string>{});
    // The command pipe's folder may stay, empty.
    for (const std::string& entry : Entries(folders.runtime))
        EXPECT_EQ(Entries(folders.runtime + "/" + entry), std::vector<std::string>{}) << entry;
    XCloseDisplay(peer);
}

// A row of a menu chosen with the pointer leaves the keys with the page:
// of two rectangles drawn, "Edition > Annuler" takes the second away, and
// control-Z, pressed next with no click on the page, the first.
TEST(LumbraRoundTrip, ControlZAfterAMenuCommandStillUndoesOnThePage)
{
    ZUVI_REQUIRE_XVFB();
    Folders folders;
    ASSERT_TRUE(folders.ok) << "cannot make the run's folders";
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    struct Closer {
        Display* display;
        ~Closer() { XCloseDisplay(display); }
    } closer{peer};
    User user(peer);
    const std::set<Window> before = user.TopWindows();
    Session session(user, before);
    XProgram program(ZUVI_LUMBRA, folders.work.c_str(),
                     {"TMPDIR=" + folders.temp, "XDG_RUNTIME_DIR=" + folders.runtime});
    ASSERT_GT(program.pid, 0);
    Window palette = 0;
    ASSERT_TRUE(session.WaitForWindows(palette)) << "shown: " << user.MappedNames(before);
    const Window main = session.main;

    // The rectangle tool, as the first test takes it.
    const int row_y = kPaletteY + 1 + 23 + 8 + 11;
    const int line_x = kPaletteX + 1 + 11, rect_x = kPaletteX + 1 + 2 * 23 + 11;
    ASSERT_TRUE(XWaitUntil(peer, [&] { return LooksPressed(user, line_x - 8, row_y - 8); }))
        << "the palette does not show \"Droite\" chosen";
    user.Click(rect_x, row_y);
    ASSERT_TRUE(XWaitUntil(peer, [&] { return LooksPressed(user, rect_x - 8, row_y - 8); }))
        << "the rectangle tool was not taken";

    // Two rectangles dragged out on the page, one above the other.
    struct Drawn {
        int ax, ay, bx, by;
        int cx() const { return (ax + bx) / 2; }
        int cy() const { return (ay + by) / 2; }
    };
    const Drawn first{160, 150, 260, 260}, second{160, 300, 260, 410};
    for (const Drawn& r : {first, second}) {
        ASSERT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(r.cx(), r.cy())); }));
        user.MoveTo(r.ax, r.ay);
        user.Button(true);
        for (int step = 1; step <= 8; ++step) {
            XProgramPause();
            user.MoveTo(r.ax + (r.bx - r.ax) * step / 8, r.ay + (r.by - r.ay) * step / 8);
        }
        XProgramPause();
        user.Button(false);
        ASSERT_TRUE(XWaitUntil(peer, [&] { return !IsWhite(user.Pixel(r.cx(), r.cy())); }))
            << "no rectangle drawn";
    }
    ASSERT_TRUE(XWaitUntil(peer, [&] { return user.HasFocus(main); }));

    ASSERT_TRUE(session.EditionFirstRow());
    ASSERT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(second.cx(), second.cy())); }))
        << "\"Annuler\" did not take the second rectangle away";
    EXPECT_FALSE(IsWhite(user.Pixel(first.cx(), first.cy())));
    ASSERT_TRUE(user.ControlKey(XK_z));
    EXPECT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(first.cx(), first.cy())); }))
        << "control-Z after the menu did not undo the first rectangle";
}

// The first line of text of the first layer of the first page of a saved
// document, read back as the program reads it; "<none>" when there is none.
std::string SavedLineText(const std::string& name)
{
    ZuviStartRuntime();
    std::string out = "<none>";
    {
        CDocumentRef doc = CDocument::ReadFile(ZuStringRef(name.c_str()));
        if (doc.IsValid()) {
            CTreeNodeRef layer;
            doc->GetTree()->GetNode(layer, 0, 0);
            for (CTreeNodeRef n = layer.IsValid() ? layer->RetFirstChild() : CTreeNodeRef();
                 n.IsValid() && out == "<none>"; n = n->RetNext()) {
                CGraLineTextRef line(n->RetObject());
                if (line.IsValid() && line->RetText().IsValid())
                    out = line->RetText()->AccessLatin();
            }
            doc->Delete();
        }
    }
    ZuviStopRuntime();
    return out;
}

TEST(LumbraRoundTrip, AccentedTextTypedOnThePageIsShownSavedAndReadBack)
{
    ZUVI_REQUIRE_XVFB();
    Folders folders;
    ASSERT_TRUE(folders.ok) << "cannot make the run's folders";
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    // Closed last: the keys given to spare keycodes are taken back first.
    struct Closer {
        Display* display;
        ~Closer() { XCloseDisplay(display); }
    } closer{peer};
    User user(peer);
    const std::set<Window> before = user.TopWindows();
    Session session(user, before);
    XKeys keys(peer);
    // The French layout's key of "é" and "2" (and "@" with AltGr), and keys
    // for the keysyms the server's layout lacks, given before the program
    // reads the layout.
    const KeyCode french = keys.Give(XK_eacute, XK_2, XK_at);
    ASSERT_NE(french, 0);
    for (KeySym sym : {XK_Eacute, XK_Multi_key, XK_dead_diaeresis, XK_EuroSign}) {
        if (XKeysymToKeycode(peer, sym) == 0) {
            ASSERT_NE(keys.Give(sym), 0);
        }
    }
    XProgram program(ZUVI_LUMBRA, folders.work.c_str(),
                     {"TMPDIR=" + folders.temp, "XDG_RUNTIME_DIR=" + folders.runtime});
    ASSERT_GT(program.pid, 0);
    Window palette = 0;
    ASSERT_TRUE(session.WaitForWindows(palette)) << "shown: " << user.MappedNames(before);
    const Window main = session.main;

    // The line-of-text tool: the drawing tools' third row, second button,
    // clicked once the palette shows "Droite" chosen, and taken before the
    // pointer moves on (the program reads the pointer's place when it
    // handles the press).
    const int first_row_y = kPaletteY + 1 + 23 + 8 + 11, line_x = kPaletteX + 1 + 11;
    const int text_x = kPaletteX + 1 + 23 + 11, text_y = first_row_y + 2 * 23;
    ASSERT_TRUE(XWaitUntil(peer, [&] { return LooksPressed(user, line_x - 8, first_row_y - 8); }))
        << "the palette does not show \"Droite\" chosen";
    user.Click(text_x, text_y);
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return LooksPressed(user, text_x - 8, text_y - 8) &&
               !LooksPressed(user, line_x - 8, first_row_y - 8);
    })) << "the line-of-text tool was not taken";

    // A click on the page starts the line; the page then has the keys.
    const int ax = 300, ay = 300;
    ASSERT_TRUE(XWaitUntil(peer, [&] { return IsWhite(user.Pixel(ax + 40, ay - 5)); }));
    user.Click(ax, ay);
    ASSERT_TRUE(XWaitUntil(peer, [&] { return user.HasFocus(main); }));
    const Shot blank = user.Look(ax - 10, ay - 40, 300, 60);

    ASSERT_TRUE(keys.TypeFrenchSample(french));
    // The page shows text where it was blank, and comes to rest.
    Shot shown;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        const Shot now = user.Look(ax - 10, ay - 40, 300, 60);
        const bool rest = now == shown && !(now == blank);
        shown = now;
        return rest;
    })) << "no text on the page";

    // Saved under a typed name: the file holds the ISO 8859-1 text, and
    // reading it back gives the line of text with it.
    const std::string wanted = "\xC9t\xE9 \xE0 No\xEBl@";
    const std::string saved = folders.work + "/noel.lumbra";
    Window dialog = 0;
    ASSERT_TRUE(session.FileMenu(2));
    ASSERT_TRUE(session.WaitForDialog("Enregistrer", dialog));
    ASSERT_TRUE(user.ReplaceLine("noel.lumbra"));
    ASSERT_TRUE(user.Key(XK_Return));
    ASSERT_TRUE(session.WaitForMainAlone(main, palette));
    ASSERT_TRUE(XWaitUntil(peer, [&] { return Exists(saved); }));
    std::ifstream file(saved, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(wanted), std::string::npos);
    EXPECT_EQ(SavedLineText(saved), wanted);

    ASSERT_TRUE(session.FileMenu(6));
    EXPECT_EQ(program.Wait(), 0) << "shown: " << user.MappedNames(before);
}

} // namespace
