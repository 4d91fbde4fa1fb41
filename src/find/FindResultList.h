#pragma once
// The Find window's result list lstResults: one row per entry found, showing the
// dictionary's label (a short name, or an added dictionary's title cut to the label's column,
// whole in the tooltip over it), the headword, and one line of the entry with the matched words
// in bold, in the word list's colours (cyan on black; headwords in the entry boxes' yellow).

#include "find/DictionaryIndex.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

namespace tolvane::find {

// The label a result row shows for its dictionary: "KJV", "Easton's" or "Hitchcock's" for the
// three, an added dictionary's title.
QString shortName(const data::DictionaryConfig& config);
// The width of the labels' column in `font`; a longer label is cut to it with "…".
int labelColumnWidth(const QFont& font);

class FindResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    // TitleRole: the dictionary's full title, the tooltip over the label.
    enum Role { ShortNameRole = Qt::UserRole + 1, HeadwordRole, SnippetRole, TitleRole };
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
    // Over the label: the dictionary's full title; elsewhere the row's whole text.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
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
