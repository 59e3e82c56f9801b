#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace picturegen {

// Problems in a scene are reported as "file:line: what is wrong".
class PictureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

PictureError source_error(const std::string& file, int line, const std::string& what);

struct SourceLine {
    std::string file;
    int number = 0;
    std::vector<std::string> words;
};

// Splits scene text into lines of words. A '#' at the start of a line, or
// followed by a space, begins a comment (so colours like #1a2b3c stay words);
// a line ending in '\' goes on in the next one. Empty lines are dropped.
std::vector<SourceLine> split_scene_text(std::string_view text, const std::string& file);

std::string read_text_file(const std::filesystem::path& file);

} // namespace picturegen
