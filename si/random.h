// ZuRandom: a dynamic value that reads as a new pseudo-random number each
// time. It draws a whole number from 0 to a maximum with an additive
// lagged-Fibonacci generator in decimal arithmetic modulo 100000000 and
// presents it as the real draw * scale + offset. Every new object starts
// from the same seed, so the sequence is repeatable.
#ifndef SI_RANDOM_H
#define SI_RANDOM_H

#include "si/values.h"

ZU_HANDLE(ZuRandom, ZuValue)

class ZuRandom : public ZuValue {
    ZU_CLASS(ZuRandom, ZuValue)
public:
    ZuRandom();

    // Restarts the generator from RetInitialSeed().
    virtual void Initialise();
    // Limited to 99999999.
    virtual bool SetMaximum(unsigned int maximum);
    virtual bool SetScale(double scale);
    virtual bool SetOffset(double offset);
    virtual bool SetScaleOffset(double scale, double offset);
    virtual unsigned int RetMaximum();
    virtual double RetScale();
    virtual double RetOffset();

    enum : unsigned int { MODULUS = 100000000u, TABLE_SIZE = 55u, INITIAL_SEED = 21987u };

    // p * q modulo 100000000 without overflowing 32 bits.
    static unsigned int Multiply(unsigned int p, unsigned int q);

protected:
    virtual unsigned int RetInitialSeed();
    // Draws the next number into the value.
    void RefreshValue() override;

    // The value's part, then "<ZuRandom max scale offset>", begin, the
    // maximum, the scale, the offset, end. The generator is not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int table[TABLE_SIZE];
    unsigned int steps;
    unsigned int maximum;
    unsigned int limit;
    unsigned int range;
    double scale;
    double offset;
};
ZU_CLASS_END(ZuRandom)

#endif
