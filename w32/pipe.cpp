// Named pipes over Unix sequenced-packet sockets.
#include "w32/pipe.h"

#include "w32/kernel.h"
#include "w32/waitable.h"
#include "w32/winuser.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class PipeObject : public W32_KernelObject {
public:
    bool server = false;
    int listen_fd = -1;
    int conn_fd = -1;
    int lock_fd = -1;
    std::string socket_path;
    std::string lock_path;
    // The part of the current message that a short read left.
    std::vector<char> pending;
    size_t pending_pos = 0;

    size_t PendingBytes() const { return pending.size() - pending_pos; }

    void Disconnect()
    {
        if (conn_fd >= 0)
            ::close(conn_fd);
        conn_fd = -1;
        pending.clear();
        pending_pos = 0;
    }

    bool Release() override
    {
        Disconnect();
        if (listen_fd >= 0) {
            ::close(listen_fd);
            listen_fd = -1;
            ::unlink(socket_path.c_str());
        }
        if (lock_fd >= 0) {
            ::unlink(lock_path.c_str());
            ::close(lock_fd);
            lock_fd = -1;
        }
        return true;
    }
    int Kind() const override { return W32_KIND_PIPE; }
};

PipeObject* AsPipe(HANDLE h)
{
    return static_cast<PipeObject*>(W32_KernelObject::FromHandle(h, W32_KIND_PIPE));
}

// The per-user directory, made when missing; false when it is not a
// directory of this user closed to everyone else.
bool PipeDirectory(std::string& dir)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0')
        dir = std::string(runtime) + "/zuvi-pipes";
    else
        dir = "/tmp/zuvi-pipes-" + std::to_string(unsigned(::getuid()));
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(dir.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

bool IsPrefix(const char* name)
{
    static const char prefix[] = W32_PIPE_PREFIX;
    for (size_t i = 0; i + 1 < sizeof prefix; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

std::string FileNameOf(const std::string& logical, size_t room)
{
    std::string lower;
    for (char c : logical)
        lower.push_back(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    std::string out;
    for (unsigned char c : lower) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                     c == '_' || c == ':';
        if (plain && !(out.empty() && c == '.')) {
            out.push_back(char(c));
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    if (out.size() <= room && out.size() <= 200)
        return "p-" + out;
    // Too long for a socket address: a hash of the whole name.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : lower) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char text[24];
    std::snprintf(text, sizeof text, "h-%016llx", static_cast<unsigned long long>(h));
    return text;
}

bool SocketAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void SleepMs(unsigned ms)
{
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

// Takes the next whole message into the pending buffer; false when the
// other end went away or the connection failed. With `wait` false, true
// with nothing pending when no message is there yet.
bool FetchMessage(PipeObject* p, bool wait)
{
    if (p->PendingBytes() != 0)
        return true;
    p->pending.clear();
    p->pending_pos = 0;
    for (;;) {
        ssize_t n =
            ::recv(p->conn_fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | (wait ? 0 : MSG_DONTWAIT));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return !wait && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
        if (n == 0) {
            // An empty message, or the end of the connection.
            pollfd pfd{p->conn_fd, POLLIN, 0};
            if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0)
                return false;
            char none;
            ::recv(p->conn_fd, &none, 0, MSG_DONTWAIT);
            return true;
        }
        p->pending.resize(size_t(n));
        ssize_t got = ::recv(p->conn_fd, p->pending.data(), size_t(n), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != n) {
            p->pending.clear();
            return false;
        }
        return true;
    }
}

} // namespace

bool W32_PipeSocketPath(LPCSTR name, char* path, unsigned size)
{
    if (name == nullptr || path == nullptr || size == 0 || !IsPrefix(name))
        return false;
    std::string logical = name + (sizeof(W32_PIPE_PREFIX) - 1);
    std::string dir;
    if (logical.empty() || !PipeDirectory(dir))
        return false;
    const size_t limit = sizeof(sockaddr_un::sun_path) - 1;
    size_t room = dir.size() + 1 + 2 < limit ? limit - dir.size() - 1 - 2 : 0;
    std::string full = dir + "/" + FileNameOf(logical, room);
    if (full.size() >= size || full.size() > limit)
        return false;
    std::memcpy(path, full.c_str(), full.size() + 1);
    return true;
}

HANDLE CreateNamedPipeA(LPCSTR name, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, void*)
{
    char path[256];
    if (!W32_PipeSocketPath(name, path, sizeof path))
        return INVALID_HANDLE_VALUE;
    PipeObject* p = new PipeObject;
    p->server = true;
    p->socket_path = path;
    p->lock_path = p->socket_path + ".lock";
    // The lock file tells a live server from a socket file left behind.
    p->lock_fd = ::open(p->lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (p->lock_fd < 0 || ::flock(p->lock_fd, LOCK_EX | LOCK_NB) != 0) {
        if (p->lock_fd >= 0)
            ::close(p->lock_fd);
        p->lock_fd = -1;
        delete p;
        return INVALID_HANDLE_VALUE;
    }
    ::unlink(path);
    sockaddr_un addr;
    p->listen_fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (p->listen_fd < 0 || !SocketAddress(p->socket_path, addr) ||
        ::bind(p->listen_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(p->listen_fd, 16) != 0) {
        if (p->listen_fd >= 0)
            ::close(p->listen_fd);
        p->listen_fd = -1;
        p->Release();
        delete p;
        return INVALID_HANDLE_VALUE;
    }
    return p;
}

BOOL ConnectNamedPipe(HANDLE h, void* overlapped)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr || !p->server || p->listen_fd < 0)
        return FALSE;
    if (p->conn_fd >= 0)
        return TRUE;
    if (overlapped != nullptr) {
        // Listening without waiting: the record's event is signalled once a
        // client is connected (by the wait that finds it), or at once when
        // one is waiting already.
        HANDLE event = static_cast<OVERLAPPED*>(overlapped)->hEvent;
        if (W32_PipeTryConnect(h)) {
            SetEvent(event);
            SetLastError(ERROR_PIPE_CONNECTED);
        } else {
            W32_EventWatchConnect(event, h);
            SetLastError(ERROR_IO_PENDING);
        }
        return FALSE;
    }
    for (;;) {
        int fd = ::accept4(p->listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            p->conn_fd = fd;
            return TRUE;
        }
        if (errno != EINTR && errno != ECONNABORTED)
            return FALSE;
    }
}

BOOL DisconnectNamedPipe(HANDLE h)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr || !p->server)
        return FALSE;
    p->Disconnect();
    return TRUE;
}

BOOL SetNamedPipeHandleState(HANDLE h, DWORD* mode, DWORD*, DWORD*)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr)
        return FALSE;
    return mode == nullptr || (*mode & PIPE_READMODE_MESSAGE) != 0 ? TRUE : FALSE;
}

