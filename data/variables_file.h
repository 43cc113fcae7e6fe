#pragma once
// The "Variables" configuration file: one leading value the player steps over, the integer
// variable names one per field, then optionally the marker "***" and the variant variable
// names.

#include "platform/core/records.h"

#include <QString>
#include <QStringList>

namespace tv {

struct VariablesFile {
    RecordValue leading = RecordValue::ofString("");
    QStringList integers;
    QStringList variants;
    // "***" is written even without variant names (a file may hold it so).
    bool variantMarker = false;

    bool operator==(const VariablesFile&) const = default;
};

// Reads into `into` name by name, so that a failure (VbError) keeps the names read so far. Every
// "***" switches to the variant names; later ones are no names.
void readVariablesFile(const QString& path, VariablesFile& into);
// The marker is written when there are variant names or variantMarker is set.
void writeVariablesFile(const QString& path, const VariablesFile& file);

} // namespace tv
