// libsword is asked only for keys it has checked itself: a verse the module's versification
// lacks sets an error and leaves the key on another verse (Revelation 1:1), so every key is
// read back and compared before its text is taken.

#include "VerseMode.h"

#include "SwordLibrary.h"
#include "references/VerseProtocol.h"

#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tolvane::swordread {

namespace {

namespace vp = references::verseprotocol;

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        out.push_back(field);
    if (!line.empty() && line.back() == '\t')
        out.emplace_back();
    return out;
}

std::string flat(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string abbreviation(sword::SWModule* m) {
    const char* a = m->getConfigEntry("Abbreviation");
    return a && *a ? a : m->getName();
}

std::vector<sword::SWModule*> bibles(SwordLibrary& library) {
    std::vector<sword::SWModule*> out;
    for (const ModuleInfo& info : library.modules())
        if (info.type == sword::SWMgr::MODTYPE_BIBLES)
            if (sword::SWModule* m = library.module(info.name))
                out.push_back(m);
    return out;
}

// The module's key on exactly this verse, or nullptr when its versification lacks it.
std::unique_ptr<sword::VerseKey> verseKey(sword::SWModule* m, const std::string& book, int c,
                                          int v) {
    std::unique_ptr<sword::SWKey> key(m->createKey());
    auto* vk = dynamic_cast<sword::VerseKey*>(key.get());
    if (!vk)
        return nullptr;
    key.release();
    std::unique_ptr<sword::VerseKey> owned(vk);
    owned->setIntros(false);
    owned->setAutoNormalize(false);
    owned->setText((book + " " + std::to_string(c) + ":" + std::to_string(v)).c_str());
    if (owned->popError() || book != owned->getOSISBookName() || owned->getChapter() != c ||
        owned->getVerse() != v || v < 1 || v > owned->getVerseMax() || c > owned->getChapterMax())
        return nullptr;
    return owned;
}

// The book is in the module's versification and the module holds text of it: its first
// verse or the verse asked for (a module may hold only part of a book).
bool hasBook(sword::SWModule* m, const std::string& book, int c = 1, int v = 1) {
    auto first = verseKey(m, book, 1, 1);
    auto asked = verseKey(m, book, c, std::max(v, 1));
    return first && ((asked && m->hasEntry(asked.get())) || m->hasEntry(first.get()));
}

// Where the answer goes, and the tag of the request it answers (empty when it had none).
struct Answer {
    std::FILE* out;
    std::string tag;
};

void listBibles(SwordLibrary& library, const Answer& a) {
    for (sword::SWModule* m : bibles(library))
        std::fprintf(a.out, "B\t%s\t%s\t%s\n", m->getName(), flat(abbreviation(m)).c_str(),
                     flat(m->getDescription() ? m->getDescription() : "").c_str());
    std::fprintf(a.out, "Z\t0\t%s\n", a.tag.c_str());
}

void failure(const Answer& a, const char* kind, const std::string& message) {
    std::fprintf(a.out, "X\t%s\t%s\nZ\t0\t%s\n", kind, flat(message).c_str(), a.tag.c_str());
}

void verses(SwordLibrary& library, const std::vector<std::string>& f, const Answer& out) {
    if (f.size() < 8) {
        failure(out, vp::kDamaged, "a request the helper does not understand");
        return;
    }
    const std::string& wanted = f[1];
    const std::string& book = f[2];
    const int c = std::atoi(f[3].c_str());
    int v = std::atoi(f[4].c_str());
    const int ec = std::atoi(f[5].c_str());
    int ev = std::atoi(f[6].c_str());
    const long most = std::atol(f[7].c_str());
    const auto all = bibles(library);
    if (all.empty()) {
        failure(out, vp::kNoBible, "no Bible is installed");
        return;
    }
    // The Bible asked for (one no longer installed counts as none asked for), else the KJV,
    // else the first; when it lacks the book, the next in the list that has it, wrapping
    // round, and the answer names the one that lacked it.
    auto named = std::find_if(all.begin(), all.end(),
                              [&](sword::SWModule* b) { return wanted == b->getName(); });
    if (named == all.end())
        named = std::find_if(all.begin(), all.end(),
                             [](sword::SWModule* b) { return abbreviation(b) == "KJV"; });
    const size_t first = named == all.end() ? 0 : size_t(named - all.begin());
    sword::SWModule* m = nullptr;
    for (size_t i = 0; !m && i < all.size(); ++i)
        if (sword::SWModule* candidate = all[(first + i) % all.size()];
            hasBook(candidate, book, c, v))
            m = candidate;
    if (!m) {
        failure(out, vp::kNoBook, "no installed Bible holds the book");
        return;
    }
    const std::string lacking = named != all.end() && *named != m ? flat(abbreviation(*named)) : "";
    std::vector<std::string> lines;
    long count = 0;
    bool anyText = false;
    library.takeError();
    for (int chapter = c; chapter <= ec; ++chapter) {
        auto first = verseKey(m, book, chapter, 1);
        if (!first) {
            failure(out, vp::kNoBook, std::string(m->getName()) + " lacks the chapter");
            return;
        }
        const int last = (v == 0 || chapter < ec) ? first->getVerseMax() : ev;
        for (int verse = (chapter == c && v > 0) ? v : 1; verse <= last; ++verse, ++count) {
            if (count >= most)
                continue; // counted, not sent
            auto key = verseKey(m, book, chapter, verse);
            if (!key) {
                failure(out, vp::kNoBook, std::string(m->getName()) + " lacks the verse");
                return;
            }
            m->setKey(*key);
            const std::string text = library.renderPlain(m);
            if (const std::string error = library.takeError(); !error.empty()) {
                failure(out, vp::kDamaged, "libsword reports: " + error);
                return;
            }
            anyText = anyText || !flat(text).empty();
            lines.push_back("T\t" + std::to_string(chapter) + "\t" + std::to_string(verse) + "\t" +
                            flat(text) + "\n");
        }
    }
    // A module whose index is cut short gives empty texts without reporting anything.
    if (!anyText) {
        failure(out, vp::kDamaged, std::string(m->getName()) + " gives no text for these verses");
        return;
    }
    std::fprintf(out.out, "M\t%s\t%s\t%s\n", m->getName(), flat(abbreviation(m)).c_str(),
                 lacking.c_str());
    for (const std::string& line : lines)
        std::fputs(line.c_str(), out.out);
    std::fprintf(out.out, "Z\t%ld\t%s\n", count, out.tag.c_str());
}

// One line of `in` without its end, at most vp::kLongestRequest bytes of it kept; the rest of
// a longer one is read and dropped, and `whole` is false. False at the end of the input.
bool readRequest(std::FILE* in, std::string& line, bool& whole) {
    line.clear();
    whole = true;
    int c = std::getc(in);
    if (c == EOF)
        return false;
    for (; c != EOF && c != '\n'; c = std::getc(in)) {
        if (line.size() < vp::kLongestRequest)
            line.push_back(char(c));
        else
            whole = false;
    }
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// A request's tag: its first field, when that is a number.
bool isTag(const std::string& field) {
    return !field.empty() && field.size() <= 18 &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

int serveVerses(SwordLibrary& library, std::FILE* in, std::FILE* out) {
    std::string line;
    bool whole = true;
    while (readRequest(in, line, whole)) {
        auto f = fields(line);
        Answer answer{out, {}};
        if (!f.empty() && isTag(f[0])) {
            answer.tag = f[0];
            f.erase(f.begin());
        } else {
            f.clear(); // untagged: not a request of the program's
        }
        if (!whole)
            failure(answer, vp::kDamaged, "a request longer than the helper takes");
        else if (!f.empty() && f[0] == "B")
            listBibles(library, answer);
        else if (!f.empty() && f[0] == "V")
            verses(library, f, answer);
        else
            failure(answer, vp::kDamaged, "a request the helper does not understand");
        std::fflush(out);
    }
    return 0;
}

} // namespace tolvane::swordread
