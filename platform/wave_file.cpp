#include "platform/wave_file.h"

#include <cstdint>

namespace platform {

namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kIeeeFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 384000;
constexpr uint16_t kMaxChannels = 8;

uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

uint32_t u32(std::string_view b, size_t at) {
    return uint32_t{u16(b, at)} | uint32_t{u16(b, at + 2)} << 16;
}

// The body of the first `fmt ` chunk, or an empty view when there is none whole in `head`.
std::string_view find_format_chunk(std::string_view head) {
    size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::string_view id = head.substr(at, 4);
        const uint32_t size = u32(head, at + 4);
        const size_t body = at + 8;
        if (id == "fmt ") {
            return size <= head.size() - body ? head.substr(body, size) : std::string_view{};
        }
        // Chunks are padded to an even length.
        if (size > head.size() - body) {
            break;
        }
        at = body + size + (size & 1u);
    }
    return {};
}

// The sample format a format tag stands for, looking inside the extensible header.
uint16_t sample_format(std::string_view fmt) {
    const uint16_t tag = u16(fmt, 0);
    if (tag != kExtensible) {
        return tag;
    }
    // cbSize (22), valid bits, channel mask, then the sub-format GUID whose first two
    // bytes are the plain tag.
    return fmt.size() >= 40 && u16(fmt, 16) >= 22 ? u16(fmt, 24) : 0;
}

std::string sample_problem(uint16_t format, uint16_t bits) {
    if (format == kPcm) {
        return bits == 8 || bits == 16 || bits == 24 || bits == 32
                   ? ""
                   : std::to_string(bits) + "-bit PCM is not played";
    }
    if (format == kIeeeFloat) {
        return bits == 32 ? "" : std::to_string(bits) + "-bit floating point is not played";
    }
    return "sample format " + std::to_string(format) + " is not played (PCM or float only)";
}

} // namespace

std::string wave_problem(std::string_view head) {
    if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WAVE") {
        return "not a RIFF WAVE file";
    }
    const std::string_view fmt = find_format_chunk(head);
    if (fmt.size() < 16) {
        return "no whole format (fmt) chunk near the start";
    }
    const uint16_t channels = u16(fmt, 2);
    const uint32_t rate = u32(fmt, 4);
    const uint16_t block_align = u16(fmt, 12);
    const uint16_t bits = u16(fmt, 14);
    if (channels < 1 || channels > kMaxChannels) {
        return std::to_string(channels) + " channels (1 to 8 are played)";
    }
    if (rate < 1 || rate > kMaxRate) {
        return "a rate of " + std::to_string(rate) + " Hz (1 to 384000 are played)";
    }
    if (std::string why = sample_problem(sample_format(fmt), bits); !why.empty()) {
        return why;
    }
    if (block_align != channels * (bits / 8)) {
        return "a block alignment of " + std::to_string(block_align) + " bytes for " +
               std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
    }
    return "";
}

} // namespace platform
