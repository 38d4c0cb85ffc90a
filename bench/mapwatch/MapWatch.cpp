// Starts a command and reports, in milliseconds, the time from its exec to the MapNotify of
// its first top-level window on the X display, then its process id. With --keep the command
// goes on running (the caller ends it); otherwise it is ended at once.
// Usage: mapwatch [--keep] [--timeout SECONDS] -- COMMAND [ARGS...]
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
        .count();
}

int Usage() {
    std::fprintf(stderr, "usage: mapwatch [--keep] [--timeout SECONDS] -- COMMAND [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool Keep = false;
    double TimeoutSeconds = 20;
    int First = 1;
    for (; First < argc && std::strcmp(argv[First], "--") != 0; ++First) {
        if (std::strcmp(argv[First], "--keep") == 0)
            Keep = true;
        else if (std::strcmp(argv[First], "--timeout") == 0 && First + 1 < argc)
            TimeoutSeconds = std::atof(argv[++First]);
        else
            return Usage();
    }
    if (First + 1 >= argc)
        return Usage();

    Display* Dpy = XOpenDisplay(nullptr);
    if (Dpy == nullptr) {
        std::fprintf(stderr, "mapwatch: cannot open the X display\n");
        return 1;
    }
    // Top-level windows are children of the root window, or of a window manager's frame
    // that is one: either way their mapping reaches the root's substructure.
    XSelectInput(Dpy, DefaultRootWindow(Dpy), SubstructureNotifyMask);
    XSync(Dpy, False);

    const auto Start = std::chrono::steady_clock::now();
    const pid_t Child = fork();
    if (Child == 0) {
        // Standard output is the watcher's report alone; the command writes to standard
        // error, and a caller reading the report is not kept waiting by a command that lives on.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[First + 1], argv + First + 1);
        std::perror("mapwatch: exec");
        _exit(127);
    }
    pollfd Connection{ConnectionNumber(Dpy), POLLIN, 0};
    while (MillisecondsSince(Start) < TimeoutSeconds * 1000) {
        while (XPending(Dpy) > 0) {
            XEvent Event;
            XNextEvent(Dpy, &Event);
            if (Event.type == MapNotify && !Event.xmap.override_redirect) {
                std::printf("%.1f %d\n", MillisecondsSince(Start), static_cast<int>(Child));
                std::fflush(stdout);
                if (!Keep) {
                    kill(Child, SIGTERM);
                    waitpid(Child, nullptr, 0);
                }
                return 0;
            }
        }
        int ExitStatus = 0;
        if (waitpid(Child, &ExitStatus, WNOHANG) == Child) {
            std::fprintf(stderr, "mapwatch: the command ended before it mapped a window\n");
            return 1;
        }
        poll(&Connection, 1, 50);
    }
    std::fprintf(stderr, "mapwatch: no window within %.0f s\n", TimeoutSeconds);
    kill(Child, SIGTERM);
    waitpid(Child, nullptr, 0);
    return 1;
}
