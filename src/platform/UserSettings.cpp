#include "platform/UserSettings.h"

#include "platform/SettingsFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace tolvane::platform {

namespace {

constexpr int kFarthest = 1'000'000; // pixels from the origin; beyond is no screen of ours
constexpr int kMostDuplicates = 1'000'000;
constexpr int kWidestFrame = 200;

// An INI value with an unquoted comma reads back as a list: what was meant is its text.
std::optional<QString> textValue(const QSettings& s, const QString& key, qsizetype longest) {
    const QVariant value = s.value(key);
    if (!value.isValid())
        return std::nullopt;
    QString text = value.typeId() == QMetaType::QStringList
                       ? value.toStringList().join(QStringLiteral(", "))
                       : value.toString();
    if (text.size() > longest)
        return std::nullopt;
    return text;
}

std::optional<int> intValue(const QSettings& s, const QString& key, int lowest, int highest) {
    bool ok = false;
    const int value = s.value(key).toString().trimmed().toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<bool> boolValue(const QSettings& s, const QString& key) {
    const QString text = s.value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

const QString kOrganization = QStringLiteral("Kestrane");
const QString kApplication = QStringLiteral("Tolvane");

// The user's settings file, found without reading it (a FIFO would stop the program): Qt
// keeps the organisation's file, read beside it anyway, as <folder>/Kestrane.conf and the
// program's as <folder>/Kestrane/Tolvane.conf.
QString userSettingsFile() {
    const QString organizationFile =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganization).fileName();
    return QFileInfo(organizationFile).path() + u'/' + kOrganization + u'/' + kApplication +
           QStringLiteral(".conf");
}

// Which file a path names now: a write through QSaveFile puts a new one in its place.
std::pair<dev_t, ino_t> fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {st.st_dev, st.st_ino};
}

} // namespace

UserSettings::UserSettings() : m_fileName(userSettingsFile()) {
    const QString problem = settingsFileProblem(m_fileName);
    if (!problem.isEmpty()) {
        m_note = problem;
        // Every user setting of this run, the entry zoom's too, goes to the run's own folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, unkeptSettingsFolder());
    }
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kOrganization, kApplication);
}

UserSettings::~UserSettings() = default;

QString UserSettings::fileName() const {
    return m_fileName;
}

std::optional<WindowPlace> UserSettings::windowPlace(const QString& window) const {
    const QSettings& s = *m_settings;
    const auto key = [&](const char* name) { return window + u'/' + QLatin1String(name); };
    const auto left = intValue(s, key("left"), -kFarthest, kFarthest);
    const auto top = intValue(s, key("top"), -kFarthest, kFarthest);
    const auto width = intValue(s, key("width"), 1, kFarthest);
    const auto height = intValue(s, key("height"), 1, kFarthest);
    if (!left || !top || !width || !height)
        return std::nullopt;
    // A frame width that cannot be read counts as none.
    const auto frame = [&](const char* name) {
        return intValue(s, key(name), 0, kWidestFrame).value_or(0);
    };
    return WindowPlace{
        {*left, *top, *width, *height},
        {frame("frameLeft"), frame("frameTop"), frame("frameRight"), frame("frameBottom")},
        boolValue(s, key("maximized")).value_or(false)};
}

void UserSettings::setWindowPlace(const QString& window, const WindowPlace& place) {
    QSettings& s = *m_settings;
    m_changed = true;
    s.remove(window);
    s.beginGroup(window);
    s.setValue(QStringLiteral("left"), place.inner.x());
    s.setValue(QStringLiteral("top"), place.inner.y());
    s.setValue(QStringLiteral("width"), place.inner.width());
    s.setValue(QStringLiteral("height"), place.inner.height());
    s.setValue(QStringLiteral("frameLeft"), place.frame.left());
    s.setValue(QStringLiteral("frameTop"), place.frame.top());
    s.setValue(QStringLiteral("frameRight"), place.frame.right());
    s.setValue(QStringLiteral("frameBottom"), place.frame.bottom());
    s.setValue(QStringLiteral("maximized"), place.maximized);
    s.endGroup();
}

RememberedDictionary UserSettings::openDictionary() const {
    const QSettings& s = *m_settings;
    RememberedDictionary open;
    const auto file = textValue(s, QStringLiteral("Dictionary/file"), kLongestText);
    if (!file || file->isEmpty())
        return open;
    open.dictionary = *file;
    open.searchText =
        textValue(s, QStringLiteral("Dictionary/searchText"), kLongestText).value_or(QString());
    const auto headword = textValue(s, QStringLiteral("Dictionary/headword"), kLongestText);
    const auto duplicate = intValue(s, QStringLiteral("Dictionary/duplicate"), 0, kMostDuplicates);
    if (headword && duplicate) {
        open.headword = *headword;
        open.duplicate = *duplicate;
    }
    return open;
}

void UserSettings::setOpenDictionary(const RememberedDictionary& open) {
    QSettings& s = *m_settings;
    m_changed = true;
    s.remove(QStringLiteral("Dictionary"));
    s.beginGroup(QStringLiteral("Dictionary"));
    s.setValue(QStringLiteral("file"), open.dictionary);
    s.setValue(QStringLiteral("searchText"), open.searchText);
    s.setValue(QStringLiteral("headword"), open.headword);
    s.setValue(QStringLiteral("duplicate"), open.duplicate);
    s.endGroup();
}

