// ZuTextStyle: where a text sits in its rectangle (horizontal and vertical
// position) and its angle in degrees.
#ifndef SI_TEXTSTYLE_H
#define SI_TEXTSTYLE_H

#include "si/enumfamily.h"

class ZuStorageRef;

// clang-format off
#define ZU_TEXT_HPOS_LIST(X)                                                    \
    X(ZU_TEXT_HPOS_LEFT, 0) X(ZU_TEXT_HPOS_CENTER, 1)                           \
    X(ZU_TEXT_HPOS_RIGHT, 2) X(ZU_TEXT_HPOS_ALIGN, 3)
// clang-format on
ZU_ENUM(ZuTextHPos, ZU_TEXT_HPOS_LIST)

// clang-format off
#define ZU_TEXT_VPOS_LIST(X)                                                    \
    X(ZU_TEXT_VPOS_TOP, 0) X(ZU_TEXT_VPOS_CENTER, 1)                            \
    X(ZU_TEXT_VPOS_BOTTOM, 2) X(ZU_TEXT_VPOS_BASE, 3)
// clang-format on
ZU_ENUM(ZuTextVPos, ZU_TEXT_VPOS_LIST)

class ZuTextStyle {
public:
    ZuTextStyle() : h_pos(ZU_TEXT_HPOS_LEFT), v_pos(ZU_TEXT_VPOS_TOP), angle(0) {}
    ZuTextStyle(ZuTextHPos h) : h_pos(h), v_pos(ZU_TEXT_VPOS_TOP), angle(0) {}
    ZuTextStyle(ZuTextVPos v) : h_pos(ZU_TEXT_HPOS_LEFT), v_pos(v), angle(0) {}
    ZuTextStyle(ZuTextHPos h, ZuTextVPos v) : h_pos(h), v_pos(v), angle(0) {}
    ZuTextStyle(ZuTextVPos v, ZuTextHPos h) : h_pos(h), v_pos(v), angle(0) {}
    ZuTextStyle(const ZuTextStyle& other) = default;
    ZuTextStyle& operator=(const ZuTextStyle& other) = default;

    // Each sets only its own position.
    ZuTextStyle& operator=(ZuTextHPos h)
    {
        h_pos = h;
        return *this;
    }
    ZuTextStyle& operator=(ZuTextVPos v)
    {
        v_pos = v;
        return *this;
    }
    operator ZuTextHPos() const { return h_pos; }
    operator ZuTextVPos() const { return v_pos; }

    // A position compares with its own field only.
    bool operator==(ZuTextHPos h) const { return h_pos == h; }
    bool operator!=(ZuTextHPos h) const { return h_pos != h; }
    bool operator==(ZuTextVPos v) const { return v_pos == v; }
    bool operator!=(ZuTextVPos v) const { return v_pos != v; }
    // Two styles are equal when all three fields are.
    bool operator==(const ZuTextStyle& other) const
    {
        return h_pos == other.h_pos && v_pos == other.v_pos && angle == other.angle;
    }
    bool operator!=(const ZuTextStyle& other) const { return !(*this == other); }

    void SetAngle(double a) { angle = a; }
    double RetAngle() const { return angle; }

    // "<ZuTextStyle h_pos v_pos angle>", begin, the positions as cards, the
    // angle as a real, end; each field is read with its value as default.
    void StoreInstance(const ZuStorageRef& storage) const;
    void RestoreInstance(const ZuStorageRef& storage);

    static const ZuTextStyle none;

private:
    ZuTextHPos h_pos;
    ZuTextVPos v_pos;
    double angle;
};

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuTextStyle& style);
const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuTextStyle& style);

extern const Zuvi_TypeDef ZuTextStyle_type;
extern const Zuvi_TypeDef* const ZuTextStyleTypeDef;

#endif
