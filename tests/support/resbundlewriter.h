#ifndef TESTS_SUPPORT_RESBUNDLEWRITER_H
#define TESTS_SUPPORT_RESBUNDLEWRITER_H

// Writes resource bundle images for tests: the header line, the entry count
// and first offset (big-endian), then each entry's header, data and padding
// to a multiple of 16 from the data's start.

#include <cstdint>
#include <string>
#include <vector>

struct TestResEntry {
    std::uint16_t type;
    std::string data;
    bool long_header = false;
};

struct TestBundle {
    std::vector<TestResEntry> entries;
    // The count written at 56; by default the number of entries.
    long count = -1;
    // Where the first header starts (at least 64; the gap is zeros).
    std::uint32_t first_offset = 64;

    std::string Image() const;
    // Writes the image as `dir`/Resources/`name` (the folder is made).
    void Write(const std::string& dir, const std::string& name) const;
};

#endif
