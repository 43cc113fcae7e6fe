#include "data/cipher.h"
#include "data/file_locator.h"
#include "platform/core/errors.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

using namespace tv;

namespace {

// Every printable character, some Windows-1252 letters and symbols above 127, and controls.
QString allCharacters(int from, int to) {
    QString s;
    for (int c = from; c <= to; ++c)
        s += QChar(c);
    return s + QString::fromUtf8("é€Ÿ‚ÿ") + QChar(0x81) + "\t\r\n";
}

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Cipher, DecodesKnownTexts) {
    // A: seed '!' gives s = 1. Step 0 takes 'B' (66) with e = 0 + 1 * K[0] (q: 81):
    // (66 - 81 - 32) mod 94 = -47 + 94 -> 79 'O'. Step 1 takes 'A' (65) with e = 2 * K[1]
    // (m: 77) = 154: (65 - 154 - 32) mod 94 = -27 + 94 -> 99 'c'.
    EXPECT_EQ(DecodeTextA("!AB", 0), "Oc");
    // B: seed '#' gives s = 0. 'B' with e = 0 stays; 'A' with e = 77: -45 + 93 + 33 -> 'Q'.
    EXPECT_EQ(DecodeTextB("#AB", 0), "BQ");
    // Characters outside the alphabet are kept; code 0 is dropped by variant A.
    EXPECT_EQ(DecodeTextA(QString("!") + QChar(0) + QString::fromUtf8("é"), 5), "é");
    EXPECT_EQ(DecodeTextB(QString("!") + QChar(0) + QString::fromUtf8("é"), 5),
              QString::fromUtf8("é") + QChar(0));
}

TEST(Cipher, EmptyAndOneCharacterTextsDecodeToNothing) {
    EXPECT_EQ(DecodeTextA("", 100), "");
    EXPECT_EQ(DecodeTextB("", 100), "");
    EXPECT_EQ(DecodeTextA("x", 100), "");
    EXPECT_EQ(DecodeTextB("x", 200), "");
}

TEST(Cipher, VariantBExchangesSpaceAndDoubleQuote) {
    // A stored double quote reads as a space outside the alphabet: it comes back unchanged.
    EXPECT_EQ(DecodeTextB("$\"", 0), "\"");
    // A stored space is shifted as a double quote would be: s = 1, e = 81:
    // (34 - 81 - 33) mod 93 = -80 + 93 -> 46 '.'.
    EXPECT_EQ(DecodeTextB("$ ", 0), ".");
    const QString code = "MsgBox \"a b\" & Chr(34)";
    EXPECT_EQ(DecodeTextB(EncodeTextB(code, 100, 'k'), 100), code);
}

TEST(Cipher, EncodedTextsDecodeBackForManyOffsetsAndSeeds) {
    const QString textA = allCharacters(32, 125);
    const QString textB = allCharacters(32, 126);
    for (int P : {0, 1, 7, 100, 200, 251, 99991, -3}) {
        for (QChar seed : {QChar('!'), QChar('A'), QChar('~'), QChar(' '), QChar(0xE9)}) {
            const QString a = EncodeTextA(textA, P, seed);
            EXPECT_EQ(a.size(), textA.size() + 1);
            EXPECT_EQ(a[0], seed);
            EXPECT_EQ(DecodeTextA(a, P), textA) << P << " " << int(seed.unicode());
            EXPECT_EQ(DecodeTextB(EncodeTextB(textB, P, seed), P), textB)
                << P << " " << int(seed.unicode());
        }
    }
    // The stored characters are the plain ones in reverse order, so the same text under another
    // offset reads differently.
    EXPECT_NE(DecodeTextA(EncodeTextA("Sub Main()", 100, 'q'), 101), "Sub Main()");
    // Variant A's alphabet has no room for "~": it comes back as a space.
    EXPECT_EQ(DecodeTextA(EncodeTextA("a~b", 100, 'q'), 100), "a b");
}

