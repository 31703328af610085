#include "si/pipeclient.h"

#include <string>

#include "sd/win32/sd_win32pipe.h"
#include "si/pipecommon.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/pipeclient";

} // namespace

ZU_IMPLEMENT_CLASS(ZuPipeClient, kFile, ZU_CLASS_NOT_STORED)

ZuPipeClient::ZuPipeClient() : pipe(nullptr), time_out(60.0)
{
    pipe = Zuvi_PipeNewRecord(kFile);
    host_name = Zuvi_PipeNewName(kFile);
    server_name = Zuvi_PipeNewName(kFile);
    pipe_name = Zuvi_PipeNewName(kFile);
}

ZuPipeClient::~ZuPipeClient()
{
    if (pipe == nullptr)
        return;
    if (pipe->is_connected)
        Close();
    Zuvi_PipeFreeRecord(pipe, kFile);
    pipe = nullptr;
}

unsigned ZuPipeClient::Read(void* data, unsigned size)
{
    if (!pipe->is_connected)
        return 0;
    unsigned left = Zuvi_PipeMilliseconds(time_out);
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

unsigned ZuPipeClient::Write(const void* data, unsigned size)
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

bool ZuPipeClient::SetHostName(const ZuStringRef& name)
{
    Zuvi_PipeSetName(host_name, name);
    return true;
}

bool ZuPipeClient::SetServerName(const ZuStringRef& name)
{
    Zuvi_PipeSetName(server_name, name);
    return true;
}

bool ZuPipeClient::SetPipeName(const ZuStringRef& name)
{
    Zuvi_PipeSetName(pipe_name, name);
    return true;
}

bool ZuPipeClient::SetTimeOut(double seconds)
{
    time_out = seconds;
    return true;
}

bool ZuPipeClient::Request(const void*, unsigned, void*, unsigned&)
{
    return false;
}

// The name follows the server's rule, so that a client finds a server
// whose name is empty. A missing server is an ordinary condition: false.
bool ZuPipeClient::Open()
{
    if (pipe->is_connected)
        Zuvi_ErrorAbort("Failed assertion: this->pipe->is_connected == FALSE", __LINE__, kFile);
    const std::string name = Zuvi_PipeFullName(server_name, pipe_name);
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

void ZuPipeClient::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to save Pipe Client", __LINE__, kFile);
}

void ZuPipeClient::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to restore Pipe Client", __LINE__, kFile);
}
