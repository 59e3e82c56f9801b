#pragma once
// The page around the game in a browser: its one canvas, the pointer, the error box
// and the figures it shows. The page's script does the work; these only call it.

#include <cstdint>
#include <string>

namespace platform::page {

// Puts the rectangle (x, y, width, height) of an RGBA image the size of the canvas on it.
void put_image(const uint8_t* rgba, int image_width, int image_height, int x, int y, int width,
               int height);
// Shows the canvas at an offset from its centred place on the page.
void place_canvas(int dx, int dy);
void set_wait_cursor(bool on);

struct Pointer {
    int x = 0, y = 0; // page pixels
    bool held = false;
};
Pointer pointer();

void show_error(const std::string& title, const std::string& text);
// What a frame of the window on the canvas cost, for the page's figures: the program's
// work, and putting the picture on the canvas.
void report_frame(double work_ms, double put_ms);

// Milliseconds since the page started, with a fraction.
double now_ms();

// Lets the browser run what is waiting (input, timers, painting) and comes back at once.
void give_turn();
// The same, when the browser has had no turn for `ms` milliseconds.
void give_turn_after(uint32_t ms);
// Gives the browser its turn and comes back after `ms` milliseconds.
void sleep(uint32_t ms);
// The time the program worked on either side of the latest turn: from the end of the turn
// before it to its start, and from its end until now. A frame of the game window works, then
// waits, and is presented as soon as the wait's first turn is over: this is its work.
double work_around_last_turn_ms();

} // namespace platform::page
