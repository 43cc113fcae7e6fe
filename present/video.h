#pragma once
// Moving pictures in the frame display: the one-time video (a cut-scene played over the frame
// while the game waits for it), the looping videos of hotspots (VideoPlayer, one element per
// hotspot) and the animated pictures of hotspots (AniGif, each shown in its box AniGifBox, with
// the hotspot's index). CustomMediaPlayer is a spare player for scripts.

#include "platform/animated_picture.h"
#include "platform/control_set.h"
#include "platform/video_player.h"
#include "present/presentation_hooks.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

struct HotspotRecord;
class Form;
class PictureBox;

// Where a one-time video plays: unstretched at a position, at the player's own place and size,
// or stretched to a rectangle (pixels of the frame display).
struct VideoPlacement {
    bool stretched = false;
    int left = 0, top = 0, width = 0, height = 0;

    static VideoPlacement of(bool atPosition, bool unplaced, int left, int top, int width,
                             int height) {
        if (atPosition) return {false, left, top, 0, 0};
        if (unplaced) return {};
        return {true, left, top, width, height};
    }
};

class Video : public QObject {
    Q_OBJECT
public:
    Video();
    ~Video() override;

    // The controls live in the frame display of the main window.
    void createControls(Form& window, PictureBox& display);

    // One-time video. Placement in pixels of the frame display; the file is relative to the
    // Frames folder.
    void PlayMovieWithStop(const QString& file, const VideoPlacement& placement);
    void StopOneTimeVideoPlayer();
    bool IsVideoPlaying() const;
    // True during the short pause before a video starts: clicks then are no hotspot clicks.
    bool startingVideo() const { return starting_; }

    // Looping hotspot videos: element k of VideoPlayer plays hotspot k's video. Hidden until the
    // hotspot is shown.
    bool loadHotspotVideo(int k, const HotspotRecord& hotspot);
    void showHotspotVideo(int k, bool visible);
    // Starts again every visible looping video (after a one-time video ended).
    void restartLoopingVideos();
    // Plays any media player object, reporting a failure with the video message.
    void PlayPlayerObject(QObject* player);

    // Animated pictures. Returns the pair number (the hotspot index), as the hotspot records it.
    int AniGifNewWithIndex(int index, const QString& file, double left, double top, int speed);
    void AniGifUpdate(int index, const QString& file, int speed);
    void showAniGif(int pair, bool visible);
    // Removes the hotspot videos and animated pictures of the frame.
    void unloadHotspotVideos();
    void applyAniGifPointers(const ApplyHotspotPointer& apply);
    // Stops and starts every animation on show again (after a transition redrew the frame).
    void restartAnimations();

    ControlSet<VideoPlayer>& OneTimeVideoPlayer() { return *oneTime_; }
    ControlSet<VideoPlayer>& VideoPlayers() { return *looping_; }
    ControlSet<PictureBox>& AniGifBox() { return *aniGifBox_; }
    ControlSet<AnimatedPicture>& AniGif() { return *aniGif_; }
    VideoPlayer& CustomMediaPlayer() { return *custom_; }

signals:
    // The frame display was brought to the front of the window (before and after a one-time
    // video); what must stay over it (the inventory) rises again.
    void displayRaised();

private:
    Form* window_ = nullptr;
    PictureBox* display_ = nullptr;
    std::unique_ptr<ControlSet<VideoPlayer>> oneTime_;
    std::unique_ptr<ControlSet<VideoPlayer>> looping_;
    std::unique_ptr<ControlSet<PictureBox>> aniGifBox_;
    std::unique_ptr<ControlSet<AnimatedPicture>> aniGif_;
    VideoPlayer* custom_ = nullptr;
    bool starting_ = false;
};

} // namespace tv
