#include "hotel/session.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/module1.h"
#include "data/server_store.h"
#include "data/statement.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

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

Session::Session(QString operatorName, QString rights, bool rightsNull)
    : m_operator(std::move(operatorName)), m_rights(std::move(rights)), m_rightsNull(rightsNull)
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
    m_target.clear();
    m_settings.clear();
}

Connection &Session::connection()
{
    // The settings name the house; a desk pointed at another one (a test's new house) follows.
    // They are read again only when the folder, the file name or the settings file changed.
    if (const QString dir = Module1::programDirectory(); dir != m_programDirectory || m_iniPath.isEmpty()) {
        m_programDirectory = dir;
        m_iniPath = serverstore::settingsPath();
    }
    const QFileInfo ini(m_iniPath);
    const QString settings =
        m_programDirectory + u'\n' + Module1::DbFileName + u'\n' + Module1::DbPassword + u'\n' +
        (ini.exists() ? QString::number(ini.lastModified().toMSecsSinceEpoch()) : QString());
    if (!m_connection || settings != m_settings) {
        const QString target = Module1::connectionString();
        if (!m_connection || target != m_target) {
            m_connection.reset();
            auto c = std::make_unique<Connection>();
            c->open(target);
            m_connection = std::move(c);
            m_target = target;
            ++m_opened;
        }
        m_settings = settings;
    }
    return *m_connection;
}

Outcome Session::run(bool transaction, const std::function<Outcome(Connection &)> &work)
{
    for (int attempt = 0;; ++attempt) {
        bool committing = false;
        try {
            Connection &c = connection();
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
            return Outcome::of(e);
        }
    }
}

Outcome Session::read(Right right, const std::function<Outcome(Connection &)> &work)
{
    if (!may(right))
        return Outcome::refused(Refusal::NoRight);
    return run(false, work);
}

Outcome Session::write(Right right, const std::function<Outcome(Connection &)> &work)
{
    if (!may(right))
        return Outcome::refused(Refusal::NoRight);
    return run(true, work);
}

Outcome Session::readFree(const std::function<Outcome(Connection &)> &work)
{
    return run(false, work);
}

Result<std::shared_ptr<Session>> Session::logIn(const QString &name, const QString &password)
{
    auto s = std::make_shared<Session>(name, QString());
    bool found = false;
    const Outcome o = s->run(false, [&](Connection &c) {
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
