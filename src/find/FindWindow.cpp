#include "find/FindWindow.h"

#include "data/AddedDictionaries.h"
#include "engine/FullTextQuery.h"
#include "find/FindResultList.h"
#include "platform/DesignFont.h"
#include "platform/ErrorGuard.h"
#include "platform/Twips.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tolvane::find {

namespace {

constexpr int kWindowWidth = 7200;
constexpr int kWindowHeight = 4200;

QString countText(int count) {
    return count == 1 ? QStringLiteral("1 entry")
                      : QStringLiteral("%1 entries").arg(QLocale().toString(count));
}

} // namespace

FindWindow::FindWindow(FindService& service, CurrentDictionary currentDictionary,
                       std::function<QString()> folder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_service(service),
      m_currentDictionary(std::move(currentDictionary)), m_folder(std::move(folder)),
      m_txtFind(new QLineEdit), m_optThis(new QRadioButton(QStringLiteral("This dictionary"))),
      m_optAll(new QRadioButton(QStringLiteral("All dictionaries"))), m_lblCount(new QLabel),
      m_prgPreparing(new QProgressBar), m_lstResults(new FindResultList),
      m_debounce(new QTimer(this)) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find in Entries"));
    setFont(platform::designFont());
    resize(platform::twipsSize(kWindowWidth, kWindowHeight));

    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setPlaceholderText(QStringLiteral("Words, \"a phrase\" or the start of a word*"));
    m_optThis->setObjectName(QStringLiteral("optThisDictionary"));
    m_optAll->setObjectName(QStringLiteral("optAllDictionaries"));
    auto* scope = new QButtonGroup(this);
    scope->addButton(m_optThis);
    scope->addButton(m_optAll);
    (m_currentDictionary && m_currentDictionary() ? m_optThis : m_optAll)->setChecked(true);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    m_lblCount->setTextFormat(Qt::PlainText);
    m_lblCount->setWordWrap(true);
    // Shown only while a dictionary's full-text index is made (its first search).
    m_prgPreparing->setObjectName(QStringLiteral("prgPreparing"));
    m_prgPreparing->setAccessibleName(QStringLiteral("Preparing for searching"));
    m_prgPreparing->setRange(0, 100);
    m_prgPreparing->hide();

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_optThis);
    choices->addWidget(m_optAll);
    choices->addStretch();
    const int margin = platform::twipsToPixels(120);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(platform::twipsToPixels(90));
    layout->addWidget(m_txtFind);
    layout->addLayout(choices);
    layout->addWidget(m_lblCount);
    layout->addWidget(m_prgPreparing);
    layout->addWidget(m_lstResults, 1);

    m_debounce->setObjectName(QStringLiteral("tmrFindDelay"));
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    auto guarded = [this](auto handler) {
        return [this, handler] { platform::runGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(m_debounce, &QTimer::timeout, this, guarded(&FindWindow::startSearch));
    connect(m_txtFind, &QLineEdit::textChanged, this, guarded(&FindWindow::txtFind_Change));
    connect(m_optThis, &QRadioButton::toggled, this, guarded(&FindWindow::optScope_Click));
    connect(m_lstResults, &FindResultList::opened, this,
            [this](int row) { platform::runGuarded([this, row] { lstResults_Open(row); }); });
    // Enter in the text box opens the selected result, or the first.
    connect(m_txtFind, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex current = m_lstResults->currentIndex();
        if (m_lstResults->model()->rowCount() > 0)
            platform::runGuarded(
                [this, current] { lstResults_Open(current.isValid() ? current.row() : 0); });
    });
    connect(&m_service, &FindService::preparing, this, &FindWindow::showPreparing);
    connect(&m_service, &FindService::finished, this, &FindWindow::showResults);
}

void FindWindow::txtFind_Change() {
    m_waiting = true;
    m_debounce->start();
}

void FindWindow::optScope_Click() {
    m_waiting = true;
    m_debounce->start();
}

void FindWindow::showNote(const QString& note) {
    m_prgPreparing->hide();
    m_lblCount->setText(note);
}

