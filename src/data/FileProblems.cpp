#include "data/FileProblems.h"

#include "engine/EngineError.h"
#include "engine/FileSniffer.h"
#include "engine/RegularFile.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>

namespace tolvane::data {

namespace {

using Fault = FileCheck::Fault;

// What a file that is no database holds, as far as the shared MIME database can tell from
// its first bytes (its name would only say what it was meant to be).
QString notADictionary(const QString& path) {
    QFile file;
    QByteArray head;
    if (!engine::openRegularFile(path, file))
        head = file.read(4096);
    const QMimeType type = QMimeDatabase().mimeTypeForData(head);
    const QString comment = type.comment();
    if (type.isDefault() || comment.isEmpty())
        return QStringLiteral("is not a dictionary file");
    const bool vowel = QStringLiteral("AEIOUaeiou").contains(comment.front());
    return QStringLiteral("is not a dictionary file (it is %1 %2)")
        .arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), comment);
}

// The word tolvane-import --dictionary takes for one of the three; empty for an added one.
QString importWord(const DictionaryConfig& config) {
    if (&config == &kingJamesConfig())
        return QStringLiteral("kjv");
    if (&config == &eastonsConfig())
        return QStringLiteral("eastons");
    if (&config == &hitchcockConfig())
        return QStringLiteral("hitchcock");
    return {};
}

bool aboutTheFile(int number) {
    namespace err = engine::err;
    return number == err::FileNotFound || number == err::UnrecognizedFormat ||
           number == err::TableNotFound || number == err::ItemNotFound;
}

// Looks again at a file that failed to open with `error`: what is wrong with it.
FileCheck faultBehind(const DictionaryConfig& config, const QString& path,
                      const NumberedError& error) {
    FileCheck check = checkDictionaryFile(path, config);
    // A fault deeper in an SQLite file than the cheap look reaches. (A legacy file that
    // cannot be read says why itself: its reading helper may be missing, say.)
    if (check.ok() && error.number() == engine::err::UnrecognizedFormat &&
        engine::sniffDatabaseFile(path).kind == engine::FileKind::SQLite)
        check = {Fault::Damaged, QStringLiteral("is damaged")};
    return check;
}

} // namespace

QString dictionaryTitle(const DictionaryConfig& config) {
    return config.mainCaption.section(QStringLiteral(" - "), 1);
}

FileCheck checkDictionaryTable(engine::sqlite::Connection& connection,
                               const DictionaryConfig& config) {
    QStringList columns;
    engine::sqlite::Statement info(
        connection,
        QStringLiteral("PRAGMA table_info(%1)").arg(engine::quoteIdentifier(config.table)));
    while (info.step())
        columns << info.columnText(1);
    if (columns.isEmpty())
        return {Fault::Damaged,
                QStringLiteral("holds no entries of this dictionary (it has no table '%1')")
                    .arg(config.table)};
    QStringList wanted{config.headwordColumn, config.definitionColumn};
    if (config.hasScripture())
        wanted << config.scriptureColumn;
    for (const QString& column : wanted)
        if (!columns.contains(column, Qt::CaseInsensitive))
            return {Fault::Damaged, QStringLiteral("is damaged: its table '%1' has no column '%2'")
                                        .arg(config.table, column)};
    return {};
}

void requireDictionaryTable(engine::sqlite::Connection& connection,
                            const DictionaryConfig& config) {
    if (const FileCheck check = checkDictionaryTable(connection, config); !check.ok())
        throw engine::EngineError(
            engine::err::TableNotFound,
            QStringLiteral("%1 %2.").arg(connection.displayName(), check.why));
}

QString diskFullSearchNote(const DictionaryConfig& config, const QString& path) {
    return QStringLiteral("The disk is full: %1 could not be prepared for searching in its file "
                          "%2, so it is searched from a copy in memory for now. Free some space "
                          "on that disk; Tolvane prepares the file at its next start.")
        .arg(dictionaryTitle(config), QDir::toNativeSeparators(path));
}

FileCheck checkFileKind(const QString& path, bool added) {
    const engine::FileSniff sniff = engine::sniffDatabaseFile(path);
    switch (sniff.kind) {
    case engine::FileKind::Missing:
        return {Fault::Missing, QStringLiteral("is not there")};
    case engine::FileKind::Folder:
        return {Fault::Foreign, QStringLiteral("is a folder, not a dictionary file")};
    case engine::FileKind::Special:
        return {Fault::Foreign, QStringLiteral("is %1, not a dictionary file").arg(sniff.detail)};
    case engine::FileKind::Unreadable:
        return {Fault::Unreadable, QStringLiteral("cannot be read (%1)").arg(sniff.detail)};
    case engine::FileKind::Empty:
        return {Fault::Damaged, QStringLiteral("is empty")};
    case engine::FileKind::Truncated:
        return {Fault::Damaged, QStringLiteral("is cut short (%1)").arg(sniff.detail)};
    case engine::FileKind::Unknown:
        return {Fault::Foreign, notADictionary(path)};
    case engine::FileKind::Jet: // the original program's format, read for the three only
        if (added)
            return {
                Fault::Foreign,
                QStringLiteral("is an Access (Jet) database, not a dictionary file of Tolvane")};
        return {};
    case engine::FileKind::SQLite:
        break;
    }
    return {};
}

