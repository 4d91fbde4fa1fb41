#pragma once
// The two query texts a dictionary window sends to the engine, formed from its dictionary
// configuration:
//
//   headwordQuery(kingJamesConfig(), " ABASE ")  ->  Select * from data1 where field1 = 'ABASE'
//   prefixQuery(kingJamesConfig(), "ab")         ->  SELECT * FROM data1 WHERE field1 LIKE 'ab'&
//   '*'
//
// The prefix query leaves the wildcard to the engine's own "&" concatenation, so pattern
// characters the user types (* and ?) still act as pattern characters. The user's text goes
// between single quotes; a single quote inside it is doubled, so "Aaron's" is looked up as
// written instead of ending the literal early. Text without a single quote is inserted
// unchanged.

#include "data/DictionaryConfig.h"

#include <QString>

namespace tolvane::data {

// The rows whose headword equals the chosen list item. Leading and trailing space characters
// (only U+0020, as the list item carries them) are removed from the item first.
QString headwordQuery(const DictionaryConfig& config, const QString& chosenItem);

// The rows whose headword begins with the search text, taken whole and untrimmed.
QString prefixQuery(const DictionaryConfig& config, const QString& searchText);

// The text as the body of a single-quoted literal: every ' becomes ''.
QString quotedLiteralBody(const QString& text);

// The list item with leading and trailing U+0020 removed (tabs and other blanks are kept).
QString trimSpaces(const QString& text);

} // namespace tolvane::data
