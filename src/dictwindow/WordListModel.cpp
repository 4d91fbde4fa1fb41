#include "dictwindow/WordListModel.h"

#include <algorithm>
#include <vector>

namespace tolvane::dictwindow {

bool wordListLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void sortWords(QStringList& words) {
    // Rows often arrive in order already (an index walk); checking costs one pass.
    if (std::is_sorted(words.cbegin(), words.cend(), wordListLess))
        return;
    // Most comparisons of a big list are decided by the first few letters: those are folded
    // once per word into one number, and only words that share them are compared in full.
    struct Keyed {
        quint64 key;
        qsizetype at;
    };
    bool surrogates = false; // letters outside the basic plane among the leading letters
    const auto leadingKey = [&surrogates](const QString& word) {
        quint64 key = 0;
        for (qsizetype i = 0; i < 4; ++i) {
            const char16_t unit = i < word.size() ? word.at(i).unicode() : 0;
            surrogates = surrogates || QChar::isSurrogate(unit);
            key = (key << 16) | QChar::toCaseFolded(unit);
        }
        return key;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(words.size()));
    for (qsizetype i = 0; i < words.size(); ++i)
        keyed.push_back({leadingKey(words.at(i)), i});
    std::stable_sort(keyed.begin(), keyed.end(), [&words](const Keyed& a, const Keyed& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return wordListLess(words.at(a.at), words.at(b.at));
    });
    QStringList sorted;
    sorted.reserve(words.size());
    for (const Keyed& k : keyed)
        sorted.append(std::move(words[k.at]));
    words = std::move(sorted);
    // Letters outside the basic plane fold as pairs in the full comparison; where that
    // ordered them differently, the list's own order decides.
    if (surrogates && !std::is_sorted(words.cbegin(), words.cend(), wordListLess))
        std::stable_sort(words.begin(), words.end(), wordListLess);
}

WordListModel::WordListModel(QObject* parent) : QAbstractListModel(parent) {}

int WordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return m_items.at(index.row());
    return {};
}

void WordListModel::clear() {
    if (m_items.isEmpty())
        return;
    beginResetModel();
    m_items.clear();
    endResetModel();
}

int WordListModel::insert(const QString& item) {
    // After equal items, so that items added one by one keep their arrival order among
    // exact duplicates (the list may hold the same headword twice).
    const auto pos = std::upper_bound(m_items.cbegin(), m_items.cend(), item, wordListLess);
    const int row = static_cast<int>(pos - m_items.cbegin());
    beginInsertRows(QModelIndex(), row, row);
    m_items.insert(row, item);
    endInsertRows();
    return row;
}

void WordListModel::replace(QStringList items) {
    sortWords(items);
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

} // namespace tolvane::dictwindow
