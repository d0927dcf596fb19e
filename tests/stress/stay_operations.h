#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "ui/seams.h"

class TestSeam;
class QWidget;

// A seeded stream of real desk operations, each carried out through the windows and
// handlers the operator uses, headless. What each operation typed and chose is reported,
// so a model can say what the database should hold afterwards.
namespace stress {

// The clock while a check-in or reservation window is open: before every time the operations pick,
// so none lies more than a day back and is asked about; an untouched picker stores it.
inline const QDateTime EntryClock(QDate(2006, 2, 28), QTime(8, 15));

enum class Kind {
    CheckIn,
    Reserve,
    Cancel,
    CorrectStay,
    CorrectReservation,
    CheckOut,
    Takings,
    Disbursement
};
QString kindName(Kind kind);
QString kindName(ui::MessageKind kind);

// What a typed number should come to: the value the store keeps, or why it is refused.
enum class Verdict { Text, Number, NotNumber, OutOfRange };

struct Typed {
    bool set = false;
    QString text;
    Verdict verdict = Verdict::Text;
    int value = 0; // for Verdict::Number
};

// Boxes Text1..Text9 of a stay window, index = box number (7, the room key, is filled only by a
// pick); the date picker when it was set.
struct Particulars {
    Typed box[10];
    bool pickerSet = false;
    QDateTime picker;
};

struct Message {
    QString text;
    ui::MessageKind kind;
};

struct Operation {
    Kind kind = Kind::CheckIn;
    int step = 0;
    QStringList offered; // keys the window listed: free rooms, or rooms of the listed rows, or ledger keys
    bool picked = false; // a row of the list was chosen
    int room = 0;        // the room key of the chosen row
    QString key;         // the chosen row's key
    Particulars typed;
    bool answerYes = false; // cancel
    QString roomNumber;     // check-out search
    int fetches = 1;        // presses of the fetch button
    QDate today;            // check-out day
    QString remark;         // check-out remark
    Typed amount;           // ledger amount
    QString person;         // ledger person
    QDateTime when;         // ledger time
    QList<Message> messages;

    // A number was typed that no 16-bit column holds, so a store failure is the right answer.
    bool mayFail() const;
    QString describe() const;
};

class OperationGenerator
{
public:
    OperationGenerator(quint64 seed, TestSeam &seam);

    Operation next();
    Operation run(Kind kind);

private:
    void enterStay(Operation &op, const QString &form);
    void correctStay(Operation &op, const QString &form);
    void cancel(Operation &op);
    void checkOut(Operation &op);
    void ledger(Operation &op, const QString &form);

    Particulars newGuest(int step);
    void correction(Particulars &p, int step);
    void type(QWidget *window, const Particulars &p);
    Typed number(const QList<Typed> &valid, const QList<Typed> &refused, int refusedPercent);
    QDateTime someTime();
    QString uniqueName(int step);
    int pick(int rows); // a data row 1..rows-1
    bool chance(int percent);
    void closeWindows();

    QRandomGenerator m_rng;
    quint64 m_seed;
    TestSeam &m_seam;
    int m_step = 0;
};

} // namespace stress
