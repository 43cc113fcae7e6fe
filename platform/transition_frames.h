#pragma once
// The pixel work of frame transitions: pictures of the frame display (as the screen shows it, and
// as its controls draw it off-screen), and the pictures in which the old frame gives way to the
// new one, a cross-fade or a slide. Pictures are Format_RGB32; one transition step composes one
// picture in memory, so it must stay cheap at large frame sizes.

#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QSize>

namespace tv {

class Control;
class CanvasControl;

namespace transition {

// What the screen shows of `display`'s area of its window, with whatever lies over it there (a
// strip hanging over the frame, a cover), in the display's own pixels.
QImage screenPicture(const Control& display);
// `display` drawn off-screen with its own child controls, whatever covers it in the window.
QImage composedPicture(const Control& display);
// How far a rectangle of `size` pixels, from the display's top-left corner on the screen, reaches
// beyond the screen's work area on each side (0 where it does not).
QMargins beyondWorkArea(const Control& display, QSize size);
// Clears the box's drawing to black and draws `picture` on it, at its top-left corner, unscaled.
void drawOnBlack(CanvasControl& box, const QImage& picture);
// Paints the margins of `picture` black.
void blackenMargins(QImage& picture, const QMargins& margins);

// Where the new frame comes in from. The pair moves as a whole: the new frame pushes the old one
// out on the other side.
enum class Slide { FromLeft, FromRight, FromTop, FromBottom };

// Where the new frame's top-left corner lies in a slide of pictures of `size` that has moved
// `offset` pixels of its way (0: just beyond the edge it comes in from; the width or height: in
// place).
QPoint newFrameAt(Slide kind, int offset, QSize size);

// The pictures of one transition. Two buffers take turns, so that the picture on show is never
// copied when the next one is composed.
class Composer {
public:
    // Both pictures are fitted to the size of `from` (black where `to` does not reach).
    void setPictures(const QImage& from, const QImage& to);
    void clear();
    QSize size() const { return from_.size(); }
    bool isNull() const { return from_.isNull(); }

    // The new frame over the old one with one constant alpha (0: the old frame, 255: the new).
    const QImage& crossFade(int alpha);
    // The pair moved by `offset` pixels of its way (0: the old frame, the width or height: the
    // new one).
    const QImage& slide(Slide kind, int offset);
    // How many pixels of its way the pair has moved at `progress` (0 to 1).
    int offsetAt(Slide kind, double progress) const;

private:
    QImage& nextBuffer();

    QImage from_;
    QImage to_;
    QImage buffers_[2];
    int next_ = 0;
};

} // namespace transition
} // namespace tv
