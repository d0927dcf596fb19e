#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Many desks at once on one house: what each desk did and was told, written as lines when it ends,
// and the checks of the house against all of it afterwards.
namespace desks {

enum class Kind { CheckIn, Reserve, Arrive, CheckOut, Takings, Disbursement, HistoryOpen, HistorySearch };
inline constexpr Kind AllKinds[] = {Kind::CheckIn,     Kind::Reserve,      Kind::Arrive,
                                    Kind::CheckOut,    Kind::Takings,      Kind::Disbursement,
                                    Kind::HistoryOpen, Kind::HistorySearch};
QString kindName(Kind kind);
// What the record of who did what calls a successful operation of this kind; empty for a read.
QString deedOf(Kind kind);

// What the desk was told. Nothing: there was no row to pick (no free room, no reservation).
enum class Told { Done, Refused, Busy, Failed, Nothing };

struct Event {
    Kind kind = Kind::CheckIn;
    Told told = Told::Done;
    qint64 micros = 0;
    QString subject; // the guest, or the ledger entry's person
    qint64 key = -1; // the new record's key, where the operation gives it
    int amount = 0;  // what a check-out charged
    QString detail;  // what a failure said
};

QString toLine(const Event &e);
std::optional<Event> fromLine(const QString &line);

struct DeskLog {
    QString operatorName;
    QList<Event> events;
    bool complete = false; // the desk wrote its last line
};
// A desk's file: "desk <operator>", one line per operation, "end".
DeskLog readLog(const QString &path);
bool writeLog(const QString &path, const DeskLog &log);

// The house file (a server's house as its snapshot) against everything the desks were told: each
// success is there once, nothing told failed is there, the rooms agree with the stays, the revenue
// is what the check-outs charged, and the record holds one row per success. One line per fault.
QStringList houseProblems(const QString &housePath, const QList<DeskLog> &logs);

// The p-th percentile (0..100) of the values, nearest rank; 0 for none.
double percentile(QList<qint64> values, double p);
// Per kind over all desks: how many, how they ended, median and 99th percentile in ms.
QStringList latencyTable(const QList<DeskLog> &logs);
// The worst 99th percentile over the kinds, in ms, and (when asked) its kind.
double worstP99(const QList<DeskLog> &logs, Kind *which = nullptr);

} // namespace desks
