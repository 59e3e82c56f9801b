#pragma once
// The runner's trace: the file it goes to, written whole or not at all, and the line that
// says what a frame left behind.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace game {
class Sortie;
}

namespace nox {
class Rnd;
class clsNoxCharacter;
class clsNoxGroup;
class clsNoxSprite;
} // namespace nox

namespace app {

// A file of the runner's that cannot be read, written or used: the message alone, status 2.
class SimFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A regular file is written beside itself and takes the old one's place only when the run
// ends well; a terminal, another device or a pipe is written as the run goes. Every write,
// the closing and the renaming are checked: a failure is a SimFileError with its reason.
class TraceFile {
  public:
    explicit TraceFile(std::string path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    void write(const std::string& text);
    // The run ended well: everything written goes where it belongs.
    void commit();

  private:
    static constexpr size_t kFlushBytes = 1 << 16;

    [[noreturn]] void fail(const std::string& reason) const;
    void open_beside_target();
    void open_stream();
    void flush();

    std::string path_, target_, temporary_;
    int fd_ = -1;
    std::string pending_;
};

// One JSON line a frame: the counters, the stars and every character of the sortie.
class TraceWriter {
  public:
    TraceWriter(const game::Sortie& game, nox::Rnd& rnd) : game_(game), rnd_(rnd) {}

    std::string line() const;

  private:
    std::string sprite_name(const std::shared_ptr<nox::clsNoxSprite>& sprite) const;
    std::string character(int slot, const nox::clsNoxCharacter& c) const;
    std::string group(const nox::clsNoxGroup& g) const;

    const game::Sortie& game_;
    nox::Rnd& rnd_;
};

} // namespace app
