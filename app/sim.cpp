#include "app/sim.h"

#include "app/playfield.h"
#include "app/services.h"
#include "app/sheet_file.h"
#include "app/sim_input.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/errors.h"
#include "game/sortie.h"
#include "platform/system/file_bytes.h"
#include "platform/system/image.h"
#include "platform/system/quoting.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace app {

namespace {

namespace fs = std::filesystem;

struct Options {
    int64_t frames = 1000;
    uint64_t seed = 1;
    std::optional<std::string> draws_file, input_file, trace_file, sheet, png_dir;
    int64_t png_every = 0;
    bool bench = false;
};

// A malformed command line: the message and the usage text, status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be read, written or used: the message alone, status 2.
class FileProblem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The most a script or draws file may hold; far beyond any run's needs.
constexpr size_t kMaxScriptBytes = 256u << 20;

constexpr const char* kUsage =
    "usage: skarvelin-sim [--frames N] [--seed S | --draws FILE] [--input FILE] [--trace FILE]\n"
    "                     [--sheet PATH] [--png DIR --png-every K] [--bench]";

template <typename T> T parse_count(const std::string& option, const std::string& text, T min) {
    T value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min) {
        throw UsageError(option + " needs a whole number" + (min > 0 ? " of at least 1" : "") +
                         ", not " + platform::quoted(text));
    }
    return value;
}

Options parse_options(const std::vector<std::string>& args) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError(a + " needs a value");
            }
            return args[++i];
        };
        if (a == "--frames") {
            o.frames = parse_count<int64_t>(a, value(), 0);
        } else if (a == "--seed") {
            o.seed = parse_count<uint64_t>(a, value(), 0);
        } else if (a == "--draws") {
            o.draws_file = value();
        } else if (a == "--input") {
            o.input_file = value();
        } else if (a == "--trace") {
            o.trace_file = value();
        } else if (a == "--sheet") {
            o.sheet = value();
        } else if (a == "--png") {
            o.png_dir = value();
        } else if (a == "--png-every") {
            o.png_every = parse_count<int64_t>(a, value(), 1);
        } else if (a == "--bench") {
            o.bench = true;
        } else {
            throw UsageError("unknown argument " + platform::quoted(a));
        }
    }
    if (o.frames > INT32_MAX) {
        throw UsageError("--frames is at most 2147483647");
    }
    const bool seeded = std::find(args.begin(), args.end(), "--seed") != args.end();
    if (seeded && o.draws_file) {
        throw UsageError("--seed and --draws exclude each other");
    }
    if (o.png_dir.has_value() != (o.png_every > 0)) {
        throw UsageError("--png and --png-every go together");
    }
    return o;
}

std::string read_script(const std::string& path) {
    try {
        return platform::read_file_bytes(path, kMaxScriptBytes);
    } catch (const platform::FileReadError& e) {
        throw FileProblem(e.what());
    }
}

// The trace, written whole or not at all. A regular file is written beside itself and
// takes the old one's place only when the run ends well; a terminal, another device or a
// pipe is written as the run goes. Every write, the closing and the renaming are checked.
class TraceFile {
  public:
    explicit TraceFile(std::string path) : path_(std::move(path)) {
        struct stat status {};
        if (::stat(path_.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
            open_beside_target();
        } else if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) {
            open_stream();
        } else {
            fail("it is " + platform::irregular_kind(path_) +
                 ", not a regular file, a terminal or a pipe");
        }
    }
    ~TraceFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!temporary_.empty()) {
            ::unlink(temporary_.c_str());
        }
    }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    void write(const std::string& text) {
        pending_ += text;
        if (pending_.size() >= kFlushBytes) {
            flush();
        }
    }

    void commit() {
        flush();
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0) {
            fail(std::strerror(errno));
        }
        if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
            fail(std::strerror(errno));
        }
        temporary_.clear();
    }

  private:
    static constexpr size_t kFlushBytes = 1 << 16;

    [[noreturn]] void fail(const std::string& reason) const {
        throw FileProblem("cannot write the trace " + platform::quoted_path(path_) + ": " + reason);
    }

    // A new file in the target's folder, so that renaming it over the target is one step;
    // through a link, the file it names is the target, and a file we may not write stays.
    void open_beside_target() {
        std::error_code ec;
        const fs::path existing = fs::canonical(path_, ec);
        target_ = ec ? path_ : existing.string();
        if (!ec && ::access(target_.c_str(), W_OK) != 0) {
            fail(std::strerror(errno));
        }
        for (int attempt = 0; fd_ < 0; ++attempt) {
            temporary_ =
                target_ + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
                temporary_.clear();
                fail(std::strerror(errno));
            }
        }
    }

    // Opened without waiting: a FIFO that no program reads is refused, not waited on.
    void open_stream() {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            fail(errno == ENXIO ? "no program is reading it" : std::strerror(errno));
        }
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            fail(std::strerror(errno));
        }
    }

    void flush() {
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

    std::string path_, target_, temporary_;
    int fd_ = -1;
    std::string pending_;
};

