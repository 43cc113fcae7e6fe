#include "engine/hotspots.h"

#include "data/file_locator.h"
#include "data/hotspot_record.h"
#include "data/project.h"
#include "data/record_helpers.h"
#include "data/record_values.h"
#include "data/reports.h"
#include "engine/actions.h"
#include "engine/game.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/screen.h"

#include <cmath>

namespace tv {

namespace {
bool isDefaultPointer(const QString& pointer) {
    return pointer.isEmpty() || pointer.toLower() == "default";
}
} // namespace

Hotspots::Hotspots(Game& game) : game_(game) {}

Hotspots::~Hotspots() = default;

void Hotspots::createControls(PictureBox& display) {
    auto* templ = new ImageBox(&display, "Area");
    templ->setVisible(false);
    area_ = std::make_unique<ControlSet<ImageBox>>(templ);
    connect(area_.get(), &ControlSetBase::MouseDown, this, &Hotspots::onAreaMouseDown);
    connect(area_.get(), &ControlSetBase::MouseMove, this,
            [this](int, int, int, double, double) { game_.inventory.mouseMovedOverFrame(); });
    // An animated picture is its hotspot's surface: a press on it, or on its box, is a click on
    // the hotspot.
    auto aniGifMouseDown = [this](int index, int button, int, double x, double y) {
        onAniGifMouseDown(index, button, x, y);
    };
    connect(&game_.video.AniGifBox(), &ControlSetBase::MouseDown, this, aniGifMouseDown);
    connect(&game_.video.AniGif(), &ControlSetBase::MouseDown, this, aniGifMouseDown);
    for (ControlSetBase* set : {static_cast<ControlSetBase*>(&game_.video.AniGifBox()),
                                static_cast<ControlSetBase*>(&game_.video.AniGif())})
        connect(set, &ControlSetBase::MouseMove, this,
                [this](int, int, int, double, double) { game_.inventory.mouseMovedOverFrame(); });
    connect(&game_.BackImage(), &Control::MouseDown, this,
            [this](int button, int, double, double) { onBackgroundMouseDown(button); });
    connect(&game_.BackImage(), &Control::MouseMove, this,
            [this](int, int, double, double) { game_.inventory.mouseMovedOverFrame(); });

    // Items dropped on a hotspot are used on it; dragged over the frame, they close the strip.
    connect(area_.get(), &ControlSetBase::DragDrop, this,
            [this](int index, Control* source, double x, double y) {
                if (ImageBox* area = area_->find(index)) onItemDropped(index, *area, source, x, y);
            });
    auto aniGifDrop = [this](int index, Control* source, double x, double y) {
        if (PictureBox* box = game_.video.AniGifBox().find(index))
            onItemDropped(index, *box, source, x, y);
    };
    connect(&game_.video.AniGifBox(), &ControlSetBase::DragDrop, this, aniGifDrop);
    connect(&game_.video.AniGif(), &ControlSetBase::DragDrop, this, aniGifDrop);
    auto dragOver = [this](int, Control* source, double, double, int) {
        game_.inventory.HideInventoryIfItem(source);
    };
    for (ControlSetBase* set : {static_cast<ControlSetBase*>(area_.get()),
                                static_cast<ControlSetBase*>(&game_.video.AniGifBox()),
                                static_cast<ControlSetBase*>(&game_.video.AniGif())})
        connect(set, &ControlSetBase::DragOver, this, dragOver);
    connect(&game_.BackImage(), &Control::DragOver, this,
            [this](Control* source, double, double, int) {
                game_.inventory.HideInventoryIfItem(source);
            });
}

void Hotspots::onItemDropped(int index, const Control& surface, const Control* source, double x,
                             double y) {
    if (!Inventory::isItem(source)) return;
    SaveClickPos(surface.left() + x, surface.top() + y);
    game_.actions.MakeActionAndConsequences(index, game_.inventory.draggedItemIndex(), false);
}

void Hotspots::ResetFrameAreas() {
    // Errors are skipped one by one: a control that cannot go must not keep the others.
    const std::vector<int> loaded = area_->indices();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        if (*it == 0) continue;
        try {
            area_->Unload(*it);
        } catch (const VbError&) {
        }
    }
    game_.video.unloadHotspotVideos();
}

