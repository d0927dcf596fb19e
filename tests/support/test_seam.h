#pragma once

#include "ui/seams.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QWidget>

// Stands in for the operator and the platform: records every message and shown window,
// answers Yes/No questions from a script, and pins today's date and the clock.
class TestSeam : public ui::Seam
{
public:
    struct Message {
        QString text;
        ui::MessageKind kind;
        QString title;
    };
    struct Started {
        ui::Program program;
        QString argument;
    };

    TestSeam();
    ~TestSeam() override;

    ui::Answer message(QWidget *parent, ui::MessageKind kind, const QString &text,
                       const QString &title) override;
    void showModal(QWidget *window) override;
    bool startProgram(ui::Program program, const QString &argument) override;
    QDate today() override { return m_today; }
    QTime timeOfDay() override { return m_time; }
    QString openFileName(QWidget *, const QString &, const QString &dir, const QString &) override;
    QString saveFileName(QWidget *, const QString &, const QString &dir, const QString &) override;
    bool hasPrinter() override { return m_hasPrinter; }
    bool printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &paint,
                   QString *error) override;

    // Script.
    // The answer to the next question: true for Yes.
    void answer(bool yes) { m_answers.enqueue(yes); }
    void setToday(const QDate &d) { m_today = d; }
    void setTimeOfDay(const QTime &t) { m_time = t; }
    void setFileDialogResult(const QString &path) { m_fileResult = path; }
    void setPrinter(bool available, const QString &pdfPath = {});
    void setProgramsAvailable(bool available) { m_programsAvailable = available; }

    // What happened.
    QList<Message> messages;
    QList<QPointer<QWidget>> shown;
    QList<Started> started;
    QStringList fileDialogDirs;
    int pagesPrinted = 0;
    // What each page of the last printout says: its texts in drawing order, run together.
    QStringList printedPages;

    QStringList messageTexts() const;
    void clear();
    // The newest shown window still alive, of the given class.
    template <class T> T *last() const
    {
        for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
            if (auto *w = qobject_cast<T *>(it->data()))
                return w;
        }
        return nullptr;
    }

private:
    QQueue<bool> m_answers;
    QDate m_today{2006, 4, 26};
    QTime m_time{8, 15, 42};
    QString m_fileResult;
    bool m_hasPrinter = false;
    QString m_pdfPath;
    bool m_programsAvailable = true;
};

namespace ui {
// How QCOMPARE shows a kind that differs.
inline char *toString(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return qstrdup("Information");
    case MessageKind::Warning:
        return qstrdup("Warning");
    case MessageKind::Question:
        return qstrdup("Question");
    }
    return qstrdup("?");
}
} // namespace ui

// Deletes windows closed with deleteLater, as the event loop would.
void flushDeletes();
