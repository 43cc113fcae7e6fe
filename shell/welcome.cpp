#include "shell/welcome.h"

#include "data/multi_cd.h"
#include "data/project.h"
#include "data/reports.h"
#include "data/ui_texts.h"
#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"
#include "platform/desktop.h"
#include "platform/product_logo.h"
#include "platform/screen.h"
#include "shell/display.h"
#include "shell/welcome_layout.h"

#include <QSize>

namespace tv {

using namespace welcome_layout;

namespace {

void place(Control& c, int x, int y, int width, int height) {
    c.Move(x * kTwipsPerPixel, y * kTwipsPerPixel, width * kTwipsPerPixel, height * kTwipsPerPixel);
}

void setTop(Control& c, int y) {
    c.setTop(y * kTwipsPerPixel);
}

int bottomOf(const Control& c) {
    const QRect r = c.pixelGeometry();
    return r.y() + r.height();
}

Label* textLabel(Control* window, const QString& name, double size, bool bold, int alignment) {
    auto* label = new Label(window, name);
    label->setBackStyle(0); // the window's colour or tile shows through
    label->setForeColor(kTextColour);
    label->setFontName("Arial");
    label->setFontSize(size);
    label->setFontBold(bold);
    label->setAlignment(alignment);
    label->setUseMnemonic(false); // names and addresses keep their ampersands
    return label;
}

} // namespace

QString Welcome::productAddress() {
    return QStringLiteral("https://torvane.example/");
}

Welcome::Welcome(QString rootFolder, GameFactory makeGame, std::function<void()> endProgram)
    : rootFolder_(std::move(rootFolder)), makeGame_(std::move(makeGame)),
      endProgram_(std::move(endProgram)),
      changeResolution_([](int choice) { SetDisplayResolution(choice); }) {
    buildControls();
    connectControls();
}

Welcome::~Welcome() {
    game_.reset();
    delete window_;
}

void Welcome::setChangeResolution(std::function<void(int choice)> change) {
    changeResolution_ = std::move(change);
}

void Welcome::buildControls() {
    window_ = new Form("frmWelcome");
    window_->setBorderStyle(0);
    window_->setScaleMode(scale::Twips);
    window_->setBackColor(kWindowColour);
    window_->setForeColor(kTextColour);
    window_->setInnerSize(kWidth * kTwipsPerPixel, kHeight * kTwipsPerPixel);
    // A fine edge, as the window has no frame of its own (a scheme's colour or tile replaces it).
    window_->Line(0, 0, (kWidth - 1) * kTwipsPerPixel, (kHeight - 1) * kTwipsPerPixel, kEdgeColour,
                  1);

    // The background tile (picture 3) lies under everything; the button pictures over it.
    auto* picture = new ImageBox(window_, "Img");
    picture->setVisible(false);
    Img_ = new ControlSet<ImageBox>(picture, this);
    for (int i = 1; i < 4; ++i)
        Img_->Load(i);
    window_->addNamedMember("Img", Img_);

    txtAdventureName_ = textLabel(window_, "txtAdventureName", kTitleFontSize, true, 2);
    txtAdventureName_->setForeColor(kTitleColour);
    txtAdventureName_->setWordWrap(true);
    txtVersion_ = textLabel(window_, "txtVersion", kTextFontSize, false, 2);
    txtVersion_->setWordWrap(true);
    for (Label* title : {txtAdventureName_, txtVersion_}) {
        place(*title, kMargin, kTitleTop, kWidth - 2 * kMargin, 0);
        title->setAutoSize(true);
    }

    const auto pair = [this](Label*& caption, Label*& value, const QString& name) {
        caption = textLabel(window_, "lbl" + name, kTextFontSize, true, 1);
        value = textLabel(window_, "txt" + name, kTextFontSize, false, 0);
        place(*caption, kMargin, 0, kCaptionRight - kMargin, kRowHeight);
        place(*value, kCaptionRight + kPairGap, 0, kWidth - kMargin - kCaptionRight - kPairGap,
              kRowHeight);
    };
    pair(lblAuthor_, txtAuthor_, "Author");
    pair(lblEmail_, txtEmail_, "Email");
    pair(lblHomepage_, txtHomepage_, "Homepage");
    for (Label* address : {txtEmail_, txtHomepage_})
        address->setFontUnderline(true);

    auto* button = textLabel(window_, "lblButton", kButtonFontSize, true, 2);
    button->setForeColor(kButtonColour);
    button->setAutoSize(true);
    lblButton_ = new ControlSet<Label>(button, this);
    for (int i = 1; i < 3; ++i)
        lblButton_->Load(i);
    for (int i = 0; i < 3; ++i) {
        Label& b = lblButton_->at(i);
        place(b, kMargin, 0, kWidth - 2 * kMargin, 0);
        b.setVisible(true);
    }
    window_->addNamedMember("lblButton", lblButton_);

    chkResolution_ = new CheckBox(window_, "chkResolution");
    chkResolution_->setBackColor(kWindowColour);
    chkResolution_->setValue(1);
    place(*chkResolution_, 0, kResolutionTop, CheckBox::kBoxSize, CheckBox::kBoxSize);
    lblResolution_ = textLabel(window_, "lblResolution", kTextFontSize, false, 0);
    place(*lblResolution_, 0, kResolutionTop, 0, 0);
    lblResolution_->setAutoSize(true);

    // The four logos, of which the scheme picks one for imgLogo.
    auto* logo = new ImageBox(window_, "imgLogos");
    logo->setVisible(false);
    imgLogos_ = new ControlSet<ImageBox>(logo, this);
    for (int i = 1; i < 4; ++i)
        imgLogos_->Load(i);
    for (int i = 0; i < 4; ++i)
        imgLogos_->at(i).setPicture(productLogo(i / 2, i % 2 == 1));
    window_->addNamedMember("imgLogos", imgLogos_);
    imgLogo_ = new ImageBox(window_, "imgLogo");
    imgLogo_->setToolTipText(productAddress());
    applyLogo(0, false);
}

void Welcome::connectControls() {
    connect(lblButton_, &ControlSetBase::Click, this, [this](int i) { ClickButton(i); });
    connect(Img_, &ControlSetBase::Click, this, [this](int i) {
        if (i < 3) ClickButton(i);
    });
    // The window has no title bar: its background and its texts move it instead.
    connect(window_, &Control::MouseDown, this,
            [this](int button, int, double x, double y) { dragFrom(*window_, button, x, y); });
    for (Label* handle :
         {txtAdventureName_, txtVersion_, lblAuthor_, txtAuthor_, lblEmail_, lblHomepage_}) {
        connect(handle, &Control::MouseDown, this,
                [this, handle](int button, int, double x, double y) {
                    dragFrom(*handle, button, x, y);
                });
    }
    connect(lblResolution_, &Control::Click, this,
            [this] { chkResolution_->setValue(chkResolution_->value() == 1 ? 0 : 1); });
    connect(chkResolution_, &Control::Click, this, [this] {
        if (!filling_) storeResolutionChoice();
    });
    connect(txtEmail_, &Control::Click, this, [this] {
        const QString address = project().settings.Email;
        offerToOpen(project().settings.GameTitle, uiTexts()[13] + " " + address + " ?",
                    "mailto:" + address);
    });
    connect(txtHomepage_, &Control::Click, this, [this] {
        const QString address = project().settings.WebSite;
        const UiTexts& t = uiTexts();
        // An address without a scheme ("www.example.com") is a web address.
        offerToOpen(project().settings.GameTitle, t[14] + " " + address + " ? " + t[15],
                    address.contains(':') ? address : "http://" + address);
    });
    connect(imgLogo_, &Control::Click, this, [this] {
        offerToOpen("Torvane",
                    "For details and downloads, visit: " + productAddress() +
                        "\r\n\r\nDo you want to visit it now? (You must be connected to the "
                        "Internet)",
                    productAddress());
    });
    connect(window_, &Form::Activate, this, [this] { window_->setTopmost(true); });
    // Closing the welcome window ends the program.
    connect(window_, &Form::Unload, this, [this](int&) { end(); });
    connect(window_, &Form::KeyDown, this, [this](int code, int) {
        if (code == keyCode::Escape) window_->unload(0);
    });
}

void Welcome::load() {
    // Centred on the screen.
    const QRect screen = Screen::geometry();
    const QRect frame = window_->pixelGeometry();
    window_->setPixelGeometry(QRect(screen.x() + (screen.width() - frame.width()) / 2,
                                    screen.y() + (screen.height() - frame.height()) / 2,
                                    frame.width(), frame.height()));
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
    if (!fill()) failed = true;
    window_->Show();
    window_->setTopmost(true);
    shown_ = true;
    if (failed) standardErrorReport(" Error loading project information.");
}

bool Welcome::InitialiseProject() {
    SaveDisplayMode();
    Project& p = project();
    p.folders.setRoot(rootFolder_);
    if (registerControlLibraries_) registerControlLibraries_(p.folders.ComponentsFolder);
    uiTexts().load(p.folders.ConfigFolder + "Texts");

    const QString general = p.folders.ConfigFolder + "General";
    if (!files::fileExists(general)) {
        const UiTexts& t = uiTexts();
        DialogService::instance().msgBox(t[33] + " " + files::resolve(general), mb::Exclamation,
                                         t[29]);
        end();
        return false;
    }
    if (!HasSmallFonts()) {
        const UiTexts& t = uiTexts();
        const int answer = DialogService::instance().msgBox(
            t[40] + "\r\n\r\n" + t[41], mb::YesNo | mb::Exclamation | mb::DefaultButton2, "!!!");
        if (answer == mb::No) {
            end();
            return false;
        }
    }
    try {
        p.settings.load(files::resolve(general));
    } catch (const VbError&) {
        standardErrorReport(" Error loading project information.");
    }
    setGameTitle(p.settings.GameTitle);
    multiCd().load(p.folders);
    return true;
}

bool Welcome::fill() {
    const ProjectSettings& s = project().settings;
    const UiTexts& t = uiTexts();
    window_->setCaption(s.GameTitle);
    txtAdventureName_->setCaption(s.GameTitle);
    txtVersion_->setCaption(s.GameVersion);
    // A pair without a value is left out altogether.
    const std::pair<Label*, Label*> pairs[] = {
        {lblAuthor_, txtAuthor_}, {lblEmail_, txtEmail_}, {lblHomepage_, txtHomepage_}};
    const QString values[] = {s.Author, s.Email, s.WebSite};
    for (int i = 0; i < 3; ++i) {
        pairs[i].first->setCaption(t[4 + i]);
        pairs[i].second->setCaption(values[i]);
        pairs[i].first->setVisible(!values[i].isEmpty());
        pairs[i].second->setVisible(!values[i].isEmpty());
    }
    showPlainButtons();
    const bool resolutionTaken = fillResolutionOffer();
    arrange();
    UseScheme(s.SchemeName);
    if (s.DisableLoadGame) {
        lblButton_->at(1).setVisible(false);
        Img_->at(1).setVisible(false);
    }
    return resolutionTaken;
}

bool Welcome::fillResolutionOffer() {
    const ProjectSettings& s = project().settings;
    const QSize wanted = displayResolutionSize(s.DisplayResolution + 1);
    bool taken = true;
    filling_ = true;
    if (!s.ProjectName.isEmpty()) {
        QString stored;
        try {
            stored = SettingsStore().get("Software", s.ProjectName, "ChangeResolution", "1");
        } catch (const VbError&) {
            taken = false;
        }
        bool number = false;
        const int value = stored.trimmed().toInt(&number);
        if (number && value >= 0 && value <= 2)
            chkResolution_->setValue(value);
        else if (taken)
            taken = false;
    }
    filling_ = false;
    const QString size =
        wanted.isValid() ? QStringLiteral(" %1 x %2").arg(wanted.width()).arg(wanted.height()) : "";
    lblResolution_->setCaption(uiTexts()[7] + size);
    // Nothing to offer when the screen already has the game's size.
    const QSize current = DisplayMode::current();
    const bool offered = s.OfferResolutionChange == 1 && wanted.isValid() && current != wanted;
    chkResolution_->setVisible(offered);
    lblResolution_->setVisible(offered);
    return taken;
}

void Welcome::arrange() {
    // The texts stack from the top, leaving out what is empty.
    int y = kTitleTop;
    if (!txtAdventureName_->caption().isEmpty()) {
        setTop(*txtAdventureName_, y);
        y = bottomOf(*txtAdventureName_) + kTitleGap;
    }
    setTop(*txtVersion_, y);
    if (!txtVersion_->caption().isEmpty()) y = bottomOf(*txtVersion_);
    y = std::max(y + kDetailsGap, kDetailsTop);
    for (const auto& [caption, value] :
         {std::pair{lblAuthor_, txtAuthor_}, std::pair{lblEmail_, txtEmail_},
          std::pair{lblHomepage_, txtHomepage_}}) {
        setTop(*caption, y);
        setTop(*value, y);
        if (caption->isVisible()) y += kRowHeight;
    }
    // The offer sits centred under the buttons: the box, then its label.
    const int labelWidth = lblResolution_->pixelGeometry().width();
    const int left = (kWidth - CheckBox::kBoxSize - kBoxGap - labelWidth) / 2;
    const int labelHeight = lblResolution_->pixelGeometry().height();
    place(*chkResolution_, left, kResolutionTop + (labelHeight - CheckBox::kBoxSize) / 2,
          CheckBox::kBoxSize, CheckBox::kBoxSize);
    lblResolution_->setLeft((left + CheckBox::kBoxSize + kBoxGap) * kTwipsPerPixel);
}

void Welcome::applyLogo(int style, bool flag) {
    // The style picks the ink (light for dark grounds, dark for light ones), the flag the
    // corner: bottom left, or bottom right with the emblem at the outer edge.
    const int index = (style != 0 ? 2 : 0) + (flag ? 0 : 1);
    const ImageBox& source = imgLogos_->at(index);
    imgLogo_->setPicture(source.picture());
    const QSize size(source.picture().widthPixels(), source.picture().heightPixels());
    const int x = flag ? kLogoMargin : kWidth - kLogoMargin - size.width();
    place(*imgLogo_, x, kHeight - kLogoMargin - size.height(), size.width(), size.height());
}

void Welcome::dragFrom(Control& pressed, int button, double x, double y) {
    if (button != mouseButton::Left) return;
    QPoint at(int(x / kTwipsPerPixel), int(y / kTwipsPerPixel));
    // A text's own corner, within the window.
    if (&pressed != window_) at += pressed.pixelGeometry().topLeft();
    window_->startMove(at);
}

void Welcome::storeResolutionChoice() {
    const QString& section = project().settings.ProjectName;
    if (section.isEmpty()) return;
    try {
        SettingsStore().save("Software", section, "ChangeResolution",
                             QString::number(chkResolution_->value()));
    } catch (const VbError&) {
        // The choice still holds for this run.
    }
}

void Welcome::offerToOpen(const QString& title, const QString& question, const QString& address) {
    window_->setTopmost(false);
    if (DialogService::instance().msgBox(question, mb::YesNo | mb::Question, title) != mb::Yes) {
        window_->setTopmost(true);
        return;
    }
    try {
        desktop::openAddress(address);
    } catch (const VbError&) {
        // Nothing on this desktop takes the address: the question was the answer.
    }
}

void Welcome::ClickButton(int index) {
    try {
        switch (index) {
        case 0: {
            const ProjectSettings& s = project().settings;
            if (shown_ && s.OfferResolutionChange == 1 && chkResolution_->isVisible() &&
                chkResolution_->value() == 1) {
                window_->Hide();
                if (changeResolution_) changeResolution_(s.DisplayResolution + 1);
            }
            makeGame();
            game_->ResetAll();
            window_->Hide();
            game_->StartNewGame();
            if (!runFlags().quitting) game_->show();
            break;
        }
        case 1:
            makeGame();
            game_->showLoadGameWindowFromWelcome();
            break;
        case 2:
            window_->Hide();
            window_->unload(1);
            break;
        default:
            break;
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error loading the main program window. Try restarting the program. ",
                            e);
    }
}

void Welcome::makeGame() {
    if (game_) return;
    game_ = makeGame_();
    // Afterwards: the unloading game is still on the stack.
    game_->setUnloadedHandler([this] {
        QMetaObject::invokeMethod(this, &Welcome::onGameUnloaded, Qt::QueuedConnection);
    });
    game_->setWelcomeLink(
        [this] { return shown_ && chkResolution_->isVisible() && chkResolution_->value() == 1; },
        [this] { window_->Hide(); });
}

void Welcome::onGameUnloaded() {
    if (project().settings.SkipWelcomeScreen) {
        end();
    } else {
        window_->Show();
        window_->setTopmost(true);
        shown_ = true;
    }
}

void Welcome::end() {
    if (ended_) return;
    ended_ = true;
    if (endProgram_) endProgram_();
}

} // namespace tv
