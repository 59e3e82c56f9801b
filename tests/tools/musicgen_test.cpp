#include "tools/file_output/file_output.h"
#include "tools/musicgen/mixer.h"
#include "tools/musicgen/score.h"
#include "tools/musicgen/wav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace musicgen;

namespace {

// A 4/4 score at 120 bpm (a quarter note lasts half a second) with one tone and one drum.
std::string score_with(const std::string& body) {
    return "tempo 120\n"
           "instrument lead saw adsr=1,50,0.8,50\n"
           "instrument kick kick\n" +
           body;
}

Score parse(const std::string& text) {
    return parse_score(text, "test.score");
}

std::vector<int> pitches_of(const Score& score) {
    std::vector<int> pitches;
    for (const NoteEvent& event : score.events) {
        pitches.push_back(event.pitch);
    }
    return pitches;
}

std::vector<std::int64_t> starts_of(const Score& score) {
    std::vector<std::int64_t> starts;
    for (const NoteEvent& event : score.events) {
        starts.push_back(event.start_tick);
    }
    return starts;
}

constexpr std::int64_t kQuarter = kTicksPerQuarter;

std::uint32_t u32_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t u16_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string text_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::string(bytes.begin() + static_cast<long>(at),
                       bytes.begin() + static_cast<long>(at) + 4);
}

std::filesystem::path game_scores() {
    return std::filesystem::path(SKARVELIN_TEST_DATA_DIR).parent_path().parent_path() / "data" /
           "music";
}

} // namespace

TEST(MusicScore, NotesAccidentalsOctavesAndStickyDurations) {
    const Score score = parse(score_with("section s\n"
                                         "  lead c4:8 f#4 bb3:4 r:4 c-1:8. c5:16 |\n"
                                         "end\n"
                                         "song s\n"));
    EXPECT_EQ(pitches_of(score), (std::vector<int>{60, 66, 58, 0, 72}));
    EXPECT_EQ(starts_of(score), (std::vector<std::int64_t>{0, 240, 480, 1440, 1800}));
    EXPECT_EQ(score.events[1].length_ticks, kQuarter / 2); // took the eighth from c4:8
    EXPECT_EQ(score.events[3].length_ticks, 3 * kQuarter / 4);
    EXPECT_EQ(score.length_ticks, 4 * kQuarter);
}

TEST(MusicScore, DurationsDottedTripletAndJoined) {
    const Score score =
        parse(score_with("section s\n"
                         "  lead c4:2. c4:8t c4 c4 c4:1+4 c4:16.. c4:32 c4:2 r:16..\n"
                         "end\n"
                         "song s\n"));
    std::vector<std::int64_t> lengths;
    for (const NoteEvent& event : score.events) {
        lengths.push_back(event.length_ticks);
    }
    EXPECT_EQ(lengths, (std::vector<std::int64_t>{1440, 160, 160, 160, 2400, 210, 60, 960}));
}

TEST(MusicScore, ChordsVelocitiesAndTies) {
    const Score score = parse(score_with("section s\n"
                                         "  lead v50 [c4 e4 g4]:2 v100 a4:4~ a4:8~ a4:8\n"
                                         "end\n"
                                         "song s\n"));
    ASSERT_EQ(score.events.size(), 4u);
    EXPECT_EQ(starts_of(score), (std::vector<std::int64_t>{0, 0, 0, 960}));
    EXPECT_DOUBLE_EQ(score.events[0].velocity, 0.5);
    EXPECT_DOUBLE_EQ(score.events[3].velocity, 1.0);
    EXPECT_EQ(score.events[3].length_ticks, 2 * kQuarter); // the tied a4 is one note
}

TEST(MusicScore, PatternsTransposeRepeatNestAndCarryVelocity) {
    const Score score = parse(score_with("pattern up\n"
                                         "  c4:8 d4\n"
                                         "end\n"
                                         "pattern twice\n"
                                         "  up up+12\n"
                                         "end\n"
                                         "section s\n"
                                         "  lead twice-2 (e4:4)*2 v50 up*2 r:2\n"
                                         "end\n"
                                         "song s\n"));
    EXPECT_EQ(pitches_of(score), (std::vector<int>{58, 60, 70, 72, 64, 64, 60, 62, 60, 62}));
    EXPECT_EQ(score.events.back().start_tick, 11 * kQuarter / 2);
    EXPECT_DOUBLE_EQ(score.events.back().velocity, 0.5);
}

