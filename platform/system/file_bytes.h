#pragma once
// Whole files read into memory, with every way of failing reported.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace platform {

class FileReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A whole file; throws FileReadError naming the file when it cannot be opened or
// read (a folder, a failing device) or holds more than `max_bytes`.
std::string read_file_bytes(const std::string& path, size_t max_bytes);

} // namespace platform
