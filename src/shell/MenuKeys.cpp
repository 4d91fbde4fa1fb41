#include "shell/MenuKeys.h"

#include "platform/AccessKeyCues.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace tolvane::shell {

namespace {

class MenuStyle final : public platform::AccessKeyStyle {
public:
    using AccessKeyStyle::AccessKeyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The platform style decides whether a lone Alt press moves into the menu bar; on
        // the platform the program was made for it does, whatever the style on this one says.
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return AccessKeyStyle::styleHint(hint, option, widget, returnData);
    }
    // Some styles mark a bar item only while its menu is open; with the keyboard in the bar
    // the marked item is where the keys act, so it is drawn as if pressed.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && item->state.testFlag(State_Selected) && widget &&
            widget->hasFocus()) {
            QStyleOptionMenuItem marked(*item);
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

void enableMenuKeys(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    // Drawn while Alt is held in any window, and while the keyboard works in the bar or a
    // menu it opened.
    const auto redraw = [bar = QPointer<QMenuBar>(bar)] {
        if (!bar)
            return;
        bar->update();
        for (QMenu* menu : bar->findChildren<QMenu*>())
            if (menu->isVisible())
                menu->update();
    };
    const auto inMenus = [bar] {
        return (bar->hasFocus() && bar->activeAction()) ||
               qobject_cast<QMenu*>(QApplication::activePopupWidget());
    };
    auto* cues = new platform::AccessKeyCues(bar, nullptr, redraw, inMenus);
    auto* style = new MenuStyle(*cues);
    style->setParent(cues); // goes before the cues it asks
    bar->setStyle(style);
    for (QMenu* menu : bar->findChildren<QMenu*>())
        menu->setStyle(style);
    // F10 does what a lone Alt does: the bar takes the keyboard with its first menu marked
    // (or gives it back), and the arrow keys, Enter and Escape go on from there; Enter also
    // works on About, a command on the bar itself, because the bar holds the focus. The bar
    // watches the window for a lone Alt, so F10 hands it one.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    f10->setContext(Qt::WindowShortcut);
    QObject::connect(f10, &QShortcut::activated, &window, [target = &window] {
        QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(target, &altDown);
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &altUp);
    });
}

QString plainCaption(const QString& text) {
    QString plain;
    const QString caption = text.section(QLatin1Char('\t'), 0, 0);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QChar accessKeyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toLower();
        ++i; // "&&" is a plain '&'
    }
    return {};
}

QString captionWithAccessKey(const QString& text, QSet<QChar>& used) {
    QString caption;
    bool chosen = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('&')) {
            caption += QLatin1String("&&");
            continue;
        }
        if (!chosen && c.isLetterOrNumber() && !used.contains(c.toLower())) {
            used.insert(c.toLower());
            caption += QLatin1Char('&');
            chosen = true;
        }
        caption += c;
    }
    return caption;
}

} // namespace tolvane::shell
