// CArcDef: the shape of an arc. Its value is 220 "Cercle" or 221 "Ellipse";
// its mode the form the arc is drawn in: 222 "Complet", 223 "Ouvert",
// 224 "Fermé", 225 "Camembert".
//
// Stored record (after the CDef record): begin, mark, Int mode, end.
#ifndef LUMBRA_APP_ARCDEF_H
#define LUMBRA_APP_ARCDEF_H

#include "app/def.h"

ZU_HANDLE(CArcDef, CDef)

class CArcDef : public CDef {
    ZU_CLASS(CArcDef, CDef)
public:
    CArcDef();

    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    int GetMode() const { return mode; }
    void SetMode(int m) { mode = m; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int mode;
};
ZU_CLASS_END(CArcDef)

#endif
