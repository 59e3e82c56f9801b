// The end-to-end suite's measuring tool: looks at screenshots, at the screen's live
// frame buffer and at the mixed audio output, and prints what it found on one line.
// Every command exits 0 when the check it names holds, 1 when it does not, 2 for bad use.

#include "platform/sdl/handles.h"

#include <SDL.h>
#include <SDL_image.h>
#include <X11/Xlib.h>

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Rgb = uint32_t; // 0xRRGGBB

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kTeal = 0x30B0B0; // the stars

struct Rect {
    int x, y, w, h;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string hex(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(c));
    return text;
}

int number(const char* text) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') {
        throw UsageError(std::string("not a number: ") + text);
    }
    return static_cast<int>(v);
}

Rgb colour(const char* text) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 16);
    if (std::strlen(text) != 6 || *end != '\0') {
        throw UsageError(std::string("not a colour RRGGBB: ") + text);
    }
    return static_cast<Rgb>(v);
}

Rect rect_at(char** args) {
    return {number(args[0]), number(args[1]), number(args[2]), number(args[3])};
}

// A picture as plain 0xRRGGBB pixels.
class Picture {
  public:
    Picture(int w, int h) : w_(w), h_(h), px_(size_t(w) * size_t(h), kBlack) {}

    static Picture load(const std::string& path) {
        const sdl::SurfacePtr raw(IMG_Load(path.c_str()));
        if (!raw) {
            throw std::runtime_error("cannot read " + path + ": " + IMG_GetError());
        }
        const sdl::SurfacePtr s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB888, 0));
        if (!s) {
            throw std::runtime_error("cannot convert " + path + ": " + SDL_GetError());
        }
        Picture p(s->w, s->h);
        for (int y = 0; y < s->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(s->pixels) + ptrdiff_t(y) * s->pitch);
            for (int x = 0; x < s->w; ++x) {
                p.set(x, y, row[x] & 0xFFFFFF);
            }
        }
        return p;
    }

    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    // Outside the picture reads as a colour no pixel has, so it never matches.
    Rgb at(int x, int y) const {
        return inside(x, y) ? px_[size_t(y) * size_t(w_) + size_t(x)] : 0xFF000000;
    }
    void set(int x, int y, Rgb c) { px_[size_t(y) * size_t(w_) + size_t(x)] = c; }

  private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// Where a shaped window may let the screen behind it show: its corners and a thin band
// along its edges (a window's outline may start a few pixels in).
bool may_be_cut_away(int x, int y, int w, int h) {
    constexpr int kCorner = 40, kBand = 4;
    const int dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
    return (dx < kCorner && dy < kCorner) || dx < kBand || dy < kBand;
}

// compare SHOT X Y REF SCALE [BACKDROP]: REF magnified SCALE times (nearest neighbour) lies
// at (X, Y) of SHOT. With BACKDROP, the screen's background colour, a rounded window may
// show it at its corners and edges, where its shape cuts pixels away: those are counted
// apart. Prints how many pixels differ and the box that holds them, in REF's pixels.
int compare(int argc, char** a) {
    const Picture shot = Picture::load(a[0]);
    const int ox = number(a[1]), oy = number(a[2]);
    const Picture ref = Picture::load(a[3]);
    const int scale = number(a[4]);
    const bool rounded = argc > 5;
    const Rgb backdrop = rounded ? colour(a[5]) : kBlack;
    long differ = 0, cut = 0;
    int left = ref.width(), right = -1, top = ref.height(), bottom = -1;
    std::string first;
    for (int y = 0; y < ref.height() * scale; ++y) {
        for (int x = 0; x < ref.width() * scale; ++x) {
            const Rgb want = ref.at(x / scale, y / scale), got = shot.at(ox + x, oy + y);
            if (rounded && got == backdrop &&
                may_be_cut_away(x / scale, y / scale, ref.width(), ref.height())) {
                ++cut;
                continue;
            }
            if (want == got) {
                continue;
            }
            if (differ++ == 0) {
                first = "; the first at (" + std::to_string(x) + "," + std::to_string(y) +
                        "): reference " + hex(want) + ", screen " + hex(got);
            }
            left = std::min(left, x / scale);
            right = std::max(right, x / scale);
            top = std::min(top, y / scale);
            bottom = std::max(bottom, y / scale);
        }
    }
    std::printf("%ld of %d x %d pixels differ", differ, ref.width() * scale, ref.height() * scale);
    if (differ > 0) {
        std::printf(", within x %d..%d, y %d..%d%s", left, right, top, bottom, first.c_str());
    }
    if (rounded) {
        std::printf(" (%ld cut away by the shape)", cut);
    }
    std::printf("\n");
    return differ == 0 ? 0 : 1;
}

