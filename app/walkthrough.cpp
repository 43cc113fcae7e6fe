#include "app/walkthrough.h"

#include "data/project.h"
#include "engine/game.h"
#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/event_log.h"
#include "platform/event_loop.h"
#include "platform/menu.h"
#include "shell/welcome.h"

#include <QRegularExpression>

namespace tv {

namespace {
struct Shape {
    const char* name;
    int minArgs;
    int maxArgs; // -1: any (a free text)
};

// clang-format off
const Shape kShapes[] = {
    {"wait", 1, 1}, {"click", 2, 3}, {"move", 2, 2}, {"key", 1, 4},
    {"drag-item", 3, 3}, {"drag-item-onto", 2, 2}, {"answer", 1, 1}, {"input", 0, -1},
    {"button", 1, -1}, {"select", 1, -1}, {"type", 0, -1}, {"menu", 1, -1}, {"exec", 1, -1},
    {"screenshot", 1, -1}, {"quit", 0, 0}, {"click-window", 2, 3}, {"screenshot-window", 1, -1},
    {"expect frame", 1, -1}, {"expect variable", 2, -1}, {"expect log", 1, -1},
    {"expect nolog", 1, -1}, {"expect items", 0, -1}, {"expect visible", 1, 1},
    {"expect hidden", 1, 1}, {"expect pixel", 3, 4}, {"expect window-pixel", 3, 4},
};
// clang-format on

bool isInt(const QString& s, int min = INT_MIN) {
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok && v >= min;
}

// Checks the arguments of a command beyond their count.
QString checkArgs(const WalkCommand& c) {
    const QString& n = c.name;
    if (n == "wait" && !isInt(c.args[0], 0)) return "wait needs milliseconds";
    if ((n == "click" || n == "move" || n == "click-window") &&
        (!isInt(c.args[0], 0) || !isInt(c.args[1], 0)))
        return n + " needs X Y in pixels";
    if ((n == "click" || n == "click-window") && c.args.size() == 3 && c.args[2] != "right")
        return n + " takes only `right` after X Y";
    if (n == "key") {
        if (!automation::isKeyName(c.args[0])) return "unknown key " + c.args[0];
        for (int i = 1; i < c.args.size(); ++i)
            if (c.args[i] != "ctrl" && c.args[i] != "shift" && c.args[i] != "alt")
                return "unknown key modifier " + c.args[i];
    }
    if (n == "answer" && DialogService::resultForCaption(c.args[0]) == 0)
        return "unknown button " + c.args[0];
    if (n == "expect pixel" || n == "expect window-pixel") {
        if (!isInt(c.args[0], 0) || !isInt(c.args[1], 0)) return n + " needs X Y";
        static const QRegularExpression hex("^[0-9A-Fa-f]{6}$");
        if (!hex.match(c.args[2]).hasMatch()) return n + " needs a colour RRGGBB";
        if (c.args.size() == 4 && !isInt(c.args[3], 0))
            return n + " takes a tolerance from 0 to 255 after the colour";
    }
    if ((n == "expect visible" || n == "expect hidden") && !isInt(c.args[0], 1))
        return n + " needs a hotspot number";
    if (n == "drag-item" && (!isInt(c.args[0], 1) || !isInt(c.args[1], 0) || !isInt(c.args[2], 0)))
        return "drag-item needs N X Y";
    if (n == "drag-item-onto" && (!isInt(c.args[0], 1) || !isInt(c.args[1], 1)))
        return "drag-item-onto needs N M";
    return {};
}
} // namespace

std::optional<std::vector<WalkCommand>> parseWalkthrough(const QString& text,
                                                         WalkParseError& error) {
    std::vector<WalkCommand> commands;
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
        static const QRegularExpression spaces("\\s+");
        QStringList words = trimmed.split(spaces);
        WalkCommand c;
        c.line = i + 1;
        if (words[0] == "later") {
            static const QStringList inputs{"click", "move", "key", "screenshot"};
            if (words.size() < 3 || !isInt(words[1], 0) || !inputs.contains(words[2])) {
                error = {c.line, "later needs milliseconds and a click, move, key or screenshot"};
                return std::nullopt;
            }
            c.laterMs = words[1].toLongLong();
            words = words.mid(2);
            trimmed = words.join(' ');
        }
        int used = 1;
        c.name = words[0];
        if (c.name == "expect") {
            if (words.size() < 2) {
                error = {c.line, "expect needs what to expect"};
                return std::nullopt;
            }
            c.name += " " + words[1];
            used = 2;
        }
        const Shape* shape = nullptr;
        for (const Shape& s : kShapes)
            if (c.name == s.name) shape = &s;
        if (!shape) {
            error = {c.line, "unknown command: " + c.name};
            return std::nullopt;
        }
        c.args = words.mid(used);
        // The free text after the command's words, keeping its inner spaces.
        const QRegularExpression head(QStringLiteral("^\\S+(?:\\s+\\S+){%1}\\s*").arg(used - 1));
        QString rest = trimmed;
        rest.remove(head);
        c.rest = rest;
        if (c.args.size() < shape->minArgs ||
            (shape->maxArgs >= 0 && c.args.size() > shape->maxArgs)) {
            error = {c.line, "wrong number of arguments for " + c.name};
            return std::nullopt;
        }
        if (const QString problem = checkArgs(c); !problem.isEmpty()) {
            error = {c.line, problem};
            return std::nullopt;
        }
        commands.push_back(c);
    }
    return commands;
}

