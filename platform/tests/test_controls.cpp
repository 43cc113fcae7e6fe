#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/tests/qt_app.h"

#include <QCursor>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kWhite = 0xFFFFFFFF;

Picture solid(QSize size, QRgb color) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return Picture(image);
}

// Four quadrants: red, green / blue, white.
Picture quadrants(int half) {
    QImage image(2 * half, 2 * half, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, half, half, QColor::fromRgb(kRed));
    painter.fillRect(half, 0, half, half, QColor::fromRgb(kGreen));
    painter.fillRect(0, half, half, half, QColor::fromRgb(kBlue));
    painter.fillRect(half, half, half, half, QColor::fromRgb(kWhite));
    return Picture(image);
}

quint32 ole(QRgb rgb) {
    return toOleColor(QColor::fromRgb(rgb));
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form_ = std::make_unique<Form>("frmTest");
        form_->setInnerSize(400 * 15, 300 * 15);
        box_ = new PictureBox(form_.get(), "Box");
        box_->Move(0, 0, 200 * 15, 100 * 15);
    }

    QWidget* window() const { return form_->widget(); }

    void show() {
        form_->Show();
        QApplication::processEvents();
    }

    std::unique_ptr<Form> form_;
    PictureBox* box_ = nullptr;
};

TEST_F(ControlsTest, ColoursAreBgrNumbers) {
    EXPECT_EQ(fromOleColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(fromOleColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(toOleColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(fromOleColor(0x8000000F), QColor(0xD4, 0xD0, 0xC8)); // button face
    EXPECT_EQ(fromOleColor(0x80000005), QColor(Qt::white));        // window background
    EXPECT_EQ(fromOleColor(0x800000FF), fromOleColor(0x8000000F)); // unknown: button face
}

TEST_F(ControlsTest, GeometryIsInTwipsAndSnapsToPixels) {
    auto* image = new ImageBox(box_, "Image");
    image->Move(150, 300, 450, 600);
    EXPECT_EQ(image->widget()->geometry(), QRect(10, 20, 30, 40));
    EXPECT_DOUBLE_EQ(image->left(), 150);
    EXPECT_DOUBLE_EQ(image->property("Height").toDouble(), 600);

    image->setLeft(100); // 6.67 pixels
    EXPECT_DOUBLE_EQ(image->left(), 105);
    image->Move(30);
    EXPECT_EQ(image->widget()->geometry(), QRect(2, 20, 30, 40));
    image->setProperty("Top", -45);
    EXPECT_EQ(image->widget()->y(), -3);

    EXPECT_THROW(image->setWidth(-15), VbError);
    EXPECT_THROW(image->Move(0, 0, 15, -1), VbError);
    EXPECT_EQ(image->widget()->size(), QSize(30, 40));
}

TEST_F(ControlsTest, ContainerScaleModeDecidesChildUnits) {
    box_->setScaleMode(scale::Pixels);
    auto* image = new ImageBox(box_, "Image");
    image->Move(10, 20, 30, 40);
    EXPECT_EQ(image->widget()->geometry(), QRect(10, 20, 30, 40));
    EXPECT_DOUBLE_EQ(image->width(), 30);
    EXPECT_DOUBLE_EQ(box_->scaleWidth(), 200);
    // The box itself is still measured in its form's twips.
    EXPECT_DOUBLE_EQ(box_->width(), 3000);

    // A frame has no scale of its own.
    auto* frame = new FrameBox(box_, "Frame");
    frame->Move(0, 0, 50, 50);
    auto* inner = new Label(frame, "Inner");
    inner->Move(5, 6, 7, 8);
    EXPECT_EQ(inner->widget()->geometry(), QRect(5, 6, 7, 8));

    EXPECT_THROW(box_->setScaleMode(0), VbError);
    box_->setScaleMode(scale::Inches);
    EXPECT_DOUBLE_EQ(box_->scaleWidth(), 200.0 / 96.0);
}

TEST_F(ControlsTest, FormInnerSizeMenuBarAndWindowState) {
    EXPECT_DOUBLE_EQ(form_->scaleWidth(), 400 * 15);
    EXPECT_DOUBLE_EQ(form_->scaleHeight(), 300 * 15);
    EXPECT_GE(form_->width(), form_->scaleWidth());

    auto* menu = new QMenuBar;
    menu->addMenu(QStringLiteral("File"));
    form_->setMenuBar(menu);
    const int menuHeight = menu->sizeHint().height();
    EXPECT_DOUBLE_EQ(form_->scaleHeight(), (300 - menuHeight) * 15.0);
    form_->setInnerSize(400 * 15, 300 * 15);
    EXPECT_DOUBLE_EQ(form_->scaleHeight(), 300 * 15);
    EXPECT_EQ(form_->clientWidget()->y(), menuHeight);
    show();
    menu->hide();
    EXPECT_EQ(form_->clientWidget()->y(), 0);

    form_->setProperty("Caption", "Hello ");
    EXPECT_EQ(window()->windowTitle(), QStringLiteral("Hello "));
    EXPECT_THROW(form_->setWindowState(3), VbError);
    form_->setWindowState(2);
    EXPECT_EQ(form_->windowState(), 2);
    form_->setWindowState(0);
    EXPECT_EQ(form_->windowState(), 0);
}

TEST_F(ControlsTest, FormLoadShowAndUnloadCycle) {
    test::SignalSpy loads(form_.get(), &Form::Load);
    int refuse = 1;
    int lastMode = -1;
    QObject::connect(form_.get(), &Form::QueryUnload, [&](int& cancel, int mode) {
        lastMode = mode;
        cancel = refuse;
    });
    show();
    form_->Show();
    EXPECT_EQ(loads.count(), 1);
    EXPECT_TRUE(form_->isVisible());

    // The user closing the window asks first; a refusal keeps it.
    EXPECT_FALSE(window()->close());
    EXPECT_EQ(lastMode, 0);
    EXPECT_TRUE(form_->isLoaded());
    EXPECT_TRUE(form_->isVisible());

    refuse = 0;
    test::SignalSpy unloads(form_.get(), &Form::Unload);
    EXPECT_TRUE(form_->unload());
    EXPECT_EQ(lastMode, 1);
    EXPECT_EQ(unloads.count(), 1);
    EXPECT_FALSE(form_->isLoaded());
    EXPECT_FALSE(form_->isVisible());
    form_->Show();
    EXPECT_EQ(loads.count(), 2);
}

TEST_F(ControlsTest, PictureBoxPaintsBackColourPictureDrawingThenChildren) {
    box_->setScaleMode(scale::Pixels);
    box_->Move(0, 0, 40 * 15, 40 * 15);
    box_->setBackColor(ole(kRed));
    box_->setPicture(solid({20, 20}, kBlue));
    box_->PaintPicture(solid({5, 5}, kGreen), 15, 15);
    auto* child = new ImageBox(box_, "Child");
    child->setPicture(solid({4, 4}, kWhite));
    child->Move(16, 16);

    const QImage shot = box_->grab();
    ASSERT_EQ(shot.size(), QSize(40, 40));
    EXPECT_EQ(shot.pixel(30, 30), kRed);   // back colour
    EXPECT_EQ(shot.pixel(5, 5), kBlue);    // picture at 0, 0
    EXPECT_EQ(shot.pixel(15, 15), kGreen); // drawing over the picture
    EXPECT_EQ(shot.pixel(22, 22), kRed);   // the drawing is transparent elsewhere
    EXPECT_EQ(shot.pixel(17, 17), kWhite); // child control over everything

    // Image is the persistent drawing without the children.
    const QImage image = box_->image().image();
    EXPECT_EQ(image.pixel(17, 17), kGreen);
    EXPECT_EQ(image.pixel(30, 30), kRed);
}

TEST_F(ControlsTest, ClsAndBackColourClearTheDrawingButKeepThePicture) {
    box_->setScaleMode(scale::Pixels);
    box_->setBackColor(ole(kRed));
    box_->setPicture(solid({10, 10}, kBlue));
    box_->PaintPicture(solid({10, 10}, kGreen), 50, 50);
    box_->setCurrentX(7);
    box_->Cls();
    EXPECT_EQ(box_->currentX(), 0);
    QImage shot = box_->grab();
    EXPECT_EQ(shot.pixel(55, 55), kRed);
    EXPECT_EQ(shot.pixel(5, 5), kBlue);

    box_->PaintPicture(solid({10, 10}, kGreen), 50, 50);
    box_->setBackColor(ole(kYellow));
    shot = box_->grab();
    EXPECT_EQ(shot.pixel(55, 55), kYellow);
    EXPECT_EQ(shot.pixel(5, 5), kBlue);
}

TEST_F(ControlsTest, PaintPictureTilesStretchesAndCrops) {
    box_->setBackColor(ole(kYellow));
    // Tiling as the frame opening does it, in twips.
    const Picture tile = quadrants(5);
    for (int x = 0; x <= 200 * 15; x += 10 * 15)
        for (int y = 0; y <= 100 * 15; y += 10 * 15)
            box_->PaintPicture(tile, x, y);
    QImage shot = box_->grab();
    EXPECT_EQ(shot.pixel(191, 91), kRed);
    EXPECT_EQ(shot.pixel(197, 91), kGreen);
    EXPECT_EQ(shot.pixel(101, 99), kBlue);
    EXPECT_EQ(shot.pixel(199, 99), kWhite);

    box_->Cls();
    box_->setScaleMode(scale::Pixels);
    box_->PaintPicture(tile, 0, 0, 40, 40);                               // stretched to 40 x 40
    box_->PaintPicture(tile, 100, 0, QVariant(), QVariant(), 5, 5, 5, 5); // the white quadrant
    box_->PaintPicture(tile, 150, 0, -10, 10);                            // mirrored sideways
    shot = box_->grab();
    EXPECT_EQ(shot.pixel(19, 19), kRed);
    EXPECT_EQ(shot.pixel(21, 19), kGreen);
    EXPECT_EQ(shot.pixel(39, 39), kWhite);
    EXPECT_EQ(shot.pixel(102, 2), kWhite);
    EXPECT_EQ(shot.pixel(106, 2), kYellow);
    EXPECT_EQ(shot.pixel(141, 1), kGreen);
    EXPECT_EQ(shot.pixel(148, 1), kRed);
    EXPECT_THROW(box_->PaintPicture(Picture(), 0, 0), VbError);
}

TEST_F(ControlsTest, PrintWritesLinesAndMovesTheCurrentPosition) {
    box_->setScaleMode(scale::Pixels);
    box_->setBackColor(ole(kWhite));
    box_->setForeColor(0);
    box_->setFontName("Arial");
    box_->setFontSize(12);
    const double line = box_->TextHeight("X");
    EXPECT_EQ(line, QFontMetrics(box_->font().toQFont()).height());
    box_->setCurrentX(30);
    box_->setCurrentY(10);
    box_->Print("MMMM\r\nMMMM");
    EXPECT_EQ(box_->currentX(), 0);
    EXPECT_DOUBLE_EQ(box_->currentY(), 10 + 2 * line);
    const QImage shot = box_->grab();
    int dark = 0;
    for (int x = 30; x < 30 + box_->TextWidth("MMMM"); ++x)
        for (int y = 10; y < 10 + 2 * line; ++y)
            dark += qGray(shot.pixel(x, y)) < 128;
    EXPECT_GT(dark, 40);
    for (int x = 0; x < 30; ++x)
        for (int y = 0; y < 10 + line; ++y)
            ASSERT_EQ(shot.pixel(x, y), kWhite);
}

TEST_F(ControlsTest, LineAndPSetDrawInForeColourOrTheGivenOne) {
    box_->setScaleMode(scale::Pixels);
    box_->setBackColor(ole(kWhite));
    box_->setForeColor(ole(kRed));
    box_->Line(10, 10, 19, 19, QVariant(), 2);
    box_->Line(30, 10, 39, 19, ole(kBlue), 1);
    box_->PSet(50, 50, ole(kGreen));
    const QImage shot = box_->grab();
    EXPECT_EQ(shot.pixel(10, 10), kRed);
    EXPECT_EQ(shot.pixel(19, 19), kRed);
    EXPECT_EQ(shot.pixel(20, 20), kWhite);
    EXPECT_EQ(shot.pixel(30, 15), kBlue);
    EXPECT_EQ(shot.pixel(39, 19), kBlue);
    EXPECT_EQ(shot.pixel(35, 15), kWhite);
    EXPECT_EQ(shot.pixel(50, 50), kGreen);
    EXPECT_EQ(box_->currentX(), 50);
}

TEST_F(ControlsTest, BorderedBoxMeasuresChildrenFromItsInnerArea) {
    box_->setBorderStyle(1);
    EXPECT_DOUBLE_EQ(box_->scaleWidth(), (200 - 4) * 15);
    box_->setBackColor(ole(kRed));
    auto* image = new ImageBox(box_, "Image");
    image->setPicture(solid({2, 2}, kGreen));
    const QImage shot = box_->grab();
    EXPECT_NE(shot.pixel(0, 0), kRed);
    EXPECT_EQ(shot.pixel(2, 2), kGreen);
    EXPECT_EQ(shot.pixel(4, 4), kRed);
}

TEST_F(ControlsTest, AutoSizedPictureBoxTakesThePictureSize) {
    box_->setAutoSize(true);
    box_->setPicture(solid({33, 22}, kBlue));
    EXPECT_EQ(box_->widget()->size(), QSize(33, 22));
    EXPECT_DOUBLE_EQ(box_->scaleHeight(), 22 * 15);
}

TEST_F(ControlsTest, ImageWithoutStretchTakesThePictureSize) {
    box_->setBackColor(ole(kYellow));
    auto* image = new ImageBox(box_, "Image");
    image->Move(150, 150, 600, 600);
    image->setPicture(quadrants(2));
    EXPECT_EQ(image->widget()->geometry(), QRect(10, 10, 4, 4));
    QImage shot = box_->grab();
    EXPECT_EQ(shot.pixel(10, 10), kRed);
    EXPECT_EQ(shot.pixel(13, 13), kWhite);
    EXPECT_EQ(shot.pixel(14, 14), kYellow);

    image->setStretch(true);
    image->Move(150, 150, 300, 300);
    shot = box_->grab();
    EXPECT_EQ(shot.pixel(14, 14), kRed);
    EXPECT_EQ(shot.pixel(25, 14), kGreen);
    EXPECT_EQ(shot.pixel(14, 25), kBlue);
    EXPECT_EQ(shot.pixel(29, 29), kWhite);
    EXPECT_EQ(shot.pixel(30, 30), kYellow);

    // Turning Stretch off gives the picture its own size back.
    image->setStretch(false);
    EXPECT_EQ(image->widget()->size(), QSize(4, 4));
    // An empty picture leaves the size alone.
    image->setPicture(Picture());
    EXPECT_EQ(image->widget()->size(), QSize(4, 4));
}

TEST_F(ControlsTest, TransparentPixelsShowWhatIsBehind) {
    box_->setBackColor(ole(kYellow));
    QImage holed(4, 4, QImage::Format_ARGB32_Premultiplied);
    holed.fill(kBlue);
    holed.setPixel(1, 1, 0);
    auto* image = new ImageBox(box_, "Gif");
    image->setPicture(Picture(holed));
    image->Move(0, 0);
    const QImage shot = box_->grab();
    EXPECT_EQ(shot.pixel(0, 0), kBlue);
    EXPECT_EQ(shot.pixel(1, 1), kYellow);
}

TEST_F(ControlsTest, LabelBackStyleDecidesWhetherTheContainerShows) {
    box_->setBackColor(ole(kRed));
    auto* label = new Label(box_, "lbl");
    label->Move(0, 0, 300, 300);
    label->setBackColor(ole(kWhite));
    EXPECT_EQ(box_->grab().pixel(10, 10), kWhite);
    label->setBackStyle(0);
    EXPECT_EQ(box_->grab().pixel(10, 10), kRed);
    EXPECT_THROW(label->setBackStyle(2), VbError);
}

TEST_F(ControlsTest, FontSizesArePointsAtNinetySixDpi) {
    ClassicFont font;
    font.name = "Arial";
    font.size = 12;
    EXPECT_EQ(font.toQFont().pixelSize(), 16);
    font.size = 8.25;
    EXPECT_EQ(font.toQFont().pixelSize(), 11);
    font.size = 20;
    EXPECT_EQ(font.toQFont().pixelSize(), 27);
    // The classic faces resolve to their metric-compatible twins.
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), QStringLiteral("Liberation Sans"));
    font.name = "Times New Roman";
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), QStringLiteral("Liberation Serif"));
    font.name = "Courier New";
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), QStringLiteral("Liberation Mono"));
    font.name = "MS Sans Serif";
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(ControlsTest, AutoSizedLabelFitsItsCaption) {
    auto* label = new Label(box_, "lbl");
    label->setFontName("Arial");
    label->setFontSize(12);
    label->Move(150, 150, 15, 15);
    label->setAutoSize(true);
    // Text extents, allowing the pixel that rounding the glyph outlines may add.
    const QFontMetrics metrics(label->font().toQFont());
    const auto expectSize = [&](int width, int lines) {
        EXPECT_GE(label->widget()->width(), width);
        EXPECT_LE(label->widget()->width(), width + 1);
        EXPECT_GE(label->widget()->height(), lines * metrics.height());
        EXPECT_LE(label->widget()->height(), lines * metrics.lineSpacing() + 1);
    };
    label->setCaption("Hello");
    expectSize(metrics.horizontalAdvance("Hello"), 1);
    EXPECT_EQ(label->widget()->x(), 10);

    label->setCaption("Hello\r\nworld, again");
    expectSize(metrics.horizontalAdvance("world, again"), 2);

    // Bigger font, bigger label.
    const int before = label->widget()->width();
    label->setFontSize(24);
    EXPECT_GT(label->widget()->width(), before);
    // An ampersand marks a mnemonic and takes no room.
    label->setFontSize(12);
    label->setCaption("A&B");
    expectSize(metrics.horizontalAdvance("AB"), 1);
    label->setUseMnemonic(false);
    expectSize(metrics.horizontalAdvance("A&B"), 1);
}

