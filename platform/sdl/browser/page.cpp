#include "platform/sdl/browser/page.h"

#include "platform/sdl/browser_host.h"

#include <emscripten.h>

#include <functional>
#include <utility>

namespace platform::page {

namespace {

// The latest turn's start and end, and the end of the one before it.
double last_turn_start_ms = 0;
double last_turn_ms = 0;
double previous_turn_ms = 0;

void note_turn(double start) {
    previous_turn_ms = last_turn_ms;
    last_turn_start_ms = start;
    last_turn_ms = now_ms();
}

// The page's script is window.skarvelinPage, set up by the page before the program starts.
EM_JS(void, js_put_image, (const uint8_t* rgba, int iw, int ih, int x, int y, int w, int h), {
    window.skarvelinPage.putImage(HEAPU8.subarray(rgba, rgba + iw * ih * 4), iw, ih, x, y, w, h);
});

EM_JS(void, js_place_canvas, (int dx, int dy), { window.skarvelinPage.placeCanvas(dx, dy); });

EM_JS(void, js_set_wait_cursor, (int on), { window.skarvelinPage.setWaitCursor(on != 0); });

EM_JS(int, js_pointer_x, (), { return window.skarvelinPage.pointer.x | 0; });
EM_JS(int, js_pointer_y, (), { return window.skarvelinPage.pointer.y | 0; });
EM_JS(int, js_pointer_held, (), { return window.skarvelinPage.pointer.held ? 1 : 0; });

EM_JS(void, js_show_error, (const char* title, const char* text),
      { window.skarvelinPage.showError(UTF8ToString(title), UTF8ToString(text)); });

EM_JS(void, js_report_frame, (double work_ms, double put_ms),
      { window.skarvelinPage.frame(work_ms, put_ms); });

EM_JS(int, js_page_is_english, (), { return window.skarvelinPage.language() == 'en' ? 1 : 0; });

std::function<void(Language)> show_language;

// A message to itself comes back without the clamping that nested timers get, yet
// after whatever input and painting is waiting.
EM_ASYNC_JS(void, js_give_turn, (), {
    await new Promise(function(resume) {
        const channel = new MessageChannel();
        channel.port1.onmessage = function() {
            resume();
        };
        channel.port2.postMessage(0);
    });
});

} // namespace

void put_image(const uint8_t* rgba, int image_width, int image_height, int x, int y, int width,
               int height) {
    js_put_image(rgba, image_width, image_height, x, y, width, height);
}

void place_canvas(int dx, int dy) {
    js_place_canvas(dx, dy);
}

void set_wait_cursor(bool on) {
    js_set_wait_cursor(on ? 1 : 0);
}

Pointer pointer() {
    return {js_pointer_x(), js_pointer_y(), js_pointer_held() != 0};
}

void show_error(const std::string& title, const std::string& text) {
    js_show_error(title.c_str(), text.c_str());
}

void report_frame(double work_ms, double put_ms) {
    js_report_frame(work_ms, put_ms);
}

double now_ms() {
    return emscripten_get_now();
}

void give_turn() {
    const double start = now_ms();
    js_give_turn();
    note_turn(start);
}

void give_turn_after(uint32_t ms) {
    if (now_ms() - last_turn_ms >= ms) {
        give_turn();
    }
}

void sleep(uint32_t ms) {
    const double start = now_ms();
    emscripten_sleep(ms);
    note_turn(start);
}

double work_around_last_turn_ms() {
    return (last_turn_start_ms - previous_turn_ms) + (now_ms() - last_turn_ms);
}

} // namespace platform::page

// The page's switch calls this, between the program's turns.
extern "C" EMSCRIPTEN_KEEPALIVE void skarvelin_language_switched(int english) {
    if (platform::page::show_language) {
        platform::page::show_language(english ? platform::Language::English
                                              : platform::Language::Japanese);
    }
}

namespace platform {

Language chosen_language() {
    return page::js_page_is_english() ? Language::English : Language::Japanese;
}

void on_language_switch(std::function<void(Language)> show) {
    page::show_language = std::move(show);
}

int end_in_browser(int status) {
    // Runs the exit handlers and tells the page (Module.onExit), although the page's
    // pending turns would otherwise keep the program alive.
    emscripten_force_exit(status);
    return status;
}

} // namespace platform
