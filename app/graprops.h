// The texts and property rows the drawing objects give the dialogs.
//
// GraProperty is one row of an object's property table as the property
// dialog asks for it: name, description (Latin-1), flags, unit, range, step
// and option. GraPropertyTable answers those questions from a table of rows;
// a question about a row outside the table answers false and leaves out as
// it was. A table without options (its rows hold -1 there) answers every
// option question as an object without properties does: -1, false.
//
// A palette is words: entries of icon, style, state and -2, with -6 and -3
// between groups and -1 at the end. Every object's opens with entry 8 and
// closes with entries 30 and 78; BeginPalette and EndPalette write those,
// EndPalette with the -6 that follows an object's own entries when it
// wrote any. SetPlainLayout writes the palette of an object that has no
// point commands (LAYOUT_WORDS, 15 words).
//
// SetLabel puts a text into a caller's string (a new one when it has none);
// SetDebugText makes the one line of the debugging trace out of labelled
// numbers, each in its unit.
#ifndef LUMBRA_APP_GRAPROPS_H
#define LUMBRA_APP_GRAPROPS_H

#include <cstddef>
#include <initializer_list>

#include "si/string.h"

struct GraProperty {
    const char* name;
    const char* description;
    int flags;
    int unit;
    double min;
    double max;
    double step;
    int option;
};

class GraPropertyTable {
public:
    enum Options { WITHOUT_OPTIONS, WITH_OPTIONS };

    template <std::size_t N>
    constexpr GraPropertyTable(const GraProperty (&table)[N], Options kind)
        : rows(table), count(int(N)), options(kind == WITH_OPTIONS)
    {}

    int Count() const { return count; }
    bool Has(int n) const { return n >= 0 && n < count; }
    bool Flags(int n, int& out) const;
    bool Unit(int n, int& out) const;
    bool Name(int n, ZuStringRef& out) const;
    bool Description(int n, ZuStringRef& out) const;
    bool Range(int n, double& min, double& max) const;
    bool Step(int n, double& out) const;
    bool Option(int n, int& out) const;

private:
    const GraProperty* rows;
    int count;
    bool options;
};

// One entry; the place after it.
int* PaletteEntry(int* out, int icon, int style = 0, int state = 0);
int* BeginPalette(int* out);
void EndPalette(int* out, bool ownEntries);
void SetPlainLayout(int* out);

// What GetDefinitionKinds writes: the kinds, in order, ending with 0.
void SetKinds(int* out, std::initializer_list<int> kinds);

void SetLabel(ZuStringRef& out, const char* text);

// One labelled number of a debugging text.
struct DebugPart {
    const char* label;
    double value;
    int unit;
};

// out becomes each part's label followed by its value in its unit.
void SetDebugText(ZuStringRef& out, std::initializer_list<DebugPart> parts);

#endif
