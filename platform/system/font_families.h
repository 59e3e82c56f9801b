#pragma once
// The faces that stand in for the Windows font families: the IPA faces for the Japanese
// ones, a metric-compatible Liberation face for the Latin one of the English texts.

#include <string>

namespace platform {

// The family metric-compatible with a Windows family ("ＭＳ 明朝" -> "IPAMincho",
// "Arial" -> "Liberation Sans"); any other name as it is.
std::string stand_in_family(const std::string& family);

// Whether the family draws Japanese text, and so must have its characters.
bool is_japanese_family(const std::string& family);

// What the game needs for `family`, in plain ASCII so that any message box can show it:
// "the IPA font IPAMincho (Debian package fonts-ipafont-mincho)", or a font of any other
// name, escaped.
std::string needed_font(const std::string& family);

} // namespace platform
