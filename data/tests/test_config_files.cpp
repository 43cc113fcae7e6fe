// The configuration files beside "General": "Texts", "Variables" and "Procedures".

#include "data/cipher.h"
#include "data/procedures_file.h"
#include "data/ui_texts.h"
#include "data/variables_file.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/ini.h"
#include "platform/core/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}
} // namespace

TEST(TextsFile, OverridesAndSkippedValuesRoundTripAndOtherModesStopAtTheMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Texts");
    TextsFile written;
    written.mode = 2;
    written.skipped[0] = RecordValue::ofString("kept");
    written.skipped[4] = RecordValue::ofBool(true);
    written.overrides = {"Begin", "", "Leave"};
    writeTextsFile(path, written);
    EXPECT_EQ(readTextsFile(path), written);
    UiTexts t;
    EXPECT_TRUE(t.load(path));
    EXPECT_EQ(t[1], "Begin");
    EXPECT_EQ(t[2], "");
    EXPECT_EQ(t[4], "Created By:");

    // Outside mode 2 nothing but the mode is written or read.
    TextsFile game = written;
    game.mode = 1;
    writeTextsFile(path, game);
    EXPECT_EQ(readAll(path), "1\r\n");
    TextsFile modeOnly;
    modeOnly.mode = 1;
    EXPECT_EQ(readTextsFile(path), modeOnly);

    // More overrides than the table holds fail as the player's loading does.
    DialogService::instance().setAutomated(true);
    written.overrides = QStringList(61, "x");
    writeTextsFile(path, written);
    EXPECT_EQ(readTextsFile(path).overrides.size(), 61);
    EXPECT_FALSE(t.load(path));
}

TEST(VariablesFile, LeadingValueMarkerAndNamesRoundTrip) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Variables");
    VariablesFile file;
    file.leading = RecordValue::ofNumber(3);
    file.integers = {"Key", "Door", "Key"};
    file.variants = {"Name"};
    writeVariablesFile(path, file);
    VariablesFile read;
    readVariablesFile(path, read);
    EXPECT_EQ(read.leading, RecordValue::ofNumber(3));
    EXPECT_EQ(read.integers, file.integers);
    EXPECT_EQ(read.variants, file.variants);
    EXPECT_TRUE(read.variantMarker);

    // A marker without variant names survives; without the flag it is not written.
    file.variants.clear();
    file.variantMarker = true;
    writeVariablesFile(path, file);
    readVariablesFile(path, read);
    EXPECT_EQ(read, file);
    file.variantMarker = false;
    writeVariablesFile(path, file);
    EXPECT_FALSE(readAll(path).contains("***"));

    // Later markers are no names; a file that breaks keeps the names before the break.
    writeBytes(path, "\"\",\"A\",\"***\",\"V\",\"***\",\"W\",#NULL#,\"X\"");
    EXPECT_THROW(readVariablesFile(path, read), VbError);
    EXPECT_EQ(read.integers, QStringList{"A"});
    EXPECT_EQ(read.variants, (QStringList{"V", "W"}));
}

TEST(ProceduresFile, PlainFilesKeepHeaderLinesAndEveryCodeLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Procedures");
    ProceduresFile file;
    file.header = {"Torvane", "", "3"};
    file.text = "Sub Greet()\r\n    MsgBox \"Hi ~\"\r\nEnd Sub\r\n";
    writeProceduresFile(path, file);
    EXPECT_EQ(readAll(path),
              "Torvane\r\n\r\n3\r\nSub Greet()\r\n    MsgBox \"Hi ~\"\r\nEnd Sub\r\n\r\n");
    ProceduresFile read;
    readProceduresFile(path, read);
    EXPECT_EQ(read, file);

    // Any line break ends a line; the text comes back joined with CR LF.
    file.text = "a\nb\rc";
    writeProceduresFile(path, file);
    readProceduresFile(path, read);
    EXPECT_EQ(read.text, "a\r\nb\r\nc");

    // An empty text is one empty line, so the file still has its fourth line.
    file.text = "";
    writeProceduresFile(path, file);
    readProceduresFile(path, read);
    EXPECT_EQ(read.text, "");
}

TEST(ProceduresFile, AFileWithoutACodeLineFailsWithTheHeaderKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Procedures");
    writeBytes(path, "one\r\ntwo\r\nthree\r\n");
    ProceduresFile read;
    try {
        readProceduresFile(path, read);
        FAIL() << "three lines hold no code";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 62);
    }
    EXPECT_EQ(read.header, (QStringList{"one", "two", "three"}));
    writeBytes(path, "");
    EXPECT_THROW(readProceduresFile(path, read), VbError);
}

TEST(ProceduresFile, ScrambledLinesDecodeWithTheProjectOffset) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Procedures");
    const int P = proceduresOffset("Castle");
    ProceduresFile file;
    file.text = "Sub A()\r\n\tx = \"caf\u00e9\"\r\n\r\nEnd Sub";
    writeProceduresFile(path, file, P);
    const QByteArray bytes = readAll(path);
    EXPECT_FALSE(bytes.contains("Sub")) << "code lines are stored scrambled";
    // Each stored line is its own scrambled text.
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(DecodeTextA(QString::fromLatin1(lines[3].chopped(1)), P), "Sub A()");

    ProceduresFile read;
    readProceduresFile(path, read, P);
    EXPECT_EQ(read.text, file.text);
    readProceduresFile(path, read, proceduresOffset("Castel"));
    EXPECT_NE(read.text, file.text) << "another project's offset does not decode it";

    // "~" has no scrambled form.
    file.text = "x = \"~\"";
    EXPECT_FALSE(scramblable(file.text));
    EXPECT_THROW(writeProceduresFile(path, file, P), VbError);
}

TEST(ProceduresFile, TheMoreFileSwitchesScramblingOnlyForTheNumberOne) {
    QTemporaryDir dir;
    const QString more = dir.filePath("More");
    EXPECT_FALSE(proceduresScrambled(more)) << "no More file";
    for (const auto& [value, scrambled] : {std::pair{"1", true},
                                           {" 1 ", true},
                                           {"1.0", true},
                                           {"0", false},
                                           {"2", false},
                                           {"yes", false},
                                           {"", false}}) {
        ASSERT_TRUE(iniWrite(more, "General", "ProcEncr", value));
        EXPECT_EQ(proceduresScrambled(more), scrambled) << value;
    }
}
