#include "si/pipeserver.h"

#include <string>

#include "sd/win32/sd_win32pipe.h"
#include "si/pipecommon.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/pipeserver";

} // namespace

ZU_IMPLEMENT_CLASS(ZuPipeServer, kFile, ZU_CLASS_NOT_STORED)

ZuPipeServer::ZuPipeServer() : pipe(nullptr), time_out(60.0)
{
    pipe = Zuvi_PipeNewRecord(kFile);
    server_name = Zuvi_PipeNewName(kFile);
    pipe_name = Zuvi_PipeNewName(kFile);
}

ZuPipeServer::~ZuPipeServer()
{
    if (pipe == nullptr)
        return;
    if (pipe->is_connected)
        Close();
    if (pipe->is_created)
        Kill();
    Zuvi_PipeFreeRecord(pipe, kFile);
    pipe = nullptr;
}

unsigned ZuPipeServer::Read(void* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    return Zuvi_PipeRead(*pipe, data, size);
}

unsigned ZuPipeServer::Write(const void* data, unsigned size)
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

bool ZuPipeServer::SetServerName(const ZuStringRef& name)
{
    Zuvi_PipeSetName(server_name, name);
    return true;
}

bool ZuPipeServer::SetPipeName(const ZuStringRef& name)
{
    Zuvi_PipeSetName(pipe_name, name);
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
    const std::string name = Zuvi_PipeFullName(server_name, pipe_name);
    const unsigned timeout_ms = Zuvi_PipeMilliseconds(time_out);
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

void ZuPipeServer::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to save Pipe Server", __LINE__, kFile);
}

void ZuPipeServer::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to restore Pipe Server", __LINE__, kFile);
}
