#include "shell/main_window_shell.h"

#include "data/project.h"
#include "data/ui_texts.h"
#include "platform/automation.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"
#include "platform/menu.h"
#include "platform/screen.h"
#include "shell/display.h"
#include "shell/shell_site.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tv {

MainWindowShell::MainWindowShell(ShellSite& site) : site_(site) {
    QObject::connect(&TimerUnloadMe, &TimerControl::Timer, [this] {
        site_.window().setEnabled(true);
        setScreenPointer(pointer::Default);
        TimerUnloadMe.setEnabled(false);
        unload();
    });
}

MainWindowShell::~MainWindowShell() = default;

void MainWindowShell::createMenus() {
    Form& window = site_.window();
    auto caption = [](int text, const char* designed) {
        const QString t = uiTexts()[text];
        return t.isEmpty() ? QString::fromLatin1(designed) : t;
    };
    exit_ = new MenuItem(window, "mnuExit", caption(12, "Exit"));
    options_ = new MenuItem(window, "mnuOptions", caption(49, "Options"));
    transitions_ =
        new MenuItem(*options_, "mnuDisableTransitions", caption(50, "Disable Transitions"));
    effects_ =
        new MenuItem(*options_, "mnuDisableEffects", caption(51, "Disable Real-Time Effects"));
    load_ = new MenuItem(window, "mnuLoadGame", caption(2, "Load game..."));
    save_ = new MenuItem(window, "mnuSaveGame", caption(8, "Save game..."));
    debug_ = new MenuItem(window, "mnuDebug", "Debug");
    cancel_ = new MenuItem(window, "mnuCancel", "Cancel");
    for (MenuItem* m : menuItems()) {
        if (m->parentItem() == nullptr) m->setVisible(false);
        window.addNamedMember(m->name(), m);
    }
    transitions_->setChecked(false);
    effects_->setChecked(false);

    QObject::connect(exit_, &MenuItem::Click, [this] { mnuExit_Click(); });
    QObject::connect(cancel_, &MenuItem::Click, [this] { HideMenus(); });
    QObject::connect(transitions_, &MenuItem::Click, [this] {
        site_.toggleTransitions();
        syncChecks();
    });
    QObject::connect(effects_, &MenuItem::Click, [this] {
        site_.toggleEffects();
        syncChecks();
    });
    QObject::connect(load_, &MenuItem::Click, [this] { site_.showLoadGameWindow(); });
    QObject::connect(save_, &MenuItem::Click, [this] { site_.showSaveGameWindow(); });
    // Opening a menu of items keeps the menus up until it closes (full screen only).
    for (MenuItem* menu : {options_, debug_})
        QObject::connect(menu, &MenuItem::Click, [this] {
            if (!project().settings.MenusAlwaysVisible) menuOpen_ = true;
        });
}

QList<MenuItem*> MainWindowShell::menuItems() const {
    if (!exit_) return {};
    return {exit_, options_, transitions_, effects_, load_, save_, debug_, cancel_};
}

void MainWindowShell::syncChecks() {
    if (!transitions_) return;
    transitions_->setChecked(!site_.transitionsEnabled());
    effects_->setChecked(!site_.effectsEnabled());
}

void MainWindowShell::rememberOption(const QString& key, bool disabled) {
    try {
        SettingsStore().save("Software", project().settings.ProjectName, key,
                             disabled ? "True" : "False");
    } catch (const VbError&) {
        // A setting that cannot be stored only costs the next game the player's choice.
    }
}

void MainWindowShell::restoreOptions() {
    auto ticked = [](const char* key) {
        try {
            return SettingsStore()
                       .get("Software", project().settings.ProjectName, key, "False")
                       .toLower() == QLatin1String("true");
        } catch (const VbError&) {
            return false;
        }
    };
    site_.setOptionsDisabled(ticked("DisableTransitions"), ticked("DisableEffects"));
    syncChecks();
}

bool MainWindowShell::menusShown() const {
    return exit_ && exit_->isVisible();
}

void MainWindowShell::ShowMenus() {
    const ProjectSettings& s = project().settings;
    if (s.NeverShowMenus || !exit_) return;
    exit_->setVisible(true);
    save_->setVisible(!s.DisableSaveGame);
    load_->setVisible(!s.DisableLoadGame);
    if (s.HideTransitionsOption && s.HideEffectsOption) {
        options_->setVisible(false);
    } else {
        options_->setVisible(true);
        transitions_->setVisible(!s.HideTransitionsOption);
        effects_->setVisible(!s.HideEffectsOption);
    }
    debug_->setVisible(false);
    cancel_->setVisible(true);
    syncChecks();
    menuOpen_ = false;
}

void MainWindowShell::HideMenus() {
    if (project().settings.MenusAlwaysVisible || runFlags().quitting || !exit_) return;
    for (MenuItem* m : {exit_, save_, load_, options_, debug_, cancel_}) {
        m->close();
        if (m->isVisible()) m->setVisible(false);
    }
    menuOpen_ = false;
}

void MainWindowShell::mnuExit_Click() {
    const int answer = DialogService::instance().msgBox(uiTexts()[10], mb::YesNo | mb::Question,
                                                        project().settings.GameTitle);
    if (answer == mb::Yes) StartUnloading();
}

