#include "data/access_reader.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <limits>
#include <mdbtools.h>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

// Row offsets carry two flags: 0x4000 marks a deleted row or an overflow pointer, whose data
// lives in another row that carries 0x8000 and is read where it lies (as libmdb reads them).
constexpr int SkippedRowFlag = 0x4000;
constexpr int OffsetMask = 0x1fff;
constexpr int MemoHeader = 12;
// No remark of a hotel runs to more; a longer chain of memo pages is a damaged one.
constexpr qint64 MaxMemoBytes = 16 << 20;

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

AccessReader::Type typeOf(const MdbColumn *col)
{
    using T = AccessReader::Type;
    switch (col->col_type) {
    case MDB_BYTE:
        return T::Byte;
    case MDB_INT:
        return T::Integer;
    case MDB_LONGINT:
        return T::Long;
    case MDB_MONEY:
        return T::Currency;
    case MDB_FLOAT:
        return T::Single;
    case MDB_DOUBLE:
        return T::Double;
    case MDB_DATETIME:
        return T::DateTime;
    case MDB_TEXT:
        return T::Text;
    case MDB_MEMO:
        return T::Memo;
    case MDB_NUMERIC:
        return T::Decimal;
    default:
        return T::Other;
    }
}

// Bytes a fixed value of the type takes; 0 for variable ones.
int fixedSize(AccessReader::Type type)
{
    using T = AccessReader::Type;
    switch (type) {
    case T::Byte:
        return 1;
    case T::Integer:
        return 2;
    case T::Long:
    case T::Single:
        return 4;
    case T::Currency:
    case T::Double:
    case T::DateTime:
        return 8;
    case T::Decimal:
        return 17;
    default:
        return 0;
    }
}