TEST_F(ControlsTest, CentredAutoSizeLabelGrowsAboutItsCentre) {
    // The message strip: caption "" shrinks the label, its left is then its centre.
    auto* label = new Label(box_, "lbl");
    label->setAlignment(2);
    label->setAutoSize(true);
    label->setCaption("");
    EXPECT_EQ(label->widget()->width(), 0);
    label->setLeft(100 * 15);
    label->setCaption("Some message text");
    const QRect r = label->widget()->geometry();
    EXPECT_NEAR(r.x() + r.width() / 2.0, 100, 1);

    auto* right = new Label(box_, "right");
    right->Move(0, 0, 100 * 15, 300);
    right->setAlignment(1);
    right->setAutoSize(true);
    right->setCaption("x");
    EXPECT_EQ(right->widget()->geometry().right(), 99);
}

TEST_F(ControlsTest, WordWrapAutoSizeKeepsWidthAndGrowsDown) {
    auto* label = new Label(box_, "lbl");
    label->Move(0, 0, 60 * 15, 15);
    label->setWordWrap(true);
    label->setAutoSize(true);
    label->setCaption("one two three four five six seven eight nine ten");
    const int line = QFontMetrics(label->font().toQFont()).height();
    EXPECT_EQ(label->widget()->width(), 60);
    EXPECT_GE(label->widget()->height(), 3 * line);
    // A wider label needs fewer lines.
    const int tall = label->widget()->height();
    label->setWidth(180 * 15);
    EXPECT_LT(label->widget()->height(), tall);
}

