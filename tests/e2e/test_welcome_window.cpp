// The welcome window in whole runs: its captions in each wording, schemes that dress it, the
// offer to switch the display, and the questions before an address is opened.

#include "data/scheme_file.h"
#include "data/ui_texts.h"
#include "e2e_harness.h"
#include "platform/core/settings_store.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The window's own colour. Its design centres the start button at (240, 230), the exit button
// at (240, 310), and the logo at (414, 375).
const QString kDesignBackground = "18243A";

QImage solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Eight pixels square: a blue left half and a yellow right half.
QImage halvesTile() {
    QImage image = solid({8, 8}, 0x0000FF);
    QPainter(&image).fillRect(4, 0, 4, 8, QColor(0xFFFF00));
    return image;
}

TestProject welcomingGame() {
    TestProject p;
    p.settings().SkipWelcomeScreen = false;
    p.writeFrame("Start", colourFrame(0x808080));
    return p;
}

// A scheme named `name` with these pictures (written into its folder when given an image) and,
// unless `format` is 0, colours in that format.
tv::SchemeFile scheme(const QStringList& pictures, qint16 format = 0) {
    tv::SchemeFile s;
    s.Pictures = pictures;
    s.PictureCount = qint16(pictures.size());
    s.ColourFormat = format;
    s.WindowColour = 0xFF00FF; // magenta
    s.TitleColour = 0x0000FF;  // red
    s.TextColour = 0x00FF00;   // green
    s.ButtonColour = 0xFF0000; // blue
    return s;
}

void useScheme(TestProject& p, const QString& name, const tv::SchemeFile& s) {
    p.description().schemes.append({name, s});
    p.settings().SchemeName = name;
}

QString settingsFile(const TestProject& p) {
    return p.root() + "/../config/torvane-player/settings.ini";
}

} // namespace

