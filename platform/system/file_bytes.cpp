#include "platform/system/file_bytes.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include "platform/system/paths.h"

#include <filesystem>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw FileReadError("cannot read " + quoted_path(path) + ": " + reason);
}

void refuse_irregular(const std::string& path, const std::string& kind) {
    if (!kind.empty()) {
        fail(path, "it is " + kind + ", not a regular file");
    }
}

void refuse_larger(const std::string& path, const std::string& bytes, size_t max_bytes) {
    if (bytes.size() > max_bytes) {
        fail(path, "it is larger than " + std::to_string(max_bytes) + " bytes");
    }
}

} // namespace

#ifdef _WIN32

// Windows has no FIFOs to wait on: the kind of the entry, then the file through its UTF-16
// name.
std::string irregular_kind(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    switch (fs::status(path_of_utf8(path), ec).type()) {
    case fs::file_type::regular:
    case fs::file_type::not_found:
    case fs::file_type::none:
        return "";
    case fs::file_type::directory:
        return "a folder";
    case fs::file_type::character:
    case fs::file_type::block:
        return "a device";
    default:
        return "not a regular file";
    }
}

std::string read_file_bytes(const std::string& path, size_t max_bytes) {
    refuse_irregular(path, irregular_kind(path));
    std::ifstream file(path_of_utf8(path), std::ios::binary);
    if (!file) {
        fail(path, std::strerror(errno));
    }
    std::string bytes;
    char chunk[65536];
    // One byte past the limit tells a file that is too large from one that fits exactly.
    const size_t wanted = max_bytes + 1;
    while (bytes.size() < wanted && file) {
        file.read(chunk,
                  static_cast<std::streamsize>(std::min(sizeof chunk, wanted - bytes.size())));
        bytes.append(chunk, static_cast<size_t>(file.gcount()));
    }
    if (file.bad()) {
        fail(path, "the read failed");
    }
    refuse_larger(path, bytes, max_bytes);
    return bytes;
}

#else

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string kind_of(mode_t mode) {
    if (S_ISREG(mode)) {
        return "";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return S_ISSOCK(mode) ? "a socket" : "not a regular file";
}

} // namespace

std::string irregular_kind(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? kind_of(status.st_mode) : "";
}

std::string read_file_bytes(const std::string& path, size_t max_bytes) {
    refuse_irregular(path, irregular_kind(path));
    // Not waiting at the opening, in case the name became a FIFO since it was looked at.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        fail(path, std::strerror(errno));
    }
    refuse_irregular(path, kind_of(status.st_mode));
    std::string bytes;
    char chunk[65536];
    // One byte past the limit tells a file that is too large from one that fits exactly.
    const size_t wanted = max_bytes + 1;
    while (bytes.size() < wanted) {
        const ssize_t n = ::read(file.get(), chunk, std::min(sizeof chunk, wanted - bytes.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail(path, std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
    refuse_larger(path, bytes, max_bytes);
    return bytes;
}

#endif

} // namespace platform
