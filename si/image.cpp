#include "si/image.h"

#include "si/grail.h"
#include "si/loadgif.h"
#include "si/loadpng.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuImage, "si/image", ZU_CLASS_PLAIN)

namespace {

ZuAtomRef notify_set_default_size;
ZU_EXPORT_NOTIFY(ZuImage, set_default_size, "SetDefaultSize", &notify_set_default_size)

ZuImage* AsImage(ZuObject* o)
{
    return static_cast<ZuImage*>(o);
}

Zuvi_TargetExport set_default_size_export(
    [](ZuObject* o) -> bool {
        AsImage(o)->SetDefaultSize();
        return true;
    },
    "SetDefaultSize", ZuImageRef::RetRuntime());

bool InitialiseThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Initialise (name, is_centered, is_tiled)");
        exp->SetArg("ZuStringRef", "name", "Image name");
        exp->SetArg("Bool", "is_centered", "Centered image");
        exp->SetArg("Bool", "is_tiled", "Tiled image");
        return false;
    }
    ZuObjectRef text;
    bool centered = true, tiled = false;
    msg >> text >> centered >> tiled;
    ZuStringRef name;
    if (text.IsValid() && text->IsKindOf(ZuStringRef::RetRuntime()))
        name = ZuStringRef(text);
    AsImage(obj)->Initialise(name, centered, tiled);
    return true;
}
Zuvi_TargetExport initialise_export(&InitialiseThunk, ZuImageRef::RetRuntime());

void GetCentered(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsImage(o)->IsImageCentered());
}
bool SetCentered(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsImage(o)->SetCenteredImage(Zuvi_ValueToBool(value));
}
void GetTiled(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsImage(o)->IsImageTiled());
}
bool SetTiled(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsImage(o)->SetTiledImage(Zuvi_ValueToBool(value));
}
void GetName(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsImage(o)->RetImageName()));
}
bool SetName(const ZuValueRef& value, ZuObject* o)
{
    return AsImage(o)->SetImageName(value.IsValid() ? Zuvi_ValueToZuString(value)
                                                    : ZuStringRef(""));
}

void DeclareImageData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuImageRef::RetRuntime(), "is_centered", "Centered image", &Bool_type, true, true,
         &GetCentered, &SetCentered},
        {&ZuImageRef::RetRuntime(), "is_tiled", "Tiled image", &Bool_type, true, true, &GetTiled,
         &SetTiled},
        {&ZuImageRef::RetRuntime(), "image_name", "Image name", &ZuString_type, true, true,
         &GetName, &SetName},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport image_data(&DeclareImageData, ZuImageRef::RetRuntime());

ZuStorageSync& ImageRecord()
{
    static ZuStorageSync record("<ZuImage name is_centered is_tiled>");
    return record;
}

bool Contains(const ZuStringRef& path, const char* what)
{
    unsigned pos = 0;
    return ZuStringRef(path)->Find(ZuStringRef(what), pos, 1);
}

} // namespace

ZuImage::~ZuImage() {}

void ZuImage::DropPixmap()
{
    if (pixmap.IsValid()) {
        ZuGrailPixmapRef old = pixmap;
        pixmap = ZuGrailPixmapNull;
        old->Delete();
    }
}

bool ZuImage::LoadImage(const ZuStringRef& path)
{
    if (path.IsInvalid() || path->CharacterCount() == 0)
        return false;
    ZuMemZone* zone = RetMemZone();
    ZuGrailPixmapRef read;
    if (Contains(path, ".gif"))
        read = Zuvi::LoadGIF(path, zone);
    else if (Contains(path, ".png"))
        read = Zuvi::LoadPNG(path, zone);
    if (read.IsInvalid())
        read = Zuvi::LoadGIF(path, zone);
    if (read.IsInvalid())
        read = Zuvi::LoadPNG(path, zone);
    // A name that cannot be read leaves the picture shown so far: the view
    // keeps its name too, and the two must agree.
    if (read.IsInvalid())
        return false;
    DropPixmap();
    pixmap = read;
    return true;
}

bool ZuImage::Initialise(const ZuStringRef& new_name, bool centered, bool tiled)
{
    if (!LoadImage(new_name))
        return false;
    name = ZuStringRef(new_name)->RetString();
    is_centered = centered;
    is_tiled = tiled;
    return true;
}

bool ZuImage::SetImageName(const ZuStringRef& new_name)
{
    // The picture is replaced only once the new one is read.
    return Initialise(new_name, is_centered, is_tiled);
}

bool ZuImage::SetDefaultSize()
{
    double dx = 0, dy = 0;
    if (!GetImageSize(dx, dy))
        return false;
    SetSize(dx, dy);
    return true;
}

bool ZuImage::GetImageSize(double& dx, double& dy) const
{
    if (pixmap.IsInvalid())
        return false;
    pixmap->GetSize(dx, dy);
    return true;
}

bool ZuImage::SetCenteredImage(bool centered)
{
    is_centered = centered;
    return true;
}

bool ZuImage::SetTiledImage(bool tiled)
{
    is_tiled = tiled;
    return true;
}

const ZuStringRef& ZuImage::RetImageName() const
{
    return name;
}

bool ZuImage::IsImageCentered() const
{
    return is_centered;
}

bool ZuImage::IsImageTiled() const
{
    return is_tiled;
}

void ZuImage::Awake()
{
    ZuView::Awake();
    LoadImage(name);
}

void ZuImage::Delete()
{
    ZuView::Delete();
    name = ZuStringNull;
    DropPixmap();
}

void ZuImage::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    (void)rect;
    if (pixmap.IsInvalid() || port.IsInvalid())
        return;
    double iw = 0, ih = 0;
    pixmap->GetSize(iw, ih);
    // The tile loops step by the picture's size: a picture without width
    // or height has nothing to show and would never cover the box.
    if (!(iw > 0) || !(ih > 0))
        return;
    const double x1 = box.X1(), y1 = box.Y1();
    const double w = box.IsEmpty() ? 0 : box.X2() - x1 + 1;
    const double h = box.IsEmpty() ? 0 : box.Y2() - y1 + 1;
    unsigned nx = 1, ny = 1;
    double tw = iw, th = ih;
    if (is_tiled) {
        for (; w > tw; tw += iw)
            ++nx;
        for (; h > th; th += ih)
            ++ny;
    }
    double x0 = x1, y0 = y1;
    if (is_centered) {
        if (is_tiled) {
            if (nx % 2 == 0) {
                ++nx;
                tw += iw;
            }
            if (ny % 2 == 0) {
                ++ny;
                th += ih;
            }
        }
        x0 = x1 + (w - tw) / 2;
        y0 = y1 + (h - th) / 2;
    }
    for (unsigned r = 0; r < ny; ++r)
        for (unsigned c = 0; c < nx; ++c) {
            const double x = x0 + c * iw, y = y0 + r * ih;
            port->CopyRect(pixmap, 0, 0, ZuRect(x, y, x + iw - 1, y + ih - 1), 0);
        }
}

void ZuImage::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << ImageRecord() << ZuStorageSync::begin;
    s->StoreObject(name);
    s->StoreBool(is_centered);
    s->StoreBool(is_tiled);
    s << ZuStorageSync::end;
}

void ZuImage::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef text;
    s->RestoreObject(text, ZuStringRef::RetRuntime());
    name = text.IsValid() && text->IsKindOf(ZuStringRef::RetRuntime()) ? ZuStringRef(text)
                                                                       : ZuStringRef();
    is_centered = s->RestoreBool(is_centered);
    is_tiled = s->RestoreBool(is_tiled);
    s >> ZuStorageSync::end;
}
