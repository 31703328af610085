// The look manager's sheets: PNG images whose "IconRecord" text chunks say,
// line by line, which rectangle of the image is which icon in which state
// and which one is which cursor with its hot spot.
//
// A chunk is a text where ':' ends a field and a newline ends a line:
//   I:name:dx:dy:item:item:...   items S<d>[x.y], ASX, ASY, ENT[x.y],
//                                EXT[x.y], MOSAIC<n>; others are skipped
//   C:name:dx:dy:x:y:hx:hy       (ended by a newline)
// Sheets are files: whatever a chunk holds, the parser keeps what it made
// so far and never reads past the text.

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "si/classfactory.h"
#include "si/loadpng.h"
#include "si/lookman.h"
#include "si/memzone.h"

namespace {

const char* const kFile = "si/lookmanpng";

// A joined name (prefix and name) has at most this many characters.
const std::size_t kMaxJoinedName = 198;

// Padding zeros after the text, so that every look-ahead of the parser
// stays inside the buffer.
const std::size_t kPadding = 8;

// The C library's atoi without its undefined overflow: blanks, a sign,
// digits up to the first other byte; no digits give 0. Saturates.
int ToInt(const char* s)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

class ChunkParser {
public:
    ChunkParser(const ZuStringRef& text, const ZuGrailPixmapRef& sheet_, const std::string& prefix_,
                const ZuDictRef& icons_, const ZuDictRef& cursors_)
        : sheet(sheet_), prefix(prefix_), icons(icons_), cursors(cursors_)
    {
        const unsigned n = text.IsValid() ? text->CharacterCount() : 0;
        b.assign(n + kPadding, '\0');
        for (unsigned i = 0; i < n; ++i) {
            const char c = static_cast<char>(text[i] & 0xFF);
            b[i] = c == ':' ? '\0' : c;
        }
    }

    // The records made go into the dictionaries in one walk each, in the
    // order that inserting them one by one gives.
    void Flush()
    {
        if (icons.IsValid())
            icons->InsertSorted(std::move(icon_pairs));
        if (cursors.IsValid())
            cursors->InsertSorted(std::move(cursor_pairs));
        icon_pairs.clear();
        cursor_pairs.clear();
    }

    void Run()
    {
        std::size_t p = 0;
        while (b[p] != '\0') {
            if (IsField(p, "I")) {
                if (!IconLine(p))
                    return;
            } else if (IsField(p, "C")) {
                if (!CursorLine(p))
                    return;
            } else {
                // Another kind of line: skipped up to its newline, or up to
                // a field end, which then finishes the chunk.
                while (b[p] != '\0' && b[p] != '\n')
                    ++p;
                SkipNewlines(p);
            }
        }
    }

private:
    bool IsField(std::size_t p, const char* word) const { return std::strcmp(&b[p], word) == 0; }
    std::size_t FieldEnd(std::size_t p) const { return p + std::strlen(&b[p]); }
    void SkipNewlines(std::size_t& p) const
    {
        while (b[p] == '\n')
            ++p;
    }
    // Moves p to the next newline (or the end of the text): a refused line.
    void SkipLine(std::size_t& p) const
    {
        while (p < b.size() - kPadding && b[p] != '\n')
            ++p;
        SkipNewlines(p);
    }
    // The field at p and the start of the next; false when that next field
    // is empty or missing (the chunk is finished).
    bool NextField(std::size_t& p) const
    {
        const std::size_t end = FieldEnd(p);
        if (b[end + 1] == '\0')
            return false;
        p = end + 1;
        return true;
    }
    // The prefix and the name, or the null atom when the joined name is
    // longer than a name may be.
    ZuAtomRef JoinName(std::size_t name) const
    {
        const std::size_t len = std::strlen(&b[name]);
        if (prefix.size() + len > kMaxJoinedName)
            return ZuAtomNull;
        return ZuAtomRef((prefix + std::string(&b[name], len)).c_str());
    }
    // "[x.y]" at p (p just after the '['). True with the point and p after
    // the item when it is complete; false with p where the line ends.
    bool Bracket(std::size_t& p, double& x, double& y) const
    {
        std::size_t q = p;
        while (b[q] != '.' && b[q] != '\0')
            ++q;
        if (b[q] == '\0') {
            p = q;
            return false;
        }
        std::size_t r = q + 1;
        while (b[r] != ']' && b[r] != '\0')
            ++r;
        if (b[r] == '\0') {
            p = r;
            return false;
        }
        x = ToInt(&b[p]);
        y = ToInt(&b[q + 1]);
        if (b[r + 1] == '\0') {
            p = r + 2;
            return true;
        }
        p = r + 1;
        return b[p] == '\n';
    }

