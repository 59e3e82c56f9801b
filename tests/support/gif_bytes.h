#pragma once
// GIF files made in memory for the decoding tests.

#include <cstdint>
#include <string>
#include <vector>

// A w x h GIF whose pixel (x, y) has colour index (x + 2 * y) % colours, from a palette of
// `colours` (a power of two, 2 to 256) where index i is rgb(i, 255 - i, 7 * i % 256).
std::string gif_bytes(int w, int h, int colours, bool interlaced = false);

// The colour gif_bytes gives pixel (x, y), as 0x00RRGGBB.
uint32_t gif_pixel(int x, int y, int colours);

// A 34-byte GIF declaring a w x h screen and picture, with the pixels of a 1 x 1 one.
std::string gif_header_claiming(int w, int h);
