#ifndef TESTS_APP_NUMBEREDTILE_H
#define TESTS_APP_NUMBEREDTILE_H

// What the program's picture sheet draws for an icon number it has no
// picture for: a 16 x 16 tile with the number written in block digits
// (3 x 5 cells, one apart, centred, rows 5 to 9). Tests compare an icon's
// face with it to tell a picture from a number drawn in its place. A
// cursor sprite without a picture has its two-digit number below and
// right of its cross hair, in digits of 2 x 2 pixel cells.

#include <cstddef>
#include <string>

// The block digits, 3 x 5 cells.
static const char* const kNumberedDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};

// The face (rows and columns 2 to 13) of the tile of `number`, row by row:
// '#' where a digit inks, '.' elsewhere.
inline std::string NumberedTileFace(int number)
{
    std::string face(144, '.');
    const std::string digits = std::to_string(number);
    const int x0 = (16 - (int(digits.size()) * 4 - 1)) / 2;
    for (std::size_t k = 0; k < digits.size(); ++k)
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 3; ++i)
                if (kNumberedDigits[digits[k] - '0'][j][i] == '#')
                    face[std::size_t((5 + j - 2) * 12 + x0 + 4 * int(k) + i - 2)] = '#';
    return face;
}

// The lower right corner (rows and columns 18 to 31) of the 32 x 32 sprite
// of `number` (0 to 99) written as a number, row by row: '#' where a digit
// inks, '.' elsewhere. The digits start at column 20 and row 21, eight
// pixels apart; the second one loses what passes column 31.
inline std::string NumberedSpriteCorner(int number)
{
    std::string face(14 * 14, '.');
    const int digits[2] = {number / 10 % 10, number % 10};
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 10; ++j)
            for (int i = 0; i < 6; ++i) {
                const int x = 20 + 8 * k + i, y = 21 + j;
                if (x <= 31 && kNumberedDigits[digits[k]][j / 2][i / 2] == '#')
                    face[std::size_t((y - 18) * 14 + x - 18)] = '#';
            }
    return face;
}

#endif
