#pragma once
// What the data tools share in reading their hand-written sources: whole files, and
// problems said as "file:line: what is wrong", so that the author can jump to them.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tools {

class SourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

SourceError source_error(const std::string& file, int line, const std::string& what);

// The whole file as it is; throws SourceError naming the file when it cannot be read.
std::string read_text_file(const std::filesystem::path& file);

} // namespace tools
