#include "source_text.h"

#include <string_view>

namespace sheetgen {

std::vector<SourceLine> read_source_lines(const std::filesystem::path& file) {
    const std::string text = tools::read_text_file(file);
    std::vector<SourceLine> lines;
    std::string_view rest = text;
    for (int number = 1; !rest.empty(); ++number) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() != '#') {
            lines.push_back({number, std::string(line)});
        }
    }
    return lines;
}

} // namespace sheetgen
