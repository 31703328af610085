#ifndef TESTS_SUPPORT_XPROGRAM_H
#define TESTS_SUPPORT_XPROGRAM_H

// A whole program started for a test on the X server, and the waits that
// the tests of such programs share: each gives up after about 20 seconds,
// in rounds of 20 ms.

#include <cstring>
#include <functional>
#include <string>
#include <vector>

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
    // Started in the folder, with the variables ("NAME=value") added to
    // this process's environment (replacing those of the same name).
    XProgram(const char* path, const char* folder, const std::vector<std::string>& variables)
    {
        std::vector<std::string> texts(variables);
        for (char** v = environ; *v != nullptr; ++v) {
            const char* equals = std::strchr(*v, '=');
            bool replaced = false;
            for (const std::string& added : variables)
                replaced =
                    replaced || (equals != nullptr && added.compare(0, size_t(equals - *v) + 1, *v,
                                                                    size_t(equals - *v) + 1) == 0);
            if (!replaced)
                texts.push_back(*v);
        }
        std::vector<char*> environment;
        for (std::string& text : texts)
            environment.push_back(&text[0]);
        environment.push_back(nullptr);
        pid = ::fork();
        if (pid == 0) {
            if (::chdir(folder) == 0)
                ::execle(path, path, static_cast<char*>(nullptr), environment.data());
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
