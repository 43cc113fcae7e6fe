#pragma once
// Records of multi-record files end with a separator value. A record may stop early (older
// editors wrote fewer fields), so readers test for the separator before each optional group.

#include "platform/core/files.h"
#include "platform/core/records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

inline const QString kSeparator = QStringLiteral("----- SEPARATOR -----");

// True at the end of the file or when the next value is the separator; the value is not
// consumed.
bool AtRecordEnd(RecordReader& in);

// Reads values up to and including the next separator; stops quietly at the end of the file.
void skipToRecordEnd(RecordReader& in);

// The separator on a line of its own.
void writeSeparator(RecordWriter& out);

// Runs of values a layout keeps but does not use.
QList<RecordValue> readValues(RecordReader& in, int count);
// A value a reader only steps over, kept for a rewrite. Never fails where skipping would not: a
// bare number too large for a number is kept as its text.
RecordValue readKeptValue(RecordReader& in);
QList<RecordValue> readKeptValues(RecordReader& in, int count);

// A whole file of one layout: `read(reader, into)` fills a default value from the file's records
// (a failure throws VbError), and the value's own `write` lays it out.
template <typename T, typename Read> T readRecordFile(const QString& path, Read read) {
    RecordReader in = RecordReader::open(files::resolve(path));
    T value;
    read(in, value);
    return value;
}
template <typename T> void writeRecordFile(const QString& path, const T& value) {
    RecordWriter out;
    value.write(out);
    out.saveTo(path);
}

// A list of names one a line: its count, then the names. A negative count lists nothing; a count
// larger than the file ends with the reader's "Input past end of file", never with room set aside
// for it.
QStringList readNameList(RecordReader& in);
void writeNameList(RecordWriter& out, const QStringList& names);

// Writes exactly `count` values on the current line: those given, then 0 for any missing, so
// that the layout holds whatever the list.
void writeValues(RecordWriter& out, const QList<RecordValue>& values, int count);

} // namespace tv
