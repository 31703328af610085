// Debugger output and message boxes over standard error.
#include "w32/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

struct SinkState {
    std::recursive_mutex lock;
    W32_DebugSink sink = nullptr;
    void* context = nullptr;
};

// Never destroyed: aborts and late messages during static destruction still
// find a working sink.
SinkState& State()
{
    static SinkState* state = new SinkState;
    return *state;
}

int Deliver(W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type)
{
    SinkState& st = State();
    std::lock_guard<std::recursive_mutex> hold(st.lock);
    W32_DebugSink sink = st.sink != nullptr ? st.sink : W32_DefaultDebugSink;
    return sink(st.context, kind, caption, text != nullptr ? text : "", type);
}

} // namespace

int W32_FirstButton(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

int W32_DefaultDebugSink(void*, W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type)
{
    if (kind == W32_DEBUG_STRING) {
        // Meant for a debugger, which is usually absent: shown only when
        // asked for.
        if (!W32_DebugOutputShown())
            return 0;
        std::fputs(text, stderr);
        std::fflush(stderr);
        return 0;
    }
    size_t n = std::strlen(text);
    bool ends_line = n != 0 && text[n - 1] == '\n';
    std::fprintf(stderr, "[%s] %s%s", caption != nullptr ? caption : "", text,
                 ends_line ? "" : "\n");
    std::fflush(stderr);
    return W32_FirstButton(type);
}

bool W32_DebugOutputShown()
{
    const char* value = std::getenv("ZUVI_DEBUG_OUTPUT");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

void W32_SetDebugSink(W32_DebugSink sink, void* context, W32_DebugSink* previous,
                      void** previous_context)
{
    SinkState& st = State();
    std::lock_guard<std::recursive_mutex> hold(st.lock);
    if (previous != nullptr) {
        *previous = st.sink;
    }
    if (previous_context != nullptr) {
        *previous_context = st.context;
    }
    st.sink = sink;
    st.context = context;
}

void OutputDebugStringA(LPCSTR text)
{
    Deliver(W32_DEBUG_STRING, nullptr, text, 0);
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    // A box without a caption is titled "Error", as the system does.
    return Deliver(W32_MESSAGE_BOX, caption != nullptr ? caption : "Error", text, type);
}
