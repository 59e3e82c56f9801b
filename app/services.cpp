#include "app/services.h"

#include "engine/sys/errors.h"
#include "platform/system/paths.h"

namespace app {

std::string resolve_game_path(std::string_view path) {
    const platform::Resolved r = platform::resolve_game_file(path);
    if (!r.found) {
        throw nox::FileError(platform::missing_file_message(r));
    }
    return r.path;
}

} // namespace app
