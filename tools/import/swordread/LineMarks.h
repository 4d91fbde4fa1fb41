#pragma once
// libsword's plain-text filters run a module's lines together: ThML's <br/> and <p>, GBF's
// <CM> and <CL>, OSIS's <lb/>, <l> and <item> become a space or nothing, so Nave's one item
// a line reads as one run of text. Before rendering, a mark that the filters pass through as
// text is put before each tag that begins or ends a line; after, each run of marks (and the
// spaces around it) becomes one line break.

#include <string>

namespace tolvane::swordread {

std::string markLines(const std::string& raw);
std::string linesFromMarks(const std::string& rendered);

} // namespace tolvane::swordread
