// libFuzzer target: the engine's LIKE and = queries against the matcher, over random rows.
// The input is split at NUL bytes: the first piece is the pattern (also the text compared
// with =), the others are headwords (a piece starting with 0x01 stands for a missing value).
// Each input builds a small dictionary file, with or without the headword index (by the
// pattern's length), and both queries must return exactly the rows the matcher and the
// folded comparison accept: the index's range lookup must never lose or add a row.

#include "FuzzRequire.h"
#include "data/Queries.h"
#include "engine/CaseFold.h"
#include "engine/Dao.h"
#include "engine/Pattern.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using namespace tolvane;

namespace {

// In memory where the system offers it: every input builds and drops a file.
QTemporaryDir& folder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/tolvane-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tolvane-fuzz-XXXXXX"));
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication* app = new QCoreApplication(*argc, *argv);
    (void)app;
    return folder().isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2048)
        return 0;
    const QList<QByteArray> pieces =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    const QString pattern = QString::fromUtf8(pieces.front());
    std::vector<std::optional<QString>> rows;
    for (qsizetype i = 1; i < pieces.size() && i <= 40; ++i) {
        if (pieces[i].startsWith('\x01'))
            rows.emplace_back(std::nullopt);
        else
            rows.emplace_back(QString::fromUtf8(pieces[i]));
    }

    static int round = 0;
    const QString path = folder().filePath(QStringLiteral("f%1.db").arg(++round));
    {
        engine::sqlite::Connection db(path, engine::sqlite::OpenMode::ReadWriteCreate);
        db.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        engine::sqlite::Transaction transaction(db);
        engine::createTextTable(db, QStringLiteral("words"),
                                {QStringLiteral("headword"), QStringLiteral("n")});
        if (pattern.size() % 2 == 0)
            engine::createHeadwordIndex(db, QStringLiteral("words"), QStringLiteral("headword"));
        engine::sqlite::Statement insert(db, QStringLiteral("INSERT INTO words VALUES (?1, ?2)"));
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i])
                insert.bind(1, *rows[i]);
            else
                insert.bindNull(1);
            insert.bind(2, QString::number(i));
            insert.run();
            insert.reset();
        }
        transaction.commit();
    }

    const engine::LikePattern matcher(pattern);
    const QString body = data::quotedLiteralBody(pattern);
    auto db = engine::DBEngine::instance().Workspaces(0)->OpenDatabase(path);
    for (const bool like : {true, false}) {
        const QString query = QStringLiteral("SELECT * FROM words WHERE headword ") +
                              (like ? QStringLiteral("LIKE '") : QStringLiteral("= '")) + body +
                              QLatin1Char('\'');
        auto rs = db->OpenRecordset(query);
        std::vector<bool> found(rows.size(), false);
        const int count = rs->RecordCount();
        if (count > 0)
            rs->MoveFirst();
        for (int i = 0; i < count; ++i) {
            const size_t n = rs->Fields(QStringLiteral("n")).Value().toString().toULongLong();
            require(n < rows.size() && !found[n]);
            found[n] = true;
            rs->MoveNext();
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            const bool expected = rows[i] && (like ? matcher.matches(*rows[i])
                                                   : engine::equalFolded(*rows[i], pattern));
            require(found[i] == expected);
        }
    }
    db->Close();
    QFile::remove(path);
    return 0;
}
