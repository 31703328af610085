// The X11 window backend: one undecorated top-level window for each window,
// pixels put with XPutImage (through shared memory when the server offers
// it), cursors through Xcursor, the clipboard as the CLIPBOARD selection.
// The class name and the window words are properties of each window, so that
// other programs of the library find its windows.
#include "w32/x11.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <mutex>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

#include "w32/backend.h"
#include "w32/cursor.h"

namespace {

int IgnoreErrors(Display*, XErrorEvent*)
{
    // Requests on windows that went away, focus on windows not yet viewable:
    // nothing of it may stop the program.
    return 0;
}

// Evdev codes whose set-1 scan code has the E0 prefix, with that code.
struct Extended {
    unsigned evdev;
    unsigned scan;
};
const Extended kExtended[] = {
    {96, 0x1C},  {97, 0x1D},  {98, 0x35},  {99, 0x37},  {100, 0x38}, {102, 0x47},
    {103, 0x48}, {104, 0x49}, {105, 0x4B}, {106, 0x4D}, {107, 0x4F}, {108, 0x50},
    {109, 0x51}, {110, 0x52}, {111, 0x53}, {125, 0x5B}, {126, 0x5C}, {127, 0x5D},
};

void ScanOf(unsigned keycode, unsigned& scan, bool& extended)
{
    unsigned code = keycode >= 8 ? keycode - 8 : 0;
    extended = false;
    for (const Extended& e : kExtended)
        if (e.evdev == code) {
            scan = e.scan;
            extended = true;
            return;
        }
    scan = code < 0x80 ? code : 0;
}

unsigned KeycodeOf(unsigned scan, bool extended)
{
    if (extended) {
        for (const Extended& e : kExtended)
            if (e.scan == scan)
                return e.evdev + 8;
        return 0;
    }
    return scan + 8;
}

struct KeyMap {
    KeySym sym;
    UINT vk;
};
const KeyMap kKeys[] = {
    {XK_BackSpace, 8},
    {XK_Tab, 9},
    {XK_ISO_Left_Tab, 9},
    {XK_Clear, 12},
    {XK_Return, 13},
    {XK_KP_Enter, 13},
    {XK_Pause, 19},
    {XK_Escape, 27},
    {XK_space, 32},
    {XK_Prior, 33},
    {XK_Next, 34},
    {XK_End, 35},
    {XK_Home, 36},
    {XK_Left, 37},
    {XK_Up, 38},
    {XK_Right, 39},
    {XK_Down, 40},
    {XK_Select, 41},
    {XK_Execute, 43},
    {XK_Print, 44},
    {XK_Insert, 45},
    {XK_Delete, 46},
    {XK_Help, 47},
    {XK_KP_Multiply, 106},
    {XK_KP_Add, 107},
    {XK_KP_Separator, 108},
    {XK_KP_Subtract, 109},
    {XK_KP_Decimal, 110},
    {XK_KP_Divide, 111},
    {XK_Num_Lock, 144},
    {XK_Scroll_Lock, 145},
    {XK_Shift_L, 16},
    {XK_Shift_R, 16},
    {XK_Control_L, 17},
    {XK_Control_R, 17},
    {XK_Alt_L, 18},
    {XK_Alt_R, 18},
    {XK_Meta_L, 18},
    {XK_Meta_R, 18},
    {XK_Caps_Lock, 20},
    {XK_KP_Home, 36},
    {XK_KP_Up, 38},
    {XK_KP_Page_Up, 33},
    {XK_KP_Left, 37},
    {XK_KP_Begin, 12},
    {XK_KP_Right, 39},
    {XK_KP_End, 35},
    {XK_KP_Down, 40},
    {XK_KP_Page_Down, 34},
    {XK_KP_Insert, 45},
    {XK_KP_Delete, 46},
    {XK_semicolon, 0xBA},
    {XK_equal, 0xBB},
    {XK_comma, 0xBC},
    {XK_minus, 0xBD},
    {XK_period, 0xBE},
    {XK_slash, 0xBF},
    {XK_grave, 0xC0},
    {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_apostrophe, 0xDE},
    {XK_less, 0xE2},
};

// The ISO 8859-1 character of a keysym; 0 for one that names no printing
// character of that set (the set's keysyms are its codes, others carry
// their Unicode value above 0x1000000).
int Latin1OfKeysym(KeySym sym)
{
    unsigned long code = sym >= 0x1000000ul && sym <= 0x10000FFul ? sym - 0x1000000ul : sym;
    return (code >= 0x20 && code <= 0x7E) || (code >= 0xA0 && code <= 0xFF) ? int(code) : 0;
}

// The character of one UTF-8 encoded character when ISO 8859-1 has it; 0 for
// anything else (several characters, one beyond the set).
int Latin1OfUtf8(const char* text, int n)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(text);
    if (n == 1 && u[0] < 0x80)
        return u[0];
    if (n == 2 && (u[0] & 0xE0) == 0xC0 && (u[1] & 0xC0) == 0x80) {
        int code = ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
        return code >= 0xA0 && code <= 0xFF ? code : 0;
    }
    return 0;
}

