#include "components/components.h"

#include "data/reports.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"

namespace tv {

Components::PluginRecord Components::pluginRecord(const PluginDataFile& file) {
    const PluginCodeForm form = file.codeForm();
    PluginRecord r;
    r.internalName = file.InternalName;
    for (const QString& text : file.Strings)
        r.strings.append(restorePluginQuotes(text));
    r.frameActionProcedure = r.strings.value(2);
    r.hotspotActionProcedure = r.strings.value(4);
    r.title = file.Title;
    r.displayName = file.DisplayName;
    r.description = restorePluginQuotes(file.Description);
    r.compiled = file.Compiled;
    r.isProtected = file.Protected;
    r.startupCode = decodePluginCode(file.StartupCode, form);
    r.frameOpenCode = decodePluginCode(file.FrameOpenCode, form);
    r.proceduresCode = decodePluginCode(file.ProceduresCode, form);
    if (file.Version >= 3) r.secondFrameOpenCode = decodePluginCode(file.SecondFrameOpenCode, form);
    r.integerVariables = file.IntegerVariables;
    r.variantVariables = file.VariantVariables;
    r.flag1 = file.Flag1;
    r.flag2 = file.Flag2;
    r.parameters = file.Parameters;
    for (PluginParameter& p : r.parameters)
        p.Name = restorePluginQuotes(p.Name);
    r.extra = file.Extra;
    return r;
}

void Components::LoadPlugins() {
    LoadPlugins(project().folders);
}

void Components::LoadPlugins(const ProjectFolders& folders) {
    plugins.clear();
    try {
        const QString list = pluginListPath(folders);
        if (!files::fileExists(list)) return;
        const PluginListFile names = readPluginListFile(list);
        for (const QString& name : distinctPluginNames(names.Names)) {
            // A name that would lead out of CPData names no file there.
            if (!usablePluginName(name)) continue;
            const QString path = pluginDataPath(folders, name);
            if (!files::fileExists(path)) continue;
            // Read whole before it joins the table: a half-read plugin would bring procedures
            // without the variables they use.
            plugins.append(pluginRecord(readPluginDataFile(path)));
        }
    } catch (const VbError& e) {
        standardErrorReport(" Error loading plugins. ", e);
    }
}

namespace {
template <typename Field>
QStringList collect(const QList<Components::PluginRecord>& plugins, Field field) {
    QStringList texts;
    for (const Components::PluginRecord& p : plugins)
        texts.append(p.*field);
    return texts;
}
} // namespace

QStringList Components::firstFrameStartTexts() const {
    return collect(plugins, &PluginRecord::frameOpenCode);
}

QStringList Components::secondFrameStartTexts() const {
    return collect(plugins, &PluginRecord::secondFrameOpenCode);
}

QStringList Components::pluginProcedures() const {
    return collect(plugins, &PluginRecord::proceduresCode);
}

QStringList Components::pluginStartupTexts() const {
    return collect(plugins, &PluginRecord::startupCode);
}

QList<GameVariables::PluginVariables> Components::pluginVariables() const {
    QList<GameVariables::PluginVariables> variables;
    for (const PluginRecord& p : plugins)
        variables.append({p.integerVariables, p.variantVariables});
    return variables;
}

QString Components::ExpandPluginActions(const QString& text, bool forHotspot) const {
    QString braces = text;
    // The editor stores braces as characters 164 and 165 in some files.
    braces.replace(QChar(164), '{');
    const QStringList pieces = braces.split('{');
    QString out;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        piece.replace(QChar(165), '}');
        const QStringList parts = piece.split('}');
        const PluginRecord* found = nullptr;
        for (const PluginRecord& p : plugins)
            if (p.internalName == parts[0]) found = &p; // the last match wins
        if (!found) continue;
        QStringList args;
        for (qsizetype a = 1; a < parts.size(); ++a)
            args << '"' + parts[a] + '"';
        const QString line =
            (forHotspot ? found->hotspotActionProcedure : found->frameActionProcedure) + " " +
            args.join(',');
        if (!out.isEmpty()) out += "\r\n";
        out += line;
    }
    return out;
}

} // namespace tv
