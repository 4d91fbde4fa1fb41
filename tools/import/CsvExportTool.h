#pragma once
// tolvane-import --export NAME OUTPUT.csv: NAME is kjv, eastons or hitchcock, a file name in
// the dictionary folder (data.mdb, Nave.sqlite), or an added dictionary's title; the file is
// written as data/DictionaryCsv.h says.

#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

namespace tolvane::import {

// Returns the tool's exit status.
int runCsvExport(const QString& name, const QStringList& files, bool quiet, QTextStream& out,
                 QTextStream& err);

} // namespace tolvane::import
