#ifndef W32_PIPE_H
#define W32_PIPE_H

// Named pipes of the platform layer over Unix sockets of the kind
// SOCK_SEQPACKET, which keep message boundaries. Pipe names are
// "\\.\pipe\" followed by a logical name; each maps to a socket file in a
// per-user directory of mode 0700 ($XDG_RUNTIME_DIR/zuvi-pipes, else
// /tmp/zuvi-pipes-<uid>; refused when another user owns it or others may
// enter it). Letter case does not count in names; a name too long for a
// socket address is hashed.
//
// A server handle listens; ConnectNamedPipe takes the next client (one that
// connected before the call included) and DisconnectNamedPipe lets it go, so
// the handle takes the next one. A client handle comes from CreateFileA with
// a pipe name. ReadFile, WriteFile and FlushFileBuffers work on both. Reads
// are in message mode: a read shorter than the waiting message takes its
// first bytes and the rest stays for the next read.
//
// Every pipe handle designates a descriptor that poll() can wait on (see
// W32_PipeDescriptor).

#include "w32/handle.h"
#include "w32/windef.h"

#define PIPE_ACCESS_DUPLEX 0x00000003u
#define PIPE_TYPE_MESSAGE 0x00000004u
#define PIPE_READMODE_MESSAGE 0x00000002u
#define PIPE_WAIT 0x00000000u
#define PIPE_UNLIMITED_INSTANCES 255u

// The prefix of pipe names.
#define W32_PIPE_PREFIX "\\\\.\\pipe\\"

// A listening pipe under the name. Only one server may listen under a name:
// INVALID_HANDLE_VALUE when another live server holds it, when the name is
// not a pipe name, or when the pipes' directory cannot be used. A socket
// file that no server holds any more is replaced.
HANDLE CreateNamedPipeA(LPCSTR name, DWORD open_mode, DWORD pipe_mode, DWORD max_instances,
                        DWORD out_buffer_size, DWORD in_buffer_size, DWORD default_timeout,
                        void* security);
// Waits for a client and connects it; TRUE at once while one is connected.
// With an overlapped record it does not wait and answers FALSE: the last
// error is ERROR_PIPE_CONNECTED, with the record's event set, when a client
// was waiting, else ERROR_IO_PENDING, and the event is set once one
// connects.
BOOL ConnectNamedPipe(HANDLE pipe, void* overlapped);
BOOL DisconnectNamedPipe(HANDLE pipe);
// Accepts message read mode (the only mode there is); mode may be null.
BOOL SetNamedPipeHandleState(HANDLE pipe, DWORD* mode, DWORD* max_collection,
                             DWORD* collect_timeout);
// Without waiting: the bytes waiting in the next message (total_available
// and left_in_message); copies up to `size` of them into buffer when given.
// FALSE when the other end went away or the handle is not connected.
BOOL PeekNamedPipe(HANDLE pipe, LPVOID buffer, DWORD size, DWORD* read, DWORD* total_available,
                   DWORD* left_in_message);
// TRUE when the name's socket file is there (checked every 10 ms up to
// `timeout` milliseconds): a server listens, or one that ended without
// closing its handle left the file, and connecting then fails.
BOOL WaitNamedPipeA(LPCSTR name, DWORD timeout);

// ---- Used by the file functions and the event wait -------------------------

// The descriptor to poll: the connection when there is one, else the
// listening socket of a server; -1 for anything that is not a pipe.
int W32_PipeDescriptor(HANDLE pipe);
// The socket file a pipe name maps to; false when the name is not a pipe
// name, the directory cannot be used or the path does not fit `size`.
bool W32_PipeSocketPath(LPCSTR name, char* path, unsigned size);

HANDLE W32_PipeOpenClient(LPCSTR name);
BOOL W32_PipeRead(HANDLE pipe, LPVOID data, DWORD size, DWORD* done);
BOOL W32_PipeWrite(HANDLE pipe, LPCVOID data, DWORD size, DWORD* done);

#endif
