#pragma once
// A recordset that is opened when it is first used. A window that shows a whole table a page
// at a time (ListPages) still keeps a set over that table for the editor, which seldom uses it:
// reading every row id of a large table for it up front would cost what the pages save.
//
// Type() is known without opening. Every other call opens the set first (`open` is called
// once), then acts on it. Close() before any use opens nothing; the set then fails as a
// closed set does (err::ObjectClosed).

#include "engine/Dao.h"

#include <functional>

namespace tolvane::engine {

class DeferredRecordset final : public Recordset {
public:
    using Opener = std::function<std::shared_ptr<Recordset>()>;
    DeferredRecordset(RecordsetTypeEnum type, QString description, Opener open);

    int RecordCount() const override { return set().RecordCount(); }
    void MoveFirst() override { set().MoveFirst(); }
    void MoveLast() override { set().MoveLast(); }
    void MoveNext() override { set().MoveNext(); }
    void MovePrevious() override { set().MovePrevious(); }
    bool isEOF() const override { return set().isEOF(); }
    bool isBOF() const override { return set().isBOF(); }
    int fieldCount() const override { return set().fieldCount(); }
    QString fieldName(int column) const override { return set().fieldName(column); }
    int columnIndex(const QString& name) const override { return set().columnIndex(name); }

    void AddNew() override { set().AddNew(); }
    void Edit() override { set().Edit(); }
    void Update(UpdateTypeEnum type, bool force) override { set().Update(type, force); }
    void CancelUpdate() override { set().CancelUpdate(); }
    void Delete() override { set().Delete(); }

    RecordsetTypeEnum Type() const override { return m_type; }
    void Close() override;

    TextBlock takeRemainingText(int column) override { return set().takeRemainingText(column); }
    QVariant value(int column) const override { return set().value(column); }
    void setValue(int column, const QVariant& value) override { set().setValue(column, value); }

private:
    Recordset& set() const;

    RecordsetTypeEnum m_type;
    QString m_description;
    mutable Opener m_open;
    mutable std::shared_ptr<Recordset> m_set;
    bool m_closed = false;
};

} // namespace tolvane::engine
