#ifndef TESTS_SUPPORT_DEBUGCAPTURE_H
#define TESTS_SUPPORT_DEBUGCAPTURE_H

// Captures what the library sends to the debugger output and to message
// boxes, for as long as the object lives:
//
//   DebugCapture capture;
//   Zuvi_ErrorPrint("x", 12, "si/new");
//   EXPECT_EQ(capture.LastBox().text, "si/new:12:error: x\n");
//
// Boxes are answered with `answer` (0: the box's first button).

#include <string>
#include <vector>

#include "w32/debug.h"

class DebugCapture {
public:
    struct Entry {
        W32_DebugKind kind;
        std::string caption;
        std::string text;
        unsigned type;
    };

    // With `echo`, everything still goes to standard error as well.
    explicit DebugCapture(bool echo = false);
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // Everything sent to the debugger output, in one text.
    std::string DebugText() const;
    // Message boxes shown, in order.
    std::vector<Entry> Boxes() const;
    // The last box (an empty entry when none was shown).
    Entry LastBox() const;
    const std::vector<Entry>& Entries() const { return entries; }
    void Clear() { entries.clear(); }

    int answer = 0;

private:
    static int Sink(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type);

    bool echo;
    std::vector<Entry> entries;
    W32_DebugSink previous = nullptr;
    void* previous_context = nullptr;
};

#endif
