// What opening a legacy Jet file costs against opening the same rows converted.
//
//   build/bin/tolvane_legacy_bench
//
// The file is the corpus's Northwind (Access 97, 3 MB, 9 tables, 4,900 rows). A legacy file
// is read whole by the helper process and copied into memory on every open; the baseline is
// opening the converted file and its table recordset. Queries: the dictionary window's
// prefix query on the in-memory copy against the converted file.

#include "data/DataOperations.h"
#include "engine/OpenDatabase.h"
#include "engine/legacy/JetDatabase.h"
#include "engine/legacy/JetLoader.h"
#include "import/JetImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tolvane;

namespace {

QString nwindPath() {
    QString shared = qEnvironmentVariable("TOLVANE_SHARED_DIR");
    if (shared.isEmpty())
        shared = QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared");
    return QDir(shared).filePath(QStringLiteral("corpus/mdb/jet3__nwind.mdb"));
}

data::DictionaryConfig customers() {
    data::DictionaryConfig c;
    c.table = QStringLiteral("Customers");
    c.headwordColumn = QStringLiteral("CompanyName");
    c.definitionColumn = QStringLiteral("Address");
    return c;
}

struct Fixture {
    QTemporaryDir dir;
    QString legacy = nwindPath();
    QString converted;
    Fixture() {
        converted = dir.filePath(QStringLiteral("nwind.db"));
        import::JetImportRequest request;
        request.input = legacy;
        request.output = converted;
        import::importJet(request);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OpenConverted(benchmark::State& state) {
    const QString path = fixture().converted;
    for (auto _ : state) {
        auto db = engine::openDatabaseFile(path);
        benchmark::DoNotOptimize(data::openTable(customers(), db)->RecordCount());
    }
}
BENCHMARK(BM_OpenConverted)->Unit(benchmark::kMillisecond);

void BM_OpenLegacy(benchmark::State& state) {
    const QString path = fixture().legacy;
    for (auto _ : state) {
        auto db = engine::legacy::openJetDatabase(path);
        benchmark::DoNotOptimize(data::openTable(customers(), db)->RecordCount());
    }
}
BENCHMARK(BM_OpenLegacy)->Unit(benchmark::kMillisecond);

// The helper process alone: start, read every table, hand the rows back.
void BM_ReadLegacyOnly(benchmark::State& state) {
    const QString path = fixture().legacy;
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::legacy::loadJetDatabase(path).tables.size());
}
BENCHMARK(BM_ReadLegacyOnly)->Unit(benchmark::kMillisecond);

void prefixQueries(benchmark::State& state, const std::shared_ptr<engine::Database>& db) {
    const QStringList typed{QStringLiteral("a"), QStringLiteral("la"), QStringLiteral("s"), QStringLiteral("fr")};
    for (auto _ : state)
        for (const QString& text : typed)
            benchmark::DoNotOptimize(data::openSearch(customers(), db, text)->RecordCount());
}

void BM_PrefixConverted(benchmark::State& state) {
    prefixQueries(state, engine::openDatabaseFile(fixture().converted));
}
BENCHMARK(BM_PrefixConverted)->Unit(benchmark::kMicrosecond);

void BM_PrefixLegacy(benchmark::State& state) {
    prefixQueries(state, engine::legacy::openJetDatabase(fixture().legacy));
}
BENCHMARK(BM_PrefixLegacy)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!QFileInfo::exists(nwindPath())) {
        std::fprintf(stderr, "legacy_bench: %s not found\n", qPrintable(nwindPath()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
