#include "app/colordef.h"

#include <cmath>
#include <cstring>

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CColorDef, "app/colordef", ZU_CLASS_PLAIN)

namespace {

// A value that is not a number fails both comparisons and becomes 0.
double Clamp01(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    if (v > 1.0)
        return 1.0;
    return v;
}

double Min2(double a, double b)
{
    return a < b ? a : b;
}
double Max2(double a, double b)
{
    return a > b ? a : b;
}

double RgbToGray(double r, double g, double b)
{
    return 0.3 * r + 0.59 * g + 0.11 * b;
}

void CmykToRgb(double c, double m, double y, double k, double& r, double& g, double& b)
{
    r = 1.0 - Min2(1.0, c + k);
    g = 1.0 - Min2(1.0, m + k);
    b = 1.0 - Min2(1.0, y + k);
}

double CmykToGray(double c, double m, double y, double k)
{
    return 1.0 - Min2(1.0, k + 0.3 * c + 0.59 * m + 0.11 * y);
}

void RgbToCmyk(double r, double g, double b, double& c, double& m, double& y, double& k)
{
    c = 1.0 - r;
    m = 1.0 - g;
    y = 1.0 - b;
    k = Min2(c, Min2(m, y));
    c = Clamp01(c - k);
    m = Clamp01(m - k);
    y = Clamp01(y - k);
}

void RgbToHsb(double r, double g, double b, double& h, double& s, double& v)
{
    v = Max2(r, Max2(g, b));
    const double d = v - Min2(r, Min2(g, b));
    if (v == 0.0) {
        s = 0.0;
        h = 0.0;
        return;
    }
    s = d / v;
    if (d == 0.0) {
        // No hue to speak of: it reads back as 0.
        h = 0.0;
        return;
    }
    const double rc = (v - r) / d;
    const double gc = (v - g) / d;
    const double bc = (v - b) / d;
    if (r == v)
        h = bc - gc;
    else if (g == v)
        h = 2.0 + rc - bc;
    else
        h = 4.0 + gc - rc;
    h *= 60.0;
    if (h < 0.0)
        h += 360.0;
    h /= 360.0;
}

// h, s and v in 0..1.
void HsbToRgb(double h, double s, double v, double& r, double& g, double& b)
{
    double hue = 360.0 * h;
    if (hue >= 360.0)
        hue = 0.0;
    if (s == 0.0) {
        r = g = b = v;
        return;
    }
    const double x = hue / 60.0;
    int i = int(std::floor(x));
    if (i > 5)
        i = 5;
    const double f = x - i;
    const double p = v * (1.0 - s);
    const double q = v * (1.0 - s * f);
    const double t = v * (1.0 - s * (1.0 - f));
    switch (i) {
    case 0:
        r = v;
        g = t;
        b = p;
        break;
    case 1:
        r = q;
        g = v;
        b = p;
        break;
    case 2:
        r = p;
        g = v;
        b = t;
        break;
    case 3:
        r = p;
        g = q;
        b = v;
        break;
    case 4:
        r = t;
        g = p;
        b = v;
        break;
    default:
        r = v;
        g = p;
        b = q;
        break;
    }
}

} // namespace

CColorDef::CColorDef()
{
    SetAllValues(MODEL_RGB);
    std::memset(components, 0, sizeof components);
    std::memset(transparency, 0, sizeof transparency);
}

// ---------------------------------------------------------------- comparison and copy

bool CColorDef::IsEqualCurrent(const CDefRef& other) const
{
    CColorDefRef ref(other);
    const CColorDef* o = ref.CheckAndResolve();
    const int i = index, j = o->index;
    if (values[i] != o->values[j] || transparency[i] != o->transparency[j])
        return false;
    for (int n = 0; n < 4; n++)
        if (components[i][n] != o->components[j][n])
            return false;
    return true;
}

bool CColorDef::IsEqualAll(const CDefRef& other) const
{
    CColorDefRef ref(other);
    const CColorDef* o = ref.CheckAndResolve();
    if (count != o->count)
        return false;
    for (int i = 0; i < count; i++) {
        if (values[i] != o->values[i] || transparency[i] != o->transparency[i])
            return false;
        for (int n = 0; n < 4; n++)
            if (components[i][n] != o->components[i][n])
                return false;
    }
    return true;
}

void CColorDef::CopyFrom(const CDefRef& other)
{
    CColorDefRef ref(other);
    const CColorDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    if (o == this)
        return;
    std::memcpy(components, o->components, sizeof components);
    std::memcpy(transparency, o->transparency, sizeof transparency);
}

void CColorDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CColorDef::GetType() const
{
    return 20;
}

// ---------------------------------------------------------------- models

bool CColorDef::SetValue(int model)
{
    if (model == values[index])
        return CDef::SetValue(model);
    double* c = components[index];
    double a = 0.0, b = 0.0, d = 0.0, e = 0.0;
    switch (model) {
    case MODEL_CMYK:
        GetCMYK(a, b, d, e);
        break;
    case MODEL_HSB:
        GetHSB(a, b, d);
        break;
    case MODEL_GRAY:
        GetGray(a);
        break;
    default:
        GetRGB(a, b, d);
        break;
    }
    c[0] = a;
    c[1] = b;
    c[2] = d;
    c[3] = e;
    values[index] = model;
    return true;
}

void CColorDef::GetRGB(double& r, double& g, double& b) const
{
    const double* c = components[index];
    const double c0 = Clamp01(c[0]), c1 = Clamp01(c[1]), c2 = Clamp01(c[2]), c3 = Clamp01(c[3]);
    switch (values[index]) {
    case MODEL_CMYK:
        CmykToRgb(c0, c1, c2, c3, r, g, b);
        break;
    case MODEL_HSB:
        HsbToRgb(c0, c1, c2, r, g, b);
        break;
    case MODEL_GRAY:
        r = g = b = c0;
        break;
    default:
        r = c0;
        g = c1;
        b = c2;
        break;
    }
    r = Clamp01(r);
    g = Clamp01(g);
    b = Clamp01(b);
}

void CColorDef::GetGray(double& gray) const
{
    const double* c = components[index];
    switch (values[index]) {
    case MODEL_CMYK:
        gray = CmykToGray(Clamp01(c[0]), Clamp01(c[1]), Clamp01(c[2]), Clamp01(c[3]));
        break;
    case MODEL_GRAY:
        gray = c[0];
        break;
    default: {
        double r, g, b;
        GetRGB(r, g, b);
        gray = RgbToGray(r, g, b);
        break;
    }
    }
    gray = Clamp01(gray);
}

void CColorDef::GetHSB(double& h, double& s, double& v) const
{
    const double* c = components[index];
    if (values[index] == MODEL_HSB) {
        h = c[0];
        s = c[1];
        v = c[2];
    } else {
        double r, g, b;
        GetRGB(r, g, b);
        RgbToHsb(r, g, b, h, s, v);
    }
    h = Clamp01(h);
    s = Clamp01(s);
    v = Clamp01(v);
}

void CColorDef::GetCMYK(double& c, double& m, double& y, double& k) const
{
    const double* p = components[index];
    switch (values[index]) {
    case MODEL_CMYK:
        c = p[0];
        m = p[1];
        y = p[2];
        k = p[3];
        break;
    case MODEL_GRAY:
        c = m = y = 0.0;
        k = 1.0 - Clamp01(p[0]);
        break;
    default: {
        double r, g, b;
        GetRGB(r, g, b);
        RgbToCmyk(r, g, b, c, m, y, k);
        break;
    }
    }
    c = Clamp01(c);
    m = Clamp01(m);
    y = Clamp01(y);
    k = Clamp01(k);
}

void CColorDef::StoreFromRGB(double r, double g, double b)
{
    double* c = components[index];
    switch (values[index]) {
    case MODEL_CMYK:
        RgbToCmyk(r, g, b, c[0], c[1], c[2], c[3]);
        return;
    case MODEL_HSB:
        RgbToHsb(r, g, b, c[0], c[1], c[2]);
        c[3] = 0.0;
        return;
    case MODEL_GRAY:
        c[0] = Clamp01(RgbToGray(r, g, b));
        c[1] = c[2] = c[3] = 0.0;
        return;
    default:
        c[0] = r;
        c[1] = g;
        c[2] = b;
        c[3] = 0.0;
        return;
    }
}

void CColorDef::SetRGB(double r, double g, double b)
{
    StoreFromRGB(Clamp01(r), Clamp01(g), Clamp01(b));
}

void CColorDef::SetGray(double gray)
{
    gray = Clamp01(gray);
    double* c = components[index];
    switch (values[index]) {
    case MODEL_GRAY:
        c[0] = gray;
        c[1] = c[2] = c[3] = 0.0;
        break;
    case MODEL_CMYK:
        c[0] = c[1] = c[2] = 0.0;
        c[3] = 1.0 - gray;
        break;
    default:
        StoreFromRGB(gray, gray, gray);
        break;
    }
}

