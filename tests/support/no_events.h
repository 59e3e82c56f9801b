#pragma once
// An event pump that counts how often it was asked to deliver events.

#include "platform/legacy/events.h"

namespace platform {

class NoEvents : public EventPump {
  public:
    void deliver_pending_events() override { ++deliveries; }
    long deliveries = 0;
};

} // namespace platform
