// Counts the Scripture references and entry pointers the finder sees in the full texts
// (../shared/data/eastons.csv and kjv_archaic.csv, and Nave's when a dictionary file of it is
// given) and prints a random sample of references in their context, to be checked by hand:
//
//   tolvane_references_census [count] [dataDir] [--naves FILE.sqlite] [--all]
//
// FILE.sqlite is made with `tolvane-import --sword Nave FILE.sqlite` (Debian's
// sword-dict-naves). --all prints every reference instead of a sample, one a line (text,
// headword, place, span, verses), in an order that stays put between runs, so that the
// census of two versions of the finder can be compared with diff.

#include "import/CsvReader.h"
#include "references/ReferenceFinder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <sqlite3.h>

using namespace tolvane;

namespace {

struct Found {
    const char* textName;
    QString headword;
    QString text;
    references::ReferenceSpan span;
};

using EntryVisitor = std::function<void(const QString& headword, const QString& text)>;

bool readCsv(const QString& path, int column, const EntryVisitor& visit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    import::CsvReader reader(file);
    import::CsvRecord record;
    reader.next(record); // the column names
    while (reader.next(record))
        if (int(record.fields.size()) > column)
            visit(QString::fromUtf8(record.fields[0]),
                  QString::fromUtf8(record.fields[size_t(column)]));
    return true;
}

// A dictionary file shaped as Easton's (dbwords: dbword, dbdesc), in row order.
bool readDictionaryFile(const QString& path, const EntryVisitor& visit) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* rows = nullptr;
    const bool ok = sqlite3_prepare_v2(db, "SELECT dbword, dbdesc FROM dbwords ORDER BY rowid", -1,
                                       &rows, nullptr) == SQLITE_OK;
    while (ok && sqlite3_step(rows) == SQLITE_ROW) {
        auto column = [&](int i) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, i)),
                                     sqlite3_column_bytes(rows, i));
        };
        visit(column(0), column(1));
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return ok;
}

struct Census {
    std::vector<Found> all;
    qint64 nanoseconds = 0;

    void count(const char* name, const std::function<bool(const EntryVisitor&)>& read) {
        qsizetype entries = 0;
        qsizetype withReferences = 0;
        qsizetype references = 0;
        qsizetype most = 0;
        const bool ok = read([&](const QString& headword, const QString& text) {
            QElapsedTimer timer;
            timer.start();
            const auto spans = references::findReferences(text, headword);
            nanoseconds += timer.nsecsElapsed();
            ++entries;
            withReferences += spans.empty() ? 0 : 1;
            references += qsizetype(spans.size());
            most = std::max(most, qsizetype(spans.size()));
            for (const auto& s : spans)
                all.push_back({name, headword, text, s});
        });
        if (!ok) {
            std::fprintf(stderr, "%s: cannot be read\n", name);
            return;
        }
        std::printf("%s: %lld entries, %lld with references, %lld references, at most %lld in "
                    "one entry\n",
                    name, qlonglong(entries), qlonglong(withReferences), qlonglong(references),
                    qlonglong(most));
    }
};

QString inContext(const Found& f, qsizetype before = 25, qsizetype after = 15) {
    const qsizetype from = std::max<qsizetype>(0, f.span.start - before);
    const QString head = f.text.mid(from, f.span.start - from);
    const QString tail = f.text.mid(f.span.start + f.span.length, after);
    QString line = head + u'[' + f.text.mid(f.span.start, f.span.length) + u']' + tail;
    return line.replace(u'\n', u' ').replace(u'\r', u' ').replace(QChar(0x2029), u' ');
}

} // namespace

int main(int argc, char** argv) {
    int sample = 200;
    bool every = false;
    QString naves;
    const QString shared = qEnvironmentVariable("TOLVANE_SHARED_DIR",
                                                QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared"));
    QString dir = shared + "/data";
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--all") == 0)
            every = true;
        else if (std::strcmp(argv[i], "--naves") == 0 && i + 1 < argc)
            naves = QString::fromLocal8Bit(argv[++i]);
        else if (positional++ == 0)
            sample = std::atoi(argv[i]);
        else
            dir = QString::fromLocal8Bit(argv[i]);
    }
    Census census;
    census.count("eastons",
                 [&](const EntryVisitor& v) { return readCsv(dir + "/eastons.csv", 1, v); });
    census.count("kjv-words",
                 [&](const EntryVisitor& v) { return readCsv(dir + "/kjv_archaic.csv", 1, v); });
    census.count("kjv-references",
                 [&](const EntryVisitor& v) { return readCsv(dir + "/kjv_archaic.csv", 2, v); });
    if (!naves.isEmpty())
        census.count("naves", [&](const EntryVisitor& v) { return readDictionaryFile(naves, v); });
    std::printf("finding took %.1f ms in all\n", double(census.nanoseconds) / 1e6);
    std::vector<Found>& all = census.all;
    if (all.empty())
        return 1;
    if (every) {
        for (const Found& f : all)
            std::printf("%s\t%s\t%lld\t%s\t%s\n", f.textName, qPrintable(f.headword),
                        qlonglong(f.span.start), qPrintable(inContext(f)),
                        qPrintable(references::displayName(f.span.range)));
        return 0;
    }
    std::mt19937 pick(20); // fixed, so that two runs print the same sample
    std::shuffle(all.begin(), all.end(), pick);
    for (int i = 0; i < sample && i < int(all.size()); ++i) {
        const Found& f = all[size_t(i)];
        // Enough of the sentence before it to tell which book a bare reference is of.
        std::printf("%3d %s | %s\n    %s\n    -> %s\n", i + 1, f.textName, qPrintable(f.headword),
                    qPrintable(inContext(f, 160, 20)),
                    qPrintable(references::displayName(f.span.range)));
    }
    return 0;
}
