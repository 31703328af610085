// Start-up to the first painted window, under an Xvfb server of its own:
// a program of the library (bench/startup_app.cpp: its App opens an
// 800 x 600 window with a few views) from its exec until its first paint
// has reached the X server, beside a bare Xlib program that maps and
// paints one window (bench/startup_xlib.cpp). Each run is a new process,
// which writes a byte to the pipe named by ZUVI_BENCH_READY_FD once its
// paint is at the server; the time is taken from the fork to that byte,
// or to the moment the screen shows the middle of the window painted
// (0x3060C0) if that comes later. 20 runs each; the median is the figure.
//
// Beside them, the drawing program itself (lumbra) from its exec until its
// main window's first paint is at the server (the band grey at two points
// of the window, read from the screen), then closed as a window manager
// closes it; and a bare Ghostscript start (gs with no device, quitting at
// once), from the fork to its exit. The goal for lumbra is under twice the
// bare Xlib program and the bare Ghostscript start together.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The server, started on first use and ended at exit.
class Server {
public:
    static bool Ready()
    {
        static Server server;
        return server.pid > 0;
    }

private:
    Server()
    {
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
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c;
        while (pid > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        ::close(fds[0]);
        if (number.empty()) {
            Stop();
            return;
        }
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ~Server() { Stop(); }
    void Stop()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    pid_t pid = -1;
};

constexpr unsigned long kMiddle = 0x3060C0;

// The harness's own connection, which reads the screen.
Display* Peer()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

unsigned long MiddlePixel()
{
    Display* d = Peer();
    XSync(d, False);
    XImage* image = XGetImage(d, DefaultRootWindow(d), 400, 300, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return p;
}

// The library paints from a 16-bit surface: each channel may differ a
// little from the colour asked for.
bool IsMiddleColour(unsigned long p)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int got = int(p >> shift & 0xFF), want = int(kMiddle >> shift & 0xFF);
        if (got - want > 8 || want - got > 8)
            return false;
    }
    return true;
}

// Asks the server until the middle of the screen is (or is no longer)
// painted; false when it never comes.
bool AwaitMiddle(bool painted)
{
    for (int i = 0; i < 200000; ++i)
        if (IsMiddleColour(MiddlePixel()) == painted)
            return true;
    return false;
}

// Milliseconds from the fork to the program's byte; negative when the
// program failed or took more than 30 seconds.
double RunOnce(const char* program)
{
    // The previous run's window is gone from the screen.
    if (Peer() == nullptr || !AwaitMiddle(false))
        return -1;
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 1);
        ::setenv("ZUVI_BENCH_READY_FD", std::to_string(fds[1]).c_str(), 1);
        ::setenv("ZUVI_BACKEND", "x11", 1);
        ::execl(program, program, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    char byte = 0;
    bool ready = child > 0 && ::poll(&p, 1, 30000) == 1 && ::read(fds[0], &byte, 1) == 1;
    ready = ready && AwaitMiddle(true);
    auto end = std::chrono::steady_clock::now();
    ::close(fds[0]);
    int status = 0;
    if (child > 0) {
        if (!ready)
            ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    if (!ready || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void Startup(benchmark::State& state, const char* program)
{
    if (!Server::Ready()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        double ms = RunOnce(program);
        if (ms < 0) {
            state.SkipWithError("the program did not paint its window");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}

// ---- The drawing program ----

// The main window's band grey, at a point of the top band and one of the
// page area left of the splash window.
constexpr unsigned long kBandGrey = 0xC6C3C6;
const int kLumbraPoints[][2] = {{300, 50}, {100, 700}};

unsigned long ScreenPixel(int x, int y)
{
    Display* d = Peer();
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return p;
}

bool LumbraPainted()
{
    XSync(Peer(), False);
    for (const auto& point : kLumbraPoints)
        if (ScreenPixel(point[0], point[1]) != kBandGrey)
            return false;
    return true;
}

// Asks the window manager's way: every top-level window gets the close
// message (the program's windows end the program; there are no others).
void CloseWindows()
{
    Display* d = Peer();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return;
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    const Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
    for (unsigned i = 0; i < n; ++i) {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = children[i];
        e.xclient.message_type = protocols;
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(del);
        XSendEvent(d, children[i], False, NoEventMask, &e);
    }
    if (children != nullptr)
        XFree(children);
    XFlush(d);
}

// Milliseconds from the fork to the main window's first paint; negative
// when the program failed, took more than 30 seconds or did not end with
// status 0 when its window was closed.
double RunLumbra(const char* program)
{
    if (Peer() == nullptr)
        return -1;
    // The previous run's window is gone from the screen.
    for (int i = 0; i < 200000 && LumbraPainted(); ++i) {}
    if (LumbraPainted())
        return -1;
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 1);
        ::setenv("ZUVI_BACKEND", "x11", 1);
        ::execl(program, program, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (child < 0)
        return -1;
    bool painted = false;
    auto end = start;
    while (!painted) {
        painted = LumbraPainted();
        end = std::chrono::steady_clock::now();
        if (std::chrono::duration<double>(end - start).count() > 30)
            break;
    }
    int status = 0;
    if (painted) {
        CloseWindows();
        for (int i = 0; i < 3000 && ::waitpid(child, &status, WNOHANG) == 0; ++i)
            ::poll(nullptr, 0, 10);
    }
    if (::waitpid(child, &status, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
    if (!painted || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Milliseconds from the fork to the exit of gs started with no device
// and quitting at once; negative when it failed.
double RunGhostscript()
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execlp("gs", "gs", "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-c", "quit",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void StartLumbra(benchmark::State& state, const char* program)
{
    if (!Server::Ready()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        double ms = RunLumbra(program);
        if (ms < 0) {
            state.SkipWithError("lumbra did not paint its main window or did not end well");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}

void StartGhostscript(benchmark::State& state)
{
    for (auto _ : state) {
        double ms = RunGhostscript();
        if (ms < 0) {
            state.SkipWithError("gs did not start");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}

} // namespace

BENCHMARK_CAPTURE(Startup, LibraryApp, ZUVI_BENCH_STARTUP_APP)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Startup, BareXlib, ZUVI_BENCH_STARTUP_XLIB)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
#ifdef ZUVI_BENCH_LUMBRA
BENCHMARK_CAPTURE(StartLumbra, Lumbra, ZUVI_BENCH_LUMBRA)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(StartGhostscript)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