TEST_F(ControlsTest, NewerControlsLieOnTopAndZOrderMovesThem) {
    show();
    auto* older = new ImageBox(box_, "Older");
    older->setPicture(solid({20, 20}, kRed));
    auto* newer = new ImageBox(box_, "Newer");
    newer->setPicture(solid({20, 20}, kGreen));
    const QPoint at = box_->clientWidget()->mapTo(window(), QPoint(5, 5));
    EXPECT_EQ(window()->childAt(at), newer->widget());

    newer->ZOrder(1);
    EXPECT_EQ(window()->childAt(at), older->widget());
    newer->ZOrder();
    EXPECT_EQ(window()->childAt(at), newer->widget());
    EXPECT_EQ(box_->grab().pixel(5, 5), kGreen);
}

TEST_F(ControlsTest, GraphicalControlsStayBelowWindowedOnes) {
    show();
    auto* inner = new PictureBox(box_, "Inner");
    inner->Move(0, 0, 300, 300);
    auto* image = new ImageBox(box_, "Image");
    image->setPicture(solid({20, 20}, kGreen));
    const QPoint at = box_->clientWidget()->mapTo(window(), QPoint(5, 5));
    EXPECT_EQ(window()->childAt(at), inner->clientWidget());
    image->ZOrder(0);
    EXPECT_EQ(window()->childAt(at), inner->clientWidget());
    // Windowed controls order among themselves.
    auto* other = new PictureBox(box_, "Other");
    other->Move(0, 0, 300, 300);
    EXPECT_EQ(window()->childAt(at), other->clientWidget());
    other->ZOrder(1);
    EXPECT_EQ(window()->childAt(at), inner->clientWidget());
}

