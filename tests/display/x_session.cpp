#include "tests/display/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace xtest {

namespace {

// Starts a program that dies with the test process; `fd_to_keep` stays open in it.
pid_t spawn(std::vector<std::string> args, int fd_to_keep = -1) {
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
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    return pid;
}

void stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
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
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
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
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
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
