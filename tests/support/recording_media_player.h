#pragma once
// A media player that keeps the commands it was sent.

#include "platform/legacy/media.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Records every command and succeeds.
class RecordingMediaPlayer : public MediaPlayer {
  public:
    int send_command(std::string_view command) override {
        commands.emplace_back(command);
        return kMediaOk;
    }
    std::vector<std::string> commands;
};

} // namespace platform
