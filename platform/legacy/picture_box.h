#pragma once
// The picture area: all that code drawing into a window needs of it.

#include "platform/legacy/control.h"
#include "platform/legacy/gdi.h"
#include "platform/legacy/region.h"
#include "platform/legacy/window_scale.h"
#include "platform/system/bitmap.h"
#include "platform/system/text.h"

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A picture area: what it shows on screen, and a persistent image that drawing
// goes into while persistent drawing is on.
class PictureBox : public Control {
  public:
    PictureBox(int x, int y, int w, int h);
    void render(Bitmap& client, const Font& form_font, int origin_x = 0,
                int origin_y = 0) const override;
    // Its pixels are not part of it: a window compares them with what it shows.
    std::optional<std::string> look() const override;
    // Outside its region the area is not there: presses go to what lies below.
    bool covers(int x, int y) const override;

    // The drawing context of whatever drawing goes into now.
    DeviceContext& hdc() { return auto_redraw_ ? image_dc_ : screen_dc_; }
    double scale_width() const { return width; }
    double scale_height() const { return height; }

    // Persistent drawing: on, drawing goes into the kept image, shown on refresh.
    void set_auto_redraw(bool on);
    bool auto_redraw() const { return auto_redraw_; }
    // The persistent image (the bitmap a loaded picture is held in).
    std::shared_ptr<Bitmap> image() const { return image_dc_.bitmap_ptr(); }
    void set_picture(std::shared_ptr<Bitmap> picture);
    void remove_picture();

    // Prints one line at the text position with a transparent background and moves
    // the text position to the start of the next line.
    void print(std::string_view utf8);
    // Clears to the background colour; the text position goes home.
    void cls();
    // Shows the persistent image on screen (when on) and repaints at once.
    void repaint();

    const Bitmap& screen() const { return *screen_dc_.bitmap_ptr(); }
    // Of each row of the area, the run that shows: inside the region, when there is one.
    const std::vector<RowRun>& shown_rows() const;

    ColorRef back_color = rgb(0, 0, 0);
    ColorRef fore_color = rgb(0, 0, 0);
    std::optional<Font> font;
    int current_x = 0;
    int current_y = 0;
    std::optional<RoundRegion> region;

  private:
    // What shown_rows() was worked out for, and its answer.
    mutable std::optional<std::pair<std::optional<RoundRegion>, PixelSize>> rows_for_;
    mutable std::vector<RowRun> rows_;
    DeviceContext screen_dc_;
    DeviceContext image_dc_;
    bool auto_redraw_ = false;
};

} // namespace platform