// Jet 4 text: UCS-2, or after FF FE single bytes, a zero byte switching between the two.
QString decodeJet4(const unsigned char *p, qsizetype n)
{
    QString out;
    if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        out.reserve(n);
        bool compressed = true;
        for (qsizetype i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.append(QChar(char16_t(p[i++])));
            } else if (i + 1 < n) {
                out.append(QChar(char16_t(p[i] | p[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        return out;
    }
    out.resize(n / 2);
    for (qsizetype i = 0; i < n / 2; ++i)
        out[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
    return out;
}

} // namespace

struct AccessReader::Private {
    QByteArray bytes;
    MdbHandle *mdb = nullptr;
    qint64 pageCount = 0;
    int version = -1;
    QStringList tables;
    QList<QPair<QString, unsigned long>> definitions; // table name, definition page

    MdbCatalogEntry entry{};
    MdbTableDef *table = nullptr;
    std::vector<Column> columns;
    std::vector<MdbField> fields;
    int rowsOnPage = 0;
    int nextRow = 0;
    bool onPage = false;

    ~Private()
    {
        closeTable();
        if (mdb)
            mdb_close(mdb);
    }

    void closeTable()
    {
        mdb_free_tabledef(table);
        table = nullptr;
        columns.clear();
        fields.clear();
    }

    Opened checkHeader(const QByteArray &head, qint64 size);
    Opened readCatalog();
    TableOpened openAt(const QString &name, unsigned long page);
    Row nextDataPage();
    Row next();
    bool isNull(int c) const { return fields[size_t(c)].is_null; }
    qint64 integer(int c) const;
    bool text(int c, QString *out) const;
    QString decode(const unsigned char *p, qsizetype n) const;
    bool memo(const MdbField &f, QByteArray *out) const;
    const unsigned char *at(int c) const
    {
        return static_cast<const unsigned char *>(fields[size_t(c)].value);
    }
};

AccessReader::AccessReader() : d(std::make_unique<Private>()) {}

AccessReader::~AccessReader() = default;

AccessReader::Opened AccessReader::Private::checkHeader(const QByteArray &head, qint64 size)
{
    static const char jet[] = "\x00\x01\x00\x00Standard Jet DB";
    static const char ace[] = "\x00\x01\x00\x00Standard ACE DB";
    if (head.size() < 0x80 || (std::memcmp(head.constData(), jet, sizeof jet) != 0 &&
                               std::memcmp(head.constData(), ace, sizeof ace) != 0))
        return Opened::NotAccess;
    version = static_cast<unsigned char>(head.at(0x14));
    if (version > MDB_VER_ACCDB_2019)
        return Opened::Unsupported;
    const int pageSize = version == MDB_VER_JET3 ? 2048 : 4096;
    // Access writes whole pages: anything else was cut short.
    if (size % pageSize != 0 || size < 3 * pageSize)
        return Opened::Damaged;
    pageCount = size / pageSize;
    return Opened::Ok;
}

AccessReader::Opened AccessReader::open(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Opened::NotAccess;
    const Opened header = d->checkHeader(file.read(0x80), file.size());
    file.close();
    if (header != Opened::Ok)
        return header;
    d->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    return d->mdb ? d->readCatalog() : Opened::Damaged;
}

AccessReader::Opened AccessReader::openBytes(const QByteArray &bytes)
{
    d->bytes = bytes;
    const Opened header = d->checkHeader(bytes.left(0x80), bytes.size());
    if (header != Opened::Ok)
        return header;
    d->mdb = mdb_open_buffer(d->bytes.data(), size_t(d->bytes.size()), MDB_NOFLAGS);
    return d->mdb ? d->readCatalog() : Opened::Damaged;
}

// The catalog read from MSysObjects with this reader's own checks, not libmdb's, which also
// parses every object's properties.
AccessReader::Opened AccessReader::Private::readCatalog()
{
    // Pages that cannot be read: under a key the reader does not know, in an Access 2007 file
    // encrypted or laid out past what libmdb knows, or damaged.
    const Opened unreadable = mdb->f->db_key != 0             ? Opened::Encrypted
                              : version >= MDB_VER_ACCDB_2007 ? Opened::Unsupported
                                                              : Opened::Damaged;
    if (openAt(u"MSysObjects"_s, 2) != TableOpened::Ok)
        return unreadable;
    const auto find = [this](const QString &name, Type type) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].name == name && columns[i].type == type)
                return int(i);
        }
        return -1;
    };
    const int id = find(u"Id"_s, Type::Long), name = find(u"Name"_s, Type::Text);
    const int type = find(u"Type"_s, Type::Integer), flags = find(u"Flags"_s, Type::Long);
    if (id < 0 || name < 0 || type < 0 || flags < 0)
        return unreadable;
    for (Row r = next(); r != Row::End; r = next()) {
        QString text;
        if (r == Row::Damaged || !this->text(name, &text))
            return unreadable;
        if (isNull(id) || isNull(type))
            continue;
        // A user table: not a system one (flag bits 0x80000002), as libmdb tells them.
        const bool userTable = (integer(type) & 0x7f) == MDB_TABLE &&
                               (isNull(flags) || (quint32(integer(flags)) & 0x80000002u) == 0);
        if (userTable) {
            tables.append(text);
            definitions.append({text, (unsigned long)(integer(id) & 0x00ffffff)});
        }
    }
    closeTable();
    return Opened::Ok;
}

AccessReader::TableOpened AccessReader::Private::openAt(const QString &name, unsigned long page)
{
    closeTable();
    entry = MdbCatalogEntry{};
    entry.mdb = mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = page;
    const QByteArray utf8 = name.toUtf8().left(MDB_MAX_OBJ_NAME);
    std::memcpy(entry.object_name, utf8.constData(), size_t(utf8.size()));
    if (page >= quint64(pageCount))
        return TableOpened::Damaged;
    table = mdb_read_table(&entry);
    if (!table)
        return TableOpened::Damaged;
    if (!mdb_read_columns(table) || table->num_cols > MDB_MAX_COLS) {
        closeTable();
        return TableOpened::Damaged;
    }
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto *col = static_cast<const MdbColumn *>(g_ptr_array_index(table->columns, i));
        Column c{QString::fromUtf8(col->name), typeOf(col), 0};
        // libmdb calls the scale's byte the precision.
        if (c.type == Type::Decimal)
            c.scale = col->col_prec;
        if (fixedSize(c.type) && col->col_size < fixedSize(c.type) && col->is_fixed) {
            closeTable();
            return TableOpened::Damaged;
        }
        columns.push_back(c);
    }
    fields.resize(table->num_cols);
    mdb_rewind_table(table);
    onPage = false;
    return TableOpened::Ok;
}

