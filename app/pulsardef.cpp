#include "app/pulsardef.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CPulsarDef, "app/pulsardef", ZU_CLASS_PLAIN)

namespace {

const double PI = 3.1415926535;
const double TWO_PI = 6.283185307;
const double HALF_PI = 1.57079632675;
const double THREE_HALF_PI = 4.71238898025;

// A value that is not a number fails both comparisons and becomes 0.
double Clamp01(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    if (v > 1.0)
        return 1.0;
    return v;
}

// The process-wide generator: 15-bit numbers (0..32767) from the classic
// linear congruential sequence, so that a random number always lies in
// 0..1 and the same seed gives the same sequence on every platform.
std::atomic<unsigned> random_state(1u);

int NextRandom15()
{
    unsigned state = random_state.load(std::memory_order_relaxed);
    unsigned next;
    do
        next = state * 1103515245u + 12345u;
    while (!random_state.compare_exchange_weak(state, next, std::memory_order_relaxed));
    return int((next >> 16) & 0x7FFFu);
}

void SeedRandom(double seed)
{
    random_state.store(unsigned(Clamp01(seed) * 32767.0), std::memory_order_relaxed);
}

double RandomNumber()
{
    return NextRandom15() * 3.051850947599719e-05;
}

} // namespace

CPulsarDef::CPulsarDef() : axis(0)
{
    SetAllValues(CONSTANT);
    std::memset(components, 0, sizeof components);
    std::memset(offset, 0, sizeof offset);
    std::memset(flags, 0, sizeof flags);
    for (int a = 0; a < AXES; a++) {
        for (int i = 0; i < MAX_VALUES; i++)
            amplitude[a][i] = 0.75;
        oscillator_shape[a] = SINE;
        period[a] = 10.0;
        phase[a] = 0.0;
        ratio[a] = 0.5;
        envelope_kind[a] = RISE;
        envelope_ratio[a] = 0.5;
        envelope_start[a] = 0.0;
        envelope_end[a] = 0.0;
        direction_kind[a] = TWO_SYMMETRIC;
        direction_offset[a] = 0.0;
        direction_factor[a] = 1.0;
        turn_kind[a] = 0;
        turn_value[a] = 0.0;
        turn_factor[a] = 1.0;
        seed[a] = 0.0;
        position[a] = 0.0;
        length[a] = 0.0;
        previous_angle[a] = 0.0;
        angle[a] = 0.0;
    }
    for (int i = 0; i < MAX_VALUES; i++)
        constant[i] = minimum[i] = rest[i] = maximum[i] = 0.0;
}

// ---------------------------------------------------------------- comparison and copy

bool CPulsarDef::SameStoredFields(const CPulsarDef& o) const
{
    for (int a = 0; a < AXES; a++) {
        if (oscillator_shape[a] != o.oscillator_shape[a] || period[a] != o.period[a] ||
            phase[a] != o.phase[a] || ratio[a] != o.ratio[a])
            return false;
        if (envelope_kind[a] != o.envelope_kind[a] || envelope_ratio[a] != o.envelope_ratio[a] ||
            envelope_start[a] != o.envelope_start[a] || envelope_end[a] != o.envelope_end[a])
            return false;
        if (direction_kind[a] != o.direction_kind[a] ||
            direction_offset[a] != o.direction_offset[a] ||
            direction_factor[a] != o.direction_factor[a])
            return false;
        if (turn_kind[a] != o.turn_kind[a] || turn_value[a] != o.turn_value[a] ||
            turn_factor[a] != o.turn_factor[a])
            return false;
        if (seed[a] != o.seed[a])
            return false;
        for (int i = 0; i < MAX_VALUES; i++) {
            // The flags are stored as a yes or no.
            if (components[a][i] != o.components[a][i] || amplitude[a][i] != o.amplitude[a][i] ||
                offset[a][i] != o.offset[a][i] || (flags[a][i] != 0) != (o.flags[a][i] != 0))
                return false;
        }
    }
    return true;
}

bool CPulsarDef::IsEqualCurrent(const CDefRef& other) const
{
    CPulsarDefRef ref(other);
    const CPulsarDef* o = ref.CheckAndResolve();
    return values[index] == o->values[index] && SameStoredFields(*o);
}

