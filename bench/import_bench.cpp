// What the import costs and what its headword index buys.
//
//   build/bin/tolvane_import_bench
//
// Import: a generated CSV of 200,000 rows (headword + a sentence), against reading the same
// file with the CSV reader alone (the baseline: the cost of storing rows and building the
// index is the difference). Queries: the headword query and the prefix query the dictionary
// window sends, on the imported file with its index and on a copy whose index was dropped
// (the baseline: a table scan).

#include "data/DataOperations.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "import/CsvImport.h"
#include "import/CsvReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <random>

using namespace tolvane;

namespace {

constexpr int kRows = 200'000;

struct Fixture {
    QTemporaryDir dir;
    QString csv;
    QString indexed;   // as the import builds it
    QString unindexed; // the same rows, index dropped

    Fixture() {
        csv = dir.filePath("names.csv");
        QFile out(csv);
        out.open(QIODevice::WriteOnly);
        out.write("field1,field2\r\n");
        std::mt19937 random(7);
        std::uniform_int_distribution<int> letter(0, 25), length(3, 10);
        for (int i = 0; i < kRows; ++i) {
            QByteArray word(1, char('A' + letter(random)));
            for (int n = length(random); n > 1; --n)
                word += char('a' + letter(random));
            out.write(word + ",\"the meaning of " + word + ", as told\"\r\n");
        }
        // A known headword for the equality lookups.
        out.write("Jerusalem,vision of peace\r\n");
        out.close();

        indexed = dir.filePath("names.mdb");
        import::CsvImportRequest request;
        request.dictionary = &data::hitchcockConfig();
        request.input = csv;
        request.output = indexed;
        import::importCsv(request);

        unindexed = dir.filePath("scan/names.mdb");
        QDir(dir.path()).mkdir("scan");
        QFile::copy(indexed, unindexed);
        engine::sqlite::Connection connection(unindexed, engine::sqlite::OpenMode::ReadWrite);
        connection.exec(
            QStringLiteral("DROP INDEX %1")
                .arg(engine::quoteIdentifier(engine::headwordIndexName("hitchcock", "field1"))));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadCsvOnly(benchmark::State& state) {
    for (auto _ : state) {
        QFile in(fixture().csv);
        in.open(QIODevice::ReadOnly);
        import::CsvReader reader(in);
        import::CsvRecord record;
        int rows = 0;
        while (reader.next(record))
            ++rows;
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ReadCsvOnly)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    QTemporaryDir out;
    for (auto _ : state) {
        import::CsvImportRequest request;
        request.dictionary = &data::hitchcockConfig();
        request.input = fixture().csv;
        request.output = out.filePath("names.mdb");
        benchmark::DoNotOptimize(import::importCsv(request).rows);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

// Arg 1: the file with the headword index; arg 0: the copy without it.
QString fileFor(const benchmark::State& state) {
    return state.range(0) ? fixture().indexed : fixture().unindexed;
}

void BM_HeadwordQuery(benchmark::State& state) {
    const auto& config = data::hitchcockConfig();
    auto db = engine::DBEngine::instance().Workspaces(0)->OpenDatabase(fileFor(state));
    for (auto _ : state) {
        auto rs = data::openHeadword(config, db, "jerusalem");
        benchmark::DoNotOptimize(data::readEntry(config, rs));
    }
    db->Close();
}
BENCHMARK(BM_HeadwordQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PrefixQueryAndWalk(benchmark::State& state) {
    const auto& config = data::hitchcockConfig();
    auto db = engine::DBEngine::instance().Workspaces(0)->OpenDatabase(fileFor(state));
    int rows = 0;
    for (auto _ : state) {
        auto rs = data::openPrefix(config, db, "jer");
        rows = rs->RecordCount();
        rs->MoveFirst();
        for (int i = 0; i < rows; ++i, rs->MoveNext())
            benchmark::DoNotOptimize(data::readText(rs, config.headwordColumn));
    }
    state.counters["rows"] = rows;
    db->Close();
}
BENCHMARK(BM_PrefixQueryAndWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
