#pragma once

#include "hotel/long_work.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <functional>

class QWidget;
class QPainter;
class QPagedPaintDevice;
namespace hotel {
class Outcome;
}

// Everything that leaves the window's own code — message boxes, showing windows, starting
// programs, file dialogs, printing, today's date — passes through one seam, so tests can
// stand in for the operator and the platform.
namespace ui {

// What a message box is: news, a failure (shown with the critical icon), or a yes/no question.
enum class MessageKind { Information, Warning, Question };
enum class Answer { Ok, Yes, No };

enum class Program { Calculator, TextEditor, Browser };

class Seam
{
public:
    virtual ~Seam() = default;
    // A question is answered Yes or No; any other message only Ok.
    virtual Answer message(QWidget *parent, MessageKind kind, const QString &text, const QString &title);
    // Shows the window modal over its owner without blocking the caller.
    virtual void showModal(QWidget *window);
    // Starts a program without waiting; false when nothing could be started.
    virtual bool startProgram(Program program, const QString &argument);
    virtual QDate today();
    virtual QTime timeOfDay();
    // An open-file dialog that also takes a name of a file not there yet; empty on cancel.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter);
    virtual bool hasPrinter();
    // Paints one page on the default printer; false (with a reason) when it could not.
    virtual bool printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &paint, QString *error);
    // Runs `work` on another thread while a progress bar with 取消 stands modal over `parent`, so
    // the windows keep answering; returns once the work has ended.
    virtual void runWithProgress(QWidget *parent, const QString &caption, const hotel::LongWork &work);
};

Seam &seam();
// nullptr puts the production seam back.
void setSeam(Seam *seam);

// Message boxes titled "提示": news, a failure, and a question (true for Yes).
void inform(QWidget *parent, const QString &text);
void warn(QWidget *parent, const QString &text);
bool confirm(QWidget *parent, const QString &text);
// A refusal about one box: the message, then that box takes the focus for the operator to mend it.
void refuseAt(QWidget *box, const QString &text);
// One message for an operation that was not done: busy, a store failure worded for the clerk,
// a missing right, another desk's change, or a refusal's own words. Nothing for one done.
void showOutcome(QWidget *parent, const hotel::Outcome &outcome);

// Starts a tool program without waiting; when none can be started, says so in one message.
void startProgram(QWidget *parent, Program program, const QString &argument = {});

// Long work as the desk runs it: through the seam, behind a progress bar titled `caption`.
hotel::WorkRunner progressRunner(QWidget *parent, const QString &caption);

QDate today();
// Today at the clock's hour and minute: where a new record's time starts.
QDateTime now();

} // namespace ui
