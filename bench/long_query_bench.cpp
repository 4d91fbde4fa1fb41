// The longest queries the Find box takes (32,767 characters) searched in all three reference
// texts through the search service, from the typed text to the whole list, against a
// one-word search in the same run: one word said thousands of times, one prefix said
// thousands of times, and the most different words a search takes (plain, as prefixes, and
// as one phrase). Any of them should answer within a second.
//
// Needs the reference texts (../shared/data, or $TOLVANE_SHARED_DIR/data).
// Run a Release build: tolvane_long_query_bench [--benchmark_filter=...]

#include "ReferenceTexts.h"
#include "data/DataOperations.h"
#include "engine/FullTextQuery.h"
#include "find/FindService.h"
#include "import/CsvImport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tolvane;

namespace {

constexpr int kBoxLength = 32767;

// The three texts imported once per run, index included; empty when they are not found.
const QString& textsFolder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        if (!bench::importReferenceTexts(dir.path()))
            return QString();
        return dir.path();
    }();
    return folder;
}

// `unit` said over and over, as far as the box holds.
QString filled(const QString& unit) {
    return unit.repeated(kBoxLength / unit.size()).left(kBoxLength);
}

// The most different words a search takes, common ones, each followed by `suffix`.
QString mostWords(const char* suffix) {
    static const char* const kCommon[] = {
        "the",  "and", "of",   "to",    "in",  "a",    "is",  "that",  "he",   "was",  "his",
        "for",  "it",  "with", "which", "by",  "as",   "be",  "from",  "they", "were", "on",
        "this", "god", "are",  "him",   "not", "have", "all", "their", "one",  "or"};
    static_assert(std::size(kCommon) == engine::kMostFullTextWords);
    QStringList words;
    for (const char* word : kCommon)
        words << QLatin1String(word) + QLatin1String(suffix);
    return words.join(QLatin1Char(' '));
}

// Translates and searches `typed` in all three dictionaries, to the whole list.
void search(benchmark::State& state, const QString& typed) {
    if (textsFolder().isEmpty())
        return state.SkipWithError("reference texts not found");
    find::FindService service;
    int count = 0;
    bool complete = false;
    QObject::connect(&service, &find::FindService::finished, [&](const find::FindResults& r) {
        count = r.count;
        complete = r.complete;
    });
    auto once = [&] {
        const engine::FullTextQuery query = engine::translateFullTextQuery(typed);
        if (!query.isValid() || query.isEmpty())
            return;
        complete = false;
        service.search(query.match, data::allConfigs(), textsFolder());
        while (!complete)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    once(); // the files opened and their indexes checked, as by an earlier search
    for (auto _ : state)
        once();
    state.counters["entries"] = count;
    state.counters["valid"] = engine::translateFullTextQuery(typed).isValid();
}

void BM_OneWord(benchmark::State& state) {
    search(state, QStringLiteral("god"));
}
void BM_TheRepeated(benchmark::State& state) {
    search(state, filled(QStringLiteral("the ")));
}
void BM_PrefixRepeated(benchmark::State& state) {
    search(state, filled(QStringLiteral("a* ")));
}
void BM_MostWords(benchmark::State& state) {
    search(state, mostWords(""));
}
void BM_MostPrefixes(benchmark::State& state) {
    search(state, mostWords("*"));
}
void BM_MostWordsAsAPhrase(benchmark::State& state) {
    search(state, QLatin1Char('"') + mostWords("") + QLatin1Char('"'));
}
void BM_MostSingleLetterPrefixes(benchmark::State& state) {
    QStringList letters;
    for (char c = 'a'; c <= 'z'; ++c)
        letters << QLatin1Char(c) + QStringLiteral("*");
    for (char c = '0'; letters.size() < engine::kMostFullTextWords; ++c)
        letters << QLatin1Char(c) + QStringLiteral("*");
    search(state, letters.join(QLatin1Char(' ')));
}

BENCHMARK(BM_OneWord)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_TheRepeated)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_PrefixRepeated)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_MostWords)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_MostPrefixes)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_MostWordsAsAPhrase)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_MostSingleLetterPrefixes)->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
