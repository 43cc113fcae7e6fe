#include "data/plugins_file.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

PluginDataFile readBytes(const QByteArray& bytes) {
    return test::readFrom<PluginDataFile>(
        bytes, [](RecordReader& in, PluginDataFile& v) { readPluginData(in, v); });
}

int errorOf(const QByteArray& bytes) {
    return test::errorOf([&] { readBytes(bytes); });
}

const QByteArray kHead = "2,0,0,0,0,0,0,0\r\n#FALSE#,#FALSE#\r\n\"T\",\"D\",\"x~y\",\"Pano\"\r\n"
                         "\"start\",\"frame\",\"Sub A()\r\nEnd Sub\"\r\n";

} // namespace

TEST(PluginsFile, ReadsEveryFieldOfEachVersion) {
    const QByteArray tail = "2,\"Angle\",\"Seen\"\r\n1,\"Where\"\r\n#TRUE#,#FALSE#\r\n"
                            "\"a\",\"b\",\"PanoFrame\",\"d\",\"PanoHotspot\"\r\n";
    const PluginDataFile v2 = readBytes(kHead + tail + "1,\"n~\",5,\"x\",#TRUE#\r\n2,1,\"z\"\r\n");
    EXPECT_EQ(v2.Version, 2);
    EXPECT_EQ(v2.Description, "x~y") << "kept as stored";
    EXPECT_EQ(v2.InternalName, "Pano");
    EXPECT_EQ(v2.ProceduresCode, "Sub A()\r\nEnd Sub");
    EXPECT_EQ(v2.IntegerVariables, QStringList({"Angle", "Seen"}));
    EXPECT_EQ(v2.VariantVariables, QStringList({"Where"}));
    EXPECT_TRUE(v2.Flag1);
    EXPECT_EQ(v2.Strings[2], "PanoFrame");
    EXPECT_EQ(v2.Strings[4], "PanoHotspot");
    ASSERT_EQ(v2.Parameters.size(), 1);
    EXPECT_EQ(v2.Parameters[0].Value, RecordValue::ofNumber(5));
    EXPECT_EQ(v2.Parameters[0].Fourth, RecordValue::ofBool(true));
    EXPECT_EQ(v2.Extra.size(), 2);
    EXPECT_EQ(v2.SecondFrameOpenCode, "") << "version 2 has no second frame-open code";

    // Version 1 entries are name and value only; version 3 ends with the second code.
    QByteArray v1Bytes = kHead + tail + "1,\"n\",5\r\n0\r\n";
    v1Bytes[0] = '1';
    const PluginDataFile v1 = readBytes(v1Bytes);
    EXPECT_EQ(v1.Parameters[0].Third, RecordValue::ofString(""));
    EXPECT_EQ(v1.Parameters[0].Fourth, RecordValue::ofString(""));
    QByteArray v3Bytes = kHead + tail + "0\r\n0\r\n\"second\"\r\n";
    v3Bytes[0] = '3';
    EXPECT_EQ(readBytes(v3Bytes).SecondFrameOpenCode, "second");

    // Written back, each version gives the same bytes.
    for (const PluginDataFile& p : {v1, v2, readBytes(v3Bytes)}) {
        RecordWriter out;
        p.write(out);
        EXPECT_EQ(readBytes(out.bytes()), p);
    }
}

TEST(PluginsFile, BrokenFilesFailWithTheReadersErrorAndCountsReserveNothing) {
    EXPECT_EQ(errorOf(""), err::InputPastEndOfFile);
    EXPECT_EQ(errorOf("\"three\",0"), err::TypeMismatch) << "the version is a number";
    EXPECT_EQ(errorOf("99999,0"), err::Overflow);
    EXPECT_EQ(errorOf("3,0,0,0,0,0,0,0,\"maybe\""), err::TypeMismatch) << "a flag";
    // Cut anywhere after the flags, the file runs out.
    EXPECT_EQ(errorOf(kHead), err::InputPastEndOfFile);
    // A huge count asks for more names than the file holds: the reader runs out, it does not
    // set room aside.
    EXPECT_EQ(errorOf(kHead + "32767,\"a\"\r\n"), err::InputPastEndOfFile);
    // A negative count lists nothing.
    const PluginDataFile negative =
        readBytes(kHead + "-5\r\n-1\r\n#FALSE#,#FALSE#\r\n\"\",\"\",\"\",\"\",\"\"\r\n-3\r\n"
                          "-2\r\n\"x\"\r\n");
    EXPECT_TRUE(negative.IntegerVariables.isEmpty());
    EXPECT_TRUE(negative.Parameters.isEmpty());
}

