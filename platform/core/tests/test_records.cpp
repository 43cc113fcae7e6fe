#include "platform/core/records.h"

#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <ctime>
#include <sys/resource.h>

using namespace tv;
using Kind = RecordValue::Kind;

namespace {

template <typename F> int errorOf(F&& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

TEST(RecordReader, ReadsEveryKindIntoAVariant) {
    RecordReader in("\"text\",42,-1.5,.5,1E+20,&H1F,#TRUE#,#FALSE#,#NULL#,#ERROR 32767#,"
                    "#1999-12-31 23:59:59#,#1999-12-31#,#23:59:59#,,bare words,12abc\r\n");
    EXPECT_EQ(in.readVariant(), RecordValue::ofString("text"));
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(42));
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(-1.5));
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(0.5));
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(1e20));
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(31));
    EXPECT_EQ(in.readVariant(), RecordValue::ofBool(true));
    EXPECT_EQ(in.readVariant(), RecordValue::ofBool(false));
    EXPECT_EQ(in.readVariant(), RecordValue::null());
    EXPECT_EQ(in.readVariant(), RecordValue::ofError(32767));
    EXPECT_EQ(in.readVariant(), RecordValue::ofDate(dt(1999, 12, 31, 23, 59, 59)));
    EXPECT_EQ(in.readVariant(), RecordValue::ofDate(dt(1999, 12, 31)));
    EXPECT_EQ(in.readVariant(), RecordValue::ofDate(dt(1899, 12, 30, 23, 59, 59)));
    EXPECT_EQ(in.readVariant(), RecordValue::empty());
    EXPECT_EQ(in.readVariant(), RecordValue::ofString("bare words"));
    EXPECT_EQ(in.readVariant(), RecordValue::ofString("12abc"));
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, SeparatorsAndBlankLines) {
    RecordReader in("1,2\r\n3\r4\n5\r\n\r\n  ,\t6  \r\n");
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(in.readInt16(), i);
    EXPECT_EQ(in.readVariant().kind, Kind::Empty); // the blank line
    EXPECT_EQ(in.readVariant().kind, Kind::Empty); // blanks before a comma
    EXPECT_EQ(in.readVariant(), RecordValue::ofNumber(6));
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, QuotedStrings) {
    RecordReader in("\"a, b\",  \"c\"  ,\"d\" ignored,\"\",\"e\r\nf\",\"open");
    EXPECT_EQ(in.readString(), "a, b");
    EXPECT_EQ(in.readString(), "c");
    EXPECT_EQ(in.readString(), "d");
    EXPECT_EQ(in.readVariant(), RecordValue::ofString("")); // quoted empty is a String
    EXPECT_EQ(in.readString(), "e\r\nf");
    EXPECT_EQ(in.readString(), "open"); // an unclosed quote runs to the end
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordReader, EndOfFile) {
    for (const char* text : {"a,b\r\n", "a,b", "a,b\n", "a,b\r"}) {
        RecordReader in(text);
        EXPECT_EQ(in.readString(), "a") << text;
        EXPECT_FALSE(in.atEnd());
        EXPECT_EQ(in.readString(), "b");
        EXPECT_TRUE(in.atEnd()) << text;
        try {
            in.readVariant();
            ADD_FAILURE() << "no error past the end";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 62);
            EXPECT_EQ(errorText(e), "Input past end of file");
        }
    }
    RecordReader trailing("\"a\",\r\n");
    EXPECT_EQ(trailing.readString(), "a");
    EXPECT_EQ(trailing.readVariant().kind, Kind::Empty);
    EXPECT_TRUE(trailing.atEnd());
    EXPECT_TRUE(RecordReader(QByteArray()).atEnd());
    EXPECT_EQ(errorOf([] { RecordReader(QByteArray()).skip(); }), 62);
}

TEST(RecordReader, PeekingDoesNotConsume) {
    RecordReader in("\"one\",2");
    EXPECT_EQ(in.peekString(), "one");
    EXPECT_EQ(in.peekVariant(), RecordValue::ofString("one"));
    EXPECT_EQ(in.position(), 0);
    in.skip();
    EXPECT_EQ(in.peekVariant(), RecordValue::ofNumber(2));
    EXPECT_EQ(in.readInt32(), 2);
    EXPECT_EQ(errorOf([&] { in.peekString(); }), 62);

    RecordReader nulls("#NULL#,x");
    EXPECT_EQ(errorOf([&] { nulls.peekString(); }), 94);
    EXPECT_EQ(nulls.position(), 0); // restored after a failed peek too
    nulls.skip();
    const qint64 second = nulls.position();
    nulls.seek(0);
    EXPECT_EQ(nulls.peekVariant(), RecordValue::null());
    nulls.seek(second);
    EXPECT_EQ(nulls.readString(), "x");
}

