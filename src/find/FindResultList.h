#pragma once
// The Find window's result list lstResults: one row per entry found, showing the
// dictionary's short name, the headword, and one line of the entry with the matched words
// in bold, in the word list's colours (cyan on black; headwords in the entry boxes' yellow).

#include "find/DictionaryIndex.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

namespace tolvane::find {

// The short name a result row shows for its dictionary.
QString shortName(const data::DictionaryConfig& config);

class FindResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ShortNameRole = Qt::UserRole + 1, HeadwordRole, SnippetRole };
    using QAbstractListModel::QAbstractListModel;

    void setEntries(std::vector<FoundEntry> entries);
    const FoundEntry& entry(int row) const { return m_entries.at(size_t(row)); }
    int rowCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: "short name  headword  snippet" as plain text.
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<FoundEntry> m_entries;
};

class FindResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class FindResultList : public QListView {
    Q_OBJECT
public:
    explicit FindResultList(QWidget* parent = nullptr);
    FindResultModel* results() const { return m_model; }
    // How many rows the list shows at once.
    int rowsShown() const;

Q_SIGNALS:
    // Double-click or Enter on a row.
    void opened(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FindResultModel* m_model;
};

} // namespace tolvane::find
