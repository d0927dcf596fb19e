#include "access_source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <mdbtools.h>
#include <stdexcept>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace accessbench {

QString house(const QString &dataRoot, bool quick)
{
    if (quick)
        return QStringLiteral(QUILLON_SOURCE_DIR "/tests/data/access/plain.mdb");
    const QString unpacked = dataRoot + u"/access/stays-250k.mdb"_s;
    if (QFileInfo(unpacked).size() > 0)
        return unpacked;
    QDir().mkpath(QFileInfo(unpacked).path());
    QProcess xz;
    xz.setStandardOutputFile(unpacked + u".part"_s);
    xz.start(u"xz"_s, {u"-dc"_s, QStringLiteral(QUILLON_ACCESS_BENCH_XZ)});
    if (!xz.waitForFinished(-1) || xz.exitCode() != 0 || !QFile::rename(unpacked + u".part"_s, unpacked))
        throw std::runtime_error("cannot unpack " + std::string(QUILLON_ACCESS_BENCH_XZ));
    return unpacked;
}

qint64 bareRead(const QString &path)
{
    const QByteArray source = QFile::encodeName(path);
    MdbHandle *mdb = mdb_open(source.constData(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE))
        throw std::runtime_error("libmdb cannot open " + source.toStdString());
    qint64 rows = 0;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (!mdb_is_user_table(entry))
            continue;
        MdbTableDef *t = mdb_read_table(entry);
        mdb_read_columns(t);
        std::vector<std::vector<char>> bound(t->num_cols, std::vector<char>(MDB_BIND_SIZE));
        for (unsigned c = 0; c < t->num_cols; ++c)
            mdb_bind_column(t, int(c) + 1, bound[c].data(), nullptr);
        mdb_rewind_table(t);
        while (mdb_fetch_row(t))
            ++rows;
        mdb_free_tabledef(t);
    }
    mdb_close(mdb);
    return rows;
}

} // namespace accessbench
