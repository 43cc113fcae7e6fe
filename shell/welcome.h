#pragma once
// The welcome window, the first window of the player: it initialises the project and shows the
// game's title screen (name, version, author, e-mail address, web site, the start, load and exit
// buttons, the offer to switch the display resolution and the product's logo), dressed by the
// project's scheme; then it starts a new game, loads one or ends the program.

#include "shell/game_session.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

class CheckBox;
class Control;
class Form;
class ImageBox;
class Label;
template <class T> class ControlSet;

class Welcome : public QObject {
    Q_OBJECT
public:
    // `makeGame` makes the game when the player starts one. `endProgram` is called once when the
    // program must end (exit, or the game unloaded without a welcome window to go back to).
    Welcome(QString rootFolder, GameFactory makeGame, std::function<void()> endProgram);
    ~Welcome() override;

    // The window's load event: initialises the project and shows the window, or starts the game
    // directly when the project skips the welcome window.
    void load();
    // 0 start, 1 load a saved game, 2 exit.
    void ClickButton(int index);
    // Dresses the window in the scheme Schemes/NAME; a missing scheme gives the plain layout, and
    // a refused or broken one keeps what it applied before it failed. Never reports.
    void UseScheme(const QString& schemeName);

    // Switches the display before a new game starts, when the player asked for it on this
    // window: `choice` 1 is 640 x 480, 2 is 800 x 600, 3 is 1024 x 768. Does nothing unless set.
    void setChangeResolution(std::function<void(int choice)> change);

    // Registers the control libraries of the project's components folder at start-up (the
    // shell knows nothing of control libraries).
    void setRegisterControlLibraries(std::function<void(const QString& folder)> registerAll) {
        registerControlLibraries_ = std::move(registerAll);
    }

    // The product's web address, which the logo offers to visit.
    static QString productAddress();

    GameSession* game() { return game_.get(); }
    Form& window() { return *window_; }

private:
    void buildControls();
    void connectControls();
    bool InitialiseProject();
    // Fills the texts, the resolution offer and the scheme; false when a setting could not be
    // taken (reported once the window shows).
    bool fill();
    void arrange();
    bool fillResolutionOffer();
    void applyLogo(int style, bool flag);
    void showPlainButtons();
    void dragFrom(Control& pressed, int button, double x, double y);
    void storeResolutionChoice();
    // Asks whether to open `address`; the window gives up staying on top while it asks, and
    // keeps it given up when the player goes to the address.
    void offerToOpen(const QString& title, const QString& question, const QString& address);
    // The game's main window, made the first time a game starts or loads.
    void makeGame();
    void onGameUnloaded();
    void end();

    QString rootFolder_;
    GameFactory makeGame_;
    std::function<void()> endProgram_;
    std::function<void(int)> changeResolution_;
    std::function<void(const QString&)> registerControlLibraries_;

    Form* window_ = nullptr;
    Label* txtAdventureName_ = nullptr;
    Label* txtVersion_ = nullptr;
    Label* lblAuthor_ = nullptr;
    Label* txtAuthor_ = nullptr;
    Label* lblEmail_ = nullptr;
    Label* txtEmail_ = nullptr;
    Label* lblHomepage_ = nullptr;
    Label* txtHomepage_ = nullptr;
    Label* lblResolution_ = nullptr;
    CheckBox* chkResolution_ = nullptr;
    ImageBox* imgLogo_ = nullptr;
    ControlSet<Label>* lblButton_ = nullptr;
    ControlSet<ImageBox>* Img_ = nullptr;
    ControlSet<ImageBox>* imgLogos_ = nullptr;

    std::unique_ptr<GameSession> game_;
    bool shown_ = false;
    bool ended_ = false;
    bool filling_ = false;
};

} // namespace tv
