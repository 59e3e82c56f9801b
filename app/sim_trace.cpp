#include "app/sim_trace.h"

#include "game/sortie.h"
#include "platform/system/file_bytes.h"
#include "platform/system/paths.h"
#include "platform/system/quoting.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace app {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// Names through their UTF-16 form, and the bytes as they are (no \n made \r\n).
int open_new(const std::string& path) {
    return ::_wopen(platform::path_of_utf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY,
                    0666);
}
bool writable(const std::string& path) {
    return ::_waccess(platform::path_of_utf8(path).c_str(), 2) == 0;
}
void remove_file(const std::string& path) {
    ::_wunlink(platform::path_of_utf8(path).c_str());
}
int process_id() {
    return ::_getpid();
}
#else
int open_new(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
bool writable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}
void remove_file(const std::string& path) {
    ::unlink(path.c_str());
}
int process_id() {
    return ::getpid();
}
#endif

std::string number(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

} // namespace

TraceFile::TraceFile(std::string path) : path_(std::move(path)) {
    std::error_code ec;
    const fs::file_type type = fs::status(platform::path_of_utf8(path_), ec).type();
    if (ec || type == fs::file_type::regular) {
        open_beside_target();
    } else if (type == fs::file_type::character || type == fs::file_type::fifo) {
        open_stream();
    } else {
        fail("it is " + platform::irregular_kind(path_) +
             ", not a regular file, a terminal or a pipe");
    }
}

TraceFile::~TraceFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temporary_.empty()) {
        remove_file(temporary_);
    }
}

void TraceFile::write(const std::string& text) {
    pending_ += text;
    if (pending_.size() >= kFlushBytes) {
        flush();
    }
}

void TraceFile::commit() {
    flush();
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) {
        fail(std::strerror(errno));
    }
    std::error_code ec;
    if (!temporary_.empty()) {
        fs::rename(platform::path_of_utf8(temporary_), platform::path_of_utf8(target_), ec);
    }
    if (ec) {
        fail(ec.message());
    }
    temporary_.clear();
}

void TraceFile::fail(const std::string& reason) const {
    throw SimFileError("cannot write the trace " + platform::quoted_path(path_) + ": " + reason);
}

// A new file in the target's folder, so that renaming it over the target is one step;
// through a link, the file it names is the target, and a file we may not write stays.
void TraceFile::open_beside_target() {
    std::error_code ec;
    const fs::path existing = fs::canonical(platform::path_of_utf8(path_), ec);
    target_ = ec ? path_ : platform::utf8_of(existing);
    if (!ec && !writable(target_)) {
        fail(std::strerror(errno));
    }
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ =
            target_ + ".partial-" + std::to_string(process_id()) + "-" + std::to_string(attempt);
        fd_ = open_new(temporary_);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            temporary_.clear();
            fail(std::strerror(errno));
        }
    }
}

#ifdef _WIN32
// A device such as NUL or CON: Windows opens those at once.
void TraceFile::open_stream() {
    fd_ = ::_wopen(platform::path_of_utf8(path_).c_str(), O_WRONLY | O_BINARY);
    if (fd_ < 0) {
        fail(std::strerror(errno));
    }
}
#else
// Opened without waiting: a FIFO that no program reads is refused, not waited on.
void TraceFile::open_stream() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        fail(errno == ENXIO ? "no program is reading it" : std::strerror(errno));
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        fail(std::strerror(errno));
    }
}
#endif

void TraceFile::flush() {
    std::string_view rest = pending_;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd_, rest.data(), rest.size());
        if (n < 0 && errno != EINTR) {
            fail(std::strerror(errno));
        }
        rest.remove_prefix(n < 0 ? 0 : static_cast<size_t>(n));
    }
    pending_.clear();
}

std::string TraceWriter::line() const {
    std::string s = "{\"f\":" + std::to_string(game_.frameCt());
    s += ",\"draws\":" + std::to_string(rnd_.draws());
    s += ",\"tilt\":" + std::to_string(game_.myTilt());
    s += ",\"shot\":" + std::to_string(game_.myShotCt());
    s += ",\"counts\":[" + std::to_string(game_.grpMyBt()->ItemCount()) + "," +
         std::to_string(game_.grpEne()->ItemCount()) + "," +
         std::to_string(game_.grpEneBt()->ItemCount()) + "]";
    s += ",\"stars\":[";
    for (size_t i = 0; i < game::Sortie::kStarCount; ++i) {
        const nox::clsNoxStar& star = *game_.starList()[i];
        s += (i ? ",[" : "[") + std::to_string(star.X()) + "," + std::to_string(star.Y()) + "," +
             std::to_string(star.pX()) + "]";
    }
    s += "],\"my\":" + character(-1, *game_.chrMy());
    s += ",\"mybt\":" + group(*game_.grpMyBt());
    s += ",\"ene\":" + group(*game_.grpEne());
    s += ",\"enebt\":" + group(*game_.grpEneBt());
    return s + "}\n";
}

std::string TraceWriter::sprite_name(const std::shared_ptr<nox::clsNoxSprite>& sprite) const {
    const std::pair<const std::shared_ptr<nox::clsNoxSprite>*, const char*> named[] = {
        {&game_.sprMy(), "sprMy"},       {&game_.sprMyBt(), "sprMyBt"},
        {&game_.sprHit(), "sprHit"},     {&game_.sprEneBt(), "sprEneBt"},
        {&game_.sprBurst(), "sprBurst"},
    };
    for (auto [var, name] : named) {
        if (sprite && *var == sprite) {
            return name;
        }
    }
    for (size_t i = 0; i < game_.sprEne().size(); ++i) {
        if (sprite && game_.sprEne()[i] == sprite) {
            return "sprEne(" + std::to_string(i) + ")";
        }
    }
    return "none";
}

std::string TraceWriter::character(int slot, const nox::clsNoxCharacter& c) const {
    std::string s = "{\"slot\":" + std::to_string(slot);
    s += ",\"spr\":\"" + sprite_name(c.Sprite()) + "\"";
    s += ",\"pt\":" + std::to_string(c.PtNo());
    s += ",\"x\":" + number(c.Left()) + ",\"y\":" + number(c.Top());
    s += ",\"vx\":" + number(c.LeftTrans()) + ",\"vy\":" + number(c.TopTrans());
    s += ",\"ax\":" + number(c.LeftAccel()) + ",\"ay\":" + number(c.TopAccel());
    s += ",\"hp\":" + std::to_string(c.Hp()) + ",\"num\":" + std::to_string(c.Num());
    s += ",\"seq\":" + std::to_string(c.MqlSeq()) + ",\"ct\":" + std::to_string(c.MqlCt());
    s += ",\"anisp\":" + std::to_string(c.AniSp()) + ",\"anict\":" + std::to_string(c.AniCt());
    return s + "}";
}

std::string TraceWriter::group(const nox::clsNoxGroup& g) const {
    std::string s = "[";
    bool first = true;
    for (int32_t i = 0; i <= g.Count(); ++i) {
        const auto slot = static_cast<int16_t>(i);
        if (g.Enabled(slot)) {
            s += (first ? "" : ",") + character(slot, *g.Item(slot));
            first = false;
        }
    }
    return s + "]";
}

} // namespace app
