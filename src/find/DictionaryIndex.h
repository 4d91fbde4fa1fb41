#pragma once
// One dictionary file made searchable for the Find window, on a connection of its own that
// belongs to the thread that made it (the Find window's background thread):
//
// - a file of the program that may be written keeps its full-text index; a file without one
//   (made before the index existed) gets it on first use, filled in resumable steps;
// - a file that may not be written, and a legacy Jet file, is copied into memory and indexed
//   there, for as long as this object lives.
//
// A long call stops at its next step once `cancelled` answers true (it is asked often, from
// the thread that runs the call) and throws Cancelled; the work done so far is kept.

#include "data/DictionaryConfig.h"
#include "engine/FullTextIndex.h"

#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::find {

// Marks where a snippet's matched words begin and end.
inline constexpr QChar kMatchStart = QChar(0x02);
inline constexpr QChar kMatchEnd = QChar(0x03);

struct FoundEntry {
    const data::DictionaryConfig* dictionary = nullptr;
    qint64 rowid = 0;
    QString headword;
    QString snippet;        // one line, matched words between kMatchStart and kMatchEnd
    int duplicate = 0;      // how many rows holding exactly this headword come before it
    double score = 0;       // lower is better; comparable between dictionaries
    bool described = false; // headword, duplicate and snippet read
};

class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "search cancelled"; }
};

// The first page of a search (FindService's first report), found and ranked but not yet
// described: describe() reads what the rows kept show.
struct FirstPage {
    std::vector<FoundEntry> entries; // best first
    int count = -1;                  // every matching entry, or -1: too many to count at once
};

class DictionaryIndex {
public:
    // Opens the dictionary's file in `folder`. Throws engine::EngineError when it cannot.
    DictionaryIndex(const data::DictionaryConfig& config, const QString& folder,
                    std::function<bool()> cancelled = {});
    ~DictionaryIndex();

    const data::DictionaryConfig& config() const { return m_config; }
    const QString& path() const { return m_path; }
    bool inMemory() const { return m_inMemory; }
    // False once the file on disk has been replaced since it was opened.
    bool stillCurrent() const;

    // Makes the index complete; progress(percent) after each step. Cheap when it is. When
    // the disk holding the file is full, the index is made in memory and takeNote() says so.
    void prepare(const std::function<void(int percent)>& progress = {});
    bool isPrepared();
    // A line for the user about how the file is searched, given once; empty: nothing to say.
    QString takeNote();

    // How many entries match an FTS5 query (engine/FullTextQuery.h). Walks every match.
    int count(const QString& match);
    // The best `listed` entries, and their count, when there are at most `rankAtOnce`
    // matches; with more, the first `shown` in row order, and the count is left to count():
    // ranking or counting them all costs a step per match.
    FirstPage firstPage(const QString& match, int shown, int listed, int rankAtOnce);
    // Reads the headword, the place among equal headwords and the snippet of the entries found
    // that are not described yet.
    void describe(std::span<FoundEntry> found, const QString& match);
    // The matching entries from the offset-th best on, at most `limit` of them, best first;
    // without snippets when they are not wanted yet (they cost the most). Unranked, they come
    // in row order with score 0: ranking costs as many steps as there are matches.
    std::vector<FoundEntry> search(const QString& match, int offset, int limit,
                                   bool withSnippets = true, bool ranked = true);

    // One read transaction held over several of the calls above (each takes one of its own
    // otherwise): the file is locked and checked once, and they all see it as it was.
    class Reading;
    class HeldReading {
    public:
        explicit HeldReading(DictionaryIndex& index);
        ~HeldReading();
        HeldReading(const HeldReading&) = delete;
        HeldReading& operator=(const HeldReading&) = delete;

    private:
        std::unique_ptr<Reading> m_reading;
    };

private:
    void fillIn(std::span<FoundEntry> found, const QString& match, bool withSnippets);
    void openCopy();
    bool waitForListBuild();
    void setUpSearching(engine::sqlite::Connection& connection);
    bool isCancelled() const { return m_cancelled && m_cancelled(); }

    const data::DictionaryConfig& m_config;
    engine::FullTextSource m_source;
    QString m_path;
    std::unique_ptr<engine::sqlite::Connection> m_connection;
    bool m_inMemory = false;
    bool m_prepared = false; // once complete, the triggers keep it so
    QString m_note;
    quint64 m_fileId = 0;
    std::function<bool()> m_cancelled;
};

} // namespace tolvane::find
