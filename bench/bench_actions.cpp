// The writing and starting paths: check-in, check-out, backup, login.
#include "bench_harness.h"

#include "ui/flex_grid.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

// ---------------------------------------------------------------- front desk

void BM_CheckIn(benchmark::State &state)
{
    useDatabase(g.frontdeskDir);
    BenchSeam seam;
    bare::Database db(fileIn(g.frontdeskDir), true);
    Samples s;
    try {
        QWidget *w = openWindow(u"Form8"_s);
        settle();
        for (auto _ : state) {
            seam.messages.clear();
            const std::pair<const char16_t *, const char16_t *> boxes[] = {
                {u"Text1", u"张伟"},   {u"Text2", u"华东电力设计院"},
                {u"Text3", u"身份证"}, {u"Text4", u"310101198001011234"},
                {u"Text5", u"3"},      {u"Text6", u"2"},
                {u"Text8", u"500"}};
            for (const auto &[name, text] : boxes)
                child<QLineEdit>(w, QString::fromUtf16(name))->setText(QString::fromUtf16(text));
            child<FlexGrid>(w, u"MSFlexGrid1"_s)->selectRecord(1);
            QPushButton *confirm = child<QPushButton>(w, u"Command1"_s);
            s.start();
            confirm->click();
            s.stop();
            if (!seam.messages.contains(u"恭喜您，旅客入住成功？"_s))
                throw std::runtime_error("check-in said: " + seam.messages.join(u" / "_s).toStdString());
            w = seam.newest(u"Form8"_s);
            // Put the room back, so every round takes a free room from the same house.
            const std::int64_t stay = db.scalar("select max(入住ID) from 旅客入住");
            const std::int64_t room = db.scalar("select 房间ID from 旅客入住 where 入住ID=?", {stay});
            db.exec("delete from 旅客入住 where 入住ID=?", {stay});
            db.exec("update 房间 set 房间状态=1 where 房间ID=?", {room});
            settle();
        }
        closeWindow(w);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("checkin", s.median(), u"Form8 Command1_Click"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareCheckIn(benchmark::State &state)
{
    const QString file = fileIn(g.frontdeskDir);
    bare::Database admin(file, true);
    Samples s;
    for (auto _ : state) {
        const std::int64_t room = admin.scalar("select 房间ID from 房间 where 房间状态=1 limit 1");
        s.start();
        {
            bare::Database db(file, true);
            db.exec("begin immediate");
            db.exec("insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                    "入住人数, "
                    "房间ID, 预付款) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                    {"张伟", "华东电力设计院", "身份证", "310101198001011234", "2006-04-26 00:00:00",
                     std::int64_t(3), std::int64_t(2), room, std::int64_t(500)});
            db.exec("update 房间 set 房间状态=2 where 房间ID=?", {room});
            db.exec("commit");
        }
        s.stop();
        const std::int64_t stay = admin.scalar("select max(入住ID) from 旅客入住");
        admin.exec("delete from 旅客入住 where 入住ID=?", {stay});
        admin.exec("update 房间 set 房间状态=1 where 房间ID=?", {room});
    }
    record("bare.checkin", s.median());
    state.counters["median_ms"] = s.median();
}

// Checks a guest into a free room straight in the file; returns the room's key.
static std::int64_t occupyFreeRoom(bare::Database &db)
{
    const std::int64_t room = db.scalar("select 房间ID from 房间 where 房间状态=1 limit 1");
    if (room == 0)
        throw std::runtime_error("no free room left");
    db.exec("insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
            "房间ID, "
            "预付款) values ('李娜', '个人', '身份证', '320102198505052345', '2026-01-12 14:30:00', 3, 1, ?, "
            "500)",
            {room});
    db.exec("update 房间 set 房间状态=2 where 房间ID=?", {room});
    return room;
}

static std::string numberOf(bare::Database &db, std::int64_t room)
{
    return db.text("select 房间号 from 房间 where 房间ID=?", {room});
}

void BM_CheckOut(benchmark::State &state)
{
    useDatabase(g.frontdeskDir);
    BenchSeam seam;
    bare::Database db(fileIn(g.frontdeskDir), true);
    Samples s;
    try {
        QWidget *w = openWindow(u"Form12"_s);
        settle();
        for (auto _ : state) {
            seam.messages.clear();
            const std::int64_t room = occupyFreeRoom(db);
            child<QLineEdit>(w, u"Text1"_s)->setText(QString::fromStdString(numberOf(db, room)));
            QPushButton *fetch = child<QPushButton>(w, u"Command1"_s);
            QPushButton *compute = child<QPushButton>(w, u"Command2"_s);
            QPushButton *confirm = child<QPushButton>(w, u"Command3"_s);
            s.start();
            fetch->click();
            compute->click();
            confirm->click();
            s.stop();
            if (!seam.messages.contains(u"恭喜您，旅客退房成功？请核准相关帐目!"_s))
                throw std::runtime_error("check-out said: " + seam.messages.join(u" / "_s).toStdString());
            w = seam.newest(u"Form12"_s);
            // Keep the history at its size.
            db.exec("delete from 旅客退房 where 退房ID=(select max(退房ID) from 旅客退房)");
            settle();
        }
        closeWindow(w);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("checkout", s.median(), u"Form12 Command1+2+3_Click"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareCheckOut(benchmark::State &state)
{
    const QString file = fileIn(g.frontdeskDir);
    bare::Database admin(file, true);
    Samples s;
    for (auto _ : state) {
        const std::int64_t room = occupyFreeRoom(admin);
        const std::string number = numberOf(admin, room);
        s.start();
        {
            bare::Database db(file, true);
            db.readAsText("select * from 房间 where 房间号=? and 房间状态=2", {number});
            db.readAsText("select * from 旅客入住 where 房间ID=?", {room});
            db.readAsText("select * from 房间 where 房间ID=?", {room});
            db.exec("begin immediate");
            db.exec("insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                    "入住人数, "
                    "房间ID, 预付款, 退房时间, 实际入住天数, 实际金额, 应收款, 应退款) "
                    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                    {"李娜", "个人", "身份证", "320102198505052345", "2026-01-12 14:30:00", std::int64_t(3),
                     std::int64_t(1), room, std::int64_t(500), "2026-01-15 00:00:00", std::int64_t(3),
                     std::int64_t(360), std::int64_t(0), std::int64_t(140)});
            db.exec("update 房间 set 房间状态=1 where 房间ID=?", {room});
            db.exec("delete from 旅客入住 where 房间ID=?", {room});
            db.exec("commit");
        }
        s.stop();
        admin.exec("delete from 旅客退房 where 退房ID=(select max(退房ID) from 旅客退房)");
    }
    record("bare.checkout", s.median());
    state.counters["median_ms"] = s.median();
}

// What the "close and show again" after a check-in or check-out costs on its own: a fresh
// window, its load and its first paint.
void BM_Reopen(benchmark::State &state, const QString &form, const std::string &name)
{
    useDatabase(g.frontdeskDir);
    BenchSeam seam;
    Samples s;
    try {
        for (auto _ : state) {
            s.start();
            QWidget *w = openWindow(form);
            s.stop();
            closeWindow(w);
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record(name, s.median(), u"ui::showWindow(\"%1\")"_s.arg(form));
    state.counters["median_ms"] = s.median();
}

// ---------------------------------------------------------------- backup

void BM_Backup(benchmark::State &state)
{
    useDatabase(g.backupDir);
    BenchSeam seam;
    const QString target = g.workDir + u"/backup-copy.mdb"_s;
    Samples s;
    try {
        QWidget *w = openWindow(u"Form7"_s);
        settle();
        for (auto _ : state) {
            QFile::remove(target);
            seam.messages.clear();
            child<QLineEdit>(w, u"Text1"_s)->setText(target);
            QPushButton *copy = child<QPushButton>(w, u"Command1"_s);
            s.start();
            copy->click();
            s.stop();
            if (!seam.messages.contains(u"恭喜您，数据库备份成功？"_s))
                throw std::runtime_error("backup said: " + seam.messages.join(u" / "_s).toStdString());
            if (QFileInfo(target).size() != QFileInfo(fileIn(g.backupDir)).size())
                throw std::runtime_error("the copy has the wrong size");
        }
        closeWindow(w);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    QFile::remove(target);
    record("backup", s.median(), u"Form7 Command1_Click"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareBackup(benchmark::State &state)
{
    const std::string source = fileIn(g.backupDir).toStdString();
    const QString target = g.workDir + u"/backup-cp.mdb"_s;
    Samples s;
    for (auto _ : state) {
        QFile::remove(target);
        const ProcessResult p = runProcess({"cp", source, target.toStdString()});
        s.add(double(p.endNs - p.startNs) / 1e6);
        if (p.status != 0)
            failBenchmark(state, "cp failed");
    }
    QFile::remove(target);
    record("bare.backup", s.median());
    state.counters["median_ms"] = s.median();
}

// cp, then the copy forced to the disk (coreutils sync FILE): what a copy that is safe on the
// disk when the success message shows costs.
void BM_BareBackupSynced(benchmark::State &state)
{
    const std::string source = fileIn(g.backupDir).toStdString();
    const QString target = g.workDir + u"/backup-cp.mdb"_s;
    Samples s;
    for (auto _ : state) {
        QFile::remove(target);
        const ProcessResult cp = runProcess({"cp", source, target.toStdString()});
        const ProcessResult sync = runProcess({"sync", target.toStdString()});
        s.add(double(sync.endNs - cp.startNs) / 1e6);
        if (cp.status != 0 || sync.status != 0)
            failBenchmark(state, "cp or sync failed");
    }
    QFile::remove(target);
    record("bare.backup.sync", s.median());
    state.counters["median_ms"] = s.median();
}

// ---------------------------------------------------------------- login

static void runStartProbe(benchmark::State &state, const std::vector<std::string> &args,
                          const std::string &startName, const std::string &clickName)
{
    Samples start, click;
    for (auto _ : state) {
        const ProcessResult p = runProcess(args);
        auto v = probeValues(p.out);
        if (p.status != 0 || !v.count("window_shown_ns") || !v.count("click_shown_ns")) {
            failBenchmark(state, args[1] + " probe failed: " + p.out);
            return;
        }
        start.add(double(v["window_shown_ns"] - p.startNs) / 1e6);
        click.add(double(v["click_shown_ns"] - v["click_ns"]) / 1e6);
    }
    record(startName, start.median());
    record(clickName, click.median());
    state.counters["start_ms"] = start.median();
    state.counters["click_ms"] = click.median();
}

void BM_Login(benchmark::State &state)
{
    runStartProbe(state, {g.probe.toStdString(), "login", g.bigDir.toStdString()}, "login.start",
                  "login.click");
}

void BM_EmptyQt(benchmark::State &state)
{
    runStartProbe(state, {g.probe.toStdString(), "empty-click"}, "bare.qt.start", "bare.qt.click");
}
