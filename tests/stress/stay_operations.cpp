#include "stay_operations.h"

#include "data/conversions.h"
#include "finance/finance_windows.h"
#include "frontdesk/frontdesk_windows.h"
#include "hotel_file.h"
#include "test_seam.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/windows.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace stress {

namespace {

Typed valid(const QString &text, int value)
{
    return {true, text, Verdict::Number, value};
}

Typed refused(const QString &text, Verdict why)
{
    return {true, text, why, 0};
}

// Number boxes get plain numbers most of the time, and now and then the forms the locale
// also reads (halves, blanks, exponent, grouping) or text the window must refuse.
const QList<Typed> &dayTexts()
{
    static const QList<Typed> all{valid(u"1"_s, 1),   valid(u"2"_s, 2),    valid(u"3"_s, 3),
                                  valid(u"5"_s, 5),   valid(u"7"_s, 7),    valid(u"14"_s, 14),
                                  valid(u"2.5"_s, 2), valid(u"3.5"_s, 4),  valid(u"1.5"_s, 2),
                                  valid(u" 4 "_s, 4), valid(u"1e1"_s, 10), valid(u"-1"_s, -1)};
    return all;
}

const QList<Typed> &badDayTexts()
{
    static const QList<Typed> all{
        refused(u"abc"_s, Verdict::NotNumber), refused(u"三天"_s, Verdict::NotNumber),
        refused(u"40000"_s, Verdict::OutOfRange), refused(u"1e6"_s, Verdict::OutOfRange)};
    return all;
}

const QList<Typed> &personTexts()
{
    static const QList<Typed> all{valid(u"1"_s, 1), valid(u"2"_s, 2), valid(u"3"_s, 3), valid(u"2.5"_s, 2),
                                  valid(u"0"_s, 0)};
    return all;
}

const QList<Typed> &badPersonTexts()
{
    static const QList<Typed> all{refused(u"两人"_s, Verdict::NotNumber),
                                  refused(u"-40000"_s, Verdict::OutOfRange)};
    return all;
}

const QList<Typed> &prepaymentTexts()
{
    static const QList<Typed> all{valid(u"0"_s, 0),       valid(u"100"_s, 100),   valid(u"200"_s, 200),
                                  valid(u"500"_s, 500),   valid(u"800"_s, 800),   valid(u"1,000"_s, 1000),
                                  valid(u"250.5"_s, 250), valid(u"333.5"_s, 334), valid(u"32767"_s, 32767)};
    return all;
}

const QList<Typed> &badPrepaymentTexts()
{
    static const QList<Typed> all{refused(u"五百"_s, Verdict::NotNumber),
                                  refused(u"40000"_s, Verdict::OutOfRange),
                                  refused(u"32767.5"_s, Verdict::OutOfRange)};
    return all;
}

// Texts are stored exactly as typed, quotes, wildcards and blanks included.
const QStringList nameTails{u""_s, u""_s, u""_s, u"'"_s, u" O'Brien"_s, u"%_"_s, u"\\"_s, u"  "_s};
const QStringList organisations{u"华光公司"_s,    u"北方旅行社"_s, u"个人"_s,
                                u"O'Neil & Co"_s, u"100%_纯"_s,    u" "_s};
const QStringList documents{u"身份证"_s, u"护照"_s, u"军官证"_s};
const QStringList remarks{u"需要加床"_s, u"不吸烟"_s, u"VIP 'A'"_s, u"靠窗"_s};

QLineEdit *box(QWidget *w, const QString &name)
{
    auto *b = w->findChild<QLineEdit *>(name);
    if (!b)
        qFatal("%s has no box %s", qPrintable(w->objectName()), qPrintable(name));
    return b;
}

QPushButton *button(QWidget *w, const QString &name)
{
    auto *b = w->findChild<QPushButton *>(name);
    if (!b)
        qFatal("%s has no button %s", qPrintable(w->objectName()), qPrintable(name));
    return b;
}

FlexGrid *grid(QWidget *w, const QString &name)
{
    auto *g = w->findChild<FlexGrid *>(name);
    if (!g)
        qFatal("%s has no grid %s", qPrintable(w->objectName()), qPrintable(name));
    return g;
}

QWidget *open(const QString &form)
{
    QWidget *w = ui::showWindow(form);
    if (!w)
        qFatal("window %s is not registered", qPrintable(form));
    return w;
}

QStringList column(FlexGrid *g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out.append(g->text(r, col));
    return out;
}

} // namespace

