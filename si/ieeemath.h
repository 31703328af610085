// Portable form of doubles used by the storage byte format.
//
// A double travels as three 32-bit words, independent of the host's byte
// order and bit layout:
//   w0   : biased binary exponent minus 1024, masked to 31 bits, sign in bit 31
//   w[0] : the 32 most significant bits of the 52-bit fraction
//   w[1] : the 20 remaining fraction bits, left-aligned (shifted left by 12)
#ifndef ZUVI_SI_IEEEMATH_H
#define ZUVI_SI_IEEEMATH_H

void Zuvi_ExportDouble(double value, unsigned int& w0, unsigned int* w);
void Zuvi_ImportDouble(double& value, unsigned int w0, const unsigned int* w);

#endif
