#include "si/pipeserver.h"

#include <string>
#include <vector>

#include "sd/win32/sd_win32pipe.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/pipeserver";

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

ZU_IMPLEMENT_CLASS(ZuPipeServer, kFile, ZU_CLASS_PLAIN)

ZuPipeServer::ZuPipeServer()
    : pipe(nullptr)
    , time_out(60.0)
{
    pipe = static_cast<Zuvi_PipeRecord*>(
        Zuvi_app_zone->Alloc(sizeof(Zuvi_PipeRecord), "Zuvi_PipeRecord", __LINE__, kFile));
    *pipe = Zuvi_PipeRecord{nullptr, false, false};
    server_name = NewEmptyString();
    pipe_name = NewEmptyString();
}

ZuPipeServer::~ZuPipeServer()
{
    if (pipe == nullptr)
        return;
    if (pipe->is_connected)
        Close();
    if (pipe->is_created)
        Kill();
    Zuvi_app_zone->Free(pipe, __LINE__, kFile);
    pipe = nullptr;
}

unsigned ZuPipeServer::Read(void* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    return Zuvi_PipeRead(*pipe, data, size);
}

unsigned ZuPipeServer::Write(void const* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    return Zuvi_PipeWrite(*pipe, data, size);
}

bool ZuPipeServer::Sync()
{
    if (pipe->is_connected)
        Zuvi_PipeFlush(*pipe);
    return true;
}

bool ZuPipeServer::IsOpen() const
{
    return pipe->handle != nullptr;
}

bool ZuPipeServer::SetServerName(ZuStringRef const& name)
{
    Replace(server_name, name);
    return true;
}

bool ZuPipeServer::SetPipeName(ZuStringRef const& name)
{
    Replace(pipe_name, name);
    return true;
}

bool ZuPipeServer::SetTimeOut(double seconds)
{
    time_out = seconds;
    return true;
}

bool ZuPipeServer::Create()
{
    if (pipe->is_connected)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_connected == FALSE", __LINE__, kFile);
    if (pipe->is_created)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_created == FALSE", __LINE__, kFile);
    std::string name = "\\\\.\\pipe\\";
    std::string server = Latin(server_name);
    if (!server.empty())
        name += server + ":";
    name += Latin(pipe_name);
    double ms = time_out * 1000.0;
    unsigned timeout_ms = ms <= 0 ? 0u : ms >= 4294967295.0 ? 4294967295u : unsigned(ms);
    // A refusal (another server holds the name) is an ordinary condition.
    if (!Zuvi_PipeCreate(*pipe, name.c_str(), timeout_ms))
        return false;
    pipe->is_created = true;
    return true;
}

bool ZuPipeServer::Kill()
{
    if (pipe->is_connected)
        Close();
    if (pipe->is_created) {
        Zuvi_PipeClose(*pipe);
        pipe->is_created = false;
    }
    return true;
}

// A client that connected before the call is taken at once.
bool ZuPipeServer::Open()
{
    if (!pipe->is_created)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_created", __LINE__, kFile);
    if (pipe->is_connected)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_connected == FALSE", __LINE__, kFile);
    while (!Zuvi_PipeConnect(*pipe))
        Zuvi_PipeSleep(50);
    pipe->is_connected = true;
    return true;
}

bool ZuPipeServer::Close()
{
    if (pipe->is_connected) {
        Zuvi_PipeFlush(*pipe);
        Zuvi_PipeDisconnect(*pipe);
        pipe->is_connected = false;
    }
    return true;
}

int ZuPipeServer::RetDescriptor() const
{
    return Zuvi_PipeDescriptor(*pipe);
}

void ZuPipeServer::StoreInstance(ZuStorageRef const&)
{
    Zuvi_ErrorAbort("Trying to save Pipe Server", __LINE__, kFile);
}

void ZuPipeServer::RestoreInstance(ZuStorageRef const&)
{
    Zuvi_ErrorAbort("Trying to restore Pipe Server", __LINE__, kFile);
}
