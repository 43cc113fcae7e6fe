// The panorama control on its own, with stand-ins for what a game hands it (hotspots, a timed
// event, picture boxes) and for the player's host (a clock that moves only when asked, and a
// message box that records).

#include "panorama/panorama_control.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QVariantList>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using tv::pano::EventMonitor;
using tv::pano::MainControl;

namespace {

QApplication& app() {
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        static int argc = 1;
        static char name[] = "panorama_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *instance;
}

} // namespace

// The player's host as the control finds it on the application.
class FakeHost : public QObject {
    Q_OBJECT
public:
    double time = 0;
    QStringList messages;
    std::function<void()> onDoEvents;

    Q_INVOKABLE double now() const { return time; }
    Q_INVOKABLE void doEvents() {
        time += 1;
        if (onDoEvents) onDoEvents();
    }
    Q_INVOKABLE void sleep(double ms) { time += ms; }
    Q_INVOKABLE QObject* newTimer(QObject*) { return nullptr; }
    Q_INVOKABLE int msgBox(const QString& prompt, int buttons, const QString& title) {
        messages << QString("%1|%2|%3").arg(title, prompt).arg(buttons);
        return 1;
    }
    Q_INVOKABLE QString localPath(const QString& path) const { return path; }
};

class FakeHotspot : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Index MEMBER index)
    Q_PROPERTY(double Left MEMBER left)
    Q_PROPERTY(double Top MEMBER top)
    Q_PROPERTY(double Width MEMBER width)
    Q_PROPERTY(double Height MEMBER height)
    Q_PROPERTY(bool Visible MEMBER visible)
    Q_PROPERTY(int MousePointer MEMBER mousePointer)
    Q_PROPERTY(QCursor MouseIcon MEMBER mouseIcon)
public:
    int index = 0;
    double left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    int mousePointer = 0;
    QCursor mouseIcon;
};

class FakeHotspots : public QObject {
    Q_OBJECT
public:
    std::vector<std::unique_ptr<FakeHotspot>> items;

    // Element 0 first, as the player's set has it.
    FakeHotspots() { add(0, 0, 0, 0, 0); }
    FakeHotspot& add(int index, double left, double top, double width, double height) {
        auto h = std::make_unique<FakeHotspot>();
        h->index = index;
        h->left = left;
        h->top = top;
        h->width = width;
        h->height = height;
        items.push_back(std::move(h));
        return *items.back();
    }
    Q_INVOKABLE QVariantList NewEnum() const {
        QVariantList list;
        for (const auto& h : items) list.append(QVariant::fromValue<QObject*>(h.get()));
        return list;
    }
};

class FakeTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval MEMBER interval)
public:
    int interval = 0;
};

class FakePictureBox : public QObject {
    Q_OBJECT
    Q_PROPERTY(QImage Image MEMBER image)
    Q_PROPERTY(QImage Picture MEMBER picture)
public:
    explicit FakePictureBox(QImage i = {}) : image(std::move(i)) {}
    QImage image;
    QImage picture;
};

namespace {

QImage solid(QRgb colour, int width = 32, int height = 32) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Four bands a quarter of the picture wide: yaw 45 degrees looks at the red one's middle, 135
// green, 225 blue, 315 yellow.
QImage bands() {
    QImage image(1024, 256, QImage::Format_RGB32);
    const QRgb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    for (int x = 0; x < 1024; ++x)
        for (int y = 0; y < 256; ++y)
            image.setPixel(x, y, colours[x / 256]);
    return image;
}

QVariant ref(QObject* object) {
    return QVariant::fromValue(object);
}

class PanoramaControl : public ::testing::Test {
protected:
    void SetUp() override {
        app().setProperty("tvComponentHost", QVariant::fromValue<QObject*>(&host));
        control = std::make_unique<MainControl>(nullptr);
        control->resize(160, 120);
        control->PassHotspotsReference(ref(&hotspots));
        control->PassTimedEventReference(ref(&timer));
    }
    void TearDown() override {
        control.reset();
        app().setProperty("tvComponentHost", QVariant());
    }