QString kindName(ui::MessageKind kind)
{
    switch (kind) {
    case ui::MessageKind::Information:
        return u"information"_s;
    case ui::MessageKind::Warning:
        return u"warning"_s;
    case ui::MessageKind::Question:
        return u"question"_s;
    }
    return {};
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::CheckIn:
        return u"check-in"_s;
    case Kind::Reserve:
        return u"reserve"_s;
    case Kind::Cancel:
        return u"cancel"_s;
    case Kind::CorrectStay:
        return u"correct-stay"_s;
    case Kind::CorrectReservation:
        return u"correct-reservation"_s;
    case Kind::CheckOut:
        return u"check-out"_s;
    case Kind::Takings:
        return u"takings"_s;
    case Kind::Disbursement:
        return u"disbursement"_s;
    }
    return {};
}

QString Operation::describe() const
{
    QStringList parts{u"step "_s + QString::number(step), kindName(kind)};
    if (picked)
        parts << u"key="_s + key << u"room="_s + QString::number(room);
    if (kind == Kind::CheckOut)
        parts << u"fetches="_s + QString::number(fetches) << u"number='"_s + roomNumber + u"'"_s
              << u"today="_s + today.toString(Qt::ISODate) << u"remark='"_s + remark + u"'"_s;
    if (kind == Kind::Cancel)
        parts << (answerYes ? u"yes"_s : u"no"_s);
    if (kind == Kind::Takings || kind == Kind::Disbursement)
        parts << u"amount='"_s + amount.text + u"'"_s << u"person='"_s + person + u"'"_s;
    for (int i = 1; i <= 9; ++i) {
        if (typed.box[i].set)
            parts << u"Text"_s + QString::number(i) + u"='"_s + typed.box[i].text + u"'"_s;
    }
    if (typed.pickerSet)
        parts << u"picker="_s + typed.picker.toString(Qt::ISODate);
    QStringList said;
    for (const Message &m : messages)
        said << m.text;
    parts << u"messages=["_s + said.join(u" / "_s) + u"]"_s;
    return parts.join(u" "_s);
}

bool Operation::mayFail() const
{
    for (const Typed &t : typed.box) {
        if (t.set && t.verdict == Verdict::OutOfRange)
            return true;
    }
    return false;
}

OperationGenerator::OperationGenerator(quint64 seed, TestSeam &seam) : m_seed(seed), m_seam(seam)
{
    const quint32 halves[] = {quint32(seed), quint32(seed >> 32)};
    m_rng = QRandomGenerator(halves, 2);
    registerFrontdeskWindows();
    registerFinanceWindows();
}

Operation OperationGenerator::next()
{
    // Check-ins and check-outs dominate a desk's day; the rest keep the other paths busy.
    static const std::pair<Kind, int> weights[] = {
        {Kind::CheckIn, 22},           {Kind::Reserve, 14},  {Kind::Cancel, 10}, {Kind::CorrectStay, 9},
        {Kind::CorrectReservation, 7}, {Kind::CheckOut, 22}, {Kind::Takings, 8}, {Kind::Disbursement, 8}};
    int total = 0;
    for (const auto &w : weights)
        total += w.second;
    int r = int(m_rng.bounded(total));
    for (const auto &[kind, weight] : weights) {
        if (r < weight)
            return run(kind);
        r -= weight;
    }
    return run(Kind::CheckIn);
}

Operation OperationGenerator::run(Kind kind)
{
    Operation op;
    op.kind = kind;
    op.step = ++m_step;
    m_seam.messages.clear();
    switch (kind) {
    case Kind::CheckIn:
        enterStay(op, u"Form8"_s);
        break;
    case Kind::Reserve:
        enterStay(op, u"Form10"_s);
        break;
    case Kind::Cancel:
        cancel(op);
        break;
    case Kind::CorrectStay:
        correctStay(op, u"Form9"_s);
        break;
    case Kind::CorrectReservation:
        correctStay(op, u"Form11"_s);
        break;
    case Kind::CheckOut:
        checkOut(op);
        break;
    case Kind::Takings:
        ledger(op, u"Form14"_s);
        break;
    case Kind::Disbursement:
        ledger(op, u"Form15"_s);
        break;
    }
    for (const TestSeam::Message &m : std::as_const(m_seam.messages))
        op.messages.append({m.text, m.kind});
    closeWindows();
    return op;
}

