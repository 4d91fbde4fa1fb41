// What converting a SWORD dictionary costs over reading it.
//
//   nice -n 10 build/bin/tolvane_sword_bench
//
// Conversion: Nave's Topical Bible (Debian package sword-dict-naves) into a dictionary file
// with tolvane-import's own code, helper process included, against the baseline of libsword
// walking every entry of the same module in this process and rendering each to plain text
// (what any program reading the module must do). The ratio of the two is the import's
// overhead; the aim is under 1.5. On a busy machine the two benchmarks may meet different
// loads; BM_ConvertOverWalk takes turns, one walk then one conversion, and reports the ratio
// of their summed times (counter "ratio"), so that both meet the same load.

#include "data/DictionaryConfig.h"
#include "import/SwordImport.h"

#include <markupfiltmgr.h>
#include <swmgr.h>
#include <swmodule.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace tolvane;

namespace {

const char* const kLibrary = "/usr/share/sword";
const char* const kModule = "Nave";

long walkWithRendering(sword::SWModule& module) {
    long entries = 0;
    for (module = sword::TOP; !module.popError(); module++) {
        benchmark::DoNotOptimize(module.getKeyText());
        benchmark::DoNotOptimize(module.renderText());
        ++entries;
    }
    return entries;
}

struct Library {
    sword::SWMgr manager{kLibrary, true, new sword::MarkupFilterMgr(sword::FMT_PLAIN), false,
                         false};
    sword::SWModule* module = manager.getModule(kModule);
};

import::SwordImportRequest conversion(const QTemporaryDir& dir){qputenv("SWORD_PATH", kLibrary);
import::SwordImportRequest request;
request.dictionary = &data::eastonsConfig();
request.module = QString::fromLatin1(kModule);
request.output = dir.filePath(QStringLiteral("data.mdb"));
return request;
} // namespace

void BM_LibswordWalkWithRendering(benchmark::State& state) {
    Library library;
    if (!library.module) {
        state.SkipWithError("module Nave is not installed (package sword-dict-naves)");
        return;
    }
    long entries = 0;
    for (auto _ : state)
        entries = walkWithRendering(*library.module);
    state.counters["entries"] = double(entries);
}
BENCHMARK(BM_LibswordWalkWithRendering)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_ConvertNave(benchmark::State& state) {
    QTemporaryDir dir;
    const import::SwordImportRequest request = conversion(dir);
    qint64 rows = 0;
    for (auto _ : state) {
        try {
            rows = import::importSword(request).rows;
        } catch (const import::ImportError& e) {
            state.SkipWithError(e.describe().toStdString().c_str());
            return;
        }
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ConvertNave)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_ConvertOverWalk(benchmark::State& state) {
    Library library;
    if (!library.module) {
        state.SkipWithError("module Nave is not installed (package sword-dict-naves)");
        return;
    }
    QTemporaryDir dir;
    const import::SwordImportRequest request = conversion(dir);
    std::chrono::duration<double, std::milli> walking{}, converting{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        walkWithRendering(*library.module);
        const auto walked = std::chrono::steady_clock::now();
        try {
            import::importSword(request);
        } catch (const import::ImportError& e) {
            state.SkipWithError(e.describe().toStdString().c_str());
            return;
        }
        walking += walked - start;
        converting += std::chrono::steady_clock::now() - walked;
    }
    const double turns = double(state.iterations());
    state.counters["walk_ms"] = walking.count() / turns;
    state.counters["convert_ms"] = converting.count() / turns;
    state.counters["ratio"] = converting / walking;
}
BENCHMARK(BM_ConvertOverWalk)->Unit(benchmark::kMillisecond)->MinTime(4.0)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
