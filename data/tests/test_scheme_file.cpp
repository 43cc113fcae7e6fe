#include "data/scheme_file.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;
using Outcome = SchemeReading::Outcome;

namespace {

class SchemeFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folders.setRoot(dir.path() + "/");
        ASSERT_TRUE(QDir().mkpath(folders.SchemesFolder + "Blue"));
    }
    // Writes Schemes/Blue/Scheme.txt and reads it as the welcome window does.
    SchemeReading welcome(const QByteArray& bytes) {
        writeAll(folders.SchemesFolder + "Blue/Scheme.txt", bytes);
        return readSchemeForWelcome(folders, "blue");
    }

    QTemporaryDir dir;
    ProjectFolders folders;
};

// A scheme as an editor writes it: four pictures, four colours, the title hidden, logo 1 on.
const QByteArray kFull = "0,0,0\r\n4\r\n\"start.png\"\r\n\"[NONE]\"\r\n\"exit.png\"\r\n"
                         "\"tile.bmp\"\r\n4\r\n255,65280,16711680,8421504\r\n0,0,0,1\r\n"
                         "0,1,#TRUE#\r\n";

} // namespace

TEST_F(SchemeFiles, AFullSchemeGivesItsPicturesColoursTitleFlagAndLogo) {
    const SchemeReading r = welcome(kFull);
    ASSERT_EQ(r.outcome, Outcome::Shown);
    const SchemeFile& s = r.scheme;
    EXPECT_EQ(s.Pictures, (QStringList{"start.png", "[NONE]", "exit.png", "tile.bmp"}));
    EXPECT_TRUE(s.hasButtonColour());
    EXPECT_EQ(s.WindowColour, 0xFF) << "red in the lowest byte";
    EXPECT_EQ(s.TitleColour, 0xFF00);
    EXPECT_EQ(s.TextColour, 0xFF0000);
    EXPECT_EQ(s.ButtonColour, 0x808080);
    EXPECT_TRUE(s.hasTail);
    EXPECT_TRUE(s.hidesTitle());
    EXPECT_TRUE(s.hasLogo);
    EXPECT_EQ(s.LogoStyle, 1);
    EXPECT_TRUE(s.LogoFlag);
    EXPECT_EQ(r.reached, SchemeField::LogoFlag);
    EXPECT_TRUE(r.passed(SchemeField::ButtonColour));

    // No picture in any letter case, and only those two words.
    for (const char* none : {"[none]", "[NONE]", "[None]", "[DEFAULT]", "[default]"})
        EXPECT_TRUE(isNoPicture(none)) << none;
    for (const char* some : {"none", "[none] ", "default.png", "", "[none"})
        EXPECT_FALSE(isNoPicture(some)) << some;
}

TEST_F(SchemeFiles, TheFileIsFoundWithoutCaseAndAMissingOneIsThePlainLayout) {
    EXPECT_EQ(schemeFilePath(folders, "Blue"), "");
    EXPECT_EQ(readSchemeForWelcome(folders, "Blue").outcome, Outcome::Missing);
    EXPECT_EQ(readSchemeForWelcome(folders, "Nowhere").outcome, Outcome::Missing);
    writeAll(folders.SchemesFolder + "Blue/SCHEME.TXT", kFull);
    EXPECT_EQ(schemeFilePath(folders, "bLUE"), folders.SchemesFolder + "Blue/SCHEME.TXT");
    EXPECT_EQ(schemeFolderPath(folders, "BLUE"), folders.SchemesFolder + "Blue/");
    EXPECT_EQ(readSchemeForWelcome(folders, "blue").outcome, Outcome::Shown);
}

TEST_F(SchemeFiles, ACountOfZeroRefusesTheSchemeAndNothingAfterItIsRead) {
    const SchemeReading r = welcome("\"a\",2,#NULL#\r\n0\r\n\"start.png\"\r\n4\r\n1,2,3,4\r\n");
    EXPECT_EQ(r.outcome, Outcome::Refused);
    EXPECT_TRUE(r.scheme.refused());
    EXPECT_TRUE(r.scheme.Pictures.isEmpty());
    EXPECT_FALSE(r.scheme.hasColours());
    EXPECT_EQ(r.reached, SchemeField::PictureCount);
    EXPECT_EQ(r.scheme.Leading[2], RecordValue::null()) << "skipped values are kept";

    // A negative count is no refusal: no pictures, then the colour format.
    const SchemeReading negative = welcome("0,0,0,-1,3,1,2,3");
    EXPECT_EQ(negative.outcome, Outcome::Shown);
    EXPECT_TRUE(negative.scheme.Pictures.isEmpty());
    EXPECT_EQ(negative.scheme.TextColour, 3);
}