void OperationGenerator::enterStay(Operation &op, const QString &form)
{
    m_seam.setToday(EntryClock.date());
    m_seam.setTimeOfDay(EntryClock.time());
    QWidget *w = open(form);
    FlexGrid *rooms = grid(w, u"MSFlexGrid1"_s);
    op.offered = column(rooms, 0);
    op.typed = newGuest(op.step);
    type(w, op.typed);
    // With no free room there is nothing to pick, and the window must say what is missing.
    if (rooms->Rows() > 1) {
        const int r = pick(rooms->Rows());
        rooms->selectRecord(r);
        op.picked = true;
        op.key = rooms->text(r, 0);
        op.room = op.key.toInt();
    }
    button(w, u"Command1"_s)->click();
}

void OperationGenerator::correctStay(Operation &op, const QString &form)
{
    QWidget *w = open(form);
    FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
    op.offered = column(list, 8);
    if (list->Rows() > 1) {
        const int r = pick(list->Rows());
        list->selectRecord(r);
        op.picked = true;
        op.key = list->text(r, 0);
        op.room = list->text(r, 8).toInt();
    }
    correction(op.typed, op.step);
    type(w, op.typed);
    button(w, u"Command1"_s)->click();
}

void OperationGenerator::cancel(Operation &op)
{
    QWidget *w = open(u"Form11"_s);
    FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
    op.offered = column(list, 8);
    if (list->Rows() > 1) {
        const int r = pick(list->Rows());
        list->selectRecord(r);
        op.picked = true;
        op.key = list->text(r, 0);
        op.room = list->text(r, 8).toInt();
        op.answerYes = chance(85);
        m_seam.answer(op.answerYes);
    }
    button(w, u"Command2"_s)->click();
}

void OperationGenerator::checkOut(Operation &op)
{
    // The occupied room is found as the desk finds it: the current guests show its number.
    QDate checkInDay(2006, 4, 1);
    QWidget *guests = open(u"Form9"_s);
    FlexGrid *list = grid(guests, u"MSFlexGrid2"_s);
    op.offered = column(list, 8);
    if (list->Rows() > 1 && chance(85)) {
        const int r = pick(list->Rows());
        list->selectRecord(r);
        op.picked = true;
        op.key = list->text(r, 0);
        op.room = list->text(r, 8).toInt();
        op.roomNumber = box(guests, u"Text10"_s)->text();
        if (const auto t = conv::textToDateTime(list->text(r, 5)))
            checkInDay = t->date();
    } else if (chance(10)) {
        op.roomNumber.clear();
    } else if (chance(15)) {
        op.roomNumber = u"999"_s;
    } else {
        // Any room, typed from memory: free and reserved ones must be turned away.
        const auto &rooms = hotelRooms();
        op.roomNumber = rooms.at(int(m_rng.bounded(int(rooms.size())))).number;
    }
    guests->close();
    // Now and then the check-out day lies before the check-in.
    op.today = checkInDay.addDays(int(m_rng.bounded(-2, 26)));
    m_seam.setToday(op.today);
    op.remark = chance(50) ? QString()
                           : remarks.at(int(m_rng.bounded(int(remarks.size())))) + QString::number(op.step);

    QWidget *w = open(u"Form12"_s);
    box(w, u"Text1"_s)->setText(op.roomNumber);
    button(w, u"Command1"_s)->click();
    // A second fetch adds the room's row again; the price must still come from the first.
    if (chance(10)) {
        op.fetches = 2;
        button(w, u"Command1"_s)->click();
    }
    box(w, u"Text16"_s)->setText(op.remark);
    button(w, u"Command2"_s)->click();
    button(w, u"Command3"_s)->click();
}

void OperationGenerator::ledger(Operation &op, const QString &form)
{
    QWidget *w = open(form);
    op.offered = column(grid(w, u"MSFlexGrid1"_s), 0);
    button(w, u"Command1"_s)->click(); // into add mode
    op.when = someTime();
    w->findChild<DatePicker *>(u"DTPicker1"_s)->setValue(op.when);
    if (chance(4))
        op.amount = {true, QString(), Verdict::Text, 0};
    else if (chance(6))
        op.amount = refused(u"一百"_s, Verdict::NotNumber);
    else
        op.amount = valid(
            QStringList{u"12.50"_s, u"100"_s, u"0.5"_s, u"2000"_s, u"-30"_s}.at(int(m_rng.bounded(5))), 0);
    op.person = chance(4) ? QString() : u"经手人"_s + QString::number(op.step);
    box(w, u"Text1"_s)->setText(op.amount.text);
    box(w, u"Text2"_s)->setText(op.person);
    button(w, u"Command1"_s)->click();
}

