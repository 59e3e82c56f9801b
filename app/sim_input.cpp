#include "app/sim_input.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace app {

namespace {

uint32_t parse_number(std::string_view token, std::string_view digits, uint32_t max, int64_t line) {
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        value > max) {
        throw InputScriptError("input line " + std::to_string(line) + ": bad token " +
                               platform::quoted(token));
    }
    return value;
}

void parse_token(std::string_view token, FrameInput& frame, int64_t line) {
    if (token.starts_with("jx=")) {
        frame.jx = static_cast<uint16_t>(parse_number(token, token.substr(3), 65535, line));
    } else if (token.starts_with("jy=")) {
        frame.jy = static_cast<uint16_t>(parse_number(token, token.substr(3), 65535, line));
    } else if (token.starts_with("jb=")) {
        frame.jb = parse_number(token, token.substr(3), 0xFFFFFFFFu, line);
    } else {
        frame.keys.set(parse_number(token, token, 255, line));
    }
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

FrameInput parse_line(std::string_view line, int64_t number) {
    FrameInput frame;
    size_t at = 0;
    for (;;) {
        while (at < line.size() && is_blank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return frame;
        }
        const size_t end = std::min(line.size(), line.find_first_of(" \t\r\v\f", at));
        parse_token(line.substr(at, end - at), frame, number);
        at = end;
    }
}

} // namespace

void InputScript::append(const FrameInput& frame) {
    if (frames_ == std::numeric_limits<int32_t>::max()) {
        throw InputScriptError("the input script has more lines than a run has frames");
    }
    ++frames_;
    if (runs_.empty() || !(runs_.back().input == frame)) {
        runs_.push_back({frames_, frame});
    }
}

const FrameInput& InputScript::frame(int32_t number) const {
    if (number < 1 || number > frames_) {
        return idle_;
    }
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), number,
                                        [](int32_t n, const Run& run) { return n < run.first; });
    return std::prev(after)->input;
}

InputScript parse_input_script(std::string_view text) {
    InputScript script;
    int64_t number = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.size(), text.find('\n', at));
        script.append(parse_line(text.substr(at, end - at), ++number));
        at = end + 1;
    }
    return script;
}

int16_t ScriptedInput::async_key_state(int32_t vk) {
    const bool held =
        vk >= 0 && vk < 256 && script_.frame(frame_).keys.test(static_cast<size_t>(vk));
    return held ? platform::kKeyDown : 0;
}

bool ScriptedInput::position(uint32_t id, platform::JoyInfo& info) {
    if (id != 0) {
        return false;
    }
    const FrameInput& f = script_.frame(frame_);
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
