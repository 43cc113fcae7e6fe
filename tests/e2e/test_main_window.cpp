// The main window in whole games: its menus, the keys and mouse buttons that show and hide
// them, the exit question and the hidden debug menu.

#include "e2e_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kMenusShown = "exec MsgBox ExitMenuObject.Visible & \",\" & "
                            "OptionsMenuObject.Visible & \",\" & DebugMenuObject.Visible\n";

TestProject fullScreenGame() {
    TestProject p;
    p.settings().MenusAlwaysVisible = false; // full screen: the menus come and go
    p.writeFrame("Start", colourFrame(0x808080));
    p.writeHotspots("Start", {hotspotAt(1, 10, 100, 40, 40)});
    p.writeActions("Start", {noAction()});
    return p;
}

} // namespace

TEST(MainWindow, TheExitQuestionAsksAndOnlyYesEndsTheGame) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0x808080));
    const RunResult r = p.play("answer No\n"
                               "key Q ctrl\n"
                               "expect log msgbox Test Game|Do you really want to quit?|No\n"
                               "expect frame Start\n"
                               "answer Yes\n"
                               "menu Exit\n"
                               "expect log msgbox Test Game|Do you really want to quit?|Yes\n"
                               "wait 1000\n"
                               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(MainWindow, InAWindowTheMenusStayWhateverTheClicksAndKeys) {
    TestProject p; // windowed
    p.writeFrame("Start", colourFrame(0x808080));
    const RunResult r = p.play(kMenusShown +
                               "expect log |True,True,False|\n"
                               "click 300 190 right\n"
                               "key Escape\n" +
                               kMenusShown + "expect log |True,True,False|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(MainWindow, FullScreenMenusFollowRightClicksEscapeAndAnOpenMenu) {
    TestProject p = fullScreenGame();
    const RunResult r = p.play(kMenusShown +
                               "expect log |False,False,False|\n"
                               "click 300 190 right\n" +
                               kMenusShown +
                               "expect log |True,True,False|\n"
                               "click 300 190 right\n" +
                               kMenusShown +
                               "expect log |False,False,False|\n"
                               "key Escape\n" +
                               kMenusShown +
                               "expect log |True,True,False|\n"
                               // An open Options menu keeps the menus up against a right click;
                               // a left click on a hotspot closes them.
                               "menu Options\n"
                               "click 300 190 right\n" +
                               kMenusShown +
                               "expect log |True,True,False|\n"
                               "click 20 120\n" +
                               kMenusShown +
                               "expect log |False,False,False|\n"
                               // The four keys in turn show the debug menu; another key in
                               // between starts them again.
                               "key Escape\n"
                               "key F5\nkey F9\nkey A\nkey F3\nkey F7\n" +
                               kMenusShown +
                               "expect log |True,True,False|\n"
                               "key F5\nkey F9\nkey F3\nkey F7\n" +
                               kMenusShown + "expect log |True,True,True|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(MainWindow, OptionsTickTheirMarksAndHiddenOptionsHideTheirMenu) {
    TestProject p = fullScreenGame();
    p.settings().HideEffectsOption = true;
    p.settings().DisableSaveGame = true;
    const RunResult r = p.play(
        "menu Disable Transitions\n"
        "exec MsgBox GetTransitionsStatus() & \",\" & TransitionsMenuObject.Checked & \",\" & "
        "DisableEffectsMenuObject.Visible & \",\" & SaveMenuObject.Visible\n"
        "expect log |False,True,False,False|\n"
        "exec InvertTransitionsStatus\n"
        "exec MsgBox TransitionsMenuObject.Checked\n"
        "expect log |False|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    TestProject q = fullScreenGame();
    q.settings().HideEffectsOption = true;
    q.settings().HideTransitionsOption = true;
    q.settings().NeverShowMenus = true;
    const RunResult s = q.play("click 300 190 right\n"
                               "key Escape\n" +
                               kMenusShown + "expect log |False,False,False|\n");
    EXPECT_EQ(s.exitCode, 0) << show(s);
}

TEST(WelcomeWindow, ItsButtonsStartAGameAndEndTheProgramAndTheGameComesBackToIt) {
    TestProject p;
    p.settings().SkipWelcomeScreen = false;
    p.writeFrame("Start", colourFrame(0x808080));
    // Start; quitting the game brings the welcome window back; its Exit ends the program.
    RunResult r = p.play("expect log window frmWelcome|Test Game\n"
                         "expect nolog frame Start\n"
                         "button Start\n"
                         "expect frame Start\n"
                         "answer Yes\n"
                         "key Q ctrl\n"
                         "wait 1000\n"
                         "expect log window frmWelcome|Test Game\n"
                         "expect nolog quit\n"
                         "button Exit\n"
                         "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // Escape closes the welcome window, which ends the program.
    r = p.play("key Escape\n"
               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    r = p.play("button Fly\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("button: there is no button Fly in frmWelcome")) << show(r);
}

TEST(MainWindow, F12SavesAPictureAndAltEnterSwitchesBetweenWindowAndFullScreen) {
    TestProject p;
    p.writeFrame("Start", colourFrame(0x0000FF)); // red
    const QDir base = QFileInfo(p.root()).dir();
    ASSERT_TRUE(base.mkpath("config"));
    QFile dirs(base.filePath("config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"" + base.filePath("pictures").toUtf8() + "\"\n");
    dirs.close();
    const RunResult r = p.play("key F12\n"
                               "expect log picture " +
                               base.filePath("pictures/Test Game ") +
                               "\n"
                               "exec MsgBox \"[\" & WindowObject.Caption & \"]\"\n"
                               "expect log |[Test Game ]|\n"
                               "key Return alt\n"
                               "exec MsgBox \"[\" & WindowObject.Caption & \"]\"\n"
                               "expect log |[]|\n"
                               "key Return alt\n"
                               "exec MsgBox \"[\" & WindowObject.Caption & \"]\"\n"
                               "expect log |[Test Game ]|\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QStringList saved = QDir(base.filePath("pictures")).entryList({"*.png"});
    ASSERT_EQ(saved.size(), 1);
    const QImage picture(base.filePath("pictures/" + saved[0]));
    EXPECT_EQ(picture.size(), QSize(320, 200));
    EXPECT_EQ(picture.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
}

TEST(MainWindow, TheOptionsAreKeptForTheNextGame) {
    TestProject p = fullScreenGame();
    const QString ticks = "exec MsgBox \"[\" & GetTransitionsStatus() & \",\" & "
                          "GetEffectsStatus() & \",\" & TransitionsMenuObject.Checked & \"]\"\n";
    RunResult r = p.play(ticks +
                         "expect log |[True,True,False]|\n"
                         "menu Disable Transitions\n"
                         "exec InvertEffectsStatus\n" +
                         ticks + "expect log |[False,False,True]|\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    // The next run starts with both switched off, and a switch back is kept as well.
    r = p.play(ticks + "expect log |[False,False,True]|\n"
                       "menu Disable Transitions\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    r = p.play(ticks + "expect log |[True,False,False]|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
