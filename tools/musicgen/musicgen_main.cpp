// musicgen: synthesizes the game's music from the text scores in data/music/.
// Usage: musicgen <score> <output.wav>

#include "mixer.h"
#include "score.h"
#include "wav.h"

#include "tools/file_output/file_output.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: musicgen <score> <output.wav>\n";
        return 2;
    }
    try {
        const musicgen::Score score = musicgen::load_score(argv[1]);
        const auto pcm = musicgen::to_pcm16(musicgen::mix_score(score));
        tools::write_file_whole(argv[2], musicgen::encode_wav(pcm, 2, musicgen::kSampleRate));
    } catch (const std::exception& e) {
        std::cerr << "musicgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
