#include "getdictionaries/GetDictionariesWindow.h"

#include "data/AddedDictionaries.h"
#include "getdictionaries/ImportRun.h"
#include "platform/AccessKeyCues.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace tolvane::getdictionaries {

namespace {

const QString kTitle = QStringLiteral("Get Dictionaries");

// Where libsword's install manager puts modules, and the only place Uninstall removes from.
QString userLibrary() {
    return QDir::homePath() + QStringLiteral("/.sword");
}

bool isInside(const QString& folder, const QString& root) {
    const auto canonical = [](const QString& path) {
        const QString resolved = QFileInfo(path).canonicalFilePath();
        return (resolved.isEmpty() ? QDir::cleanPath(path) : resolved) + QLatin1Char('/');
    };
    return canonical(folder).startsWith(canonical(root));
}

} // namespace

GetDictionariesWindow::GetDictionariesWindow(
    std::function<QString()> folder,
    std::function<void(const data::DictionaryConfig&)> closeDictionary, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(std::move(folder)),
      m_closeDictionary(std::move(closeDictionary)), m_c(buildGetDictionariesLayout(this)),
      m_run(new ImportRun(this)) {
    setObjectName(QStringLiteral("frmGetDictionaries"));
    setAccessibleName(kTitle);
    setWindowTitle(QStringLiteral("Tolvane - ") + kTitle);
    resize(560, 480);
    platform::drawAccessKeysWhileAltHeld(*this); // as the menus draw them
    const auto guarded = [this](void (GetDictionariesWindow::*handler)()) {
        return [this, handler] { platform::runGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(m_c.cmdAdd, &QPushButton::clicked, this, guarded(&GetDictionariesWindow::cmdAdd_Click));
    connect(m_c.cmdRemove, &QPushButton::clicked, this,
            guarded(&GetDictionariesWindow::cmdRemove_Click));
    connect(m_c.cmdRefresh, &QPushButton::clicked, this,
            guarded(&GetDictionariesWindow::cmdRefresh_Click));
    connect(m_c.cmdCancel, &QPushButton::clicked, this,
            guarded(&GetDictionariesWindow::cmdCancel_Click));
    connect(m_c.cmdClose, &QPushButton::clicked, this, &QWidget::close);
    const std::pair<QPushButton*, void (GetDictionariesWindow::*)()> repository[] = {
        {m_c.cmdListAvailable, &GetDictionariesWindow::cmdListAvailable_Click},
        {m_c.cmdInstall, &GetDictionariesWindow::cmdInstall_Click},
        {m_c.cmdUninstall, &GetDictionariesWindow::cmdUninstall_Click},
        {m_c.cmdUseEastons, &GetDictionariesWindow::cmdUseEastons_Click},
        {m_c.cmdUseHitchcock, &GetDictionariesWindow::cmdUseHitchcock_Click},
        {m_c.cmdAddRepository, &GetDictionariesWindow::cmdAddRepository_Click},
        {m_c.cmdRefreshRepositories, &GetDictionariesWindow::cmdRefreshRepositories_Click}};
    for (const auto& [button, handler] : repository)
        connect(button, &QPushButton::clicked, this, guarded(handler));
    // Enter on a list does what the button below it does.
    connect(m_c.lstInstalled, &QTreeWidget::itemActivated, this,
            guarded(&GetDictionariesWindow::cmdAdd_Click));
    connect(m_c.lstInstalled, &QTreeWidget::currentItemChanged, this,
            &GetDictionariesWindow::updateUninstall);
    connect(m_c.lstTolvane, &QTreeWidget::itemActivated, this,
            guarded(&GetDictionariesWindow::cmdRemove_Click));
    connect(m_run, &ImportRun::progress, this, &GetDictionariesWindow::showProgress);
    connect(m_run, &ImportRun::adding, this, [this] {
        m_downloaded = true;
        setStatus(QStringLiteral("Adding %1 to Tolvane...").arg(m_adding));
        m_c.barProgress->setRange(0, 0); // reading the module tells no share done
        m_c.barProgress->setTextVisible(false);
    });
    connect(m_run, &ImportRun::finished, this, [this](int exitCode) {
        platform::runGuarded([this, exitCode] { runFinished(exitCode); });
    });
}

bool GetDictionariesWindow::isBusy() const {
    return m_running != Running::Nothing;
}

void GetDictionariesWindow::Form_Load() {
    cmdRefresh_Click();
}

void GetDictionariesWindow::cmdRefresh_Click() {
    listTolvane();
    begin(Running::Listing, {QStringLiteral("--sword-list"), QStringLiteral("--tsv")},
          QStringLiteral("Looking for SWORD dictionaries on this computer..."));
}

void GetDictionariesWindow::cmdAdd_Click() {
    const QTreeWidgetItem* item = m_c.lstInstalled->currentItem();
    if (!item || isBusy())
        return;
    m_adding = item->text(ModuleName);
    const QString output = addedPath(m_adding);
    begin(Running::Adding, {QStringLiteral("--quiet"), QStringLiteral("--sword"), m_adding, output},
          QStringLiteral("Adding %1 to Tolvane...").arg(m_adding));
}

// Into the folder this program reads, whichever that is; a module keeps the file it already
// has there, and never takes another module's (data/AddedDictionaries.h).
QString GetDictionariesWindow::addedPath(const QString& module) const {
    const QString folder = m_folder();
    const QString source = data::swordModuleSource(module);
    return QDir(folder).filePath(data::addedFileFor(
        folder, module, [&](const data::AddedFacts& facts) { return facts.source == source; }));
}

void GetDictionariesWindow::cmdRemove_Click() {
    const QTreeWidgetItem* item = m_c.lstTolvane->currentItem();
    if (!item || isBusy())
        return;
    const QString title = item->text(DictionaryTitle);
    const QString path = QDir(m_folder()).filePath(item->text(DictionaryFile));
    const data::DictionaryConfig* config = nullptr;
    for (const auto* c : data::addedConfigs())
        if (c->fileName == item->text(DictionaryFile))
            config = c;
    if (platform::msgBox(QStringLiteral("Remove \"%1\" from Tolvane?\n\nThis deletes the file "
                                        "%2.")
                             .arg(title, QDir::toNativeSeparators(path)),
                         platform::YesNo, kTitle) != platform::AnswerYes)
        return;
    if (removeAdded(config, title, path))
        setStatus(QStringLiteral("\"%1\" was removed.").arg(title));
}

bool GetDictionariesWindow::removeAdded(const data::DictionaryConfig* config, const QString& title,
                                        const QString& path) {
    if (config && m_closeDictionary)
        m_closeDictionary(*config);
    QFile file(path);
    if (!file.remove()) {
        setStatus(QStringLiteral("%1 could not be deleted: %2").arg(path, file.errorString()));
        return false;
    }
    listTolvane();
    markInTolvane();
    Q_EMIT dictionariesChanged();
    return true;
}

void GetDictionariesWindow::cmdCancel_Click() {
    m_run->cancel();
}

void GetDictionariesWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    if (isBusy())
        cmdCancel_Click();
    else
        close();
}

void GetDictionariesWindow::begin(Running what, const QStringList& arguments,
                                  const QString& status) {
    if (isBusy())
        return;
    if (!m_run->start(arguments)) {
        setStatus(m_run->failed);
        Q_EMIT idle();
        return;
    }
    m_running = what;
    m_downloaded = false;
    setStatus(status);
    m_c.barProgress->setRange(0, 0); // a busy bar until the tool tells a share done
    m_c.barProgress->setTextVisible(false);
    m_c.barProgress->setVisible(true);
    m_c.cmdCancel->setEnabled(true);
    for (QPushButton* b : actionButtons())
        b->setEnabled(false);
}

void GetDictionariesWindow::showProgress(qint64 done, qint64 total) {
    QProgressBar* bar = m_c.barProgress;
    if (total <= 0) { // not known: the bar stays busy, the bytes in its text for readers
        bar->setRange(0, 0);
        bar->setFormat(sizeText(done));
        bar->setAccessibleDescription(bar->format());
        return;
    }
    // In thousandths: a bar counts in int, a module can be larger.
    bar->setRange(0, 1000);
    bar->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
    bar->setFormat(QStringLiteral("%1 of %2").arg(sizeText(done), sizeText(total)));
    bar->setAccessibleDescription(bar->format());
    bar->setTextVisible(true);
}

QList<QPushButton*> GetDictionariesWindow::actionButtons() const {
    return {m_c.cmdAdd,           m_c.cmdRemove,
            m_c.cmdRefresh,       m_c.cmdUninstall,
            m_c.cmdInstall,       m_c.cmdListAvailable,
            m_c.cmdUseEastons,    m_c.cmdUseHitchcock,
            m_c.cmdAddRepository, m_c.cmdRefreshRepositories};
}

void GetDictionariesWindow::runFinished(int exitCode) {
    const Running was = std::exchange(m_running, Running::Nothing);
    m_c.barProgress->setVisible(false);
    m_c.cmdCancel->setEnabled(false);
    for (QPushButton* b : actionButtons())
        b->setEnabled(true);
    updateUninstall();
    // A failed replacement left the file as it was: its fresh backup is not needed.
    if (exitCode != 0 && was == Running::Replacing && !m_backup.isEmpty())
        QFile::remove(m_backup);
    if (exitCode != 0 && was == Running::Installing && m_downloaded) {
        installedNotAdded(exitCode);
    } else if (exitCode == -1)
        setStatus(QStringLiteral("Cancelled; nothing was changed."));
    else if (exitCode != 0)
        setStatus(m_run->problem().isEmpty()
                      ? QStringLiteral("tolvane-import failed (exit status %1).").arg(exitCode)
                      : m_run->problem());
    else if (was == Running::Listing)
        listInstalled(m_run->output());
    else if (was == Running::Adding) {
        listTolvane();
        markInTolvane();
        setStatus(
            QStringLiteral("%1 was added to Tolvane: see the Dictionaries menu.").arg(m_adding));
        Q_EMIT dictionariesChanged();
    } else
        repositoryRunFinished(was);
    if (was == Running::Listing)
        m_outcome.clear();
    Q_EMIT idle();
}

// The module came into ~/.sword, but adding it to Tolvane failed or was cancelled: it is
// listed as "installed, not added", chosen, with Add beside it (the tool's message says why).
void GetDictionariesWindow::installedNotAdded(int exitCode) {
    m_notAdded = m_adding;
    m_outcome = exitCode == -1 ? QStringLiteral("Cancelled: %1 stays installed in ~/.sword but was "
                                                "not added to Tolvane; choose Add to Tolvane to "
                                                "add it.")
                                     .arg(m_adding)
                               : m_run->problem();
    markOffered(m_adding, QStringLiteral("installed"));
    setStatus(m_outcome);
    cmdRefresh_Click(); // the installed list gains it; the outcome stays the status
}

void GetDictionariesWindow::updateUninstall() {
    const QTreeWidgetItem* item = m_c.lstInstalled->currentItem();
    m_c.cmdUninstall->setEnabled(!isBusy() && item &&
                                 item->data(ModulePlace, Qt::UserRole).toBool());
}

void GetDictionariesWindow::listTolvane() {
    m_c.lstTolvane->clear();
    for (const auto* config : data::rescanAddedDictionaries(m_folder())) {
        auto* item = new QTreeWidgetItem(m_c.lstTolvane);
        item->setText(DictionaryTitle, config->menuCaption);
        item->setText(DictionarySource, config->source);
        item->setText(DictionaryFile, config->fileName);
    }
    listUnusableFiles();
    if (m_c.lstTolvane->topLevelItemCount() > 0)
        m_c.lstTolvane->setCurrentItem(m_c.lstTolvane->topLevelItem(0));
}

// Files in the folder that cannot be dictionaries, after them: named as what they are, with
// what to do in their tooltip; Remove deletes one as it does a dictionary.
void GetDictionariesWindow::listUnusableFiles() {
    for (const data::UnusableFile& file : data::unusableAddedFiles()) {
        auto* item = new QTreeWidgetItem(m_c.lstTolvane);
        item->setText(DictionaryTitle,
                      (file.title.isEmpty() ? file.fileName : file.title).left(200) +
                          QStringLiteral(" (") + file.state + QLatin1Char(')'));
        item->setText(DictionarySource, QStringLiteral("Cannot be opened: remove it"));
        item->setText(DictionaryFile, file.fileName);
        for (int column = 0; column < m_c.lstTolvane->columnCount(); ++column) {
            item->setToolTip(column, file.problem);
            item->setForeground(
                column, m_c.lstTolvane->palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
}

void GetDictionariesWindow::listInstalled(const QByteArray& tsv) {
    m_c.lstInstalled->clear();
    for (const QString& line : QString::fromUtf8(tsv).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 3)
            continue;
        auto* item = new QTreeWidgetItem(m_c.lstInstalled);
        item->setText(ModuleName, fields.at(0));
        item->setText(ModuleDescription, fields.at(1));
        item->setText(ModuleEntries, fields.at(2));
        item->setToolTip(ModuleName, fields.value(3)); // its folder
        item->setText(ModuleVersion, fields.value(4));
        const qint64 size = fields.value(5).toLongLong();
        if (size > 0)
            item->setText(ModuleSize, sizeText(size));
        item->setText(ModuleLicence, fields.value(6));
        // Modules in the system's folders (Debian's sword-dict-* packages) belong to its
        // package manager; Uninstall is for those in ~/.sword.
        const QString folder = fields.value(3);
        const bool own = isInside(folder, userLibrary());
        item->setData(ModulePlace, Qt::UserRole, own);
        item->setText(ModulePlace, own ? QStringLiteral("~/.sword")
                                   : !isInside(folder, QDir::homePath())
                                       ? QStringLiteral("installed by the system")
                                       : QDir::toNativeSeparators(folder));
    }
    markInTolvane();
    const int found = m_c.lstInstalled->topLevelItemCount();
    const auto notAdded = m_c.lstInstalled->findItems(m_notAdded, Qt::MatchExactly, ModuleName);
    if (!notAdded.isEmpty() && notAdded.first()->text(ModuleInTolvane) != u"Yes")
        m_c.lstInstalled->setCurrentItem(notAdded.first());
    else if (found > 0)
        m_c.lstInstalled->setCurrentItem(m_c.lstInstalled->topLevelItem(0));
    updateUninstall();
    if (!m_outcome.isEmpty())
        setStatus(m_outcome); // what the listing follows: an install or uninstall
    else
        setStatus(found == 0
                      ? QStringLiteral("No SWORD dictionary is installed on this computer.")
                      : QStringLiteral("%1 SWORD dictionaries on this computer.").arg(found));
}

void GetDictionariesWindow::markInTolvane() {
    for (int i = 0; i < m_c.lstInstalled->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_c.lstInstalled->topLevelItem(i);
        bool has = false;
        for (const auto* config : data::addedConfigs())
            has = has || config->source == data::swordModuleSource(item->text(ModuleName));
        item->setText(ModuleInTolvane, has ? QStringLiteral("Yes")
                                       : item->text(ModuleName) == m_notAdded
                                           ? QStringLiteral("installed, not added")
                                           : QStringLiteral("No"));
    }
}

void GetDictionariesWindow::setStatus(const QString& text) {
    m_c.lblStatus->setText(text);
    // The lists' columns as wide as what they now hold.
    for (QTreeWidget* list : {m_c.lstInstalled, m_c.lstAvailable, m_c.lstTolvane})
        for (int column = 0; column + 1 < list->columnCount(); ++column)
            list->resizeColumnToContents(column);
}

} // namespace tolvane::getdictionaries
