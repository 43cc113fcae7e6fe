#pragma once
// Frame transitions: the old frame is captured before the new one is built, the new one is
// composed off-screen once it is built, and a cover laid over the frame display shows the change,
// a cross-fade or one of four slides, over a number of seconds of the player's clock. Any click
// or key cuts it short. A menu switch turns transitions off.

#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/transition_frames.h"

#include <QPointer>

namespace tv {

class Audio;
class FrameTexts;
class Inventory;
class TimerControl;
class Video;

// What a transition needs of the game around it.
class TransitionSite {
public:
    virtual ~TransitionSite() = default;
    // A press on the cover, as on any surface of the frame: the menus are looked after.
    virtual void coverMouseDown(int button) = 0;
    // Components are paused for the length of a transition and resumed after it.
    virtual void pauseComponents() = 0;
    virtual void resumeComponents() = 0;
    // Components that appear during transitions go with the picture of the frame they belong to:
    // `number` is the transition's; the old frame's before its capture (`beforeCapture`), then
    // the picture that moves. They go back into the frame display once it is over.
    virtual void componentsIntoTransition(int number, bool beforeCapture) = 0;
    // In a slide they move with the new frame, whose top-left corner is at `newFrameAt` of the
    // cover.
    virtual void componentsWithNewFrame(QPoint newFrameAt) = 0;
    virtual void componentsOutOfTransition(int number) = 0;
};

class Transitions {
public:
    // The transitions by number; 0 is a cross-fade as 1 is.
    enum Number {
        Unnamed = 0,
        AlphaBlending = 1,
        SlideLeft = 2,
        SlideRight = 3,
        SlideUp = 4,
        SlideDown = 5
    };
    static constexpr int kCount = 5;
    // Each pass of the animation leaves this much time to the rest of the player.
    static constexpr int kPassMs = 10;
    // The scratch file that a cross-fade leaves no trace of, in the project folder.
    static constexpr const char* kScratchFile = "Temp001.dat";

    // `frameTimer` is the main window's Timer1, stopped for the length of a transition.
    Transitions(TransitionSite& site, TimerControl& frameTimer, Audio& audio, FrameTexts& texts,
                Video& video, Inventory& inventory);
    ~Transitions();

    // The cover lies in the window over the frame display; hidden until a transition begins.
    void createControls(Form& window, PictureBox& display);
    PictureBox& picWhere() const { return *cover_; }

    // The check mark of the "Disable Transitions" menu item.
    bool disabled = false;
    void EnableOrDisableTransitions() { disabled = !disabled; }
    // The next transition shows this picture box's picture as the new frame instead of composing
    // it; used once, and every frame opening clears it.
    QPointer<QObject> destination;

    // What the screen shows of the frame display, into `into`.
    void CaptureActualFrame(PictureBox& into);
    // The frame just built, composed off-screen into `into`.
    void CaptureCurrentFrame(PictureBox& into);
    // Before the new frame is built: the old frame captured and laid over the display.
    void TransitionStep1(int number);
    // After it is built: the change animated over `seconds`, the audio fades moved with it.
    void TransitionStep2(int number, double seconds);
    // The animation itself: `from` gives way to `to` on the cover.
    void RenderTransition(int number, const QImage& from, const QImage& to, double seconds);

    // Whether a transition of that number and length would animate now (and so move the audio
    // fades itself).
    bool animates(int number, double seconds) const;
    // Whether the animation is running (Escape then leaves the menus alone).
    bool running() const { return running_; }
    // An opening that ended before its transition's second step: the cover comes down.
    void abandon();
    // Game reset: the render error may show again, and no cover is left up.
    void reset();

private:
    struct Render;
    void pass(Render& render);
    void failed(Render& render, const VbError& error);
    void showOnCover(const QImage& picture);
    void hideCover();
    QImage capture(bool screen);

    TransitionSite& site_;
    TimerControl& frameTimer_;
    Audio& audio_;
    FrameTexts& texts_;
    Video& video_;
    Inventory& inventory_;
    QPointer<PictureBox> display_;
    QPointer<PictureBox> cover_;
    transition::Composer composer_;
    QImage start_; // the old frame, from the first step to the second
    bool running_ = false;
    bool renderErrorShown_ = false;
    // Each animation's own number: an animation started inside another one's wait (a frame
    // opened meanwhile) takes the cover over, and the older one ends when it gets control back.
    quint64 generation_ = 0;
};

} // namespace tv
