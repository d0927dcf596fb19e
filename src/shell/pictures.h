#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Pictures drawn by the program itself, so nothing depends on image files.
namespace pictures {
QIcon toolbarIcon(QChar glyph, const QColor &colour);
QPixmap loginPicture();
} // namespace pictures
