#include "bench_support.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdexcept>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

using namespace Qt::Literals::StringLiterals;

BenchSeam::BenchSeam()
{
    ui::setSeam(this);
}

BenchSeam::~BenchSeam()
{
    closeAll();
    ui::setSeam(nullptr);
}

ui::Answer BenchSeam::message(QWidget *, ui::MessageKind kind, const QString &text, const QString &)
{
    messages.append(text);
    return kind == ui::MessageKind::Question ? ui::Answer::Yes : ui::Answer::Ok;
}

void BenchSeam::showModal(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    shown.append(window);
}

bool BenchSeam::startProgram(ui::Program, const QString &)
{
    return true;
}

bool BenchSeam::printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &, QString *error)
{
    if (error)
        *error = u"没有可用的打印机。"_s;
    return false;
}

QWidget *BenchSeam::newest(const QString &objectName) const
{
    for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
        if (*it && (*it)->objectName() == objectName && (*it)->isVisible())
            return it->data();
    }
    return nullptr;
}

void BenchSeam::closeAll()
{
    for (const QPointer<QWidget> &w : std::as_const(shown)) {
        if (w)
            w->close();
    }
    settle();
    for (const QPointer<QWidget> &w : std::as_const(shown)) {
        if (w)
            delete w.data();
    }
    shown.clear();
}

namespace {
QtMessageHandler g_previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(u"propagateSizeHints"_s) || text.contains(u"XDG_RUNTIME_DIR"_s))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}
} // namespace

void quietPlatformMessages()
{
    g_previousHandler = qInstallMessageHandler(quietHandler);
}

FirstPaint::FirstPaint(const QString &grid) : m_grid(grid)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint || m_inside || m_painted)
        return false;
    const auto *area = qobject_cast<QAbstractScrollArea *>(watched->parent());
    if (!area || area->viewport() != watched || area->objectName() != m_grid)
        return false;
    // Painted through the widget's own handlers, then timed.
    m_inside = true;
    QCoreApplication::sendEvent(watched, event);
    m_inside = false;
    m_painted = true;
    m_at = std::chrono::steady_clock::now();
    return true;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

namespace bare {

namespace {

[[noreturn]] void fail(sqlite3 *db, const char *what)
{
    throw std::runtime_error(std::string("sqlite: ") + what + ": " + (db ? sqlite3_errmsg(db) : "no handle"));
}

struct Stmt {
    sqlite3 *db;
    sqlite3_stmt *s = nullptr;
    Stmt(sqlite3 *d, const char *sql, const std::vector<Value> &params) : db(d)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            fail(db, sql);
        int i = 0;
        for (const Value &v : params) {
            ++i;
            if (const auto *n = std::get_if<std::int64_t>(&v))
                sqlite3_bind_int64(s, i, *n);
            else {
                const std::string &t = std::get<std::string>(v);
                sqlite3_bind_text(s, i, t.data(), int(t.size()), SQLITE_STATIC);
            }
        }
    }
    ~Stmt() { sqlite3_finalize(s); }
};

} // namespace

Database::Database(const QString &file, bool writable)
{
    const int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        fail(nullptr, "open");
    }
    sqlite3_busy_timeout(m_db, 2000);
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

ReadResult Database::readAsText(const char *sql, const std::vector<Value> &params)
{
    Stmt st(m_db, sql, params);
    ReadResult r;
    const int cols = sqlite3_column_count(st.s);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        ++r.rows;
        for (int c = 0; c < cols; ++c) {
            if (sqlite3_column_text(st.s, c))
                r.textBytes += sqlite3_column_bytes(st.s, c);
        }
    }
    if (rc != SQLITE_DONE)
        fail(m_db, sql);
    return r;
}

int Database::exec(const char *sql, const std::vector<Value> &params)
{
    Stmt st(m_db, sql, params);
    const int rc = sqlite3_step(st.s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(m_db, sql);
    return sqlite3_changes(m_db);
}

std::int64_t Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

std::int64_t Database::scalar(const char *sql, const std::vector<Value> &params)
{
    Stmt st(m_db, sql, params);
    const int rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW)
        return sqlite3_column_int64(st.s, 0);
    if (rc != SQLITE_DONE)
        fail(m_db, sql);
    return 0;
}

std::string Database::text(const char *sql, const std::vector<Value> &params)
{
    Stmt st(m_db, sql, params);
    const int rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW) {
        const auto *t = sqlite3_column_text(st.s, 0);
        return t ? reinterpret_cast<const char *>(t) : "";
    }
    if (rc != SQLITE_DONE)
        fail(m_db, sql);
    return {};
}

std::string Database::pragma(const char *name)
{
    Stmt st(m_db, (std::string("pragma ") + name).c_str(), {});
    if (sqlite3_step(st.s) != SQLITE_ROW)
        return {};
    const auto *t = sqlite3_column_text(st.s, 0);
    return t ? reinterpret_cast<const char *>(t) : "";
}

} // namespace bare

double Samples::median() const
{
    if (m_ms.empty())
        return 0;
    std::vector<double> v = m_ms;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Samples::min() const
{
    return m_ms.empty() ? 0 : *std::min_element(m_ms.begin(), m_ms.end());
}

std::int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

ProcessResult runProcess(const std::vector<std::string> &argv, const std::vector<std::string> &extraEnv)
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFd[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFd[1]);
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char **e = environ; *e; ++e)
        envStore.emplace_back(*e);
    for (const std::string &e : extraEnv)
        envStore.push_back(e);
    std::vector<char *> env;
    for (std::string &e : envStore)
        env.push_back(e.data());
    env.push_back(nullptr);
    ProcessResult r;
    pid_t pid = 0;
    r.startNs = monotonicNs();
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFd[1]);
    if (rc != 0) {
        close(pipeFd[0]);
        throw std::runtime_error("cannot start " + argv[0]);
    }
    char buf[4096];
    ssize_t n;
    while ((n = read(pipeFd[0], buf, sizeof buf)) > 0)
        r.out.append(buf, std::size_t(n));
    close(pipeFd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.endNs = monotonicNs();
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

namespace {
std::int64_t statusField(const char *key)
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray k(key);
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(k)) {
            const QByteArray v = line.mid(k.size()).trimmed();
            return v.left(v.indexOf(' ')).toLongLong() * 1024;
        }
    }
    return -1;
}
} // namespace

std::int64_t peakRss()
{
    return statusField("VmHWM:");
}

std::int64_t currentRss()
{
    return statusField("VmRSS:");
}

bool resetPeakRss()
{
    // Writing 5 to clear_refs resets VmHWM to the current RSS (Linux 4.0 and later).
    QFile f(u"/proc/self/clear_refs"_s);
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}
