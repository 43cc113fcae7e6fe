#include "present/transitions.h"

#include "data/project.h"
#include "data/reports.h"
#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/timer_control.h"
#include "present/audio.h"
#include "present/frame_texts.h"
#include "present/inventory.h"
#include "present/video.h"

#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace tv {

namespace {

const QString kRenderError =
    QStringLiteral(" Error rendering the full-screen alphablending transitions. Make sure that "
                   "the file 'Msimg32.dll' is in your Windows\\System directory. This message "
                   "will not reappear until you restart the program. ");

bool isCrossFade(int number) {
    return number == Transitions::Unnamed || number == Transitions::AlphaBlending;
}

bool animated(int number) {
    return number >= 0 && number <= Transitions::kCount;
}

transition::Slide slideOf(int number) {
    switch (number) {
    case Transitions::SlideLeft:
        return transition::Slide::FromLeft;
    case Transitions::SlideRight:
        return transition::Slide::FromRight;
    case Transitions::SlideUp:
        return transition::Slide::FromTop;
    default:
        return transition::Slide::FromBottom;
    }
}

// The picture an image box or picture box shows, for a script's transition destination.
QImage pictureOf(QObject* object) {
    if (auto* canvas = qobject_cast<CanvasControl*>(object)) return canvas->composedImage();
    if (auto* control = qobject_cast<Control*>(object)) return control->grab();
    return {};
}

} // namespace

// One animation: its clock, its pending pass and how it ended.
struct Transitions::Render {
    int number = 0;
    double seconds = 0;
    qint64 t0 = 0;
    quint64 generation = 0;
    EventLoop::DeadlineId next = 0;
    bool scheduled = false;
    bool finished = false;
};

Transitions::Transitions(TransitionSite& site, TimerControl& frameTimer, Audio& audio,
                         FrameTexts& texts, Video& video, Inventory& inventory)
    : site_(site), frameTimer_(frameTimer), audio_(audio), texts_(texts), video_(video),
      inventory_(inventory) {}

Transitions::~Transitions() = default;

void Transitions::createControls(Form& window, PictureBox& display) {
    display_ = &display;
    cover_ = new PictureBox(&window, "picWhere");
    cover_->setBorderStyle(0);
    cover_->setBackColor(color::Black);
    cover_->setAutoRedraw(true);
    cover_->setAutoSize(false);
    cover_->setScaleMode(scale::Pixels);
    cover_->setVisible(false);
    // The cover takes the presses meant for the frame under it: they cut the transition short
    // and look after the menus.
    QObject::connect(cover_, &Control::MouseDown, cover_, [this](int button, int, double, double) {
        RunFlags& f = runFlags();
        f.stopMovie = true;
        f.skipTransition = true;
        site_.coverMouseDown(button);
    });
}

bool Transitions::animates(int number, double seconds) const {
    return !runFlags().quitting && !disabled && animated(number) && seconds > 0;
}

void Transitions::showOnCover(const QImage& picture) {
    if (!cover_) return;
    cover_->setPicture(Picture(picture));
    if (!cover_->isVisible()) {
        if (display_) cover_->setPixelGeometry(display_->pixelGeometry());
        cover_->setVisible(true);
    }
    cover_->ZOrder(0);
    cover_->Refresh();
}

void Transitions::hideCover() {
    if (!cover_) return;
    cover_->setVisible(false);
    cover_->setPicture(Picture());
}

QImage Transitions::capture(bool screen) {
    if (!display_) return {};
    if (!screen) return transition::composedPicture(*display_);

    // The inventory is no part of the frame: its button and strip (or, without an inventory,
    // the items) stay out of the picture.
    const ProjectSettings& s = project().settings;
    const bool buttonShown = inventory_.Inventory2().isVisible();
    std::vector<ImageBox*> itemsShown;
    if (s.UseInventory) {
        inventory_.Inventory2().setVisible(false);
        inventory_.Inventory_Hide();
    } else {
        for (int i : inventory_.PickedObject().indices()) {
            ImageBox* item = inventory_.PickedObject().find(i);
            if (i != 0 && item && item->isVisible()) {
                item->setVisible(false);
                itemsShown.push_back(item);
            }
        }
    }
    display_->Refresh();
    QImage picture = transition::screenPicture(*display_);
    // In a window, what lies beyond the screen's work area is not on the screen to be copied.
    if (s.MenusAlwaysVisible)
        transition::blackenMargins(
            picture, transition::beyondWorkArea(*display_, QSize(s.ProjectWidth, s.ProjectHeight)));
    if (s.UseInventory) {
        inventory_.Inventory2().setVisible(buttonShown);
    } else {
        for (ImageBox* item : itemsShown)
            item->setVisible(true);
    }
    return picture;
}

void Transitions::CaptureActualFrame(PictureBox& into) {
    transition::drawOnBlack(into, capture(true));
}

void Transitions::CaptureCurrentFrame(PictureBox& into) {
    transition::drawOnBlack(into, capture(false));
}

