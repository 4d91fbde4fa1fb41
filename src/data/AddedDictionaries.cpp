#include "data/AddedDictionaries.h"

#include "data/FileProblems.h"
#include "engine/EngineError.h"
#include "engine/FileMetadata.h"
#include "engine/sqlite/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <algorithm>
#include <deque>
#include <memory>

namespace tolvane::data {

namespace {

struct Registry {
    QMutex mutex;
    std::deque<std::unique_ptr<DictionaryConfig>> made; // never freed: pointers are kept
    std::vector<const DictionaryConfig*> listed;
    std::vector<UnusableFile> unusable;
};

Registry& registry() {
    static Registry r;
    return r;
}

bool titleBefore(const DictionaryConfig* a, const DictionaryConfig* b) {
    const int byTitle = QString::compare(a->menuCaption, b->menuCaption, Qt::CaseInsensitive);
    return byTitle != 0 ? byTitle < 0 : a->fileName < b->fileName;
}

} // namespace

const DictionaryConfig& addedConfig(const QString& fileName, const QString& title,
                                    const QString& source, int keyDigits) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    for (const auto& c : r.made)
        if (c->fileName == fileName && c->menuCaption == title && c->source == source &&
            c->keyDigits == keyDigits)
            return *c;
    // Shaped as Easton's: same table and columns, same layout. The window name keeps the
    // file's base name so that each added dictionary has a window (and history) of its own.
    QString base = fileName;
    base.chop(qsizetype(sizeof(kAddedSuffix) - 1));
    auto c = std::make_unique<DictionaryConfig>(eastonsConfig());
    c->windowName = QStringLiteral("frmAdded_") + base;
    c->menuCaption = title;
    c->mainCaption = QStringLiteral("Tolvane - ") + title;
    c->fileName = fileName;
    c->pathSuffix = QLatin1Char('/') + fileName;
    c->source = source;
    c->added = true;
    c->keyDigits = keyDigits;
    r.made.push_back(std::move(c));
    return *r.made.back();
}

QString addedFileName(const QString& name) {
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_-]"));
    QString base = QString(name).replace(other, QStringLiteral("_"));
    if (base.isEmpty())
        base = QStringLiteral("dictionary");
    return base + QLatin1String(kAddedSuffix);
}

QString addedFileFor(const QString& folder, const QString& name,
                     const std::function<bool(const AddedFacts&)>& same) {
    const QDir dir(folder);
    QString base = addedFileName(name);
    base.chop(qsizetype(sizeof(kAddedSuffix) - 1));
    for (int n = 1;; ++n) {
        const QString file =
            (n == 1 ? base : base + QStringLiteral("-%1").arg(n)) + QLatin1String(kAddedSuffix);
        if (!QFileInfo::exists(dir.filePath(file)))
            return file;
        if (const auto facts = readAddedFacts(dir.filePath(file)); facts && same(*facts))
            return file;
    }
}

QString swordModuleSource(const QString& module) {
    return QStringLiteral("SWORD module ") + module;
}

namespace {

std::optional<AddedFacts> factsOf(engine::sqlite::Connection& connection) {
    const auto title = engine::readMetadata(connection, QLatin1String(kTitleKey));
    if (!title || title->trimmed().isEmpty())
        return std::nullopt;
    return AddedFacts{
        title->trimmed(),
        engine::readMetadata(connection, QLatin1String(kSourceKey)).value_or(QString()),
        engine::readMetadata(connection, QLatin1String(kKeyDigitsKey)).value_or(QString()).toInt()};
}

// One file of the folder: an added dictionary (facts, nothing wrong), a file that cannot be
// one (what is wrong), or neither (another program's database, or one that cannot be looked
// into now: locked, or with a change to roll back first).
struct Examined {
    std::optional<AddedFacts> facts;
    FileCheck check;
};

Examined examine(const QString& path) {
    Examined examined;
    examined.check = checkFileKind(path, true);
    if (examined.check.fault == FileCheck::Fault::Missing) // gone since the folder was read
        examined.check = QFileInfo(path).isSymLink()
                             ? FileCheck{FileCheck::Fault::Foreign,
                                         QStringLiteral("is a link to a file that is not there")}
                             : FileCheck{};
    if (!examined.check.ok())
        return examined;
    try {
        engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadOnly);
        examined.facts = factsOf(connection);
        if (examined.facts)
            examined.check = checkDictionaryTable(connection, eastonsConfig());
    } catch (const engine::EngineError& e) {
        if (e.number() == engine::err::UnrecognizedFormat)
            examined.check = {FileCheck::Fault::Damaged, QStringLiteral("is damaged")};
    }
    return examined;
}

QString stateOf(const FileCheck& check) {
    switch (check.fault) {
    case FileCheck::Fault::Foreign:
        return QStringLiteral("not a dictionary");
    case FileCheck::Fault::Unreadable:
        return QStringLiteral("cannot be read");
    default:
        return QStringLiteral("damaged");
    }
}

} // namespace

std::optional<AddedFacts> readAddedFacts(const QString& path) {
    try {
        engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadOnly);
        return factsOf(connection);
    } catch (const engine::EngineError&) {
        return std::nullopt; // not a dictionary file of ours
    }
}

void writeAddedFacts(engine::sqlite::Connection& connection, const DictionaryConfig& config) {
    engine::writeMetadata(connection, QLatin1String(kTitleKey), config.menuCaption);
    engine::writeMetadata(connection, QLatin1String(kSourceKey), config.source);
    if (config.keyDigits > 0)
        engine::writeMetadata(connection, QLatin1String(kKeyDigitsKey),
                              QString::number(config.keyDigits));
}

const std::vector<const DictionaryConfig*>& rescanAddedDictionaries(const QString& folder) {
    std::vector<const DictionaryConfig*> found;
    std::vector<UnusableFile> unusable;
    const QDir dir(folder);
    // Unreadable files and anything but regular files too: they are listed as what they are.
    const QStringList files = dir.entryList({QStringLiteral("*") + QLatin1String(kAddedSuffix)},
                                            QDir::Files | QDir::System, QDir::Name);
    for (const QString& file : files) {
        const Examined examined = examine(dir.filePath(file));
        const QString title = examined.facts ? examined.facts->title : QString();
        if (!examined.check.ok())
            unusable.push_back({file, title, stateOf(examined.check),
                                unusableFileMessage(file, title, examined.check)});
        else if (const auto& facts = examined.facts)
            found.push_back(&addedConfig(file, facts->title, facts->source, facts->keyDigits));
    }
    std::sort(found.begin(), found.end(), titleBefore);
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.listed = std::move(found);
    r.unusable = std::move(unusable);
    return r.listed;
}

const std::vector<const DictionaryConfig*>& addedConfigs() {
    return registry().listed;
}

const std::vector<UnusableFile>& unusableAddedFiles() {
    return registry().unusable;
}

std::vector<const DictionaryConfig*> everyConfig() {
    std::vector<const DictionaryConfig*> all = allConfigs();
    const auto& added = addedConfigs();
    all.insert(all.end(), added.begin(), added.end());
    return all;
}

} // namespace tolvane::data
