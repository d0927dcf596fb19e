#pragma once

// Shared by the reliability tests: one small seeded database built once and copied byte for
// byte for every case, snapshots of every table, and driving a window's boxes and buttons.

#include "data/house_location.h"
#include "data/schema.h"
#include "hotel/session.h"
#include "shell/login_window.h"
#include "test_database.h"
#include "window_kit.h"

#include <QAbstractSpinBox>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <functional>

namespace rel {

using namespace Qt::Literals::StringLiterals;

// The offscreen platform warns at every window shown; thousands of those would push QtTest
// past its warning limit and hide the figures the tests print.
inline void quietOffscreenWarnings()
{
    static QtMessageHandler previous = nullptr;
    previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg && text.contains(u"propagateSizeHints"_s))
                return;
            previous(type, context, text);
        });
}

// Cells of one row, NULL as "<NULL>"; the separator never occurs in the test data.
inline const QString CellSeparator = QStringLiteral("\x1f");

struct Pristine {
    QByteArray bytes;
    QString dump; // TestDatabase::dump() of the file the bytes came from
};

// Two floors; rooms 101 free, 102 occupied, 103 reserved, 104 free; one stay, one reservation,
// one completed stay, one entry in each ledger and a second operator.
inline const Pristine &pristine()
{
    static const Pristine p = [] {
        TestDatabase db;
        db.addFloor(u"一楼"_s);
        db.addFloor(u"二楼"_s);
        db.addRoom(u"101"_s, 120, 1);
        db.addRoom(u"102"_s, 120, 2);
        db.addRoom(u"103"_s, 150, 3, u"二楼"_s);
        db.addRoom(u"104"_s, 150, 1, u"二楼"_s);
        const QString stayColumns =
            u"(旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, 备注信息)"_s;
        db.exec(u"insert into 旅客入住 "_s + stayColumns + u" values (?,?,?,?,?,?,?,?,?,?)"_s,
                {u"王一"_s, u"华光公司"_s, u"身份证"_s, u"110101"_s, u"2006-04-20 10:00:00"_s, 3, 1, 2, 100,
                 u"常客"_s});
        db.exec(u"insert into 旅客预订 "_s + stayColumns + u" values (?,?,?,?,?,?,?,?,?,?)"_s,
                {u"赵二"_s, u"远大公司"_s, u"护照"_s, u"G123"_s, u"2006-04-28 09:00:00"_s, 2, 2, 3, 50,
                 u"靠窗"_s});
        db.exec(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID, 预付款, 退房时间, 实际入住天数, "
                u"实际金额, 应收款, "
                u"应退款) values (?,?,?,?,?,?,?,?,?)"_s,
                {u"孙三"_s, u"2006-04-01 08:00:00"_s, 1, 100, u"2006-04-03 00:00:00"_s, 2, 240, 140, 0});
        db.exec(u"insert into 交款 (交款时间, 交款金额, 交款人) values (?,?,?)"_s,
                {u"2006-04-25 18:00:00"_s, 800, u"钱四"_s});
        db.exec(u"insert into 拔款 (拔款时间, 拔款金额, 拔款人) values (?,?,?)"_s,
                {u"2006-04-24 12:00:00"_s, 300, u"周五"_s});
        db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values (?,?,?)"_s,
                {u"前台"_s, u"qt"_s, u"Z:b"_s});
        const QByteArray bytes = kit::bytes(db.path());
        if (bytes.isEmpty())
            qFatal("cannot read the seeded database");
        return Pristine{bytes, db.dump()};
    }();
    return p;
}

// Every table's rows in key order; the key sequence kept apart.
struct Snapshot {
    QMap<QString, QStringList> tables;
    QString sequence;
    bool operator==(const Snapshot &) const = default;
};

