// ZuKey: the key of an event: its type, an 8-bit code (for cursor keys a
// ZuKeyCursor, for function keys the number, otherwise the upper-case
// character), a 16-bit character value and the modifiers held.
#ifndef SI_KEY_H
#define SI_KEY_H

#include <cstdint>

#include "si/types.h"

struct ZuKey {
    ZuKey() : type(ZU_KEY_NONE), code(0), value(0), modifiers() {}
    ZuKey(const ZuKey& other) = default;
    ZuKey& operator=(const ZuKey& other)
    {
        type = other.type;
        code = other.code;
        value = other.value;
        modifiers = other.modifiers;
        return *this;
    }

    ZuKeyType type;
    uint8_t code;
    uint16_t value;
    ZuKeyModifiers modifiers;
};

#endif
