#pragma once
// Whole files as bytes, for tests that write a file, read it back or compare what a writer made.

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

} // namespace tv::test
