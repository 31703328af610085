// Resource descriptors and resource types: what a resource bundle knows of
// each of its entries, and how code elsewhere names a resource (by bundle
// number and index) before it is resolved.
#ifndef SI_RESID_H
#define SI_RESID_H

#include <cstdint>

// The type word of a bundle entry. 129 and 130 are the two text forms a
// string accepts; 255 stands for no type. Any other 16-bit value may come
// from a bundle file.
enum ZuResType : unsigned short {
    ZU_RES_TYPE_END = 0,            // ends a bundle's entries
    ZU_RES_TYPE_LATIN_TEXT = 129,   // 8-bit characters
    ZU_RES_TYPE_UNICODE_TEXT = 130, // 16-bit characters
    ZU_RES_TYPE_NONE = 255
};

struct ZuResIDDef {
    std::uint16_t bundle;      // the ID of the bundle that holds the resource
    std::uint16_t index;       // the entry's position in its bundle
    const unsigned char* data; // the bytes inside the bundle's image; null while unresolved
    std::uint32_t size;        // bytes
    std::uint32_t lock_count;

    // The type word that stands, big-endian, just before the data (read
    // byte by byte: entries may start at any offset). The data must be set.
    ZuResType RetType() const
    {
        return static_cast<ZuResType>((unsigned(data[-2]) << 8) | data[-1]);
    }
};

#endif
