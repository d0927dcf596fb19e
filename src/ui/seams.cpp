#include "ui/seams.h"

#include "hotel/outcome.h"
#include "ui/work_progress_dialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <atomic>
#include <memory>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace ui {

namespace {

Seam *g_seam = nullptr;

QStringList candidates(Program program)
{
    switch (program) {
    case Program::Calculator:
        return {u"gnome-calculator"_s, u"kcalc"_s,         u"galculator"_s,
                u"mate-calc"_s,        u"qalculate-gtk"_s, u"xcalc"_s};
    case Program::TextEditor:
        return {u"gnome-text-editor"_s, u"gedit"_s, u"kwrite"_s, u"kate"_s,
                u"mousepad"_s,          u"pluma"_s, u"xed"_s,    u"featherpad"_s,
                u"leafpad"_s,           u"xedit"_s};
    case Program::Browser:
        return {u"firefox"_s,       u"firefox-esr"_s, u"chromium"_s,
                u"google-chrome"_s, u"epiphany"_s,    u"konqueror"_s};
    }
    return {};
}

} // namespace

Answer Seam::message(QWidget *parent, MessageKind kind, const QString &text, const QString &title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(kind == MessageKind::Warning ? QMessageBox::Critical : QMessageBox::Information);
    if (kind == MessageKind::Question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int r = box.exec();
    if (kind == MessageKind::Question)
        return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

void Seam::showModal(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

bool Seam::startProgram(Program program, const QString &argument)
{
    const QStringList args = argument.isEmpty() ? QStringList() : QStringList{argument};
    for (const QString &name : candidates(program)) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && QProcess::startDetached(path, args))
            return true;
    }
    // Last resort: whatever the desktop opens such things with.
    if (program == Program::Browser && !argument.isEmpty())
        return QDesktopServices::openUrl(QUrl(argument));
    return false;
}

QDate Seam::today()
{
    return QDate::currentDate();
}

QTime Seam::timeOfDay()
{
    return QTime::currentTime();
}

QString Seam::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    // An open dialog in which the name of a file that does not exist yet may be typed too.
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString Seam::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

bool Seam::hasPrinter()
{
    return !QPrinterInfo::defaultPrinter().isNull();
}

bool Seam::printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &paint, QString *error)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (error)
            *error = u"没有可用的打印机。"_s;
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = u"打印机“"_s + info.printerName() + u"”无法开始打印。"_s;
        return false;
    }
    paint(painter, printer);
    if (!painter.end()) {
        if (error)
            *error = u"打印失败。"_s;
        return false;
    }
    return true;
}

void Seam::runWithProgress(QWidget *parent, const QString &caption, const hotel::LongWork &work)
{
    WorkProgressDialog dialog(parent, caption);
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    QObject::connect(&dialog, &WorkProgressDialog::stopAsked, &dialog, [&stop] { stop = true; });
    // The worker touches no Qt object of the window's thread: the window's own timer shows the
    // rows and, once the work has ended, closes the dialog from within its loop.
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &dialog, [&] {
        dialog.showRows(done, total);
        if (ended)
            dialog.finish();
    });
    tick.start(50);
    std::thread thread([&] {
        work([&](qint64 d, qint64 t) {
            done = d;
            total = t;
            return !stop.load();
        });
        ended = true;
    });
    dialog.exec();
    thread.join();
}

Seam &seam()
{
    static Seam production;
    return g_seam ? *g_seam : production;
}

void setSeam(Seam *s)
{
    g_seam = s;
}

void inform(QWidget *parent, const QString &text)
{
    seam().message(parent, MessageKind::Information, text, u"提示"_s);
}

void warn(QWidget *parent, const QString &text)
{
    seam().message(parent, MessageKind::Warning, text, u"提示"_s);
}

bool confirm(QWidget *parent, const QString &text)
{
    return seam().message(parent, MessageKind::Question, text, u"提示"_s) == Answer::Yes;
}

void refuseAt(QWidget *box, const QString &text)
{
    inform(box->window(), text);
    box->setFocus(Qt::OtherFocusReason);
}

void showOutcome(QWidget *parent, const hotel::Outcome &outcome)
{
    if (outcome.ok())
        return;
    // Another desk's write is news for the operator, not a fault of the program.
    // A value the store cannot take has always been reported as the store's error.
    const bool fault =
        outcome.kind() == hotel::Outcome::Kind::Failed || outcome.isRefused(hotel::Refusal::BadValue);
    if (fault)
        warn(parent, outcome.message());
    else
        inform(parent, outcome.message());
}

hotel::WorkRunner progressRunner(QWidget *parent, const QString &caption)
{
    return [parent, caption](const hotel::LongWork &work) { seam().runWithProgress(parent, caption, work); };
}

QDate today()
{
    return seam().today();
}

QDateTime now()
{
    const QTime t = seam().timeOfDay();
    return QDateTime(today(), QTime(t.hour(), t.minute()));
}

void startProgram(QWidget *parent, Program program, const QString &argument)
{
    if (seam().startProgram(program, argument))
        return;
    switch (program) {
    case Program::Calculator:
        inform(parent, u"对不起，无法启动计算器，本机没有可用的计算器程序！"_s);
        break;
    case Program::TextEditor:
        inform(parent, u"对不起，无法启动写字板，本机没有可用的文本编辑程序！"_s);
        break;
    case Program::Browser:
        inform(parent, u"对不起，无法打开作者主页，本机没有可用的网页浏览器！"_s);
        break;
    }
}

} // namespace ui