// pixel SHOT X Y: the colour there.
int pixel(char** a) {
    const Picture shot = Picture::load(a[0]);
    std::printf("%s\n", hex(shot.at(number(a[1]), number(a[2]))).c_str());
    return 0;
}

// count SHOT X Y W H COLOUR: how many pixels of the rectangle have the colour.
int count(char** a) {
    const Picture shot = Picture::load(a[0]);
    const Rect r = rect_at(a + 1);
    const Rgb wanted = colour(a[5]);
    long n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            n += shot.at(x, y) == wanted;
        }
    }
    std::printf("%ld\n", n);
    return 0;
}

// differ A X Y W H B X2 Y2: how many pixels of A's rectangle differ from B's rectangle of the
// same size at (X2, Y2).
int differ(char** a) {
    const Picture one = Picture::load(a[0]);
    const Rect r = rect_at(a + 1);
    const Picture two = Picture::load(a[5]);
    const int dx = number(a[6]) - r.x, dy = number(a[7]) - r.y;
    long n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            n += one.at(x, y) != two.at(x + dx, y + dy);
        }
    }
    std::printf("%ld\n", n);
    return 0;
}

// crisp SHOT X Y W H N: every N x N block of the rectangle (from its corner) one colour.
int crisp(char** a) {
    const Picture shot = Picture::load(a[0]);
    const Rect r = rect_at(a + 1);
    const int n = number(a[5]);
    long blocks = 0, mixed = 0, coloured = 0;
    for (int by = r.y; by + n <= r.y + r.h; by += n) {
        for (int bx = r.x; bx + n <= r.x + r.w; bx += n) {
            ++blocks;
            const Rgb c = shot.at(bx, by);
            bool same = true;
            for (int y = by; y < by + n; ++y) {
                for (int x = bx; x < bx + n; ++x) {
                    same = same && shot.at(x, y) == c;
                }
            }
            mixed += !same;
            coloured += c != shot.at(r.x, r.y);
        }
    }
    std::printf("%ld of %ld blocks mixed, %ld unlike the first\n", mixed, blocks, coloured);
    // A flat area would pass without showing anything: the sample must hold a picture.
    return mixed == 0 && coloured > blocks / 10 ? 0 : 1;
}

// The fighter: the pixels of a headless runner's frame inside a box that are neither
// the black field nor a star.
struct Sprite {
    std::vector<std::pair<int, int>> at; // relative to the box
    std::vector<Rgb> colour;
};

Sprite cut_sprite(const Picture& frame, const Rect& box) {
    Sprite s;
    for (int y = 0; y < box.h; ++y) {
        for (int x = 0; x < box.w; ++x) {
            const Rgb c = frame.at(box.x + x, box.y + y);
            if (c != kBlack && c != kTeal) {
                s.at.emplace_back(x, y);
                s.colour.push_back(c);
            }
        }
    }
    return s;
}

size_t matches(const Picture& shot, const Sprite& s, int x0, int y0) {
    size_t n = 0;
    for (size_t i = 0; i < s.at.size(); ++i) {
        n += shot.at(x0 + s.at[i].first, y0 + s.at[i].second) == s.colour[i];
    }
    return n;
}

// find-sprite SHOT SX SY SW SH FRAME BX BY BW BH: where in SHOT's search rectangle the
// sprite cut from FRAME's box matches best; prints "x y matched of total" (x, y relative
// to the search rectangle, comparable with the box's place). Holds when 95 % match.
int find_sprite(char** a) {
    const Picture shot = Picture::load(a[0]);
    const Rect search = rect_at(a + 1);
    const Sprite sprite = cut_sprite(Picture::load(a[5]), rect_at(a + 6));
    if (sprite.at.empty()) {
        throw UsageError("the reference box holds no sprite");
    }
    size_t best = 0;
    int best_x = 0, best_y = 0;
    for (int y = 0; y < search.h; ++y) {
        for (int x = 0; x < search.w; ++x) {
            const size_t n = matches(shot, sprite, search.x + x, search.y + y);
            if (n > best) {
                best = n;
                best_x = x;
                best_y = y;
            }
        }
    }
    std::printf("%d %d %zu of %zu\n", best_x, best_y, best, sprite.at.size());
    return best * 20 >= sprite.at.size() * 19 ? 0 : 1;
}

