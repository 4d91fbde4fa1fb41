#pragma once
// Dialog: the About box. A separate top-level window with the version, the public-domain
// note, the freeware notice and two links (the banner opens the maker's web page, the e-mail
// line a new mail to the maker). Only OK takes the keyboard focus.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tolvane::shell {

class Forms;
class LinkLabel;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(Forms& forms, QWidget* parent = nullptr);

    // The freeware notice shown in the light grey frame.
    static QString freewareNotice();

    // Handlers.
    void OKButton_Click();
    void Image1_Click();
    void Label5_Click();

    // Escape closes the dialog as its close box does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Forms& m_forms;
};

} // namespace tolvane::shell
