#include "data/access_rows.h"

#include "data/access_reader.h"
#include "data/schema.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace accesshouse::detail {

namespace {

using AT = AccessReader::Type;
using CT = schema::ColumnType;

// Amounts past this many cents no longer keep every cent in a double.
constexpr double MaxYuan = 1e13;
constexpr qint64 MaxScaled = 1'000'000'000'000'000; // 15 digits: exact both ways through a double
constexpr int ProgressEvery = 2048;

// The storage types an Access designer may have picked for each kind of column.
bool holds(CT kind, AT type)
{
    switch (kind) {
    case CT::Key:
        return type == AT::Long || type == AT::Integer;
    case CT::Text:
        return type == AT::Text || type == AT::Memo;
    case CT::Int16:
        return type == AT::Integer || type == AT::Long || type == AT::Byte;
    case CT::Number:
        return type == AT::Double || type == AT::Single || type == AT::Currency || type == AT::Decimal ||
               type == AT::Long || type == AT::Integer || type == AT::Byte;
    case CT::DateTime:
        return type == AT::DateTime;
    }
    return false;
}

Failure failure(Problem problem, const QString &table, QString detail = {})
{
    Failure f;
    f.problem = problem;
    f.table = table;
    f.detail = std::move(detail);
    return f;
}

// x / d rounded half away from zero.
qint64 roundDiv(qint64 x, qint64 d)
{
    qint64 q = x / d;
    const qint64 r = x % d;
    if (2 * std::llabs(r) >= d)
        q += x < 0 ? -1 : 1;
    return q;
}

qint64 pow10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

struct Money {
    double value;
    qint64 cents; // exact from the stored value, not through the double
};

std::optional<Money> money(const AccessReader &r, int c, AT type)
{
    switch (type) {
    case AT::Byte:
    case AT::Integer:
    case AT::Long: {
        const qint64 v = r.integer(c);
        return Money{double(v), v * 100};
    }
    case AT::Currency: {
        const qint64 v = r.currency(c);
        if (v <= -MaxScaled || v >= MaxScaled)
            return std::nullopt;
        return Money{double(v) / 10000.0, roundDiv(v, 100)};
    }
    case AT::Decimal: {
        qint64 m = 0;
        int scale = 0;
        if (!r.decimal(c, &m, &scale) || m <= -MaxScaled || m >= MaxScaled || scale > 28)
            return std::nullopt;
        const QByteArray text = QByteArray::number(m) + "e-" + QByteArray::number(scale);
        const qint64 cents = scale <= 2        ? m * pow10(2 - scale)
                             : scale - 2 <= 18 ? roundDiv(m, pow10(scale - 2))
                                               : 0;
        return Money{std::strtod(text.constData(), nullptr), cents};
    }
    case AT::Single: {
        // The float's own shortest text, so 130.1 stays 130.1 and not 130.100006103515625.
        char buf[64];
        const auto end = std::to_chars(buf, buf + sizeof buf - 1, float(r.real(c))).ptr;
        *end = '\0';
        const double v = std::strtod(buf, nullptr);
        if (!std::isfinite(v) || std::fabs(v) >= MaxYuan)
            return std::nullopt;
        return Money{v, centsOf(v)};
    }
    case AT::Double: {
        const double v = r.real(c);
        if (!std::isfinite(v) || std::fabs(v) >= MaxYuan)
            return std::nullopt;
        return Money{v, centsOf(v)};
    }
    default:
        return std::nullopt;
    }
}

// Keys seen in one table: a bitmap for the usual small keys, a set for the rest.
class KeySet
{
public:
    bool insert(qint64 key)
    {
        if (key < 0 || key >= BitmapKeys)
            return !std::exchange(m_others[key], true);
        const size_t word = size_t(key / 64);
        if (word >= m_bits.size())
            m_bits.resize(std::max(word + 1, m_bits.size() * 2), 0);
        const quint64 bit = quint64(1) << (key % 64);
        const bool fresh = !(m_bits[word] & bit);
        m_bits[word] |= bit;
        return fresh;
    }
    bool contains(qint64 key) const
    {
        if (key < 0 || key >= BitmapKeys)
            return m_others.contains(key);
        const size_t word = size_t(key / 64);
        return word < m_bits.size() && (m_bits[word] & (quint64(1) << (key % 64)));
    }

private:
    static constexpr qint64 BitmapKeys = qint64(1) << 26;
    std::vector<quint64> m_bits;
    QHash<qint64, bool> m_others;
};

// What one pass remembers across tables to tell the odd rows: small tables only.
struct Facts {
    QSet<QString> floors;
    KeySet rooms;
    QHash<QString, qint64> roomNumbers;
};

class HouseRead
{
public:
    HouseRead(AccessReader &reader, Report &report, RowSink *sink, const Progress &progress)
        : m_reader(reader), m_report(report), m_sink(sink), m_progress(progress)
    {
        m_report.oddTotals = QList<qint64>(int(Oddity::ExtraColumns) + 1, 0);
        for (const SumColumn &s : sumColumns())
            m_report.sums.append({s.table, s.column, 0, 0});
    }

