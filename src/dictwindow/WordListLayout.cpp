// The word list while QListView is still laying out a long list in batches. Its rows all have
// one height, and the rows of the batches done have their rectangles (visualRect) already;
// QListView's own search for the rows in an area waits for the last batch. Until then the
// rows are found here from their rectangles, and painted as QListView paints them.

#include "dictwindow/ListFill.h"
#include "dictwindow/WordList.h"
#include "dictwindow/WordListModel.h"
#include "platform/ErrorGuard.h"

#include <QHoverEvent>
#include <QPaintEvent>
#include <QScopeGuard>
#include <QStyleOptionViewItem>
#include <QStylePainter>

namespace tolvane::dictwindow {

// Laying out: the first row has its place, but QListView does not find it there.
bool WordList::layingOut() const {
    if (m_model->rowCount() == 0)
        return false;
    const QRect first = visualRect(m_model->index(0, 0));
    return first.isValid() && !QListView::indexAt(first.center()).isValid();
}

QModelIndex WordList::laidOutRowAt(int y) const {
    const QRect first = visualRect(m_model->index(0, 0));
    if (!first.isValid() || first.height() <= 0 || y < first.top())
        return {};
    const int row = (y - first.top()) / first.height();
    if (row >= m_model->rowCount())
        return {};
    const QModelIndex index = m_model->index(row, 0);
    return visualRect(index).isValid() ? index : QModelIndex(); // not laid out yet
}

QModelIndex WordList::indexAt(const QPoint& point) const {
    if (!layingOut())
        return QListView::indexAt(point);
    const QModelIndex index = laidOutRowAt(point.y());
    return index.isValid() && visualRect(index).contains(point) ? index : QModelIndex();
}

void WordList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (!layingOut()) {
        QListView::setSelection(rect, command);
        return;
    }
    // A click (the list selects one row at a time).
    const QModelIndex index = indexAt(rect.topLeft());
    if (index.isValid())
        selectionModel()->select(index, command);
}

bool WordList::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        m_hoverRow = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint()).row();
        break;
    case QEvent::HoverLeave:
        m_hoverRow = -1;
        break;
    default:
        break;
    }
    return QListView::viewportEvent(event);
}

void WordList::paintEvent(QPaintEvent* event) {
    readShownRows();
    if (layingOut())
        paintLaidOutRows(event);
    else
        QListView::paintEvent(event);
}

// Rows scrolled to ahead of the fill (the scroll bar dragged down) are read before they are
// painted, without waiting for a locked file: they show blank until the fill comes to them
// then. The read repaints nothing of its own: this paint shows them.
void WordList::readShownRows() {
    if (!isFilling())
        return;
    const int top = indexAt(QPoint(0, 0)).row();
    const int bottom = indexAt(QPoint(0, viewport()->height() - 1)).row();
    for (const int row : {top, bottom}) {
        if (row >= 0 && isFilling() && !m_model->isRead(row)) {
            m_readingForPaint = true;
            const auto painted = qScopeGuard([this] { m_readingForPaint = false; });
            platform::runGuarded([&] { m_fill->readAround(row, false); });
        }
    }
}

// As QListView paints its rows (the list draws no alternating colours).
void WordList::paintLaidOutRows(QPaintEvent* event) {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStylePainter painter(viewport());
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QStyle::State state = option.state;
    const bool enabled = (state & QStyle::State_Enabled) != 0;
    QModelIndex index = laidOutRowAt(std::max(event->rect().top(), 0));
    for (; index.isValid(); index = index.siblingAtRow(index.row() + 1)) {
        option.rect = visualRect(index);
        if (!option.rect.isValid() || option.rect.top() > event->rect().bottom())
            break;
        option.state = state;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (enabled) {
            const bool itemEnabled = (m_model->flags(index) & Qt::ItemIsEnabled) != 0;
            if (!itemEnabled)
                option.state &= ~QStyle::State_Enabled;
            option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal
                                                            : QPalette::Disabled);
        }
        if (focus && current == index)
            option.state |= QStyle::State_HasFocus;
        option.state.setFlag(QStyle::State_MouseOver, index.row() == m_hoverRow);
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

} // namespace tolvane::dictwindow
