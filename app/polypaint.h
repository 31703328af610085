// PolyPaint: the nine definitions that the curve chain and the free polygon
// both paint with, by attribute kind: 10 pen, 11 stroke brush, 12 stroke
// pulsar, 15 stroke colour, 18 close, 20 fill, 21 fill brush, 22 fill
// pulsar, 25 fill colour. Pen, colours, fill and close exist from the start
// (made in that order); brushes and pulsars only while a fancy pen or a
// special fill asks for them.
//
// Stored form (inside the owner's record): the pen, stroke brush, stroke
// pulsar, stroke colour and close as objects, mark, the fill, fill brush,
// fill pulsar and fill colour as objects; empty handles as empty objects.
#ifndef LUMBRA_APP_POLYPAINT_H
#define LUMBRA_APP_POLYPAINT_H

#include "app/closedef.h"
#include "app/grapaint.h"

ZU_FORWARD(CGraPort)
class ZuStorageRef;

struct PolyPaint {
    CPenDefRef pen;
    CPatternDefRef stroke_brush;
    CPulsarDefRef stroke_pulsar;
    CColorDefRef stroke_colour;
    CMotifDefRef fill;
    CPatternDefRef fill_brush;
    CPulsarDefRef fill_pulsar;
    CColorDefRef fill_colour;
    CCloseDefRef close;

    // The eight definitions other than the close, as every drawing object
    // that fills has them.
    GraPaint View() const;

    // The five definitions every owner starts with.
    void Create();
    // Delete on each set definition, then every handle emptied.
    void Delete();
    // Clones of the other's definitions (the same object for a shared one);
    // an empty one empties the handle.
    void CopyFrom(const PolyPaint& other);

    // Whether the kind is one of the nine.
    static bool IsKind(int kind);
    // For the nine kinds: out is the definition, true; false for others.
    bool Get(int kind, ZuObjectRef& out) const;
    // For the nine kinds: a clone of def replaces the field, true; false,
    // nothing changed, for other kinds and for a definition of a class
    // that does not fit the field (an empty def empties it).
    bool Set(int kind, const ZuObjectRef& def);
    // A plain pen (40) drops the stroke brush and pulsar; a fill other than
    // special (64) drops the fill brush and pulsar.
    void Prune();
    // A fancy pen asks for 11 and 12, a special fill for 21 and 22, when
    // missing.
    void AddMissing(int* kinds, int* count) const;

    bool IsClosed() const { return close.IsValid() && close->GetClosed(); }
    double PenWidth() const { return View().PenWidth(); }

    // Pen, then the stroke brush and pulsar when set.
    void SetStroke(CGraPortRef& port) const;
    // The stroke setup with flag 1, the stroke colour with 2, the fill
    // colour, fill and its brush and pulsar with 4.
    void SetForDraw(CGraPortRef& port, int flags) const;
    // Whether the fill and the stroke colour can be hit (a transparency of
    // exactly 1.0 cannot).
    bool FillVisible() const;
    bool StrokeVisible() const;

    void Store(const ZuStorageRef& s) const;
    void Restore(const ZuStorageRef& s);
};

#endif
