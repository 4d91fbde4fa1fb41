#include "shell/AboutDialog.h"

#include "platform/DesignFont.h"
#include "platform/ErrorGuard.h"
#include "platform/ProgramStart.h"
#include "platform/Twips.h"
#include "shell/Forms.h"
#include "shell/Images.h"
#include "shell/LinkLabel.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace tolvane::shell {

using platform::twipsRect;

namespace {

const QColor kDarkBlue(0, 0, 192);
const QColor kLinkBlue(0, 0, 255);
const QColor kLightGrey(224, 224, 224);

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

QFrame* frame(const char* name, QWidget* parent, const QRect& geometry) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameStyle(QFrame::Box | QFrame::Sunken); // an etched line, as a captionless frame
    f->setGeometry(geometry);
    return f;
}

template <class L> L* label(L* l, const char* name, const QString& text, const QRect& geometry) {
    l->setObjectName(QString::fromLatin1(name));
    l->setText(text);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

} // namespace

QString AboutDialog::freewareNotice() {
    return QStringLiteral(
        "Tolvane is freeware. You may use it without charge and give copies of it to others, "
        "as long as it is passed on whole and unchanged and nothing is charged for it. It is "
        "provided as it is, without warranty of any kind; you use it at your own risk.");
}

AboutDialog::AboutDialog(Forms& forms, QWidget* parent) : QDialog(parent), m_forms(forms) {
    setObjectName(QStringLiteral("Dialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A fixed dialog border with a title and a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Tolvane"));
    setWindowIcon(programIcon());
    setFont(platform::designFont());
    setFixedSize(platform::twipsSize(6030, 3375));
    setSizeGripEnabled(false);

    // Controls in creation order.
    QFrame* frame1 = frame("Frame1", this, twipsRect(120, 120, 5775, 735));
    label(new QLabel(frame1), "Label2",
          QStringLiteral("King James Version Dictionary of Archaic Words and Phrases, Easton's "
                         "Bible Dictionary, and Hitchcock's Bible Names are in the Public "
                         "Domain."),
          twipsRect(120, 120, 5535, 495));

    QFrame* frame2 = frame("Frame2", this, twipsRect(120, 1200, 5775, 1455));
    QPalette grey = frame2->palette();
    grey.setColor(QPalette::Window, kLightGrey);
    grey.setColor(QPalette::WindowText, kDarkBlue);
    frame2->setPalette(grey);
    frame2->setAutoFillBackground(true);
    auto* label4 =
        label(new QLabel(frame2), "Label4", freewareNotice(), twipsRect(120, 240, 5415, 1095));
    setTextColour(label4, kDarkBlue);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(twipsRect(4680, 2880, 1215, 375));
    ok->setDefault(true);
    ok->setFocusPolicy(Qt::StrongFocus);
    connect(ok, &QPushButton::clicked, this,
            [this] { platform::runGuarded([this] { OKButton_Click(); }); });

    auto* label5 =
        label(new LinkLabel(this), "Label5", QStringLiteral("Email    ") + platform::makerEmail(),
              twipsRect(3240, 960, 2655, 255));
    label5->setWordWrap(false);
    setTextColour(label5, kLinkBlue);
    label5->setCursor(linkPointer());
    label5->setToolTip(QStringLiteral("Email"));
    connect(label5, &LinkLabel::clicked, this,
            [this] { platform::runGuarded([this] { Label5_Click(); }); });

    auto* label1 = label(new QLabel(this), "Label1", QStringLiteral("Version 2.0.0"),
                         twipsRect(240, 960, 1335, 255));
    setTextColour(label1, kDarkBlue);
    label1->setFont(platform::designFont(8.25, QFont::Bold));

    auto* image1 = new LinkLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(twipsRect(120, 2760, 4500, 465));
    image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1->setPixmap(bannerPicture()); // at its own size
    image1->setCursor(linkPointer());
    image1->setToolTip(QStringLiteral("Click here for more Freeware from Kestrane."));
    image1->setAccessibleName(image1->toolTip()); // a picture has no text of its own
    connect(image1, &LinkLabel::clicked, this,
            [this] { platform::runGuarded([this] { Image1_Click(); }); });

    // Labels never take the keyboard focus; OK is the only control that does.
    ok->setFocus();
}

void AboutDialog::OKButton_Click() {
    m_forms.Dialog().Unload();
}

void AboutDialog::Image1_Click() {
    // A courtesy link: any failure is ignored and nothing is shown.
    platform::startIgnoringErrors(platform::makerWebPage());
}

void AboutDialog::Label5_Click() {
    platform::startIgnoringErrors(platform::makerMailto());
}

void AboutDialog::reject() {
    close();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    // Closing never asks anything: accept at once (QDialog's own handling would reject()
    // again, which only hides the window).
    event->accept();
}

} // namespace tolvane::shell
