#pragma once
// Words on the frame: the frame's captions (the label set Text, read from the frame's text file
// when it opens and removed when it closes) and the message strip along the bottom edge of the
// frame (FrameMessageBox holding LabelMessageBox), which hides itself after a time that grows
// with the message's length.

#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/timer_control.h"
#include "present/presentation_hooks.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tv {

class FrameTexts : public QObject {
    Q_OBJECT
public:
    FrameTexts();
    ~FrameTexts() override;

    // The captions and the strip live in the frame display.
    void createControls(PictureBox& display);

    // Unloads the frame's captions, ignoring errors.
    void ResetFrameTexts();
    // Reads the frame's captions (".mr1", else ".fm1"). A bad record is skipped silently; any
    // other failure is reported and ends the load.
    void LoadTexts(const QString& frame);
    // The element index of the first caption merged in from another frame (1 when none).
    int mergedTextIndex() const { return mergedTextIndex_; }

    // A message: a message box when not in the frame, else the strip ("[hide]" hides it).
    // Without noTimeout the strip hides itself after 70 ms a character and one second more.
    void ShowTextMessage(const QString& text, bool inFrame, bool noTimeout);
    // What the strip's timer does: hide the strip and stop the timer.
    void TimerMessageBox_Timer();
    bool messageShown() const;
    // A hotspot action's message: in the frame when `inFrame`.
    void showMessage(const QString& text, bool inFrame) { ShowTextMessage(text, inFrame, false); }
    // Game reset: the strip hidden, its label sized to its text again.
    void hideMessage();
    void stopMessageTimer();
    void applyDefaultPointer(const ApplyPointer& apply);

    ControlSet<Label>& Text() { return *text_; }
    FrameBox& FrameMessageBox() { return *strip_; }
    Label& LabelMessageBox() { return *stripLabel_; }
    TimerControl& TimerMessageBox() { return timer_; }

signals:
    // A mouse press on a caption (they are no hotspots: the game stops a video and looks after
    // its menus), and a pointer moving over a caption or the strip (the inventory may close).
    void captionMouseDown(int button);
    void pointerOverWords();

private:
    PictureBox* display_ = nullptr;
    std::unique_ptr<ControlSet<Label>> text_;
    FrameBox* strip_ = nullptr;
    Label* stripLabel_ = nullptr;
    TimerControl timer_{"TimerMessageBox"};
    int mergedTextIndex_ = 1;
};

} // namespace tv
