#pragma once
// The game names its files the way it did on its first platform ("c:\TarnChar.gif").
// Every such name resolves here, and only here, to a file in the game's data folders.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The environment variable that, when set, names the one data folder, instead of the
// folders found from the executable's place.
inline constexpr const char* kDataFolderVariable = "SKARVELIN_DATA";

struct Resolved {
    std::string requested;          // the name as the game gave it
    std::string path;               // where the file is, or would be
    std::vector<std::string> tried; // every place looked at, in order
    bool found = false;
    std::string rejection; // why the name itself is unacceptable; empty when it is fine
    std::string misfit;    // the first place holding something else by that name, and what
};

// Paths travel through the program as UTF-8 strings. These convert at the filesystem's
// door: Windows would read a plain narrow string in its ANSI code page instead.
std::filesystem::path path_of_utf8(std::string_view utf8);
std::string utf8_of(const std::filesystem::path& path);

// The folder of the running program; empty when the system cannot tell.
std::filesystem::path executable_folder();

// The folders the game's data is looked up in, first to last: the folder $SKARVELIN_DATA
// names, alone, when it is set; otherwise data/ beside the executable (a build tree), then
// the installed data folder at its place relative to the executable (an installed tree, in
// whatever prefix it was installed or moved to).
std::vector<std::string> game_data_folders();

// The same for an executable in `executable_folder` (empty: unknown, so "data" in the
// working folder) and the variable set to `chosen` (null or empty: unset).
std::vector<std::string> game_data_folders_for(const char* chosen,
                                               const std::filesystem::path& executable_folder);

// Resolves "c:\NAME" (any case, backslashes or slashes) or a bare relative "NAME" inside
// the data folders, the first folder that holds the file winning. A name that differs only
// in letter case from the file on disk is found too, as it was on the game's first
// platform. Names that would leave the data folder ("..", a second root after the drive,
// another drive, empty parts) are rejected.
Resolved resolve_game_file(std::string_view windows_path);

// The same in the given folders.
Resolved resolve_game_file_in(std::string_view windows_path,
                              const std::vector<std::string>& folders);

// A one-line message for a file that was not found: what is there instead of the file, or
// every place tried.
std::string missing_file_message(const Resolved& resolved);

} // namespace platform
