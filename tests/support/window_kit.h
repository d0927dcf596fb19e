#pragma once

// Driving a window as the operator does: its controls found by the names the desk uses, buttons
// and list rows clicked with the mouse, boxes typed into, lists read back.

#include "data/connection.h"
#include "fault_backend.h"
#include "test_seam.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace kit {

using namespace Qt::Literals::StringLiterals;

template <class T = QWidget> T *child(QWidget *w, const QString &name)
{
    auto *c = w->findChild<T *>(name);
    if (!c)
        qFatal("%s has no control %s", qPrintable(w->objectName()), qPrintable(name));
    return c;
}

inline QLineEdit *box(QWidget *w, const QString &name)
{
    return child<QLineEdit>(w, name);
}

inline QPushButton *button(QWidget *w, const QString &name)
{
    return child<QPushButton>(w, name);
}

inline FlexGrid *grid(QWidget *w, const QString &name = u"MSFlexGrid1"_s)
{
    return child<FlexGrid>(w, name);
}

inline DatePicker *picker(QWidget *w)
{
    return w->findChild<DatePicker *>(u"DTPicker1"_s);
}

inline QString label(QWidget *w, const QString &name)
{
    auto *l = w->findChild<QLabel *>(name);
    return l ? l->text() : u"<missing>"_s;
}

inline QString text(QWidget *w, const QString &name)
{
    return box(w, name)->text();
}

// Types into a text box, a multi-line box or an editable combo box.
inline void set(QWidget *w, const QString &name, const QString &value)
{
    QWidget *c = child(w, name);
    if (auto *line = qobject_cast<QLineEdit *>(c))
        line->setText(value);
    else if (auto *edit = qobject_cast<QTextEdit *>(c))
        edit->setPlainText(value);
    else if (auto *combo = qobject_cast<QComboBox *>(c))
        combo->setEditText(value);
    else
        qFatal("%s is not a box", qPrintable(name));
}

// A mouse click (a disabled button ignores it, as on screen), then the deferred deletes of the
// windows it closed, so a reopened window is the only one of its name.
inline void click(QWidget *w, const QString &name)
{
    QTest::mouseClick(button(w, name), Qt::LeftButton);
    flushDeletes();
}

// Data rows of a grid, header left out.
inline QList<QStringList> rows(FlexGrid *g)
{
    QList<QStringList> out;
    for (int r = 1; r < g->Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->Cols(); ++c)
            cells.append(g->text(r, c));
        out.append(cells);
    }
    return out;
}

// Column `col` of every data row.
inline QStringList column(FlexGrid *g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out.append(g->text(r, col));
    return out;
}

// A mouse press on a data row (1 is the first under the header), scrolled into view first.
inline void clickRow(FlexGrid *g, int row)
{
    const QModelIndex cell = g->flexModel()->index(row - 1, 1);
    g->scrollTo(cell);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
}

inline void key(FlexGrid *g, Qt::Key k)
{
    g->setFocus();
    QTest::keyClick(g, k);
}

// Opens a window the way the main window's menu does.
template <class T = QWidget> T *open(const QString &form)
{
    auto *w = qobject_cast<T *>(ui::showWindow(form));
    if (!w)
        qFatal("window %s is not registered", qPrintable(form));
    return w;
}

// Triggers a menu item or toolbar button of the main window: the window it opened, or null.
inline QWidget *fromMenu(TestSeam &seam, QWidget *main, const QString &action)
{
    const qsizetype before = seam.shown.size();
    child<QAction>(main, action)->trigger();
    return seam.shown.size() > before ? seam.shown.last().data() : nullptr;
}

// A guest's particulars, typed into a check-in or reservation window; the room is left to choose.
inline void typeGuest(QWidget *w, const QString &name = u"张三"_s, const QString &days = u"3"_s,
                      const QString &persons = u"2"_s)
{
    set(w, u"Text1"_s, name);
    set(w, u"Text2"_s, u"华光公司"_s);
    set(w, u"Text3"_s, u"身份证"_s);
    set(w, u"Text4"_s, u"110101199001011234"_s);
    set(w, u"Text5"_s, days);
    set(w, u"Text6"_s, persons);
    set(w, u"Text8"_s, u"500"_s);
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

// A data-driven case run once answering Yes and once No to the question it asks.
inline void yesAndNo()
{
    QTest::addColumn<bool>("answer"); // true for Yes
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

// Turns the fault switches off again when a test ends, however it ends.
struct FaultScope {
    FaultScope() { faults::reset(); }
    ~FaultScope() { faults::reset(); }
};

} // namespace kit
