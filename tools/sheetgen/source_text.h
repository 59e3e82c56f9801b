#pragma once

#include "tools/source_text/source_text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace sheetgen {

using SheetError = tools::SourceError;
using tools::source_error;

struct SourceLine {
    int number = 0;
    std::string text;
};

// The meaningful lines of a source file: blank lines and lines starting with
// '#' are dropped, Windows line ends are tolerated.
std::vector<SourceLine> read_source_lines(const std::filesystem::path& file);

} // namespace sheetgen
