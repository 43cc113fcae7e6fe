#include "present/inventory.h"

#include "data/file_locator.h"
#include "data/inventory_files.h"
#include "data/project.h"
#include "data/reports.h"
#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/picture.h"

#include <cmath>

namespace tv {

namespace {

const ProjectSettings& settings() {
    return project().settings;
}

bool isDefaultGraphic(const QString& name) {
    return name.isEmpty() || name.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0;
}

} // namespace

Inventory::Inventory(InventorySite& site) : site_(site) {
    timer_.setInterval(2000);
    connect(&timer_, &TimerControl::Timer, this, [this] { TimerInventory_Timer(); });
}

Inventory::~Inventory() = default;

QImage Inventory::defaultButtonImage() {
    const QRgb face = qRgb(0x3a, 0x2c, 0x1e), ink = qRgb(0xc8, 0xa8, 0x70);
    QImage image(90, 24, QImage::Format_RGB32);
    image.fill(face);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool border =
                x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
            // Three little boxes: things carried.
            const bool box = y >= 6 && y < 18 && x >= 15 && x < 75 && (x - 15) % 24 < 12;
            if (border || box) image.setPixel(x, y, ink);
        }
    }
    return image;
}

void Inventory::createControls(Form& window, PictureBox& display) {
    display_ = &display;
    // The button first, so that the open strip lies over it.
    button_ = new PictureBox(&window, "Inventory2");
    button_->setBorderStyle(0);
    button_->setAutoSize(true);
    button_->setPicture(Picture(defaultButtonImage()));
    button_->setVisible(false);
    strip_ = new PictureBox(&window, "Inventory1");
    strip_->setBorderStyle(0);
    strip_->setBackColor(0x302820);
    strip_->setVisible(false);
    background_ = new ImageBox(strip_, "Inventory_Background");
    background_->setVisible(false);
    auto* templ = new ImageBox(strip_, "PickedObject");
    templ->setVisible(false);
    items_ = std::make_unique<ControlSet<ImageBox>>(templ);

    // The pointer resting on the inventory opens it.
    auto open = [this] { requestTarget(Show); };
    for (Control* c : {static_cast<Control*>(strip_), static_cast<Control*>(button_),
                       static_cast<Control*>(background_)})
        connect(c, &Control::MouseMove, this, [open](int, int, double, double) { open(); });
    connect(items_.get(), &ControlSetBase::MouseMove, this,
            [open](int, int, int, double, double) { open(); });
    for (Control* c : {static_cast<Control*>(strip_), static_cast<Control*>(button_)})
        connect(c, &Control::DragOver, this, [open](Control* source, double, double, int) {
            if (isItem(source)) open();
        });
    connect(items_.get(), &ControlSetBase::MouseDown, this,
            [this](int index, int button, int, double, double) { onItemMouseDown(index, button); });
    connect(items_.get(), &ControlSetBase::DragDrop, this,
            [this](int index, Control* source, double, double) { onItemDropped(index, source); });
}

// ---------------------------------------------------------------------------------------------
// Reset and layout

void Inventory::reset() {
    const std::vector<int> loaded = items_->indices();
    for (int index : loaded) {
        if (index == 0) continue;
        try {
            items_->Unload(index);
        } catch (const VbError&) {
        }
    }
    ObjectsCount = 0;
    DraggedItemIndex = 0;
    InventoryTarget = None;
    InventoryPoppedUp = false;
    timer_.setEnabled(false);
}

void Inventory::layout() {
    const ProjectSettings& s = settings();
    ImageBox& templ = (*items_)(0);
    if (s.UseInventory) {
        const int height = 2 * s.InventoryIconSpacingY + kIconSize;
        strip_->setPixelGeometry(QRect(0, -height, s.ProjectWidth, height));
        button_->setPicture(Picture(defaultButtonImage()));
        button_->setPixelGeometry(QRect(QPoint(0, 0), button_->pixelGeometry().size()));
        strip_->setVisible(true);
        templ.setContainer(strip_);
        Load_InventoryBackground();
        button_->setVisible(!s.HideEmptyInventoryButton);
    } else {
        templ.setContainer(display_);
        strip_->setVisible(false);
        button_->setVisible(false);
    }
}

int Inventory::columns() const {
    const ProjectSettings& s = settings();
    const int pitch = s.InventoryIconSpacingX + kIconSize;
    if (pitch == 0) throw vbError(err::DivisionByZero);
    const int n = s.ProjectWidth / pitch;
    if (n == 0) throw vbError(err::DivisionByZero);
    return n;
}

void Inventory::setStripRows(int rows) {
    const ProjectSettings& s = settings();
    QRect g = strip_->pixelGeometry();
    const bool hidden = g.y() <= -g.height();
    g.setHeight(s.InventoryIconSpacingY + (s.InventoryIconSpacingY + kIconSize) * rows);
    // A hidden strip that grows stays hidden, instead of showing its lower part over the frame.
    if (hidden) g.moveTop(-g.height());
    strip_->setPixelGeometry(g);
    alignBackground();
}

