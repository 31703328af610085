#include "tests/support/resbundlewriter.h"

#include <fstream>
#include <sys/stat.h>

namespace {

void Put16(std::string& out, unsigned v)
{
    out.push_back(char((v >> 8) & 0xFF));
    out.push_back(char(v & 0xFF));
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}

} // namespace

std::string TestBundle::Image() const
{
    std::string out = "Zuvi:ResourceFile:Raw-Binary.0\r\n";
    out.append(24, '\0');
    Put32(out, count < 0 ? std::uint32_t(entries.size()) : std::uint32_t(count));
    Put32(out, first_offset);
    if (out.size() < first_offset)
        out.append(first_offset - out.size(), '\0');
    for (const TestResEntry& e : entries) {
        std::uint32_t size = std::uint32_t(e.data.size());
        if (e.long_header) {
            Put16(out, 0x8000u | (size >> 16));
            Put16(out, size & 0xFFFF);
            Put16(out, 0);
        } else {
            Put16(out, size);
        }
        Put16(out, e.type);
        out += e.data;
        out.append((16 - size % 16) % 16, '\0');
    }
    return out;
}

void TestBundle::Write(const std::string& dir, const std::string& name) const
{
    std::string folder = dir + "/Resources";
    ::mkdir(folder.c_str(), 0700);
    std::ofstream(folder + "/" + name, std::ios::binary) << Image();
}
