#include "shell/UnusableFilesMenu.h"

#include "data/AddedDictionaries.h"
#include "moredictionaries/TitleText.h"
#include "shell/DictionaryMenu.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>

namespace tolvane::shell {

void listUnusableFiles(QMenu& menu, QAction* before) {
    const auto& unusable = data::unusableAddedFiles();
    const QFontMetrics metrics(menu.font());
    const auto greyed = [&](QString caption, const QString& name, const QString& tip) {
        auto* item = new QAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")), &menu);
        item->setObjectName(name);
        item->setEnabled(false);
        item->setToolTip(tip);
        menu.insertAction(before, item);
    };
    for (std::size_t i = 0; i < unusable.size() && i < std::size_t(kMenuUnusableFiles); ++i) {
        const data::UnusableFile& file = unusable[i];
        const QString name = file.title.isEmpty() ? file.fileName : file.title;
        greyed(moredictionaries::shownTitle(name, metrics, kMenuTitlePixels) +
                   QStringLiteral(" (") + file.state + QLatin1Char(')'),
               QStringLiteral("mnuUnusable_") + file.fileName, file.problem);
    }
    if (unusable.size() > std::size_t(kMenuUnusableFiles))
        greyed(QStringLiteral("%1 more files that cannot be opened")
                   .arg(unusable.size() - std::size_t(kMenuUnusableFiles)),
               QStringLiteral("mnuUnusableMore"),
               QStringLiteral("Get Dictionaries (in this menu) lists them, with what is wrong "
                              "with each; Remove there deletes one."));
    menu.setToolTipsVisible(true);
}

} // namespace tolvane::shell
