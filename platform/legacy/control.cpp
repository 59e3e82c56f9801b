#include "platform/legacy/control.h"

#include "platform/legacy/form.h"

namespace platform {

bool Control::covers(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
}

void Control::refresh() {
    if (form) {
        form->repaint();
    }
}

} // namespace platform
