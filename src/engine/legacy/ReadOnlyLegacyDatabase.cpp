#include "engine/legacy/ReadOnlyLegacyDatabase.h"

#include <QRegularExpression>

namespace tolvane::engine::legacy {

namespace {

QString shellQuoted(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:,=@%-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Every write of a recordset over a legacy file comes here.
[[noreturn]] void refuse(const QString& path, const QString& action) {
    throw EngineError(err::ReadOnly,
                      QStringLiteral("Cannot %1: %2").arg(action, legacyReadOnlyExplanation(path)));
}

class ReadOnlyLegacyRecordset final : public Recordset {
public:
    ReadOnlyLegacyRecordset(std::shared_ptr<Recordset> inner, QString path)
        : m_inner(std::move(inner)), m_path(std::move(path)) {}

    int RecordCount() const override { return m_inner->RecordCount(); }
    void MoveFirst() override { m_inner->MoveFirst(); }
    void MoveLast() override { m_inner->MoveLast(); }
    void MoveNext() override { m_inner->MoveNext(); }
    void MovePrevious() override { m_inner->MovePrevious(); }
    bool isEOF() const override { return m_inner->isEOF(); }
    bool isBOF() const override { return m_inner->isBOF(); }
    int fieldCount() const override { return m_inner->fieldCount(); }
    QString fieldName(int column) const override { return m_inner->fieldName(column); }
    int columnIndex(const QString& name) const override { return m_inner->columnIndex(name); }
    RecordsetTypeEnum Type() const override { return m_inner->Type(); }
    QVariant value(int column) const override { return m_inner->value(column); }
    TextBlock takeRemainingText(int column) override { return m_inner->takeRemainingText(column); }
    void Close() override { m_inner->Close(); }

    void AddNew() override { refuse(m_path, QStringLiteral("add a row")); }
    void Edit() override { refuse(m_path, QStringLiteral("change a row")); }
    void Update(UpdateTypeEnum, bool) override { refuse(m_path, QStringLiteral("store a row")); }
    void CancelUpdate() override { m_inner->CancelUpdate(); }
    void Delete() override { refuse(m_path, QStringLiteral("delete a row")); }
    void setValue(int, const QVariant&) override {
        refuse(m_path, QStringLiteral("change a value"));
    }

private:
    std::shared_ptr<Recordset> m_inner;
    QString m_path;
};

class ReadOnlyLegacy final : public Database {
public:
    ReadOnlyLegacy(std::shared_ptr<Database> copy, QString path)
        : m_copy(std::move(copy)), m_path(std::move(path)) {}

    std::shared_ptr<Recordset> OpenRecordset(const QString& source,
                                             std::optional<RecordsetTypeEnum> type) override {
        return std::make_shared<ReadOnlyLegacyRecordset>(m_copy->OpenRecordset(source, type),
                                                         m_path);
    }
    std::shared_ptr<Recordset>
    OpenRecordsetInListOrder(const QString& source, const QString& column,
                             std::optional<RecordsetTypeEnum> type) override {
        return std::make_shared<ReadOnlyLegacyRecordset>(
            m_copy->OpenRecordsetInListOrder(source, column, type), m_path);
    }
    void Close() override { m_copy->Close(); }
    QString Name() const override { return m_copy->Name(); }
    bool isReadOnly() const override { return true; }

private:
    std::shared_ptr<Database> m_copy;
    QString m_path;
};

} // namespace

QString legacyReadOnlyExplanation(const QString& path) {
    return QStringLiteral("'%1' is a legacy Jet database and is opened read-only. Convert it with: "
                          "tolvane-import %2")
        .arg(path, shellQuoted(path));
}

std::shared_ptr<Database> readOnlyLegacyDatabase(std::shared_ptr<Database> copy,
                                                 const QString& path) {
    return std::make_shared<ReadOnlyLegacy>(std::move(copy), path);
}

} // namespace tolvane::engine::legacy
