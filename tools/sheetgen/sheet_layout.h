#pragma once

#include "pixel_map.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace sheetgen {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// A sprite owns its rectangle: nothing else may paint inside it, because the
// game blits the whole rectangle. A picture only owns the pixels it paints,
// so sprites may sit in its empty parts.
enum class PlacementKind { sprite, picture };

struct Placement {
    PlacementKind kind = PlacementKind::sprite;
    std::filesystem::path file;
    Rect box;
    std::optional<Pitch> pitch;
    int line = 0;
};

// The sheet description: its size, its palette and where each art file goes.
struct SheetLayout {
    std::filesystem::path source;
    int width = 0;
    int height = 0;
    std::filesystem::path palette;
    std::vector<Placement> placements;

    static SheetLayout load(const std::filesystem::path& file);
};

} // namespace sheetgen
