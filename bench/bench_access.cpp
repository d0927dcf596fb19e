// The old desk program's Access house brought across into a house file, against libmdb reading
// every row of the same nine tables as mdb-export does (every column bound as text).
#include "bench_harness.h"

#include "data/access_house.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <mdbtools.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// stays-250k.mdb unpacked once under the data folder; the test houses' plain.mdb when quick.
QString accessHouse()
{
    if (g.quick)
        return QStringLiteral(QUILLON_SOURCE_DIR "/tests/data/access/plain.mdb");
    const QString unpacked = g.dataRoot + u"/access/stays-250k.mdb"_s;
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

} // namespace

void BM_AccessImport(benchmark::State &state)
{
    Samples s;
    try {
        const QString source = accessHouse();
        const QString target = g.workDir + u"/access-import.mdb"_s;
        for (auto _ : state) {
            QFile::remove(target);
            s.start();
            const accesshouse::Report r = accesshouse::importToFile(source, target, {});
            s.stop();
            if (!r.ok())
                throw std::runtime_error(accesshouse::problemText(r.failure).toStdString());
        }
        QFile::remove(target);
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("access.import", s.median(), u"accesshouse::importToFile, copy and proof included"_s);
    state.counters["median_ms"] = s.median();
}

void BM_BareAccessRead(benchmark::State &state)
{
    Samples s;
    try {
        const QByteArray source = QFile::encodeName(accessHouse());
        for (auto _ : state) {
            s.start();
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
            s.stop();
            benchmark::DoNotOptimize(rows);
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("bare.access.read", s.median(), u"libmdb, nine tables bound as text"_s);
    state.counters["median_ms"] = s.median();
}