RememberedFind UserSettings::find() const {
    const QSettings& s = *m_settings;
    RememberedFind find;
    find.text = textValue(s, QStringLiteral("Find/text"), kLongestText).value_or(QString());
    const QString scope = s.value(QStringLiteral("Find/scope")).toString().trimmed();
    if (scope == QLatin1String("all"))
        find.allDictionaries = true;
    else if (scope == QLatin1String("this"))
        find.allDictionaries = false;
    return find;
}

void UserSettings::setFind(const RememberedFind& find) {
    QSettings& s = *m_settings;
    m_changed = true;
    s.remove(QStringLiteral("Find"));
    s.setValue(QStringLiteral("Find/text"), find.text);
    if (find.allDictionaries)
        s.setValue(QStringLiteral("Find/scope"),
                   *find.allDictionaries ? QStringLiteral("all") : QStringLiteral("this"));
}

QString UserSettings::bible() const {
    return textValue(*m_settings, QStringLiteral("Scripture/bible"), kLongestText)
        .value_or(QString())
        .trimmed();
}

void UserSettings::setBible(const QString& module) {
    m_changed = true;
    m_settings->setValue(QStringLiteral("Scripture/bible"), module);
}

RememberedHistory UserSettings::history() const {
    // Arrays are written by beginWriteArray; reading goes through the same calls. A size out
    // of range (a hand edit) reads the newest kHistoryKept entries it names.
    QSettings& s = *m_settings;
    RememberedHistory history;
    s.beginGroup(QStringLiteral("History"));
    const int size = s.beginReadArray(QStringLiteral("entries"));
    const int first = std::max(0, size - int(kHistoryKept));
    for (int i = first; i < size; ++i) {
        s.setArrayIndex(i);
        const auto dictionary = textValue(s, QStringLiteral("dictionary"), kLongestText);
        const auto headword = textValue(s, QStringLiteral("headword"), kLongestText);
        const auto duplicate = intValue(s, QStringLiteral("duplicate"), 0, kMostDuplicates);
        if (dictionary && headword && duplicate && !dictionary->isEmpty() && !headword->isEmpty())
            history.entries.push_back({*dictionary, *headword, *duplicate});
    }
    s.endArray();
    const std::optional<int> savedCurrent = intValue(s, QStringLiteral("current"), first, size - 1);
    s.endGroup();
    // Entries dropped as damaged shift the rest; the current one is then the newest.
    if (history.entries.empty())
        history.current = 0;
    else if (savedCurrent && history.entries.size() == std::size_t(size - first))
        history.current = std::size_t(*savedCurrent - first);
    else
        history.current = history.entries.size() - 1;
    return history;
}

void UserSettings::setHistory(const RememberedHistory& history) {
    const std::size_t size = history.entries.size();
    const std::size_t current = size ? std::min(history.current, size - 1) : 0;
    // The newest entries, unless the current one lies further back: then those around it.
    std::size_t first = size > kHistoryKept ? size - kHistoryKept : 0;
    if (current < first)
        first = current >= kHistoryKept / 2 ? current - kHistoryKept / 2 : 0;
    const std::size_t end = std::min(size, first + kHistoryKept);

    QSettings& s = *m_settings;
    m_changed = true;
    s.remove(QStringLiteral("History"));
    s.beginGroup(QStringLiteral("History"));
    s.beginWriteArray(QStringLiteral("entries"), int(end - first));
    for (std::size_t i = first; i < end; ++i) {
        s.setArrayIndex(int(i - first));
        s.setValue(QStringLiteral("dictionary"), history.entries[i].dictionary);
        s.setValue(QStringLiteral("headword"), history.entries[i].headword);
        s.setValue(QStringLiteral("duplicate"), history.entries[i].duplicate);
    }
    s.endArray();
    s.setValue(QStringLiteral("current"), int(current - first));
    s.endGroup();
}

void UserSettings::clear() {
    m_changed = true;
    m_settings->clear();
}

bool UserSettings::flush() {
    const auto before = fileIdentity(m_settings->fileName());
    m_settings->sync();
    bool written = m_settings->status() == QSettings::NoError;
    // Once Qt has found part of the file unreadable it says so after every write, the ones
    // that replaced the file too: whether this one did is seen from the file itself.
    if (m_settings->status() == QSettings::FormatError) {
        const bool replaced = fileIdentity(m_settings->fileName()) != before;
        written = replaced || !m_changed;
        if (replaced && !m_toldRewritten) {
            m_toldRewritten = true;
            m_note = QStringLiteral("The settings file %1 could not be read in full; it has "
                                    "been written anew with what Tolvane remembers now.")
                         .arg(QDir::toNativeSeparators(m_fileName));
        }
    }
    if (written)
        m_changed = false;
    return written;
}

QString UserSettings::takeNote() {
    return std::exchange(m_note, QString());
}

} // namespace tolvane::platform
