#include "present/video.h"

#include "data/file_locator.h"
#include "data/hotspot_record.h"
#include "data/project.h"
#include "data/record_values.h"
#include "data/reports.h"
#include "data/ui_texts.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "present/audio.h"

#include <QMetaObject>
#include <optional>

namespace tv {

namespace {
// The pause between preparing a one-time video and starting it; clicks in it are swallowed.
constexpr qint64 kVideoStartPauseMs = 300;
// What an animation speed below 1 means.
constexpr int kDefaultAnimationSpeed = 50;
} // namespace

Video::Video() = default;

Video::~Video() = default;

void Video::createControls(Form& window, PictureBox& display) {
    window_ = &window;
    display_ = &display;
    auto hidden = [](auto* control) {
        control->setVisible(false);
        return control;
    };
    oneTime_ = std::make_unique<ControlSet<VideoPlayer>>(
        hidden(new VideoPlayer(&display, "OneTimeVideoPlayer")));
    looping_ =
        std::make_unique<ControlSet<VideoPlayer>>(hidden(new VideoPlayer(&display, "VideoPlayer")));
    auto* box = hidden(new PictureBox(&display, "AniGifBox"));
    box->setBorderStyle(0);
    box->setSeeThrough(true);
    aniGifBox_ = std::make_unique<ControlSet<PictureBox>>(box);
    aniGifBox_->connectEach([](PictureBox& element, int) { element.setSeeThrough(true); });
    aniGif_ =
        std::make_unique<ControlSet<AnimatedPicture>>(hidden(new AnimatedPicture(box, "AniGif")));
    custom_ = hidden(new VideoPlayer(&display, "CustomMediaPlayer"));
}

// ---------------------------------------------------------------------------------------------
// The one-time video

void Video::PlayMovieWithStop(const QString& file, const VideoPlacement& placement) {
    // Errors do not stop the sequence: the first one is reported at the end.
    std::optional<VbError> failure;
    auto attempt = [&failure](const auto& step) {
        try {
            step();
        } catch (const VbError& e) {
            if (!failure) failure = e;
        }
    };
    attempt([&] { window_->Show(); });
    attempt([&] {
        if (oneTime_->exists(1)) oneTime_->Unload(1);
        oneTime_->Load(1);
    });
    VideoPlayer* player = oneTime_->find(1);
    attempt([&] {
        if (!player) return;
        player->setAutoSize(!placement.stretched);
        QRect rect(placement.left, placement.top, placement.width, placement.height);
        if (!placement.stretched) rect.setSize(player->pixelGeometry().size());
        player->setPixelGeometry(rect);
        // The player's own controls and status bar stay hidden.
        player->setShowControls(false);
        player->setShowStatusBar(false);
    });
    const QString path = ResolveMediaFile(project().folders.FramesFolder + file);
    attempt([&] {
        if (!player) return;
        player->setVolume(Audio::levelToVolume(7));
        display_->ZOrder(0);
        emit displayRaised();
        display_->Refresh();
        player->setFileName(path);
        player->setCurrentPosition(0);
        player->ZOrder(0);
        player->setVisible(true);
    });
    starting_ = true;
    EventLoop::instance().wait(kVideoStartPauseMs);
    starting_ = false;
    attempt([&] {
        if (player && oneTime_->find(1) == player) player->Play();
    });
    EventLoop::instance().doEvents();
    if (failure)
        standardErrorReport(" Error while attempting to play the following video file: \"" + file +
                            "\". " + errorText(*failure));
}

void Video::StopOneTimeVideoPlayer() {
    if (!oneTime_ || !oneTime_->exists(1)) return;
    display_->ZOrder(0);
    emit displayRaised();
    display_->Refresh();
    (*oneTime_)(1).Stop();
    oneTime_->Unload(1);
}

bool Video::IsVideoPlaying() const {
    const VideoPlayer* player = oneTime_ ? oneTime_->find(1) : nullptr;
    return player && player->playState() == MediaPlayer::Playing;
}

// ---------------------------------------------------------------------------------------------
// Looping hotspot videos

bool Video::loadHotspotVideo(int k, const HotspotRecord& r) {
    looping_->Load(k);
    VideoPlayer& player = (*looping_)(k);
    player.Move(toNumber(r.Left), toNumber(r.Top));
    const bool autoSize = toBool(r.VideoAutoSize);
    player.setAutoSize(autoSize);
    if (!autoSize) {
        player.setWidth(std::max(1.0, toNumber(r.Width)));
        player.setHeight(std::max(1.0, toNumber(r.Height)));
    }
    player.setFileName(ResolveMediaFile(project().folders.FramesFolder + toText(r.VideoFile)));
    const double rate = toNumber(r.VideoRate);
    player.setRate(rate == 0 ? 1 : rate);
    player.setPlayCount(toInt16(r.VideoPlayCount));
    player.setVolume(Audio::levelToVolume(toNumber(r.VideoVolume)));
    player.ZOrder(0);
    return true;
}

void Video::showHotspotVideo(int k, bool visible) {
    VideoPlayer* player = looping_->find(k);
    if (!player) return;
    if (player->isVisible() && !visible) {
        player->setVisible(false);
        player->Stop();
    } else if (!player->isVisible() && visible) {
        player->setCurrentPosition(0);
        PlayPlayerObject(player);
        player->setVisible(true);
    }
}

void Video::restartLoopingVideos() {
    for (int k : looping_->indices()) {
        VideoPlayer& player = (*looping_)(k);
        if (k == 0 || !player.isVisible()) continue;
        player.Stop();
        PlayPlayerObject(&player);
    }
}

void Video::PlayPlayerObject(QObject* player) {
    try {
        if (!player) throw vbError(err::ObjectRequired);
        // Any media player object: called by name, as scripts' objects are.
        if (auto* video = qobject_cast<VideoPlayer*>(player)) {
            video->Play();
        } else if (auto* sound = qobject_cast<MediaPlayer*>(player)) {
            sound->Play();
        } else if (!QMetaObject::invokeMethod(player, "Play")) {
            throw vbError(err::NoSuchMember);
        }
    } catch (const VbError& e) {
        const UiTexts& t = uiTexts();
        DialogService::instance().msgBox(t[30] + " " + t[31] +
                                             "\r\n\r\nUnable to play video file. " + errorText(e),
                                         mb::Critical, t[29]);
    }
}

// ---------------------------------------------------------------------------------------------
// Animated pictures

int Video::AniGifNewWithIndex(int index, const QString& file, double left, double top, int speed) {
    if (file.isEmpty() || index < 1) return index;
    aniGifBox_->Load(index);
    aniGif_->Load(index);
    PictureBox& box = (*aniGifBox_)(index);
    AnimatedPicture& picture = (*aniGif_)(index);
    picture.setContainer(&box);
    box.Move(left, top);
    box.ZOrder(0);
    AniGifUpdate(index, file, speed);
    return index;
}

void Video::AniGifUpdate(int index, const QString& file, int speed) {
    if (runFlags().quitting) return;
    try {
        if (file.isEmpty()) {
            if (aniGif_->exists(index)) aniGif_->Unload(index);
            if (aniGifBox_->exists(index)) aniGifBox_->Unload(index);
            return;
        }
        if (!files::fileExists(file)) return;
        AnimatedPicture& picture = (*aniGif_)(index);
        picture.setFileName(files::resolve(file));
        picture.Move(0, 0);
        picture.setSpeed(speed < 1 ? kDefaultAnimationSpeed : speed);
        picture.Play();
        picture.setVisible(true);
        PictureBox& box = (*aniGifBox_)(index);
        const QRect own = picture.pixelGeometry();
        box.setPixelGeometry(QRect(box.pixelGeometry().topLeft(), own.size()));
        if (window_->isVisible()) window_->SetFocus();
    } catch (const VbError& e) {
        standardErrorReport(" Unable to load '" + file + "'.", e);
    }
}

void Video::showAniGif(int pair, bool visible) {
    PictureBox* box = aniGifBox_->find(pair);
    AnimatedPicture* picture = aniGif_->find(pair);
    if (!box) return;
    try {
        if (picture && box->isVisible() && !visible) {
            picture->Stop();
        } else if (picture && !box->isVisible() && visible) {
            // Window events run after each call, without letting game time pass.
            picture->Stop();
            EventLoop::instance().drain();
            picture->Play();
            EventLoop::instance().drain();
        }
        box->setVisible(visible);
    } catch (const VbError&) {
        // Skipped, as every visibility change of the frame's hotspots is.
    }
}

void Video::restartAnimations() {
    for (int i : aniGif_->indices()) {
        // Only the pictures on show: a hidden hotspot's animation waits until it is shown.
        const PictureBox* box = aniGifBox_->find(i);
        if (i == 0 || !box || !box->isVisible()) continue;
        AnimatedPicture& picture = (*aniGif_)(i);
        picture.Stop();
        picture.Play();
    }
}

void Video::unloadHotspotVideos() {
    // Highest first, each on its own: one that cannot go does not keep the others.
    auto unloadAll = [](ControlSetBase& set, const std::function<void(int)>& before = {}) {
        const std::vector<int> loaded = set.indices();
        for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
            if (*it == 0) continue;
            try {
                if (before) before(*it);
                set.Unload(*it);
            } catch (const VbError&) {
            }
        }
    };
    unloadAll(*looping_);
    unloadAll(*aniGif_, [this](int i) {
        if (PictureBox* box = aniGifBox_->find(i)) box->setVisible(false);
    });
    unloadAll(*aniGifBox_);
}

void Video::applyAniGifPointers(const ApplyHotspotPointer& apply) {
    for (int i : aniGifBox_->indices())
        if (i != 0) apply((*aniGifBox_)(i), i);
}

} // namespace tv