TEST_F(ControlsTest, MousePressOnAChildGivesClassicArguments) {
    show();
    auto* image = new ImageBox(box_, "Area");
    image->setStretch(true);
    image->Move(150, 300, 450, 600);
    test::SignalSpy downs(image, &Control::MouseDown);
    test::SignalSpy ups(image, &Control::MouseUp);
    test::SignalSpy clicks(image, &Control::Click);
    const QPoint origin = image->widget()->mapTo(window(), QPoint(0, 0));

    test::mouse(window(), QEvent::MouseButtonPress, origin + QPoint(5, 7), Qt::LeftButton,
                Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs[0][0].toInt(), 1);
    EXPECT_EQ(downs[0][1].toInt(), 3);
    EXPECT_DOUBLE_EQ(downs[0][2].toDouble(), 75);
    EXPECT_DOUBLE_EQ(downs[0][3].toDouble(), 105);
    test::mouse(window(), QEvent::MouseButtonRelease, origin + QPoint(5, 7));
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(clicks.count(), 1);

    test::click(window(), origin + QPoint(1, 1), Qt::RightButton, Qt::AltModifier);
    EXPECT_EQ(downs.last()[0].toInt(), 2);
    EXPECT_EQ(downs.last()[1].toInt(), 4);
    EXPECT_EQ(clicks.count(), 1); // only the left button clicks
    test::mouse(window(), QEvent::MouseButtonPress, origin, Qt::MiddleButton);
    EXPECT_EQ(downs.last()[0].toInt(), 4);

    test::SignalSpy moves(image, &Control::MouseMove);
    test::mouse(window(), QEvent::MouseMove, origin + QPoint(2, 3), Qt::NoButton, Qt::NoModifier,
                Qt::LeftButton | Qt::RightButton);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][0].toInt(), 3);
    EXPECT_DOUBLE_EQ(moves[0][2].toDouble(), 30);
}

