#pragma once
// The inventory: the items the player carries, as 32 x 32 icons (the image set PickedObject) on a
// strip (Inventory1) that hangs above the top edge of the game window and slides down while the
// pointer rests on the inventory button (Inventory2) or on the strip itself. Items are dragged
// from the strip onto hotspots (the frame engine runs the hotspot's item action) or onto each
// other (the two are combined as the project's combination file says).

#include "platform/control_set.h"
#include "platform/controls.h"
#include "platform/timer_control.h"
#include "present/presentation_hooks.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tv {

// What the inventory needs of the game.
class InventorySite {
public:
    virtual ~InventorySite() = default;
    virtual QString currentFrameName() const = 0;
    // Runs a combination's script and then what it leaves to do (a frame change, the end).
    virtual void runCombinationScript(const QString& code) = 0;
    // A press on an item, outside a one-time video: the menus are looked after as on every
    // surface of the frame.
    virtual void itemMouseDown(int button) = 0;
    virtual bool oneTimeVideoPlaying() const = 0;
};

class Inventory : public QObject {
    Q_OBJECT
public:
    // The strip's targets.
    enum Target { None = 0, Show = 1, Hide = 2 };
    static constexpr int kIconSize = 32;
    static constexpr double kSlideSeconds = 0.3;
    // Each pass of the slide lets this much time go by (so the slide is paced, not spun).
    static constexpr int kSlidePassMs = 10;

    explicit Inventory(InventorySite& site);
    ~Inventory() override;

    // The strip and the button lie in the game window, over the frame display.
    void createControls(Form& window, PictureBox& display);

    // Game reset: every item unloaded, none counted.
    void reset();
    // Game reset, with the project's settings: the strip, the button and their graphics.
    void layout();

    void AddPickedObject(const QString& name, bool bDoNotPopup);
    void RemovePickedObject(int index);
    void PickOrNotPickObject(int hotspot);
    int itemCount() const { return ObjectsCount; }
    // The name (Tag) of item 1 ... itemCount(), "" for any other index.
    QString itemName(int item) const;

    void Inventory_Move();
    void Inventory_Hide();
    void Load_InventoryBackground();
    void TimerInventory_Timer();
    bool moving() const { return InventoryMoving; }
    // The pointer moved over the frame: the strip goes up.
    void mouseMovedOverFrame() { requestTarget(Hide); }
    // Something is dragged over the frame: the strip goes up when it is an item.
    void HideInventoryIfItem(const Control* source);
    // Whether a dragged control is an inventory item (dropping it on a hotspot uses it there).
    static bool isItem(const Control* source);
    // The item on which the last left press started a drag.
    int draggedItemIndex() const { return DraggedItemIndex; }

    // After a frame opens: the items above everything else of the strip.
    void bringToFront();
    // The button and the strip over the frame display again, after it was raised.
    void keepAboveDisplay();
    // Scripts: the strip moved above the window and the button hidden, or the button shown.
    void hideButton();
    void showButton();
    void applyDefaultPointer(const ApplyPointer& apply);

    ControlSet<ImageBox>& PickedObject() { return *items_; }
    PictureBox& Inventory1() { return *strip_; }
    PictureBox& Inventory2() { return *button_; }
    ImageBox& Inventory_Background() { return *background_; }
    TimerControl& TimerInventory() { return timer_; }
    int inventoryTarget() const { return InventoryTarget; }

    // The built-in 90 x 24 button picture.
    static QImage defaultButtonImage();

private:
    void requestTarget(Target target);
    void setStripRows(int rows);
    void alignBackground();
    void updateButton();
    int columns() const; // "Division by zero" (11) when an icon spacing leaves no column
    void onItemMouseDown(int index, int button);
    void onItemDropped(int target, const Control* source);
    void combine(int target);
    void log(const char* what, const QString& name) const;

    InventorySite& site_;
    PictureBox* display_ = nullptr;
    PictureBox* strip_ = nullptr;
    PictureBox* button_ = nullptr;
    ImageBox* background_ = nullptr;
    std::unique_ptr<ControlSet<ImageBox>> items_;
    TimerControl timer_{"TimerInventory"};

    int ObjectsCount = 0;
    int DraggedItemIndex = 0;
    int InventoryTarget = None;
    bool InventoryMoving = false;
    bool InventoryPoppedUp = false;
};

} // namespace tv
