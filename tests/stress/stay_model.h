#pragma once

#include "stay_operations.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

class DirectDb;

// What the database should hold after a run of operations, worked out without the program:
// the rooms with their status, the one stay or reservation a room may have, the completed
// stays and the ledger entries. Rows are kept as the stored texts, "<NULL>" for unset columns.
namespace stress {

class StayModel
{
public:
    // Reads the rooms of a fresh file; stays, reservations, completed stays and ledgers are empty.
    explicit StayModel(const DirectDb &db);

    // Carries the operation into the model; returns where the windows' answers (the messages,
    // the rows they listed) differ from what they should have been.
    QStringList apply(const Operation &op);
    // Where the file differs from the model.
    QStringList compare(const DirectDb &db) const;

    // Operations of each kind that changed data, so a run can show it reached every path.
    QMap<Kind, int> accepted;

private:
    using Row = QStringList; // ordinals 1..n as stored text, index 0 unused

    struct Room {
        QString number;
        double price = 0;
        int status = 1;
        std::optional<Row> stay;
        std::optional<Row> booking;
    };
    struct Ledger {
        int count = 0;
        Row last;
    };

    QStringList enterStay(const Operation &op);
    QStringList correctStay(const Operation &op);
    QStringList cancel(const Operation &op);
    QStringList checkOut(const Operation &op);
    QStringList ledger(const Operation &op);

    QStringList offeredRooms(const Operation &op, int status) const;

    QMap<int, Room> m_rooms;
    int m_completed = 0;
    Row m_lastCompleted;
    Ledger m_takings;
    Ledger m_disbursements;
};

} // namespace stress
