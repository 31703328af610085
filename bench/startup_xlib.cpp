// The reference of the start-up benchmark: a bare Xlib program that maps
// one 800 x 600 window, waits for its first expose, puts one image over it
// and, once the server has the image (XSync), writes a byte to the
// descriptor named by ZUVI_BENCH_READY_FD and ends.
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const unsigned width = 800, height = 600;
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height,
                                        0, 0, WhitePixel(display, screen));
    XSelectInput(display, window, ExposureMask);
    XMapWindow(display, window);
    XEvent event;
    do
        XNextEvent(display, &event);
    while (event.type != Expose);

    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    XImage* image =
        XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, width, height, 32, 0);
    image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * height));
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            XPutPixel(image, int(x), int(y), (x / 100 + y / 100) % 2 ? 0x3060C0 : 0xE0E0E0);
    XPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0, width, height);
    XSync(display, False);

    const char* fd = std::getenv("ZUVI_BENCH_READY_FD");
    if (fd != nullptr) {
        char byte = 1;
        if (::write(std::atoi(fd), &byte, 1) != 1)
            return 1;
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
