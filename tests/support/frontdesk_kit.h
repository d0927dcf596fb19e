#pragma once

#include "test_seam.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Reaching a front-desk window's controls by the names the desk uses.
namespace kit {

inline QLineEdit *box(QWidget *w, const QString &name)
{
    auto *b = w->findChild<QLineEdit *>(name);
    if (!b)
        qFatal("no box %s", qPrintable(name));
    return b;
}

inline QString text(QWidget *w, const QString &name)
{
    return box(w, name)->text();
}

inline void set(QWidget *w, const QString &name, const QString &value)
{
    box(w, name)->setText(value);
}

inline QPushButton *button(QWidget *w, const QString &name)
{
    auto *b = w->findChild<QPushButton *>(name);
    if (!b)
        qFatal("no button %s", qPrintable(name));
    return b;
}

inline void click(QWidget *w, const QString &name)
{
    QTest::mouseClick(button(w, name), Qt::LeftButton);
}

inline FlexGrid *grid(QWidget *w, const QString &name)
{
    auto *g = w->findChild<FlexGrid *>(name);
    if (!g)
        qFatal("no grid %s", qPrintable(name));
    return g;
}

inline DatePicker *picker(QWidget *w)
{
    return w->findChild<DatePicker *>(QStringLiteral("DTPicker1"));
}

inline QString label(QWidget *w, const QString &name)
{
    auto *l = w->findChild<QLabel *>(name);
    return l ? l->text() : QStringLiteral("<missing>");
}

// Column `col` of every data row.
inline QStringList column(FlexGrid *g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out.append(g->TextMatrix(r, col));
    return out;
}

// Opens a window the way the main window does.
inline QWidget *open(const QString &form)
{
    QWidget *w = ui::showWindow(form);
    if (!w)
        qFatal("window %s is not registered", qPrintable(form));
    return w;
}

// The newest shown window of that name still open (a reopen replaces the one it closes).
inline QWidget *current(const TestSeam &seam, const QString &form)
{
    for (auto it = seam.shown.crbegin(); it != seam.shown.crend(); ++it) {
        if (*it && (*it)->objectName() == form && (*it)->isVisible())
            return it->data();
    }
    return nullptr;
}

} // namespace kit
