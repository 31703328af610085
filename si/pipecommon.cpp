#include "si/pipecommon.h"

#include <vector>

#include "sd/win32/sd_win32pipe.h"
#include "si/classfactory.h"
#include "si/memzone.h"

namespace {

std::string Latin(const ZuStringRef& s)
{
    if (s.IsInvalid())
        return std::string();
    std::vector<char> text(s->CharacterCount() + 1);
    s->GetStringCopy(text.data(), unsigned(text.size()));
    return text.data();
}

} // namespace

Zuvi_PipeRecord* Zuvi_PipeNewRecord(const char* file)
{
    auto* pipe = static_cast<Zuvi_PipeRecord*>(
        Zuvi_app_zone->Alloc(sizeof(Zuvi_PipeRecord), "Zuvi_PipeRecord", __LINE__, file));
    *pipe = Zuvi_PipeRecord{nullptr, false, false};
    return pipe;
}

void Zuvi_PipeFreeRecord(Zuvi_PipeRecord* pipe, const char* file)
{
    Zuvi_app_zone->Free(pipe, __LINE__, file);
}

ZuStringRef Zuvi_PipeNewName(const char* file)
{
    return ZuStringRef(ZuNew<ZuString>(Zuvi_app_zone, __LINE__, file));
}

void Zuvi_PipeSetName(ZuStringRef& name, const ZuStringRef& text)
{
    if (text.IsValid())
        name->SetString(Latin(text).c_str());
    else
        name->ClearString();
}

std::string Zuvi_PipeFullName(const ZuStringRef& server_name, const ZuStringRef& pipe_name)
{
    std::string name = "\\\\.\\pipe\\";
    const std::string server = Latin(server_name);
    if (!server.empty())
        name += server + ":";
    return name + Latin(pipe_name);
}

unsigned Zuvi_PipeMilliseconds(double seconds)
{
    const double ms = seconds * 1000.0;
    return !(ms > 0) ? 0u : ms >= 4294967295.0 ? 4294967295u : unsigned(ms);
}
