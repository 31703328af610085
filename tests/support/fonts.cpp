#include "tests/support/fonts.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <unistd.h>

std::string TestFontsDir()
{
    const char* dir = std::getenv("ZUVI_FONTS_DIR");
    return dir != nullptr && *dir != '\0' ? std::string(dir) : std::string(ZUVI_TEST_FONTS_DIR);
}

std::string TestFontPath(const char* name)
{
    return TestFontsDir() + "/" + name;
}

std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

std::string WriteScratchFile(const char* name, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    char cwd[4096];
    return std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".") + "/" + name;
}

size_t FindFontTable(const std::vector<unsigned char>& face, const char* tag)
{
    if (face.size() < 12)
        return 0;
    const unsigned count = face[4] << 8 | face[5];
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = 12 + 16 * size_t(i);
        if (entry + 16 > face.size())
            return 0;
        if (std::memcmp(&face[entry], tag, 4) == 0)
            return size_t(face[entry + 8]) << 24 | size_t(face[entry + 9]) << 16 |
                   size_t(face[entry + 10]) << 8 | face[entry + 11];
    }
    return 0;
}

void PutBigEndian16(std::vector<unsigned char>& bytes, size_t offset, int value)
{
    bytes.at(offset) = static_cast<unsigned char>((value >> 8) & 0xFF);
    bytes.at(offset + 1) = static_cast<unsigned char>(value & 0xFF);
}
