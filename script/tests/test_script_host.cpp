// The script parts on their own: a small site stands in for the game, so that what the function
// library forwards, and how runs and their failures are reported, can be seen directly.

#include "data/project.h"
#include "data/reports.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/event_log.h"
#include "platform/core/run_flags.h"
#include "platform/tests/qt_app.h"
#include "platform/timer_control.h"
#include "script/saved_games.h"
#include "script/script_host.h"
#include "script/script_site.h"
#include "script/timed_events.h"
#include "script/variables.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {
// Records every operation the scripts ask of the game.
class RecordingSite : public ScriptSite {
public:
    RecordingSite() : window_("Game"), display_(&window_, "PictureBox"), back_(&display_, "Back") {}

    QStringList calls;

    Form& window() override { return window_; }
    PictureBox& pictureBox() override { return display_; }
    ImageBox& BackImage() override { return back_; }
    QObject& hotspotControls() override { return hotspots_; }
    TimerControl& frameTimer() override { return timer_; }
    QString currentFrameName() const override { return "Hall"; }
    void OpenFrame(const QString& frame, bool withTransition, int number, double seconds) override {
        calls
            << QString("open %1 %2 %3 %4").arg(frame).arg(withTransition).arg(number).arg(seconds);
    }
    QString previousFrame() override { return "Cellar"; }
    void prepareTransition(int number) override { calls << QString("transition %1").arg(number); }
    void StartUnloading() override { calls << "unload"; }
    void simulateHotspotClick(int hotspot) override { calls << QString("click %1").arg(hotspot); }
    void updateHotspots() override { calls << "hotspots"; }
    QPoint clickPosition() const override { return {12, 34}; }
    void saveClickPosition(double x, double y) override {
        calls << QString("click position %1 %2").arg(x).arg(y);
    }
    int mergedHotspotIndex() const override { return 3; }
    void executeConsequences() override { calls << "consequences"; }
    void reapplyPointers() override { calls << "pointers"; }
    QObject* presentationObject(const QString&) override { return nullptr; }
    int mergedTextIndex() const override { return 1; }
    void showMessage(const QString& text) override { calls << "message " + text; }
    void stopPresentation() override { calls << "stop presentation"; }
    int inventoryItemCount() const override { return items_.size(); }
    QString inventoryItemName(int item) const override { return items_.value(item - 1); }
    void addInventoryItem(const QString& name, bool) override { items_ << name; }
    void removeInventoryItem(int item) override { items_.removeAt(item - 1); }
    void showInventoryButton(bool shown) override {
        calls << QString("inventory button %1").arg(shown);
    }
    void captureFrame(PictureBox&, bool withoutScreen) override {
        calls << QString("capture %1").arg(withoutScreen);
    }
    void setTransitionDestination(QObject*) override { calls << "destination"; }
    bool transitionsEnabled() const override { return true; }
    bool effectsEnabled() const override { return false; }
    void toggleTransitions() override { calls << "toggle transitions"; }
    void toggleEffects() override { calls << "toggle effects"; }
    void endDialogue() override { calls << "end dialogue"; }
    void showMenus(bool shown) override { calls << QString("menus %1").arg(shown); }
    void changeDisplayResolution(int code) override { calls << QString("resolution %1").arg(code); }
    QStringList pluginProcedures() const override { return {}; }
    QStringList pluginStartupTexts() const override { return {}; }
    void addComponent(const QString& progId, const QString& name, bool, bool) override {
        calls << "component " + progId + " " + name;
    }
    void removeComponent(const QString& name) override { calls << "remove component " + name; }
    QObject* component(const QString&) const override { return nullptr; }
    bool componentExists(const QString& name) const override { return name == "Pano"; }
    bool progIdExists(const QString&) const override { return false; }

    QStringList items_;

private:
    Form window_;
    PictureBox display_;
    ImageBox back_;
    QObject hotspots_;
    TimerControl timer_{"Timer1"};
};

struct Scripts : ::testing::Test {
    void SetUp() override {
        DialogService::instance().setAutomated(true);
        setGameTitle("Lighthouse");
        runFlags() = RunFlags();
    }
    void TearDown() override { runFlags() = RunFlags(); }

    // The log lines written while `code` ran.
    QStringList run(const QString& code) {
        const qsizetype before = EventLog::instance().lines().size();
        failed = host.ExecuteVBScriptAndConsequences(code, true);
        return EventLog::instance().lines().mid(before);
    }

    // Widgets need the application first.
    QApplication& app = test::app();
    RecordingSite site;
    GameVariables variables;
    SavedGames saves;
    ScriptHost host{site, variables, timed, saves};
    TimedEvents timed{site, host};
    bool failed = false;
};
} // namespace

TEST_F(Scripts, TheLibraryForwardsToTheGameAndAskedConsequencesFollow) {
    run("Message \"Hello\"\r\nAddItem \"Key\"\r\nHideMenu\r\nQuitDialogue\r\n"
        "SimulateHotspotClick 2\r\nAddComponent \"A.B\", \"Pano\"");
    EXPECT_FALSE(failed);
    EXPECT_EQ(site.calls,
              (QStringList{"click position 0 0", "message Hello", "menus 0", "end dialogue",
                           "click 2", "component A.B Pano", "consequences"}));
    EXPECT_EQ(site.items_, QStringList{"Key"});

    site.calls.clear();
    run("If GetCurrentFrameName() = \"Hall\" And GetClickPositionX() = 12 And "
        "GetMergedHotspotIndex() = 3 And DoesComponentExist(\"pano\") = False And "
        "DoesComponentExist(\"Pano\") Then GoToFrame \"Cellar\", 1.5, 4");
    EXPECT_EQ(host.VBScriptAction().sFrameToLoad, "Cellar");
    EXPECT_EQ(host.VBScriptAction().iTransitionNumber, 4);
    EXPECT_EQ(site.calls.last(), "consequences");
}

TEST_F(Scripts, InventoryRemovalWorksThroughTheSite) {
    site.items_ = {"Key", "Lamp", "key"};
    run("RemoveItem \"KEY\", True");
    EXPECT_EQ(site.items_, QStringList{"Lamp"});
    site.items_ = {"Key", "Lamp"};
    run("RemoveAllItems");
    EXPECT_TRUE(site.items_.isEmpty());
}

TEST_F(Scripts, StopEverythingStopsTheGameAndNothingRunsAfter) {
    site.frameTimer().setEnabled(true);
    run("StopEverything");
    EXPECT_TRUE(runFlags().quitting);
    EXPECT_FALSE(site.frameTimer().enabled());
    EXPECT_FALSE(site.pictureBox().isVisible());
    EXPECT_TRUE(site.calls.contains("stop presentation"));
    EXPECT_TRUE(site.calls.contains("menus 1"));
    site.calls.clear();
    run("Message \"too late\"");
    EXPECT_FALSE(site.calls.contains("message too late")) << "a quitting game runs no script";
}

TEST_F(Scripts, BoxesTakeTheGameTitleAndFailuresNameWhatFailed) {
    EXPECT_EQ(run("MsgBox \"Hi\""), QStringList{"msgbox Lighthouse|Hi|OK"});
    EXPECT_EQ(run("MsgBox \"Hi\", 0, \"Own\""), QStringList{"msgbox Own|Hi|OK"});
    site.calls.clear();
    const QStringList lines = run("NoSuchProcedure 1");
    EXPECT_TRUE(failed);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("'nosuchprocedure'", Qt::CaseInsensitive))
        << lines[0].toStdString();
    EXPECT_FALSE(site.calls.contains("consequences")) << "a failed run asks for nothing";
}
