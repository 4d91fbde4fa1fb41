#include "printing/EntryOutput.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

namespace tolvane::printing {

namespace {

PrintPreview& previewOverride() {
    static PrintPreview preview;
    return preview;
}

SaveFileChooser& chooserOverride() {
    static SaveFileChooser chooser;
    return chooser;
}

void realPreview(QTextDocument& document, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document.metaInformation(QTextDocument::DocumentTitle));
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document](QPrinter* target) { document.print(target); });
    dialog.exec();
}

} // namespace

PrintPreview setPrintPreview(PrintPreview preview) {
    return std::exchange(previewOverride(), std::move(preview));
}

SaveFileChooser setSaveFileChooser(SaveFileChooser chooser) {
    return std::exchange(chooserOverride(), std::move(chooser));
}

QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filter) {
    if (chooserOverride())
        return chooserOverride()(parent, caption, suggested, filter);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

void printEntry(const PrintableEntry& entry, QWidget* parent) {
    QTextDocument document;
    fillDocument(document, entry);
    if (previewOverride())
        previewOverride()(document, parent);
    else
        realPreview(document, parent);
}

QString writeEntryPdf(const PrintableEntry& entry, const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(entry.headword);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    QTextDocument document;
    fillDocument(document, entry);
    // QPdfWriter opens its file on the first page; a file that cannot be made shows as none.
    document.print(&writer);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return QStringLiteral("%1 could not be written. Choose another folder, or free some "
                              "space on the disk.")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

void copyEntry(const PrintableEntry& entry) {
    auto* data = new QMimeData;
    data->setHtml(entryHtml(entry));
    data->setText(entryPlainText(entry));
    QApplication::clipboard()->setMimeData(data);
}

} // namespace tolvane::printing
