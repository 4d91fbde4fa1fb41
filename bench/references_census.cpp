// Counts the Scripture references and entry pointers the finder sees in the full texts
// (../shared/data/eastons.csv and kjv_archaic.csv) and prints a random sample of references
// in their context, to be checked by hand:  tolvane_references_census [count] [dataDir]

#include "import/CsvReader.h"
#include "references/ReferenceFinder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <random>

using namespace tolvane;

namespace {

struct Found {
    QString text;
    references::ReferenceSpan span;
};

// Every reference of one column of a CSV file; the headword is the first column.
qsizetype census(const QString& path, int column, std::vector<Found>& all, qint64& nanoseconds) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 0;
    }
    import::CsvReader reader(file);
    import::CsvRecord record;
    reader.next(record); // the column names
    qsizetype entries = 0;
    qsizetype withReferences = 0;
    qsizetype count = 0;
    qsizetype most = 0;
    while (reader.next(record)) {
        if (int(record.fields.size()) <= column)
            continue;
        const QString headword = QString::fromUtf8(record.fields[0]);
        const QString text = QString::fromUtf8(record.fields[size_t(column)]);
        QElapsedTimer timer;
        timer.start();
        const auto spans = references::findReferences(text, headword);
        nanoseconds += timer.nsecsElapsed();
        ++entries;
        withReferences += spans.empty() ? 0 : 1;
        count += qsizetype(spans.size());
        most = std::max(most, qsizetype(spans.size()));
        for (const auto& s : spans)
            all.push_back({text, s});
    }
    std::printf("%s column %d: %lld entries, %lld with references, %lld references, at most "
                "%lld in one entry\n",
                qPrintable(path), column, qlonglong(entries), qlonglong(withReferences),
                qlonglong(count), qlonglong(most));
    return count;
}

} // namespace

int main(int argc, char** argv) {
    const int sample = argc > 1 ? std::atoi(argv[1]) : 200;
    const QString shared = qEnvironmentVariable("TOLVANE_SHARED_DIR",
                                                QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared"));
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : shared + "/data";
    std::vector<Found> all;
    qint64 nanoseconds = 0;
    census(dir + "/eastons.csv", 1, all, nanoseconds);
    census(dir + "/kjv_archaic.csv", 1, all, nanoseconds);
    census(dir + "/kjv_archaic.csv", 2, all, nanoseconds);
    std::printf("finding took %.1f ms in all\n", double(nanoseconds) / 1e6);
    if (all.empty())
        return 1;
    std::mt19937 pick(20); // fixed, so that two runs print the same sample
    std::shuffle(all.begin(), all.end(), pick);
    for (int i = 0; i < sample && i < int(all.size()); ++i) {
        const Found& f = all[size_t(i)];
        const qsizetype from = std::max<qsizetype>(0, f.span.start - 25);
        QString before = f.text.mid(from, f.span.start - from);
        QString after = f.text.mid(f.span.start + f.span.length, 15);
        QString line = before + u'[' + f.text.mid(f.span.start, f.span.length) + u']' + after;
        line.replace(u'\n', u' ').replace(u'\r', u' ');
        std::printf("%3d %-60s -> %s\n", i + 1, qPrintable(line),
                    qPrintable(references::displayName(f.span.range)));
    }
    return 0;
}
