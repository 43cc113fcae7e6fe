#include "present/rippling_water.h"

#include "data/project.h"
#include "data/reports.h"
#include "data/water_file.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/timer_control.h"

#include <cmath>

namespace tv {

RipplingWater::RipplingWater(TimerControl& timer) : timer_(timer) {}

void RipplingWater::createControls(Form& window, PictureBox& display) {
    window_ = &window;
    surface_ = new PictureBox(&display, "PicRipplingWater");
    surface_->setBorderStyle(0);
    surface_->setBackColor(0);
    surface_->setVisible(false);
}

bool RipplingWater::timerRunning() const {
    return timer_.enabled();
}

qint64 RipplingWater::FoxTime(int restart) {
    const qint64 now = Clock::instance().nowMs();
    if (restart == 1) timeBase_ = now;
    return now - timeBase_;
}

double RipplingWater::phaseAt(qint64 t, int speed, bool reverse) {
    const double direction = reverse ? -1 : 1;
    return direction * std::pow((speed + 2) / 10.0, 4) / 300 * static_cast<double>(t);
}

void RipplingWater::stopAndWait() {
    // A tick that pumps events may still be drawing; let it finish, but not for ever.
    timer_.setEnabled(false);
    const qint64 start = Clock::instance().nowMs();
    while (!tickFinished_ && Clock::instance().nowMs() - start < kTickWaitMs)
        EventLoop::instance().doEvents();
}

void RipplingWater::stopForFrameChange() {
    if (timerRunning()) stopAndWait();
    active_ = false;
    if (surface_) surface_->setVisible(false);
}

void RipplingWater::LoadWaveEffectIfAny(const QString& frame) {
    active_ = false;
    reverse_ = false;
    const ProjectFolders& folders = project().folders;
    const QString settings = waterSettingsPath(folders, frame);
    if (!files::fileExists(settings) || !surface_) return;
    try {
        const WaterFile water = readWaterFile(settings);
        reverse_ = water.hasReverse && water.Reverse;
        waveSetting_ = water.Wave;
        speed_ = water.Speed;
        surface_->Move(water.Left * kTwipsPerPixel, water.Top * kTwipsPerPixel,
                       water.Width * kTwipsPerPixel, water.Height * kTwipsPerPixel);

        const Picture mask = Picture::load(files::resolve(waterMaskPath(folders, frame)));
        // The rectangle as the frame shows it, cut to the frame.
        auto* display = qobject_cast<PictureBox*>(surface_->container());
        const QImage frameImage = display ? display->composedImage() : QImage();
        const QRect rect = QRect(water.Left, water.Top, water.Width, water.Height)
                               .intersected(QRect(QPoint(0, 0), frameImage.size()));
        ripple_.prepare(frameImage.copy(QRect(water.Left, water.Top, water.Width, water.Height)),
                        mask.image());
        if (rect.isEmpty()) ripple_.clear();

        FoxTime(1);
        drawPicture();
        active_ = true;
        surface_->setVisible(true);
        timer_.setInterval(kTickMs);
    } catch (const VbError& e) {
        active_ = false;
        timer_.setEnabled(false);
        standardErrorReport(" Error initializing the Rippling Water effect. ", e);
    }
}

void RipplingWater::drawPicture() {
    const qint64 t = FoxTime(0);
    if (!ripple_.isNull())
        surface_->setPicture(Picture(ripple_.draw(waveSetting_, phaseAt(t, speed_, reverse_))));
    surface_->Refresh();
}

void RipplingWater::start() {
    FoxTime(1);
    timer_.setEnabled(true);
}

void RipplingWater::disable() {
    timer_.setEnabled(false);
    active_ = false;
    if (surface_) {
        surface_->setVisible(false);
        surface_->setPicture(Picture());
    }
    ripple_.clear();
}

void RipplingWater::TimerRipplingWaterTick() {
    if (runFlags().quitting) {
        timer_.setEnabled(false);
        return;
    }
    if (!timer_.enabled() || !active_ || !surface_) return;
    tickFinished_ = false;
    try {
        drawPicture();
        if (window_ && window_->mousePointer() != 0) window_->setMousePointer(0);
        if (!active_) timer_.setEnabled(false);
    } catch (const VbError& e) {
        active_ = false;
        timer_.setEnabled(false);
        standardErrorReport(" Error rendering rippling water. ", e);
    }
    tickFinished_ = true;
}

void RipplingWater::EnableOrDisableEffects(const QString& frame, bool pictureFrame) {
    effectsDisabled = !effectsDisabled;
    if (effectsDisabled) {
        if (timerRunning()) stopAndWait();
        active_ = false;
        if (surface_) surface_->setVisible(false);
        return;
    }
    if (pictureFrame) LoadWaveEffectIfAny(frame);
    if (active_) start();
}

} // namespace tv
