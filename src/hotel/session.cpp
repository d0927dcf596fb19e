#include "hotel/session.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/statement.h"
#include "data/store_backend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QScopeGuard>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

constexpr int MaxConflictRetries = 3;

std::shared_ptr<Session> &currentSession()
{
    static std::shared_ptr<Session> s;
    return s;
}

bool alive(Connection &c)
{
    try {
        Statement ping(c, u"select 1"_s);
        return ping.next();
    } catch (const DbError &) {
        return false;
    }
}

} // namespace

bool grants(const QString &rights, bool rightsNull, Right right)
{
    return rightsNull || rights.contains(QChar(char16_t(right)), Qt::CaseSensitive);
}

Session::Session(HouseLocation house, QString operatorName, QString rights, bool rightsNull)
    : m_house(std::move(house)), m_operator(std::move(operatorName)), m_rights(std::move(rights)),
      m_rightsNull(rightsNull)
{}

Session::~Session() = default;

Session *Session::current()
{
    return currentSession().get();
}

void Session::setCurrent(std::shared_ptr<Session> session)
{
    // The connection must close while Qt's database drivers are still there, not among the
    // static destructors after them.
    static const bool closesWithTheApplication = [] {
        qAddPostRoutine([] { currentSession().reset(); });
        return true;
    }();
    Q_UNUSED(closesWithTheApplication);
    currentSession() = std::move(session);
}

Session *session()
{
    return Session::current();
}

bool Session::may(Right right) const
{
    return grants(m_rights, m_rightsNull, right);
}

void Session::disconnect()
{
    m_connection.reset();
    m_target = {};
    m_settingsVersion.clear();
}

Connection &Session::connection(int busyWaitMs)
{
    // quillon.ini may move the house to a server or another one; it is read again only when it
    // changed, and the connection opened again only when it names another house.
    const QFileInfo ini(m_house.settingsPath());
    const QString version =
        ini.exists() ? QString::number(ini.lastModified().toMSecsSinceEpoch()) : QString();
    if (!m_connection || version != m_settingsVersion) {
        const StoreTarget target = m_house.storeTarget();
        if (!m_connection || !target.sameHouse(m_target)) {
            m_connection.reset();
            auto c = std::make_unique<Connection>();
            c->open(target, busyWaitMs);
            m_connection = std::move(c);
            m_target = target;
            ++m_opened;
        }
        m_settingsVersion = version;
    }
    return *m_connection;
}

Outcome Session::run(bool transaction, Waiting waiting, const std::function<Outcome(Connection &)> &work)
{
    // The reads that follow one that just waited in vain (the rest of a window's opening) do not
    // wait again: the desk answers after one wait, not one per list. A write always waits.
    if (!transaction && m_gaveUp.isValid() && !m_gaveUp.hasExpired(1000))
        waiting = Waiting::Never;
    const Outcome o = runOnce(transaction, waiting, work);
    if (o.ok())
        m_gaveUp.invalidate();
    else if (!transaction && o.kind() == Outcome::Kind::Busy && waiting == Waiting::ForOtherDesks)
        m_gaveUp.start();
    return o;
}

Outcome Session::runOnce(bool transaction, Waiting waiting, const std::function<Outcome(Connection &)> &work)
{
    const int wait = waiting == Waiting::Never ? 0 : store::BusyWaitMs;
    int conflicts = 0;
    for (int attempt = 0;; ++attempt) {
        bool committing = false;
        try {
            Connection &c = connection(wait);
            if (wait != store::BusyWaitMs)
                c.setBusyWait(wait);
            // Back to the desk's own wait for the next operation, whatever came of this one.
            const auto restore = qScopeGuard([&c, wait] {
                if (wait == store::BusyWaitMs)
                    return;
                try {
                    c.setBusyWait(store::BusyWaitMs);
                } catch (const DbError &) {
                }
            });
            if (!transaction)
                return work(c);
            Transaction t(c);
            Outcome o = work(c);
            if (!o.ok())
                return o; // refused: the transaction rolls back
            committing = true;
            t.commit();
            return o;
        } catch (const DbError &e) {
            // A connection the store dropped is opened again once; a commit that may have
            // reached the store is never tried twice.
            if (attempt == 0 && !committing && e.cause() == DbError::Cause::Failure && m_connection &&
                !alive(*m_connection)) {
                disconnect();
                continue;
            }
            // Another desk's change came first and this one was rolled back whole: run again, the
            // work reads that change and decides anew (the room is taken, the stay is gone). A desk
            // that keeps meeting changes is told busy as before.
            if (transaction && !committing && e.isConflict() && ++conflicts <= MaxConflictRetries)
                continue;
            return Outcome::of(e);
        }
    }
}

Outcome Session::read(Right right, const std::function<Outcome(Connection &)> &work)
{
    if (!may(right))
        return Outcome::refused(Refusal::NoRight);
    return run(false, Waiting::ForOtherDesks, work);
}

Outcome Session::write(Right right, const std::function<Outcome(Connection &)> &work)
{
    if (!may(right))
        return Outcome::refused(Refusal::NoRight);
    return run(true, Waiting::ForOtherDesks, work);
}

Outcome Session::readFree(const std::function<Outcome(Connection &)> &work, Waiting waiting)
{
    return run(false, waiting, work);
}

bool Session::houseNeedsUpgrade() const
{
    return m_connection && m_connection->needsUpgrade();
}

Result<std::shared_ptr<Session>> Session::logIn(const HouseLocation &house, const QString &name,
                                                const QString &password)
{
    auto s = std::make_shared<Session>(house, name, QString());
    bool found = false;
    const Outcome o = s->run(false, Waiting::ForOtherDesks, [&](Connection &c) {
        // Names are compared without regard to letter case, passwords exactly.
        Statement q(c,
                    u"select \"权限设置\" from \"操作用户\" where \"用户名称\"=? collate nocase and "
                    u"\"登陆密码\"=? order by \"用户ID\" limit 1"_s,
                    {name, password});
        if (q.next()) {
            found = true;
            s->m_rightsNull = q.isNull(0);
            s->m_rights = q.text(0);
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    if (!found)
        return Outcome::refused(Refusal::NotFound);
    return s;
}

} // namespace hotel
