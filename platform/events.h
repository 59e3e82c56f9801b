#pragma once

namespace platform {

// Lets the window system dispatch every waiting event to its handler, then returns.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void deliver_pending_events() = 0;
};

// An event pump for code that runs without windows.
class NoEvents : public EventPump {
  public:
    void deliver_pending_events() override { ++deliveries; }
    long deliveries = 0;
};

} // namespace platform