void CPulsarDef::CopyFrom(const CDefRef& other)
{
    CPulsarDefRef ref(other);
    const CPulsarDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    if (o == this)
        return;
    std::memcpy(components, o->components, sizeof components);
    std::memcpy(amplitude, o->amplitude, sizeof amplitude);
    std::memcpy(offset, o->offset, sizeof offset);
    std::memcpy(flags, o->flags, sizeof flags);
    for (int a = 0; a < AXES; a++) {
        oscillator_shape[a] = o->oscillator_shape[a];
        period[a] = o->period[a];
        phase[a] = o->phase[a];
        ratio[a] = o->ratio[a];
        envelope_kind[a] = o->envelope_kind[a];
        envelope_ratio[a] = o->envelope_ratio[a];
        envelope_start[a] = o->envelope_start[a];
        envelope_end[a] = o->envelope_end[a];
        direction_kind[a] = o->direction_kind[a];
        direction_offset[a] = o->direction_offset[a];
        direction_factor[a] = o->direction_factor[a];
        turn_kind[a] = o->turn_kind[a];
        turn_value[a] = o->turn_value[a];
        turn_factor[a] = o->turn_factor[a];
        seed[a] = o->seed[a];
    }
}

void CPulsarDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CPulsarDef::GetType() const
{
    return 12;
}

// ---------------------------------------------------------------- per axis

bool CPulsarDef::SetAxis(int a)
{
    axis = a < 0 ? 0 : a > 1 ? 1 : a;
    return true;
}

int CPulsarDef::GetAxis() const
{
    return axis;
}

bool CPulsarDef::SetValueKind(int i, unsigned c)
{
    if (!IsValueIndex(i))
        return false;
    components[axis][i] = c;
    return true;
}

bool CPulsarDef::GetValueKind(int i, unsigned& c) const
{
    if (!IsValueIndex(i))
        return false;
    c = components[axis][i];
    return true;
}

bool CPulsarDef::SetAmplitude(int i, double v)
{
    if (!IsValueIndex(i))
        return false;
    amplitude[axis][i] = v;
    return true;
}

bool CPulsarDef::GetAmplitude(int i, double& v) const
{
    if (!IsValueIndex(i))
        return false;
    v = amplitude[axis][i];
    return true;
}

bool CPulsarDef::SetOffset(int i, double v)
{
    if (!IsValueIndex(i))
        return false;
    offset[axis][i] = v;
    return true;
}

bool CPulsarDef::GetOffset(int i, double& v) const
{
    if (!IsValueIndex(i))
        return false;
    v = offset[axis][i];
    return true;
}

bool CPulsarDef::SetValueFlags(int i, unsigned char f)
{
    if (!IsValueIndex(i))
        return false;
    flags[axis][i] = f;
    return true;
}

bool CPulsarDef::GetValueFlags(int i, unsigned char& f) const
{
    if (!IsValueIndex(i))
        return false;
    f = flags[axis][i];
    return true;
}

bool CPulsarDef::SetOscillator(unsigned shape, double p, double ph, double r)
{
    oscillator_shape[axis] = shape;
    period[axis] = p == 0.0 ? 1.0 : p;
    phase[axis] = ph;
    ratio[axis] = Clamp01(r);
    return true;
}

bool CPulsarDef::GetOscillator(unsigned& shape, double& p, double& ph, double& r) const
{
    shape = oscillator_shape[axis];
    p = period[axis];
    ph = phase[axis];
    r = ratio[axis];
    return true;
}

bool CPulsarDef::SetEnvelope(unsigned kind, double r, double start, double end)
{
    envelope_kind[axis] = kind;
    envelope_ratio[axis] = Clamp01(r);
    envelope_start[axis] = start;
    envelope_end[axis] = end;
    return true;
}

bool CPulsarDef::GetEnvelope(unsigned& kind, double& r, double& start, double& end) const
{
    kind = envelope_kind[axis];
    r = envelope_ratio[axis];
    start = envelope_start[axis];
    end = envelope_end[axis];
    return true;
}

bool CPulsarDef::SetRotationMode(unsigned kind, double o, double factor)
{
    direction_kind[axis] = kind;
    direction_offset[axis] = o;
    direction_factor[axis] = factor;
    return true;
}

