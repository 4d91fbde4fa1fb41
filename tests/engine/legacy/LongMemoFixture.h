#pragma once
// Builds a Jet 3 database holding a memo far longer than libmdb's default 16 KB read buffer.
// The corpus has no memo over about 450 characters, so a copy of one of its files is
// altered: the memo PROJ_PROP_AUTHOR of jet3__test2V1997.mdb (348 characters on one page)
// is pointed at a chain of new long-value pages appended to the file.

#include <QByteArray>
#include <QString>

namespace tolvane::test {

struct LongMemo {
    QString path;     // the altered copy
    QString expected; // the memo's whole text
};

// Writes the copy into `folder`. `source` is the corpus file. Throws std::runtime_error
// when the source is not the file this expects.
LongMemo writeLongMemoDatabase(const QString& source, const QString& folder, int bytes);

} // namespace tolvane::test