void Inventory::alignBackground() {
    if (!background_->isVisible()) return;
    const QRect g = background_->pixelGeometry();
    background_->setPixelGeometry(
        QRect(0, strip_->pixelGeometry().height() - g.height(), g.width(), g.height()));
}

void Inventory::updateButton() {
    if (ObjectsCount > 0)
        button_->setVisible(true);
    else if (settings().HideEmptyInventoryButton)
        button_->setVisible(false);
}

void Inventory::Load_InventoryBackground() {
    const ProjectSettings& s = settings();
    auto clearBackground = [this] {
        background_->setVisible(false);
        background_->setPicture(Picture());
    };
    if (!s.UseInventory || !s.UseCustomInventoryGraphics) {
        clearBackground();
        return;
    }
    try {
        const QString folder = project().folders.InventoryFolder;
        const QString back = s.InventoryBackgroundImage;
        if (isDefaultGraphic(back) || !files::fileExists(folder + back)) {
            clearBackground();
        } else {
            background_->setPicture(Picture::load(files::resolve(folder + back)));
            background_->setVisible(true);
            alignBackground();
        }
        const QString button = s.InventoryButtonImage;
        if (!isDefaultGraphic(button) && files::fileExists(folder + button))
            button_->setPicture(Picture::load(files::resolve(folder + button)));
    } catch (const VbError&) {
        // A broken picture leaves what was loaded so far.
    }
}

// ---------------------------------------------------------------------------------------------
// Items

QString Inventory::itemName(int item) const {
    if (item < 1 || item > ObjectsCount) return {};
    const ImageBox* e = items_->find(item);
    return e ? e->tag() : QString();
}

void Inventory::log(const char* what, const QString& name) const {
    EventLog::instance().write(QLatin1String(what) + ' ' + name);
}

void Inventory::AddPickedObject(const QString& name, bool bDoNotPopup) {
    const ProjectSettings& s = settings();
    timer_.setEnabled(false);
    QString icon;
    try {
        icon = readItemDefinition(itemDefinitionPath(project().folders, name));
        ++ObjectsCount;
        items_->Load(ObjectsCount);
        ImageBox& item = (*items_)(ObjectsCount);
        // The name goes on first: an item whose icon fails is still carried, under its name.
        item.setTag(name);
        item.setToolTipText(name);
        log("item add", name);
        const int n = columns();
        const int column = (ObjectsCount - 1) % n;
        const int row = (ObjectsCount - 1) / n;
        const int left = s.InventoryIconSpacingX + (s.InventoryIconSpacingX + kIconSize) * column;
        const int top = s.InventoryIconSpacingY + (s.InventoryIconSpacingY + kIconSize) * row;
        item.setPixelGeometry(QRect(QPoint(left, top), item.pixelGeometry().size()));
        const Picture picture =
            Picture::load(ResolveMediaFile(project().folders.AreasFolder + icon));
        item.setPicture(picture);
        item.setDragIcon(picture);
        item.setVisible(true);
        item.ZOrder(0);
        if (s.UseInventory) {
            setStripRows(row + 1);
            updateButton();
        }
    } catch (const VbError&) {
        standardErrorReport(" Unable to pick up the item named '" + name +
                            "'. The item may be unavailable, or the icon '" + icon +
                            "' associated to the item may be corrupt.");
        return;
    }
    if (s.PopUpInventoryOnPickUp && !bDoNotPopup) {
        InventoryPoppedUp = true;
        InventoryTarget = Show;
        if (!InventoryMoving && s.UseInventory) Inventory_Move();
        timer_.setEnabled(false);
        timer_.setEnabled(true);
    }
}

void Inventory::RemovePickedObject(int index) {
    const ProjectSettings& s = settings();
    try {
        // An index outside the list would otherwise take the last item away.
        if (index < 1 || index > ObjectsCount) throw vbError(err::SubscriptOutOfRange);
        const QString name = itemName(index);
        for (int i = index; i < ObjectsCount; ++i) {
            ImageBox& to = (*items_)(i);
            const ImageBox& from = (*items_)(i + 1);
            to.setPicture(from.picture());
            to.setDragIcon(from.dragIcon());
            to.setTag(from.tag());
            to.setToolTipText(from.toolTipText());
        }
        items_->Unload(ObjectsCount);
        --ObjectsCount;
        log("item remove", name);
        if (s.UseInventory && ObjectsCount > 0) setStripRows((ObjectsCount - 1) / columns() + 1);
        if (s.UseInventory && ObjectsCount == 0 && s.HideEmptyInventoryButton)
            button_->setVisible(false);
    } catch (const VbError&) {
        standardErrorReport(" Unable to remove the item from the inventory.");
    }
}

void Inventory::PickOrNotPickObject(int hotspot) {
    const QString path = pickUpFilePath(project().folders, site_.currentFrameName());
    if (path.isEmpty()) return;
    try {
        RecordReader in = RecordReader::open(path);
        const std::optional<QString> item =
            findPickUp(in, hotspot, [] { return runFlags().quitting; });
        if (item) AddPickedObject(*item, false);
    } catch (const VbError& e) {
        if (!runFlags().quitting)
            standardErrorReport(" Error in the \"PickOrNotPickObject\" procedure.\r\n\r\n" +
                                errorText(e));
    }
}

