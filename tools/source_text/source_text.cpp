#include "tools/source_text/source_text.h"

#include <fstream>
#include <sstream>

namespace tools {

SourceError source_error(const std::string& file, int line, const std::string& what) {
    return SourceError(file + ":" + std::to_string(line) + ": " + what);
}

std::string read_text_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw SourceError(file.string() + ": cannot open");
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw SourceError(file.string() + ": read error");
    }
    return text.str();
}

} // namespace tools
