#include "dictwindow/WordList.h"

#include "dictwindow/WordListModel.h"
#include "platform/Error.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tolvane::dictwindow {

namespace {
// Raised for an item number outside the list, numbered as the list box's own error.
constexpr int kInvalidIndexError = 381;

// Counts nesting, so that a scope opened inside another keeps the flag up.
class FlagScope {
public:
    explicit FlagScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~FlagScope() { --m_depth; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    int& m_depth;
};
} // namespace

WordList::WordList(QWidget* parent) : QListView(parent), m_model(new WordListModel(this)) {
    setObjectName(QStringLiteral("lstdata"));
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the same height; without this a long list measures each row first.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (m_filling > 0 || m_userInput == 0 || !current.isValid())
                    return;
                m_emittedDuringInput = true;
                Q_EMIT clicked(current.row());
            });
    // A click on the item that is already selected changes nothing in the selection model,
    // but it is still the user choosing that word.
    connect(this, qOverload<const QModelIndex&>(&QAbstractItemView::clicked), this,
            [this](const QModelIndex& index) {
                if (m_filling > 0 || !index.isValid() || m_pressEmitted)
                    return;
                if (index == currentIndex())
                    Q_EMIT clicked(index.row());
            });
}

void WordList::Clear() {
    FlagScope filling(m_filling);
    m_model->clear();
}

void WordList::AddItem(const QString& item) {
    FlagScope filling(m_filling);
    m_model->insert(item);
}

void WordList::setItems(QStringList items) {
    FlagScope filling(m_filling);
    m_model->replace(std::move(items));
}

QString WordList::List(int index) const {
    if (index < 0 || index >= m_model->size())
        throw NumberedError(kInvalidIndexError, QStringLiteral("Invalid property array index"));
    return m_model->at(index);
}

int WordList::ListIndex() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

int WordList::ListCount() const { return m_model->size(); }

void WordList::mousePressEvent(QMouseEvent* event) {
    FlagScope input(m_userInput);
    m_emittedDuringInput = false;
    QListView::mousePressEvent(event);
    m_pressEmitted = m_emittedDuringInput;
}

void WordList::mouseMoveEvent(QMouseEvent* event) {
    FlagScope input(m_userInput);
    QListView::mouseMoveEvent(event);
}

void WordList::keyPressEvent(QKeyEvent* event) {
    FlagScope input(m_userInput);
    QListView::keyPressEvent(event);
}

} // namespace tolvane::dictwindow
