#include "platform/core/errors.h"

#include <QHash>

namespace tv {

QString classicErrorDescription(int number) {
    // Where the forms runtime's texts differ from the script engine's, or it has numbers of its
    // own.
    static const QHash<int, QString> playerTexts = {
        {3, "Return without GoSub"},
        {59, "Bad record length"},
        {63, "Bad record number"},
        {64, "Bad file name"},
        {err::ObjectVariableNotSet, "Object variable or With block variable not set"},
        {93, "Invalid pattern string"},
        {err::InvalidFileFormat, "Invalid file format"},
        {err::ControlArrayElementDoesNotExist, "Control array element does not exist"},
        {err::ObjectAlreadyLoaded, "Object already loaded"},
        {err::CannotUnloadDesignTimeControl, "Can't unload controls created at design time"},
        {err::InvalidPropertyValue, "Invalid property value"},
        {err::PrinterError, "Printer error"},
    };
    if (auto it = playerTexts.constFind(number); it != playerTexts.constEnd()) return *it;
    if (vbs::hasErrorDescription(number))
        return QString::fromStdU16String(vbs::errorDescription(number));
    return QStringLiteral("Application-defined or object-defined error");
}

VbError vbError(int number, const QString& description) {
    return VbError(
        number,
        (description.isEmpty() ? classicErrorDescription(number) : description).toStdU16String());
}

QString errorText(const VbError& error) {
    return QString::fromStdU16String(error.message());
}

} // namespace tv
