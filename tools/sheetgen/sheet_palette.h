#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace sheetgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Maps the one-character pixel codes of the art files to colours. The first
// entry is the key colour (index 0): it marks empty sheet space.
class SheetPalette {
  public:
    static SheetPalette load(const std::filesystem::path& file);

    std::optional<std::uint8_t> index_of(char code) const;
    const std::vector<Rgb>& colors() const { return colors_; }

    static constexpr std::uint8_t key_index = 0;

  private:
    std::array<int, 256> index_by_code_{};
    std::vector<Rgb> colors_;
};

} // namespace sheetgen