TEST_F(SchemeFiles, TheColourFormatSaysWhichColoursFollowAndTheFileMayEndAfterThem) {
    // F = 0: no colours; the file ends there, so no tail either.
    const SchemeReading none = welcome("0,0,0\r\n1\r\n\"a.png\"\r\n0\r\n");
    ASSERT_EQ(none.outcome, Outcome::Shown);
    EXPECT_FALSE(none.scheme.hasColours());
    EXPECT_FALSE(none.scheme.hasTail);
    EXPECT_FALSE(none.scheme.hidesTitle());
    EXPECT_FALSE(none.scheme.hasLogo);

    // F = 0 with a tail: the next values are the tail's, not colours.
    const SchemeReading noColoursTail = welcome("0,0,0,1,\"a.png\",0,7,8,9,-1");
    ASSERT_EQ(noColoursTail.outcome, Outcome::Shown);
    EXPECT_TRUE(noColoursTail.scheme.hasTail);
    EXPECT_EQ(noColoursTail.scheme.TailSkipped[0], RecordValue::ofNumber(7));
    EXPECT_TRUE(noColoursTail.scheme.hidesTitle()) << "-1 is non-zero";
    EXPECT_FALSE(noColoursTail.scheme.hasLogo);

    // F = 3: three colours and no button colour; the fourth value starts the tail.
    const SchemeReading three = welcome("0,0,0,1,\"a.png\",3,1,2,3,4,5,6,0,\"x\",0,#FALSE#");
    ASSERT_EQ(three.outcome, Outcome::Shown);
    EXPECT_TRUE(three.scheme.hasColours());
    EXPECT_FALSE(three.scheme.hasButtonColour());
    EXPECT_EQ(three.scheme.ButtonColour, 0);
    EXPECT_EQ(three.scheme.TailSkipped[0], RecordValue::ofNumber(4));
    EXPECT_FALSE(three.scheme.hidesTitle());
    EXPECT_TRUE(three.scheme.hasLogo);
    EXPECT_EQ(three.scheme.LogoSkipped, RecordValue::ofString("x"));
    EXPECT_FALSE(three.scheme.LogoFlag);

    // F = 9 reads the button colour too.
    const SchemeReading nine = welcome("0,0,0,1,\"a.png\",9,1,2,3,4\r\n");
    EXPECT_TRUE(nine.scheme.hasButtonColour());
    EXPECT_EQ(nine.scheme.ButtonColour, 4);
    EXPECT_FALSE(nine.scheme.hasTail);
}

TEST_F(SchemeFiles, AReadErrorKeepsWhatCameBeforeIt) {
    // A name that cannot be read is no picture, and reading goes on.
    const SchemeReading nullName = welcome("0,0,0,2,#NULL#,\"b.png\",0");
    EXPECT_EQ(nullName.outcome, Outcome::Shown);
    EXPECT_EQ(nullName.scheme.Pictures, (QStringList{"[default]", "b.png"}));

    // Names missing at the end are no pictures; then the colour format fails.
    const SchemeReading cutNames = welcome("0,0,0,3,\"a.png\"");
    EXPECT_EQ(cutNames.outcome, Outcome::Broken);
    EXPECT_EQ(cutNames.error, err::InputPastEndOfFile);
    EXPECT_EQ(cutNames.scheme.Pictures, (QStringList{"a.png", "[default]", "[default]"}));
    EXPECT_EQ(cutNames.reached, SchemeField::Pictures);
    EXPECT_FALSE(cutNames.passed(SchemeField::ColourFormat));

    // The window colour applies, the title colour is text: nothing after it.
    const SchemeReading badColour = welcome("0,0,0,1,\"a.png\",4,255,\"red\",3,4,0,0,0,1");
    EXPECT_EQ(badColour.outcome, Outcome::Broken);
    EXPECT_EQ(badColour.error, err::TypeMismatch);
    EXPECT_EQ(badColour.scheme.WindowColour, 255);
    EXPECT_EQ(badColour.reached, SchemeField::WindowColour);
    EXPECT_TRUE(badColour.passed(SchemeField::WindowColour));
    EXPECT_FALSE(badColour.passed(SchemeField::TitleColour));
    EXPECT_FALSE(badColour.scheme.hidesTitle());

    // A tail cut short, a flag that is no flag, a logo style out of range.
    struct Case {
        const char* bytes;
        int error;
        SchemeField reached;
    };
    for (const Case& c :
         {Case{"0,0,0,1,\"a\",0,1,2", err::InputPastEndOfFile, SchemeField::ColourFormat},
          Case{"0,0,0,1,\"a\",0,1,2,3,\"yes\"", err::TypeMismatch, SchemeField::TailSkipped},
          Case{"0,0,0,1,\"a\",0,1,2,3,#NULL#", err::InvalidUseOfNull, SchemeField::TailSkipped},
          Case{"0,0,0,1,\"a\",0,1,2,3,1,0,70000,#TRUE#", err::Overflow, SchemeField::LogoSkipped},
          Case{"0,0,0,1,\"a\",0,1,2,3,1,0,1", err::InputPastEndOfFile, SchemeField::LogoStyle},
          Case{"0,0,0,\"four\"", err::TypeMismatch, SchemeField::Leading},
          Case{"0,0", err::InputPastEndOfFile, SchemeField::Nothing}}) {
        const SchemeReading r = welcome(c.bytes);
        EXPECT_EQ(r.outcome, Outcome::Broken) << c.bytes;
        EXPECT_EQ(r.error, c.error) << c.bytes;
        EXPECT_EQ(r.reached, c.reached) << c.bytes;
    }
    const SchemeReading hidden = welcome("0,0,0,1,\"a\",0,1,2,3,1,0,1");
    EXPECT_TRUE(hidden.scheme.hidesTitle()) << "the flag read before the failure stays";

    // The whole-file reader fails where the window stops.
    const QString path = folders.SchemesFolder + "Blue/Scheme.txt";
    writeAll(path, "0,0,0,1,\"a.png\",4,255,\"red\"");
    EXPECT_THROW((void)readSchemeFile(path), VbError);
}