Particulars OperationGenerator::newGuest(int step)
{
    Particulars p;
    p.box[1] = {true, uniqueName(step)};
    p.box[2] = {true, organisations.at(int(m_rng.bounded(int(organisations.size()))))};
    p.box[3] = {true, documents.at(int(m_rng.bounded(int(documents.size()))))};
    p.box[4] = {true, QString::number(m_rng.bounded(100000, 999999)) +
                          QString::number(m_rng.bounded(100000, 999999))};
    p.box[5] = number(dayTexts(), badDayTexts(), 4);
    p.box[6] = number(personTexts(), badPersonTexts(), 3);
    p.box[8] = number(prepaymentTexts(), badPrepaymentTexts(), 4);
    p.box[9] = {true, chance(50)
                          ? QString()
                          : remarks.at(int(m_rng.bounded(int(remarks.size())))) + QString::number(step)};
    if (chance(85)) {
        p.pickerSet = true;
        p.picker = someTime();
    }
    // Now and then a required box is left empty.
    if (chance(4)) {
        static const int required[] = {1, 2, 3, 4, 5, 6, 8};
        const int b = required[m_rng.bounded(int(std::size(required)))];
        p.box[b] = {true, QString()};
    }
    return p;
}

void OperationGenerator::correction(Particulars &p, int step)
{
    if (chance(50))
        p.box[1] = {true, uniqueName(step)};
    if (chance(20))
        p.box[2] = {true, organisations.at(int(m_rng.bounded(int(organisations.size()))))};
    if (chance(30))
        p.box[5] = number(dayTexts(), badDayTexts(), 10);
    if (chance(20))
        p.box[6] = number(personTexts(), badPersonTexts(), 10);
    if (chance(30))
        p.box[8] = number(prepaymentTexts(), badPrepaymentTexts(), 10);
    // An emptied remark box keeps the remark stored before.
    if (chance(30))
        p.box[9] = {true, chance(40)
                              ? QString()
                              : remarks.at(int(m_rng.bounded(int(remarks.size())))) + QString::number(step)};
    if (chance(30)) {
        p.pickerSet = true;
        p.picker = someTime();
    }
    if (chance(4))
        p.box[chance(50) ? 3 : 4] = {true, QString()};
}

void OperationGenerator::type(QWidget *window, const Particulars &p)
{
    for (int i = 1; i <= 9; ++i) {
        if (i != 7 && p.box[i].set)
            box(window, u"Text"_s + QString::number(i))->setText(p.box[i].text);
    }
    if (p.pickerSet)
        window->findChild<DatePicker *>(u"DTPicker1"_s)->setValue(p.picker);
}

Typed OperationGenerator::number(const QList<Typed> &good, const QList<Typed> &bad, int refusedPercent)
{
    if (chance(refusedPercent))
        return bad.at(int(m_rng.bounded(int(bad.size()))));
    return good.at(int(m_rng.bounded(int(good.size()))));
}

QDateTime OperationGenerator::someTime()
{
    const QDate day = QDate(2006, 3, 1).addDays(m_rng.bounded(60));
    const int second = int(m_rng.bounded(24 * 3600));
    return QDateTime(day, QTime(0, 0).addSecs(second));
}

QString OperationGenerator::uniqueName(int step)
{
    // Seed and step make every guest distinct, so two equal completed stays mean a duplicate.
    return u"客"_s + QString::number(m_seed, 36) + u"-"_s + QString::number(step) +
           nameTails.at(int(m_rng.bounded(int(nameTails.size()))));
}

int OperationGenerator::pick(int rows)
{
    return 1 + int(m_rng.bounded(rows - 1));
}

bool OperationGenerator::chance(int percent)
{
    return int(m_rng.bounded(100)) < percent;
}

void OperationGenerator::closeWindows()
{
    for (const QPointer<QWidget> &w : std::as_const(m_seam.shown)) {
        if (w)
            w->close();
    }
    flushDeletes();
    m_seam.shown.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
}

} // namespace stress
