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
    return o;
}

namespace {

QString causeSentence(StoreCause cause)
{
    switch (cause) {
    case StoreCause::DiskFull:
        return u"磁盘已满，数据没有保存。请腾出磁盘空间后再试。"_s;
    case StoreCause::ReadOnly:
        return u"数据库只能读、不能写（文件或文件夹是只读的），数据没有保存。"_s;
    case StoreCause::Unreadable:
        return u"无法读取数据库：文件不存在、已损坏或数据库密码不正确。"_s;
    case StoreCause::Unreachable:
        return u"无法连接数据库服务器，请检查服务器是否开启、网络是否连通。"_s;
    case StoreCause::AccountRefused:
        return u"数据库服务器拒绝了这个账号，请检查账号和密码设置。"_s;
    case StoreCause::NoHouse:
        return u"数据库服务器上没有宾馆数据，请先用 quillon-createdb 建立。"_s;
    case StoreCause::Permission:
        return u"数据库账号没有进行这项操作的权限。"_s;
    case StoreCause::ConnectionLost:
        return u"与数据库的连接已经断开，重新连接也没有成功。"_s;
    case StoreCause::Other:
        break;
    }
    return u"数据库操作失败，数据没有保存。"_s;
}

} // namespace

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
        default:
            return m_detail;
        }
    case Kind::Failed:
        if (!m_fromDriver)
            return m_detail;
        // The driver's own words at most as a detail line.
        return m_detail.isEmpty() ? causeSentence(m_cause)
                                  : causeSentence(m_cause) + u"\n（"_s + m_detail.trimmed() + u"）"_s;
    }
    return {};
}

} // namespace hotel
