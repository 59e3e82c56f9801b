#pragma once
// Where a text may, and where it must, be broken into lines: one mark per byte of
// UTF-8, the mark of a character on its last byte. The desktop asks libunibreak with
// the rules of Japanese; the browser build, which has no libunibreak, looks the
// answers up in a table that the desktop build computed for every text of the game.

#include <string_view>
#include <vector>

namespace platform {

enum class BreakMark : char {
    Must = '0',       // a line break follows (after a newline)
    Allow = '1',      // a line may end after this character
    None = '2',       // this character and the next stay on one line
    InsideChar = '3', // not the last byte of a character
};

std::vector<BreakMark> line_break_marks(std::string_view utf8);

// The marks libunibreak's rules give, where the answer must be computed.
std::vector<BreakMark> computed_line_break_marks(std::string_view utf8);

// Marks for a text the table does not hold: newlines must break and a line may end
// after any whole character, so that nothing is lost, if less well placed.
std::vector<BreakMark> fallback_line_break_marks(std::string_view utf8);

// Texts with their marks, sorted by text, as the table generator writes them.
struct BreakTableEntry {
    std::string_view text;
    std::string_view marks; // one BreakMark character per byte of text
};

// The marks of `utf8` from a sorted table; the fallback's when it is not there or its
// entry does not fit the text.
std::vector<BreakMark> table_line_break_marks(std::string_view utf8,
                                              const std::vector<BreakTableEntry>& table);

// The table of every text the game shows, generated for the browser build.
const std::vector<BreakTableEntry>& game_text_breaks();

} // namespace platform