UINT VirtualKeyOf(KeySym sym)
{
    if (sym >= XK_a && sym <= XK_z)
        return UINT('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z)
        return UINT(sym);
    if (sym >= XK_0 && sym <= XK_9)
        return UINT(sym);
    if (sym >= XK_KP_0 && sym <= XK_KP_9)
        return UINT(VK_NUMPAD0 + (sym - XK_KP_0));
    if (sym >= XK_F1 && sym <= XK_F24)
        return UINT(VK_F1 + (sym - XK_F1));
    for (const KeyMap& k : kKeys)
        if (k.sym == sym)
            return k.vk;
    return 0;
}

class X11;
X11* g_x11 = nullptr;

class X11 : public W32_Backend {
public:
    explicit X11(Display* d) : dpy(d)
    {
        screen = DefaultScreen(dpy);
        root = RootWindow(dpy, screen);
        XVisualInfo want;
        want.screen = screen;
        want.c_class = TrueColor;
        int n = 0;
        XVisualInfo* found = XGetVisualInfo(dpy, VisualScreenMask | VisualClassMask, &want, &n);
        // The default visual when it is true colour, else the first one.
        visual = DefaultVisual(dpy, screen);
        depth = DefaultDepth(dpy, screen);
        if (visual->c_class != TrueColor && found != nullptr && n > 0) {
            visual = found[0].visual;
            depth = found[0].depth;
        }
        if (found != nullptr)
            XFree(found);
        colormap = XCreateColormap(dpy, root, visual, AllocNone);
        for (int i = 0; i < 3; ++i) {
            unsigned long mask = i == 0   ? visual->red_mask
                                 : i == 1 ? visual->green_mask
                                          : visual->blue_mask;
            shift[i] = 0;
            bits[i] = 0;
            while (mask != 0 && !((mask >> shift[i]) & 1))
                ++shift[i];
            while (((mask >> (shift[i] + bits[i])) & 1))
                ++bits[i];
        }
        const char* names[] = {"WM_PROTOCOLS",
                               "WM_DELETE_WINDOW",
                               "_MOTIF_WM_HINTS",
                               "_NET_WM_WINDOW_TYPE",
                               "_NET_WM_WINDOW_TYPE_UTILITY",
                               "_NET_WM_WINDOW_TYPE_NORMAL",
                               "_NET_WM_STATE",
                               "_NET_WM_STATE_ABOVE",
                               "_NET_WM_STATE_SKIP_TASKBAR",
                               W32_X11_CLASS_PROPERTY,
                               W32_X11_WORDS_PROPERTY,
                               "CLIPBOARD",
                               "TARGETS",
                               "UTF8_STRING",
                               "_ZUVI_SELECTION",
                               "WM_STATE"};
        XInternAtoms(dpy, const_cast<char**>(names), int(sizeof names / sizeof names[0]), False,
                     atoms);
        Bool supported = False;
        XkbSetDetectableAutoRepeat(dpy, True, &supported);
        XSetWindowAttributes a;
        std::memset(&a, 0, sizeof a);
        a.event_mask = PropertyChangeMask;
        clip_window = XCreateWindow(dpy, root, -10, -10, 1, 1, 0, 0, InputOnly, CopyFromParent,
                                    CWEventMask, &a);
        int major, minor;
        Bool pixmaps;
        shm = XShmQueryVersion(dpy, &major, &minor, &pixmaps) &&
              std::getenv("ZUVI_X11_NO_SHM") == nullptr;
        // A GC of the windows' depth (the selection window takes no drawing).
        Pixmap probe = XCreatePixmap(dpy, root, 1, 1, unsigned(depth));
        gc = XCreateGC(dpy, probe, 0, nullptr);
        XFreePixmap(dpy, probe);
        OpenInputMethod();
    }

    enum {
        A_PROTOCOLS,
        A_DELETE,
        A_MOTIF,
        A_TYPE,
        A_TYPE_UTILITY,
        A_TYPE_NORMAL,
        A_STATE,
        A_STATE_ABOVE,
        A_STATE_SKIP_TASKBAR,
        A_CLASS,
        A_WORDS,
        A_CLIPBOARD,
        A_TARGETS,
        A_UTF8,
        A_SELECTION,
        A_WM_STATE,
        A_COUNT
    };

    const char* Name() const override { return "x11"; }
    void ScreenSize(int& w, int& h) override
    {
        w = DisplayWidth(dpy, screen);
        h = DisplayHeight(dpy, screen);
    }

    bool Create(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XSetWindowAttributes a;
        std::memset(&a, 0, sizeof a);
        a.background_pixmap = None;
        a.border_pixel = 0;
        a.colormap = colormap;
        a.event_mask = ExposureMask | StructureNotifyMask | FocusChangeMask | KeyPressMask |
                       KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       LeaveWindowMask | PropertyChangeMask;
        int width = std::max<int>(1, w->rect.right - w->rect.left);
        int height = std::max<int>(1, w->rect.bottom - w->rect.top);
        Window win = XCreateWindow(dpy, root, w->rect.left, w->rect.top, unsigned(width),
                                   unsigned(height), 0, depth, InputOutput, visual,
                                   CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &a);
        if (win == 0)
            return false;
        w->native = win;
        // No decorations: the library draws its own frame.
        long motif[5] = {2, 0, 0, 0, 0};
        XChangeProperty(dpy, win, atoms[A_MOTIF], atoms[A_MOTIF], 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(motif), 5);
        Atom del = atoms[A_DELETE];
        XSetWMProtocols(dpy, win, &del, 1);
        XSizeHints* hints = XAllocSizeHints();
        hints->flags = USPosition | USSize;
        hints->x = w->rect.left;
        hints->y = w->rect.top;
        hints->width = width;
        hints->height = height;
        XSetWMNormalHints(dpy, win, hints);
        XFree(hints);
        SetInitialState(win, NormalState);
        Atom type = (w->ex_style & WS_EX_TOOLWINDOW) ? atoms[A_TYPE_UTILITY] : atoms[A_TYPE_NORMAL];
        XChangeProperty(dpy, win, atoms[A_TYPE], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
        if (W32_Window* owner = W32_WindowOf(w->owner))
            XSetTransientForHint(dpy, win, Window(owner->native));
        XChangeProperty(dpy, win, atoms[A_CLASS], XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(w->class_name.c_str()),
                        int(w->class_name.size()));
        XClassHint cls;
        std::string res_name = "lumbra";
        std::string res_class = "Zuvi";
        cls.res_name = &res_name[0];
        cls.res_class = &res_class[0];
        XSetClassHint(dpy, win, &cls);
        WriteWords(w);
        XStoreName(dpy, win, w->text.c_str());
        if (current_cursor != 0)
            XDefineCursor(dpy, win, current_cursor);
        if (im != nullptr) {
            XIC ic = XCreateIC(im, XNInputStyle, im_style, XNClientWindow, win, XNFocusWindow, win,
                               nullptr);
            if (ic != nullptr) {
                long wanted = 0;
                if (XGetICValues(ic, XNFilterEvents, &wanted, nullptr) == nullptr &&
                    (wanted & ~a.event_mask) != 0)
                    XSelectInput(dpy, win, a.event_mask | wanted);
                contexts[win] = ic;
            }
        }
        XFlush(dpy);
        return true;
    }

    void Destroy(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        icons.erase(Window(w->native));
        auto context = contexts.find(Window(w->native));
        if (context != contexts.end()) {
            if (focused_context == context->second)
                focused_context = nullptr;
            XDestroyIC(context->second);
            contexts.erase(context);
        }
        if (w->native != 0)
            XDestroyWindow(dpy, Window(w->native));
        XFlush(dpy);
    }

    void Show(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Window win = Window(w->native);
        if (w->visible && !w->minimized) {
            std::vector<Atom> state;
            if (w->topmost)
                state.push_back(atoms[A_STATE_ABOVE]);
            if (w->ex_style & WS_EX_TOOLWINDOW)
                state.push_back(atoms[A_STATE_SKIP_TASKBAR]);
            XChangeProperty(dpy, win, atoms[A_STATE], XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(state.data()), int(state.size()));
            // Mapping a window the manager keeps as an icon brings it back.
            SetInitialState(win, NormalState);
            XMapWindow(dpy, win);
            icons.erase(win);
        } else if (w->visible && w->minimized) {
            // Asked once: a manager takes a second map of its icon for the
            // user's wish to have the window back.
            if (icons.insert(win).second) {
                // A mapped window is asked to become an icon; one not mapped
                // (never shown, or hidden) is handed to the manager as one.
                XWindowAttributes a;
                if (XGetWindowAttributes(dpy, win, &a) && a.map_state != IsUnmapped) {
                    XIconifyWindow(dpy, win, screen);
                } else {
                    SetInitialState(win, IconicState);
                    XMapWindow(dpy, win);
                }
            }
        } else {
            // Withdrawn, so that the manager lets go of an icon too.
            XWithdrawWindow(dpy, win, screen);
            icons.erase(win);
        }
        XFlush(dpy);
    }

    void Geometry(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XMoveResizeWindow(dpy, Window(w->native), w->rect.left, w->rect.top,
                          unsigned(std::max<int>(1, w->rect.right - w->rect.left)),
                          unsigned(std::max<int>(1, w->rect.bottom - w->rect.top)));
        XFlush(dpy);
    }

    void Title(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XStoreName(dpy, Window(w->native), w->text.c_str());
        XFlush(dpy);
    }

    void Words(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        WriteWords(w);
        XFlush(dpy);
    }

    void Restack(const std::vector<W32_Window*>& top_first) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        std::vector<Window> list;
        for (W32_Window* w : top_first)
            list.push_back(Window(w->native));
        if (!list.empty())
            XRestackWindows(dpy, list.data(), int(list.size()));
        XFlush(dpy);
    }

    void Focus(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, Window(w->native), &a) && a.map_state == IsViewable) {
            focus_serial = NextRequest(dpy);
            XSetInputFocus(dpy, Window(w->native), RevertToParent, CurrentTime);
        }
        XFlush(dpy);
    }

    // A window manager is one that redirects the root window's children
    // (it chooses where and whether they are shown); only then is there an
    // icon to minimise to, and a way back.
    bool CanMinimize() override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XWindowAttributes a;
        return XGetWindowAttributes(dpy, root, &a) &&
               (a.all_event_masks & SubstructureRedirectMask) != 0;
    }

    void Put(W32_Window* w, int x, int y, int width, int height, const uint32_t* pixels, int stride,
             const RECT& clip) override
    {
        // Cut to the clip rectangle first: only those pixels travel.
        int x0 = std::max<int>(x, clip.left), y0 = std::max<int>(y, clip.top);
        int x1 = std::min<int>(x + width, clip.right), y1 = std::min<int>(y + height, clip.bottom);
        if (x1 <= x0 || y1 <= y0)
            return;
        int cw = x1 - x0, ch = y1 - y0;
        std::lock_guard<std::recursive_mutex> guard(lock);
        XImage* image = nullptr;
        XShmSegmentInfo info;
        bool shared = false;
        if (shm && size_t(cw) * size_t(ch) >= 4096) {
            image = XShmCreateImage(dpy, visual, unsigned(depth), ZPixmap, nullptr, &info,
                                    unsigned(cw), unsigned(ch));
            if (image != nullptr) {
                info.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(ch),
                                    IPC_CREAT | 0600);
                info.shmaddr =
                    info.shmid >= 0 ? static_cast<char*>(shmat(info.shmid, nullptr, 0)) : nullptr;
                if (info.shmaddr == reinterpret_cast<char*>(-1) || info.shmaddr == nullptr) {
                    if (info.shmid >= 0)
                        shmctl(info.shmid, IPC_RMID, nullptr);
                    XDestroyImage(image);
                    image = nullptr;
                } else {
                    image->data = info.shmaddr;
                    info.readOnly = False;
                    shared = XShmAttach(dpy, &info) != 0;
                    if (!shared) {
                        shmdt(info.shmaddr);
                        shmctl(info.shmid, IPC_RMID, nullptr);
                        image->data = nullptr;
                        XDestroyImage(image);
                        image = nullptr;
                    }
                }
            }
        }
        if (image == nullptr) {
            image = XCreateImage(dpy, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(cw),
                                 unsigned(ch), 32, 0);
            if (image == nullptr)
                return;
            image->data =
                static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * size_t(ch)));
            if (image->data == nullptr) {
                XDestroyImage(image);
                return;
            }
        }
        // The usual true-colour layout takes the words as they are.
        bool plain = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                     visual->red_mask == 0xFF0000 && visual->green_mask == 0x00FF00 &&
                     visual->blue_mask == 0x0000FF;
        for (int j = 0; j < ch; ++j) {
            const uint32_t* row = pixels + size_t(y0 - y + j) * size_t(stride) + size_t(x0 - x);
            if (plain) {
                std::memcpy(image->data + size_t(j) * size_t(image->bytes_per_line), row,
                            size_t(cw) * 4);
                continue;
            }
            for (int i = 0; i < cw; ++i) {
                uint32_t p = row[i];
                unsigned long v = Channel((p >> 16) & 0xFF, 0) | Channel((p >> 8) & 0xFF, 1) |
                                  Channel(p & 0xFF, 2);
                XPutPixel(image, i, j, v);
            }
        }
        if (shared) {
            XShmPutImage(dpy, Window(w->native), gc, image, 0, 0, x0, y0, unsigned(cw),
                         unsigned(ch), False);
            XSync(dpy, False);
            XShmDetach(dpy, &info);
            XSync(dpy, False);
            shmdt(info.shmaddr);
            shmctl(info.shmid, IPC_RMID, nullptr);
            image->data = nullptr;
        } else {
            XPutImage(dpy, Window(w->native), gc, image, 0, 0, x0, y0, unsigned(cw), unsigned(ch));
            XFlush(dpy);
        }
        XDestroyImage(image);
    }

    void ShowCursor(W32_Cursor* c) override
    {
        std::vector<W32_Window*> windows = W32_OwnWindows();
        std::lock_guard<std::recursive_mutex> guard(lock);
        Cursor cursor = 0;
        if (c != nullptr) {
            if (c->native == 0) {
                XcursorImage* image = XcursorImageCreate(c->width, c->height);
                if (image != nullptr) {
                    image->xhot = unsigned(c->x_hot);
                    image->yhot = unsigned(c->y_hot);
                    for (int y = 0; y < c->height; ++y)
                        for (int x = 0; x < c->width; ++x)
                            image->pixels[size_t(y) * size_t(c->width) + size_t(x)] =
                                W32_CursorPixel(c, x, y);
                    c->native = XcursorImageLoadCursor(dpy, image);
                    XcursorImageDestroy(image);
                }
            }
            cursor = Cursor(c->native);
        }
        current_cursor = cursor;
        for (W32_Window* w : windows) {
            if (cursor != 0)
                XDefineCursor(dpy, Window(w->native), cursor);
            else
                XUndefineCursor(dpy, Window(w->native));
        }
        XFlush(dpy);
    }

    void ForgetCursor(W32_Cursor* c) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        if (c->native != 0) {
            if (current_cursor == Cursor(c->native))
                current_cursor = 0;
            XFreeCursor(dpy, Cursor(c->native));
            c->native = 0;
            XFlush(dpy);
        }
    }

    void Grab(W32_Window* w) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        if (w != nullptr)
            XGrabPointer(dpy, Window(w->native), False,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime);
        else
            XUngrabPointer(dpy, CurrentTime);
        XFlush(dpy);
    }

    bool CursorPos(POINT& p) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Window r, child;
        int rx, ry, wx, wy;
        unsigned mask;
        if (!XQueryPointer(dpy, root, &r, &child, &rx, &ry, &wx, &wy, &mask))
            return false;
        p = POINT{rx, ry};
        return true;
    }

    void MoveCursor(int x, int y) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XWarpPointer(dpy, None, root, 0, 0, 0, 0, x, y);
        XFlush(dpy);
    }

    int Descriptor() override { return ConnectionNumber(dpy); }

    bool Pump() override
    {
        bool any = false;
        for (;;) {
            XEvent e;
            {
                std::lock_guard<std::recursive_mutex> guard(lock);
                XFlush(dpy);
                if (XPending(dpy) == 0)
                    return any;
                XNextEvent(dpy, &e);
                any = true;
                if (Filtered(e))
                    continue;
            }
            Handle(e);
        }
    }

    // The common part's lock is never taken while this backend's is held:
    // windows are looked up after the server was asked.
    void TopLevel(std::vector<HWND>& out) override
    {
        std::vector<Window> found;
        {
            std::lock_guard<std::recursive_mutex> guard(lock);
            Window r, parent;
            Window* children = nullptr;
            unsigned n = 0;
            if (XQueryTree(dpy, root, &r, &parent, &children, &n)) {
                for (unsigned i = n; i-- > 0;)
                    if (children[i] != clip_window)
                        found.push_back(LibraryWindowIn(children[i]));
            }
            if (children != nullptr)
                XFree(children);
        }
        out.clear();
        for (Window w : found)
            out.push_back(W32_ForeignWindow(w));
    }

    HWND FromPoint(POINT p) override
    {
        Window w;
        {
            std::lock_guard<std::recursive_mutex> guard(lock);
            Window child = 0;
            int x, y;
            if (!XTranslateCoordinates(dpy, root, root, p.x, p.y, &x, &y, &child) || child == 0)
                return nullptr;
            w = LibraryWindowIn(child);
        }
        if (W32_Window* own = W32_FindNative(w))
            return own->visible && !own->minimized ? own : nullptr;
        return W32_ForeignWindow(w);
    }

    bool ForeignClass(W32_Window* w, std::string& out) override
    {
        std::vector<unsigned char> bytes;
        if (!ReadProperty(Window(w->native), atoms[A_CLASS], bytes))
            return false;
        out.assign(bytes.begin(), bytes.end());
        return true;
    }

    bool ForeignWords(W32_Window* w, std::vector<unsigned char>& out) override
    {
        return ReadProperty(Window(w->native), atoms[A_WORDS], out);
    }

    bool ForeignRect(W32_Window* w, RECT& out) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Window r, child;
        int x, y;
        unsigned width, height, border, d;
        if (!XGetGeometry(dpy, Window(w->native), &r, &x, &y, &width, &height, &border, &d))
            return false;
        if (!XTranslateCoordinates(dpy, Window(w->native), root, 0, 0, &x, &y, &child))
            return false;
        out = RECT{x, y, x + int(width), y + int(height)};
        return true;
    }

    void ClipboardOwned(const char* text) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        if (text == nullptr) {
            clip_text.clear();
            if (clip_owned)
                XSetSelectionOwner(dpy, atoms[A_CLIPBOARD], None, CurrentTime);
            clip_owned = false;
        } else {
            clip_text = text;
            XSetSelectionOwner(dpy, atoms[A_CLIPBOARD], clip_window, CurrentTime);
            clip_owned = XGetSelectionOwner(dpy, atoms[A_CLIPBOARD]) == clip_window;
        }
        XFlush(dpy);
    }

    bool ClipboardText(std::string& out) override
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Window owner = XGetSelectionOwner(dpy, atoms[A_CLIPBOARD]);
        if (owner == None || owner == clip_window)
            return false;
        XDeleteProperty(dpy, clip_window, atoms[A_SELECTION]);
        XConvertSelection(dpy, atoms[A_CLIPBOARD], XA_STRING, atoms[A_SELECTION], clip_window,
                          CurrentTime);
        XFlush(dpy);
        // The owner answers or not: a second is the most another program
        // may keep us waiting.
        for (int rounds = 0; rounds < 100; ++rounds) {
            XEvent e;
            if (XCheckTypedWindowEvent(dpy, clip_window, SelectionNotify, &e)) {
                if (e.xselection.property == None)
                    return false;
                std::vector<unsigned char> bytes;
                if (!ReadProperty(clip_window, atoms[A_SELECTION], bytes))
                    return false;
                out.assign(bytes.begin(), bytes.end());
                XDeleteProperty(dpy, clip_window, atoms[A_SELECTION]);
                return true;
            }
            pollfd p{ConnectionNumber(dpy), POLLIN, 0};
            ::poll(&p, 1, 10);
        }
        return false;
    }

    int CharOfKey(UINT vk, UINT scan, const BYTE* state)
    {
        // The platform's Delete key gives no character.
        if (vk == VK_DELETE)
            return 0;
        bool extended = (scan & 0x100u) != 0;
        unsigned keycode = KeycodeOf(scan & 0xFFu, extended);
        if (keycode == 0 && last_keycode != 0)
            keycode = last_keycode;
        if (keycode == 0)
            return -1;
        std::lock_guard<std::recursive_mutex> guard(lock);
        XKeyEvent k;
        std::memset(&k, 0, sizeof k);
        k.type = KeyPress;
        k.display = dpy;
        k.keycode = keycode;
        // The Ctrl that AltGr holds makes no control characters.
        const bool control = (state[VK_CONTROL] & 0x80) != 0 && !altgr_control;
        k.state = ((state[VK_SHIFT] & 0x80) ? ShiftMask : 0) | (control ? ControlMask : 0) |
                  ((state[VK_CAPITAL] & 1) ? LockMask : 0) | (num_lock_on ? Mod2Mask : 0);
        char text[8];
        KeySym sym;
        int n = XLookupString(&k, text, sizeof text, &sym, nullptr);
        return n == 1 ? int(static_cast<unsigned char>(text[0])) : 0;
    }

