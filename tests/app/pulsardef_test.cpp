// Pulsar definitions: the variation of values along a path, its terms, the
// walk, the random numbers and the stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/pulsardef.h"
#include "si/storage.h"
#include "tests/app/deftest.h"

namespace {

class CPulsarDefTest : public DefTest {
protected:
    // A variable pulsar whose value 0 varies on axis 0 by the components,
    // amplitude 1, offset 0, base values (c, 0, 5, 10).
    CPulsarDefRef Varying(unsigned components)
    {
        CPulsarDefRef p = Make<CPulsarDefRef>();
        p->SetValue(CPulsarDef::VARIABLE);
        p->SetValueKind(0, components);
        p->SetAmplitude(0, 1.0);
        p->SetOffset(0, 0.0);
        p->SetBaseValues(0, 3.0, 0.0, 5.0, 10.0);
        return p;
    }
    // The variation of value 0 after `steps` steps from the start.
    static double At(const CPulsarDefRef& p, double steps)
    {
        p->BeginPath(10.0, false);
        for (int k = 0; k < int(steps); k++)
            p->NextStep();
        // Positions between whole steps: the walk only counts steps, so a
        // fractional position is reached through the phase instead.
        const double fraction = steps - int(steps);
        unsigned shape;
        double period, phase, ratio;
        p->GetOscillator(shape, period, phase, ratio);
        p->SetOscillator(shape, period, -fraction, ratio);
        const double v = p->GetVariation(0);
        p->SetOscillator(shape, period, phase, ratio);
        return v;
    }
};

TEST_F(CPulsarDefTest, NewPulsarAnswersItsConstants)
{
    CPulsarDefRef p = Make<CPulsarDefRef>();
    EXPECT_EQ(12, p->GetType());
    p->SetCount(10);
    for (int i = 0; i < 10; i++) {
        p->SetIndex(i);
        EXPECT_EQ(CPulsarDef::CONSTANT, p->GetValue()) << i;
    }
    p->SetIndex(0);
    for (int i = 0; i < 10; i++) {
        EXPECT_TRUE(p->SetBaseValues(i, 1.5 + i, 0.0, 1.0, 2.0));
        p->SetValueKind(i, 31);
    }
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(1.5 + i, p->GetVariation(i)) << i;
    EXPECT_EQ(0.0, p->GetVariation(10));
    EXPECT_EQ(0.0, p->GetVariation(-1));
}

TEST_F(CPulsarDefTest, OscillatorShapesOverOnePeriod)
{
    struct Case {
        unsigned shape;
        double position, want;
    } const cases[] = {
        // Triangle: -1 at 0, +1 at the ratio, -1 again at the period.
        {193, 0.0, 0.0},
        {193, 2.5, 5.0},
        {193, 5.0, 10.0},
        {193, 7.5, 5.0},
        {193, 10.0, 0.0},
        {193, 12.5, 5.0},
        // Pulse: +1 up to the ratio, -1 after it, +1 again from the period.
        {195, 0.0, 10.0},
        {195, 4.999, 10.0},
        {195, 5.0, 0.0},
        {195, 9.999, 0.0},
        {195, 10.0, 10.0},
        // Sine: -cos over each half.
        {192, 0.0, 0.0},
        {192, 2.5, 5.0},
        {192, 5.0, 10.0},
        {192, 7.5, 5.0},
        // Exponential: u squared, keeping its sign.
        {194, 0.0, 0.0},
        {194, 2.5, 5.0},
        {194, 3.75, 6.25},
        {194, 5.0, 10.0},
        {194, 8.75, 3.75},
    };
    for (const Case& c : cases) {
        CPulsarDefRef p = Varying(CPulsarDef::OSCILLATOR);
        p->SetOscillator(c.shape, 10.0, 0.0, 0.5);
        EXPECT_NEAR(c.want, At(p, c.position), 1e-9) << c.shape << " at " << c.position;
    }
}

TEST_F(CPulsarDefTest, SettersKeepTheirRanges)
{
    CPulsarDefRef p = Make<CPulsarDefRef>();
    unsigned shape;
    double period, phase, ratio;
    p->SetOscillator(193, 0.0, 1.0, 1.5);
    p->GetOscillator(shape, period, phase, ratio);
    EXPECT_EQ(193u, shape);
    EXPECT_EQ(1.0, period);
    EXPECT_EQ(1.0, ratio);
    p->SetOscillator(193, 4.0, 1.0, -0.5);
    p->GetOscillator(shape, period, phase, ratio);
    EXPECT_EQ(4.0, period);
    EXPECT_EQ(0.0, ratio);

    unsigned kind;
    double r, start, end;
    p->SetEnvelope(215, 2.0, 0.25, 0.75);
    p->GetEnvelope(kind, r, start, end);
    EXPECT_EQ(1.0, r);

    EXPECT_TRUE(p->SetAxis(5));
    EXPECT_EQ(1, p->GetAxis());
    EXPECT_TRUE(p->SetAxis(-3));
    EXPECT_EQ(0, p->GetAxis());

    // Value indexes outside 0..9 are refused.
    unsigned c = 7;
    double d = 7.0;
    unsigned char f = 7;
    EXPECT_FALSE(p->SetValueKind(10, 1));
    EXPECT_FALSE(p->GetValueKind(-1, c));
    EXPECT_FALSE(p->SetAmplitude(10, 1.0));
    EXPECT_FALSE(p->GetOffset(10, d));
    EXPECT_FALSE(p->SetValueFlags(-1, 1));
    EXPECT_FALSE(p->GetValueFlags(10, f));
    EXPECT_FALSE(p->SetBaseValues(10, 1, 2, 3, 4));
    EXPECT_EQ(7u, c);
    EXPECT_EQ(7.0, d);
    EXPECT_EQ(7, f);
}

TEST_F(CPulsarDefTest, RotationIsBroughtIntoOneTurn)
{
    struct Case {
        double angle, want;
    } const cases[] = {
        {-1.0, 5.283185307},
        {7.0, 0.716814693},
        {3.0, 3.0},
        {0.0, 0.0},
        {6.283185307, 6.283185307},
        {-6.283185307, 0.0},
        {20.0, 20.0 - 3 * 6.283185307},
        // Far out: one remainder, no endless turning.
        {1e300, std::fmod(1e300, 6.283185307)},
    };
    CPulsarDefRef p = Make<CPulsarDefRef>();
    for (const Case& c : cases) {
        p->SetRotation(c.angle);
        EXPECT_NEAR(c.want, p->RetAngle(), 1e-9) << c.angle;
        EXPECT_GE(p->RetAngle(), 0.0);
        EXPECT_LE(p->RetAngle(), 6.283185307);
    }
}

TEST_F(CPulsarDefTest, EnvelopeTerms)
{
    // Start level 0 (the rise starts at -1), end level 0 (the fall ends at
    // -1), over a length of 10.
    struct Case {
        unsigned kind;
        double ratio, position, want;
    } const cases[] = {
        {210, 0.5, 0.0, 0.0},
        {210, 0.5, 5.0, 5.0},
        {210, 0.5, 10.0, 10.0},
        {211, 0.4, 2.0, 5.0},
        {211, 0.4, 4.0, 10.0},
        {211, 0.4, 9.0, 10.0},
        {212, 0.5, 0.0, 10.0},
        {212, 0.5, 5.0, 5.0},
        {212, 0.5, 10.0, 0.0},
        {213, 0.4, 6.0, 10.0},
        {213, 0.4, 8.0, 5.0},
        {214, 0.4, 2.0, 5.0},
        {214, 0.4, 4.0, 10.0},
        {214, 0.4, 7.0, 5.0},
        {215, 0.3, 6.0, 10.0},
        {215, 0.3, 8.0, 5.0 + 5.0 / 3.0},
        // The rise and the fall take at most half the length each.
        {215, 0.8, 5.0, 10.0},
        {215, 0.8, 6.0, 8.0},
        // Past the length of a rise there is nothing to fall to: neutral.
        {210, 0.5, 11.0, 5.0},
        {211, 0.5, 12.0, 5.0},
        // Kinds with no envelope are neutral too.
        {200, 0.5, 3.0, 5.0},
    };
    for (const Case& c : cases) {
        CPulsarDefRef p = Varying(CPulsarDef::ENVELOPE);
        p->SetEnvelope(c.kind, c.ratio, 0.0, 0.0);
        p->BeginPath(10.0, false);
        for (int k = 0; k < int(c.position); k++)
            p->NextStep();
        EXPECT_NEAR(c.want, p->GetVariation(0), 1e-9) << c.kind << " at " << c.position;
    }
}

TEST_F(CPulsarDefTest, EnvelopeOverNoLengthIsNeutral)
{
    for (unsigned kind = 210; kind <= 215; kind++) {
        CPulsarDefRef p = Varying(CPulsarDef::ENVELOPE);
        p->SetEnvelope(kind, 0.5, 0.25, 0.25);
        p->BeginPath(0.0, false);
        for (int k = 0; k < 3; k++) {
            const double v = p->GetVariation(0);
            EXPECT_TRUE(std::isfinite(v)) << kind;
            EXPECT_EQ(5.0, v) << kind << " step " << k;
            p->NextStep();
        }
    }
}

TEST_F(CPulsarDefTest, DirectionTerms)
{
    const double pi = 3.1415926535;
    struct Case {
        unsigned kind;
        double angle, want;
    } const cases[] = {
        {196, 0.0, 0.0},
        {196, pi, 5.0},
        {196, 1.5 * pi, 7.5},
        {197, 0.5 * pi, 5.0},
        {197, 1.5 * pi, 5.0},
        {197, pi, 10.0},
        {199, 0.5 * pi, 5.0},
        {199, pi, 10.0},
        {199, 1.5 * pi, 5.0},
        {198, 0.25 * pi, 5.0},
        {198, 0.75 * pi, 5.0},
        {198, 1.75 * pi, 5.0},
        {198, 0.5 * pi, 10.0},
        {216, 0.25 * pi, 5.0},
        {216, 0.5 * pi, 10.0},
        {216, 0.625 * pi, 7.5},
        {216, 1.125 * pi, 2.5},
        {216, 1.625 * pi, 7.5},
        // "Dessin libre" computes nothing here.
        {200, 1.0, 5.0},
    };
    for (const Case& c : cases) {
        CPulsarDefRef p = Varying(CPulsarDef::DIRECTION);
        p->SetRotationMode(c.kind, 0.0, 1.0);
        p->BeginPath(10.0, false);
        p->SetRotation(c.angle);
        EXPECT_NEAR(c.want, p->GetVariation(0), 1e-6) << c.kind << " at " << c.angle;
    }
    // The offset turns the direction, the factor weighs the term.
    CPulsarDefRef p = Varying(CPulsarDef::DIRECTION);
    p->SetRotationMode(196, -0.5 * pi, 0.5);
    p->SetRotation(0.0);
    EXPECT_NEAR(6.25, p->GetVariation(0), 1e-9);
}

TEST_F(CPulsarDefTest, TurnTermCountsFromTheSecondStep)
{
    const double pi = 3.1415926535;
    CPulsarDefRef p = Varying(CPulsarDef::TURN);
    p->SetAuxParams(0, 0.0, 1.0);
    p->BeginPath(10.0, false);
    p->SetRotation(0.5);
    // At the start: no term (and so the rest value).
    EXPECT_EQ(5.0, p->GetVariation(0));
    p->NextStep();
    // A quarter turn gives w = pi/2, so the term 0.
    p->SetRotation(0.5 + 0.5 * pi);
    EXPECT_NEAR(5.0, p->GetVariation(0), 1e-9);
    // No turn: -1, the minimum.
    p->SetRotation(0.5 + 0.5 * pi);
    EXPECT_NEAR(0.0, p->GetVariation(0), 1e-9);
    // More than a half turn (by the factor) is capped at pi: +1.
    p->SetAuxParams(0, 0.0, 10.0);
    p->SetRotation(0.5 + 0.5 * pi + 0.4 * pi);
    EXPECT_NEAR(10.0, p->GetVariation(0), 1e-9);
}

TEST_F(CPulsarDefTest, AmplitudeAndOffsetExtrapolate)
{
    CPulsarDefRef p = Varying(CPulsarDef::OSCILLATOR);
    p->SetOscillator(195, 10.0, 0.0, 0.5);
    p->SetAmplitude(0, 2.0);
    p->SetOffset(0, 0.5);
    p->BeginPath(10.0, false);
    // y = 2 * 1 + 0.5 = 2.5: beyond the maximum.
    EXPECT_NEAR(5.0 + 5.0 * 2.5, p->GetVariation(0), 1e-12);
    // On axis 1 the value does not vary: its constant.
    p->SetAxis(1);
    EXPECT_EQ(3.0, p->GetVariation(0));
}

TEST_F(CPulsarDefTest, CombinedVariationPicksTheAxis)
{
    CPulsarDefRef p = Varying(0);
    p->SetAxis(0);
    p->SetOscillator(195, 10.0, 0.0, 0.5); // axis 0: +1
    p->SetAxis(1);
    p->SetOscillator(195, 10.0, 5.0, 0.5); // axis 1: -1 at the start
    p->SetAmplitude(0, 1.0);
    p->SetAxis(0);
    p->BeginPath(10.0, false);
    p->SetAxis(1);
    p->BeginPath(10.0, false);

    // Neither axis: the constant, axis 1 left selected.
    p->SetAxis(0);
    EXPECT_EQ(3.0, p->GetCombinedVariation(0));
    EXPECT_EQ(1, p->GetAxis());

    p->SetAxis(0);
    p->SetValueKind(0, CPulsarDef::OSCILLATOR);
    p->SetAxis(1);
    EXPECT_EQ(10.0, p->GetCombinedVariation(0));
    EXPECT_EQ(0, p->GetAxis());

    p->SetValueKind(0, 0);
    p->SetAxis(1);
    p->SetValueKind(0, CPulsarDef::OSCILLATOR);
    p->SetAxis(0);
    EXPECT_EQ(0.0, p->GetCombinedVariation(0));
    EXPECT_EQ(1, p->GetAxis());

    // Both: the mean, axis 1 left selected.
    p->SetAxis(0);
    p->SetValueKind(0, CPulsarDef::OSCILLATOR);
    EXPECT_EQ(5.0, p->GetCombinedVariation(0));
    EXPECT_EQ(1, p->GetAxis());

    // A value index outside 0..9: 0.
    EXPECT_EQ(0.0, p->GetCombinedVariation(12));
}

TEST_F(CPulsarDefTest, RandomTermStaysInRangeAndRepeatsWithItsSeed)
{
    CPulsarDefRef p = Varying(CPulsarDef::RANDOM);
    p->NewRandomSeed();
    EXPECT_GE(p->RetSeed(), 0.0);
    EXPECT_LE(p->RetSeed(), 1.0);
    CPulsarDefRef q = Make<CPulsarDefRef>();
    q->CopyFrom(p);
    q->SetBaseValues(0, 3.0, 0.0, 5.0, 10.0);

    std::vector<double> first;
    p->BeginPath(100.0, true);
    for (int k = 0; k < 200; k++) {
        const double v = p->GetVariation(0);
        // The term lies in -1..1, so the value between minimum and maximum.
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 10.0);
        EXPECT_TRUE(std::isfinite(v));
        first.push_back(v);
        p->NextStep();
    }
    // Not a constant.
    EXPECT_NE(first.front(), first.back());
    // The same seed, the same sequence.
    q->BeginPath(100.0, true);
    for (int k = 0; k < 200; k++) {
        EXPECT_EQ(first[k], q->GetVariation(0)) << k;
        q->NextStep();
    }
}

