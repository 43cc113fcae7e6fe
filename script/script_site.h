#pragma once
// What the script parts (host, function library, timed events) need of the game around them.
// The main window implements it; scripts reach frames, hotspots, presentation, menus and
// components only through these operations, so that the script parts can be built and tested on
// their own.

#include <QPoint>
#include <QString>
#include <QStringList>

class QObject;

namespace tv {

class Form;
class PictureBox;
class ImageBox;
class TimerControl;

class ScriptSite {
public:
    // The main window and the parts of it that scripts see by name.
    virtual Form& window() = 0;
    virtual PictureBox& pictureBox() = 0;
    virtual ImageBox& BackImage() = 0;
    virtual QObject& hotspotControls() = 0;
    // The frame timer (Timer1).
    virtual TimerControl& frameTimer() = 0;

    // Frames.
    virtual QString currentFrameName() const = 0;
    virtual void OpenFrame(const QString& frame, bool withTransition = false,
                           int transitionNumber = 0, double transitionSeconds = 0) = 0;
    // The frame before the current one, taken off the history.
    virtual QString previousFrame() = 0;
    // The first step of a transition: the frame on screen is captured.
    virtual void prepareTransition(int transitionNumber) = 0;
    virtual void StartUnloading() = 0;

    // Hotspots and the requests a script leaves behind.
    virtual void simulateHotspotClick(int hotspot) = 0;
    // Shows and hides hotspots as their conditions now say.
    virtual void updateHotspots() = 0;
    virtual QPoint clickPosition() const = 0;
    virtual void saveClickPosition(double leftTwips, double topTwips) = 0;
    virtual int mergedHotspotIndex() const = 0;
    virtual int mergedTextIndex() const = 0;
    virtual void executeConsequences() = 0;
    // The default pointer changed: the frame and its hotspots take it again.
    virtual void reapplyPointers() = 0;

    // Presentation.
    // The window part that scripts know by `scriptName` ("LoopingVideo", "AudioPlayerObject",
    // ...), or nullptr while the player has none.
    virtual QObject* presentationObject(const QString& scriptName) = 0;
    virtual void showMessage(const QString& text) = 0;
    // Message timer, one-time video and every sound channel stop.
    virtual void stopPresentation() = 0;
    virtual int inventoryItemCount() const = 0;
    virtual QString inventoryItemName(int item) const = 0;
    virtual void addInventoryItem(const QString& name, bool silently) = 0;
    virtual void removeInventoryItem(int item) = 0;
    virtual void showInventoryButton(bool shown) = 0;
    virtual void captureFrame(PictureBox& into, bool withoutScreenCapture) = 0;
    virtual void setTransitionDestination(QObject* pictureBox) = 0;
    virtual bool transitionsEnabled() const = 0;
    virtual bool effectsEnabled() const = 0;
    virtual void toggleTransitions() = 0;
    virtual void toggleEffects() = 0;
    virtual void endDialogue() = 0;

    // Menus and display.
    virtual void showMenus(bool shown) = 0;
    virtual void changeDisplayResolution(int code) = 0;

    // Plugins and run-time components.
    virtual QStringList pluginProcedures() const = 0;
    virtual QStringList pluginStartupTexts() const = 0;
    virtual void addComponent(const QString& progId, const QString& name, bool duringTransitions,
                              bool beforeAlphaBlending) = 0;
    virtual void removeComponent(const QString& name) = 0;
    virtual QObject* component(const QString& name) const = 0;
    virtual bool componentExists(const QString& name) const = 0;
    virtual bool progIdExists(const QString& progId) const = 0;

protected:
    ~ScriptSite() = default;
};

} // namespace tv
