// ZuSpring: how long one piece of a row or column of views becomes, as a
// function of one number the whole row shares, the stretch. The function is
// piecewise linear through a list of samples (stretch, size) in strictly
// ascending order of stretch, every stretch within 0 to 1000; beyond its
// first and last samples it goes on along its end segments. A spring whose
// samples all have one size is rigid.
//
// A spring may name the band it belongs to (si/springband): every change of
// its samples tells that band that its sum is out of date.
#ifndef SI_SPRING_H
#define SI_SPRING_H

#include "si/object.h"

ZU_HANDLE(ZuSpring, ZuObject)
// The band class (si/springband.h) holds springs; a spring names its band.
ZU_HANDLE(ZuSpringBand, ZuObject)

class ZuSpring : public ZuObject {
    ZU_CLASS(ZuSpring, ZuObject)
public:
    // A new spring is rigid with size 0: samples (0, 0) and (1, 0).
    ZuSpring();
    ~ZuSpring() override;

    void Delete() override;

    // Names the band; size 0 with extra 1 leaves no sample, anything else
    // is Reset(size, extra).
    virtual void Initialise(const ZuSpringBandRef& band, double size, double extra);
    // Size at stretch 0, growing by extra for every unit of stretch.
    virtual void Reset(double size, double extra);
    // Rigid at size.
    virtual void Reset(double size);
    // Adds a sample, or gives the sample of that stretch the new size; a
    // stretch outside 0 to 1000 is ignored.
    virtual void Insert(double stretch, double size);
    // Removes the sample of exactly that stretch, if there is one.
    virtual void Remove(double stretch);
    virtual void RemoveAll();
    // This spring becomes the sum of itself and the other.
    virtual void Merge(const ZuSpringRef& other);
    virtual double ComputeDefaultSize(double stretch);
    virtual double RetDefaultSize() const;
    virtual double FindSize(double stretch) const;
    virtual double FindStretch(double size) const;
    virtual double FindSlope(double stretch) const;
    virtual unsigned CountSamples() const;
    virtual bool GetNthSample(unsigned n, double& stretch, double& size) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    struct Sample {
        double stretch;
        double size;
        Sample* prev;
        Sample* next;
    };
    enum Key { BY_STRETCH, BY_SIZE };

    // The segment whose samples serve a key (two samples at least).
    void FindSegment(Key by, double key, const Sample*& a, const Sample*& b) const;
    void FreeSamples();
    void TellBand();

    Sample* head = nullptr;
    Sample* tail = nullptr;
    unsigned count = 0;
    ZuSpringBandRef band;
    double default_size = 0;
};
ZU_CLASS_END(ZuSpring)

#endif
