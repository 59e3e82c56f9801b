#include "app/Screens.h"

#include "app/Form1.h"
#include "app/Form5.h"
#include "app/Form6.h"
#include "app/ScreenForm.h"
#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "app/screen_data.h"

#include <stdexcept>
#include <string>

namespace app {

namespace {

platform::WindowSystem& required(platform::WindowSystem* windows) {
    if (!windows) {
        throw std::invalid_argument("the screens need a window system");
    }
    return *windows;
}

// The game window's handlers are not watched: once unloaded, it is kept to the end.
bool may_be_running(const platform::Form& form) {
    const auto* screen = dynamic_cast<const ScreenForm*>(&form);
    return !screen || screen->running_handlers() > 0;
}

} // namespace

Screens::Screens(Services& services)
    : services_(services), windows_(required(services.windows)), texts_(services.language) {}

Screens::~Screens() = default;

void Screens::start() {
    windows_.set_program_icon(stored_bytes(kProgramIcon));
    show(form1());
}

void Screens::choose_language(platform::Language language) {
    texts_.choose(language);
    for (const auto& form : current_) {
        if (auto* screen = dynamic_cast<ScreenForm*>(form.get())) {
            screen->show_language();
        }
    }
}

template <class Window, class... Args> Window& Screens::obtain(ScreenId id, Args&... args) {
    auto& slot = current_[static_cast<size_t>(id)];
    if (!slot) {
        slot = std::make_unique<Window>(args...);
    }
    return static_cast<Window&>(*slot);
}

Form1& Screens::form1() {
    return obtain<Form1>(ScreenId::Title, *this);
}

Form2& Screens::form2() {
    return obtain<Form2>(ScreenId::World1, *this, kWorld1Page);
}

Form3& Screens::form3() {
    return obtain<Form3>(ScreenId::World2, *this, kWorld2Page);
}

Form4& Screens::form4() {
    return obtain<Form4>(ScreenId::World3, *this, kWorld3Page);
}

Form5& Screens::form5() {
    return obtain<Form5>(ScreenId::Briefing, *this);
}

Form6& Screens::form6() {
    return obtain<Form6>(ScreenId::Aircraft, *this);
}

frmMain& Screens::game() {
    return obtain<frmMain>(ScreenId::Game, services_);
}

platform::Form& Screens::screen(ScreenId id) {
    switch (id) {
    case ScreenId::Title:
        return form1();
    case ScreenId::World1:
        return form2();
    case ScreenId::World2:
        return form3();
    case ScreenId::World3:
        return form4();
    case ScreenId::Briefing:
        return form5();
    case ScreenId::Aircraft:
        return form6();
    case ScreenId::Game:
        return game();
    }
    throw std::invalid_argument("no such screen");
}

platform::Form& Screens::destination(ScreenId from, std::string_view button) {
    for (const Way& way : kWays) {
        if (way.from == from && way.button == button) {
            return screen(way.to);
        }
    }
    throw std::invalid_argument("no screen follows " + std::string(button));
}

platform::Form* Screens::existing(ScreenId id) const {
    return current_[static_cast<size_t>(id)].get();
}

void Screens::show(platform::Form& form) {
    windows_.show(form);
}

void Screens::show_modal(platform::Form& form) {
    windows_.show_modal(form);
}

void Screens::hide(platform::Form& form) {
    windows_.hide(form);
}

void Screens::unload(platform::Form& form) {
    windows_.unload(form);
    for (auto& slot : current_) {
        if (slot.get() == &form) {
            unloaded_.push_back(std::move(slot));
        }
    }
}

void Screens::handler_starting() {
    std::erase_if(unloaded_, [](const auto& form) { return !may_be_running(*form); });
}

} // namespace app
