// ZuPipeServer: the server end of a named pipe, a byte stream of whole
// messages. Create makes the pipe "\\.\pipe\" + server name + ":" + pipe
// name (without the server part and ":" when the server name is empty);
// Open waits for a client, Close lets it go and keeps the pipe for the next
// Open, Kill removes the pipe. Failures are counts of 0 or false answers;
// ZuExcPipe is never thrown.
#ifndef SI_PIPESERVER_H
#define SI_PIPESERVER_H

#include "si/stream.h"

struct Zuvi_PipeRecord;

ZU_HANDLE(ZuPipeServer, ZuStream)

class ZuPipeServer : public ZuStream {
    ZU_CLASS(ZuPipeServer, ZuStream)

public:
    ZuPipeServer();
    ~ZuPipeServer() override;

    // ZuStream: one message read or written while a client is connected
    // (else 0). A read shorter than the message takes its first bytes; the
    // rest comes with the next read. Skip keeps the stream's refusal.
    unsigned Read(void* data, unsigned size) override;
    unsigned Write(const void* data, unsigned size) override;
    bool Sync() override;

    virtual bool IsOpen() const;
    virtual bool SetServerName(const ZuStringRef& name);
    virtual bool SetPipeName(const ZuStringRef& name);
    virtual bool SetTimeOut(double seconds);
    // Requires a pipe neither created nor connected; false when the system
    // refuses the pipe (another server holds the name).
    virtual bool Create();
    virtual bool Kill();
    // Requires a created, unconnected pipe; waits for a client (one that
    // connected before the call is taken at once).
    virtual bool Open();
    virtual bool Close();

    // The descriptor an event wait can poll, or -1.
    int RetDescriptor() const;

protected:
    // A pipe is never stored: both stop the program.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    Zuvi_PipeRecord* pipe;
    ZuStringRef server_name;
    ZuStringRef pipe_name;
    double time_out;
};
ZU_CLASS_END(ZuPipeServer)

#endif