// The mixed output and the pieces that may be in it, as 16-bit stereo frames.
std::vector<char> read_bytes(const std::string& path, long from, long to) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    in.seekg(0, std::ios::end);
    const long size = static_cast<long>(in.tellg());
    to = to < 0 ? size : std::min(to, size);
    from = std::clamp(from, 0L, to);
    std::vector<char> bytes(size_t(to - from));
    in.seekg(from);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

std::string base_name(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    return name.substr(0, name.find('.'));
}

struct Piece {
    std::string name;
    std::vector<char> samples; // the wave file's data chunk
};

// The sample data of a canonical 16-bit PCM wave file: its "data" chunk.
Piece load_piece(const std::string& path) {
    std::vector<char> file = read_bytes(path, 0, -1);
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &file[at + 4], 4);
        if (std::memcmp(&file[at], "data", 4) == 0) {
            const size_t end = std::min(file.size(), at + 8 + size);
            return {base_name(path),
                    std::vector<char>(file.begin() + long(at + 8), file.begin() + long(end))};
        }
        at += 8 + size + (size & 1);
    }
    throw std::runtime_error(path + " has no data chunk");
}

// audio OUT FROM TO WAVE...: splits bytes [FROM, TO) of the output (TO -1: its end) into
// blocks of 4096 bytes and names each: "silence" when all zero, the wave file it is a
// verbatim stretch of (the mixer at full volume copies samples), or "unknown".
// Prints "NAME=COUNT ..." in order of first appearance.
int audio(int argc, char** a) {
    constexpr size_t kBlock = 4096;
    std::vector<char> out = read_bytes(a[0], number(a[1]), number(a[2]));
    std::vector<Piece> pieces;
    for (int i = 3; i < argc; ++i) {
        pieces.push_back(load_piece(a[i]));
    }
    std::vector<std::pair<std::string, int>> tally;
    auto note = [&](const std::string& name) {
        auto it =
            std::find_if(tally.begin(), tally.end(), [&](auto& t) { return t.first == name; });
        if (it == tally.end()) {
            tally.emplace_back(name, 1);
        } else {
            ++it->second;
        }
    };
    // Where the last block was found: the next one usually follows it directly.
    const Piece* last = nullptr;
    size_t last_end = 0;
    for (size_t at = 0; at + kBlock <= out.size(); at += kBlock) {
        const char* block = &out[at];
        if (std::all_of(block, block + kBlock, [](char c) { return c == 0; })) {
            note("silence");
            last = nullptr;
            continue;
        }
        if (last && last_end + kBlock <= last->samples.size() &&
            std::memcmp(&last->samples[last_end], block, kBlock) == 0) {
            last_end += kBlock;
            note(last->name);
            continue;
        }
        last = nullptr;
        for (const Piece& p : pieces) {
            const void* hit = memmem(p.samples.data(), p.samples.size(), block, kBlock);
            if (hit) {
                last = &p;
                last_end = size_t(static_cast<const char*>(hit) - p.samples.data()) + kBlock;
                break;
            }
        }
        note(last ? last->name : "unknown");
    }
    for (size_t i = 0; i < tally.size(); ++i) {
        std::printf("%s%s=%d", i ? " " : "", tally[i].first.c_str(), tally[i].second);
    }
    std::printf("\n");
    return 0;
}

// The X server's screen as Xvfb keeps it in a file (-fbdir): an XWD image, mapped.
class FrameBuffer {
  public:
    explicit FrameBuffer(const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0) {
            throw std::runtime_error("cannot open the frame buffer " + path);
        }
        size_ = size_t(st.st_size);
        void* m = mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
        close(fd);
        if (m == MAP_FAILED) {
            throw std::runtime_error("cannot map the frame buffer " + path);
        }
        base_ = static_cast<const uint8_t*>(m);
        const uint32_t header = field(0), bpp = field(11), colours = field(19);
        width_ = int(field(4));
        height_ = int(field(5));
        stride_ = field(12);
        pixels_ = base_ + header + colours * 12;
        if (bpp != 32 || pixels_ + size_t(height_) * stride_ > base_ + size_) {
            throw std::runtime_error("the frame buffer is not a 32-bit screen");
        }
    }
    ~FrameBuffer() { munmap(const_cast<uint8_t*>(base_), size_); }
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    Rgb at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            return 0xFF000000;
        }
        uint32_t v = 0;
        std::memcpy(&v, pixels_ + size_t(y) * stride_ + size_t(x) * 4, 4);
        return v & 0xFFFFFF;
    }

  private:
    // The header's fields are 32-bit big-endian.
    uint32_t field(int i) const {
        const uint8_t* p = base_ + i * 4;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }

    const uint8_t* base_ = nullptr;
    size_t size_ = 0;
    const uint8_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    size_t stride_ = 0;
};

