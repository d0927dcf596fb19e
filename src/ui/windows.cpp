#include "ui/windows.h"

#include "ui/seams.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace ui {

namespace {

QHash<QString, WindowFactory> &factories()
{
    static QHash<QString, WindowFactory> all;
    return all;
}

QPointer<QWidget> &mainWindowRef()
{
    static QPointer<QWidget> w;
    return w;
}

} // namespace

void registerWindow(const QString &formName, WindowFactory factory)
{
    factories().insert(formName, std::move(factory));
}

bool hasWindow(const QString &formName)
{
    return factories().contains(formName);
}

QWidget *mainWindow()
{
    return mainWindowRef().data();
}

void setMainWindow(QWidget *window)
{
    mainWindowRef() = window;
}

QWidget *showWindow(const QString &formName, QWidget *owner)
{
    const auto it = factories().constFind(formName);
    if (it == factories().constEnd())
        return nullptr;
    QWidget *window = (*it)(owner ? owner : mainWindow());
    if (window)
        seam().showModal(window);
    return window;
}

QWidget *reopen(QWidget *current, const QString &formName)
{
    if (current)
        current->close();
    return showWindow(formName, mainWindow());
}

} // namespace ui