TEST_F(CPulsarDefTest, StoredRecordRoundTrips)
{
    CPulsarDefRef p = Make<CPulsarDefRef>();
    p->SetValue(CPulsarDef::VARIABLE);
    p->SetAxis(1);
    p->SetOscillator(194, 7.0, 1.5, 0.25);
    p->SetEnvelope(213, 0.3, 0.1, 0.9);
    p->SetRotationMode(216, 0.2, 2.0);
    p->SetAuxParams(3, 4.5, 0.5);
    p->SetValueKind(9, 31);
    p->SetAmplitude(9, -1.25);
    p->SetOffset(9, 0.125);
    p->SetValueFlags(9, 1);
    p->NewRandomSeed();

    CPulsarDefRef back = Make<CPulsarDefRef>();
    EXPECT_FALSE(back->IsEqualCurrent(p));
    EXPECT_TRUE(Restore(back, Stored(p)));
    EXPECT_TRUE(back->IsEqualCurrent(p));
    EXPECT_EQ(Stored(p), Stored(back));
    back->SetAxis(1);
    unsigned shape;
    double period, phase, ratio;
    back->GetOscillator(shape, period, phase, ratio);
    EXPECT_EQ(194u, shape);
    EXPECT_EQ(7.0, period);
    EXPECT_EQ(1.5, phase);
    EXPECT_EQ(0.25, ratio);
    unsigned char f = 0;
    back->GetValueFlags(9, f);
    EXPECT_EQ(1, f);
}

