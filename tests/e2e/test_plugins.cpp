#include "data/plugins_file.h"
#include "e2e_harness.h"

#include <gtest/gtest.h>

using namespace e2e;
using tv::ActionRecord;
using tv::PluginCodeForm;
using tv::PluginDataFile;
using tv::RecordValue;

namespace {

// A plugin whose code marks what runs in the variant variable Trace: its start-up code marks
// NAMEs, its frame-open codes NAMEf and NAMEz; its frame and hotspot actions mark F and H with
// their arguments.
PluginDataFile tracer(const QString& name, qint16 version, bool compiled, bool isProtected) {
    PluginDataFile p;
    p.Version = version;
    p.Compiled = compiled;
    p.Protected = isProtected;
    p.InternalName = name;
    const PluginCodeForm form = p.codeForm();
    p.StartupCode = tv::encodePluginCode("Mark \"" + name + "s\"", form);
    p.FrameOpenCode = tv::encodePluginCode("Mark \"" + name + "f\"", form);
    p.ProceduresCode = tv::encodePluginCode(
        "Sub " + name + "Frame(a, b)\r\n    Mark \"F\" & a & b\r\nEnd Sub\r\n" + "Sub " + name +
            "Hotspot(a, b)\r\n    Mark \"H\" & a & b\r\n    " + name + "Count.Value = 5\r\nEnd Sub",
        form);
    if (version >= 3) p.SecondFrameOpenCode = tv::encodePluginCode("Mark \"" + name + "z\"", form);
    p.IntegerVariables = {name + "Count"};
    p.VariantVariables = {"Trace"};
    p.Strings = {"", "", tv::escapePluginQuotes(name + "Frame"), "",
                 tv::escapePluginQuotes(name + "Hotspot")};
    return p;
}

void addPlugins(TestProject& p, const QStringList& list, const QList<PluginDataFile>& plugins) {
    tv::PluginListFile file;
    file.Names = list;
    p.description().pluginList = file;
    for (const PluginDataFile& plugin : plugins)
        p.description().plugins.append({plugin.InternalName, plugin});
}

// The project's own procedures hold Mark, which every plugin calls.
void writeMark(TestProject& p) {
    p.writeProcedures("Sub Mark(t)\r\n    Trace.Value = Trace.Value & \"-\" & t\r\nEnd Sub");
}

} // namespace

TEST(Plugins, CodeRunsInItsOrderAndActionsCallThePluginsProcedures) {
    TestProject p;
    p.writeVariables({"Score"});
    writeMark(p);
    // Version 3 compiled, version 2 protected, version 1 with both flags (stored as it is); "a"
    // repeats A in other letters and is left out; Gone has no data file.
    addPlugins(
        p, {"A", "B", "a", "C", "Gone"},
        {tracer("A", 3, true, false), tracer("B", 2, false, true), tracer("C", 1, true, true)});
    p.settings().GameStartScriptEnabled = true;
    p.settings().GameStartScript = "Mark \"G\"";
    tv::FrameRecord start = colourFrame(0);
    // Bracketed actions: each argument in quotes, spaces kept, its own quotes doubled; an unknown
    // plugin adds nothing.
    start.StartupScript =
        RecordValue::ofString(QString("{A}x ") + QChar(254) + "y" + QChar(254) + "}z{Nobody}q");
    start.CallProcedure = true;
    start.ProcedureCall = RecordValue::ofString("Mark |P|");
    p.writeFrame("Start", start);
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, 50, 50)});
    ActionRecord click;
    click.CallProcedure = true;
    // The hotspot's own code calls a plugin's procedure by name.
    click.ProcedureCall = RecordValue::ofString("AFrame |cl|, |ick|");
    click.Script = RecordValue::ofString(QString("{B}h1") + QChar(165) + "2");
    p.writeActions("Start", {click});
    const RunResult r = p.play(
        // Start-up code of the plugins, in list order, then the game's start script; then the
        // frame: the plugins' frame-open code, the frame's actions, its procedure call, and the
        // second frame-open code of the plugins that have one.
        "expect variable Trace 0-As-Bs-Cs-G-Af-Bf-Cf-Fx \"y\"z-P-Az\n"
        "expect variable ACount 0\n"
        "expect variable CCount 0\n"
        "click 20 20\n"
        "expect variable Trace 0-As-Bs-Cs-G-Af-Bf-Cf-Fx \"y\"z-P-Az-Fclick-Hh12\n"
        "expect variable BCount 5\n"
        "expect nolog msgbox Error\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Plugins, APluginVariableTheProjectHasIsNotAddedTwice) {
    TestProject p;
    p.writeVariables({"score"}, {"Trace"});
    writeMark(p);
    PluginDataFile plugin = tracer("A", 3, false, false);
    plugin.IntegerVariables = {"Score", "Lives"};
    addPlugins(p, {"A"}, {plugin});
    p.writeFrame("Start", colourFrame(0));
    // A second Trace would make the script host refuse the names.
    const RunResult r = p.play("expect variable Trace 0-As-Af-Az\n"
                               "exec Lives.Value = Lives.Value + score.Value + 2\n"
                               "expect variable Lives 2\n"
                               "expect nolog msgbox Error\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Plugins, ABrokenDataFileIsReportedAndThePluginsBeforeItStay) {
    TestProject p;
    p.writeVariables({});
    writeMark(p);
    addPlugins(p, {"A", "Broken", "B"}, {tracer("A", 3, true, false), tracer("B", 3, false, true)});
    p.writeFile("CPData/Broken.cp", "3,0,0\r\n");
    p.writeFrame("Start", colourFrame(0));
    const RunResult r =
        p.play("expect log " + errorReportLine(" Error loading plugins. Input past end of file") +
               "\n"
               "expect variable Trace 0-As-Af-Az\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
