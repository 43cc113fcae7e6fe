#include "components/components.h"
#include "platform/core/dialogs.h"
#include "platform/core/event_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

class PluginTable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folders.setRoot(dir.path() + "/game/");
        ASSERT_TRUE(QDir().mkpath(folders.ConfigFolder));
        ASSERT_TRUE(QDir().mkpath(folders.ComponentsFolder));
        DialogService::instance().setAutomated(true);
    }
    void writeList(const QStringList& names) {
        PluginListFile list;
        list.Names = names;
        writePluginListFile(pluginListPath(folders), list);
    }
    static PluginDataFile plugin(const QString& name, PluginCodeForm form = PluginCodeForm::AsIs) {
        PluginDataFile p;
        p.InternalName = name;
        p.Compiled = form == PluginCodeForm::Compiled;
        p.Protected = form == PluginCodeForm::Protected;
        p.StartupCode = encodePluginCode("Start" + name, form);
        p.FrameOpenCode = encodePluginCode("Frame" + name + " \"x\"", form);
        p.ProceduresCode = encodePluginCode("Sub " + name + "()\r\nEnd Sub", form);
        p.SecondFrameOpenCode = encodePluginCode("After" + name, form);
        p.IntegerVariables = {name + "Count"};
        p.VariantVariables = {name + "Text"};
        p.Strings = {"", "", name + "Frame", "", name + "Hotspot"};
        return p;
    }
    void writePlugin(const QString& fileName, const PluginDataFile& p) {
        writePluginDataFile(folders.ComponentsFolder + fileName + ".cp", p);
    }
    void writeRaw(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QStringList names() const {
        QStringList out;
        for (const Components::PluginRecord& p : c.plugins)
            out.append(p.internalName);
        return out;
    }
    qsizetype logged() const { return EventLog::instance().lines().size(); }

    QTemporaryDir dir;
    ProjectFolders folders;
    Components c;
};

const QString kReport = "Error description: Error loading plugins. ";

} // namespace

TEST_F(PluginTable, LoadsTheListedPluginsInOrderWithTheirCodeAndVariables) {
    writeList({"Fog", "Pano", "fog", "Gone"});
    writePlugin("Pano", plugin("Pano", PluginCodeForm::Compiled));
    writePlugin("Fog", plugin("Fog", PluginCodeForm::Protected));
    const qsizetype before = logged();
    c.LoadPlugins(folders);
    EXPECT_EQ(logged(), before) << "a missing data file is silent";
    EXPECT_EQ(names(), QStringList({"Fog", "Pano"})) << "list order, a repeat left out";
    EXPECT_EQ(c.pluginStartupTexts(), QStringList({"StartFog", "StartPano"}));
    EXPECT_EQ(c.firstFrameStartTexts(), QStringList({"FrameFog \"x\"", "FramePano \"x\""}));
    EXPECT_EQ(c.secondFrameStartTexts(), QStringList({"AfterFog", "AfterPano"}));
    EXPECT_EQ(c.pluginProcedures(), QStringList({"Sub Fog()\r\nEnd Sub", "Sub Pano()\r\nEnd Sub"}));
    const auto variables = c.pluginVariables();
    ASSERT_EQ(variables.size(), 2);
    EXPECT_EQ(variables[1].integers, QStringList({"PanoCount"}));
    EXPECT_EQ(variables[1].variants, QStringList({"PanoText"}));
    EXPECT_EQ(c.ExpandPluginActions("{Pano}a}b", true), "PanoHotspot \"a\",\"b\"");

    // Version 2 keeps no second frame-open code even where a file would hold one.
    PluginDataFile older = plugin("Pano");
    older.Version = 2;
    writePlugin("Pano", older);
    c.LoadPlugins(folders);
    EXPECT_EQ(c.secondFrameStartTexts(), QStringList({"AfterFog", ""}));

    // Without a list there are no plugins, and nothing is said.
    QFile::remove(pluginListPath(folders));
    c.LoadPlugins(folders);
    EXPECT_TRUE(c.plugins.isEmpty());
    EXPECT_EQ(logged(), before);
}

TEST_F(PluginTable, ABrokenFileEndsTheLoadWithItsMessageAndKeepsWhatWasReadWhole) {
    writeList({"Good", "Cut", "After"});
    writePlugin("Good", plugin("Good"));
    writePlugin("After", plugin("After"));
    // A file that ends in its variable names: its procedures must not join the table without
    // the variables they use.
    RecordWriter out;
    plugin("Cut").write(out);
    writeRaw(folders.ComponentsFolder + "Cut.cp",
             out.bytes().left(out.bytes().indexOf("CutCount")));
    c.LoadPlugins(folders);
    EXPECT_EQ(names(), QStringList({"Good"}));
    ASSERT_FALSE(EventLog::instance().lines().isEmpty());
    EXPECT_TRUE(EventLog::instance().lines().last().startsWith("msgbox Error|"));
    EXPECT_TRUE(EventLog::instance().lines().last().endsWith(kReport + "Input past end of file|OK"))
        << EventLog::instance().lines().last().toStdString();

    // A list shorter than its ten leading values, and a data file with a word for its version.
    writeRaw(pluginListPath(folders), "1,2,3\r\n");
    c.LoadPlugins(folders);
    EXPECT_TRUE(c.plugins.isEmpty());
    EXPECT_TRUE(
        EventLog::instance().lines().last().endsWith(kReport + "Input past end of file|OK"));
    writeList({"Good"});
    writeRaw(folders.ComponentsFolder + "Good.cp", "\"three\"\r\n");
    c.LoadPlugins(folders);
    EXPECT_TRUE(c.plugins.isEmpty());
    EXPECT_TRUE(EventLog::instance().lines().last().endsWith(kReport + "Type mismatch|OK"));
}

TEST_F(PluginTable, NamesThatWouldLeaveTheDataFolderAreNotFollowed) {
    // A file outside CPData that reads as a plugin.
    writePluginDataFile(folders.ConfigFolder + "Evil.cp", plugin("Evil"));
    writeList({"../Config/Evil", "..\\Config\\Evil", "Ok"});
    writePlugin("Ok", plugin("Ok"));
    const qsizetype before = logged();
    c.LoadPlugins(folders);
    EXPECT_EQ(names(), QStringList({"Ok"}));
    EXPECT_EQ(logged(), before);
}

TEST_F(PluginTable, RecordsRestoreQuotesInTheirTextsAndKeepTheRest) {
    PluginDataFile p = plugin("Pano");
    p.Version = 1;
    p.Description = "A ~big~ view";
    p.Strings[4] = QString("Go") + QChar(254);
    p.Parameters = {{"Angle~", RecordValue::ofNumber(90)}};
    p.Flag2 = true;
    const Components::PluginRecord r = Components::pluginRecord(p);
    EXPECT_EQ(r.description, "A \"big\" view");
    EXPECT_EQ(r.hotspotActionProcedure, "Go\"");
    EXPECT_EQ(r.frameActionProcedure, "PanoFrame");
    EXPECT_EQ(r.parameters[0].Name, "Angle\"");
    EXPECT_EQ(r.parameters[0].Third, RecordValue::ofString(""));
    EXPECT_TRUE(r.flag2);
    EXPECT_TRUE(r.secondFrameOpenCode.isEmpty()) << "version 1";
}
