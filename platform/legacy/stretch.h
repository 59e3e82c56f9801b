#pragma once
// Resampling a picture to another size.

#include "platform/legacy/gdi.h"

namespace platform {

// A copy of a 32-bit `source` resampled to width x height: shrinking averages the
// area each pixel covers, enlarging interpolates between neighbours. Throws
// std::invalid_argument for other depths and for sizes below 1 x 1.
Bitmap stretch(const Bitmap& source, int width, int height);

} // namespace platform
