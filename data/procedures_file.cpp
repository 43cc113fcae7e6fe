#include "data/procedures_file.h"

#include "data/cipher.h"
#include "platform/core/cp1252.h"
#include "platform/core/errors.h"
#include "platform/core/ini.h"
#include "platform/core/records.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace tv {

namespace {

QStringList codeLines(const QString& text) {
    static const QRegularExpression lineBreak("\r\n|\r|\n");
    return text.split(lineBreak);
}

// The seed character of a scrambled line: any printable character will do; taking it from the
// line's position keeps rebuilt files identical.
QChar seedFor(int line) {
    return QChar(char16_t(u'0' + line % 43));
}

} // namespace

bool scrambleSwitchOn(const QString& procEncr) {
    bool ok = false;
    const double value = procEncr.trimmed().toDouble(&ok);
    return ok && value == 1;
}

bool proceduresScrambled(const QString& moreFilePath) {
    return scrambleSwitchOn(iniRead(moreFilePath, "General", "ProcEncr"));
}

bool scramblable(const QString& code) {
    return !code.contains(u'~');
}

void readProceduresFile(const QString& path, ProceduresFile& into,
                        std::optional<int> scrambleOffset) {
    into = ProceduresFile();
    RecordReader in = RecordReader::open(path);
    for (int i = 0; i < 3 && !in.atEnd(); ++i)
        into.header[i] = in.readLine();
    // Line by line into the text itself, so that a failure keeps what was read.
    bool first = true;
    do {
        const QString line = in.readLine();
        if (!first) into.text += QStringLiteral("\r\n");
        first = false;
        into.text += scrambleOffset ? DecodeTextA(line, *scrambleOffset) : line;
    } while (!in.atEnd());
}

void writeProceduresFile(const QString& path, const ProceduresFile& file,
                         std::optional<int> scrambleOffset) {
    if (scrambleOffset && !scramblable(file.text)) throw vbError(err::InvalidCall);
    QByteArray out;
    for (int i = 0; i < 3; ++i)
        out += toCp1252(i < file.header.size() ? file.header[i] : QString()) + "\r\n";
    const QStringList lines = codeLines(file.text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line =
            scrambleOffset ? EncodeTextA(lines[i], *scrambleOffset, seedFor(i)) : lines[i];
        out += toCp1252(line) + "\r\n";
    }
    QSaveFile saved(path);
    saved.setDirectWriteFallback(true);
    if (saved.open(QIODevice::WriteOnly) && saved.write(out) == out.size() && saved.commit())
        return;
    throw vbError(err::PathFileAccessError);
}

} // namespace tv