TEST(WelcomeWindow, CaptionsComeInEitherWordingAndTheTextsFileOverridesThem) {
    TestProject p = welcomingGame();
    p.settings().Author = "Jane";
    // Without a "Texts" file: the program wording.
    RunResult r = p.play("button Created By:\n"
                         "button Start\n"
                         "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    p.description().texts = tv::TextsFile{1, {}, {}};
    // The load button opens the load dialog, which Cancel closes again.
    r = p.play("button Load Game...\n"
               "expect log window frmLoadGame|Load a previously saved game\n"
               "button Cancel\n"
               "button Start New Game\n"
               "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // A pair without its value is left out.
    p.settings().Author.clear();
    r = p.play("button Created By:\n");
    EXPECT_EQ(r.exitCode, 1) << show(r);
    // So is the load button when the game cannot load.
    p.settings().DisableLoadGame = true;
    r = p.play("button Load Game...\n");
    EXPECT_EQ(r.exitCode, 1) << show(r);

    // Overrides replace the first entries and keep the program wording for the rest.
    tv::TextsFile texts;
    texts.mode = 2;
    texts.overrides = {"Begin", "Continue", "Leave"};
    p.description().texts = texts;
    p.settings().Author = "Jane";
    r = p.play("button Created By:\n"
               "button Leave\n"
               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // A broken file says so and falls back to the program wording.
    p.description().texts.reset();
    p.writeFile("Config/Texts", "2,0,0,0,0,0,\"three\"\r\n");
    r = p.play("expect log msgbox Error|Unable to load text.|OK\n"
               "expect log window frmWelcome|Test Game\n"
               "button Exit\n"
               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(WelcomeWindow, SchemePicturesAreTheButtonsAndTheTileCoversTheWindow) {
    TestProject p = welcomingGame();
    p.writeImage("Schemes/Blue/start.png", solid({100, 30}, 0xE01010), "PNG");
    p.writeImage("Schemes/Blue/exit.png", solid({100, 30}, 0x10E010), "PNG");
    p.writeImage("Schemes/Blue/tile.png", halvesTile(), "PNG");
    useScheme(p, "Blue", scheme({"start.png", "[NONE]", "exit.png", "tile.png"}, 4));
    p.description().texts = tv::TextsFile{1, {}, {}}; // captions without leading spaces
    // The tile from the top-left corner, each half repeating; the window colour is not used
    // under a tile.
    RunResult r = p.play("expect pixel 1 1 0000FF\n"
                         "expect pixel 5 1 FFFF00\n"
                         "expect pixel 9 397 0000FF\n"
                         "expect pixel 477 200 FFFF00\n"
                         "expect pixel 240 230 E01010\n"
                         "expect pixel 240 310 10E010\n"
                         // The load button has no picture: its label stays.
                         "button Load Game...\n"
                         "button Cancel\n"
                         "click 240 230\n"
                         "expect frame Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    r = p.play("button Start New Game\n");
    EXPECT_EQ(r.exitCode, 1) << show(r);
    EXPECT_TRUE(r.errors.contains("there is no button Start New Game")) << show(r);
    r = p.play("click 240 310\n"
               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    r = p.play("key Escape\n"
               "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(WelcomeWindow, NoPictureNamesInAnyCaseAndColourlessSchemesKeepTheDesign) {
    TestProject p = welcomingGame();
    useScheme(p, "Plain", scheme({"[NoNe]", "[DEFAULT]", "[none]", "[None]"}));
    QString walk = QString("expect pixel 5 200 %1\n").arg(kDesignBackground) +
                   "button Start\n"
                   "expect frame Start\n";
    RunResult r = p.play(walk);
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // With colours and no tile the window takes its colour.
    p.description().schemes.clear();
    useScheme(p, "Plain", scheme({"[none]"}, 3));
    r = p.play("expect pixel 5 200 FF00FF\n"
               "button Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(WelcomeWindow, BrokenAndRefusedSchemesKeepWhatTheyApplied) {
    TestProject p = welcomingGame();
    // The window colour is read and applied; the title colour is not a number.
    p.writeImage("Schemes/Bad/start.png", solid({100, 30}, 0xE01010), "PNG");
    p.writeFile("Schemes/Bad/Scheme.txt",
                "1,2,3,4,\"start.png\",\"[none]\",\"[none]\",\"[none]\",3,16711680,\"red\"\r\n");
    p.settings().SchemeName = "Bad";
    RunResult r = p.play("expect pixel 5 200 0000FF\n"
                         "expect pixel 240 230 E01010\n"
                         "button Exit\n"
                         "expect log quit\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);

    // A count of 0 refuses the scheme: the design stays, never reported.
    p.writeFile("Schemes/Bad/Scheme.txt", "1,2,3,0,\"start.png\",3,255,255,255\r\n");
    r = p.play(QString("expect pixel 5 200 %1\n").arg(kDesignBackground) + "expect nolog msgbox\n"
                                                                           "button Start\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(WelcomeWindow, TheHideTitleFlagHidesTheGamesName) {
    TestProject p = welcomingGame();
    tv::SchemeFile s = scheme({"[none]"}, 3);
    s.hasTail = true;
    s.HideTitle = tv::RecordValue::ofNumber(1);
    useScheme(p, "NoTitle", s);
    RunResult r = p.play("button Test Game\n");
    EXPECT_EQ(r.exitCode, 1) << show(r);

    p.description().schemes.clear();
    s.HideTitle = tv::RecordValue::ofNumber(0);
    useScheme(p, "NoTitle", s);
    r = p.play("button Test Game\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(WelcomeWindow, TheResolutionChoiceIsKeptForTheNextRun) {
    TestProject p = welcomingGame();
    p.settings().OfferResolutionChange = 1;
    p.settings().DisplayResolution = 0; // the headless screen is larger
    const QString label = "button Change display resolution to 640 x 480\n";
    RunResult r = p.play(label);
    EXPECT_EQ(r.exitCode, 0) << show(r);
    tv::SettingsStore store(settingsFile(p));
    // Ticked by default: the click cleared it.
    EXPECT_EQ(store.get("Software", "E2E", "ChangeResolution"), "0");
    r = p.play(label);
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(store.get("Software", "E2E", "ChangeResolution"), "1");

    // Not offered: no label to click.
    p.settings().OfferResolutionChange = 0;
    r = p.play(label);
    EXPECT_EQ(r.exitCode, 1) << show(r);
}

TEST(WelcomeWindow, AddressesAndTheLogoAskBeforeTheyAreOpened) {
    TestProject p = welcomingGame();
    p.settings().Email = "jane@example.com";
    p.settings().WebSite = "www.example.com";
    const QString mail = "msgbox Test Game|Do you want to open the default mail client to send an "
                         "e-mail to: jane@example.com ?|";
    const QString logo = "msgbox Torvane|For details and downloads, visit: https://torvane.example/"
                         "\\n\\nDo you want to visit it now? (You must be connected to the "
                         "Internet)|";
    const RunResult r = p.play("answer No\n"
                               "button jane@example.com\n"
                               "expect log " +
                               mail +
                               "No\n"
                               "expect nolog open\n"
                               "answer Yes\n"
                               "button jane@example.com\n"
                               "expect log " +
                               mail +
                               "Yes\n"
                               "expect log open mailto:jane@example.com\n"
                               "answer Yes\n"
                               "button www.example.com\n"
                               "expect log msgbox Test Game|Do you want to visit www.example.com ? "
                               "(You must be connected to the Internet)|Yes\n"
                               "expect log open http://www.example.com\n"
                               // The logo in the bottom-right corner.
                               "answer No\n"
                               "click 414 375\n"
                               "expect log " +
                               logo +
                               "No\n"
                               "expect nolog open\n"
                               "answer Yes\n"
                               "click 414 375\n"
                               "expect log open https://torvane.example/\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
