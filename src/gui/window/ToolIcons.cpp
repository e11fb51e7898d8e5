#include "window/ToolIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace impmap::gui {

namespace {

constexpr int kSize = 32;

// Draws at 32 pixels; smaller sizes are scaled from it.
template <typename Draw> QIcon Drawn(Draw draw)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

QIcon RedDiskIcon()
{
    return Drawn([](QPainter& p) {
        // The body with a cut corner.
        QPainterPath body;
        body.moveTo(3, 3);
        body.lineTo(25, 3);
        body.lineTo(29, 7);
        body.lineTo(29, 29);
        body.lineTo(3, 29);
        body.closeSubpath();
        p.setPen(QPen(QColor(110, 0, 0), 1.5));
        p.setBrush(QColor(210, 20, 20));
        p.drawPath(body);
        // The metal shutter with its slot, and the white label.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 200, 205));
        p.drawRect(QRectF(9, 3.5, 14, 9));
        p.setBrush(QColor(120, 0, 0));
        p.drawRect(QRectF(18, 5, 3, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 17, 18, 10));
    });
}

QIcon FlashlightIcon()
{
    return Drawn([](QPainter& p) {
        // The beam, widening to the upper right.
        QPainterPath beam;
        beam.moveTo(17, 11);
        beam.lineTo(30, 1);
        beam.lineTo(31, 16);
        beam.lineTo(21, 15);
        beam.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 220, 40, 220));
        p.drawPath(beam);
        // The barrel and the head, turned towards the beam.
        p.translate(16, 16);
        p.rotate(-40);
        p.setPen(QPen(QColor(30, 30, 30), 1.2));
        p.setBrush(QColor(60, 60, 70));
        p.drawRoundedRect(QRectF(-14, -3.5, 14, 7), 2, 2);
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(QRectF(0, -5.5, 5, 11));
        p.setBrush(QColor(255, 240, 150));
        p.drawRect(QRectF(4.5, -4.5, 1.5, 9));
    });
}

QIcon HelpIcon()
{
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 140), 1.5));
        p.setBrush(QColor(40, 100, 200));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        QFont font;
        font.setBold(true);
        font.setPixelSize(22);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, QStringLiteral("?"));
    });
}

} // namespace impmap::gui
