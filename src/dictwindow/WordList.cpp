#include "dictwindow/WordList.h"

#include "dictwindow/ListFill.h"
#include "dictwindow/WordListModel.h"
#include "engine/ListCollation.h"
#include "platform/Error.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace tolvane::dictwindow {

namespace {
// Raised for an item number outside the list, numbered as the list box's own error.
constexpr int kInvalidIndexError = 381;
// Rows laid out at a time: a few milliseconds' work.
constexpr int kLayoutBatch = 50'000;
} // namespace

WordList::WordList(QWidget* parent) : QListView(parent), m_model(new WordListModel(this)) {
    setObjectName(QStringLiteral("lstdata"));
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the same height; without this a long list measures each row first.
    setUniformItemSizes(true);
    // Scrolling by pixels: by items, Qt copies every row's position to size the scroll bar at
    // each resize and refill, which at millions of rows is most of a resize step. A wheel step
    // or an arrow still moves by whole rows.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // QListView lays out every row after each refill, looking each up in a hash on the way:
    // about 50 ns a row, a quarter of a second at five million. In batches, the first screen
    // waits for the first batch only and the rest is laid out between the user's input; a
    // list shorter than a batch (every search's list in practice) is laid out at once.
    setLayoutMode(QListView::Batched);
    setBatchSize(kLayoutBatch);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);

    // Rows a fill in pages has read are drawn with their texts.
    connect(m_model, &WordListModel::rowsRead, this, [this] {
        if (!m_readingForPaint)
            viewport()->update();
    });

    // Screen readers announce how many words the list holds.
    const auto describe = [this] {
        const int n = m_model->size();
        setAccessibleDescription(n == 1 ? QStringLiteral("1 headword")
                                        : QStringLiteral("%1 headwords").arg(n));
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, describe);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, describe);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, describe);
    describe();
}

WordList::~WordList() = default;

void WordList::Clear() {
    stopFill();
    m_model->clear();
}

void WordList::dropItems() {
    stopFill();
    m_model->removeAll();
}

void WordList::AddItem(const QString& item) {
    finishFill();
    m_model->insert(item);
}

void WordList::setItems(const QStringList& items) {
    stopFill();
    m_model->replace(items);
}

void WordList::setOrderedItems(engine::TextBlock items) {
    stopFill();
    m_model->replaceOrdered(std::move(items));
}

void WordList::fillInPages(std::unique_ptr<engine::ListPages> pages) {
    stopFill();
    m_fill = std::make_unique<ListFill>(*m_model, std::move(pages));
    m_fill->start();
}

bool WordList::isFilling() const {
    return m_fill && !m_fill->isDone();
}

void WordList::finishFill() {
    if (isFilling())
        m_fill->finish();
}

void WordList::stopFill() {
    m_fill.reset();
    m_model->endPages(); // the rows left blank go
}

// A row far ahead of the fill is read with the rows around it (End, a click on a far row), so
// that the key or click is answered at once and the fill reads on from where it was; only where
// that cannot be done (the file changed under the fill) is the rest read at once.
void WordList::readUpTo(int index) const {
    if (isFilling() && !m_model->isRead(index) && index < m_model->size() &&
        !m_fill->readAround(index, true))
        m_fill->finish();
}

QString WordList::List(int index) const {
    readUpTo(index);
    if (index < 0 || index >= m_model->size())
        throw NumberedError(kInvalidIndexError, QStringLiteral("Invalid property array index"));
    return m_model->at(index);
}

int WordList::ListIndex() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

int WordList::ListCount() const {
    if (isFilling())
        m_fill->count();
    return m_model->size();
}

// Items with one text stand together among the items the list's order holds equal to it
// (it ignores letter case, for one), so the walk stops at the first item it orders apart.
int WordList::occurrenceAt(int index) const {
    readUpTo(index);
    const QString item = m_model->at(index);
    int occurrence = 0;
    for (int i = index - 1; i >= 0; --i) {
        if (isFilling() && !m_model->isRead(i)) { // equal items reaching past the rows read
            m_fill->finish();
            return occurrenceAt(index);
        }
        const QString before = m_model->at(i);
        if (engine::compareListOrder(before, item) != 0)
            break;
        if (before == item)
            ++occurrence;
    }
    return occurrence;
}

int WordList::indexOf(const QString& item, int occurrence) const {
    if (isFilling())
        m_fill->finish();
    const int n = m_model->size();
    for (int i = 0; i < n; ++i) {
        if (m_model->at(i) == item && occurrence-- == 0)
            return i;
    }
    return -1;
}

void WordList::selectItem(int index) {
    if (index < 0 || index >= m_model->size()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex item = m_model->index(index, 0);
    selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    scrollTo(item);
}

// Only the user's own mouse and keys report a click: a selection that they changed, or a
// press on the item that is already selected (choosing it again). The program's fills never
// pass through here. The view may make an item current without selecting it (on focus);
// that is not a choice either.
void WordList::mousePressEvent(QMouseEvent* event) {
    const int before = ListIndex();
    const QModelIndex under = indexAt(event->position().toPoint());
    QListView::mousePressEvent(event);
    const int after = ListIndex();
    const bool pressedSelected =
        event->button() == Qt::LeftButton && under.isValid() && under.row() == after;
    if (after >= 0 && (after != before || pressedSelected))
        Q_EMIT clicked(after);
}

void WordList::mouseMoveEvent(QMouseEvent* event) {
    const int before = ListIndex();
    QListView::mouseMoveEvent(event);
    reportChangedSelection(before);
}

void WordList::keyPressEvent(QKeyEvent* event) {
    // End and Page Down go by the list's full length, which the fill takes first thing.
    if (isFilling())
        m_fill->count();
    const int before = ListIndex();
    const int page = pageKeyTarget(event);
    if (page >= 0)
        selectItem(page);
    else
        QListView::keyPressEvent(event);
    reportChangedSelection(before);
}

// Page Down and Page Up move a screenful of rows from the current one. QListView finds that row
// among the rows laid out about the screen below, which with millions of rows laid out in
// batches takes it seconds. -1 for any other key.
int WordList::pageKeyTarget(const QKeyEvent* event) const {
    const bool down = event->key() == Qt::Key_PageDown;
    if ((!down && event->key() != Qt::Key_PageUp) || event->modifiers() != Qt::NoModifier ||
        m_model->size() == 0)
        return -1;
    const int rows = std::max(1, viewport()->height() / std::max(1, sizeHintForRow(0)) - 1);
    const int current = currentIndex().isValid() ? currentIndex().row() : (down ? 0 : -1);
    return std::clamp(down ? current + rows : current - rows, 0, m_model->size() - 1);
}

void WordList::reportChangedSelection(int before) {
    const int after = ListIndex();
    if (after >= 0 && after != before)
        Q_EMIT clicked(after);
}

} // namespace tolvane::dictwindow
