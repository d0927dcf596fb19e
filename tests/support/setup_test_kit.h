#pragma once

// Small helpers shared by the setup window tests: find a window's controls by name, press
// buttons as the operator would, and read a list grid back.

#include "data/connection.h"
#include "test_seam.h"
#include "ui/flex_grid.h"
#include "ui/windows.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace kit {

// Opens a window by name, as the main window's menu item does, and returns it.
template <class T> T *open(TestSeam &seam, const QString &formName)
{
    ui::showWindow(formName);
    return seam.last<T>();
}

template <class T> T *child(QWidget *window, const QString &name)
{
    T *c = window->findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

inline QLineEdit *box(QWidget *window, const QString &name)
{
    return child<QLineEdit>(window, name);
}

inline FlexGrid *grid(QWidget *window)
{
    return child<FlexGrid>(window, QStringLiteral("MSFlexGrid1"));
}

// A mouse click: a disabled button ignores it, as on screen.
inline void click(QWidget *window, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
    flushDeletes();
}

// Data rows of a grid, header left out.
inline QList<QStringList> rows(FlexGrid *g)
{
    QList<QStringList> out;
    for (int r = 1; r < g->Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->Cols(); ++c)
            cells.append(g->TextMatrix(r, c));
        out.append(cells);
    }
    return out;
}

inline QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Turns the fault switches off again when a test ends, however it ends.
struct FaultScope {
    FaultScope() { faults::reset(); }
    ~FaultScope() { faults::reset(); }
};

} // namespace kit
