#pragma once
// The files around the program that carry texts of the game: the desktop's launcher entry,
// the software centre's description and the browser page. Their texts, as written in
// Japanese, are gathered for the translators' template, and each is written out again with
// the English translation in the place its format gives the language most users see.

#include "platform/system/catalogue.h"

#include <string>
#include <string_view>
#include <vector>

namespace localize {

// The texts to translate in a file, by its kind (its name's ending): a stored text (.txt,
// whole); the values of a launcher entry's Name, GenericName, Comment and Keywords
// (.desktop.in); the one-line <name>, <summary>, <p> and <caption> elements of a
// software-centre entry (.xml.in); the t('...') calls and the data-t="..." and
// data-t-label="..." attributes of a page (.html).
std::vector<std::string> texts_of(std::string_view file_name, std::string_view contents);

// A translators' template (.pot) of the texts, each once, with the file it came from.
struct SourcedText {
    std::string text;
    std::string file;
};
std::string pot_of(const std::vector<SourcedText>& texts);

// A launcher entry or software-centre entry with English as its plain value and the
// Japanese original marked as such; throws std::runtime_error naming a text the catalogue
// does not translate.
std::string filled(std::string_view file_name, std::string_view contents,
                   const platform::Catalogue& english);

// The page's texts as a script: `window.skarvelinTexts = {en: {original: translation}}`;
// throws std::runtime_error naming a text the catalogue does not translate.
std::string page_script(const std::vector<std::string>& texts, const platform::Catalogue& english);

} // namespace localize
