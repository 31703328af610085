// CFontDef: a typeface and its spacing. The CDef name is the font's name
// ("Helvetica" in a new definition); the value is 45 "Police PostScript" or
// 46 "Police TrueType". Size, stretch and slant go into the port's font
// selection; the character and word spacings are extra advances, each
// multiplied by the size. The two reserved fields are kept, copied and
// stored, and read by nothing.
//
// Fonts order by size: a smaller font compares as -1 with a larger one,
// and as 0 otherwise.
//
// Stored record (after the CDef record): begin, mark, Real size, Real
// stretch, Real slant, Real reserved, Real characterSpacing, Real
// wordSpacing, Int reservedInt, end.
#ifndef LUMBRA_APP_FONTDEF_H
#define LUMBRA_APP_FONTDEF_H

#include "app/def.h"

ZU_HANDLE(CFontDef, CDef)

class CFontDef : public CDef {
    ZU_CLASS(CFontDef, CDef)
public:
    CFontDef();

    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    int CompareWith(const ZuObjectRef& other) const override;

    double GetScale() const { return size; }
    void SetScale(double v) { size = v; }
    double GetStretch() const { return stretch; }
    void SetStretch(double v) { stretch = v; }
    double GetItalic() const { return slant; }
    void SetItalic(double v) { slant = v; }
    double GetReserved() const { return reserved; }
    void SetReserved(double v) { reserved = v; }
    double GetWidth() const { return character_spacing; }
    void SetWidth(double v) { character_spacing = v; }
    double GetWordSpacing() const { return word_spacing; }
    void SetWordSpacing(double v) { word_spacing = v; }
    int GetReservedInt() const { return reserved_int; }
    void SetReservedInt(int v) { reserved_int = v; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double size;
    double stretch;
    double slant;
    double reserved;
    double character_spacing;
    double word_spacing;
    int reserved_int;
};
ZU_CLASS_END(CFontDef)

#endif