TEST_F(SchemeFiles, WrittenSchemesReadBackAsTheSameValuesAndBytes) {
    const QString path = folders.SchemesFolder + "Blue/Scheme.txt";
    writeAll(path, kFull);
    const SchemeFile full = readSchemeFile(path);
    RecordWriter out;
    full.write(out);
    EXPECT_EQ(out.bytes(), kFull) << "the layout the builder writes";

    // Every optional part left out in turn, and kept values of every kind.
    SchemeFile s;
    s.Leading = {RecordValue::ofString("Blue"), RecordValue::ofBool(true), RecordValue::empty()};
    s.PictureCount = 2;
    s.Pictures = {"a b.png", "[none]"};
    for (int format : {0, 3, 4}) {
        s.ColourFormat = qint16(format);
        // Colours the format leaves out are not stored, so they read back as 0.
        s.WindowColour = format ? -1 : 0;
        s.TitleColour = format ? 0x123456 : 0;
        s.TextColour = format ? 7 : 0;
        s.ButtonColour = format >= 4 ? 9 : 0;
        for (int parts = 0; parts < 3; ++parts) {
            s.hasTail = parts >= 1;
            s.TailSkipped = {RecordValue::null(), RecordValue::ofNumber(2.5),
                             RecordValue::ofString("t")};
            s.HideTitle = RecordValue::ofBool(true);
            s.hasLogo = parts >= 2;
            s.LogoSkipped = RecordValue::ofString("l");
            s.LogoStyle = 1;
            s.LogoFlag = true;
            if (!s.hasTail) {
                s.TailSkipped = SchemeFile().TailSkipped;
                s.HideTitle = SchemeFile().HideTitle;
            }
            if (!s.hasLogo) {
                s.LogoSkipped = SchemeFile().LogoSkipped;
                s.LogoStyle = 0;
                s.LogoFlag = false;
            }
            writeSchemeFile(path, s);
            EXPECT_EQ(readSchemeFile(path), s) << format << " " << parts;
            const QByteArray bytes = readAll(path);
            writeSchemeFile(path, readSchemeFile(path));
            EXPECT_EQ(readAll(path), bytes);
        }
    }

    // A refused scheme stores nothing after its count; a short picture list is filled in.
    SchemeFile refused;
    refused.ColourFormat = 4;
    refused.hasTail = true;
    writeSchemeFile(path, refused);
    EXPECT_EQ(readAll(path), "0,0,0\r\n0\r\n");
    SchemeFile shortList;
    shortList.PictureCount = 2;
    shortList.Pictures = {"a.png"};
    writeSchemeFile(path, shortList);
    EXPECT_EQ(readAll(path), "0,0,0\r\n2\r\n\"a.png\"\r\n\"[default]\"\r\n0\r\n");
}
