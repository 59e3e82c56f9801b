#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace sheetgen {

// Every problem in the sources is reported as "file:line: what is wrong" so
// the artist can jump straight to it.
class SheetError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

SheetError source_error(const std::filesystem::path& file, int line, const std::string& what);

struct SourceLine {
    int number = 0;
    std::string text;
};

// The meaningful lines of a source file: blank lines and lines starting with
// '#' are dropped, Windows line ends are tolerated.
std::vector<SourceLine> read_source_lines(const std::filesystem::path& file);

} // namespace sheetgen
