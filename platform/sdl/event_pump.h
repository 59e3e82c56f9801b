#pragma once
// SDL's event queue and its one owner: the only code that pumps SDL's queue, takes events
// out of it or waits on it. The window backend (desktop or browser) takes the window events
// through it; the key state asks it to pump and hears of key changes and quit requests as
// SDL queues them.

#include <cstdint>

struct SDL_KeyboardEvent;
union SDL_Event;

namespace platform {

// Hears of key changes and quit requests as SDL queues them: inside pumping (or inside
// SDL_PushEvent), on the thread that pumps. It only notes them: it must not touch the queue.
class SdlInputWatcher {
  public:
    virtual void key_changed(const SDL_KeyboardEvent& key) = 0;
    // SDL_QUIT (a signal, the end of the session) or the window manager closing a window.
    virtual void quit_requested() = 0;

  protected:
    ~SdlInputWatcher() = default;
};

// Starts SDL's events for as long as it lives; must outlive every backend and watcher
// that uses it. The last SDL user to go, it also releases what SDL keeps beside its
// subsystems (SDL_Quit) once nothing else of SDL runs.
class SdlEventPump {
  public:
    // A question about the keys keeps at most about this many events waiting: beyond it
    // the oldest input events are dropped so that the queue never fills (a full queue,
    // at 65,535 events, silently drops everything, SDL_QUIT included).
    static constexpr int kQueueHighWater = 4000;
    static constexpr int kQueueLowWater = 1000;

    SdlEventPump();
    ~SdlEventPump();
    SdlEventPump(const SdlEventPump&) = delete;
    SdlEventPump& operator=(const SdlEventPump&) = delete;

    // The watcher hears of every key change and quit request queued from now until it
    // is removed (nothing when SDL's events could not be started). It must be removed
    // before it goes.
    void add_watcher(SdlInputWatcher& watcher);
    void remove_watcher(SdlInputWatcher& watcher);

    // For a question about the keys, while no window events may be delivered for a long
    // time (a sortie in unpaced mode): pumps SDL's queue so that the watchers hear of what
    // arrived, hands out nothing (the events stay queued for the window backend), trims
    // the queue to kQueueLowWater when it grew past kQueueHighWater, dropping the oldest
    // input events only (never window events or SDL_QUIT), and stops text input, which
    // nobody reads. Does nothing when SDL's events could not be started.
    void pump_for_key_question();

    // For the window backend: pumps SDL's queue, as collecting events does.
    void pump();
    // Returns when an event waits in the queue, or after at most timeout_ms.
    void wait(uint32_t timeout_ms);
    // Whether any event waits in the queue.
    bool has_events() const;
    // Takes the oldest waiting event out of the queue; false when none waits.
    bool take(SDL_Event& event);

  private:
    bool ready_ = false;
};

} // namespace platform
