// The finders read nothing outside the text they are given. Each text is placed right after
// an unreadable page, then right before one: a look one character before its start ("2:8"
// opening an entry) or past its end stops the test with SIGSEGV, whatever the memory beside
// would have held and whether or not Qt's assertions are built in.

#include "references/EntryPointers.h"
#include "references/ReferenceFinder.h"

#include <QString>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace tolvane::references {
namespace {

// Three pages, the outer two unreadable; a text (under a page) goes at either end of the
// middle one.
class GuardedPage {
public:
    GuardedPage()
        : m_page(std::size_t(::sysconf(_SC_PAGESIZE))),
          m_map(static_cast<char*>(::mmap(nullptr, 3 * m_page, PROT_READ | PROT_WRITE,
                                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {
        ::mprotect(m_map, m_page, PROT_NONE);
        ::mprotect(m_map + 2 * m_page, m_page, PROT_NONE);
    }
    ~GuardedPage() { ::munmap(m_map, 3 * m_page); }
    QStringView place(QStringView text, bool atEnd) {
        const std::size_t bytes = std::size_t(text.size()) * sizeof(char16_t);
        char* start = atEnd ? m_map + 2 * m_page - bytes : m_map + m_page;
        std::memcpy(start, text.utf16(), bytes);
        return {reinterpret_cast<const char16_t*>(start), text.size()};
    }

private:
    std::size_t m_page;
    char* m_map;
};

TEST(TextEdges, NothingBeforeTheTextOrPastItsEndIsRead) {
    const HeadwordLookup anyName = [](const QString& name) { return name; };
    GuardedPage page;
    for (const char16_t* text : {u"2:8",
                                 u"2:8, 9; 3:1",
                                 u"(2:8",
                                 u"Job (2:8",
                                 u"1",
                                 u"i",
                                 u"Gen. 1:1",
                                 u"Lev. xxvii. 1",
                                 u"Gen. 1:1; ver. 2",
                                 u"Song of Solomon 2:1",
                                 u"See MOSES",
                                 u"(See HAGAR; ISHMAEL",
                                 u"See ",
                                 u"Moses (q.v.)",
                                 u"q.v.",
                                 u"(q.v.)",
                                 u"see also Loan",
                                 u"Isaiah, 1:1",
                                 u"Hebrews, ch. 7",
                                 u"Gen. 1:2-ch. 3",
                                 u"88th Psalm",
                                 u"Ex. 14, 15 and 16",
                                 u"Jer. 5: 7",
                                 u"Ezekiel (1-10",
                                 u"Num. ch. 1",
                                 u"Gen. 1:1-2: 3",
                                 u"Gen. 5. 4",
                                 u"(1.) x\n(2.) 1:1",
                                 u"Am 2:4",
                                 u"Acts 6."}) {
        for (const bool atEnd : {false, true}) {
            SCOPED_TRACE(QString::fromUtf16(text).toStdString());
            const QStringView view = page.place(QStringView(text), atEnd);
            for (const ReferenceSpan& span : findReferences(view, u"Job"))
                EXPECT_LE(span.start + span.length, view.size());
            for (const EntryPointer& pointer : findEntryPointers(view, anyName))
                EXPECT_LE(pointer.start + pointer.length, view.size());
        }
    }
}

} // namespace
} // namespace tolvane::references