private:
    // Dead keys and the compose key go through an input method: the one
    // the user's XMODIFIERS names, or Xlib's own, which composes from the
    // locale's table (the C library's locale is "C": ISO 8859-1).
    void OpenInputMethod()
    {
        if (!XSupportsLocale())
            return;
        if (XSetLocaleModifiers("") != nullptr)
            im = XOpenIM(dpy, nullptr, nullptr, nullptr);
        if (im == nullptr && XSetLocaleModifiers("@im=none") != nullptr)
            im = XOpenIM(dpy, nullptr, nullptr, nullptr);
        if (im == nullptr)
            return;
        XIMStyles* styles = nullptr;
        if (XGetIMValues(im, XNQueryInputStyle, &styles, nullptr) == nullptr && styles != nullptr) {
            // No pre-edit or status area of its own: the library draws
            // every pixel of its windows.
            for (unsigned short i = 0; i < styles->count_styles; ++i) {
                XIMStyle s = styles->supported_styles[i];
                if (s == (XIMPreeditNothing | XIMStatusNothing))
                    im_style = s;
                else if (s == (XIMPreeditNone | XIMStatusNone) && im_style == 0)
                    im_style = s;
            }
        }
        if (styles != nullptr)
            XFree(styles);
        if (im_style == 0) {
            XCloseIM(im);
            im = nullptr;
        }
    }

    // Whether the input method took the event (a dead key, a key of a
    // sequence being composed). The window a key comes to has its context
    // given the keys first.
    bool Filtered(XEvent& e)
    {
        if (im == nullptr)
            return false;
        if (e.type == KeyPress || e.type == KeyRelease) {
            auto context = contexts.find(e.xkey.window);
            if (context != contexts.end() && context->second != focused_context) {
                if (focused_context != nullptr)
                    XUnsetICFocus(focused_context);
                XSetICFocus(context->second);
                focused_context = context->second;
            }
        }
        // The method may rewrite the event it takes (Xlib's own puts it
        // back as the composed character's, with keycode 0).
        const int type = e.type;
        const unsigned keycode = e.xkey.keycode & 0xFFu;
        const bool taken = XFilterEvent(&e, None) != False;
        if (type == KeyPress && keycode != 0)
            swallowed[keycode] = taken;
        return taken;
    }

    // The ISO 8859-1 character a key press gives, through the window's
    // input context when it has one (which also gives the characters it
    // composed); 0 for none or one beyond the set.
    int CharacterOf(XKeyEvent& k)
    {
        char text[64];
        KeySym sym = NoSymbol;
        auto context = contexts.find(k.window);
        if (context != contexts.end()) {
            Status status = 0;
            int n = Xutf8LookupString(context->second, &k, text, int(sizeof text), &sym, &status);
            if (status != XLookupChars && status != XLookupBoth)
                return 0;
            return Latin1OfUtf8(text, n);
        }
        int n = XLookupString(&k, text, int(sizeof text), &sym, nullptr);
        // Control characters and ASCII are the same in every locale; the
        // rest is read from the keysym, whatever the locale's encoding.
        if (n == 1 && static_cast<unsigned char>(text[0]) < 0x80)
            return static_cast<unsigned char>(text[0]);
        return Latin1OfKeysym(sym);
    }

    // The virtual key of a key event: by the key's first symbol (the
    // keypad's by what Num Lock makes of it), else by its shifted one, as
    // the digits of a French layout's top row, whose first symbols are
    // accented letters and signs.
    UINT KeyOf(XKeyEvent& k)
    {
        KeySym sym = XLookupKeysym(&k, 0);
        if (sym >= XK_KP_Space && sym <= XK_KP_9) {
            char text[8];
            XLookupString(&k, text, sizeof text, &sym, nullptr);
        }
        UINT vk = VirtualKeyOf(sym);
        if (vk == 0)
            vk = VirtualKeyOf(XLookupKeysym(&k, 1));
        return vk;
    }

    unsigned long Channel(unsigned v, int i) const
    {
        if (bits[i] == 0)
            return 0;
        unsigned long c = bits[i] >= 8 ? (unsigned long)v << (bits[i] - 8) : v >> (8 - bits[i]);
        return c << shift[i];
    }

    // The state the window starts in when it is next mapped from the
    // withdrawn state (NormalState or IconicState); the window takes the
    // keyboard focus whenever it is given it.
    void SetInitialState(Window win, int state)
    {
        XWMHints wm;
        std::memset(&wm, 0, sizeof wm);
        wm.flags = InputHint | StateHint;
        wm.input = True;
        wm.initial_state = state;
        XSetWMHints(dpy, win, &wm);
    }

    // The window's WM_STATE as its manager set it; -1 when it has none.
    long WmState(Window win)
    {
        std::vector<unsigned char> bytes;
        if (!ReadProperty(win, atoms[A_WM_STATE], bytes) || bytes.size() < sizeof(long))
            return -1;
        long state;
        std::memcpy(&state, bytes.data(), sizeof state);
        return state;
    }

    // Minimises or restores the window as its manager shows it (the
    // manager's task bar, its keys, a program mapping the window), read
    // when the window is mapped or unmapped or its WM_STATE changes. An
    // icon is a window in the iconic state and not on the screen; a window
    // comes back once it is on the screen or in the normal state (a manager
    // may map the window inside its frame while it stays an icon). A
    // window back is shown in the place and size it has now: its moves
    // while minimised were not followed.
    void FollowManager(W32_Window* w)
    {
        const Window win = Window(w->native);
        const long state = WmState(win);
        int x = 0, y = 0;
        Window child;
        XWindowAttributes a;
        bool known;
        {
            std::lock_guard<std::recursive_mutex> guard(lock);
            known = XGetWindowAttributes(dpy, win, &a) &&
                    XTranslateCoordinates(dpy, win, root, 0, 0, &x, &y, &child);
        }
        if (!known)
            return;
        const bool iconic = IsIconic(w) != FALSE;
        if (!iconic && state == IconicState && a.map_state != IsViewable) {
            {
                std::lock_guard<std::recursive_mutex> guard(lock);
                icons.insert(win);
            }
            W32_SystemMinimized(w, true);
        } else if (iconic && (state == NormalState || a.map_state == IsViewable)) {
            {
                std::lock_guard<std::recursive_mutex> guard(lock);
                icons.erase(win);
            }
            W32_SystemMinimized(w, false);
            W32_SystemGeometry(w, RECT{x, y, x + a.width, y + a.height});
        }
    }

    void WriteWords(W32_Window* w)
    {
        XChangeProperty(dpy, Window(w->native), atoms[A_WORDS], atoms[A_WORDS], 8, PropModeReplace,
                        w->words.data(), int(w->words.size()));
    }

    bool ReadProperty(Window w, Atom property, std::vector<unsigned char>& out)
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, property, 0, 65536, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) != Success ||
            type == None) {
            if (data != nullptr)
                XFree(data);
            return false;
        }
        size_t size = size_t(count) * (format == 8    ? 1
                                       : format == 16 ? sizeof(short)
                                                      : sizeof(long));
        out.assign(data, data + size);
        XFree(data);
        return true;
    }

    // The window of a library application in a top-level window: itself, or
    // the client a window manager framed.
    Window LibraryWindowIn(Window top)
    {
        std::vector<unsigned char> bytes;
        if (ReadProperty(top, atoms[A_CLASS], bytes))
            return top;
        Window r, parent;
        Window* children = nullptr;
        unsigned n = 0;
        Window found = top;
        if (XQueryTree(dpy, top, &r, &parent, &children, &n)) {
            for (unsigned i = 0; i < n; ++i)
                if (ReadProperty(children[i], atoms[A_CLASS], bytes)) {
                    found = children[i];
                    break;
                }
            if (children != nullptr)
                XFree(children);
        }
        return found;
    }

    // True when the event came from the server before it handled the
    // last focus request this program sent.
    bool BeforeOurFocus(unsigned long serial)
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        return focus_serial != 0 && long(serial - focus_serial) < 0;
    }

    unsigned Buttons(unsigned state) const
    {
        return ((state & Button1Mask) ? MK_LBUTTON : 0u) |
               ((state & Button3Mask) ? MK_RBUTTON : 0u) |
               ((state & Button2Mask) ? MK_MBUTTON : 0u);
    }

    void Handle(XEvent& e)
    {
        W32_Window* w = W32_FindNative(e.xany.window);
        switch (e.type) {
        case Expose:
            if (w != nullptr)
                W32_SystemExpose(w, RECT{e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                                         e.xexpose.y + e.xexpose.height});
            break;
        case ConfigureNotify:
            if (w != nullptr) {
                int x = e.xconfigure.x, y = e.xconfigure.y;
                Window child;
                {
                    std::lock_guard<std::recursive_mutex> guard(lock);
                    if (!e.xconfigure.send_event)
                        XTranslateCoordinates(dpy, Window(w->native), root, 0, 0, &x, &y, &child);
                }
                W32_SystemGeometry(w, RECT{x, y, x + e.xconfigure.width, y + e.xconfigure.height});
            }
            break;
        case MapNotify:
        case UnmapNotify:
            if (w != nullptr)
                FollowManager(w);
            break;
        case PropertyNotify:
            if (w != nullptr && e.xproperty.atom == atoms[A_WM_STATE])
                FollowManager(w);
            break;
        case FocusIn:
            // A focus the server gave before it took our latest focus
            // request is already overruled by it; answering it would
            // activate a window the library has since left, ask for that
            // focus again, and so on back and forth.
            if (w != nullptr && e.xfocus.detail != NotifyPointer &&
                e.xfocus.detail != NotifyInferior && !BeforeOurFocus(e.xany.serial))
                W32_SystemActivate(w, true);
            break;
        case FocusOut:
            if (w != nullptr && e.xfocus.detail != NotifyPointer &&
                e.xfocus.detail != NotifyInferior && e.xfocus.mode != NotifyGrab &&
                e.xfocus.mode != NotifyUngrab) {
                Window focus;
                int revert;
                {
                    std::lock_guard<std::recursive_mutex> guard(lock);
                    XGetInputFocus(dpy, &focus, &revert);
                }
                if (W32_FindNative(focus) == nullptr)
                    W32_SystemActivate(w, false);
            }
            break;
        case ClientMessage:
            if (w != nullptr && e.xclient.message_type == atoms[A_PROTOCOLS] &&
                Atom(e.xclient.data.l[0]) == atoms[A_DELETE])
                W32_SystemClose(w);
            break;
        case ButtonPress:
        case ButtonRelease: {
            unsigned b = e.xbutton.button;
            unsigned bit = b == 1 ? MK_LBUTTON : b == 2 ? MK_MBUTTON : b == 3 ? MK_RBUTTON : 0u;
            if (bit == 0)
                break; // wheel steps are not passed on
            unsigned held = Buttons(e.xbutton.state);
            held = e.type == ButtonPress ? (held | bit) : (held & ~bit);
            W32_SystemMouse(e.xbutton.x_root, e.xbutton.y_root, held);
            break;
        }
        case MotionNotify:
            W32_SystemMouse(e.xmotion.x_root, e.xmotion.y_root, Buttons(e.xmotion.state));
            break;
        case LeaveNotify:
            // The pointer went out of the window: when it went to no
            // window of ours, no motion is reported to us any more, so
            // this is the only word of it. A grab that starts moves the
            // pointer nowhere.
            if (w != nullptr && e.xcrossing.mode != NotifyGrab &&
                e.xcrossing.detail != NotifyInferior)
                W32_SystemPointerLeft(e.xcrossing.x_root, e.xcrossing.y_root);
            break;
        case KeyPress:
        case KeyRelease: {
            const bool down = e.type == KeyPress;
            const unsigned keycode = e.xkey.keycode & 0xFFu;
            if (AltGr(e.xkey, down))
                break;
            UINT vk = 0;
            int character = -1;
            {
                std::lock_guard<std::recursive_mutex> guard(lock);
                num_lock_on = (e.xkey.state & Mod2Mask) != 0;
                if (down) {
                    character = CharacterOf(e.xkey);
                    // A character an input method composed comes with no
                    // key: it is typed as a key of its own.
                    vk = keycode == 0 ? 0 : KeyOf(e.xkey);
                    if (vk == VK_DELETE)
                        character = 0;
                    if (vk == 0 && character > 0)
                        vk = VK_PACKET;
                    if (keycode != 0)
                        pressed[keycode] = Pressed{vk, character};
                } else if (swallowed[keycode]) {
                    // The input method took the press: a release alone
                    // would be a key nobody pressed.
                    swallowed[keycode] = false;
                    break;
                } else {
                    vk = pressed[keycode].vk;
                    character = pressed[keycode].character;
                    if (vk == 0) {
                        vk = KeyOf(e.xkey);
                        character = -1;
                    }
                    pressed[keycode] = Pressed();
                }
            }
            if (vk == 0)
                break;
            unsigned scan;
            bool extended;
            ScanOf(keycode, scan, extended);
            if (keycode != 0)
                last_keycode = keycode;
            W32_SystemKey(vk, scan, extended, down, character);
            if (down && keycode == 0)
                W32_SystemKey(vk, scan, extended, false, character);
            break;
        }
        case MappingNotify: {
            // Another layout, or keys given new symbols: what the keys
            // type follows at once.
            std::lock_guard<std::recursive_mutex> guard(lock);
            XRefreshKeyboardMapping(&e.xmapping);
            break;
        }
        case SelectionRequest:
            Serve(e.xselectionrequest);
            break;
        case SelectionClear:
            if (e.xselectionclear.selection == atoms[A_CLIPBOARD]) {
                std::lock_guard<std::recursive_mutex> guard(lock);
                clip_owned = false;
            }
            break;
        default:
            break;
        }
    }

    // AltGr, the level-three shift or the group shift, is what it is on
    // the platform: Ctrl and the right Alt held together. The keys typed
    // meanwhile bring the characters of their AltGr level as key messages,
    // not as Alt shortcuts. A Ctrl the user holds himself is left alone.
    // False for any other key.
    bool AltGr(XKeyEvent& k, bool down)
    {
        const unsigned keycode = k.keycode & 0xFFu;
        bool first = false, last = false, control = false;
        {
            std::lock_guard<std::recursive_mutex> guard(lock);
            if (keycode == 0)
                return false;
            if (down) {
                const KeySym sym = XLookupKeysym(&k, 0);
                if (sym != XK_ISO_Level3_Shift && sym != XK_Mode_switch)
                    return false;
                first = altgr_held == 0 && !altgr_down[keycode];
                if (!altgr_down[keycode]) {
                    altgr_down[keycode] = true;
                    ++altgr_held;
                }
                if (first)
                    altgr_control = (k.state & ControlMask) == 0;
                control = altgr_control;
            } else {
                if (!altgr_down[keycode])
                    return false;
                altgr_down[keycode] = false;
                last = --altgr_held == 0;
                control = altgr_control && (k.state & ControlMask) == 0;
                if (last)
                    altgr_control = false;
            }
        }
        if (down) {
            if (first && control)
                W32_SystemKey(VK_CONTROL, 0x1D, false, true, -1);
            W32_SystemKey(VK_MENU, 0x38, true, true, -1);
        } else if (last) {
            W32_SystemKey(VK_MENU, 0x38, true, false, -1);
            if (control)
                W32_SystemKey(VK_CONTROL, 0x1D, false, false, -1);
        }
        return true;
    }

    void Serve(const XSelectionRequestEvent& r)
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        XSelectionEvent reply;
        std::memset(&reply, 0, sizeof reply);
        reply.type = SelectionNotify;
        reply.display = dpy;
        reply.requestor = r.requestor;
        reply.selection = r.selection;
        reply.target = r.target;
        reply.time = r.time;
        reply.property = None;
        Atom property = r.property != None ? r.property : r.target;
        if (r.selection == atoms[A_CLIPBOARD] && clip_owned) {
            if (r.target == atoms[A_TARGETS]) {
                Atom list[3] = {atoms[A_TARGETS], atoms[A_UTF8], XA_STRING};
                XChangeProperty(dpy, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<unsigned char*>(list), 3);
                reply.property = property;
            } else if (r.target == XA_STRING) {
                XChangeProperty(dpy, r.requestor, property, XA_STRING, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(clip_text.data()),
                                int(clip_text.size()));
                reply.property = property;
            } else if (r.target == atoms[A_UTF8]) {
                // The clipboard's text is ISO 8859-1.
                std::string utf8;
                for (unsigned char c : clip_text) {
                    if (c < 0x80) {
                        utf8.push_back(char(c));
                    } else {
                        utf8.push_back(char(0xC0 | (c >> 6)));
                        utf8.push_back(char(0x80 | (c & 0x3F)));
                    }
                }
                XChangeProperty(dpy, r.requestor, property, atoms[A_UTF8], 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(utf8.data()),
                                int(utf8.size()));
                reply.property = property;
            }
        }
        XSendEvent(dpy, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(dpy);
    }

