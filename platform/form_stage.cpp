#include "platform/form_stage.h"

#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/screen.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

#include <cmath>

namespace tv::detail {

Stage::Stage(QWidget* window, QWidget* client, QSize size)
    : QGraphicsView(window), client_(client), size_(size.expandedTo(QSize(1, 1))) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundBrush(Qt::black);
    setAlignment(Qt::AlignCenter);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    // Only what a control repaints is scaled and painted again.
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    // The scene goes with the view, and the client with the scene's proxy.
    auto* scene = new QGraphicsScene(this);
    scene->setBackgroundBrush(Qt::black);
    setScene(scene);
    client->setParent(nullptr);
    client->resize(size_);
    proxy_ = scene->addWidget(client);
    proxy_->setPos(0, 0);
    client->show();
    proxy_->show();
    proxy_->setFlag(QGraphicsItem::ItemIsFocusable);
    scene->setFocusItem(proxy_);
    fit();
}

void Stage::setPictureSize(QSize size) {
    size_ = size.expandedTo(QSize(1, 1));
    client_->resize(size_);
    fit();
}

QRect Stage::pictureRect() const {
    const QSize shown(qRound(size_.width() * scale_), qRound(size_.height() * scale_));
    return {QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown};
}

QWidget* Stage::innerFocus() const {
    QWidget* focus = client_->focusWidget();
    return focus ? focus : client_;
}

void Stage::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    fit();
}

void Stage::fit() {
    const QSize area = viewport()->size();
    double scale =
        std::min(double(area.width()) / size_.width(), double(area.height()) / size_.height());
    if (!(scale > 0)) scale = 1.0;
    scale_ = scale;
    // Whole factors stay sharp: each pixel of the picture becomes a square block.
    const bool whole = std::abs(scale - std::round(scale)) < 1e-9;
    setRenderHint(QPainter::SmoothPixmapTransform, !whole);
    setRenderHint(QPainter::Antialiasing, false);
    setSceneRect(QRectF(QPointF(0, 0), QSizeF(size_)));
    setTransform(QTransform::fromScale(scale, scale));
    viewport()->update();
}

} // namespace tv::detail

// ---------------------------------------------------------------------------------------------
// The form's side

namespace tv {

namespace {
detail::Stage* stageOf(const QPointer<QWidget>& stage) {
    return static_cast<detail::Stage*>(stage.data());
}
} // namespace

void Form::setStageSize(QSize pixels) {
    if (detail::Stage* stage = stageOf(stage_)) {
        stage->setPictureSize(pixels);
        return;
    }
    auto* stage = new detail::Stage(widget(), clientWidget(), pixels);
    stage_ = stage;
    if (QMenuBar* bar = menuBar()) bar->raise();
    stage->show();
    layoutClient();
}

QSize Form::stageSize() const {
    const detail::Stage* stage = stageOf(stage_);
    return stage ? stage->pictureSize() : QSize();
}

double Form::stageScale() const {
    const detail::Stage* stage = stageOf(stage_);
    return stage ? stage->scale() : 1.0;
}

QRect Form::stageRect() const {
    const detail::Stage* stage = stageOf(stage_);
    if (!stage) return clientWidget()->geometry();
    return stage->pictureRect().translated(stage->pos());
}

bool Form::ownsKeyTarget(const QWidget* target) const {
    const detail::Stage* stage = stageOf(stage_);
    if (stage && (target == stage || target == stage->viewport()))
        return dynamic_cast<detail::ControlWidget*>(stage->innerFocus()) != nullptr;
    return dynamic_cast<const detail::ControlWidget*>(target) != nullptr;
}

bool Form::takesKeyLeftByComponent(QWidget* focus, QWidget* target) const {
    if (ownsKeyTarget(focus) || !ownsKeyTarget(target)) return false;
    // In a staged picture the focus that counts is the one inside it.
    const detail::Stage* stage = stageOf(stage_);
    const bool staged = stage && (focus == stage || focus == stage->viewport());
    QWidget* inner = staged ? stage->innerFocus() : focus;
    // The nearest parent whose keys the form takes.
    auto ownAbove = [this](QWidget* w) {
        w = w ? w->parentWidget() : nullptr;
        while (w && !ownsKeyTarget(w))
            w = w->parentWidget();
        return w;
    };
    const auto* host = dynamic_cast<const detail::ControlWidget*>(ownAbove(inner));
    const auto* control = host ? qobject_cast<WidgetControl*>(host->owner()) : nullptr;
    if (!control || !control->passesKeysOn()) return false;
    return target == ownAbove(focus);
}

void Form::setFullScreen(bool on) {
    QWidget* window = widget();
    Qt::WindowStates state =
        window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (on) state |= Qt::WindowFullScreen;
    window->setWindowState(state);
    layoutClient();
}

bool Form::isFullScreen() const {
    return widget()->windowState() & Qt::WindowFullScreen;
}

QRect Form::screenGeometry() const {
    const QScreen* screen = widget()->screen();
    return screen ? screen->geometry() : Screen::geometry();
}

} // namespace tv
