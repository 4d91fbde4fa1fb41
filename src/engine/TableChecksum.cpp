#include "engine/TableChecksum.h"

#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace tolvane::engine {

QString tableChecksum(sqlite::Connection& connection, const QString& table) {
    sqlite::Statement rows(connection,
                           QStringLiteral("SELECT * FROM \"%1\"")
                               .arg(QString(table).replace(u'"', QLatin1String("\"\""))));
    std::vector<QByteArray> hashes;
    QCryptographicHash row(QCryptographicHash::Sha256);
    while (rows.step()) {
        row.reset();
        for (int column = 0; column < rows.columnCount(); ++column) {
            // Each value is its length then its bytes; NULL has a length no text has.
            const QByteArrayView bytes = rows.columnUtf8(column);
            const qint64 length = rows.isNull(column) ? -1 : bytes.size();
            const qint64 stored = qToLittleEndian(length);
            row.addData(QByteArrayView(reinterpret_cast<const char*>(&stored), sizeof stored));
            row.addData(bytes);
        }
        hashes.push_back(row.result());
    }
    std::sort(hashes.begin(), hashes.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray& hash : hashes)
        all.addData(hash);
    return QString::fromLatin1(all.result().toHex());
}

} // namespace tolvane::engine
