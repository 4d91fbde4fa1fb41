// Reading and writing a 1 MB document with mixed formatting as RTF, against QTextDocument's
// own HTML path (setHtml / toHtml) for the same content, measured in the same run. The
// closing lines print RTF time / HTML time for reading and for writing (below 1 is faster).

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// About 1,000,000 characters: verse references and words in runs of varied formatting,
// paragraphs of varied alignment, some non-ASCII text.
const QTextDocument& sampleDocument() {
    static QTextDocument* document = [] {
        auto* d = new QTextDocument;
        QTextCursor c(d);
        QRandomGenerator random(1611);
        const QStringList words = QString::fromUtf8(
            "Gen. 1:1; Ex. 20:3 abase abide Καλός été naïve “quoted” — {braces} back\\slash 中文 "
            "shewbread firmament Ps. 119:105 Isa. 53:5")
                                      .split(u' ');
        const QStringList families = {QStringLiteral("Arial"), QStringLiteral("Times New Roman"),
                                      QStringLiteral("Courier New")};
        qsizetype size = 0;
        while (size < 1000000) {
            QTextCharFormat f;
            f.setFontWeight(random.bounded(3) == 0 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(random.bounded(4) == 0);
            f.setFontUnderline(random.bounded(6) == 0);
            f.setFontStrikeOut(random.bounded(20) == 0);
            f.setFontPointSize(8 + random.bounded(8));
            f.setFontFamilies({families.at(random.bounded(int(families.size())))});
            if (random.bounded(5) == 0)
                f.setForeground(QColor::fromRgb(random.bounded(0x1000000)));
            QString run;
            const int count = 1 + int(random.bounded(12));
            for (int i = 0; i < count; ++i)
                run += words.at(random.bounded(int(words.size()))) + u' ';
            c.insertText(run, f);
            size += run.size();
            if (random.bounded(8) == 0) {
                QTextBlockFormat b;
                b.setAlignment(random.bounded(3) == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
                c.insertBlock(b);
                ++size;
            }
        }
        return d;
    }();
    return *document;
}

void BM_WriteRtf(benchmark::State& state) {
    const QTextDocument& d = sampleDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvane::richtext::writeRtf(d));
}

void BM_WriteHtml(benchmark::State& state) {
    const QTextDocument& d = sampleDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(d.toHtml());
}

void BM_ReadRtf(benchmark::State& state) {
    const QString rtf = tolvane::richtext::writeRtf(sampleDocument());
    state.counters["bytes"] = double(rtf.size());
    for (auto _ : state) {
        QTextDocument d;
        tolvane::richtext::readRtf(rtf, d);
        benchmark::DoNotOptimize(d.characterCount());
    }
}

void BM_ReadHtml(benchmark::State& state) {
    const QString html = sampleDocument().toHtml();
    state.counters["bytes"] = double(html.size());
    for (auto _ : state) {
        QTextDocument d;
        d.setHtml(html);
        benchmark::DoNotOptimize(d.characterCount());
    }
}

BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteHtml)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadHtml)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints as usual and keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [](const std::map<std::string, double>& times, const char* ours, const char* theirs) {
        const auto a = times.find(ours);
        const auto b = times.find(theirs);
        return (a == times.end() || b == times.end() || b->second == 0) ? -1.0 : a->second / b->second;
    };
    const char* const readRtf = "BM_ReadRtf/min_time:2.000";
    const char* const readHtml = "BM_ReadHtml/min_time:2.000";
    const char* const writeRtf = "BM_WriteRtf/min_time:2.000";
    const char* const writeHtml = "BM_WriteHtml/min_time:2.000";
    std::printf("\nratio (wall, cpu)\nread  RTF / setHtml: %.2f  %.2f\nwrite RTF / toHtml:  %.2f  %.2f\n",
                ratio(reporter.times, readRtf, readHtml), ratio(reporter.cpuTimes, readRtf, readHtml),
                ratio(reporter.times, writeRtf, writeHtml), ratio(reporter.cpuTimes, writeRtf, writeHtml));
    benchmark::Shutdown();
    return 0;
}
