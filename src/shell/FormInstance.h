#pragma once
// Window lifetime, shared by every window kind of the program (frmMain, Form1, frmEastons,
// frmHitchcock, Dialog). Each kind has one FormInstance for the whole program. The instance
// outlives its window: Show() loads the window when it is not loaded (creates its controls
// afresh and runs its load handler), displays it non-modally and brings it to the front;
// Unload() destroys the controls and does nothing to a window that is not loaded. Whatever
// the kind keeps between loads (a dictionary window's ws, db, rs) lives in the kind's own
// object, not in the window.
//
// A window closed by the user (close box, Escape) counts as unloaded the moment its close
// event arrives; every window of the program accepts its close event.

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace tolvane::shell {

struct FormHandlers {
    // Creates the window with its controls in their initial states, not yet shown.
    std::function<QWidget*()> create;
    // The load handler (Form_Load, MDIForm_Load); may throw. A failure leaves the window not
    // loaded, its controls destroyed, and the failure goes on to the caller of Show().
    std::function<void()> load;
    // Displays the window and brings it to the front; empty: show, raise, activate.
    std::function<void(QWidget*)> present;
    // Form_Activate: runs each time the window becomes the active one.
    std::function<void()> activate;
    // Runs before the window goes (the main window closes its child windows here).
    std::function<void()> unloading;
    // Runs once the window is gone: the kind forgets its controls.
    std::function<void()> unloaded;
};

class FormInstance : public QObject {
    Q_OBJECT
public:
    FormInstance(QString name, FormHandlers handlers, QObject* parent = nullptr);
    ~FormInstance() override;

    const QString& name() const { return m_name; }

    void Show();
    void Unload();
    bool isLoaded() const { return m_window != nullptr; }
    // The loaded window, or nullptr.
    QWidget* widget() const { return m_window; }

    // Position in twips: for a child window relative to its parent's client area, for a
    // top-level window on the screen. Nothing happens when the window is not loaded.
    void setTop(int twips);
    void setLeft(int twips);

    // Activation, reported by whoever knows (the main window's client area for child
    // windows). Form_Activate runs on the change from inactive to active only.
    void activated();
    void deactivated() { m_active = false; }

Q_SIGNALS:
    // The window has been created and its load handler has run; it is not shown yet.
    void loaded(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    // Forgets the window: it is no longer loaded; runs the unloaded handler.
    QWidget* detach();
    // Hides the window and deletes it once control is back in the event loop, so that a
    // window may unload itself from one of its own handlers (OKButton_Click).
    static void dispose(QWidget* window);

    QString m_name;
    FormHandlers m_handlers;
    QWidget* m_window = nullptr;
    bool m_active = false;
};

} // namespace tolvane::shell
