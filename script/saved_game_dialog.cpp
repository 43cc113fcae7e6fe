#include "script/saved_game_dialog.h"

#include "data/ui_texts.h"
#include "platform/control_inputs.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/picture.h"
#include "platform/screen.h"
#include "script/saved_games.h"

#include <QDateTime>
#include <QFileInfo>

namespace tv {

namespace {
constexpr int kWidth = 520, kHeight = 300;
constexpr int kThumbWidth = 160, kThumbHeight = 120;

int px(int pixels) {
    return pixels * kTwipsPerPixel;
}
} // namespace

SavedGameDialog::SavedGameDialog(Kind kind, SavedGames& games) : kind_(kind), games_(games) {
    const UiTexts& t = uiTexts();
    const bool saving = kind == Kind::Save;
    window_ = new Form(saving ? "frmSaveGame" : "frmLoadGame");
    window_->setBorderStyle(3);
    window_->setBackColor(0x8000000F); // button face
    window_->setInnerSize(px(kWidth), px(kHeight));
    window_->setCaption(saving ? t[21] : t[17]);
    prompt_ = new Label(window_, "Label1");
    prompt_->setBackStyle(0);
    prompt_->setWordWrap(true);
    prompt_->setCaption(saving ? t[23] : t[18]);
    prompt_->Move(px(12), px(10), px(kWidth - kThumbWidth - 36), px(20));
    int listTop = 34;
    if (saving) {
        Text1_ = new TextBox(window_, "Text1");
        Text1_->Move(px(12), px(34), px(kWidth - kThumbWidth - 36), px(24));
        listTop = 66;
    }
    List1_ = new ListBox(window_, "List1");
    List1_->Move(px(12), px(listTop), px(kWidth - kThumbWidth - 36), px(kHeight - listTop - 52));
    thumbnail_ = new ImageBox(window_, "imgThumbnail");
    thumbnail_->setStretch(true);
    thumbnail_->Move(px(kWidth - kThumbWidth - 12), px(listTop), px(kThumbWidth), px(kThumbHeight));
    date_ = new Label(window_, "lblDate");
    date_->setBackStyle(0);
    date_->Move(px(kWidth - kThumbWidth - 12), px(listTop + kThumbHeight + 6), px(kThumbWidth),
                px(20));
    main_ = new CommandButton(window_, saving ? "cmdSave" : "cmdLoad");
    main_->setCaption(saving ? t[25] : t[19]);
    main_->setDefault(true);
    main_->Move(px(kWidth - 196), px(kHeight - 40), px(84), px(26));
    cancel_ = new CommandButton(window_, "cmdCancel");
    cancel_->setCaption(t[11]);
    cancel_->Move(px(kWidth - 100), px(kHeight - 40), px(84), px(26));
    if (saving) {
        remove_ = new CommandButton(window_, "cmdRemove");
        remove_->setCaption(t[22]);
        remove_->Move(px(12), px(kHeight - 40), px(150), px(26));
        connect(remove_, &CommandButton::Click, this,
                [this] { games_.removeSave(*this, selected()); });
    }

    connect(List1_, &ListBox::Click, this, [this] {
        if (Text1_ && List1_->listIndex() >= 0) Text1_->setText(List1_->text());
        showChosen();
    });
    connect(List1_, &ListBox::DblClick, this, [this] {
        if (Text1_) Text1_->setText(List1_->text());
        pressMain();
    });
    connect(main_, &CommandButton::Click, this, [this] { pressMain(); });
    auto cancel = [this] {
        if (kind_ == Kind::Load)
            games_.cancelLoad(*this);
        else
            window_->Hide();
    };
    connect(cancel_, &CommandButton::Click, this, cancel);
    connect(window_, &Form::KeyDown, this, [cancel](int code, int) {
        if (code == keyCode::Escape) cancel();
    });
    // Closing the window is cancelling it.
    connect(window_, &Form::QueryUnload, this, [this, cancel](int& refuse, int) {
        refuse = 1;
        cancel();
    });
    connect(window_, &Form::Activate, this, [this] {
        if (Text1_) Text1_->SetFocus();
    });

    const QRect screen = Screen::geometry();
    window_->Move(px(screen.x() + (screen.width() - kWidth) / 2),
                  px(screen.y() + (screen.height() - kHeight) / 2));
    // Typing goes into the name box from the start.
    if (Text1_) Text1_->SetFocus();
}

SavedGameDialog::~SavedGameDialog() {
    delete window_;
}

void SavedGameDialog::fillList() {
    List1_->Clear();
    for (const QString& name : SavedGames::listSaves(SavedGames::saveFolder(false)))
        List1_->AddItem(name);
    showChosen();
}

QString SavedGameDialog::selected() const {
    return List1_->listIndex() < 0 ? QString() : List1_->text();
}

void SavedGameDialog::showChosen() {
    const QString name = selected();
    thumbnail_->setPicture(Picture());
    date_->setCaption(QString());
    if (name.isEmpty()) return;
    const QString path = SavedGames::saveFolder(false) + name + ".sav";
    const QFileInfo info(path);
    if (info.exists())
        date_->setCaption(info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    try {
        const QString thumbnail = SavedGames::thumbnailPath(path);
        if (QFileInfo::exists(thumbnail)) thumbnail_->setPicture(Picture::load(thumbnail));
    } catch (const VbError&) {
        // A save without its picture is still a save.
    }
}

void SavedGameDialog::pressMain() {
    if (kind_ == Kind::Save) {
        if (games_.save(*this, Text1_->text())) window_->Hide();
        // The list shows the new save should the dialog stay.
    } else {
        games_.load(*this, selected());
    }
}

} // namespace tv
