#pragma once
// The rippling water of a picture frame: a rectangle of the frame redrawn every 30 ms with a wave,
// limited by a mask picture, and the "Disable Real-Time Effects" switch that turns it off. The
// frame opening loads it and starts its timer; the main window owns the timer and calls the tick.

#include "platform/controls.h"
#include "platform/water_wave.h"

#include <QPointer>
#include <QString>

namespace tv {

class TimerControl;

class RipplingWater {
public:
    static constexpr int kTickMs = 30;
    // How long switching off or changing frames waits for a running tick.
    static constexpr int kTickWaitMs = 5000;

    // `timer` is the main window's TimerRipplingWater: its owner calls TimerRipplingWaterTick on
    // every Timer event.
    explicit RipplingWater(TimerControl& timer);

    // The water's surface, a child of the frame display; hidden until a frame has water.
    void createControls(Form& window, PictureBox& display);
    PictureBox& PicRipplingWater() const { return *surface_; }

    // The check mark of the "Disable Real-Time Effects" menu item.
    bool effectsDisabled = false;
    // The switch: inverts the check mark; off stops the water, on loads the open frame's water
    // again (`pictureFrame`: the frame shows a picture that is not tiled) and starts it.
    void EnableOrDisableEffects(const QString& frame, bool pictureFrame);

    bool timerRunning() const;
    // Before a frame changes: the timer stops, a running tick ends, the surface hides.
    void stopForFrameChange();
    // Reads the frame's water (if it has any), prepares it and draws its first picture; the timer
    // stays off until start().
    void LoadWaveEffectIfAny(const QString& frame);
    bool effectActive() const { return active_; }
    // Restarts the time base and the timer.
    void start();
    // Game reset: the timer stops and the surface goes.
    void disable();

    void TimerRipplingWaterTick();

    // The time base: 1 restarts it, 0 reads it. It grows by one every millisecond of the player's
    // clock, so that under virtual time the water is the same at the same instant on every run.
    qint64 FoxTime(int restart);
    // The wave's phase at time `t` for the speed and direction.
    static double phaseAt(qint64 t, int speed, bool reverse);

private:
    void drawPicture();
    void stopAndWait();

    TimerControl& timer_;
    QPointer<Form> window_;
    QPointer<PictureBox> surface_;
    wave::Ripple ripple_;
    bool active_ = false;
    bool reverse_ = false;
    int waveSetting_ = 0;
    int speed_ = 0;
    bool tickFinished_ = true;
    qint64 timeBase_ = 0;
};

} // namespace tv
