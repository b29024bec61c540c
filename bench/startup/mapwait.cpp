// Starts a program and reports how long it took until its first top-level window was mapped on
// the X server and until the program first painted it, the processor time the program's main
// thread had taken by then, and how much memory the process holds once it has been idle for a
// moment. The X server's root window must be black (Xvfb -br): the window counts as painted once
// its top-left corner is not.
// Usage: mapwait IDLE_MS PROGRAM [ARGS...]   prints "mapped_ms painted_ms cpu_ms rss_kib"
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char **environ;

namespace {

long residentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Unlike wall time, hardly moved by whatever else the machine runs.
double processorMs(pid_t pid) {
    std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
    double nanoseconds = -1;
    schedstat >> nanoseconds;
    return nanoseconds / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s IDLE_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror("mapwait: spawn");
        return 2;
    }
    Window window = None;
    for (XEvent event; window == None;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            window = event.xmap.window;
        }
    }
    const std::chrono::duration<double, std::milli> mapped =
        std::chrono::steady_clock::now() - start;
    // Asked every tenth of a millisecond, so that the questions leave the server to the program.
    // A window not yet viewable has no picture to read: the error only means "not yet".
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    for (;;) {
        XImage *corner = XGetImage(display, window, 2, 2, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = corner != nullptr ? XGetPixel(corner, 0, 0) : 0;
        if (corner != nullptr) {
            XDestroyImage(corner);
        }
        if (pixel != 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    const std::chrono::duration<double, std::milli> painted =
        std::chrono::steady_clock::now() - start;
    const double processor = processorMs(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[1])));
    const long rss = residentKib(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("%.1f %.1f %.1f %ld\n", mapped.count(), painted.count(), processor, rss);
    return 0;
}
