// CGraArc: an arc, a whole ellipse, a chord shape or a pie slice of a circle
// or ellipse ("Arc cercle/ellipse"), object kind 18. It follows the line's
// scheme (edit fields, definitions by kind, drawing flags, shadow, box,
// storage) and adds the fill: kinds 20 fill, 21 fill brush, 22 fill pulsar,
// 25 fill colour, and 51 the arc definition (220 "Cercle" keeps both radii
// equal in size; its mode is the shape: 222 whole, 223 open, 224 chord,
// 225 pie).
//
// Geometry: a centre, signed radii (rx, ry), the start and end parameter
// angles and the inclination of the whole ellipse, all in radians. An end
// below the start spans across angle 0. Handles 0 to 3 are the corners of
// the ellipse's frame, 4 and 5 the ends, 6 the middle of the arc (only 0 to
// 3 for a whole ellipse).
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, pen, brush, pulsar, colour, mark, fill, fill brush, fill pulsar,
// fill colour, arc definition, mark, Real centre x, centre y, rx, ry,
// start, end, mark, the box as 4 Reals, mark, Real inclination, end. A
// record without the last group reads inclination 0.0.
#ifndef LUMBRA_APP_GRAARC_H
#define LUMBRA_APP_GRAARC_H

#include "app/arcdef.h"
#include "app/graobject.h"
#include "app/grapaint.h"
#include "app/pulsardef.h"

ZU_HANDLE(CGraArc, CGraObject)

class CGraArc : public CGraObject {
    ZU_CLASS(CGraArc, CGraObject)
public:
    enum { PROPERTIES = 7 };

    CGraArc();
    ~CGraArc() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 28, variant 1: 38, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles and geometry
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    bool SaveGeometry(const ChangeRecord& change) override;
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    // The centre at points[0], both radii 0.
    bool SetPoints(const DPoint* points, int n) override;
    // The radii from the centre to p.
    void PlacePoint(const DPoint& p, int flags) override;

    // ---- Properties, set directly (no page check, no circle constraint)
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    bool GetPropertyOption(int n, int& out) const override;
    bool GetPropertyValue(int n, double& out) const override;
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    // Kind 51 "Cercle" also makes ry as large as rx.
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    // flags non-zero asks for hits of the fill too.
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // The arc has no constraint of its own on a placed point.
    virtual void ConstrainPoint(int flags, int which, DPoint& p) const;

    // The point of the ellipse at the parameter angle, inclination applied.
    DPoint PointAtAngle(double a) const;
    // The parameter angle of a point given in the unturned frame; needs both
    // radii non-zero.
    double AngleOfPoint(const DPoint& p) const;
    // With "Cercle", both radii take the larger size, each its own sign.
    void ApplyCircle();
    // The arc's path on the port (collection modes).
    void AppendArc(CGraPortRef& port) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The stroke and fill definitions.
    GraPaint Paint() const;
    int Shape() const;
    // The end angle, a turn further when below the start.
    double UnwrappedEnd() const;
    double MiddleAngle() const;

    int edit_mode = 0;
    int editing = 1;
    CPenDefRef pen;
    CPatternDefRef brush;
    CPulsarDefRef pulsar;
    CColorDefRef stroke_colour;
    CMotifDefRef fill;
    CPatternDefRef fill_brush;
    CPulsarDefRef fill_pulsar;
    CColorDefRef fill_colour;
    CArcDefRef arc;
    DPoint centre{0.0, 0.0};
    DPoint radii{0.0, 0.0};
    double start_angle = 1.57079632675;
    double end_angle = 6.283185307;
    double inclination = 0.0;
    DPoint saved_centre{0.0, 0.0};
    DPoint saved_radii{0.0, 0.0};
    double saved_inclination = 0.0;
    double saved_width = 0.0;
};
ZU_CLASS_END(CGraArc)

#endif