public:
    Display* dpy;
    int screen;
    Window root;
    Visual* visual;
    int depth;
    Colormap colormap;
    unsigned shift[3], bits[3];
    Atom atoms[A_COUNT];
    Window clip_window;
    GC gc;
    bool shm = false;
    std::recursive_mutex lock;
    std::string clip_text;
    bool clip_owned = false;
    Cursor current_cursor = 0;
    unsigned last_keycode = 0;
    // The input method (dead keys, the compose key), its style, and the
    // input context of each window; the context that has the keys.
    XIM im = nullptr;
    XIMStyle im_style = 0;
    std::map<Window, XIC> contexts;
    // The windows this program has made icons, or that the manager made
    // icons, and that have not been shown since.
    std::set<Window> icons;
    XIC focused_context = nullptr;
    // What each key's press gave, for its release; the keys whose press the
    // input method took.
    struct Pressed {
        UINT vk = 0;
        int character = -1;
    };
    Pressed pressed[256];
    bool swallowed[256] = {};
    // The request number of the program's last XSetInputFocus (0: none).
    unsigned long focus_serial = 0;
    bool num_lock_on = false;
    // The AltGr keys held, how many, and whether their Ctrl is AltGr's own.
    bool altgr_down[256] = {};
    int altgr_held = 0;
    bool altgr_control = false;
};

