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

class GuardedText {
public:
    enum Place { AfterGuard, BeforeGuard };
    GuardedText(QStringView text, Place place) {
        const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
        const std::size_t bytes = std::size_t(text.size()) * sizeof(char16_t);
        const std::size_t pages = (bytes + page - 1) / page;
        m_size = (pages + 2) * page;
        m_map = static_cast<char*>(
            ::mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        ::mprotect(m_map, page, PROT_NONE);
        ::mprotect(m_map + m_size - page, page, PROT_NONE);
        char* start = place == AfterGuard ? m_map + page : m_map + m_size - page - bytes;
        std::memcpy(start, text.utf16(), bytes);
        m_view = QStringView(reinterpret_cast<const char16_t*>(start), text.size());
    }
    ~GuardedText() { ::munmap(m_map, m_size); }
    QStringView view() const { return m_view; }

private:
    char* m_map = nullptr;
    std::size_t m_size = 0;
    QStringView m_view;
};

TEST(TextEdges, NothingBeforeTheTextOrPastItsEndIsRead) {
    const HeadwordLookup anyName = [](const QString& name) { return name; };
    for (const char16_t* text :
         {u"2:8", u"2:8, 9; 3:1", u"(2:8", u"Job (2:8", u"1", u"i", u"Gen. 1:1", u"Lev. xxvii. 1",
          u"Gen. 1:1; ver. 2", u"Song of Solomon 2:1", u"See MOSES", u"(See HAGAR; ISHMAEL",
          u"See ", u"Moses (q.v.)", u"q.v.", u"(q.v.)", u"see also Loan"}) {
        for (const auto place : {GuardedText::AfterGuard, GuardedText::BeforeGuard}) {
            const GuardedText guarded(QStringView(text), place);
            SCOPED_TRACE(QString::fromUtf16(text).toStdString());
            const auto references = findReferences(guarded.view(), u"Job");
            for (const ReferenceSpan& span : references)
                EXPECT_LE(span.start + span.length, guarded.view().size());
            for (const EntryPointer& pointer : findEntryPointers(guarded.view(), anyName))
                EXPECT_LE(pointer.start + pointer.length, guarded.view().size());
        }
    }
}

} // namespace
} // namespace tolvane::references
