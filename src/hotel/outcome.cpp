#include "hotel/outcome.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

QString noRightMessage()
{
    return u"对不起，您没有使用此项功能的权限。"_s;
}

QString goneMessage()
{
    return u"对不起，这条记录已经在另一台前台被删除，本次操作没有保存！"_s;
}

QString changedMessage()
{
    return u"对不起，这条记录已经在另一台前台被修改，本次操作没有保存，请重新打开窗口查看后再操作！"_s;
}

QString busyMessage()
{
    return u"数据正在另一台前台上使用，请稍等片刻再试一次。"_s;
}

Outcome Outcome::refused(Refusal why, QString detail)
{
    Outcome o;
    o.m_kind = Kind::Refused;
    o.m_refusal = why;
    o.m_detail = std::move(detail);
    return o;
}

Outcome Outcome::busy()
{
    Outcome o;
    o.m_kind = Kind::Busy;
    return o;
}

Outcome Outcome::failed(StoreCause cause, QString detail)
{
    Outcome o;
    o.m_kind = Kind::Failed;
    o.m_cause = cause;
    o.m_detail = std::move(detail);
    return o;
}

Outcome Outcome::of(const DbError &error)
{
    // Another desk's change is found by the operations themselves and refused, never thrown.
    if (error.cause() == DbError::Cause::Busy)
        return busy();
    Outcome o = failed(error.store(), error.text());
    // The program's own sentences stand as they are; only the driver's words are worded here.
    o.m_fromDriver = error.fromDriver();
    o.m_line = error.line();
    // The settings' sentence names the line; their own text stays out of every message.
    if (error.store() == StoreCause::SettingsUnreadable || error.store() == StoreCause::SettingsSemicolon ||
        error.store() == StoreCause::SettingsPassword)
        o.m_detail.clear();
    return o;
}

namespace {

// The settings refused: which line, and why; never the settings' own text.
QString settingsSentence(StoreCause cause, int line)
{
    const QString where =
        line > 0 ? u"quillon.ini 第 "_s + QString::number(line) + u" 行："_s : u"quillon.ini 中"_s;
    switch (cause) {
    case StoreCause::SettingsSemicolon:
        return where + u"数据库服务器的连接串不能含有分号。"_s;
    case StoreCause::SettingsPassword:
        return where + u"不能写数据库服务器的密码：请写在 ~/.pgpass 或服务文件中。"_s;
    default:
        return where + u"数据库服务器的连接串写法有误，无法读取，请检查它的写法。"_s;
    }
}

} // namespace

QString causeSentence(StoreCause cause, int line)
{
    switch (cause) {
    case StoreCause::DiskFull:
        return u"磁盘已满，数据没有保存。请腾出磁盘空间后再试。"_s;
    case StoreCause::ReadOnly:
        return u"数据库只能读、不能写（文件或文件夹是只读的），数据没有保存。"_s;
    case StoreCause::NeedsWrite:
        return u"数据库文件上次有一次写入没有完成，要先恢复才能打开，但文件或所在的文件夹是只读的。"
               u"请让它们可以写入后再试。"_s;
    case StoreCause::FileMissing:
        return u"找不到数据库文件。"_s;
    case StoreCause::Unreadable:
        return u"数据库文件已损坏或不是宾馆的数据库（也可能是数据库密码不正确），无法打开。"_s;
    case StoreCause::Unreachable:
        return u"无法连接数据库服务器，请检查服务器是否开启、网络是否连通。"_s;
    case StoreCause::AccountRefused:
        return u"数据库服务器拒绝了这个账号，请检查账号和密码设置。"_s;
    case StoreCause::SslRefused:
        return u"数据库服务器和本机对加密连接（SSL）的要求不一致：一方要求加密，另一方没有提供。"
               u"请检查服务器的 pg_hba.conf 和 quillon.ini 中的 sslmode。"_s;
    case StoreCause::CertificateRefused:
        return u"无法确认数据库服务器的身份：它的证书不是签发给 quillon.ini 中写的服务器名的，"
               u"或者本机没有签发它的证书（CA）。请检查 quillon.ini 中的 host 和 sslrootcert。"_s;
    case StoreCause::NoHouse:
        return u"数据库服务器上没有宾馆数据，请先用 quillon-createdb 建立。"_s;
    case StoreCause::Permission:
        return u"数据库账号没有进行这项操作的权限。"_s;
    case StoreCause::ConnectionLost:
        return u"与数据库的连接已经断开，重新连接也没有成功。"_s;
    case StoreCause::TimedOut:
        return u"数据库服务器上的这项操作超过了时限，已被取消，数据没有保存。请稍后再试。"_s;
    case StoreCause::SettingsUnreadable:
    case StoreCause::SettingsSemicolon:
    case StoreCause::SettingsPassword:
        return settingsSentence(cause, line);
    case StoreCause::NoServerDriver:
        return u"这个版本的 Quillon 只能使用数据库文件，不能连接数据库服务器。"
               u"请删除 quillon.ini 中的 [server] 一节（或整个文件），改用旁边的数据库文件。"_s;
    case StoreCause::NewerHouse:
        return u"这个宾馆数据是较新版本的 Quillon 建立或升级过的，这个版本的 Quillon 不能使用它，"
               u"以免写坏数据。请在这台电脑上安装新版本的 Quillon。"_s;
    case StoreCause::Other:
        break;
    }
    return u"数据库操作失败，数据没有保存。"_s;
}

