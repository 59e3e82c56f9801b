#pragma once
// Copying and filling onto a window's client image, clipped to it, for the
// controls and the form that compose it.

#include "platform/legacy/gdi.h"
#include "platform/legacy/region.h"

#include <cstdint>
#include <optional>

namespace platform {

// Copies a bitmap onto the client image at (x, y), at most w x h of it, keeping
// only the points inside the region (in the source's coordinates) when there is one.
// Both must be 32-bit; otherwise nothing is copied.
void blit_clipped(Bitmap& client, const Bitmap& src, int x, int y, int w, int h,
                  const std::optional<RoundRegion>& region);

void fill_rect(Bitmap& client, int x, int y, int w, int h, uint32_t xrgb);

} // namespace platform
