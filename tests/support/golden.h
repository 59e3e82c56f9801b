#pragma once
// Pictures checked against reviewed reference PNGs, pixel for pixel.
//
// A picture that differs from its reference fails with the number of differing
// pixels, their bounding box and the first of them, and is written beside the
// reference as <name>.actual.png for viewing. With SKARVELIN_UPDATE_GOLDEN=1 the
// reference is rewritten instead: that is how a reference is made or changed on
// purpose, and the new picture must then be reviewed before it is committed.

#include "platform/legacy/gdi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace golden {

// Whether SKARVELIN_UPDATE_GOLDEN=1 asks for references to be rewritten.
bool updating();

// The references of the tests: tests/data/golden.
std::filesystem::path reference_dir();

// Compares `actual` with the PNG `reference`, a colour channel allowed to differ by
// `tolerance`; <stem>.actual.png beside it receives the picture on a failure and is
// removed on a match.
::testing::AssertionResult matches_reference(const platform::Bitmap& actual,
                                             const std::filesystem::path& reference,
                                             int tolerance = 0);

// matches_reference with reference_dir() / "<name>.png".
::testing::AssertionResult matches_golden(const platform::Bitmap& actual, std::string_view name,
                                          int tolerance = 0);

// Where a failed comparison writes the picture it was given.
std::filesystem::path actual_path(const std::filesystem::path& reference);

} // namespace golden
