#pragma once
// ListPages (Dao.h) for a table without a trusted list index: the pages come from the texts
// ordered on the list build's thread (DatabaseCore::listBuild, ListIndexBuild.h), and from the
// list index itself once the build has added it. Until the texts are ready a page says Pending.
//
// The texts hold as long as the file has not changed since the build began; a page asked for
// after a change says Changed, and the restart that follows reads the index, if there is one
// by then, or waits for a build of the file as it is now.

#include "engine/Dao.h"
#include "engine/DatabaseCore.h"

#include <memory>

namespace tolvane::engine {

class BuiltListPages final : public ListPages {
public:
    BuiltListPages(std::shared_ptr<DatabaseCore> core, TableInfo table, int column);

    bool hasRows() override;
    qint64 textCount() override;
    Step countSome(qsizetype rows) override;
    Step next(TextBlock& into, qsizetype rows) override;
    Step readAt(qsizetype first, qsizetype rows, TextBlock& into) override;
    void restart() override;
    void waitUntilReady() override;
    void setWaitForLocks(bool wait) override;

private:
    // Notices other connections' commits; false, without waiting, when the file is locked
    // and locks are not waited for.
    bool lookForChanges();
    // Pages from the list index, once there is one.
    bool useIndex();
    // Takes the build's texts, once they are ready.
    bool takeTexts();

    std::shared_ptr<DatabaseCore> m_core;
    TableInfo m_table;
    int m_column;
    std::unique_ptr<ListPages> m_indexed;
    std::shared_ptr<const TextBlock> m_texts; // from the build, once read
    quint64 m_stamp = 0;                      // the file as the texts hold it
    qsizetype m_next = 0;                     // the next text to hand out
    bool m_countedNone = false; // a count was given before the texts came: 0, now wrong
};

} // namespace tolvane::engine
