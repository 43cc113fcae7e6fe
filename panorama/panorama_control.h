#pragma once
// The panorama control (ProgID "TNPanoramaControl.MainControl_ID7"): a picture wrapped round
// the inside of a cylinder, looked round with the mouse, hit-tested against the game's hotspots;
// and its companion "TNPanoramaControl.EventMonitor_ID7", which stops the engine when it goes.
//
// Scripts drive it by the classic member names below. The engine runs on the player's loop: a
// run sets up, then a timer of the player's clock makes one pass every few milliseconds until
// EndNow, so the player keeps handling clicks, timers and scripts between passes.

#include "panorama/panorama_renderer.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QVariant>
#include <QWidget>

#include <vector>

namespace tv::pano {

inline constexpr char kMainProgId[] = "TNPanoramaControl.MainControl_ID7";
inline constexpr char kMonitorProgId[] = "TNPanoramaControl.EventMonitor_ID7";
inline constexpr char kLibraryVersion[] = "1.07";

// Between two passes of a running engine, in milliseconds of the player's clock.
inline constexpr int kPassIntervalMs = 10;
// Radians the camera turns per pixel of mouse motion.
inline constexpr float kMouseTurn = 0.002f;

// The classic pointer numbers the control shows.
namespace pointer {
inline constexpr int Default = 0;
inline constexpr int Arrow = 1;
inline constexpr int Cross = 2;
inline constexpr int ArrowHourglass = 13;
inline constexpr int Custom = 99;
} // namespace pointer

class MainControl;

// picMain: shows the rendered view and takes the mouse; keys go on to the control.
class PictureView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MousePointer READ mousePointer)
    Q_PROPERTY(double Width READ widthTwips)
    Q_PROPERTY(double Height READ heightTwips)

public:
    explicit PictureView(MainControl* control);

    int mousePointer() const { return pointer_; }
    double widthTwips() const { return width() * 15.0; }
    double heightTwips() const { return height() * 15.0; }
    // A classic pointer number; 99 with the picture given (a QCursor-convertible value).
    void setPointer(int number, const QVariant& icon = {});
    void present(const QImage& view);
    const QImage& shown() const { return shown_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    MainControl* control_;
    QImage shown_;
    int pointer_ = pointer::Default;
    QVariant icon_;
};

class MainControl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("Version", "1.07")
    Q_PROPERTY(bool EndNow READ endNow WRITE setEndNow)

public:
    explicit MainControl(QWidget* parent);
    ~MainControl() override;

    bool endNow() const { return endNow_; }
    void setEndNow(bool value) { endNow_ = value; }

    Q_INVOKABLE short GetClickedHotspot() const { return clickedHotspot_; }
    Q_INVOKABLE void ResetClickedHotspot() { clickedHotspot_ = 0; }
    Q_INVOKABLE void PassHotspotsReference(const QVariant& imgRef);
    Q_INVOKABLE void PassTimedEventReference(const QVariant& timerRef);
    Q_INVOKABLE void PassActionObjectReference(const QVariant& ActionObjRef);
    Q_INVOKABLE bool IsEngineRunning() const { return engineRunning_; }
    Q_INVOKABLE void Pause(double dInterval, bool bNoDoEvents = false);
    Q_INVOKABLE void StartEngine();
    Q_INVOKABLE void DoEngineSingleLoop();
    Q_INVOKABLE void StopEngine() { endNow_ = true; }
    Q_INVOKABLE void LoadPictureFromSTDPicture(const QVariant& stdPictureRef,
                                               const QString& sTempFolder = {});
    Q_INVOKABLE void LoadPictureFromPictureBox(const QVariant& PicBoxRef,
                                               bool bSkipDebugVar = false);
    Q_INVOKABLE void DrawOnTextureFromPictureBox(const QVariant& PicBoxRef, int lX, int lY,
                                                 int lWidth, int lHeight);
    Q_INVOKABLE void ResetDrawOnTexture();
    Q_INVOKABLE void LockMouse();
    Q_INVOKABLE void UnlockMouse();
    Q_INVOKABLE void SetHorizontalAngle(float sngHorizontalAngle);
    Q_INVOKABLE void SetVerticalAngle(float sngVerticalAngle);
    Q_INVOKABLE void SetCylinderHeight(int lCylinderHeightParam);
    Q_INVOKABLE void BltToPicBox(const QVariant& NewPicBoxForBlt);
    Q_INVOKABLE void DoBltToPicMain() { blitToMain_ = true; }
    Q_INVOKABLE void MainLoop(bool bDoNotloop = false);
    Q_INVOKABLE bool Init(int lHwnd);
    Q_INVOKABLE bool LoadTextureFromSTDPicture(const QVariant& stdPictureRef);
    Q_INVOKABLE bool LoadTextureFromPictureBox(const QVariant& PicBoxRef,
                                               bool bSkipSomeSteps = false);
    // SizeRectangle: an object with X, Y, Width and Height, or an array of the four.
    Q_INVOKABLE bool DrawOnTextureFromPictureBoxActual(const QVariant& PicBoxRef,
                                                       const QVariant& SizeRectangle);
    Q_INVOKABLE bool LoadTextureFromFile(const QString& FileName);
    Q_INVOKABLE void CleanUp();
    Q_INVOKABLE bool LoadTexture(const QString& FileName);
    Q_INVOKABLE void PauseComponent();
    Q_INVOKABLE void ResumeComponent();
    Q_INVOKABLE QObject* GetPictureBoxRef() const { return view_; }
    Q_INVOKABLE int AVIGetNumberOfFrames(const QString& sFileName) const;
    Q_INVOKABLE double CalculateMaximumVerticalAngle() const;
    Q_INVOKABLE double GetHorizontalCameraAngle() const { return camera_.yaw; }
    Q_INVOKABLE double GetVerticalCameraAngle() const;
    Q_INVOKABLE int GetPictureWidthInTwips() const { return pictureTwips_.width(); }
    Q_INVOKABLE int GetPictureHeightInTwips() const { return pictureTwips_.height(); }

    // From picMain.
    void mousePressed(Qt::MouseButton button);
    void mouseMoved(QPoint local);
    void escapePressed();

    // For tests: the camera and the last view drawn.
    CameraAngles camera() const { return camera_; }
    const QImage& backBuffer() const { return backBuffer_; }

