#include "app/motifdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CMotifDef, "app/motifdef", ZU_CLASS_PLAIN)

namespace {

const double kQuarterTurn = 0.785398163375;

int ClampColors(long long n)
{
    if (n < CMotifDef::MIN_COLORS)
        return CMotifDef::MIN_COLORS;
    return n > CMotifDef::MAX_COLORS ? int(CMotifDef::MAX_COLORS) : int(n);
}

double ClampStep(double v)
{
    // A step that is not a number is no step at all: the smallest one.
    return v >= 0.1 ? v : 0.1;
}

bool InHatches(int i)
{
    return i >= 0 && i < CMotifDef::HATCHES;
}

} // namespace

CMotifDef::CMotifDef()
    : origin_x(0.0), origin_y(0.0), offset_x(0.0), offset_y(0.0), perspective_x(0.0),
      perspective_y(0.0), step_x(10.0), step_y(10.0), occupied_width(0.8), occupied_height(0.8),
      global_angle(0.0), motif_angle(0.0), variation(0.0), gradient_kind(GRADIENT_NONE),
      color_count(MIN_COLORS), mesh_flags(0)
{
    for (int i = 0; i < HATCHES; ++i) {
        hatch_thickness[i] = 1.0;
        hatch_spacing[i] = 10.0;
        hatch_angle[i] = kQuarterTurn;
    }
    SetAllValues(KIND_UNIFORM);
    SetGradientType(GRADIENT_NONE);
}

CMotifDef::~CMotifDef() {}

bool CMotifDef::IsEqualCurrent(const CDefRef& other) const
{
    CMotifDefRef ref(other);
    const CMotifDef* o = ref.CheckAndResolve();
    if (values[index] != o->values[index])
        return false;
    for (int i = 0; i < HATCHES; ++i)
        if (hatch_thickness[i] != o->hatch_thickness[i] ||
            hatch_spacing[i] != o->hatch_spacing[i] || hatch_angle[i] != o->hatch_angle[i])
            return false;
    if (origin_x != o->origin_x || origin_y != o->origin_y || occupied_width != o->occupied_width ||
        occupied_height != o->occupied_height || step_x != o->step_x || step_y != o->step_y ||
        offset_x != o->offset_x || offset_y != o->offset_y || perspective_x != o->perspective_x ||
        perspective_y != o->perspective_y || global_angle != o->global_angle ||
        motif_angle != o->motif_angle || variation != o->variation)
        return false;
    if (gradient_kind != o->gradient_kind || color_count != o->color_count ||
        mesh_flags != o->mesh_flags)
        return false;
    const unsigned n = points.RetCount();
    if (n != o->points.RetCount())
        return false;
    for (unsigned i = 0; i < n; ++i)
        if (points.At(i) != o->points.At(i))
            return false;
    return true;
}

void CMotifDef::CopyFrom(const CDefRef& other)
{
    CMotifDefRef ref(other);
    const CMotifDef* o = ref.CheckAndResolve();
    if (o == this)
        return;
    CDef::CopyFrom(other);
    for (int i = 0; i < HATCHES; ++i) {
        hatch_thickness[i] = o->hatch_thickness[i];
        hatch_spacing[i] = o->hatch_spacing[i];
        hatch_angle[i] = o->hatch_angle[i];
    }
    origin_x = o->origin_x;
    origin_y = o->origin_y;
    offset_x = o->offset_x;
    offset_y = o->offset_y;
    perspective_x = o->perspective_x;
    perspective_y = o->perspective_y;
    step_x = o->step_x;
    step_y = o->step_y;
    occupied_width = o->occupied_width;
    occupied_height = o->occupied_height;
    global_angle = o->global_angle;
    motif_angle = o->motif_angle;
    variation = o->variation;
    gradient_kind = o->gradient_kind;
    color_count = o->color_count;
    mesh_flags = o->mesh_flags;
    const unsigned n = o->points.RetCount();
    points.Resize(n);
    for (unsigned i = 0; i < n; ++i)
        points.At(i) = o->points.At(i);
}

void CMotifDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CMotifDef::GetType() const
{
    return 30;
}

bool CMotifDef::SetValue(int kind)
{
    values[index] = kind;
    if (kind == KIND_GRADIENT) {
        if (gradient_kind == GRADIENT_NONE)
            SetGradientType(GRADIENT_AXIAL);
    } else {
        SetGradientType(GRADIENT_NONE);
    }
    return true;
}

double CMotifDef::GetHatchThickness(int i) const
{
    return InHatches(i) ? hatch_thickness[i] : 0.0;
}

double CMotifDef::GetHatchSpacing(int i) const
{
    return InHatches(i) ? hatch_spacing[i] : 0.0;
}

double CMotifDef::GetHatchAngle(int i) const
{
    return InHatches(i) ? hatch_angle[i] : 0.0;
}

bool CMotifDef::SetHatchThickness(int i, double v)
{
    if (!InHatches(i))
        return false;
    hatch_thickness[i] = v;
    return true;
}

bool CMotifDef::SetHatchSpacing(int i, double v)
{
    if (!InHatches(i))
        return false;
    hatch_spacing[i] = v;
    return true;
}

bool CMotifDef::SetHatchAngle(int i, double v)
{
    if (!InHatches(i))
        return false;
    hatch_angle[i] = v;
    return true;
}

bool CMotifDef::SetStepX(double v)
{
    step_x = ClampStep(v);
    return true;
}

bool CMotifDef::SetStepY(double v)
{
    step_y = ClampStep(v);
    return true;
}

int CMotifDef::CountKindValues() const
{
    switch (values[index]) {
    case KIND_GRADIENT:
    case KIND_HATCHING:
    case KIND_CHECKER:
        return 2;
    case KIND_SPECIAL:
        return 7;
    default:
        return 1;
    }
}

// ---------------------------------------------------------------------------
// Gradient geometry
// ---------------------------------------------------------------------------
void CMotifDef::ResizePoints(unsigned n)
{
    // The defaults of a new layout start from zeros, not from what the
    // previous layout left in its places.
    points.Resize(0);
    points.Resize(n);
}

bool CMotifDef::SetGradientType(int kind)
{
    gradient_kind = kind;
    mesh_flags = 0;
    color_count = MIN_COLORS;
    switch (kind) {
    case GRADIENT_AXIAL:
        ResizePoints(23);
        points.At(0) = kQuarterTurn;
        points.At(1) = 1.0;
        points.At(2) = 1.0;
        ResetGradientPoints();
        return true;
    case GRADIENT_RADIAL:
        ResizePoints(26);
        points.At(2) = 1.0;
        ResetGradientPoints();
        return true;
    case GRADIENT_RECT:
        mesh_flags = 2;
        ResizePoints(2);
        ResetGradientPoints();
        return true;
    case GRADIENT_TRIANGLES:
    case GRADIENT_CURVES:
        color_count = MAX_COLORS;
        return SetMeshFlags(0x10800);
    default:
        ResizePoints(0);
        ResetGradientPoints();
        return true;
    }
}

bool CMotifDef::SetColorCount(int n)
{
    color_count = ClampColors(n);
    return true;
}

bool CMotifDef::SetMeshFlags(unsigned flags)
{
    mesh_flags = flags;
    int columns, rows;
    GetMeshSize(columns, rows);
    if (gradient_kind == GRADIENT_TRIANGLES) {
        ResizePoints(unsigned(columns * rows * 4));
        BuildDefaultMesh(0, 0.0);
    } else if (gradient_kind == GRADIENT_CURVES) {
        ResizePoints(unsigned(columns * rows * 19));
        BuildDefaultMesh(0, 0.4);
    }
    return true;
}

void CMotifDef::GetMeshSize(int& columns, int& rows) const
{
    columns = mesh_flags & 0x2000 ? 5 : mesh_flags & 0x1000 ? 4 : mesh_flags & 0x800 ? 3 : 2;
    rows = mesh_flags & 0x40000 ? 5 : mesh_flags & 0x20000 ? 4 : mesh_flags & 0x10000 ? 3 : 2;
}

