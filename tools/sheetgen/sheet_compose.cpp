#include "sheet_compose.h"

#include "source_text.h"

#include <map>
#include <string>

namespace sheetgen {
namespace {

constexpr int unowned = -1;

std::string size_text(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string point_text(int x, int y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

class SheetPainter {
  public:
    SheetPainter(const SheetLayout& layout, const SheetPalette& palette)
        : layout_(layout), palette_(palette), sheet_(layout.width, layout.height),
          owner_(static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height),
                 unowned) {}

    PixelMap paint_all() {
        for (std::size_t i = 0; i < layout_.placements.size(); ++i) {
            paint(static_cast<int>(i), art_for(layout_.placements[i]));
        }
        for (std::size_t i = 0; i < layout_.placements.size(); ++i) {
            if (layout_.placements[i].kind == PlacementKind::sprite) {
                check_sprite_box(static_cast<int>(i));
            }
        }
        if (sheet_.at(0, 0) != SheetPalette::key_index) {
            throw SheetError(layout_.source.string() +
                             ": pixel (0,0) must stay the key colour; the game reads its "
                             "colour key there");
        }
        return sheet_;
    }

  private:
    PixelMap art_for(const Placement& placement) {
        auto cached = loaded_.find(placement.file);
        if (cached == loaded_.end()) {
            cached =
                loaded_.emplace(placement.file, PixelMap::load(placement.file, palette_)).first;
        }
        const PixelMap& art = cached->second;
        if (art.width() != placement.box.width || art.height() != placement.box.height) {
            throw error(placement, placement.file.string() + " is " +
                                       size_text(art.width(), art.height()) +
                                       ", its rectangle is " +
                                       size_text(placement.box.width, placement.box.height));
        }
        if (!placement.pitch) {
            return art;
        }
        try {
            return pitched(art, *placement.pitch);
        } catch (const SheetError& e) {
            throw error(placement, placement.file.string() + ": " + e.what());
        }
    }

    void paint(int index, const PixelMap& art) {
        const Placement& placement = layout_.placements[static_cast<std::size_t>(index)];
        bool painted_any = false;
        for (int y = 0; y < art.height(); ++y) {
            for (int x = 0; x < art.width(); ++x) {
                const std::uint8_t value = art.at(x, y);
                if (value == SheetPalette::key_index) {
                    continue;
                }
                const int sx = placement.box.x + x;
                const int sy = placement.box.y + y;
                int& owner = owner_at(sx, sy);
                if (owner != unowned) {
                    throw error(placement, "paints " + point_text(sx, sy) +
                                               ", already painted by line " +
                                               std::to_string(line_of(owner)));
                }
                owner = index;
                sheet_.set(sx, sy, value);
                painted_any = true;
            }
        }
        if (!painted_any && placement.kind == PlacementKind::sprite) {
            throw error(placement, placement.file.string() + " has no pixels besides the key");
        }
    }

    void check_sprite_box(int index) {
        const Rect& box = layout_.placements[static_cast<std::size_t>(index)].box;
        for (int y = box.y; y < box.y + box.height; ++y) {
            for (int x = box.x; x < box.x + box.width; ++x) {
                const int owner = owner_at(x, y);
                if (owner != unowned && owner != index) {
                    throw error(layout_.placements[static_cast<std::size_t>(owner)],
                                "paints " + point_text(x, y) + ", inside the sprite of line " +
                                    std::to_string(line_of(index)));
                }
            }
        }
    }

    int& owner_at(int x, int y) {
        return owner_[static_cast<std::size_t>(y) * static_cast<std::size_t>(layout_.width) +
                      static_cast<std::size_t>(x)];
    }

    int line_of(int index) const {
        return layout_.placements[static_cast<std::size_t>(index)].line;
    }

    SheetError error(const Placement& placement, const std::string& what) const {
        return source_error(layout_.source, placement.line, what);
    }

    const SheetLayout& layout_;
    const SheetPalette& palette_;
    PixelMap sheet_;
    std::vector<int> owner_;
    std::map<std::filesystem::path, PixelMap> loaded_;
};

} // namespace

PixelMap compose_sheet(const SheetLayout& layout, const SheetPalette& palette) {
    return SheetPainter(layout, palette).paint_all();
}

} // namespace sheetgen
