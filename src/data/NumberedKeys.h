#pragma once
// Dictionaries keyed by number, as Strong's are: the keys are "00011", all of one width,
// while a reader types "G11", "H11" or "11". A typed number, with or without the Greek or
// Hebrew letter before it, is looked up as the key it stands for; any other text is looked up
// as typed. Dictionaries not keyed by number (keyDigits 0) are never touched.

#include <QString>

namespace tolvane::data {

struct DictionaryConfig;

// The search text to look up for what was typed.
QString numberedKey(const DictionaryConfig& config, const QString& typed);

// The width of the keys when every one of `keys` is digits only, all of one width (and there
// is at least one); else 0.
class KeyWidth {
public:
    void see(const QString& key);
    int width() const { return m_numbered ? m_width : 0; }

private:
    bool m_numbered = true;
    int m_width = -1;
};

} // namespace tolvane::data
