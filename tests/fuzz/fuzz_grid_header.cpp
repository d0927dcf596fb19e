// Header strings and cell writes at any position: the grid keeps its shape and its cells.
#include "ui/flex_grid.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    FlexGridModel model;
    const QString format = QString::fromUtf8(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    model.setFormatString(format);
    const int cols = int(format.count(u'|')) + 1;
    if (model.cols() != cols || model.formatString() != format)
        std::abort();
    for (int c = 0; c < cols; ++c) {
        QString expected = format.section(u'|', c, c);
        if (expected.startsWith(u'^'))
            expected.remove(0, 1);
        if (model.text(0, c) != expected)
            std::abort();
    }
    const int rows = 1 + data[0] % 16;
    model.setRows(rows);
    const int r = data[1] % (rows + 2) - 1; // also outside the grid
    const int c = data[2] % (cols + 2) - 1;
    const QString cell = format.left(data[3]);
    model.setText(r, c, cell);
    if (r >= 1 && r < rows && c >= 0 && c < cols && model.text(r, c) != cell)
        std::abort();
    model.setRows(1);
    if (model.rows() != 1)
        std::abort();
    return 0;
}
