#include "dictwindow/WordListModel.h"

#include "engine/ListCollation.h"
#include "engine/ListOrder.h"

#include <algorithm>
#include <vector>

namespace tolvane::dictwindow {

namespace {

// The room a list's text is given per row ahead of a fill in pages (UTF-8 bytes, with room to
// spare; longer texts make the block grow).
constexpr size_t kUsualTextBytes = 16;

// A text's UTF-8 bytes as a view that is never null, the empty text included (a null view
// would be stored as a null text).
QByteArrayView bytesOf(const QByteArray& utf8) {
    return utf8.isEmpty() ? QByteArrayView("", 0) : QByteArrayView(utf8);
}

engine::TextBlock blockOf(const QStringList& words) {
    engine::TextBlock block;
    block.reserve(words.size());
    for (const QString& word : words)
        block.append(bytesOf(word.toUtf8()));
    return block;
}

// The places of `words` in list order, equal words in their given order.
std::vector<quint32> orderOf(const engine::TextBlock& words) {
    engine::RowIds arrival;
    arrival.reserve(static_cast<size_t>(words.size()));
    for (qsizetype i = 0; i < words.size(); ++i)
        arrival.push_back(i);
    return engine::listOrder(words, arrival);
}

} // namespace

bool wordListLess(const QString& a, const QString& b) {
    return engine::compareListOrder(a, b) < 0;
}

void sortWords(QStringList& words) {
    const std::vector<quint32> order = orderOf(blockOf(words));
    QStringList sorted;
    sorted.reserve(words.size());
    for (const quint32 from : order)
        sorted.append(std::move(words[from]));
    words = std::move(sorted);
}

WordListModel::WordListModel(QObject* parent) : QAbstractListModel(parent) {}

int WordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return at(index.row());
    return {};
}

void WordListModel::clear() {
    dropAhead();
    if (m_shown == 0)
        return;
    beginResetModel();
    m_items.clear();
    m_shown = 0;
    endResetModel();
}

void WordListModel::removeAll() {
    dropAhead();
    if (m_shown == 0)
        return;
    beginRemoveRows(QModelIndex(), 0, size() - 1);
    m_items.clear();
    m_shown = 0;
    endRemoveRows();
}

int WordListModel::insert(const QString& item) {
    // After equal items, so that items added one by one keep their arrival order among
    // items equal in the list order (the list may hold the same headword twice).
    qsizetype low = 0;
    qsizetype high = m_items.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (engine::compareListOrder(item, m_items.text(middle)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    const int row = static_cast<int>(low);
    beginInsertRows(QModelIndex(), row, row);
    m_items.insert(low, bytesOf(item.toUtf8()));
    ++m_shown;
    endInsertRows();
    return row;
}

void WordListModel::replace(const QStringList& items) {
    engine::TextBlock block = blockOf(items);
    block.permute(orderOf(block));
    replaceOrdered(std::move(block));
}

void WordListModel::replaceOrdered(engine::TextBlock items) {
    dropAhead();
    items.removeNulls();
    beginResetModel();
    m_items = std::move(items);
    m_shown = m_items.size();
    endResetModel();
}

void WordListModel::startPages() {
    dropAhead();
    beginResetModel();
    m_items.clear();
    m_shown = 0;
    endResetModel();
}

void WordListModel::expectRows(qsizetype expected) {
    // Room for the texts at a headword's usual size, as a whole-table read reserves it: the
    // block growing by doubling would hold the old and the new copy at once.
    m_items.reserve(expected);
    m_items.reserveBytes(static_cast<size_t>(expected) * kUsualTextBytes);
    if (expected <= m_shown)
        return;
    beginInsertRows(QModelIndex(), static_cast<int>(m_shown), static_cast<int>(expected - 1));
    m_shown = expected;
    endInsertRows();
}

engine::ListPages::Step WordListModel::readPage(engine::ListPages& pages, qsizetype rows) {
    const qsizetype before = m_items.size();
    const engine::ListPages::Step step = pages.next(m_items, rows);
    const qsizetype after = m_items.size();
    if (after > m_shown) { // more texts than counted: the view learns of the extra rows
        beginInsertRows(QModelIndex(), static_cast<int>(m_shown), static_cast<int>(after - 1));
        m_shown = after;
        endInsertRows();
    }
    if (after > before)
        Q_EMIT rowsRead();
    if (!m_ahead.isEmpty() && after >= m_aheadFirst + m_ahead.size())
        dropAhead(); // the pages hold them now
    return step;
}

engine::ListPages::Step WordListModel::readAhead(engine::ListPages& pages, qsizetype first,
                                                 qsizetype rows) {
    engine::TextBlock texts;
    const engine::ListPages::Step step = pages.readAt(first, rows, texts);
    if (step != engine::ListPages::Step::More && step != engine::ListPages::Step::End)
        return step;
    m_ahead = std::move(texts);
    m_aheadFirst = first;
    if (first + m_ahead.size() > m_shown) { // more texts than counted
        beginInsertRows(QModelIndex(), static_cast<int>(m_shown),
                        static_cast<int>(first + m_ahead.size() - 1));
        m_shown = first + m_ahead.size();
        endInsertRows();
    }
    Q_EMIT rowsRead();
    return step;
}

void WordListModel::dropAhead() {
    m_ahead.clear();
    m_aheadFirst = 0;
}

void WordListModel::endPages() {
    dropAhead();
    if (m_items.size() >= m_shown)
        return;
    beginRemoveRows(QModelIndex(), static_cast<int>(m_items.size()), static_cast<int>(m_shown - 1));
    m_shown = m_items.size();
    endRemoveRows();
}

} // namespace tolvane::dictwindow
