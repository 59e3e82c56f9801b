#include "source_text.h"

#include <fstream>

namespace sheetgen {

SheetError source_error(const std::filesystem::path& file, int line, const std::string& what) {
    return SheetError(file.string() + ":" + std::to_string(line) + ": " + what);
}

std::vector<SourceLine> read_source_lines(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        throw SheetError(file.string() + ": cannot open");
    }
    std::vector<SourceLine> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (text.empty() || text.front() == '#') {
            continue;
        }
        lines.push_back({number, text});
    }
    if (in.bad()) {
        throw SheetError(file.string() + ": read error");
    }
    return lines;
}

} // namespace sheetgen
