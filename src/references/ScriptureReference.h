#pragma once
// A Scripture reference found in a text: a verse, a verse range (possibly across chapters) or
// whole chapters, and where it stands in that text.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace tolvane::references {

struct VerseRange {
    int book = -1;      // Versification.h's book number
    int chapter = 0;    // from 1
    int verse = 0;      // from 1; 0: the whole chapter (and endVerse is 0 too)
    int endChapter = 0; // equal to chapter when the range stays in one chapter
    int endVerse = 0;   // equal to verse for a single verse; 0 with whole chapters
    friend bool operator==(const VerseRange&, const VerseRange&) = default;
};

struct ReferenceSpan {
    qsizetype start = 0; // in QString units of the text searched
    qsizetype length = 0;
    VerseRange range;
    friend bool operator==(const ReferenceSpan&, const ReferenceSpan&) = default;
};

// True when every chapter and verse of the range exists in the King James versification and
// the range does not run backwards.
bool isValid(const VerseRange& range);

// Spelled out for people: "Genesis 14:5", "Genesis 14:1-16", "Psalms 119", "Ruth 1:22-2:3".
QString displayName(const VerseRange& range);

// The range as a SWORD key text: "Gen 14:5", "Gen 14:1-Gen 14:16", "Ps 119:1-Ps 119:176".
QString swordKey(const VerseRange& range);

} // namespace tolvane::references