bool CPulsarDef::GetRotationMode(unsigned& kind, double& o, double& factor) const
{
    kind = direction_kind[axis];
    o = direction_offset[axis];
    factor = direction_factor[axis];
    return true;
}

bool CPulsarDef::SetAuxParams(unsigned kind, double value, double factor)
{
    turn_kind[axis] = kind;
    turn_value[axis] = value;
    turn_factor[axis] = factor;
    return true;
}

bool CPulsarDef::GetAuxParams(unsigned& kind, double& value, double& factor) const
{
    kind = turn_kind[axis];
    value = turn_value[axis];
    factor = turn_factor[axis];
    return true;
}

// ---------------------------------------------------------------- walk

bool CPulsarDef::BeginPath(double l, bool reseed)
{
    length[axis] = l;
    position[axis] = 0.0;
    previous_angle[axis] = 0.0;
    if (reseed)
        SeedRandom(seed[0]);
    return true;
}

bool CPulsarDef::SetRotation(double a)
{
    // One remainder instead of adding or subtracting a turn at a time, so
    // that a huge angle cannot keep the walk turning.
    if (a < 0.0 || a > TWO_PI) {
        const double r = std::fmod(a, TWO_PI);
        if (r < 0.0)
            a = r + TWO_PI;
        else if (r == 0.0 && a > 0.0)
            a = TWO_PI;
        else
            a = r + 0.0;
    }
    previous_angle[axis] = angle[axis];
    angle[axis] = a;
    return true;
}

bool CPulsarDef::NextStep()
{
    position[axis] += 1.0;
    return true;
}

double CPulsarDef::OscillatorTerm(int a) const
{
    // A period that is no positive number (only a stored one can be) would
    // leave no place for the position in it: it counts as 1.
    const double T = period[a] > 0.0 && std::isfinite(period[a]) ? period[a] : 1.0;
    double d = std::fmod(position[a] - phase[a], T);
    if (d < 0.0)
        d += T;
    if (d >= T)
        d = 0.0;
    const double r = Clamp01(ratio[a]) * T;
    switch (oscillator_shape[a]) {
    case SINE: {
        const double x = d < r ? d * PI / r : (d - r) * PI / (T - r) + PI;
        return -std::cos(x);
    }
    case TRIANGLE:
        return d < r ? 2.0 * d / r - 1.0 : 2.0 * (r - d) / (T - r) + 1.0;
    case EXPONENTIAL: {
        const double u = d < r ? 2.0 * d / r - 1.0 : 2.0 * (T - d) / (T - r) - 1.0;
        return u >= 0.0 ? u * u : -(u * u);
    }
    case PULSE:
        return d < r ? 1.0 : -1.0;
    default:
        return 0.0;
    }
}

double CPulsarDef::EnvelopeTerm(int a) const
{
    const double p = position[a];
    const double L = length[a];
    const double q = envelope_ratio[a];
    // Over no length there is nothing to rise or fall along.
    if (L == 0.0 || !std::isfinite(L))
        return 0.0;
    double A, B;
    switch (envelope_kind[a]) {
    case RISE:
        A = L;
        B = L;
        break;
    case RISE_FLAT:
        A = q * L;
        B = L;
        break;
    case FALL:
        A = 0.0;
        B = 0.0;
        break;
    case FALL_FLAT:
        A = 0.0;
        B = (1.0 - q) * L;
        break;
    case RISE_FALL:
        A = q * L;
        B = A;
        break;
    case RISE_FLAT_FALL: {
        const double h = q < 0.5 ? q : 0.5;
        A = h * L;
        B = (1.0 - h) * L;
        break;
    }
    default:
        return 0.0;
    }
    const double start = envelope_start[a], end = envelope_end[a];
    if (p < A)
        return A == 0.0 ? 0.0 : 2.0 * (1.0 - start) * p / A + 2.0 * start - 1.0;
    if (p <= B)
        return 1.0;
    if (p > B)
        // Past the length of a rise (B = L) there is no fall: neutral.
        return B == L ? 0.0 : 2.0 * (1.0 - end) * (p - B) / (B - L) + 1.0;
    return 0.0;
}

