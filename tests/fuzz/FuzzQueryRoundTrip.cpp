// libFuzzer target: the query parser. Any user text put into the two query texts by the data
// layer's quoting must come back from the parser as exactly the value the window meant (the
// text with the wildcard after it, or the trimmed headword), never null and never an error;
// and any bytes at all given as a query text parse or fail with a syntax error only.

#include "FuzzRequire.h"
#include "data/DictionaryConfig.h"
#include "data/Queries.h"
#include "engine/EngineError.h"
#include "engine/QueryParser.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace tolvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Any UTF-16 text, lone surrogates included, as a text box can hold it.
    QString asUtf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(asUtf16.data(), data, size / 2 * 2);
    for (const QString& text : {QString::fromUtf8(bytes), asUtf16}) {
        for (const data::DictionaryConfig* config : data::allConfigs()) {
            const engine::ParsedQuery prefix = engine::parseQuery(data::prefixQuery(*config, text));
            require(prefix.table == config->table && prefix.where);
            require(prefix.where->column == config->headwordColumn);
            require(prefix.where->op == engine::QueryCondition::Op::Like);
            require(prefix.where->value == text + QLatin1Char('*'));

            const engine::ParsedQuery headword =
                engine::parseQuery(data::headwordQuery(*config, text));
            require(headword.table == config->table && headword.where);
            require(headword.where->op == engine::QueryCondition::Op::Equal);
            require(headword.where->value == data::trimSpaces(text));
            require(!headword.where->value.isNull());
        }
        try {
            engine::parseQuery(text);
        } catch (const engine::EngineError& error) {
            require(error.number() == engine::err::SyntaxError);
        }
    }
    return 0;
}
