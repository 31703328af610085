// ZuGrailPixmap: a drawing port with a surface of its own, an off-screen
// image of depth 1, 16 or 32 that views, icons, cursors and rendered
// drawings are drawn into and copied from. It also carries partitions:
// rectangles handed to outside renderers through ZuiGrailHook.
// Pixmaps are never stored.
#ifndef SI_GRAILPXM_H
#define SI_GRAILPXM_H

#include <vector>

#include "si/grail.h"

class ZuiGrailHook;

ZU_HANDLE(ZuGrailPixmap, ZuGrailPort)
class ZuGrailPixmap : public ZuGrailPort {
    ZU_CLASS(ZuGrailPixmap, ZuGrailPort)
    friend class ZuGrailWindow;

public:
    ZuGrailPixmap();
    ~ZuGrailPixmap() override;

    // A new zeroed surface of trunc(dx) x trunc(dy) pixels; a depth other
    // than 1 or 16 is 32. Sizes must be positive.
    virtual void Initialise(unsigned depth, double dx, double dy);
    // Always a 16-bit surface; the pixmap is not looked at and the depth
    // kept is left as it was.
    virtual void Initialise(const ZuGrailPixmapRef& like, double dx, double dy);
    // obj's ZuiGrailHook is kept with the rectangle (none when it has none).
    virtual bool AddPartition(const ZuRect& r, const ZuObjectRef& obj);
    // Removes the first partition of that rectangle; false when none.
    virtual bool RemovePartition(const ZuRect& r);
    // Always false.
    virtual bool RemovePartitions();
    virtual bool GetPartition(unsigned i, ZuRect& r, ZuObjectRef& obj) const;
    virtual unsigned CountPartitions() const;
    // n pixels of the row from (x, y), offset not added; 0 outside the clip.
    virtual bool GetRGBPixels(double x, double y, double n, unsigned char* r, unsigned char* g,
                              unsigned char* b);
    virtual ZuColorPixel RetPixel(double x, double y);

    void GetSize(double& width, double& height) const
    {
        width = dx;
        height = dy;
    }
    unsigned RetDepth() const { return depth; }

protected:
    // Asks the hook of partition i to draw its rectangle: kind 1 the 15-bit
    // operation, 2 the 16-bit, 3 the 24-bit, 4 the 32-bit, with a and b as
    // the pixels and the pitch; false for another kind, an index out of
    // range or a partition without hook.
    virtual bool RedrawPartition(unsigned i, int kind, void* a, unsigned b);
    // A 16-bit surface without memory, sized by the window side.
    virtual void InitSurface(unsigned depth);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    double dx;
    double dy;
    unsigned depth;

private:
    struct Partition {
        ZuRect rect;
        ZuObjectRef object;
        ZuiGrailHook* hook;
    };
    std::vector<Partition> partitions;
};
ZU_CLASS_END(ZuGrailPixmap)

#endif
