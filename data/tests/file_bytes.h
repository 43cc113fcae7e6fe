#pragma once
// Whole files as bytes, for tests that write a file, read it back or compare what a writer made.

#include "platform/core/errors.h"
#include "platform/core/records.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace tv::test {

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// What a record reader (`read(RecordReader&, T&)`) makes of `bytes`.
template <typename T, typename Read> T readFrom(const QByteArray& bytes, Read read) {
    RecordReader in(bytes);
    T value;
    read(in, value);
    return value;
}

// The number of the classic error that `reading` raises; 0 when it raises none.
template <typename F> int errorOf(F reading) {
    try {
        reading();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

// The bytes a value's own writer lays out.
template <typename T> QByteArray writtenBytes(const T& value) {
    RecordWriter out;
    value.write(out);
    return out.bytes();
}

} // namespace tv::test
