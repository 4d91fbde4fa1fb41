#pragma once
// A legacy Jet 3 file shaped like Easton's dictionary (table dbwords, columns dbword and
// dbdesc), for opening in the Easton's window. No such file is in the corpus, so one is made
// from a copy of its Northwind database: the table "Umsätze" (a copy of Orders, 830 rows) is
// renamed dbwords, and its columns ShipName and ShipAddress become dbword and dbdesc.

#include <QString>

namespace tolvane::test {

// Writes the altered copy as `folder`/data.mdb and returns its path. `nwind` is the corpus
// file jet3__nwind.mdb. Throws std::runtime_error when the source is not that file.
QString writeEastonsLegacyFile(const QString& nwind, const QString& folder);

} // namespace tolvane::test
