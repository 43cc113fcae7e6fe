#include "shell/welcome.h"

#include "data/project.h"
#include "data/reports.h"
#include "data/ui_texts.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"
#include "platform/screen.h"
#include "shell/display.h"

namespace tv {

namespace {
constexpr int kWidth = 480 * kTwipsPerPixel;
constexpr int kHeight = 320 * kTwipsPerPixel;
} // namespace

Welcome::Welcome(QString rootFolder, GameFactory makeGame, std::function<void()> endProgram)
    : rootFolder_(std::move(rootFolder)), makeGame_(std::move(makeGame)),
      endProgram_(std::move(endProgram)) {
    window_ = new Form("frmWelcome");
    window_->setBackColor(0x000000);
    title_ = new Label(window_, "txtAdventureName");
    title_->setForeColor(0xFFFFFF);
    title_->setFontSize(20);
    title_->setFontBold(true);
    title_->setAlignment(2);
    title_->Move(0, 40 * kTwipsPerPixel, kWidth, 40 * kTwipsPerPixel);
    details_ = new Label(window_, "txtVersion");
    details_->setForeColor(0xC0C0C0);
    details_->setAlignment(2);
    details_->setWordWrap(true);
    details_->Move(0, 100 * kTwipsPerPixel, kWidth, 80 * kTwipsPerPixel);
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new Label(window_, "lblButton");
        buttons_[i]->setForeColor(0x00FFFF);
        buttons_[i]->setFontSize(14);
        buttons_[i]->setAlignment(2);
        buttons_[i]->Move(0, (200 + 34 * i) * kTwipsPerPixel, kWidth, 28 * kTwipsPerPixel);
        connect(buttons_[i], &Control::Click, this, [this, i] { ClickButton(i); });
    }
    // Closing the welcome window ends the program.
    connect(window_, &Form::Unload, this, [this](int&) { end(); });
    connect(window_, &Form::KeyDown, this, [this](int code, int) {
        if (code == keyCode::Escape) ClickButton(2); // Escape closes the window
    });
}

Welcome::~Welcome() {
    game_.reset();
    delete window_;
}

void Welcome::load() {
    // Centred on the screen.
    const QRect screen = Screen::geometry();
    window_->Move((screen.width() * kTwipsPerPixel - kWidth) / 2,
                  (screen.height() * kTwipsPerPixel - kHeight) / 2, kWidth, kHeight);
    if (!InitialiseProject()) return;
    const ProjectSettings& s = project().settings;
    bool failed = false;
    try {
        if (!s.ProjectName.isEmpty())
            SettingsStore().save("Software", s.ProjectName, "Path", project().folders.RootFolder);
    } catch (const VbError&) {
        failed = true;
    }
    if (s.SkipWelcomeScreen) {
        window_->Hide();
        ClickButton(0);
        return;
    }
    fill();
    window_->Show();
    shown_ = true;
    if (failed) standardErrorReport(" Error loading project information.");
}

bool Welcome::InitialiseProject() {
    SaveDisplayMode();
    Project& p = project();
    p.folders.setRoot(rootFolder_);
    // Control libraries of "CPData" are registered here once components exist.
    uiTexts().load(p.folders.ConfigFolder + "Texts");

    const QString general = p.folders.ConfigFolder + "General";
    if (!files::fileExists(general)) {
        const UiTexts& t = uiTexts();
        DialogService::instance().msgBox(t[33] + " " + files::resolve(general), mb::Exclamation,
                                         t[29]);
        end();
        return false;
    }
    // The frame display is drawn at 96 dots per inch whatever the screen, so the large-fonts
    // warning of the classic player never applies here.
    try {
        p.settings.load(files::resolve(general));
    } catch (const VbError&) {
        standardErrorReport(" Error loading project information.");
    }
    setGameTitle(p.settings.GameTitle);
    return true;
}

void Welcome::fill() {
    const ProjectSettings& s = project().settings;
    const UiTexts& t = uiTexts();
    window_->setCaption(s.GameTitle);
    title_->setCaption(s.GameTitle);
    QStringList lines;
    if (!s.GameVersion.isEmpty()) lines << s.GameVersion;
    if (!s.Author.isEmpty()) lines << t[4] + " " + s.Author;
    if (!s.Email.isEmpty()) lines << t[5] + " " + s.Email;
    if (!s.WebSite.isEmpty()) lines << t[6] + " " + s.WebSite;
    details_->setCaption(lines.join("\r\n"));
    for (int i = 0; i < 3; ++i)
        buttons_[i]->setCaption(t[i + 1]);
    buttons_[1]->setVisible(!s.DisableLoadGame);
}

void Welcome::ClickButton(int index) {
    try {
        switch (index) {
        case 0: {
            if (!game_) {
                game_ = makeGame_();
                // Afterwards: the unloading game is still on the stack.
                game_->setUnloadedHandler([this] {
                    QMetaObject::invokeMethod(this, &Welcome::onGameUnloaded, Qt::QueuedConnection);
                });
            }
            game_->ResetAll();
            window_->Hide();
            game_->StartNewGame();
            if (!runFlags().quitting) game_->show();
            break;
        }
        case 1:
            // Saved games open from here once the load dialog exists.
            break;
        case 2:
            window_->Hide();
            end();
            break;
        default:
            break;
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error loading the main program window. Try restarting the program. ",
                            e);
    }
}

void Welcome::onGameUnloaded() {
    if (project().settings.SkipWelcomeScreen) {
        end();
    } else {
        fill();
        window_->Show();
        shown_ = true;
    }
}

void Welcome::end() {
    if (ended_) return;
    ended_ = true;
    if (endProgram_) endProgram_();
}

} // namespace tv
