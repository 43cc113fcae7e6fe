#pragma once
// Helpers shared by the fuzz targets.

#include "platform/core/errors.h"
#include "platform/core/records.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tv::fuzz {

// The bytes a value's own writer lays out (a whole file of one layout).
template <typename T> QByteArray written(const T& value) {
    RecordWriter out;
    value.write(out);
    return out.bytes();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A path in a temporary folder that lives as long as the process; in memory where the system
// offers it, since some readers' twins sync every file they save to the disk.
inline QString scratchPath(const QString& name) {
    static QTemporaryDir dir((QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : QDir::tempPath()) +
                             "/tv-fuzz-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder\n");
        std::abort();
    }
    return dir.filePath(name);
}

// Readers that only take a path get the input through a file, rewritten for every run.
inline QString writeInputFile(const uint8_t* data, size_t size, const QString& name = "input") {
    const QString path = scratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

// A broken invariant is a finding: stop with a message libFuzzer keeps beside the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
    std::abort();
}

// Reads the input as bytes (through `fromReader(RecordReader&, T&)`) and as the file at `path`
// (through `fromFile(path)`): the two must read the same or fail with the same error. What the
// bytes read comes back in `read`; the result is the error's number, 0 when none.
template <typename T, typename FromReader, typename FromFile>
int readBothWays(const QByteArray& bytes, const QString& path, T& read, FromReader fromReader,
                 FromFile fromFile) {
    int error = 0;
    try {
        RecordReader in(bytes);
        fromReader(in, read);
    } catch (const VbError& e) {
        error = e.number();
    }
    try {
        const T whole = fromFile(path);
        if (error != 0) fail("the file reads where its bytes did not");
        if (!(whole == read)) fail("the file reads otherwise than its bytes");
    } catch (const VbError& e) {
        if (e.number() != error) fail("the file fails otherwise than its bytes");
    }
    return error;
}

// What read in full survives its writer: written, it reads back (through `fromReader`) as
// `expected` (the value with its numbers as they are stored), and written again it gives the
// same bytes.
template <typename T, typename FromReader>
void survivesWriter(const T& read, const T& expected, FromReader fromReader) {
    const QByteArray once = written(read);
    T back;
    try {
        RecordReader in(once);
        fromReader(in, back);
    } catch (const VbError&) {
        fail("what was written does not read back");
    }
    if (!(back == expected)) fail("what was written reads back as another value");
    if (written(back) != once) fail("what was written reads back different");
}

} // namespace tv::fuzz
