// ZuiGrailHook: an image that copies itself into a drawing port's pixels.
// Each operation writes a width x height rectangle of the hook's own image
// at column x and row y of the destination, whose rows lie `pitch` bytes
// apart. The port calls the first for a 1-bit destination (x is then the bit
// offset within the first byte), the second for a 16-bit and the third for
// a 15-bit one; the 24-bit and 32-bit forms are offered to hooks that draw
// into such buffers themselves.
#ifndef SI_IGRAILHOOK_H
#define SI_IGRAILHOOK_H

#include "si/interface.h"

class ZuiGrailHook {
public:
    static const Zuvi_Interface interface;

    virtual void CopyTo1Bit(int x, int y, int width, int height, void* pixels, int pitch) = 0;
    virtual void CopyTo16Bit(int x, int y, int width, int height, void* pixels, int pitch) = 0;
    virtual void CopyTo15Bit(int x, int y, int width, int height, void* pixels, int pitch) = 0;
    virtual void CopyTo24Bit(int x, int y, int width, int height, void* pixels, int pitch) = 0;
    virtual void CopyTo32Bit(int x, int y, int width, int height, void* pixels, int pitch) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiGrailHook() = default;
    ZuiGrailHook(const ZuiGrailHook&) = default;
    ZuiGrailHook& operator=(const ZuiGrailHook&) = default;
    ~ZuiGrailHook() = default;
};

#endif
