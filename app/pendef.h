// CPenDef: how a stroke is drawn. Its value at each index is the pen kind:
// 40 "Trait simple" (plain) or 41 "Trait fantaisie" (fancy). It holds the
// line width in millimetres, the PostScript cap (0 butt, 1 round, 2 square)
// and join (0 miter, 1 round, 2 bevel) codes, the miter limit, up to five
// dash/gap pairs with the dash offset, and the six numbers and the option
// bits of the fancy stroke.
//
// Stored record (after the CDef record): begin, Real width, Int cap, Int
// join, Real miter limit, Int 5, repeat, five times {begin, Real dash, Real
// gap, end}, end_repeat, Real dash offset, mark, Int motif mode, Real motif
// parameter, Real pair 0, Real pair 1, Real value 1, Real value 2, Real
// value 3, end.
#ifndef LUMBRA_APP_PENDEF_H
#define LUMBRA_APP_PENDEF_H

#include "app/def.h"

ZU_HANDLE(CPenDef, CDef)

class CPenDef : public CDef {
    ZU_CLASS(CPenDef, CDef)
public:
    enum { PAIRS = 5, KIND_PLAIN = 40, KIND_FANCY = 41 };

    CPenDef();

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    // "Trait continu" or "Traitillé", the width in the document's unit and
    // the caps, as "Trait continu, épaisseur=0.50, extrémités=rond".
    ZuStringRef GetDisplayName() const override;

    double GetWidth() const { return width; }
    void SetWidth(double w) { width = w; }
    int GetCap() const { return cap; }
    void SetCap(int c) { cap = c; }
    int GetJoin() const { return join; }
    void SetJoin(int j) { join = j; }
    double GetMiterLimit() const { return miter_limit; }
    void SetMiterLimit(double limit) { miter_limit = limit; }
    // The miter limit as the smallest angle (radians) still mitred.
    double GetLimitAngle() const;
    void SetLimitAngle(double angle);
    // i in 0 .. 4; outside, 0.0 and nothing set.
    double GetDash(int i) const;
    void SetDash(int i, double length);
    double GetGap(int i) const;
    void SetGap(int i, double length);
    double GetDashOffset() const { return dash_offset; }
    void SetDashOffset(double offset) { dash_offset = offset; }
    int GetMotifMode() const { return int(motif_mode); }
    void SetMotifMode(int mode) { motif_mode = unsigned(mode); }
    double GetMotifParam() const { return motif_param; }
    void SetMotifParam(double v) { motif_param = v; }
    // i 0 or 1; outside, 0.0 and nothing set.
    double GetMotifPair(int i) const;
    void SetMotifPair(int i, double v);
    double GetMotifValue1() const { return motif_value1; }
    void SetMotifValue1(double v) { motif_value1 = v; }
    double GetMotifValue2() const { return motif_value2; }
    void SetMotifValue2(double v) { motif_value2 = v; }
    double GetMotifValue3() const { return motif_value3; }
    void SetMotifValue3(double v) { motif_value3 = v; }
    // 6 for a fancy pen at the current index, else 1.
    int CountKindValues() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double width;
    int cap;
    int join;
    double miter_limit;
    double dash[PAIRS];
    double gap[PAIRS];
    double dash_offset;
    unsigned motif_mode;
    double motif_param;
    double motif_pair[2];
    double motif_value1;
    double motif_value2;
    double motif_value3;
};
ZU_CLASS_END(CPenDef)

#endif