void Hotspots::applyPointer(Control& control, const QString& pointerFile) {
    if (isDefaultPointer(pointerFile)) {
        ApplyDefaultPointer(control);
        return;
    }
    const QString path = ResolveMediaFile(project().folders.IconsFolder + pointerFile);
    control.setMouseIcon(Picture::load(path));
    control.setMousePointer(pointer::Custom);
}

void Hotspots::LoadAreas() {
    const ProjectFolders& folders = project().folders;
    const QString frame = game_.CurrentFrame.FrameName;
    const QString path = hotspotFilePath(folders, frame);
    if (path.isEmpty()) return;
    RecordReader in = RecordReader::open(path);
    mergedIndex_ = 1;
    pointerFiles_.clear();
    for (int k = 1; !in.atEnd() && !runFlags().quitting; ++k) {
        const qint64 start = in.position();
        try {
            HotspotRecord r;
            r.read(in);
            if (r.Index == 1 && k != 1 && mergedIndex_ == 1) mergedIndex_ = k;
            area_->Load(k);
            ImageBox& area = (*area_)(k);
            const bool showPicture = toBool(r.ShowPicture);
            pointerFiles_[k] = toText(r.Pointer);
            const double left = toNumber(r.Left) + 30, top = toNumber(r.Top) + 30;
            int aniGif = 0;
            if (showPicture && toNumber(r.Animated) != 0) {
                const auto speed = r.hasAnimationSpeed ? toInt16(r.AnimationSpeed) : qint16(0);
                aniGif = game_.video.AniGifNewWithIndex(
                    k, ResolveMediaFile(folders.AreasFolder + toText(r.Picture)), left, top, speed);
                area.setWhatsThisHelpId(aniGif);
                if (PictureBox* box = game_.video.AniGifBox().find(aniGif))
                    applyPointer(*box, toText(r.Pointer));
            }
            if (aniGif == 0) {
                // A 2-pixel margin inside the stored rectangle, and never less than one twip.
                area.Move(left, top, std::max(1.0, toNumber(r.Width) - 60),
                          std::max(1.0, toNumber(r.Height) - 60));
                area.setStretch(toBool(r.Stretch));
                area.setPicture(showPicture ? Picture::load(ResolveMediaFile(folders.AreasFolder +
                                                                             toText(r.Picture)))
                                            : Picture());
                applyPointer(area, toText(r.Pointer));
                if (r.hasVideoTail && toBool(r.HasVideo) && game_.video.loadHotspotVideo(k, r))
                    area.setWhatsThisHelpId(-1);
            }
            area.ZOrder(0);
        } catch (const VbError& e) {
            if (!runFlags().quitting)
                standardErrorReport(QStringLiteral(" Unable to load hotspot #%1. ").arg(k), e);
            // Go on with the next record, so that one bad hotspot is reported once.
            in.seek(start);
            skipToRecordEnd(in);
            if (in.position() == start) break;
        }
    }
}

bool Hotspots::hasDisappeared(const QString& frame, int index) const {
    for (QObject* o : Disappear.entries()) {
        auto* pair = static_cast<ClassVariable*>(o);
        if (pair->name() == frame && pair->value() == index) return true;
    }
    return false;
}

void Hotspots::ShowOrNotShowAreas() {
    const QString frame = game_.CurrentFrame.FrameName;
    const QString path = hotspotFilePath(project().folders, frame);
    if (path.isEmpty()) return;
    try {
        RecordReader in = RecordReader::open(path);
        for (int k = 1; !in.atEnd() && !runFlags().quitting; ++k) {
            bool visible = !hasDisappeared(frame, k);
            HotspotRecord r;
            // A hotspot that has disappeared stays hidden whatever the rest of its record holds.
            if (visible)
                r.read(in);
            else
                skipToRecordEnd(in);
            if (visible && toNumber(r.HasConditions) != 0) {
                // A variable the project does not have (-32000) never hides a hotspot.
                for (const QString& name : r.MustBeZero) {
                    const qint16 v = game_.variables.GetVariableValue(name);
                    if (v != 0 && v != GameVariables::kMissing) {
                        visible = false;
                        break;
                    }
                }
                if (visible) {
                    for (const QString& name : r.MustBeOne) {
                        const qint16 v = game_.variables.GetVariableValue(name);
                        if (v != 1 && v != GameVariables::kMissing) {
                            visible = false;
                            break;
                        }
                    }
                }
            }
            if (!area_->exists(k)) continue;
            ImageBox& area = (*area_)(k);
            area.setVisible(visible);
            const int extra = area.whatsThisHelpId();
            if (extra == -1) game_.video.showHotspotVideo(k, visible);
            if (extra > 0) game_.video.showAniGif(extra, visible);
        }
    } catch (const VbError& e) {
        if (!runFlags().quitting) standardErrorReport(" Unable to set hotspots visibility. ", e);
    }
}

