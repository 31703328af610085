// ZuImage: a view that shows a picture read from a GIF or PNG file as its
// background: once at its top-left corner, centred, or repeated as tiles
// over the whole view (a block of tiles that may itself be centred). Only
// the file name is stored; the picture is read again when a restored view
// wakes up.
#ifndef SI_IMAGE_H
#define SI_IMAGE_H

#include "si/grailpxm.h"
#include "si/string.h"
#include "si/view.h"

ZU_HANDLE(ZuImage, ZuView)
class ZuImage : public ZuView {
    ZU_CLASS(ZuImage, ZuView)
public:
    ZuImage() {}
    ~ZuImage() override;

    void Awake() override;
    void Delete() override;
    // The picture once, or tiled over the box; nothing without a picture
    // or for one without width or height.
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Reads the picture; when it cannot, false and nothing changes (the
    // picture read before stays).
    // Otherwise keeps a copy of the name and both flags.
    virtual bool Initialise(const ZuStringRef& name, bool centered, bool tiled);
    // The view takes the picture's size; false without a picture.
    virtual bool SetDefaultSize();
    // Initialise with the flags as they are.
    virtual bool SetImageName(const ZuStringRef& name);
    virtual bool SetCenteredImage(bool centered);
    virtual bool SetTiledImage(bool tiled);
    virtual const ZuStringRef& RetImageName() const;
    virtual bool GetImageSize(double& dx, double& dy) const;
    virtual bool IsImageCentered() const;
    virtual bool IsImageTiled() const;

protected:
    // The loader by the path's text (".gif", else ".png"), then GIF and
    // PNG whatever the name says; true when a picture was read. A failed
    // read keeps the picture there was.
    virtual bool LoadImage(const ZuStringRef& path);

    // "<ZuImage name is_centered is_tiled>": the picture is not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The loaded picture; empty when none was read.
    ZuGrailPixmapRef pixmap;

private:
    void DropPixmap();

    ZuStringRef name;
    bool is_centered = true;
    bool is_tiled = false;
};
ZU_CLASS_END(ZuImage)

#endif
