#include "bench_data.h"

#include "data/database_builder.h"
#include "data/house_location.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace benchdata {

std::uint64_t Random::next()
{
    // splitmix64
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

namespace {

// Bump when the rows change, so an old cache is not taken for the new shape.
constexpr int GeneratorVersion = 1;

class Db
{
public:
    explicit Db(const QString &file)
    {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            fail("open");
    }
    ~Db() { sqlite3_close_v2(m_db); }
    void exec(const char *sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    sqlite3_stmt *prepare(const QString &sql)
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
            fail("prepare");
        return s;
    }
    void fail(const char *what) const
    {
        throw std::runtime_error(std::string("bench data: ") + what + ": " + sqlite3_errmsg(m_db));
    }
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

class Statement
{
public:
    Statement(Db &db, const QString &sql) : m_db(db), m_stmt(db.prepare(sql)) {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement &text(const QString &v)
    {
        const QByteArray u = v.toUtf8();
        sqlite3_bind_text(m_stmt, ++m_at, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &integer(qint64 v)
    {
        sqlite3_bind_int64(m_stmt, ++m_at, v);
        return *this;
    }
    Statement &real(double v)
    {
        sqlite3_bind_double(m_stmt, ++m_at, v);
        return *this;
    }
    Statement &null()
    {
        sqlite3_bind_null(m_stmt, ++m_at);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            m_db.fail("insert");
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        m_at = 0;
    }

private:
    Db &m_db;
    sqlite3_stmt *m_stmt;
    int m_at = 0;
};

const QStringList &surnames()
{
    static const QStringList s = {u"王"_s, u"李"_s, u"张"_s, u"刘"_s, u"陈"_s, u"杨"_s, u"黄"_s, u"赵"_s,
                                  u"吴"_s, u"周"_s, u"徐"_s, u"孙"_s, u"马"_s, u"朱"_s, u"胡"_s, u"欧阳"_s};
    return s;
}

const QStringList &givenNames()
{
    static const QStringList s = {u"伟"_s,   u"芳"_s, u"娜"_s, u"秀英"_s, u"敏"_s,   u"静"_s,
                                  u"丽"_s,   u"强"_s, u"磊"_s, u"军"_s,   u"洋"_s,   u"勇"_s,
                                  u"艳"_s,   u"杰"_s, u"娟"_s, u"涛"_s,   u"明"_s,   u"超"_s,
                                  u"秀兰"_s, u"霞"_s, u"平"_s, u"刚"_s,   u"桂英"_s, u"建国"_s};
    return s;
}

const QStringList &organisations()
{
    static const QStringList s = {u"个人"_s,
                                  u"华东电力设计院"_s,
                                  u"江南纺织有限公司"_s,
                                  u"新星软件公司"_s,
                                  u"北方机械厂"_s,
                                  u"长江航运集团第三分公司"_s,
                                  u"省第一人民医院"_s,
                                  u"东海水产品进出口贸易有限责任公司"_s,
                                  u"个人"_s,
                                  u"个人"_s};
    return s;
}

struct RoomKind {
    QString name;
    double price;
    double member;
};

const QList<RoomKind> &roomKinds()
{
    static const QList<RoomKind> k = {
        {u"标准间"_s, 120, 100}, {u"单人间"_s, 88, 75}, {u"豪华套房"_s, 268.5, 228}};
    return k;
}

QString idNumber(Random &r)
{
    QString s = QString::number(r.between(110000, 659999));
    s += QString::number(r.between(1940, 2005));
    s += QString::number(r.between(101, 1228)).rightJustified(4, u'0');
    s += QString::number(r.between(0, 9999)).rightJustified(4, u'0');
    return s;
}

QString floorName(int floor)
{
    return QString::number(floor) + u"楼"_s;
}

int roomsPerFloor(int floors, int rooms)
{
    return std::max(1, (rooms + floors - 1) / std::max(floors, 1));
}

QString storage(const QDateTime &t)
{
    return t.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

} // namespace

QString roomNumber(int roomIndex, int floors, int rooms)
{
    const int per = roomsPerFloor(floors, rooms);
    return QString::number(roomIndex / per + 1) +
           QString::number(roomIndex % per + 1).rightJustified(2, u'0');
}

void populate(const QString &file, const Shape &shape)
{
    Random r(shape.seed);
    Db db(file);
    db.exec("BEGIN");
    {
        Statement floor(db, u"insert into 楼层 (楼层名称) values (?)"_s);
        for (int f = 1; f <= shape.floors; ++f)
            floor.text(floorName(f)).run();
    }
    std::vector<double> price(std::size_t(shape.rooms) + 1);
    std::vector<bool> occupied(std::size_t(shape.rooms) + 1);
    {
        Statement room(
            db, u"insert into 房间 (房间号, 房间名称, 房间类型, 所属楼层, 标准价格, 会员价格, 房间状态) "
                u"values (?, ?, ?, ?, ?, ?, ?)"_s);
        int toOccupy = shape.currentStays;
        const int per = roomsPerFloor(shape.floors, shape.rooms);
        for (int i = 0; i < shape.rooms; ++i) {
            const RoomKind &kind = roomKinds().at(r.below(int(roomKinds().size())));
            const int key = i + 1;
            const int left = shape.rooms - i;
            const bool busy = toOccupy > 0 && r.below(left) < toOccupy;
            toOccupy -= busy ? 1 : 0;
            price[std::size_t(key)] = kind.price;
            occupied[std::size_t(key)] = busy;
            const QString number = roomNumber(i, shape.floors, shape.rooms);
            room.text(number)
                .text(kind.name + number)
                .text(kind.name)
                .text(floorName(i / per + 1))
                .real(kind.price)
                .real(kind.member)
                .integer(busy ? 2 : 1)
                .run();
        }
    }
    auto guestName = [&r] {
        return surnames().at(r.below(int(surnames().size()))) +
               givenNames().at(r.below(int(givenNames().size())));
    };
    auto idKind = [&r] {
        const int k = r.below(20);
        return k < 17 ? u"身份证"_s : k < 19 ? u"护照"_s : u"军官证"_s;
    };
    // Ten years of check-outs, oldest first, so the key grows with the check-in time.
    QDateTime at(QDate(2016, 1, 1), QTime(8, 0));
    const qint64 span = qint64(10) * 365 * 24 * 3600;
    const qint64 step = std::max<qint64>(60, span / std::max(shape.completedStays, 1));
    {
        Statement done(
            db, u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                u"入住人数, 房间ID, 预付款, 退房时间, 实际入住天数, 实际金额, 应收款, 应退款, 备注信息) "
                u"values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        for (int i = 0; i < shape.completedStays; ++i) {
            at = at.addSecs(step / 2 + r.below(int(step)));
            const QDateTime in(at.date(), QTime(at.time().hour(), at.time().minute()));
            const int room = r.between(1, shape.rooms);
            const int planned = r.between(1, 7);
            const int actual = std::max(0, planned + r.between(-1, 2));
            const int prepay = r.between(1, 10) * 100;
            const int amount = int(price[std::size_t(room)]) * actual;
            done.text(guestName())
                .text(organisations().at(r.below(int(organisations().size()))))
                .text(idKind())
                .text(idNumber(r))
                .text(storage(in))
                .integer(planned)
                .integer(r.between(1, 3))
                .integer(room)
                .integer(prepay)
                .text(storage(in.date().addDays(actual).startOfDay()))
                .integer(actual)
                .integer(amount)
                .integer(std::max(0, amount - prepay))
                .integer(std::max(0, prepay - amount));
            if (r.below(5) == 0)
                done.text(r.below(2) ? u"需要发票"_s : u"公司协议价，月结"_s);
            else
                done.null();
            done.run();
        }
    }
    {
        Statement stay(
            db, u"insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                u"入住人数, 房间ID, 预付款) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        for (int room = 1; room <= shape.rooms; ++room) {
            if (!occupied[std::size_t(room)])
                continue;
            const QDateTime in = at.addSecs(-qint64(r.between(1, 5 * 24 * 3600)));
            stay.text(guestName())
                .text(organisations().at(r.below(int(organisations().size()))))
                .text(idKind())
                .text(idNumber(r))
                .text(storage(QDateTime(in.date(), QTime(in.time().hour(), in.time().minute()))))
                .integer(r.between(1, 7))
                .integer(r.between(1, 3))
                .integer(room)
                .integer(r.between(1, 10) * 100)
                .run();
        }
    }
    db.exec("COMMIT");
}

QString ensureDatabase(const QString &cacheRoot, const Shape &shape)
{
    const QString dir = cacheRoot + u"/v%1-f%2-r%3-s%4-c%5-seed%6"_s.arg(GeneratorVersion)
                                        .arg(shape.floors)
                                        .arg(shape.rooms)
                                        .arg(shape.completedStays)
                                        .arg(shape.currentStays)
                                        .arg(shape.seed);
    const QString file = dir + u"/innkeep.mdb"_s;
    const QString done = dir + u"/complete"_s;
    if (QFile::exists(done) && QFile::exists(file))
        return dir;
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        throw std::runtime_error("bench data: cannot make " + dir.toStdString());
    dbbuild::Options options;
    options.password = HousePassword.toString();
    options.sampleData = false;
    const QString error = dbbuild::createDatabase(file, options);
    if (!error.isEmpty())
        throw std::runtime_error("bench data: " + error.toStdString());
    populate(file, shape);
    QFile marker(done);
    if (!marker.open(QIODevice::WriteOnly))
        throw std::runtime_error("bench data: cannot write " + done.toStdString());
    return dir;
}

} // namespace benchdata
