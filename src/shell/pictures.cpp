#include "shell/pictures.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace pictures {

QIcon toolbarIcon(QChar glyph, const QColor &colour)
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(130));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
    QFont f = p.font();
    f.setPixelSize(38);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 64, 62), Qt::AlignCenter, QString(glyph));
    return QIcon(pm);
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
