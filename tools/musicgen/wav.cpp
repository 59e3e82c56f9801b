#include "wav.h"

#include <limits>
#include <stdexcept>
#include <string_view>

namespace musicgen {

namespace {

class LittleEndianWriter {
  public:
    explicit LittleEndianWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void text(std::string_view tag) { out_.insert(out_.end(), tag.begin(), tag.end()); }
    void u16(std::uint16_t value) { bytes(value, 2); }
    void u32(std::uint32_t value) { bytes(value, 4); }

  private:
    void bytes(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }

    std::vector<std::uint8_t>& out_;
};

} // namespace

std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int channels,
                                     int sample_rate) {
    constexpr std::uint32_t kHeaderAfterSize = 36; // bytes after the RIFF size field, minus data
    const std::uint64_t data_bytes = samples.size() * sizeof(std::int16_t);
    if (channels < 1 || sample_rate < 1 ||
        data_bytes + kHeaderAfterSize > std::numeric_limits<std::uint32_t>::max()) {
        throw std::invalid_argument("audio does not fit in a WAV file");
    }
    const auto block_align = static_cast<std::uint16_t>(channels * sizeof(std::int16_t));
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_bytes);
    LittleEndianWriter write(out);
    write.text("RIFF");
    write.u32(static_cast<std::uint32_t>(kHeaderAfterSize + data_bytes));
    write.text("WAVE");
    write.text("fmt ");
    write.u32(16);
    write.u16(1); // PCM
    write.u16(static_cast<std::uint16_t>(channels));
    write.u32(static_cast<std::uint32_t>(sample_rate));
    write.u32(static_cast<std::uint32_t>(sample_rate) * block_align);
    write.u16(block_align);
    write.u16(16);
    write.text("data");
    write.u32(static_cast<std::uint32_t>(data_bytes));
    for (const std::int16_t sample : samples) {
        write.u16(static_cast<std::uint16_t>(sample));
    }
    return out;
}

} // namespace musicgen
