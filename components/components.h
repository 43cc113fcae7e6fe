#pragma once
// Plugins and run-time components as the frame engine sees them: the plugins' frame-start code,
// the expansion of plugin actions in scripts, and the removal of components at a game reset.

#include "script/variables.h"

#include <QString>
#include <QStringList>

namespace tv {

class Components {
public:
    // The two frame-start code texts of every loaded plugin, in plugin order.
    QStringList firstFrameStartTexts() const { return {}; }
    QStringList secondFrameStartTexts() const { return {}; }
    // Bracketed plugin actions inside author code, expanded to script code.
    QString expandPluginActions(const QString& code, bool /*hotspotAction*/) const { return code; }

    // The variables that loaded plugins declare, in plugin order.
    QList<GameVariables::PluginVariables> pluginVariables() const { return {}; }

    void ResetComponents() {}
    void LoadPlugins() {}
    void BuildAllEventsList() {}
};

} // namespace tv
