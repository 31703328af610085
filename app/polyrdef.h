// CPolyRegDef: a regular polygon or star: the number of sides (3 .. 50),
// whether the outline is indented into a star, and how deep (0 .. 1). Its
// value is the star flag seen as an icon: 58 "Polygone", 59 "Etoile"; the
// ten indexed values of the base are set to 110 and otherwise unused.
//
// Stored record (after the CDef record): begin, mark, Int sides, Bool star,
// Real indentation, end.
#ifndef LUMBRA_APP_POLYRDEF_H
#define LUMBRA_APP_POLYRDEF_H

#include "app/def.h"

ZU_HANDLE(CPolyRegDef, CDef)

class CPolyRegDef : public CDef {
    ZU_CLASS(CPolyRegDef, CDef)
public:
    enum { POLYGON = 58, STAR = 59, MIN_SIDES = 3, MAX_SIDES = 50 };

    CPolyRegDef();

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    // 59 for a star, else 58.
    int GetValue() const override;
    // 58 makes a polygon, any other value a star.
    bool SetValue(int value) override;

    int GetSides() const { return sides; }
    void SetSides(int n);
    bool IsStar() const { return star; }
    double GetIndentation() const { return indentation; }
    // Clamped to 0.0 .. 1.0 (a value that is not a number gives 0.0).
    void SetIndentation(double depth);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int sides;
    bool star;
    double indentation;
};
ZU_CLASS_END(CPolyRegDef)

#endif