int CharOfKeyHook(UINT vk, UINT scan, const BYTE* state)
{
    return g_x11 != nullptr ? g_x11->CharOfKey(vk, scan, state) : -1;
}

} // namespace

namespace {

struct {
    int cause = W32_DISPLAY_FAILED;
    int visual_class = 0;
    int depth = 0;
} x11_failure;

// Why a display of this name did not open. Xlib does not say; for a display
// of this machine (":N" or "unix:N", a screen after a dot), a server that
// listens at its socket (the abstract name or the file) refused us, else
// none listens. For another machine's nothing more is known.
int CauseOfNoConnection(const char* name)
{
    const std::string display = name != nullptr ? name : "";
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return W32_DISPLAY_FAILED;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix")
        return W32_DISPLAY_FAILED;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return W32_DISPLAY_FAILED;
    const std::string path = "/tmp/.X11-unix/X" + number;
    for (int abstract = 1; abstract >= 0; --abstract) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + abstract, path.c_str(), path.size());
        const socklen_t size =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + abstract + path.size());
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        const bool listens = connect(fd, reinterpret_cast<sockaddr*>(&address), size) == 0;
        close(fd);
        if (listens)
            return W32_DISPLAY_REFUSED;
    }
    return W32_DISPLAY_NO_SERVER;
}

} // namespace

