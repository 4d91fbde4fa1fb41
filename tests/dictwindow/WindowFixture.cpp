#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/Dao.h"
#include "platform/AppFolder.h"
#include "platform/ErrorGuard.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <memory>
#include <unicode/coll.h>

namespace tolvane::test {

QStringList listOrderSorted(QStringList words) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> root(
        icu::Collator::createInstance(icu::Locale::getRoot(), status));
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    root->setStrength(icu::Collator::SECONDARY);
    root->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
    const auto straight = [](QString w) {
        for (const char16_t apostrophe : {u'\u2019', u'\u2018', u'\u02BC', u'\u2032'})
            w.replace(QChar(apostrophe), QChar(u'\''));
        return w;
    };
    std::stable_sort(words.begin(), words.end(), [&](const QString& a, const QString& b) {
        const QString sa = straight(a), sb = straight(b);
        UErrorCode s = U_ZERO_ERROR;
        return root->compare(icu::UnicodeString(reinterpret_cast<const UChar*>(sa.utf16()),
                                                int32_t(sa.size())),
                             icu::UnicodeString(reinterpret_cast<const UChar*>(sb.utf16()),
                                                int32_t(sb.size())),
                             s) == UCOL_LESS;
    });
    return words;
}

QStringList sortedHeadwords(const std::vector<DictRow>& rows) {
    QStringList words;
    for (const auto& r : rows)
        if (!r.headword.isNull())
            words << r.headword.toString();
    return listOrderSorted(words);
}

WindowFixture::WindowFixture() {
    EXPECT_TRUE(dir.isValid());
    platform::setApplicationFolder(dir.path());
}

WindowFixture::~WindowFixture() {
    m_form.reset();
    m_window.reset();
    platform::setApplicationFolder(QString());
}

void WindowFixture::open(const data::DictionaryConfig& config, const std::vector<DictRow>& rows) {
    writeDictionaryFile(dir.path(), config, rows);
    load(config);
}

void WindowFixture::load(const data::DictionaryConfig& config) {
    m_form.reset();
    m_window = std::make_unique<dictwindow::DictionaryWindow>(config);
    m_form.reset(m_window->createControls());
    QObject::connect(c().lstdata->model(), &QAbstractItemModel::modelReset, [this] { ++m_fills; });
    m_window->Form_Load();
    m_form->show();
    m_form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    m_window->Form_Activate();
}

QStringList WindowFixture::listItems() const {
    QStringList items;
    const int n = c().lstdata->ListCount();
    for (int i = 0; i < n; ++i)
        items << c().lstdata->List(i);
    return items;
}

void WindowFixture::typeKeys(const QString& keys) {
    for (QChar ch : keys)
        QTest::keyClicks(c().txtSearch, QString(ch));
}

void WindowFixture::pressKey(Qt::Key key) {
    QTest::keyClick(c().txtSearch, key);
}

void WindowFixture::clickItem(int row) {
    auto* view = c().lstdata;
    const QModelIndex index = view->model()->index(row, 0);
    ASSERT_TRUE(index.isValid()) << "no list item " << row;
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void WindowFixture::clickHeadword(const QString& headword) {
    const int row = int(listItems().indexOf(headword));
    ASSERT_GE(row, 0) << "not listed: " << headword.toStdString();
    clickItem(row);
}

void WindowFixture::guarded(void (dictwindow::DictionaryWindow::*handler)()) {
    platform::runGuarded([this, handler] { (m_window.get()->*handler)(); });
}

std::vector<DictRow> WindowFixture::storedRows() {
    const auto& cfg = m_window->config();
    auto set = m_window->db->OpenRecordset(QStringLiteral("SELECT * FROM ") + cfg.table);
    std::vector<DictRow> rows;
    const int n = set->RecordCount();
    if (n == 0)
        return rows;
    set->MoveFirst();
    for (int i = 0; i < n; ++i, set->MoveNext()) {
        DictRow row{set->Fields(cfg.headwordColumn).Value(),
                    set->Fields(cfg.definitionColumn).Value(), QVariant()};
        if (cfg.hasScripture())
            row.scripture = set->Fields(cfg.scriptureColumn).Value();
        rows.push_back(row);
    }
    return rows;
}

std::optional<DictRow> WindowFixture::storedRow(const QString& headword) {
    for (const auto& row : storedRows())
        if (!row.headword.isNull() && row.headword.toString() == headword)
            return row;
    return std::nullopt;
}

QStringList WindowFixture::messageLog() const {
    QStringList log;
    for (const auto& call : fakes.messages->calls)
        log << QStringLiteral("%1/%2: %3").arg(call.title).arg(call.style).arg(call.text);
    return log;
}

void WindowFixture::resetCounters() {
    fakes.messages->calls.clear();
    m_fills = 0;
}

} // namespace tolvane::test