// The record of the program's own files, built item by item, with extra
// axes and values: the surplus is read and dropped, the stream stays in step.
TEST_F(CPulsarDefTest, SurplusAxesAndValuesAreDropped)
{
    // The object part and the CDef record, then the pulsar's own part.
    Bytes bytes = Stored(Make<CDefRef>());

    const int axes = 4, values = 13;
    const Bytes own = Written([&](const ZuStorageRef& s) {
        s << ZuStorageSync::begin << axes << ZuStorageSync::repeat;
        for (int a = 0; a < axes; a++) {
            s << ZuStorageSync::begin;
            s->StoreInt(192 + a);
            s << 10.0 + a << 0.0 << 0.5 << ZuStorageSync::mark;
            s->StoreInt(210);
            s << 0.5 << 0.0 << 0.0 << ZuStorageSync::mark;
            s->StoreInt(199);
            s << 0.0 << 1.0 << ZuStorageSync::mark;
            s->StoreInt(0);
            s << 0.0 << 1.0 << ZuStorageSync::mark << 0.25 * a;
            s << values << ZuStorageSync::repeat;
            for (int i = 0; i < values; i++) {
                s << ZuStorageSync::begin;
                s->StoreInt(100 * a + i);
                s << 1.0 * i << 0.0;
                s->StoreBool(false);
                s << ZuStorageSync::end;
            }
            s << ZuStorageSync::end_repeat << ZuStorageSync::end;
        }
        s << ZuStorageSync::end_repeat << ZuStorageSync::end << 77;
    });
    bytes.insert(bytes.end(), own.begin(), own.end());

    CPulsarDefRef p = Make<CPulsarDefRef>();
    Restore(p, bytes);
    EXPECT_EQ(77, store->RestoreInt(0)) << "out of step";
    EXPECT_EQ(0u, store->Remaining());
    for (int a = 0; a < 2; a++) {
        p->SetAxis(a);
        unsigned shape;
        double period, phase, ratio;
        p->GetOscillator(shape, period, phase, ratio);
        EXPECT_EQ(192u + a, shape);
        EXPECT_EQ(10.0 + a, period);
        for (int i = 0; i < 10; i++) {
            unsigned c;
            double amplitude;
            p->GetValueKind(i, c);
            p->GetAmplitude(i, amplitude);
            EXPECT_EQ(unsigned(100 * a + i), c);
            EXPECT_EQ(1.0 * i, amplitude);
        }
    }
    EXPECT_EQ(0.0, p->RetSeed());
}

} // namespace
