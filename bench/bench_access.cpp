// The old desk program's Access house brought across into a house file, against libmdb reading
// every row of the same nine tables as mdb-export does (every column bound as text).
#include "access_source.h"
#include "bench_harness.h"

#include "data/access_house.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

void BM_AccessImport(benchmark::State &state)
{
    Samples s;
    try {
        const QString source = accessbench::house(g.dataRoot, g.quick);
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
        const QString source = accessbench::house(g.dataRoot, g.quick);
        for (auto _ : state) {
            s.start();
            const qint64 rows = accessbench::bareRead(source);
            s.stop();
            benchmark::DoNotOptimize(rows);
        }
    } catch (const std::exception &e) {
        failBenchmark(state, e.what());
    }
    record("bare.access.read", s.median(), u"libmdb, nine tables bound as text"_s);
    state.counters["median_ms"] = s.median();
}
