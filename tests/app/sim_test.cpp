// skarvelin-sim: its contract, and recorded sorties as regression tests.

#include "app/sim.h"
#include "app/sim_input.h"
#include "game/sortie.h"
#include "tests/support/fifo.h"
#include "tests/support/game_data.h"
#include "tests/support/gif_bytes.h"
#include "tests/support/golden.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kSheet = game_sheet_file();
const std::string kGolden = SKARVELIN_TEST_DATA_DIR "/sortie_seed7.jsonl";
const std::string kGoldenInput = SKARVELIN_TEST_DATA_DIR "/sortie_seed7.input";

struct Sim : ::testing::Test {
    ScratchDir scratch{"skarvelin-sim"};
    const fs::path& dir = scratch.path();
    std::ostringstream out, err;

    std::string file(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int run(std::vector<std::string> args) {
        args.insert(args.end(), {"--sheet", kSheet});
        out.str("");
        err.str("");
        return app::run_sim(args, out, err);
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> v;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) {
            v.push_back(l);
        }
        return v;
    }
    static std::vector<long> star_xs(const std::string& line) {
        std::vector<long> xs;
        size_t at = line.find("\"stars\":[") + 9;
        while (xs.size() < game::Sortie::kStarCount) {
            at = line.find('[', at) + 1;
            xs.push_back(std::stol(line.substr(at)));
        }
        return xs;
    }
    static long field(const std::string& line, const std::string& key) {
        const size_t at = line.find("\"" + key + "\":");
        return at == std::string::npos ? -999999 : std::stol(line.substr(at + key.size() + 3));
    }
};

} // namespace

TEST_F(Sim, WritesAPreparationLineAndOneLinePerFrame) {
    const std::string trace = (dir / "t.jsonl").string();
    ASSERT_EQ(run({"--frames", "12", "--trace", trace}), 0) << err.str();
    const auto l = lines(read(trace));
    ASSERT_EQ(l.size(), 13u);
    for (size_t i = 0; i < l.size(); ++i) {
        EXPECT_EQ(field(l[i], "f"), static_cast<long>(i));
    }
    EXPECT_EQ(field(l[0], "draws"), 117); // three per star
    EXPECT_NE(l[0].find("\"my\":{\"slot\":-1,\"spr\":\"sprMy\",\"pt\":2,\"x\":10,\"y\":132"),
              std::string::npos);
    for (const char* key :
         {"\"stars\":[[", "\"mybt\":[", "\"ene\":[", "\"enebt\":[]", "\"counts\":["}) {
        EXPECT_NE(l[5].find(key), std::string::npos) << key;
    }
}

TEST_F(Sim, SameSeedAndInputGiveTheSameTraceByteForByte) {
    const std::string input = file("in.txt", "90\n90 100\n\n32 38\njx=256 jb=1\n");
    const std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
    ASSERT_EQ(run({"--frames", "60", "--seed", "42", "--input", input, "--trace", a}), 0);
    ASSERT_EQ(run({"--frames", "60", "--seed", "42", "--input", input, "--trace", b}), 0);
    ASSERT_EQ(run({"--frames", "60", "--seed", "43", "--input", input, "--trace", c}), 0);
    EXPECT_EQ(read(a), read(b));
    EXPECT_NE(read(a), read(c));
}

TEST_F(Sim, EachFrameDrawsOneTwoOrFourNumbersBesidesOnePerWrappingStar) {
    const std::string trace = (dir / "t").string();
    ASSERT_EQ(run({"--frames", "200", "--seed", "9", "--trace", trace}), 0);
    const auto l = lines(read(trace));
    int with_entry = 0;
    for (size_t i = 1; i < l.size(); ++i) {
        const auto before = star_xs(l[i - 1]), after = star_xs(l[i]);
        long wraps = 0;
        for (size_t s = 0; s < game::Sortie::kStarCount; ++s) {
            wraps += after[s] > before[s];
        }
        const long appear = field(l[i], "draws") - field(l[i - 1], "draws") - wraps;
        EXPECT_TRUE(appear == 1 || appear == 2 || appear == 4) << "frame " << i << ": " << appear;
        with_entry += appear == 4;
    }
    EXPECT_GT(with_entry, 20); // about one frame in five
    EXPECT_LT(with_entry, 60);
}

TEST_F(Sim, RecordedSortieReplaysExactly) {
    const std::string trace = (dir / "t").string();
    ASSERT_EQ(run({"--frames", "60", "--seed", "7", "--input", kGoldenInput, "--trace", trace}), 0)
        << err.str();
    if (golden::updating()) {
        fs::copy_file(trace, kGolden, fs::copy_options::overwrite_existing);
    }
    const auto want = lines(read(kGolden));
    const auto got = lines(read(trace));
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i], want[i]) << "first difference in frame " << i;
    }
}

