// Run-time components from a game's own component library (the test library, copied into the
// project's "CPData" folder): registered at start-up, made, used and removed by scripts, their
// events handled by the project's procedures; Windows libraries skipped; nothing loaded without
// the player's permission.

#include "e2e_harness.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

QByteArray testLibrary() {
    QFile f(QStringLiteral(TV_TEST_COMPONENT_DIR "/libtvtestcomponent.so"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A project with the test library in "CPData" and one black frame.
void componentProject(TestProject& p) {
    const QByteArray library = testLibrary();
    ASSERT_FALSE(library.isEmpty());
    p.writeFile("CPData/libtvtestcomponent.so", library);
    p.writeFrame("Start", colourFrame(0));
}

} // namespace

TEST(Components, AGameComponentIsAddedUsedAndRemoved) {
    TestProject p;
    componentProject(p);
    p.writeProcedures("Sub Test1_Changed(p)\r\n"
                      "  MsgBox \"changed \" & p(0) & \" \" & p(1) & \" \" & p(2)\r\n"
                      "  p(2).Value = p(2) + 100\r\n"
                      "  p(\"text\").Value = \"written back\"\r\n"
                      "End Sub\r\n");
    const RunResult r = p.play(
        "exec AddComponent \"TorvaneTest.Control\", \"Test1\"\n"
        "exec Set c = Component(\"TEST1\") : c.Object.Caption = \"x\" : MsgBox c.Name & \" \" & "
        "c.Object.Add(2, 3) & \" \" & (c.Container Is BackgroundObject)\n"
        "expect log msgbox Test Game|test1 5 True|OK\n"
        "exec Component(\"test1\").Object.Change \"hello\", 5\n"
        "expect log msgbox Test Game|changed hello 7 5|OK\n"
        // The control's own members are reached on the component itself, too.
        "exec Set o = Component(\"test1\") : MsgBox o.LastAnswer & \" \" & o.LastText\n"
        "expect log msgbox Test Game|105 written back|OK\n"
        "exec MsgBox DoesComponentExist(\"tEsT1\") & \" \" & "
        "IsComponentInstalled(\"TorvaneTest.Control\") "
        "& \" \" & IsComponentInstalled(\"Bogus.Control\")\n"
        "expect log msgbox Test Game|True True False|OK\n"
        "exec RemoveComponent \"Test1\" : MsgBox DoesComponentExist(\"Test1\")\n"
        "expect log msgbox Test Game|False|OK\n"
        "expect nolog An error has occurred\n",
        {"--allow-native-components"});
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Components, NamesAreCheckedAndMissingProgIdsReported) {
    TestProject p;
    componentProject(p);
    const RunResult r = p.play(
        "exec AddComponent \"TorvaneTest.Control\", \"Pano1\"\n"
        "exec AddComponent \"TorvaneTest.Control\", \"PANO1\"\n"
        "expect log " +
            errorReportLine(" A component named \"PANO1\" already exists. Please use a different "
                            "name.") +
            "\n"
            "exec AddComponent \"TorvaneTest.Control\", \"my pano\"\n"
            "expect log " +
            errorReportLine(" The component name must not contain spaces or other special "
                            "characters.") +
            "\n"
            "exec AddComponent \"Not.Installed\", \"Ghost\"\n"
            "expect log " +
            errorReportLine(" Error in Game.AddAdditionalComponent. The component is probably "
                            "not installed properly.  ActiveX component can't create object") +
            "\n"
            "exec AddComponent \"TorvaneTest.Control\", \"Ghost\"\n"
            "expect log " +
            errorReportLine(" A component named \"Ghost\" already exists. Please use a different "
                            "name.") +
            "\n",
        {"--allow-native-components"});
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Components, WindowsLibrariesAreSkippedAtStartUp) {
    TestProject p;
    p.writeFile("CPData/Control.ocx", QByteArray("MZ\x90\0", 4) + QByteArray(60, '\0'));
    p.writeFrame("Start", colourFrame(0));
    const RunResult r = p.play("expect log component skipped Control.ocx (Windows library)\n"
                               "exec MsgBox IsComponentInstalled(\"Control.Main\")\n"
                               "expect log msgbox Test Game|False|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Components, AGameLibraryIsNotLoadedWithoutPermission) {
    TestProject p;
    componentProject(p);
    const RunResult r = p.play(
        "expect log msgbox Native components|\n"
        "expect log component skipped libtvtestcomponent.so (native components not allowed)\n"
        "exec MsgBox IsComponentInstalled(\"TorvaneTest.Control\")\n"
        "expect log msgbox Test Game|False|OK\n"
        "exec AddComponent \"TorvaneTest.Control\", \"Test1\"\n"
        "expect log probably not installed properly\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Components, ATransitionPausesComponentsAndResumesThemAfterwards) {
    TestProject p;
    componentProject(p);
    p.writeFrame("Next", colourFrame(0xFFFFFF));
    const RunResult r =
        p.play("exec AddComponent \"TorvaneTest.Control\", \"Test1\"\n"
               "exec GoToFrame \"Next\", 1, 1\n"
               "wait 500\n"
               "exec Set o = Component(\"test1\").Object : MsgBox o.Pauses & \" \" & o.Resumes\n"
               "expect log msgbox Test Game|1 0|OK\n"
               "wait 1000\n"
               "expect frame Next\n"
               "exec Set o = Component(\"test1\").Object : MsgBox o.Pauses & \" \" & o.Resumes\n"
               "expect log msgbox Test Game|1 1|OK\n",
               {"--allow-native-components"});
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Components, OneThatAppearsDuringTransitionsMovesWithTheSlidingFrame) {
    TestProject p;
    componentProject(p);
    p.writeFrame("Next", colourFrame(0xFFFFFF));
    // A red square at (10, 10) of the black frame; the white frame slides in from the right over
    // a second, the square with it: half way it is half a frame further right.
    const RunResult r = p.play(
        "exec AddComponent \"TorvaneTest.Control\", \"Test1\", True\n"
        "exec Set c = Component(\"test1\") : c.Move 150, 150, 600, 600 : c.Object.Fill = &HFF0000"
        " : c.Visible = True\n"
        "expect pixel 20 20 FF0000\n"
        "exec GoToFrame \"Next\", 1, 3\n"
        "wait 500\n"
        "expect pixel 20 20 000000\n"
        "expect pixel 180 20 FF0000\n"
        "wait 1000\n"
        "expect frame Next\n"
        "expect pixel 20 20 FF0000\n"
        "expect pixel 180 20 FFFFFF\n",
        {"--allow-native-components"});
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