WalkthroughRunner::~WalkthroughRunner() {
    for (quint64 id : later_)
        EventLoop::instance().cancel(id);
}

int WalkthroughRunner::run(const std::vector<WalkCommand>& commands,
                           const std::function<void(const QString&)>& report) {
    auto& loop = EventLoop::instance();
    commands_ = &commands;
    cursor_ = 0;
    // A window opened modally, or a transition drawing, waits inside the command that started
    // it: the commands that follow run from that wait, as a player's clicks would, until it
    // ends. Time moves there as it does between other commands, only by their own waits, so
    // that a picture taken after `wait` shows the instant it names. When the commands fail or
    // run out first, the program ends (and so does the wait).
    const Form::ModalWaiter previous = Form::modalWaiter();
    Form::setModalWaiter([this, &loop](const std::function<bool()>& done) {
        while (!done() && !loop.quitRequested()) {
            const bool more = problem_.isEmpty() && commands_ && cursor_ < commands_->size();
            if (!more || !step()) {
                loop.quit(0);
                break;
            }
        }
    });
    loop.drain();
    while (problem_.isEmpty() && cursor_ < commands.size())
        step();
    if (!laterProblem_.isEmpty() && problem_.isEmpty()) problem_ = laterProblem_;
    commands_ = nullptr;
    Form::setModalWaiter(previous);
    if (!problem_.isEmpty()) {
        report(problem_);
        return 1;
    }
    return 0;
}

bool WalkthroughRunner::step() {
    auto& loop = EventLoop::instance();
    const WalkCommand& c = (*commands_)[cursor_++];
    // Once the program has ended, only what it left behind can still be checked.
    if (loop.quitRequested() && !c.name.startsWith("expect")) return true;
    if (c.laterMs >= 0) {
        later_.push_back(loop.schedule(Clock::instance().nowMs() + c.laterMs, [this, c] {
            const QString problem = execute(c);
            if (laterProblem_.isEmpty() && !problem.isEmpty())
                laterProblem_ = QStringLiteral("walkthrough:%1: %2").arg(c.line).arg(problem);
        }));
        return true;
    }
    const QString problem = laterProblem_.isEmpty() ? execute(c) : QString();
    if (!laterProblem_.isEmpty()) {
        if (problem_.isEmpty()) problem_ = laterProblem_;
        return false;
    }
    if (!problem.isEmpty()) {
        if (problem_.isEmpty())
            problem_ = QStringLiteral("walkthrough:%1: %2").arg(c.line).arg(problem);
        return false;
    }
    if (!loop.quitRequested()) loop.drain();
    return true;
}

