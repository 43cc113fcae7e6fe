// Frame transitions: the old frame gives way to the new one over the transition's duration, as a
// cross-fade or a slide, seen at exact instants of virtual time; a click or key ends it at once;
// the options switch turns transitions off for this and later games.

#include "e2e_harness.h"
#include "mediagen/mediagen.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <utility>

using namespace e2e;

namespace {

constexpr int kW = 320;
constexpr int kH = 200;

// Each frame has four quarters of different colours, so that a picture shows which part of
// which frame lies where.
QImage quarters(QRgb topLeft, QRgb topRight, QRgb bottomLeft, QRgb bottomRight) {
    QImage image(kW, kH, QImage::Format_RGB32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            image.setPixel(x, y,
                           y < kH / 2 ? (x < kW / 2 ? topLeft : topRight)
                                      : (x < kW / 2 ? bottomLeft : bottomRight));
    return image;
}

const QImage kOld = quarters(0xFF0000, 0x00FF00, 0xFFFFFF, 0x808080);
const QImage kNew = quarters(0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF);

// Two points to look at: in the top-left and in the bottom-right quarter of the view.
const QPoint kA(40, 50);
const QPoint kB(280, 150);

QString hex(QRgb colour) {
    return QString::number(colour & 0xFFFFFF, 16).rightJustified(6, '0').toUpper();
}

QString expectPixel(QPoint at, QRgb colour, int tolerance = 0) {
    return QStringLiteral("expect pixel %1 %2 %3 %4\n")
        .arg(at.x())
        .arg(at.y())
        .arg(hex(colour))
        .arg(tolerance);
}

QRgb oldAt(int x, int y) {
    return kOld.pixel(x, y);
}
QRgb newAt(int x, int y) {
    return kNew.pixel(x, y);
}

QRgb blend(QRgb from, QRgb to, int alpha) {
    auto mix = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha + 127) / 255; };
    return qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                mix(qBlue(from), qBlue(to)));
}

// "Start" shows the old frame, "Next" the new one. A click anywhere on Start goes to Next with
// the transition; a click anywhere on Next goes back at once.
TestProject twoFrames(int number, int durationMs) {
    TestProject p;
    p.writeImage("Frames/old.bmp", kOld, "BMP");
    p.writeImage("Frames/new.bmp", kNew, "BMP");
    p.writeFrame("Start", pictureFrame("old.bmp"));
    p.writeFrame("Next", pictureFrame("new.bmp"));
    tv::ActionRecord go = goTo("Next");
    go.UseTransition = tv::RecordValue::ofNumber(1);
    go.TransitionDuration = durationMs;
    go.TransitionNumber = qint16(number);
    p.writeHotspots("Start", {hotspotAt(1, 0, 0, kW, kH)});
    p.writeActions("Start", {go});
    p.writeHotspots("Next", {hotspotAt(1, 0, 0, kW, kH)});
    p.writeActions("Next", {goTo("Start")});
    return p;
}

} // namespace

