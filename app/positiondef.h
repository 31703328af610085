// CPositionDef: where an object's shadow lies. Its value at each index is
// the shadow mode: 116 "Ombre en haut à gauche", 117 "Ombre en haut à
// droite", 118 "Ombre en bas à gauche", 119 "Ombre en bas à droite", 120
// "Pas d'ombre". The offsets are magnitudes in millimetres; the mode gives
// them their signs. The include share (0 .. 2) is how much of the stroke
// the shadow takes in.
//
// Stored record (after the CDef record): begin, mark, Real offset x, Real
// offset y, Real include, end.
#ifndef LUMBRA_APP_POSITIONDEF_H
#define LUMBRA_APP_POSITIONDEF_H

#include "app/def.h"
#include "app/misc.h"

ZU_HANDLE(CPositionDef, CDef)

class CPositionDef : public CDef {
    ZU_CLASS(CPositionDef, CDef)
public:
    enum {
        TOP_LEFT = 116,
        TOP_RIGHT = 117,
        BOTTOM_LEFT = 118,
        BOTTOM_RIGHT = 119,
        NO_SHADOW = 120
    };

    CPositionDef();

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    double GetOffsetX() const { return offset_x; }
    bool SetOffsetX(double v)
    {
        offset_x = v;
        return true;
    }
    double GetOffsetY() const { return offset_y; }
    bool SetOffsetY(double v)
    {
        offset_y = v;
        return true;
    }
    double GetInclude() const { return include; }
    // Clamped to 0.0 .. 2.0 (a value that is not a number gives 0.0).
    bool SetInclude(double v);
    // The signed displacement of the shadow for the mode at the current
    // index; y points up.
    DPoint GetShadowOffset() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double offset_x;
    double offset_y;
    double include;
};
ZU_CLASS_END(CPositionDef)

#endif