    // Returns false when the chunk is finished.
    bool IconLine(std::size_t& p)
    {
        std::size_t name = p + 2;
        std::size_t dx_field = name;
        if (!NextField(dx_field))
            return false;
        std::size_t dy_field = dx_field;
        if (!NextField(dy_field))
            return false;
        std::size_t q = dy_field;
        if (!NextField(q))
            return false;
        p = q;
        const ZuAtomRef atom = JoinName(name);
        if (atom.IsInvalid()) {
            SkipLine(p);
            return true;
        }
        ZuIconRecordRef record(ZuNew<ZuIconRecord>(Zuvi_sys_zone, __LINE__, kFile));
        record->Initialise(atom, sheet);
        while (b[p] != '\0' && b[p] != '\n') {
            double x = 0, y = 0;
            if (b[p] == 'S' && b[p + 2] == '[') {
                const int state = static_cast<unsigned char>(b[p + 1]) - '0';
                p += 3;
                if (!Bracket(p, x, y))
                    break;
                const double dx = ToInt(&b[dx_field]);
                const double dy = ToInt(&b[dy_field]);
                record->DefineIcon(static_cast<ZuCtrlState>(state),
                                   ZuRect(x, y, x + dx - 1, y + dy - 1));
            } else if ((IsField(p, "ASX") || IsField(p, "ASY"))) {
                if (b[p + 2] == 'X')
                    record->SetXStretchable(true);
                else
                    record->SetYStretchable(true);
                p += 4;
            } else if (std::strncmp(&b[p], "ENT[", 4) == 0 || std::strncmp(&b[p], "EXT[", 4) == 0) {
                const bool entry = b[p + 1] == 'N';
                p += 4;
                if (!Bracket(p, x, y))
                    break;
                if (entry)
                    record->DefineEntryPoint(x, y);
                else
                    record->DefineExitPoint(x, y);
            } else if (std::strncmp(&b[p], "MOSAIC", 6) == 0) {
                record->DefineMosaicID(static_cast<unsigned>(ToInt(&b[p + 6])));
                SkipItem(p);
            } else {
                SkipItem(p);
            }
        }
        icon_pairs.emplace_back(atom, record);
        SkipNewlines(p);
        return true;
    }

    // Past the item's field end, or up to the newline that ends the line
    // when the item has no ':' (the next line is not touched).
    void SkipItem(std::size_t& p) const
    {
        while (b[p] != '\0' && b[p] != '\n')
            ++p;
        if (b[p] == '\0')
            ++p;
    }

    bool CursorLine(std::size_t& p)
    {
        std::size_t field[7];
        field[0] = p + 2;
        for (int i = 0; i < 5; ++i) {
            field[i + 1] = field[i];
            if (!NextField(field[i + 1]))
                return false;
        }
        const std::size_t hx_end = FieldEnd(field[5]);
        if (b[hx_end + 1] == '\0') {
            p = hx_end + 1;
            return true;
        }
        field[6] = hx_end + 1;
        std::size_t q = field[6];
        while (b[q] != '\n' && b[q] != '\0')
            ++q;
        if (b[q] == '\0')
            return false;
        p = q;
        SkipNewlines(p);
        const ZuAtomRef atom = JoinName(field[0]);
        if (atom.IsInvalid())
            return true;
        const double dx = ToInt(&b[field[1]]);
        const double dy = ToInt(&b[field[2]]);
        const double x = ToInt(&b[field[3]]);
        const double y = ToInt(&b[field[4]]);
        ZuCursorRecordRef record(ZuNew<ZuCursorRecord>(Zuvi_sys_zone, __LINE__, kFile));
        record->Initialise(atom, sheet, ZuRect(x, y, x + dx - 1, y + dy - 1), ToInt(&b[field[5]]),
                           ToInt(&b[field[6]]));
        cursor_pairs.emplace_back(atom, record);
        return true;
    }

    std::vector<char> b;
    ZuGrailPixmapRef sheet;
    std::string prefix;
    ZuDictRef icons;
    ZuDictRef cursors;
    std::vector<std::pair<ZuObjectRef, ZuObjectRef>> icon_pairs;
    std::vector<std::pair<ZuObjectRef, ZuObjectRef>> cursor_pairs;
};

} // namespace

void ZuLookMan::ParseIconRecords(const ZuStringRef& text, const ZuGrailPixmapRef& sheet,
                                 const ZuStringRef& prefix)
{
    std::string joined_prefix;
    if (prefix.IsValid()) {
        const unsigned n = prefix->CharacterCount();
        for (unsigned i = 0; i < n; ++i)
            joined_prefix += static_cast<char>(prefix[i] & 0xFF);
    }
    ChunkParser parser(text, sheet, joined_prefix, icons, cursors);
    parser.Run();
    parser.Flush();
}

bool ZuLookMan::LoadAndParsePNG(const ZuStringRef& file, const ZuStringRef& prefix)
{
    ZuDictRef texts(ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, kFile));
    texts->SetCompKeyUsingIsEqual(false);
    const ZuGrailPixmapRef sheet = Zuvi::LoadPNG(file, Zuvi_sys_zone, texts);
    if (sys_icons.IsInvalid())
        sys_icons = sheet;
    bool loaded = false;
    const ZuAtomRef key("IconRecord");
    if (sheet.IsValid() && texts->LookForKey(key)) {
        ZuObjectRef text;
        for (unsigned n = 0; texts->GetFromKey(key, text, n); ++n)
            ParseIconRecords(ZuStringRef(text), sheet, prefix);
        loaded = true;
    }
    texts->RemoveAll();
    return loaded;
}