void FindWindow::currentDictionaryChanged() {
    if (!m_optThis->isChecked() || (m_currentDictionary && m_currentDictionary() == m_searchedIn))
        return;
    m_waiting = true;
    m_debounce->start();
}

void FindWindow::dictionariesChanged() {
    const std::vector<const data::DictionaryConfig*> listed = data::everyConfig();
    FindResultModel* model = m_lstResults->results();
    std::vector<FoundEntry> kept;
    for (int row = 0; row < model->rowCount(); ++row)
        if (std::find(listed.begin(), listed.end(), model->entry(row).dictionary) != listed.end())
            kept.push_back(model->entry(row));
    if (int(kept.size()) != model->rowCount())
        model->setEntries(std::move(kept));
    if (m_txtFind->text().isEmpty())
        return;
    // A search still running may yet report the removed dictionary's results: only the new
    // one's are shown.
    m_service.cancel();
    m_search = 0;
    m_waiting = true;
    m_debounce->start();
}

void FindWindow::clearResults(const QString& note) {
    m_service.cancel();
    m_search = 0;
    m_shownMatch.clear();
    m_waiting = false;
    m_lstResults->results()->setEntries({});
    showNote(note);
}

void FindWindow::startSearch() {
    m_searchedIn = m_currentDictionary ? m_currentDictionary() : nullptr;
    const engine::FullTextQuery query = engine::translateFullTextQuery(m_txtFind->text());
    if (!query.isValid())
        return clearResults(query.problem);
    if (query.isEmpty())
        return clearResults(QString());
    std::vector<const data::DictionaryConfig*> dictionaries;
    if (m_optThis->isChecked()) {
        const data::DictionaryConfig* current =
            m_currentDictionary ? m_currentDictionary() : nullptr;
        if (!current)
            return clearResults(QStringLiteral("No dictionary is open: open one, or choose All "
                                               "dictionaries."));
        dictionaries.push_back(current);
    } else {
        dictionaries = data::everyConfig();
    }
    // The first page reported is what the list shows at once (at least a few rows, should
    // it not be laid out yet).
    m_match = query.match;
    m_search = m_service.search(query.match, std::move(dictionaries), m_folder(),
                                std::max(10, m_lstResults->rowsShown()));
}

void FindWindow::showPreparing(quint64 search, const QString& title, int percent) {
    if (search != m_search)
        return;
    showNote(
        QStringLiteral("Preparing %1 for searching: %2%").arg(title, QString::number(percent)));
    m_prgPreparing->setValue(percent);
    m_prgPreparing->show();
}

void FindWindow::showResults(const FindResults& results) {
    if (results.search != m_search)
        return;
    m_waiting = !results.complete;
    m_shownMatch = m_match;
    // The rest of a list keeps the first results where they were, and the row chosen.
    const int current = m_lstResults->currentIndex().row();
    m_lstResults->results()->setEntries(results.entries);
    if (current >= 0 && current < m_lstResults->results()->rowCount())
        m_lstResults->setCurrentIndex(m_lstResults->model()->index(current, 0));
    QString note =
        results.count < 0
            ? QStringLiteral("More than %1, counting...").arg(countText(results.atLeast - 1))
            : countText(results.count);
    if (results.count > int(results.entries.size()))
        note += QStringLiteral(", the best %1 listed").arg(results.entries.size());
    for (const QString& problem : results.problems)
        note += QStringLiteral("\n") + problem;
    showNote(note);
}

void FindWindow::focusFindText() {
    m_txtFind->setFocus(Qt::ShortcutFocusReason);
    m_txtFind->selectAll();
}

void FindWindow::lstResults_Open(int row) {
    if (row < 0 || row >= m_lstResults->results()->rowCount())
        return;
    m_lstResults->setCurrentIndex(m_lstResults->model()->index(row, 0));
    Q_EMIT resultOpened(m_lstResults->results()->entry(row));
}

void FindWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Down && m_txtFind->hasFocus() &&
        m_lstResults->model()->rowCount() > 0) {
        m_lstResults->setFocus();
        m_lstResults->setCurrentIndex(m_lstResults->model()->index(0, 0));
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tolvane::find
