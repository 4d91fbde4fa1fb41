// The Get Dictionaries window and the SWORD repositories: listing what they offer, installing
// into ~/.sword (and into Tolvane), uninstalling, and a module taking the place of Easton's or
// Hitchcock's. Everything runs in tolvane-import (and its helpers) as a child process.

#include "getdictionaries/GetDictionariesWindow.h"

#include "data/AddedDictionaries.h"
#include "data/DictionaryConfig.h"
#include "data/WrittenContent.h"
#include "getdictionaries/ImportRun.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>

namespace tolvane::getdictionaries {

namespace {

const QString kTitle = QStringLiteral("Get Dictionaries");

} // namespace

QString GetDictionariesWindow::networkCaution() {
    // libsword's own caution (InstallMgr::isUserDisclaimerConfirmed).
    return QStringLiteral(
        "Although Install Manager provides a convenient way for installing and upgrading SWORD "
        "components, it also uses a systematic method for accessing sites which gives packet "
        "sniffers a target to lock into for singling out users.\n\n"
        "IF YOU LIVE IN A PERSECUTED COUNTRY AND DO NOT WISH TO RISK DETECTION, YOU SHOULD "
        "*NOT* USE INSTALL MANAGER'S REMOTE SOURCE FEATURES.\n\n"
        "Also, Remote Sources other than CrossWire may contain less than quality modules, "
        "modules with unorthodox content, or even modules which are not legitimately "
        "distributable. Many repositories contain wonderfully useful content. These "
        "repositories simply are not reviewed or maintained by CrossWire and CrossWire cannot "
        "be held responsible for their content. CAVEAT EMPTOR.\n\n"
        "Allow Tolvane to use the network for the SWORD repositories?");
}

// Asked once; a yes is remembered, a no leaves the question for the next time.
bool GetDictionariesWindow::networkAllowed() {
    QSettings settings;
    if (settings.value(QLatin1String(kNetworkSetting)).toBool())
        return true;
    if (platform::msgBox(networkCaution(), platform::YesNo, kTitle) != platform::AnswerYes) {
        setStatus(QStringLiteral("The repositories were not asked: network use was declined."));
        return false;
    }
    settings.setValue(QLatin1String(kNetworkSetting), true);
    return true;
}

void GetDictionariesWindow::cmdListAvailable_Click() {
    if (isBusy() || !networkAllowed())
        return;
    begin(Running::Offering, {QStringLiteral("--sword-available"), QStringLiteral("--tsv")},
          QStringLiteral("Asking the SWORD repositories..."));
}

void GetDictionariesWindow::cmdInstall_Click() {
    const QTreeWidgetItem* item = m_c.lstAvailable->currentItem();
    if (!item || isBusy() || !networkAllowed())
        return;
    m_adding = item->text(OfferedName);
    const QString output = addedPath(m_adding);
    begin(Running::Installing,
          {QStringLiteral("--quiet"), QStringLiteral("--progress-lines"),
           QStringLiteral("--sword-install"), m_adding, QStringLiteral("--source"),
           item->text(OfferedRepository), output},
          QStringLiteral("Installing %1 from %2...").arg(m_adding, item->text(OfferedRepository)));
}

void GetDictionariesWindow::cmdUninstall_Click() {
    const QTreeWidgetItem* item = m_c.lstInstalled->currentItem();
    if (!item || isBusy())
        return;
    m_adding = item->text(ModuleName);
    if (!item->data(ModulePlace, Qt::UserRole).toBool()) {
        // The button is disabled for it; this is the handler's own guard.
        setStatus(item->text(ModulePlace) == u"installed by the system"
                      ? QStringLiteral("%1 is installed by the system (in %2): remove it with the "
                                       "system's package manager.")
                            .arg(m_adding, item->toolTip(ModuleName))
                      : QStringLiteral("%1 is in %2, not in ~/.sword: Uninstall removes modules "
                                       "from ~/.sword only.")
                            .arg(m_adding, item->toolTip(ModuleName)));
        return;
    }
    if (platform::msgBox(QStringLiteral("Uninstall the SWORD module %1 from this computer?\n\n"
                                        "Other Bible programs will no longer see it; Tolvane's "
                                        "copy, if any, stays.")
                             .arg(m_adding),
                         platform::YesNo, kTitle) != platform::AnswerYes)
        return;
    begin(Running::Uninstalling, {QStringLiteral("--sword-uninstall"), m_adding},
          QStringLiteral("Uninstalling %1...").arg(m_adding));
}

void GetDictionariesWindow::cmdUseEastons_Click() {
    useAs(data::eastonsConfig());
}

void GetDictionariesWindow::cmdUseHitchcock_Click() {
    useAs(data::hitchcockConfig());
}

// The chosen module replaces one of the three; the file it replaces is kept beside it. Asked
// first only when that file may hold entries of the user's own (data/WrittenContent.h).
void GetDictionariesWindow::useAs(const data::DictionaryConfig& part) {
    const QTreeWidgetItem* item = m_c.lstInstalled->currentItem();
    if (!item || isBusy())
        return;
    m_adding = item->text(ModuleName);
    const QString file = QDir(m_folder()).filePath(part.fileName);
    m_backup = file + QStringLiteral(".bak");
    for (int n = 2; QFile::exists(m_backup); ++n)
        m_backup = file + QStringLiteral(".bak%1").arg(n);
    const data::WrittenContent content = data::writtenContentOf(file, part);
    const bool ask =
        content == data::WrittenContent::Changed || content == data::WrittenContent::Unknown;
    if (ask && platform::msgBox(QStringLiteral("Use %1 as %2?\n\nThe current file %3 %4 It is "
                                               "kept as %5.")
                                    .arg(m_adding, part.menuCaption, QDir::toNativeSeparators(file),
                                         content == data::WrittenContent::Changed
                                             ? QStringLiteral("holds entries you have added, "
                                                              "edited or deleted.")
                                             : QStringLiteral("may hold entries you have added "
                                                              "or edited (Tolvane did not write "
                                                              "it)."),
                                         QDir::toNativeSeparators(m_backup)),
                                platform::YesNo, kTitle) != platform::AnswerYes)
        return;
    if (QFile::exists(file) && !QFile::copy(file, m_backup)) {
        setStatus(
            QStringLiteral("%1 could not be kept as %2; nothing was changed.").arg(file, m_backup));
        return;
    }
    m_replaced = &part;
    if (m_closeDictionary)
        m_closeDictionary(part);
    begin(Running::Replacing,
          {QStringLiteral("--quiet"), QStringLiteral("--sword"), m_adding, file},
          QStringLiteral("Putting %1 in the place of %2...").arg(m_adding, part.menuCaption));
}

void GetDictionariesWindow::offerToRemoveAddedCopy() {
    const QString source = data::swordModuleSource(m_adding);
    const data::DictionaryConfig* copy = nullptr;
    for (const auto* config : data::rescanAddedDictionaries(m_folder()))
        if (config->source == source)
            copy = config;
    if (!copy)
        return;
    const QString path = QDir(m_folder()).filePath(copy->fileName);
    const QString done = m_c.lblStatus->text();
    if (platform::msgBox(QStringLiteral("%1 now takes the place of %2. Remove the added copy "
                                        "\"%3\" from Tolvane?\n\nIt holds the same entries; "
                                        "removing it deletes the file %4.")
                             .arg(m_adding, m_replaced->menuCaption, copy->menuCaption,
                                  QDir::toNativeSeparators(path)),
                         platform::YesNo, kTitle) != platform::AnswerYes)
        return;
    const QString title = copy->menuCaption;
    if (removeAdded(copy, title, path))
        setStatus(done + QStringLiteral(" The added copy \"%1\" was removed.").arg(title));
}

// A repository by name and address, into libsword's own configuration (no network yet).
void GetDictionariesWindow::cmdAddRepository_Click() {
    const QString name = m_c.txtRepositoryName->text().trimmed();
    const QString url = m_c.txtRepositoryUrl->text().trimmed();
    if (isBusy())
        return;
    if (name.isEmpty() || url.isEmpty()) {
        setStatus(QStringLiteral("A repository needs a name and an address."));
        return;
    }
    begin(Running::Repositories, {QStringLiteral("--sword-add-source"), name, url},
          QStringLiteral("Adding the repository %1...").arg(name));
}

void GetDictionariesWindow::cmdRefreshRepositories_Click() {
    if (isBusy() || !networkAllowed())
        return;
    begin(Running::Repositories, {QStringLiteral("--sword-refresh-sources")},
          QStringLiteral("Fetching the list of repositories..."));
}

void GetDictionariesWindow::repositoryRunFinished(Running was) {
    switch (was) {
    case Running::Repositories:
        // The tool's table: a header line, then one repository a line.
        setStatus(QStringLiteral("Repositories: %1. List their dictionaries to see what they "
                                 "offer.")
                      .arg(QString::fromUtf8(m_run->output()).count(u'\n') - 1));
        m_c.txtRepositoryName->clear();
        m_c.txtRepositoryUrl->clear();
        break;
    case Running::Offering:
        listAvailable(m_run->output());
        break;
    case Running::Installing:
        listTolvane();
        m_outcome = QStringLiteral("%1 was installed and added to Tolvane: see the Dictionaries "
                                   "menu.")
                        .arg(m_adding);
        markOffered(m_adding, QStringLiteral("installed"));
        Q_EMIT dictionariesChanged();
        cmdRefresh_Click(); // the installed list gains it; the outcome stays the status
        break;
    case Running::Uninstalling:
        m_outcome = QStringLiteral("%1 was uninstalled.").arg(m_adding);
        markOffered(m_adding, QStringLiteral("new"));
        cmdRefresh_Click();
        break;
    case Running::Replacing:
        setStatus(QStringLiteral("%1 now takes the place of %2; the previous file is %3.")
                      .arg(m_adding, m_replaced->menuCaption, m_backup));
        Q_EMIT dictionariesChanged();
        offerToRemoveAddedCopy();
        break;
    default:
        break;
    }
}

void GetDictionariesWindow::listAvailable(const QByteArray& tsv) {
    m_c.lstAvailable->clear();
    for (const QString& line : QString::fromUtf8(tsv).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 7)
            continue;
        auto* item = new QTreeWidgetItem(m_c.lstAvailable);
        for (int column = OfferedName; column <= OfferedRepository; ++column)
            item->setText(column, fields.at(column));
        bool known = false; // the repository's InstallSize, in bytes, when it gives one
        const qint64 size = fields.at(OfferedSize).toLongLong(&known);
        if (known && size > 0)
            item->setText(OfferedSize, sizeText(size));
        if (fields.at(OfferedStatus) == u"update")
            item->setText(OfferedStatus, QStringLiteral("update available"));
    }
    const int found = m_c.lstAvailable->topLevelItemCount();
    if (found > 0)
        m_c.lstAvailable->setCurrentItem(m_c.lstAvailable->topLevelItem(0));
    setStatus(found == 1 ? QStringLiteral("The repositories offer 1 dictionary.")
                         : QStringLiteral("The repositories offer %1 dictionaries.").arg(found));
}

// The offered list was read before the install or uninstall; its status column follows it
// without asking the repositories again.
void GetDictionariesWindow::markOffered(const QString& module, const QString& status) {
    for (int row = 0; row < m_c.lstAvailable->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_c.lstAvailable->topLevelItem(row);
        if (item->text(OfferedName) == module)
            item->setText(OfferedStatus, status);
    }
}

} // namespace tolvane::getdictionaries