void CColorDef::SetHSB(double h, double s, double v)
{
    h = Clamp01(h);
    s = Clamp01(s);
    v = Clamp01(v);
    if (values[index] == MODEL_HSB) {
        double* c = components[index];
        c[0] = h;
        c[1] = s;
        c[2] = v;
        c[3] = 0.0;
        return;
    }
    double r, g, b;
    HsbToRgb(h, s, v, r, g, b);
    StoreFromRGB(Clamp01(r), Clamp01(g), Clamp01(b));
}

void CColorDef::SetCMYK(double c, double m, double y, double k)
{
    c = Clamp01(c);
    m = Clamp01(m);
    y = Clamp01(y);
    k = Clamp01(k);
    double* p = components[index];
    switch (values[index]) {
    case MODEL_CMYK:
        p[0] = c;
        p[1] = m;
        p[2] = y;
        p[3] = k;
        break;
    case MODEL_GRAY:
        p[0] = Clamp01(CmykToGray(c, m, y, k));
        p[1] = p[2] = p[3] = 0.0;
        break;
    default: {
        double r, g, b;
        CmykToRgb(c, m, y, k, r, g, b);
        StoreFromRGB(Clamp01(r), Clamp01(g), Clamp01(b));
        break;
    }
    }
}

void CColorDef::GetComponent(int n, double& value) const
{
    if (n >= 0 && n < 4)
        value = components[index][n];
    else if (n == 4)
        value = transparency[index];
    else
        value = 0.0;
}

void CColorDef::SetComponent(int n, double value)
{
    if (n >= 0 && n < 4)
        components[index][n] = Clamp01(value);
    else if (n == 4)
        transparency[index] = Clamp01(value);
}

double CColorDef::GetTransparency() const
{
    return transparency[index];
}

void CColorDef::SetTransparency(double t)
{
    transparency[index] = t;
}

// ---------------------------------------------------------------- name

ZuStringRef CColorDef::GetDisplayName() const
{
    double h, s, v;
    GetHSB(h, s, v);
    const double H = 360.0 * h, S = 100.0 * s, B = 100.0 * v;
    // The texts are ISO 8859-1, as the library's strings keep them.
    char text[32];
    if (S < 10.0 || B < 20.0) {
        std::strcpy(text, B >= 75.0 ? "Gris clair" : B >= 50.0 ? "Gris" : "Gris fonc\xE9");
    } else {
        const char* hue = H < 25.0    ? "Rouge"
                          : H < 50.0  ? "Orange"
                          : H < 67.0  ? "Jaune"
                          : H < 157.0 ? "Vert"
                          : H < 171.0 ? "Turquoise"
                          : H < 198.0 ? "Cyan"
                          : H < 274.0 ? "Bleu"
                          : H < 294.0 ? "Violet"
                          : H < 333.0 ? "Magenta"
                                      : "Rouge";
        const char* suffix =
            B < 70.0 ? (S >= 50.0 ? " fonc\xE9" : " gris") : (S < 50.0 ? " clair" : "");
        std::strcpy(text, hue);
        std::strcat(text, suffix);
    }
    if (S == 0.0 && B == 0.0)
        std::strcpy(text, "Noir");
    else if (S == 0.0 && B == 100.0)
        std::strcpy(text, "Blanc");
    if (transparency[index] == 1.0)
        std::strcpy(text, "Transparent");
    return ZuStringRef(text);
}

// ---------------------------------------------------------------- storage

void CColorDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << int(MAX_VALUES) << ZuStorageSync::repeat;
    for (int i = 0; i < MAX_VALUES; i++) {
        const double* c = components[i];
        s << ZuStorageSync::begin << c[0] << c[1] << c[2] << c[3] << transparency[i]
          << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void CColorDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin;
    // Groups beyond the ten indexes are read and dropped.
    const long long stored = s->RestoreInt(0);
    s >> ZuStorageSync::repeat;
    for (long long i = 0; i < stored && s->CheckForBegin(); ++i) {
        double c[5] = {};
        if (i < MAX_VALUES) {
            std::memcpy(c, components[i], sizeof components[i]);
            c[4] = transparency[i];
        }
        s >> ZuStorageSync::begin >> c[0] >> c[1] >> c[2] >> c[3] >> c[4] >> ZuStorageSync::end;
        if (i < MAX_VALUES) {
            std::memcpy(components[i], c, sizeof components[i]);
            transparency[i] = c[4];
        }
    }
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
