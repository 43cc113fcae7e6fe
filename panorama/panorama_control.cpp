#include "panorama/panorama_control.h"

#include "panorama/player_host.h"
#include "panorama/video_length.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantList>

#include <cmath>
#include <utility>

namespace tv::pano {

namespace {

constexpr int kTwipsPerPixel = 15;

// The object behind a variant argument (a control or picture passed from a script).
QObject* objectOf(const QVariant& value) {
    return value.canConvert<QObject*>() ? value.value<QObject*>() : nullptr;
}

// What a picture control shows, at its size: a control of the player offers its Image (or
// Picture); any other widget is grabbed.
QImage imageOf(QObject* control) {
    if (!control) return {};
    if (auto* view = qobject_cast<PictureView*>(control)) return view->shown();
    for (const char* name : {"Image", "Picture"}) {
        const QVariant value = control->property(name);
        if (value.isValid()) {
            const QImage image = value.value<QImage>();
            if (!image.isNull()) return image;
        }
    }
    if (auto* widget = qobject_cast<QWidget*>(control)) return widget->grab().toImage();
    return {};
}

// A picture object from a script, or an image.
QImage pictureOf(const QVariant& value) {
    if (QObject* object = objectOf(value)) return object->property("tvImage").value<QImage>();
    return value.value<QImage>();
}

QSize twipsOf(QSize pixels) {
    return pixels * kTwipsPerPixel;
}

double number(QObject* object, const char* name) {
    return object->property(name).toDouble();
}

// A rectangle given as an object with X, Y, Width and Height, or as an array of the four.
QRect rectangleOf(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QRect>()) return value.toRect();
    if (QObject* object = objectOf(value))
        return QRect(int(number(object, "X")), int(number(object, "Y")),
                     int(number(object, "Width")), int(number(object, "Height")));
    const QVariantList list = value.toList();
    if (list.size() == 4)
        return QRect(list[0].toInt(), list[1].toInt(), list[2].toInt(), list[3].toInt());
    return {};
}

bool sameCamera(const CameraAngles& a, const CameraAngles& b) {
    return a.pitch == b.pitch && a.yaw == b.yaw && a.roll == b.roll;
}

} // namespace

// picMain

PictureView::PictureView(MainControl* control) : QWidget(control), control_(control) {
    setObjectName("picMain");
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::setPointer(int number, const QVariant& icon) {
    if (number == pointer_ && icon == icon_) return;
    pointer_ = number;
    icon_ = icon;
    switch (number) {
    case pointer::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case pointer::Cross:
        setCursor(Qt::CrossCursor);
        break;
    case pointer::ArrowHourglass:
        setCursor(Qt::BusyCursor);
        break;
    case pointer::Custom:
        if (icon.canConvert<QCursor>())
            setCursor(icon.value<QCursor>());
        else
            unsetCursor();
        break;
    default:
        unsetCursor();
    }
}

void PictureView::present(const QImage& view) {
    shown_ = view;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (shown_.isNull()) {
        painter.fillRect(rect(), Qt::black);
    } else if (shown_.size() == size()) {
        painter.drawImage(0, 0, shown_);
    } else {
        // The view was made for another size of the window: stretched, as a blit would.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), shown_);
    }
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    control_->mousePressed(event->button());
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    control_->mouseMoved(event->position().toPoint());
}

// MainControl

MainControl::MainControl(QWidget* parent)
    : QWidget(parent), view_(new PictureView(this)), startTimer_(host::newTimer(this)),
      passTimer_(host::newTimer(this)) {
    startTimer_->setProperty("Interval", 1);
    passTimer_->setProperty("Interval", kPassIntervalMs);
    connect(startTimer_, SIGNAL(Timer()), this, SLOT(startTimerTick()));
    connect(passTimer_, SIGNAL(Timer()), this, SLOT(passTimerTick()));
    view_->setGeometry(rect());
    ResetDrawOnTexture();
}

MainControl::~MainControl() {
    endNow_ = true;
    CleanUp();
}

void MainControl::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
}

void MainControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        escapePressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainControl::PassHotspotsReference(const QVariant& imgRef) {
    hotspots_ = objectOf(imgRef);
}

void MainControl::PassTimedEventReference(const QVariant& timerRef) {
    timedEvent_ = objectOf(timerRef);
}

void MainControl::PassActionObjectReference(const QVariant& ActionObjRef) {
    actionObject_ = objectOf(ActionObjRef);
}

void MainControl::Pause(double dInterval, bool bNoDoEvents) {
    if (!(dInterval > 0)) return;
    const double end = host::now() + dInterval * 1000.0;
    if (bNoDoEvents) {
        // Nothing can set EndNow while nothing is processed.
        host::sleep(end - host::now());
        return;
    }
    const QPointer<MainControl> self(this);
    while (self && !endNow_ && host::now() < end)
        host::doEvents();
}

void MainControl::StartEngine() {
    endNow_ = false;
    // A running engine simply goes on; a second run inside it would tear its graphics down.
    if (running_) return;
    startTimer_->setProperty("Enabled", true);
}

void MainControl::startTimerTick() {
    startTimer_->setProperty("Enabled", false);
    if (running_ || !beginRun()) return;
    running_ = true;
    engineRunning_ = true;
    passTimer_->setProperty("Enabled", true);
    pass();
}

void MainControl::passTimerTick() {
    if (!running_ || inPass_) return;
    if (!endNow_) pass();
    if (endNow_ && running_) endRun();
}

void MainControl::DoEngineSingleLoop() {
    if (running_) {
        // A looping run owns the graphics: one more pass of it.
        pass();
        return;
    }
    if (!beginRun()) return;
    engineRunning_ = true;
    pass();
    engineRunning_ = false;
    releaseMouseDevice();
    CleanUp();
}

bool MainControl::beginRun() {
    CleanUp();
    if (!Init(0)) {
        CleanUp();
        error("ERROR : Could not initialize DirectX!");
        return false;
    }
    renderer_.setCylinderHeight(cylinderHeight_);
    // The texture went with the last run's graphics: the picture given earlier becomes the
    // texture again, so that an engine stopped and started shows its panorama.
    if (sourceIsPicture_ ? !sourcePicture_.isNull() : !sourceControl_.isNull())
        picturePending_ = true;
    LockMouse();
    mouseDevice_ = true;
    acquireMouse();
    return true;
}

void MainControl::endRun() {
    passTimer_->setProperty("Enabled", false);
    running_ = false;
    engineRunning_ = false;
    releaseMouseDevice();
    CleanUp();
}

void MainControl::MainLoop(bool bDoNotloop) {
    const bool wasRunning = engineRunning_;
    engineRunning_ = true;
    const QPointer<MainControl> self(this);
    for (;;) {
        pass();
        if (!self) return;
        if (bDoNotloop || endNow_) break;
        host::doEvents();
        if (!self) return;
        host::sleep(1);
        if (endNow_) break;
    }
    engineRunning_ = wasRunning && running_;
}

bool MainControl::Init(int) {
    graphics_ = false;
    // A hidden control gets its resize event only when shown.
    view_->setGeometry(rect());
    const QSize size = view_->size();
    if (size.isEmpty()) return false;
    backBuffer_ = QImage(size, QImage::Format_RGB32);
    if (backBuffer_.isNull()) return false;
    backBuffer_.fill(Qt::black);
    drawnCamera_ = CameraAngles{-1, -1, -1};
    graphics_ = true;
    return true;
}

void MainControl::CleanUp() {
    releaseMouseDevice();
    graphics_ = false;
    renderer_ = Renderer();
    textureSet_ = false;
    // picMain keeps showing the last view, as a window does after its surfaces are gone.
}