    void run()
    {
        QList<const schema::Table *> tables;
        for (const schema::Table &t : schema::tables()) {
            if (t.name != schema::Record)
                tables.append(&t);
        }
        for (const schema::Table *t : tables)
            m_total += checkLayout(*t);
        for (const schema::Table *t : tables)
            readTable(*t);
    }

private:
    qint64 checkLayout(const schema::Table &t)
    {
        const AccessReader::TableOpened opened = m_reader.openTable(t.name);
        if (opened == AccessReader::TableOpened::Missing)
            throw Stop{failure(Problem::TableMissing, t.name)};
        if (opened == AccessReader::TableOpened::Damaged)
            throw Stop{failure(Problem::Damaged, t.name)};
        const auto &columns = m_reader.columns();
        if (columns.size() < size_t(t.columns.size()))
            throw Stop{failure(Problem::TooFewColumns, t.name,
                               QString::number(columns.size()) + u"/"_s + QString::number(t.columns.size()))};
        for (int i = 0; i < int(t.columns.size()); ++i) {
            // The company table's first column is never read, whatever it holds.
            if (t.name == schema::Company && i == 0)
                continue;
            if (!holds(t.columns[i].type, columns[size_t(i)].type)) {
                Failure f = failure(Problem::WrongType, t.name, typeName(columns[size_t(i)].type));
                f.column = columns[size_t(i)].name;
                f.position = i;
                throw Stop{f};
            }
        }
        if (columns.size() > size_t(t.columns.size())) {
            QStringList extra;
            for (size_t i = size_t(t.columns.size()); i < columns.size(); ++i)
                extra.append(columns[i].name);
            odd(Oddity::ExtraColumns, t.name, std::nullopt, extra.join(u"、"_s));
        }
        return m_reader.storedRowCount();
    }

    void readTable(const schema::Table &t)
    {
        m_reader.openTable(t.name);
        if (m_sink)
            m_sink->beginTable(t);
        const bool company = t.name == schema::Company;
        const int n = int(t.columns.size());
        auto cells = std::vector<Cell>(size_t(n));
        KeySet keys;
        qint64 rows = 0;
        for (;;) {
            const AccessReader::Row r = m_reader.next();
            if (r == AccessReader::Row::End)
                break;
            if (r == AccessReader::Row::Damaged)
                throw Stop{failure(Problem::Damaged, t.name)};
            ++rows;
            // The company row has no key of its own: the first row read stays the first.
            const qint64 key = company ? rows : readKey(t);
            if (!keys.insert(key)) {
                Failure f = failure(Problem::DuplicateKey, t.name);
                f.key = key;
                throw Stop{f};
            }
            cells[0] = Cell{Cell::Kind::Integer, key, 0, {}};
            for (int c = 1; c < n; ++c)
                cells[size_t(c)] = convert(t, c, key);
            noteOdd(t, key, cells);
            if (m_sink)
                m_sink->row(cells);
            if (++m_done % ProgressEvery == 0)
                reportProgress();
        }
        if (company && rows == 0)
            odd(Oddity::NoCompanyRow, t.name, std::nullopt, {});
        if (t.name == schema::Operators && rows == 0)
            odd(Oddity::NoOperator, t.name, std::nullopt, {});
        m_report.tables.append({t.name, rows, -1});
        reportProgress();
    }

