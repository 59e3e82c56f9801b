#include "platform/system/wave_file.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kIeeeFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;
// No music is recorded below telephone quality.
constexpr uint32_t kMinRate = 8000;
constexpr uint32_t kMaxRate = 384000;
constexpr uint16_t kMaxChannels = 8;
constexpr int kMaxChunks = 4096;
// The longest format chunk read: the extensible header.
constexpr size_t kFormatBytes = 40;
// The mixer reads this many frames at a time and converts each read in one piece, as
// 32-bit floats at the output's rate, holding the audio lock meanwhile.
constexpr uint64_t kFramesPerRead = 4096;
constexpr uint64_t kMaxConversionBytes = 4u << 20;

uint16_t u16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

uint32_t u32(std::string_view b, size_t at) {
    return uint32_t{u16(b, at)} | uint32_t{u16(b, at + 2)} << 16;
}

// The sample format a format tag stands for, looking inside the extensible header.
uint16_t sample_format(std::string_view fmt) {
    const uint16_t tag = u16(fmt, 0);
    if (tag != kExtensible) {
        return tag;
    }
    // cbSize (22), valid bits, channel mask, then the sub-format GUID whose first two
    // bytes are the plain tag.
    return fmt.size() >= kFormatBytes && u16(fmt, 16) >= 22 ? u16(fmt, 24) : 0;
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

uint64_t conversion_bytes(uint16_t channels, uint32_t rate, const WaveOutput& output) {
    const uint64_t frames = (kFramesPerRead * output.rate + rate - 1) / rate;
    return frames * std::max(channels, output.channels) * sizeof(float);
}

// `fmt` holds the chunk's first bytes, up to kFormatBytes.
std::string format_problem(std::string_view fmt, const WaveOutput& output) {
    if (fmt.size() < 16) {
        return "its format (fmt) chunk is too short";
    }
    const uint16_t channels = u16(fmt, 2);
    const uint32_t rate = u32(fmt, 4);
    const uint16_t block_align = u16(fmt, 12);
    const uint16_t bits = u16(fmt, 14);
    if (channels < 1 || channels > kMaxChannels) {
        return std::to_string(channels) + " channels (1 to 8 are played)";
    }
    if (rate < kMinRate || rate > kMaxRate) {
        return "a rate of " + std::to_string(rate) + " Hz (8000 to 384000 are played)";
    }
    if (std::string why = sample_problem(sample_format(fmt), bits); !why.empty()) {
        return why;
    }
    if (block_align != channels * (bits / 8)) {
        return "a block alignment of " + std::to_string(block_align) + " bytes for " +
               std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
    }
    if (const uint64_t bytes = conversion_bytes(channels, rate, output);
        bytes > kMaxConversionBytes) {
        return std::to_string(channels) + " channels at " + std::to_string(rate) +
               " Hz would take " + std::to_string(bytes >> 10) + " KiB at a time to convert to " +
               std::to_string(output.rate) + " Hz (at most " +
               std::to_string(kMaxConversionBytes >> 10) + " KiB)";
    }
    return "";
}

// Why a walk that found no `what` chunk found none.
std::string missing_chunk(const std::string& what, const std::string& padded_chunk) {
    if (padded_chunk.empty()) {
        return "no " + what + " chunk";
    }
    return "the player finds no " + what + " chunk: it does not skip the pad byte after " +
           "the odd-length chunk " + quoted(padded_chunk);
}

std::string read_at(const WaveReader& read, uint64_t offset, size_t size) {
    std::string bytes(size, '\0');
    bytes.resize(std::min(size, read(offset, bytes.data(), size)));
    return bytes;
}

} // namespace

std::string wave_problem(const WaveReader& read, const WaveOutput& output) {
    const std::string riff = read_at(read, 0, 12);
    if (riff.size() < 12 || riff.compare(0, 4, "RIFF") != 0 || riff.compare(8, 4, "WAVE") != 0) {
        return "not a RIFF WAVE file";
    }
    bool has_format = false;
    bool has_data = false;
    // RIFF pads a chunk of odd length with a byte the mixer reads as the next header's first.
    std::string odd_chunk, padded_chunk;
    uint64_t at = 12;
    for (int chunks = 0;; ++chunks) {
        const std::string header = read_at(read, at, 8);
        if (!odd_chunk.empty() && padded_chunk.empty() && !header.empty() && header[0] == '\0') {
            padded_chunk = odd_chunk;
        }
        // A short header reads as length zero, which ends the walk.
        const uint32_t length = header.size() == 8 ? u32(header, 4) : 0;
        if (length == 0) {
            break;
        }
        if (chunks == kMaxChunks) {
            return "more than " + std::to_string(kMaxChunks) + " chunks";
        }
        const std::string_view id = std::string_view(header).substr(0, 4);
        if (id == "fmt ") {
            if (has_format) {
                return "more than one format (fmt) chunk";
            }
            has_format = true;
            const std::string fmt = read_at(read, at + 8, std::min<size_t>(length, kFormatBytes));
            if (fmt.size() < std::min<size_t>(length, kFormatBytes)) {
                return "its format (fmt) chunk is cut short";
            }
            if (std::string why = format_problem(fmt, output); !why.empty()) {
                return why;
            }
        } else if (id == "data") {
            has_data = true;
        } else if (id == "LIST" || id == "smpl" || id == "id3 ") {
            return "it holds a metadata chunk (" + std::string(id) + ")";
        }
        odd_chunk = length % 2 == 1 ? std::string(id) : "";
        at += 8 + uint64_t{length};
    }
    if (!has_format) {
        return missing_chunk("format (fmt)", padded_chunk);
    }
    return has_data ? "" : missing_chunk("data", padded_chunk);
}

std::string wave_problem(std::string_view file, const WaveOutput& output) {
    return wave_problem(
        [file](uint64_t offset, char* out, size_t size) -> size_t {
            if (offset >= file.size()) {
                return 0;
            }
            const size_t n = std::min<uint64_t>(size, file.size() - offset);
            std::memcpy(out, file.data() + offset, n);
            return n;
        },
        output);
}

std::string ogg_vorbis_problem(const WaveReader& read) {
    // An Ogg page's header is 27 bytes and its table of segment lengths; the first packet
    // follows them.
    constexpr size_t kPageHeader = 27;
    char header[kPageHeader];
    if (read(0, header, kPageHeader) != kPageHeader || std::string_view(header, 4) != "OggS" ||
        header[4] != 0) {
        return "not an Ogg file";
    }
    const auto segments = static_cast<unsigned char>(header[26]);
    constexpr std::string_view kIdentification("\x01vorbis", 7);
    char packet[kIdentification.size()];
    if (read(kPageHeader + segments, packet, sizeof packet) != sizeof packet ||
        std::string_view(packet, sizeof packet) != kIdentification) {
        return "not an Ogg Vorbis file";
    }
    return {};
}

} // namespace platform