AccessReader::Row AccessReader::Private::nextDataPage()
{
    // As libmdb's own scan, with every page it names checked against the file's end.
    for (;;) {
        const gint32 page =
            mdb_map_find_next(mdb, table->usage_map, unsigned(table->map_sz), table->cur_phys_pg);
        if (page == 0)
            return Row::End;
        if (page < 0 || quint32(page) <= table->cur_phys_pg || page >= pageCount ||
            mdb_read_pg(mdb, (unsigned long)page) != mdb->fmt->pg_size)
            return Row::Damaged;
        table->cur_phys_pg = quint32(page);
        if (mdb->pg_buf[0] == MDB_PAGE_DATA &&
            (unsigned long)mdb_get_int32(mdb->pg_buf, 4) == entry.table_pg) {
            rowsOnPage = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
            nextRow = 0;
            return Row::Ok;
        }
    }
}

AccessReader::Row AccessReader::Private::next()
{
    for (;;) {
        if (!onPage) {
            const Row r = nextDataPage();
            if (r != Row::Ok)
                return r;
            onPage = true;
        }
        if (nextRow >= rowsOnPage) {
            onPage = false;
            continue;
        }
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, nextRow++, &start, &size) != 0 || size == 0 || (start & SkippedRowFlag))
            continue;
        start &= OffsetMask;
        if (mdb_crack_row(table, start, size, fields.data()) < 0)
            return Row::Damaged;
        // libmdb checks where a value ends, not where it starts or that it has a length.
        for (size_t i = 0; i < fields.size(); ++i) {
            const MdbField &f = fields[i];
            if (f.is_null)
                continue;
            const int need = fixedSize(columns[i].type);
            if (f.siz < need || f.siz < 0 || f.start < start ||
                qint64(f.start) + f.siz > qint64(start) + qint64(size))
                return Row::Damaged;
        }
        return Row::Ok;
    }
}

qint64 AccessReader::Private::integer(int c) const
{
    const unsigned char *p = at(c);
    switch (columns[size_t(c)].type) {
    case Type::Byte:
        return p[0];
    case Type::Integer:
        return qint16(quint16(p[0] | p[1] << 8));
    default:
        return qint32(le32(p));
    }
}

QString AccessReader::Private::decode(const unsigned char *p, qsizetype n) const
{
    if (version != MDB_VER_JET3)
        return decodeJet4(p, n);
    // Jet 3 keeps text in the file's code page (936 for Chinese); libmdb's iconv knows them.
    std::string out(size_t(n) * 4 + 16, '\0');
    const int length =
        mdb_unicode2ascii(mdb, reinterpret_cast<const char *>(p), size_t(n), out.data(), out.size());
    return QString::fromUtf8(out.data(), length);
}

