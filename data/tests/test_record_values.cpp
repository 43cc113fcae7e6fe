#include "data/record_helpers.h"
#include "data/record_values.h"
#include "platform/core/errors.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {
RecordValue text(const char* t) {
    return RecordValue::ofString(QString::fromUtf8(t));
}

template <typename F> int errorOf(F f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(RecordValues, ToNumberConvertsAsCDbl) {
    EXPECT_EQ(toNumber(RecordValue::empty()), 0);
    EXPECT_EQ(toNumber(RecordValue::ofBool(true)), -1);
    EXPECT_EQ(toNumber(RecordValue::ofBool(false)), 0);
    EXPECT_EQ(toNumber(RecordValue::ofNumber(-7.25)), -7.25);
    EXPECT_EQ(toNumber(text("  2.5 ")), 2.5);
    EXPECT_EQ(toNumber(text("&H10")), 16);
    EXPECT_EQ(toNumber(text("1D2")), 100);
    EXPECT_EQ(toNumber(text("-.5")), -0.5);
    // 1900-01-01 noon is two and a half days after the zero date.
    EXPECT_EQ(toNumber(RecordValue::ofDate(QDateTime(QDate(1900, 1, 1), QTime(12, 0)))), 2.5);

    for (const char* bad : {"", "   ", "abc", "1,5", "1 2", "\"3\"", "#TRUE#", "True"})
        EXPECT_EQ(errorOf([&] { toNumber(text(bad)); }), err::TypeMismatch) << bad;
    EXPECT_EQ(errorOf([] { toNumber(RecordValue::ofError(5)); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toNumber(RecordValue::null()); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { toNumber(text("1E400")); }), err::Overflow);
}

TEST(RecordValues, ToBoolConvertsAsCBool) {
    EXPECT_TRUE(toBool(text("TRUE")));
    EXPECT_TRUE(toBool(text(" true ")));
    EXPECT_FALSE(toBool(text("False")));
    EXPECT_FALSE(toBool(text("0")));
    EXPECT_TRUE(toBool(text("0.1")));
    EXPECT_TRUE(toBool(RecordValue::ofNumber(-1)));
    EXPECT_FALSE(toBool(RecordValue::empty()));
    EXPECT_EQ(errorOf([] { toBool(text("yes")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toBool(text("")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toBool(RecordValue::null()); }), err::InvalidUseOfNull);
}

TEST(RecordValues, IntegersRoundHalfToEvenAndOverflow) {
    EXPECT_EQ(toInt16(RecordValue::ofNumber(2.5)), 2);
    EXPECT_EQ(toInt16(RecordValue::ofNumber(3.5)), 4);
    EXPECT_EQ(toInt16(text("-2.5")), -2);
    EXPECT_EQ(toInt16(RecordValue::ofBool(true)), -1);
    EXPECT_EQ(toInt16(RecordValue::ofNumber(-32768.5)), -32768);
    EXPECT_EQ(errorOf([] { toInt16(RecordValue::ofNumber(32767.5)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toInt16(text("40000")); }), err::Overflow);
    EXPECT_EQ(toInt32(text("40000")), 40000);
    EXPECT_EQ(errorOf([] { toInt32(RecordValue::ofNumber(2147483647.5)); }), err::Overflow);
    EXPECT_EQ(toText(RecordValue::ofNumber(0.5)), "0.5");
    EXPECT_EQ(toText(RecordValue::null()), "");
}

TEST(RecordHelpers, RecordEndIsTestedWithoutConsumingTheValue) {
    RecordWriter w;
    w.integer(1).null();
    writeSeparator(w);
    w.string("next");
    RecordReader in(w.bytes());

    EXPECT_FALSE(AtRecordEnd(in));
    EXPECT_EQ(in.readInt16(), 1);
    EXPECT_FALSE(AtRecordEnd(in)) << "#NULL# is no separator, and testing it is no error";
    in.skip();
    const qint64 before = in.position();
    EXPECT_TRUE(AtRecordEnd(in));
    EXPECT_TRUE(AtRecordEnd(in));
    EXPECT_EQ(in.position(), before);
    EXPECT_EQ(in.readString(), kSeparator);
    EXPECT_EQ(in.readString(), "next");
    EXPECT_TRUE(AtRecordEnd(in)) << "the end of the file ends a record";
}

TEST(RecordHelpers, SkipToRecordEndConsumesTheSeparatorAndStopsQuietlyAtTheEnd) {
    RecordWriter w;
    w.integer(1).number(1e300).null().string("x");
    writeSeparator(w);
    w.integer(2).string("tail without separator");
    RecordReader in(w.bytes());
    skipToRecordEnd(in);
    EXPECT_EQ(in.readInt16(), 2);
    EXPECT_NO_THROW(skipToRecordEnd(in));
    EXPECT_TRUE(in.atEnd());
}
