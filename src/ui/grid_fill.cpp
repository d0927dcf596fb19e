#include "ui/grid_fill.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "ui/flex_grid.h"

#include <QCoreApplication>
#include <cstring>
#include <sqlite3.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace grid {

void reset(FlexGrid *grid, const QString &header, int rowHeightTwips)
{
    grid->setRows(1);
    grid->setFormatString(header);
    if (rowHeightTwips != KeepRowHeight)
        grid->setRowHeightMin(rowHeightTwips);
}

namespace {

// Binds as Qt's SQLite driver does; false for kinds it would turn into text of its own.
bool bindLikeTheDriver(sqlite3_stmt *stmt, const QVariantList &params)
{
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        const int at = i + 1;
        int rc = SQLITE_OK;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(stmt, at);
            break;
        case QMetaType::QString: {
            const QString *text = static_cast<const QString *>(v.constData());
            rc = text->isNull() ? sqlite3_bind_null(stmt, at)
                                : sqlite3_bind_text16(stmt, at, text->utf16(),
                                                      int(text->size() * sizeof(QChar)), SQLITE_STATIC);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray *bytes = static_cast<const QByteArray *>(v.constData());
            rc = bytes->isNull()
                     ? sqlite3_bind_null(stmt, at)
                     : sqlite3_bind_blob(stmt, at, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
            break;
        }
        case QMetaType::Int:
        case QMetaType::Bool:
            rc = sqlite3_bind_int(stmt, at, v.toInt());
            break;
        case QMetaType::UInt:
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(stmt, at, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt, at, v.toDouble());
            break;
        default:
            return false;
        }
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

// One grid row of UTF-8 cells, built without a reallocation per cell.
class RowBuffer
{
public:
    char *room(std::size_t n)
    {
        if (m_size + n > m_data.size())
            m_data.resize(std::max(m_data.size() * 2, m_size + n));
        return m_data.data() + m_size;
    }
    void grow(std::size_t n) { m_size += n; }
    void append(const char *p, std::size_t n)
    {
        if (n)
            std::memcpy(room(n), p, n);
        m_size += n;
    }
    void clear() { m_size = 0; }
    std::size_t size() const { return m_size; }
    const char *data() const { return m_data.data(); }

private:
    std::vector<char> m_data = std::vector<char>(1024);
    std::size_t m_size = 0;
};

// QString::number's text of an integer.
std::size_t integerText(qint64 v, char *out)
{
    char digits[24];
    int n = 0;
    quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
    do {
        digits[n++] = char('0' + u % 10);
        u /= 10;
    } while (u);
    std::size_t k = 0;
    if (v < 0)
        out[k++] = '-';
    while (n)
        out[k++] = digits[--n];
    return k;
}

// The list fill without a QVariant or QString per cell: rows go from the store's text straight
// into the grid's UTF-8 cells, converted the way Recordset::readTexts converts them. Returns
// false, having run nothing, where the select needs the general path (which then reports any
// error in the driver's words).
bool fillDirect(FlexGridModel *model, int gridCols, Connection &connection, const QString &select,
                const QVariantList &params)
{
    sqlite3 *db = connection.nativeHandle();
    if (!db)
        return false;
    const QString sql = toStoreDialect(select);
    sqlite3_stmt *raw = nullptr;
    const void *tail = nullptr;
    if (sqlite3_prepare16_v2(db, sql.utf16(), int(sql.size() * sizeof(QChar)), &raw, &tail) != SQLITE_OK ||
        !raw) {
        sqlite3_finalize(raw);
        return false;
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> stmt(raw, sqlite3_finalize);
    const qsizetype used =
        (static_cast<const char16_t *>(tail) - reinterpret_cast<const char16_t *>(sql.utf16()));
    if (!QStringView(sql).mid(used).trimmed().isEmpty() ||
        sqlite3_bind_parameter_count(raw) != params.size() || !bindLikeTheDriver(raw, params))
        return false;

    const schema::Table *table = Recordset::tableFor(select);
    const int storeCols = sqlite3_column_count(raw);
    const int fields = table ? int(table->columns.size()) : storeCols;
    const int cols = std::max(std::min(gridCols, fields), 0);
    std::vector<bool> dateColumn(std::size_t(cols), false);
    for (int c = 0; table && c < cols; ++c)
        dateColumn[std::size_t(c)] = table->columns.at(c).type == schema::ColumnType::DateTime;

    connection.countStatement();
    int rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw Connection::storeError(rc,
                                     QString::fromUtf8(sqlite3_errmsg(db)) + u" "_s +
                                         QCoreApplication::translate("QSQLiteResult", "Unable to fetch row"));

    RowBuffer row;
    const std::size_t dateRoom = std::size_t(std::max<qsizetype>(conv::storageTextUtf8Room(), 0));
    std::vector<quint32> lengths(static_cast<std::size_t>(cols));
    struct FillScope {
        FlexGridModel *m;
        ~FillScope() { m->endFill(); }
    } scope{model};
    model->beginFill();
    // A read that fails after the first row ends the list there, as moveNext() would.
    for (; rc == SQLITE_ROW; rc = sqlite3_step(raw)) {
        row.clear();
        for (int c = 0; c < cols; ++c) {
            const std::size_t before = row.size();
            // One call into the statement per cell; the value is read on this thread only.
            sqlite3_value *v = c < storeCols ? sqlite3_column_value(raw, c) : nullptr;
            switch (v ? sqlite3_value_type(v) : SQLITE_NULL) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                row.grow(integerText(sqlite3_value_int64(v), row.room(24)));
                break;
            case SQLITE_FLOAT: {
                const QByteArray text = conv::numberToText(sqlite3_value_double(v)).toUtf8();
                row.append(text.constData(), std::size_t(text.size()));
                break;
            }
            case SQLITE_TEXT: {
                const char *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
                const std::size_t bytes = std::size_t(sqlite3_value_bytes(v));
                if (!dateColumn[std::size_t(c)]) {
                    row.append(text, bytes);
                    break;
                }
                const qsizetype n = conv::storageTextUtf8(text, qsizetype(bytes), row.room(dateRoom));
                if (n >= 0) {
                    row.grow(std::size_t(n));
                } else {
                    const QByteArray shown =
                        conv::storageToText(QString::fromUtf8(text, qsizetype(bytes))).toUtf8();
                    row.append(shown.constData(), std::size_t(shown.size()));
                }
                break;
            }
            default: { // a blob reads as its bytes taken for UTF-8, as QVariant::toString() does
                const char *data = static_cast<const char *>(sqlite3_value_blob(v));
                row.append(data, std::size_t(sqlite3_value_bytes(v)));
                break;
            }
            }
            lengths[std::size_t(c)] = quint32(row.size() - before);
        }
        model->appendRowUtf8(row.data(), lengths.data(), cols);
    }
    return true;
}

} // namespace

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, Connection &connection,
          const QString &select, const QVariantList &params)
{
    reset(grid, header, rowHeightTwips);
    if (fillDirect(grid->flexModel(), grid->Cols(), connection, select, params))
        return;
    Recordset records(connection);
    records.open(select, params);
    const int cols = std::min(grid->Cols(), records.fieldCount());
    std::vector<QString> cells(std::size_t(std::max(cols, 0)));
    FlexGridModel *model = grid->flexModel();
    // One model reset for the whole fill; rows already read stay if a later read fails.
    struct FillScope {
        FlexGridModel *m;
        ~FillScope() { m->endFill(); }
    } scope{model};
    model->beginFill();
    while (!records.eof()) {
        records.readTexts(cells.data(), cols);
        model->appendRow(cells.data(), cols);
        records.moveNext();
    }
}

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, const QString &select,
          const QVariantList &params)
{
    // The header stays set even when the file cannot be opened.
    reset(grid, header, rowHeightTwips);
    Connection connection;
    connection.open();
    fill(grid, header, rowHeightTwips, connection, select, params);
}

void appendRecord(FlexGrid *grid, const Recordset &records)
{
    const int cols = std::min(grid->Cols(), records.fieldCount());
    std::vector<QString> cells(std::size_t(std::max(cols, 0)));
    records.readTexts(cells.data(), cols);
    grid->flexModel()->appendRow(cells.data(), cols);
}

QString roomHeader()
{
    return u"序号|^房间号        |^房间名称        |^房间类型    |^    所属楼层|^标准价格|^会员价格|^房间状态   "_s;
}

QString stayHeader()
{
    return u"序号|^旅客姓名      |^旅客单位                   |^证件名称  |^证件号码             |^入住时间            |^计划入住天数|^入住人数|^房间ID|^预付款|^备注信息              "_s;
}

QString completedStayHeader()
{
    return u"序号|^旅客姓名|旅客单位                                     |证件名称          |^证件号码                  |^入住时间|^计划入住天数|^入住人数|^房间ID|^预付款|^退房时间|^实际入住天数|^实际金额|^应收款|^应退款|备注信息            "_s;
}

} // namespace grid
