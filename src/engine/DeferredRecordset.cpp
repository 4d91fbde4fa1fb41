#include "engine/DeferredRecordset.h"

namespace tolvane::engine {

DeferredRecordset::DeferredRecordset(RecordsetTypeEnum type, QString description, Opener open)
    : m_type(type), m_description(std::move(description)), m_open(std::move(open)) {}

Recordset& DeferredRecordset::set() const {
    if (m_set)
        return *m_set;
    if (m_closed)
        throw EngineError(err::ObjectClosed,
                          QStringLiteral("Object invalid or no longer set: %1 has been closed.")
                              .arg(m_description));
    m_set = m_open();
    m_open = nullptr;
    return *m_set;
}

void DeferredRecordset::Close() {
    m_closed = true;
    m_open = nullptr;
    if (m_set)
        m_set->Close();
}

} // namespace tolvane::engine
