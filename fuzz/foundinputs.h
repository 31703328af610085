// Inputs that fuzz runs found stopping a reader, kept as literal seeds of
// the targets that read such bytes (the storage target through fuzz_seeds,
// the message target through its own seed writer), so that every run
// covers them again.
#ifndef FUZZ_FOUNDINPUTS_H
#define FUZZ_FOUNDINPUTS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Name and bytes of each found input of the object readers.
inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Zuvi_FoundObjectInputs()
{
    // A record naming a class that cannot be stored (a service whose
    // constructor needs the font manager), then its data record and bytes
    // of no meaning: 62 bytes in all.
    const auto service = [](const char* name) {
        std::vector<std::uint8_t> b = {0x40, 0, 0x01, 0x01};
        for (const char* c = name; *c; ++c)
            b.push_back(std::uint8_t(*c));
        b[1] = std::uint8_t(b.size() - 4);
        const std::uint8_t tail[] = {0x43, 0x01, 0xFE, 0xFC, 0x80, 0x00, 0x09, 0xFD};
        for (unsigned i = 0; b.size() < 62; ++i)
            b.push_back(tail[i % sizeof tail]);
        return b;
    };
    return {
        {"found-lookman", service("ZuLookMan")},
        {"found-pixmap", service("ZuGrailPixmap")},
        {"found-window", service("ZuGrailWindow")},
    };
}

#endif
