#include "find/FindResultList.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace tolvane::find {

namespace {

const QColor kListBackground(0, 0, 0);
const QColor kListText(0, 255, 255);
const QColor kHeadwordText(255, 255, 0);
const QColor kSelectedBackground(0, 0, 128);

QString plain(QString snippet) {
    snippet.remove(kMatchStart);
    snippet.remove(kMatchEnd);
    return snippet;
}

// Draws `text` from x on, as far as `right`, in `font`; returns where it ended. A text that
// does not fit is cut with an ellipsis, and nothing after it is drawn.
int drawPiece(QPainter* painter, const QString& text, const QFont& font, int x, int right,
              int baseline, bool* full) {
    if (*full || text.isEmpty())
        return x;
    const QFontMetrics metrics(font);
    painter->setFont(font);
    QString shown = text;
    if (x + metrics.horizontalAdvance(text) > right) {
        shown = metrics.elidedText(text, Qt::ElideRight, right - x);
        *full = true;
    }
    painter->drawText(x, baseline, shown);
    return x + metrics.horizontalAdvance(shown);
}

int rowHeight(const QFont& font) {
    return QFontMetrics(font).height() + 4;
}

} // namespace

QString shortName(const data::DictionaryConfig& config) {
    if (config.windowName == QLatin1String("Form1"))
        return QStringLiteral("KJV");
    if (config.windowName == QLatin1String("frmEastons"))
        return QStringLiteral("Easton's");
    if (config.windowName == QLatin1String("frmHitchcock"))
        return QStringLiteral("Hitchcock's");
    return config.menuCaption;
}

int labelColumnWidth(const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(QStringLiteral("Hitchcock's"));
}

void FindResultModel::setEntries(std::vector<FoundEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int FindResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant FindResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FoundEntry& e = m_entries[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QStringLiteral("%1  %2  %3")
            .arg(shortName(*e.dictionary), e.headword, plain(e.snippet));
    case ShortNameRole:
        return shortName(*e.dictionary);
    case HeadwordRole:
        return e.headword;
    case TitleRole:
        return e.dictionary->menuCaption;
    case SnippetRole:
        return e.snippet;
    default:
        return {};
    }
}

void FindResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, selected ? kSelectedBackground : kListBackground);
    const QRect r = option.rect.adjusted(3, 0, -3, 0);
    const QFontMetrics metrics(option.font);
    const int baseline = r.top() + (r.height() + metrics.ascent() - metrics.descent()) / 2;
    QFont bold = option.font;
    bold.setBold(true);
    bool full = false;

    // The labels line up in a column of their own, a long title cut to it.
    painter->setPen(kListText);
    const int column = std::min(labelColumnWidth(option.font), r.width());
    bool labelCut = false;
    drawPiece(painter, index.data(FindResultModel::ShortNameRole).toString(), option.font, r.left(),
              r.left() + column, baseline, &labelCut);
    int x = r.left() + column + 8;
    painter->setPen(kHeadwordText);
    x = drawPiece(painter, index.data(FindResultModel::HeadwordRole).toString(), option.font, x,
                  r.right(), baseline, &full);
    x += metrics.horizontalAdvance(QStringLiteral("  "));
    painter->setPen(kListText);
    const QString snippet = index.data(FindResultModel::SnippetRole).toString();
    bool matched = false;
    QString piece;
    for (QChar c : snippet) {
        if (c == kMatchStart || c == kMatchEnd) {
            x = drawPiece(painter, piece, matched ? bold : option.font, x, r.right(), baseline,
                          &full);
            piece.clear();
            matched = c == kMatchStart;
            continue;
        }
        piece += c;
    }
    drawPiece(painter, piece, matched ? bold : option.font, x, r.right(), baseline, &full);
    painter->restore();
}

QSize FindResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), rowHeight(option.font)};
}

bool FindResultDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && index.isValid() &&
        event->pos().x() < option.rect.left() + 3 + labelColumnWidth(option.font)) {
        QToolTip::showText(event->globalPos(), index.data(FindResultModel::TitleRole).toString(),
                           view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

FindResultList::FindResultList(QWidget* parent)
    : QListView(parent), m_model(new FindResultModel(this)) {
    setObjectName(QStringLiteral("lstResults"));
    setModel(m_model);
    setItemDelegate(new FindResultDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, kListBackground);
        p.setColor(group, QPalette::Text, kListText);
    }
    setPalette(p);
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT opened(index.row()); });
}

int FindResultList::rowsShown() const {
    return viewport()->height() / rowHeight(font()) + 1; // the last perhaps in part
}

void FindResultList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        Q_EMIT opened(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace tolvane::find
