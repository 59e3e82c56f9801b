#include "platform/system/catalogue.h"

#include <cstdint>

namespace platform {

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kSwappedMagic = 0xde120495;

// Reads the catalogue's words in its own byte order, every read checked against its size.
class MoReader {
  public:
    explicit MoReader(std::span<const unsigned char> bytes) : bytes_(bytes) {
        const uint32_t magic = word_in_order(0, false);
        if (magic != kMagic && magic != kSwappedMagic) {
            throw CatalogueError("not a compiled message catalogue");
        }
        swapped_ = magic == kSwappedMagic;
        if (word(4) >> 16 > 1) {
            throw CatalogueError("a message catalogue of an unknown revision");
        }
    }

    uint32_t word(size_t offset) const { return word_in_order(offset, swapped_); }

    // The string a table's entry `index` describes (its length, then its offset).
    std::string_view string(uint32_t table, uint32_t index) const {
        const size_t entry = size_t(table) + size_t(index) * 8;
        const size_t length = word(entry);
        const size_t offset = word(entry + 4);
        if (offset > bytes_.size() || length >= bytes_.size() - offset) {
            throw CatalogueError("a message catalogue's text lies outside it");
        }
        return {reinterpret_cast<const char*>(bytes_.data()) + offset, length};
    }

  private:
    uint32_t word_in_order(size_t offset, bool swapped) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4) {
            throw CatalogueError("a message catalogue ends early");
        }
        const unsigned char* b = bytes_.data() + offset;
        return swapped ? uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]
                       : uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0];
    }

    std::span<const unsigned char> bytes_;
    bool swapped_ = false;
};

// Plural forms follow their singular after a NUL; the game has none, and the singular stands.
std::string_view singular(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

const Catalogue* installed = nullptr;

} // namespace

Catalogue Catalogue::parse(std::span<const unsigned char> bytes) {
    const MoReader mo(bytes);
    const uint32_t count = mo.word(8);
    const uint32_t originals = mo.word(12);
    const uint32_t translations = mo.word(16);
    Catalogue catalogue;
    for (uint32_t i = 0; i < count; ++i) {
        const std::string_view original = singular(mo.string(originals, i));
        const std::string_view translation = singular(mo.string(translations, i));
        // The empty original carries the catalogue's header, not a text of the game.
        if (!original.empty() && !translation.empty()) {
            catalogue.translations_.emplace(original, translation);
        }
    }
    return catalogue;
}

std::string_view Catalogue::translate(std::string_view original) const {
    const auto it = translations_.find(std::string(original));
    return it != translations_.end() ? std::string_view(it->second) : original;
}

const Catalogue* install_catalogue(const Catalogue* catalogue) {
    const Catalogue* before = installed;
    installed = catalogue;
    return before;
}

std::string tr(std::string_view original) {
    return std::string(installed ? installed->translate(original) : original);
}

} // namespace platform
