// CPulsarDef: how up to ten numbers vary while a stroke is drawn along a
// path. Each number i has four base values (constant, minimum, rest,
// maximum) and moves between them by a variation that sums several terms:
// an oscillator along the path, a random term, an envelope over the path's
// length, a term driven by the path's direction and one driven by its turn.
// There are two axes (0 horizontal, 1 vertical), each with its own terms;
// the per-axis operations address the selected axis.
//
// The CDef value at each index is 190 "Constant" or 191 "Variable"; while
// the value at the current index is 190 every number answers its constant.
//
// A walk: set the base values, BeginPath for each axis used, then at each
// step SetRotation with the path's direction, GetVariation or
// GetCombinedVariation per number, and NextStep.
//
// Random numbers come from one process-wide 15-bit generator (0..32767,
// scaled by 1/32767), seeded by BeginPath with reseed from the seed of
// axis 0: the same seed gives the same sequence.
//
// Stored record (after the CDef record): begin, Int 2, repeat, per axis
// {begin, Int shape, Real period, Real phase, Real ratio, mark, Int envelope
// kind, Real envelope ratio, Real start, Real end, mark, Int direction kind,
// Real direction offset, Real direction factor, mark, Int turn kind, Real
// turn value, Real turn factor, mark, Real seed, Int 10, repeat, per value
// {begin, Int components, Real amplitude, Real offset, Bool flags, end},
// end_repeat, end}, end_repeat, end. Base values, the selected axis and the
// walk are not stored; stored axes and values beyond two and ten are read
// and dropped.
#ifndef LUMBRA_APP_PULSARDEF_H
#define LUMBRA_APP_PULSARDEF_H

#include "app/def.h"

ZU_HANDLE(CPulsarDef, CDef)

class CPulsarDef : public CDef {
    ZU_CLASS(CPulsarDef, CDef)
public:
    enum {
        AXES = 2,
        CONSTANT = 190,
        VARIABLE = 191,
        // Component bits.
        OSCILLATOR = 1,
        RANDOM = 2,
        ENVELOPE = 4,
        DIRECTION = 8,
        TURN = 16,
        // Oscillator shapes.
        SINE = 192,
        TRIANGLE = 193,
        EXPONENTIAL = 194,
        PULSE = 195,
        // Direction kinds.
        ONE_PER_TURN = 196,
        TWO_PER_TURN = 197,
        FOUR_PER_TURN = 198,
        TWO_SYMMETRIC = 199,
        FOUR_SYMMETRIC = 216,
        // Envelope kinds.
        RISE = 210,
        RISE_FLAT = 211,
        FALL = 212,
        FALL_FLAT = 213,
        RISE_FALL = 214,
        RISE_FLAT_FALL = 215
    };

    CPulsarDef();

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    // The selected axis, kept in 0..1.
    bool SetAxis(int axis);
    int GetAxis() const;

    // Per value i of the selected axis; false outside 0..9.
    bool SetValueKind(int i, unsigned components);
    bool GetValueKind(int i, unsigned& components) const;
    bool SetAmplitude(int i, double amplitude);
    bool GetAmplitude(int i, double& amplitude) const;
    bool SetOffset(int i, double offset);
    bool GetOffset(int i, double& offset) const;
    bool SetValueFlags(int i, unsigned char flags);
    bool GetValueFlags(int i, unsigned char& flags) const;

    // Terms of the selected axis. A period of 0 becomes 1; the ratios are
    // kept in 0..1.
    bool SetOscillator(unsigned shape, double period, double phase, double ratio);
    bool GetOscillator(unsigned& shape, double& period, double& phase, double& ratio) const;
    bool SetEnvelope(unsigned kind, double ratio, double start, double end);
    bool GetEnvelope(unsigned& kind, double& ratio, double& start, double& end) const;
    bool SetRotationMode(unsigned kind, double offset, double factor);
    bool GetRotationMode(unsigned& kind, double& offset, double& factor) const;
    bool SetAuxParams(unsigned kind, double value, double factor);
    bool GetAuxParams(unsigned& kind, double& value, double& factor) const;

    // The walk of the selected axis.
    bool BeginPath(double length, bool reseed);
    // The path's direction at the current step, brought into 0..2pi.
    bool SetRotation(double angle);
    bool NextStep();
    // Value i at the current step of the selected axis; 0.0 outside 0..9.
    double GetVariation(int i);

    // For both axes.
    bool SetBaseValues(int i, double constant, double minimum, double rest, double maximum);
    bool NewRandomSeed();
    // The variation on the axis on which value i varies, or the mean of both
    // axes (leaving axis 1 selected) when it varies on both or neither.
    double GetCombinedVariation(int i);

    // The random seed (the seed of axis 0) and the walk's state of the
    // selected axis.
    double RetSeed() const { return seed[0]; }
    double RetPosition() const { return position[axis]; }
    double RetAngle() const { return angle[axis]; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    static bool IsValueIndex(int i) { return i >= 0 && i < MAX_VALUES; }
    double OscillatorTerm(int a) const;
    double EnvelopeTerm(int a) const;
    double DirectionTerm(int a) const;
    double TurnTerm(int a) const;
    bool SameStoredFields(const CPulsarDef& o) const;

    int axis;
    unsigned components[AXES][MAX_VALUES];
    double amplitude[AXES][MAX_VALUES];
    double offset[AXES][MAX_VALUES];
    unsigned char flags[AXES][MAX_VALUES];
    unsigned oscillator_shape[AXES];
    double period[AXES];
    double phase[AXES];
    double ratio[AXES];
    unsigned envelope_kind[AXES];
    double envelope_ratio[AXES];
    double envelope_start[AXES];
    double envelope_end[AXES];
    unsigned direction_kind[AXES];
    double direction_offset[AXES];
    double direction_factor[AXES];
    unsigned turn_kind[AXES];
    double turn_value[AXES];
    double turn_factor[AXES];
    double seed[AXES];
    double position[AXES];
    double length[AXES];
    double previous_angle[AXES];
    double angle[AXES];
    double constant[MAX_VALUES];
    double minimum[MAX_VALUES];
    double rest[MAX_VALUES];
    double maximum[MAX_VALUES];
};
ZU_CLASS_END(CPulsarDef)

#endif