signals:
    // Declared for games that connect to it; clicks reach the game through the timed event.
    void Click();

protected:
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void startTimerTick();
    void passTimerTick();

private:
    // A run: set-up, mesh, mouse capture and device (false when the set-up failed, which has
    // been reported); then passes, one or until EndNow; then endRun's tear-down.
    bool beginRun();
    void endRun();
    // One pass of the engine loop.
    void pass();
    // The controls of the hotspots reference, in its own order.
    QVariantList hotspotElements() const;
    // The hotspot (index > 0) under the view centre, 0 when none; its object through `hit`.
    int hotspotAtCentre(QObject** hit = nullptr) const;
    void updatePointer(QObject* hotspot);
    void acquireMouse();
    void unacquireMouse();
    void releaseMouseDevice();
    void showMenus(bool show);
    void error(const QString& text) const;
    bool loadTextureImage(const QImage& image);
    bool loadTextureFile(const QString& fileName);
    void rotate(CameraAngles delta);
    QPoint viewCentreOnScreen() const;

    PictureView* view_;
    QObject* startTimer_;
    QObject* passTimer_;

    bool endNow_ = false;
    bool mouseLocked_ = false;
    bool picturePending_ = false;
    bool paused_ = false;
    bool engineRunning_ = false;
    bool running_ = false; // between the set-up and the tear-down of a looping run
    bool inPass_ = false;
    float pendingHorizontal_ = 0;
    float pendingVertical_ = 0;
    int cylinderHeight_ = kDefaultHeight;
    QSize pictureTwips_;
    short clickedHotspot_ = 0;
    QPointer<QObject> hotspots_;
    QPointer<QObject> timedEvent_;
    QPointer<QObject> actionObject_;
    // The source picture: a picture control, or a picture object's image.
    QPointer<QObject> sourceControl_;
    QImage sourcePicture_;
    bool sourceIsPicture_ = false;
    // Slot 0 is never filled, as in the classic list.
    std::vector<QPointer<QObject>> drawOnPictures_;
    std::vector<QRect> drawOnAreas_;
    QPointer<QObject> blitTarget_;
    bool blitToMain_ = false;
    CameraAngles camera_;

    // The graphics of a run: exist between Init and CleanUp.
    bool graphics_ = false;
    Renderer renderer_;
    bool textureSet_ = false;
    QImage backBuffer_;
    // What the back buffer shows, so that an unchanged view is not drawn again.
    CameraAngles drawnCamera_{-1, -1, -1};
    int drawnHeight_ = 0;
    quint64 textureVersion_ = 0;
    quint64 drawnTextureVersion_ = 0;

    // The mouse device: relative motion gathered between passes while acquired.
    bool mouseDevice_ = false;
    bool mouseAcquired_ = false;
    QPoint motion_;
    QPoint lastPointer_; // in picMain, where the last motion was measured from
};

// Stops the engine of the control it was given when it goes.
class EventMonitor : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("Version", "1.07")

public:
    explicit EventMonitor(QWidget* parent) : QWidget(parent) {}
    ~EventMonitor() override;

    Q_INVOKABLE void SetMainControlRef(const QVariant& mRef);

private:
    QPointer<QObject> control_;
};

} // namespace tv::pano