double CPulsarDef::DirectionTerm(int a) const
{
    double t = direction_offset[a] + angle[a];
    if (t < 0.0)
        t += TWO_PI;
    if (t > TWO_PI)
        t -= TWO_PI;
    double s;
    switch (direction_kind[a]) {
    case ONE_PER_TURN:
        s = 0.15915494309644432 * t;
        break;
    case TWO_PER_TURN:
        s = (t > PI ? t - PI : t) / PI;
        break;
    case TWO_SYMMETRIC:
        s = t <= PI ? t / PI : 1.0 - (t - PI) / PI;
        break;
    case FOUR_PER_TURN:
    case FOUR_SYMMETRIC: {
        int quarter = 0;
        double tq = t;
        if (t > THREE_HALF_PI) {
            tq = t - THREE_HALF_PI;
            quarter = 3;
        } else if (t > PI) {
            tq = t - PI;
            quarter = 2;
        } else if (t > HALF_PI) {
            tq = t - HALF_PI;
            quarter = 1;
        }
        s = tq * 0.6366197723857773;
        if (direction_kind[a] == FOUR_SYMMETRIC && (quarter & 1))
            s = 1.0 - s;
        break;
    }
    default:
        return 0.0;
    }
    return (2.0 * s - 1.0) * direction_factor[a];
}

double CPulsarDef::TurnTerm(int a) const
{
    if (!(position[a] > 0.0))
        return 0.0;
    const double first = angle[a] > PI ? angle[a] : TWO_PI - angle[a];
    const double second = previous_angle[a] > PI ? previous_angle[a] : TWO_PI - previous_angle[a];
    double w = std::fabs(first - second) * turn_factor[a];
    if (w > PI)
        w = PI;
    return 2.0 * w / PI - 1.0;
}

double CPulsarDef::GetVariation(int i)
{
    if (!IsValueIndex(i))
        return 0.0;
    const int a = axis;
    const unsigned c = components[a][i];
    if (values[index] == CONSTANT || c == 0)
        return constant[i];
    double v = 0.0;
    if (c & OSCILLATOR)
        v += OscillatorTerm(a);
    if (c & RANDOM)
        v += 2.0 * RandomNumber() - 1.0;
    if (c & ENVELOPE)
        v += EnvelopeTerm(a);
    if (c & DIRECTION)
        v += DirectionTerm(a);
    if (c & TURN)
        v += TurnTerm(a);
    const double y = amplitude[a][i] * v + offset[a][i];
    if (y > 0.0)
        return rest[i] + (maximum[i] - rest[i]) * y;
    if (y < 0.0)
        return rest[i] + (rest[i] - minimum[i]) * y;
    return rest[i];
}

// ---------------------------------------------------------------- both axes

bool CPulsarDef::SetBaseValues(int i, double c, double low, double middle, double high)
{
    if (!IsValueIndex(i))
        return false;
    constant[i] = c;
    minimum[i] = low;
    rest[i] = middle;
    maximum[i] = high;
    return true;
}

bool CPulsarDef::NewRandomSeed()
{
    seed[0] = RandomNumber();
    return true;
}

double CPulsarDef::GetCombinedVariation(int i)
{
    const bool on0 = IsValueIndex(i) && components[0][i] != 0;
    const bool on1 = IsValueIndex(i) && components[1][i] != 0;
    if (on0 && !on1) {
        axis = 0;
        return GetVariation(i);
    }
    if (on1 && !on0) {
        axis = 1;
        return GetVariation(i);
    }
    axis = 0;
    const double v0 = GetVariation(i);
    axis = 1;
    const double v1 = GetVariation(i);
    return (v0 + v1) * 0.5;
}

// ---------------------------------------------------------------- storage

void CPulsarDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << int(AXES) << ZuStorageSync::repeat;
    for (int a = 0; a < AXES; a++) {
        s << ZuStorageSync::begin;
        s->StoreInt(oscillator_shape[a]);
        s << period[a] << phase[a] << ratio[a] << ZuStorageSync::mark;
        s->StoreInt(envelope_kind[a]);
        s << envelope_ratio[a] << envelope_start[a] << envelope_end[a] << ZuStorageSync::mark;
        s->StoreInt(direction_kind[a]);
        s << direction_offset[a] << direction_factor[a] << ZuStorageSync::mark;
        s->StoreInt(turn_kind[a]);
        s << turn_value[a] << turn_factor[a] << ZuStorageSync::mark;
        s << seed[a];
        s << int(MAX_VALUES) << ZuStorageSync::repeat;
        for (int i = 0; i < MAX_VALUES; i++) {
            s << ZuStorageSync::begin;
            s->StoreInt(components[a][i]);
            s << amplitude[a][i] << offset[a][i];
            s->StoreBool(flags[a][i] != 0);
            s << ZuStorageSync::end;
        }
        s << ZuStorageSync::end_repeat << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

namespace {

unsigned RestoreUnsigned(const ZuStorageRef& s, unsigned current)
{
    return unsigned(s->RestoreInt(current));
}

} // namespace

void CPulsarDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin;
    // Axes and values beyond the model's are read into a scratch pulsar's
    // worth of fields and dropped.
    const long long stored_axes = s->RestoreInt(0);
    s >> ZuStorageSync::repeat;
    for (long long a = 0; a < stored_axes && s->CheckForBegin(); ++a) {
        const int k = a < AXES ? int(a) : -1;
        unsigned shape = k >= 0 ? oscillator_shape[k] : 0;
        double per = k >= 0 ? period[k] : 0.0, ph = k >= 0 ? phase[k] : 0.0,
               r = k >= 0 ? ratio[k] : 0.0;
        unsigned ek = k >= 0 ? envelope_kind[k] : 0;
        double er = k >= 0 ? envelope_ratio[k] : 0.0, es = k >= 0 ? envelope_start[k] : 0.0;
        double ee = k >= 0 ? envelope_end[k] : 0.0;
        unsigned dk = k >= 0 ? direction_kind[k] : 0;
        double dof = k >= 0 ? direction_offset[k] : 0.0, df = k >= 0 ? direction_factor[k] : 0.0;
        unsigned tk = k >= 0 ? turn_kind[k] : 0;
        double tv = k >= 0 ? turn_value[k] : 0.0, tf = k >= 0 ? turn_factor[k] : 0.0;
        double sd = k >= 0 ? seed[k] : 0.0;

        s >> ZuStorageSync::begin;
        shape = RestoreUnsigned(s, shape);
        s >> per >> ph >> r >> ZuStorageSync::mark;
        ek = RestoreUnsigned(s, ek);
        s >> er >> es >> ee >> ZuStorageSync::mark;
        dk = RestoreUnsigned(s, dk);
        s >> dof >> df >> ZuStorageSync::mark;
        tk = RestoreUnsigned(s, tk);
        s >> tv >> tf >> ZuStorageSync::mark;
        s >> sd;
        if (k >= 0) {
            oscillator_shape[k] = shape;
            period[k] = per;
            phase[k] = ph;
            ratio[k] = r;
            envelope_kind[k] = ek;
            envelope_ratio[k] = er;
            envelope_start[k] = es;
            envelope_end[k] = ee;
            direction_kind[k] = dk;
            direction_offset[k] = dof;
            direction_factor[k] = df;
            turn_kind[k] = tk;
            turn_value[k] = tv;
            turn_factor[k] = tf;
            seed[k] = sd;
        }
        const long long stored_values = s->RestoreInt(0);
        s >> ZuStorageSync::repeat;
        for (long long i = 0; i < stored_values && s->CheckForBegin(); ++i) {
            const bool kept = k >= 0 && i < MAX_VALUES;
            unsigned c = kept ? components[k][i] : 0;
            double am = kept ? amplitude[k][i] : 0.0, of = kept ? offset[k][i] : 0.0;
            bool fl = kept ? flags[k][i] != 0 : false;
            s >> ZuStorageSync::begin;
            c = RestoreUnsigned(s, c);
            s >> am >> of;
            fl = s->RestoreBool(fl);
            s >> ZuStorageSync::end;
            if (kept) {
                components[k][i] = c;
                amplitude[k][i] = am;
                offset[k][i] = of;
                flags[k][i] = fl ? 1 : 0;
            }
        }
        s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
    }
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
