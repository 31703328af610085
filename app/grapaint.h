// GraPaint: the stroke and fill definitions of a drawing object, by
// attribute kind: 10 pen, 11 stroke brush, 12 stroke pulsar, 15 stroke
// colour, and for the objects that fill, 20 fill, 21 fill brush, 22 fill
// pulsar, 25 fill colour. The objects keep these handles as fields of their
// own (their stored records and subclasses name them); GraPaint points at
// them, so that what every object does with them (supplying, pruning,
// copying, handing them to the port, storing them) is written once. An
// object without a fill leaves the fill's pointers empty.
//
// CloneInto and SetChecked are the one way a definition handed to an object
// gets into a field; DeleteDefinitions the one way an object lets its own
// go.
#ifndef LUMBRA_APP_GRAPAINT_H
#define LUMBRA_APP_GRAPAINT_H

#include "app/colordef.h"
#include "app/def.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/pulsardef.h"

ZU_FORWARD(CGraPort)
class ZuStorageRef;
struct ChangeRecord;

// A clone of the definition into the handle (the same object when shared);
// an empty definition empties the handle.
template <class R>
void CloneInto(R& field, const ZuObjectRef& def)
{
    if (def.IsInvalid()) {
        field = R();
        return;
    }
    CDefRef out;
    CDefRef(def)->CloneTo(out);
    field = out;
}

// The clone when def is empty or of the field's class; false, nothing
// changed, for a definition of another class.
template <class R>
bool SetChecked(R& field, const ZuObjectRef& def)
{
    if (def.IsValid() && !def->IsKindOf(R::RetRuntime()))
        return false;
    CloneInto(field, def);
    return true;
}

// Delete on each set definition, in order, then each handle emptied: all
// are deleted before any handle lets its definition go.
template <class... R>
void DeleteDefinitions(R&... fields)
{
    ((fields.IsValid() ? fields->Delete() : void()), ...);
    ((fields = R()), ...);
}

struct GraPaint {
    CPenDefRef* pen;
    CPatternDefRef* stroke_brush;
    CPulsarDefRef* stroke_pulsar;
    CColorDefRef* stroke_colour;
    CMotifDefRef* fill = nullptr;
    CPatternDefRef* fill_brush = nullptr;
    CPulsarDefRef* fill_pulsar = nullptr;
    CColorDefRef* fill_colour = nullptr;

    bool HasFill() const { return fill != nullptr; }
    static bool IsStrokeKind(int kind)
    {
        return kind == 10 || kind == 11 || kind == 12 || kind == 15;
    }
    static bool IsFillKind(int kind)
    {
        return kind == 20 || kind == 21 || kind == 22 || kind == 25;
    }

    // Delete on each set definition, then every handle emptied.
    void Delete() const;
    // Clones of the other's definitions; the other has the same parts.
    void CopyFrom(const GraPaint& other) const;

    // Whether the kind is one of the object's (the fill's only with a fill).
    bool HasKind(int kind) const;
    // For the object's kinds: out is the definition, true; false for others.
    bool Get(int kind, ZuObjectRef& out) const;
    // For the object's kinds: SetChecked into the field; false for others.
    bool Set(int kind, const ZuObjectRef& def) const;
    // A plain pen drops the stroke brush and pulsar; a fill other than
    // special drops the fill brush and pulsar.
    void Prune() const;
    // A fancy pen asks for 11 and 12, a special fill for 21 and 22, when
    // missing.
    void AddMissing(int* kinds, int* count) const;
    double PenWidth() const { return pen->IsValid() ? (*pen)->GetWidth() : 0.0; }
    // A scale of the whole object (change kind 2 with flags bit 2) gives
    // the pen the width it had (width) times the mean size of the factors.
    void ScalePen(double width, const ChangeRecord& change, int flags) const;

    // Pen, then the stroke brush and pulsar when set.
    void SetStroke(CGraPortRef& port) const;
    // The stroke setup with flag 1, the stroke colour with 2, and with 4
    // (for an object that fills) the fill colour, the fill and its brush
    // and pulsar when set.
    void SetForDraw(CGraPortRef& port, int flags) const;
    // Whether a hit test looks at the fill (asked for, and a fill colour
    // that is set and not wholly transparent) and at the stroke (a stroke
    // colour set and not wholly transparent).
    bool FillHittable(int fillAllowed) const;
    bool StrokeHittable() const;

    // The pen, stroke brush, stroke pulsar and stroke colour as objects.
    void StoreStroke(const ZuStorageRef& s) const;
    void RestoreStroke(const ZuStorageRef& s) const;
    // The fill, fill brush, fill pulsar and fill colour as objects.
    void StoreFill(const ZuStorageRef& s) const;
    void RestoreFill(const ZuStorageRef& s) const;
    // The stroke's four, mark, the fill's four: the records of the objects
    // that fill without a close definition.
    void Store(const ZuStorageRef& s) const;
    void Restore(const ZuStorageRef& s) const;
};

#endif