void MainControl::pass() {
    inPass_ = true;
    const QPointer<MainControl> self(this);

    if (pendingHorizontal_ != 0 || !mouseLocked_ || picturePending_ || pendingVertical_ != 0) {
        view_->setPointer(pointer::Arrow);
    } else {
        const QPoint motion = mouseAcquired_ ? std::exchange(motion_, QPoint()) : QPoint();
        rotate({static_cast<float>(motion.y()) * kMouseTurn,
                static_cast<float>(motion.x()) * kMouseTurn, 0});
        QObject* hotspot = nullptr;
        hotspotAtCentre(&hotspot);
        updatePointer(hotspot);
    }

    if (picturePending_) {
        // Cleared first: the message below lets other passes run while it shows.
        picturePending_ = false;
        const bool loaded =
            sourceIsPicture_
                ? LoadTextureFromSTDPicture(sourcePicture_)
                : LoadTextureFromPictureBox(QVariant::fromValue<QObject*>(sourceControl_));
        if (!loaded) error("ERROR: Could not load texture!");
        if (!self) return;
    }

    if (drawOnPictures_.size() > 1) {
        auto pictures = std::exchange(drawOnPictures_, {});
        auto areas = std::exchange(drawOnAreas_, {});
        ResetDrawOnTexture();
        for (size_t i = 1; i < pictures.size(); ++i) {
            if (!DrawOnTextureFromPictureBoxActual(QVariant::fromValue<QObject*>(pictures[i]),
                                                   QVariant(areas[i])))
                error("ERROR: Could not draw on texture!");
            if (!self) return;
        }
    }

    // A request at or below 0 means none; a negative one is dropped rather than left to block
    // mouse look for ever.
    if (pendingHorizontal_ > 0) camera_ = withHorizontalAngle(camera_, pendingHorizontal_ - 1);
    pendingHorizontal_ = 0;
    if (pendingVertical_ > 0)
        camera_ = withVerticalAngle(camera_, pendingVertical_ - 2, cylinderHeight_);
    pendingVertical_ = 0;

    if (graphics_ && textureSet_) {
        const bool changed = !sameCamera(drawnCamera_, camera_) ||
                             drawnHeight_ != renderer_.cylinderHeight() ||
                             drawnTextureVersion_ != textureVersion_;
        if (changed) {
            renderer_.render(camera_, backBuffer_);
            drawnCamera_ = camera_;
            drawnHeight_ = renderer_.cylinderHeight();
            drawnTextureVersion_ = textureVersion_;
        }
    }

    if (graphics_) {
        if (QObject* target = std::exchange(blitTarget_, nullptr))
            target->setProperty("Picture", QVariant(backBuffer_.copy()));
        blitToMain_ = false;
        view_->present(backBuffer_);
    }
    inPass_ = false;
}

QVariantList MainControl::hotspotElements() const {
    if (!hotspots_) return {};
    QVariantList elements;
    // A single control given instead of a set is a set of one.
    if (!QMetaObject::invokeMethod(hotspots_, "NewEnum", Q_RETURN_ARG(QVariantList, elements)))
        elements = {QVariant::fromValue<QObject*>(hotspots_)};
    return elements;
}

int MainControl::hotspotAtCentre(QObject** hit) const {
    if (hit) *hit = nullptr;
    const QVariantList elements = hotspotElements();
    const QPoint centre = viewCentrePoint(camera_, cylinderHeight_, pictureTwips_);
    const double x = centre.x(), y = centre.y();
    int found = 0;
    for (const QVariant& element : elements) {
        QObject* h = objectOf(element);
        if (!h) continue;
        const double left = number(h, "Left"), top = number(h, "Top");
        if (left < x && x < left + number(h, "Width") && top < y && y < top + number(h, "Height") &&
            h->property("Visible").toBool()) {
            const int index = h->property("Index").toInt();
            if (index > 0) {
                found = index;
                if (hit) *hit = h;
            }
        }
    }
    return found;
}

void MainControl::updatePointer(QObject* hotspot) {
    if (hotspot && hotspot->property("MousePointer").toInt() == pointer::Custom) {
        view_->setPointer(pointer::Custom, hotspot->property("MouseIcon"));
        return;
    }
    if (const QVariantList elements = hotspotElements(); !elements.isEmpty()) {
        QObject* first = objectOf(elements.first());
        if (first && first->property("Index").toInt() == 0 &&
            first->property("MousePointer").toInt() == pointer::Custom) {
            view_->setPointer(pointer::Custom, first->property("MouseIcon"));
            return;
        }
    }
    view_->setPointer(pointer::Cross);
}

