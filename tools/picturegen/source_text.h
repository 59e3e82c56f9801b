#pragma once

#include "tools/source_text/source_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace picturegen {

using PictureError = tools::SourceError;
using tools::read_text_file;
using tools::source_error;

struct SourceLine {
    std::string file;
    int number = 0;
    std::vector<std::string> words;
};

// Splits scene text into lines of words. A '#' at the start of a line, or
// followed by a space, begins a comment (so colours like #1a2b3c stay words);
// a line ending in '\' goes on in the next one. Empty lines are dropped.
std::vector<SourceLine> split_scene_text(std::string_view text, const std::string& file);

} // namespace picturegen
