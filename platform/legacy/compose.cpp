#include "platform/legacy/compose.h"

#include <algorithm>
#include <cstring>

namespace platform {

void blit_clipped(Bitmap& client, const Bitmap& src, int x, int y, int w, int h,
                  const std::optional<RoundRegion>& region) {
    if (client.bits_per_pixel() != 32 || src.bits_per_pixel() != 32) {
        return; // rows of other depths are not rows of words
    }
    const int rows = std::min(h, src.height()), cols = std::min(w, src.width());
    const int first = std::max(0, -y), end = std::min(rows, client.height() - y);
    if (!region && x == 0 && cols == client.width() && src.width() == client.width() &&
        first < end) {
        // Whole rows of one length (a window's background): one block.
        std::memcpy(client.row(y + first), src.row(first), size_t(end - first) * size_t(cols) * 4);
        return;
    }
    for (int sy = first; sy < end; ++sy) {
        int x0 = 0, x1 = cols;
        if (region) {
            int in0 = 0, in1 = 0;
            if (!region->row_span(sy, in0, in1)) {
                continue;
            }
            x0 = std::max(x0, in0);
            x1 = std::min(x1, in1);
        }
        x0 = std::max(x0, -x);
        x1 = std::min(x1, client.width() - x);
        if (x0 < x1) {
            std::memcpy(client.row(y + sy) + x + x0, src.row(sy) + x0, size_t(x1 - x0) * 4);
        }
    }
}

PixelRect copy_changed(Bitmap& client, const Bitmap& src, int x, int y,
                       const std::vector<RowRun>& rows) {
    if (client.bits_per_pixel() != 32 || src.bits_per_pixel() != 32) {
        return {};
    }
    int left = client.width(), right = 0, top = -1, bottom = -1;
    const int end = std::min({static_cast<int>(rows.size()), src.height(), client.height() - y});
    for (int sy = std::max(0, -y); sy < end; ++sy) {
        const int x0 = std::max(rows[size_t(sy)].x0, -x);
        const int x1 = std::min({rows[size_t(sy)].x1, src.width(), client.width() - x});
        if (x0 >= x1) {
            continue;
        }
        uint32_t* to = client.row(y + sy) + x + x0;
        const uint32_t* from = src.row(sy) + x0;
        const size_t bytes = size_t(x1 - x0) * 4;
        if (std::memcmp(to, from, bytes) != 0) {
            std::memcpy(to, from, bytes);
            left = std::min(left, x + x0);
            right = std::max(right, x + x1);
            top = top < 0 ? y + sy : top;
            bottom = y + sy + 1;
        }
    }
    return top < 0 ? PixelRect{} : PixelRect{left, top, right - left, bottom - top};
}

void fill_rect(Bitmap& client, int x, int y, int w, int h, uint32_t xrgb) {
    const int x0 = std::max(x, 0), x1 = std::min(x + w, client.width());
    for (int py = std::max(y, 0); py < std::min(y + h, client.height()); ++py) {
        std::fill(client.row(py) + x0, client.row(py) + std::max(x0, x1), xrgb);
    }
}

} // namespace platform
