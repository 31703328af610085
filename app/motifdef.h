// CMotifDef: how the inside of a closed object is filled. Its value at each
// index is the fill kind: 60 "Uni" (uniform), 61 "Dégradé" (gradient), 62
// "Hachures" (hatching), 63 "Damier" (checkerboard), 64 "Spécial" (a
// repeated pattern). It holds four hatching sets, the placement of the
// special pattern, and a gradient: its kind, colour count, mesh-size bits
// and its geometry as one array of doubles whose layout the kind sets:
//
//   230 "Axial", 23 numbers: three parameters; the positions of the second
//       to the last colour at 3 ..; one further number per colour at 13 ..
//   231 "Radial", 26 numbers: six parameters; positions at 6 ..; further
//       numbers at 16 ..
//   232 "Rectangulaire", 2 parameters
//   233 "Maillage de triangles", columns x rows records of 4: x, y, colour
//       value, interior flag (1.0 off the border), row by row from the
//       bottom, each from the left
//   234 "Maillage de courbes", columns x rows records of 19: the vertex, its
//       left, right, upper and lower handles, its upper-left, upper-right,
//       lower-left and lower-right diagonal points, the interior flag
//
// Mesh coordinates lie in the square -1 .. 1. The mesh size is in the mesh
// bits: columns 3, 4, 5 for 0x800, 0x1000, 0x2000, rows 3, 4, 5 for
// 0x10000, 0x20000, 0x40000 (the highest bit of a group counts; 2 without
// one).
//
// Stored record (after the CDef record): begin, Int 4, repeat, four times
// {begin, Real thickness, Real spacing, Real angle, end}, end_repeat, mark,
// Real origin x, y, occupied width, height, step x, y, offset x, y,
// perspective x, y, global angle, motif angle, variation, mark, Int
// gradient kind, Int colour count, Int mesh bits, the gradient array
// (begin, Card count, Card grow step, mark, a Real per element, end), end.
#ifndef LUMBRA_APP_MOTIFDEF_H
#define LUMBRA_APP_MOTIFDEF_H

#include "app/def.h"
#include "app/misc.h"
// The arrays of numbers store through the storage operators.
#include "si/storage.h"
#include "si/simplearray.h"

ZU_HANDLE(CMotifDef, CDef)

class CMotifDef : public CDef {
    ZU_CLASS(CMotifDef, CDef)
public:
    enum {
        HATCHES = 4,
        KIND_UNIFORM = 60,
        KIND_GRADIENT = 61,
        KIND_HATCHING = 62,
        KIND_CHECKER = 63,
        KIND_SPECIAL = 64,
        GRADIENT_NONE = 0,
        GRADIENT_AXIAL = 230,
        GRADIENT_RADIAL = 231,
        GRADIENT_RECT = 232,
        GRADIENT_TRIANGLES = 233,
        GRADIENT_CURVES = 234,
        MIN_COLORS = 2,
        MAX_COLORS = 10
    };

    CMotifDef();
    ~CMotifDef() override;

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;
    // 61 brings an axial gradient when there is none; any other kind drops
    // the gradient.
    bool SetValue(int kind) override;

    // Hatching set i in 0 .. 3; outside, 0.0 and false.
    double GetHatchThickness(int i) const;
    double GetHatchSpacing(int i) const;
    double GetHatchAngle(int i) const;
    bool SetHatchThickness(int i, double v);
    bool SetHatchSpacing(int i, double v);
    bool SetHatchAngle(int i, double v);

    double GetOriginX() const { return origin_x; }
    bool SetOriginX(double v)
    {
        origin_x = v;
        return true;
    }
    double GetOriginY() const { return origin_y; }
    bool SetOriginY(double v)
    {
        origin_y = v;
        return true;
    }
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
    double GetPerspectiveX() const { return perspective_x; }
    bool SetPerspectiveX(double v)
    {
        perspective_x = v;
        return true;
    }
    double GetPerspectiveY() const { return perspective_y; }
    bool SetPerspectiveY(double v)
    {
        perspective_y = v;
        return true;
    }
    // Never below 0.1.
    double GetStepX() const { return step_x; }
    bool SetStepX(double v);
    double GetStepY() const { return step_y; }
    bool SetStepY(double v);
    double GetOccupiedWidth() const { return occupied_width; }
    bool SetOccupiedWidth(double v)
    {
        occupied_width = v;
        return true;
    }
    double GetOccupiedHeight() const { return occupied_height; }
    bool SetOccupiedHeight(double v)
    {
        occupied_height = v;
        return true;
    }
    double GetGlobalAngle() const { return global_angle; }
    bool SetGlobalAngle(double v)
    {
        global_angle = v;
        return true;
    }
    double GetMotifAngle() const { return motif_angle; }
    bool SetMotifAngle(double v)
    {
        motif_angle = v;
        return true;
    }
    double GetVariation() const { return variation; }
    bool SetVariation(double v)
    {
        variation = v;
        return true;
    }

    int GetGradientType() const { return gradient_kind; }
    // The kind with its default geometry and two colours (ten for a mesh).
    bool SetGradientType(int kind);
    int GetColorCount() const { return color_count; }
    // Clamped to 2 .. 10; nothing else changes.
    bool SetColorCount(int n);
    unsigned GetMeshFlags() const { return mesh_flags; }
    // Stores the bits; a mesh is rebuilt at its new size.
    bool SetMeshFlags(unsigned flags);
    void GetMeshSize(int& columns, int& rows) const;
    // The number of gradient numbers.
    int CountGradientPoints() const { return int(points.RetCount()); }
    // Element i; 0.0 (get) or false (set) outside the array.
    double GetGradientPoint(int i) const;
    bool SetGradientPoint(int i, double v);
    // Colours evenly placed (axial, radial) or the default mesh; false for
    // other kinds.
    bool ResetGradientPoints();
    // Part 0 all, 1 vertices (and curve handles), 2 colour values (triangle
    // mesh) or handles (curve mesh), 3 diagonal points (curve mesh). A
    // triangle mesh's colour values come from the bend: 0 all 0, 1 all 1,
    // 2 and 3 a checkerboard; other bends leave them.
    void BuildDefaultMesh(int part, double bend);
    // Puts the border vertices (and their outward handles) back on the
    // edges of the square.
    void ClampMeshBorder();
    // The change applied to every point of the mesh, then the border clamped.
    void TransformMesh(const ChangeRecord& record);
    // 7 for a special pattern, 2 for gradient, hatching and checkerboard,
    // else 1, for the kind at the current index.
    int CountKindValues() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // Record k of the mesh of the given record length, or null when the
    // array does not hold it.
    double* MeshRecord(int k, int length);
    int MeshRecordLength() const;
    void ResizePoints(unsigned n);

    double hatch_thickness[HATCHES];
    double hatch_spacing[HATCHES];
    double hatch_angle[HATCHES];
    double origin_x;
    double origin_y;
    double offset_x;
    double offset_y;
    double perspective_x;
    double perspective_y;
    double step_x;
    double step_y;
    double occupied_width;
    double occupied_height;
    double global_angle;
    double motif_angle;
    double variation;
    int gradient_kind;
    int color_count;
    unsigned mesh_flags;
    Zuvi_SimpleArrayZero<double> points;
};
ZU_CLASS_END(CMotifDef)

#endif
