#include "platform/core/cp1252.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(Cp1252, DecodesTheWindowsRangeAndLatin1) {
    EXPECT_EQ(fromCp1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(fromCp1252("\x8C\x92\x9F"), QString::fromUtf16(u"\u0152\u2019\u0178"));
    EXPECT_EQ(fromCp1252("caf\xE9 \xFF"), QString::fromUtf16(u"caf\u00E9 \u00FF"));
    EXPECT_EQ(fromCp1252("\x81\x8D\x8F\x90\x9D"),
              QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}

TEST(Cp1252, CharactersOutsideThePageBecomeOneQuestionMarkEach) {
    EXPECT_EQ(toCp1252(u"\u20AC\u00E9"), QByteArray("\x80\xE9"));
    // U+0080 is not one of the five undefined bytes: the euro sign owns 0x80.
    EXPECT_EQ(toCp1252(u"a\u0080b\u0101c"), QByteArray("a?b?c"));
    EXPECT_EQ(toCp1252(u"x\U0001F600y"), QByteArray("x?y"));
    EXPECT_TRUE(inCp1252(0x2122));
    EXPECT_FALSE(inCp1252(0x0101));
}
