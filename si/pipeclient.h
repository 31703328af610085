// ZuPipeClient: the client end of a named pipe, a byte stream of whole
// messages. Open connects to the server's pipe, named by the server's rule
// ("\\.\pipe\" + server name + ":" + pipe name, or "\\.\pipe\" + pipe name
// when the server name is empty); the host name is kept but pipes are always
// local. Read waits for a message up to the time-out. Failures are counts of
// 0 or false answers; ZuExcPipe is never thrown.
#ifndef SI_PIPECLIENT_H
#define SI_PIPECLIENT_H

#include "si/stream.h"

struct Zuvi_PipeRecord;

ZU_HANDLE(ZuPipeClient, ZuStream)

class ZuPipeClient : public ZuStream {
    ZU_CLASS(ZuPipeClient, ZuStream)

public:
    ZuPipeClient();
    ~ZuPipeClient() override;

    // ZuStream. Read: 0 when nothing arrives within the time-out (at once
    // with a time-out of 0) or the server went away; otherwise one message,
    // or its first `size` bytes (the rest comes with the next read).
    unsigned Read(void* data, unsigned size) override;
    unsigned Write(const void* data, unsigned size) override;
    bool Sync() override;

    virtual bool IsOpen() const;
    virtual bool SetHostName(const ZuStringRef& name);
    virtual bool SetServerName(const ZuStringRef& name);
    virtual bool SetPipeName(const ZuStringRef& name);
    virtual bool SetTimeOut(double seconds);
    // No request/reply exchange is offered: always false.
    virtual bool Request(const void* request, unsigned size, void* reply, unsigned& reply_size);
    // Requires an unconnected pipe; false when no server listens under the
    // name.
    virtual bool Open();
    virtual bool Close();

    // The descriptor an event wait can poll, or -1.
    int RetDescriptor() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    Zuvi_PipeRecord* pipe;
    ZuStringRef host_name;
    ZuStringRef server_name;
    ZuStringRef pipe_name;
    double time_out;
};
ZU_CLASS_END(ZuPipeClient)

#endif
