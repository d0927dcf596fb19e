#include "test_seam.h"

#include <QApplication>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A page-sized device that keeps the texts drawn on each page instead of pixels; the writer's own
// engine only answers the page's metrics and never opens its file.
class TextEngine : public QPaintEngine
{
public:
    QStringList pages{QString()};
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { pages.last() += item.text(); }
    Type type() const override { return User; }
};

class TextPrinter : public QPdfWriter
{
public:
    TextPrinter() : QPdfWriter(u"/dev/null"_s) { setPageSize(QPageSize(QPageSize::A4)); }
    QPaintEngine *paintEngine() const override { return &engine; }
    bool newPage() override { return engine.pages.append(QString()), true; }
    mutable TextEngine engine;
};

} // namespace

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

ui::Answer TestSeam::message(QWidget *, ui::MessageKind kind, const QString &text, const QString &title)
{
    messages.append({text, kind, title});
    if (kind != ui::MessageKind::Question)
        return ui::Answer::Ok;
    if (m_answers.isEmpty()) {
        qWarning("unscripted Yes/No question: %s", qPrintable(text));
        return ui::Answer::No;
    }
    return m_answers.dequeue() ? ui::Answer::Yes : ui::Answer::No;
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
    TextPrinter texts;
    QPainter reader(&texts);
    paint(reader, texts);
    reader.end();
    printedPages = texts.engine.pages;
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