TEST(MusicScore, SectionsLastAsLongAsTheirLongestLineAndFollowTheSong) {
    const Score score = parse(score_with("section a\n"
                                         "  lead c4:1 c4:1\n"
                                         "  kick c4:4\n"
                                         "end\n"
                                         "section b\n"
                                         "  lead d4:1\n"
                                         "end\n"
                                         "song a b*2 a\n"));
    EXPECT_EQ(score.length_ticks, 6 * kTicksPerWhole);
    const std::vector<std::int64_t> expected{0, 0, 1920, 3840, 5760, 7680, 7680, 9600};
    EXPECT_EQ(starts_of(score), expected);
    EXPECT_EQ(score.events[1].pitch, 60); // a drum played from a line keeps the written pitch
}

TEST(MusicScore, DrumGridsHitWithAccentsOnTheirRowsInstruments) {
    const Score score = parse("tempo 120\n"
                              "instrument kick kick\n"
                              "instrument snare snare\n"
                              "pattern beat1 grid=16\n"
                              "  kick  X.o. x... | .... ....\n"
                              "  snare .... x... | .... ...X\n"
                              "end\n"
                              "section s\n"
                              "  beat beat1\n"
                              "end\n"
                              "song s\n");
    ASSERT_EQ(score.events.size(), 5u);
    EXPECT_EQ(starts_of(score), (std::vector<std::int64_t>{0, 240, 480, 480, 1800}));
    EXPECT_DOUBLE_EQ(score.events[0].velocity, 1.0);
    EXPECT_DOUBLE_EQ(score.events[1].velocity, 0.45);
    EXPECT_DOUBLE_EQ(score.events[2].velocity, 0.8);
    EXPECT_EQ(score.events[0].pitch, -1);
    EXPECT_EQ(score.events[4].instrument, 1);
    EXPECT_EQ(score.length_ticks, kTicksPerWhole);
}

TEST(MusicScore, ArpeggiosGlidesAndInheritedInstruments) {
    const Score score = parse("tempo 100\n"
                              "instrument base saw pan=0.5 glide=40\n"
                              "instrument arp base arp=8 arpmode=updown arpoct=2\n"
                              "section s\n"
                              "  arp [c4 e4]:2.\n"
                              "  base c4:4 d4:4 r:4 e4:4\n"
                              "end\n"
                              "song s\n");
    EXPECT_DOUBLE_EQ(score.instruments[1].pan, 0.5);
    std::vector<int> arpeggio;
    std::vector<int> glides;
    for (const NoteEvent& event : score.events) {
        if (event.instrument == 1) {
            arpeggio.push_back(event.pitch);
        } else {
            glides.push_back(event.glide_from_pitch);
        }
    }
    EXPECT_EQ(arpeggio, (std::vector<int>{60, 64, 72, 76, 72, 64}));
    EXPECT_EQ(glides, (std::vector<int>{-1, 60, -1})); // only the legato step glides
}

TEST(MusicScore, CommentsStartOnlyAtATokenAndBarsMaySpanPatterns) {
    const Score score =
        parse(score_with("# a comment line\n"
                         "pattern two   # two bars\n"
                         "  c#4:1 | d#4:1 |\n"
                         "end\n"
                         "section s\n"
                         "  lead two | c4:1 |   # a bar line after two bars is fine\n"
                         "end\n"
                         "song s\n"));
    EXPECT_EQ(pitches_of(score), (std::vector<int>{61, 63, 60}));
}

TEST(MusicScore, LengthFollowsTempoAndMeter) {
    const Score four = parse(score_with("section s\n  lead c4:1 c4:1\nend\nsong s\n"));
    EXPECT_DOUBLE_EQ(four.length_seconds(), 4.0);
    EXPECT_DOUBLE_EQ(four.rendered_seconds(), 4.0 + four.master.tail_seconds);

    const Score waltz = parse("tempo 90\nmeter 6/8\ninstrument p sine\n"
                              "section s\n  p c4:4. c4:8t c4 c4 c4:8 | c4:2. |\nend\nsong s*2\n");
    EXPECT_EQ(waltz.bar_ticks(), 3 * kQuarter);
    EXPECT_DOUBLE_EQ(waltz.length_seconds(), 4 * 3 * 60.0 / 90.0);
}