void MainWindowShell::keyDown(int key, int shift) {
    RunFlags& f = runFlags();
    if (key == keyCode::Escape) {
        if (!site_.oneTimeVideoPlaying() && !site_.transitionRunning()) {
            if (menusShown())
                HideMenus();
            else
                ShowMenus();
        }
        f.stopMovie = true;
        f.skipTransition = true;
    }
    if (!site_.window().isEnabled()) return;
    if (key == kPictureKey) savePicture();
    if (key == keyCode::Return && (shift & shiftMask::Alt)) toggleFullScreen();
    const ProjectSettings& s = project().settings;
    if (shift & shiftMask::Ctrl) {
        if (key == 'L' && !s.DisableLoadGame) site_.showLoadGameWindow();
        if (key == 'S' && !s.DisableSaveGame) site_.showSaveGameWindow();
        if (key == 'Q') mnuExit_Click();
    }
    // The debug sequence: each key in turn; any other key starts it again.
    if (key == kDebugSequence[sequenceAt_]) {
        if (++sequenceAt_ == 4) {
            sequenceAt_ = 0;
            if (debug_) debug_->setVisible(true);
        }
    } else {
        sequenceAt_ = key == kDebugSequence[0] ? 1 : 0;
    }
}

void MainWindowShell::savePicture() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QString title = project().settings.GameTitle.trimmed();
    title.replace(QRegularExpression(R"([/\\:*?"<>|])"), "_");
    if (title.isEmpty()) title = QStringLiteral("Torvane");
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd hh-mm-ss");
    QString path = folder + "/" + title + " " + stamp + ".png";
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QStringLiteral("%1/%2 %3 (%4).png").arg(folder, title, stamp).arg(n);
    if (QDir().mkpath(folder) && automation::saveScreenshot(site_.pictureBox(), path))
        EventLog::instance().write("picture " + path);
}

void MainWindowShell::toggleFullScreen() {
    ProjectSettings& s = project().settings;
    s.MenusAlwaysVisible = !s.MenusAlwaysVisible;
    if (!s.MenusAlwaysVisible) menuOpen_ = false;
    CenterWindowAndPictureBox();
}

void MainWindowShell::windowMouseDown(int button) {
    RunFlags& f = runFlags();
    f.stopMovie = true;
    f.skipTransition = true;
    if (!site_.oneTimeVideoPlaying()) menusForPress(button);
}

void MainWindowShell::menusForPress(int button) {
    if (button != mouseButton::Right)
        HideMenus();
    else if (!menusShown())
        ShowMenus();
    else if (!menuOpen_)
        HideMenus();
}

void MainWindowShell::CenterWindowAndPictureBox() {
    const ProjectSettings& s = project().settings;
    Form& window = site_.window();
    PictureBox& display = site_.pictureBox();
    const int displayWidth = s.ProjectWidth * kTwipsPerPixel;
    const int displayHeight = s.ProjectHeight * kTwipsPerPixel;
    const QRect screen = window.screenGeometry();
    window.setWindowState(windowState::Normal);
    if (s.MenusAlwaysVisible) {
        window.setFullScreen(false);
        ShowMenus();
        window.setCaption(s.GameTitle + " ");
        // The window starts at one window pixel per frame pixel; the player may resize it and
        // the frame scales with it.
        window.setStageSize(QSize(s.ProjectWidth, s.ProjectHeight));
        window.setInnerSize(displayWidth, displayHeight);
        display.Move(0, 0, displayWidth, displayHeight);
        const int w = qRound(window.width()), h = qRound(window.height());
        window.Move((screen.x() + screen.width() / 2) * kTwipsPerPixel - w / 2,
                    (screen.y() + screen.height() / 2) * kTwipsPerPixel - h / 2);
    } else {
        window.setCaption(QString());
        HideMenus();
        // The display mode is the picture that fills the screen, scaled.
        const QSize mode = DisplayMode::current();
        window.setStageSize(mode);
        window.setPixelGeometry(screen);
        window.setFullScreen(true);
        const int left = (mode.width() * kTwipsPerPixel) / 2 - displayWidth / 2;
        const int top = (mode.height() * kTwipsPerPixel) / 2 - displayHeight / 2;
        display.Move(left, top, displayWidth, displayHeight);
    }
}

void MainWindowShell::ChangeDisplayResolution(int code) {
    SetDisplayResolution(code, [this] { CenterWindowAndPictureBox(); });
}

void MainWindowShell::StartUnloading() {
    RunFlags& f = runFlags();
    f.stopMovie = true;
    f.skipTransition = true;
    f.quitting = true;
    site_.stopEffects();
    setScreenPointer(pointer::Hourglass);
    site_.window().setEnabled(false);
    TimerUnloadMe.setInterval(500);
    TimerUnloadMe.setEnabled(true);
}

void MainWindowShell::unload() {
    RunFlags& f = runFlags();
    site_.window().Hide();
    f.stopMovie = true;
    f.skipTransition = true;
    site_.finishUnloading();
    RestoreDisplayMode();
}

} // namespace tv
