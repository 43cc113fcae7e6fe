#include "platform/controls.h"
#include "platform/menu.h"
#include "platform/tests/qt_app.h"

#include <QMenuBar>
#include <gtest/gtest.h>

namespace tv {
namespace {

TEST(Menus, TheBarShowsWhileAMenuIsVisibleAndChecksAreTheProgramsToSet) {
    test::app();
    Form form("frmMenus");
    form.setInnerSize(300 * 15, 200 * 15);
    auto* file = new MenuItem(form, "mnuFile", "&File");
    auto* options = new MenuItem(form, "mnuOptions", "Options");
    auto* fast = new MenuItem(*options, "mnuFast", "Fast");
    form.Show();
    ASSERT_NE(form.menuBar(), nullptr);
    EXPECT_TRUE(form.menuBar()->isVisible());
    const double fullHeight = 200 * 15;
    EXPECT_LT(form.scaleHeight(), fullHeight);

    // No visible menu, no bar: the inner area gets the room back.
    file->setVisible(false);
    options->setVisible(false);
    EXPECT_FALSE(form.menuBar()->isVisible());
    EXPECT_DOUBLE_EQ(form.scaleHeight(), fullHeight);
    options->setVisible(true);
    EXPECT_TRUE(form.menuBar()->isVisible());

    // Choosing an item gives its Click and leaves its mark alone; the program sets it.
    test::SignalSpy fastClicks(fast, &MenuItem::Click);
    QObject::connect(fast, &MenuItem::Click, fast,
                     [fast] { fast->setChecked(!fast->isChecked()); });
    fast->choose();
    EXPECT_EQ(fastClicks.count(), 1);
    EXPECT_TRUE(fast->isChecked());
    fast->choose();
    EXPECT_FALSE(fast->isChecked());
    fast->setEnabled(false);
    fast->choose();
    EXPECT_EQ(fastClicks.count(), 2);

    // A menu with items opens instead, and its opening is its Click.
    test::SignalSpy optionClicks(options, &MenuItem::Click);
    EXPECT_TRUE(options->hasItems());
    options->choose();
    EXPECT_EQ(optionClicks.count(), 1);
    EXPECT_TRUE(options->isOpen());
    options->close();
    EXPECT_FALSE(options->isOpen());
    EXPECT_EQ(fast->parentItem(), options);
    EXPECT_EQ(options->property("Caption").toString(), "Options");
}

} // namespace
} // namespace tv
