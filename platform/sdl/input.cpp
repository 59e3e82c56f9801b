#include "platform/sdl/input.h"

#include "platform/legacy/events.h"
#include "platform/sdl/event_pump.h"
#include "platform/sdl/handles.h"
#include "platform/sdl/vk_map.h"
#include "platform/system/file_bytes.h"
#include "platform/system/paths.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace platform {

// ---- keyboard ----

// Kept current by the event pump, which tells it of each key change and quit request as
// SDL queues them, on the pumping thread.
struct SdlKeyState::Watch final : SdlInputWatcher {
    // The code each physical key went down as (0: up), so that its release lifts that
    // code even when the layout changed in between.
    std::array<uint8_t, SDL_NUM_SCANCODES> held_as{};
    std::array<uint8_t, 256> keys_down{}; // physical keys held per code (both shifts are 16)
    std::array<bool, 256> pressed{};
    bool quit = false;

    void quit_requested() override { quit = true; }

    void key_changed(const SDL_KeyboardEvent& key) override {
        const SDL_Scancode scancode = key.keysym.scancode;
        if (scancode <= SDL_SCANCODE_UNKNOWN || scancode >= SDL_NUM_SCANCODES) {
            return;
        }
        uint8_t& held = held_as[static_cast<size_t>(scancode)];
        if (key.type == SDL_KEYUP) {
            if (held != 0) {
                --keys_down[held];
                held = 0;
            }
            return;
        }
        const int32_t vk = vk_from_keysym(key.keysym);
        if (vk <= 0 || vk > 255) {
            return;
        }
        if (!key.repeat) {
            pressed[static_cast<size_t>(vk)] = true;
        }
        if (held == 0) {
            held = static_cast<uint8_t>(vk);
            ++keys_down[held];
        }
    }
};

SdlKeyState::SdlKeyState(SdlEventPump& pump) : pump_(pump), watch_(std::make_unique<Watch>()) {
    pump_.add_watcher(*watch_);
}

SdlKeyState::~SdlKeyState() {
    pump_.remove_watcher(*watch_);
}

int16_t SdlKeyState::async_key_state(int32_t vk) {
    if (vk < 0 || vk > 255) {
        return 0;
    }
    pump_.pump_for_key_question();
    // No window events may be delivered for a long time (a sortie in unpaced mode), yet
    // a logout or a close request must not wait on the game.
    if (watch_->quit) {
        end_program(0);
    }
    auto i = static_cast<size_t>(vk);
    auto state = static_cast<int16_t>((watch_->keys_down[i] ? kKeyDown : 0) |
                                      (watch_->pressed[i] ? kKeyPressedSince : 0));
    watch_->pressed[i] = false;
    return state;
}

void SdlKeyState::forget_presses() {
    watch_->pressed.fill(false);
}

// ---- joystick values ----

uint32_t joy_position_from_axis(int16_t axis) {
    if (axis <= -kAxisHalfWay) {
        return kJoyLow;
    }
    if (axis >= kAxisHalfWay) {
        return kJoyHigh;
    }
    return kJoyCentre;
}

uint32_t joy_position_from_buttons(bool low_pressed, bool high_pressed) {
    if (low_pressed == high_pressed) {
        return kJoyCentre;
    }
    return low_pressed ? kJoyLow : kJoyHigh;
}

uint32_t joy_combine(uint32_t dpad, uint32_t stick) {
    return dpad != kJoyCentre ? dpad : stick;
}

// ---- joystick devices ----

class SdlJoystick::Device {
  public:
    explicit Device(int index) {
        if (SDL_IsGameController(index)) {
            controller_.reset(SDL_GameControllerOpen(index));
        }
        if (!controller_) {
            raw_.reset(SDL_JoystickOpen(index));
        }
    }

    bool usable() const { return joystick() != nullptr; }

    // Still plugged in, and still the device at `index` (numbers shift when one goes).
    bool is_device(int index) const {
        SDL_Joystick* js = joystick();
        return js && SDL_JoystickGetAttached(js) &&
               SDL_JoystickInstanceID(js) == SDL_JoystickGetDeviceInstanceID(index);
    }

    void read(JoyInfo& info) const {
        if (info.flags & kJoyReturnX) {
            info.x = controller_ ? controller_x() : raw_axis(0, SDL_HAT_LEFT, SDL_HAT_RIGHT);
        }
        if (info.flags & kJoyReturnY) {
            info.y = controller_ ? controller_y() : raw_axis(1, SDL_HAT_UP, SDL_HAT_DOWN);
        }
        if (info.flags & kJoyReturnButtons) {
            info.buttons = controller_ ? controller_buttons() : raw_buttons();
        }
    }

  private:
    SDL_Joystick* joystick() const {
        return controller_ ? SDL_GameControllerGetJoystick(controller_.get()) : raw_.get();
    }

