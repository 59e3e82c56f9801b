#pragma once
// The pictures and texts stored with the windows.

#include "platform/legacy/gdi.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace app {

// Names of the stored pictures.
inline constexpr std::string_view kBackgroundPicture = "background.bmp"; // Form1 to Form5, frmMain
inline constexpr std::string_view kAircraftBackground = "aircraft_background.bmp"; // Form6
inline constexpr std::string_view kWorld1Picture = "world1.jpg";                   // 256 x 383
inline constexpr std::string_view kWorld2Picture = "world2.jpg";                   // 390 x 256
inline constexpr std::string_view kWorld3Picture = "world3.jpg";                   // 340 x 256
inline constexpr std::string_view kAircraftPicture = "aircraft.bmp"; // 807 x 437, 24-bit
// The desktop's picture of the windows: the fighter, 48 x 48 with transparency.
inline constexpr std::string_view kProgramIcon = "icon.png";

// Names of the stored texts (UTF-8).
inline constexpr std::string_view kWorld1Text = "world1.txt";
inline constexpr std::string_view kWorld2Text = "world2.txt";
inline constexpr std::string_view kWorld3Text = "world3.txt";
inline constexpr std::string_view kBriefingText = "briefing.txt";
// The English translation of the texts (a compiled catalogue).
inline constexpr std::string_view kEnglishCatalogue = "en.mo";

// Decodes a stored picture; throws platform::ImageError when it is missing or broken.
std::shared_ptr<platform::Bitmap> stored_picture(std::string_view name);
// A stored file's bytes as stored; throws std::runtime_error when missing.
std::span<const unsigned char> stored_bytes(std::string_view name);
// A stored text without its final line break; throws std::runtime_error when missing.
std::string stored_text(std::string_view name);

} // namespace app