TEST(RecordReader, StringsKeepBareTextAndConvertLiterals) {
    RecordReader in("007, 1.50 ,#TRUE#,#FALSE#,#1999-12-31#,#ERROR 5#,#odd#,,#NULL#");
    EXPECT_EQ(in.readString(), "007");
    EXPECT_EQ(in.readString(), "1.50");
    EXPECT_EQ(in.readString(), "True");
    EXPECT_EQ(in.readString(), "False");
    EXPECT_EQ(in.readString(), "1999-12-31");
    EXPECT_EQ(in.readString(), "Error 5");
    EXPECT_EQ(in.readString(), "#odd#");
    EXPECT_EQ(in.readString(), "");
    EXPECT_EQ(errorOf([&] { in.readString(); }), 94);
}

TEST(RecordReader, TypedNumbers) {
    RecordReader in("2.5,3.5,-2.5,#TRUE#,,\" 12 \",1D3,&HFFFF,&HFFFF&,-0.5E1");
    EXPECT_EQ(in.readInt16(), 2); // half to even
    EXPECT_EQ(in.readInt16(), 4);
    EXPECT_EQ(in.readInt32(), -2);
    EXPECT_EQ(in.readInt16(), -1);
    EXPECT_EQ(in.readInt16(), 0);
    EXPECT_EQ(in.readInt16(), 12);
    EXPECT_EQ(in.readDouble(), 1000.0);
    EXPECT_EQ(in.readInt32(), -1);
    EXPECT_EQ(in.readInt32(), 65535);
    EXPECT_EQ(in.readDouble(), -5.0);

    auto error = [](const char* text, auto read) {
        RecordReader r(text);
        return errorOf([&] { read(r); });
    };
    auto i16 = [](RecordReader& r) { r.readInt16(); };
    auto i32 = [](RecordReader& r) { r.readInt32(); };
    auto dbl = [](RecordReader& r) { r.readDouble(); };
    EXPECT_EQ(error("32767.5", i16), 6);
    EXPECT_EQ(error("-32768.5", i16), 0); // rounds to even, inside the range
    EXPECT_EQ(error("40000", i16), 6);
    EXPECT_EQ(error("2147483648", i32), 6);
    EXPECT_EQ(error("1E+400", dbl), 6);
    EXPECT_EQ(error("&H100000000", i32), 6);
    for (const char* bad : {"abc", "1E", "\"x\"", "#ERROR 3#", "1 2", "--1", "inf", "&HG"})
        EXPECT_EQ(error(bad, dbl), 13) << bad;
    EXPECT_EQ(error("#NULL#", i16), 94);

    RecordReader date("#1900-01-01 12:00:00#");
    EXPECT_DOUBLE_EQ(date.readDouble(), 2.5); // the classic date serial
}

TEST(RecordReader, Booleans) {
    RecordReader in("#TRUE#,#FALSE#,0,-2,True,\"false\",,.5");
    const bool expected[] = {true, false, false, true, true, false, false, true};
    for (bool b : expected)
        EXPECT_EQ(in.readBool(), b);
    RecordReader bad("yes");
    EXPECT_EQ(errorOf([&] { bad.readBool(); }), 13);
}

TEST(RecordReader, WindowsCodePage) {
    RecordReader in("\"\x80 caf\xE9\",na\xEFve\r\n");
    EXPECT_EQ(in.readString(), QString::fromUtf16(u"\u20AC caf\u00E9"));
    EXPECT_EQ(in.readVariant(), RecordValue::ofString(QString::fromUtf16(u"na\u00EFve")));
}

TEST(RecordReader, LineInput) {
    RecordReader in("a, \"b\"\r\nc\n\r\nd");
    EXPECT_EQ(in.readLine(), "a, \"b\"");
    EXPECT_EQ(in.readLine(), "c");
    EXPECT_EQ(in.readLine(), "");
    EXPECT_EQ(in.readLine(), "d");
    EXPECT_TRUE(in.atEnd());
}

TEST(RecordWriter, NumbersAsTheClassicRuntimePrintsThem) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {-1, "-1"},
        {1.5, "1.5"},
        {100, "100"},
        {1e20, "1E+20"},
        {1.5e-5, "1.5E-05"},
        {0.0001, ".0001"},
        {1e14, "100000000000000"},
        {1e15, "1E+15"},
        {1.0 / 3, ".333333333333333"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {-2.5e-300, "-2.5E-300"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatRecordNumber(value), QByteArray(text)) << text;
    EXPECT_EQ(RecordValue::ofNumber(-0.25).toText(), "-0.25"); // a String variable gets the 0
    EXPECT_EQ(errorOf([] { RecordWriter().number(NAN); }), 6);
}

