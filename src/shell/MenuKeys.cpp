#include "shell/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>
#include <QTimer>

namespace tolvane::shell {

namespace {

// Whether access keys are drawn: while Alt is held, and while the keyboard works in the
// menu bar or a menu it opened (until the mouse is used). Qt's styles here draw them always
// or never; the platform the program was made for draws them so.
class AccessKeyCues final : public QObject {
public:
    explicit AccessKeyCues(QMenuBar* bar) : QObject(bar), m_bar(bar) {
        qApp->installEventFilter(this);
    }
    ~AccessKeyCues() override { qApp->removeEventFilter(this); }

    bool shown() const {
        const bool inBar = m_bar->hasFocus() && m_bar->activeAction();
        return m_altHeld ||
               (m_byKeyboard && (inBar || qobject_cast<QMenu*>(QApplication::activePopupWidget())));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool press = event->type() == QEvent::KeyPress;
            if (key->key() == Qt::Key_Alt || (press && key->key() == Qt::Key_F10)) {
                m_altHeld = press && key->key() == Qt::Key_Alt;
                m_byKeyboard = m_byKeyboard || press;
                redraw();
            }
            break;
        }
        // The mouse ends the keyboard's turn. When a window comes or goes, the release of Alt
        // may have gone to another window or program (Alt+F4, Alt+Tab).
        case QEvent::MouseButtonPress:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::ApplicationDeactivate:
            if (m_byKeyboard || m_altHeld) {
                m_byKeyboard = m_altHeld = false;
                redraw();
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Now, and once the bar or a menu has taken the keys this event brings.
    void redraw() {
        const auto update = [bar = QPointer<QMenuBar>(m_bar)] {
            if (!bar)
                return;
            bar->update();
            for (QMenu* menu : bar->findChildren<QMenu*>())
                if (menu->isVisible())
                    menu->update();
        };
        update();
        QTimer::singleShot(0, m_bar, update);
    }

    QMenuBar* m_bar;
    bool m_altHeld = false;
    bool m_byKeyboard = false;
};

class MenuStyle final : public QProxyStyle {
public:
    explicit MenuStyle(const AccessKeyCues& cues) : m_cues(cues) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The platform style decides whether a lone Alt press moves into the menu bar; on
        // the platform the program was made for it does, whatever the style on this one says.
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        if (hint == QStyle::SH_UnderlineShortcut)
            return m_cues.shown() ? 1 : 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
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

private:
    const AccessKeyCues& m_cues;
};

} // namespace

void enableMenuKeys(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    auto* cues = new AccessKeyCues(bar);
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