bool is_text_green(Rgb c) {
    return (c >> 16) < 0x40 && ((c >> 8) & 0xFF) >= 0x80 && (c & 0xFF) < 0x40;
}

// How many separate bands of rows hold green text at the left edge of a black area (lines
// of text start there); -1 when the area is not mostly black (another window lies there).
// Both looks are sparse, so that a watch sees states that last a fraction of a millisecond.
int text_bands(const FrameBuffer& fb, const Rect& r) {
    constexpr int kTextColumns = 24, kGrid = 7;
    long black = 0, sampled = 0;
    for (int y = r.y; y < r.y + r.h; y += kGrid) {
        for (int x = r.x; x < r.x + r.w; x += kGrid) {
            black += fb.at(x, y) == kBlack;
            ++sampled;
        }
    }
    if (black * 10 < sampled * 9) {
        return -1;
    }
    int bands = 0;
    bool in_band = false;
    for (int y = r.y; y < r.y + r.h; ++y) {
        bool text = false;
        for (int x = r.x; x < r.x + kTextColumns && !text; ++x) {
            text = is_text_green(fb.at(x, y));
        }
        bands += text && !in_band;
        in_band = text;
    }
    return bands;
}

// watch-lines FB X Y W H MS: watches the screen's rectangle for up to MS milliseconds,
// from when it turns mostly black, and prints each new count of green text lines seen
// in it ("0 1 2 3 4 5 0"). Holds when the lines grew to the most seen and went again.
int watch_lines(char** a) {
    const FrameBuffer fb(a[0]);
    const Rect r = rect_at(a + 1);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(number(a[5]));
    std::vector<int> seen;
    while (std::chrono::steady_clock::now() < deadline) {
        const int bands = text_bands(fb, r);
        if (bands >= 0 && (seen.empty() || seen.back() != bands)) {
            seen.push_back(bands);
        }
        if (seen.size() > 1 && bands == 0) {
            break;
        }
    }
    for (size_t i = 0; i < seen.size(); ++i) {
        std::printf("%s%d", i ? " " : "", seen[i]);
    }
    std::printf("\n");
    return seen.size() > 1 && seen.back() == 0 ? 0 : 1;
}

// backdrop COLOUR: paints the X screen's root window in a colour no window of the game
// shows, so that a screenshot tells where a shaped window lets the screen show through.
int backdrop(char** a) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        throw std::runtime_error("cannot open the X display");
    }
    const Window root = DefaultRootWindow(display);
    XSetWindowBackground(display, root, colour(a[0]));
    XClearWindow(display, root);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

int run(int argc, char** argv) {
    if (argc < 2) {
        throw UsageError("no command");
    }
    const std::string command = argv[1];
    char** a = argv + 2;
    const int n = argc - 2;
    struct Command {
        int least, most; // arguments
        std::function<int()> run;
    };
    const std::map<std::string, Command> commands = {
        {"compare", {5, 6, [&] { return compare(n, a); }}},
        {"pixel", {3, 3, [&] { return pixel(a); }}},
        {"count", {6, 6, [&] { return count(a); }}},
        {"differ", {8, 8, [&] { return differ(a); }}},
        {"crisp", {6, 6, [&] { return crisp(a); }}},
        {"find-sprite", {10, 10, [&] { return find_sprite(a); }}},
        {"audio", {4, 1 << 20, [&] { return audio(n, a); }}},
        {"watch-lines", {6, 6, [&] { return watch_lines(a); }}},
        {"backdrop", {1, 1, [&] { return backdrop(a); }}},
    };
    const auto it = commands.find(command);
    if (it == commands.end()) {
        throw UsageError("unknown command " + command);
    }
    if (n < it->second.least || n > it->second.most) {
        throw UsageError("wrong number of arguments for " + command);
    }
    return it->second.run();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "probe: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "probe: %s\n", e.what());
        return 2;
    }
}
