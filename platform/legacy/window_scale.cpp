#include "platform/legacy/window_scale.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Larger asks are all the same: the cap applies long before.
constexpr int kLargestParsedScale = 1'000'000;

int floor_div(int a, int b) {
    return a / b - ((a % b != 0 && a < 0) ? 1 : 0);
}

bool has_area(PixelSize s) {
    return s.width > 0 && s.height > 0;
}

// The columns [first, last] in which two runs of n pixels differ; false when they are equal.
bool changed_span(const uint32_t* a, const uint32_t* b, int n, int& first, int& last) {
    if (std::memcmp(a, b, size_t(n) * 4) == 0) {
        return false;
    }
    first = 0;
    while (a[first] == b[first]) {
        ++first;
    }
    last = n - 1;
    while (a[last] == b[last]) {
        --last;
    }
    return true;
}

} // namespace

std::optional<int> parse_window_scale(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - '0'), kLargestParsedScale);
    }
    return value >= 1 ? std::optional<int>(value) : std::nullopt;
}

int display_window_scale(PixelSize client, PixelSize usable) {
    if (!has_area(client) || !has_area(usable)) {
        return 1;
    }
    const int by_height = usable.height * 6 / (client.height * 10);
    const int by_width = usable.width / client.width;
    return std::clamp(std::min(by_height, by_width), 1, kMaxWindowScale);
}

int fitting_window_scale(PixelSize client, PixelSize screen) {
    if (!has_area(client) || !has_area(screen)) {
        return 1;
    }
    return std::max(1, std::min(screen.width / client.width, screen.height / client.height));
}

int capped_window_scale(int asked, PixelSize client, PixelSize screen) {
    const int largest = std::min(kMaxWindowScale, fitting_window_scale(client, screen));
    return std::clamp(asked, 1, largest);
}

PixelPoint Magnification::to_client(int x, int y) const {
    return {floor_div(x - left, factor), floor_div(y - top, factor)};
}

Magnification centred_magnification(PixelSize client, PixelSize screen) {
    const int factor = fitting_window_scale(client, screen);
    const PixelSize shown{client.width * factor, client.height * factor};
    return {factor, std::max(0, (screen.width - shown.width) / 2),
            std::max(0, (screen.height - shown.height) / 2)};
}

std::vector<RowRun> full_rows(PixelSize client) {
    return std::vector<RowRun>(size_t(std::max(client.height, 0)),
                               RowRun{0, std::max(client.width, 0)});
}

std::vector<RowRun> outline_rows(const RoundRegion& outline, PixelSize client) {
    std::vector<RowRun> rows(size_t(std::max(client.height, 0)));
    for (int y = 0; y < client.height; ++y) {
        int x0 = 0, x1 = 0;
        if (outline.row_span(y, x0, x1)) {
            x0 = std::clamp(x0, 0, client.width);
            x1 = std::clamp(x1, x0, client.width);
            rows[size_t(y)] = {x0, x1};
        }
    }
    return rows;
}

void fill_magnified_mask(const std::vector<RowRun>& rows, int factor, const PixelTarget& target) {
    factor = std::max(factor, 1);
    for (int y = 0; y < target.height; ++y) {
        uint32_t* row = target.row(y);
        std::fill(row, row + target.width, 0u);
        const size_t client_y = size_t(y / factor);
        if (client_y < rows.size()) {
            const int x0 = std::min(rows[client_y].x0 * factor, target.width);
            const int x1 = std::clamp(rows[client_y].x1 * factor, x0, target.width);
            std::fill(row + x0, row + x1, 0xFFFFFFFFu);
        }
    }
}

void MagnifiedFrame::set_layout(PixelSize client, Magnification placement,
                                std::vector<RowRun> visible) {
    client_ = {std::max(client.width, 0), std::max(client.height, 0)};
    placement_ = {std::max(placement.factor, 1), std::max(placement.left, 0),
                  std::max(placement.top, 0)};
    visible_ = std::move(visible);
    visible_.resize(size_t(client_.height));
    shown_.assign(placement_.factor > 1 ? size_t(client_.width) * size_t(client_.height) : 0, 0);
    whole_ = true;
}

PixelRect MagnifiedFrame::update(const Bitmap& client, const PixelTarget& target) {
    const PixelSize drawn = drawn_size(client, target);
    if (whole_) {
        whole_ = false;
        return write_whole(client, target, drawn);
    }
    return write_changes(client, target, drawn);
}

