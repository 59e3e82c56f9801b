#pragma once
// Copying and filling onto a window's client image, clipped to it, for the
// controls and the form that compose it.

#include "platform/legacy/gdi.h"
#include "platform/legacy/region.h"
#include "platform/legacy/window_scale.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Copies a bitmap onto the client image at (x, y), at most w x h of it, keeping
// only the points inside the region (in the source's coordinates) when there is one.
// Both must be 32-bit; otherwise nothing is copied.
void blit_clipped(Bitmap& client, const Bitmap& src, int x, int y, int w, int h,
                  const std::optional<RoundRegion>& region);

// The same for a source whose shown part is one run a row (in its own columns), writing
// only the runs that differ from what the client holds there; the rectangle of the client
// that changed (empty when nothing did).
PixelRect copy_changed(Bitmap& client, const Bitmap& src, int x, int y,
                       const std::vector<RowRun>& rows);

void fill_rect(Bitmap& client, int x, int y, int w, int h, uint32_t xrgb);

} // namespace platform
