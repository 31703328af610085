// ZuGrailPort: the drawing port every view, control and window draws
// through. A port owns a pixel surface and a stack of graphic contexts, one
// per nested drawing pass: the drawing rectangle, the clip rectangle, the
// drawing offset, the colours, the line style and the font.
//
// Coordinates are doubles in the caller's space; the context's offset is
// added and the sum truncated toward zero to a surface pixel. Rectangles are
// inclusive (x2 - x1 + 1 pixels wide). The forms taking a ZuRect and a
// margin m do nothing when the rectangle is less than 2 x m wide or high,
// and otherwise shrink it by m on every side.
//
// The class is abstract: pixmaps and window ports (si/grailpxm.h,
// si/grailwdo.h) make the surface. The drawing operations live in
// sd/common/sd_grailpxm.cpp. Ports are never stored.
#ifndef SI_GRAIL_H
#define SI_GRAIL_H

#include "sd/common/sd_grailfnt.h"
#include "si/colorpixel.h"
#include "si/enumfamily.h"
#include "si/fontman.h"
#include "si/object.h"
#include "si/rect.h"
#include "si/string.h"
#include "si/textstyle.h"

class GfxSurface;

#define ZU_LINE_STYLE_LIST(X) X(ZU_LINE_SOLID, 0) X(ZU_LINE_DOT, 1) X(ZU_LINE_DASH, 2)
// The name of a style outside the table is ""; a restored style defaults to
// the variable's current value.
ZU_ENUM_EX(ZuLineStyle, ZU_LINE_STYLE_LIST, "", static_cast<unsigned int>(e))

// Depth of the stack of graphic contexts: 19 nested passes.
enum { ZU_GRAIL_GC = 20 };

ZU_FORWARD(ZuAdorner)

ZU_HANDLE(ZuGrailPort, ZuObject)
class ZuGrailPort : public ZuObject {
    ZU_CLASS(ZuGrailPort, ZuObject)

public:
    // The state of one drawing pass. Rectangles are in surface pixels.
    struct GraphicContext {
        double x1, y1, x2, y2;     // drawing rectangle
        double cx1, cy1, cx2, cy2; // clip rectangle
        double ox, oy;             // drawing offset
        ZuLineStyle line_style;
        ZuColorPixel fore_color;
        ZuColorPixel back_color;
        ZuGrailFontRef font;
        bool pure_color; // fills and copies do not blend
        const unsigned short* dash_pattern;
        int dash_count;

        GraphicContext()
            : x1(0), y1(0), x2(0), y2(0), cx1(0), cy1(0), cx2(0), cy2(0), ox(0), oy(0),
              line_style(ZU_LINE_SOLID), fore_color(0.0, 0.0, 0.0, 0.0),
              back_color(1.0, 1.0, 1.0, 0.0), pure_color(false), dash_pattern(nullptr),
              dash_count(0)
        {}
    };

    // Stops when the library has no font manager.
    ZuGrailPort();
    ~ZuGrailPort() override;

    // Passes. Each BeginDraw that began a pass is closed by one EndDraw.
    virtual void BeginDraw(double x1, double y1, double x2, double y2);
    virtual void BeginDraw(const ZuRect& r, double margin);
    virtual void EndDraw();
    virtual void Flush();

    // Moves the drawing rectangle with the offset; the clip stays where it
    // was in the caller's coordinates.
    virtual void SetDrawingOffset(double ox, double oy);
    virtual void GetDrawingOffset(double& ox, double& oy) const;
    // The clip is kept inside the drawing rectangle.
    virtual void SetClipRect(double x1, double y1, double x2, double y2);
    virtual void SetClipRect(const ZuRect& r, double margin);
    virtual void ResetClipRect();
    virtual void GetClipRect(double& x1, double& y1, double& x2, double& y2) const;
    // Empty when the clip is.
    virtual void GetClipRect(ZuRect& r) const;

    // Dots and lines, in the fore colour unless a colour is given; lines
    // follow the line style.
    virtual void DrawDot(double x, double y, const ZuColorPixel& color);
    virtual void DrawDot(double x, double y);
    // dx (dy) pixels from (x, y) rightwards (downwards); nothing when the
    // length is 0 or negative.
    virtual void DrawLineDX(double x, double y, double dx);
    virtual void DrawLineDY(double x, double y, double dy);
    // Both ends drawn.
    virtual void DrawLineToX(double x1, double y, double x2);
    virtual void DrawLineToY(double x, double y1, double y2);
    // The outline, each corner once.
    virtual void DrawRect(double x1, double y1, double x2, double y2);
    virtual void DrawRect(const ZuRect& r, double margin);
    // Blends a fore colour with a transparency unless pure colour is on.
    virtual void FillRect(double x1, double y1, double x2, double y2);
    virtual void FillRect(const ZuRect& r, double margin);
    virtual void DrawHairLine(double x, double y, double dx, double dy);
    virtual void DrawHairLineTo(double x1, double y1, double x2, double y2);
    // Anti-aliased, never dashed.
    virtual void DrawAALine(double x, double y, double dx, double dy);
    virtual void DrawAALineTo(double x1, double y1, double x2, double y2);

    // Text in the context's font and fore colour: the characters from start
    // (count 0, or one reaching past the end: up to the end), aligned in a
    // box, or around a point at angles 0, 90 and 270.
    virtual void ShowText(double x1, double y1, double x2, double y2, const ZuStringRef& text,
                          unsigned start, unsigned count, const ZuTextStyle& style);
    virtual void ShowText(const ZuRect& r, const ZuStringRef& text, unsigned start, unsigned count,
                          const ZuTextStyle& style, double margin);
    virtual void ShowText(double x, double y, const ZuStringRef& text, unsigned start,
                          unsigned count, const ZuTextStyle& style, double width);

