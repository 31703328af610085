#ifndef TESTS_SUPPORT_FONTS_H
#define TESTS_SUPPORT_FONTS_H

// The face files of the fonts folder the build lays out, and damaged copies
// of them for the tests of bad input.

#include <string>
#include <vector>

// The fonts folder: $ZUVI_FONTS_DIR (the tests point it at the build's
// folder), else the build's folder itself.
std::string TestFontsDir();
// A face of that folder by its file name ("arial.ttf").
std::string TestFontPath(const char* name);
// The bytes of a file (empty when it cannot be read).
std::vector<unsigned char> ReadFileBytes(const std::string& path);
// Writes bytes into a file of the current directory; its full name.
std::string WriteScratchFile(const char* name, const std::vector<unsigned char>& bytes);
// The offset of a table of a TrueType file, 0 when there is none.
size_t FindFontTable(const std::vector<unsigned char>& face, const char* tag);
void PutBigEndian16(std::vector<unsigned char>& bytes, size_t offset, int value);

#endif
