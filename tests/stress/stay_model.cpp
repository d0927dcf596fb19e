#include "stay_model.h"

#include "direct_db.h"
#include "ui/chosen_record.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace stress {

namespace {

const QString Incomplete = u"请填写完整资料？"_s;
const QString NotNumbers = u"入住天数，人数，预付款只能为数字形式？"_s;
const QString NotAmount = u"金额只能为数字？"_s;
const QString Null = u"<NULL>"_s;
constexpr ui::MessageKind Notice = ui::MessageKind::Information;
constexpr ui::MessageKind Question = ui::MessageKind::Question;
constexpr ui::MessageKind Failure = ui::MessageKind::Warning;

// A message the window should show; `anyText` when only its kind is known (a failure, or a
// refusal in the window's own words).
struct Expected {
    QString text;
    ui::MessageKind kind = Notice;
    bool anyText = false;
};

Expected said(const QString &text, ui::MessageKind kind = Notice)
{
    return {text, kind, false};
}

Expected someMessage(ui::MessageKind kind)
{
    return {QString(), kind, true};
}

QString stored(const QDateTime &t)
{
    return t.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

// The texts the operator would not see as a refusal.
bool isSuccess(const QString &text)
{
    return text.startsWith(u"恭喜您"_s);
}

QStringList messageDifferences(const Operation &op, const QList<Expected> &expected)
{
    bool same = op.messages.size() == expected.size();
    for (qsizetype i = 0; same && i < expected.size(); ++i) {
        const Message &m = op.messages[i];
        const Expected &e = expected[i];
        same = m.kind == e.kind && (e.anyText ? !m.text.isEmpty() && !isSuccess(m.text) : m.text == e.text);
    }
    if (same)
        return {};
    QStringList want;
    for (const Expected &e : expected)
        want << (e.anyText ? u"<any>"_s : e.text) + u"("_s + kindName(e.kind) + u")"_s;
    QStringList got;
    for (const Message &m : op.messages)
        got << m.text + u"("_s + kindName(m.kind) + u")"_s;
    return {u"messages: expected ["_s + want.join(u" / "_s) + u"], got ["_s + got.join(u" / "_s) + u"]"_s};
}

std::optional<Expected> numberRefusal(const Particulars &p)
{
    bool outOfRange = false;
    for (int i : {5, 6, 8}) {
        if (p.box[i].set && p.box[i].verdict == Verdict::NotNumber)
            return said(NotNumbers);
        outOfRange = outOfRange || (p.box[i].set && p.box[i].verdict == Verdict::OutOfRange);
    }
    // A number the locale reads but no 16-bit column can hold fails while the row is filled.
    if (outOfRange)
        return someMessage(Failure);
    return std::nullopt;
}

// Box of a stay window -> ordinal of the row it edits.
constexpr int ordinalOfBox[10] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10};

QString value(const Typed &t)
{
    return QString::number(t.value);
}

QString rowText(const QStringList &row)
{
    return u"["_s + row.mid(1).join(u"|"_s) + u"]"_s;
}

} // namespace

StayModel::StayModel(const DirectDb &db)
{
    for (const QStringList &r : db.rows(u"select * from 房间 order by 1"_s)) {
        Room room;
        room.number = r[1];
        room.price = r[5].toDouble();
        room.status = r[7].toInt();
        m_rooms.insert(r[0].toInt(), room);
    }
}

QStringList StayModel::apply(const Operation &op)
{
    switch (op.kind) {
    case Kind::CheckIn:
    case Kind::Reserve:
        return enterStay(op);
    case Kind::CorrectStay:
    case Kind::CorrectReservation:
        return correctStay(op);
    case Kind::Cancel:
        return cancel(op);
    case Kind::CheckOut:
        return checkOut(op);
    case Kind::Takings:
    case Kind::Disbursement:
        return ledger(op);
    }
    return {};
}

