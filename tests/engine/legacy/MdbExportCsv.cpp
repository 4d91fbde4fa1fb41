#include "MdbExportCsv.h"

#include "support/TestSupport.h"

#include <stdexcept>

namespace tolvane::test {

MdbExportCsv readMdbExportCsv(const QString& path) {
    const QString text = QString::fromUtf8(readFile(path));
    if (text.isEmpty())
        throw std::runtime_error("empty or unreadable: " + path.toStdString());

    std::vector<std::vector<std::optional<QString>>> records;
    std::vector<std::optional<QString>> record;
    qsizetype i = 0;
    const qsizetype n = text.size();
    for (;;) {
        std::optional<QString> field;
        if (i < n && text[i] == u'"') {
            QString value;
            ++i;
            for (;;) {
                if (i >= n)
                    throw std::runtime_error("unterminated quote in " + path.toStdString());
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            field = value;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && text[i] != u'\n')
                ++i;
            if (i > start)
                field = text.mid(start, i - start);
        }
        record.push_back(field);
        if (i < n && text[i] == u',') {
            ++i;
            continue;
        }
        if (i < n && text[i] != u'\n')
            throw std::runtime_error("stray character after a quoted value in " + path.toStdString());
        records.push_back(std::move(record));
        record.clear();
        ++i;
        if (i >= n)
            break;
    }

    MdbExportCsv csv;
    for (const auto& name : records.front())
        csv.header << name.value_or(QString());
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (records[r].size() != std::size_t(csv.header.size()))
            throw std::runtime_error("row " + std::to_string(r) + " has the wrong width in " +
                                     path.toStdString());
        csv.rows.push_back(std::move(records[r]));
    }
    return csv;
}

} // namespace tolvane::test
