#include "platform/legacy/control.h"

#include "platform/legacy/form.h"

namespace platform {

std::string look_of(std::initializer_list<int64_t> values) {
    std::string look;
    for (int64_t v : values) {
        look += std::to_string(v);
        look += ' ';
    }
    return look;
}

std::string look_of(const std::optional<Font>& font) {
    if (!font) {
        return "-";
    }
    std::string look = font->family + '\0';
    look.append(reinterpret_cast<const char*>(&font->size_pt), sizeof font->size_pt); // every bit
    return look + look_of({font->bold, font->smooth});
}

bool Control::covers(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
}

void Control::refresh() {
    if (form) {
        form->repaint();
    }
}

} // namespace platform
