#pragma once
// The open frame's hotspots: one element of the image set Area per hotspot record, placed over
// the frame display, with its picture, pointer and visibility; mouse events on them and on the
// background hotspot become clicks of the frame engine.

#include "platform/control_set.h"
#include "platform/controls.h"
#include "script/variables.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <memory>

namespace tv {

class Game;

class Hotspots : public QObject {
    Q_OBJECT
public:
    explicit Hotspots(Game& game);
    ~Hotspots() override;

    // Creates Area's template inside the frame display; called once the display exists.
    void createControls(PictureBox& display);

    void ResetFrameAreas();
    void LoadAreas();
    void ShowOrNotShowAreas();
    void SaveClickPos(double leftTwips, double topTwips);
    void SetScreenPointerArrow();
    void SetScreenPointerDefault();
    void ResetDefaultPointer();
    void ApplyDefaultPointer(Control& control);
    // Gives every hotspot of the frame its own pointer again (after the default one changed).
    void applyHotspotPointers();
    // Loops until the seconds have passed or the game quits, pumping events unless told not to.
    void WaitSeconds(double seconds, bool withoutEvents);

    // Hotspots hidden for the rest of the game: Name = frame, Value = hotspot index.
    VariablesCollection Disappear;
    void clearDisappeared() { Disappear.clear(); }
    bool hasDisappeared(const QString& frame, int index) const;

    // The first record of the second merged part of the hotspot file (1 when not merged).
    int mergedIndex() const { return mergedIndex_; }
    void resetMergedIndex() { mergedIndex_ = 1; }
    QPoint clickPosition() const { return clickPosition_; }
    void resetClickPosition() { clickPosition_ = {}; }

    ControlSet<ImageBox>& Area() { return *area_; }

private:
    void onAreaMouseDown(int index, int button, int shift, double x, double y);
    void onAniGifMouseDown(int index, int button, double x, double y);
    void onBackgroundMouseDown(int button);
    // An inventory item dropped at (x, y) of hotspot `index`'s surface.
    void onItemDropped(int index, const Control& surface, const Control* source, double x,
                       double y);
    void applyPointer(Control& control, const QString& pointerFile);

    Game& game_;
    std::unique_ptr<ControlSet<ImageBox>> area_;
    int mergedIndex_ = 1;
    // Each hotspot's own pointer file, by hotspot number.
    QHash<int, QString> pointerFiles_;
    QPoint clickPosition_;
};

} // namespace tv
