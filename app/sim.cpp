#include "app/sim.h"

#include "app/playfield.h"
#include "app/services.h"
#include "app/sheet_file.h"
#include "app/sim_input.h"
#include "app/sim_trace.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/errors.h"
#include "game/sortie.h"
#include "platform/system/file_bytes.h"
#include "platform/system/image.h"
#include "platform/system/quoting.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <numeric>
#include <optional>
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
        throw SimFileError(e.what());
    }
}

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
            throw SimFileError(e.what());
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
        throw SimFileError("cannot write the timings to the standard output");
    }
}

std::string sheet_path(const Options& o) {
    try {
        return o.sheet ? *o.sheet : resolve_game_path("c:\\TarnChar.gif");
    } catch (const nox::FileError& e) {
        throw SimFileError(e.what());
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
        throw SimFileError(e.what());
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
            throw SimFileError(platform::quoted_path(*o.draws_file) + ": " + e.what());
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
            throw SimFileError(platform::quoted_path(*o.input_file) + ": " + e.what());
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
            throw SimFileError("the trace " + platform::quoted_path(output) + " is the file of " +
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
    } catch (const SimFileError& e) {
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
