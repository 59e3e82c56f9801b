#pragma once
// Text from outside (arguments, files) echoed back in messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// `text` in double quotes, cut to `max_chars` characters with "..." after, and every
// byte that is not printable ASCII (and the quote and backslash) escaped, so that a
// message stays one short, readable line whatever it quotes.
std::string quoted(std::string_view text, size_t max_chars = 40);

// A file's path in double quotes, whole and as it is, except that control characters and
// bytes that are not UTF-8 are written `\xNN`, as quoted() writes them: a name can make
// neither a message span lines nor a terminal obey it.
std::string quoted_path(std::string_view path);

} // namespace platform
