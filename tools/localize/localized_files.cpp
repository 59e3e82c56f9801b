#include "tools/localize/localized_files.h"

#include <regex>
#include <set>
#include <stdexcept>

namespace localize {

namespace {

bool ends_with(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

const std::regex kDesktopKey(R"(^(Name|GenericName|Comment|Keywords)=(.*)$)");
const std::regex kXmlElement(R"(^(\s*)<(name|summary|p|caption)>(.*)</\2>\s*$)");
const std::regex kPageCall(R"(\bt\('([^'\\]*)'\))");
const std::regex kPageAttribute(R"re(\bdata-t(?:-label)?="([^"]*)")re");

std::vector<std::string> lines_of(std::string_view contents) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < contents.size()) {
        const size_t end = contents.find('\n', start);
        lines.emplace_back(contents.substr(start, end - start));
        start = end == std::string_view::npos ? contents.size() : end + 1;
    }
    return lines;
}

std::vector<std::string> matches(const std::string& contents, const std::regex& pattern) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(contents.begin(), contents.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[1].str());
    }
    return found;
}

std::string stored_text(std::string_view contents) {
    while (!contents.empty() && (contents.back() == '\n' || contents.back() == '\r')) {
        contents.remove_suffix(1);
    }
    return std::string(contents);
}

std::string po_string(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string english(std::string_view original, const platform::Catalogue& catalogue) {
    const std::string_view translation = catalogue.translate(original);
    if (translation == original) {
        throw std::runtime_error("no English for \"" + std::string(original) + "\"");
    }
    return std::string(translation);
}

std::string escaped_for_script(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
        }
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return escaped;
}

} // namespace

std::vector<std::string> texts_of(std::string_view file_name, std::string_view contents) {
    const std::string whole(contents);
    if (ends_with(file_name, ".txt")) {
        return {stored_text(contents)};
    }
    if (ends_with(file_name, ".html")) {
        std::vector<std::string> texts = matches(whole, kPageCall);
        for (std::string& text : matches(whole, kPageAttribute)) {
            texts.push_back(std::move(text));
        }
        return texts;
    }
    const bool desktop = ends_with(file_name, ".desktop.in");
    if (!desktop && !ends_with(file_name, ".xml.in")) {
        throw std::runtime_error("no texts known in a file like \"" + std::string(file_name) +
                                 "\"");
    }
    std::vector<std::string> texts;
    std::smatch match;
    for (const std::string& line : lines_of(contents)) {
        if (desktop && std::regex_match(line, match, kDesktopKey)) {
            texts.push_back(match[2].str());
        } else if (!desktop && std::regex_match(line, match, kXmlElement)) {
            texts.push_back(match[3].str());
        }
    }
    return texts;
}

std::string pot_of(const std::vector<SourcedText>& texts) {
    std::string pot = "msgid \"\"\nmsgstr \"\"\n"
                      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    std::set<std::string> seen;
    for (const SourcedText& t : texts) {
        if (seen.insert(t.text).second) {
            pot += "\n#: " + t.file + "\nmsgid " + po_string(t.text) + "\nmsgstr \"\"\n";
        }
    }
    return pot;
}

std::string filled(std::string_view file_name, std::string_view contents,
                   const platform::Catalogue& english_texts) {
    const bool desktop = ends_with(file_name, ".desktop.in");
    std::string out;
    std::smatch match;
    for (const std::string& line : lines_of(contents)) {
        if (desktop && std::regex_match(line, match, kDesktopKey)) {
            const std::string key = match[1].str(), original = match[2].str();
            out += key + "=" + english(original, english_texts) + "\n";
            out += key + "[ja]=" + original + "\n";
        } else if (!desktop && std::regex_match(line, match, kXmlElement)) {
            const std::string indent = match[1].str(), tag = match[2].str();
            const std::string original = match[3].str();
            out += indent + "<" + tag + ">" + english(original, english_texts) + "</" + tag + ">\n";
            out += indent + "<" + tag + " xml:lang=\"ja\">" + original + "</" + tag + ">\n";
        } else {
            out += line + "\n";
        }
    }
    return out;
}

std::string page_script(const std::vector<std::string>& texts,
                        const platform::Catalogue& english_texts) {
    std::string script = "window.skarvelinTexts = {en: {\n";
    std::set<std::string> seen;
    for (const std::string& text : texts) {
        if (seen.insert(text).second) {
            script += "  \"" + escaped_for_script(text) + "\": \"" +
                      escaped_for_script(english(text, english_texts)) + "\",\n";
        }
    }
    return script + "}};\n";
}

} // namespace localize
