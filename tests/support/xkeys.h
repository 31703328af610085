#ifndef TESTS_SUPPORT_XKEYS_H
#define TESTS_SUPPORT_XKEYS_H

// The keys of the X server's keyboard that type a test's keysyms, pressed
// through XTest. A keysym that no key of the server's layout has is given
// to a spare key (a keycode without keysyms, from the top of the range)
// with XChangeKeyboardMapping; the destructor takes it back, so the next
// test finds the layout as the server had it.
//
// Include it after the library's headers: X's headers define names
// (KeyPress, None...) as macros.

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// Presses and releases a key through XTest, with Shift held around it
// when asked, and waits until the server has them.
inline void PressKey(Display* peer, KeyCode code, bool shift)
{
    const KeyCode shift_code = XKeysymToKeycode(peer, XK_Shift_L);
    if (shift)
        XTestFakeKeyEvent(peer, shift_code, True, 0);
    XTestFakeKeyEvent(peer, code, True, 0);
    XTestFakeKeyEvent(peer, code, False, 0);
    if (shift)
        XTestFakeKeyEvent(peer, shift_code, False, 0);
    XSync(peer, False);
}

class XKeys {
public:
    explicit XKeys(Display* display) : peer(display)
    {
        int first = 0, last = 0;
        XDisplayKeycodes(peer, &first, &last);
        int per = 0;
        KeySym* syms = XGetKeyboardMapping(peer, KeyCode(first), last - first + 1, &per);
        if (syms == nullptr)
            return;
        for (int code = last; code >= first && spare.size() < 16; --code) {
            bool empty = true;
            for (int i = 0; i < per; ++i)
                empty = empty && syms[(code - first) * per + i] == NoSymbol;
            if (empty)
                spare.push_back(KeyCode(code));
        }
        XFree(syms);
    }
    ~XKeys()
    {
        for (const auto& given : mapped) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(peer, given.second, 1, &none, 1);
        }
        XSync(peer, False);
    }
    XKeys(const XKeys&) = delete;
    XKeys& operator=(const XKeys&) = delete;

    // Gives a spare key the keysyms (unshifted, shifted); its keycode, 0
    // when no key is spare. With `altgr`, the key types that keysym while
    // AltGr is held: the level-three shift (a four-level key type, which
    // only the keyboard extension gives) or the group shift (group 2).
    KeyCode Give(KeySym plain, KeySym shifted = NoSymbol, KeySym altgr = NoSymbol)
    {
        if (spare.empty())
            return 0;
        const KeyCode code = spare.back();
        spare.pop_back();
        KeySym syms[2] = {plain, shifted == NoSymbol ? plain : shifted};
        XChangeKeyboardMapping(peer, code, 2, syms, 1);
        XSync(peer, False);
        if (altgr != NoSymbol && !GiveAltGr(code, syms, altgr))
            return 0;
        mapped[plain] = code;
        return code;
    }

    // Presses and releases the key of the keysym, with Shift held when the
    // layout has it on the shifted level; false when no key can type it.
    bool Tap(KeySym sym)
    {
        KeyCode code = 0;
        bool shift = false;
        auto given = mapped.find(sym);
        if (given != mapped.end()) {
            code = given->second;
        } else {
            code = XKeysymToKeycode(peer, sym);
            shift = code != 0 && XkbKeycodeToKeysym(peer, code, 0, 0) != sym;
            // Only the two first levels are reached with Shift alone.
            if (code == 0 || (shift && XkbKeycodeToKeysym(peer, code, 0, 1) != sym)) {
                code = Give(sym);
                shift = false;
            }
        }
        if (code == 0)
            return false;
        PressKey(peer, code, shift);
        return true;
    }
    // Types ISO 8859-1 text, a key a character (the set's keysyms are its
    // codes).
    bool Type(const std::string& latin1)
    {
        for (unsigned char c : latin1)
            if (!Tap(KeySym(c)))
                return false;
        return true;
    }

    // Types "\xC9t\xE9 \xE0 No\xEBl@" every way a French user does: "\xC9" by
    // its keysym, "\xE9" by the French key (given by the caller, with "@"
    // under AltGr), "\xE0" composed, "\xEB" by a dead key, a euro sign that
    // has no 8-bit code and types nothing, then "@" with AltGr.
    bool TypeFrenchSample(KeyCode french)
    {
        if (!Tap(XK_Eacute) || !Tap(XK_t))
            return false;
        XTestFakeKeyEvent(peer, french, True, 0);
        XTestFakeKeyEvent(peer, french, False, 0);
        if (!Tap(XK_space) || !Tap(XK_Multi_key) || !Tap(XK_grave) || !Tap(XK_a) || !Type(" No") ||
            !Tap(XK_dead_diaeresis) || !Tap(XK_e) || !Tap(XK_EuroSign) || !Tap(XK_l))
            return false;
        const KeyCode altgr = XKeysymToKeycode(peer, XK_ISO_Level3_Shift);
        if (altgr == 0)
            return false;
        XTestFakeKeyEvent(peer, altgr, True, 0);
        XTestFakeKeyEvent(peer, french, True, 0);
        XTestFakeKeyEvent(peer, french, False, 0);
        XTestFakeKeyEvent(peer, altgr, False, 0);
        return true;
    }

private:
    bool GiveAltGr(KeyCode code, const KeySym* levels, KeySym altgr)
    {
        XkbDescPtr xkb = XkbGetMap(peer, XkbAllMapComponentsMask, XkbUseCoreKbd);
        if (xkb == nullptr)
            return false;
        int four = -1;
        if (XkbGetNames(peer, XkbKeyTypeNamesMask, xkb) == Success)
            for (int i = 0; i < xkb->map->num_types && four < 0; ++i) {
                char* name = XGetAtomName(peer, xkb->map->types[i].name);
                if (name != nullptr && std::string(name) == "FOUR_LEVEL")
                    four = i;
                if (name != nullptr)
                    XFree(name);
            }
        bool done = false;
        XkbMapChangesRec changes;
        std::memset(&changes, 0, sizeof changes);
        int types[2] = {four, XkbTwoLevelIndex};
        if (four >= 0 && XkbChangeTypesOfKey(xkb, code, 2, XkbGroup1Mask | XkbGroup2Mask, types,
                                             &changes) == Success) {
            // Four symbols a group: group 1's levels, then group 2's.
            KeySym* syms = XkbKeySymsPtr(xkb, code);
            const KeySym wanted[6] = {levels[0], levels[1], altgr, altgr, altgr, altgr};
            std::copy(wanted, wanted + 6, syms);
            changes.changed |= XkbKeySymsMask | XkbKeyTypesMask;
            changes.first_key_sym = code;
            changes.num_key_syms = 1;
            changes.first_type = 0;
            changes.num_types = xkb->map->num_types;
            done = XkbChangeMap(peer, xkb, &changes) != False;
            XSync(peer, False);
        }
        XkbFreeKeyboard(xkb, 0, True);
        return done;
    }

    Display* peer;
    std::vector<KeyCode> spare;
    std::map<KeySym, KeyCode> mapped;
};

#endif
