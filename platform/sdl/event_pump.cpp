#include "platform/sdl/event_pump.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace platform {

namespace {

bool is_quit_request(const SDL_Event& event) {
    return event.type == SDL_QUIT ||
           (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
}

// Called by SDL on the pumping thread as it queues each event; the event stays queued
// whatever it returns.
int SDLCALL tell_watcher(void* watcher, SDL_Event* event) {
    auto* to = static_cast<SdlInputWatcher*>(watcher);
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        to->key_changed(event->key);
    } else if (is_quit_request(*event)) {
        to->quit_requested();
    }
    return 1;
}

struct EventRange {
    Uint32 first, last;
};

// Input that nobody misses when it is old: keys, text and the mouse, joystick and
// controller motion and buttons, touch and sensors. SDL_QUIT and window events are
// never dropped.
constexpr EventRange kDroppable[] = {
    {SDL_KEYDOWN, SDL_MOUSEWHEEL},
    {SDL_JOYAXISMOTION, SDL_JOYBUTTONUP},
    {SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERBUTTONUP},
    {SDL_CONTROLLERTOUCHPADDOWN, SDL_CONTROLLERSENSORUPDATE},
    {SDL_FINGERDOWN, SDL_MULTIGESTURE},
    {SDL_SENSORUPDATE, SDL_SENSORUPDATE},
};

int waiting_events() {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
}

int drop_oldest(EventRange range, int count) {
    std::array<SDL_Event, 256> scratch;
    int dropped = 0;
    while (dropped < count) {
        int batch = std::min(count - dropped, static_cast<int>(scratch.size()));
        int got = SDL_PeepEvents(scratch.data(), batch, SDL_GETEVENT, range.first, range.last);
        if (got <= 0) {
            break;
        }
        dropped += got;
    }
    return dropped;
}

void keep_queue_short() {
    int waiting = waiting_events();
    if (waiting <= SdlEventPump::kQueueHighWater) {
        return;
    }
    int excess = waiting - SdlEventPump::kQueueLowWater;
    for (EventRange range : kDroppable) {
        excess -= drop_oldest(range, excess);
        if (excess <= 0) {
            return;
        }
    }
}

} // namespace

SdlEventPump::SdlEventPump() {
    ready_ = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    if (!ready_) {
        std::fprintf(stderr, "events: cannot start SDL's events: %s\n", SDL_GetError());
    }
}

SdlEventPump::~SdlEventPump() {
    if (ready_) {
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }
    // The last one out also releases what SDL keeps beside its subsystems (D-Bus).
    if (SDL_WasInit(0) == 0) {
        SDL_Quit();
    }
}

void SdlEventPump::add_watcher(SdlInputWatcher& watcher) {
    if (ready_) {
        SDL_AddEventWatch(&tell_watcher, &watcher);
    }
}

void SdlEventPump::remove_watcher(SdlInputWatcher& watcher) {
    if (ready_) {
        SDL_DelEventWatch(&tell_watcher, &watcher);
    }
}

void SdlEventPump::pump_for_key_question() {
    if (!ready_) {
        return;
    }
    // Starting SDL's video switches text input on; nobody reads it, and undispatched
    // text events would only fill the queue.
    if (SDL_IsTextInputActive()) {
        SDL_StopTextInput();
    }
    pump();
    keep_queue_short();
}

void SdlEventPump::pump() {
    SDL_PumpEvents();
}

void SdlEventPump::wait(uint32_t timeout_ms) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout_ms));
}

bool SdlEventPump::has_events() const {
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

bool SdlEventPump::take(SDL_Event& event) {
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

} // namespace platform
