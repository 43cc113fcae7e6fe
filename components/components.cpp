#include "components/components.h"

namespace tv {

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