    // Gives the control the picture and runs one engine pass.
    void start(const QImage& picture = bands()) {
        box.image = picture;
        control->LoadPictureFromPictureBox(ref(&box));
        control->DoEngineSingleLoop();
    }
    QRgb centre() const {
        const QImage& view = control->backBuffer();
        return view.pixel(view.width() / 2, view.height() / 2) & 0xFFFFFF;
    }
    // One pass at this yaw (degrees).
    void look(float degrees) {
        control->SetHorizontalAngle(degrees + 1);
        control->DoEngineSingleLoop();
    }
    void leftClick() { control->mousePressed(Qt::LeftButton); }
    int pointer() const {
        return control->GetPictureBoxRef()->property("MousePointer").toInt();
    }

    FakeHost host;
    FakeHotspots hotspots;
    FakeTimer timer;
    FakePictureBox box;
    std::unique_ptr<MainControl> control;
};

} // namespace

TEST_F(PanoramaControl, AngleRequestsAreAppliedOnceAndOffsetByTheirBase) {
    start();
    // 1 is yaw 0; 0 means no request.
    look(90);
    EXPECT_NEAR(control->GetHorizontalCameraAngle(), 1.5707963, 1e-5);
    control->SetHorizontalAngle(0);
    control->DoEngineSingleLoop();
    EXPECT_NEAR(control->GetHorizontalCameraAngle(), 1.5707963, 1e-5);
    look(0);
    EXPECT_EQ(control->GetHorizontalCameraAngle(), 0.0);

    // 2 levels the view; 3 and 1 put it at the two limits, looking up and down.
    const double limit = std::atan(3.5) - 0.54;
    EXPECT_NEAR(control->CalculateMaximumVerticalAngle(), limit, 1e-6);
    control->SetVerticalAngle(3);
    control->DoEngineSingleLoop();
    EXPECT_NEAR(control->GetVerticalCameraAngle(), limit, 1e-5);
    control->SetVerticalAngle(1);
    control->DoEngineSingleLoop();
    EXPECT_NEAR(control->GetVerticalCameraAngle(), -limit, 1e-5);
    control->SetVerticalAngle(2);
    control->DoEngineSingleLoop();
    EXPECT_NEAR(control->GetVerticalCameraAngle(), 0.0, 1e-6);

    // Each band's colour at the centre for its yaw.
    const QRgb expected[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int band = 0; band < 4; ++band) {
        look(45.0f + 90.0f * static_cast<float>(band));
        EXPECT_EQ(centre(), expected[band]) << "band " << band;
    }
}

TEST_F(PanoramaControl, ANegativeRequestIsDroppedInsteadOfBlockingMouseLook) {
    start();
    look(90);
    control->SetHorizontalAngle(-5);
    control->DoEngineSingleLoop();
    EXPECT_NEAR(control->GetHorizontalCameraAngle(), 1.5707963, 1e-5);
    // Mouse look goes on at the next pass: the cross-hair, not the arrow of a waiting request.
    control->MainLoop(true);
    EXPECT_EQ(pointer(), tv::pano::pointer::Cross);
}

TEST_F(PanoramaControl, TheHeightIsClampedAndMovesTheVerticalLimit) {
    control->SetCylinderHeight(20000);
    EXPECT_NEAR(control->CalculateMaximumVerticalAngle(), std::atan(60.0) - 0.54, 1e-6);
    control->SetCylinderHeight(5);
    const double low = std::atan(0.05) - 0.54;
    EXPECT_NEAR(control->CalculateMaximumVerticalAngle(), low, 1e-6);
    EXPECT_LT(low, 0);
    control->SetCylinderHeight(700);
    EXPECT_NEAR(control->CalculateMaximumVerticalAngle(), std::atan(3.5) - 0.54, 1e-6);
}

