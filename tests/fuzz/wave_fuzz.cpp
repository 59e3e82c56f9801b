// Wave files: the format check, and every file it passes opened and started by the
// real player, so that a header the mixer mishandles shows up as a crash here.

#include "platform/legacy/media.h"
#include "platform/sdl/media_player.h"
#include "platform/system/paths.h"
#include "platform/system/wave_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

struct Player {
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("skarvelin-fuzz-wave-" + std::to_string(getpid()));
    std::unique_ptr<platform::SdlMediaPlayer> player;

    Player() {
        std::filesystem::create_directories(folder);
        setenv(platform::kDataFolderVariable, folder.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        player = std::make_unique<platform::SdlMediaPlayer>();
    }
    ~Player() { std::filesystem::remove_all(folder); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!platform::wave_problem(bytes).empty()) {
        return 0;
    }
    static Player player;
    std::ofstream(player.folder / "fuzz.wav", std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (player.player->send_command("open c:\\fuzz.wav type WaveAudio alias f") ==
        platform::kMediaOk) {
        player.player->send_command("play f");
        player.player->send_command("close f");
    }
    return 0;
}