TEST(PluginsFile, CodeIsDecodedAsTheFlagsSayAndQuotesAreRestored) {
    const QString code = "MsgBox \"a ~b\" & x";
    EXPECT_FALSE(storablePluginText(code));
    const QString plain = "Sub Go(a)\r\n  MsgBox \"Hi \" & a\r\nEnd Sub";
    PluginDataFile p;
    for (auto [compiled, isProtected, form] : {std::tuple{false, false, PluginCodeForm::AsIs},
                                               std::tuple{false, true, PluginCodeForm::Protected},
                                               std::tuple{true, false, PluginCodeForm::Compiled},
                                               std::tuple{true, true, PluginCodeForm::AsIs}}) {
        p.Compiled = compiled;
        p.Protected = isProtected;
        EXPECT_EQ(p.codeForm(), form);
        const QString stored = encodePluginCode(plain, form);
        EXPECT_FALSE(stored.contains('"')) << "a stored text holds no double quote";
        EXPECT_EQ(stored.contains("MsgBox"), form == PluginCodeForm::AsIs);
        EXPECT_EQ(decodePluginCode(stored, form), plain);
    }
    // The two offsets differ: compiled code does not read as protected code.
    const QString compiled = encodePluginCode(plain, PluginCodeForm::Compiled);
    EXPECT_NE(decodePluginCode(compiled, PluginCodeForm::Protected), plain);
    // Both quote characters are restored, in plain and in scrambled texts.
    EXPECT_EQ(restorePluginQuotes(QString("~a") + QChar(254)), "\"a\"");
    EXPECT_EQ(decodePluginCode("~x~", PluginCodeForm::AsIs), "\"x\"");
    try {
        encodePluginCode(code, PluginCodeForm::AsIs);
        ADD_FAILURE() << "a tilde would come back as a quote";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::InvalidCall);
    }
}

TEST(PluginsFile, TheListSkipsTenValuesAndNamesRepeatWithoutCase) {
    RecordReader in("1,2,3,4,5,6,7,8,9,10\r\n\"Pano\"\r\n\"Fog\"\r\n\"PANO\"\r\n");
    PluginListFile list;
    readPluginList(in, list);
    EXPECT_EQ(list.Names, QStringList({"Pano", "Fog", "PANO"}));
    EXPECT_EQ(distinctPluginNames(list.Names), QStringList({"Pano", "Fog"}));
    RecordWriter out;
    list.write(out);
    EXPECT_EQ(out.bytes(), "1,2,3,4,5,6,7,8,9,10\r\n\"Pano\"\r\n\"Fog\"\r\n\"PANO\"\r\n");

    RecordReader shortList("1,2,3");
    EXPECT_THROW(readPluginList(shortList, list), VbError);

    // Names that would reach outside the CPData folder name no data file.
    for (const char* bad : {"../Config/General", "a\\b", "C:x", "..", ".", ""})
        EXPECT_FALSE(usablePluginName(bad)) << bad;
    for (const char* good : {"Pano", "my plugin.v2", "..x"})
        EXPECT_TRUE(usablePluginName(good)) << good;
}

TEST(PluginsFile, FilesAreWrittenWhereThePlayerLooks) {
    QTemporaryDir dir;
    ProjectFolders folders;
    folders.setRoot(dir.path());
    EXPECT_TRUE(pluginDataPath(folders, "Pano").endsWith("CPData/Pano.cp"));
    EXPECT_TRUE(pluginListPath(folders).endsWith("Config/Plugins"));
    PluginDataFile p;
    p.InternalName = "Pano";
    p.IntegerVariables = {"A"};
    const QString path = dir.filePath("Pano.cp");
    writePluginDataFile(path, p);
    EXPECT_EQ(readPluginDataFile(path), p);
    EXPECT_EQ(tv::test::readAll(path).left(36), "3,0,0,0,0,0,0,0\r\n#FALSE#,#FALSE#\r\n\"\"");
}
