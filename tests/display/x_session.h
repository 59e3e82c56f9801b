#pragma once
// A private X server (Xvfb, 1280 x 1024, black root) for one test, with or
// without a window manager (openbox), and the X tools the tests drive it with.
// DISPLAY points at it while the session lives. The servers are started, and ended,
// by scripts/x-display, the launcher the scripts use too.

#include "tests/support/scoped_env.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <utility>

struct _XDisplay; // Xlib's Display, kept out: its macros clash with gtest

namespace xtest {

class XSession {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    explicit XSession(bool window_manager);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    const std::string& display_name() const { return name_; }
    bool has_window_manager() const;

    // Where a window's top-left corner lies on the screen.
    std::optional<std::pair<int, int>> position(unsigned long window) const;
    // Runs an X tool (xdotool, xwininfo, import ...) on this display; returns its output.
    std::string run(const std::string& command) const;

  private:
    // Closes the connection and ends the launcher, and with it the servers.
    void end();

    pid_t launcher_ = -1; // scripts/x-display
    std::string name_;
    std::optional<ScopedEnv> display_env_; // DISPLAY, while the session lives
    _XDisplay* display_ = nullptr;
    // Tells, if the test is still running after 90 s, where it and its programs wait.
    std::jthread watchdog_;
};

} // namespace xtest