TEST(Transitions, HalfWayEachNumberShowsBothFramesWhereItPutsThem) {
    // Half of a second of one: the cross-fade's alpha is 127, the slides have gone half way.
    const int half = 127;
    struct Case {
        int number;
        QRgb atA;
        QRgb atB;
    };
    const Case cases[] = {
        {0, blend(oldAt(40, 50), newAt(40, 50), half),
         blend(oldAt(280, 150), newAt(280, 150), half)},
        {1, blend(oldAt(40, 50), newAt(40, 50), half),
         blend(oldAt(280, 150), newAt(280, 150), half)},
        // From the left: the new frame's right half on the left, the old frame's left half on
        // the right.
        {2, newAt(200, 50), oldAt(120, 150)},
        // From the right: the old frame's right half on the left, the new frame's left half on
        // the right.
        {3, oldAt(200, 50), newAt(120, 150)},
        // From the top: the new frame's bottom half above, the old frame's top half below.
        {4, newAt(40, 150), oldAt(280, 50)},
        // From the bottom: the old frame's bottom half above, the new frame's top half below.
        {5, oldAt(40, 150), newAt(280, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        TestProject p = twoFrames(c.number, 1000);
        const int tolerance = c.number <= 1 ? 3 : 0;
        const RunResult r = p.play(
            "click 160 100\n"
            "expect frame Next\n"
            "wait 500\n" +
            expectPixel(kA, c.atA, tolerance) + expectPixel(kB, c.atB, tolerance) +
            // Once the second is over, the new frame alone.
            "wait 600\n" + expectPixel(kA, newAt(40, 50)) + expectPixel(kB, newAt(280, 150)));
        EXPECT_EQ(r.exitCode, 0) << show(r);
    }
}

TEST(Transitions, TheSameVirtualInstantGivesTheSamePicture) {
    QImage first;
    for (int run = 0; run < 2; ++run) {
        TestProject p = twoFrames(1, 800);
        const RunResult r = p.play("click 160 100\nwait 370\nscreenshot same.png\n");
        ASSERT_EQ(r.exitCode, 0) << show(r);
        const QImage image =
            QImage(p.root() + "/../same.png").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(kW, kH));
        if (run == 0)
            first = image;
        else
            EXPECT_EQ(image, first);
    }
    // 370 ms of 800: alpha 117.
    const QRgb seen = first.pixel(kA), meant = blend(oldAt(40, 50), newAt(40, 50), 117);
    EXPECT_NEAR(qRed(seen), qRed(meant), 2);
    EXPECT_NEAR(qGreen(seen), qGreen(meant), 2);
    EXPECT_NEAR(qBlue(seen), qBlue(meant), 2);
}

TEST(Transitions, AClickOrAKeyMidWayEndsItAtOnceOnTheNewFrame) {
    for (const QString& skip : {QString("click 10 190"), QString("key Space"),
                                QString("click 10 190 right"), QString("key Escape")}) {
        SCOPED_TRACE(skip.toStdString());
        TestProject p = twoFrames(3, 2000);
        // The press cuts the slide short; it is no click on the new frame's hotspot (which would
        // go back to Start).
        const RunResult r =
            p.play("click 160 100\nwait 300\n" + skip + "\n" + expectPixel(kA, newAt(40, 50)) +
                   expectPixel(kB, newAt(280, 150)) + "expect frame Next\n" +
                   "wait 2000\nexpect frame Next\n" +
                   // The frame's own hotspot works again once it is over.
                   "click 160 100\nexpect frame Start\n" + expectPixel(kA, oldAt(40, 50)));
        EXPECT_EQ(r.exitCode, 0) << show(r);
    }
}

TEST(Transitions, AScriptsTransitionRunsAndTheCrossFadeRemovesAStaleScratchFile) {
    TestProject p = twoFrames(1, 300);
    p.writeFile("Temp001.dat", "stale");
    RunResult r =
        p.play("exec GoToFrame \"Next\", 1, 5\nwait 500\n" + expectPixel(kA, oldAt(40, 150)) +
               expectPixel(kB, newAt(280, 50)) + "wait 600\n" + expectPixel(kA, newAt(40, 50)));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_TRUE(QFile::exists(p.root() + "/Temp001.dat")) << "a slide leaves it";

    r = p.play("click 160 100\nwait 400\n" + expectPixel(kA, newAt(40, 50)));
    ASSERT_EQ(r.exitCode, 0) << show(r);
    EXPECT_FALSE(QFile::exists(p.root() + "/Temp001.dat")) << "a cross-fade removes it";
}

TEST(Transitions, NoDurationOrAnUnknownNumberChangesTheFrameAtOnce) {
    for (const auto& [number, duration] :
         {std::pair{1, 0}, std::pair{6, 1000}, std::pair{-1, 800}}) {
        SCOPED_TRACE(number);
        TestProject p = twoFrames(number, duration);
        const RunResult r = p.play("click 160 100\n" + expectPixel(kA, newAt(40, 50)) +
                                   expectPixel(kB, newAt(280, 150)) + "expect frame Next\n");
        EXPECT_EQ(r.exitCode, 0) << show(r);
    }
}

TEST(Transitions, SwitchedOffTheFrameChangesAtOnceInThisGameAndTheNext) {
    TestProject p = twoFrames(1, 1000);
    RunResult r = p.play("menu Disable Transitions\n"
                         "click 160 100\n" +
                         expectPixel(kA, newAt(40, 50)) + "expect frame Next\n");
    ASSERT_EQ(r.exitCode, 0) << show(r);
    // The next run remembers the choice; a script switches them on again, and the transition
    // is back.
    r = p.play("exec MsgBox \"[\" & GetTransitionsStatus() & \"]\"\n"
               "expect log [False]\n"
               "click 160 100\n" +
               expectPixel(kA, newAt(40, 50)) + "click 160 100\n" + expectPixel(kA, oldAt(40, 50)) +
               "exec InvertTransitionsStatus\n"
               "click 160 100\nwait 500\n" +
               expectPixel(kA, blend(oldAt(40, 50), newAt(40, 50), 127), 3));
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Transitions, TheOpenInventoryAndAShownMessageStayOutOfIt) {
    TestProject p = twoFrames(1, 1000);
    p.addItem("key", 0x00FF00);
    const QPoint icon(26, 26);
    const QPoint strip(160, kH - 4);
    // The strip pops open with the key; the captured old frame has neither strip nor key, so half
    // way the key's place shows the two frames blended.
    RunResult r = p.play("exec AddItem \"key\", False\n" + expectPixel(icon, 0x00FF00) +
                         "exec GoToFrame \"Next\", 1, 1\nwait 500\n" +
                         expectPixel(icon, blend(oldAt(26, 26), newAt(26, 26), 127), 3));
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // A message in the strip along the bottom goes when the transition begins.
    TestProject q = twoFrames(1, 300);
    r = q.play("exec Message \"Hello there\"\nwait 100\n"
               "exec GoToFrame \"Next\", 0.3, 1\nwait 400\n" +
               expectPixel(strip, newAt(160, kH - 4)));
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Transitions, AScriptsCaptureBecomesTheNewPictureOfTheNextTransitionOnly) {
    TestProject p = twoFrames(1, 1000);
    const QRgb halfBack = blend(newAt(40, 50), oldAt(40, 50), 127);
    const RunResult r =
        p.play("exec RipplingWaterObject.Move 0, 0, 4800, 3000\n"
               // The screen's picture of the old frame is what the fade goes to: half way it still
               // shows the old frame, and at its end the new frame is there.
               "exec CaptureFrame RipplingWaterObject, False\n"
               "exec SetTransitionDestination RipplingWaterObject : GoToFrame \"Next\", 1, 1\n"
               "wait 500\n" +
               expectPixel(kA, oldAt(40, 50)) + expectPixel(kB, oldAt(280, 150)) + "wait 600\n" +
               expectPixel(kA, newAt(40, 50)) +
               // The frame composed off-screen, the same way.
               "exec CaptureFrame RipplingWaterObject, True\n"
               "exec SetTransitionDestination RipplingWaterObject : GoToFrame \"Start\", 1, 1\n"
               "wait 500\n" +
               expectPixel(kA, newAt(40, 50)) + "wait 600\n" + expectPixel(kA, oldAt(40, 50)) +
               // Used once: the next transition composes its new frame again.
               "exec GoToFrame \"Next\", 1, 1\nwait 500\n" +
               expectPixel(kA, blend(oldAt(40, 50), newAt(40, 50), 127), 3) + "wait 600\n" +
               "exec GoToFrame \"Start\", 1, 1\nwait 500\n" + expectPixel(kA, halfBack, 3));
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Transitions, TheAudioFadeGoesWithTheTransitionOrOnItsOwnTimerWhenThereIsNone) {
    // Channel 1 plays a.wav on Start; Next cross-fades it into b.wav with a fade time of half a
    // second, and the transition to Next lasts two seconds.
    auto project = [] {
        TestProject p = twoFrames(1, 2000);
        for (const char* name : {"a.wav", "b.wav"})
            p.writeFile(QString("Areas/") + name, tv::mediagen::wavSilence(60000, 8000, 1, 8));
        p.writeFrame("Start", withChannels(pictureFrame("old.bmp"),
                                           {channelRow(1, false, true, 8, "a.wav")}, 0));
        p.writeFrame("Next", withChannels(pictureFrame("new.bmp"),
                                          {channelRow(1, true, true, 10, "b.wav")}, 500));
        return p;
    };
    // The old sound fades out with the transition and stops when it ends.
    TestProject p = project();
    RunResult r = p.play("click 160 100\nexpect log play MPlayer(2)\n"
                         "wait 1000\nexpect nolog stop MPlayer(1)\n"
                         "wait 1100\nexpect log stop MPlayer(1)\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // Without a transition the fade keeps its own time.
    TestProject q = project();
    r = q.play("menu Disable Transitions\nclick 160 100\nexpect log play MPlayer(2)\n"
               "wait 1000\nexpect log stop MPlayer(1)\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Transitions, InAWindowWiderThanTheScreenWhatLiesOffTheScreenIsBlackInTheOldFrame) {
    // The 320-pixel frame, centred on a screen 280 pixels wide, reaches 20 pixels beyond it on
    // each side: those strips of the old frame were never on the screen to be captured.
    TestProject p = twoFrames(1, 1000);
    p.setScreenSize(280, 300);
    const RunResult r =
        p.play("click 160 100\nwait 500\n" +
               expectPixel({10, 60}, blend(0x000000, newAt(10, 60), 127), 3) +
               expectPixel({30, 60}, blend(oldAt(30, 60), newAt(30, 60), 127), 3) +
               expectPixel({kW - 10, 60}, blend(0x000000, newAt(kW - 10, 60), 127), 3) +
               expectPixel({kW - 30, 60}, blend(oldAt(kW - 30, 60), newAt(kW - 30, 60), 127), 3));
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Transitions, EscapeEndsATransitionWithoutBringingUpTheMenus) {
    TestProject p = twoFrames(2, 1000);
    p.settings().MenusAlwaysVisible = false; // full screen: Escape shows and hides the menus
    const QString menus = "exec MsgBox \"[\" & ExitMenuObject.Visible & \"]\"\n";
    const RunResult r =
        p.play("click 160 100\nwait 300\nkey Escape\n" + expectPixel(kA, newAt(40, 50)) + menus +
               "expect log [False]\n"
               // With no transition running, Escape brings them up.
               "key Escape\n" +
               menus + "expect log [True]\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