PixelRect MagnifiedFrame::update(const Bitmap& client, const PixelTarget& target,
                                 const PixelRect& changed) {
    const PixelSize drawn = drawn_size(client, target);
    if (whole_) {
        whole_ = false;
        return write_whole(client, target, drawn);
    }
    return write_rect(client, target, drawn, changed);
}

// The part of the client that the image, the layout and the target all hold.
PixelSize MagnifiedFrame::drawn_size(const Bitmap& client, const PixelTarget& target) const {
    if (!target.pixels || client.bits_per_pixel() != 32) {
        return {};
    }
    const int f = placement_.factor;
    return {std::max(
                0, std::min({client_.width, client.width(), (target.width - placement_.left) / f})),
            std::max(0, std::min({client_.height, client.height(),
                                  (target.height - placement_.top) / f}))};
}

PixelRect MagnifiedFrame::write_whole(const Bitmap& client, const PixelTarget& target,
                                      PixelSize drawn) {
    if (!target.pixels) {
        return {};
    }
    for (int y = 0; y < target.height; ++y) {
        std::memset(target.row(y), 0, size_t(std::max(target.width, 0)) * 4);
    }
    for (int y = 0; y < drawn.height; ++y) {
        const RowRun run = visible_[size_t(y)];
        const int x1 = std::min(run.x1, drawn.width);
        if (run.x0 < x1) {
            write_run(client.row(y), y, run.x0, x1, target);
        }
    }
    return {0, 0, target.width, target.height};
}

PixelRect MagnifiedFrame::write_changes(const Bitmap& client, const PixelTarget& target,
                                        PixelSize drawn) {
    int x0 = drawn.width, x1 = -1, y0 = -1, y1 = -1;
    for (int y = 0; y < drawn.height; ++y) {
        const RowRun run = visible_[size_t(y)];
        const int end = std::min(run.x1, drawn.width);
        int first = 0, last = 0;
        if (run.x0 < end && changed_span(client.row(y) + run.x0, shown_row(target, y) + run.x0,
                                         end - run.x0, first, last)) {
            write_run(client.row(y), y, run.x0 + first, run.x0 + last + 1, target);
            x0 = std::min(x0, run.x0 + first);
            x1 = std::max(x1, run.x0 + last);
            y0 = y0 < 0 ? y : y0;
            y1 = y;
        }
    }
    return y0 < 0 ? PixelRect{} : target_rect(x0, y0, x1, y1);
}

PixelRect MagnifiedFrame::write_rect(const Bitmap& client, const PixelTarget& target,
                                     PixelSize drawn, const PixelRect& changed) {
    int x0 = drawn.width, x1 = -1, y0 = -1, y1 = -1;
    const int end_y = std::min(drawn.height, changed.y + changed.height);
    for (int y = std::max(changed.y, 0); y < end_y; ++y) {
        const RowRun run = visible_[size_t(y)];
        const int from = std::max(run.x0, changed.x);
        const int end = std::min({run.x1, drawn.width, changed.x + changed.width});
        if (from < end) {
            write_run(client.row(y), y, from, end, target);
            x0 = std::min(x0, from);
            x1 = std::max(x1, end - 1);
            y0 = y0 < 0 ? y : y0;
            y1 = y;
        }
    }
    return y0 < 0 ? PixelRect{} : target_rect(x0, y0, x1, y1);
}

PixelRect MagnifiedFrame::target_rect(int x0, int y0, int x1, int y1) const {
    const int f = placement_.factor;
    return {placement_.left + x0 * f, placement_.top + y0 * f, (x1 - x0 + 1) * f,
            (y1 - y0 + 1) * f};
}

uint32_t* MagnifiedFrame::shown_row(const PixelTarget& target, int y) {
    if (placement_.factor == 1) {
        return target.row(placement_.top + y) + placement_.left;
    }
    return shown_.data() + ptrdiff_t(y) * client_.width;
}

void MagnifiedFrame::write_run(const uint32_t* source, int y, int x0, int x1,
                               const PixelTarget& target) {
    const int f = placement_.factor;
    const size_t n = size_t(x1 - x0);
    if (f == 1) {
        std::memcpy(target.row(placement_.top + y) + placement_.left + x0, source + x0, n * 4);
        return;
    }
    std::memcpy(shown_row(target, y) + x0, source + x0, n * 4);
    const int top = placement_.top + y * f;
    uint32_t* const first = target.row(top) + placement_.left + x0 * f;
    for (int x = x0; x < x1; ++x) {
        std::fill_n(first + (x - x0) * f, f, source[x]);
    }
    for (int r = 1; r < f; ++r) {
        std::memcpy(target.row(top + r) + placement_.left + x0 * f, first, n * size_t(f) * 4);
    }
}

} // namespace platform
