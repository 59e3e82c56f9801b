#pragma once
// The game's texts in another language: a compiled translators' catalogue (the .mo
// files msgfmt writes), looked up by the text as written in the original.

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

class CatalogueError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Catalogue {
  public:
    // No translations: every text stays as written.
    Catalogue() = default;
    // Reads a compiled catalogue of either byte order; throws CatalogueError when the
    // bytes are not one or point outside themselves.
    static Catalogue parse(std::span<const unsigned char> bytes);

    // The translation of `original`, or `original` itself when the catalogue has none.
    std::string_view translate(std::string_view original) const;
    // Each original with its translation.
    const std::unordered_map<std::string, std::string>& entries() const { return translations_; }

  private:
    std::unordered_map<std::string, std::string> translations_;
};

// Makes `catalogue` the one tr() reads (null: none, texts stay as written) and returns
// the one used before. The program's entry installs the catalogue of the user's language.
const Catalogue* install_catalogue(const Catalogue* catalogue);

// A text of the game in the installed catalogue's language.
std::string tr(std::string_view original);

// Marks a text for the translators' catalogue where it is written; tr() translates it
// where it is shown.
constexpr const char* N_(const char* original) {
    return original;
}

} // namespace platform
