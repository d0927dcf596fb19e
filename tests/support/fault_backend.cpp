#include "fault_backend.h"

#include "data/db_error.h"
#include "data/store_backend.h"

using namespace Qt::Literals::StringLiterals;

namespace faults {

namespace {

int g_failAt = 0;
bool g_failCommit = false;
int g_statements = 0;
int g_commits = 0;
int g_busyWaitMs = 0;
std::function<void(int)> g_beforeStep;

// A test's shorter wait stands in for the program's; not waiting at all stays so.
int testWait(int ms)
{
    return ms > 0 && g_busyWaitMs > 0 ? g_busyWaitMs : ms;
}

// The real backend, with the switches checked at each statement and commit.
class FaultBackend final : public store::Backend
{
public:
    explicit FaultBackend(std::unique_ptr<store::Backend> inner) : m_inner(std::move(inner)) {}

    dialect::Engine engine() const override { return m_inner->engine(); }

    void open(const StoreTarget &target, int busyWaitMs) override
    {
        m_inner->open(target, testWait(busyWaitMs));
        if (g_beforeStep)
            g_beforeStep(0);
    }

    bool isOpen() const override { return m_inner->isOpen(); }
    bool keepsRecord() const override { return m_inner->keepsRecord(); }
    bool needsUpgrade() const override { return m_inner->needsUpgrade(); }
    bool searchable() const override { return m_inner->searchable(); }
    void close() override { m_inner->close(); }

    std::unique_ptr<store::Query> prepare(const QString &sql) override
    {
        ++g_statements;
        if (g_beforeStep)
            g_beforeStep(g_statements);
        if (g_failAt > 0 && g_statements == g_failAt)
            throw DbError(u"模拟的数据库故障（第 "_s + QString::number(g_failAt) + u" 步）。"_s);
        return m_inner->prepare(sql);
    }

    void begin() override { m_inner->begin(); }

    void commit() override
    {
        ++g_commits;
        if (g_failCommit)
            throw DbError(u"模拟的提交故障。"_s);
        m_inner->commit();
    }

    void rollback() override { m_inner->rollback(); }
    void setBusyWait(int ms) override { m_inner->setBusyWait(testWait(ms)); }
    bool hasIndex(const QString &name) override { return m_inner->hasIndex(name); }

    void readFileBytes(const std::function<bool(const char *, qint64)> &sink) override
    {
        m_inner->readFileBytes(sink);
    }

    QSqlDatabase &database() override { return m_inner->database(); }

private:
    std::unique_ptr<store::Backend> m_inner;
};

} // namespace

void install()
{
    static const bool installed = [] {
        store::setWrapper([](std::unique_ptr<store::Backend> inner) -> std::unique_ptr<store::Backend> {
            return std::make_unique<FaultBackend>(std::move(inner));
        });
        return true;
    }();
    Q_UNUSED(installed);
}

// Before main(): every connection of a test that links the switches is wrapped, however early
// it opens (a session's kept connection included).
[[maybe_unused]] const bool g_installedAtStart = (install(), true);

void reset()
{
    install();
    g_failAt = 0;
    g_failCommit = false;
    g_statements = 0;
    g_commits = 0;
    g_beforeStep = {};
}

void failStatement(int n)
{
    install();
    g_failAt = n;
}

void failCommit(bool on)
{
    install();
    g_failCommit = on;
}

int statementsRun()
{
    return g_statements;
}

int commitsRun()
{
    return g_commits;
}

void setBusyWait(int ms)
{
    install();
    g_busyWaitMs = ms;
}

void beforeEachStep(std::function<void(int)> hook)
{
    install();
    g_beforeStep = std::move(hook);
}

} // namespace faults