TEST_F(Sim, ScriptedDrawsAreUsedInOrderAndRunningOutIsStatusThree) {
    // 117 for the stars, then frame 1: kind 0, entry, r1 0.5, r2 0.5 -> top 135, 4 hit points.
    std::string draws;
    for (int i = 0; i < 117; ++i) {
        draws += "0.5 ";
    }
    draws += "0.1 0 0.5 0.5\n";
    const std::string trace = (dir / "t").string();
    EXPECT_EQ(run({"--frames", "3", "--draws", file("d.txt", draws), "--trace", trace}), 3);
    EXPECT_EQ(err.str(), "out of draws at frame 2\n");
    const auto l = lines(read(trace));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_NE(l[1].find("\"ene\":[{\"slot\":0,\"spr\":\"sprEne(3)\",\"pt\":0,\"x\":512,\"y\":135"),
              std::string::npos)
        << l[1];
    EXPECT_EQ(field(l[1].substr(l[1].find("\"ene\"")), "hp"), 4);
}

TEST_F(Sim, BadArgumentsAndFilesAreStatusTwoWithAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frames", "x"},
        {"--frames"},
        {"--frames", "-1"},
        {"--bogus"},
        {"--seed", "1", "--draws", file("d", "0.5")},
        {"--png", dir.string()},
        {"--png-every", "0", "--png", dir.string()},
        {"--draws", file("bad", "0.5 1.0")},
        {"--draws", file("nan", "0.5 abc")},
        {"--draws", (dir / "missing").string()},
        {"--input", file("in", "90 jx=70000")},
        {"--input", file("in2", "300")},
        {"--trace", (dir / "no" / "such" / "dir" / "t").string()},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(run(args), 2) << args[0];
        EXPECT_FALSE(err.str().empty()) << args[0];
    }
    std::vector<std::string> no_sheet = {"--sheet", (dir / "none.gif").string()};
    out.str("");
    err.str("");
    EXPECT_EQ(app::run_sim(no_sheet, out, err), 2);
    EXPECT_NE(err.str().find("none.gif"), std::string::npos) << err.str();
}

TEST_F(Sim, WritesPicturesOfThePlayfieldEveryKFrames) {
    ASSERT_EQ(run({"--frames", "10", "--png", dir.string(), "--png-every", "4"}), 0) << err.str();
    EXPECT_TRUE(fs::exists(dir / "frame-000004.png"));
    EXPECT_TRUE(fs::exists(dir / "frame-000008.png"));
    EXPECT_FALSE(fs::exists(dir / "frame-000010.png"));
}

TEST_F(Sim, BenchPrintsFramePercentiles) {
    ASSERT_EQ(run({"--frames", "20", "--bench"}), 0);
    EXPECT_EQ(out.str().rfind("frame_us median=", 0), 0u) << out.str();
    EXPECT_NE(out.str().find(" p10="), std::string::npos);
    EXPECT_NE(out.str().find(" p90="), std::string::npos);
    EXPECT_NE(out.str().find(" mean="), std::string::npos);
    // The timings are the run's result: output that cannot take them fails the run.
    std::ostream closed(nullptr);
    EXPECT_EQ(app::run_sim({"--frames", "2", "--bench", "--sheet", kSheet}, closed, err), 2);
    EXPECT_NE(err.str().find("cannot write the timings"), std::string::npos) << err.str();
}

TEST_F(Sim, ZeroFramesWritesOnlyThePreparation) {
    const std::string trace = (dir / "t").string();
    ASSERT_EQ(run({"--frames", "0", "--trace", trace}), 0);
    EXPECT_EQ(lines(read(trace)).size(), 1u);
}

TEST_F(Sim, UnusableSheetsAreStatusTwoNamingTheFileWithoutUsageText) {
    const std::string whole = read(kSheet);
    const std::vector<std::pair<std::string, std::string>> sheets = {
        {"huge.gif", gif_header_claiming(23200, 23200)},
        {"tiny.gif", gif_bytes(1, 1, 2)},
        {"small.gif", gif_bytes(10, 10, 2)},
        {"cut.gif", whole.substr(0, 800)},
    };
    for (const auto& [name, bytes] : sheets) {
        const std::string path = file(name, bytes);
        out.str("");
        err.str("");
        EXPECT_EQ(app::run_sim({"--frames", "3", "--sheet", path}, out, err), 2) << name;
        EXPECT_NE(err.str().find(path), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("usage"), std::string::npos) << err.str();
    }
    const std::string folder = dir.string();
    out.str("");
    err.str("");
    EXPECT_EQ(app::run_sim({"--sheet", folder}, out, err), 2);
    EXPECT_NE(err.str().find(folder), std::string::npos) << err.str();
}

