#ifndef TESTS_APP_NUMBEREDTILE_H
#define TESTS_APP_NUMBEREDTILE_H

// What the program's picture sheet draws for an icon number it has no
// picture for: a 16 x 16 tile with the number written in block digits
// (3 x 5 cells, one apart, centred, rows 5 to 9). Tests compare an icon's
// face with it to tell a picture from a number drawn in its place.

#include <cstddef>
#include <string>

// The face (rows and columns 2 to 13) of the tile of `number`, row by row:
// '#' where a digit inks, '.' elsewhere.
inline std::string NumberedTileFace(int number)
{
    static const char* const kDigits[10][5] = {
        {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
        {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
        {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
        {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
        {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
    };
    std::string face(144, '.');
    const std::string digits = std::to_string(number);
    const int x0 = (16 - (int(digits.size()) * 4 - 1)) / 2;
    for (std::size_t k = 0; k < digits.size(); ++k)
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 3; ++i)
                if (kDigits[digits[k] - '0'][j][i] == '#')
                    face[std::size_t((5 + j - 2) * 12 + x0 + 4 * int(k) + i - 2)] = '#';
    return face;
}

#endif
