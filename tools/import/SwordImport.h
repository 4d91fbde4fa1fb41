#pragma once
// Builds one dictionary file from an installed SWORD dictionary module, read through
// libsword (see SwordReader.h). Each key becomes a headword, trimmed of the spaces around it,
// its letter case kept; its entry, rendered to plain text by libsword, becomes the definition
// (see plainDefinition). The King James shape's scripture column is left empty: the plain
// rendering keeps an entry's references inside its text, and libsword offers no way to take
// them out as a list of their own.
//
// Every entry becomes a row of its own, in the module's key order, so that the rows' ids follow
// that order: a key the module holds twice (Nave's has REVERENCE and SIN twice) is listed
// twice, and the window reaches each of the equal headwords in turn. An entry with no text
// keeps its headword with an empty definition. A key that is empty once trimmed cannot be
// listed and is left out.
//
// The rows are stored while the helper still reads the module. The file gets the headword,
// list and full-text indexes, and is written as the CSV import writes its file
// (DictionaryFileWriter.h): a failure, at whatever entry, leaves the output as it was.

#include "data/DictionaryConfig.h"
#include "import/CsvImport.h"
#include "import/SwordReader.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tolvane::import {

struct SwordImportRequest {
    const data::DictionaryConfig* dictionary = nullptr;
    QString module; // the module's name, as --sword-list shows it
    QString output;
    SwordReadOptions read;
    // Called every `progressEvery` rows and once at the end; bytes count entries here.
    std::function<void(const ImportProgress&)> progress;
    int progressEvery = 1000;
};

struct SwordImportResult {
    SwordModule module;
    qint64 rows = 0;
    QStringList repeatedKeys;   // headwords of more than one entry (letter case aside), once each
    QStringList emptyKeys;      // headwords whose definition is empty
    QStringList leftOutKeys;    // keys that are empty once trimmed, as the module gives them
    QStringList markupLeftKeys; // definitions in which something still looks like markup
};

// Throws ImportError naming the module or the output.
SwordImportResult importSword(const SwordImportRequest& request);

// Turns a module's entries, in the module's order, into the rows importSword stores, one an
// entry; notes keys in the lists of `result` as it goes.
struct SwordRow {
    QString headword;
    QString definition;
};
class SwordRowMaker {
public:
    explicit SwordRowMaker(SwordImportResult& result) : m_result(result) {}
    // The entry's row; nothing when its key is empty once trimmed.
    std::optional<SwordRow> row(const SwordEntry& entry);

private:
    struct Seen {
        QString spelling; // the first entry's
        int entries = 0;
    };
    SwordImportResult& m_result;
    QHash<QString, Seen> m_seen; // by the headword case-folded
};

// A rendering of libsword's plain-text filter as a definition: the spaces and line breaks
// around it removed, the entity references the module's text escaped twice (so that the
// filter leaves them, e.g. "&gt;") replaced by their characters, and every line break made
// CR LF, as in the dictionaries' own texts. Paragraph breaks inside are kept.
QString plainDefinition(const QByteArray& rendered);

// True when `text` still holds something that looks like markup: a tag, an RTF control word
// such as \par, or an entity reference.
bool looksLikeMarkup(const QString& text);

} // namespace tolvane::import