QStringList StayModel::offeredRooms(const Operation &op, int status) const
{
    QStringList expected;
    for (auto it = m_rooms.cbegin(); it != m_rooms.cend(); ++it) {
        if (it->status == status)
            expected << QString::number(it.key());
    }
    QStringList offered = op.offered;
    std::sort(offered.begin(), offered.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    if (offered == expected)
        return {};
    return {u"listed rooms "_s + offered.join(u","_s) + u", expected "_s + expected.join(u","_s)};
}

QStringList StayModel::enterStay(const Operation &op)
{
    const bool checkIn = op.kind == Kind::CheckIn;
    QStringList differences = offeredRooms(op, 1);
    const Particulars &p = op.typed;
    bool complete = op.picked;
    for (int i : {1, 2, 3, 4, 5, 6, 8})
        complete = complete && !p.box[i].text.isEmpty();
    QList<Expected> expected;
    if (!complete) {
        expected << said(Incomplete);
    } else if (const auto refusal = numberRefusal(p)) {
        expected << *refusal;
    } else {
        auto it = m_rooms.find(op.room);
        if (it == m_rooms.end() || it->status != 1) {
            differences << u"picked room %1 is not free"_s.arg(op.room);
        } else {
            Row row(11);
            for (int i = 1; i <= 4; ++i)
                row[i] = p.box[i].text;
            row[5] = stored(p.pickerSet ? p.picker : EntryClock);
            row[6] = value(p.box[5]);
            row[7] = value(p.box[6]);
            row[8] = QString::number(op.room);
            row[9] = value(p.box[8]);
            row[10] = p.box[9].text.isEmpty() ? Null : p.box[9].text;
            (checkIn ? it->stay : it->booking) = row;
            it->status = checkIn ? 2 : 3;
            ++accepted[op.kind];
        }
        expected << said(checkIn ? u"恭喜您，旅客入住成功？"_s : u"恭喜您，旅客预订房间成功？"_s);
    }
    return differences + messageDifferences(op, expected);
}

QStringList StayModel::correctStay(const Operation &op)
{
    const bool stays = op.kind == Kind::CorrectStay;
    QStringList differences = offeredRooms(op, stays ? 2 : 3);
    if (!op.picked)
        return differences + messageDifferences(op, {said(Incomplete)});
    auto it = m_rooms.find(op.room);
    std::optional<Row> *row = it == m_rooms.end() ? nullptr : stays ? &it->stay : &it->booking;
    if (!row || !*row)
        return differences << u"listed row for room %1 is not in the model"_s.arg(op.room);
    const Particulars &p = op.typed;
    // What each box holds at the save: typed, or as the pick loaded it.
    QString boxes[10];
    for (int i = 1; i <= 9; ++i) {
        const QString loaded = (**row)[ordinalOfBox[i]];
        boxes[i] = p.box[i].set ? p.box[i].text : loaded == Null ? QString() : loaded;
    }
    bool complete = true;
    for (int i : {1, 2, 3, 4, 5, 6, 8})
        complete = complete && !boxes[i].isEmpty();
    QList<Expected> expected;
    if (!complete) {
        expected << said(Incomplete);
    } else if (const auto refusal = numberRefusal(p)) {
        expected << *refusal;
    } else {
        Row &r = **row;
        for (int i = 1; i <= 4; ++i)
            r[i] = boxes[i];
        if (p.pickerSet)
            r[5] = stored(p.picker);
        for (int i : {5, 6, 8}) {
            if (p.box[i].set)
                r[ordinalOfBox[i]] = value(p.box[i]);
        }
        // An empty remark box leaves the stored remark alone.
        if (!boxes[9].isEmpty())
            r[10] = boxes[9];
        ++accepted[op.kind];
        expected << said(stays ? u"恭喜您，旅客入住信息修改成功？"_s : u"恭喜您，旅客预订信息修改成功？"_s);
    }
    return differences + messageDifferences(op, expected);
}

QStringList StayModel::cancel(const Operation &op)
{
    QStringList differences = offeredRooms(op, 3);
    if (!op.picked) // nothing listed, so nothing chosen
        return differences + messageDifferences(op, {said(ui::nothingChosenMessage())});
    auto it = m_rooms.find(op.room);
    if (it == m_rooms.end() || !it->booking)
        return differences << u"listed reservation for room %1 is not in the model"_s.arg(op.room);
    if (op.answerYes) {
        it->booking.reset();
        it->status = 1;
        ++accepted[op.kind];
    }
    return differences + messageDifferences(op, {said(u"您确认取消此房间预订？"_s, Question)});
}

QStringList StayModel::checkOut(const Operation &op)
{
    QStringList differences = offeredRooms(op, 2);
    // A refused fetch says so each time it is pressed.
    const auto refusedFetches = [&](const QString &text) {
        return differences + messageDifferences(op, QList<Expected>(op.fetches, said(text)));
    };
    if (op.roomNumber.isEmpty())
        return refusedFetches(u"对不起，请输入查询对象？"_s);
    auto it = std::find_if(m_rooms.begin(), m_rooms.end(),
                           [&](const Room &r) { return r.number == op.roomNumber && r.status == 2; });
    if (it == m_rooms.end())
        return refusedFetches(u"对不起，此房间号没有入住资料"_s);
    if (!it->stay)
        return differences << u"occupied room %1 has no stay in the model"_s.arg(op.roomNumber);
    const Row &stay = *it->stay;
    const QDate in = QDateTime::fromString(stay[5], u"yyyy-MM-dd HH:mm:ss"_s).date();
    const qint64 days = in.daysTo(op.today);
    // The standard price is charged in whole yuan, an exact half going to the even neighbour.
    const qint64 amount = days * qint64(std::nearbyint(it->price));
    if (days < 0 || amount > 32767)
        return differences + messageDifferences(op, {someMessage(Notice)});
    const qint64 prepayment = stay[9].toLongLong();
    Row done(16);
    for (int k = 1; k <= 9; ++k)
        done[k] = stay[k];
    done[10] = stored(op.today.startOfDay());
    done[11] = QString::number(days);
    done[12] = QString::number(amount);
    done[13] = QString::number(amount >= prepayment ? amount - prepayment : 0);
    done[14] = QString::number(amount >= prepayment ? 0 : prepayment - amount);
    done[15] = op.remark.isEmpty() ? Null : op.remark;
    ++m_completed;
    m_lastCompleted = done;
    it->stay.reset();
    it->status = 1;
    ++accepted[op.kind];
    return differences + messageDifferences(op, {said(u"恭喜您，旅客退房成功？请核准相关帐目!"_s)});
}

QStringList StayModel::ledger(const Operation &op)
{
    const bool takings = op.kind == Kind::Takings;
    Ledger &l = takings ? m_takings : m_disbursements;
    QStringList differences;
    if (op.offered.size() != l.count)
        differences << u"ledger listed %1 entries, expected %2"_s.arg(op.offered.size()).arg(l.count);
    QList<Expected> expected;
    if (op.amount.text.isEmpty() || op.person.isEmpty()) {
        expected << said(Incomplete);
    } else if (op.amount.verdict == Verdict::NotNumber) {
        expected << said(NotAmount);
    } else {
        ++l.count;
        l.last = Row{QString(), stored(op.when), op.person};
        ++accepted[op.kind];
        expected << said(takings ? u"恭喜您，上交营业款提交成功！"_s : u"恭喜您，下拔款项提交成功！"_s);
    }
    return differences + messageDifferences(op, expected);
}

QStringList StayModel::compare(const DirectDb &db) const
{
    QStringList differences;
    QString error;
    QMap<int, int> statuses;
    for (const QStringList &r : db.rows(u"select 房间ID, 房间状态 from 房间"_s, {}, &error))
        statuses.insert(r[0].toInt(), r[1].toInt());
    if (statuses.size() != m_rooms.size())
        differences << u"%1 rooms in the file, %2 in the model"_s.arg(statuses.size()).arg(m_rooms.size());
    for (auto it = m_rooms.cbegin(); it != m_rooms.cend(); ++it) {
        if (statuses.value(it.key()) != it->status)
            differences << u"room %1 (%2): status %3, expected %4"_s.arg(it.key())
                               .arg(it->number)
                               .arg(statuses.value(it.key()))
                               .arg(it->status);
    }

    const auto rowsByRoom = [&](const QString &table) {
        QMap<int, QList<Row>> byRoom;
        for (QStringList r : db.rows(u"select * from "_s + table + u" order by 1"_s, {}, &error)) {
            r[0].clear(); // keys are the store's business
            byRoom[r[8].toInt()].append(r);
        }
        return byRoom;
    };
    for (const bool stays : {true, false}) {
        const QString table = stays ? u"旅客入住"_s : u"旅客预订"_s;
        QMap<int, QList<Row>> actual = rowsByRoom(table);
        for (auto it = m_rooms.cbegin(); it != m_rooms.cend(); ++it) {
            const std::optional<Row> &want = stays ? it->stay : it->booking;
            const QList<Row> got = actual.take(it.key());
            const QList<Row> expected = want ? QList<Row>{*want} : QList<Row>{};
            if (got != expected) {
                QStringList g;
                for (const Row &r : got)
                    g << rowText(r);
                differences << u"%1 of room %2: %3, expected %4"_s.arg(table, it->number, g.join(u" "_s),
                                                                       want ? rowText(*want) : u"none"_s);
            }
        }
        for (auto it = actual.cbegin(); it != actual.cend(); ++it)
            differences << u"%1: %2 rows name room %3, which the model does not know"_s.arg(table)
                               .arg(it->size())
                               .arg(it.key());
    }

    const auto count = db.rows(u"select count(*) from 旅客退房"_s, {}, &error);
    if (count.isEmpty() || count[0][0].toInt() != m_completed)
        differences << u"旅客退房: %1 rows, expected %2"_s.arg(count.isEmpty() ? u"?"_s : count[0][0])
                           .arg(m_completed);
    if (m_completed > 0) {
        auto last = db.rows(u"select * from 旅客退房 order by 1 desc limit 1"_s, {}, &error);
        if (!last.isEmpty())
            last[0][0].clear();
        if (last.isEmpty() || last[0] != m_lastCompleted)
            differences << u"last completed stay: "_s + (last.isEmpty() ? u"none"_s : rowText(last[0])) +
                               u", expected "_s + rowText(m_lastCompleted);
    }

    for (const bool takings : {true, false}) {
        const QString table = takings ? u"交款"_s : u"拔款"_s;
        const Ledger &l = takings ? m_takings : m_disbursements;
        const auto rows = db.rows(u"select * from "_s + table + u" order by 1"_s, {}, &error);
        if (rows.size() != l.count)
            differences << u"%1: %2 rows, expected %3"_s.arg(table).arg(rows.size()).arg(l.count);
        else if (l.count > 0 && (rows.last()[1] != l.last[1] || rows.last()[3] != l.last[2]))
            differences << u"%1: last entry %2 by %3, expected %4 by %5"_s.arg(
                table, rows.last()[1], rows.last()[3], l.last[1], l.last[2]);
    }
    if (!error.isEmpty())
        differences << u"query failed: "_s + error;
    return differences;
}

} // namespace stress
