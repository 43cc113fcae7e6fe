#pragma once
// The pixel work of the rippling water: a wave distortion of a still picture, and the masked
// copy that keeps the wave only where a mask is light. Pictures are Format_RGB32 of one size;
// the loops run over scanlines, since a water tick redraws a large rectangle many times a second.

#include <QImage>
#include <QSize>

namespace tv::wave {

// The picture as a water surface: Format_RGB32, `size`, the part outside the picture black.
QImage surface(const QImage& picture, QSize size);

// Draws `source` into `destination` (same size) displaced by two sine waves: rows sway sideways
// and columns up and down, both moving with `phase` (radians; a falling phase runs the other
// way). `strength` is the largest displacement in pixels (its size counts; 0 copies the picture
// unchanged). Every pixel is taken from inside the source, so the wave stays in its rectangle.
void distort(QImage& destination, const QImage& source, int strength, double phase);

// What the masked copy puts back: the still picture where the mask is dark, nothing (black)
// where it is light. Computed once per picture: still AND NOT mask.
QImage maskedPicture(const QImage& still, const QImage& mask);

// destination = (destination AND mask) OR masked, bit by bit: where the mask is white the wave
// stays, where it is black the masked picture shows.
void maskedCopy(QImage& destination, const QImage& masked, const QImage& mask);

// A rectangle of water: the still picture and its mask, prepared once, and the pictures of the
// animation drawn from them. Two buffers take turns, so that the picture on show is never
// copied when the next one is drawn.
class Ripple {
public:
    // `mask` of another size or format is fitted to the still picture (black where it does not
    // reach: the still picture shows there).
    void prepare(const QImage& still, const QImage& mask);
    void clear();
    bool isNull() const { return still_.isNull(); }
    QSize size() const { return still_.size(); }

    // One picture of the animation: the wave, then the masked copy.
    const QImage& draw(int strength, double phase);

private:
    QImage still_;
    QImage mask_;
    QImage masked_;
    QImage buffers_[2];
    int next_ = 0;
};

} // namespace tv::wave
