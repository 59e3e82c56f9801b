#pragma once
// Gathers every text the game can show, for the browser build's table of line breaks:
// the string literals of its sources and its stored texts.

#include <set>
#include <string>
#include <string_view>

namespace breakgen {

// The string literals of C++ source, adjacent ones joined as the compiler joins them,
// escapes decoded. Raw strings, character literals and comments are skipped.
std::set<std::string> string_literals(std::string_view source);

// A stored text as the game shows it: without its final line breaks.
std::string stored_text(std::string_view file_contents);

// The translations in a compiled catalogue; throws platform::CatalogueError when it is not one.
std::set<std::string> translations(std::string_view catalogue_bytes);

// Every character of the texts and the printable ASCII ones (the head-up display composes
// its figures), each once, as UTF-8: the glyphs the browser's fonts must keep.
std::string characters_of(const std::set<std::string>& texts);

// The generated C++ source of the table: each text with its line-break marks.
std::string table_source(const std::set<std::string>& texts);

} // namespace breakgen
