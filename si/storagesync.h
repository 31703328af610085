// ZuStorageSync: the records that mark the structure of stored data.
//
// A class record is the text "<" class name, its stored field names ">"
// (for example "<ZuStorage>"); it is written as an atom, so it costs its
// length only the first time it appears in a stream. The predefined records
// begin, end, repeat, end_repeat, mark and type are recognised by the
// storage by their identity (their address), never by their text.
//
//   storage << MyClass::sync << ZuStorageSync::begin << field ... << ZuStorageSync::end;
//   storage >> ZuStorageSync::type >> ZuStorageSync::begin >> field ... >> ZuStorageSync::end;
#ifndef ZUVI_SI_STORAGESYNC_H
#define ZUVI_SI_STORAGESYNC_H

#include "si/atom.h"

struct ZuStorageSync {
    const char* text; // the record's constant text
    ZuAtomRef name;   // the text as an atom, made on first store
    bool name_built;

    explicit ZuStorageSync(const char* text);
    ZuStorageSync(const ZuStorageSync& other);
    ZuStorageSync& operator=(const ZuStorageSync& other);

    // Builds the atom from the text on first use (and again after the
    // atoms were killed) and returns it.
    const ZuAtomRef& UpdateInternalName();

    static ZuStorageSync mark;
    static ZuStorageSync begin;
    static ZuStorageSync repeat;
    static ZuStorageSync end;
    static ZuStorageSync end_repeat;
    static ZuStorageSync type;
};

#endif
