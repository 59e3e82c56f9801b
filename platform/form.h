#pragma once
// Windows and their controls, as plain objects that the game code builds and
// changes; a WindowSystem shows them on screen and delivers their events.
// Nothing here needs a display, so the game runs headless on the same objects.

#include "platform/events.h"
#include "platform/gdi.h"
#include "platform/text.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Form;

struct RoundRegion {
    int left, top, right, bottom; // corners, right and bottom exclusive
    int ellipse_width, ellipse_height;
    bool contains(int x, int y) const;
    // The points of row y inside the region are [x0, x1); false when there are none.
    bool row_span(int y, int& x0, int& x1) const;
    bool operator==(const RoundRegion&) const = default;
};

enum class Align { Left, Right, Center };

class Control {
  public:
    Control(int left, int top, int width, int height)
        : left(left), top(top), width(width), height(height) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Draws the control onto its window's client image.
    virtual void render(Bitmap& client, const Font& form_font) const = 0;
    // Whether a press at this client point lands on the control.
    virtual bool hit(int x, int y) const;
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
    Button(int left, int top, int width, int height, std::string caption = {})
        : Control(left, top, width, height), caption(std::move(caption)) {}
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
    PictureBox(int left, int top, int width, int height);
    void render(Bitmap& client, const Font& form_font) const override;
    // Outside its region the area is not there: presses go to what lies below.
    bool hit(int x, int y) const override;

    // The drawing context of whatever drawing goes into now.
    DeviceContext& hdc() { return auto_redraw_ ? image_dc_ : screen_dc_; }
    double scale_width() const { return width; }
    double scale_height() const { return height; }

    // Persistent drawing: on, drawing goes into the kept image, shown on refresh.
    void set_auto_redraw(bool on);
    bool auto_redraw() const { return auto_redraw_; }
    // The persistent image (the bitmap a loaded picture is held in).
    std::shared_ptr<Bitmap> image() const { return image_dc_.bitmap_ptr(); }
    // Loads an image file as the persistent image, whole, whatever the area's size;
    // throws ImageError when the file is missing or unreadable.
    void load_picture(const std::string& path);
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

    // Shows `picture` scaled to the control's size (null: nothing). Shrinking averages
    // the area each pixel covers; enlarging interpolates between neighbours.
    void set_picture(const std::shared_ptr<const Bitmap>& picture);
    // The picture as shown, at the control's size; null when there is none.
    const Bitmap* shown() const { return scaled_ ? &*scaled_ : nullptr; }

  private:
    std::optional<Bitmap> scaled_;
};

// A copy of a 32-bit `source` resampled to width x height; throws
// std::invalid_argument for other depths and for sizes below 1 x 1.
Bitmap stretch(const Bitmap& source, int width, int height);

// Where a form is shown; the window system implements it.
class FormHost {
  public:
    virtual ~FormHost() = default;
    virtual void repaint(Form& form) = 0;
    // The form is being destroyed; the host must let go of it.
    virtual void forget(Form&) {}
};

class Form {
  public:
    Form(std::string caption, int client_width = 549, int client_height = 349)
        : caption(std::move(caption)), client_width(client_width), client_height(client_height) {}
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Controls in stacking order: the first added lies on top.
    void add(Control& c);
    const std::vector<Control*>& controls() const { return controls_; }
    // The topmost visible control at a client point, or null for the background.
    Control* control_at(int x, int y) const;

    // Composes the client area: background picture, then controls bottom to top.
    void render(Bitmap& client) const;
    // Repaints the whole window at once.
    void repaint();
    // Marks the window as changed: the window system shows it at its next event pass.
    void invalidate() { invalidated_ = true; }
    // Whether the window changed since last asked; asking clears the mark.
    bool take_invalidated() { return std::exchange(invalidated_, false); }

    std::string caption;
    int client_width, client_height;
    std::shared_ptr<Bitmap> background;
    ColorRef back_color = rgb(0, 0, 0);
    Font font; // the window's default font
    std::optional<RoundRegion> region;
    bool key_preview = false;
    bool drags_window = false; // a press on the background drags the window
    // The control with the keyboard focus: Enter and space click it when it is a Button.
    Control* focus = nullptr;

    std::function<void()> on_load;
    std::function<void()> on_activate;
    // Key code by reference: a handler may set it to 0 to stop the key.
    std::function<void(int16_t& key_code, int shift)> on_key_down;
    std::function<void(int button)> on_mouse_down;

    // A window timer, ticking only while events are delivered.
    int timer_interval_ms = 0;
    std::function<void()> on_timer;

    FormHost* host = nullptr;

  private:
    std::vector<Control*> controls_;
    bool invalidated_ = false;
};

// The window system: shows forms and delivers their events.
class WindowSystem : public EventPump {
  public:
    virtual void load(Form& form) = 0;       // runs on_load once
    virtual void show(Form& form) = 0;       // loads if needed, shows, activates
    virtual void show_modal(Form& form) = 0; // show, then delivers events until hidden
    virtual void hide(Form& form) = 0;
    virtual void unload(Form& form) = 0;
    virtual bool is_loaded(const Form& form) const = 0;
    virtual bool is_visible(const Form& form) const = 0;
    virtual void set_wait_cursor(bool on) = 0;
    // Delivers events until every form is unloaded or the program is ended.
    virtual void run() = 0;
};

} // namespace platform
