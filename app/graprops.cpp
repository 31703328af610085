#include "app/graprops.h"

#include "app/misc.h"
#include "si/classfactory.h"

bool GraPropertyTable::Flags(int n, int& out) const
{
    if (!Has(n))
        return false;
    out = rows[n].flags;
    return true;
}

bool GraPropertyTable::Unit(int n, int& out) const
{
    if (!Has(n))
        return false;
    out = rows[n].unit;
    return true;
}

bool GraPropertyTable::Name(int n, ZuStringRef& out) const
{
    if (!Has(n))
        return false;
    SetLabel(out, rows[n].name);
    return true;
}

bool GraPropertyTable::Description(int n, ZuStringRef& out) const
{
    if (!Has(n))
        return false;
    SetLabel(out, rows[n].description);
    return true;
}

bool GraPropertyTable::Range(int n, double& min, double& max) const
{
    if (!Has(n))
        return false;
    min = rows[n].min;
    max = rows[n].max;
    return true;
}

bool GraPropertyTable::Step(int n, double& out) const
{
    if (!Has(n))
        return false;
    out = rows[n].step;
    return true;
}

bool GraPropertyTable::Option(int n, int& out) const
{
    if (!options) {
        out = -1;
        return false;
    }
    if (!Has(n))
        return false;
    out = rows[n].option;
    return true;
}

int* PaletteEntry(int* out, int icon, int style, int state)
{
    *out++ = icon;
    *out++ = style;
    *out++ = state;
    *out++ = -2;
    return out;
}

int* BeginPalette(int* out)
{
    out = PaletteEntry(out, 8);
    *out++ = -6;
    return out;
}

void EndPalette(int* out, bool ownEntries)
{
    if (ownEntries)
        *out++ = -6;
    out = PaletteEntry(out, 30);
    *out++ = -3;
    out = PaletteEntry(out, 78);
    *out = -1;
}

void SetPlainLayout(int* out)
{
    if (out != nullptr)
        EndPalette(BeginPalette(out), false);
}

void SetKinds(int* out, std::initializer_list<int> kinds)
{
    if (out == nullptr)
        return;
    for (int kind : kinds)
        *out++ = kind;
}

void SetLabel(ZuStringRef& out, const char* text)
{
    if (out.IsInvalid())
        out = ZuNew<ZuString>();
    out->SetString(text);
}

void SetDebugText(ZuStringRef& out, std::initializer_list<DebugPart> parts)
{
    SetLabel(out, "");
    for (const DebugPart& part : parts) {
        char number[64];
        FormatInUnit(number, sizeof number, part.value, part.unit);
        out->AppendString(part.label);
        out->AppendString(number);
    }
}