double CMotifDef::GetGradientPoint(int i) const
{
    if (i < 0 || unsigned(i) >= points.RetCount())
        return 0.0;
    return points.At(unsigned(i));
}

bool CMotifDef::SetGradientPoint(int i, double v)
{
    if (i < 0 || unsigned(i) >= points.RetCount())
        return false;
    points.At(unsigned(i)) = v;
    return true;
}

bool CMotifDef::ResetGradientPoints()
{
    int position, further;
    switch (gradient_kind) {
    case GRADIENT_TRIANGLES:
        BuildDefaultMesh(0, 0.0);
        return true;
    case GRADIENT_CURVES:
        BuildDefaultMesh(0, 0.4);
        return true;
    case GRADIENT_AXIAL:
        position = 3;
        further = 13;
        break;
    case GRADIENT_RADIAL:
        position = 6;
        further = 16;
        break;
    default:
        return false;
    }
    // Places the array does not have (a short array from a file) are
    // skipped.
    const int steps = color_count - 1;
    for (int i = 0; i < steps; ++i) {
        SetGradientPoint(position + i, double(i + 1) / double(steps));
        SetGradientPoint(further + i, 0.0);
    }
    return true;
}

int CMotifDef::MeshRecordLength() const
{
    if (gradient_kind == GRADIENT_TRIANGLES)
        return 4;
    if (gradient_kind == GRADIENT_CURVES)
        return 19;
    return 0;
}

double* CMotifDef::MeshRecord(int k, int length)
{
    const unsigned long long end = (unsigned long long)(k + 1) * unsigned(length);
    if (length == 0 || end > points.RetCount())
        return nullptr;
    return &points.At(unsigned(k * length));
}

void CMotifDef::BuildDefaultMesh(int part, double bend)
{
    const int length = MeshRecordLength();
    if (length == 0)
        return;
    int c, r;
    GetMeshSize(c, r);
    const double dx = 2.0 / (c - 1);
    const double dy = 2.0 / (r - 1);
    double y = -1.0;
    for (int j = 0; j < r; ++j, y += dy) {
        double x = -1.0;
        for (int i = 0; i < c; ++i, x += dx) {
            double* v = MeshRecord(j * c + i, length);
            if (v == nullptr)
                return;
            const bool interior = i != 0 && i != c - 1 && j != 0 && j != r - 1;
            if (length == 4) {
                if (part == 0 || part == 1) {
                    v[0] = x;
                    v[1] = y;
                }
                if (part == 0 || part == 2) {
                    const bool same = (i % 2) == (j % 2);
                    if (bend == 0.0)
                        v[2] = 0.0;
                    else if (bend == 1.0)
                        v[2] = 1.0;
                    else if (bend == 2.0)
                        v[2] = same ? 0.0 : 1.0;
                    else if (bend == 3.0)
                        v[2] = same ? 1.0 : 0.0;
                }
                if (part == 0)
                    v[3] = interior ? 1.0 : 0.0;
                continue;
            }
            if (part == 0 || part == 1) {
                v[0] = x;
                v[1] = y;
            }
            const double vx = v[0];
            const double vy = v[1];
            if (part == 0 || part == 1 || part == 2) {
                const double hx = dx * bend;
                const double hy = dy * bend;
                v[2] = vx - hx;
                v[3] = vy;
                v[4] = vx + hx;
                v[5] = vy;
                v[6] = vx;
                v[7] = vy + hy;
                v[8] = vx;
                v[9] = vy - hy;
            }
            if (part == 0 || part == 3) {
                const double h = dy * bend;
                v[10] = vx - h;
                v[11] = vy + h;
                v[12] = vx + h;
                v[13] = vy + h;
                v[14] = vx - h;
                v[15] = vy - h;
                v[16] = vx + h;
                v[17] = vy - h;
            }
            if (part == 0)
                v[18] = interior ? 1.0 : 0.0;
        }
    }
}

