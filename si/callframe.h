#ifndef SI_CALLFRAME_H
#define SI_CALLFRAME_H

// Call frames: on the main thread, a chain of the library functions that
// are running, innermost first. An instrumented function starts with
//   ZU_FRAME_METHOD("ZuThing::Do");      // or ZU_FRAME_FUNCTION("Zuvi_Do")
// which builds the function's static description once and links a frame
// for the duration of the call. Exceptions and handles copy or embed frames
// without linking them.

class Zuvi_CallFrame {
public:
    enum Type {
        TYPE_NONE = 0,
        TYPE_METHOD = 1,
        TYPE_MEMBER = 2,
        TYPE_OPERATOR = 3,
        TYPE_FUNCTION = 4
    };

    // "method", "member", "operator", "function"; "?" for anything else.
    static const char* RetTypeName(Type type);

    // The description shared by every call of one instrumented function.
    class StaticInfo {
    public:
        StaticInfo();
        StaticInfo(Type type, const char* func_name, const char* file_name, unsigned file_line);
        ~StaticInfo() {}
        StaticInfo(const StaticInfo& other) = default;
        StaticInfo& operator=(const StaticInfo& other);

        Type type;
        const char* func_name;
        const char* file_name;
        unsigned file_line;
        unsigned use_count; // frames made with it on the main thread
    };

    // Links the frame at the head of the chain on the main thread; on any
    // other thread it stays out of the chain.
    Zuvi_CallFrame(StaticInfo* info, const void* this_ptr);
    // An unlinked frame with the `empty` description.
    Zuvi_CallFrame();
    // Copies the five fields; a copy never unlinks anything.
    Zuvi_CallFrame(const Zuvi_CallFrame& other);
    // Unlinks the frame when it is the one linked (its self link is itself).
    ~Zuvi_CallFrame();
    Zuvi_CallFrame& operator=(const Zuvi_CallFrame& other);

    const StaticInfo* RetStaticInfo() const { return static_info; }
    Type RetType() const { return static_info->type; }
    const char* RetFuncName() const { return static_info->func_name; }
    const char* RetFileName() const { return static_info->file_name; }
    unsigned RetFileLine() const { return static_info->file_line; }
    unsigned RetNthCallNumber() const { return static_info->use_count; }
    const Zuvi_CallFrame* RetNextFrame() const { return next_frame; }
    const void* RetThis() const { return this_ptr; }
    unsigned RetCallID() const { return call_number; }

    // The innermost frame of the main thread, and its caller.
    static const Zuvi_CallFrame* RetCallFrame();
    static const Zuvi_CallFrame* RetCallerFrame();

    static Zuvi_CallFrame* head; // innermost frame, null outside any
    static unsigned total;       // call counter
    static StaticInfo empty;     // description of unlinked frames

protected:
    const Zuvi_CallFrame* self_link;
    const Zuvi_CallFrame* next_frame;
    StaticInfo* static_info;
    const void* this_ptr;
    unsigned call_number;
};

#define ZU_CALL_FRAME(type, name, this_ptr)                                                 \
    static Zuvi_CallFrame::StaticInfo zu_frame_info((type), (name), ZU_SRC_FILE, __LINE__); \
    Zuvi_CallFrame zu_frame(&zu_frame_info, (this_ptr))

#define ZU_FRAME_METHOD(name) ZU_CALL_FRAME(Zuvi_CallFrame::TYPE_METHOD, name, this)
#define ZU_FRAME_MEMBER(name) ZU_CALL_FRAME(Zuvi_CallFrame::TYPE_MEMBER, name, this)
#define ZU_FRAME_OPERATOR(name) ZU_CALL_FRAME(Zuvi_CallFrame::TYPE_OPERATOR, name, this)
#define ZU_FRAME_FUNCTION(name) ZU_CALL_FRAME(Zuvi_CallFrame::TYPE_FUNCTION, name, nullptr)

#include "si/error.h"

#endif