TEST(Cipher, OverflowIsAnError) {
    constexpr int big = std::numeric_limits<int>::max();
    EXPECT_EQ(errorOf([] { DecodeTextA("!AB", big); }), err::Overflow);
    EXPECT_EQ(errorOf([] { DecodeTextB("$AB", big); }), err::Overflow);
    EXPECT_EQ(errorOf([] { EncodeTextA("ab", big, '!'); }), err::Overflow);
    // Characters outside the alphabet need no arithmetic.
    EXPECT_EQ(DecodeTextA(QString("!") + QChar(0xE9), big), QString(QChar(0xE9)));
}

TEST(Cipher, ProceduresOffsetFollowsTheProjectName) {
    EXPECT_EQ(proceduresOffset(""), 1);
    EXPECT_EQ(proceduresOffset("AB"), 1 + (1 * 65 + 2 * 66) % 251);
    EXPECT_NE(proceduresOffset("Castle"), proceduresOffset("Castel"));
    EXPECT_NE(proceduresOffset("Castle"), proceduresOffset("castle"));
    // Windows-1252 codes: the euro sign counts as 128.
    EXPECT_EQ(proceduresOffset(QString::fromUtf8("€")), 129);
    const QString longName(5000, QChar(0xFF));
    EXPECT_GE(proceduresOffset(longName), 1);
    EXPECT_LE(proceduresOffset(longName), 251);
}

TEST(FileNameDisguise, PlainNamesUseTheExtensionTable) {
    const std::pair<const char*, const char*> table[] = {
        {".ico", "002"}, {".cur", "003"}, {".bmp", "004"}, {".jpg", "005"}, {".gif", "006"},
        {".wmf", "007"}, {".emf", "008"}, {".wav", "010"}, {".mid", "011"}, {".mp3", "012"},
        {".avi", "014"}, {".wma", "016"}, {".mpg", "020"}, {".mpe", "024"}, {".m1v", "026"},
        {".wmv", "028"}, {".ogg", "031"}, {".snd", "034"}, {".rmi", "036"}, {".mpa", "038"},
        {".mp2", "040"}, {".asf", "044"}};
    for (const auto& [ext, code] : table) {
        EXPECT_EQ(DisguisedFileName(QString("Areas\\door") + ext, true),
                  QString("Areas\\door.") + code);
        EXPECT_EQ(DisguisedFileName(QString("Areas\\DOOR") + QString(ext).toUpper(), true),
                  QString("Areas\\DOOR.") + code);
    }
    for (const char* unknown : {"Areas\\door.png", "Areas\\door.jpeg", "Areas\\door.txt", "door"})
        EXPECT_EQ(DisguisedFileName(unknown, true), unknown);
}

TEST(FileNameDisguise, MixedNamesUseTheFirstThreeLettersWithoutCase) {
    EXPECT_EQ(DisguisedFileName("Frames\\HALL.bmp", false), "Frames\\HALL.223");
    EXPECT_EQ(DisguisedFileName("Frames\\hAlL.bmp", false), "Frames\\hAlL.223");
    // Exactly 5 characters are enough, 4 are not.
    EXPECT_EQ(DisguisedFileName("Areas\\a.jpg", false), "Areas\\a.462")
        << "|97*3 - 46 + 106*2| + 5";
    EXPECT_EQ(DisguisedFileName("Areas\\.jpg", false), "Areas\\.jpg");
    // The absolute value, and at least three digits: |32*2 - 122 + 33| + 10 = 35.
    EXPECT_EQ(DisguisedFileName("Areas\\ z!.wav", false), "Areas\\ z!.035");
    // Windows-1252 codes: the euro sign is 128, |128*3 - 97 + 98*2| + 5 = 488.
    EXPECT_EQ(DisguisedFileName(QString::fromUtf8("€ab.jpg"), false), QString::fromUtf8("€ab.488"));
    // Letters above 127 lose their case too: Š (138) and š (154) both count as 154.
    EXPECT_EQ(DisguisedFileName(QString::fromUtf8("Šxy.bmp"), false), QString::fromUtf8("Šxy.313"));
    EXPECT_EQ(DisguisedFileName(QString::fromUtf8("šxy.bmp"), false), QString::fromUtf8("šxy.313"));
}
