#pragma once

#include "data/house_location.h"
#include "hotel/outcome.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>

class Connection;

namespace hotel {

// The rights letters of the six menu groups.
enum class Right : char16_t {
    Setup = u'a',      // 系统维护
    FrontDesk = u'b',  // 旅客入住
    CheckOut = u'c',   // 旅客退房
    Finance = u'd',    // 财务管理
    Statistics = u'e', // 统计与核算
    Tools = u'f',      // 常用工具
};

// A rights text grants a right when its letter occurs anywhere in it, exactly; NULL grants all.
bool grants(const QString &rights, bool rightsNull, Right right);

// One desk's session: the operator logged in, the rights, and one connection to the house kept
// open and reused by every operation. Every operation checks the operator's right itself, so
// every path to it (menu, toolbar, board, keyboard) is held to the same rights.
class Session
{
public:
    Session(HouseLocation house, QString operatorName, QString rights, bool rightsNull = false);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Checks the typed name and password against the operators of the house at `house`; on
    // success the returned session holds the connection it was checked on.
    static Result<std::shared_ptr<Session>> logIn(const HouseLocation &house, const QString &name,
                                                  const QString &password);

    // The desk's session; nullptr before the login.
    static Session *current();
    static void setCurrent(std::shared_ptr<Session> session);

    // Whether a read waits for another desk's write (up to store::BusyWaitMs) or gives up at
    // once as busy, for a read on the window's thread that comes round again anyway.
    enum class Waiting { ForOtherDesks, Never };

    const QString &operatorName() const { return m_operator; }
    // Where the house this desk works on is.
    const HouseLocation &location() const { return m_house; }
    bool may(Right right) const;

    // Runs `work` on the session's connection, after checking `right`. A failed store step ends
    // as its outcome. A connection the store dropped is opened again once, transparently, and
    // the work tried again; a desk that cannot reconnect says so.
    Outcome read(Right right, const std::function<Outcome(Connection &)> &work);
    // The same, inside one transaction, committed when `work` is done and rolled back otherwise.
    // Rolled back because another desk's change committed first, `work` runs again (three times at
    // most) on a fresh view of the house; it must leave nothing behind but what it writes.
    Outcome write(Right right, const std::function<Outcome(Connection &)> &work);
    // Without a right: what every operator may see (the board, the company name).
    Outcome readFree(const std::function<Outcome(Connection &)> &work,
                     Waiting waiting = Waiting::ForOtherDesks);

    // Whether the house this desk works on needs its owner's upgrade (see upgradeSentence()).
    bool houseNeedsUpgrade() const;

    // How many times the connection has been opened: one for a desk that never lost it.
    int connectionsOpened() const { return m_opened; }
    // Closes the connection; the next operation opens it again.
    void disconnect();

private:
    Outcome run(bool transaction, Waiting waiting, const std::function<Outcome(Connection &)> &work);
    Outcome runOnce(bool transaction, Waiting waiting, const std::function<Outcome(Connection &)> &work);
    Connection &connection(int busyWaitMs);

    HouseLocation m_house;
    QString m_operator;
    QString m_rights;
    bool m_rightsNull = false;
    std::unique_ptr<Connection> m_connection;
    StoreTarget m_target;      // the house the connection was opened on
    QString m_settingsVersion; // the settings file's time when it was read
    int m_opened = 0;
    QElapsedTimer m_gaveUp; // since a read's wait for another desk last ran out
};

// The current session, or a refusal for a desk nobody is logged in at.
Session *session();

} // namespace hotel
