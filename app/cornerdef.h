// CCornerDef: how corners are cut. Its value is the corner: 110 "Pointu"
// (sharp), 111 "Biseauté", 112 "Arrondi", 113 "Creux", 114 "Carré",
// 115 "Spécial". Kind and inset ("Retrait") go together: a sharp corner has
// no inset, and any other has one; savedKind is the last kind other than
// 110 the definition was given, brought back when a sharp corner gets an
// inset.
//
// Stored record (after the CDef record): begin, mark, Int savedKind, Real
// length, end.
#ifndef LUMBRA_APP_CORNERDEF_H
#define LUMBRA_APP_CORNERDEF_H

#include "app/def.h"

ZU_HANDLE(CCornerDef, CDef)

class CCornerDef : public CDef {
    ZU_CLASS(CCornerDef, CDef)
public:
    enum { SHARP = 110 };

    CCornerDef();

    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    // A kind other than 110 is kept as savedKind and given an inset of 10
    // when it has none; 110 clears the inset.
    bool SetValue(int kind) override;

    double GetLength() const { return length; }
    // An inset on a sharp corner brings savedKind back; no inset makes the
    // corner sharp.
    bool SetLength(double length);
    int GetSavedKind() const { return saved_kind; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int saved_kind;
    double length;
};
ZU_CLASS_END(CCornerDef)

#endif
