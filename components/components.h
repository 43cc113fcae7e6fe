#pragma once
// Plugins and run-time components as the frame engine sees them: the plugins' frame-start code,
// the expansion of plugin actions in scripts, and the removal of components at a game reset.

#include "components/runtime_components.h"
#include "script/variables.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tv {

class Components {
public:
    // The two frame-start code texts of every loaded plugin, in plugin order.
    QStringList firstFrameStartTexts() const { return {}; }
    QStringList secondFrameStartTexts() const { return {}; }
    // Each loaded plugin's procedures (added to every run) and start-up text (game start).
    QStringList pluginProcedures() const { return {}; }
    QStringList pluginStartupTexts() const { return {}; }
    // A loaded plugin as its actions need it.
    struct PluginRecord {
        QString internalName;
        QString hotspotActionProcedure;
        QString frameActionProcedure;
    };
    // Stored plugin actions ("{Name}arg1}arg2...") expanded to calls of the plugins' action
    // procedures, one line each; text before the first brace and actions of unknown plugins
    // give nothing.
    QString ExpandPluginActions(const QString& text, bool forHotspot) const;

    QList<PluginRecord> plugins;

    // The variables that loaded plugins declare, in plugin order.
    QList<GameVariables::PluginVariables> pluginVariables() const { return {}; }

    // Run-time components and their events.
    // Mutable: the game's const queries (get a component, test a ProgID) may report or make a
    // control on the way.
    mutable RuntimeComponents runtime;
    const QList<RuntimeComponents::Row>& ComponentsList() const { return runtime.rows(); }
    // Whether a run-time component of that name is in the list (names compare without case).
    bool exists(const QString& name) const { return runtime.exists(name); }
    void AddAdditionalComponent(const QString& progId, const QString& name, bool duringTransitions,
                                bool beforeAlphaBlending) {
        runtime.AddAdditionalComponent(progId, name, duringTransitions, beforeAlphaBlending);
    }
    void RemoveAdditionalComponent(const QString& name) { runtime.RemoveAdditionalComponent(name); }
    QObject* GetComponentRef(const QString& name) const { return runtime.GetComponentRef(name); }
    bool DoesProgIDExist(const QString& progId) const { return runtime.DoesProgIDExist(progId); }
    void PauseComponents() { runtime.PauseComponents(); }
    void ResumeComponents() { runtime.ResumeComponents(); }

    void ResetComponents() { runtime.ResetComponents(); }
    void LoadPlugins() {}
    void BuildAllEventsList() { runtime.BuildAllEventsList(); }
};

} // namespace tv
