#include "tests/display/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace xtest {

namespace {

// Well before ctest's timeout for a display test.
constexpr std::chrono::seconds kHangReport{90};
// The launcher's own waits end within about a minute at worst (Xvfb 30 s, its first answer
// 10 s, openbox twice 10 s); this bounds a launcher that itself hangs.
constexpr std::chrono::seconds kStartLimit{80};
// The launcher gives openbox, then Xvfb, 5 s each after SIGTERM before it kills them.
constexpr std::chrono::seconds kStopGrace{12};

// The one launcher of X servers the scripts use too (scripts/x-display), beside tests/.
std::string launcher_path() {
    return (std::filesystem::path(SKARVELIN_TEST_DATA_DIR).parent_path().parent_path() / "scripts" /
            "x-display")
        .string();
}

// Starts a program that dies with the test process (SIGTERM, which the launcher passes on
// to its servers), in a process group of its own so that SIGKILL can reach its servers too.
// Its output goes to `out`; what it says on stderr goes to the test's. Its arguments are
// ready before the fork: the child of a threaded process must not allocate.
pid_t spawn(std::vector<std::string> args, int out) {
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        setpgid(0, 0);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(out, 1);
        for (int fd = 3; fd < 256; ++fd) {
            close(fd);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    return pid;
}

// The launcher ends its servers on SIGTERM; one that has not ended kStopGrace later is
// killed, with whatever of its process group is left.
void stop(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::fprintf(stderr,
                 "x session: the X display's launcher did not end %lld s after SIGTERM; "
                 "killing it and its servers\n",
                 static_cast<long long>(kStopGrace.count()));
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// The display's name, the one line the launcher writes to `fd` once the display is ready;
// empty when it closes the pipe (it failed, and said why) or says nothing for kStartLimit
// (then `timed_out` is set).
std::string display_name_from(int fd, bool& timed_out) {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    std::string name;
    char c = 0;
    timed_out = false;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) {
            timed_out = true;
            break;
        }
        if (read(fd, &c, 1) != 1 || c == '\n') {
            break;
        }
        name += c;
    }
    return c == '\n' ? name : std::string();
}

// A file of /proc, whole, without its last newlines.
std::string read_text(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// Where every thread of this process and every program below it waits in the kernel.
std::string waiting_places() {
    std::ostringstream out;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const std::string dir = task.path().string();
        out << "  thread " << task.path().filename().string() << " (" << read_text(dir + "/comm")
            << ") waits in " << read_text(dir + "/wchan") << "\n";
    }
    std::map<pid_t, std::vector<pid_t>> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        // The parent is the 4th field of stat, after a name in parentheses.
        const std::string stat = read_text(entry.path().string() + "/stat");
        std::istringstream rest(stat.substr(stat.rfind(')') + 1));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        children[parent].push_back(static_cast<pid_t>(std::stoi(name)));
    }
    std::vector<pid_t> below = children[getpid()];
    while (!below.empty()) {
        const pid_t pid = below.back();
        below.pop_back();
        const std::string dir = "/proc/" + std::to_string(pid);
        std::string command = read_text(dir + "/cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        out << "  " << pid << " " << command << " waits in " << read_text(dir + "/wchan") << "\n";
        below.insert(below.end(), children[pid].begin(), children[pid].end());
    }
    return out.str();
}

} // namespace

XSession::XSession(bool window_manager) {
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("cannot make a pipe for the X display's launcher");
    }
    // The launcher has Xvfb pick a free display number itself, starts openbox when asked,
    // and prints the display's name once everything is ready.
    std::vector<std::string> args{launcher_path(), "--black-root"};
    if (window_manager) {
        args.push_back("--wm");
    }
    launcher_ = spawn(args, fds[1]);
    close(fds[1]);
    bool timed_out = false;
    name_ = display_name_from(fds[0], timed_out);
    close(fds[0]);
    try {
        if (name_.empty()) {
            throw std::runtime_error(
                "no X display: " + args[0] +
                (timed_out ? " said nothing in " + std::to_string(kStartLimit.count()) + " s"
                           : " ended without one (Xvfb or openbox did not start; it said why "
                             "above)"));
        }
        display_env_.emplace("DISPLAY", name_.c_str());
        display_ = XOpenDisplay(name_.c_str());
        if (!display_) {
            throw std::runtime_error("cannot connect to the test's Xvfb at " + name_);
        }
        // The launcher waited for openbox already; this looks through the test's own
        // connection.
        if (window_manager) {
            for (int i = 0; i < 500 && !has_window_manager(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (!has_window_manager()) {
                throw std::runtime_error("openbox did not start");
            }
        }
    } catch (...) {
        end();
        throw;
    }
    watchdog_ = std::jthread([](std::stop_token stop) {
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any wake;
        if (!wake.wait_for(lock, stop, kHangReport, [] { return false; }) &&
            !stop.stop_requested()) {
            std::fprintf(stderr, "x session: the test has run %lld s; where it waits:\n%s",
                         static_cast<long long>(kHangReport.count()), waiting_places().c_str());
        }
    });
}

XSession::~XSession() {
    end();
}

void XSession::end() {
    if (display_) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
    stop(launcher_);
    launcher_ = -1;
}

bool XSession::has_window_manager() const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const bool found =
        XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data) {
        XFree(data);
    }
    return found;
}

std::optional<std::pair<int, int>> XSession::position(unsigned long window) const {
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y,
                               &child)) {
        return std::nullopt;
    }
    return std::make_pair(x, y);
}

std::string XSession::run(const std::string& command) const {
    // A tool stuck on the server gets 20 s, then the test goes on without its answer.
    const std::string bounded = "timeout -k 5 20 " + command;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(bounded.c_str(), "r"), pclose);
    std::string out;
    if (!pipe) {
        return out;
    }
    std::array<char, 4096> buffer;
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        out.append(buffer.data(), n);
    }
    return out;
}

} // namespace xtest
