#include "shell/DictionaryMenu.h"

#include "data/DictionaryConfig.h"
#include "moredictionaries/TitleText.h"
#include "shell/MenuKeys.h"

#include <QAction>
#include <QMenu>

namespace tolvane::shell {

void listAddedDictionaries(QMenu& menu, QAction* after, QAction* before,
                           const std::vector<const data::DictionaryConfig*>& added,
                           const std::function<void(const data::DictionaryConfig&)>& open,
                           const std::function<void()>& more) {
    const QList<QAction*> items = menu.actions();
    for (qsizetype i = items.indexOf(after) + 1; i < items.indexOf(before); ++i)
        delete items.at(i);
    const bool tooMany = added.size() > std::size_t(kMenuDictionaries);
    const QString moreCaption = QStringLiteral("&More Dictionaries...");
    // Each added title gets a letter no other item of the menu uses as its access key.
    QSet<QChar> used;
    for (QAction* item : menu.actions())
        if (const QChar key = accessKeyOf(item->text()); !key.isNull())
            used.insert(key);
    if (tooMany)
        used.insert(accessKeyOf(moreCaption));
    const QFontMetrics metrics(menu.font());
    menu.setToolTipsVisible(true);
    for (std::size_t i = 0; i < added.size() && i < std::size_t(kMenuDictionaries); ++i) {
        const data::DictionaryConfig* config = added[i];
        const QString shown =
            moredictionaries::shownTitle(config->menuCaption, metrics, kMenuTitlePixels);
        auto* item = new QAction(captionWithAccessKey(shown, used), &menu);
        item->setObjectName(QStringLiteral("mnu") + config->windowName);
        item->setToolTip(
            moredictionaries::titleTooltip(config->menuCaption, metrics, kMenuTitlePixels));
        menu.insertAction(before, item);
        QObject::connect(item, &QAction::triggered, &menu, [open, config] { open(*config); });
    }
    if (tooMany) {
        auto* item = new QAction(moreCaption, &menu);
        item->setObjectName(QStringLiteral("mnuDictionariesMore"));
        menu.insertAction(before, item);
        QObject::connect(item, &QAction::triggered, &menu, more);
    }
}

} // namespace tolvane::shell
