// A staged form: its inner area shown as a fixed-size picture scaled to the window, with the
// pointer and keys still reaching the controls in their own coordinates.

#include "platform/automation.h"
#include "platform/controls.h"
#include "platform/mouse_pointer.h"
#include "platform/tests/qt_app.h"

#include <QApplication>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kBlue = 0x0000FF;

class FormStageTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form_ = std::make_unique<Form>("frmStage");
        form_->setBackColor(toOleColor(QColor::fromRgb(kBlue)));
        // A 40 x 30 picture; a red 10 x 10 box at (20, 10) records the clicks it gets.
        form_->setStageSize(QSize(40, 30));
        box_ = new PictureBox(form_.get(), "Box");
        box_->setBackColor(toOleColor(QColor::fromRgb(kRed)));
        box_->Move(20 * 15, 10 * 15, 10 * 15, 10 * 15);
        QObject::connect(box_, &Control::MouseDown, [this](int, int, double x, double y) {
            pressedAt_ = QPointF(x / 15, y / 15);
        });
        form_->Show();
    }

    void resizeWindow(int width, int height) {
        form_->widget()->resize(width, height);
        QApplication::processEvents();
    }
    qint64 at(int x, int y) { return automation::pixel(*form_, x, y); }

    std::unique_ptr<Form> form_;
    PictureBox* box_ = nullptr;
    QPointF pressedAt_{-1, -1};
};

TEST_F(FormStageTest, ThePictureKeepsItsAspectWithBarsAndWholeFactorsStaySharp) {
    EXPECT_EQ(form_->stageSize(), QSize(40, 30));
    EXPECT_DOUBLE_EQ(form_->scaleWidth(), 40 * 15); // the controls' world does not change

    // Twice as wide and tall: a factor of 2, no bars, each pixel a 2 x 2 block.
    resizeWindow(80, 60);
    EXPECT_DOUBLE_EQ(form_->stageScale(), 2.0);
    EXPECT_EQ(form_->stageRect(), QRect(0, 0, 80, 60));
    EXPECT_EQ(at(39, 19), kBlue);
    EXPECT_EQ(at(40, 20), kRed);
    EXPECT_EQ(at(59, 39), kRed);
    EXPECT_EQ(at(60, 40), kBlue);

    // Wider than the picture's shape: black bars at the sides, the picture centred.
    resizeWindow(120, 60);
    EXPECT_EQ(form_->stageRect(), QRect(20, 0, 80, 60));
    EXPECT_EQ(at(10, 30), 0x000000);
    EXPECT_EQ(at(110, 30), 0x000000);
    EXPECT_EQ(at(21, 1), kBlue);
    EXPECT_EQ(at(61, 21), kRed);

    // Pictures: stripes of red and blue one pixel wide stay pure at a whole factor and blend at
    // 1.5, where nearest pixels would give uneven stripes.
    QImage stripes(10, 10, QImage::Format_RGB32);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            stripes.setPixel(x, y, 0xFF000000 | (x % 2 ? kBlue : kRed));
    box_->setPicture(Picture(stripes));
    auto blends = [this](int from, int to) {
        bool blended = false;
        for (int x = from; x < to; ++x) {
            const qint64 c = at(x, 25);
            blended = blended || (c != kRed && c != kBlue);
        }
        return blended;
    };
    resizeWindow(80, 60);
    EXPECT_FALSE(blends(40, 60));
    resizeWindow(60, 45);
    EXPECT_DOUBLE_EQ(form_->stageScale(), 1.5);
    EXPECT_TRUE(blends(30, 45));

    // The controls' own pictures are not scaled.
    EXPECT_EQ(automation::pixel(*box_, 0, 0), kRed);
    EXPECT_EQ(automation::pixel(*box_, 10, 0), -1);
}

TEST_F(FormStageTest, ClicksOnTheWindowReachControlsInTheirOwnCoordinates) {
    resizeWindow(160, 60); // a factor of 2, bars of 40 pixels
    automation::click(*form_, 40 + 2 * 23, 2 * 14, false);
    EXPECT_NEAR(pressedAt_.x(), 3, 0.5);
    EXPECT_NEAR(pressedAt_.y(), 4, 0.5);
    pressedAt_ = {-1, -1};
    automation::click(*form_, 10, 30, false); // the bar: nothing
    EXPECT_EQ(pressedAt_, QPointF(-1, -1));
    // A click given in the picture's own pixels reaches the box as before.
    automation::click(*box_, 5, 6, false);
    EXPECT_NEAR(pressedAt_.x(), 5, 0.5);
    EXPECT_NEAR(pressedAt_.y(), 6, 0.5);
}

TEST_F(FormStageTest, ThePointerOverAControlInThePictureTakesItsShape) {
    resizeWindow(80, 60);
    box_->setMousePointer(pointer::Cross);
    auto* view = form_->widget()->findChild<QGraphicsView*>();
    ASSERT_NE(view, nullptr);
    automation::move(*form_, 50, 30); // over the box
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::CrossCursor);
    automation::move(*form_, 5, 5); // over the form
    EXPECT_NE(view->viewport()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(FormStageTest, KeysReachTheFormOnceAndTextFieldsInThePicture) {
    int downs = 0;
    QObject::connect(form_.get(), &Form::KeyDown, [&downs](int, int) { ++downs; });
    automation::key(*form_, "F5", false, false, false);
    EXPECT_EQ(downs, 1);

    // A list and a text field inside the picture, reached by the walkthrough's select and type.
    form_->setStageSize(QSize(200, 150));
    auto* list = new QListWidget;
    list->addItems({"Slot 1", "Slot 2"});
    new WidgetControl(form_.get(), "List", list);
    list->setGeometry(0, 0, 200, 100);
    auto* field = new QLineEdit;
    new WidgetControl(form_.get(), "Field", field);
    field->setGeometry(0, 100, 200, 20);
    QApplication::processEvents();
    int clicked = -1;
    QObject::connect(list, &QListWidget::clicked,
                     [&clicked](const QModelIndex& index) { clicked = index.row(); });
    EXPECT_TRUE(automation::selectEntry(*form_, "Slot 2"));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(clicked, 1);
    EXPECT_FALSE(automation::selectEntry(*form_, "Slot 3"));

    EXPECT_TRUE(automation::typeText(*form_, "Hall 2"));
    EXPECT_EQ(field->text(), "Hall 2");
}

} // namespace
} // namespace tv
