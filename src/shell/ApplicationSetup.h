#pragma once
// The application's identity, set once at start by the program (and by tools that open its
// windows): name, version, maker and window icon.
//
// No application display name is set: the platform would append it to every window title
// ("Error — Tolvane"), and the program's captions and message titles are shown exactly as
// written.

namespace tolvane::shell {

void setUpApplication();

} // namespace tolvane::shell
