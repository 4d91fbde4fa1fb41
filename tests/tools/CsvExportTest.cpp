// A whole dictionary exported as CSV, imported again and exported once more gives the same
// file, with the rows it was made from: the King James scripture RTF, line breaks, quotes,
// commas and white space at the ends kept; an added dictionary found by its title.

#include "ImportTestSupport.h"
#include "import/ImportTool.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTextStream>

using namespace tolvane;

namespace {

class CsvExport : public test::ImportFolderTest {
protected:
    CsvExport() : m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
    }
    ~CsvExport() override { qputenv("XDG_DATA_HOME", m_saved); }

    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return import::runImportTool(QStringList{"tolvane-import"} + arguments, o, e);
    }

    QString out, err;

private:
    QByteArray m_saved;
};

TEST_F(CsvExport, ExportImportExportGivesTheSameFileAndTheRowsItWasMadeFrom) {
    struct Case {
        QStringList import; // the arguments that make the dictionary from the CSV
        QString name;       // as --export names it
        QByteArray csv;
    };
    const Case cases[] = {
        {{"--dictionary", "kjv"},
         "kjv",
         "field1,field2,field3\r\n"
         "ABIDE,\"to wait, to stay\",\"{\\rtf1\\ansi {\\b Gen. 44:33}\\par\r\n}\"\r\n"
         "ASTONIED,\"amazed; \"\"dumb\"\"\",=\r\n"
         "BEWRAY,\" reveal \",\r\n"},
        {{"--dictionary", "eastons"},
         "data.mdb",
         "dbword,dbdesc\r\nAbel,\"a meadow\r\nsecond line\"\r\nAbel,a city\r\nZion,\"hill, "
         "fort\"\r\n"},
        {{"--title", "Church Glossary"},
         "church glossary",
         "dbword,dbdesc\r\nAmen,so be it\r\nÆneas,made well\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString source = csv("source.csv", c.csv);
        ASSERT_EQ(run(c.import + QStringList{source}), import::ExitOk) << err.toStdString();
        ASSERT_EQ(run({"--export", c.name, path("first.csv")}), import::ExitOk)
            << err.toStdString();
        EXPECT_EQ(test::csvRecords(path("first.csv")), test::csvRecords(source));

        ASSERT_EQ(run(c.import + QStringList{path("first.csv")}), import::ExitOk)
            << err.toStdString();
        ASSERT_EQ(run({"--export", c.name, path("second.csv")}), import::ExitOk)
            << err.toStdString();
        EXPECT_EQ(test::readFile(path("second.csv")), test::readFile(path("first.csv")));
    }
    EXPECT_EQ(run({"--export", "Nave", path("none.csv")}), import::ExitFailed);
    EXPECT_TRUE(err.contains("no dictionary \"Nave\"")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("none.csv")));
}

} // namespace
