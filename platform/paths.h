#pragma once
// The game names its files the way it did on its first platform ("c:\TarnChar.gif").
// Every such name resolves here, and only here, to the game's data folder.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The environment variable that, when set, names the data folder instead of the
// default data/ beside the executable.
inline constexpr const char* kDataFolderVariable = "SKARVELIN_DATA";

struct Resolved {
    std::string requested;          // the name as the game gave it
    std::string path;               // where the file is, or would be
    std::vector<std::string> tried; // every place looked at, in order
    bool found = false;
    std::string rejection; // why the name itself is unacceptable; empty when it is fine
};

// The game's data folder: $SKARVELIN_DATA when set, otherwise data/ beside the executable.
std::string game_data_folder();

// Resolves "c:\NAME" (any case, backslashes or slashes) or a bare relative "NAME" inside
// the data folder. A name that differs only in letter case from the file on disk is
// found too, as it was on the game's first platform. Names that would leave the data
// folder ("..", a second root after the drive, another drive, empty parts) are rejected.
Resolved resolve_game_file(std::string_view windows_path);

// A one-line message for a file that was not found, naming every place tried.
std::string missing_file_message(const Resolved& resolved);

} // namespace platform
