#include "app/frmMain.h"

#include "app/playfield.h"
#include "app/screen_data.h"
#include "app/sheet_file.h"
#include "app/version.h"

#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/numbers.h"
#include "platform/legacy/events.h"
#include "platform/legacy/virtual_keys.h"
#include "platform/system/catalogue.h"

namespace app {

namespace {

constexpr const char* kSheetPath = "c:\\TarnChar.gif";

using platform::N_;
constexpr std::array<const char*, 5> kChatter = {
    N_(" >こちらジークフリート1、離陸許可求む。"),
    N_(" >管制塔よりジークフリート1、滑走路34に向かってタキシングを開始せよ。"),
    N_(" >ジークフリート1より管制塔、離陸位置に着いた。"),
    N_(" >了解ジークフリート1、風速3、風向248、離陸を許可する。健闘を祈る。"),
    N_(" >離陸開始。"),
};

} // namespace

std::string version_title(int major, int minor) {
    return "Skarvelin " + std::to_string(major) + "." + nox::format_digits(minor, 2);
}

std::string title_text(bool unpaced) {
    const std::string title = version_title(kVersionMajor, kVersionMinor);
    return unpaced ? title + " N" : title;
}

std::string info_text(int32_t t) {
    // A frame shorter than the clock's millisecond has no measurable rate; dashes
    // say so in the width of the digits, where a number would mislead.
    const std::string rate = t == 0 ? "---" : nox::format_digits(1000.0 / t, 3);
    return nox::format_digits(t, 3) + " msec " + rate + " bps";
}

std::string counter_text(std::string_view prefix, int16_t count) {
    return std::string(prefix) + nox::format_digits(count, 4);
}

frmMain::frmMain(Services& services)
    : platform::Form("Skarvelin"), services_(services),
      sortie_(services.keys, services.joystick, services.rnd) {
    build_layout();
    tmrFrame = std::make_unique<nox::clsNoxTimer>(services.clock, services.events);
}

frmMain::~frmMain() = default;

void frmMain::build_layout() {
    key_preview = true;
    drags_window = true;
    background = stored_picture(kBackgroundPicture);
    timer_interval_ms = 500;
    font = game_window_font();
    on_load = [this] { Form_Load(); };
    on_activate = [this] { Form_Activate(); };
    on_key_down = [this](int16_t& key, int shift) { Form_KeyDown(key, shift); };
    on_mouse_down = [this](int button) { Form_MouseDown(button); };
    on_timer = [this] { timSystem_Timer(); };

    picStage = make_playfield();
    picCharData = make_sheet_area(419, 293);
    picCharMask = make_sheet_area(13, 28);

    // Index 2 lies on top: navy, with a white edge above-left and grey below-right.
    const platform::Font title_font{"ＭＳ 明朝", 12.0, false};
    const std::array<platform::ColorRef, 3> title_colors = {
        platform::rgb(255, 255, 255), platform::rgb(128, 128, 128), platform::rgb(0, 0, 128)};
    for (int i = 2; i >= 0; --i) {
        auto& label = lblTitle[static_cast<size_t>(i)];
        label.fore_color = title_colors[static_cast<size_t>(i)];
        label.drags_window = true;
        label.on_mouse_down = [this, i](int button) { lblTitle_MouseDown(i, button); };
        add(label);
        label.set_font(title_font);
        label.set_auto_size(true);
        label.set_text("Title");
    }
    const std::array<std::pair<platform::Label*, const char*>, 4> counters = {
        {{&lblMyBt, "MB0000"},
         {&lblEne, "EN0000"},
         {&lblEneBt, "EB0000"},
         {&lblInfo, "000 msec 000 bps"}}};
    for (auto [label, text] : counters) {
        label->fore_color = kGameGreen;
        label->alignment = platform::Align::Right;
        label->set_text(text);
        add(*label);
    }
    add(*picStage);
    add(*picCharData);
    add(*picCharMask);
}

void frmMain::send_media(std::string_view command) {
    services_.media.send_command(command); // the result is not examined
}

void frmMain::set_title(bool unpaced) {
    for (auto& label : lblTitle) {
        label.set_text(title_text(unpaced));
    }
}

void frmMain::Form_Load() {
    region = platform::RoundRegion{4, 4, 548, 347, 63, 63};
    picStage->region = platform::RoundRegion{
        0,  0, nox::round32(picStage->scale_width()), nox::round32(picStage->scale_height()),
        62, 62};
    set_title(false);
    sortie_.Create({picStage, picCharData, picCharMask});
    send_media("open c:\\risinghigh.wav type WaveAudio alias sov");
    send_media("play sov");
}

void frmMain::print_chatter(std::string_view line) {
    picStage->print(platform::tr(line));
    picStage->repaint();
}

void frmMain::load_game_sheet(platform::PictureBox& area) {
    load_sheet(area, services_.resolve(kSheetPath));
}

void frmMain::Form_Activate() {
    repaint();
    busy = true;
    if (services_.windows) {
        services_.windows->set_wait_cursor(true);
    }
    picStage->set_auto_redraw(true);
    picStage->print("");
    print_chatter(kChatter[0]);
    load_game_sheet(*picCharData);
    print_chatter(kChatter[1]);
    nox::KeyToBlack(*picCharData->image());
    print_chatter(kChatter[2]);
    load_game_sheet(*picCharMask);
    print_chatter(kChatter[3]);
    nox::MakeMask(*picCharMask->image());
    print_chatter(kChatter[4]);
    if (services_.windows) {
        services_.windows->set_wait_cursor(false);
    }
    picStage->cls();
    picStage->set_auto_redraw(false);
    busy = false;
}

void frmMain::Form_KeyDown(int16_t& KeyCode, int) {
    switch (KeyCode) {
    case platform::vk::kS:
    case platform::vk::kF2:
        if (!busy) {
            busy = true;
            SortieStart();
        }
        break;
    case platform::vk::kN:
        noWait = !noWait;
        set_title(noWait);
        break;
    case platform::vk::kEsc:
        ProgramEnd();
        break;
    default:
        KeyCode = 0;
        break;
    }
}

void frmMain::Form_MouseDown(int) {
    // The window system moves the window itself: the background drags (drags_window).
}

void frmMain::lblTitle_MouseDown(int, int) {
    // As for the background: the title labels are marked to drag the window.
}

void frmMain::timSystem_Timer() {
    // A group released by ProgramEnd counts as a new, empty one.
    auto count = [](const std::shared_ptr<nox::clsNoxGroup>& group) {
        return group ? group->ItemCount() : int16_t{0};
    };
    lblMyBt.set_text(counter_text("MB", count(sortie_.grpMyBt())));
    lblEne.set_text(counter_text("EN", count(sortie_.grpEne())));
    lblEneBt.set_text(counter_text("EB", count(sortie_.grpEneBt())));
}

void frmMain::SortieStart() {
    services_.rnd.randomize(services_.clock.seconds_since_midnight());
    key_preview = false;
    services_.keys.forget_presses(); // presses made before the start are not the sortie's
    sortie_.Prepare();
    FrameLoop();
    ProgramEnd();
}

void frmMain::FrameLoop() {
    sortie_.PlaceMy();
    tmrFrame->WaitEx(0);
    for (;;) {
        sortie_.Frame();
        lblInfo.set_text(info_text(tmrFrame->PassageRs()));
        if (noWait) {
            lblInfo.refresh();
        } else {
            tmrFrame->DoEvWaitEx(60);
        }
        if (sortie_.plyInput()->GetKey(platform::vk::kEsc) != 0) {
            return;
        }
    }
}

void frmMain::ProgramEnd() {
    services_.events.deliver_pending_events();
    sortie_.ReleaseReaders();
    tmrFrame.reset();
    sortie_.Release();
    picCharData->remove_picture();
    picCharMask->remove_picture();
    picStage->remove_picture();
    send_media("close all");
    services_.events.deliver_pending_events();
    platform::end_program(0);
}

} // namespace app
