#include "data/variables_file.h"

#include "data/record_helpers.h"

namespace tv {

namespace {
const QString kVariantMarker = QStringLiteral("***");
}

void readVariablesFile(const QString& path, VariablesFile& into) {
    into = VariablesFile();
    RecordReader in = RecordReader::open(path);
    if (!in.atEnd()) into.leading = readKeptValue(in);
    while (!in.atEnd()) {
        const QString name = in.readString();
        if (name == kVariantMarker) {
            into.variantMarker = true;
        } else if (into.variantMarker) {
            into.variants.append(name);
        } else {
            into.integers.append(name);
        }
    }
}

void writeVariablesFile(const QString& path, const VariablesFile& file) {
    RecordWriter out;
    out.value(file.leading).endLine();
    for (const QString& name : file.integers)
        out.string(name).endLine();
    if (file.variantMarker || !file.variants.isEmpty()) {
        out.string(kVariantMarker).endLine();
        for (const QString& name : file.variants)
            out.string(name).endLine();
    }
    out.saveTo(path);
}

} // namespace tv
