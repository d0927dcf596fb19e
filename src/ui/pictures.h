#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Pictures drawn by the program itself, so nothing depends on image files.
namespace pictures {
QIcon toolbarIcon(QChar glyph, const QColor &colour);
QPixmap loginPicture();
// The decoration picture (Image1) of the setup windows.
QPixmap windowPicture(QChar glyph, const QColor &colour);
} // namespace pictures
