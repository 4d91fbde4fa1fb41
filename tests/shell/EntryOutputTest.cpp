// The entry in view printed, saved as PDF and copied, and the open dictionary exported as CSV,
// through the Dictionaries menu of the real windows; the preview and the file chooser are
// answered by the test.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "printing/EntryOutput.h"
#include "support/DictionaryFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>

using namespace tolvane;

namespace {

class EntryOutputTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(
            dir.path(), data::eastonsConfig(),
            {{"Melchizedek", "King of Salem, who met Abram (Gen. 14:18).\r\n(See PRIEST.)"},
             {"Priest", "one who offers, \"for\" the people"}});
        printing::setSaveFileChooser(
            [this](QWidget*, const QString&, const QString& suggested, const QString&) {
                suggestions << suggested;
                return chosen;
            });
        printing::setPrintPreview(
            [this](QTextDocument& document, QWidget*) { previewed = document.toPlainText(); });
        startProgram();
    }
    void TearDown() override {
        printing::setSaveFileChooser({});
        printing::setPrintPreview({});
    }
    void showMelchizedek() {
        choose("mnuDictionariesEastons");
        auto& c = forms->dictionaryWindow(data::eastonsConfig()).controls();
        QTest::keyClicks(c.txtSearch, "Melch");
        QTest::keyClick(c.txtSearch, Qt::Key_Return);
        ASSERT_EQ(c.txtForename->text(), "Melchizedek");
    }

    QString chosen, previewed;
    QStringList suggestions;
};

TEST_F(EntryOutputTest, TheEntryInViewIsPrintedSavedAsPdfAndCopiedWithItsTitle) {
    choose("mnuDictionariesPrint"); // nothing in view yet: said, nothing printed
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains("Open a dictionary and choose a word"));
    EXPECT_TRUE(previewed.isEmpty());

    showMelchizedek();
    QTest::keyClick(forms->dictionaryWindow(data::eastonsConfig()).controls().txtSearch, Qt::Key_P,
                    Qt::ControlModifier);
    EXPECT_TRUE(previewed.startsWith("Easton's Bible Dictionary\nMelchizedek\n"))
        << previewed.toStdString();
    EXPECT_TRUE(previewed.contains("(Gen. 14:18)")); // references print as text

    chosen = dir.filePath("entry.pdf");
    choose("mnuDictionariesPdf");
    EXPECT_TRUE(suggestions.value(0).endsWith("/Melchizedek.pdf"));
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) {
        ADD_FAILURE() << "pdftotext (Debian package poppler-utils) is missing: scripts/setup.sh";
    } else {
        QProcess text;
        text.start(pdftotext, {chosen, "-"});
        ASSERT_TRUE(text.waitForFinished(30000));
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(pdf.contains("Melchizedek") && pdf.contains("Gen. 14:18")) << pdf.toStdString();
    }

    choose("mnuDictionariesCopy");
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasHtml());
    EXPECT_TRUE(copied->html().contains("<h2>Melchizedek</h2>"));
    EXPECT_TRUE(copied->text().startsWith("Easton's Bible Dictionary\n\nMelchizedek\n\nKing"));
    EXPECT_EQ(fakes.messages->calls.size(), 1u);
}

TEST_F(EntryOutputTest, TheOpenDictionaryIsExportedAsTheCsvTheImportToolReads) {
    showMelchizedek();
    chosen = dir.filePath("eastons.csv");
    choose("mnuDictionariesExport");
    EXPECT_EQ(test::readFile(chosen),
              "dbword,dbdesc\r\n"
              "Melchizedek,\"King of Salem, who met Abram (Gen. 14:18).\r\n(See PRIEST.)\"\r\n"
              "Priest,\"one who offers, \"\"for\"\" the people\"\r\n");
    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_TRUE(fakes.messages->calls[0].text.startsWith("2 entries of Easton's Bible Dictionary"));

    chosen = dir.filePath("no such folder/eastons.csv"); // said, naming the file
    choose("mnuDictionariesExport");
    ASSERT_EQ(fakes.messages->calls.size(), 2u);
    EXPECT_TRUE(fakes.messages->calls[1].text.contains("no such folder"))
        << fakes.messages->calls[1].text.toStdString();
}

} // namespace
