#include "platform/product_logo.h"

#include "platform/controls.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace tv {

namespace {

constexpr QSize kSize(112, 30);

// A round emblem: a weather vane's arrow over a post, on the product's teal.
void drawEmblem(QPainter& painter, const QRectF& box, const QColor& ink) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 150, 160));
    painter.drawEllipse(box);
    const QPointF c = box.center();
    const double r = box.width() / 2;
    QPen pen(ink, r * 0.16, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    // The post and the arrow's shaft.
    painter.drawLine(QPointF(c.x(), c.y() - r * 0.15), QPointF(c.x(), c.y() + r * 0.6));
    painter.drawLine(QPointF(c.x() - r * 0.55, c.y() - r * 0.15),
                     QPointF(c.x() + r * 0.45, c.y() - r * 0.15));
    // The head and the tail feathers.
    QPainterPath head;
    head.moveTo(c.x() + r * 0.65, c.y() - r * 0.15);
    head.lineTo(c.x() + r * 0.3, c.y() - r * 0.42);
    head.lineTo(c.x() + r * 0.3, c.y() + r * 0.12);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(head);
    painter.setPen(pen);
    painter.drawLine(QPointF(c.x() - r * 0.55, c.y() - r * 0.15),
                     QPointF(c.x() - r * 0.7, c.y() - r * 0.38));
    painter.drawLine(QPointF(c.x() - r * 0.55, c.y() - r * 0.15),
                     QPointF(c.x() - r * 0.7, c.y() + r * 0.08));
}

} // namespace

Picture productLogo(int ink, bool mirrored) {
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor text = ink == 0 ? QColor(236, 240, 244) : QColor(28, 36, 52);
    const QColor ground = ink == 0 ? QColor(255, 255, 255, 36) : QColor(0, 0, 0, 28);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ground);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kSize.width() - 1, kSize.height() - 1), 8, 8);

    const double emblem = kSize.height() - 6;
    const QRectF emblemBox(mirrored ? kSize.width() - 3 - emblem : 3, 3, emblem, emblem);
    drawEmblem(painter, emblemBox, QColor(255, 255, 255));

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(fontPixelSize(10));
    font.setBold(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    painter.setFont(font);
    painter.setPen(text);
    const QRectF words = mirrored ? QRectF(6, 0, emblemBox.left() - 10, kSize.height())
                                  : QRectF(emblemBox.right() + 6, 0,
                                           kSize.width() - emblemBox.right() - 12, kSize.height());
    painter.drawText(words, Qt::AlignVCenter | (mirrored ? Qt::AlignRight : Qt::AlignLeft),
                     QStringLiteral("Torvane"));
    painter.end();
    return Picture(image);
}

} // namespace tv
