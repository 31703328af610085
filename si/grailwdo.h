// ZuGrailWindow: the pixmap that backs a platform window, and that window.
// Its views draw in frame coordinates: the point (frame x1, frame y1) is
// pixel (0, 0) of the surface, which covers the whole platform window,
// frame included (the library draws its frames itself). It carries at most
// one overlay, a 1-bit pixmap of the window's size with a colour and a
// drawing callback, known by the id 1.
//
// The platform half (sd/win32/sd_grailwdo.cpp) creates, shows, moves, sizes
// and destroys the platform window, copies the pixels to the screen when
// the system asks for a paint, and serves the messages of the library's
// window class. What it needs of the library window that owns it and of
// the application goes through Zuvi_grail_window_links.
#ifndef SI_GRAILWDO_H
#define SI_GRAILWDO_H

#include "si/basecontainer.h"
#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/grailpxm.h"
#include "si/string.h"

// The style of a library window (ZuWindow), read here for the platform
// window's frame, caption, stacking and activation.
// clang-format off
#define ZU_WIN_STYLE_BIT_LIST(X)                                                  \
    X(ZU_WINSTYLE_SIZABLE, 1) X(ZU_WINSTYLE_REDUCE_BUTTON, 2)                     \
    X(ZU_WINSTYLE_CLOSE_BUTTON, 4) X(ZU_WINSTYLE_TOOL, 16)                        \
    X(ZU_WINSTYLE_TOPMOST, 17) X(ZU_WINSTYLE_PARTITIONED, 18)                     \
    X(ZU_WINSTYLE_MAIN, 19) X(ZU_WINSTYLE_PERSISTENT, 20)                         \
    X(ZU_WINSTYLE_FRAMELESS, 24) X(ZU_WINSTYLE_NO_BAR, 25)                        \
    X(ZU_WINSTYLE_NO_ACTIVATION, 26)
// clang-format on
ZU_ENUM(ZuWinStyleBit, ZU_WIN_STYLE_BIT_LIST)
typedef Bitset<ZuWinStyleBit> ZuWinStyle;

typedef void (*ZuGrailOverlayFunc)(void* arg, ZuGrailPixmap* overlay);

// The platform record of a screen window (sd/win32/sd_grailwdo.h).
class Zuvi_GrWindowRec;
// A platform window of any application of the library.
struct Zuvi_RemAppIDRec;
class ZuGrailWindow;

// What the screen windows ask of the library windows that own them and of
// the application, the layers above. Those layers fill the links when they
// are linked in; a link left null is done without: no owner, the
// application active, nothing told. Without app_running the window
// procedure leaves every message to the default handling.
struct Zuvi_GrailWindowLinks {
    // The screen window whose platform window owns the platform window of
    // this library window: its modal parent's, else its parent's, else the
    // application's main window's (null for none).
    ZuGrailWindow* (*owner_of)(const ZuObjectRef& window);
    // ZuApp::IsAppActive; ZuApp::Current is valid; ZuApp::ReorderWindows;
    // ZuApp::NotifyActiveApp.
    bool (*app_active)();
    bool (*app_running)();
    void (*reorder_windows)();
    void (*notify_active_app)(bool active);
    // The screen window of a library window (null when it has none).
    ZuGrailWindow* (*port_of_window)(const ZuObjectRef& window);
    // ZuWindow::SysChangedActive, SysChangedOpen, SysChangedVisible,
    // SysChangedReduced.
    void (*changed_active)(const ZuObjectRef& window, bool value);
    void (*changed_open)(const ZuObjectRef& window, bool value);
    void (*changed_visible)(const ZuObjectRef& window, bool value);
    void (*changed_reduced)(const ZuObjectRef& window, bool value);
    // ZuWindow::UserChangedWindowGeometry(frame box).
    void (*changed_geometry)(const ZuObjectRef& window, const ZuRect& frame_box);
    // ZuWindow::Display(true).
    void (*display)(const ZuObjectRef& window);
};
extern Zuvi_GrailWindowLinks Zuvi_grail_window_links;

