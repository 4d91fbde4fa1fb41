#include "LineMarks.h"

#include <regex>

namespace tolvane::swordread {

namespace {

// U+E000, a private-use character: no module text holds it and no filter changes it.
const std::string kMark = "\xEE\x80\x80";

} // namespace

std::string markLines(const std::string& raw) {
    static const std::regex lineTag(
        "<(/?(p|div|li|item|l|list|lg|br|lb|entryFree|sense)|CM|CL|Pp|PP)(\\s[^>]*)?/?>",
        std::regex::optimize);
    return std::regex_replace(raw, lineTag, kMark + "$&");
}

std::string linesFromMarks(const std::string& rendered) {
    static const std::regex marks("[ \\t]*(" + kMark + "[ \\t\\r\\n]*)+", std::regex::optimize);
    std::string text = std::regex_replace(rendered, marks, "\n");
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

} // namespace tolvane::swordread