void MainControl::LoadPictureFromSTDPicture(const QVariant& stdPictureRef, const QString&) {
    sourcePicture_ = pictureOf(stdPictureRef);
    sourceIsPicture_ = true;
    pictureTwips_ = twipsOf(sourcePicture_.size());
    picturePending_ = true;
}

void MainControl::LoadPictureFromPictureBox(const QVariant& PicBoxRef, bool bSkipDebugVar) {
    if (!bSkipDebugVar) {
        sourceControl_ = objectOf(PicBoxRef);
        sourceIsPicture_ = false;
        sourcePicture_ = QImage();
        pictureTwips_ = twipsOf(imageOf(sourceControl_).size());
    }
    picturePending_ = true;
}

void MainControl::DrawOnTextureFromPictureBox(const QVariant& PicBoxRef, int lX, int lY, int lWidth,
                                              int lHeight) {
    drawOnPictures_.emplace_back(objectOf(PicBoxRef));
    drawOnAreas_.emplace_back(lX, lY, lWidth, lHeight);
}

void MainControl::ResetDrawOnTexture() {
    drawOnPictures_.assign(1, nullptr);
    drawOnAreas_.assign(1, QRect());
}

void MainControl::LockMouse() {
    mouseLocked_ = true;
    clickedHotspot_ = 0;
    // The pointer is held at the view's centre, the point clicks test.
    const QPoint centre = viewCentreOnScreen();
    QCursor::setPos(centre);
    lastPointer_ = view_->mapFromGlobal(centre);
    view_->setFocus(Qt::OtherFocusReason);
}

void MainControl::UnlockMouse() {
    mouseLocked_ = false;
}

QPoint MainControl::viewCentreOnScreen() const {
    const QPoint origin = view_->mapToGlobal(QPoint(0, 0));
    return {(view_->width() + 2 * origin.x()) / 2, (view_->height() + 2 * origin.y()) / 2};
}

void MainControl::SetHorizontalAngle(float sngHorizontalAngle) {
    pendingHorizontal_ = sngHorizontalAngle;
}

void MainControl::SetVerticalAngle(float sngVerticalAngle) {
    pendingVertical_ = sngVerticalAngle;
}

void MainControl::SetCylinderHeight(int lCylinderHeightParam) {
    if (lCylinderHeightParam == cylinderHeight_) return;
    cylinderHeight_ = clampCylinderHeight(lCylinderHeightParam);
    if (engineRunning_) {
        renderer_.setCylinderHeight(cylinderHeight_);
        rotate({0, 0, 0});
    }
}

void MainControl::rotate(CameraAngles delta) {
    camera_ = rotateCamera(camera_, delta, cylinderHeight_);
}

void MainControl::BltToPicBox(const QVariant& NewPicBoxForBlt) {
    blitTarget_ = objectOf(NewPicBoxForBlt);
}

bool MainControl::loadTextureImage(const QImage& image) {
    if (!graphics_ || image.isNull()) return false;
    renderer_.setTexture(image);
    textureSet_ = true;
    ++textureVersion_;
    return true;
}

bool MainControl::loadTextureFile(const QString& fileName) {
    if (!graphics_ || fileName.isEmpty()) return false;
    return loadTextureImage(QImage(host::localPath(fileName)));
}

bool MainControl::LoadTextureFromSTDPicture(const QVariant& stdPictureRef) {
    unacquireMouse();
    const bool loaded = loadTextureImage(pictureOf(stdPictureRef));
    if (!paused_) acquireMouse();
    return loaded;
}

bool MainControl::LoadTextureFromPictureBox(const QVariant& PicBoxRef, bool bSkipSomeSteps) {
    unacquireMouse();
    // Skipping the steps sets the texture there is again.
    const bool loaded = bSkipSomeSteps ? graphics_ : loadTextureImage(imageOf(objectOf(PicBoxRef)));
    if (!paused_) acquireMouse();
    return loaded;
}

