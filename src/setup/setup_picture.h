#pragma once

#include <QChar>
#include <QColor>
#include <QPixmap>

// The decoration picture (Image1) of the setup windows, drawn here so no image file is needed.
namespace setup {
QPixmap windowPicture(QChar glyph, const QColor &colour);
} // namespace setup