    qint64 readKey(const schema::Table &t)
    {
        if (m_reader.isNull(0))
            throw Stop{doesNotFit(t, 0, std::nullopt, u"（空）"_s)};
        return m_reader.integer(0);
    }

    Failure doesNotFit(const schema::Table &t, int c, std::optional<qint64> key, const QString &value) const
    {
        Failure f = failure(Problem::ValueDoesNotFit, t.name, value);
        f.column = m_reader.columns()[size_t(c)].name;
        f.position = c;
        f.key = key;
        return f;
    }

    Cell convert(const schema::Table &t, int c, qint64 key)
    {
        if (m_reader.isNull(c))
            return {};
        const AT type = m_reader.columns()[size_t(c)].type;
        switch (t.columns[c].type) {
        case CT::Key:
        case CT::Int16: {
            const qint64 v = m_reader.integer(c);
            if (v < -32768 || v > 32767)
                throw Stop{doesNotFit(t, c, key, QString::number(v))};
            addToSum(t, c, v * 100);
            return {Cell::Kind::Integer, v, 0, {}};
        }
        case CT::Number: {
            const std::optional<Money> m = money(m_reader, c, type);
            if (!m)
                throw Stop{doesNotFit(t, c, key, valueText(c, type))};
            addToSum(t, c, m->cents);
            return {Cell::Kind::Real, 0, m->value, {}};
        }
        case CT::DateTime: {
            const std::optional<QString> text = dateTimeText(m_reader.real(c));
            if (!text)
                throw Stop{doesNotFit(t, c, key, QString::number(m_reader.real(c), 'g', 17))};
            return {Cell::Kind::Text, 0, 0, *text};
        }
        case CT::Text: {
            Cell cell{Cell::Kind::Text, 0, 0, {}};
            if (!m_reader.text(c, &cell.text))
                throw Stop{failure(Problem::Damaged, t.name, m_reader.columns()[size_t(c)].name)};
            return cell;
        }
        }
        return {};
    }

    QString valueText(int c, AT type) const
    {
        switch (type) {
        case AT::Currency:
            return QString::number(double(m_reader.currency(c)) / 10000.0, 'f', 4);
        case AT::Decimal: {
            qint64 m = 0;
            int scale = 0;
            return m_reader.decimal(c, &m, &scale) ? QString::number(m) + u"e-"_s + QString::number(scale)
                                                   : u"（超过 18 位的小数）"_s;
        }
        default:
            return QString::number(m_reader.real(c), 'g', 17);
        }
    }

    void addToSum(const schema::Table &t, int c, qint64 cents)
    {
        for (MoneySum &s : m_report.sums) {
            if (s.table == t.name && s.column == t.columns[c].name)
                addCents(s.readCents, cents);
        }
    }

    void noteOdd(const schema::Table &t, qint64 key, const std::vector<Cell> &cells)
    {
        const auto text = [&cells](int c) { return cells[size_t(c)].text; };
        if (t.name == schema::Floors) {
            if (!text(1).isNull())
                m_facts.floors.insert(text(1));
        } else if (t.name == schema::Rooms) {
            m_facts.rooms.insert(key);
            if (!text(1).isEmpty()) {
                const auto first = m_facts.roomNumbers.constFind(text(1));
                if (first != m_facts.roomNumbers.constEnd())
                    odd(Oddity::DuplicateRoomNumber, t.name, key, text(1) + u"/"_s + QString::number(*first));
                else
                    m_facts.roomNumbers.insert(text(1), key);
            }
            if (!text(4).isEmpty() && !m_facts.floors.contains(text(4)))
                odd(Oddity::RoomWithoutFloor, t.name, key, text(4));
        } else if (t.name == schema::Company) {
            if (key > 1)
                odd(Oddity::SecondCompanyRow, t.name, key, text(1));
        } else if (t.name == schema::Stays || t.name == schema::Reservations ||
                   t.name == schema::CompletedStays) {
            const Cell &room = cells[8];
            if (room.kind == Cell::Kind::Integer && !m_facts.rooms.contains(room.integer)) {
                const Oddity kind = t.name == schema::Stays          ? Oddity::StayWithoutRoom
                                    : t.name == schema::Reservations ? Oddity::ReservationWithoutRoom
                                                                     : Oddity::CompletedStayWithoutRoom;
                odd(kind, t.name, key, QString::number(room.integer));
            }
        }
    }

