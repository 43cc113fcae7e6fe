// The welcome window on its own, with a stand-in for the game: what its start button does
// before the game, the window's place above others, and moving it by its background.

#include "data/project.h"
#include "platform/automation.h"
#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/tests/qt_app.h"
#include "shell/welcome.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tv {
namespace {

class FakeGame : public GameSession {
public:
    explicit FakeGame(std::vector<QString>& calls) : calls_(calls) {}
    void ResetAll() override { calls_.push_back("ResetAll"); }
    void StartNewGame() override { calls_.push_back("StartNewGame"); }
    void show() override { calls_.push_back("show"); }
    void setUnloadedHandler(std::function<void()>) override {}
    void showLoadGameWindowFromWelcome() override {
        calls_.push_back(QString("load dialog, offer ticked %1").arg(resolutionTicked_()));
        hideWelcome_();
    }
    void setWelcomeLink(std::function<bool()> resolutionTicked,
                        std::function<void()> hide) override {
        resolutionTicked_ = std::move(resolutionTicked);
        hideWelcome_ = std::move(hide);
    }

private:
    std::vector<QString>& calls_;
    std::function<bool()> resolutionTicked_;
    std::function<void()> hideWelcome_;
};

class WelcomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
        DialogService::instance().setAutomated(true);
        settings_.ProjectName = "WelcomeUnit";
        settings_.GameTitle = "Unit Game";
        settings_.Email = "jane@example.com";
        settings_.OfferResolutionChange = 1;
        settings_.DisplayResolution = 0; // 640 x 480, which the offscreen screen has not
    }

    Welcome& start() {
        const QString root = dir_.filePath("Game");
        QDir().mkpath(root + "/Config");
        settings_.save(root + "/Config/General");
        welcome_ = std::make_unique<Welcome>(
            root, [this] { return std::make_unique<FakeGame>(calls_); }, [this] { ended_ = true; });
        welcome_->setChangeResolution([this](int choice) {
            calls_.push_back(QString("display %1").arg(choice));
            // The display changes with the welcome window out of the way.
            EXPECT_FALSE(welcome_->window().isVisible());
        });
        welcome_->load();
        return *welcome_;
    }

    CheckBox& offer() { return *welcome_->window().findChildren<CheckBox*>().at(0); }

    QTemporaryDir dir_;
    ProjectSettings settings_;
    std::unique_ptr<Welcome> welcome_;
    std::vector<QString> calls_;
    bool ended_ = false;
};

TEST_F(WelcomeTest, StartSwitchesTheDisplayFirstWhenTheOfferIsTicked) {
    Welcome& w = start();
    ASSERT_TRUE(offer().isVisible());
    EXPECT_EQ(offer().value(), 1); // nothing stored yet
    w.ClickButton(0);
    EXPECT_EQ(calls_, (std::vector<QString>{"display 1", "ResetAll", "StartNewGame", "show"}));
    EXPECT_FALSE(w.window().isVisible());
    EXPECT_FALSE(ended_);
}

TEST_F(WelcomeTest, LoadOpensTheGamesLoadDialogWhichKnowsTheOfferAndCanHideTheWindow) {
    Welcome& w = start();
    w.ClickButton(1);
    EXPECT_EQ(calls_, std::vector<QString>{"load dialog, offer ticked 1"});
    EXPECT_FALSE(w.window().isVisible());
    EXPECT_FALSE(ended_);

    calls_.clear();
    start();
    offer().setValue(0);
    welcome_->ClickButton(1);
    EXPECT_EQ(calls_, std::vector<QString>{"load dialog, offer ticked 0"});
}

TEST_F(WelcomeTest, NoSwitchWhenTheOfferIsClearedOrNotMade) {
    start();
    offer().setValue(0);
    welcome_->ClickButton(0);
    EXPECT_EQ(calls_.front(), "ResetAll");

    calls_.clear();
    settings_.DisplayResolution = 2;
    settings_.OfferResolutionChange = 0;
    start();
    EXPECT_FALSE(offer().isVisible());
    welcome_->ClickButton(0);
    EXPECT_EQ(calls_.front(), "ResetAll");
}

TEST_F(WelcomeTest, ItStaysOnTopUnlessThePlayerGoesToAnAddress) {
    Welcome& w = start();
    EXPECT_TRUE(w.window().isTopmost());
    DialogService::instance().queueAnswer("No");
    ASSERT_TRUE(automation::pressButton(w.window(), "jane@example.com"));
    EXPECT_TRUE(w.window().isTopmost());
    DialogService::instance().queueAnswer("Yes");
    ASSERT_TRUE(automation::pressButton(w.window(), "jane@example.com"));
    EXPECT_FALSE(w.window().isTopmost());
}

TEST_F(WelcomeTest, ItsBackgroundAndNameMoveTheWindowAndItsButtonsDoNot) {
    Welcome& w = start();
    Form& window = w.window();
    const QPoint corner = window.pixelGeometry().topLeft();
    // The background near the top-left corner.
    automation::drag(window, QPoint(6, 6), QPoint(56, 36));
    EXPECT_EQ(window.pixelGeometry().topLeft(), corner + QPoint(50, 30));
    // The game's name.
    Control* name = window.findControl("txtAdventureName");
    ASSERT_NE(name, nullptr);
    const QPoint onName = automation::centreOf(window, *name);
    automation::drag(window, onName, onName + QPoint(-20, 10));
    EXPECT_EQ(window.pixelGeometry().topLeft(), corner + QPoint(30, 40));
    // The load button (which does nothing yet) stays a button.
    Control* load = window.findControl("lblButton", 1);
    ASSERT_NE(load, nullptr);
    const QPoint onLoad = automation::centreOf(window, *load);
    automation::drag(window, onLoad, onLoad + QPoint(30, 30));
    EXPECT_EQ(window.pixelGeometry().topLeft(), corner + QPoint(30, 40));
}

} // namespace
} // namespace tv
