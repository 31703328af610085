#ifndef TESTS_SUPPORT_LATINKEYS_H
#define TESTS_SUPPORT_LATINKEYS_H

// "Été à Noël" typed as the platform hands keys over: a key standing for
// its character alone (VK_PACKET), a French layout's key ('2' giving
// "é"), plain letters, and a euro sign, beyond the 8-bit set, that the
// text must ignore.

#include "w32/headless.h"

// Presses and releases each key with its character on the headless
// backend; the caller pumps the messages.
inline void InjectLatinKeys()
{
    struct Stroke {
        UINT vk;
        int character;
    } const strokes[] = {
        {VK_PACKET, 0xC9},   {'T', 't'},        {'2', 0xE9}, {VK_SPACE, ' '},
        {VK_PACKET, 0xE0},   {VK_SPACE, ' '},   {'N', 'N'},  {'O', 'o'},
        {VK_PACKET, 0x20AC}, {VK_PACKET, 0xEB}, {'L', 'l'},
    };
    for (const Stroke& s : strokes) {
        W32_HeadlessKey(s.vk, 0, false, true, s.character);
        W32_HeadlessKey(s.vk, 0, false, false, s.character);
    }
}

#endif
