#pragma once
// Access keys (the letter after '&' in a caption) drawn underlined only while Alt is held, or
// while the keyboard works in a menu, as on the platform the program was made for; Qt's
// styles here draw them always or never. The menus (shell/MenuKeys.h) and the windows with
// buttons and captions of their own share this.

#include <QProxyStyle>
#include <functional>

class QWidget;

namespace tolvane::platform {

class AccessKeyCues final : public QObject {
public:
    // `scope`: the window whose keys count (nullptr: any window of the program). `redraw`
    // repaints what shows the cues. `inMenus`, when given, says whether the keyboard works in
    // a menu bar or a menu: once Alt (or F10) was pressed, the cues stay while it does, until
    // the mouse is used.
    AccessKeyCues(QObject* parent, QWidget* scope, std::function<void()> redraw,
                  std::function<bool()> inMenus = {});
    ~AccessKeyCues() override;

    bool shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool inScope(QObject* watched) const;

    QWidget* m_scope;
    std::function<void()> m_redraw;
    std::function<bool()> m_inMenus;
    bool m_altHeld = false;
    bool m_byKeyboard = false;
};

// A style that draws access keys only while `cues` shows them; all else as the program's
// style draws it.
class AccessKeyStyle : public QProxyStyle {
public:
    explicit AccessKeyStyle(const AccessKeyCues& cues);
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    const AccessKeyCues& m_cues;
};

// The window and every widget it now holds draw their access keys only while Alt is held in
// it. Call once its widgets exist.
void drawAccessKeysWhileAltHeld(QWidget& window);

} // namespace tolvane::platform
