#include "getdictionaries/GetDictionariesLayout.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tolvane::getdictionaries {

namespace {

template <typename W> W* named(W* w, const char* name, const QString& accessible) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessible);
    return w;
}

QTreeWidget* list(const char* name, const QString& accessible, const QStringList& headers) {
    auto* l = named(new QTreeWidget, name, accessible);
    l->setHeaderLabels(headers);
    l->setRootIsDecorated(false);
    l->setAllColumnsShowFocus(true);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->header()->setStretchLastSection(true);
    return l;
}

// A caption whose access key moves to `buddy`.
QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QString sizeText(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

GetDictionariesControls buildGetDictionariesLayout(QWidget* window) {
    GetDictionariesControls c;
    c.lstInstalled =
        list("lstInstalled", QStringLiteral("SWORD dictionaries on this computer"),
             {QStringLiteral("Module"), QStringLiteral("Description"), QStringLiteral("In Tolvane"),
              QStringLiteral("Entries"), QStringLiteral("Version"), QStringLiteral("Size"),
              QStringLiteral("Licence"), QStringLiteral("Installed")});
    c.cmdAdd = named(new QPushButton(QStringLiteral("&Add to Tolvane")), "cmdAdd",
                     QStringLiteral("Add to Tolvane"));
    c.cmdUninstall = named(new QPushButton(QStringLiteral("&Uninstall")), "cmdUninstall",
                           QStringLiteral("Uninstall from this computer"));
    c.cmdUseEastons = named(new QPushButton(QStringLiteral("Use as &Easton's Bible Dictionary")),
                            "cmdUseEastons", QStringLiteral("Use as Easton's Bible Dictionary"));
    c.cmdUseHitchcock = named(new QPushButton(QStringLiteral("Use as &Hitchcock's Bible Names")),
                              "cmdUseHitchcock", QStringLiteral("Use as Hitchcock's Bible Names"));
    c.lstAvailable =
        list("lstAvailable", QStringLiteral("SWORD dictionaries offered by the repositories"),
             {QStringLiteral("Module"), QStringLiteral("Description"), QStringLiteral("Version"),
              QStringLiteral("Size"), QStringLiteral("Licence"), QStringLiteral("Status"),
              QStringLiteral("Repository")});
    c.cmdListAvailable =
        named(new QPushButton(QStringLiteral("&List the repositories' dictionaries")),
              "cmdListAvailable", QStringLiteral("List the repositories' dictionaries"));
    c.cmdInstall = named(new QPushButton(QStringLiteral("&Install")), "cmdInstall",
                         QStringLiteral("Install or update, and add to Tolvane"));
    c.txtRepositoryName =
        named(new QLineEdit, "txtRepositoryName", QStringLiteral("Repository name"));
    c.txtRepositoryName->setPlaceholderText(QStringLiteral("Name"));
    c.txtRepositoryUrl =
        named(new QLineEdit, "txtRepositoryUrl", QStringLiteral("Repository address"));
    c.txtRepositoryUrl->setPlaceholderText(QStringLiteral("https://host/path"));
    c.cmdAddRepository = named(new QPushButton(QStringLiteral("Add repositor&y")),
                               "cmdAddRepository", QStringLiteral("Add the repository"));
    c.cmdRefreshRepositories =
        named(new QPushButton(QStringLiteral("Refresh repository list")), "cmdRefreshRepositories",
              QStringLiteral("Refresh the list of repositories from the master list"));
    c.lstTolvane =
        list("lstTolvane", QStringLiteral("Dictionaries added to Tolvane"),
             {QStringLiteral("Title"), QStringLiteral("Source"), QStringLiteral("File")});
    c.cmdRemove = named(new QPushButton(QStringLiteral("&Remove from Tolvane")), "cmdRemove",
                        QStringLiteral("Remove from Tolvane"));
    c.cmdRefresh = named(new QPushButton(QStringLiteral("Re&fresh")), "cmdRefresh",
                         QStringLiteral("Refresh the lists"));
    c.cmdCancel = named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel",
                        QStringLiteral("Cancel the running operation"));
    c.cmdClose =
        named(new QPushButton(QStringLiteral("Close")), "cmdClose", QStringLiteral("Close"));
    c.barProgress = named(new QProgressBar, "barProgress", QStringLiteral("Progress"));
    c.lblStatus = named(new QLabel, "lblStatus", QStringLiteral("Status"));
    c.lblStatus->setWordWrap(true);
    c.lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    c.barProgress->setVisible(false);
    c.cmdCancel->setEnabled(false);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(
        caption(QStringLiteral("SWORD dictionaries &on this computer:"), c.lstInstalled));
    layout->addWidget(c.lstInstalled, 1);
    auto* addRow = new QHBoxLayout;
    for (QPushButton* b : {c.cmdAdd, c.cmdUninstall, c.cmdUseEastons, c.cmdUseHitchcock})
        addRow->addWidget(b);
    addRow->addStretch();
    layout->addLayout(addRow);
    layout->addWidget(caption(QStringLiteral("From the SWORD re&positories (uses the network):"),
                              c.lstAvailable));
    layout->addWidget(c.lstAvailable, 1);
    auto* installRow = new QHBoxLayout;
    installRow->addWidget(c.cmdListAvailable);
    installRow->addWidget(c.cmdInstall);
    installRow->addStretch();
    installRow->addWidget(c.cmdRefreshRepositories);
    layout->addLayout(installRow);
    auto* repositoryRow = new QHBoxLayout;
    repositoryRow->addWidget(c.txtRepositoryName, 1);
    repositoryRow->addWidget(c.txtRepositoryUrl, 3);
    repositoryRow->addWidget(c.cmdAddRepository);
    layout->addLayout(repositoryRow);
    layout->addWidget(caption(QStringLiteral("Added to &Tolvane:"), c.lstTolvane));
    layout->addWidget(c.lstTolvane, 1);
    auto* removeRow = new QHBoxLayout;
    removeRow->addWidget(c.cmdRemove);
    removeRow->addStretch();
    layout->addLayout(removeRow);
    layout->addWidget(c.barProgress);
    layout->addWidget(c.lblStatus);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(c.cmdRefresh);
    bottom->addStretch();
    bottom->addWidget(c.cmdCancel);
    bottom->addWidget(c.cmdClose);
    layout->addLayout(bottom);

    const QList<QWidget*> order{c.lstInstalled,      c.cmdAdd,           c.cmdUninstall,
                                c.cmdUseEastons,     c.cmdUseHitchcock,  c.lstAvailable,
                                c.cmdListAvailable,  c.cmdInstall,       c.cmdRefreshRepositories,
                                c.txtRepositoryName, c.txtRepositoryUrl, c.cmdAddRepository,
                                c.lstTolvane};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
    QWidget::setTabOrder(c.lstTolvane, c.cmdRemove);
    QWidget::setTabOrder(c.cmdRemove, c.cmdRefresh);
    QWidget::setTabOrder(c.cmdRefresh, c.cmdCancel);
    QWidget::setTabOrder(c.cmdCancel, c.cmdClose);
    return c;
}

} // namespace tolvane::getdictionaries
