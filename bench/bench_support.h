#pragma once

#include "ui/seams.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

// Stands in for the operator while a benchmark drives the windows: every question is answered
// Yes, messages are counted, windows are shown without blocking and nothing is started.
class BenchSeam : public ui::Seam
{
public:
    BenchSeam();
    ~BenchSeam() override;

    ui::Answer message(QWidget *parent, ui::MessageKind kind, const QString &text,
                       const QString &title) override;
    void showModal(QWidget *window) override;
    bool startProgram(ui::Program program, const QString &argument) override;
    QDate today() override { return m_today; }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return m_file;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return m_file;
    }
    bool hasPrinter() override { return false; }
    bool printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &, QString *error) override;

    void setToday(const QDate &d) { m_today = d; }
    void setFileResult(const QString &path) { m_file = path; }

    QStringList messages;
    QList<QPointer<QWidget>> shown;

    // The newest shown window still alive with this objectName.
    QWidget *newest(const QString &objectName) const;
    // Closes every shown window and runs the deferred deletes.
    void closeAll();

private:
    QDate m_today{2026, 1, 15};
    QString m_file;
};

// Drops the offscreen platform's chatter ("does not support propagateSizeHints()"), which
// would bury the figures; everything else goes through as usual.
void quietPlatformMessages();

// Runs the deferred deletes and pending events, as the event loop would between clicks.
void settle();

// The bare way to the same rows: SQLite's own C interface, every value read as text.
namespace bare {

using Value = std::variant<std::int64_t, std::string>;

struct ReadResult {
    std::int64_t rows = 0;
    std::int64_t textBytes = 0;
};

class Database
{
public:
    explicit Database(const QString &file, bool writable = false);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Steps through the select; every column of every row goes through sqlite3_column_text.
    ReadResult readAsText(const char *sql, const std::vector<Value> &params = {});
    // A statement that returns no rows; returns the rows it changed.
    int exec(const char *sql, const std::vector<Value> &params = {});
    std::int64_t lastInsertId() const;
    // First column of the first row as an integer (0 when none).
    std::int64_t scalar(const char *sql, const std::vector<Value> &params = {});
    // First column of the first row as text (empty when none).
    std::string text(const char *sql, const std::vector<Value> &params = {});
    std::string pragma(const char *name);

private:
    sqlite3 *m_db = nullptr;
};

} // namespace bare

// Wall-clock samples of one benchmark, one per iteration; the table reports their median.
// When the list (the viewport of a grid of that name) has first finished painting since it was
// watched, in whichever window: a list whose count comes after its first screenful is drawn
// before that count.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(const QString &grid);
    bool painted() const { return m_painted; }
    std::chrono::steady_clock::time_point at() const { return m_at; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_grid;
    bool m_inside = false;
    bool m_painted = false;
    std::chrono::steady_clock::time_point m_at;
};

class Samples
{
public:
    using Clock = std::chrono::steady_clock;
    void start() { m_t0 = Clock::now(); }
    void stop() { m_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - m_t0).count()); }
    void add(double ms) { m_ms.push_back(ms); }
    // From start() to `end`.
    void stopAt(Clock::time_point end)
    {
        m_ms.push_back(std::chrono::duration<double, std::milli>(end - m_t0).count());
    }
    double median() const;
    double min() const;

private:
    Clock::time_point m_t0;
    std::vector<double> m_ms;
};

// Starts a program and waits for it; returns its exit status and what it wrote to stdout.
// startNs is CLOCK_MONOTONIC just before the spawn.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::int64_t startNs = 0;
    std::int64_t endNs = 0;
};
ProcessResult runProcess(const std::vector<std::string> &argv, const std::vector<std::string> &extraEnv = {});

std::int64_t monotonicNs();

// Peak and current resident memory of this process, in bytes (VmHWM, VmRSS).
std::int64_t peakRss();
std::int64_t currentRss();
// Makes the peak start again from the current resident size (where the kernel allows it).
bool resetPeakRss();
