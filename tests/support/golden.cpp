#include "tests/support/golden.h"

#include "platform/system/image.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace golden {

bool updating() {
    const char* v = std::getenv("SKARVELIN_UPDATE_GOLDEN");
    return v && std::string_view(v) == "1";
}

namespace {

// The top byte of a 32-bit pixel is never shown, and a PNG does not keep it.
constexpr uint32_t kShownBits = 0x00FFFFFFu;

std::string hex(uint32_t pixel) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", pixel);
    return buf;
}

std::string size_text(const platform::Bitmap& b) {
    return std::to_string(b.width()) + " x " + std::to_string(b.height());
}

struct Differences {
    long count = 0;
    int first_x = 0, first_y = 0;
    uint32_t reference = 0, actual = 0; // at the first
    int left = 0, top = 0, right = 0, bottom = 0;

    void add(int x, int y, uint32_t want, uint32_t got) {
        if (count++ == 0) {
            first_x = left = right = x;
            first_y = top = bottom = y;
            reference = want;
            actual = got;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = y;
    }

    std::string text(const platform::Bitmap& picture) const {
        return std::to_string(count) + " of " + size_text(picture) + " pixels differ, within x " +
               std::to_string(left) + ".." + std::to_string(right) + ", y " + std::to_string(top) +
               ".." + std::to_string(bottom) + "; the first at (" + std::to_string(first_x) + ", " +
               std::to_string(first_y) + "): reference " + hex(reference) + ", picture " +
               hex(actual);
    }
};

// Whether a colour channel of the two differs by more than `tolerance`.
bool differs(uint32_t want, uint32_t got, int tolerance) {
    if (((want ^ got) & kShownBits) == 0) {
        return false;
    }
    for (int shift = 0; shift < 24; shift += 8) {
        const int d =
            static_cast<int>((want >> shift) & 0xFF) - static_cast<int>((got >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) {
            return true;
        }
    }
    return false;
}

// Both 32-bit and of one size.
Differences compare(const platform::Bitmap& reference, const platform::Bitmap& actual,
                    int tolerance) {
    Differences d;
    for (int y = 0; y < actual.height(); ++y) {
        const uint32_t* want = reference.row(y);
        const uint32_t* got = actual.row(y);
        for (int x = 0; x < actual.width(); ++x) {
            if (differs(want[x], got[x], tolerance)) {
                d.add(x, y, want[x] & kShownBits, got[x] & kShownBits);
            }
        }
    }
    return d;
}

constexpr const char* kRewriteHint =
    "if the change is intended, SKARVELIN_UPDATE_GOLDEN=1 rewrites the reference";

// A failure that leaves the picture beside the reference for viewing.
::testing::AssertionResult failure_keeping(const platform::Bitmap& actual,
                                           const fs::path& reference, const std::string& why,
                                           const char* hint = kRewriteHint) {
    const fs::path written = actual_path(reference);
    std::error_code ec;
    fs::create_directories(written.parent_path(), ec); // a missing folder is reported by the save
    try {
        platform::save_png(actual, written.string());
        return ::testing::AssertionFailure()
               << why << "\n  the picture is in " << written.string() << "\n  " << hint;
    } catch (const platform::ImageError& e) {
        return ::testing::AssertionFailure()
               << why << "\n  and the picture could not be kept: " << e.what();
    }
}

::testing::AssertionResult rewrite(const platform::Bitmap& actual, const fs::path& reference) {
    std::error_code ec;
    fs::create_directories(reference.parent_path(), ec);
    try {
        platform::save_png(actual, reference.string());
    } catch (const platform::ImageError& e) {
        return ::testing::AssertionFailure() << "cannot rewrite the reference: " << e.what();
    }
    fs::remove(actual_path(reference), ec);
    std::cout << "[ golden   ] rewrote " << reference.string() << ": review it before committing\n";
    return ::testing::AssertionSuccess();
}

} // namespace

fs::path reference_dir() {
    return fs::path(SKARVELIN_TEST_DATA_DIR) / "golden";
}

fs::path actual_path(const fs::path& reference) {
    return reference.parent_path() / (reference.stem().string() + ".actual.png");
}

::testing::AssertionResult matches_reference(const platform::Bitmap& actual,
                                             const fs::path& reference, int tolerance) {
    if (actual.bits_per_pixel() != 32) {
        return ::testing::AssertionFailure() << "only 32-bit pictures can be compared, not "
                                             << actual.bits_per_pixel() << "-bit ones";
    }
    if (updating()) {
        return rewrite(actual, reference);
    }
    std::error_code ec;
    if (!fs::exists(reference, ec)) {
        return failure_keeping(actual, reference, "no reference picture " + reference.string(),
                               "to make it, run this test with SKARVELIN_UPDATE_GOLDEN=1 and "
                               "review the picture it writes");
    }
    std::shared_ptr<platform::Bitmap> want;
    try {
        want = platform::load_image_file(reference.string());
    } catch (const platform::ImageError& e) {
        return failure_keeping(actual, reference, std::string("unreadable reference: ") + e.what());
    }
    if (want->width() != actual.width() || want->height() != actual.height()) {
        return failure_keeping(actual, reference,
                               "the reference is " + size_text(*want) + ", the picture " +
                                   size_text(actual));
    }
    const Differences d = compare(*want, actual, tolerance);
    if (d.count > 0) {
        return failure_keeping(actual, reference,
                               reference.filename().string() + ": " + d.text(actual));
    }
    fs::remove(actual_path(reference), ec);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult matches_golden(const platform::Bitmap& actual, std::string_view name,
                                          int tolerance) {
    return matches_reference(actual, reference_dir() / (std::string(name) + ".png"), tolerance);
}

} // namespace golden
