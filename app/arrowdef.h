// CArrowDef: the arrow head at a line end. Its value is the head: 66 "Pas de
// flèche", 67 "Flèche triangulaire", 68 "Flèche ronde", 69 "Flèche
// d'architecte". Flags bit 0 draws the head outwards ("Extérieur"), clear
// inwards ("Intérieur"). Param1 is the length (heads 67, 68 and 69),
// Param2 to Param4 shape the triangular head, Param5 (an angle in radians)
// the architect's head.
//
// Stored record (after the CDef record): begin, mark, Int flags, Real
// length, Real param2, Real param3, Real param4, Real param5, end.
#ifndef LUMBRA_APP_ARROWDEF_H
#define LUMBRA_APP_ARROWDEF_H

#include "app/def.h"

ZU_HANDLE(CArrowDef, CDef)

class CArrowDef : public CDef {
    ZU_CLASS(CArrowDef, CDef)
public:
    CArrowDef();

    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    int GetFlags() const { return flags; }
    bool SetFlags(int f)
    {
        flags = f;
        return true;
    }
    double GetParam1() const { return length; }
    bool SetParam1(double v)
    {
        length = v;
        return true;
    }
    double GetParam2() const { return param2; }
    bool SetParam2(double v)
    {
        param2 = v;
        return true;
    }
    double GetParam3() const { return param3; }
    bool SetParam3(double v)
    {
        param3 = v;
        return true;
    }
    double GetParam4() const { return param4; }
    bool SetParam4(double v)
    {
        param4 = v;
        return true;
    }
    double GetParam5() const { return param5; }
    bool SetParam5(double v)
    {
        param5 = v;
        return true;
    }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int flags;
    double length;
    double param2;
    double param3;
    double param4;
    double param5;
};
ZU_CLASS_END(CArrowDef)

#endif