QString upgradeSentence()
{
    return u"数据库服务器上的宾馆数据是旧版本的，缺少这个版本的 Quillon 需要的表或索引，"
           u"而这个账号不能添加它们。升级之前，各项功能照常使用，只是操作记录可能记不下来，查找和统计可能较慢"
           u"。\n\n"
           u"请数据库的所有者运行：quillon-createdb --server … --upgrade"_s;
}

QString restoreRefusal(Refusal why, const QString &detail)
{
    QString reason;
    switch (why) {
    case Refusal::NoSuchFile:
        reason = u"找不到这个文件。"_s;
        break;
    case Refusal::IsTheHouse:
        reason = u"这就是正在使用的数据库文件本身。"_s;
        break;
    case Refusal::NotADatabase:
        reason = u"这个文件不是数据库文件。"_s;
        break;
    case Refusal::Damaged:
        reason = u"这个数据库文件已损坏，没有通过完整性检查。"_s;
        break;
    case Refusal::NotAHouse:
        reason = u"这个文件不是宾馆的数据库（缺少宾馆的数据表）。"_s;
        break;
    case Refusal::WrongPassword:
        reason = u"这个数据库文件的数据库密码与本系统的不一致。"_s;
        break;
    case Refusal::NewerHouse:
        reason = u"这个数据库文件由更新版本的程序建立，本程序无法读取。"_s;
        break;
    default:
        break;
    }
    QString text = u"无法恢复数据："_s + reason + u"当前的数据没有任何改动。"_s;
    if (!detail.isEmpty())
        text += u"\n（"_s + detail.simplified() + u"）"_s;
    return text;
}

QString Outcome::message() const
{
    switch (m_kind) {
    case Kind::Done:
        return {};
    case Kind::Busy:
        return busyMessage();
    case Kind::Refused:
        switch (m_refusal) {
        case Refusal::NoRight:
            return noRightMessage();
        case Refusal::Gone:
            return goneMessage();
        case Refusal::Changed:
            return m_detail.isEmpty() ? changedMessage() : m_detail;
        case Refusal::NoSuchFile:
        case Refusal::IsTheHouse:
        case Refusal::NotADatabase:
        case Refusal::Damaged:
        case Refusal::NotAHouse:
        case Refusal::WrongPassword:
        case Refusal::NewerHouse:
            return restoreRefusal(m_refusal, m_detail);
        case Refusal::Cancelled:
            return u"已取消，没有任何改动。"_s;
        default:
            return m_detail;
        }
    case Kind::Failed:
        if (!m_fromDriver)
            return m_detail;
        // The driver's own words at most as a detail line.
        return m_detail.isEmpty()
                   ? causeSentence(m_cause, m_line)
                   : causeSentence(m_cause, m_line) + u"\n（"_s + m_detail.simplified() + u"）"_s;
    }
    return {};
}

} // namespace hotel
