#include "data/action_record.h"
#include "data/frame_record.h"
#include "data/hotspot_record.h"
#include "data/project.h"
#include "engine/game.h"
#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/event_loop.h"
#include "platform/tests/qt_app.h"
#include "script/variables.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
HotspotRecord hotspot(int index, double left, double top, double width, double height) {
    HotspotRecord r;
    r.Index = static_cast<qint16>(index);
    r.Left = RecordValue::ofNumber(left);
    r.Top = RecordValue::ofNumber(top);
    r.Width = RecordValue::ofNumber(width);
    r.Height = RecordValue::ofNumber(height);
    return r;
}

ActionRecord toggle(const QString& variable) {
    ActionRecord r;
    r.ChangeVariable = 1;
    r.VariableName = variable;
    r.Toggle = RecordValue::ofBool(true);
    return r;
}

struct GameTest : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<Game> game;

    void SetUp() override {
        test::app();
        Clock::instance().setMode(Clock::Mode::Virtual);
        DialogService::instance().setAutomated(true);
        for (const char* sub : {"Frames", "FramesData", "Config"})
            QDir(dir.path()).mkpath(sub);
        Project& p = project();
        p.folders = ProjectFolders();
        p.folders.setRoot(dir.path());
        p.settings = ProjectSettings();
        p.settings.ProjectWidth = 200;
        p.settings.ProjectHeight = 100;
        p.settings.MenusAlwaysVisible = true;
        GameVariables::writeVariablesFile(p.folders.ConfigFolder + "Variables", {"Lamp"});
        FrameRecord start;
        writeFrameRecord(start, p.folders.FramesFolder + "Start.fme");
    }
    void TearDown() override { game.reset(); }

    void open(const QString& hotspotFile, const QList<HotspotRecord>& hotspots) {
        writeHotspotFile(project().folders.FramesDataFolder + hotspotFile, hotspots);
        writeActionFile(project().folders.FramesDataFolder + "Start.fm3",
                        QList<ActionRecord>(hotspots.size(), toggle("Lamp")));
        game = std::make_unique<Game>();
        game->ResetAll();
        game->OpenFrame("Start");
    }
};
} // namespace

TEST_F(GameTest, MergedHotspotFilesRestartTheirIndexes) {
    QList<HotspotRecord> records;
    for (int index : {1, 2, 3, 1, 2})
        records.append(hotspot(index, 0, 0, 300, 300));
    open("Start.mr2", records);
    EXPECT_EQ(game->hotspots.mergedIndex(), 4);
    EXPECT_EQ(game->hotspots.Area().count(), 6) << "the template and five hotspots";
}

TEST_F(GameTest, HotspotsSitTwoPixelsInsideTheirRectangleAndNeverVanish) {
    open("Start.fm2", {hotspot(1, 150, 300, 600, 450), hotspot(2, 15, 15, 60, 60)});
    ImageBox& big = game->hotspots.Area()(1);
    EXPECT_EQ(big.left(), 180);
    EXPECT_EQ(big.top(), 330);
    EXPECT_EQ(big.width(), 540);
    EXPECT_EQ(big.height(), 390);
    ImageBox& tiny = game->hotspots.Area()(2);
    EXPECT_EQ(tiny.left(), 45);
    // 60 x 60 becomes one twip square, less than a pixel: nothing to see or click.
    EXPECT_LE(tiny.width(), 1);
    EXPECT_LE(tiny.height(), 1);
    EXPECT_TRUE(big.isVisible());
}

TEST_F(GameTest, ClickPositionsRoundHalvesToEven) {
    open("Start.fm2", {hotspot(1, 0, 0, 300, 300)});
    game->hotspots.SaveClickPos(7.5 * 15, 8.5 * 15);
    EXPECT_EQ(game->hotspots.clickPosition(), QPoint(8, 8));
    game->hotspots.SaveClickPos(6.5 * 15, 9.49 * 15);
    EXPECT_EQ(game->hotspots.clickPosition(), QPoint(6, 9));
}

TEST_F(GameTest, SimulatedClicksHappenOnceTheScriptIsDone) {
    open("Start.fm2", {hotspot(1, 0, 0, 300, 300)});
    game->actions.SimulateHotspotClick(1);
    game->actions.SimulateHotspotClick(1);
    EXPECT_EQ(game->variables.GetVariableValue("Lamp"), 0) << "nothing happens at once";
    EXPECT_EQ(game->actions.pendingSimulatedClicks(), 2);
    EventLoop::instance().wait(5);
    EXPECT_EQ(game->variables.GetVariableValue("Lamp"), 0) << "two toggles";
    EXPECT_EQ(game->actions.pendingSimulatedClicks(), 0);
    game->actions.SimulateHotspotClick(0); // no hotspot: the timer just goes
    EventLoop::instance().wait(5);
    EXPECT_EQ(game->actions.pendingSimulatedClicks(), 0);
    EXPECT_EQ(game->variables.GetVariableValue("Lamp"), 0);
}
