#pragma once
// Windows magnified by a whole factor, as desktops show programs that know nothing
// of DPI: choosing the factor, mapping window points back to client pixels, and
// keeping a window's pixels showing a client image magnified nearest-neighbour
// (every client pixel a block, so pixel art stays crisp).

#include "platform/legacy/gdi.h"
#include "platform/legacy/region.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRect&) const = default;
};

// No window is magnified more than this, whatever is asked for.
inline constexpr int kMaxWindowScale = 8;

// A factor asked for in text (SKARVELIN_SCALE): a whole number from 1 up; nothing otherwise.
std::optional<int> parse_window_scale(std::string_view text);

// The largest whole factor that keeps the window within 60% of the usable height
// and within the usable width; at least 1.
int display_window_scale(PixelSize client, PixelSize usable);

// The largest whole factor at which the client fits the screen; at least 1.
int fitting_window_scale(PixelSize client, PixelSize screen);

// A factor asked for, kept within kMaxWindowScale and the screen.
int capped_window_scale(int asked, PixelSize client, PixelSize screen);

// Where a client image lies in a window's pixels: every client pixel a factor x
// factor block, the client's top-left pixel at (left, top).
struct Magnification {
    int factor = 1;
    int left = 0, top = 0;

    // The client pixel under a window point; points left of or above the client
    // give negative coordinates (the division rounds down).
    PixelPoint to_client(int x, int y) const;
    PixelSize magnified(PixelSize client) const {
        return {client.width * factor, client.height * factor};
    }
    bool operator==(const Magnification&) const = default;
};

// The client magnified by the largest whole factor that fits the screen, centred on
// it; a client larger than the screen keeps its top-left corner on the screen.
Magnification centred_magnification(PixelSize client, PixelSize screen);

// The pixels of one client row that a window shows: [x0, x1), none when x0 == x1.
struct RowRun {
    int x0 = 0, x1 = 0;
    bool operator==(const RowRun&) const = default;
};

// One run a row: every pixel, or those inside an outline (kept within the client).
std::vector<RowRun> full_rows(PixelSize client);
std::vector<RowRun> outline_rows(const RoundRegion& outline, PixelSize client);

// 32-bit 0x00RRGGBB pixels that something else owns (a window's frame buffer, a mask).
struct PixelTarget {
    uint32_t* pixels = nullptr;
    ptrdiff_t pitch = 0; // bytes from one row to the next
    int width = 0, height = 0;

    uint32_t* row(int y) const {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                           ptrdiff_t(y) * pitch);
    }
};

// A window shape mask: 0xFFFFFFFF inside the runs, each run pixel a factor x factor
// block, 0 elsewhere; clipped to the target.
void fill_magnified_mask(const std::vector<RowRun>& rows, int factor, const PixelTarget& target);

// Keeps a window's pixels showing a client image magnified, and tells which of
// them changed, so that only those travel to the screen.
class MagnifiedFrame {
  public:
    // How the client lies in the window and which of its pixels show; the next
    // update writes everything.
    void set_layout(PixelSize client, Magnification placement, std::vector<RowRun> visible);
    // The target's pixels are not what the last update left (a new frame buffer).
    void invalidate() { whole_ = true; }
    const Magnification& placement() const { return placement_; }

    // Writes into `target` what of `client` changed since the last update, or all of
    // it with black around it after set_layout or invalidate, and returns the
    // rectangle of the target that holds what was written; empty when nothing changed.
    // Pixels outside the visible runs stay black; nothing outside the target is touched.
    PixelRect update(const Bitmap& client, const PixelTarget& target);
    // The same for a client image known to differ from the last one written only within
    // `changed` (client pixels): that part is written without comparing.
    PixelRect update(const Bitmap& client, const PixelTarget& target, const PixelRect& changed);

  private:
    PixelSize drawn_size(const Bitmap& client, const PixelTarget& target) const;
    PixelRect write_whole(const Bitmap& client, const PixelTarget& target, PixelSize drawn);
    PixelRect write_changes(const Bitmap& client, const PixelTarget& target, PixelSize drawn);
    PixelRect write_rect(const Bitmap& client, const PixelTarget& target, PixelSize drawn,
                         const PixelRect& changed);
    // The target rectangle of client rows y0..y1 and columns x0..x1 (inclusive).
    PixelRect target_rect(int x0, int y0, int x1, int y1) const;
    // What was last written of client row y, in client pixels.
    uint32_t* shown_row(const PixelTarget& target, int y);
    void write_run(const uint32_t* source, int y, int x0, int x1, const PixelTarget& target);

    PixelSize client_;
    Magnification placement_;
    std::vector<RowRun> visible_;
    // The client image last written; at factor 1 the target itself holds it.
    std::vector<uint32_t> shown_;
    bool whole_ = true;
};

} // namespace platform
