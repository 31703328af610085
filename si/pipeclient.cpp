#include "si/pipeclient.h"

#include <string>
#include <vector>

#include "sd/win32/sd_win32pipe.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/pipeclient";

std::string Latin(ZuStringRef const& s)
{
    if (s.IsInvalid())
        return std::string();
    std::vector<char> text(s->CharacterCount() + 1);
    s->GetStringCopy(text.data(), unsigned(text.size()));
    return text.data();
}

ZuStringRef NewEmptyString()
{
    ZuStringRef s(ZuNew<ZuString>(Zuvi_app_zone, __LINE__, kFile));
    return s;
}

void Replace(ZuStringRef& target, ZuStringRef const& text)
{
    if (text.IsValid())
        target->SetString(Latin(text).c_str());
    else
        target->ClearString();
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuPipeClient, kFile, ZU_CLASS_PLAIN)

ZuPipeClient::ZuPipeClient()
    : pipe(nullptr)
    , time_out(60.0)
{
    pipe = static_cast<Zuvi_PipeRecord*>(
        Zuvi_app_zone->Alloc(sizeof(Zuvi_PipeRecord), "Zuvi_PipeRecord", __LINE__, kFile));
    *pipe = Zuvi_PipeRecord{nullptr, false, false};
    host_name = NewEmptyString();
    server_name = NewEmptyString();
    pipe_name = NewEmptyString();
}

ZuPipeClient::~ZuPipeClient()
{
    if (pipe == nullptr)
        return;
    if (pipe->is_connected)
        Close();
    Zuvi_app_zone->Free(pipe, __LINE__, kFile);
    pipe = nullptr;
}

unsigned ZuPipeClient::Read(void* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    double const total = time_out * 1000.0;
    unsigned left = total <= 0 ? 0u : total >= 4294967295.0 ? 4294967295u : unsigned(total);
    unsigned waiting = 0;
    for (;;) {
        if (!Zuvi_PipeBytesWaiting(*pipe, waiting))
            return 0;
        if (waiting != 0)
            break;
        if (left == 0)
            return 0;
        unsigned nap = left < 100 ? left : 100;
        Zuvi_PipeSleep(nap);
        left -= nap;
    }
    return Zuvi_PipeRead(*pipe, data, size);
}

unsigned ZuPipeClient::Write(void const* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    return Zuvi_PipeWrite(*pipe, data, size);
}

bool ZuPipeClient::Sync()
{
    return true;
}

bool ZuPipeClient::IsOpen() const
{
    return pipe->handle != nullptr;
}

bool ZuPipeClient::SetHostName(ZuStringRef const& name)
{
    Replace(host_name, name);
    return true;
}

bool ZuPipeClient::SetServerName(ZuStringRef const& name)
{
    Replace(server_name, name);
    return true;
}

bool ZuPipeClient::SetPipeName(ZuStringRef const& name)
{
    Replace(pipe_name, name);
    return true;
}

bool ZuPipeClient::SetTimeOut(double seconds)
{
    time_out = seconds;
    return true;
}

bool ZuPipeClient::Request(void const*, unsigned, void*, unsigned&)
{
    return false;
}

// The name follows the server's rule, so that a client finds a server
// whose name is empty. A missing server is an ordinary condition: false.
bool ZuPipeClient::Open()
{
    if (pipe->is_connected)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_connected == FALSE", __LINE__, kFile);
    std::string name = "\\\\.\\pipe\\";
    std::string server = Latin(server_name);
    if (!server.empty())
        name += server + ":";
    name += Latin(pipe_name);
    if (!Zuvi_PipeOpen(*pipe, name.c_str()))
        return false;
    pipe->is_connected = true;
    return true;
}

bool ZuPipeClient::Close()
{
    if (pipe->is_connected) {
        Zuvi_PipeClose(*pipe);
        pipe->is_connected = false;
    }
    return true;
}

int ZuPipeClient::RetDescriptor() const
{
    return Zuvi_PipeDescriptor(*pipe);
}

void ZuPipeClient::StoreInstance(ZuStorageRef const&)
{
    Zuvi_ErrorAbort("Trying to save Pipe Client", __LINE__, kFile);
}

void ZuPipeClient::RestoreInstance(ZuStorageRef const&)
{
    Zuvi_ErrorAbort("Trying to restore Pipe Client", __LINE__, kFile);
}