ZU_HANDLE(ZuGrailWindow, ZuGrailPixmap)
class ZuGrailWindow : public ZuGrailPixmap {
    ZU_CLASS(ZuGrailWindow, ZuGrailPixmap)

public:
    // Stops the program with "Failed assertion: window->wclass_atom" when
    // the library's window class is not registered. The window is
    // frameless until initialised; it has no platform window yet.
    ZuGrailWindow();
    ~ZuGrailWindow() override;
    // The platform window and the overlay go at once; the object follows
    // the deferred deletion.
    void Delete() override;

    using ZuGrailPixmap::Initialise;
    // The platform window for the content rectangle shrunk by the margin on
    // every side (the rectangle must be more than twice the margin wide and
    // high).
    virtual void Initialise(const ZuObjectRef& window, const ZuWinStyle& style,
                            const ZuStringRef& name, const ZuRect& rect, double margin);
    // The platform window whose content is (x1, y1)-(x2, y2) on the screen
    // (x2 > x1, y2 > y1), its frame around it, owned by the application's
    // main window, else by the window's parent or modal parent; a surface
    // of the whole platform window. window is the library window (a
    // ZuWindow) that owns this port. A second creation replaces the first
    // platform window.
    virtual void Initialise(const ZuObjectRef& window, const ZuWinStyle& style,
                            const ZuStringRef& name, double x1, double y1, double x2, double y2);
    // The title: at most 199 characters, empty for an empty handle.
    virtual void ChangeName(const ZuStringRef& name);

    // Showing. Open shows the window (activated when the application is
    // active; a minimised window comes back), Reduce minimises it, Close
    // hides it; each brings the open, visible and reduced flags in line.
    virtual void Open();
    virtual void Reduce();
    virtual void Close();
    // Brings an open, not minimised window to the top of its group (the
    // topmost windows or the others), activating it unless it has the
    // no-activation style; with activate false its place in the order stays.
    virtual void ActivateAsFrontWindow(bool activate);
    // The application's main window (shown the first time); false does
    // nothing.
    virtual void SetAsMainAppWindow(bool main);
    // What the system reports: a value that differs from the flag is stored
    // and passed on to the owning window.
    virtual void SysChangedActive(bool active);
    virtual void SysChangedOpen(bool open);
    virtual void SysChangedVisible(bool visible);
    virtual void SysChangedReduced(bool reduced);
    virtual bool IsActive() const;
    virtual const ZuWinStyle& RetStyle() const;

    // Geometry. The origin is the content's top-left corner on the screen:
    // the frame box's corner less the frame geometry's.
    virtual void SetOrigin(double x, double y);
    virtual void GetOrigin(double& x, double& y) const;
    // The content size; a new one grows the frame box, the frame geometry
    // and the surface by the difference (the surface's pixels go).
    virtual void SetSize(double width, double height);
    virtual void GetSize(double& width, double& height) const;
    // While a paint is served: the rectangle being painted.
    virtual bool GetDrawRect(ZuRect& rect) const;
    // The system moved or sized the platform window.
    virtual void UserChangedGeometry();
    // The frame's sizes around the content for the window's style, and for
    // any style: all 0 when frameless, otherwise from the system metrics.
    virtual void GetFrameSize(int& left, int& top, int& right, int& bottom) const;
    static void GetFrameSize(const ZuWinStyle& style, int& left, int& top, int& right, int& bottom);

    // The ends of a pass invalidate what the pass drew; Flush has the
    // pending paint served at once.
    void EndDraw() override;
    void Flush() override;
    // The screen copy of a rectangle (window coordinates, inclusive), of
    // the whole window; what a minimised window shows (nothing).
    virtual void Redraw(const ZuRect& rect);
    virtual void Redraw();
    virtual void RedrawIcon();

    // The library window that owns this one (a ZuWindow), into any handle.
    template <class R>
    void GetWindow(R& out) const
    {
        out = window;
    }
    const ZuObjectRef& RetWindow() const { return window; }
    Zuvi_GrWindowRec* RetPrivateWindowInfo() const { return record; }
    unsigned RetWindowID() const { return window_id; }

