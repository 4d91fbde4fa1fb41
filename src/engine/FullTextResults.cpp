#include "engine/FullTextResults.h"

#include <algorithm>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::engine {

namespace {

// The index's columns (FullTextIndex.h): the headword first, then the texts.
constexpr int kHeadwordColumn = 0;
constexpr int kDefinitionColumn = 1;

// One word's share of the score: 1 for one occurrence, never reaching kSaturation + 1.
double saturated(int occurrences) {
    constexpr double kSaturation = 1.2;
    return occurrences * (kSaturation + 1) / (occurrences + kSaturation);
}

void rankFunction(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* result, int,
                  sqlite3_value**) {
    int inHeadword = 0;
    double inText = 0;
    const int phrases = api->xPhraseCount(fts);
    for (int phrase = 0; phrase < phrases; ++phrase) {
        Fts5PhraseIter it;
        int column = 0, offset = 0;
        if (const int rc = api->xPhraseFirst(fts, phrase, &it, &column, &offset); rc != SQLITE_OK)
            return sqlite3_result_error_code(result, rc);
        bool headword = false;
        int occurrences = 0;
        for (; column >= 0; api->xPhraseNext(fts, &it, &column, &offset)) {
            if (column == kHeadwordColumn)
                headword = true;
            else
                ++occurrences;
        }
        inHeadword += headword ? 1 : 0;
        inText += saturated(occurrences);
    }
    // The text's share stays below 2.2 a word, so a headword word outweighs any text.
    sqlite3_result_double(result, -(inHeadword * 1000.0 + inText));
}

// The words of a snippet, [first, end) by word number, and the matches among them.
struct SnippetWindow {
    int first = 0;
    int end = 0;
    std::vector<std::pair<int, int>> matches; // word ranges [from, to), in order
    // Filled while the text is read: the byte range of each word of the window.
    std::vector<std::pair<int, int>> bytes;
    int word = 0;
    bool more = false; // the text has words after the window
};

int collectWord(void* context, int flags, const char*, int, int start, int end) {
    auto& window = *static_cast<SnippetWindow*>(context);
    if (flags & FTS5_TOKEN_COLOCATED)
        return SQLITE_OK; // another form of the word before: not a word of its own
    const int word = window.word++;
    if (word >= window.end) {
        window.more = true;
        return SQLITE_DONE; // the rest of the text is not needed
    }
    if (word >= window.first)
        window.bytes.emplace_back(start, end);
    return SQLITE_OK;
}

// Where the snippet comes from: the first text column holding a match, and every match in it.
int chooseColumn(const Fts5ExtensionApi* api, Fts5Context* fts,
                 std::vector<std::pair<int, int>>& matches) {
    const int columns = api->xColumnCount(fts);
    const int phrases = api->xPhraseCount(fts);
    for (int wanted = kDefinitionColumn; wanted < columns; ++wanted) {
        for (int phrase = 0; phrase < phrases; ++phrase) {
            Fts5PhraseIter it;
            int column = 0, offset = 0;
            if (api->xPhraseFirst(fts, phrase, &it, &column, &offset) != SQLITE_OK)
                continue;
            const int words = std::max(1, api->xPhraseSize(fts, phrase));
            for (; column >= 0; api->xPhraseNext(fts, &it, &column, &offset))
                if (column == wanted)
                    matches.emplace_back(offset, offset + words);
        }
        if (!matches.empty())
            return wanted;
    }
    return kDefinitionColumn; // a match in the headword only: the text from its start
}

void snippetFunction(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* result,
                     int argc, sqlite3_value** argv) {
    if (argc != 4)
        return sqlite3_result_error(result, "tolvane_snippet: wrong number of arguments", -1);
    auto text = [&](int i) {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        return std::string(chars ? chars : "", size_t(sqlite3_value_bytes(argv[i])));
    };
    const std::string open = text(0), close = text(1), ellipsis = text(2);
    const int words = std::max(1, sqlite3_value_int(argv[3]));

    SnippetWindow window;
    const int column = chooseColumn(api, fts, window.matches);
    std::sort(window.matches.begin(), window.matches.end());
    // A little of what comes before the first match; from the start when the match is in
    // the first half or so.
    const int before = words / 4;
    const int firstMatch = window.matches.empty() ? 0 : window.matches.front().first;
    window.first = firstMatch < words - 2 * before ? 0 : firstMatch - before;
    window.end = window.first + words;

    const char* source = nullptr;
    int size = 0;
    if (const int rc = api->xColumnText(fts, column, &source, &size); rc != SQLITE_OK)
        return sqlite3_result_error_code(result, rc);
    if (!source || size <= 0)
        return sqlite3_result_text(result, "", 0, SQLITE_STATIC);
    const int rc = api->xTokenize(fts, source, size, &window, collectWord);
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        return sqlite3_result_error_code(result, rc);
    if (window.bytes.empty())
        return sqlite3_result_text(result, "", 0, SQLITE_STATIC);

    std::string snippet;
    const int from = window.first == 0 ? 0 : window.bytes.front().first;
    const int to = window.more ? window.bytes.back().second : size;
    if (window.first > 0)
        snippet += ellipsis;
    int at = from;
    auto wordBytes = [&](int word) { return window.bytes[size_t(word - window.first)]; };
    const int lastWord = window.first + int(window.bytes.size()); // one past
    for (auto [matchFrom, matchTo] : window.matches) {
        matchFrom = std::max(matchFrom, window.first);
        matchTo = std::min(matchTo, lastWord);
        if (matchFrom >= matchTo)
            continue;
        const int start = wordBytes(matchFrom).first;
        if (start < at)
            continue; // overlaps the match before, which is marked already
        const int end = wordBytes(matchTo - 1).second;
        snippet.append(source + at, size_t(start - at));
        snippet += open;
        snippet.append(source + start, size_t(end - start));
        snippet += close;
        at = end;
    }
    snippet.append(source + at, size_t(std::max(0, to - at)));
    if (window.more)
        snippet += ellipsis;
    sqlite3_result_text(result, snippet.data(), int(snippet.size()), SQLITE_TRANSIENT);
}

fts5_api* fts5Of(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &select, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_bind_pointer(select, 1, reinterpret_cast<void*>(&api), "fts5_api_ptr", nullptr);
    sqlite3_step(select);
    sqlite3_finalize(select);
    return api;
}

} // namespace

int registerFullTextResultFunctions(sqlite3* db) {
    fts5_api* fts5 = fts5Of(db);
    if (!fts5)
        return SQLITE_ERROR;
    int rc = fts5->xCreateFunction(fts5, kFullTextRankFunction, nullptr, rankFunction, nullptr);
    if (rc == SQLITE_OK)
        rc = fts5->xCreateFunction(fts5, kFullTextSnippetFunction, nullptr, snippetFunction,
                                   nullptr);
    return rc;
}

} // namespace tolvane::engine
