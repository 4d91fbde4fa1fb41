// Reading and writing a 1 MB document with mixed formatting as RTF, against QTextDocument's
// own HTML path (setHtml / toHtml) for the same content, measured in the same run; and the
// scripture box on screen showing a value of 20 KB, 200 KB and 2 MB through setTextRTF, against
// QTextEdit::setHtml of the same content in the same box, each up to its first paint. The
// closing lines print RTF time / HTML time (below 1 is faster).

#include "platform/Twips.h"
#include "richtext/RichTextBox.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// About `characters` characters: verse references and words in runs of varied formatting,
// paragraphs of varied alignment, some non-ASCII text.
std::unique_ptr<QTextDocument> makeSampleDocument(qsizetype characters) {
    auto d = std::make_unique<QTextDocument>();
    QTextCursor c(d.get());
    QRandomGenerator random(1611);
    const QStringList words =
        QString::fromUtf8("Gen. 1:1; Ex. 20:3 abase abide Καλός été naïve “quoted” — {braces} "
                          "back\\slash 中文 shewbread firmament Ps. 119:105 Isa. 53:5")
            .split(u' ');
    const QStringList families = {QStringLiteral("Arial"), QStringLiteral("Times New Roman"),
                                  QStringLiteral("Courier New")};
    qsizetype size = 0;
    while (size < characters) {
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
}

const QTextDocument& sampleDocument() {
    static const std::unique_ptr<QTextDocument> document = makeSampleDocument(1000000);
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

// A stored value of about `kilobytes` KB of RTF, and the HTML QTextDocument writes for the
// same content (read back from that RTF, so both describe exactly the same document).
struct ScriptureValue {
    QString rtf;
    QString html;
};

const ScriptureValue& scriptureValue(int kilobytes) {
    static std::map<int, ScriptureValue> values;
    auto found = values.find(kilobytes);
    if (found != values.end())
        return found->second;
    // RTF takes more bytes than the text it describes; scale the text once to hit the size.
    const qsizetype target = qsizetype(kilobytes) * 1000;
    const qsizetype probe = 20000;
    const qsizetype probeBytes = tolvane::richtext::writeRtf(*makeSampleDocument(probe)).size();
    const auto source = makeSampleDocument(probe * target / probeBytes);
    ScriptureValue value;
    value.rtf = tolvane::richtext::writeRtf(*source);
    QTextDocument shown;
    tolvane::richtext::readRtf(value.rtf, shown);
    value.html = shown.toHtml();
    return values.emplace(kilobytes, std::move(value)).first->second;
}

// The King James window's scripture box, on screen, at its size in the window (3255 x 1335 twips).
tolvane::richtext::RichTextBox& boxOnScreen() {
    static tolvane::richtext::RichTextBox* box = [] {
        auto* b = new tolvane::richtext::RichTextBox;
        b->resize(tolvane::platform::twipsSize(3255, 1335));
        b->show();
        if (!QTest::qWaitForWindowExposed(b))
            std::fprintf(stderr, "the box was not exposed; the paint figures mean nothing\n");
        return b;
    }();
    return *box;
}

// Each iteration starts from an empty box with no events pending, loads the value and paints
// the box at once, as the window does when a headword is clicked.
template <typename Load> void showValue(benchmark::State& state, Load load) {
    const ScriptureValue& value = scriptureValue(int(state.range(0)));
    tolvane::richtext::RichTextBox& box = boxOnScreen();
    state.counters["rtf_bytes"] = double(value.rtf.size());
    state.counters["html_bytes"] = double(value.html.size());
    for (auto _ : state) {
        state.PauseTiming();
        box.setText(QString());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        load(box, value);
        box.viewport()->repaint();
    }
    const QTextLayout* first = box.document()->begin().layout();
    if (!first || first->lineCount() == 0)
        state.SkipWithError("the value was not laid out for its first paint");
    box.setText(QString());
    QCoreApplication::processEvents();
}

void BM_BoxShowsRtf(benchmark::State& state) {
    showValue(state, [](tolvane::richtext::RichTextBox& box, const ScriptureValue& value) {
        box.setTextRTF(value.rtf);
    });
}

void BM_BoxShowsHtml(benchmark::State& state) {
    showValue(state, [](tolvane::richtext::RichTextBox& box, const ScriptureValue& value) {
        static_cast<QTextEdit&>(box).setHtml(value.html);
    });
}

BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteHtml)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadHtml)->Unit(benchmark::kMillisecond)->MinTime(2.0);
constexpr int kValueKilobytes[] = {20, 200, 2000};
void valueSizes(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->MinTime(1.0);
    for (const int kilobytes : kValueKilobytes)
        b->Arg(kilobytes);
}
BENCHMARK(BM_BoxShowsRtf)->Apply(valueSizes);
BENCHMARK(BM_BoxShowsHtml)->Apply(valueSizes);

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
    QApplication app(argc, argv);
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
    std::printf("\nratio (wall, cpu)\n");
    auto print = [&](const std::string& label, const std::string& ours, const std::string& theirs) {
        const double wall = ratio(reporter.times, ours.c_str(), theirs.c_str());
        if (wall >= 0)
            std::printf("%-58s %.2f  %.2f\n", label.c_str(), wall,
                        ratio(reporter.cpuTimes, ours.c_str(), theirs.c_str()));
    };
    print("read  RTF / setHtml:", readRtf, readHtml);
    print("write RTF / toHtml:", writeRtf, writeHtml);
    for (const int kilobytes : kValueKilobytes) {
        const std::string size = std::to_string(kilobytes);
        print("box on screen, " + size + " KB: setTextRTF / setHtml, to first paint:",
              "BM_BoxShowsRtf/" + size + "/min_time:1.000",
              "BM_BoxShowsHtml/" + size + "/min_time:1.000");
    }
    benchmark::Shutdown();
    return 0;
}
