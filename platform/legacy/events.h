#pragma once

namespace platform {

// Ends the program at once from anywhere, however deeply inside event handlers:
// end_program() throws it and main() catches it and returns the status. It is not
// a std::exception, so that no error handler on the way swallows it; destructors
// on the way close windows and devices as usual.
struct ProgramExit {
    int status = 0;
};

[[noreturn]] inline void end_program(int status = 0) {
    throw ProgramExit{status};
}

// Lets the window system dispatch every waiting event to its handler, then returns.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void deliver_pending_events() = 0;
};

} // namespace platform
