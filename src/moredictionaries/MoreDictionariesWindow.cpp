#include "moredictionaries/MoreDictionariesWindow.h"

#include "data/DictionaryConfig.h"
#include "moredictionaries/TitleText.h"
#include "platform/AccessKeyCues.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace tolvane::moredictionaries {

namespace {

// The whole title, for the filter; the display role holds it cut to the list's width.
constexpr int kTitleRole = Qt::UserRole;
constexpr int kConfigRole = Qt::UserRole + 1;
constexpr int kTitlePixels = 520;

} // namespace

MoreDictionariesWindow::MoreDictionariesWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_filter(new QLineEdit(this)), m_list(new QListView(this)),
      m_model(new QStandardItemModel(this)), m_shown(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("frmMoreDictionaries"));
    setWindowTitle(QStringLiteral("Tolvane - More Dictionaries"));
    setAccessibleName(QStringLiteral("More Dictionaries"));
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    label->setBuddy(m_filter);
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setAccessibleName(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_list->setObjectName(QStringLiteral("lstDictionaries"));
    m_list->setAccessibleName(QStringLiteral("Dictionaries"));
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true); // a thousand titles lay out at once
    m_shown->setSourceModel(m_model);
    m_shown->setFilterRole(kTitleRole);
    m_shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_list->setModel(m_shown);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    resize(kTitlePixels + 40, 420);
    platform::drawAccessKeysWhileAltHeld(*this);
    connect(m_filter, &QLineEdit::textChanged, this, &MoreDictionariesWindow::filterChanged);
    connect(m_filter, &QLineEdit::returnPressed, this, [this] { open(m_list->currentIndex()); });
    // Enter and a double-click (as the platform's style has it).
    connect(m_list, &QListView::activated, this, &MoreDictionariesWindow::open);
}

void MoreDictionariesWindow::setDictionaries(
    const std::vector<const data::DictionaryConfig*>& dictionaries) {
    m_model->clear();
    const QFontMetrics metrics(m_list->font());
    for (const data::DictionaryConfig* config : dictionaries) {
        auto* item = new QStandardItem(shownTitle(config->menuCaption, metrics, kTitlePixels));
        item->setData(config->menuCaption, kTitleRole);
        item->setData(QVariant::fromValue(static_cast<const void*>(config)), kConfigRole);
        item->setToolTip(titleTooltip(config->menuCaption, metrics, kTitlePixels));
        item->setEditable(false);
        m_model->appendRow(item);
    }
    filterChanged(m_filter->text());
}

std::vector<const data::DictionaryConfig*> MoreDictionariesWindow::shown() const {
    std::vector<const data::DictionaryConfig*> configs;
    for (int row = 0; row < m_shown->rowCount(); ++row)
        configs.push_back(static_cast<const data::DictionaryConfig*>(
            m_shown->index(row, 0).data(kConfigRole).value<const void*>()));
    return configs;
}

void MoreDictionariesWindow::filterChanged(const QString& text) {
    m_shown->setFilterFixedString(text.trimmed());
    if (m_shown->rowCount() > 0)
        m_list->setCurrentIndex(m_shown->index(0, 0));
}

void MoreDictionariesWindow::open(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const auto* config =
        static_cast<const data::DictionaryConfig*>(index.data(kConfigRole).value<const void*>());
    close();
    Q_EMIT chosen(config);
}

// Up and Down in the filter box move through the list, so the keyboard never has to leave it.
bool MoreDictionariesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
            key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(m_list, &copy);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MoreDictionariesWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace tolvane::moredictionaries
