#include "si/callframe.h"

#include "si/thread.h"

Zuvi_CallFrame* Zuvi_CallFrame::head = nullptr;
unsigned Zuvi_CallFrame::total = 0;
Zuvi_CallFrame::StaticInfo Zuvi_CallFrame::empty;

const char* Zuvi_CallFrame::RetTypeName(Type type)
{
    switch (type) {
    case TYPE_METHOD:
        return "method";
    case TYPE_MEMBER:
        return "member";
    case TYPE_OPERATOR:
        return "operator";
    case TYPE_FUNCTION:
        return "function";
    default:
        return "?";
    }
}

Zuvi_CallFrame::StaticInfo::StaticInfo()
    : type(TYPE_NONE), func_name("?"), file_name("?"), file_line(0), use_count(0)
{}

Zuvi_CallFrame::StaticInfo::StaticInfo(Type t, const char* func, const char* file, unsigned line)
    : type(t), func_name(func), file_name(file), file_line(line), use_count(0)
{}

Zuvi_CallFrame::StaticInfo& Zuvi_CallFrame::StaticInfo::operator=(const StaticInfo& other)
{
    type = other.type;
    func_name = other.func_name;
    file_name = other.file_name;
    file_line = other.file_line;
    use_count = other.use_count;
    return *this;
}

Zuvi_CallFrame::Zuvi_CallFrame(StaticInfo* info, const void* object)
    : self_link(nullptr), next_frame(nullptr), static_info(info != nullptr ? info : &empty),
      this_ptr(object), call_number(0)
{
    if (ZuThread::IsMainThread()) {
        self_link = this;
        next_frame = head;
        head = this;
        call_number = total++;
        static_info->use_count++;
    }
}

Zuvi_CallFrame::Zuvi_CallFrame()
    : self_link(nullptr), next_frame(nullptr), static_info(&empty), this_ptr(nullptr),
      call_number(0)
{}

Zuvi_CallFrame::Zuvi_CallFrame(const Zuvi_CallFrame& other)
    : self_link(other.self_link), next_frame(other.next_frame), static_info(other.static_info),
      this_ptr(other.this_ptr), call_number(other.call_number)
{}

Zuvi_CallFrame::~Zuvi_CallFrame()
{
    if (self_link == this) {
        head = const_cast<Zuvi_CallFrame*>(next_frame);
    }
}

Zuvi_CallFrame& Zuvi_CallFrame::operator=(const Zuvi_CallFrame& other)
{
    self_link = other.self_link;
    next_frame = other.next_frame;
    static_info = other.static_info;
    this_ptr = other.this_ptr;
    call_number = other.call_number;
    return *this;
}

const Zuvi_CallFrame* Zuvi_CallFrame::RetCallFrame()
{
    return head;
}

const Zuvi_CallFrame* Zuvi_CallFrame::RetCallerFrame()
{
    return head != nullptr ? head->next_frame : nullptr;
}
