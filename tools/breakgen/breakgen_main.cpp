// breakgen TABLE.cpp CHARACTERS.txt FILE...: writes the browser build's table of line
// breaks for every text in the files (the string literals of C++ sources, stored texts,
// .txt, whole, and the translations of a compiled catalogue, .mo), and every character
// they use.

#include "tools/breakgen/text_collection.h"
#include "tools/file_output/file_output.h"

#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

void write_text(const char* path, const std::string& text) {
    tools::write_file_whole(path,
                            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: breakgen TABLE.cpp CHARACTERS.txt FILE...\n";
        return 2;
    }
    std::set<std::string> texts;
    for (int i = 3; i < argc; ++i) {
        const std::string name = argv[i];
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            std::cerr << "breakgen: cannot read \"" << name << "\"\n";
            return 1;
        }
        std::ostringstream contents;
        contents << in.rdbuf();
        if (name.ends_with(".txt")) {
            texts.insert(breakgen::stored_text(contents.str()));
        } else if (name.ends_with(".mo")) {
            try {
                texts.merge(breakgen::translations(contents.str()));
            } catch (const std::exception& e) {
                std::cerr << "breakgen: \"" << name << "\": " << e.what() << "\n";
                return 1;
            }
        } else {
            texts.merge(breakgen::string_literals(contents.str()));
        }
    }
    try {
        write_text(argv[1], breakgen::table_source(texts));
        write_text(argv[2], breakgen::characters_of(texts));
    } catch (const std::exception& e) {
        std::cerr << "breakgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
