#pragma once
// The hidden debug menu for authors testing a game: every frame to jump to, the variables' values
// page by page, code to run (the last run kept per user), and the editor's own tools, which
// answer that they are not part of a finished game.

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

class GameVariables;
class MenuItem;
class ScriptHost;
class ScriptSite;

class DebugTools {
public:
    static constexpr int kLinesPerPage = 25;

    DebugTools(ScriptSite& site, ScriptHost& scripts);
    ~DebugTools();

    // The items of the debug menu.
    void createMenus(MenuItem& debugMenu);
    // At every game reset: one item per frame of the project, and the editing item enabled
    // unless the project switches it off.
    void fillFrameList();
    QList<MenuItem*> menuItems() const;

    void ViewVariables();
    void ExecuteVBScript();

    // The variables display's lines and the pages they make, as the message boxes show them.
    static QStringList variablesLines(const GameVariables& variables);
    static QStringList variablesPages(const QStringList& lines);

private:
    ScriptSite& site_;
    ScriptHost& scripts_;
    MenuItem* debug_ = nullptr;
    MenuItem* frameTemplate_ = nullptr; // mnuFrameName(0), never shown
    QList<MenuItem*> frames_;
    MenuItem* viewVariables_ = nullptr;
    MenuItem* executeCode_ = nullptr;
    MenuItem* editProcedures_ = nullptr;
    MenuItem* interceptCode_ = nullptr;
};

} // namespace tv
