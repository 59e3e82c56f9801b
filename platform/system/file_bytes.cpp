#include "platform/system/file_bytes.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

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

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw FileReadError("cannot read " + quoted_path(path) + ": " + reason);
}

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

void refuse_irregular(const std::string& path, const std::string& kind) {
    if (!kind.empty()) {
        fail(path, "it is " + kind + ", not a regular file");
    }
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
    if (bytes.size() > max_bytes) {
        fail(path, "it is larger than " + std::to_string(max_bytes) + " bytes");
    }
    return bytes;
}

} // namespace platform