TEST_F(Sim, OutputThatCannotBeWrittenWholeIsStatusTwoNamingTheFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no device that is always full (/dev/full)";
#endif
    EXPECT_EQ(run({"--frames", "200", "--trace", "/dev/full"}), 2);
    EXPECT_NE(err.str().find("\"/dev/full\": No space left on device"), std::string::npos)
        << err.str();
    // Even a short trace that fits a buffer fails when it is closed.
    EXPECT_EQ(run({"--frames", "0", "--trace", "/dev/full"}), 2);

    const fs::path pictures = dir / "pictures";
    fs::create_directory(pictures);
    fs::create_symlink("/dev/full", pictures / "frame-000002.png");
    // A run that fails leaves the trace of the one before.
    const std::string trace = file("t", "before");
    EXPECT_EQ(
        run({"--frames", "3", "--png", pictures.string(), "--png-every", "2", "--trace", trace}),
        2);
    EXPECT_NE(err.str().find("frame-000002.png"), std::string::npos) << err.str();
    EXPECT_EQ(read(trace), "before");
}

TEST_F(Sim, EveryInputIsCheckedBeforeTheTraceReplacesTheOldOne) {
    const std::string trace = file("t", "before");
    const std::string sheet = file("s.gif", read(kSheet));
    EXPECT_EQ(app::run_sim({"--sheet", file("cut.gif", "GIF89a"), "--trace", trace}, out, err), 2);
    EXPECT_EQ(app::run_sim({"--sheet", sheet, "--trace", sheet}, out, err), 2);
    EXPECT_NE(err.str().find("is the file of --sheet"), std::string::npos) << err.str();
    EXPECT_EQ(read(sheet), read(kSheet));
    EXPECT_EQ(read(trace), "before");
    ASSERT_EQ(run({"--frames", "0", "--trace", trace}), 0) << err.str();
    EXPECT_EQ(lines(read(trace)).size(), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST_F(Sim, FifosAndFoldersAreRefusedWithoutWaitingForAnotherProgram) {
    SKIP_WITHOUT_FIFOS();
    const std::string fifo = (dir / "fifo").string();
    ASSERT_TRUE(make_fifo(fifo));
    for (const char* option : {"--input", "--draws", "--sheet"}) {
        err.str("");
        EXPECT_EQ(app::run_sim({option, fifo}, out, err), 2) << option;
        EXPECT_NE(err.str().find("it is a FIFO"), std::string::npos) << err.str();
    }
    EXPECT_EQ(run({"--trace", fifo}), 2);
    EXPECT_NE(err.str().find("no program is reading it"), std::string::npos) << err.str();
    EXPECT_EQ(run({"--trace", dir.string()}), 2);
    EXPECT_NE(err.str().find("it is a folder"), std::string::npos) << err.str();
}

TEST_F(Sim, ScriptsThatOpenButCannotBeReadAreStatusTwoNamingThem) {
    for (const char* option : {"--input", "--draws"}) {
        EXPECT_EQ(run({option, dir.string()}), 2) << option;
        EXPECT_NE(err.str().find("\"" + dir.string() + "\""), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("usage"), std::string::npos) << err.str();
    }
}

TEST_F(Sim, EchoedTokensAreCutShortAndEscaped) {
    const std::string hostile = "\x1b[31m" + std::string(500, 'A');
    for (const auto& args : std::vector<std::vector<std::string>>{
             {hostile},
             {"--frames", hostile},
             {"--input", file("in", "90\n" + hostile + "\n")},
             {"--draws", file("d", "0.5 " + hostile)},
         }) {
        EXPECT_EQ(run(args), 2);
        EXPECT_NE(err.str().find("\"\\x1B[31m" + std::string(35, 'A') + "\"..."), std::string::npos)
            << err.str();
        EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
    }
}

TEST_F(Sim, AScriptHoldsEachFrameAndLongIdleStretchesReplayAsIdle) {
    // A million empty lines, then fire: the fighter's shots begin exactly at frame 1,000,001.
    std::string script(1'000'000, '\n');
    script += "32\n";
    app::InputScript parsed = app::parse_input_script(script);
    EXPECT_EQ(parsed.frames(), 1'000'001);
    EXPECT_FALSE(parsed.frame(1'000'000).keys.test(32));
    EXPECT_TRUE(parsed.frame(1'000'001).keys.test(32));
    EXPECT_FALSE(parsed.frame(1'000'002).keys.test(32));

    parsed = app::parse_input_script("90 jx=1\n90 jx=1\n\n90\r\n  38\t40 jb=3");
    ASSERT_EQ(parsed.frames(), 5);
    EXPECT_EQ(parsed.frame(2).jx, 1);
    EXPECT_EQ(parsed.frame(3), app::FrameInput{});
    EXPECT_TRUE(parsed.frame(4).keys.test(90));
    EXPECT_EQ(parsed.frame(4).jx, 32768);
    EXPECT_TRUE(parsed.frame(5).keys.test(38) && parsed.frame(5).keys.test(40));
    EXPECT_EQ(parsed.frame(5).jb, 3u);
    EXPECT_EQ(parsed.frame(0), app::FrameInput{});
}