TEST(RecordWriter, ItemsAndLines) {
    RecordWriter out;
    out.string("caf\u00E9").number(2.5).integer(-7).boolean(true).boolean(false).null().endLine();
    out.empty().date(dt(1969, 2, 12)).date(dt(1899, 12, 30, 8, 5, 0)).empty().endLine();
    out.date(dt(2001, 2, 3, 4, 5, 6)).error(32767).endLine().endLine();
    EXPECT_EQ(out.bytes(), QByteArray("\"caf\xE9\",2.5,-7,#TRUE#,#FALSE#,#NULL#\r\n"
                                      ",#1969-02-12#,#08:05:00#,\r\n"
                                      "#2001-02-03 04:05:06#,#ERROR 32767#\r\n\r\n"));
}

TEST(RecordWriter, WhatItWritesReadsBackUnchanged) {
    const QList<RecordValue> line1 = {RecordValue::ofString("a, \u20AC \u00E9"),
                                      RecordValue::ofNumber(-1234.5678),
                                      RecordValue::ofNumber(1e-7),
                                      RecordValue::empty(),
                                      RecordValue::ofBool(true),
                                      RecordValue::ofBool(false),
                                      RecordValue::null(),
                                      RecordValue::ofString(""),
                                      RecordValue::ofDate(dt(1999, 12, 31, 23, 59, 59)),
                                      RecordValue::ofDate(dt(1999, 12, 31)),
                                      RecordValue::ofDate(dt(1899, 12, 30, 23, 59, 59)),
                                      RecordValue::ofError(7),
                                      RecordValue::empty()};
    const QList<RecordValue> line2 = {RecordValue::empty()};
    const QList<RecordValue> line3 = {RecordValue::ofNumber(0.5), RecordValue::ofString(" x ")};
    RecordWriter out;
    for (const auto& line : {line1, line2, line3}) {
        for (const RecordValue& v : line)
            out.value(v);
        out.endLine();
    }
    RecordReader in(out.bytes());
    for (const auto& line : {line1, line2, line3}) {
        for (const RecordValue& v : line)
            EXPECT_EQ(in.readVariant(), v) << v.toText().toStdString();
    }
    EXPECT_TRUE(in.atEnd());
}

// Inputs found by fuzz/fuzz_records.
TEST(RecordWriter, FuzzFindingsReadBackUnchanged) {
    // The zero date at midnight came out as "#1899-12-3000:00:00#", which reads back as text.
    RecordReader in("#00:00#\r\n");
    const RecordValue midnight = in.readVariant();
    EXPECT_EQ(midnight, RecordValue::ofDate(dt(1899, 12, 30)));
    EXPECT_EQ(midnight.toText(), "00:00:00");
    RecordWriter out;
    out.value(midnight).endLine();
    EXPECT_EQ(out.bytes(), QByteArray("#00:00:00#\r\n"));
    EXPECT_EQ(RecordReader(out.bytes()).readVariant(), midnight);
}

TEST(RecordReader, DatesInADaylightSavingGapKeepTheirTime) {
    // 02:30 on the day Berlin's clocks skip from 02:00 to 03:00 does not exist in local time;
    // it came out as the zero date.
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    RecordReader in("#2021-03-28 02:30:00#\r\n");
    const RecordValue v = in.readVariant();
    RecordWriter out;
    out.value(v);
    const QString text = v.toText();
    const QByteArray written = out.bytes();
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
    EXPECT_EQ(text, "2021-03-28 02:30:00");
    EXPECT_EQ(written, QByteArray("#2021-03-28 02:30:00#"));
}

TEST(RecordFiles, OpenAndSaveReportClassicErrors) {
    QTemporaryDir dir;
    const QString path = dir.filePath("save.sav");
    RecordWriter out;
    out.string("x").integer(3).endLine();
    out.saveTo(path);
    RecordReader in = RecordReader::open(path);
    EXPECT_EQ(in.readString(), "x");
    EXPECT_EQ(in.readInt16(), 3);
    EXPECT_TRUE(in.atEnd());

    EXPECT_EQ(errorOf([&] { RecordReader::open(dir.filePath("missing")); }), 53);
    EXPECT_EQ(errorOf([&] { RecordReader::open(dir.path()); }), 75);
    EXPECT_EQ(errorOf([&] { out.saveTo(dir.filePath("no/such/folder/f")); }), 76);
}

TEST(RecordFiles, ASaveThatDoesNotFitOnTheDiskLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("save.sav");
    RecordWriter small;
    small.string("old").endLine();
    small.saveTo(path);
    RecordWriter big;
    big.string(QString(8000, 'x')).endLine(); // within the write buffer
    // The disk is full as far as this process can tell: writes beyond 4 KiB fail.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = saved;
    full.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const int error = errorOf([&] { big.saveTo(path); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, 75);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "\"old\"\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"save.sav"});
}
