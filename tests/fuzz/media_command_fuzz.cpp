// Media command strings, one per line, through the interpreter with a silent output.

#include "platform/legacy/media.h"
#include "platform/system/paths.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class SilentOutput : public platform::MusicOutput {
  public:
    bool has_audio() const override { return true; }
    std::unique_ptr<Piece> load(const std::string&, std::string&) override {
        return std::make_unique<Piece>();
    }
    bool play(Piece&, std::string&) override {
        playing_ = true;
        return true;
    }
    void halt() override { playing_ = false; }
    bool is_playing() const override { return playing_; }

  private:
    bool playing_ = false;
};

// A data folder holding the game's three wave names, so that opens can succeed.
struct DataFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("skarvelin-fuzz-media-" + std::to_string(getpid()));
    DataFolder() {
        std::filesystem::create_directories(path);
        for (const char* name : {"risinghigh.wav", "briefing.wav", "lodestone.wav"}) {
            std::ofstream(path / name) << "RIFF";
        }
        setenv(platform::kDataFolderVariable, path.c_str(), 1);
    }
    ~DataFolder() { std::filesystem::remove_all(path); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DataFolder folder;
    platform::MediaInterpreter interpreter(std::make_unique<SilentOutput>());
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.size(), text.find('\n', at));
        interpreter.send_command(text.substr(at, end - at));
        at = end + 1;
    }
    return 0;
}
