#pragma once
// The word list lstdata: a list box kept sorted in the engine's list order (letter case
// ignored), backed by a compact model under a QListView so that a million headwords stay
// instant.
//
// Its operations are those of a list box: Clear, AddItem, List(n), ListIndex, ListCount, and a
// batch fill. Filling or clearing it never emits clicked(); only the user's selection does.

#include "engine/TextBlock.h"

#include <QListView>
#include <QStringList>

namespace tolvane::dictwindow {

class WordListModel;

class WordList : public QListView {
    Q_OBJECT
public:
    explicit WordList(QWidget* parent = nullptr);

    void Clear();
    // Removes every item ahead of a refill, to free their memory before the new ones are read.
    void dropItems();
    void AddItem(const QString& item);       // placed in sorted order
    void setItems(const QStringList& items); // replaces every item in one batch (sorted here)
    // Replaces every item with texts already in list order (nulls left out), without sorting.
    void setOrderedItems(engine::TextBlock items);
    QString List(int index) const; // the text of item n
    int ListIndex() const;         // the selected item, -1 for none
    int ListCount() const;

Q_SIGNALS:
    // The user selected an item (mouse or keyboard). Never emitted by the program's own fills.
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reportChangedSelection(int before);

    WordListModel* m_model;
};

} // namespace tolvane::dictwindow
