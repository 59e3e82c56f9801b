#include "platform/system/paths.h"

#include "platform/system/file_bytes.h"
#include "platform/system/quoting.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

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

// The entry of `folder` called `name`, or one whose name differs only in letter case, as
// the folder spells it.
std::optional<fs::path> find_entry(const fs::path& folder, const std::string& name) {
    std::error_code ec;
#ifndef _WIN32
    // Windows' own lookup ignores case, and would answer with the name as asked.
    fs::path exact = folder / path_of_utf8(name);
    if (fs::exists(exact, ec)) {
        return exact;
    }
#endif
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (same_ignoring_case(utf8_of(it->path().filename()), name)) {
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

// $SKARVELIN_DATA in UTF-8, or null when it is not set.
std::optional<std::string> chosen_data_folder() {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(L"SKARVELIN_DATA");
    if (!value) {
        return std::nullopt;
    }
    return utf8_of(fs::path(value));
#else
    const char* value = std::getenv(kDataFolderVariable);
    if (!value) {
        return std::nullopt;
    }
    return std::string(value);
#endif
}

} // namespace

fs::path path_of_utf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path executable_folder() {
#ifdef _WIN32
    std::wstring name(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0 || length >= name.size()) {
        return {};
    }
    name.resize(length);
    return fs::path(name).parent_path();
#else
    std::error_code ec;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : executable.parent_path();
#endif
}

std::vector<std::string> game_data_folders_for(const char* chosen,
                                               const fs::path& executable_folder) {
    if (chosen && *chosen) {
        return {chosen};
    }
    if (executable_folder.empty()) {
        return {"data"};
    }
    return {utf8_of(executable_folder / "data"),
            utf8_of((executable_folder / SKARVELIN_INSTALLED_DATA_RELATIVE).lexically_normal())};
}

std::vector<std::string> game_data_folders() {
    const std::optional<std::string> chosen = chosen_data_folder();
    return game_data_folders_for(chosen ? chosen->c_str() : nullptr, executable_folder());
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
        fs::path candidate = path_of_utf8(folder);
        for (const std::string& name : parts.names) {
            candidate /= path_of_utf8(name);
        }
        resolved.tried.push_back(utf8_of(candidate));
        const std::optional<fs::path> found = find_path(path_of_utf8(folder), parts.names);
        std::error_code ec;
        if (found && fs::is_regular_file(*found, ec)) {
            resolved.path = utf8_of(*found);
            resolved.found = true;
            return resolved;
        }
        if (const std::string kind = found ? irregular_kind(utf8_of(*found)) : "";
            !kind.empty() && resolved.misfit.empty()) {
            resolved.misfit = quoted_path(utf8_of(*found)) + " is " + kind + ", not a file";
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
