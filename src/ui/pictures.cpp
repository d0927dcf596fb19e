#include "ui/pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace pictures {

namespace {

// A white glyph on a rounded square of the colour.
QPixmap glyphTile(QChar glyph, const QColor &colour, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(130));
    const qreal margin = size / 21.0;
    p.drawRoundedRect(QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size / 5.5, size / 5.5);
    QFont f = p.font();
    f.setPixelSize(size * 19 / 32);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size - 2), Qt::AlignCenter, QString(glyph));
    return pm;
}

} // namespace

QIcon toolbarIcon(QChar glyph, const QColor &colour)
{
    return QIcon(glyphTile(glyph, colour, 64));
}

QPixmap windowPicture(QChar glyph, const QColor &colour)
{
    return glyphTile(glyph, colour, 96);
}

QPixmap loginPicture()
{
    // A small house with a lit window: the front desk's door.
    QPixmap pm(120, 120);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x15, 0x65, 0xc0));
    QPainterPath roof;
    roof.moveTo(10, 55);
    roof.lineTo(60, 12);
    roof.lineTo(110, 55);
    roof.closeSubpath();
    p.drawPath(roof);
    p.setBrush(QColor(0xe3, 0xf2, 0xfd));
    p.drawRect(22, 55, 76, 55);
    p.setBrush(QColor(0xff, 0xc1, 0x07));
    p.drawRect(32, 66, 20, 18);
    p.setBrush(QColor(0x8d, 0x6e, 0x63));
    p.drawRect(66, 72, 20, 38);
    return pm;
}

} // namespace pictures
