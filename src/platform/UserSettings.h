#pragma once
// What the program remembers between runs, in the user's settings file
// ($XDG_CONFIG_HOME/Kestrane/Tolvane.conf, by default ~/.config/Kestrane/Tolvane.conf; the entry
// zoom is kept there too): the places of the main and Find windows, the open dictionary with
// its search text and shown entry, the Find text and scope, the Bible chosen for Scripture
// references, and the last entries of the
// history. No file means the first start: every reader returns "nothing remembered".
//
// Contract of every reader: a value that is missing, of the wrong kind or out of range
// (a damaged or hand-edited file) reads as not remembered, and the caller uses its default;
// nothing here throws or stops the program. Writers replace the whole group they write.
// Dictionaries are named by their file name ("data.mdb"), which also names an added one.
//
// A settings file that is not the user's own (platform/SettingsFileCheck.h: a link to a
// device, a FIFO, another user's file) is neither read nor written: every settings file of
// the user's is then kept in a folder of this run's own, so that all works as usual until
// the program ends, and the note says so.

#include <QMargins>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

namespace tolvane::platform {

// A top-level window's place: its inner rectangle on the screen (QWidget::geometry, without
// the frame the window manager adds; for a maximised window, the rectangle it returns to),
// and the frame's width on each side when it was written, so that the whole window can be
// checked against the screens before the frame is there again.
struct WindowPlace {
    QRect inner;
    QMargins frame;
    bool maximized = false;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct RememberedEntry {
    QString dictionary; // file name
    QString headword;
    int duplicate = 0; // which of several entries with an equal headword (0 = the first)
    friend bool operator==(const RememberedEntry&, const RememberedEntry&) = default;
};

// The dictionary open in the main window.
struct RememberedDictionary {
    QString dictionary; // file name; empty: none was open
    QString searchText;
    QString headword; // the entry shown; empty: none
    int duplicate = 0;
    friend bool operator==(const RememberedDictionary&, const RememberedDictionary&) = default;
};

struct RememberedFind {
    QString text;
    std::optional<bool> allDictionaries; // nullopt: the window chooses as on a first start
    friend bool operator==(const RememberedFind&, const RememberedFind&) = default;
};

// The history for Back and Forward; `current` indexes `entries` (0 when it is empty).
struct RememberedHistory {
    std::vector<RememberedEntry> entries;
    std::size_t current = 0;
    friend bool operator==(const RememberedHistory&, const RememberedHistory&) = default;
};

class UserSettings {
public:
    static constexpr std::size_t kHistoryKept = 100;
    static constexpr qsizetype kLongestText = 1000; // longer search or Find texts are dropped

    UserSettings(); // the user's settings file; the first made in a run decides where
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    QString fileName() const; // the user's settings file, kept or not

    // "MainWindow" or "FindWindow".
    std::optional<WindowPlace> windowPlace(const QString& window) const;
    void setWindowPlace(const QString& window, const WindowPlace& place);

    RememberedDictionary openDictionary() const;
    void setOpenDictionary(const RememberedDictionary& open);

    RememberedFind find() const;
    void setFind(const RememberedFind& find);

    // Writing keeps the kHistoryKept entries around the current one (the newest when it is
    // among them).
    RememberedHistory history() const;
    void setHistory(const RememberedHistory& history);

    // The Bible chosen for the verses of references (a SWORD module's name); empty: none.
    QString bible() const;
    void setBible(const QString& module);

    // Forgets everything, the entry zoom included: the next start is a first start.
    void clear();
    // Writes what was set to the file. False, and the file as before, when it cannot be
    // written; true too when the settings are not kept (the note says so).
    bool flush();

    // What the user is to be told about the file, each thing once (empty: nothing new): that
    // settings are not kept and why, or, after a flush, that a file that could not be read
    // has been written anew.
    QString takeNote();

private:
    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    QString m_note;
    bool m_changed = false;       // set since the last flush
    bool m_toldRewritten = false; // the note on an unreadable file was given
};

} // namespace tolvane::platform