namespace {

struct BadScore {
    const char* name;
    std::string text;
    int line;
    const char* problem;
};

void PrintTo(const BadScore& bad, std::ostream* out) {
    *out << bad.name;
}

class MusicScoreErrors : public testing::TestWithParam<BadScore> {};

const std::string kSong = "song s\n";

} // namespace

TEST_P(MusicScoreErrors, NameTheFileLineAndProblem) {
    const BadScore& bad = GetParam();
    try {
        parse(bad.text);
        FAIL() << "accepted: " << bad.text;
    } catch (const ScoreError& error) {
        const std::string message = error.what();
        const std::string where =
            bad.line > 0 ? "test.score:" + std::to_string(bad.line) + ": " : "test.score: ";
        EXPECT_EQ(message.rfind(where, 0), 0u) << message;
        EXPECT_NE(message.find(bad.problem), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, MusicScoreErrors,
    testing::Values(
        BadScore{"UnknownNote", score_with("section s\n  lead c4:4 h4:4\nend\n" + kSong), 5,
                 "unknown note name 'h4'"},
        BadScore{"NoteOutOfRange", score_with("section s\n  lead c10:4\nend\n" + kSong), 5,
                 "out of range"},
        BadScore{"BadDuration", score_with("section s\n  lead c4:3\nend\n" + kSong), 5,
                 "bad duration '3'"},
        BadScore{"DottedTooShort", score_with("section s\n  lead c4:64..\nend\n" + kSong), 5,
                 "too short to be dotted"},
        BadScore{"UnknownSound", "tempo 90\ninstrument x sawtooth\n", 2,
                 "unknown instrument type 'sawtooth'"},
        BadScore{"UnknownInstrument", score_with("section s\n  leed c4:1\nend\n" + kSong), 5,
                 "unknown instrument 'leed'"},
        BadScore{"UnknownRowInstrument",
                 score_with("pattern g grid=4\n  snare x\nend\nsection s\n  beat g\nend\n" + kSong),
                 5, "unknown instrument 'snare'"},
        BadScore{"UnknownPattern", score_with("section s\n  lead riff\nend\n" + kSong), 5,
                 "unknown pattern 'riff'"},
        BadScore{"UnknownSection", score_with("section s\n  lead c4:1\nend\nsong s t\n"), 7,
                 "unknown section 't'"},
        BadScore{"MissingTempo", "instrument a sine\nsection s\n  a c4:1\nend\n" + kSong, 0,
                 "missing 'tempo'"},
        BadScore{"MissingSong", score_with("section s\n  lead c4:1\nend\n"), 0, "missing 'song'"},
        BadScore{"ShortBar", score_with("section s\n  lead c4:1 | c4:2 c4:4 |\nend\n" + kSong), 5,
                 "bar 2 of section 's' lasts 3 quarter notes"},
        BadScore{"SectionNotWholeBars", score_with("section s\n  lead c4:2\nend\n" + kSong), 4,
                 "not a whole number of 4/4 bars"},
        BadScore{"SelfReference",
                 score_with("pattern p\n  c4:4 p\nend\nsection s\n  lead p\nend\n" + kSong), 5,
                 "pattern 'p' refers to itself"},
        BadScore{
            "GridOnInstrumentLine",
            score_with("pattern g grid=4\n  kick xxxx\nend\nsection s\n  lead g\nend\n" + kSong), 8,
            "is a drum grid"},
        BadScore{
            "ToneInDrumRow",
            score_with("pattern g grid=4\n  lead xxxx\nend\nsection s\n  beat g\nend\n" + kSong), 5,
            "'lead' is not a drum"},
        BadScore{"NotesOnBeatLine", score_with("section s\n  beat c4:1\nend\n" + kSong), 5,
                 "no instrument"},
        BadScore{"UnevenGridRows", score_with("pattern g grid=8\n  kick x.x.\n  lead x.\nend\n"), 6,
                 "has 2 steps but the first row has 4"},
        BadScore{"UnknownStep", score_with("pattern g grid=8\n  kick x.y.\nend\n"), 5,
                 "unknown step 'y'"},
        BadScore{"UnknownSetting", "tempo 90\ninstrument a sine volume=2\n", 2,
                 "unknown instrument setting 'volume'"},
        BadScore{"ValueOutOfRange", "tempo 90\ninstrument a sine pan=3\n", 2,
                 "pan must be a number from -1 to 1"},
        BadScore{"TempoNotANumber", "tempo fast\n", 1, "tempo must be a number"},
        BadScore{"MissingEnd", score_with("pattern p\n  c4:4\n"), 4, "has no 'end'"},
        BadScore{"UnknownDirective", "tempo 90\nvolume 3\n", 2, "unknown directive 'volume'"},
        BadScore{"BrokenTie", score_with("section s\n  lead c4:2~ d4:2\nend\n" + kSong), 5, "tie"},
        BadScore{"UnclosedChord", score_with("section s\n  lead [c4 e4\nend\n" + kSong), 5,
                 "closing ']'"},
        BadScore{"PatternNamedLikeANote", score_with("pattern a4\n  c4:4\nend\n"), 4,
                 "could be read as a note"}),
    [](const testing::TestParamInfo<BadScore>& score) { return std::string(score.param.name); });

TEST(MusicScore, MissingFileIsAScoreErrorNamingIt) {
    try {
        load_score("/nonexistent/piece.score");
        FAIL();
    } catch (const ScoreError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/piece.score"), std::string::npos);
    }
}

TEST(MusicWav, HeaderDescribesSixteenBitPcm) {
    const std::vector<std::int16_t> samples{0, -2, 32767, -32768, 1, 256};
    const std::vector<std::uint8_t> wav = encode_wav(samples, 2, 44100);
    ASSERT_EQ(wav.size(), 44u + 12u);
    EXPECT_EQ(text_at(wav, 0), "RIFF");
    EXPECT_EQ(u32_at(wav, 4), 36u + 12u);
    EXPECT_EQ(text_at(wav, 8), "WAVE");
    EXPECT_EQ(text_at(wav, 12), "fmt ");
    EXPECT_EQ(u32_at(wav, 16), 16u);
    EXPECT_EQ(u16_at(wav, 20), 1u); // PCM
    EXPECT_EQ(u16_at(wav, 22), 2u);
    EXPECT_EQ(u32_at(wav, 24), 44100u);
    EXPECT_EQ(u32_at(wav, 28), 44100u * 4u);
    EXPECT_EQ(u16_at(wav, 32), 4u);
    EXPECT_EQ(u16_at(wav, 34), 16u);
    EXPECT_EQ(text_at(wav, 36), "data");
    EXPECT_EQ(u32_at(wav, 40), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(wav.begin() + 44, wav.end()),
              (std::vector<std::uint8_t>{0, 0, 0xFE, 0xFF, 0xFF, 0x7F, 0x00, 0x80, 1, 0, 0, 1}));
}

TEST(ToolFileOutput, WritesWholeFilesOrThrows) {
    const auto dir = std::filesystem::temp_directory_path() / "musicgen_test_write";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    tools::write_file_whole(dir / "out.wav", bytes);
    EXPECT_EQ(std::filesystem::file_size(dir / "out.wav"), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1); // no leftovers

    EXPECT_THROW(tools::write_file_whole(dir / "missing" / "out.wav", bytes), std::runtime_error);
    std::filesystem::remove_all(dir);
}

namespace {

// Everything at once and far too loud: the master must still keep every sample in range.
const std::string kLoudScore = "tempo 140\n"
                               "master tail=1 fade=0.5\n"
                               "instrument lead saw unison=5 detune=20 gain=4 reverb=1 echo=1\n"
                               "instrument kick kick gain=4\n"
                               "instrument crash crash gain=4\n"
                               "pattern hits grid=8\n"
                               "  kick  XXXXXXXX\n"
                               "  crash X...X...\n"
                               "end\n"
                               "section s\n"
                               "  lead [c2 c3 g3 c4 e4 g4 c5]:1\n"
                               "  beat hits\n"
                               "end\n"
                               "song s*2\n";

} // namespace

TEST(MusicMix, ShortScoreRendersToTheExpectedLength) {
    const Score score = parse(kLoudScore);
    const std::vector<std::int16_t> pcm = to_pcm16(mix_score(score));
    const auto frames = static_cast<std::size_t>(std::llround(score.rendered_seconds() * 44100));
    EXPECT_EQ(pcm.size(), 2 * frames);
    const std::vector<std::uint8_t> wav = encode_wav(pcm, 2, 44100);
    EXPECT_EQ(u32_at(wav, 40), 4 * frames);
}

TEST(MusicMix, NeverClipsAndStartsAndEndsAtSilence) {
    const Score score = parse(kLoudScore);
    const std::vector<std::int16_t> pcm = to_pcm16(mix_score(score));
    const double ceiling = std::pow(10.0, score.master.ceiling_db / 20.0) * 32767.0;
    const auto loudest = std::max_element(pcm.begin(), pcm.end(),
                                          [](int a, int b) { return std::abs(a) < std::abs(b); });
    EXPECT_LE(std::abs(*loudest), ceiling + 1.0);
    EXPECT_GT(std::abs(*loudest), ceiling * 0.5); // loud, not merely scaled down to nothing
    EXPECT_EQ(pcm.front(), 0);
    EXPECT_EQ(pcm[pcm.size() - 1], 0);
    EXPECT_EQ(pcm[pcm.size() - 2], 0);
}

TEST(MusicMix, SameScoreSameSamples) {
    const Score score =
        parse(score_with("pattern g grid=16\n  kick x..x..x..x..x..x\nend\n"
                         "section s\n  lead c4:8 e4 g4 c5 g4 e4 c4:4\n  beat g\nend\n" +
                         kSong));
    EXPECT_EQ(to_pcm16(mix_score(score)), to_pcm16(mix_score(score)));
}

TEST(MusicGameScores, ParseAndLastAtLeastAMinute) {
    for (const char* name : {"risinghigh", "briefing", "lodestone"}) {
        SCOPED_TRACE(name);
        const Score score = load_score(game_scores() / (std::string(name) + ".score"));
        EXPECT_GE(score.length_seconds(), 60.0);
        EXPECT_LE(score.rendered_seconds(), 100.0);
        EXPECT_GT(score.events.size(), 500u);
    }
}

namespace {

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double window_rms_db(const std::vector<std::uint8_t>& wav, std::size_t first, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = first; i < first + count; ++i) {
        const auto sample = static_cast<std::int16_t>(u16_at(wav, 44 + 2 * i));
        sum += static_cast<double>(sample) * sample;
    }
    return 20.0 * std::log10(std::sqrt(sum / static_cast<double>(count)) / 32768.0 + 1e-9);
}

} // namespace

// The build renders the game's music before the tests run; check what the game will load.
TEST(MusicGameScores, GeneratedFilesAreLongNeverClipAndNeverFallSilent) {
    for (const char* name : {"risinghigh", "briefing", "lodestone"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> wav = read_bytes(
            std::filesystem::path(SKARVELIN_GAME_DATA_DIR) / (std::string(name) + ".wav"));
        ASSERT_GT(wav.size(), 44u);
        ASSERT_EQ(u32_at(wav, 40), wav.size() - 44);
        EXPECT_EQ(u16_at(wav, 22), 2u);
        EXPECT_EQ(u32_at(wav, 24), 44100u);
        const std::size_t samples = (wav.size() - 44) / 2;
        EXPECT_GE(samples / 2, 60u * 44100u);

        int peak = 0;
        for (std::size_t i = 0; i < samples; ++i) {
            peak = std::max(peak, std::abs(static_cast<std::int16_t>(u16_at(wav, 44 + 2 * i))));
        }
        EXPECT_LE(peak, 29205);                         // -1 dBFS
        const std::size_t window = 2 * 44100;           // one second of stereo samples
        const std::size_t music = samples - 6 * window; // before the final fade
        for (std::size_t first = 0; first + window <= music; first += window) {
            EXPECT_GT(window_rms_db(wav, first, window), -30.0) << "at " << first / window << " s";
        }
    }
}
