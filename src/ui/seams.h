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

// Message box styles and answers, as the windows name them.
enum MsgStyle : int { vbOKOnly = 0, vbYesNo = 4, vbCritical = 16, vbInformation = 64 };
enum MsgAnswer : int { vbOK = 1, vbYes = 6, vbNo = 7 };

enum class Program { Calculator, TextEditor, Browser };

class Seam
{
public:
    virtual ~Seam() = default;
    virtual int message(QWidget *parent, const QString &text, int style, const QString &title);
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

// A message box titled "提示"; returns the answer.
int MsgBox(QWidget *parent, const QString &text, int style = vbInformation);
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