QString WalkthroughRunner::execute(const WalkCommand& c) {
    const QString& n = c.name;
    Game* game = dynamic_cast<Game*>(welcome_.game());
    auto& loop = EventLoop::instance();
    if (n.startsWith("expect ")) return expect(c);
    if (n == "wait") {
        loop.wait(c.args[0].toLongLong());
        return {};
    }
    if (n == "answer") {
        DialogService::instance().queueAnswer(c.args[0]);
        return {};
    }
    if (n == "input") {
        DialogService::instance().queueInput(c.args.isEmpty() ? std::nullopt
                                                              : std::optional<QString>(c.rest));
        return {};
    }
    if (n == "exec") {
        // As the debug tools run code: with its consequences.
        if (!game) return "exec: no game is running";
        game->scripts.ExecuteVBScriptAndConsequences(c.rest, true);
        return {};
    }
    if (n == "quit") {
        loop.quit(0);
        return {};
    }
    if (n == "key") {
        automation::key(activeWindow(), c.args[0], c.args.contains("ctrl"),
                        c.args.contains("shift"), c.args.contains("alt"));
        return {};
    }
    if (n == "screenshot") {
        if (!automation::saveScreenshot(pictureSurface(), c.rest))
            return "screenshot: cannot write " + c.rest;
        return {};
    }
    if (n == "click" || n == "move") {
        // Before the game and after it, the welcome window (or a dialog) is what the player
        // points at, in its own pixels; during the game, the frame display.
        Control& front = activeWindow();
        Control* surface = nullptr;
        if ((!game || &front != &game->window()) && front.isVisible())
            surface = &front;
        else if (game)
            surface = &game->pictureBox();
        else
            return n + ": no game is running";
        if (n == "click")
            automation::click(*surface, c.args[0].toInt(), c.args[1].toInt(), c.args.size() == 3);
        else
            automation::move(*surface, c.args[0].toInt(), c.args[1].toInt());
        return {};
    }
    if (n == "click-window" || n == "screenshot-window") {
        // The game's window as the window system has it: scaled, with its bars and menus.
        if (!game || !game->window().isVisible()) return n + ": the game's window is not shown";
        if (n == "click-window")
            automation::click(game->window(), c.args[0].toInt(), c.args[1].toInt(),
                              c.args.size() == 3);
        else if (!automation::saveScreenshot(game->window(), c.rest))
            return "screenshot-window: cannot write " + c.rest;
        return {};
    }
    if (n == "button") {
        Control& window = activeWindow();
        if (!automation::pressButton(window, c.rest))
            return "button: there is no button " + c.rest + " in " + window.name();
        return {};
    }
    if (n == "select") {
        Control& window = activeWindow();
        if (!automation::selectEntry(window, c.rest))
            return "select: there is no list entry " + c.rest + " in " + window.name();
        return {};
    }
    if (n == "type") {
        Control& window = activeWindow();
        if (!automation::typeText(window, c.rest))
            return "type: no text field has the focus in " + window.name();
        return {};
    }
    if (n == "menu") {
        if (!game) return "menu: no game is running";
        return chooseMenu(*game, c.rest);
    }
    if (n == "drag-item" || n == "drag-item-onto") {
        if (!game) return n + ": no game is running";
        Inventory& inventory = game->inventory;
        QPoint from, to;
        if (QString problem = itemInReach(*game, c.args[0].toInt(), from); !problem.isEmpty())
            return n + ": " + problem;
        if (n == "drag-item") {
            to = QPoint(c.args[1].toInt(), c.args[2].toInt());
        } else {
            const int target = c.args[1].toInt();
            if (target > inventory.itemCount())
                return QStringLiteral("%1: there is no item %2").arg(n).arg(target);
            to = itemCentre(*game, target);
        }
        automation::drag(game->pictureBox(), from, to);
        return {};
    }
    return "unsupported: " + n;
}

Control& WalkthroughRunner::activeWindow() {
    if (Control* modal = automation::modalWindow()) return *modal;
    Game* game = dynamic_cast<Game*>(welcome_.game());
    // The welcome window's load dialog waits for nobody but is the window in front.
    if (game)
        if (Form* dialog = game->savedGames.openDialog()) return *dialog;
    if (game && game->window().isVisible()) return game->window();
    return welcome_.window();
}

Control& WalkthroughRunner::pictureSurface() {
    Control& window = activeWindow();
    Game* game = dynamic_cast<Game*>(welcome_.game());
    if (game && &window == &game->window()) return game->pictureBox();
    return window;
}

QString WalkthroughRunner::chooseMenu(Game& game, const QString& caption) {
    MainWindowShell& shell = game.shell;
    MenuItem* found = nullptr;
    for (MenuItem* m : shell.menuItems() + game.debugTools.menuItems())
        if (m->caption().remove('&') == caption) found = m;
    if (!found) return "menu: there is no menu item " + caption;
    // As a player would: bring up the menus first, and open the menu that holds the item.
    if (!shell.menusShown()) shell.ShowMenus();
    MenuItem* menu = found->parentItem();
    const bool reachable = found->isVisible() && (!menu || menu->isVisible());
    if (!reachable) return "menu: " + caption + " is not shown";
    if (menu) menu->choose();
    found->choose();
    if (menu) menu->close();
    return {};
}

QPoint WalkthroughRunner::itemCentre(Game& game, int item) {
    return automation::centreOf(game.pictureBox(), game.inventory.PickedObject()(item));
}

QString WalkthroughRunner::itemInReach(Game& game, int item, QPoint& centre) {
    Inventory& inventory = game.inventory;
    if (item > inventory.itemCount())
        return QStringLiteral("there is no item %1 (the inventory holds %2)")
            .arg(item)
            .arg(inventory.itemCount());
    PictureBox& display = game.pictureBox();
    ImageBox& icon = inventory.PickedObject()(item);
    centre = itemCentre(game, item);
    if (automation::isTopmostAt(display, centre, icon)) return {};
    // As a player would: rest the pointer on the inventory button so that the strip opens.
    if (PictureBox& button = inventory.Inventory2(); button.isVisible()) {
        const QPoint at = automation::centreOf(display, button);
        automation::move(display, at.x(), at.y());
        EventLoop::instance().drain();
        centre = itemCentre(game, item);
        if (automation::isTopmostAt(display, centre, icon)) return {};
    }
    return QStringLiteral("item %1 is out of reach (the strip does not open)").arg(item);
}