// A memo's bytes: in the row, on one other page, or on a chain of pages.
bool AccessReader::Private::memo(const MdbField &f, QByteArray *out) const
{
    out->clear();
    if (f.siz < MemoHeader)
        return true;
    const unsigned char *p = static_cast<const unsigned char *>(f.value);
    const quint32 header = le32(p);
    const qint64 length = header & 0x3fffffff;
    if (header & 0x80000000u) {
        out->append(reinterpret_cast<const char *>(p + MemoHeader), f.siz - MemoHeader);
        return true;
    }
    qint32 pageRow = qint32(le32(p + 4));
    void *buf = nullptr;
    int offset = 0;
    size_t size = 0;
    if (header & 0x40000000u) {
        if (mdb_find_pg_row(mdb, pageRow, &buf, &offset, &size) != 0)
            return false;
        out->append(static_cast<const char *>(buf) + offset,
                    qsizetype(std::min<qint64>(qint64(size), length)));
        return true;
    }
    if ((header & 0xff000000u) != 0 || length > MaxMemoBytes)
        return false;
    while (pageRow != 0) {
        if (mdb_find_pg_row(mdb, pageRow, &buf, &offset, &size) != 0 || size < 4 ||
            out->size() + qint64(size) - 4 > length)
            return false;
        const char *row = static_cast<const char *>(buf) + offset;
        out->append(row + 4, qsizetype(size) - 4);
        pageRow = qint32(le32(reinterpret_cast<const unsigned char *>(row)));
    }
    return out->size() == length;
}

bool AccessReader::Private::text(int c, QString *out) const
{
    const MdbField &f = fields[size_t(c)];
    if (f.is_null) {
        *out = QString();
        return true;
    }
    if (columns[size_t(c)].type != Type::Memo) {
        *out = decode(at(c), f.siz);
        // Empty, not NULL: a value of no characters.
        if (out->isNull())
            *out = u""_s;
        return true;
    }
    QByteArray bytes;
    if (!memo(f, &bytes))
        return false;
    *out = decode(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size());
    if (out->isNull())
        *out = u""_s;
    return true;
}

QString AccessReader::formatName() const
{
    switch (d->version) {
    case MDB_VER_JET3:
        return u"Access 97（Jet 3）"_s;
    case MDB_VER_JET4:
        return u"Access 2000–2003（Jet 4）"_s;
    case MDB_VER_ACCDB_2007:
        return u"Access 2007（.accdb）"_s;
    case MDB_VER_ACCDB_2010:
        return u"Access 2010（.accdb）"_s;
    case MDB_VER_ACCDB_2013:
    case MDB_VER_ACCDB_2016:
    case MDB_VER_ACCDB_2019:
        return u"Access 2013 或更新（.accdb）"_s;
    default:
        return {};
    }
}

const QStringList &AccessReader::tables() const
{
    return d->tables;
}

AccessReader::TableOpened AccessReader::openTable(const QString &name)
{
    for (const auto &[table, page] : std::as_const(d->definitions)) {
        if (table == name)
            return d->openAt(name, page);
    }
    d->closeTable();
    return TableOpened::Missing;
}

const std::vector<AccessReader::Column> &AccessReader::columns() const
{
    return d->columns;
}

qint64 AccessReader::storedRowCount() const
{
    return d->table ? qint64(d->table->num_rows) : 0;
}

AccessReader::Row AccessReader::next()
{
    return d->table ? d->next() : Row::End;
}

bool AccessReader::isNull(int c) const
{
    return d->isNull(c);
}

qint64 AccessReader::integer(int c) const
{
    return d->integer(c);
}

qint64 AccessReader::currency(int c) const
{
    const unsigned char *p = d->at(c);
    return qint64(quint64(le32(p)) | quint64(le32(p + 4)) << 32);
}

double AccessReader::real(int c) const
{
    const unsigned char *p = d->at(c);
    if (d->columns[size_t(c)].type == Type::Single) {
        float f;
        std::memcpy(&f, p, sizeof f);
        return double(f);
    }
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool AccessReader::decimal(int c, qint64 *mantissa, int *scale) const
{
    // A sign byte, then four 32-bit words, the most significant first, each little-endian.
    const unsigned char *p = d->at(c);
    if (le32(p + 1) != 0 || le32(p + 5) != 0)
        return false;
    const quint64 m = quint64(le32(p + 9)) << 32 | le32(p + 13);
    if (m > quint64(std::numeric_limits<qint64>::max()))
        return false;
    *mantissa = (p[0] & 0x80) ? -qint64(m) : qint64(m);
    *scale = d->columns[size_t(c)].scale;
    return true;
}

bool AccessReader::text(int c, QString *out) const
{
    return d->text(c, out);
}