TEST_F(ControlsTest, AManualDragShowsItsIconAndDropsOnTheControlUnderThePointer) {
    show();
    auto* item = new ImageBox(box_, "Item");
    item->setPicture(solid(QSize(32, 32), kGreen));
    item->setDragIcon(solid(QSize(32, 32), kRed));
    item->Move(150, 150);
    auto* target = new PictureBox(form_.get(), "Target");
    target->Move(250 * 15, 50 * 15, 100 * 15, 100 * 15);
    target->setScaleMode(scale::Pixels);
    QObject::connect(item, &Control::MouseDown, item,
                     [item](int, int, double, double) { item->Drag(1); });
    test::SignalSpy itemMoves(item, &Control::MouseMove);
    test::SignalSpy itemUps(item, &Control::MouseUp);
    test::SignalSpy overs(target, &Control::DragOver);
    test::SignalSpy boxOvers(box_, &Control::DragOver);
    test::SignalSpy drops(target, &Control::DragDrop);
    const QPoint itemAt = item->widget()->mapTo(window(), QPoint(16, 16));
    const QPoint targetAt = target->widget()->mapTo(window(), QPoint(0, 0));

    test::mouse(window(), QEvent::MouseButtonPress, itemAt);
    EXPECT_EQ(Control::draggedControl(), item);
    // The pointer is the item's drag icon.
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    const QImage cursor = QGuiApplication::overrideCursor()->pixmap().toImage();
    EXPECT_EQ(cursor.size(), QSize(32, 32));
    EXPECT_EQ(cursor.pixel(5, 5), kRed);

    // Over the target: enter, then over; the target's own scale; no mouse events meanwhile.
    test::mouse(window(), QEvent::MouseMove, targetAt + QPoint(20, 30), Qt::NoButton,
                Qt::NoModifier, Qt::LeftButton);
    test::mouse(window(), QEvent::MouseMove, targetAt + QPoint(21, 30), Qt::NoButton,
                Qt::NoModifier, Qt::LeftButton);
    ASSERT_EQ(overs.count(), 2);
    EXPECT_EQ(overs[0][0].template value<Control*>(), item);
    EXPECT_DOUBLE_EQ(overs[0][1].toDouble(), 20);
    EXPECT_DOUBLE_EQ(overs[0][2].toDouble(), 30);
    EXPECT_EQ(overs[0][3].toInt(), 0);
    EXPECT_EQ(overs[1][3].toInt(), 2);
    // Leaving it for the box: the target hears the leave, the box the entry.
    const QPoint inBox = box_->widget()->mapTo(window(), QPoint(100, 60));
    test::mouse(window(), QEvent::MouseMove, inBox, Qt::NoButton, Qt::NoModifier, Qt::LeftButton);
    ASSERT_EQ(overs.count(), 3);
    EXPECT_EQ(overs[2][3].toInt(), 1);
    ASSERT_EQ(boxOvers.count(), 1);
    EXPECT_EQ(boxOvers[0][3].toInt(), 0);
    EXPECT_EQ(itemMoves.count(), 0);

    // Let go over the target, wherever the window system sends the release.
    test::mouse(window(), QEvent::MouseButtonRelease, targetAt + QPoint(40, 50));
    ASSERT_EQ(drops.count(), 1);
    EXPECT_EQ(drops[0][0].template value<Control*>(), item);
    EXPECT_DOUBLE_EQ(drops[0][1].toDouble(), 40);
    EXPECT_DOUBLE_EQ(drops[0][2].toDouble(), 50);
    EXPECT_EQ(itemUps.count(), 0);
    EXPECT_EQ(Control::draggedControl(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A cancelled drag drops nothing; mouse events reach the controls again.
    test::mouse(window(), QEvent::MouseButtonPress, itemAt);
    item->Drag(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    test::mouse(window(), QEvent::MouseButtonRelease, targetAt + QPoint(40, 50));
    EXPECT_EQ(drops.count(), 1);
    EXPECT_THROW(item->Drag(3), VbError);
}

TEST_F(ControlsTest, ContainersReportMouseInTheirOwnScale) {
    show();
    box_->setScaleMode(scale::Pixels);
    box_->setBorderStyle(1);
    test::SignalSpy boxDowns(box_, &Control::MouseDown);
    auto* label = new Label(box_, "lbl");
    label->Move(10, 10, 20, 20);
    test::SignalSpy labelDowns(label, &Control::MouseDown);
    const QPoint inner = box_->clientWidget()->mapTo(window(), QPoint(0, 0));

    test::mouse(window(), QEvent::MouseButtonPress, inner + QPoint(50, 40));
    ASSERT_EQ(boxDowns.count(), 1);
    EXPECT_DOUBLE_EQ(boxDowns[0][2].toDouble(), 50);
    EXPECT_DOUBLE_EQ(boxDowns[0][3].toDouble(), 40);
    // A label in a pixel-scale box reports pixels too.
    test::mouse(window(), QEvent::MouseButtonPress, inner + QPoint(13, 14));
    ASSERT_EQ(labelDowns.count(), 1);
    EXPECT_DOUBLE_EQ(labelDowns[0][2].toDouble(), 3);
    EXPECT_DOUBLE_EQ(labelDowns[0][3].toDouble(), 4);
}

TEST_F(ControlsTest, HiddenAndDisabledControlsLeaveTheMouseToTheirContainer) {
    show();
    auto* image = new ImageBox(box_, "Area");
    image->setStretch(true);
    image->Move(0, 0, 300, 300);
    test::SignalSpy imageDowns(image, &Control::MouseDown);
    test::SignalSpy boxDowns(box_, &Control::MouseDown);
    const QPoint at = box_->clientWidget()->mapTo(window(), QPoint(5, 5));

    image->setVisible(false);
    test::mouse(window(), QEvent::MouseButtonPress, at);
    EXPECT_EQ(imageDowns.count(), 0);
    EXPECT_EQ(boxDowns.count(), 1);

    image->setVisible(true);
    image->setEnabled(false);
    test::mouse(window(), QEvent::MouseButtonPress, at);
    EXPECT_EQ(imageDowns.count(), 0);
    EXPECT_EQ(boxDowns.count(), 2);

    image->setEnabled(true);
    test::mouse(window(), QEvent::MouseButtonPress, at);
    EXPECT_EQ(imageDowns.count(), 1);
    EXPECT_EQ(boxDowns.count(), 2);
}

TEST_F(ControlsTest, DoubleClickFollowsTheClassicOrder) {
    show();
    auto* label = new Label(box_, "lbl");
    label->Move(0, 0, 300, 300);
    QStringList order;
    QObject::connect(label, &Control::MouseDown, [&] { order << "down"; });
    QObject::connect(label, &Control::MouseUp, [&] { order << "up"; });
    QObject::connect(label, &Control::Click, [&] { order << "click"; });
    QObject::connect(label, &Control::DblClick, [&] { order << "dbl"; });
    const QPoint at = box_->clientWidget()->mapTo(window(), QPoint(5, 5));
    test::click(window(), at);
    test::mouse(window(), QEvent::MouseButtonDblClick, at);
    test::mouse(window(), QEvent::MouseButtonRelease, at);
    EXPECT_EQ(order.join(','), QStringLiteral("down,up,click,dbl,up"));
}

TEST_F(ControlsTest, FormKeyEventsUseVirtualKeyCodes) {
    show();
    QList<QList<int>> downs;
    QList<int> presses;
    QList<int> ups;
    QObject::connect(form_.get(), &Form::KeyDown, [&](int code, int shift) {
        downs << QList{code, shift};
    });
    QObject::connect(form_.get(), &Form::KeyPress, [&](int ascii) { presses << ascii; });
    QObject::connect(form_.get(), &Form::KeyUp, [&](int code, int) { ups << code; });
    const auto key = [&](QEvent::Type type, int qtKey, Qt::KeyboardModifiers mods, QString text,
                         bool repeat = false) {
        QKeyEvent event(type, qtKey, mods, text, repeat);
        QApplication::sendEvent(window(), &event);
    };
    key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    key(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    key(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier, QString(QChar(17)));
    key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, {});
    key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    key(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, "\x1b", true);
    ASSERT_EQ(downs.size(), 4);
    EXPECT_EQ(downs[0], (QList{65, 0}));
    EXPECT_EQ(downs[1], (QList{81, 2}));
    EXPECT_EQ(downs[2], (QList{112, 0}));
    EXPECT_EQ(downs[3], (QList{27, 0}));
    EXPECT_EQ(presses, (QList{97, 17, 27}));
    EXPECT_EQ(ups, QList{65}); // auto-repeat releases are not key-ups
}

TEST_F(ControlsTest, KeyPreviewDecidesWhetherTheFormSeesKeysOfAFocusedWidget) {
    auto* edit = new QLineEdit(form_->clientWidget());
    show();
    QApplication::setActiveWindow(window());
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    int downs = 0;
    QObject::connect(form_.get(), &Form::KeyDown, [&] { ++downs; });
    const auto press = [&](int qtKey) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, QString());
        QApplication::sendEvent(edit, &event);
    };
    press(Qt::Key_F5); // the edit ignores it, so Qt offers it to the form's widgets too
    EXPECT_EQ(downs, 0);
    form_->setKeyPreview(true);
    press(Qt::Key_F5);
    press(Qt::Key_A);
    EXPECT_EQ(downs, 2); // once per key, whoever else takes it
}

TEST_F(ControlsTest, KeysARunTimeComponentLeavesAloneReachTheForm) {
    auto* inner = new QLineEdit;
    auto* component = new WidgetControl(form_.get(), "Component1", inner);
    show();
    QApplication::setActiveWindow(window());
    inner->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), inner);
    int downs = 0;
    QObject::connect(form_.get(), &Form::KeyDown, [&] { ++downs; });
    const auto press = [&](int qtKey) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, qtKey == Qt::Key_A ? "a" : "");
        QApplication::sendEvent(inner, &event);
    };
    press(Qt::Key_F5); // the player's own text box: the classic rule
    EXPECT_EQ(downs, 0);
    component->setPassesKeysOn(true);
    press(Qt::Key_F5); // the component leaves it alone: the window's own
    press(Qt::Key_A);  // typed into the component
    EXPECT_EQ(downs, 1);
}

