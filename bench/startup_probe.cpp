// skarvelin_startup_probe GAME SORTIE_SECONDS
//
// Starts the real program on the X server of DISPLAY (a window manager running)
// and reports, one key=value a line:
//   launch_to_title_ms  from the start of the process to its title window mapped;
//   loading_ms          from the game window mapped to its chatter cleared away;
//   peak_rss_mb         the process's peak resident memory after a sortie of
//                       SORTIE_SECONDS with the fire button held.
// It walks the screens with xdotool's keys, as a player would with Enter.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

double ms_since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Windows vanish between a query and the next request: that is no error here.
int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

class Probe {
  public:
    explicit Probe(Display* dpy) : dpy_(dpy), pid_atom_(XInternAtom(dpy, "_NET_WM_PID", False)) {}

    // The mapped windows that belong to process `pid` (SDL marks its windows with it).
    std::vector<Window> mapped_windows(pid_t pid) {
        std::vector<Window> found;
        walk(DefaultRootWindow(dpy_), pid, 0, found);
        return found;
    }

    bool has_focus(Window w) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(dpy_, &focus, &revert);
        return focus == w;
    }

    // Whether the chatter's green text shows on the playfield (19, 34) of the game
    // window; the rounded corners, which show the background, are left out.
    bool chatter_shows(Window w) {
        XImage* image = XGetImage(dpy_, w, 19 + 40, 34, 430, 70, AllPlanes, ZPixmap);
        if (!image) {
            return false;
        }
        int green = 0;
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                green +=
                    ((p >> 8) & 0xFF) >= 0x80 && ((p >> 16) & 0xFF) <= 0x60 && (p & 0xFF) <= 0x60;
            }
        }
        XDestroyImage(image);
        return green > 20;
    }

  private:
    void walk(Window w, pid_t pid, int depth, std::vector<Window>& found) {
        if (depth > 0 && belongs_to(w, pid) && is_mapped(w)) {
            found.push_back(w);
            return;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (depth < 3 && XQueryTree(dpy_, w, &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i) {
                walk(children[i], pid, depth + 1, found);
            }
            XFree(children);
        }
    }

    bool belongs_to(Window w, pid_t pid) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const bool ok = XGetWindowProperty(dpy_, w, pid_atom_, 0, 1, False, XA_CARDINAL, &type,
                                           &format, &items, &after, &data) == Success &&
                        data && format == 32 && items == 1;
        const bool match = ok && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
        if (data) {
            XFree(data);
        }
        return match;
    }

    bool is_mapped(Window w) {
        XWindowAttributes a;
        return XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable;
    }

    Display* dpy_;
    Atom pid_atom_;
};

// Polls every millisecond until `ready` gives a value or `limit` passes.
template <typename F> auto poll_for(F ready, milliseconds limit) -> decltype(ready()) {
    const auto start = Clock::now();
    while (Clock::now() - start < limit) {
        if (auto v = ready()) {
            return v;
        }
        std::this_thread::sleep_for(milliseconds(1));
    }
    return {};
}

double peak_rss_mb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
    }
    return -1;
}

void key(const char* what, const char* name) {
    const std::string command = std::string("xdotool ") + what + " " + name;
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "startup probe: \"%s\" failed\n", command.c_str());
    }
}

int fail(pid_t game, const char* what) {
    std::fprintf(stderr, "startup probe: %s\n", what);
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: skarvelin_startup_probe GAME SORTIE_SECONDS\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "startup probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignore_x_error);
    Probe probe(dpy);

    const auto launch = Clock::now();
    const pid_t game = fork();
    if (game == 0) {
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    std::set<Window> seen;
    auto next_window = [&]() -> std::optional<Window> {
        for (Window w : probe.mapped_windows(game)) {
            if (seen.insert(w).second) {
                return w;
            }
        }
        return std::nullopt;
    };
    if (!poll_for(next_window, milliseconds(10000))) {
        return fail(game, "the title window never showed");
    }
    std::printf("launch_to_title_ms=%.1f\n", ms_since(launch));
    std::fflush(stdout);

    // Enter on the focused button: three story pages, the briefing, the game window.
    std::optional<Window> window = *seen.begin();
    Clock::time_point mapped;
    for (int screen = 0; screen < 5; ++screen) {
        const Window current = *window;
        poll_for([&] { return probe.has_focus(current); }, milliseconds(2000));
        std::this_thread::sleep_for(milliseconds(200));
        key("key", "Return");
        window = poll_for(next_window, milliseconds(10000));
        mapped = Clock::now();
        if (!window) {
            return fail(game, "the next screen never showed");
        }
    }
    const Window stage = *window;
    if (!poll_for([&] { return probe.chatter_shows(stage); }, milliseconds(10000)) ||
        !poll_for([&] { return !probe.chatter_shows(stage); }, milliseconds(10000))) {
        return fail(game, "the loading sequence never ended");
    }
    std::printf("loading_ms=%.1f\n", ms_since(mapped));
    std::fflush(stdout);

    key("key", "s");
    std::this_thread::sleep_for(milliseconds(300));
    key("keydown", "z");
    std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[2])));
    key("keyup", "z");
    std::printf("peak_rss_mb=%.1f\n", peak_rss_mb(game));
    std::fflush(stdout);
    key("key", "Escape");
    if (!poll_for([&] { return waitpid(game, nullptr, WNOHANG) == game; }, milliseconds(5000))) {
        return fail(game, "the program did not end on Esc");
    }
    XCloseDisplay(dpy);
    return 0;
}
