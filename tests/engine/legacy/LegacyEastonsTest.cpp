// A legacy Jet file in place of data.mdb, at the data layer and in the Easton's window:
// it opens, lists, searches and shows entries; a store or delete brings the read-only
// message and changes no byte of the file; converting it gives a dictionary the window
// can change.

#include "EastonsLegacyFixture.h"
#include "WindowFixture.h"
#include "data/DataOperations.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/EngineError.h"
#include "engine/OpenDatabase.h"
#include "engine/legacy/JetDatabase.h"
#include "engine/legacy/JetLoader.h"
#include "import/ImportTool.h"
#include "import/JetImport.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>

namespace tolvane::test {
namespace {

using data::eastonsConfig;
using W = dictwindow::DictionaryWindow;

const QString kReadOnly = QStringLiteral(
    "is a legacy Jet database and is opened read-only. Convert it with: tolvane-import ");

// The rows the altered file must read as: Northwind's Umsätze, ShipName and ShipAddress.
std::vector<std::pair<QString, QString>> expectedEntries(const QString& nwind) {
    engine::legacy::JetLoadOptions options;
    options.tables = {QString::fromUtf8("Umsätze")};
    const auto db = engine::legacy::loadJetDatabase(nwind, options);
    const auto& t = db.tables.at(0);
    const qsizetype name = t.columns.indexOf(QStringLiteral("ShipName"));
    const qsizetype address = t.columns.indexOf(QStringLiteral("ShipAddress"));
    std::vector<std::pair<QString, QString>> rows;
    for (const auto& row : t.rows)
        rows.emplace_back(row.at(std::size_t(name)).value_or(QString()),
                          row.at(std::size_t(address)).value_or(QString()));
    return rows;
}

class LegacyEastonsWindow : public WindowFixture {
protected:
    void SetUp() override {
        auto nwind = sharedPath(QStringLiteral("corpus/mdb/jet3__nwind.mdb"));
        if (!nwind)
            GTEST_SKIP() << "shared reference material not found: corpus/mdb/jet3__nwind.mdb";
        m_nwind = *nwind;
        m_path = writeEastonsLegacyFile(m_nwind, dir.path());
        m_hash = sha256(m_path);
        engine::legacy::enableLegacyJetFiles();
    }
    void TearDown() override { engine::setJetFileOpener({}); }

    QString m_nwind;
    QString m_path;
    QByteArray m_hash;
};

TEST_F(LegacyEastonsWindow, DataLayerReadsEveryEntryInTheFilesOrder) {
    const auto opened = data::openDictionary(eastonsConfig(), dir.path());
    auto rs = data::openTable(eastonsConfig(), opened.db);
    const auto expected = expectedEntries(m_nwind);
    ASSERT_EQ(rs->RecordCount(), int(expected.size()));
    for (const auto& [headword, definition] : expected) {
        EXPECT_EQ(data::readText(rs, QStringLiteral("dbword")), headword);
        EXPECT_EQ(data::readText(rs, QStringLiteral("dbdesc")), definition);
        rs->MoveNext();
    }
    // A headword with a quote in it is looked up like any other.
    const data::Entry bon =
        data::readEntry(eastonsConfig(),
                        data::openHeadword(eastonsConfig(), opened.db, QStringLiteral("bon app'")));
    EXPECT_EQ(bon.headword, QStringLiteral("Bon app'"));
    EXPECT_EQ(bon.definition, QStringLiteral("12, rue des Bouchers"));
}

TEST_F(LegacyEastonsWindow, OpensListsSearchesAndShowsEntries) {
    load(eastonsConfig());
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(QLatin1Char('\n')).toStdString();
    QStringList all;
    for (const auto& [headword, definition] : expectedEntries(m_nwind))
        all << headword;
    EXPECT_EQ(listItems(), listOrderSorted(all));

    typeKeys(QStringLiteral("lil"));
    const QStringList lila = listItems();
    ASSERT_FALSE(lila.isEmpty());
    for (const QString& item : lila)
        EXPECT_EQ(item, QStringLiteral("LILA-Supermercado"));
    clickHeadword(QStringLiteral("LILA-Supermercado"));
    EXPECT_EQ(c().txtForename->text(), QStringLiteral("LILA-Supermercado"));
    EXPECT_EQ(c().txtSurname->toPlainText(),
              QString::fromUtf8("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(QLatin1Char('\n')).toStdString();
}

TEST_F(LegacyEastonsWindow, StoreAndDeleteShowTheReadOnlyMessageAndChangeNoByte) {
    load(eastonsConfig());
    typeKeys(QStringLiteral("bon"));
    clickHeadword(QStringLiteral("Bon app'"));

    // Edit and Save.
    c().cmdEdit->click();
    c().txtSurname->setPlainText(QStringLiteral("changed"));
    resetCounters();
    c().cmdsave->click();
    ASSERT_EQ(messageCount(), 1) << messageLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(
        messageLog().at(0).contains(QStringLiteral("'%1' ").arg(m_path) + kReadOnly + m_path))
        << messageLog().at(0).toStdString();

    // Add New and Save.
    c().cmdcancel->click();
    c().cmdAdd->click();
    c().txtForename->setText(QStringLiteral("Aaron"));
    c().txtSurname->setPlainText(QStringLiteral("brother of Moses"));
    resetCounters();
    c().cmdsave->click();
    ASSERT_EQ(messageCount(), 1) << messageLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messageLog().at(0).contains(kReadOnly)) << messageLog().at(0).toStdString();

    // Delete, confirmed.
    c().cmdcancel->click();
    typeKeys(QStringLiteral("bon"));
    clickHeadword(QStringLiteral("Bon app'"));
    resetCounters();
    fakes.messages->queueAnswer(6);
    c().cmdDelete->click();
    ASSERT_EQ(messageCount(), 2) << messageLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messageLog().at(1).contains(kReadOnly)) << messageLog().at(1).toStdString();

    EXPECT_EQ(storedCount(), 830);
    ASSERT_TRUE(storedRow(QStringLiteral("Bon app'")));
    EXPECT_EQ(storedRow(QStringLiteral("Bon app'"))->definition.toString(),
              QStringLiteral("12, rue des Bouchers"));
    EXPECT_FALSE(storedRow(QStringLiteral("Aaron")));
    m_window->db->Close();
    EXPECT_EQ(sha256(m_path), m_hash);
}

TEST_F(LegacyEastonsWindow, AfterConvertingInPlaceTheWindowChangesTheDictionary) {
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(import::runImportTool({QStringLiteral("tolvane-import"), m_path}, out, err),
              import::ExitOk)
        << errText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral("830 rows into table dbwords")))
        << outText.toStdString();
    EXPECT_EQ(sha256(import::keptLegacyName(m_path)), m_hash);

    load(eastonsConfig());
    EXPECT_FALSE(win().db->isReadOnly());
    typeKeys(QStringLiteral("bon"));
    clickHeadword(QStringLiteral("Bon app'"));
    c().cmdEdit->click();
    c().txtSurname->setPlainText(QStringLiteral("changed"));
    resetCounters();
    c().cmdsave->click();
    EXPECT_TRUE(messageLog().isEmpty()) << messageLog().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(storedRow(QStringLiteral("Bon app'")));
    EXPECT_EQ(storedRow(QStringLiteral("Bon app'"))->definition.toString(),
              QStringLiteral("changed"));
    EXPECT_EQ(sha256(import::keptLegacyName(m_path)), m_hash);
}

} // namespace
} // namespace tolvane::test