TEST_F(ControlsTest, ClassicKeyCodeTable) {
    EXPECT_EQ(classicKeyCode(Qt::Key_Z), 90);
    EXPECT_EQ(classicKeyCode(Qt::Key_5), 53);
    EXPECT_EQ(classicKeyCode(Qt::Key_5, Qt::KeypadModifier), 101);
    EXPECT_EQ(classicKeyCode(Qt::Key_F12), 123);
    EXPECT_EQ(classicKeyCode(Qt::Key_Return), 13);
    EXPECT_EQ(classicKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(classicKeyCode(Qt::Key_Space), 32);
    EXPECT_EQ(classicKeyCode(Qt::Key_Left), 37);
    EXPECT_EQ(classicKeyCode(Qt::Key_Down), 40);
    EXPECT_EQ(classicKeyCode(Qt::Key_Exclam), 49);
    EXPECT_EQ(classicKeyCode(Qt::Key_Colon), 186);
    EXPECT_EQ(classicShift(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(classicButtons(Qt::LeftButton | Qt::MiddleButton), 5);
}

TEST_F(ControlsTest, LateBoundPropertiesUseClassicNames) {
    auto* label = new Label(box_, "lblText");
    label->setIndex(3);
    EXPECT_EQ(label->property("Name").toString(), QStringLiteral("lblText"));
    EXPECT_EQ(label->property("Index").toInt(), 3);
    EXPECT_TRUE(label->setProperty("Caption", "Hi"));
    EXPECT_TRUE(label->setProperty("Tag", "t"));
    EXPECT_TRUE(label->setProperty("ForeColor", 255));
    EXPECT_EQ(label->caption(), QStringLiteral("Hi"));
    EXPECT_EQ(label->foreColor(), 255u);
    EXPECT_EQ(label->property("Container").value<Control*>(), box_);
    EXPECT_EQ(label->property("Parent").value<QObject*>(), form_.get());
    EXPECT_TRUE(QMetaObject::invokeMethod(label, "Move", Q_ARG(double, 30), Q_ARG(QVariant, 45)));
    EXPECT_EQ(label->widget()->pos(), QPoint(2, 3));
    EXPECT_TRUE(box_->setProperty("Picture", QVariant::fromValue(solid({3, 3}, kRed))));
    EXPECT_EQ(box_->picture().widthPixels(), 3);
}

TEST_F(ControlsTest, ControlsMoveBetweenContainers) {
    auto* frame = new FrameBox(form_.get(), "Frame");
    frame->Move(300 * 15, 0, 50 * 15, 50 * 15);
    auto* image = new ImageBox(box_, "Image");
    image->Move(15, 30, 45, 60);
    image->setContainer(frame);
    EXPECT_EQ(image->container(), frame);
    EXPECT_EQ(image->widget()->parentWidget(), frame->clientWidget());
    EXPECT_EQ(image->widget()->geometry(), QRect(1, 2, 3, 4));
    EXPECT_EQ(box_->findControl("image"), nullptr);
    EXPECT_EQ(frame->findControl("IMAGE"), image);
    auto* label = new Label(box_, "lbl");
    EXPECT_THROW(image->setContainer(label), VbError);
    EXPECT_THROW(frame->setContainer(frame), VbError);
    // A control made "inside" a non-container lands in that control's container.
    auto* nested = new Label(label, "nested");
    EXPECT_EQ(nested->container(), box_);
}

TEST_F(ControlsTest, AControlMayUnloadItselfFromItsOwnEvent) {
    show();
    auto* image = new ImageBox(box_, "Area");
    image->setStretch(true);
    image->Move(0, 0, 300, 300);
    QPointer<ImageBox> watch(image);
    int downs = 0;
    QObject::connect(image, &Control::MouseDown, [&] {
        ++downs;
        image->dispose();
        EXPECT_FALSE(image->widget()->isVisible());
    });
    const QPoint at = box_->clientWidget()->mapTo(window(), QPoint(5, 5));
    test::click(window(), at);
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(box_->controls().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    // Outside its own events it goes at once.
    auto* label = new Label(box_, "lbl");
    QPointer<Label> watchLabel(label);
    label->dispose();
    EXPECT_TRUE(watchLabel.isNull());
}

TEST_F(ControlsTest, ForeignWidgetsBecomeWindowedControls) {
    auto* inner = new QWidget;
    auto* control = new WidgetControl(box_, "component", inner);
    control->Move(15, 15, 150, 75);
    EXPECT_EQ(inner->size(), QSize(10, 5));
    EXPECT_EQ(control->property("Object").value<QObject*>(), inner);
    EXPECT_FALSE(control->isGraphical());
    QPointer<QWidget> watch(inner);
    delete control;
    EXPECT_TRUE(watch.isNull());
}

} // namespace
} // namespace tv
