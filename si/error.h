#ifndef SI_ERROR_H
#define SI_ERROR_H

// Fatal errors, assertions and debug output.
//
//   ZU_ASSERT(expr)  stops the program with "Failed assertion: expr" and the
//                    source file and line when expr is false (always on).
//   ZU_ABORT(text)   stops the program with text.
//   ZU_NIY()         stops the program with "NIY" (an operation the library
//                    does not provide).
//   ZU_SRC_FILE      the short name of the current source file, as the
//                    library prints it: "si/memzone" for .../si/memzone.cpp.

#include <cstddef>

// Shows "<file>:<line>:error: <message>" and ends the process. Never returns.
[[noreturn]] void Zuvi_ErrorAbort(const char* message, int line, const char* file);

// Shows "<file>:<line>:error: <message>\n" in a message box titled "Error"
// and returns when the box is closed.
void Zuvi_ErrorPrint(const char* message, int line, const char* file);

// Sends "<file>:<line>: <message>\n" to the debugger output.
void Zuvi_DebugString(const char* message, int line, const char* file);

// Formats as printf does into at most 999 characters and sends the text to
// the debugger output; a longer result or a format error stops the program.
void Zuvi_Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The memory inspector: tells which block of which zone holds `address`, in
// a message box titled "Debugger: About Memory" ("unknown address" when no
// zone holds it). The text shown is also returned.
const char* Zuvi_DebugAboutMemory(const void* address);

// ---- Short source names ------------------------------------------------------

template <size_t N>
struct Zuvi_SourceName {
    char text[N];
};

// The prefix that every source path of the project starts with, measured
// from this header's own path (".../si/error.h").
constexpr size_t Zuvi_SourceRootLength()
{
    constexpr const char self[] = __FILE__;
    constexpr const char tail[] = "si/error.h";
    size_t n = sizeof(self) - 1;
    size_t t = sizeof(tail) - 1;
    return n >= t ? n - t : 0;
}

// "/root/si/memzone.cpp" gives "si/memzone"; a path outside the project
// gives its base name without the extension.
template <size_t N>
constexpr Zuvi_SourceName<N> Zuvi_MakeSourceName(const char (&path)[N])
{
    constexpr const char self[] = __FILE__;
    size_t root = Zuvi_SourceRootLength();
    size_t len = N - 1;
    bool in_project = len > root;
    for (size_t i = 0; in_project && i < root; ++i) {
        if (path[i] != self[i]) {
            in_project = false;
        }
    }
    size_t start = 0;
    if (in_project) {
        start = root;
    } else {
        for (size_t i = 0; i < len; ++i) {
            if (path[i] == '/') {
                start = i + 1;
            }
        }
    }
    size_t end = len;
    for (size_t i = start; i < len; ++i) {
        if (path[i] == '.') {
            end = i;
        } else if (path[i] == '/') {
            end = len;
        }
    }
    Zuvi_SourceName<N> name{};
    for (size_t i = start; i < end; ++i) {
        name.text[i - start] = path[i];
    }
    return name;
}

#define ZU_SRC_FILE                                                           \
    ([]() -> const char* {                                                    \
        static constexpr auto zu_source_name = Zuvi_MakeSourceName(__FILE__); \
        return zu_source_name.text;                                           \
    }())

// The one assertion of the library: when cond is false the program stops
// with "Failed assertion: " and the text, at the place given. ZU_ASSERT
// shows the condition as written; ZU_ASSERT_TEXT shows a text given apart,
// for a text that users and logs see and that must stay byte for byte what
// it is whatever the layout of the condition in the source; ZU_ASSERT_AT
// names the line and file too (a fixed place; see the constants where it
// is used).
#define ZU_ASSERT_AT(cond, text, line, file)                            \
    do {                                                                \
        if (!(cond)) {                                                  \
            Zuvi_ErrorAbort("Failed assertion: " text, (line), (file)); \
        }                                                               \
    } while (0)

#define ZU_ASSERT_TEXT(cond, text) ZU_ASSERT_AT(cond, text, __LINE__, ZU_SRC_FILE)

#define ZU_ASSERT(expr) ZU_ASSERT_AT(expr, #expr, __LINE__, ZU_SRC_FILE)

#define ZU_ABORT(text) Zuvi_ErrorAbort((text), __LINE__, ZU_SRC_FILE)

#define ZU_NIY() Zuvi_ErrorAbort("NIY", __LINE__, ZU_SRC_FILE)

#endif