    // Moves the pixels of the rectangle by (dx, dy).
    virtual void ScrollRect(double x1, double y1, double x2, double y2, double dx, double dy);
    virtual void ScrollRect(const ZuRect& r, double dx, double dy, double margin);
    // From another port: rectangles of different sizes are scaled with
    // bilinear reads. Without pure colour the source's transparency blends.
    virtual void CopyRect(const ZuGrailPortRef& source, const ZuRect& from, const ZuRect& to);
    virtual void CopyRect(const ZuGrailPortRef& source, double sx, double sy, double x1, double y1,
                          double x2, double y2);
    virtual void CopyRect(const ZuGrailPortRef& source, double sx, double sy, const ZuRect& r,
                          double margin);
    // a is an extra transparency: 0 keeps the source's, 1 hides it.
    virtual void BlendRect(const ZuGrailPortRef& source, double a, const ZuRect& from,
                           const ZuRect& to);
    virtual void BlendRect(const ZuGrailPortRef& source, double a, double sx, double sy, double x1,
                           double y1, double x2, double y2);
    virtual void BlendRect(const ZuGrailPortRef& source, double a, double sx, double sy,
                           const ZuRect& r, double margin);

    // dy rows of dx pixels, one bit each, most significant first, rows of
    // (dx + 7) / 8 bytes: a bit 0 takes the fore colour.
    virtual void SetBitmap(double x, double y, double dx, double dy, const unsigned char* bits);
    virtual void SetGrayPixels(double x, double y, double n, const unsigned char* grey);
    // n pixels from blue, green, red triples.
    virtual void SetRGBPixels(double x, double y, double n, const unsigned char* bgr);
    virtual void SetRGBPixels(double x, double y, double n, const unsigned char* r,
                              const unsigned char* g, const unsigned char* b);
    // Lets an object supporting ZuiGrailHook write straight into a 1-, 15-
    // or 16-bit surface; other depths stop the program.
    virtual void QuickBlt(double x, double y, double dx, double dy, const ZuObjectRef& hook);
    // Walk a row (column) from the point to the left or up (dir < 0) or to
    // the right or down (dir > 0) for a pixel of the colour's word; x (y)
    // becomes its coordinate. The Other forms also give the pixel found.
    virtual bool FindDXSamePixel(double& x, double y, const ZuColorPixel& color, int dir) const;
    virtual bool FindDYSamePixel(double x, double& y, const ZuColorPixel& color, int dir) const;
    virtual bool FindDXOtherPixel(double& x, double y, const ZuColorPixel& color, int dir,
                                  ZuColorPixel& found) const;
    virtual bool FindDYOtherPixel(double x, double& y, const ZuColorPixel& color, int dir,
                                  ZuColorPixel& found) const;

    virtual bool SetPureColor(bool pure);
    virtual bool RetPureColor() const;
    virtual void SetForeColor(const ZuColorPixel& color);
    virtual void SetBackColor(const ZuColorPixel& color);
    // Solid clears the dash pattern, dot and dash set theirs; another value
    // is kept and leaves the pattern.
    virtual void SetLineStyle(ZuLineStyle style);
    // An empty handle changes nothing.
    virtual void SetFont(const ZuGrailFontRef& font);
    // Counts only; it excludes no other thread.
    virtual GfxSurface* LockSurface() const;
    // False, and the count kept, for another surface or a count of 0.
    virtual bool UnlockSurface(GfxSurface* surface) const;
    virtual const ZuFontManRef& RetFontMan() const;
    // The port's adorner, made and given this port on first use.
    virtual ZuAdornerRef RetAdorner();
    // Installs another adorner.
    virtual void InitAdorner(const ZuAdornerRef& adorner);
    // Deletes the adorner (which holds the port) with the port.
    void Delete() override;

    // The minor-axis walk of a line of n steps along x (along y) from the
    // minor coordinate y (x) with a starting fraction f: n + 1 coordinates
    // and fractions (0 to 255); either array may be null.
    virtual void ComputeLineDXDots(unsigned x, unsigned y, unsigned n, int delta, unsigned* coords,
                                   unsigned char* fractions, double f);
    virtual void ComputeLineDYDots(unsigned x, unsigned y, int delta, unsigned n, unsigned* coords,
                                   unsigned char* fractions, double f);

    // The context of the current pass.
    const GraphicContext& RetGraphicContext() const { return *gc; }
    bool IsReady() const { return is_ready; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Begins a pass without looking at the rectangle (an empty pass).
    void BeginPass(double x1, double y1, double x2, double y2);
    // The surface, stopping the program when there is none.
    GfxSurface* CheckSurface() const;

    GfxSurface* surface;
    mutable unsigned surface_lock;
    ZuFontManRef font_man;
    // The adorner (a ZuAdorner), empty until first asked for.
    ZuObjectRef adorner;
    bool is_ready;
    GraphicContext* gc;
    GraphicContext gc_stack[ZU_GRAIL_GC];
    int gc_stack_depth;

private:
    void ScaledCopy(const ZuGrailPortRef& source, const ZuRect& from, const ZuRect& to, bool alpha,
                    double a);
    void CopyOrBlend(const ZuGrailPortRef& source, double sx, double sy, double x1, double y1,
                     double x2, double y2, bool alpha, double a);
    bool FindAlongRow(double& x, double y, const ZuColorPixel& color, int dir,
                      unsigned* found) const;
    bool FindAlongColumn(double x, double& y, const ZuColorPixel& color, int dir,
                         unsigned* found) const;
};
ZU_CLASS_END(ZuGrailPort)

#endif
