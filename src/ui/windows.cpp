#include "ui/windows.h"

#include "ui/seams.h"

#include <QEvent>
#include <QHash>
#include <QKeyEvent>
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

// A dialog takes Esc as "reject"; this filter eats it first.
class EscapeKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepOpenOnEscape(QWidget *window)
{
    window->installEventFilter(new EscapeKeeper(window));
}

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

namespace {

std::function<void()> &signOutRef()
{
    static std::function<void()> f;
    return f;
}

} // namespace

void setSignOut(std::function<void()> signOut)
{
    signOutRef() = std::move(signOut);
}

void signOut()
{
    if (signOutRef())
        signOutRef()();
}

QWidget *showWindow(const QString &formName, QWidget *owner)
{
    const auto it = factories().constFind(formName);
    if (it == factories().constEnd())
        return nullptr;
    QWidget *window = (*it)(owner ? owner : mainWindow());
    if (window) {
        keepOpenOnEscape(window);
        seam().showModal(window);
    }
    return window;
}

QWidget *showWindowFor(const QString &formName, const RoomHandoff &room, QWidget *owner)
{
    QWidget *window = showWindow(formName, owner);
    if (auto *taker = dynamic_cast<RoomTaker *>(window))
        taker->takeRoom(room);
    return window;
}

QWidget *reopen(QWidget *current, const QString &formName)
{
    if (current)
        current->close();
    return showWindow(formName, mainWindow());
}

} // namespace ui
