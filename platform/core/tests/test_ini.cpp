#include "platform/core/ini.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tv;

namespace {

class Ini : public ::testing::Test {
protected:
    QString put(const QByteArray& bytes, const QString& name = "More") {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Ini, ReadsWithPrivateProfileRules) {
    const QString file = put("top=outside\r\n"
                             "; [General] is not here\r\n"
                             "[ General ]\r\n"
                             "  ScriptTimeOut =  30  \r\n"
                             ";AllowCreateObject=1\r\n"
                             "Quoted=\"  spaced  \"\r\n"
                             "Single='x'\r\n"
                             "Half=\"open\r\n"
                             "Equation=a=b\r\n"
                             "Accent=caf\xE9\r\n"
                             "scripttimeout=second\r\n"
                             "[Other]\n"
                             "Only=here\n"
                             "[general]\r\n"
                             "Late=ignored\r\n");
    EXPECT_EQ(iniRead(file, "general", "SCRIPTTIMEOUT"), "30");
    EXPECT_EQ(iniRead(file, "General", "Quoted"), "  spaced  ");
    EXPECT_EQ(iniRead(file, "General", "Single"), "x");
    EXPECT_EQ(iniRead(file, "General", "Half"), "\"open");
    EXPECT_EQ(iniRead(file, "General", "Equation"), "a=b");
    EXPECT_EQ(iniRead(file, "General", "Accent"), QString::fromUtf16(u"caf\u00E9"));
    EXPECT_EQ(iniRead(file, "Other", "Only"), "here"); // LF-only lines
    // Missing entries, entries of another section, comments, and later duplicate sections.
    EXPECT_EQ(iniRead(file, "General", "Only"), "");
    EXPECT_EQ(iniRead(file, "General", "AllowCreateObject"), "");
    EXPECT_EQ(iniRead(file, "General", "Late"), "");
    EXPECT_EQ(iniRead(file, "General", "top"), "");
    EXPECT_EQ(iniRead(file, "Nowhere", "ScriptTimeOut"), "");
    EXPECT_EQ(iniRead(dir.filePath("Absent"), "General", "ScriptTimeOut"), "");
    EXPECT_EQ(iniRead(dir.path(), "General", "ScriptTimeOut"), "");
}

TEST_F(Ini, ReadCutsTo254Characters) {
    const QByteArray longValue(300, 'v');
    const QString file = put("[S]\r\nk=" + longValue + "\r\nq=\"" + longValue + "\"\r\n");
    EXPECT_EQ(iniRead(file, "S", "k"), QString(254, 'v'));
    EXPECT_EQ(iniRead(file, "S", "q"), QString(254, 'v'));
}

TEST_F(Ini, ReadFindsTheFileWithoutCase) {
    QDir(dir.path()).mkdir("Config");
    put("[General]\r\nx=1\r\n", "Config/More");
    EXPECT_EQ(iniRead(dir.path() + "\\config\\MORE", "General", "x"), "1");
}

TEST_F(Ini, WriteCreatesFileAndSection) {
    const QString file = dir.filePath("new.ini");
    EXPECT_TRUE(iniWrite(file, "General", "Key", "caf\u00E9"));
    EXPECT_EQ(contents(file), QByteArray("[General]\r\nKey=caf\xE9\r\n"));
    EXPECT_TRUE(iniWrite(file, "Second", "a", "1"));
    EXPECT_EQ(contents(file), QByteArray("[General]\r\nKey=caf\xE9\r\n\r\n[Second]\r\na=1\r\n"));
    EXPECT_EQ(iniRead(file, "second", "A"), "1");
}

TEST_F(Ini, WriteEditsInPlaceAndKeepsTheRest) {
    const QString file = put("; made by hand\n"
                             "[General]\n"
                             "ScriptTimeOut = 10 ; not a comment\n"
                             "Other=x\n"
                             "\n"
                             "[Next]\n"
                             "z=1\n");
    EXPECT_TRUE(iniWrite(file, "general", "scripttimeout", "20"));
    EXPECT_TRUE(iniWrite(file, "GENERAL", "Added", "y"));
    EXPECT_EQ(contents(file), QByteArray("; made by hand\r\n"
                                         "[General]\r\n"
                                         "ScriptTimeOut=20\r\n"
                                         "Other=x\r\n"
                                         "Added=y\r\n"
                                         "\r\n"
                                         "[Next]\r\n"
                                         "z=1\r\n"));
    EXPECT_TRUE(iniRemoveKey(file, "General", "other"));
    EXPECT_EQ(iniRead(file, "General", "Other"), "");
    EXPECT_EQ(iniRead(file, "General", "Added"), "y");
}

TEST_F(Ini, WriteFailures) {
    EXPECT_FALSE(iniWrite(dir.filePath("missing/folder/x.ini"), "S", "k", "v"));
    EXPECT_FALSE(iniWrite(dir.filePath("x.ini"), "", "k", "v"));
    EXPECT_FALSE(iniWrite(dir.filePath("x.ini"), "S", " ", "v"));
    EXPECT_FALSE(iniWrite(dir.path(), "S", "k", "v")); // a folder, not a file

    put("[S]\r\n", "plain");
    EXPECT_FALSE(iniWrite(dir.filePath("plain/x.ini"), "S", "k", "v")); // a file as a folder

    // Only meaningful without root rights, which ignore permissions.
    const QString locked = dir.filePath("locked");
    QDir().mkdir(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(locked + "/.").isWritable()) {
        EXPECT_FALSE(iniWrite(locked + "/x.ini", "S", "k", "v"));
    }
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(IniDocument, ListsAndRemovesSections) {
    IniDocument doc = IniDocument::fromBytes("[A]\r\nx=1\r\ny\r\n[B]\r\nz=2\r\n");
    EXPECT_EQ(doc.sections(), QStringList({"A", "B"}));
    EXPECT_EQ(doc.keys("a"), QStringList({"x", "y"}));
    EXPECT_EQ(doc.value("A", "y"), std::optional<QString>(""));
    EXPECT_FALSE(doc.value("A", "z").has_value());
    EXPECT_TRUE(doc.removeSection("a"));
    EXPECT_EQ(doc.toBytes(), QByteArray("[B]\r\nz=2\r\n"));
}