TEST_F(PanoramaControl, AClickTestsTheHotspotsUnderTheViewCentre) {
    // The picture is 15360 x 3840 twips; yaw 90 degrees looks at x = 3840, pitch 0 at y = 1920.
    hotspots.add(1, 3840, 0, 500, 3840);       // its left edge on the point: not hit
    hotspots.add(2, 3000, 0, 1000, 3840);      // hit
    hotspots.add(3, 3500, 1000, 1000, 2000);   // hit, and later in the set: wins
    hotspots.add(4, 3000, 0, 2000, 3840).visible = false;
    hotspots.add(0, 3000, 0, 2000, 3840);      // index 0 is no hotspot
    start();
    EXPECT_EQ(control->GetPictureWidthInTwips(), 15360);
    EXPECT_EQ(control->GetPictureHeightInTwips(), 3840);
    look(90);
    // The engine captured the mouse when it started: this click tests.
    leftClick();
    EXPECT_EQ(control->GetClickedHotspot(), 3);
    EXPECT_EQ(timer.interval, 1);

    // Nothing there: no hotspot, and the timed event is left alone.
    timer.interval = 0;
    look(200);
    leftClick();
    EXPECT_EQ(control->GetClickedHotspot(), 0);
    EXPECT_EQ(timer.interval, 0);

    // Let go (right button): a click only captures again, the next one tests.
    look(90);
    control->mousePressed(Qt::RightButton);
    leftClick();
    EXPECT_EQ(control->GetClickedHotspot(), 0);
    leftClick();
    EXPECT_EQ(control->GetClickedHotspot(), 3);

    // While a picture waits to become the texture a click does nothing.
    control->ResetClickedHotspot();
    control->LoadPictureFromPictureBox(ref(&box));
    leftClick();
    EXPECT_EQ(control->GetClickedHotspot(), 0);
}

TEST_F(PanoramaControl, ThePointerShowsTheHotspotsOwnOrTheDefault) {
    const QCursor hand(QPixmap::fromImage(solid(0xFF00FFFF)));
    FakeHotspot& custom = hotspots.add(1, 3000, 0, 1000, 3840);
    custom.mousePointer = 99;
    custom.mouseIcon = hand;
    start();
    QWidget* view = qobject_cast<QWidget*>(control->GetPictureBoxRef());
    ASSERT_TRUE(view);
    // A run's own pass shows the arrow while its picture loads; mouse look begins after it.
    look(90);
    control->MainLoop(true);
    EXPECT_EQ(pointer(), 99);
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    look(200);
    control->MainLoop(true);
    EXPECT_EQ(pointer(), 2);
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
    // Element 0's custom pointer is the default over the picture.
    hotspots.items[0]->mousePointer = 99;
    hotspots.items[0]->mouseIcon = hand;
    control->MainLoop(true);
    EXPECT_EQ(pointer(), 99);
    // Escape lets the mouse go: the arrow at the next pass.
    control->escapePressed();
    control->MainLoop(true);
    EXPECT_EQ(pointer(), 1);
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PanoramaControl, PauseWaitsOnThePlayersClockUntilEndNow) {
    control->Pause(0);
    EXPECT_EQ(host.time, 0);
    control->Pause(-1);
    EXPECT_EQ(host.time, 0);
    host.onDoEvents = [this] {
        if (host.time >= 500) control->StopEngine();
    };
    control->Pause(2);
    EXPECT_EQ(host.time, 500);
    // Without DoEvents nothing can stop it: the whole interval passes.
    host.time = 0;
    control->setEndNow(false);
    control->Pause(1.5, true);
    EXPECT_EQ(host.time, 1500);
}

