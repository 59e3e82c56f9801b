// localize pot OUT.pot FILE...            the translators' template of the files' texts
// localize fill CATALOGUE.mo IN OUT       a launcher or software-centre entry in both languages
// localize page CATALOGUE.mo PAGE OUT.js  the page's texts in English, as a script

#include "tools/file_output/file_output.h"
#include "tools/localize/localized_files.h"
#include "tools/source_text/source_text.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

void write_text(const std::filesystem::path& path, const std::string& text) {
    tools::write_file_whole(path,
                            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

platform::Catalogue read_catalogue(const std::filesystem::path& path) {
    const std::string bytes = tools::read_text_file(path);
    try {
        return platform::Catalogue::parse(
            {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
    } catch (const platform::CatalogueError& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

int run(const std::vector<std::string>& args) {
    if (args.size() >= 2 && args[0] == "pot") {
        std::vector<localize::SourcedText> texts;
        for (size_t i = 2; i < args.size(); ++i) {
            const std::string name = std::filesystem::path(args[i]).filename().string();
            for (std::string& text : localize::texts_of(name, tools::read_text_file(args[i]))) {
                texts.push_back({std::move(text), name});
            }
        }
        write_text(args[1], localize::pot_of(texts));
        return 0;
    }
    if (args.size() == 4 && args[0] == "fill") {
        const std::string name = std::filesystem::path(args[2]).filename().string();
        write_text(args[3],
                   localize::filled(name, tools::read_text_file(args[2]), read_catalogue(args[1])));
        return 0;
    }
    if (args.size() == 4 && args[0] == "page") {
        const std::string name = std::filesystem::path(args[2]).filename().string();
        write_text(args[3],
                   localize::page_script(localize::texts_of(name, tools::read_text_file(args[2])),
                                         read_catalogue(args[1])));
        return 0;
    }
    std::cerr << "usage: localize pot OUT.pot FILE... | fill CATALOGUE.mo IN OUT |"
                 " page CATALOGUE.mo PAGE.html OUT.js\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "localize: " << e.what() << "\n";
        return 1;
    }
}
