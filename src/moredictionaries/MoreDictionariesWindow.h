#pragma once
// frmMoreDictionaries: every added dictionary by title, for when there are more than the
// Dictionaries menu lists (shell/DictionaryMenu.h). Typing in the filter box narrows the list
// to the titles holding the text, letter case aside; Enter in the box or on the list, or a
// double-click, opens the chosen dictionary (chosen()) and closes the window.

#include <QWidget>
#include <vector>

class QLineEdit;
class QListView;
class QSortFilterProxyModel;
class QStandardItemModel;

namespace tolvane::data {
struct DictionaryConfig;
}

namespace tolvane::moredictionaries {

class MoreDictionariesWindow : public QWidget {
    Q_OBJECT
public:
    explicit MoreDictionariesWindow(QWidget* parent = nullptr);

    // The dictionaries to list, in the order given (the menu's: by title).
    void setDictionaries(const std::vector<const data::DictionaryConfig*>& dictionaries);

    QLineEdit* filterBox() const { return m_filter; }
    QListView* list() const { return m_list; }
    // The dictionaries the list shows now, in its order.
    std::vector<const data::DictionaryConfig*> shown() const;

Q_SIGNALS:
    void chosen(const data::DictionaryConfig* dictionary);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filterChanged(const QString& text);
    void open(const QModelIndex& index);

    QLineEdit* m_filter;
    QListView* m_list;
    QStandardItemModel* m_model;
    QSortFilterProxyModel* m_shown;
};

} // namespace tolvane::moredictionaries
