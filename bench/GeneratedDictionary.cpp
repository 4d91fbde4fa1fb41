#include "GeneratedDictionary.h"

#include "engine/Dao.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>
#include <QFile>
#include <random>

namespace tolvane::bench {

std::string sizeName(int rows) {
    if (rows % 1'000'000 == 0)
        return std::to_string(rows / 1'000'000) + "M";
    if (rows % 1000 == 0)
        return std::to_string(rows / 1000) + "k";
    return std::to_string(rows);
}

std::vector<int> benchSizes(const char* fallback) {
    const QByteArray wanted = qgetenv("TOLVANE_BENCH_ROWS");
    std::vector<int> sizes;
    for (const QByteArray& part : (wanted.isEmpty() ? QByteArray(fallback) : wanted).split(','))
        if (part.toInt() > 0)
            sizes.push_back(part.toInt());
    return sizes;
}

double writeGeneratedDictionary(const QString& path, const data::DictionaryConfig& config,
                                int rows) {
    engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadWriteCreate);
    connection.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
    engine::createTextTable(connection, config.table,
                            {config.headwordColumn, config.definitionColumn});
    engine::sqlite::Transaction transaction(connection);
    auto insert = connection.prepare(
        QStringLiteral("INSERT INTO %1 VALUES (?, ?)").arg(engine::quoteIdentifier(config.table)));
    std::mt19937 random(42);
    std::uniform_int_distribution<int> letter(0, 25), length(3, 10), upper(0, 3);
    double utf16 = 0;
    for (int i = 0; i < rows; ++i) {
        QString word;
        const int n = length(random);
        for (int j = 0; j < n; ++j) {
            const char base = (j == 0 && upper(random) == 0) ? 'A' : 'a';
            word += QChar(base + letter(random));
        }
        utf16 += 2.0 * word.size();
        insert.bind(1, word);
        insert.bind(2, QStringLiteral("meaning of ") + word);
        insert.run();
        insert.reset();
    }
    engine::createHeadwordIndex(connection, config.table, config.headwordColumn);
    connection.exec(QStringLiteral("DROP TABLE tolvane_metadata"));
    transaction.commit();
    return utf16;
}

// The file is made under another name and renamed once complete, so that a run stopped while
// it is made leaves nothing that looks finished.
QString cachedGeneratedDictionary(const QString& cacheFolder, const data::DictionaryConfig& config,
                                  int rows) {
    const QString folder = QDir(cacheFolder).filePath(QString::fromStdString(sizeName(rows)));
    const QString path = QDir(folder).filePath(config.fileName);
    if (QFile::exists(path))
        return folder;
    QDir().mkpath(folder);
    const QString making = path + QStringLiteral(".making");
    QFile::remove(making);
    writeGeneratedDictionary(making, config, rows);
    engine::DBEngine::instance().Workspaces(0)->OpenDatabase(making)->Close(); // the list index
    QFile::rename(making, path);
    return folder;
}

} // namespace tolvane::bench
