#include "ReferenceTexts.h"

#include "data/DataOperations.h"
#include "data/DictionaryConfig.h"
#include "import/CsvImport.h"

#include <QFileInfo>
#include <utility>

namespace tolvane::bench {

QString referenceDataFolder() {
    const QString env = qEnvironmentVariable("TOLVANE_SHARED_DIR");
    return (env.isEmpty() ? QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared") : env) +
           QStringLiteral("/data");
}

bool importReferenceTexts(const QString& folder) {
    const std::pair<const data::DictionaryConfig*, const char*> files[] = {
        {&data::kingJamesConfig(), "kjv_archaic.csv"},
        {&data::eastonsConfig(), "eastons.csv"},
        {&data::hitchcockConfig(), "hitchcock.csv"}};
    for (const auto& [config, file] : files) {
        import::CsvImportRequest request;
        request.dictionary = config;
        request.input = referenceDataFolder() + QLatin1Char('/') + QLatin1String(file);
        request.output = data::dictionaryPath(*config, folder);
        if (!QFileInfo::exists(request.input))
            return false;
        import::importCsv(request);
    }
    return true;
}

} // namespace tolvane::bench