void CMotifDef::ClampMeshBorder()
{
    const int length = MeshRecordLength();
    if (length == 0)
        return;
    const bool curves = length == 19;
    int c, r;
    GetMeshSize(c, r);
    for (int j = 0; j < r; ++j) {
        for (int i = 0; i < c; ++i) {
            double* v = MeshRecord(j * c + i, length);
            if (v == nullptr)
                return;
            if (i == 0) {
                v[0] = -1.0;
                if (curves) {
                    v[6] = v[8] = -1.0;
                    v[2] = -2.0;
                }
            }
            if (i == c - 1) {
                v[0] = 1.0;
                if (curves) {
                    v[6] = v[8] = 1.0;
                    v[4] = 2.0;
                }
            }
            if (j == 0) {
                v[1] = -1.0;
                if (curves) {
                    v[3] = v[5] = -1.0;
                    v[9] = -2.0;
                }
            }
            if (j == r - 1) {
                v[1] = 1.0;
                if (curves) {
                    v[3] = v[5] = 1.0;
                    v[7] = 2.0;
                }
            }
        }
    }
}

void CMotifDef::TransformMesh(const ChangeRecord& record)
{
    const int length = MeshRecordLength();
    // Points of the vertex record: one for a triangle mesh, nine for a curve
    // mesh.
    const int count = length == 4 ? 1 : length == 19 ? 9 : 0;
    for (int k = 0; count != 0; ++k) {
        double* v = MeshRecord(k, length);
        if (v == nullptr)
            break;
        for (int n = 0; n < count; ++n) {
            DPoint p{v[2 * n], v[2 * n + 1]};
            TransformPoints(p, p, record);
            v[2 * n] = p.x;
            v[2 * n + 1] = p.y;
        }
    }
    ClampMeshBorder();
}

// ---------------------------------------------------------------------------
// Storage
// ---------------------------------------------------------------------------
void CMotifDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << int(HATCHES) << ZuStorageSync::repeat;
    for (int i = 0; i < HATCHES; ++i)
        s << ZuStorageSync::begin << hatch_thickness[i] << hatch_spacing[i] << hatch_angle[i]
          << ZuStorageSync::end;
    s << ZuStorageSync::end_repeat;
    s << ZuStorageSync::mark << origin_x << origin_y << occupied_width << occupied_height << step_x
      << step_y << offset_x << offset_y << perspective_x << perspective_y << global_angle
      << motif_angle << variation;
    s << ZuStorageSync::mark << gradient_kind << color_count << int(mesh_flags);
    points.StoreInstance(s);
    s << ZuStorageSync::end;
}

void CMotifDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin;
    // Sets beyond the four are read and dropped.
    const long long stored = s->RestoreInt(HATCHES);
    s >> ZuStorageSync::repeat;
    for (long long i = 0; i < stored && s->CheckForBegin(); ++i) {
        double t = i < HATCHES ? hatch_thickness[i] : 0.0;
        double g = i < HATCHES ? hatch_spacing[i] : 0.0;
        double a = i < HATCHES ? hatch_angle[i] : 0.0;
        s >> ZuStorageSync::begin >> t >> g >> a >> ZuStorageSync::end;
        if (i < HATCHES) {
            hatch_thickness[i] = t;
            hatch_spacing[i] = g;
            hatch_angle[i] = a;
        }
    }
    s >> ZuStorageSync::end_repeat;
    // Stored values keep to the ranges the setters keep, as soon as they
    // are read (a record may end early), so that placing the colours stays
    // inside the gradient's layout.
    s >> ZuStorageSync::mark >> origin_x >> origin_y >> occupied_width >> occupied_height >> step_x;
    step_x = ClampStep(step_x);
    s >> step_y;
    step_y = ClampStep(step_y);
    s >> offset_x >> offset_y >> perspective_x >> perspective_y >> global_angle >> motif_angle >>
        variation;
    int flags = int(mesh_flags);
    s >> ZuStorageSync::mark >> gradient_kind >> color_count;
    color_count = ClampColors(color_count);
    s >> flags;
    mesh_flags = unsigned(flags);
    // Every access checks the count, whatever grow step was stored.
    points.RestoreInstance(s);
    s >> ZuStorageSync::end;
}
