#pragma once
// Font files found through fontconfig.

#include <fontconfig/fontconfig.h>

#include <memory>
#include <set>
#include <string>

namespace platform {

class FontconfigLookup {
  public:
    // The system's configuration, or the one in `config_file` alone.
    explicit FontconfigLookup(const std::string& config_file = "");

    // The file of the face that best stands in for `family` (its bold face when `bold`);
    // throws FontNotFound, saying which font the game needs, when there is no face at all.
    // A face without Japanese characters for a Japanese family, which would draw every
    // text as empty boxes, is used, and stderr says once per family which font the game
    // needs instead.
    std::string file(const std::string& family, bool bold = false);

  private:
    std::unique_ptr<FcConfig, void (*)(FcConfig*)> config_;
    std::set<std::string> warned_;
};

} // namespace platform
