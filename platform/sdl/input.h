#pragma once
// The keyboard and the joystick read from SDL, answering the game's questions while the
// game delivers no window events.

#include "platform/legacy/input.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>

namespace platform {

class SdlEventPump;

// Asynchronous key state from SDL. Each question has the event pump (event_pump.h) bring
// SDL's queue up to date without dispatching anything; the pump tells this state of key
// changes as SDL queues them, so a tap between two questions is seen, and the events stay
// in the queue for the window system. Keys are named as the layout labels them
// (vk_from_keysym). Real key events arrive once the window system has started SDL's video;
// this class itself needs only the pump. A request to quit (a signal, or the window manager
// closing a window) heard from the pump ends the program with status 0 at the next question
// (end_program), even while no window events are delivered.
class SdlKeyState : public KeyState {
  public:
    // The pump must outlive the key state: the window system's (SdlWindowSystem::event_pump).
    explicit SdlKeyState(SdlEventPump& pump);
    ~SdlKeyState() override;
    SdlKeyState(const SdlKeyState&) = delete;
    SdlKeyState& operator=(const SdlKeyState&) = delete;

    int16_t async_key_state(int32_t vk) override;
    void forget_presses() override;

  private:
    struct Watch;
    SdlEventPump& pump_;
    std::unique_ptr<Watch> watch_;
};

// Joystick position values in the 0..65535 units of the classic joystick interface: full
// deflection of a digital stick reads exactly kJoyLow (left or up) or kJoyHigh (right or
// down), the centre kJoyCentre.
inline constexpr uint32_t kJoyLow = 256;
inline constexpr uint32_t kJoyCentre = 32768;
inline constexpr uint32_t kJoyHigh = 65280;
// An analogue axis counts as fully deflected from half-way on.
inline constexpr int kAxisHalfWay = 16384;

// An SDL axis value (-32768..32767) as a digital stick would report it.
uint32_t joy_position_from_axis(int16_t axis);
// A pair of opposite d-pad buttons or hat directions; both or neither read as centred.
uint32_t joy_position_from_buttons(bool low_pressed, bool high_pressed);
// The d-pad wins over the stick when it is deflected.
uint32_t joy_combine(uint32_t dpad, uint32_t stick);

// The file of extra controller layouts, in SDL's mapping format, looked for in the data folder.
inline constexpr const char* kControllerMappingsFile = "gamecontrollerdb.txt";

// Joysticks by device number (0 is the first), through SDL's game-controller API when SDL
// knows the device's layout (its own, SDL_GAMECONTROLLERCONFIG's, or the data folder's
// kControllerMappingsFile), otherwise as a raw joystick (axes 0 and 1, hat 0, buttons
// 0..31). Devices are opened on first question and closed when they go away, so plugging
// and unplugging at any time is safe.
class SdlJoystick : public Joystick {
  public:
    SdlJoystick();
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    bool caps(uint32_t id) override;
    bool position(uint32_t id, JoyInfo& info) override;

  private:
    class Device;
    Device* device(uint32_t id);

    bool ready_ = false;
    std::map<uint32_t, std::unique_ptr<Device>> open_;
};

} // namespace platform
