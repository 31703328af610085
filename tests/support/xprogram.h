#ifndef TESTS_SUPPORT_XPROGRAM_H
#define TESTS_SUPPORT_XPROGRAM_H

// A whole program started for a test on the X server, and the waits that
// the tests of such programs share: each gives up after about 20 seconds,
// in rounds of 20 ms.

#include <functional>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

constexpr int kXProgramRounds = 1000;

inline void XProgramPause()
{
    ::poll(nullptr, 0, 20);
}

// The program runs from construction; the destructor kills it if it is
// still running.
class XProgram {
public:
    explicit XProgram(const char* path)
    {
        pid = ::fork();
        if (pid == 0) {
            ::execl(path, path, static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~XProgram()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    XProgram(const XProgram&) = delete;
    XProgram& operator=(const XProgram&) = delete;
    // The exit status once the program ended by itself; -1 when it was
    // still running at the end of the waits.
    int Wait()
    {
        for (int round = 0; round < kXProgramRounds && pid > 0; ++round) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            XProgramPause();
        }
        return -1;
    }
    pid_t pid = -1;
};

// Waits until the condition holds, asking the server between tries.
inline bool XWaitUntil(Display* peer, const std::function<bool()>& condition)
{
    for (int round = 0; round < kXProgramRounds; ++round) {
        XSync(peer, False);
        if (condition())
            return true;
        XProgramPause();
    }
    return false;
}

#endif
