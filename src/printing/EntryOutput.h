#pragma once
// An entry printed (through Qt's print preview), saved as a PDF file or copied as rich text.
// The preview and the file chooser are modal: each sits behind a seam that tests replace, so
// no real dialog opens under test.

#include "printing/PrintableEntry.h"

#include <QString>
#include <functional>

class QTextDocument;
class QWidget;

namespace tolvane::printing {

// Shows the preview of `document`, from which the user prints it.
using PrintPreview = std::function<void(QTextDocument& document, QWidget* parent)>;
// The file chosen to save into, or an empty string when the user cancelled.
using SaveFileChooser = std::function<QString(QWidget* parent, const QString& caption,
                                              const QString& suggested, const QString& filter)>;

// Install a replacement (an empty function restores the real one); returns the previous one.
PrintPreview setPrintPreview(PrintPreview preview);
SaveFileChooser setSaveFileChooser(SaveFileChooser chooser);

// Asks through the chooser in use.
QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filter);

void printEntry(const PrintableEntry& entry, QWidget* parent);
// Empty when written; else what went wrong, naming the file, and what to do.
QString writeEntryPdf(const PrintableEntry& entry, const QString& path);
// On the clipboard as HTML and as plain text.
void copyEntry(const PrintableEntry& entry);

} // namespace tolvane::printing