FileCheck checkDictionaryFile(const QString& path, const DictionaryConfig& config) {
    if (FileCheck kind = checkFileKind(path, config.added); !kind.ok())
        return kind;
    if (engine::sniffDatabaseFile(path).kind == engine::FileKind::Jet)
        return {};
    try {
        engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadOnly,
                                              QDir::toNativeSeparators(path));
        return checkDictionaryTable(connection, config);
    } catch (const engine::EngineError& e) {
        if (e.number() == engine::err::UnrecognizedFormat)
            return {Fault::Damaged, QStringLiteral("is damaged")};
        return {}; // locked, or a change to roll back first: opening it for use tells
    }
}

QString faultMessage(const DictionaryConfig& config, const QString& path, const FileCheck& check) {
    const QString title = dictionaryTitle(config);
    const QString file = QDir::toNativeSeparators(path);
    if (config.added && check.fault == Fault::Missing)
        return QStringLiteral("That dictionary was removed: \"%1\" is no longer in the dictionary "
                              "folder (%2 is not there).\n\nTo have it again, add it with "
                              "Dictionaries > Get Dictionaries...")
            .arg(title, file);
    const QString what =
        QStringLiteral("%1 cannot be opened: its file %2 %3.")
            .arg(config.added ? QLatin1Char('"') + title + QLatin1Char('"') : title, file,
                 check.why);
    QString remedy;
    if (check.fault == Fault::Unreadable)
        remedy = QStringLiteral("Give yourself permission to read the file (its owner can, with "
                                "chmod u+r), or put a readable copy in its place.");
    else if (config.added)
        remedy = QStringLiteral("Remove it with Dictionaries > Get Dictionaries... (Remove), then "
                                "add the dictionary again there.");
    else
        remedy =
            QStringLiteral("%1 this dictionary's own file there (%2, from the Tolvane package "
                           "or the original program), or make one with \"tolvane-import "
                           "--dictionary %3 FILE.csv\".")
                .arg(check.fault == Fault::Missing ? QStringLiteral("Put")
                                                   : QStringLiteral("Move that file away and put"),
                     config.fileName, importWord(config));
    return what + QStringLiteral("\n\n") + remedy;
}

QString addedDictionaryProblem(const DictionaryConfig& config, const QString& folder) {
    const QString path = QDir(folder).filePath(config.fileName);
    const FileCheck check = checkDictionaryFile(path, config);
    return check.ok() ? QString() : faultMessage(config, path, check);
}

QString unusableFileMessage(const QString& fileName, const QString& title, const FileCheck& check) {
    const QString what =
        title.isEmpty()
            ? QStringLiteral("The file %1 in the dictionary folder %2.").arg(fileName, check.why)
            : QStringLiteral("\"%1\" cannot be opened: its file %2 %3.")
                  .arg(title, fileName, check.why);
    return what + QStringLiteral("\n\nRemove it with Dictionaries > Get Dictionaries... (Remove), "
                                 "or move it out of the dictionary folder; then add the "
                                 "dictionary again.");
}

engine::EngineError openingFailure(const DictionaryConfig& config, const QString& path,
                                   const NumberedError& error) {
    if (aboutTheFile(error.number()))
        if (const FileCheck check = faultBehind(config, path, error); !check.ok())
            return engine::EngineError(error.number(), faultMessage(config, path, check),
                                       Telling::PlainWords);
    QString text = error.message();
    if (!text.contains(QDir::toNativeSeparators(path)))
        text += QStringLiteral("\n\nDictionary file: %1").arg(QDir::toNativeSeparators(path));
    return engine::EngineError(error.number(), text,
                               error.inPlainWords() ? Telling::PlainWords : Telling::WithNumber);
}

QString searchFailure(const DictionaryConfig& config, const QString& path,
                      const NumberedError& error) {
    const QString title = dictionaryTitle(config);
    const QString file = QDir::toNativeSeparators(path);
    if (error.inPlainWords() || !aboutTheFile(error.number()))
        return error.message();
    const FileCheck check = faultBehind(config, path, error);
    if (check.ok())
        return error.message();
    if (config.added && check.fault == Fault::Missing)
        return QStringLiteral("%1 could not be searched: that dictionary was removed (%2 is not "
                              "there).")
            .arg(title, file);
    return QStringLiteral("%1 could not be searched: its file %2 %3. %4")
        .arg(title, file, check.why,
             check.fault == Fault::Unreadable
                 ? QStringLiteral("Give yourself permission to read it.")
             : config.added ? QStringLiteral("Remove it in Get Dictionaries, then add it again.")
                            : QStringLiteral("Put this dictionary's own file in its place."));
}

} // namespace tolvane::data
