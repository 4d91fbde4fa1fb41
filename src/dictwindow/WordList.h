#pragma once
// The word list lstdata: a list box kept sorted in the engine's list order (letter case
// ignored), backed by a compact model under a QListView so that a million headwords stay
// instant.
//
// Its operations are those of a list box: Clear, AddItem, List(n), ListIndex, ListCount, and a
// batch fill. Filling or clearing it never emits clicked(); only the user's selection does.

#include "engine/Dao.h"
#include "engine/TextBlock.h"

#include <QListView>
#include <QStringList>
#include <memory>

namespace tolvane::dictwindow {

class ListFill;
class WordListModel;

class WordList : public QListView {
    Q_OBJECT
public:
    explicit WordList(QWidget* parent = nullptr);
    ~WordList() override;

    void Clear();
    // Removes every item ahead of a refill, to free their memory before the new ones are read.
    void dropItems();
    void AddItem(const QString& item);       // placed in sorted order
    void setItems(const QStringList& items); // replaces every item in one batch (sorted here)
    // Replaces every item with texts already in list order (nulls left out), without sorting.
    void setOrderedItems(engine::TextBlock items);
    // Replaces every item with a whole table's texts, a page at a time (ListFill.h): the first
    // screen at once, the rest on the event loop. Until the fill ends, ListCount is the count
    // of texts to come (taken at once if the fill has not yet), and whatever needs an item not
    // read yet (List, occurrenceAt, indexOf, AddItem) reads the rest first. Every other fill
    // or Clear stops it.
    void fillInPages(std::unique_ptr<engine::ListPages> pages);
    bool isFilling() const;
    void finishFill();

    QString List(int index) const; // the text of item n
    int ListIndex() const;         // the selected item, -1 for none
    int ListCount() const;

    // Equal headwords. The list may hold one headword several times, once per row; among
    // equal items the order is that of the rows' ids, the same order the headword query
    // gives them in. occurrenceAt(n) is how many items before item n hold exactly its text
    // (0 for the first of them); indexOf(text, k) is the item holding the k-th of them, or -1.
    int occurrenceAt(int index) const;
    int indexOf(const QString& item, int occurrence = 0) const;

    // Selects item n (scrolled into view) without reporting a click: the caller decides
    // whether the selection is to show an entry. -1 clears the selection.
    void selectItem(int index);

    // The item at a point of the viewport, found also while a long list is still being laid
    // out (see layingOut).
    QModelIndex indexAt(const QPoint& point) const override;

Q_SIGNALS:
    // The user selected an item (mouse or keyboard). Never emitted by the program's own fills.
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // QListView lays a long list out a batch at a time (WordList.cpp) and, until its last
    // batch, finds none of its rows to paint or click, though the rows laid out so far have
    // their places already: the list would stand empty for half a second at five million
    // rows. Meanwhile the rows are found here by those places (WordListLayout.cpp).
    bool layingOut() const;
    QModelIndex laidOutRowAt(int y) const;
    void paintLaidOutRows(QPaintEvent* event);
    void readShownRows();
    bool m_readingForPaint = false; // the paint under way shows the rows read
    int m_hoverRow = -1;            // the row under the pointer, as QListView follows it

    void reportChangedSelection(int before);
    int pageKeyTarget(const QKeyEvent* event) const;
    void stopFill();
    void readUpTo(int index) const;

    WordListModel* m_model;
    std::unique_ptr<ListFill> m_fill; // a fill in pages, while one runs
};

} // namespace tolvane::dictwindow
