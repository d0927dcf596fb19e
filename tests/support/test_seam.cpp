#include "test_seam.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

TestSeam::TestSeam()
{
    ui::setSeam(this);
}

TestSeam::~TestSeam()
{
    ui::setSeam(nullptr);
    for (const QPointer<QWidget> &w : std::as_const(shown)) {
        if (w)
            delete w.data();
    }
}

int TestSeam::message(QWidget *, const QString &text, int style, const QString &title)
{
    messages.append({text, style, title});
    if (style & ui::vbYesNo) {
        if (m_answers.isEmpty()) {
            qWarning("unscripted Yes/No question: %s", qPrintable(text));
            return ui::vbNo;
        }
        return m_answers.dequeue();
    }
    return ui::vbOK;
}

void TestSeam::showModal(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    shown.append(window);
}

bool TestSeam::startProgram(ui::Program program, const QString &argument)
{
    started.append({program, argument});
    return m_programsAvailable;
}

QString TestSeam::openFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileDialogDirs.append(dir);
    return m_fileResult;
}

QString TestSeam::saveFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileDialogDirs.append(dir);
    return m_fileResult;
}

void TestSeam::setPrinter(bool available, const QString &pdfPath)
{
    m_hasPrinter = available;
    m_pdfPath = pdfPath;
}

bool TestSeam::printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &paint, QString *error)
{
    if (!m_hasPrinter) {
        if (error)
            *error = u"没有可用的打印机。"_s;
        return false;
    }
    // The "printer" writes a PDF so tests can read back what was printed.
    QPdfWriter writer(m_pdfPath.isEmpty() ? u"/dev/null"_s : m_pdfPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    paint(painter, writer);
    painter.end();
    ++pagesPrinted;
    return true;
}

QStringList TestSeam::messageTexts() const
{
    QStringList texts;
    for (const Message &m : messages)
        texts.append(m.text);
    return texts;
}

void TestSeam::clear()
{
    messages.clear();
    started.clear();
    fileDialogDirs.clear();
    m_answers.clear();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
