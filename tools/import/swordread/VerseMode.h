#pragma once
// The helper's verse mode (references/VerseProtocol.h): answers requests from `in` on `out`
// until `in` ends. Returns the exit status.

#include <cstdio>

namespace tolvane::swordread {

class SwordLibrary;

int serveVerses(SwordLibrary& library, std::FILE* in, std::FILE* out);

} // namespace tolvane::swordread