// A copy of the pristine file in its own folder, the settings pointing at it. Reads go through
// a connection opened and closed per read, so nothing is cached across the program's writes.
class Scratch
{
public:
    Scratch()
    {
        if (!kit::write(path(), pristine().bytes))
            qFatal("cannot copy the seeded database");
        // A desk logged in with every right, as admin is in a new house.
        TestDatabase::logInEveryRight(location());
    }
    ~Scratch() { hotel::Session::setCurrent(nullptr); }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    QString path() const { return m_dir.filePath(u"innkeep.mdb"_s); }
    QString directory() const { return m_dir.path(); }
    HouseLocation location() const { return HouseLocation{m_dir.path()}; }

    Snapshot snapshot() const
    {
        Snapshot s;
        withConnection([&](QSqlDatabase &db) {
            for (const schema::Table &t : schema::tables()) {
                // The record's clock differs between a first attempt and its retry.
                QStringList columns;
                for (const schema::Column &c : t.columns)
                    if (c.name != u"操作时间"_s)
                        columns.append(u"\""_s + c.name + u"\""_s);
                s.tables.insert(t.name, rows(db, u"select "_s + columns.join(u", "_s) + u" from \""_s +
                                                     t.name + u"\" order by 1"_s));
            }
            s.sequence = rows(db, u"select name, seq from sqlite_sequence order by name"_s).join(u";"_s);
        });
        return s;
    }