    void odd(Oddity kind, const QString &table, std::optional<qint64> key, const QString &detail)
    {
        if (m_report.oddTotals[int(kind)]++ < MaxOddRowsListed)
            m_report.odd.append({kind, table, key, detail});
    }

    void reportProgress()
    {
        if (m_progress && m_progress(m_done, std::max(m_total, m_done)) == Step::Cancel)
            throw Stop{failure(Problem::Cancelled, {})};
    }

    static QString typeName(AT type)
    {
        switch (type) {
        case AT::Byte:
            return u"数字（字节）"_s;
        case AT::Integer:
            return u"数字（整型）"_s;
        case AT::Long:
            return u"数字（长整型）"_s;
        case AT::Currency:
            return u"货币"_s;
        case AT::Single:
            return u"数字（单精度型）"_s;
        case AT::Double:
            return u"数字（双精度型）"_s;
        case AT::DateTime:
            return u"日期/时间"_s;
        case AT::Text:
            return u"文本"_s;
        case AT::Memo:
            return u"备注"_s;
        case AT::Decimal:
            return u"数字（小数）"_s;
        case AT::Other:
            break;
        }
        return u"其他"_s;
    }

    AccessReader &m_reader;
    Report &m_report;
    RowSink *m_sink;
    const Progress &m_progress;
    Facts m_facts;
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace

const QList<SumColumn> &sumColumns()
{
    static const QList<SumColumn> columns = {
        {schema::Rooms, u"标准价格"_s, false},         {schema::Stays, u"预付款"_s, true},
        {schema::Reservations, u"预付款"_s, true},     {schema::CompletedStays, u"预付款"_s, true},
        {schema::CompletedStays, u"实际金额"_s, true}, {schema::Takings, u"交款金额"_s, false},
        {schema::Disbursements, u"拔款金额"_s, false},
    };
    return columns;
}

void addCents(qint64 &sum, qint64 cents)
{
    if (__builtin_add_overflow(sum, cents, &sum))
        sum = cents < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

qint64 centsOf(double value)
{
    // Past this the cents no longer fit; no amount the import writes comes near.
    if (!(std::fabs(value) < 9e16))
        return value < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    // Shortest fixed text that reads back as the same double, then rounded in decimal.
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    if (ec != std::errc())
        return 0;
    qint64 cents = 0;
    int fraction = -1; // digits after the point so far
    for (const char *p = buf; p != end; ++p) {
        if (*p == '.') {
            fraction = 0;
            continue;
        }
        if (fraction == 2) {
            cents += *p >= '5' ? 1 : 0;
            break;
        }
        cents = cents * 10 + (*p - '0');
        if (fraction >= 0)
            ++fraction;
    }
    for (fraction = std::max(fraction, 0); fraction < 2; ++fraction)
        cents *= 10;
    return value < 0 ? -cents : cents;
}

std::optional<QString> dateTimeText(double days)
{
    // 0100-01-01 and 9999-12-31, as days from 1899-12-30.
    if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0)
        return std::nullopt;
    // Before the zero the day counts down while the time of day still counts up.
    qint64 day = qint64(std::trunc(days));
    qint64 seconds = std::llround(std::fabs(days - double(day)) * 86400.0);
    if (seconds == 86400) {
        seconds = 0;
        ++day;
    }
    const QDate date = QDate(1899, 12, 30).addDays(day);
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    // Written digit by digit: a big house has a million of them, and QDate::toString is slow.
    char16_t text[19] = {};
    const auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char16_t(u'0' + value % 10);
    };
    put(0, y, 4);
    text[4] = text[7] = u'-';
    put(5, m, 2);
    put(8, d, 2);
    text[10] = u' ';
    put(11, int(seconds / 3600), 2);
    text[13] = text[16] = u':';
    put(14, int(seconds / 60 % 60), 2);
    put(17, int(seconds % 60), 2);
    return QString(reinterpret_cast<const QChar *>(text), 19);
}

void readHouse(AccessReader &reader, Report &report, RowSink *sink, const Progress &progress)
{
    HouseRead(reader, report, sink, progress).run();
}

} // namespace accesshouse::detail
