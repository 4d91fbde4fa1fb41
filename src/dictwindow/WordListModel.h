#pragma once
// The items of the word list, always in display order: the list order of the engine
// (engine/ListCollation.h: letter case ignored, accents after their base letter, the same in
// every locale), items equal in it in the order they arrived, which for a fill from the
// engine is row id order.
//
// The items are kept in one block of UTF-8 text (engine::TextBlock); a QString is made only
// for the rows the view draws or asks for, so a million headwords cost their bytes and 8 bytes
// each.

#include "engine/Dao.h"
#include "engine/TextBlock.h"

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
    // The same as rows removed rather than a reset: the list is emptied ahead of a refill,
    // which will be the reset.
    void removeAll();
    // Inserts after the items equal to it and returns that row.
    int insert(const QString& item);
    // Replaces every item in one reset; the items need not be sorted.
    void replace(const QStringList& items);
    // Replaces every item in one reset with texts already in list order (a recordset opened
    // in list order); null texts are left out.
    void replaceOrdered(engine::TextBlock items);

    // Filling a page at a time (ListFill.h): the list is emptied, takes the first page, then the
    // number of texts to come, so that its length and scroll bar are right from then on; rows
    // not read yet show blank until their page comes. Should fewer texts come, endPages drops
    // the rows left blank.
    void startPages();
    void expectRows(qsizetype expected);
    engine::ListPages::Step readPage(engine::ListPages& pages, qsizetype rows);
    void endPages();
    // How many rows hold their text from the first on: all of them, except while a fill in
    // pages runs.
    qsizetype readRows() const { return m_items.size(); }
    // Reads rows far ahead of the fill's pages (ListPages::readAt), which then hold their texts
    // until the pages reach them; the rows read before so are let go.
    engine::ListPages::Step readAhead(engine::ListPages& pages, qsizetype first, qsizetype rows);
    bool isRead(qsizetype row) const { return row >= 0 && (row < m_items.size() || inAhead(row)); }

Q_SIGNALS:
    // Rows that showed blank now hold their texts. Not dataChanged: a QListView lays out every
    // row again on it, which a fill in pages would pay at every page.
    void rowsRead();

public:
    QString at(int row) const {
        if (row < m_items.size())
            return m_items.text(row);
        return inAhead(row) ? m_ahead.text(row - m_aheadFirst) : QString();
    }
    int size() const { return static_cast<int>(m_shown); }

private:
    bool inAhead(qsizetype row) const {
        return row >= m_aheadFirst && row - m_aheadFirst < m_ahead.size();
    }
    void dropAhead();

    engine::TextBlock m_items;
    engine::TextBlock m_ahead; // rows read ahead of the pages, from m_aheadFirst on
    qsizetype m_aheadFirst = 0;
    qsizetype m_shown = 0; // the rows the view knows of: m_items, and the blank rows after them
};

} // namespace tolvane::dictwindow
