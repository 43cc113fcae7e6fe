// Check boxes, and forms that stay on top or are moved by a press on their background.

#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/tests/qt_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form_ = std::make_unique<Form>("frmTest");
        form_->setInnerSize(200 * 15, 100 * 15);
        box_ = new CheckBox(form_.get(), "chkTest");
        box_->Move(10 * 15, 10 * 15, 120 * 15, 20 * 15);
        box_->setCaption("Sound");
        form_->Show();
        QApplication::processEvents();
    }

    QWidget* window() const { return form_->widget(); }
    QPoint inBox() const { return box_->widget()->mapTo(window(), QPoint(5, 10)); }
    // The middle of the tick's stroke, in the box's pixels.
    QRgb tickPixel() const { return box_->grab().pixel(6, 12); }

    std::unique_ptr<Form> form_;
    CheckBox* box_ = nullptr;
};

TEST_F(CheckBoxTest, ClicksTickAndClearAndEveryChangeRaisesClick) {
    std::vector<int> seen;
    QObject::connect(box_, &Control::Click, [&] { seen.push_back(box_->value()); });
    test::click(window(), inBox());
    test::click(window(), inBox());
    // A greyed box is ticked by a click.
    box_->setValue(2);
    test::click(window(), inBox());
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 2, 1}));
    // Code that sets the value it already has raises nothing.
    box_->setValue(1);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_THROW(box_->setValue(3), VbError);
    EXPECT_THROW(box_->setValue(-1), VbError);
    EXPECT_EQ(box_->value(), 1);
    // A press that is let go elsewhere changes nothing; nor does the right button.
    test::mouse(window(), QEvent::MouseButtonPress, inBox());
    test::mouse(window(), QEvent::MouseButtonRelease, QPoint(190, 90));
    test::click(window(), inBox(), Qt::RightButton);
    EXPECT_EQ(box_->value(), 1);
    // A quick second click is a second click.
    test::mouse(window(), QEvent::MouseButtonPress, inBox());
    test::mouse(window(), QEvent::MouseButtonRelease, inBox());
    test::mouse(window(), QEvent::MouseButtonDblClick, inBox());
    test::mouse(window(), QEvent::MouseButtonRelease, inBox());
    EXPECT_EQ(box_->value(), 1);
    EXPECT_EQ(seen.size(), 6u);
}

TEST_F(CheckBoxTest, TheTickIsBlackGreyWhenGreyedAndAbsentWhenClear) {
    EXPECT_EQ(tickPixel() & 0xFFFFFF, 0xFFFFFFu);
    box_->setValue(1);
    EXPECT_EQ(tickPixel() & 0xFFFFFF, 0x000000u);
    box_->setValue(2);
    const QRgb grey = tickPixel();
    EXPECT_NE(grey & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(qRed(grey), qGreen(grey));
    // The box stands at the right end when asked, leaving the left to the back colour.
    box_->setCaption({});
    box_->setBackColor(0x0000FF);
    box_->setAlignment(1);
    EXPECT_EQ(box_->grab().pixel(6, 12) & 0xFFFFFF, 0xFF0000u);
    EXPECT_THROW(box_->setAlignment(2), VbError);
}

TEST_F(CheckBoxTest, AFormStaysOnTopWithoutLeavingTheScreen) {
    EXPECT_FALSE(form_->isTopmost());
    form_->setTopmost(true);
    EXPECT_TRUE(form_->isTopmost());
    EXPECT_TRUE(form_->isVisible());
    form_->setTopmost(false);
    EXPECT_FALSE(form_->isTopmost());
    EXPECT_TRUE(form_->isVisible());
    // A window not shown yet takes the flag for when it shows.
    Form hidden("frmHidden");
    hidden.setTopmost(true);
    hidden.Show();
    EXPECT_TRUE(hidden.isTopmost());
}

TEST_F(CheckBoxTest, AMovedFormFollowsThePointerUntilTheButtonIsLetGo) {
    // The offscreen platform moves no windows itself: the form does. The grabbed point is one of
    // the inner area, below the frame's edge and title.
    form_->setPixelGeometry(QRect(100, 100, 200, 100));
    QObject::connect(form_.get(), &Control::MouseDown, [&](int, int, double x, double y) {
        form_->startMove(QPoint(int(x / 15), int(y / 15)));
    });
    const QPoint grabbed(150, 60);
    test::mouse(window(), QEvent::MouseButtonPress, grabbed);
    test::mouse(window(), QEvent::MouseMove, grabbed + QPoint(30, 20), Qt::NoButton, Qt::NoModifier,
                Qt::LeftButton);
    EXPECT_EQ(form_->pixelGeometry().topLeft(), QPoint(130, 120));
    test::mouse(window(), QEvent::MouseMove, grabbed + QPoint(-10, 5), Qt::NoButton, Qt::NoModifier,
                Qt::LeftButton);
    EXPECT_EQ(form_->pixelGeometry().topLeft(), QPoint(120, 125));
    test::mouse(window(), QEvent::MouseButtonRelease, grabbed);
    QApplication::processEvents();
    // Once let go, the pointer moves alone.
    test::mouse(window(), QEvent::MouseMove, grabbed + QPoint(40, 40), Qt::NoButton, Qt::NoModifier,
                Qt::NoButton);
    EXPECT_EQ(form_->pixelGeometry().topLeft(), QPoint(120, 125));
}

} // namespace
} // namespace tv
