#include "app/frmMain.h"

#include "app/screen_data.h"

#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/numbers.h"
#include "platform/events.h"
#include "platform/image.h"
#include "platform/paths.h"

namespace app {

namespace {

constexpr int kVersionMajor = SKARVELIN_VERSION_MAJOR;
constexpr int kVersionMinor = SKARVELIN_VERSION_MINOR;

constexpr int16_t kKeyS = 83;
constexpr int16_t kKeyF2 = 113;
constexpr int16_t kKeyN = 78;
constexpr int16_t kKeyEsc = 27;

constexpr const char* kSheetPath = "c:\\TarnChar.gif";

constexpr std::array<const char*, 5> kChatter = {
    " >こちらジークフリート1、離陸許可求む。",
    " >管制塔よりジークフリート1、滑走路34に向かってタキシングを開始せよ。",
    " >ジークフリート1より管制塔、離陸位置に着いた。",
    " >了解ジークフリート1、風速3、風向248、離陸を許可する。健闘を祈る。",
    " >離陸開始。",
};

const platform::ColorRef kGreen = platform::rgb(0, 255, 0);
const platform::ColorRef kStarTeal = platform::rgb(48, 176, 176);

} // namespace

std::string resolve_game_path(std::string_view path) {
    const platform::Resolved r = platform::resolve_game_file(path);
    if (!r.found) {
        throw nox::FileError(platform::missing_file_message(r));
    }
    return r.path;
}

std::string title_text(bool unpaced) {
    std::string title =
        "Skarvelin " + std::to_string(kVersionMajor) + "." + nox::format_digits(kVersionMinor, 2);
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

frmMain::frmMain(Services& services) : platform::Form(""), services_(services) {
    build_layout();
    fldStage = std::make_shared<nox::clsNoxField>();
    tmrFrame = std::make_unique<nox::clsNoxTimer>(services.clock, services.events);
    plyInput = std::make_unique<nox::clsNoxPlay>(services.keys, services.joystick);
    plyArrow = std::make_unique<nox::clsNoxPlay>(services.keys, services.joystick);
    plyJoy = std::make_unique<nox::clsNoxPlay>(services.keys, services.joystick);
    for (auto& star : starList) {
        star = std::make_shared<nox::clsNoxStar>(services.rnd);
    }
    for (auto* sprite : {&sprMy, &sprMyBt, &sprHit, &sprEneBt, &sprBurst}) {
        *sprite = std::make_shared<nox::clsNoxSprite>();
    }
    for (auto& sprite : sprEne) {
        sprite = std::make_shared<nox::clsNoxSprite>();
    }
    for (auto& list : mqlEne) {
        list = std::make_shared<nox::clsNoxMQL>();
    }
    grpMyBt = std::make_shared<nox::clsNoxGroup>();
    grpEne = std::make_shared<nox::clsNoxGroup>();
    grpEneBt = std::make_shared<nox::clsNoxGroup>();
    chrMy = std::make_shared<nox::clsNoxCharacter>();
}

frmMain::~frmMain() = default;

void frmMain::build_layout() {
    key_preview = true;
    drags_window = true;
    background = stored_picture(kBackgroundPicture);
    timer_interval_ms = 500;
    // The window's default font, used by the counters and the playfield: a fixed-pitch
    // face keeps the digits steady and fits "000 msec 000 bps" into its 100 pixels.
    font = platform::Font{"ＭＳ ゴシック", 9.0, false};
    on_load = [this] { Form_Load(); };
    on_activate = [this] { Form_Activate(); };
    on_key_down = [this](int16_t& key, int shift) { Form_KeyDown(key, shift); };
    on_mouse_down = [this](int button) { Form_MouseDown(button); };
    on_timer = [this] { timSystem_Timer(); };

    picStage = std::make_shared<platform::PictureBox>(19, 34, 512, 300);
    picStage->back_color = platform::rgb(0, 0, 0);
    picStage->fore_color = kGreen;
    picStage->cls();
    picCharData = std::make_shared<platform::PictureBox>(419, 293, 119, 47);
    picCharMask = std::make_shared<platform::PictureBox>(13, 28, 119, 47);
    for (auto* area : {picCharData.get(), picCharMask.get()}) {
        area->visible = false;
        area->set_auto_redraw(true);
    }

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
        label->fore_color = kGreen;
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
    fldStage->Create(picStage, 0, 0);
    fldStage->ForeColor(kStarTeal);
    plyInput->Init(0, 0);
    plyArrow->Init(1, 0);
    plyJoy->Init(2, 0);
    send_media("open c:\\risinghigh.wav type WaveAudio alias sov");
    send_media("play sov");
}

void frmMain::print_chatter(std::string_view line) {
    picStage->print(line);
    picStage->repaint();
}

void frmMain::load_sheet(platform::PictureBox& area) {
    const std::string file = services_.resolve(kSheetPath);
    try {
        area.load_picture(file);
    } catch (const platform::ImageError& e) {
        throw nox::FileError(e.what());
    }
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
    load_sheet(*picCharData);
    print_chatter(kChatter[1]);
    nox::KeyToBlack(*picCharData->image());
    print_chatter(kChatter[2]);
    load_sheet(*picCharMask);
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
    case kKeyS:
    case kKeyF2:
        if (!busy) {
            busy = true;
            SortieStart();
        }
        break;
    case kKeyN:
        noWait = !noWait;
        set_title(noWait);
        break;
    case kKeyEsc:
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
    lblMyBt.set_text(counter_text("MB", count(grpMyBt)));
    lblEne.set_text(counter_text("EN", count(grpEne)));
    lblEneBt.set_text(counter_text("EB", count(grpEneBt)));
}

void frmMain::SortieStart() {
    services_.rnd.randomize(services_.clock.seconds_since_midnight());
    key_preview = false;
    StarInit();
    SpriteInit();
    EneMqlInit();
    frameCt = 0;
    FrameLoop();
    ProgramEnd();
}

void frmMain::FrameLoop() {
    PlaceMy();
    tmrFrame->WaitEx(0);
    if (observer_) {
        observer_->sortie_prepared();
    }
    for (;;) {
        if (observer_) {
            observer_->frame_started();
        }
        fldStage->ClsB();
        StarMove();
        EneMove();
        MyBtMove();
        EneBtMove();
        MyBtMove();
        EneBtMove();
        MyBtMove();
        EneAppear();
        EnePaint();
        MyControl();
        EneBtPaint();
        MyBtPaint();
        fldStage->Paint();
        if (observer_) {
            observer_->frame_painted();
        }

        frameCt = nox::add32(frameCt, 1);
        picStage->current_x = 10;
        picStage->current_y = 10;
        picStage->print(" " + std::to_string(frameCt) + " ");
        if (observer_) {
            observer_->frame_counted();
        }

        lblInfo.set_text(info_text(tmrFrame->PassageRs()));
        if (noWait) {
            lblInfo.refresh();
        } else {
            tmrFrame->DoEvWaitEx(60);
        }
        if (plyInput->GetKey(kKeyEsc) != 0) {
            return;
        }
    }
}

void frmMain::ProgramEnd() {
    services_.events.deliver_pending_events();
    plyInput.reset();
    plyArrow.reset();
    plyJoy.reset();
    tmrFrame.reset();
    for (auto& star : starList) {
        star.reset();
    }
    for (auto& sprite : sprEne) {
        sprite.reset();
    }
    for (auto& list : mqlEne) {
        list.reset();
    }
    for (auto* p : {&grpMyBt, &grpEne, &grpEneBt}) {
        p->reset();
    }
    chrMy.reset();
    for (auto* p : {&sprMy, &sprMyBt, &sprHit, &sprEneBt, &sprBurst}) {
        p->reset();
    }
    fldStage.reset();
    picCharData->remove_picture();
    picCharMask->remove_picture();
    picStage->remove_picture();
    send_media("close all");
    services_.events.deliver_pending_events();
    platform::end_program(0);
}

} // namespace app
