#pragma once
// The items of the word list, always in display order: alphabetical without regard to letter
// case, with a case-sensitive tie-break so that the order is total and the same on every
// fill ("FETTERS" < "Field1" < "FILLETS"; "abel" and "Abel" in a fixed order).

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

namespace tolvane::dictwindow {

// The ordering of the list box, usable on its own (tests, batch sorts).
bool wordListLess(const QString& a, const QString& b);
// Sorts into that order; equal words keep their relative order.
void sortWords(QStringList& words);

class WordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit WordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void clear();
    // Inserts at the item's sorted place and returns that row.
    int insert(const QString& item);
    // Replaces every item in one reset; the items need not be sorted.
    void replace(QStringList items);

    const QString& at(int row) const { return m_items.at(row); }
    int size() const { return static_cast<int>(m_items.size()); }

private:
    QStringList m_items;
};

} // namespace tolvane::dictwindow
