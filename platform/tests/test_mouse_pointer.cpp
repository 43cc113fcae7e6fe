#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/mouse_pointer.h"
#include "platform/screen.h"
#include "platform/tests/qt_app.h"

#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

class MousePointerTest : public ::testing::Test {
protected:
    void SetUp() override { test::app(); }
    void TearDown() override { Screen::instance().setMousePointer(pointer::Default); }

    static Picture solid(QSize size, Picture::Type type, QPoint hotSpot = {-1, -1}) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        return Picture(image, type, hotSpot);
    }
};

TEST_F(MousePointerTest, ClassicNumbersMapToShapes) {
    const std::pair<int, Qt::CursorShape> shapes[] = {
        {pointer::Arrow, Qt::ArrowCursor},
        {pointer::Cross, Qt::CrossCursor},
        {pointer::IBeam, Qt::IBeamCursor},
        {pointer::Size, Qt::SizeAllCursor},
        {pointer::SizeNESW, Qt::SizeBDiagCursor},
        {pointer::SizeNS, Qt::SizeVerCursor},
        {pointer::SizeNWSE, Qt::SizeFDiagCursor},
        {pointer::SizeWE, Qt::SizeHorCursor},
        {pointer::UpArrow, Qt::UpArrowCursor},
        {pointer::Hourglass, Qt::WaitCursor},
        {pointer::NoDrop, Qt::ForbiddenCursor},
        {pointer::ArrowHourglass, Qt::BusyCursor},
        {pointer::ArrowQuestion, Qt::WhatsThisCursor},
        {pointer::SizeAll, Qt::SizeAllCursor},
    };
    for (const auto& [number, shape] : shapes) {
        SCOPED_TRACE(number);
        const auto cursor = cursorForPointer(number);
        ASSERT_TRUE(cursor.has_value());
        EXPECT_EQ(cursor->shape(), shape);
    }
    EXPECT_EQ(cursorForPointer(pointer::Icon)->shape(), Qt::BitmapCursor);
    EXPECT_FALSE(cursorForPointer(pointer::Default).has_value());
    // Custom without an icon is the default too.
    EXPECT_FALSE(cursorForPointer(pointer::Custom).has_value());
}

TEST_F(MousePointerTest, UnknownNumbersAreInvalidPropertyValues) {
    for (int number : {-1, 16, 98, 100}) {
        SCOPED_TRACE(number);
        EXPECT_FALSE(isValidMousePointer(number));
        try {
            checkMousePointer(number);
            FAIL();
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), err::InvalidPropertyValue);
        }
    }
    EXPECT_THROW(Screen::instance().setMousePointer(16), VbError);
    EXPECT_EQ(Screen::instance().mousePointer(), pointer::Default);
}

TEST_F(MousePointerTest, CustomCursorHotSpots) {
    EXPECT_EQ(cursorFromPicture(solid({32, 32}, Picture::Icon, {5, 9})).hotSpot(), QPoint(5, 9));
    // An icon is held at its centre, any other picture at its corner.
    EXPECT_EQ(cursorFromPicture(solid({32, 32}, Picture::Icon)).hotSpot(), QPoint(16, 16));
    EXPECT_EQ(cursorFromPicture(solid({20, 10}, Picture::Bitmap)).hotSpot(), QPoint(0, 0));
    const auto cursor = cursorForPointer(pointer::Custom, solid({32, 32}, Picture::Icon, {3, 4}));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor->hotSpot(), QPoint(3, 4));
    EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32));
}

TEST_F(MousePointerTest, ControlPointerFollowsNumberAndIcon) {
    auto form = std::make_unique<Form>("frmTest");
    auto* box = new PictureBox(form.get(), "Box");
    auto* image = new ImageBox(box, "Image");

    image->setMousePointer(pointer::Hourglass);
    EXPECT_EQ(image->widget()->cursor().shape(), Qt::WaitCursor);
    // 0 leaves the widget without a cursor of its own: it shows its container's.
    image->setMousePointer(pointer::Default);
    EXPECT_FALSE(image->widget()->testAttribute(Qt::WA_SetCursor));

    image->setMousePointer(pointer::Custom);
    EXPECT_FALSE(image->widget()->testAttribute(Qt::WA_SetCursor));
    image->setMouseIcon(solid({32, 32}, Picture::Icon, {7, 2}));
    EXPECT_EQ(image->widget()->cursor().hotSpot(), QPoint(7, 2));

    // A container's pointer covers its inner area too.
    box->setMousePointer(pointer::Cross);
    EXPECT_EQ(box->clientWidget()->cursor().shape(), Qt::CrossCursor);
    EXPECT_THROW(box->setMousePointer(42), VbError);
    EXPECT_EQ(box->mousePointer(), pointer::Cross);
}

TEST_F(MousePointerTest, ScreenPointerOverridesEverythingUntilReset) {
    Screen& screen = Screen::instance();
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    setScreenPointer(pointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Changing it replaces the override rather than stacking another.
    screen.setMousePointer(pointer::ArrowHourglass);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    setScreenPointer(pointer::Custom, solid({16, 16}, Picture::Icon, {1, 1}));
    EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(1, 1));
    screen.setMousePointer(pointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(screen.property("MousePointer").toInt(), pointer::Default);
    EXPECT_EQ(screen.property("TwipsPerPixelX").toInt(), 15);
    EXPECT_GT(screen.width(), 0);
}

} // namespace
} // namespace tv
