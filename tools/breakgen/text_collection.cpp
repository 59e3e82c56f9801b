#include "tools/breakgen/text_collection.h"

#include "platform/system/catalogue.h"
#include "platform/system/line_breaks.h"

#include <cstdio>
#include <optional>

namespace breakgen {

namespace {

class LiteralScanner {
  public:
    explicit LiteralScanner(std::string_view source) : s_(source) {}

    std::set<std::string> scan() && {
        while (i_ < s_.size()) {
            if (starts("//")) {
                skip_to("\n");
            } else if (starts("/*")) {
                skip_to("*/");
            } else if (starts("R\"")) {
                skip_raw_string();
            } else if (s_[i_] == '\'') {
                skip_quoted('\'');
            } else if (s_[i_] == '"') {
                read_joined_literals();
            } else {
                ++i_;
            }
        }
        return std::move(found_);
    }

  private:
    bool starts(std::string_view prefix) const { return s_.substr(i_).starts_with(prefix); }

    void skip_to(std::string_view end) {
        const size_t at = s_.find(end, i_);
        i_ = at == std::string_view::npos ? s_.size() : at + end.size();
    }

    void skip_raw_string() {
        const size_t open = s_.find('(', i_);
        if (open == std::string_view::npos) {
            i_ = s_.size();
            return;
        }
        const std::string close = ")" + std::string(s_.substr(i_ + 2, open - i_ - 2)) + "\"";
        i_ = open;
        skip_to(close);
    }

    void skip_quoted(char quote) {
        for (++i_; i_ < s_.size() && s_[i_] != quote; ++i_) {
            if (s_[i_] == '\\') {
                ++i_;
            }
        }
        ++i_;
    }

    void skip_space() {
        while (i_ < s_.size()) {
            if (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r') {
                ++i_;
            } else if (starts("//")) {
                skip_to("\n");
            } else if (starts("/*")) {
                skip_to("*/");
            } else {
                return;
            }
        }
    }

    void read_joined_literals() {
        std::string text;
        while (i_ < s_.size() && s_[i_] == '"') {
            text += read_literal();
            const size_t after = i_;
            skip_space();
            if (i_ >= s_.size() || s_[i_] != '"') {
                i_ = after;
                break;
            }
        }
        found_.insert(std::move(text));
    }

    std::string read_literal() {
        std::string text;
        for (++i_; i_ < s_.size() && s_[i_] != '"'; ++i_) {
            if (s_[i_] != '\\' || i_ + 1 >= s_.size()) {
                text += s_[i_];
                continue;
            }
            text += unescaped(s_[++i_]);
        }
        ++i_;
        return text;
    }

    static char unescaped(char c) {
        switch (c) {
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        case 'f':
            return '\f';
        case '0':
            return '\0';
        default:
            return c;
        }
    }

    std::string_view s_;
    size_t i_ = 0;
    std::set<std::string> found_;
};

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

std::set<std::string> string_literals(std::string_view source) {
    return LiteralScanner(source).scan();
}

std::set<std::string> translations(std::string_view catalogue_bytes) {
    const platform::Catalogue catalogue = platform::Catalogue::parse(
        {reinterpret_cast<const unsigned char*>(catalogue_bytes.data()), catalogue_bytes.size()});
    std::set<std::string> texts;
    for (const auto& [original, translation] : catalogue.entries()) {
        texts.insert(translation);
    }
    return texts;
}

std::string stored_text(std::string_view file_contents) {
    while (!file_contents.empty() &&
           (file_contents.back() == '\n' || file_contents.back() == '\r')) {
        file_contents.remove_suffix(1);
    }
    return std::string(file_contents);
}

std::string characters_of(const std::set<std::string>& texts) {
    std::set<std::string> characters;
    for (char c = ' '; c < 0x7F; ++c) {
        characters.insert(std::string(1, c));
    }
    for (const std::string& text : texts) {
        for (size_t i = 0; i < text.size();) {
            size_t n = 1;
            while (i + n < text.size() &&
                   (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
                ++n;
            }
            characters.insert(text.substr(i, n));
            i += n;
        }
    }
    std::string out;
    for (const std::string& c : characters) {
        out += c;
    }
    return out;
}

std::string table_source(const std::set<std::string>& texts) {
    std::string out = "// Generated by breakgen from the game's texts: do not edit.\n"
                      "#include \"platform/system/line_breaks.h\"\n\n"
                      "namespace platform {\n\n"
                      "const std::vector<BreakTableEntry>& game_text_breaks() {\n"
                      "    static const std::vector<BreakTableEntry> table = {\n";
    for (const std::string& text : texts) {
        if (text.empty()) {
            continue;
        }
        std::string marks;
        for (const platform::BreakMark m : platform::computed_line_break_marks(text)) {
            marks += static_cast<char>(m);
        }
        out += "        {std::string_view(" + quoted(text) + ", " + std::to_string(text.size()) +
               "), " + quoted(marks) + "},\n";
    }
    return out + "    };\n    return table;\n}\n\n} // namespace platform\n";
}

} // namespace breakgen
