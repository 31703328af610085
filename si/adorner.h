#ifndef SI_ADORNER_H
#define SI_ADORNER_H

// ZuAdorner: the standard decorations of the interface, drawn through one
// port: reliefs (raised, lowered, sunken), etched, edged and line frames,
// rectangles and fills in look colours, and the frames, icons and patterns
// of the look's icon sheets. Every port makes its adorner on first use
// (ZuGrailPort::RetAdorner); the look of the interface lives here.
//
// Rectangles have inclusive corners: W = x2 - x1 + 1 and H = y2 - y1 + 1
// (0 for an empty rectangle). The inner lines of reliefs and frames are
// W - 2 or so long: a rectangle narrower than that gives negative lengths,
// which the port's lines draw as nothing. The margin of the reliefs is not
// used. An adorner is never stored.

#include "si/atom.h"
#include "si/bitset.h"
#include "si/colorpixel.h"
#include "si/ctrlstate.h"
#include "si/dict.h"
#include "si/enumfamily.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/object.h"
#include "si/rect.h"

// The parts of a frame.
#define ZU_FRAME_EDGE_BIT_LIST(X) \
    X(ZU_FRAME_TOP, 0)            \
    X(ZU_FRAME_BOTTOM, 1)         \
    X(ZU_FRAME_LEFT, 2) X(ZU_FRAME_RIGHT, 3) X(ZU_FRAME_SURFACE, 4) X(ZU_FRAME_CORNERS, 5)
ZU_ENUM(ZuFrameEdgeBit, ZU_FRAME_EDGE_BIT_LIST)

typedef Bitset<ZuFrameEdgeBit> ZuFrameEdges;
extern const Zuvi_TypeDef ZuFrameEdges_type;
ZuFrameEdges Zuvi_ValueToZuFrameEdges(const ZuValueRef& value);

ZU_HANDLE(ZuAdorner, ZuObject)
class ZuAdorner : public ZuObject {
    ZU_CLASS(ZuAdorner, ZuObject)

public:
    // Makes the (empty) frame cache.
    ZuAdorner();
    ~ZuAdorner() override;

    // Draws into the port (which must be valid) with the current look.
    virtual void Initialise(const ZuGrailPortRef& port);
    virtual void Update();
    virtual void SelectSysFont();
    virtual void SetForeColor(ZuLookColor color);
    virtual void SetBackColor(ZuLookColor color);

    // Fills in the look colour of the name (nothing for a name that is no
    // colour), in the colour (nothing when it is ZU_COLOR_NONE), or in the
    // look colour (nothing outside 0 to 61).
    virtual void FillRect(const ZuRect& rect, const ZuAtomRef& name, double margin);
    virtual void FillRect(const ZuRect& rect, const ZuColorPixel& pixel, double margin);
    virtual void FillRect(const ZuRect& rect, ZuLookColor color, double margin);

    // Raised: light grey and white on the top and left, black and dark
    // grey on the bottom and right (outer line first). With a base colour,
    // its luminance set to 0.75, 1, 0 and 0.5 instead.
    virtual void DrawRectHigh(ZuColorPixel base, double x1, double y1, double x2, double y2);
    virtual void DrawRectHigh(ZuColorPixel base, const ZuRect& rect, double margin);
    virtual void DrawRectHigh(double x1, double y1, double x2, double y2);
    virtual void DrawRectHigh(const ZuRect& rect, double margin);
    // Lowered: dark grey and black on the top and left, light grey and
    // white on the bottom and right.
    virtual void DrawRectLow(ZuColorPixel base, double x1, double y1, double x2, double y2);
    virtual void DrawRectLow(ZuColorPixel base, const ZuRect& rect, double margin);
    virtual void DrawRectLow(double x1, double y1, double x2, double y2);
    virtual void DrawRectLow(const ZuRect& rect, double margin);
    // Sunken: as lowered, with white outside and light grey inside on the
    // bottom and right.
    virtual void DrawRectSunken(ZuColorPixel base, double x1, double y1, double x2, double y2);
    virtual void DrawRectSunken(ZuColorPixel base, const ZuRect& rect, double margin);
    virtual void DrawRectSunken(double x1, double y1, double x2, double y2);
    virtual void DrawRectSunken(const ZuRect& rect, double margin);

    // The port's rectangle outline in a look colour (any value).
    virtual void DrawRect(const ZuRect& rect, const ZuAtomRef& name, double margin);
    virtual void DrawRect(const ZuRect& rect, ZuLookColor color, double margin);

    // The named nine-piece frame of the look's icons (all of it, or the
    // parts in edges); a name the look does not define draws nothing.
    virtual void DrawFrame(const ZuAtomRef& name, const ZuRect& rect, const ZuFrameEdges& edges,
                           ZuCtrlState state, double margin);
    virtual void DrawFrame(const ZuAtomRef& name, const ZuRect& rect, ZuCtrlState state,
                           double margin);
    // Double lines, white then black, on the edges of the set (top, left,
    // bottom, right; the surface and corners bits are not used).
    virtual void DrawFrame(const ZuRect& rect, const ZuFrameEdges& edges, double margin);
    // The etched frame: dark grey with white below and to the right.
    virtual void DrawFrame(const ZuRect& rect, double margin);
    // Dark grey doubled on the top and left, white and light grey on the
    // bottom and right.
    virtual void DrawLineFrame(const ZuRect& rect, double margin);
    // Makes sure the named frame is cached; draws nothing.
    virtual void DrawEdge(const ZuAtomRef& name, const ZuRect& rect, ZuFrameEdgeBit edge,
                          const ZuAtomRef& other, double a, double b, double c, ZuCtrlState state,
                          double margin);

    // The icon of the name at the rectangle's size, or at its own size
    // when dx x dy is 0.
    virtual void DrawIcon(const ZuRect& rect, const ZuAtomRef& name, ZuCtrlState state);
    virtual void DrawIcon(double x, double y, const ZuAtomRef& name, ZuCtrlState state, double dx,
                          double dy);
    // Covers the rectangle with the icon of the name.
    virtual void DrawPattern(const ZuRect& rect, const ZuAtomRef& name, ZuCtrlState state,
                             double margin);
    // Flushes the port for ZU_FLUSH_SYNC and ZU_FLUSH_FAST only.
    virtual void Flush(ZuFlushPriority priority);

    // Lets the port go.
    void Delete() override;

    const ZuGrailPortRef& RetPort() const { return port; }
    const ZuDictRef& RetFrames() const { return frames; }

protected:
    // Refused: an adorner is never stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The cached frame of the name, made and cached when the look defines
    // it; the null handle otherwise.
    ZuObjectRef CachedFrame(const ZuAtomRef& name);

    ZuGrailPortRef port;
    ZuLookManRef look;
    ZuDictRef frames;
};
ZU_CLASS_END(ZuAdorner)

// The look manager's two adorner handles, the first called head.
struct ZuLookMan::AdornerList {
    ZuAdornerRef head;
    ZuAdornerRef tail;
};

#endif
