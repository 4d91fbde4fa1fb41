// Showing an Easton's entry in the definition box with its links found and drawn, against
// showing it without them, at Paul's length (the longest entry) and at the median length:
// the text set and the box painted, what the user sees.
// The pointers' headword lookup is a hash of the dictionary's headwords here (the window asks
// its database). Needs ../shared/data/eastons.csv (TOLVANE_SHARED_DIR). Also the tooltip's
// verses through the SWORD helper, first and later ones.

#include "dictwindow/EntryLinks.h"
#include "import/CsvReader.h"
#include "references/EntryPointers.h"
#include "references/ReferenceFinder.h"
#include "scripture/VerseLookups.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>

using namespace tolvane;

namespace {

struct Easton {
    QHash<QString, QString> headwords; // folded -> as stored
    QString paul;
    QString median;
};

const Easton& easton() {
    static const Easton e = [] {
        Easton out;
        const QString shared = qEnvironmentVariable(
            "TOLVANE_SHARED_DIR", QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared"));
        QFile file(shared + "/data/eastons.csv");
        if (!file.open(QIODevice::ReadOnly))
            return out;
        import::CsvReader reader(file);
        import::CsvRecord record;
        reader.next(record);
        std::vector<QString> texts;
        while (reader.next(record)) {
            const QString headword = QString::fromUtf8(record.fields.at(0));
            out.headwords.insert(headword.toCaseFolded(), headword);
            texts.push_back(QString::fromUtf8(record.fields.at(1)));
            if (headword == u"Paul")
                out.paul = texts.back();
        }
        std::sort(texts.begin(), texts.end(),
                  [](const QString& a, const QString& b) { return a.size() < b.size(); });
        out.median = texts[texts.size() / 2];
        return out;
    }();
    return e;
}

void show(benchmark::State& state, const QString& text, bool links) {
    if (text.isEmpty()) {
        state.SkipWithError("eastons.csv not found (TOLVANE_SHARED_DIR)");
        return;
    }
    QPlainTextEdit box;
    box.resize(420, 300);
    box.show();
    // Until the box is exposed a repaint paints nothing, and only the text's setting is timed.
    if (!QTest::qWaitForWindowExposed(&box)) {
        state.SkipWithError("the box was not exposed: no paint to time");
        return;
    }
    dictwindow::EntryLinks* entryLinks = nullptr;
    if (links) {
        entryLinks = new dictwindow::EntryLinks(&box);
        entryLinks->setHeadwordLookup(
            [](const QString& name) { return easton().headwords.value(name.toCaseFolded()); });
    }
    // As the window shows an entry: the headword, then the text (its links are found as it
    // is set), then the box painted at once.
    for (auto _ : state) {
        if (entryLinks) {
            entryLinks->setHeadword(QStringLiteral("Paul"));
            entryLinks->expectText(text);
        }
        box.setPlainText(text);
        box.viewport()->repaint();
    }
    state.counters["links"] = entryLinks ? double(entryLinks->links().size()) : 0;
    state.counters["chars"] = double(text.size());
}

void BM_PaulPlain(benchmark::State& s) {
    show(s, easton().paul, false);
}
void BM_PaulWithLinks(benchmark::State& s) {
    show(s, easton().paul, true);
}
void BM_MedianPlain(benchmark::State& s) {
    show(s, easton().median, false);
}
void BM_MedianWithLinks(benchmark::State& s) {
    show(s, easton().median, true);
}

// The verses of a tooltip as the window gets them: asked on the lookup thread, answered
// through the event loop. The first of a run (the helper starting), then one of the same book
// and one of another book. Needs an installed Bible (sword-text-kjv).
scripture::Passage lookUp(scripture::VerseLookups& lookups, const references::VerseRange& range) {
    scripture::Passage out;
    QEventLoop loop;
    lookups.passage(scripture::VerseLookups::Channel::Tip, range, scripture::kVersesInTip, {},
                    [&](const scripture::Passage& p) {
                        out = p;
                        loop.quit();
                    });
    loop.exec();
    return out;
}

void BM_FirstVerse(benchmark::State& state) {
    for (auto _ : state) {
        scripture::VerseLookups verses;
        benchmark::DoNotOptimize(lookUp(verses, {0, 14, 5, 14, 5}));
    }
}
void BM_VerseSameBook(benchmark::State& state) {
    scripture::VerseLookups verses;
    lookUp(verses, {0, 14, 5, 14, 5});
    int chapter = 1;
    for (auto _ : state) {
        if (lookUp(verses, {0, chapter, 1, chapter, 1}).verses.empty())
            state.SkipWithError("no Bible installed (sword-text-kjv)");
        chapter = chapter % 50 + 1;
    }
}
void BM_VerseOtherBook(benchmark::State& state) {
    scripture::VerseLookups verses;
    int book = 0;
    for (auto _ : state) {
        book = (book + 7) % 66;
        benchmark::DoNotOptimize(lookUp(verses, {book, 1, 1, 1, 1}));
    }
}
BENCHMARK(BM_FirstVerse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VerseSameBook)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VerseOtherBook)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two scans of Paul's text alone, the part of the links' cost that is ours.
void BM_PaulFindReferences(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(references::findReferences(easton().paul, u"Paul"));
}
void BM_PaulFindPointers(benchmark::State& state) {
    const references::HeadwordLookup lookup = [](const QString& name) {
        return easton().headwords.value(name.toCaseFolded());
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(references::findEntryPointers(easton().paul, lookup));
}
BENCHMARK(BM_PaulFindReferences)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaulFindPointers)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaulPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaulWithLinks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MedianPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MedianWithLinks)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
