#ifndef SI_COLORWELL_H
#define SI_COLORWELL_H

// ZuColorWell: a control that shows one colour as a swatch. A press of the
// left button drags the colour away; a colour dropped on the well (from
// another well, or any drag that carries a colour value) replaces its own.
// The colour and its components are published data, so dialogs read and
// write them by name. None of the setters redisplays.

#include "si/colorpixel.h"
#include "si/control.h"

ZU_HANDLE(ZuColorWell, ZuControl)
class ZuColorWell : public ZuControl {
    ZU_CLASS(ZuColorWell, ZuControl)
public:
    // Drawn in relief.
    ZuColorWell();

    // Starts dragging the colour on a left press; every press then goes
    // on to the control.
    void ButtonPress(const ZuEventRef& event) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // Accepts a drag that carries a colour, and takes it at the commit.
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;

    // Reports a change when the colour differs.
    virtual bool SetColor(const ZuColorPixel& color);
    // One component (0 to 1) replaced in an explicit colour.
    virtual bool SetRed(double value);
    virtual bool SetGreen(double value);
    virtual bool SetBlue(double value);
    virtual bool SetTransparency(double value);
    // Scales red, green and blue by the factor.
    virtual bool SetLuminance(double factor);
    virtual ZuColorPixel RetColor() const;
    virtual double RetRed() const;
    virtual double RetGreen() const;
    virtual double RetBlue() const;
    virtual double RetTransparency() const;
    virtual double RetLuminance() const;

    // The drag of the colour ended: its image goes.
    virtual bool OnDragEnded(const ZuObjectRef& drag, unsigned id);

    double RetFrame() const { return frame; }
    void SetFrame(double margin) { frame = margin; }

    // The colour carried by a drag ("drag_object"), if it carries one.
    static bool GetDraggedColor(const ZuObjectRef& drag, ZuColorPixel& color);

    static ZuAtomRef drag_object;

protected:
    // "<ZuColorWell color frame>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuColorPixel color;
    double frame = 4.0;
    // The small well shown under the pointer while the colour is dragged.
    ZuViewRef drag_image;
};
ZU_CLASS_END(ZuColorWell)

#endif