class TraceWriter {
  public:
    TraceWriter(const game::Sortie& game, nox::Rnd& rnd) : game_(game), rnd_(rnd) {}

    std::string line() const {
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
            s += (i ? ",[" : "[") + std::to_string(star.X()) + "," + std::to_string(star.Y()) +
                 "," + std::to_string(star.pX()) + "]";
        }
        s += "],\"my\":" + character(-1, *game_.chrMy());
        s += ",\"mybt\":" + group(*game_.grpMyBt());
        s += ",\"ene\":" + group(*game_.grpEne());
        s += ",\"enebt\":" + group(*game_.grpEneBt());
        return s + "}\n";
    }

  private:
    static std::string number(float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
        return buf;
    }

    std::string sprite_name(const std::shared_ptr<nox::clsNoxSprite>& sprite) const {
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

    std::string character(int slot, const nox::clsNoxCharacter& c) const {
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

    std::string group(const nox::clsNoxGroup& g) const {
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

    const game::Sortie& game_;
    nox::Rnd& rnd_;
};

// The sortie's frames one after another: each frame's input, its trace line and
// picture, and the time of its work.
class Runner {
  public:
    Runner(const Options& o, game::Sortie& sortie, ScriptedInput& input, nox::Rnd& rnd,
           TraceFile* trace)
        : o_(o), sortie_(sortie), input_(input), trace_(trace), writer_(sortie, rnd) {}

    int32_t frame() const { return frame_; }
    const std::vector<double>& work_us() const { return work_us_; }

    void run() {
        sortie_.Prepare();
        sortie_.PlaceMy();
        write_trace();
        while (frame_ < o_.frames) {
            run_frame();
        }
    }

  private:
    void run_frame() {
        input_.set_frame(++frame_);
        const auto start = std::chrono::steady_clock::now();
        sortie_.Frame();
        if (o_.bench) {
            const std::chrono::duration<double, std::micro> d =
                std::chrono::steady_clock::now() - start;
            work_us_.push_back(d.count());
        }
        write_trace();
        if (o_.png_dir && frame_ % o_.png_every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06d.png", frame_);
            save_picture(*o_.png_dir + name);
        }
    }

    void write_trace() {
        if (trace_) {
            trace_->write(writer_.line());
        }
    }

    void save_picture(const std::string& path) const {
        try {
            platform::save_png(sortie_.picStage()->screen(), path);
        } catch (const platform::ImageError& e) {
            throw FileProblem(e.what());
        }
    }

    const Options& o_;
    game::Sortie& sortie_;
    ScriptedInput& input_;
    TraceFile* trace_;
    TraceWriter writer_;
    int32_t frame_ = 0;
    std::vector<double> work_us_;
};

void print_bench(std::vector<double> us, std::ostream& out) {
    if (us.empty()) {
        out << "frame_us median=0 p10=0 p90=0 mean=0\n";
        return;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) { return us[static_cast<size_t>(q * double(us.size() - 1) + 0.5)]; };
    // The mean as well: a browser's clock is too coarse for one frame, not for their sum.
    const double mean = std::accumulate(us.begin(), us.end(), 0.0) / double(us.size());
    char buf[160];
    std::snprintf(buf, sizeof buf, "frame_us median=%.1f p10=%.1f p90=%.1f mean=%.1f\n", at(0.5),
                  at(0.1), at(0.9), mean);
    out << buf;
}

// The timings are the run's result: output that cannot take them is a failed run.
void write_bench(const std::vector<double>& us, std::ostream& out) {
    print_bench(us, out);
    out.flush();
    if (!out) {
        throw FileProblem("cannot write the timings to the standard output");
    }
}

std::string sheet_path(const Options& o) {
    try {
        return o.sheet ? *o.sheet : resolve_game_path("c:\\TarnChar.gif");
    } catch (const nox::FileError& e) {
        throw FileProblem(e.what());
    }
}

// The playfield and the sheet's two prepared copies, as the game window's
// loading sequence leaves them.
game::SortiePictures load_pictures(const std::string& sheet) {
    game::SortiePictures p{make_playfield(), make_sheet_area(0, 0), make_sheet_area(0, 0)};
    try {
        load_sheet(*p.picCharData, sheet);
        load_sheet(*p.picCharMask, sheet);
    } catch (const nox::FileError& e) {
        throw FileProblem(e.what());
    }
    nox::KeyToBlack(*p.picCharData->image());
    nox::MakeMask(*p.picCharMask->image());
    return p;
}

std::unique_ptr<nox::Rnd> make_rnd(const Options& o) {
    if (o.draws_file) {
        try {
            return std::make_unique<nox::ListRnd>(nox::ListRnd::parse(read_script(*o.draws_file)));
        } catch (const std::invalid_argument& e) {
            throw FileProblem(platform::quoted_path(*o.draws_file) + ": " + e.what());
        }
    }
    return std::make_unique<nox::SeededRnd>(o.seed, false);
}

int run_frames(Runner& runner, std::ostream& err) {
    try {
        runner.run();
    } catch (const nox::OutOfDraws&) {
        err << "out of draws at frame " << runner.frame() << "\n";
        return kSimOutOfDraws;
    } catch (const nox::NoxError& e) {
        err << "skarvelin-sim: " << e.what() << " (error " << e.code() << ") at frame "
            << runner.frame() << "\n";
        return kSimEngineError;
    }
    return kSimOk;
}

// Everything the run reads, read and checked before any output is made.
struct Inputs {
    InputScript script;
    std::unique_ptr<nox::Rnd> rnd;
    game::SortiePictures pictures;
    std::vector<std::pair<std::string, std::string>> files; // option, path
};

Inputs read_inputs(const Options& o) {
    Inputs in;
    if (o.input_file) {
        try {
            in.script = parse_input_script(read_script(*o.input_file));
        } catch (const InputScriptError& e) {
            throw FileProblem(platform::quoted_path(*o.input_file) + ": " + e.what());
        }
        in.files.emplace_back("--input", *o.input_file);
    }
    in.rnd = make_rnd(o);
    if (o.draws_file) {
        in.files.emplace_back("--draws", *o.draws_file);
    }
    const std::string sheet = sheet_path(o);
    in.pictures = load_pictures(sheet);
    in.files.emplace_back("--sheet", sheet);
    return in;
}

void refuse_output_over_input(const std::string& output, const Inputs& in) {
    for (const auto& [option, input] : in.files) {
        std::error_code ec;
        if (fs::equivalent(output, input, ec)) {
            throw FileProblem("the trace " + platform::quoted_path(output) + " is the file of " +
                              option + ", which a run only reads");
        }
    }
}

int run(const Options& o, std::ostream& out, std::ostream& err) {
    Inputs in = read_inputs(o);
    std::optional<TraceFile> trace_file;
    if (o.trace_file) {
        refuse_output_over_input(*o.trace_file, in);
        trace_file.emplace(*o.trace_file);
    }
    ScriptedInput input(std::move(in.script));
    game::Sortie sortie(input, input, *in.rnd);
    sortie.Create(std::move(in.pictures));
    Runner runner(o, sortie, input, *in.rnd, trace_file ? &*trace_file : nullptr);
    const int status = run_frames(runner, err);
    if (status == kSimOk && o.bench) {
        write_bench(runner.work_us(), out);
    }
    // The trace of a run the game stopped early (out of draws, an engine error) is kept:
    // it shows what happened up to there.
    if (trace_file) {
        trace_file->commit();
    }
    return status;
}

} // namespace

int run_sim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        return run(parse_options(args), out, err);
    } catch (const UsageError& e) {
        err << "skarvelin-sim: " << e.what() << "\n" << kUsage << "\n";
        return kSimBadArguments;
    } catch (const FileProblem& e) {
        err << "skarvelin-sim: " << e.what() << "\n";
        return kSimBadArguments;
    } catch (const nox::NoxError& e) {
        err << "skarvelin-sim: " << e.what() << " (error " << e.code() << ")\n";
        return kSimEngineError;
    } catch (const std::exception& e) {
        err << "skarvelin-sim: " << e.what() << "\n";
        return kSimEngineError;
    }
}

} // namespace app