void Transitions::TransitionStep1(int number) {
    if (runFlags().quitting || disabled) return;
    try {
        site_.pauseComponents();
        site_.componentsIntoTransition(number, true);
        start_ = capture(true);
        site_.componentsIntoTransition(number, false);
        // Until the slide begins they wait beyond the edge the new frame comes in from.
        if (animated(number) && !isCrossFade(number) && display_)
            site_.componentsWithNewFrame(
                transition::newFrameAt(slideOf(number), 0, display_->pixelGeometry().size()));
        // The old frame stays on the cover while the new one is built under it.
        if (animated(number)) showOnCover(start_);
    } catch (const VbError& e) {
        if (!runFlags().quitting) standardErrorReport(" Error in \"TransitionStep1\". ", e);
    }
}

void Transitions::TransitionStep2(int number, double seconds) {
    if (runFlags().quitting || disabled) return;
    try {
        const bool timerWasOn = frameTimer_.enabled();
        if (texts_.messageShown()) texts_.TimerMessageBox_Timer();
        frameTimer_.setEnabled(false);

        QImage end;
        if (destination) {
            end = pictureOf(destination);
            destination = nullptr;
        } else {
            end = capture(false);
        }
        RenderTransition(number, start_, end, seconds);

        video_.restartAnimations();
        if (timerWasOn) frameTimer_.setEnabled(true);
        hideCover();
        site_.componentsOutOfTransition(number);

        start_ = QImage();
        composer_.clear();
        if (isCrossFade(number)) {
            const QString scratch = project().folders.RootFolder + kScratchFile;
            if (files::fileExists(scratch)) QFile::remove(files::resolve(scratch));
        }
        site_.resumeComponents();
    } catch (const VbError& e) {
        hideCover();
        // Components on the cover would go with it.
        site_.componentsOutOfTransition(number);
        if (!runFlags().quitting) standardErrorReport(" Error in \"TransitionStep2\". ", e);
    }
}

void Transitions::RenderTransition(int number, const QImage& from, const QImage& to,
                                   double seconds) {
    if (!animated(number) || !(seconds > 0)) return;
    RunFlags& f = runFlags();
    running_ = true;
    f.skipTransition = false;
    Render render;
    render.number = number;
    render.seconds = seconds;
    render.generation = ++generation_;
    auto& loop = EventLoop::instance();
    // The pending pass refers to this animation: it goes with it, however the wait ends.
    const auto dropPass = qScopeGuard([&render, &loop] {
        if (render.scheduled) loop.cancel(render.next);
        render.scheduled = false;
    });
    try {
        composer_.setPictures(from.isNull() ? to : from, to);
        if (composer_.isNull()) throw vbError(err::InvalidPicture);
        render.t0 = Clock::instance().nowMs();
        pass(render);
        // The passes are deadlines on the player's clock; whatever waits meanwhile (a
        // walkthrough's commands among them) sees the transition as it stands at its instant.
        // It ends at its last pass, at a click or key, or when a newer one takes the cover.
        Form::modalWaiter()([this, &render, &f] {
            return render.finished || f.skipTransition || render.generation != generation_;
        });
    } catch (const VbError& e) {
        failed(render, e);
    } catch (const std::bad_alloc&) {
        failed(render, vbError(err::OutOfMemory));
    }
    if (render.generation == generation_) {
        f.skipTransition = false;
        running_ = false;
    }
    audio_.UpdateChannelFades(1);
}

void Transitions::pass(Render& render) {
    render.scheduled = false;
    if (render.generation != generation_) return;
    const qint64 elapsedMs = Clock::instance().nowMs() - render.t0;
    const double elapsed = static_cast<double>(elapsedMs) / 1000.0;
    const double progress = std::min(1.0, elapsed / render.seconds);
    try {
        if (isCrossFade(render.number)) {
            showOnCover(composer_.crossFade(static_cast<int>(progress * 255)));
        } else {
            const transition::Slide kind = slideOf(render.number);
            const int offset = composer_.offsetAt(kind, progress);
            showOnCover(composer_.slide(kind, offset));
            site_.componentsWithNewFrame(transition::newFrameAt(kind, offset, composer_.size()));
        }
        audio_.UpdateChannelFades(progress);
    } catch (const VbError& e) {
        failed(render, e);
        return;
    } catch (const std::bad_alloc&) {
        failed(render, vbError(err::OutOfMemory));
        return;
    }
    if (elapsed > render.seconds) {
        render.finished = true;
        return;
    }
    Render* r = &render;
    render.next = EventLoop::instance().schedule(Clock::instance().nowMs() + kPassMs,
                                                 [this, r] { pass(*r); });
    render.scheduled = true;
}

void Transitions::failed(Render& render, const VbError& error) {
    // Reported once a game: the animation stops and the frame shows as it was built.
    if (!renderErrorShown_) standardErrorReport(kRenderError, error);
    renderErrorShown_ = true;
    render.finished = true;
}

void Transitions::abandon() {
    start_ = QImage();
    if (running_) return;
    hideCover();
    site_.componentsOutOfTransition(-1);
}

void Transitions::reset() {
    renderErrorShown_ = false;
    destination = nullptr;
    abandon();
}

} // namespace tv
