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

// Starts a program that dies with the test process; `fd_to_keep` stays open in it.
// Its arguments are ready before the fork: the child of a threaded process must not
// allocate.
pid_t spawn(std::vector<std::string> args, int fd_to_keep = -1) {
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        for (int fd = 3; fd < 256; ++fd) {
            if (fd != fd_to_keep) {
                close(fd);
            }
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    return pid;
}

// A program that has not ended 5 s after SIGTERM is killed.
void stop(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Xvfb's display number, which it writes to `fd` once it is ready; empty when it
// closes the pipe or says nothing for 30 s.
std::string display_number(int fd) {
    std::string number;
    pollfd ready{fd, POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, 30000) == 1 && read(fd, &c, 1) == 1 && c != '\n') {
        number += c;
    }
    return c == '\n' ? number : std::string();
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
        throw std::runtime_error("cannot make a pipe for Xvfb");
    }
    // Xvfb picks a free display number itself and writes it to the pipe when ready.
    xvfb_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                   std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24", "-br",
                   "-nolisten", "tcp"},
                  fds[1]);
    close(fds[1]);
    const std::string number = display_number(fds[0]);
    close(fds[0]);
    if (number.empty()) {
        stop(xvfb_);
        throw std::runtime_error("Xvfb did not start (is it installed?)");
    }
    name_ = ":" + number;
    display_env_.emplace("DISPLAY", name_.c_str());
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) {
        throw std::runtime_error("cannot connect to the test's Xvfb at " + name_);
    }
    if (window_manager) {
        wm_ = spawn({"openbox"});
        for (int i = 0; i < 500 && !has_window_manager(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!has_window_manager()) {
            throw std::runtime_error("openbox did not start");
        }
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
    if (display_) {
        XCloseDisplay(display_);
    }
    stop(wm_);
    stop(xvfb_);
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