BOOL PeekNamedPipe(HANDLE h, LPVOID buffer, DWORD size, DWORD* read, DWORD* total_available,
                   DWORD* left_in_message)
{
    if (read)
        *read = 0;
    if (total_available)
        *total_available = 0;
    if (left_in_message)
        *left_in_message = 0;
    PipeObject* p = AsPipe(h);
    if (p == nullptr || p->conn_fd < 0 || !FetchMessage(p, false))
        return FALSE;
    DWORD waiting = DWORD(p->PendingBytes());
    if (total_available)
        *total_available = waiting;
    if (left_in_message)
        *left_in_message = waiting;
    if (buffer != nullptr) {
        DWORD n = waiting < size ? waiting : size;
        std::memcpy(buffer, p->pending.data() + p->pending_pos, n);
        if (read)
            *read = n;
    }
    return TRUE;
}

BOOL WaitNamedPipeA(LPCSTR name, DWORD timeout)
{
    char path[256];
    if (!W32_PipeSocketPath(name, path, sizeof path))
        return FALSE;
    for (DWORD waited = 0;; waited += 10) {
        struct stat st;
        if (::stat(path, &st) == 0 && S_ISSOCK(st.st_mode))
            return TRUE;
        if (waited >= timeout)
            return FALSE;
        SleepMs(10);
    }
}

HANDLE W32_PipeOpenClient(LPCSTR name)
{
    char path[256];
    sockaddr_un addr;
    if (!W32_PipeSocketPath(name, path, sizeof path) || !SocketAddress(path, addr))
        return INVALID_HANDLE_VALUE;
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    PipeObject* p = new PipeObject;
    p->conn_fd = fd;
    return p;
}

BOOL W32_PipeRead(HANDLE h, LPVOID data, DWORD size, DWORD* done)
{
    if (done)
        *done = 0;
    PipeObject* p = AsPipe(h);
    if (p == nullptr || p->conn_fd < 0 || (data == nullptr && size != 0))
        return FALSE;
    if (!FetchMessage(p, true))
        return FALSE;
    size_t n = p->PendingBytes() < size ? p->PendingBytes() : size;
    if (n != 0)
        std::memcpy(data, p->pending.data() + p->pending_pos, n);
    p->pending_pos += n;
    if (done)
        *done = DWORD(n);
    return TRUE;
}

BOOL W32_PipeWrite(HANDLE h, LPCVOID data, DWORD size, DWORD* done)
{
    if (done)
        *done = 0;
    PipeObject* p = AsPipe(h);
    if (p == nullptr || p->conn_fd < 0 || (data == nullptr && size != 0))
        return FALSE;
    for (;;) {
        ssize_t n = ::send(p->conn_fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != ssize_t(size))
            return FALSE;
        if (done)
            *done = size;
        return TRUE;
    }
}

int W32_PipeDescriptor(HANDLE h)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr)
        return -1;
    return p->conn_fd >= 0 ? p->conn_fd : p->listen_fd;
}

bool W32_PipeReady(HANDLE h)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr)
        return false;
    // A short read keeps the rest of the message here, where poll() does
    // not see it.
    if (p->PendingBytes() != 0)
        return true;
    int fd = p->conn_fd >= 0 ? p->conn_fd : p->listen_fd;
    if (fd < 0)
        return false;
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && pfd.revents != 0;
}

bool W32_PipeTryConnect(HANDLE h)
{
    PipeObject* p = AsPipe(h);
    if (p == nullptr || !p->server || p->listen_fd < 0)
        return false;
    if (p->conn_fd >= 0)
        return true;
    pollfd pfd{p->listen_fd, POLLIN, 0};
    if (::poll(&pfd, 1, 0) <= 0)
        return false;
    int fd = ::accept4(p->listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return false;
    p->conn_fd = fd;
    return true;
}
