// ZuBitset: a plain set of 64 flags (object status, window styles, key
// modifiers, event masks...). Bitset<E> puts an enumeration's type on it so
// that bits are named by the enumeration's codes; storage and conversion
// from values are those of ZuBitset.
#ifndef SI_BITSET_H
#define SI_BITSET_H

#include <cstdint>
#include <initializer_list>

class ZuValueRef;
class ZuStorageRef;
struct Zuvi_TypeDef;

class ZuBitset {
public:
    ZuBitset() : low(0), high(0) {}
    ZuBitset(const ZuBitset& other) = default;
    ZuBitset& operator=(const ZuBitset& other) = default;
    explicit ZuBitset(const ZuValueRef& value); // the value's RetCard64
    ZuBitset& operator=(const ZuValueRef& value);

    // Union, difference, intersection, symmetric difference. The forms
    // taking a value use its RetCard64; an empty handle leaves the set as
    // it is (the intersection too).
    ZuBitset& operator+=(const ZuBitset& other)
    {
        SetBits(RetBits() | other.RetBits());
        return *this;
    }
    ZuBitset& operator|=(const ZuBitset& other) { return *this += other; }
    ZuBitset& operator-=(const ZuBitset& other)
    {
        SetBits(RetBits() & ~other.RetBits());
        return *this;
    }
    ZuBitset& operator*=(const ZuBitset& other)
    {
        SetBits(RetBits() & other.RetBits());
        return *this;
    }
    ZuBitset& operator&=(const ZuBitset& other) { return *this *= other; }
    ZuBitset& operator^=(const ZuBitset& other)
    {
        SetBits(RetBits() ^ other.RetBits());
        return *this;
    }
    ZuBitset& operator+=(const ZuValueRef& value);
    ZuBitset& operator|=(const ZuValueRef& value);
    ZuBitset& operator-=(const ZuValueRef& value);
    ZuBitset& operator*=(const ZuValueRef& value);
    ZuBitset& operator&=(const ZuValueRef& value);
    ZuBitset& operator^=(const ZuValueRef& value);

    bool operator==(const ZuBitset& other) const { return low == other.low && high == other.high; }
    bool operator!=(const ZuBitset& other) const { return !(*this == other); }
    bool operator==(const ZuValueRef& value) const; // an empty handle equals the empty set
    bool operator!=(const ZuValueRef& value) const;

    // Bit numbers of 64 or more address no bit.
    bool TestBit(unsigned int n) const { return n < 64 && (RetBits() >> n) & 1; }
    bool operator[](unsigned int n) const { return TestBit(n); }
    bool TestNone() const { return low == 0 && high == 0; }
    // True when the set is empty, when n >= 64, or when bit n is the only bit set.
    bool TestNone(unsigned int n) const
    {
        return TestNone() || n >= 64 || RetBits() == (uint64_t(1) << n);
    }
    bool TestOverlap(const ZuBitset& other) const { return (RetBits() & other.RetBits()) != 0; }

    void SetBit(unsigned int n)
    {
        if (n < 64)
            SetBits(RetBits() | (uint64_t(1) << n));
    }
    void ClearBit(unsigned int n)
    {
        if (n < 64)
            SetBits(RetBits() & ~(uint64_t(1) << n));
    }
    void ChangeBit(unsigned int n)
    {
        if (n < 64)
            SetBits(RetBits() ^ (uint64_t(1) << n));
    }
    // Sets or clears bit n; true only when the bit changed.
    bool ChangeBit(unsigned int n, bool state)
    {
        if (n >= 64 || TestBit(n) == state)
            return false;
        ChangeBit(n);
        return true;
    }

    void Set(const ZuBitset& other) { *this += other; }
    void Clear(const ZuBitset& other) { *this -= other; }
    void Change(const ZuBitset& other) { *this ^= other; }
    void Change(const ZuBitset& other, bool state)
    {
        if (state)
            Set(other);
        else
            Clear(other);
    }

    uint64_t RetBits() const { return (uint64_t(high) << 32) | low; }
    void SetBits(uint64_t bits)
    {
        low = static_cast<uint32_t>(bits);
        high = static_cast<uint32_t>(bits >> 32);
    }

    // A set holding only bit n (empty for n >= 64).
    static ZuBitset Bit(unsigned int n)
    {
        ZuBitset set;
        set.SetBit(n);
        return set;
    }

private:
    uint32_t low;
    uint32_t high;
};

// begin, the 64 bits as one cardinal, end; restored with the current bits
// as the default.
const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuBitset& set);
const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuBitset& set);

extern const Zuvi_TypeDef ZuBitset_type;
extern const Zuvi_TypeDef* const ZuBitsetTypeDef;

// A set whose bits are named by the codes of the enumeration E.
template <class E>
class Bitset : public ZuBitset {
public:
    Bitset() = default;
    Bitset(const ZuBitset& set) : ZuBitset(set) {}
    Bitset(std::initializer_list<E> bits)
    {
        for (E bit : bits)
            ZuBitset::SetBit(static_cast<unsigned int>(bit));
    }
    explicit Bitset(const ZuValueRef& value) : ZuBitset(value) {}
    Bitset& operator=(const ZuBitset& set)
    {
        ZuBitset::operator=(set);
        return *this;
    }

    using ZuBitset::TestBit;
    using ZuBitset::operator[];
    using ZuBitset::ChangeBit;
    using ZuBitset::ClearBit;
    using ZuBitset::SetBit;
    using ZuBitset::TestNone;

    bool TestBit(E bit) const { return ZuBitset::TestBit(static_cast<unsigned int>(bit)); }
    bool operator[](E bit) const { return TestBit(bit); }
    bool TestNone(E bit) const { return ZuBitset::TestNone(static_cast<unsigned int>(bit)); }
    void SetBit(E bit) { ZuBitset::SetBit(static_cast<unsigned int>(bit)); }
    void ClearBit(E bit) { ZuBitset::ClearBit(static_cast<unsigned int>(bit)); }
    void ChangeBit(E bit) { ZuBitset::ChangeBit(static_cast<unsigned int>(bit)); }
    bool ChangeBit(E bit, bool state)
    {
        return ZuBitset::ChangeBit(static_cast<unsigned int>(bit), state);
    }

    static Bitset Bit(E bit) { return Bitset(ZuBitset::Bit(static_cast<unsigned int>(bit))); }
};

#endif