TEST_F(PanoramaControl, SkippingTheStepsReloadsTheEarlierPicture) {
    start(solid(0xFFFF0000));
    EXPECT_EQ(centre(), 0xFF0000u);
    // The earlier box now shows green; a second box is given with the debug flag.
    box.image = solid(0xFF00FF00, 64, 64);
    FakePictureBox other(solid(0xFF0000FF, 16, 16));
    control->LoadPictureFromPictureBox(ref(&other), true);
    control->DoEngineSingleLoop();
    EXPECT_EQ(centre(), 0x00FF00u);
    // The size in twips was taken when the earlier box was given.
    EXPECT_EQ(control->GetPictureWidthInTwips(), 32 * 15);
}

TEST_F(PanoramaControl, DrawingCopyingAndTheirFailures) {
    // A queued picture is drawn after the pending one became the texture, in the same pass.
    FakePictureBox square(solid(0xFF00FF00, 64, 64));
    control->DrawOnTextureFromPictureBox(ref(&square), 0, 0, 64, 64);
    start(solid(0xFFFF0000, 64, 64));
    EXPECT_EQ(centre(), 0x00FF00u);
    EXPECT_TRUE(host.messages.isEmpty()) << host.messages.join('\n').toStdString();

    // A rectangle reaching outside the texture fails with its message, once: the list is
    // emptied.
    control->DrawOnTextureFromPictureBox(ref(&square), 40, 40, 64, 64);
    start(solid(0xFFFF0000, 64, 64));
    control->DoEngineSingleLoop();
    EXPECT_EQ(host.messages, QStringList{"ERROR!|ERROR: Could not draw on texture!|16"});

    // One copy of the view to a picture box.
    FakePictureBox target;
    control->BltToPicBox(ref(&target));
    start(solid(0xFFFF0000, 64, 64));
    EXPECT_EQ(target.picture.size(), QSize(160, 120));
    EXPECT_EQ(target.picture.pixel(80, 60) & 0xFFFFFF, 0xFF0000u);
    target.picture = QImage();
    start(solid(0xFFFF0000, 64, 64));
    EXPECT_TRUE(target.picture.isNull());
}

TEST_F(PanoramaControl, FailuresOfSetUpAndOfThePendingPictureAreShown) {
    // No pending picture can be made a texture from nothing: one message, and the pass goes on.
    control->LoadPictureFromPictureBox(QVariant::fromValue<QObject*>(nullptr));
    control->DoEngineSingleLoop();
    control->DoEngineSingleLoop();
    EXPECT_EQ(host.messages, QStringList{"ERROR!|ERROR: Could not load texture!|16"});

    // A control with no area has nothing to draw into.
    host.messages.clear();
    control->resize(0, 0);
    control->DoEngineSingleLoop();
    EXPECT_EQ(host.messages, QStringList{"ERROR!|ERROR : Could not initialize DirectX!|16"});
    EXPECT_FALSE(control->IsEngineRunning());
}

TEST_F(PanoramaControl, TextureLoadersAnswerOnlyThroughTheirResult) {
    // Outside a run there are no graphics to load into.
    EXPECT_FALSE(control->LoadTextureFromFile("/nonexistent/picture.bmp"));
    box.image = bands();
    control->LoadPictureFromPictureBox(ref(&box));
    control->DoEngineSingleLoop();
    EXPECT_FALSE(control->LoadTexture("/nonexistent/picture.bmp"));
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST(PanoramaEventMonitor, StopsTheEngineOfItsControlWhenItGoes) {
    app();
    MainControl control(nullptr);
    // Given directly, and through an extender that offers the control as its Object.
    {
        EventMonitor monitor(nullptr);
        monitor.SetMainControlRef(QVariant::fromValue<QObject*>(&control));
    }
    EXPECT_TRUE(control.endNow());
    control.setEndNow(false);
    QObject extender;
    extender.setProperty("Object", QVariant::fromValue<QObject*>(&control));
    {
        EventMonitor monitor(nullptr);
        monitor.SetMainControlRef(QVariant::fromValue<QObject*>(&extender));
    }
    EXPECT_TRUE(control.endNow());
}

#include "panorama_control_test.moc"