bool MainControl::DrawOnTextureFromPictureBoxActual(const QVariant& PicBoxRef,
                                                    const QVariant& SizeRectangle) {
    unacquireMouse();
    bool drawn = false;
    if (graphics_ && textureSet_) {
        drawn = renderer_.drawOnTexture(imageOf(objectOf(PicBoxRef)), rectangleOf(SizeRectangle));
        if (drawn) ++textureVersion_;
    }
    if (!paused_) acquireMouse();
    return drawn;
}

bool MainControl::LoadTextureFromFile(const QString& FileName) {
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    unacquireMouse();
    const bool loaded = loadTextureFile(FileName);
    if (!paused_) acquireMouse();
    QGuiApplication::restoreOverrideCursor();
    return loaded;
}

bool MainControl::LoadTexture(const QString& FileName) {
    return loadTextureFile(FileName);
}

void MainControl::PauseComponent() {
    unacquireMouse();
    paused_ = true;
}

void MainControl::ResumeComponent() {
    acquireMouse();
    paused_ = false;
}

void MainControl::acquireMouse() {
    if (!mouseDevice_ || mouseAcquired_) return;
    mouseAcquired_ = true;
    motion_ = QPoint();
}

void MainControl::unacquireMouse() {
    mouseAcquired_ = false;
}

void MainControl::releaseMouseDevice() {
    unacquireMouse();
    mouseDevice_ = false;
}

void MainControl::mousePressed(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        if (mouseLocked_) {
            UnlockMouse();
            unacquireMouse();
            showMenus(true);
        } else {
            LockMouse();
            acquireMouse();
            showMenus(false);
        }
        return;
    }
    if (!mouseLocked_) {
        showMenus(false);
        LockMouse();
        acquireMouse();
        return;
    }
    if (picturePending_) return;
    LockMouse();
    if (const int hotspot = hotspotAtCentre()) {
        clickedHotspot_ = static_cast<short>(hotspot);
        if (timedEvent_) timedEvent_->setProperty("Interval", 1);
    }
}

void MainControl::mouseMoved(QPoint local) {
    if (!mouseLocked_) return;
    const QPoint delta = local - lastPointer_;
    if (delta.isNull()) return;
    if (mouseAcquired_) motion_ += delta;
    lastPointer_ = local;
    // Back to the centre; where the desktop does not let a program move the pointer, motion
    // goes on being measured from where it is.
    const QPoint centre = viewCentreOnScreen();
    QCursor::setPos(centre);
    if (QCursor::pos() == centre) lastPointer_ = view_->mapFromGlobal(centre);
}

void MainControl::escapePressed() {
    UnlockMouse();
    unacquireMouse();
    showMenus(true);
}

void MainControl::showMenus(bool show) {
    if (actionObject_) QMetaObject::invokeMethod(actionObject_, show ? "ShowMenu" : "HideMenu");
}

void MainControl::error(const QString& text) const {
    host::msgBox(text, kCriticalIcon, QStringLiteral("ERROR!"));
}

int MainControl::AVIGetNumberOfFrames(const QString& sFileName) const {
    return videoFrameCount(host::localPath(sFileName));
}

double MainControl::CalculateMaximumVerticalAngle() const {
    return maximumVerticalAngle(cylinderHeight_);
}

double MainControl::GetVerticalCameraAngle() const {
    return verticalCameraAngle(camera_.pitch);
}

// EventMonitor_ID7

EventMonitor::~EventMonitor() {
    if (control_) QMetaObject::invokeMethod(control_, "StopEngine");
}

void EventMonitor::SetMainControlRef(const QVariant& mRef) {
    control_ = objectOf(mRef);
    // A script's reference to a run-time component is its extender; the control is behind it.
    if (control_ && control_->metaObject()->indexOfMethod("StopEngine()") < 0)
        control_ = control_->property("Object").value<QObject*>();
}

} // namespace tv::pano
