#pragma once
// Walkthroughs: scripts of clicks, keys, waits, answers and expectations that play a game
// automatically. Parsed whole before the game starts, then run command by command.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace tv {

class Welcome;
class Game;
class Control;

struct WalkCommand {
    int line = 0;
    QString name;     // "wait", "click", "expect frame", ...
    QStringList args; // the words after the name
    QString rest;     // the text after the name, as written (for texts with spaces)
    // "later MS COMMAND": the command runs when MS milliseconds of the game's time have passed,
    // even while the game is busy waiting (for a video, say); -1 runs it now.
    qint64 laterMs = -1;
};

struct WalkParseError {
    int line;
    QString message;
};

// Parses a whole walkthrough; the first malformed line gives the error.
std::optional<std::vector<WalkCommand>> parseWalkthrough(const QString& text,
                                                         WalkParseError& error);

class WalkthroughRunner {
public:
    explicit WalkthroughRunner(Welcome& welcome) : welcome_(welcome) {}
    // Commands still waiting to run later are dropped.
    ~WalkthroughRunner();

    // Runs the commands; returns the exit status (0 every expectation held, 1 one failed or a
    // command could not run). Messages go to `report` ("walkthrough:LINE: ...").
    int run(const std::vector<WalkCommand>& commands,
            const std::function<void(const QString&)>& report);

private:
    // Runs the command at the cursor and moves on; false when the walkthrough must stop (a
    // command failed, or the program has ended and the command is not an expectation).
    bool step();
    // Returns an empty text when the command held, else what went wrong.
    QString execute(const WalkCommand& c);
    QString expect(const WalkCommand& c);
    // The window in front: an open modal window, else the game's window while it shows, else
    // the welcome window.
    Control& activeWindow();
    // What `screenshot` and `expect pixel` look at: the frame display while the game's window is
    // in front, else the window in front.
    Control& pictureSurface();
    // Chooses the menu item with that caption (a menu with items of its own is opened).
    static QString chooseMenu(Game& game, const QString& caption);
    // Where item N of the inventory lies, in pixels of the frame display.
    static QPoint itemCentre(Game& game, int item);
    // Brings item N within reach of the pointer (opening the strip as a player would) and says
    // where it is; the problem when it cannot be reached.
    static QString itemInReach(Game& game, int item, QPoint& centre);

    Welcome& welcome_;
    const std::vector<WalkCommand>* commands_ = nullptr;
    size_t cursor_ = 0;
    QString problem_; // the first failure, "walkthrough:LINE: ..."
    qsizetype logMark_ = 0;
    QString laterProblem_; // what went wrong in a command that ran later
    std::vector<quint64> later_;
};

} // namespace tv
