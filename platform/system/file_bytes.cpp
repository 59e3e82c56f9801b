#include "platform/system/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw FileReadError("cannot read \"" + path + "\": " + reason);
}

} // namespace

std::string read_file_bytes(const std::string& path, size_t max_bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        fail(path, std::strerror(errno));
    }
    std::string bytes;
    char chunk[65536];
    // One byte past the limit tells a file that is too large from one that fits exactly.
    const size_t wanted = max_bytes + 1;
    while (bytes.size() < wanted) {
        const size_t n =
            std::fread(chunk, 1, std::min(sizeof chunk, wanted - bytes.size()), file.get());
        bytes.append(chunk, n);
        if (n == 0) {
            break;
        }
    }
    // A folder opens like a file and fails only on reading, with EISDIR.
    if (std::ferror(file.get())) {
        fail(path, std::strerror(errno));
    }
    if (bytes.size() > max_bytes) {
        fail(path, "it is larger than " + std::to_string(max_bytes) + " bytes");
    }
    return bytes;
}

} // namespace platform
