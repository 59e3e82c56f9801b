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

// What is at `path` when something is there that is not a regular file: "a folder",
// "a FIFO", "a device", "a socket"; empty for a regular file or nothing at all.
std::string irregular_kind(const std::string& path);

// A whole regular file; throws FileReadError naming the file when it cannot be opened
// or read, holds more than `max_bytes`, or is something else (a folder, a FIFO that
// would wait for a writer for ever, a device), which is refused before it is opened.
std::string read_file_bytes(const std::string& path, size_t max_bytes);

} // namespace platform
