#pragma once
// Plugins and run-time components as the frame engine sees them: the plugin table with the
// plugins' code and variables, the expansion of plugin actions in scripts, and the removal of
// components at a game reset.

#include "components/runtime_components.h"
#include "data/plugins_file.h"
#include "data/project.h"
#include "script/variables.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

namespace tv {

class Components {
public:
    // A loaded plugin: its data file with the texts in plain form (code deciphered, quotes
    // restored). The first three members are what plugin actions need.
    struct PluginRecord {
        PluginRecord() = default;
        PluginRecord(QString name, QString hotspotProcedure, QString frameProcedure)
            : internalName(std::move(name)), hotspotActionProcedure(std::move(hotspotProcedure)),
              frameActionProcedure(std::move(frameProcedure)) {}

        QString internalName;
        QString hotspotActionProcedure; // the fifth of the five strings
        QString frameActionProcedure;   // the third
        QString title;
        QString displayName;
        QString description;
        bool compiled = false;
        bool isProtected = false;
        QString startupCode;
        QString frameOpenCode;
        QString proceduresCode;
        QString secondFrameOpenCode; // empty before version 3
        QStringList integerVariables;
        QStringList variantVariables;
        bool flag1 = false;
        bool flag2 = false;
        QStringList strings; // the five strings
        QList<PluginParameter> parameters;
        QList<RecordValue> extra;
    };
    // The record of a data file; the cipher's error (VbError) on a code text it cannot take.
    static PluginRecord pluginRecord(const PluginDataFile& file);

    // The plugin table, in the order of the project's list.
    QList<PluginRecord> plugins;

    // The two frame-start code texts of every loaded plugin, in plugin order.
    QStringList firstFrameStartTexts() const;
    QStringList secondFrameStartTexts() const;
    // Each loaded plugin's procedures (added to every run) and start-up text (game start).
    QStringList pluginProcedures() const;
    QStringList pluginStartupTexts() const;
    // Stored plugin actions ("{Name}arg1}arg2...") expanded to calls of the plugins' action
    // procedures, one line each; text before the first brace and actions of unknown plugins
    // give nothing.
    QString ExpandPluginActions(const QString& text, bool forHotspot) const;

    // The variables that loaded plugins declare, in plugin order.
    QList<GameVariables::PluginVariables> pluginVariables() const;

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
    // Rebuilds the plugin table from the project's list: each distinct name whose data file
    // exists in CPData, in list order; missing files are skipped silently. The first failure
    // ends the load with the standard error report " Error loading plugins. " and the error's
    // description; the plugins read completely before it stay, the one being read does not.
    void LoadPlugins();
    void LoadPlugins(const ProjectFolders& folders);
    void BuildAllEventsList() { runtime.BuildAllEventsList(); }
};

} // namespace tv
