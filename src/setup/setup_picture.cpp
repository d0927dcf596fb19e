#include "setup/setup_picture.h"

#include <QPainter>

namespace setup {

QPixmap windowPicture(QChar glyph, const QColor &colour)
{
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(130));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(4, 4, 88, 88), 16, 16);
    QFont f = p.font();
    f.setPixelSize(54);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 96, 92), Qt::AlignCenter, QString(glyph));
    return pm;
}

} // namespace setup
