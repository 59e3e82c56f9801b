#pragma once
// The controls a form is built of: text labels, push buttons, picture areas and
// stretched pictures. Each draws itself onto its form's client image.

#include "platform/gdi.h"
#include "platform/region.h"
#include "platform/text.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class Form;

enum class Align { Left, Right, Center };

class Control {
  public:
    Control(int x, int y, int w, int h) : left(x), top(y), width(w), height(h) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Draws the control onto its window's client image.
    virtual void render(Bitmap& client, const Font& form_font) const = 0;
    // Whether the client point lies on the control's area, shown or hidden.
    virtual bool covers(int x, int y) const;
    // Whether the control is shown at the client point.
    bool hit(int x, int y) const { return visible && covers(x, y); }
    // Repaints the control on screen at once, without delivering events.
    void refresh();

    int left, top, width, height;
    bool visible = true;
    // A press here drags the window (the window's background and title labels).
    bool drags_window = false;
    std::function<void(int button)> on_mouse_down;
    Form* form = nullptr;

  protected:
    friend class Form;
    // Called when the control is added to a form.
    virtual void attached() {}
};

class Label : public Control {
  public:
    using Control::Control;
    void render(Bitmap& client, const Font& form_font) const override;
    // Sets the text; an auto-sized label takes the size of its text.
    void set_text(std::string text);
    const std::string& text() const { return text_; }
    void set_font(Font f);
    const std::optional<Font>& font() const { return font_; }
    void set_auto_size(bool on);

    ColorRef fore_color = rgb(0, 0, 0);
    std::optional<ColorRef> back_color; // none: transparent
    Align alignment = Align::Left;
    bool word_wrap = false;

  private:
    // What the cached text image was rendered from.
    struct RenderedText {
        std::string text;
        Font font;
        int width = 0, height = 0;
        Align alignment = Align::Left;
        bool word_wrap = false;
        bool operator==(const RenderedText&) const = default;
    };

    void attached() override { fit_to_text(); }
    void fit_to_text();
    std::vector<std::string> lines(const Font& f) const;
    const TextMask& text_image(const Font& f) const;

    std::string text_;
    std::optional<Font> font_;
    bool auto_size_ = false;
    mutable std::optional<RenderedText> rendered_;
    mutable TextMask image_;
};

// A push button: clicked by releasing the left mouse button over it, or by Enter
// or the space bar while it has its window's keyboard focus.
class Button : public Control {
  public:
    Button(int x, int y, int w, int h, std::string text = {})
        : Control(x, y, w, h), caption(std::move(text)) {}
    void render(Bitmap& client, const Font& form_font) const override;

    std::string caption;
    std::optional<Font> font;
    std::function<void()> on_click;
    bool pushed = false; // drawn pushed in while the mouse holds it down

  private:
    mutable std::optional<std::pair<std::string, Font>> rendered_;
    mutable TextMask caption_image_;
};

// A picture area: what it shows on screen, and a persistent image that drawing
// goes into while persistent drawing is on.
class PictureBox : public Control {
  public:
    PictureBox(int x, int y, int w, int h);
    void render(Bitmap& client, const Font& form_font) const override;
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

    ColorRef back_color = rgb(0, 0, 0);
    ColorRef fore_color = rgb(0, 0, 0);
    std::optional<Font> font;
    int current_x = 0;
    int current_y = 0;
    std::optional<RoundRegion> region;

  private:
    DeviceContext screen_dc_;
    DeviceContext image_dc_;
    bool auto_redraw_ = false;
};

// A picture stretched to fill the control. The picture is scaled once, when it is
// set, so that repaints only copy it.
class Image : public Control {
  public:
    using Control::Control;
    void render(Bitmap& client, const Font& form_font) const override;

    // Shows `picture` scaled to the control's size (null: nothing), as stretch() does.
    void set_picture(const std::shared_ptr<const Bitmap>& picture);
    // The picture as shown, at the control's size; null when there is none.
    const Bitmap* shown() const { return scaled_ ? &*scaled_ : nullptr; }

  private:
    std::optional<Bitmap> scaled_;
};

} // namespace platform