void Hotspots::SaveClickPos(double leftTwips, double topTwips) {
    // Halves go to the even neighbour, as the classic conversion rounds.
    clickPosition_ = QPoint(static_cast<int>(std::nearbyint(leftTwips / 15)),
                            static_cast<int>(std::nearbyint(topTwips / 15)));
}

void Hotspots::onAreaMouseDown(int index, int button, int, double x, double y) {
    if (!area_->exists(index)) return;
    ImageBox& area = (*area_)(index);
    SaveClickPos(area.left() + x, area.top() + y);
    game_.actions.AreaClick(index, button);
    WaitSeconds(0.1, false);
    game_.window().setMousePointer(pointer::Default);
}

void Hotspots::onAniGifMouseDown(int index, int button, double x, double y) {
    PictureBox* box = game_.video.AniGifBox().find(index);
    if (!box) return;
    SaveClickPos(box->left() + x, box->top() + y);
    game_.actions.AreaClick(index, button);
}

void Hotspots::onBackgroundMouseDown(int button) {
    RunFlags& f = runFlags();
    f.stopMovie = true;
    f.skipTransition = true;
    if (!game_.video.IsVideoPlaying() && button == mouseButton::Right)
        game_.shell.menusForPress(button);
}

void Hotspots::ApplyDefaultPointer(Control& control) {
    const QString pointerFile = project().settings.DefaultPointer;
    if (isDefaultPointer(pointerFile)) {
        control.setMousePointer(pointer::Default);
        control.setMouseIcon(Picture());
        return;
    }
    const QString path = ResolveMediaFile(project().folders.IconsFolder + pointerFile);
    try {
        control.setMouseIcon(Picture::load(path));
        control.setMousePointer(pointer::Custom);
    } catch (const VbError&) {
        // The missing file has been reported; the control keeps the system pointer.
        control.setMousePointer(pointer::Default);
    }
}

void Hotspots::applyHotspotPointers() {
    for (int k : area_->indices()) {
        if (k == 0) continue;
        try {
            applyPointer((*area_)(k), pointerFiles_.value(k));
        } catch (const VbError&) {
            // A pointer file gone since the frame opened: the hotspot keeps the one it has.
        }
    }
    game_.video.applyAniGifPointers(
        [this](Control& control, int k) { applyPointer(control, pointerFiles_.value(k)); });
}

void Hotspots::SetScreenPointerArrow() {
    const QString pointerFile = project().settings.DefaultPointer;
    if (isDefaultPointer(pointerFile)) {
        setScreenPointer(pointer::Arrow);
        return;
    }
    try {
        setScreenPointer(pointer::Custom, Picture::load(ResolveMediaFile(
                                              project().folders.IconsFolder + pointerFile)));
    } catch (const VbError&) {
        setScreenPointer(pointer::Arrow);
    }
}

void Hotspots::SetScreenPointerDefault() {
    setScreenPointer(pointer::Default);
}

void Hotspots::ResetDefaultPointer() {
    ApplyDefaultPointer(game_.pictureBox());
    ApplyDefaultPointer(game_.BackImage());
    ApplyDefaultPointer((*area_)(0));
    const ApplyPointer applyDefault = [this](Control& control) { ApplyDefaultPointer(control); };
    game_.texts.applyDefaultPointer(applyDefault);
    game_.inventory.applyDefaultPointer(applyDefault);
    ApplyDefaultPointer(game_.water.PicRipplingWater());
    SetScreenPointerDefault();
}

void Hotspots::WaitSeconds(double seconds, bool withoutEvents) {
    if (runFlags().quitting) return;
    const auto ms = static_cast<qint64>(seconds * 1000);
    if (withoutEvents) {
        EventLoop::instance().sleep(ms);
    } else {
        EventLoop::instance().wait(ms);
    }
}

} // namespace tv
