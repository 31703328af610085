// CColorDef: a colour definition. Each of the ten indexes holds one colour:
// its model (the CDef value: 50 RGB, 51 CMYK, 52 HSB, 53 grey), four
// components in the order of the model and a transparency (0 opaque, 1
// invisible). Every operation acts on the current index.
//
// The setters clamp their inputs to 0..1 (a value that is not a number
// becomes 0) and store the colour converted into the index's own model; the
// getters convert from the model and clamp their results. Setting another
// model with SetValue converts the colour into it. A value that names no
// model is read as RGB.
//
// Stored record (after the CDef record): begin, Int 10, repeat, ten times
// {begin, Real component 0 .. 3, Real transparency, end}, end_repeat, end.
#ifndef LUMBRA_APP_COLORDEF_H
#define LUMBRA_APP_COLORDEF_H

#include "app/def.h"

ZU_HANDLE(CColorDef, CDef)

class CColorDef : public CDef {
    ZU_CLASS(CColorDef, CDef)
public:
    enum Model { MODEL_RGB = 50, MODEL_CMYK = 51, MODEL_HSB = 52, MODEL_GRAY = 53 };

    CColorDef();

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    bool IsEqualAll(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    bool SetValue(int model) override;
    ZuStringRef GetDisplayName() const override;

    void GetGray(double& gray) const;
    void SetGray(double gray);
    void GetRGB(double& r, double& g, double& b) const;
    void SetRGB(double r, double g, double b);
    void GetHSB(double& h, double& s, double& v) const;
    void SetHSB(double h, double s, double v);
    void GetCMYK(double& c, double& m, double& y, double& k) const;
    void SetCMYK(double c, double m, double y, double k);
    // n 0..3: a component as stored; n 4: the transparency. Any other n
    // reads 0 and changes nothing.
    void GetComponent(int n, double& value) const;
    void SetComponent(int n, double value);
    double GetTransparency() const;
    void SetTransparency(double transparency);

    // Fills a colour pixel with red, green and blue from GetRGB through its
    // SetRed, SetGreen and SetBlue that take doubles. Written for any pixel
    // type with those three setters, so that it serves the library's colour
    // pixel as it is.
    template <class Pixel>
    void GetColorPixel(Pixel& pixel) const
    {
        double r, g, b;
        GetRGB(r, g, b);
        pixel.SetRed(r);
        pixel.SetGreen(g);
        pixel.SetBlue(b);
    }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The colour at the current index in its own model, to the new model.
    void StoreFromRGB(double r, double g, double b);

    double components[MAX_VALUES][4];
    double transparency[MAX_VALUES];
};
ZU_CLASS_END(CColorDef)

#endif