// ---------------------------------------------------------------------------------------------
// Dragging and combining

bool Inventory::isItem(const Control* source) {
    return source && source->name().toLower() == QLatin1String("pickedobject");
}

void Inventory::onItemMouseDown(int index, int button) {
    if (site_.oneTimeVideoPlaying()) return;
    site_.itemMouseDown(button);
    if (button != mouseButton::Left) return;
    ImageBox* item = items_->find(index);
    if (!item) return;
    DraggedItemIndex = index;
    item->Drag(1);
}

void Inventory::onItemDropped(int target, const Control* source) {
    if (!isItem(source) || target == DraggedItemIndex) return;
    combine(target);
}

void Inventory::combine(int target) {
    const int dragged = DraggedItemIndex;
    const QString path = combinationPath(project().folders, itemName(dragged), itemName(target));
    if (!files::fileExists(path)) return;
    try {
        // The whole file is read before anything changes, so that a broken one takes no item
        // away.
        const ItemCombination c = readItemCombination(path);
        if (c.removesDragged()) RemovePickedObject(dragged);
        if (c.removesTarget())
            RemovePickedObject(c.removesDragged() && dragged < target ? target - 1 : target);
        if (c.addsItem()) AddPickedObject(c.NewItem, false);
        const QString script = c.scriptText();
        if (c.hasScript && !runFlags().quitting && !script.isEmpty() && c.RunScript)
            site_.runCombinationScript(script);
    } catch (const VbError&) {
        standardErrorReport(" Unable to combine items.");
    }
}

void Inventory::HideInventoryIfItem(const Control* source) {
    if (isItem(source)) requestTarget(Hide);
}

// ---------------------------------------------------------------------------------------------
// The strip

void Inventory::requestTarget(Target target) {
    InventoryTarget = target;
    if (!InventoryMoving && settings().UseInventory) Inventory_Move();
}

void Inventory::Inventory_Move() {
    if (InventoryMoving) return;
    const ProjectSettings& s = settings();
    InventoryMoving = true;
    EventLoop& loop = EventLoop::instance();
    const Clock& clock = Clock::instance();
    // The step (pixels a pass) is measured again every five passes from the time they took, so
    // that a whole slide takes about kSlideSeconds at any speed.
    double step = 1;
    qint64 t0 = clock.nowMs();
    int n = 0;
    for (;;) {
        const QRect g = strip_->pixelGeometry();
        const int height = g.height();
        const int top = g.y();
        const bool shown = top >= 0;
        const bool hidden = -height >= top;
        if (InventoryTarget == None || (InventoryTarget == Show && shown) ||
            (InventoryTarget == Hide && hidden))
            break;
        if (InventoryPoppedUp) InventoryTarget = Show;
        n = (n + 1) % 5;
        if (n == 2) {
            const qint64 now = clock.nowMs();
            step = height * ((now - t0) / 1000.0) / (kSlideSeconds * 5);
            t0 = now;
        }
        int newTop = top;
        if (InventoryTarget == Show) {
            const int next = static_cast<int>(std::lround(top + step));
            newTop = !s.SlideInventoryIn ? 0 : next < 0 ? next : 0;
        } else {
            const int next = static_cast<int>(std::lround(top - step));
            newTop = !s.SlideInventoryOut ? -height : -height >= next ? -height : next;
        }
        strip_->setPixelGeometry(QRect(g.x(), newTop, g.width(), height));
        // Pointer moves may change the target in between; a closing window ends the slide.
        loop.wait(kSlidePassMs);
        if (loop.quitRequested()) break;
    }
    InventoryMoving = false;
}

void Inventory::Inventory_Hide() {
    InventoryMoving = true;
    QRect g = strip_->pixelGeometry();
    g.moveTop(-g.height());
    strip_->setPixelGeometry(g);
    InventoryMoving = false;
}

void Inventory::TimerInventory_Timer() {
    const ProjectSettings& s = settings();
    timer_.setEnabled(false);
    InventoryPoppedUp = false;
    if (!s.SlideInventoryOut) return;
    InventoryTarget = Hide;
    if (!InventoryMoving && s.UseInventory) Inventory_Move();
}

void Inventory::bringToFront() {
    for (int i = 1; i <= ObjectsCount; ++i)
        if (ImageBox* item = items_->find(i)) item->ZOrder(0);
}

void Inventory::keepAboveDisplay() {
    button_->ZOrder(0);
    strip_->ZOrder(0);
}

void Inventory::hideButton() {
    if (!settings().UseInventory) return;
    Inventory_Hide();
    button_->setVisible(false);
}

void Inventory::showButton() {
    if (settings().UseInventory) button_->setVisible(true);
}

void Inventory::applyDefaultPointer(const ApplyPointer& apply) {
    apply(*strip_);
    apply(*button_);
    apply(*background_);
    for (int i = 1; i <= ObjectsCount; ++i)
        if (ImageBox* item = items_->find(i)) apply(*item);
}

} // namespace tv
