#include "tests/support/xvfb.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool g_available = false;

} // namespace

std::string XFindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

bool XvfbEnvironment::Available()
{
    return g_available;
}

void XvfbEnvironment::SetUp()
{
    std::string program = XFindProgram("Xvfb");
    if (program.empty())
        return;
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        std::string fd = std::to_string(fds[1]);
        ::execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                "-nolisten", "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return;
    }
    // The server writes its display number once it accepts clients.
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number.push_back(c);
    ::close(fds[0]);
    if (number.empty()) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
        return;
    }
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    g_available = true;
}

void XvfbEnvironment::TearDown()
{
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
    g_available = false;
}
