#include "app/patterndef.h"

#include <climits>
#include <cmath>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/list.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPatternDef, "app/patterndef", ZU_CLASS_PLAIN)

namespace {

// ---------------------------------------------------------------- prefabricated brushes
//
// Every shape of the table is filled (mode 2), with no line width and cap
// and join 0. S: a shape header of colour c from reference point (x, y) to
// (X, Y); P: a point from (x, y) to (X, Y); C: a curve with its first control
// point, second control point and end point, each from initial to final.
// S1 and P1 are the same in both states.
#define S(c, x, y, X, Y) 10, 2, c, c, 0, 0, 0, 0, x, y, X, Y
#define S1(c, x, y) S(c, x, y, x, y)
#define P(x, y, X, Y) 20, x, y, X, Y
#define P1(x, y) P(x, y, x, y)
#define C(a, b, A, B, d, e, D, E, f, g, F, G) 21, a, b, A, B, d, e, D, E, f, g, F, G

// A disc of radius 0.5 about the middle of the cell, four quarter curves
// from the top clockwise (k: the control distance of a quarter circle).
#define K 0.27614237491539667
#define Q(a, b, c, d, e, f) C(a, b, a, b, c, d, c, d, e, f, e, f)
const double cercle[] = {S1(0, 0, 0.5),
                         Q(K, 0.5, 0.5, K, 0.5, 0),
                         Q(0.5, -K, K, -0.5, 0, -0.5),
                         Q(-K, -0.5, -0.5, -K, -0.5, 0),
                         Q(-0.5, K, -K, 0.5, 0, 0.5),
                         0};
#undef Q
#undef K
const double carre[] = {S1(0, -0.4, -0.4), P1(0.4, -0.4),  P1(0.4, 0.4),
                        P1(-0.4, 0.4),     P1(-0.4, -0.4), 0};
const double triangle[] = {S1(0, -0.5, -0.5), P1(0.5, 0), P1(-0.5, 0.5), P1(-0.5, -0.5), 0};
const double croix[] = {S(0, -0.5, 0.1, -0.5, 0.4), P(-0.1, 0.1, -0.4, 0.4),
                        P(-0.1, 0.5, -0.4, 0.5),    P(0.1, 0.5, 0.4, 0.5),
                        P(0.1, 0.1, 0.4, 0.4),      P(0.5, 0.1, 0.5, 0.4),
                        P(0.5, -0.1, 0.5, -0.4),    P(0.1, -0.1, 0.4, -0.4),
                        P(0.1, -0.5, 0.4, -0.5),    P(-0.1, -0.5, -0.4, -0.5),
                        P(-0.1, -0.1, -0.4, -0.4),  P(-0.5, -0.1, -0.5, -0.4),
                        P(-0.5, 0.1, -0.5, 0.4),    0};
const double fleche[] = {S1(0, 0.5, 0),   P1(0, -0.5),    P1(0, -0.25),
                         P1(-0.5, -0.25), P1(-0.5, 0.25), P1(0, 0.25),
                         P1(0, 0.5),      P1(0.5, 0),     0};
const double creneau[] = {S1(0, -0.5, -0.5),
                          P1(-0.5, 0.5),
                          P(0.2, 0.5, 0.4, 0.5),
                          P(0.2, -0.3, 0.4, -0.1),
                          P(0.5, -0.3, 0.5, -0.1),
                          P1(0.5, -0.5),
                          P1(0, -0.5),
                          P(0, 0.3, 0, 0.1),
                          P(-0.3, 0.3, -0.1, 0.1),
                          P(-0.3, -0.5, -0.1, -0.5),
                          P1(-0.5, -0.5),
                          0};
const double vague[] = {
    S1(0, -0.5, 0.2), C(0, 0.5, 0.5, 0.5, 0, -0.1, -0.5, -0.1, 0.5, 0.2, 0.5, 0.2),
    P1(0.5, -0.2),    C(0, -0.5, -0.5, -0.5, 0, 0.1, 0.5, 0.1, -0.5, -0.2, -0.5, -0.2),
    P1(-0.5, 0.2),    0};
const double coeur[] = {S1(0, 0, -0.5),
                        C(-0.1, -0.1, -0.1, -0.1, -0.5, -0.1, -0.5, -0.1, -0.5, 0.2, -0.5, 0.2),
                        C(-0.5, 0.5, -0.5, 0.5, 0, 0.6, 0, 0.6, 0, 0.2, 0, 0.2),
                        C(0, 0.6, 0, 0.6, 0.5, 0.5, 0.5, 0.5, 0.5, 0.2, 0.5, 0.2),
                        C(0.5, -0.1, 0.5, -0.1, 0.1, -0.1, 0.1, -0.1, 0, -0.5, 0, -0.5),
                        0};
const double carre_creux[] = {S1(0, -0.5, -0.5),
                              P1(0.5, -0.5),
                              P1(0.5, 0.5),
                              P1(-0.5, 0.5),
                              P1(-0.5, -0.5),
                              S(1, -0.4, -0.4, -0.1, -0.1),
                              P(0.4, -0.4, 0.1, -0.1),
                              P(0.4, 0.4, 0.1, 0.1),
                              P(-0.4, 0.4, -0.1, 0.1),
                              P(-0.4, -0.4, -0.1, -0.1),
                              0};
// Four quarters of a square, coloured a, b, c, d.
#define QUARTERS(a, b, c, d)                                                                    \
    S1(a, -0.5, -0.5), P1(-0.5, 0), P1(0, 0), P1(0, -0.5), P1(-0.5, -0.5), S1(b, 0.5, 0.5),     \
        P1(0.5, 0), P1(0, 0), P1(0, 0.5), P1(0.5, 0.5), S1(c, 0.5, -0.5), P1(0.5, 0), P1(0, 0), \
        P1(0, -0.5), P1(0.5, -0.5), S1(d, -0.5, 0.5), P1(-0.5, 0), P1(0, 0), P1(0, 0.5),        \
        P1(-0.5, 0.5)
const double carreaux2[] = {QUARTERS(0, 0, 1, 1), 0};
const double carreaux4[] = {QUARTERS(0, 1, 2, 3), 0};
const double horizontaux[] = {S1(0, -0.5, -0.5), P1(-0.5, 0),      P1(0.5, 0),
                              P1(0.5, -0.5),     S1(1, -0.5, 0.5), P1(-0.5, 0),
                              P1(0.5, 0),        P1(0.5, 0.5),     0};
const double verticaux[] = {S1(0, -0.5, -0.5), P1(-0.5, 0.5),  P1(0, 0.5),
                            P1(0, -0.5),       S1(1, 0, -0.5), P1(0, 0.5),
                            P1(0.5, 0.5),      P1(0.5, -0.5),  0};
const double diagonale[] = {S1(0, -0.5, -0.5), P1(0.5, -0.5),   P(-0.5, 0.5, 0.5, 0.5),
                            P1(-0.5, -0.5),    S1(1, 0.5, 0.5), P1(0.5, -0.5),
                            P1(-0.5, 0.5),     P1(0.5, 0.5),    0};
// Four triangles meeting at the centre, coloured a, b, c, d.
#define TRIANGLES(a, b, c, d)                                                                     \
    S1(a, 0, 0), P1(-0.5, -0.5), P1(-0.5, 0.5), P1(0, 0), S1(b, 0, 0), P1(-0.5, -0.5),            \
        P1(0.5, -0.5), P1(0, 0), S1(c, 0, 0), P1(0.5, -0.5), P1(0.5, 0.5), P1(0, 0), S1(d, 0, 0), \
        P1(-0.5, 0.5), P1(0.5, 0.5), P1(0, 0)
const double croix2[] = {TRIANGLES(0, 1, 0, 1), 0};
const double croix4[] = {TRIANGLES(0, 1, 2, 3), 0};
const double hexagones[] = {S(0, -0.25, -0.25, -0.05, -0.05),
                            P(0, -0.25, 0, -0.05),
                            P(0.25, 0, 0.05, 0),
                            P(0.25, 0.25, 0.05, 0.05),
                            P(0, 0.25, 0, 0.05),
                            P(-0.25, 0, -0.05, 0),
                            S(1, 0, -0.25, 0.2, -0.25),
                            P(0.5, -0.25, 0.3, -0.25),
                            P(0.5, 0, 0.3, -0.2),
                            P(0.25, 0, 0.25, -0.2),
                            S(1, 0, 0.25, 0.2, 0.45),
                            P(0.25, 0.25, 0.25, 0.45),
                            P(0.5, 0.5, 0.3, 0.5),
                            P(0, 0.5, 0.2, 0.5),
                            S(2, 0.25, 0, 0.45, 0.2),
                            P(0.5, 0, 0.5, 0.2),
                            P(0.5, 0.5, 0.5, 0.3),
                            P(0.25, 0.25, 0.45, 0.25),
                            S(2, -0.25, 0, -0.25, 0.2),
                            P(0, 0.25, -0.2, 0.25),
                            P(0, 0.5, -0.2, 0.3),
                            P(-0.25, 0.5, -0.25, 0.3),
                            0};

#undef S
#undef S1
#undef P
#undef P1
#undef C
#undef QUARTERS
#undef TRIANGLES

struct Prefab {
    const char* name; // ISO 8859-1, as the library's strings keep it
    const double* records;
};

// In table order; the entry with no name ends it.
const Prefab prefabs[] = {
    {"Cercle", cercle},
    {"Carr\xE9", carre},
    {"Triangle", triangle},
    {"Croix", croix},
    {"Fl\xE8"
     "che",
     fleche},
    {"Cr\xE9neau", creneau},
    {"Vague", vague},
    {"Coeur", coeur},
    {"Carr\xE9 creux 2 couleurs", carre_creux},
    {"Carreaux 2 couleurs", carreaux2},
    {"Carreaux 4 couleurs", carreaux4},
    {"2 rectangles horizontaux", horizontaux},
    {"2 rectangles verticaux", verticaux},
    {"Carr\xE9 \\", diagonale},
    {"Carr\xE9 X 2 couleurs", croix2},
    {"Carr\xE9 X 4 couleurs", croix4},
    {"Hexagones d\xE9"
     "form\xE9s",
     hexagones},
    {nullptr, nullptr},
};

static_assert(sizeof prefabs / sizeof prefabs[0] == CPatternDef::PREFAB_COUNT + 1,
              "seventeen brushes");

// ---------------------------------------------------------------- records

// A stored double to an int as the record's users take it: truncated, and
// kept in the int range (a value that is not a number reads as 0).
int Truncate(double v)
{
    if (!(v == v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return int(v);
}

// The offset in its record of a handle's initial x; its initial y follows,
// then its final x and y. -1 for a handle that the record does not have.
int HandleOffset(int opcode, int handle)
{
    switch (opcode) {
    case CPatternDef::OP_SHAPE:
        return handle == 0 ? 8 : -1;
    case CPatternDef::OP_POINT:
        return handle == 0 ? 1 : -1;
    case CPatternDef::OP_CURVE:
        return handle == 0 ? 9 : handle == 1 ? 1 : handle == 2 ? 5 : -1;
    default:
        return -1;
    }
}

double Blend(double initial, double final, double t)
{
    if (t == 0.0)
        return initial;
    if (t == 1.0)
        return final;
    return initial + (final - initial) * t;
}

} // namespace

// ---------------------------------------------------------------- construction

CPatternDef::CPatternDef() : prefab_number(0), used_length(0), elements(0, GROW_STEP), edit_state(0)
{
    SetAllValues(FIXED_LIST);
    LoadPrefab(0);
}

CPatternDef::~CPatternDef() {}

int CPatternDef::RecordLength(double opcode)
{
    switch (Truncate(opcode)) {
    case OP_SHAPE:
        return SHAPE_LENGTH;
    case OP_POINT:
        return POINT_LENGTH;
    case OP_CURVE:
        return CURVE_LENGTH;
    default:
        return 1;
    }
}

double CPatternDef::Read(int i) const
{
    // A negative index lies outside the array as well.
    return elements.At(unsigned(i));
}

double& CPatternDef::Write(int i)
{
    return elements[unsigned(i)];
}

// ---------------------------------------------------------------- comparison and copy

bool CPatternDef::IsEqualCurrent(const CDefRef& other) const
{
    CPatternDefRef ref(other);
    const CPatternDef* o = ref.CheckAndResolve();
    if (prefab_number != o->prefab_number || used_length != o->used_length)
        return false;
    for (int i = 0; i <= used_length; i++)
        if (Read(i) != o->Read(i))
            return false;
    return true;
}

void CPatternDef::CopyFrom(const CDefRef& other)
{
    CPatternDefRef ref(other);
    const CPatternDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    if (o == this)
        return;
    prefab_number = o->prefab_number;
    used_length = o->used_length;
    elements = o->elements;
}

void CPatternDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CPatternDef::GetType() const
{
    return 11;
}

// ---------------------------------------------------------------- walking

bool CPatternDef::Clear()
{
    used_length = 0;
    Write(0) = 0.0;
    return true;
}

bool CPatternDef::FirstElement(int& index) const
{
    index = 0;
    return true;
}

bool CPatternDef::NextElement(int& index) const
{
    const double opcode = Read(index);
    if (opcode == 0.0)
        return false;
    index += RecordLength(opcode);
    return Read(index) != 0.0;
}

bool CPatternDef::PrevElement(int& index) const
{
    if (index == 0)
        return false;
    int previous = 0;
    int at = 0;
    while (at < index) {
        const double opcode = Read(at);
        if (opcode == 0.0)
            return false;
        previous = at;
        at += RecordLength(opcode);
    }
    index = previous;
    return true;
}

bool CPatternDef::NextElementInShape(int& index) const
{
    const double opcode = Read(index);
    if (opcode == 0.0)
        return false;
    const int next = index + RecordLength(opcode);
    const int next_opcode = Truncate(Read(next));
    if (next_opcode != OP_SHAPE && next_opcode != OP_END) {
        index = next;
        return true;
    }
    // Back to the header of the shape (the first record when no header
    // comes before).
    int header = 0;
    for (int at = 0; at <= index; at += RecordLength(Read(at)))
        if (Truncate(Read(at)) == OP_SHAPE)
            header = at;
    index = header;
    return true;
}

bool CPatternDef::PrevElementInShape(int& index) const
{
    if (Truncate(Read(index)) != OP_SHAPE)
        return PrevElement(index);
    int last = index;
    int at = index + SHAPE_LENGTH;
    for (;;) {
        const int opcode = Truncate(Read(at));
        if (opcode == OP_SHAPE || Read(at) == 0.0)
            break;
        last = at;
        at += RecordLength(Read(at));
    }
    index = last;
    return true;
}

bool CPatternDef::GetLength(int& length) const
{
    length = used_length;
    return true;
}

int CPatternDef::GetOpcode(int index) const
{
    return Truncate(Read(index));
}

bool CPatternDef::GetElement(int index, double* record) const
{
    const int n = RecordLength(Read(index));
    for (int k = 0; k < n; k++)
        record[k] = Read(index + k);
    return true;
}

bool CPatternDef::SetElement(int index, const double* record)
{
    if (Truncate(Read(index)) != Truncate(record[0]))
        return false;
    const int n = RecordLength(record[0]);
    for (int k = 0; k < n; k++)
        Write(index + k) = record[k];
    return true;
}

bool CPatternDef::InsertElement(int index, const double* record)
{
    // Only at the start of a record or at the end record, so that the end
    // record stays at the used length.
    if (index < 0 || index > used_length)
        return false;
    const int n = RecordLength(record[0]);
    for (int i = used_length; i >= index; i--) {
        const double v = Read(i);
        Write(i + n) = v;
    }
    for (int k = 0; k < n; k++)
        Write(index + k) = record[k];
    used_length += n;
    return true;
}

bool CPatternDef::DeleteElement(int index)
{
    // The end record itself is not deleted.
    if (index < 0 || index >= used_length)
        return false;
    const int n = RecordLength(Read(index));
    if (index + n > used_length)
        return false;
    for (int i = index + n; i <= used_length; i++)
        Write(i - n) = Read(i);
    used_length -= n;
    return true;
}

// ---------------------------------------------------------------- values

bool CPatternDef::SetEditState(int state)
{
    edit_state = state;
    return true;
}

void CPatternDef::SetPair(int first, double value, int distance, int state)
{
    if (state != 2)
        Write(first) = value;
    if (state != 1)
        Write(first + distance) = value;
}

bool CPatternDef::GetShapeColor(int index, int& colour, int state) const
{
    if (GetOpcode(index) != OP_SHAPE)
        return false;
    colour = Truncate(Read(index + (ResolveState(state) == 2 ? 3 : 2)));
    return true;
}

bool CPatternDef::SetShapeColor(int index, int colour, int state)
{
    prefab_number = -1;
    if (GetOpcode(index) != OP_SHAPE)
        return false;
    SetPair(index + 2, double(colour), 1, ResolveState(state));
    return true;
}

bool CPatternDef::GetShapeWidth(int index, double& width, int state) const
{
    if (GetOpcode(index) != OP_SHAPE)
        return false;
    width = Read(index + (ResolveState(state) == 2 ? 5 : 4));
    return true;
}

bool CPatternDef::SetShapeWidth(int index, double width, int state)
{
    prefab_number = -1;
    if (GetOpcode(index) != OP_SHAPE)
        return false;
    SetPair(index + 4, width, 1, ResolveState(state));
    return true;
}

bool CPatternDef::GetShapeWidthAt(int index, double& width, double t) const
{
    if (GetOpcode(index) == OP_SHAPE)
        width = Blend(Read(index + 4), Read(index + 5), t);
    return true;
}

bool CPatternDef::GetHandle(int index, int handle, double* point, int& kind, int state) const
{
    const int at = HandleOffset(GetOpcode(index), handle);
    if (at < 0)
        return false;
    const int from = index + at + (ResolveState(state) == 2 ? 2 : 0);
    point[0] = Read(from);
    point[1] = Read(from + 1);
    kind = handle == 0 ? 1 : 2;
    return true;
}

bool CPatternDef::GetHandleAt(int index, int handle, double* point, double t) const
{
    const int at = HandleOffset(GetOpcode(index), handle);
    if (at < 0)
        return false;
    const int from = index + at;
    point[0] = Blend(Read(from), Read(from + 2), t);
    point[1] = Blend(Read(from + 1), Read(from + 3), t);
    return true;
}

bool CPatternDef::SetHandle(int index, int handle, const double* point, int state)
{
    prefab_number = -1;
    const int at = HandleOffset(GetOpcode(index), handle);
    if (at < 0)
        return false;
    const int s = ResolveState(state);
    SetPair(index + at, point[0], 2, s);
    SetPair(index + at + 1, point[1], 2, s);
    return true;
}

bool CPatternDef::MoveHandle(int index, int handle, const double* point, int state)
{
    if (handle != 0)
        return SetHandle(index, handle, point, state);
    double old[2];
    int kind;
    if (!GetHandle(index, 0, old, kind, state))
        return SetHandle(index, 0, point, state);
    const double dx = point[0] - old[0], dy = point[1] - old[1];
    if (!SetHandle(index, 0, point, state))
        return false;
    // A control point that goes along by the handle's move.
    auto shift = [&](int record, int control) {
        double p[2];
        int k;
        GetHandle(record, control, p, k, state);
        p[0] += dx;
        p[1] += dy;
        SetHandle(record, control, p, state);
    };
    const int opcode = GetOpcode(index);
    if (opcode == OP_CURVE) {
        shift(index, 2);
        int j = index;
        NextElementInShape(j);
        if (GetOpcode(j) == OP_CURVE)
            shift(j, 1);
    } else if (opcode == OP_SHAPE) {
        int j = index;
        PrevElementInShape(j);
        double last[2];
        if (GetHandle(j, 0, last, kind, state) && last[0] == old[0] && last[1] == old[1])
            SetHandle(j, 0, point, state);
        if (GetOpcode(j) == OP_CURVE)
            shift(j, 2);
        j = index;
        NextElementInShape(j);
        if (GetOpcode(j) == OP_CURVE)
            shift(j, 1);
    }
    return true;
}

bool CPatternDef::CopyInitialToFinal(double* record)
{
    switch (Truncate(record[0])) {
    case OP_SHAPE:
        record[3] = record[2];
        record[5] = record[4];
        record[10] = record[8];
        record[11] = record[9];
        break;
    case OP_POINT:
        record[3] = record[1];
        record[4] = record[2];
        break;
    case OP_CURVE:
        for (int k = 1; k < CURVE_LENGTH; k += 4) {
            record[k + 2] = record[k];
            record[k + 3] = record[k + 1];
        }
        break;
    default:
        break;
    }
    return true;
}

// ---------------------------------------------------------------- prefabricated brushes

bool CPatternDef::LoadPrefab(int number)
{
    if (number < 0 || number >= PREFAB_COUNT)
        return false;
    prefab_number = number;
    used_length = 0;
    const double* r = prefabs[number].records;
    for (;;) {
        const int opcode = Truncate(r[0]);
        if (r[0] == 0.0 || (opcode != OP_SHAPE && opcode != OP_POINT && opcode != OP_CURVE))
            break;
        const int n = RecordLength(r[0]);
        for (int k = 0; k < n; k++)
            Write(used_length + k) = r[k];
        used_length += n;
        r += n;
    }
    Write(used_length) = 0.0;
    return true;
}

int CPatternDef::GetPrefabNumber() const
{
    return prefab_number;
}

bool CPatternDef::FillPrefabList(ZuListRef& list)
{
    list = ZuNew<ZuList>(nullptr, __LINE__, ZU_SRC_FILE);
    for (const Prefab* p = prefabs; p->name != nullptr; p++)
        list->PushTail(ZuStringRef(p->name));
    return true;
}

// ---------------------------------------------------------------- storage

bool CPatternDef::IsWellFormed(const Elements& e, long long used)
{
    // The used length is an int, with room for a record inserted after it.
    if (used < 0 || used > INT_MAX - 2 * MAX_RECORD || used >= (long long)e.RetCount())
        return false;
    if (e.At(unsigned(used)) != 0.0)
        return false;
    long long at = 0;
    while (at < used)
        at += RecordLength(e.At(unsigned(at)));
    return at == used;
}

void CPatternDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << prefab_number << used_length;
    elements.StoreInstance(s);
    s << ZuStorageSync::end;
}

void CPatternDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark;
    const long long number = s->RestoreInt(prefab_number);
    const long long used = s->RestoreInt(used_length);
    Elements read(0, GROW_STEP);
    read.RestoreInstance(s);
    s >> ZuStorageSync::end;
    // The drawing comes from outside: walks trust the records to tile the
    // array up to the end record, so anything else is refused before the
    // brush takes it.
    if (!IsWellFormed(read, used))
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    prefab_number = Truncate(double(number));
    used_length = int(used);
    // The program always grows brushes by ten; a stored step of 0 would
    // make every insertion fail and a huge one exhaust memory.
    read.SetGrowStep(GROW_STEP);
    elements = read;
}