    bool pressed(SDL_GameControllerButton b) const {
        return SDL_GameControllerGetButton(controller_.get(), b) != 0;
    }
    uint32_t controller_x() const {
        return joy_combine(joy_position_from_buttons(pressed(SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                                                     pressed(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)),
                           joy_position_from_axis(SDL_GameControllerGetAxis(
                               controller_.get(), SDL_CONTROLLER_AXIS_LEFTX)));
    }
    uint32_t controller_y() const {
        return joy_combine(joy_position_from_buttons(pressed(SDL_CONTROLLER_BUTTON_DPAD_UP),
                                                     pressed(SDL_CONTROLLER_BUTTON_DPAD_DOWN)),
                           joy_position_from_axis(SDL_GameControllerGetAxis(
                               controller_.get(), SDL_CONTROLLER_AXIS_LEFTY)));
    }
    uint32_t controller_buttons() const {
        constexpr SDL_GameControllerButton kOrder[] = {
            SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
            SDL_CONTROLLER_BUTTON_Y};
        uint32_t bits = 0;
        for (size_t i = 0; i < std::size(kOrder); ++i) {
            bits |= pressed(kOrder[i]) ? 1u << i : 0u;
        }
        return bits;
    }

    uint32_t raw_axis(int axis, Uint8 hat_low, Uint8 hat_high) const {
        SDL_Joystick* js = raw_.get();
        uint32_t hat = kJoyCentre;
        if (SDL_JoystickNumHats(js) > 0) {
            Uint8 h = SDL_JoystickGetHat(js, 0);
            hat = joy_position_from_buttons((h & hat_low) != 0, (h & hat_high) != 0);
        }
        uint32_t stick = kJoyCentre;
        if (SDL_JoystickNumAxes(js) > axis) {
            stick = joy_position_from_axis(SDL_JoystickGetAxis(js, axis));
        }
        return joy_combine(hat, stick);
    }
    uint32_t raw_buttons() const {
        SDL_Joystick* js = raw_.get();
        int count = std::min(SDL_JoystickNumButtons(js), 32);
        uint32_t bits = 0;
        for (int b = 0; b < count; ++b) {
            bits |= SDL_JoystickGetButton(js, b) ? 1u << b : 0u;
        }
        return bits;
    }

    sdl::GameControllerPtr controller_;
    sdl::JoystickPtr raw_;
};

namespace {

// The community's layout files run to a few hundred kilobytes.
constexpr size_t kMaxMappingsBytes = 16 << 20;

// Layouts beyond SDL's own (and beyond SDL_GAMECONTROLLERCONFIG, which SDL reads itself)
// from the data folder; a faulty file costs only its own layouts.
void add_controller_mappings() {
    const Resolved file = resolve_game_file(kControllerMappingsFile);
    if (!file.found) {
        return;
    }
    try {
        const std::string text = read_file_bytes(file.path, kMaxMappingsBytes);
        SDL_RWops* rw = SDL_RWFromConstMem(text.data(), static_cast<int>(text.size()));
        if (!rw || SDL_GameControllerAddMappingsFromRW(rw, 1) < 0) {
            std::fprintf(stderr, "joystick: cannot use the layouts in \"%s\": %s\n",
                         file.path.c_str(), SDL_GetError());
        }
    } catch (const FileReadError& e) {
        std::fprintf(stderr, "joystick: %s\n", e.what());
    }
}

} // namespace

SdlJoystick::SdlJoystick() {
    ready_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    if (!ready_) {
        std::fprintf(stderr, "joystick: cannot start SDL's joystick support: %s\n", SDL_GetError());
        return;
    }
    add_controller_mappings();
}

SdlJoystick::~SdlJoystick() {
    open_.clear();
    if (ready_) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }
}

// The open device with number `id`, after bringing SDL's view of the devices up to date:
// the game may not be pumping events, so SDL would otherwise miss motion and plugging.
SdlJoystick::Device* SdlJoystick::device(uint32_t id) {
    if (!ready_) {
        return nullptr;
    }
    SDL_JoystickUpdate();
    int count = SDL_NumJoysticks();
    if (count <= 0 || id >= static_cast<uint32_t>(count)) {
        open_.erase(id);
        return nullptr;
    }
    int index = static_cast<int>(id);
    auto found = open_.find(id);
    if (found != open_.end() && found->second->is_device(index)) {
        return found->second.get();
    }
    open_.erase(id); // a detached device, or another one now at this number
    auto fresh = std::make_unique<Device>(index);
    if (!fresh->usable()) {
        return nullptr;
    }
    Device* opened = fresh.get();
    open_.emplace(id, std::move(fresh));
    return opened;
}

bool SdlJoystick::caps(uint32_t id) {
    return device(id) != nullptr;
}

bool SdlJoystick::position(uint32_t id, JoyInfo& info) {
    Device* d = device(id);
    if (!d) {
        return false;
    }
    d->read(info);
    return true;
}

} // namespace platform