    // The n-th (from 0) visible, not minimised window of this application
    // that strictly contains the screen point: the window under the point
    // first, then the others in the system's order.
    static bool FindOwnWindow(double x, double y, ZuGrailWindowRef& out, unsigned n);
    // The same over the windows of every application of the library: the
    // platform window and its serial number.
    static bool FindZuviWindow(double x, double y, Zuvi_RemAppIDRec*& window, unsigned& serial,
                               unsigned n);
    // One display, number 0: the screen, (0, 0) to (width - 1, height - 1).
    static bool GetDisplayBox(ZuRect& box, unsigned n);
    static bool GetDisplayFromPoint(double x, double y, unsigned& n);
    // Brings the listed library windows that are not topmost to the top,
    // in the list's order (the last ends on top), and has them repainted.
    static bool MakeFrontWindows(const ZuBaseContainerRef& windows);

    // The serial number of the next window.
    static unsigned g_window_id;
    // The application's main window.
    static ZuGrailWindowRef g_window_main;
    // Raised while the library itself changes the stacking order; the
    // system's own changes of order are refused.
    static bool g_zorder_allowed;

    // The pixmap's pass, then the offset that puts the frame's origin at
    // the surface's.
    void BeginDraw(double x1, double y1, double x2, double y2) override;
    void BeginDraw(const ZuRect& r, double margin) override;

    virtual void SetFrameGeometry(const ZuRect& frame);
    virtual void GetFrameGeometry(ZuRect& frame) const;

    // False when the overlay exists already; otherwise a 1-bit pixmap of
    // the window's size, the colour kept, no callback; id 1.
    virtual bool NewOverlay(const ZuColorPixel& color, unsigned& id);
    // The operations below answer false, or the null pixmap and a default
    // colour, unless the overlay exists and id is 1.
    virtual bool DeleteOverlay(unsigned id);
    virtual bool SetOverlayColor(unsigned id, const ZuColorPixel& color);
    virtual bool SetOverlayFunc(unsigned id, ZuGrailOverlayFunc func, void* arg);
    virtual bool GetOverlay(unsigned id, ZuGrailPixmapRef& overlay, ZuColorPixel& color) const;
    virtual bool GetOverlayFunc(unsigned id, ZuGrailOverlayFunc& func, void*& arg) const;
    virtual const ZuGrailPixmapRef& RetOverlayPixmap(unsigned id) const;
    virtual const ZuColorPixel& RetOverlayColor(unsigned id) const;

    static ZuAtomRef notify_redrawn;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // No overlay; an overlay pixmap without memory stands ready.
    virtual void InitOverlays();
    virtual void KillOverlays();
    // After a resize: the overlay takes the window's size (its pixels go).
    virtual void UpdateOverlaySize();

private:
    friend class Zuvi_GrWindowProc;

    bool HasOverlay(unsigned id) const { return overlay_present != 0 && id == 1; }
    // The platform record is made with the object and goes with the
    // platform window.
    void InitPlatform();
    void KillPlatform();
    // The pixmap surface takes the frame box's size (after a resize).
    void ResizeSurface();
    // The window's overlays into the DirectDraw surface's masks.
    void CopyOverlaysToMasks();
    // Converts the rectangle of the surface into the locked DirectDraw
    // memory; false when the format is not one of the four.
    bool ConvertToScreen(int x, int y, int width, int height, unsigned format, void* memory,
                         unsigned pitch);

    Zuvi_GrWindowRec* record;
    unsigned window_id;
    bool active;
    bool open;
    bool visible;
    bool reduced;
    bool painting;
    bool flushed;
    ZuRect draw_rect;
    ZuRect frame_box;
    double content_dx;
    double content_dy;
    ZuObjectRef window;
    ZuWinStyle style;

    ZuRect frame;
    ZuGrailPixmapRef overlay;
    ZuColorPixel overlay_color;
    ZuGrailOverlayFunc overlay_func;
    void* overlay_arg;
    unsigned overlay_present;
};
ZU_CLASS_END(ZuGrailWindow)

#endif
