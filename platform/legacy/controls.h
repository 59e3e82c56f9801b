#pragma once
// The controls a form is built of: text labels, push buttons, picture areas and
// stretched pictures. Each draws itself onto its form's client image.

#include "platform/legacy/control.h"
#include "platform/legacy/picture_box.h"
#include "platform/system/text.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

enum class Align { Left, Right, Center };

class Label : public Control {
  public:
    using Control::Control;
    void render(Bitmap& client, const Font& form_font, int origin_x = 0,
                int origin_y = 0) const override;
    std::optional<std::string> look() const override;
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
    void render(Bitmap& client, const Font& form_font, int origin_x = 0,
                int origin_y = 0) const override;
    std::optional<std::string> look() const override;

    std::string caption;
    std::optional<Font> font;
    std::function<void()> on_click;
    bool pushed = false; // drawn pushed in while the mouse holds it down

  private:
    mutable std::optional<std::pair<std::string, Font>> rendered_;
    mutable TextMask caption_image_;
};

// A picture stretched to fill the control. The picture is scaled once, when it is
// set, so that repaints only copy it.
class Image : public Control {
  public:
    using Control::Control;
    void render(Bitmap& client, const Font& form_font, int origin_x = 0,
                int origin_y = 0) const override;
    std::optional<std::string> look() const override;

    // Shows `picture` scaled to the control's size (null: nothing), as stretch() does.
    void set_picture(const std::shared_ptr<const Bitmap>& picture);
    // The picture as shown, at the control's size; null when there is none.
    const Bitmap* shown() const { return scaled_ ? &*scaled_ : nullptr; }

  private:
    std::optional<Bitmap> scaled_;
    uint64_t pictures_set_ = 0;
};

} // namespace platform
