#include "shell/run_from_cd.h"

#include "data/multi_cd.h"
#include "data/project.h"
#include "data/ui_texts.h"
#include "platform/control_inputs.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/drives.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"
#include "platform/screen.h"

namespace tv {

namespace {
constexpr int kWidth = 400, kHeight = 150;

int px(int pixels) {
    return pixels * kTwipsPerPixel;
}

QString kindWords(drives::DriveKind kind) {
    switch (kind) {
    case drives::DriveKind::Removable:
        return "(Floppy Drive)";
    case drives::DriveKind::LocalDisk:
        return "(Hard Drive)";
    case drives::DriveKind::Network:
        return "(Network Drive)";
    case drives::DriveKind::CdRom:
        return "(CD-Rom Drive)";
    case drives::DriveKind::RamDisk:
        return "(RAM Disk)";
    default:
        return {};
    }
}
} // namespace

RunFromCd::RunFromCd() {
    window_ = new Form("frmRunFromCD");
    window_->setBorderStyle(0);
    window_->setBackColor(0x8000000F); // button face
    window_->setInnerSize(px(kWidth), px(kHeight));
    message_ = new Label(window_, "lblMessage");
    message_->setWordWrap(true);
    message_->setBackStyle(0);
    message_->Move(px(16), px(14), px(kWidth - 32), px(44));
    lblDrive_ = new Label(window_, "lblDrive");
    lblDrive_->setBackStyle(0);
    lblDrive_->Move(px(16), px(70), px(110), px(20));
    Combo1_ = new ComboBox(window_, "Combo1");
    Combo1_->Move(px(130), px(66), px(kWidth - 146), px(24));
    ok_ = new CommandButton(window_, "cmdOK");
    ok_->setCaption("OK");
    ok_->setDefault(true);
    ok_->Move(px(kWidth - 196), px(kHeight - 40), px(84), px(26));
    cancel_ = new CommandButton(window_, "cmdCancel");
    cancel_->Move(px(kWidth - 100), px(kHeight - 40), px(84), px(26));
    connect(ok_, &CommandButton::Click, this, [this] { ok(); });
    connect(cancel_, &CommandButton::Click, this, [this] { cancel(); });
    connect(window_, &Form::KeyDown, this, [this](int code, int) {
        if (code == keyCode::Escape) cancel();
    });
    connect(window_, &Form::Activate, this, [this] { window_->setTopmost(true); });
    // No title bar: the dialog and its labels move it.
    for (Control* handle : {static_cast<Control*>(window_), static_cast<Control*>(message_),
                            static_cast<Control*>(lblDrive_)}) {
        connect(handle, &Control::MouseDown, this,
                [this, handle](int button, int, double x, double y) {
                    if (button != mouseButton::Left) return;
                    QPoint at(int(x / kTwipsPerPixel), int(y / kTwipsPerPixel));
                    if (handle != window_) at += handle->pixelGeometry().topLeft();
                    window_->startMove(at);
                });
    }
}

RunFromCd::~RunFromCd() {
    delete window_;
}

bool RunFromCd::ask(const QString& message, const QString& drive) {
    const UiTexts& t = uiTexts();
    lblDrive_->setCaption(t[37]);
    cancel_->setCaption(t[11]);
    message_->setCaption(message);
    // The prompt names the window in the log, as the player reads it.
    window_->setCaption(message);
    fillDrives(drive);
    const QRect screen = Screen::geometry();
    window_->Move(px(screen.x() + (screen.width() - kWidth) / 2),
                  px(screen.y() + (screen.height() - kHeight) / 2));
    Combo1_->SetFocus();
    window_->Show(1);
    if (!window_->isVisible()) return true;
    window_->Hide();
    return false;
}

void RunFromCd::fillDrives(const QString& drive) {
    Combo1_->Clear();
    Combo1_->setText(drive);
    const drives::DriveTable table = drives::current();
    for (char c = 'A'; c <= 'V'; ++c) {
        const drives::DriveKind kind = table.kind(QChar(c));
        const QString words = kindWords(kind);
        if (words.isEmpty()) continue;
        Combo1_->AddItem(QStringLiteral("%1:\\ %2").arg(QChar(c), words));
        // The last CD-ROM drive is the one offered.
        if (kind == drives::DriveKind::CdRom)
            Combo1_->setText(QStringLiteral("%1:\\").arg(QChar(c)));
    }
    if (!drive.isEmpty()) Combo1_->setText(drive);
}

void RunFromCd::ok() {
    const QString letter = Combo1_->text().left(1);
    if (!letter.isEmpty() && files::folderExists(letter + ":\\")) {
        SettingsStore store;
        storeDriveLetter(store, project().settings.ProjectName, letter);
        window_->Hide();
        return;
    }
    DialogService::instance().msgBox(uiTexts()[38], mb::Exclamation, project().settings.GameTitle);
}

void RunFromCd::cancel() {
    runFlags().quitting = true;
    window_->Hide();
}

} // namespace tv
