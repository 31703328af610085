// The platform's named pipes as the pipe classes (si/pipeserver,
// si/pipeclient) use them: a record with the pipe's handle and its state,
// and one function per system call they make. Pipe names are full names
// ("\\.\pipe\" and the logical name) in 8-bit text.
#ifndef SD_WIN32_SD_WIN32PIPE_H
#define SD_WIN32_SD_WIN32PIPE_H

struct Zuvi_PipeRecord {
    void* handle;    // null while there is no pipe
    bool is_created; // a server's pipe exists
    bool is_connected;
};

// A server's pipe: duplex, messages, blocking; false when the system
// refuses it (another server holds the name, or no pipe directory).
bool Zuvi_PipeCreate(Zuvi_PipeRecord& pipe, const char* name, unsigned default_timeout_ms);
// One connect call: true when a client is (or already was) connected.
bool Zuvi_PipeConnect(Zuvi_PipeRecord& pipe);
bool Zuvi_PipeDisconnect(Zuvi_PipeRecord& pipe);
// A client's connection to the server of that name, in message read mode;
// false when no server listens under it.
bool Zuvi_PipeOpen(Zuvi_PipeRecord& pipe, const char* name);
// One system read or write; the count transferred, 0 on failure.
unsigned Zuvi_PipeRead(Zuvi_PipeRecord& pipe, void* data, unsigned size);
unsigned Zuvi_PipeWrite(Zuvi_PipeRecord& pipe, const void* data, unsigned size);
// The bytes waiting, without waiting; false when the connection is gone.
bool Zuvi_PipeBytesWaiting(Zuvi_PipeRecord& pipe, unsigned& count);
bool Zuvi_PipeFlush(Zuvi_PipeRecord& pipe);
// Closes the handle; the record then holds none.
void Zuvi_PipeClose(Zuvi_PipeRecord& pipe);
// The descriptor an event wait can poll, or -1.
int Zuvi_PipeDescriptor(const Zuvi_PipeRecord& pipe);
void Zuvi_PipeSleep(unsigned milliseconds);

#endif
