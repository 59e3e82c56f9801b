#include "app/sim_input.h"

#include <charconv>
#include <sstream>

namespace app {

namespace {

uint32_t parse_number(const std::string& token, std::string_view digits, uint32_t max, int line) {
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        value > max) {
        throw InputScriptError("input line " + std::to_string(line) + ": bad token \"" + token +
                               "\"");
    }
    return value;
}

void parse_token(const std::string& token, FrameInput& frame, int line) {
    const std::string_view t(token);
    if (t.starts_with("jx=")) {
        frame.jx = parse_number(token, t.substr(3), 65535, line);
    } else if (t.starts_with("jy=")) {
        frame.jy = parse_number(token, t.substr(3), 65535, line);
    } else if (t.starts_with("jb=")) {
        frame.jb = parse_number(token, t.substr(3), 0xFFFFFFFFu, line);
    } else {
        frame.keys.insert(static_cast<int32_t>(parse_number(token, t, 255, line)));
    }
}

} // namespace

std::vector<FrameInput> parse_input_script(const std::string& text) {
    std::vector<FrameInput> frames;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        FrameInput frame;
        std::istringstream tokens(line);
        std::string token;
        while (tokens >> token) {
            parse_token(token, frame, static_cast<int>(frames.size()) + 1);
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

const FrameInput& ScriptedInput::current() const {
    if (frame_ >= 1 && static_cast<size_t>(frame_) <= frames_.size()) {
        return frames_[static_cast<size_t>(frame_ - 1)];
    }
    return idle_;
}

int16_t ScriptedInput::async_key_state(int32_t vk) {
    return current().keys.count(vk) ? platform::kKeyDown : 0;
}

bool ScriptedInput::position(uint32_t id, platform::JoyInfo& info) {
    if (id != 0) {
        return false;
    }
    const FrameInput& f = current();
    if (info.flags & platform::kJoyReturnX) {
        info.x = f.jx;
    }
    if (info.flags & platform::kJoyReturnY) {
        info.y = f.jy;
    }
    if (info.flags & platform::kJoyReturnButtons) {
        info.buttons = f.jb;
    }
    return true;
}

} // namespace app