QString WalkthroughRunner::expect(const WalkCommand& c) {
    const QString& n = c.name;
    Game* game = dynamic_cast<Game*>(welcome_.game());
    const QStringList& lines = EventLog::instance().lines();
    if (n == "expect log" || n == "expect nolog") {
        QString found;
        qsizetype at = logMark_;
        for (; at < lines.size() && found.isEmpty(); ++at)
            if (lines[at].contains(c.rest)) found = lines[at];
        if (n == "expect log") {
            // The next expectation looks after this line, so that a series of them checks the
            // order of events.
            if (!found.isEmpty()) logMark_ = at;
            if (found.isEmpty()) return "expected a log line containing '" + c.rest + "', got none";
        } else if (!found.isEmpty()) {
            return "expected no log line containing '" + c.rest + "', got '" + found + "'";
        }
        return {};
    }
    if (n == "expect items") {
        QStringList wanted;
        for (const QString& name : c.rest.split(',', Qt::SkipEmptyParts))
            if (!name.trimmed().isEmpty()) wanted.append(name.trimmed());
        QStringList got;
        if (game)
            for (int i = 1; i <= game->inventory.itemCount(); ++i)
                got.append(game->inventory.itemName(i));
        if (got != wanted)
            return "expected items " + (wanted.isEmpty() ? "(none)" : wanted.join(',')) + ", got " +
                   (got.isEmpty() ? "(none)" : got.join(','));
        return {};
    }
    if (n == "expect frame") {
        const QString current = game ? game->CurrentFrame.FrameName : QString();
        if (current != c.rest) return "expected frame " + c.rest + ", got " + current;
        return {};
    }
    if (n == "expect pixel" || n == "expect window-pixel") {
        const bool whole = n == "expect window-pixel";
        if (whole && (!game || !game->window().isVisible()))
            return "expect window-pixel: the game's window is not shown";
        Control& surface = whole ? game->window() : pictureSurface();
        const qint64 got = automation::pixel(surface, c.args[0].toInt(), c.args[1].toInt());
        const qint64 wanted = c.args[2].toLongLong(nullptr, 16);
        // Decoded pictures (videos, JPEG) may differ by a step or two in each colour.
        const int tolerance = c.args.size() == 4 ? c.args[3].toInt() : 0;
        auto near = [tolerance](qint64 a, qint64 b) {
            for (int shift : {0, 8, 16})
                if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
                    return false;
            return true;
        };
        if (got < 0 || !near(got, wanted))
            return QStringLiteral("expected pixel %1 at %2,%3, got %4")
                .arg(c.args[2].toUpper(), c.args[0], c.args[1],
                     got < 0 ? QStringLiteral("nothing (outside the display)")
                             : QStringLiteral("%1").arg(got, 6, 16, QChar('0')).toUpper());
        return {};
    }
    if (n == "expect variable") {
        if (!game) return "expected variable " + c.args[0] + ", got no game";
        QObject* variable = game->variables.GetVariableReferenceFromName(c.args[0]);
        if (!variable) return "expected variable " + c.args[0] + ", got no such variable";
        const QString wanted = c.rest.mid(c.rest.indexOf(c.args[0]) + c.args[0].size()).trimmed();
        QVariant value;
        if (auto* integer = qobject_cast<ClassVariable*>(variable))
            value = int(integer->value());
        else if (auto* variant = qobject_cast<ClassVariableVariant*>(variable))
            value = variant->value();
        const QString got = value.typeId() == QMetaType::Bool ? (value.toBool() ? "True" : "False")
                                                              : value.toString();
        if (got != wanted)
            return "expected variable " + c.args[0] + " = " + wanted + ", got " + got;
        return {};
    }
    if (n == "expect visible" || n == "expect hidden") {
        const bool wantVisible = n == "expect visible";
        const int k = c.args[0].toInt();
        if (!game || !game->hotspots.Area().exists(k))
            return QStringLiteral("expected hotspot %1 %2, got no such hotspot")
                .arg(k)
                .arg(wantVisible ? "visible" : "hidden");
        const bool visible = game->hotspots.Area()(k).isVisible();
        if (visible != wantVisible)
            return QStringLiteral("expected hotspot %1 %2, got %3")
                .arg(k)
                .arg(wantVisible ? "visible" : "hidden", visible ? "visible" : "hidden");
        return {};
    }
    return "unsupported: " + n;
}

} // namespace tv
