// The display in whole games: full screen scales the game's display mode to the monitor with
// black bars, clicks are mapped back through the scale, and the classic mode calls keep their
// contracts.

#include "e2e_harness.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kReportMode = "exec MsgBox GetDisplayResolutionX() & \"x\" & "
                            "GetDisplayResolutionY()\n";

// A 640 x 480 red frame with a hotspot at (100, 100), 50 x 50, that leads to a green frame.
TestProject scaledGame(int screenWidth, int screenHeight) {
    TestProject p;
    p.settings().MenusAlwaysVisible = false;
    p.settings().ProjectWidth = 640;
    p.settings().ProjectHeight = 480;
    p.setScreenSize(screenWidth, screenHeight);
    p.writeFrame("Start", colourFrame(0x0000FF));
    p.writeHotspots("Start", {hotspotAt(1, 100, 100, 50, 50)});
    p.writeActions("Start", {goTo("Next")});
    p.writeFrame("Next", colourFrame(0x00FF00));
    return p;
}

} // namespace

TEST(Display, FullScreenScalesTheChosenModeToTheScreenAndMapsClicksBack) {
    TestProject p = scaledGame(1920, 1080);
    // Before any change of mode the frame lies in the middle of the screen, one to one. After
    // 800 x 600 is chosen, that picture fills the height: a factor of 1.8, bars of 240 pixels at
    // the sides, and the frame at 80, 60 of the picture, i.e. at 384, 108 of the screen.
    const RunResult r = p.play(kReportMode +
                               "expect log |1920x1080|\n"
                               "expect window-pixel 641 301 FF0000\n"
                               "expect window-pixel 638 298 000000\n"
                               "expect window-pixel 1279 779 FF0000\n"
                               "expect window-pixel 1281 781 000000\n"
                               "exec ChangeDisplayResolution 2\n" +
                               kReportMode +
                               "expect log |800x600|\n"
                               "expect window-pixel 387 111 FF0000\n"
                               "expect window-pixel 381 105 000000\n"
                               "expect window-pixel 1533 969 FF0000\n"
                               "expect window-pixel 1539 975 000000\n"
                               "expect window-pixel 100 540 000000\n"
                               "expect window-pixel 1800 540 000000\n"
                               "expect pixel 0 0 FF0000\n"
                               "screenshot-window whole.png\n"
                               // Just left of the hotspot (frame x 97), then on it (frame x 120).
                               "click-window 559 330\n"
                               "expect frame Start\n"
                               "click-window 600 330\n"
                               "expect frame Next\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    const QImage whole(p.root() + "/../whole.png");
    EXPECT_EQ(whole.size(), QSize(1920, 1080));
}

TEST(Display, ModeChangesKeepTheirContracts) {
    // Already 640 wide: nothing changes, whatever the height.
    TestProject narrow = scaledGame(640, 500);
    RunResult r =
        narrow.play("exec ChangeDisplayResolution 1\n" + kReportMode + "expect log |640x500|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // Larger than the screen: reported once, and the mode stays.
    TestProject small = scaledGame(800, 600);
    r = small.play("exec ChangeDisplayResolution 3\n" + kReportMode + "expect log |800x600|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter(" Unable to change display resolution. Mode not supported.").size(), 1)
        << show(r);
}

TEST(Display, UnloadingTheGameRestoresTheModeItFound) {
    TestProject p = scaledGame(1920, 1080);
    p.settings().SkipWelcomeScreen = false;
    const RunResult r = p.play("button Start\n"
                               "exec ChangeDisplayResolution 3\n" +
                               kReportMode +
                               "expect log |1024x768|\n"
                               "answer Yes\n"
                               "key Q ctrl\n"
                               "wait 1000\n"
                               "button Start\n" +
                               kReportMode + "expect log |1920x1080|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Display, TheWelcomeWindowsOfferSwitchesTheModeBeforeTheGameStarts) {
    TestProject p = scaledGame(1920, 1080);
    p.settings().SkipWelcomeScreen = false;
    p.settings().OfferResolutionChange = 1;
    p.settings().DisplayResolution = 1; // 800 x 600
    // Ticked by default: the game starts in the chosen mode, scaled to the screen.
    RunResult r = p.play("button Start\n" + kReportMode +
                         "expect log |800x600|\n"
                         "expect window-pixel 387 111 FF0000\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // Cleared (the choice is kept for the next run): the screen keeps its size.
    r = p.play("button Change display resolution to 800 x 600\n"
               "button Start\n" +
               kReportMode + "expect log |1920x1080|\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // A screen that already has the game's size is offered nothing.
    TestProject q = scaledGame(800, 600);
    q.settings().SkipWelcomeScreen = false;
    q.settings().OfferResolutionChange = 1;
    q.settings().DisplayResolution = 1;
    r = q.play("button Change display resolution to 800 x 600\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains("button: there is no button Change display resolution"))
        << show(r);
}
