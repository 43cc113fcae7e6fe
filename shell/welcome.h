#pragma once
// The welcome window, the first window of the player: it initialises the project, then starts a
// new game, loads one or exits. This is the plain form of the window (title, version, author and
// the three buttons); schemes dress it up.

#include "shell/game_session.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

class Form;
class Label;

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

    GameSession* game() { return game_.get(); }
    Form& window() { return *window_; }

private:
    bool InitialiseProject();
    void fill();
    void onGameUnloaded();
    void end();

    QString rootFolder_;
    GameFactory makeGame_;
    std::function<void()> endProgram_;
    Form* window_ = nullptr;
    Label* title_ = nullptr;
    Label* details_ = nullptr;
    Label* buttons_[3] = {};
    std::unique_ptr<GameSession> game_;
    bool shown_ = false;
    bool ended_ = false;
};

} // namespace tv
