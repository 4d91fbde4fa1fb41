#include "data/DictionaryConfig.h"

#include "data/AddedDictionaries.h"

namespace tolvane::data {

const DictionaryConfig& kingJamesConfig() {
    static const DictionaryConfig c{
        QStringLiteral("Form1"),
        QStringLiteral("King James Dictionary of Archaic Words and Phrases"),
        QStringLiteral("KJV Archaic Words"),
        QStringLiteral("Tolvane - King James Dictionary of Archaic Words"),
        QStringLiteral("db2.mdb"),
        QStringLiteral("/db2.mdb"),
        QStringLiteral("data1"),
        QStringLiteral("field1"),
        QStringLiteral("field2"),
        QStringLiteral("field3"),
        765};
    return c;
}

const DictionaryConfig& eastonsConfig() {
    static const DictionaryConfig c{QStringLiteral("frmEastons"),
                                    QStringLiteral("Form2"),
                                    QStringLiteral("Easton's Bible Dictionary"),
                                    QStringLiteral("Tolvane - Easton's Bible Dictionary"),
                                    QStringLiteral("data.mdb"),
                                    QStringLiteral("/data.mdb"),
                                    QStringLiteral("dbwords"),
                                    QStringLiteral("dbword"),
                                    QStringLiteral("dbdesc"),
                                    QString(),
                                    2445};
    return c;
}

const DictionaryConfig& hitchcockConfig() {
    static const DictionaryConfig c{QStringLiteral("frmHitchcock"),
                                    QStringLiteral("Form2"),
                                    QStringLiteral("Hitchcocks Bible Names"),
                                    QStringLiteral("Tolvane - Hitchcock's Bible Names"),
                                    QStringLiteral("names.mdb"),
                                    QStringLiteral("/names.mdb"),
                                    QStringLiteral("hitchcock"),
                                    QStringLiteral("field1"),
                                    QStringLiteral("field2"),
                                    QString(),
                                    765};
    return c;
}

const std::vector<const DictionaryConfig*>& allConfigs() {
    static const std::vector<const DictionaryConfig*> all{&kingJamesConfig(), &hitchcockConfig(),
                                                          &eastonsConfig()};
    return all;
}

const DictionaryConfig* configByWindowName(const QString& windowName) {
    for (const auto* c : allConfigs())
        if (c->windowName == windowName)
            return c;
    for (const auto* c : addedConfigs())
        if (c->windowName == windowName)
            return c;
    return nullptr;
}

const DictionaryConfig* configByFileName(const QString& fileName) {
    for (const auto* c : allConfigs())
        if (c->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

} // namespace tolvane::data
