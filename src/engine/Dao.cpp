#include "engine/Dao.h"

#include "engine/OpenDatabase.h"

namespace tolvane::engine {

namespace {

bool g_engineExists = false;

class DefaultWorkspace final : public Workspace {
public:
    std::shared_ptr<Database> OpenDatabase(const QString& path) override {
        return openDatabaseFile(path);
    }
};

} // namespace

Field::Field(std::shared_ptr<Recordset> owner, int column)
    : m_owner(std::move(owner)), m_column(column) {}

QVariant Field::Value() const {
    return m_owner->value(m_column);
}

void Field::SetValue(const QString& text) {
    // A null QString is still a text: store it as the empty text, not as a missing value.
    m_owner->setValue(m_column, QVariant(text.isNull() ? QStringLiteral("") : text));
}

void Field::SetNull() {
    m_owner->setValue(m_column, QVariant());
}

QString Field::Name() const {
    return m_owner->fieldName(m_column);
}

Field Recordset::Fields(const QString& name) {
    const int column = columnIndex(name);
    if (column < 0) {
        QStringList names;
        for (int i = 0; i < fieldCount(); ++i)
            names << fieldName(i);
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: there is no field "
                                         "'%1' (the fields are %2).")
                              .arg(name, names.join(QStringLiteral(", "))));
    }
    return Field(shared_from_this(), column);
}

DBEngine::DBEngine() : m_default(std::make_shared<DefaultWorkspace>()) {
    g_engineExists = true;
}

DBEngine& DBEngine::instance() {
    static DBEngine engine;
    return engine;
}

bool DBEngine::exists() {
    return g_engineExists;
}

std::shared_ptr<Workspace> DBEngine::Workspaces(int index) {
    if (index != 0)
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: workspace %1 (only "
                                         "workspace 0 exists).")
                              .arg(index));
    return m_default;
}

} // namespace tolvane::engine