int W32_X11Failure(int* visual_class, int* depth)
{
    *visual_class = x11_failure.visual_class;
    *depth = x11_failure.depth;
    return x11_failure.cause;
}

W32_Backend* W32_MakeX11()
{
    XInitThreads();
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        x11_failure.cause = CauseOfNoConnection(XDisplayName(nullptr));
        return nullptr;
    }
    const Visual* visual = DefaultVisual(dpy, DefaultScreen(dpy));
    if (visual->c_class != TrueColor) {
        // Refused even when a true-colour visual is offered beside it.
        x11_failure.cause = W32_DISPLAY_NOT_TRUE_COLOUR;
        x11_failure.visual_class = visual->c_class;
        x11_failure.depth = DefaultDepth(dpy, DefaultScreen(dpy));
        XCloseDisplay(dpy);
        return nullptr;
    }
    XSetErrorHandler(IgnoreErrors);
    g_x11 = new X11(dpy);
    W32_SetCharOfKey(CharOfKeyHook);
    return g_x11;
}

bool W32_X11InUse()
{
    return std::string(W32_TheBackend().Name()) == "x11";
}

unsigned long W32_X11Window(HWND hwnd)
{
    W32_Window* w = W32_WindowOf(hwnd);
    return w != nullptr ? w->native : 0;
}