    // The same text as TestDatabase::dump().
    QString dump() const
    {
        QString out;
        withConnection([&](QSqlDatabase &db) {
            for (const schema::Table &t : schema::tables()) {
                out += t.name + u"\n"_s;
                for (const QString &row : rows(db, u"select * from \""_s + t.name + u"\" order by 1"_s))
                    out += QString(row).replace(CellSeparator, u"|"_s) + u"\n"_s;
            }
            out += u"seq:"_s;
            for (const QString &row : rows(db, u"select name, seq from sqlite_sequence order by name"_s))
                out += QString(row).replace(CellSeparator, u"="_s) + u";"_s;
        });
        return out;
    }

private:
    template <class F> void withConnection(F &&f) const
    {
        const QString name = u"scratch-"_s + QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            db.setDatabaseName(path());
            if (!db.open())
                qFatal("cannot open the scratch database");
            f(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    static QStringList rows(QSqlDatabase &db, const QString &sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("snapshot failed: %s", qPrintable(q.lastError().text()));
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells.append(q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
            out.append(cells.join(CellSeparator));
        }
        return out;
    }

    // Memory-backed where the machine has it: the cases commit thousands of times.
    static QString folderTemplate()
    {
        const QFileInfo shm(u"/dev/shm"_s);
        return shm.isDir() && shm.isWritable() ? u"/dev/shm/quillon-reliability-XXXXXX"_s : QString();
    }

    QTemporaryDir m_dir{folderTemplate().isEmpty() ? QDir::tempPath() + u"/quillon-reliability-XXXXXX"_s
                                                   : folderTemplate()};
};

// Rows only in `after`, and rows only in `before`, of one table (as multisets).
struct TableChange {
    QStringList added;
    QStringList removed;
};

inline QMap<QString, TableChange> changes(const Snapshot &before, const Snapshot &after)
{
    QMap<QString, TableChange> out;
    for (auto it = after.tables.cbegin(); it != after.tables.cend(); ++it) {
        QStringList added = it.value();
        QStringList removed = before.tables.value(it.key());
        for (qsizetype i = added.size() - 1; i >= 0; --i) {
            if (removed.removeOne(added.at(i)))
                added.removeAt(i);
        }
        if (!added.isEmpty() || !removed.isEmpty())
            out.insert(it.key(), {added, removed});
    }
    return out;
}

// How many rows each changed table gained and lost: "房间+1-1 旅客入住+1-0".
inline QString shape(const QMap<QString, TableChange> &c)
{
    QStringList parts;
    for (auto it = c.cbegin(); it != c.cend(); ++it)
        parts.append(it.key() + u"+"_s + QString::number(it->added.size()) + u"-"_s +
                     QString::number(it->removed.size()));
    return parts.join(u" "_s);
}

// Opens a window as the menus do; the login window is made directly, as the program does.
inline QWidget *openWindow(TestSeam &seam, const QString &form)
{
    if (form == u"Form1"_s) {
        auto *login = new LoginWindow(hotel::Session::current()->location());
        login->setAttribute(Qt::WA_DeleteOnClose);
        login->show();
        seam.shown.append(login);
        return login;
    }
    return kit::open(form);
}

inline bool isDateBox(QWidget *w, const QString &name)
{
    return qobject_cast<DatePicker *>(w->findChild<QWidget *>(name)) != nullptr;
}

// The boxes the operator can type into: enabled, shown, not read-only; a date picker's own
// line edit counts as the picker.
inline QStringList typeableBoxes(QWidget *w)
{
    QStringList names;
    const auto widgets = w->findChildren<QWidget *>();
    for (QWidget *c : widgets) {
        if (!c->isEnabled() || !c->isVisibleTo(w) || c->objectName().isEmpty())
            continue;
        if (qobject_cast<QAbstractSpinBox *>(c->parentWidget()))
            continue;
        const auto *line = qobject_cast<QLineEdit *>(c);
        const auto *edit = qobject_cast<QTextEdit *>(c);
        const auto *combo = qobject_cast<QComboBox *>(c);
        if ((line && !line->isReadOnly() && !qobject_cast<QComboBox *>(c->parentWidget())) ||
            (edit && !edit->isReadOnly()) || (combo && combo->isEditable()) || qobject_cast<DatePicker *>(c))
            names.append(c->objectName());
    }
    names.sort();
    return names;
}

// One handler that writes, driven through its window: what to choose first, what to type, which
// button to press. `boxes` maps each box the handler stores to its column in `table`.
struct Handler {
    QString name;
    QString form;
    std::function<void(QWidget *)> prepare;
    QList<std::pair<QString, QString>> fill;
    QString button;
    QStringList computeFirst = {}; // pressed before `button`, after the boxes are filled
    QStringList lateBoxes = {};    // boxes the compute step overwrites, so typed after it
    int yes = 0;                   // Yes answers to script
    QString table = {};
    QList<std::pair<QString, int>> boxes = {};

    Handler into(const QString &t, const QList<std::pair<QString, int>> &b) const
    {
        Handler h = *this;
        h.table = t;
        h.boxes = b;
        return h;
    }
    Handler askingYes() const
    {
        Handler h = *this;
        h.yes = 1;
        return h;
    }
    Handler computing(const QString &b, const QStringList &overwritten) const
    {
        Handler h = *this;
        h.computeFirst = {b};
        h.lateBoxes = overwritten;
        return h;
    }
};

inline std::function<void(QWidget *)> choose(const QString &grid, int row)
{
    return [grid, row](QWidget *w) { kit::clickRow(kit::grid(w, grid), row); };
}

inline std::function<void(QWidget *)> pressFirst(const QString &button)
{
    return [button](QWidget *w) { kit::click(w, button); };
}

inline void nothing(QWidget *) {}

inline QList<std::pair<QString, int>> stayBoxes()
{
    return {{u"Text1"_s, 1}, {u"Text2"_s, 2}, {u"Text3"_s, 3}, {u"Text4"_s, 4}, {u"DTPicker1"_s, 5},
            {u"Text5"_s, 6}, {u"Text6"_s, 7}, {u"Text8"_s, 9}, {u"Text9"_s, 10}};
}

inline QList<std::pair<QString, QString>> guest()
{
    return {{u"Text1"_s, u"张三"_s},   {u"Text2"_s, u"华光公司"_s},
            {u"Text3"_s, u"身份证"_s}, {u"Text4"_s, u"110101199001011234"_s},
            {u"Text5"_s, u"3"_s},      {u"Text6"_s, u"2"_s},
            {u"Text8"_s, u"100"_s},    {u"Text9"_s, u"无"_s}};
}

inline QList<std::pair<QString, QString>> room()
{
    return {{u"Text1"_s, u"201"_s},   {u"Text2"_s, u"豪华间"_s}, {u"Text3"_s, u"标准间"_s},
            {u"Combo1"_s, u"二楼"_s}, {u"Text4"_s, u"180"_s},    {u"Text5"_s, u"160"_s}};
}

inline QList<std::pair<QString, int>> roomBoxes()
{
    return {{u"Text1"_s, 1},  {u"Text2"_s, 2}, {u"Text3"_s, 3},
            {u"Combo1"_s, 4}, {u"Text4"_s, 5}, {u"Text5"_s, 6}};
}

inline QList<std::pair<QString, int>> ledgerBoxes()
{
    return {{u"DTPicker1"_s, 1}, {u"Text1"_s, 2}, {u"Text2"_s, 3}};
}

inline QList<std::pair<QString, int>> checkOutBoxes()
{
    QList<std::pair<QString, int>> boxes;
    for (int k = 1; k <= 15; ++k) {
        if (k != 8) // the room key box is hidden
            boxes.append({u"Text"_s + QString::number(k + 1), k});
    }
    return boxes;
}

inline QList<std::pair<QString, QString>> company()
{
    QList<std::pair<QString, QString>> fill;
    const QStringList values = {u"华光宾馆"_s,       u"李总"_s,      u"010-1234567"_s, u"010-7654321"_s,
                                u"hg@example.com"_s, u"北京路1号"_s, u"100000"_s,      u"一家小宾馆。"_s};
    for (int n = 1; n <= 8; ++n)
        fill.append({u"Text"_s + QString::number(n), values.at(n - 1)});
    return fill;
}

// Every handler that writes. The pristine file holds what each one needs.
inline QList<Handler> writeHandlers()
{
    const QString g1 = u"MSFlexGrid1"_s;
    const QString g2 = u"MSFlexGrid2"_s;
    QList<std::pair<QString, int>> companyBoxes;
    for (int n = 1; n <= 8; ++n)
        companyBoxes.append({u"Text"_s + QString::number(n), n});
    const auto fetchRoom102 = [](QWidget *w) {
        kit::set(w, u"Text1"_s, u"102"_s);
        kit::click(w, u"Command1"_s);
    };
    const QStringList results = {u"Text12"_s, u"Text13"_s, u"Text14"_s, u"Text15"_s};
    const QString c1 = u"Command1"_s, c2 = u"Command2"_s, c3 = u"Command3"_s;
    using F = QList<std::pair<QString, QString>>;
    // clang-format off
    return {
        Handler{u"check-in"_s,               u"Form8"_s,  choose(g1, 1),   guest(), c1}.into(schema::Stays, stayBoxes()),
        Handler{u"reservation"_s,            u"Form10"_s, choose(g1, 2),   guest(), c1}.into(schema::Reservations, stayBoxes()),
        Handler{u"cancel"_s,                 u"Form11"_s, choose(g2, 1),   {},      c2}.askingYes(),
        Handler{u"check-out"_s,              u"Form12"_s, fetchRoom102,    {},      c3}.computing(c2, results)
                                                                                       .into(schema::CompletedStays, checkOutBoxes()),
        Handler{u"stay correction"_s,        u"Form9"_s,  choose(g2, 1),   F{{u"Text1"_s, u"王一一"_s}}, c1}.into(schema::Stays, stayBoxes()),
        Handler{u"reservation correction"_s, u"Form11"_s, choose(g2, 1),   F{{u"Text1"_s, u"赵二二"_s}}, c1}.into(schema::Reservations, stayBoxes()),
        Handler{u"room add"_s,               u"Form6"_s,  pressFirst(c1),  room(),  c1}.into(schema::Rooms, roomBoxes()),
        Handler{u"room rewrite"_s,           u"Form6"_s,  choose(g1, 1),   F{{u"Text2"_s, u"雅间"_s}}, c2}.into(schema::Rooms, roomBoxes()),
        Handler{u"room delete"_s,            u"Form6"_s,  choose(g1, 4),   {},      c3}.askingYes(),
        Handler{u"floor add"_s,              u"Form5"_s,  nothing,         F{{u"Text1"_s, u"三楼"_s}}, c1}.into(schema::Floors, {{u"Text1"_s, 1}}),
        Handler{u"floor rename"_s,           u"Form5"_s,  choose(g1, 2),   F{{u"Text2"_s, u"顶楼"_s}}, c2}.into(schema::Floors, {{u"Text2"_s, 1}}),
        Handler{u"floor delete"_s,           u"Form5"_s,  choose(g1, 2),   {},      c3}.askingYes(),
        Handler{u"operator add"_s,           u"Form4"_s,  pressFirst(c1),  F{{u"Text1"_s, u"李四"_s}, {u"Text2"_s, u"ls"_s}}, c1}
                                                                                       .into(schema::Operators, {{u"Text1"_s, 1}, {u"Text2"_s, 2}}),
        Handler{u"operator rewrite"_s,       u"Form4"_s,  choose(g1, 2),   F{{u"Text1"_s, u"前台二"_s}, {u"Text2"_s, u"qt2"_s}}, c2}
                                                                                       .into(schema::Operators, {{u"Text1"_s, 1}, {u"Text2"_s, 2}}),
        Handler{u"operator delete"_s,        u"Form4"_s,  choose(g1, 2),   {},      c3}.askingYes(),
        Handler{u"company save"_s,           u"Form3"_s,  nothing,         company(), c2}.into(schema::Company, companyBoxes),
        Handler{u"takings add"_s,            u"Form14"_s, pressFirst(c1),  F{{u"Text1"_s, u"500"_s}, {u"Text2"_s, u"吴六"_s}}, c1}
                                                                                       .into(schema::Takings, ledgerBoxes()),
        Handler{u"takings rewrite"_s,        u"Form14"_s, choose(g1, 1),   F{{u"Text1"_s, u"900"_s}}, c2}.into(schema::Takings, ledgerBoxes()),
        Handler{u"takings delete"_s,         u"Form14"_s, choose(g1, 1),   {},      c3},
        Handler{u"disbursement add"_s,       u"Form15"_s, pressFirst(c1),  F{{u"Text1"_s, u"200"_s}, {u"Text2"_s, u"郑七"_s}}, c1}
                                                                                       .into(schema::Disbursements, ledgerBoxes()),
        Handler{u"disbursement rewrite"_s,   u"Form15"_s, choose(g1, 1),   F{{u"Text1"_s, u"350"_s}}, c2}.into(schema::Disbursements, ledgerBoxes()),
        Handler{u"disbursement delete"_s,    u"Form15"_s, choose(g1, 1),   {},      c3},
        Handler{u"data initialization"_s,    u"Form20"_s, nothing,         {},      c1},
    };
    // clang-format on
}

inline const Handler &handler(const QString &name)
{
    static const QList<Handler> all = writeHandlers();
    for (const Handler &h : all) {
        if (h.name == name)
            return h;
    }
    qFatal("no handler %s", qPrintable(name));
}

// Types the valid particulars and presses the compute step; the handler's own button is left
// to the caller. `override` (box, text) replaces one box's value.
inline void fillAndCompute(const Handler &h, QWidget *w, const QString &box = {}, const QString &text = {})
{
    auto type = [&](const QString &name, const QString &value) {
        if (name == box || isDateBox(w, name))
            return;
        kit::set(w, name, value);
    };
    for (const auto &[name, value] : h.fill) {
        if (!h.lateBoxes.contains(name))
            type(name, value);
    }
    if (!box.isEmpty() && !h.lateBoxes.contains(box) && !isDateBox(w, box))
        kit::set(w, box, text);
    for (const QString &b : h.computeFirst)
        kit::click(w, b);
    if (!box.isEmpty() && h.lateBoxes.contains(box))
        kit::set(w, box, text);
}

} // namespace rel
