// CCloseDef: whether the curve or polygon that uses it is drawn closed. Its
// values serve nothing.
//
// Stored record (after the CDef record): begin, mark, Bool closed, end.
#ifndef LUMBRA_APP_CLOSEDEF_H
#define LUMBRA_APP_CLOSEDEF_H

#include "app/def.h"

ZU_HANDLE(CCloseDef, CDef)

class CCloseDef : public CDef {
    ZU_CLASS(CCloseDef, CDef)
public:
    CCloseDef();

    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    bool GetClosed() const { return closed; }
    void SetClosed(bool c) { closed = c; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool closed;
};
ZU_CLASS_END(CCloseDef)

#endif
