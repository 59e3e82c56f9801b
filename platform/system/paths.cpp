#include "platform/system/paths.h"

#include "platform/system/file_bytes.h"
#include "platform/system/quoting.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>

// Where the install puts the data folder, relative to the executable's folder; the build
// computes it from the install layout, so an installed tree finds its data in any prefix.
#ifndef SKARVELIN_INSTALLED_DATA_RELATIVE
#error "SKARVELIN_INSTALLED_DATA_RELATIVE comes from the build (CMakeLists.txt)"
#endif

namespace platform {

namespace fs = std::filesystem;

namespace {

struct GamePathParts {
    std::vector<std::string> names;
    std::string rejection;
};

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Strips "c:\" and splits the rest into names, refusing anything that could point
// outside the data folder.
GamePathParts split_game_path(std::string_view path) {
    GamePathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        if (std::tolower(static_cast<unsigned char>(path[0])) != 'c') {
            parts.rejection = "only drive c: holds game data";
            return parts;
        }
        path.remove_prefix(2);
        if (path.empty() || !is_separator(path.front())) {
            parts.rejection = "the name after the drive must start with a backslash";
            return parts;
        }
        path.remove_prefix(1);
    } else if (!path.empty() && is_separator(path.front())) {
        parts.rejection = "a path without a drive must be relative";
        return parts;
    }
    if (path.empty()) {
        parts.rejection = "the file name is empty";
        return parts;
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !is_separator(path[end])) {
            ++end;
        }
        std::string_view name = path.substr(start, end - start);
        if (name.empty()) {
            parts.rejection = "the path has an empty part (a doubled or trailing separator)";
        } else if (name == "." || name == "..") {
            parts.rejection = "\".\" and \"..\" are not allowed in game file names";
        } else if (name.find('\0') != std::string_view::npos) {
            parts.rejection = "the name contains a NUL character";
        }
        if (!parts.rejection.empty()) {
            parts.names.clear();
            return parts;
        }
        parts.names.emplace_back(name);
        start = end + 1;
    }
    return parts;
}

// The entry of `folder` called `name`, or one whose name differs only in letter case.
std::optional<fs::path> find_entry(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    fs::path exact = folder / name;
    if (fs::exists(exact, ec)) {
        return exact;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (same_ignoring_case(it->path().filename().string(), name)) {
            return it->path();
        }
    }
    return std::nullopt;
}

// Whatever `names` lead to inside `folder`, a file or not.
std::optional<fs::path> find_path(const fs::path& folder, const std::vector<std::string>& names) {
    fs::path here = folder;
    for (const std::string& name : names) {
        std::optional<fs::path> next = find_entry(here, name);
        if (!next) {
            return std::nullopt;
        }
        here = *next;
    }
    return here;
}

} // namespace

std::vector<std::string> game_data_folders_for(const char* chosen,
                                               const fs::path& executable_folder) {
    if (chosen && *chosen) {
        return {chosen};
    }
    if (executable_folder.empty()) {
        return {"data"};
    }
    return {(executable_folder / "data").string(),
            (executable_folder / SKARVELIN_INSTALLED_DATA_RELATIVE).lexically_normal().string()};
}

std::vector<std::string> game_data_folders() {
    std::error_code ec;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    return game_data_folders_for(std::getenv(kDataFolderVariable),
                                 ec ? fs::path() : executable.parent_path());
}

Resolved resolve_game_file_in(std::string_view windows_path,
                              const std::vector<std::string>& folders) {
    Resolved resolved;
    resolved.requested = std::string(windows_path);
    GamePathParts parts = split_game_path(windows_path);
    if (!parts.rejection.empty()) {
        resolved.rejection = parts.rejection;
        return resolved;
    }
    for (const std::string& folder : folders) {
        fs::path candidate = folder;
        for (const std::string& name : parts.names) {
            candidate /= name;
        }
        resolved.tried.push_back(candidate.string());
        const std::optional<fs::path> found = find_path(folder, parts.names);
        std::error_code ec;
        if (found && fs::is_regular_file(*found, ec)) {
            resolved.path = found->string();
            resolved.found = true;
            return resolved;
        }
        if (const std::string kind = found ? irregular_kind(found->string()) : "";
            !kind.empty() && resolved.misfit.empty()) {
            resolved.misfit = quoted_path(found->string()) + " is " + kind + ", not a file";
        }
    }
    if (!resolved.tried.empty()) {
        resolved.path = resolved.tried.front();
    }
    return resolved;
}

Resolved resolve_game_file(std::string_view windows_path) {
    return resolve_game_file_in(windows_path, game_data_folders());
}

std::string missing_file_message(const Resolved& resolved) {
    const std::string requested = quoted_path(resolved.requested);
    if (!resolved.misfit.empty()) {
        return "cannot use the game file " + requested + ": " + resolved.misfit;
    }
    std::string message = "cannot find the game file " + requested;
    if (!resolved.rejection.empty()) {
        return message + ": " + resolved.rejection;
    }
    message += ": looked for";
    for (size_t i = 0; i < resolved.tried.size(); ++i) {
        message += (i == 0 ? " " : ", ") + quoted_path(resolved.tried[i]);
    }
    return message + " (in any letter case); set " + kDataFolderVariable +
           " to the folder that holds the game's data";
}

} // namespace platform
