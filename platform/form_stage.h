#pragma once
// A form's inner area shown as a picture of fixed size scaled to fit the window. Internal to the
// forms runtime.

#include <QGraphicsView>
#include <QSize>

class QGraphicsProxyWidget;

namespace tv::detail {

// The controls keep living in the client widget at its own size; the view paints it scaled to
// the area it is given, centred, with black bars, and maps the pointer back through the same
// scale, so every control sees its own coordinates as before.
class Stage : public QGraphicsView {
public:
    Stage(QWidget* window, QWidget* client, QSize size);

    QSize pictureSize() const { return size_; }
    void setPictureSize(QSize size);
    double scale() const { return scale_; }
    // Where the picture lies in the view, in the view's pixels.
    QRect pictureRect() const;
    // The widget inside the picture that keys go to.
    QWidget* innerFocus() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    QWidget* client_;
    QGraphicsProxyWidget* proxy_ = nullptr;
    QSize size_;
    double scale_ = 1.0;
};

} // namespace tv::detail
