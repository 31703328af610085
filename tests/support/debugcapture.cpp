#include "tests/support/debugcapture.h"

DebugCapture::DebugCapture(bool echo_all) : echo(echo_all)
{
    W32_SetDebugSink(&DebugCapture::Sink, this, &previous, &previous_context);
}

DebugCapture::~DebugCapture()
{
    W32_SetDebugSink(previous, previous_context);
}

int DebugCapture::Sink(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type)
{
    DebugCapture* self = static_cast<DebugCapture*>(context);
    self->entries.push_back(
        Entry{kind, caption != nullptr ? caption : "", text != nullptr ? text : "", type});
    if (self->echo) {
        W32_DefaultDebugSink(nullptr, kind, caption, text, type);
    }
    if (kind == W32_MESSAGE_BOX) {
        return self->answer != 0 ? self->answer : W32_FirstButton(type);
    }
    return 0;
}

std::string DebugCapture::DebugText() const
{
    std::string all;
    for (const Entry& e : entries) {
        if (e.kind == W32_DEBUG_STRING) {
            all += e.text;
        }
    }
    return all;
}

std::vector<DebugCapture::Entry> DebugCapture::Boxes() const
{
    std::vector<Entry> boxes;
    for (const Entry& e : entries) {
        if (e.kind == W32_MESSAGE_BOX) {
            boxes.push_back(e);
        }
    }
    return boxes;
}

DebugCapture::Entry DebugCapture::LastBox() const
{
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->kind == W32_MESSAGE_BOX) {
            return *it;
        }
    }
    return Entry{W32_MESSAGE_BOX, "", "", 0};
}
